// list.cpp -- pairs and lists. Length, reverse and append walk along the
// cdr in loops and build copies with a tail pointer, so their host stack
// does not grow with the length of the list.

#include <pxs/list.h>

#include <new>
#include <utility>

#include <pxs/io.h>
#include <pxs/null.h>

namespace {

bool isCons(const ZnlObj* x) { return x && x->tag() == ZnlConsTag; }

bool isListOrNil(const ZnlObjPtr& x) { return ZncNull(x) || x->tag() == ZnlConsTag; }

// The car after `steps` cdr steps, with the same errors as spelled out.
ZnlObjPtr nthCar(const ZnlObjPtr& x, int steps) {
    ZnlObjPtr cursor = x;
    for (int i = 0; i < steps; ++i) cursor = ZncCdr(cursor);
    return ZncCar(cursor);
}

}  // namespace

ZnlObjPtr ZncCons(const ZnlObjPtr& car, const ZnlObjPtr& cdr) {
    ZnlObjPtr cell;
    try {
        cell = ZnlObjPtr(ZnlConsTag);
    } catch (const std::bad_alloc&) {
        ZncHaltAndCatchFire("out of memory in cons");
    }
    cell->setCar(car);
    cell->setCdr(cdr);
    return cell;
}

ZnlObjPtr ZncCar(const ZnlObjPtr& x) {
    if (!isCons(x.get())) ZncHaltAndCatchFire("car of non-cons");
    return x->car();
}

ZnlObjPtr ZncCdr(const ZnlObjPtr& x) {
    if (!isCons(x.get())) ZncHaltAndCatchFire("cdr of non-cons");
    return x->cdr();
}

ZnlObjPtr ZncCadr(const ZnlObjPtr& x) { return nthCar(x, 1); }
ZnlObjPtr ZncCaddr(const ZnlObjPtr& x) { return nthCar(x, 2); }
ZnlObjPtr ZncCadddr(const ZnlObjPtr& x) { return nthCar(x, 3); }
ZnlObjPtr ZncCaddddr(const ZnlObjPtr& x) { return nthCar(x, 4); }
ZnlObjPtr ZncCadddddr(const ZnlObjPtr& x) { return nthCar(x, 5); }
ZnlObjPtr ZncCaddddddr(const ZnlObjPtr& x) { return nthCar(x, 6); }

// Raw pointers are enough for the walk: `x` holds the whole list.
int ZncLength(const ZnlObjPtr& x) {
    int length = 0;
    const ZnlObj* cursor = x.get();
    for (; isCons(cursor); cursor = cursor->cdrRef().get()) ++length;
    if (cursor && cursor->tag() != ZnlNilTag) ZncHaltAndCatchFire("ZncLength of non-cons");
    return length;
}

ZnlObjPtr ZncReverse(const ZnlObjPtr& x) {
    if (!isListOrNil(x)) ZncHaltAndCatchFire("Non list in reverse");
    if (ZncNull(x)) return x;
    ZnlObjPtr result = ZnlObjPtr::nil();
    const ZnlObj* cursor = x.get();
    for (; isCons(cursor); cursor = cursor->cdrRef().get())
        result = ZncCons(cursor->carRef(), result);
    if (cursor && cursor->tag() != ZnlNilTag) ZncHaltAndCatchFire("Non list in reverse");
    return result;
}

ZnlObjPtr pxsdetail::reverseOwned(ZnlObjPtr list) {
    const ZnlObj* cursor = list.get();
    for (; isCons(cursor) && cursor->refcnt() == 1; cursor = cursor->cdrRef().get()) {
    }
    if (!cursor || cursor->tag() != ZnlNilTag || !isCons(list.get())) return ZncReverse(list);
    // Each step moves one cons from the front of `list` to the front of
    // `result`; no count ever reaches zero.
    ZnlObjPtr result = ZnlObjPtr::nil();
    while (isCons(list.get())) {
        ZnlObjPtr rest = list->cdrRef();
        list->setCdr(result);
        result = std::move(list);
        list = std::move(rest);
    }
    return result;
}

// Copies the conses of `a` front to back, hanging each new one on the cdr of
// the previous; an improper `a` raises before anything is returned, and the
// partial copy dies with `head`.
ZnlObjPtr ZncAppend(const ZnlObjPtr& a, const ZnlObjPtr& b) {
    if (!isListOrNil(a) || !isListOrNil(b)) ZncHaltAndCatchFire("Non list in append");
    if (ZncNull(a)) return b;
    if (ZncNull(b)) return a;
    ZnlObjPtr head = ZncCons(a->carRef(), b);
    ZnlObj* tail = head.get();
    const ZnlObj* cursor = a->cdrRef().get();
    for (; isCons(cursor); cursor = cursor->cdrRef().get()) {
        ZnlObjPtr next = ZncCons(cursor->carRef(), b);
        tail->setCdr(next);
        tail = next.get();
    }
    if (cursor && cursor->tag() != ZnlNilTag) ZncHaltAndCatchFire("Non list in append");
    return head;
}

ZnlObjPtr ZnlLCons(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 2) ZncHaltAndCatchFire("Wrong number of args to cons");
    return ZncCons(ZncCar(args), ZncCadr(args));
}

ZnlObjPtr ZnlLCar(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 1) ZncHaltAndCatchFire("Wrong number of args to car");
    return ZncCar(ZncCar(args));
}

ZnlObjPtr ZnlLCdr(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 1) ZncHaltAndCatchFire("Wrong number of args to cdr");
    return ZncCdr(ZncCar(args));
}

ZnlObjPtr ZnlList(const ZnlObjPtr& args, const ZnlObjPtr&) { return args; }

ZnlObjPtr ZnlLength(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 1) ZncHaltAndCatchFire("Wrong number of args to length");
    return ZnlObjPtr(ZncLength(ZncCar(args)));
}

ZnlObjPtr ZnlReverse(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 1) ZncHaltAndCatchFire("Wrong number of args to reverse");
    return ZncReverse(ZncCar(args));
}

ZnlObjPtr ZnlAppend(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 2) ZncHaltAndCatchFire("Wrong number of args to append");
    return ZncAppend(ZncCar(args), ZncCadr(args));
}
