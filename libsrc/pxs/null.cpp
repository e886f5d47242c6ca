// null.cpp -- truth, type predicates, identity, structural and numeric
// equality and numeric order. Structural equality walks both structures
// with an explicit stack, so neither long nor deeply nested lists can
// exhaust the host stack.

#include <pxs/null.h>

#include <cstring>
#include <utility>
#include <vector>

#include <pxs/io.h>
#include <pxs/list.h>

namespace {

bool isKind(const ZnlObj* x, ZnlTagType tag) { return x && x->tag() == tag; }

// Fixnums are widened to double when the kinds differ; same-kind pairs
// compare in their own type. Anything but two numbers raises `typeMessage`.
template <typename Compare>
int compareNumbers(const ZnlObj* a, const ZnlObj* b, const char* typeMessage, Compare cmp) {
    bool aFix = isKind(a, ZnlFixnumTag), bFix = isKind(b, ZnlFixnumTag);
    bool aFlo = isKind(a, ZnlFlonumTag), bFlo = isKind(b, ZnlFlonumTag);
    if (aFix && bFix) return cmp(a->fixnum(), b->fixnum()) ? 1 : 0;
    if (aFlo && bFlo) return cmp(a->flonum(), b->flonum()) ? 1 : 0;
    if (aFix && bFlo) return cmp(static_cast<double>(a->fixnum()), b->flonum()) ? 1 : 0;
    if (aFlo && bFix) return cmp(a->flonum(), static_cast<double>(b->fixnum())) ? 1 : 0;
    ZncHaltAndCatchFire(typeMessage);
}

int equalSign(const ZnlObj* a, const ZnlObj* b) {
    if (isKind(a, ZnlLocativeTag) && isKind(b, ZnlLocativeTag))
        return a->nodeptr() == b->nodeptr() ? 1 : 0;
    return compareNumbers(a, b, "Wrong type to ZncEqualSign",
                          [](auto x, auto y) { return x == y; });
}

bool sameText(const char* a, const char* b) {
    if (!a || !b) return a == b;
    return std::strcmp(a, b) == 0;
}

// One step of structural equality on two cells that are not conses.
bool equalAtoms(const ZnlObj* a, const ZnlObj* b) {
    switch (a->tag()) {
        case ZnlNilTag:
            return true;
        case ZnlFixnumTag:
        case ZnlFlonumTag:
        case ZnlLocativeTag:
            return equalSign(a, b) != 0;
        case ZnlStringTag:
            return sameText(a->string(), b->string());
        case ZnlSymbolTag:
            return sameText(a->pname(), b->pname());
        default:
            ZncHaltAndCatchFire("Unknown type passed to equal!");
    }
}

ZnlObjPtr twoArgs(const ZnlObjPtr& args, const char* arityMessage,
                  int (*test)(const ZnlObjPtr&, const ZnlObjPtr&)) {
    if (ZncLength(args) != 2) ZncHaltAndCatchFire(arityMessage);
    return ZncCBooleanToLispBoolean(test(args->carRef(), args->cdrRef()->carRef()));
}

ZnlObjPtr oneArg(const ZnlObjPtr& args, const char* arityMessage, int (*test)(const ZnlObjPtr&)) {
    if (ZncLength(args) != 1) ZncHaltAndCatchFire(arityMessage);
    return ZncCBooleanToLispBoolean(test(args->carRef()));
}

}  // namespace

int ZncEq(const ZnlObjPtr& a, const ZnlObjPtr& b) { return a == b ? 1 : 0; }

int ZncNull(const ZnlObjPtr& x) { return !x || x->tag() == ZnlNilTag ? 1 : 0; }

int ZncNumberp(const ZnlObjPtr& x) {
    return isKind(x.get(), ZnlFixnumTag) || isKind(x.get(), ZnlFlonumTag) ? 1 : 0;
}

int ZncStringp(const ZnlObjPtr& x) { return isKind(x.get(), ZnlStringTag) ? 1 : 0; }

int ZncListp(const ZnlObjPtr& x) { return isKind(x.get(), ZnlConsTag) ? 1 : 0; }

int ZncEqualSign(const ZnlObjPtr& a, const ZnlObjPtr& b) { return equalSign(a.get(), b.get()); }

