// math.h -- the arithmetic primitives of PXS: sums, products, differences,
// quotients, absolute values, sine, cosine and bitwise or. Integers compute
// in 32-bit two's complement; as soon as a float takes part the step is
// done in double.
//
//   ZnlPlus(list of 1 2.5, frame);     // the float 3.5
//   ZnlDivide(list of 9 3, frame);     // the integer 3
//   ZnlMinus(list of 10 1 2, frame);   // 7

#ifndef PXS_MATH_H
#define PXS_MATH_H

#include <pxs/memory.h>

namespace pxsdetail {

// The operations of the traced binary arithmetic step, and the words the
// traces name them by ("plus", "mul", "sub").
enum class ArithOp { Add, Multiply, Subtract };
const char* arithTraceName(ArithOp op);

// One binary step on two numbers (the caller has checked both): integers
// stay integers, anything with a float becomes a float. Traced to ZnInfo
// while ZnLispDebugOn is set.
ZnlObjPtr arithmeticStep(ArithOp op, const ZnlObj* a, const ZnlObj* b);

}  // namespace pxsdetail

// Arithmetic primitives (evaluated argument list, current frame; the frame
// is not used). Each returns a new number, except that a lone argument of
// `+` or `*` comes back as the same object.
ZnlObjPtr ZnlPlus(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlMultiply(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlMinus(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlAbs(const ZnlObjPtr& args, const ZnlObjPtr& frame);

#endif
