// float.h -- floating-point arithmetic: the double step used whenever a
// float takes part, division (whose whole quotients come back as integers)
// and the trigonometric primitives.
//
//   ZnlDivide(list of 7 2, frame);   // the float 3.5
//   ZnlSin(list of 0, frame);        // the float 0.0

#ifndef PXS_FLOAT_H
#define PXS_FLOAT_H

#include <pxs/math.h>

namespace pxsdetail {

// `a op b` in double for two numbers of which at least one is a float;
// an integer operand is converted first. Traced with the format that
// matches the kinds of the operands while ZnLispDebugOn is set.
ZnlObjPtr flonumStep(ArithOp op, const ZnlObj* a, const ZnlObj* b);

}  // namespace pxsdetail

// Quotient of exactly two numbers: an integer when the quotient is whole and
// fits 32 bits, a float otherwise. A zero divisor raises "Division by zero".
ZnlObjPtr ZnlDivide(const ZnlObjPtr& args, const ZnlObjPtr& frame);
// Sine and cosine of one number (radians), as a new float.
ZnlObjPtr ZnlSin(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlCos(const ZnlObjPtr& args, const ZnlObjPtr& frame);

#endif
