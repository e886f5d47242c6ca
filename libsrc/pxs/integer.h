// integer.h -- integer arithmetic: the 32-bit wrapping step shared by the
// arithmetic primitives, and the bitwise-or primitive `logior`.
//
//   ZnlLogIOr(list of 5 2, frame);   // 7

#ifndef PXS_INTEGER_H
#define PXS_INTEGER_H

#include <pxs/math.h>

namespace pxsdetail {

// `a op b` in 32-bit two's complement (overflow wraps), traced with the
// "%d" formats while ZnLispDebugOn is set.
int fixnumStep(ArithOp op, int a, int b);
// -a in 32-bit two's complement: the most negative value stays itself.
int fixnumNegate(int a);

}  // namespace pxsdetail

// Bitwise or of exactly two integers, as a new integer.
ZnlObjPtr ZnlLogIOr(const ZnlObjPtr& args, const ZnlObjPtr& frame);

#endif
