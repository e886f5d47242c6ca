// integer.cpp -- 32-bit integer arithmetic and `logior`. Sums, products and
// differences are computed in unsigned arithmetic, where wrapping is
// defined, and converted back: (* 65536 65536) is 0, not undefined.

#include <pxs/integer.h>

#include <cstdint>

#include <pxs/io.h>
#include <pxs/list.h>
#include <util/znNotify.h>

namespace {

bool isFixnum(const ZnlObj* x) { return x && x->tag() == ZnlFixnumTag; }

// Two's-complement reinterpretation; well defined since C++20 and what
// every compiler we build with does before that.
int toSigned(std::uint32_t bits) { return static_cast<int>(bits); }

}  // namespace

int pxsdetail::fixnumStep(ArithOp op, int a, int b) {
    std::uint32_t x = static_cast<std::uint32_t>(a);
    std::uint32_t y = static_cast<std::uint32_t>(b);
    std::uint32_t bits = 0;
    switch (op) {
        case ArithOp::Add: bits = x + y; break;
        case ArithOp::Multiply: bits = x * y; break;
        case ArithOp::Subtract: bits = x - y; break;
    }
    int result = toSigned(bits);
    if (ZnLispDebugOn)
        ZnInfo.printf("(%s %d %d) ==> %d\n", arithTraceName(op), a, b, result);
    return result;
}

int pxsdetail::fixnumNegate(int a) { return toSigned(0u - static_cast<std::uint32_t>(a)); }

// Anything but two integers is refused: or-ing the bits of a float, or of
// a string's address, would give a number nobody asked for.
ZnlObjPtr ZnlLogIOr(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 2) ZncHaltAndCatchFire("Wrong number of args to logior");
    const ZnlObj* a = args->carRef().get();
    const ZnlObj* b = args->cdrRef()->carRef().get();
    if (!isFixnum(a) || !isFixnum(b)) ZncHaltAndCatchFire("Non-integer to logior");
    int result = a->fixnum() | b->fixnum();
    if (ZnLispDebugOn)
        ZnInfo.printf("(logior 0x%X 0x%X) ==> 0x%X\n", static_cast<unsigned>(a->fixnum()),
                      static_cast<unsigned>(b->fixnum()), static_cast<unsigned>(result));
    return ZnlObjPtr(result);
}
