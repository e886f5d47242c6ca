// lstring.cpp -- string comparison, concatenation and `path-cross`. Results
// are built in growing buffers, so neither a long concatenation nor a
// path-cross of long fragments can overrun anything.

#include <pxs/lstring.h>

#include <cstring>
#include <new>
#include <string>

#include <pxs/io.h>
#include <pxs/list.h>
#include <pxs/null.h>
#include <util/znNotify.h>

namespace {

// Fragments each list of a path-cross may hold.
constexpr int kMaxFragments = 7;

bool isString(const ZnlObj* x) { return x && x->tag() == ZnlStringTag; }

// A string cell made without text reads as empty.
const char* textOf(const ZnlObj* x) { return x->string() ? x->string() : ""; }

// Concatenates the texts of a list of strings; any non-string raises.
std::string joinStrings(const ZnlObjPtr& args) {
    std::string joined;
    for (const ZnlObj* p = args.get(); p && p->tag() == ZnlConsTag; p = p->cdrRef().get()) {
        const ZnlObj* item = p->carRef().get();
        if (!isString(item)) ZncHaltAndCatchFire("Non-string to string-append");
        joined += textOf(item);
    }
    return joined;
}

}  // namespace

int ZncStringEqual(const ZnlObjPtr& a, const ZnlObjPtr& b) {
    if (!isString(a.get()) || !isString(b.get()))
        ZncHaltAndCatchFire("Wrong type arg to ZncStringEqual");
    return std::strcmp(textOf(a.get()), textOf(b.get())) == 0 ? 1 : 0;
}

// A path fragment that is not a string has no text to contribute; it is
// refused rather than skipped, so a mistake in a path list is seen.
int ZncListToStr(const ZnlObjPtr& list, char** out) {
    if (!list || list->tag() != ZnlConsTag) return 0;
    int n = ZncLength(list);
    if (n > kMaxFragments) {
        ZnWarn.printf("ZncListToStr: list too long: %d\n", n);
        return 0;
    }
    int i = 0;
    for (const ZnlObj* p = list.get(); p && p->tag() == ZnlConsTag; p = p->cdrRef().get()) {
        const ZnlObj* item = p->carRef().get();
        if (!isString(item)) ZncHaltAndCatchFire("Non-string in list to ZncListToStr");
        out[i++] = const_cast<char*>(textOf(item));
    }
    return n;
}

ZnlObjPtr ZnlStringEqual(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 2) ZncHaltAndCatchFire("Wrong number of arguments to string-equal");
    return ZncCBooleanToLispBoolean(ZncStringEqual(args->carRef(), args->cdrRef()->carRef()));
}

ZnlObjPtr ZnlStringAppend(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (!args || args->tag() != ZnlConsTag) ZncHaltAndCatchFire("Wrong number of args to string-append");
    try {
        return ZnlObjPtr(joinStrings(args).c_str());
    } catch (const std::bad_alloc&) {
        ZncHaltAndCatchFire("Out of memory in string-append");
    }
}

// "." then ":" a b for every fragment a of the first list and, within it,
// every fragment b of the second. The result grows as needed: a long path
// is neither cut nor written past a fixed buffer.
ZnlObjPtr ZnlPathCross(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 2) ZncHaltAndCatchFire("Need two args to path-cross");
    char* firsts[kMaxFragments];
    char* seconds[kMaxFragments];
    int p = ZncListToStr(args->carRef(), firsts);
    int q = ZncListToStr(args->cdrRef()->carRef(), seconds);
    std::string path = ".";
    for (int i = 0; i < p; ++i) {
        for (int j = 0; j < q; ++j) {
            path += ':';
            path += firsts[i];
            path += seconds[j];
        }
    }
    return ZnlObjPtr(path.c_str());
}
