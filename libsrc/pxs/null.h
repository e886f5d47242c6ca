// null.h -- truth, type predicates and comparisons: identity, structural
// and numeric equality and numeric order, as host operations (returning
// int) and as PXS primitives (returning t or nil).
//
//   ZncEqual(a, b);                            // 1 when same structure
//   ZncCBooleanToLispBoolean(ZncLess(a, b));   // t or nil

#ifndef PXS_NULL_H
#define PXS_NULL_H

#include <pxs/memory.h>

// 1 when `a` and `b` are the same cell.
int ZncEq(const ZnlObjPtr& a, const ZnlObjPtr& b);
// 1 for an empty pointer or a cell of kind nil.
int ZncNull(const ZnlObjPtr& x);
// 1 for a fixnum or flonum.
int ZncNumberp(const ZnlObjPtr& x);
// 1 for a string.
int ZncStringp(const ZnlObjPtr& x);
// 1 for a cons only (nil gives 0).
int ZncListp(const ZnlObjPtr& x);
// Numeric equality (fixnums and flonums mixed) or, for two locatives, the
// same target; other kinds raise "Wrong type to ZncEqualSign".
int ZncEqualSign(const ZnlObjPtr& a, const ZnlObjPtr& b);
// Structural equality; kinds must match (1 and 1.0 differ).
int ZncEqual(const ZnlObjPtr& a, const ZnlObjPtr& b);
// Numeric order a > b, a < b, a <= b, a >= b.
int ZncGreater(const ZnlObjPtr& a, const ZnlObjPtr& b);
int ZncLess(const ZnlObjPtr& a, const ZnlObjPtr& b);
int ZncLessEqual(const ZnlObjPtr& a, const ZnlObjPtr& b);
int ZncGreaterEqual(const ZnlObjPtr& a, const ZnlObjPtr& b);
// t for non-zero, nil for zero.
ZnlObjPtr ZncCBooleanToLispBoolean(int value);

// Predicate and comparison primitives (evaluated argument list, frame).
ZnlObjPtr ZnlEq(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlEqual(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlEqualSign(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlGreater(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlLess(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlLessEqual(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlGreaterEqual(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlNotOrNull(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlNumberp(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlStringp(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlListp(const ZnlObjPtr& args, const ZnlObjPtr& frame);

#endif
