// math_test.cpp -- arithmetic, trigonometric, bitwise and string primitives:
// the kinds of their results, wrapping, the fold orders their traces show,
// division's edge cases, and path-cross's limits.

#include "pxs_test_support.h"

#include <climits>
#include <cmath>
#include <string>

using namespace pxstest;

namespace {

TEST(Arithmetic, KindsWrappingAndArgumentErrors) {
    NoCellLeft guard;
    expectCalls({
        {ZnlPlus, listOf({num(1), num(2)}), num(3)},
        {ZnlPlus, listOf({num(1), flo(2.5)}), flo(3.5)},
        {ZnlPlus, listOf({flo(2.5), num(1)}), flo(3.5)},
        {ZnlPlus, listOf({flo(0.25), flo(0.5)}), flo(0.75)},
        {ZnlPlus, listOf({num(1), num(2), num(3), num(4)}), num(10)},
        {ZnlMultiply, listOf({num(2), num(3), num(4)}), num(24)},
        {ZnlMultiply, listOf({num(2), flo(1.5)}), flo(3.0)},
        {ZnlMinus, listOf({num(5)}), num(-5)},
        {ZnlMinus, listOf({flo(5.0)}), flo(-5.0)},
        {ZnlMinus, listOf({num(10), num(1), num(2)}), num(7)},
        {ZnlMinus, listOf({num(10), flo(0.5), num(2)}), flo(7.5)},
        // Integers wrap at 32 bits.
        {ZnlMultiply, listOf({num(65536), num(65536)}), num(0)},
        {ZnlPlus, listOf({num(INT_MAX), num(1)}), num(INT_MIN)},
        {ZnlMinus, listOf({num(INT_MIN), num(1)}), num(INT_MAX)},
        {ZnlMinus, listOf({num(INT_MIN)}), num(INT_MIN)},
        {ZnlPlus, nil(), "Wrong number of args to plus"},
        {ZnlMultiply, nil(), "Wrong number of args to multiply"},
        {ZnlMinus, nil(), "Wrong number of args to subtract"},
        {ZnlPlus, listOf({str("1")}), "Non-number to plus"},
        {ZnlPlus, listOf({str("1"), num(2)}), "Non-number to plus"},
        {ZnlPlus, listOf({num(1), num(2), nil()}), "Non-number to plus"},
        {ZnlPlus, listOf({ZnlObjPtr(), num(2)}), "Non-number to plus"},
        {ZnlMultiply, listOf({num(1), t()}), "Non-number to multiply"},
        {ZnlMinus, listOf({str("x")}), "Non-number to subtract"},
        {ZnlMinus, listOf({num(1), num(2), str("x")}), "Non-number to subtract"},
    });
    // A lone argument is returned itself.
    ZnlObjPtr five = num(5);
    EXPECT_TRUE(ZnlPlus(listOf({five}), nil()) == five);
    EXPECT_TRUE(ZnlMultiply(listOf({five}), nil()) == five);
    // -0.0 is the negation of 0.0: the sign is flipped, not subtracted from 0.
    EXPECT_TRUE(std::signbit(ZnlMinus(listOf({flo(0.0)}), nil())->flonum()));
}

TEST(Arithmetic, TracesShowTheFoldOrderInEachKindsFormat) {
    NoCellLeft guard;
    {
        InfoCapture info;
        ZnlPlus(listOf({num(1), num(2)}), nil());
        ZnlLogIOr(listOf({num(1), num(2)}), nil());
        EXPECT_EQ(info.text(), "") << "silent while debugging is off";
    }
    DebugOn debug;
    InfoCapture info;
    ZnlPlus(listOf({num(1), num(2), num(3)}), nil());
    ZnlMinus(listOf({num(10), num(1), num(2)}), nil());
    ZnlMultiply(listOf({num(2), flo(1.5)}), nil());
    ZnlMultiply(listOf({flo(1.5), num(2)}), nil());
    ZnlPlus(listOf({flo(1.5), flo(2.0)}), nil());
    // A lone argument and division take no traced step.
    ZnlPlus(listOf({num(4)}), nil());
    ZnlDivide(listOf({num(4), num(2)}), nil());
    ZnlLogIOr(listOf({num(0xA0), num(0x0F)}), nil());
    ZnlLogIOr(listOf({num(-2), num(1)}), nil());
    EXPECT_EQ(info.text(),
              "(plus 2 3) ==> 5\n(plus 1 5) ==> 6\n"
              "(sub 10 1) ==> 9\n(sub 9 2) ==> 7\n"
              "(mul 2 1.500000) ==> 3.000000\n"
              "(mul 1.500000 2) ==> 3.000000\n"
              "(plus 1.500000 2.000000) ==> 3.500000\n"
              "(logior 0xA0 0xF) ==> 0xAF\n(logior 0xFFFFFFFE 0x1) ==> 0xFFFFFFFF\n");
}

TEST(Division, WholeQuotientsBecomeIntegersAndEdgesAreDefined) {
    NoCellLeft guard;
    expectCalls({
        {ZnlDivide, listOf({num(6), num(3)}), num(2)},
        {ZnlDivide, listOf({flo(9.0), num(3)}), num(3)},
        {ZnlDivide, listOf({flo(6.0), flo(2.0)}), num(3)},
        {ZnlDivide, listOf({num(-9), num(3)}), num(-3)},
        {ZnlDivide, listOf({num(7), num(2)}), flo(3.5)},
        // Integers pass through single precision: 16777217 is the first
        // integer a float cannot hold.
        {ZnlDivide, listOf({num(16777217), num(1)}), num(16777216)},
        // Whole, but beyond 32 bits: the exact quotient comes back as a float.
        {ZnlDivide, listOf({num(INT_MAX), flo(0.5)}), flo(4294967296.0)},
        {ZnlDivide, listOf({flo(-1e12), num(1)}), flo(-1e12)},
        {ZnlDivide, listOf({flo(-2147483648.0), num(1)}), num(INT_MIN)},
        {ZnlDivide, listOf({num(1), num(0)}), "Division by zero"},
        {ZnlDivide, listOf({num(0), flo(0.0)}), "Division by zero"},
        {ZnlDivide, listOf({flo(1.0), flo(-0.0)}), "Division by zero"},
        {ZnlDivide, listOf({num(1)}), "Wrong number of args to divide"},
        {ZnlDivide, listOf({num(1), num(2), num(3)}), "Wrong number of args to divide"},
        {ZnlDivide, listOf({num(1), str("2")}), "Non-number to divide"},
    });
    ZnlObjPtr third = ZnlDivide(listOf({num(1), num(3)}), nil());
    ASSERT_EQ(third->tag(), ZnlFlonumTag);
    EXPECT_NEAR(third->flonum(), 1.0 / 3.0, 1e-15);
    ZnlObjPtr inf = ZnlDivide(listOf({flo(INFINITY), num(2)}), nil());
    ZnlObjPtr nan = ZnlDivide(listOf({flo(NAN), num(2)}), nil());
    ASSERT_EQ(inf->tag(), ZnlFlonumTag);
    ASSERT_EQ(nan->tag(), ZnlFlonumTag);
    EXPECT_TRUE(std::isinf(inf->flonum()));
    EXPECT_TRUE(std::isnan(nan->flonum()));
}

TEST(AbsSinCosLogIOr, ResultsAndErrors) {
    NoCellLeft guard;
    expectCalls({
        {ZnlAbs, listOf({num(-3)}), num(3)},
        {ZnlAbs, listOf({flo(-2.5)}), flo(2.5)},
        {ZnlAbs, listOf({num(INT_MIN)}), num(INT_MIN)},
        {ZnlAbs, nil(), "Wrong number of args to abs"},
        {ZnlAbs, listOf({str("x")}), "Non-number to abs"},
        {ZnlSin, listOf({num(0)}), flo(0.0)},
        {ZnlCos, listOf({num(0)}), flo(1.0)},
        {ZnlSin, listOf({num(1), num(2)}), "Wrong number of args to sin"},
        {ZnlCos, nil(), "Wrong number of args to cos"},
        {ZnlSin, listOf({nil()}), "Non-number to sin"},
        {ZnlCos, listOf({str("0")}), "Non-number to cos"},
        {ZnlLogIOr, listOf({num(5), num(2)}), num(7)},
        {ZnlLogIOr, listOf({num(-1), num(0)}), num(-1)},
        {ZnlLogIOr, listOf({num(1)}), "Wrong number of args to logior"},
        {ZnlLogIOr, listOf({num(1), flo(2.0)}), "Non-integer to logior"},
    });
    ZnlObjPtr four = num(4);
    EXPECT_FALSE(ZnlAbs(listOf({four}), nil()) == four) << "abs makes a new object";
    EXPECT_NEAR(ZnlSin(listOf({flo(M_PI / 2)}), nil())->flonum(), 1.0, 1e-15);
}

TEST(Strings, EqualityAndAppend) {
    NoCellLeft guard;
    EXPECT_EQ(ZncStringEqual(str("a"), str("a")), 1);
    EXPECT_EQ(ZncStringEqual(str("a"), str("A")), 0);
    EXPECT_EQ(ZncStringEqual(str("ab"), str("a")), 0);
    EXPECT_EQ(ZncStringEqual(str(nullptr), str("")), 1);
    EXPECT_PXS_ERROR(ZncStringEqual(str("a"), num(1)), "Wrong type arg to ZncStringEqual");
    EXPECT_PXS_ERROR(ZncStringEqual(sym("a"), str("a")), "Wrong type arg to ZncStringEqual");
    expectCalls({
        {ZnlStringEqual, listOf({str("a"), str("a")}), t()},
        {ZnlStringEqual, listOf({str("a"), str("b")}), nil()},
        {ZnlStringEqual, listOf({str("a")}), "Wrong number of arguments to string-equal"},
        {ZnlStringEqual, listOf({str("a"), num(1)}), "Wrong type arg to ZncStringEqual"},
        {ZnlStringAppend, listOf({str("a"), str("b"), str("c")}), str("abc")},
        {ZnlStringAppend, listOf({str(""), str(nullptr), str("x")}), str("x")},
        {ZnlStringAppend, nil(), "Wrong number of args to string-append"},
        {ZnlStringAppend, listOf({num(1)}), "Non-string to string-append"},
        {ZnlStringAppend, listOf({str("a"), str("b"), num(1)}), "Non-string to string-append"},
    });
    ZnlObjPtr lone = str("solo");
    ZnlObjPtr copy = ZnlStringAppend(listOf({lone}), nil());
    EXPECT_FALSE(copy == lone || copy->string() == lone->string()) << "the text is copied";
    EXPECT_STREQ(copy->string(), "solo");
}

TEST(PathCross, CrossesFragmentsInOrder) {
    NoCellLeft guard;
    ZnlObjPtr first = listOf({str("/usr"), str("/opt")});
    ZnlObjPtr second = listOf({str("/lib"), str("/bin")});
    expectCalls({
        {ZnlPathCross, listOf({first, second}), str(".:/usr/lib:/usr/bin:/opt/lib:/opt/bin")},
        {ZnlPathCross, listOf({nil(), second}), str(".")},
        {ZnlPathCross, listOf({first, str("/lib")}), str(".")},
        {ZnlPathCross, listOf({first}), "Need two args to path-cross"},
        {ZnlPathCross, listOf({listOf({num(1)}), second}), "Non-string in list to ZncListToStr"},
    });
}

TEST(PathCross, ListsLongerThanSevenCountAsEmptyAndLongResultsFit) {
    NoCellLeft guard;
    ZnlObjPtr seven =
        listOf({str("1"), str("2"), str("3"), str("4"), str("5"), str("6"), str("7")});
    char* out[7] = {};
    EXPECT_EQ(ZncListToStr(seven, out), 7);
    EXPECT_EQ(out[6], ZncCaddddddr(seven)->string()) << "the element's own text";
    EXPECT_EQ(ZncListToStr(str("x"), out), 0);
    WarnCapture warn;
    ZnlObjPtr eight = ZncCons(str("0"), seven);
    EXPECT_STREQ(ZnlPathCross(listOf({eight, listOf({str("x")})}), nil())->string(), ".");
    EXPECT_EQ(warn.text(), "ZncListToStr: list too long: 8\n");
    // Long results are neither cut nor overrun.
    ZnlObjPtr d = str(std::string(1000, 'd').c_str());
    ZnlObjPtr dirs = listOf({d, d, d, d, d, d, d});
    ZnlObjPtr result = ZnlPathCross(listOf({dirs, dirs}), nil());
    // "." plus 49 times ":" and two fragments.
    EXPECT_EQ(std::string(result->string()).size(), 1u + 49u * 2001u);
}

}  // namespace
