// math.cpp -- the folds behind `+`, `*` and `-`, and `abs`. Sums and
// products fold from the right ((+ 1 2 3) adds 2 and 3 first), differences
// from the left; both walk the argument list in a loop, and the traces come
// out in the order the steps are taken.

#include <pxs/math.h>

#include <vector>

#include <pxs/float.h>
#include <pxs/integer.h>
#include <pxs/io.h>
#include <pxs/list.h>

namespace {

using pxsdetail::ArithOp;

bool isNumber(const ZnlObj* x) {
    return x && (x->tag() == ZnlFixnumTag || x->tag() == ZnlFlonumTag);
}

// The elements of an argument list, in order. Calls rarely pass more than
// a few, so those stay in place and only longer lists allocate.
class ArgVector {
public:
    explicit ArgVector(const ZnlObjPtr& args) {
        for (const ZnlObj* p = args.get(); p && p->tag() == ZnlConsTag; p = p->cdrRef().get())
            push(p->carRef().get());
    }
    int size() const { return size_; }
    const ZnlObj* operator[](int i) const { return i < kInline ? inline_[i] : more_[i - kInline]; }

private:
    static constexpr int kInline = 8;
    void push(const ZnlObj* x) {
        if (size_ < kInline)
            inline_[size_] = x;
        else
            more_.push_back(x);
        ++size_;
    }
    const ZnlObj* inline_[kInline] = {};
    std::vector<const ZnlObj*> more_;
    int size_ = 0;
};

// (op a1 (op a2 (... an))): the last argument is checked first, then each
// earlier one just before the step that uses it.
ZnlObjPtr rightFold(ArithOp op, const ZnlObjPtr& args, const char* arity, const char* type) {
    ArgVector items(args);
    int n = items.size();
    if (n == 0) ZncHaltAndCatchFire(arity);
    if (!isNumber(items[n - 1])) ZncHaltAndCatchFire(type);
    if (n == 1) return args->carRef();
    ZnlObjPtr result;
    const ZnlObj* right = items[n - 1];
    for (int i = n - 2; i >= 0; --i) {
        if (!isNumber(items[i])) ZncHaltAndCatchFire(type);
        result = pxsdetail::arithmeticStep(op, items[i], right);
        right = result.get();
    }
    return result;
}

ZnlObjPtr negate(const ZnlObj* x) {
    if (x->tag() == ZnlFixnumTag) return ZnlObjPtr(pxsdetail::fixnumNegate(x->fixnum()));
    return ZnlObjPtr(-x->flonum());
}

}  // namespace

const char* pxsdetail::arithTraceName(ArithOp op) {
    switch (op) {
        case ArithOp::Add: return "plus";
        case ArithOp::Multiply: return "mul";
        case ArithOp::Subtract: return "sub";
    }
    return "?";
}

ZnlObjPtr pxsdetail::arithmeticStep(ArithOp op, const ZnlObj* a, const ZnlObj* b) {
    if (a->tag() == ZnlFixnumTag && b->tag() == ZnlFixnumTag)
        return ZnlObjPtr(fixnumStep(op, a->fixnum(), b->fixnum()));
    return flonumStep(op, a, b);
}

ZnlObjPtr ZnlPlus(const ZnlObjPtr& args, const ZnlObjPtr&) {
    return rightFold(ArithOp::Add, args, "Wrong number of args to plus", "Non-number to plus");
}

ZnlObjPtr ZnlMultiply(const ZnlObjPtr& args, const ZnlObjPtr&) {
    return rightFold(ArithOp::Multiply, args, "Wrong number of args to multiply",
                     "Non-number to multiply");
}

// ((a1 - a2) - a3) ...: each step checks the running result and the next
// argument, as a fresh call on (result a3 ...) would.
ZnlObjPtr ZnlMinus(const ZnlObjPtr& args, const ZnlObjPtr&) {
    ArgVector items(args);
    int n = items.size();
    if (n == 0) ZncHaltAndCatchFire("Wrong number of args to subtract");
    if (!isNumber(items[0])) ZncHaltAndCatchFire("Non-number to subtract");
    if (n == 1) return negate(items[0]);
    ZnlObjPtr result;
    const ZnlObj* left = items[0];
    for (int i = 1; i < n; ++i) {
        if (!isNumber(items[i])) ZncHaltAndCatchFire("Non-number to subtract");
        result = pxsdetail::arithmeticStep(ArithOp::Subtract, left, items[i]);
        left = result.get();
    }
    return result;
}

ZnlObjPtr ZnlAbs(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 1) ZncHaltAndCatchFire("Wrong number of args to abs");
    const ZnlObj* x = args->carRef().get();
    if (!isNumber(x)) ZncHaltAndCatchFire("Non-number to abs");
    if (x->tag() == ZnlFixnumTag)
        return ZnlObjPtr(x->fixnum() < 0 ? pxsdetail::fixnumNegate(x->fixnum()) : x->fixnum());
    return ZnlObjPtr(x->flonum() < 0.0 ? -x->flonum() : x->flonum());
}
