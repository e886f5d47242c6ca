// alist.cpp -- association-list lookups. The three differ only in the test
// applied to each pair's car, which is always the first operand.

#include <pxs/alist.h>

#include <pxs/io.h>
#include <pxs/list.h>
#include <pxs/null.h>

namespace {

using Match = int (*)(const ZnlObjPtr&, const ZnlObjPtr&);

// Measures the list first, as the lookup is defined over its elements: an
// improper alist fails before any element is compared.
ZnlObjPtr findPair(const ZnlObjPtr& key, const ZnlObjPtr& alist, Match match) {
    int n = ZncLength(alist);
    const ZnlObj* cursor = alist.get();
    for (int i = 0; i < n; ++i, cursor = cursor->cdrRef().get()) {
        const ZnlObjPtr& pair = cursor->carRef();
        if (!pair || pair->tag() != ZnlConsTag) ZncHaltAndCatchFire("car of non-cons");
        if (match(pair->carRef(), key)) return pair;
    }
    return ZnlObjPtr::nil();
}

}  // namespace

ZnlObjPtr ZncAssoc(const ZnlObjPtr& key, const ZnlObjPtr& alist) {
    return findPair(key, alist, ZncEqual);
}

ZnlObjPtr ZncAssq(const ZnlObjPtr& key, const ZnlObjPtr& alist) {
    return findPair(key, alist, ZncEq);
}

ZnlObjPtr ZncAssv(const ZnlObjPtr& key, const ZnlObjPtr& alist) {
    return findPair(key, alist, ZncEqualSign);
}

ZnlObjPtr ZnlAssoc(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 2) ZncHaltAndCatchFire("Wrong number of args to assoc");
    return ZncAssoc(ZncCar(args), ZncCadr(args));
}

ZnlObjPtr ZnlAssq(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 2) ZncHaltAndCatchFire("Wrong number of args to assq");
    return ZncAssq(ZncCar(args), ZncCadr(args));
}

ZnlObjPtr ZnlAssv(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 2) ZncHaltAndCatchFire("Wrong number of args to assv");
    return ZncAssv(ZncCar(args), ZncCadr(args));
}
