// subrs_test.cpp -- system primitives against the real process: environment
// variables, shell commands and their output, number/string conversion, and
// process exit (in death tests).

#include "pxs_test_support.h"

#include <csignal>
#include <cstdlib>
#include <string>

using namespace pxstest;

namespace {

// The strings of a list, joined with "|" for one-line comparisons.
std::string joined(const ZnlObjPtr& list) {
    std::string all;
    for (ZnlObjPtr p = list; p->tag() == ZnlConsTag; p = p->cdr()) {
        EXPECT_EQ(p->car()->tag(), ZnlStringTag);
        all += (p == list ? "" : "|") + std::string(p->car()->string());
    }
    return all;
}

ZnlObjPtr linesOf(const char* command) { return ZnlPopen(listOf({str(command)}), nil()); }

TEST(Environment, PutenvThenGetenv) {
    NoCellLeft guard;
    ZnlObjPtr value = str("1");
    EXPECT_TRUE(ZnlPutenv(listOf({str("PXS_SUBRS_A"), value}), nil()) == value);
    EXPECT_STREQ(std::getenv("PXS_SUBRS_A"), "1");
    ZnlPutenv(listOf({str("PXS_SUBRS_EMPTY"), str("")}), nil());
    expectCalls({
        {ZnlGetenv, listOf({str("PXS_SURELY_UNSET_NAME")}), nil()},
        {ZnlGetenv, listOf({str("PXS_SUBRS_A")}), str("1")},
        {ZnlGetenv, listOf({str("PXS_SUBRS_EMPTY")}), str("")},
        {ZnlGetenv, nil(), "Wrong number of args to getenv"},
        {ZnlGetenv, listOf({num(1)}), "Non-string argument to getenv"},
        {ZnlPutenv, listOf({str("A")}), "Wrong number of args to putenv"},
        {ZnlPutenv, listOf({num(1), str("x")}), "variable name must be string"},
        {ZnlPutenv, listOf({str("A"), num(1)}), "variable value must be string"},
    });
    // Setting the same name again replaces the value; the first buffer must
    // stay valid and not be reported as a leak.
    ZnlPutenv(listOf({str("PXS_SUBRS_A"), str("second value")}), nil());
    EXPECT_STREQ(ZnlGetenv(listOf({str("PXS_SUBRS_A")}), nil())->string(), "second value");
}

TEST(Shell, SystemReturnsTheExitCodeAndPopenTheLines) {
    NoCellLeft guard;
    expectCalls({
        {ZnlSystem, listOf({str("exit 3")}), num(3)},
        {ZnlSystem, listOf({str("true")}), num(0)},
        {ZnlSystem, nil(), "Wrong number of args to system"},
        {ZnlSystem, listOf({num(1)}), "Non-string argument to system"},
        {ZnlPopen, listOf({str("true")}), nil()},
        {ZnlPopen, listOf({str("a"), str("b")}), "Wrong number of args to popen"},
        {ZnlPopen, listOf({nil()}), "Non-string argument to popen"},
    });
    EXPECT_EQ(joined(linesOf("printf 'a\\nb\\n'")), "a|b");
    EXPECT_EQ(joined(linesOf("printf 'a\\n\\nc'")), "a||c");
    EXPECT_EQ(joined(linesOf("printf last")), "last") << "a last line without newline is kept";
    // Lines keep their first 199 characters.
    std::string zeros(199, '0');
    EXPECT_EQ(joined(linesOf("printf '%0250d\\nshort\\n' 0; printf '%0199d' 0")),
              zeros + "|short|" + zeros);
}

TEST(Conversions, DecimalBothWaysWithTraces) {
    NoCellLeft guard;
    expectCalls({
        {ZnlStringToNumber, listOf({str("12abc")}), num(12)},
        {ZnlStringToNumber, listOf({str("abc")}), num(0)},
        {ZnlStringToNumber, listOf({str("2.5")}), num(2)},
        {ZnlStringToNumber, listOf({str(" -17")}), num(-17)},
        {ZnlStringToNumber, nil(), "No String to convert to number"},
        {ZnlStringToNumber, listOf({num(1)}), "Non-string to string->number"},
        {ZnlNumberToString, listOf({num(42)}), str("42")},
        {ZnlNumberToString, listOf({num(INT32_MIN)}), str("-2147483648")},
        {ZnlNumberToString, listOf({num(1), num(2)}), "No number to convert to string"},
        {ZnlNumberToString, listOf({flo(1.5)}), "Non-integer to number->string"},
    });
    setenv("PXS_SUBRS_TRACE", "v", 1);
    DebugOn debug;
    InfoCapture info;
    ZnlStringToNumber(listOf({str("7x")}), nil());
    ZnlNumberToString(listOf({num(-3)}), nil());
    // getenv traces only the values it finds.
    ZnlGetenv(listOf({str("PXS_SUBRS_TRACE")}), nil());
    ZnlGetenv(listOf({str("PXS_SURELY_UNSET_NAME")}), nil());
    EXPECT_EQ(info.text(),
              "(string->number \"7x\") ==> \"7\")\n(number->string \"-3\") ==> \"-3\")\n"
              "(getenv \"PXS_SUBRS_TRACE\") ==> \"v\")\n");
}

TEST(ProcessEnd, ExitArgumentErrorsReturnToTheCaller) {
    NoCellLeft guard;
    expectCalls({{ZnlExit, listOf({num(1), num(2)}), "Wrong number of args to exit"},
                 {ZnlExit, listOf({str("x")}), "Non-number to exit"},
                 {ZnlAbort, listOf({num(1)}), "Wrong number of args to abort"}});
}

TEST(ProcessEndDeathTest, ExitAndAbortEndTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(ZnlExit(nil(), nil()), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(ZnlExit(listOf({num(3)}), nil()), ::testing::ExitedWithCode(3), "");
    EXPECT_EXIT(ZnlExit(listOf({flo(2.9)}), nil()), ::testing::ExitedWithCode(2), "");
    EXPECT_EXIT(ZnlAbort(nil(), nil()), ::testing::KilledBySignal(SIGABRT), "");
}

}  // namespace