// Cars are compared before cdrs and the first difference ends the walk, so
// the pairs left on the stack are never looked at (as with a recursive walk
// that stops at the first unequal car).
int ZncEqual(const ZnlObjPtr& a, const ZnlObjPtr& b) {
    std::vector<std::pair<const ZnlObj*, const ZnlObj*>> rest;
    const ZnlObj* x = a.get();
    const ZnlObj* y = b.get();
    for (;;) {
        if (x != y) {
            if (!x || !y || x->tag() != y->tag()) return 0;
            if (x->tag() == ZnlConsTag) {
                rest.emplace_back(x->cdrRef().get(), y->cdrRef().get());
                x = x->carRef().get();
                y = y->carRef().get();
                continue;
            }
            if (!equalAtoms(x, y)) return 0;
        }
        if (rest.empty()) return 1;
        x = rest.back().first;
        y = rest.back().second;
        rest.pop_back();
    }
}

int ZncGreater(const ZnlObjPtr& a, const ZnlObjPtr& b) {
    return compareNumbers(a.get(), b.get(), "Wrong type to ZncGreater",
                          [](auto x, auto y) { return x > y; });
}

int ZncLess(const ZnlObjPtr& a, const ZnlObjPtr& b) {
    return compareNumbers(a.get(), b.get(), "Wrong type to ZncLess",
                          [](auto x, auto y) { return x < y; });
}

int ZncLessEqual(const ZnlObjPtr& a, const ZnlObjPtr& b) {
    return compareNumbers(a.get(), b.get(), "Wrong type to ZncLessEqual",
                          [](auto x, auto y) { return x <= y; });
}

int ZncGreaterEqual(const ZnlObjPtr& a, const ZnlObjPtr& b) {
    return compareNumbers(a.get(), b.get(), "Wrong type to ZncGreaterEqual",
                          [](auto x, auto y) { return x >= y; });
}

ZnlObjPtr ZncCBooleanToLispBoolean(int value) {
    return value ? ZnlObjPtr::t() : ZnlObjPtr::nil();
}

ZnlObjPtr ZnlEq(const ZnlObjPtr& args, const ZnlObjPtr&) {
    return twoArgs(args, "Wrong number of arguments to eq", ZncEq);
}

ZnlObjPtr ZnlEqual(const ZnlObjPtr& args, const ZnlObjPtr&) {
    return twoArgs(args, "Wrong number of arguments to equal", ZncEqual);
}

ZnlObjPtr ZnlEqualSign(const ZnlObjPtr& args, const ZnlObjPtr&) {
    return twoArgs(args, "Wrong number of args to =", ZncEqualSign);
}

ZnlObjPtr ZnlGreater(const ZnlObjPtr& args, const ZnlObjPtr&) {
    return twoArgs(args, "Wrong number of args to >", ZncGreater);
}

ZnlObjPtr ZnlLess(const ZnlObjPtr& args, const ZnlObjPtr&) {
    return twoArgs(args, "Wrong number of args to <", ZncLess);
}

ZnlObjPtr ZnlLessEqual(const ZnlObjPtr& args, const ZnlObjPtr&) {
    return twoArgs(args, "Wrong number of args to <=", ZncLessEqual);
}

ZnlObjPtr ZnlGreaterEqual(const ZnlObjPtr& args, const ZnlObjPtr&) {
    return twoArgs(args, "Wrong number of args to >=", ZncGreaterEqual);
}

ZnlObjPtr ZnlNotOrNull(const ZnlObjPtr& args, const ZnlObjPtr&) {
    return oneArg(args, "Wrong number of arguments to not/null", ZncNull);
}

ZnlObjPtr ZnlNumberp(const ZnlObjPtr& args, const ZnlObjPtr&) {
    return oneArg(args, "Wrong number of args to numberp", ZncNumberp);
}

ZnlObjPtr ZnlStringp(const ZnlObjPtr& args, const ZnlObjPtr&) {
    return oneArg(args, "Wrong number of args to stringp", ZncStringp);
}

ZnlObjPtr ZnlListp(const ZnlObjPtr& args, const ZnlObjPtr&) {
    return oneArg(args, "Wrong number of args to listp", ZncListp);
}
