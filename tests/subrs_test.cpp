// subrs_test.cpp -- system primitives against the real process: environment
// variables, shell commands and their output, number/string conversion, and
// process exit (in death tests).

#include "pxs_test_support.h"

#include <csignal>
#include <cstdlib>
#include <string>

using pxstest::InfoCapture;
using pxstest::listOf;
using pxstest::NoCellLeft;

namespace {

ZnlObjPtr num(int n) { return ZnlObjPtr(n); }
ZnlObjPtr flo(double d) { return ZnlObjPtr(d); }
ZnlObjPtr str(const char* s) { return ZnlObjPtr(s); }
const ZnlObjPtr& nil() { return ZnlObjPtr::nil(); }

class DebugOn {
public:
    DebugOn() : saved_(ZnLispDebugOn) { ZnLispDebugOn = true; }
    ~DebugOn() { ZnLispDebugOn = saved_; }

private:
    bool saved_;
};

std::string textOf(const ZnlObjPtr& x) {
    EXPECT_TRUE(x && x->tag() == ZnlStringTag);
    return x && x->tag() == ZnlStringTag ? x->string() : "";
}

// The strings of a list, joined with "|" for one-line comparisons.
std::string joined(const ZnlObjPtr& list) {
    std::string all;
    for (ZnlObjPtr p = list; p->tag() == ZnlConsTag; p = p->cdr())
        all += (all.empty() ? "" : "|") + textOf(p->car());
    return all;
}

TEST(Environment, PutenvThenGetenv) {
    NoCellLeft guard;
    EXPECT_TRUE(ZnlGetenv(listOf({str("PXS_SURELY_UNSET_NAME")}), nil()) == nil());
    ZnlObjPtr value = str("1");
    EXPECT_TRUE(ZnlPutenv(listOf({str("PXS_SUBRS_A"), value}), nil()) == value);
    EXPECT_STREQ(std::getenv("PXS_SUBRS_A"), "1");
    EXPECT_EQ(textOf(ZnlGetenv(listOf({str("PXS_SUBRS_A")}), nil())), "1");
    // Setting the same name again replaces the value; the first buffer must
    // stay valid and not be reported as a leak.
    ZnlPutenv(listOf({str("PXS_SUBRS_A"), str("second value")}), nil());
    EXPECT_EQ(textOf(ZnlGetenv(listOf({str("PXS_SUBRS_A")}), nil())), "second value");
    ZnlPutenv(listOf({str("PXS_SUBRS_EMPTY"), str("")}), nil());
    EXPECT_EQ(textOf(ZnlGetenv(listOf({str("PXS_SUBRS_EMPTY")}), nil())), "");
}

TEST(Environment, ArgumentErrors) {
    NoCellLeft guard;
    EXPECT_PXS_ERROR(ZnlGetenv(nil(), nil()), "Wrong number of args to getenv");
    EXPECT_PXS_ERROR(ZnlGetenv(listOf({num(1)}), nil()), "Non-string argument to getenv");
    EXPECT_PXS_ERROR(ZnlPutenv(listOf({str("A")}), nil()), "Wrong number of args to putenv");
    EXPECT_PXS_ERROR(ZnlPutenv(listOf({num(1), str("x")}), nil()),
                     "variable name must be string");
    EXPECT_PXS_ERROR(ZnlPutenv(listOf({str("A"), num(1)}), nil()),
                     "variable value must be string");
}

TEST(Environment, GetenvTracesOnlyFoundValues) {
    NoCellLeft guard;
    setenv("PXS_SUBRS_TRACE", "v", 1);
    DebugOn debug;
    InfoCapture info;
    ZnlGetenv(listOf({str("PXS_SUBRS_TRACE")}), nil());
    ZnlGetenv(listOf({str("PXS_SURELY_UNSET_NAME")}), nil());
    EXPECT_EQ(info.text(), "(getenv \"PXS_SUBRS_TRACE\") ==> \"v\")\n");
}

TEST(Shell, SystemReturnsTheExitCode) {
    NoCellLeft guard;
    ZnlObjPtr status = ZnlSystem(listOf({str("exit 3")}), nil());
    ASSERT_EQ(status->tag(), ZnlFixnumTag);
    EXPECT_EQ(status->fixnum(), 3);
    EXPECT_EQ(ZnlSystem(listOf({str("true")}), nil())->fixnum(), 0);
    EXPECT_PXS_ERROR(ZnlSystem(nil(), nil()), "Wrong number of args to system");
    EXPECT_PXS_ERROR(ZnlSystem(listOf({num(1)}), nil()), "Non-string argument to system");
}

TEST(Shell, PopenSplitsOutputIntoLines) {
    NoCellLeft guard;
    EXPECT_EQ(joined(ZnlPopen(listOf({str("printf 'a\\nb\\n'")}), nil())), "a|b");
    EXPECT_EQ(joined(ZnlPopen(listOf({str("printf 'a\\n\\nc'")}), nil())), "a||c");
    EXPECT_TRUE(ZnlPopen(listOf({str("true")}), nil()) == nil());
    ZnlObjPtr single = ZnlPopen(listOf({str("printf last")}), nil());
    EXPECT_EQ(ZncLength(single), 1) << "a last line without newline is kept";
    EXPECT_EQ(joined(single), "last");
}

TEST(Shell, PopenKeepsTheFirst199CharactersOfALine) {
    NoCellLeft guard;
    ZnlObjPtr lines =
        ZnlPopen(listOf({str("printf '%0250d\\nshort\\n' 0; printf '%0199d' 0")}), nil());
    ASSERT_EQ(ZncLength(lines), 3);
    EXPECT_EQ(textOf(ZncCar(lines)), std::string(199, '0'));
    EXPECT_EQ(textOf(ZncCadr(lines)), "short");
    EXPECT_EQ(textOf(ZncCaddr(lines)), std::string(199, '0'));
}

TEST(Shell, PopenArgumentErrors) {
    NoCellLeft guard;
    EXPECT_PXS_ERROR(ZnlPopen(listOf({str("a"), str("b")}), nil()),
                     "Wrong number of args to popen");
    EXPECT_PXS_ERROR(ZnlPopen(listOf({nil()}), nil()), "Non-string argument to popen");
}

TEST(Conversions, StringToNumberTakesTheDecimalPrefix) {
    NoCellLeft guard;
    EXPECT_EQ(ZnlStringToNumber(listOf({str("12abc")}), nil())->fixnum(), 12);
    EXPECT_EQ(ZnlStringToNumber(listOf({str("abc")}), nil())->fixnum(), 0);
    EXPECT_EQ(ZnlStringToNumber(listOf({str("2.5")}), nil())->fixnum(), 2);
    EXPECT_EQ(ZnlStringToNumber(listOf({str(" -17")}), nil())->fixnum(), -17);
    EXPECT_PXS_ERROR(ZnlStringToNumber(nil(), nil()), "No String to convert to number");
    EXPECT_PXS_ERROR(ZnlStringToNumber(listOf({num(1)}), nil()), "Non-string to string->number");
}

TEST(Conversions, NumberToStringWritesDecimal) {
    NoCellLeft guard;
    EXPECT_EQ(textOf(ZnlNumberToString(listOf({num(42)}), nil())), "42");
    EXPECT_EQ(textOf(ZnlNumberToString(listOf({num(-2147483647 - 1)}), nil())), "-2147483648");
    EXPECT_PXS_ERROR(ZnlNumberToString(listOf({num(1), num(2)}), nil()),
                     "No number to convert to string");
    EXPECT_PXS_ERROR(ZnlNumberToString(listOf({flo(1.5)}), nil()),
                     "Non-integer to number->string");
}

TEST(Conversions, Traces) {
    NoCellLeft guard;
    DebugOn debug;
    InfoCapture info;
    ZnlStringToNumber(listOf({str("7x")}), nil());
    ZnlNumberToString(listOf({num(-3)}), nil());
    EXPECT_EQ(info.text(),
              "(string->number \"7x\") ==> \"7\")\n(number->string \"-3\") ==> \"-3\")\n");
}

TEST(ProcessEnd, ExitArgumentErrorsReturnToTheCaller) {
    NoCellLeft guard;
    EXPECT_PXS_ERROR(ZnlExit(listOf({num(1), num(2)}), nil()), "Wrong number of args to exit");
    EXPECT_PXS_ERROR(ZnlExit(listOf({str("x")}), nil()), "Non-number to exit");
    EXPECT_PXS_ERROR(ZnlAbort(listOf({num(1)}), nil()), "Wrong number of args to abort");
}

TEST(ProcessEndDeathTest, ExitAndAbortEndTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(ZnlExit(nil(), nil()), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(ZnlExit(listOf({num(3)}), nil()), ::testing::ExitedWithCode(3), "");
    EXPECT_EXIT(ZnlExit(listOf({flo(2.9)}), nil()), ::testing::ExitedWithCode(2), "");
    EXPECT_EXIT(ZnlAbort(nil(), nil()), ::testing::KilledBySignal(SIGABRT), "");
}

}  // namespace
