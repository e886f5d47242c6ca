// float.cpp -- double-precision arithmetic, division and the trigonometric
// primitives. Division is the one place where a float can turn back into
// an integer, so it is also where out-of-range values must be caught: a
// whole quotient is only converted when it fits 32 bits.

#include <pxs/float.h>

#include <cmath>

#include <pxs/io.h>
#include <pxs/list.h>
#include <util/znNotify.h>

namespace {

bool isFixnum(const ZnlObj* x) { return x->tag() == ZnlFixnumTag; }

bool isNumber(const ZnlObj* x) {
    return x && (x->tag() == ZnlFixnumTag || x->tag() == ZnlFlonumTag);
}

double asDouble(const ZnlObj* x) {
    return isFixnum(x) ? static_cast<double>(x->fixnum()) : x->flonum();
}

// Division takes an integer through single precision, as it always has:
// integers above 2^24 in magnitude lose their low bits here.
double asDivideOperand(const ZnlObj* x) {
    return isFixnum(x) ? static_cast<double>(static_cast<float>(x->fixnum())) : x->flonum();
}

double apply(pxsdetail::ArithOp op, double a, double b) {
    switch (op) {
        case pxsdetail::ArithOp::Add: return a + b;
        case pxsdetail::ArithOp::Multiply: return a * b;
        case pxsdetail::ArithOp::Subtract: return a - b;
    }
    return 0.0;
}

void trace(pxsdetail::ArithOp op, const ZnlObj* a, const ZnlObj* b, double result) {
    const char* name = pxsdetail::arithTraceName(op);
    if (isFixnum(a))
        ZnInfo.printf("(%s %d %lf) ==> %lf\n", name, a->fixnum(), b->flonum(), result);
    else if (isFixnum(b))
        ZnInfo.printf("(%s %lf %d) ==> %lf\n", name, a->flonum(), b->fixnum(), result);
    else
        ZnInfo.printf("(%s %lf %lf) ==> %lf\n", name, a->flonum(), b->flonum(), result);
}

// The one number of a one-argument primitive; `arity` and `type` are the
// messages for a wrong count and a non-number.
const ZnlObj* singleNumber(const ZnlObjPtr& args, const char* arity, const char* type) {
    if (ZncLength(args) != 1) ZncHaltAndCatchFire(arity);
    const ZnlObj* x = args->carRef().get();
    if (!isNumber(x)) ZncHaltAndCatchFire(type);
    return x;
}

}  // namespace

ZnlObjPtr pxsdetail::flonumStep(ArithOp op, const ZnlObj* a, const ZnlObj* b) {
    double result = apply(op, asDouble(a), asDouble(b));
    if (ZnLispDebugOn) trace(op, a, b, result);
    return ZnlObjPtr(result);
}

// A zero divisor is an error rather than an infinity or a NaN: a
// configuration value computed from it is never what the author meant. A
// whole quotient outside the 32-bit range stays a float, holding the exact
// quotient instead of a wrapped or undefined conversion.
ZnlObjPtr ZnlDivide(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 2) ZncHaltAndCatchFire("Wrong number of args to divide");
    const ZnlObj* a = args->carRef().get();
    const ZnlObj* b = args->cdrRef()->carRef().get();
    if (!isNumber(a) || !isNumber(b)) ZncHaltAndCatchFire("Non-number to divide");
    double divisor = asDivideOperand(b);
    if (divisor == 0.0) ZncHaltAndCatchFire("Division by zero");
    double quotient = asDivideOperand(a) / divisor;
    if (!std::isnan(quotient) && quotient == std::floor(quotient) && quotient >= -2147483648.0 &&
        quotient <= 2147483647.0)
        return ZnlObjPtr(static_cast<int>(quotient));
    return ZnlObjPtr(quotient);
}

ZnlObjPtr ZnlSin(const ZnlObjPtr& args, const ZnlObjPtr&) {
    const ZnlObj* x = singleNumber(args, "Wrong number of args to sin", "Non-number to sin");
    return ZnlObjPtr(std::sin(asDouble(x)));
}

ZnlObjPtr ZnlCos(const ZnlObjPtr& args, const ZnlObjPtr&) {
    const ZnlObj* x = singleNumber(args, "Wrong number of args to cos", "Non-number to cos");
    return ZnlObjPtr(std::cos(asDouble(x)));
}
