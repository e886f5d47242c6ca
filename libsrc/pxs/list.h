// list.h -- pairs and lists: cons, car and cdr, length, reverse and append,
// as host operations (Znc...) and as PXS primitives (Znl...). Every list
// walk is a loop, so lists of any length are safe.
//
//   ZnlObjPtr l = ZncCons(ZnlObjPtr(1), ZncCons(ZnlObjPtr(2), ZnlObjPtr::nil()));
//   ZncLength(l);   // 2
//   ZncCadr(l);     // the fixnum 2

#ifndef PXS_LIST_H
#define PXS_LIST_H

#include <pxs/memory.h>

// A new cons; any cdr is accepted, so dotted pairs can be built.
ZnlObjPtr ZncCons(const ZnlObjPtr& car, const ZnlObjPtr& cdr);
// The car or cdr of a cons; anything else raises "car of non-cons" or
// "cdr of non-cons".
ZnlObjPtr ZncCar(const ZnlObjPtr& x);
ZnlObjPtr ZncCdr(const ZnlObjPtr& x);
// The 2nd to 7th element.
ZnlObjPtr ZncCadr(const ZnlObjPtr& x);
ZnlObjPtr ZncCaddr(const ZnlObjPtr& x);
ZnlObjPtr ZncCadddr(const ZnlObjPtr& x);
ZnlObjPtr ZncCaddddr(const ZnlObjPtr& x);
ZnlObjPtr ZncCadddddr(const ZnlObjPtr& x);
ZnlObjPtr ZncCaddddddr(const ZnlObjPtr& x);
// Number of elements of a proper list (0 for nil or an empty pointer); an
// improper list raises "ZncLength of non-cons".
int ZncLength(const ZnlObjPtr& x);
// A new list with the elements of `x` reversed; nil yields `x` itself.
ZnlObjPtr ZncReverse(const ZnlObjPtr& x);
// The elements of `a` followed by `b`: `a`'s conses are copied, `b` is
// shared as the tail. Nil `a` yields `b`, nil `b` yields `a` itself.
ZnlObjPtr ZncAppend(const ZnlObjPtr& a, const ZnlObjPtr& b);

namespace pxsdetail {
// ZncReverse for a caller that gives up its reference to `list`. When that
// was the only one, and no cons of the list is shared either, nothing else
// can see the list: its conses are reused, reversed in place, instead of
// copied. Otherwise, and for anything but a proper list, ZncReverse.
ZnlObjPtr reverseOwned(ZnlObjPtr list);
}  // namespace pxsdetail

// List primitives (evaluated argument list, current frame).
ZnlObjPtr ZnlLCons(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlLCar(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlLCdr(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlList(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlLength(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlReverse(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlAppend(const ZnlObjPtr& args, const ZnlObjPtr& frame);

#endif
