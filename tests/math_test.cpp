// math_test.cpp -- arithmetic, trigonometric, bitwise and string primitives:
// the kinds of their results, wrapping, the fold orders their traces show,
// division's edge cases, and path-cross's limits.

#include "pxs_test_support.h"

#include <climits>
#include <cmath>
#include <string>

using pxstest::InfoCapture;
using pxstest::listOf;
using pxstest::NoCellLeft;
using pxstest::WarnCapture;

namespace {

ZnlObjPtr num(int n) { return ZnlObjPtr(n); }
ZnlObjPtr flo(double d) { return ZnlObjPtr(d); }
ZnlObjPtr str(const char* s) { return ZnlObjPtr(s); }
const ZnlObjPtr& nil() { return ZnlObjPtr::nil(); }
const ZnlObjPtr& t() { return ZnlObjPtr::t(); }

// Turns the interpreter's traces on for a scope.
class DebugOn {
public:
    DebugOn() : saved_(ZnLispDebugOn) { ZnLispDebugOn = true; }
    ~DebugOn() { ZnLispDebugOn = saved_; }

private:
    bool saved_;
};

void expectFixnum(const ZnlObjPtr& x, int value) {
    ASSERT_TRUE(x);
    ASSERT_EQ(x->tag(), ZnlFixnumTag);
    EXPECT_EQ(x->fixnum(), value);
}

void expectFlonum(const ZnlObjPtr& x, double value) {
    ASSERT_TRUE(x);
    ASSERT_EQ(x->tag(), ZnlFlonumTag);
    EXPECT_DOUBLE_EQ(x->flonum(), value);
}

void expectString(const ZnlObjPtr& x, const std::string& text) {
    ASSERT_TRUE(x);
    ASSERT_EQ(x->tag(), ZnlStringTag);
    EXPECT_EQ(std::string(x->string()), text);
}

TEST(Sums, KindOfResultFollowsOperands) {
    NoCellLeft guard;
    expectFixnum(ZnlPlus(listOf({num(1), num(2)}), nil()), 3);
    expectFlonum(ZnlPlus(listOf({num(1), flo(2.5)}), nil()), 3.5);
    expectFlonum(ZnlPlus(listOf({flo(2.5), num(1)}), nil()), 3.5);
    expectFlonum(ZnlPlus(listOf({flo(0.25), flo(0.5)}), nil()), 0.75);
    expectFixnum(ZnlPlus(listOf({num(1), num(2), num(3), num(4)}), nil()), 10);
    expectFixnum(ZnlMultiply(listOf({num(2), num(3), num(4)}), nil()), 24);
    expectFlonum(ZnlMultiply(listOf({num(2), flo(1.5)}), nil()), 3.0);
}

TEST(Sums, LoneArgumentIsReturnedItself) {
    NoCellLeft guard;
    ZnlObjPtr five = num(5);
    EXPECT_TRUE(ZnlPlus(listOf({five}), nil()) == five);
    EXPECT_TRUE(ZnlMultiply(listOf({five}), nil()) == five);
}

TEST(Sums, IntegersWrapAt32Bits) {
    NoCellLeft guard;
    expectFixnum(ZnlMultiply(listOf({num(65536), num(65536)}), nil()), 0);
    expectFixnum(ZnlPlus(listOf({num(INT_MAX), num(1)}), nil()), INT_MIN);
    expectFixnum(ZnlMinus(listOf({num(INT_MIN), num(1)}), nil()), INT_MAX);
    expectFixnum(ZnlMinus(listOf({num(INT_MIN)}), nil()), INT_MIN);
}

TEST(Sums, ArgumentErrors) {
    NoCellLeft guard;
    EXPECT_PXS_ERROR(ZnlPlus(nil(), nil()), "Wrong number of args to plus");
    EXPECT_PXS_ERROR(ZnlMultiply(nil(), nil()), "Wrong number of args to multiply");
    EXPECT_PXS_ERROR(ZnlMinus(nil(), nil()), "Wrong number of args to subtract");
    EXPECT_PXS_ERROR(ZnlPlus(listOf({str("1")}), nil()), "Non-number to plus");
    EXPECT_PXS_ERROR(ZnlPlus(listOf({str("1"), num(2)}), nil()), "Non-number to plus");
    EXPECT_PXS_ERROR(ZnlPlus(listOf({num(1), num(2), nil()}), nil()), "Non-number to plus");
    EXPECT_PXS_ERROR(ZnlMultiply(listOf({num(1), t()}), nil()), "Non-number to multiply");
    EXPECT_PXS_ERROR(ZnlMinus(listOf({str("x")}), nil()), "Non-number to subtract");
    EXPECT_PXS_ERROR(ZnlMinus(listOf({num(1), num(2), str("x")}), nil()),
                     "Non-number to subtract");
    EXPECT_PXS_ERROR(ZnlPlus(listOf({ZnlObjPtr(), num(2)}), nil()), "Non-number to plus");
}

TEST(Differences, NegationAndLeftFold) {
    NoCellLeft guard;
    expectFixnum(ZnlMinus(listOf({num(5)}), nil()), -5);
    expectFlonum(ZnlMinus(listOf({flo(5.0)}), nil()), -5.0);
    expectFixnum(ZnlMinus(listOf({num(10), num(1), num(2)}), nil()), 7);
    expectFlonum(ZnlMinus(listOf({num(10), flo(0.5), num(2)}), nil()), 7.5);
    // -0.0 is the negation of 0.0: the sign is flipped, not subtracted from 0.
    EXPECT_TRUE(std::signbit(ZnlMinus(listOf({flo(0.0)}), nil())->flonum()));
}

TEST(ArithmeticTraces, StepsAppearInFoldOrderWithKindFormats) {
    NoCellLeft guard;
    DebugOn debug;
    {
        InfoCapture info;
        ZnlPlus(listOf({num(1), num(2), num(3)}), nil());
        EXPECT_EQ(info.text(), "(plus 2 3) ==> 5\n(plus 1 5) ==> 6\n");
    }
    {
        InfoCapture info;
        ZnlMinus(listOf({num(10), num(1), num(2)}), nil());
        EXPECT_EQ(info.text(), "(sub 10 1) ==> 9\n(sub 9 2) ==> 7\n");
    }
    {
        InfoCapture info;
        ZnlMultiply(listOf({num(2), flo(1.5)}), nil());
        ZnlMultiply(listOf({flo(1.5), num(2)}), nil());
        ZnlPlus(listOf({flo(1.5), flo(2.0)}), nil());
        EXPECT_EQ(info.text(),
                  "(mul 2 1.500000) ==> 3.000000\n"
                  "(mul 1.500000 2) ==> 3.000000\n"
                  "(plus 1.500000 2.000000) ==> 3.500000\n");
    }
    {
        InfoCapture info;
        ZnlPlus(listOf({num(4)}), nil());
        ZnlDivide(listOf({num(4), num(2)}), nil());
        EXPECT_EQ(info.text(), "") << "a lone argument and division take no traced step";
    }
}

TEST(ArithmeticTraces, SilentWhenDebugIsOff) {
    NoCellLeft guard;
    InfoCapture info;
    ZnlPlus(listOf({num(1), num(2)}), nil());
    ZnlLogIOr(listOf({num(1), num(2)}), nil());
    EXPECT_EQ(info.text(), "");
}

TEST(Division, WholeQuotientsBecomeIntegers) {
    NoCellLeft guard;
    expectFixnum(ZnlDivide(listOf({num(6), num(3)}), nil()), 2);
    expectFixnum(ZnlDivide(listOf({num(9), num(3)}), nil()), 3);
    expectFixnum(ZnlDivide(listOf({flo(9.0), num(3)}), nil()), 3);
    expectFixnum(ZnlDivide(listOf({flo(6.0), flo(2.0)}), nil()), 3);
    expectFixnum(ZnlDivide(listOf({num(-9), num(3)}), nil()), -3);
    expectFlonum(ZnlDivide(listOf({num(7), num(2)}), nil()), 3.5);
    ZnlObjPtr third = ZnlDivide(listOf({num(1), num(3)}), nil());
    ASSERT_EQ(third->tag(), ZnlFlonumTag);
    EXPECT_NEAR(third->flonum(), 1.0 / 3.0, 1e-15);
}

TEST(Division, IntegersPassThroughSinglePrecision) {
    NoCellLeft guard;
    // 16777217 is the first integer a float cannot hold: it becomes 16777216.
    expectFixnum(ZnlDivide(listOf({num(16777217), num(1)}), nil()), 16777216);
}

TEST(Division, ZeroDivisorAndOutOfRangeQuotientsAreDefined) {
    NoCellLeft guard;
    EXPECT_PXS_ERROR(ZnlDivide(listOf({num(1), num(0)}), nil()), "Division by zero");
    EXPECT_PXS_ERROR(ZnlDivide(listOf({num(0), flo(0.0)}), nil()), "Division by zero");
    EXPECT_PXS_ERROR(ZnlDivide(listOf({flo(1.0), flo(-0.0)}), nil()), "Division by zero");
    // Whole, but beyond 32 bits: the exact quotient comes back as a float.
    expectFlonum(ZnlDivide(listOf({num(INT_MAX), flo(0.5)}), nil()), 4294967296.0);
    expectFlonum(ZnlDivide(listOf({flo(-1e12), num(1)}), nil()), -1e12);
    expectFixnum(ZnlDivide(listOf({flo(-2147483648.0), num(1)}), nil()), INT_MIN);
    ZnlObjPtr inf = ZnlDivide(listOf({flo(INFINITY), num(2)}), nil());
    ASSERT_EQ(inf->tag(), ZnlFlonumTag);
    EXPECT_TRUE(std::isinf(inf->flonum()));
    ZnlObjPtr nan = ZnlDivide(listOf({flo(NAN), num(2)}), nil());
    ASSERT_EQ(nan->tag(), ZnlFlonumTag);
    EXPECT_TRUE(std::isnan(nan->flonum()));
}

TEST(Division, ArgumentErrors) {
    NoCellLeft guard;
    EXPECT_PXS_ERROR(ZnlDivide(listOf({num(1)}), nil()), "Wrong number of args to divide");
    EXPECT_PXS_ERROR(ZnlDivide(listOf({num(1), num(2), num(3)}), nil()),
                     "Wrong number of args to divide");
    EXPECT_PXS_ERROR(ZnlDivide(listOf({num(1), str("2")}), nil()), "Non-number to divide");
}

TEST(AbsSinCos, ResultsAndErrors) {
    NoCellLeft guard;
    expectFixnum(ZnlAbs(listOf({num(-3)}), nil()), 3);
    expectFlonum(ZnlAbs(listOf({flo(-2.5)}), nil()), 2.5);
    ZnlObjPtr four = num(4);
    ZnlObjPtr absFour = ZnlAbs(listOf({four}), nil());
    EXPECT_FALSE(absFour == four) << "abs makes a new object";
    expectFixnum(absFour, 4);
    expectFixnum(ZnlAbs(listOf({num(INT_MIN)}), nil()), INT_MIN);
    EXPECT_PXS_ERROR(ZnlAbs(nil(), nil()), "Wrong number of args to abs");
    EXPECT_PXS_ERROR(ZnlAbs(listOf({str("x")}), nil()), "Non-number to abs");

    expectFlonum(ZnlSin(listOf({num(0)}), nil()), 0.0);
    expectFlonum(ZnlCos(listOf({num(0)}), nil()), 1.0);
    EXPECT_NEAR(ZnlSin(listOf({flo(M_PI / 2)}), nil())->flonum(), 1.0, 1e-15);
    EXPECT_PXS_ERROR(ZnlSin(listOf({num(1), num(2)}), nil()), "Wrong number of args to sin");
    EXPECT_PXS_ERROR(ZnlCos(nil(), nil()), "Wrong number of args to cos");
    EXPECT_PXS_ERROR(ZnlSin(listOf({nil()}), nil()), "Non-number to sin");
    EXPECT_PXS_ERROR(ZnlCos(listOf({str("0")}), nil()), "Non-number to cos");
}

TEST(LogIOr, BitwiseOrOfTwoIntegers) {
    NoCellLeft guard;
    expectFixnum(ZnlLogIOr(listOf({num(5), num(2)}), nil()), 7);
    expectFixnum(ZnlLogIOr(listOf({num(-1), num(0)}), nil()), -1);
    {
        DebugOn debug;
        InfoCapture info;
        ZnlLogIOr(listOf({num(0xA0), num(0x0F)}), nil());
        ZnlLogIOr(listOf({num(-2), num(1)}), nil());
        EXPECT_EQ(info.text(),
                  "(logior 0xA0 0xF) ==> 0xAF\n(logior 0xFFFFFFFE 0x1) ==> 0xFFFFFFFF\n");
    }
    EXPECT_PXS_ERROR(ZnlLogIOr(listOf({num(1)}), nil()), "Wrong number of args to logior");
    EXPECT_PXS_ERROR(ZnlLogIOr(listOf({num(1), flo(2.0)}), nil()), "Non-integer to logior");
}

TEST(Strings, EqualityComparesBytesAndRefusesNonStrings) {
    NoCellLeft guard;
    EXPECT_EQ(ZncStringEqual(str("a"), str("a")), 1);
    EXPECT_EQ(ZncStringEqual(str("a"), str("A")), 0);
    EXPECT_EQ(ZncStringEqual(str("ab"), str("a")), 0);
    EXPECT_EQ(ZncStringEqual(str(nullptr), str("")), 1);
    EXPECT_PXS_ERROR(ZncStringEqual(str("a"), num(1)), "Wrong type arg to ZncStringEqual");
    EXPECT_PXS_ERROR(ZncStringEqual(ZncMakeSymbol("a"), str("a")),
                     "Wrong type arg to ZncStringEqual");
    EXPECT_TRUE(ZnlStringEqual(listOf({str("a"), str("a")}), nil()) == t());
    EXPECT_TRUE(ZnlStringEqual(listOf({str("a"), str("b")}), nil()) == nil());
    EXPECT_PXS_ERROR(ZnlStringEqual(listOf({str("a")}), nil()),
                     "Wrong number of arguments to string-equal");
    EXPECT_PXS_ERROR(ZnlStringEqual(listOf({str("a"), num(1)}), nil()),
                     "Wrong type arg to ZncStringEqual");
}

TEST(Strings, AppendMakesNewStrings) {
    NoCellLeft guard;
    expectString(ZnlStringAppend(listOf({str("a"), str("b"), str("c")}), nil()), "abc");
    ZnlObjPtr lone = str("solo");
    ZnlObjPtr copy = ZnlStringAppend(listOf({lone}), nil());
    EXPECT_FALSE(copy == lone);
    EXPECT_FALSE(copy->string() == lone->string()) << "the text is copied";
    expectString(copy, "solo");
    expectString(ZnlStringAppend(listOf({str(""), str(nullptr), str("x")}), nil()), "x");
    EXPECT_PXS_ERROR(ZnlStringAppend(nil(), nil()), "Wrong number of args to string-append");
    EXPECT_PXS_ERROR(ZnlStringAppend(listOf({num(1)}), nil()), "Non-string to string-append");
    EXPECT_PXS_ERROR(ZnlStringAppend(listOf({str("a"), str("b"), num(1)}), nil()),
                     "Non-string to string-append");
}

TEST(PathCross, CrossesFragmentsInOrder) {
    NoCellLeft guard;
    ZnlObjPtr first = listOf({str("/usr"), str("/opt")});
    ZnlObjPtr second = listOf({str("/lib"), str("/bin")});
    expectString(ZnlPathCross(listOf({first, second}), nil()),
                 ".:/usr/lib:/usr/bin:/opt/lib:/opt/bin");
    expectString(ZnlPathCross(listOf({nil(), second}), nil()), ".");
    expectString(ZnlPathCross(listOf({first, str("/lib")}), nil()), ".");
    EXPECT_PXS_ERROR(ZnlPathCross(listOf({first}), nil()), "Need two args to path-cross");
    EXPECT_PXS_ERROR(ZnlPathCross(listOf({listOf({num(1)}), second}), nil()),
                     "Non-string in list to ZncListToStr");
}

TEST(PathCross, ListsLongerThanSevenWarnAndCountAsEmpty) {
    NoCellLeft guard;
    ZnlObjPtr seven = listOf({str("1"), str("2"), str("3"), str("4"), str("5"), str("6"),
                              str("7")});
    ZnlObjPtr eight = ZncCons(str("0"), seven);
    char* out[7] = {};
    EXPECT_EQ(ZncListToStr(seven, out), 7);
    EXPECT_STREQ(out[6], "7");
    EXPECT_EQ(out[6], ZncCaddddddr(seven)->string()) << "the element's own text";
    WarnCapture warn;
    expectString(ZnlPathCross(listOf({eight, listOf({str("x")})}), nil()), ".");
    EXPECT_EQ(warn.text(), "ZncListToStr: list too long: 8\n");
    EXPECT_EQ(ZncListToStr(str("x"), out), 0);
}

TEST(PathCross, LongResultsAreNeitherCutNorOverrun) {
    NoCellLeft guard;
    std::string big(1000, 'd');
    ZnlObjPtr dirs = listOf({str(big.c_str()), str(big.c_str()), str(big.c_str()),
                             str(big.c_str()), str(big.c_str()), str(big.c_str()),
                             str(big.c_str())});
    ZnlObjPtr result = ZnlPathCross(listOf({dirs, dirs}), nil());
    // "." plus 49 times ":" and two fragments.
    EXPECT_EQ(std::string(result->string()).size(), 1u + 49u * 2001u);
}

}  // namespace
