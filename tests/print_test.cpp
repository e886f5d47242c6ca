// print_test.cpp -- printed forms of every kind, list shapes, and the output
// primitives prin1, terpri, format, describe and bindings, with what goes to
// standard output and what to ZnInfo.

#include "pxs_test_support.h"

#include <cstdio>
#include <string>

using pxstest::InfoCapture;
using pxstest::listOf;
using pxstest::NoCellLeft;

namespace {

const ZnlObjPtr& nil() { return ZnlObjPtr::nil(); }
ZnlObjPtr sym(const char* name) { return ZncMakeSymbol(name); }

// The printed form of `x` on a file, read back.
std::string printed(const ZnlObjPtr& x) {
    FILE* f = std::tmpfile();
    x->ZncObjFprint(f);
    std::string text;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
    std::fclose(f);
    return text;
}

std::string hex(const ZnlObjPtr& x) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lx", reinterpret_cast<unsigned long>(x.get()));
    return buffer;
}

struct LevelGuard {
    int saved = ZnNotifyLevel;
    explicit LevelGuard(int level) { ZnNotifyLevel = level; }
    ~LevelGuard() { ZnNotifyLevel = saved; }
};

TEST(PrintedForms, EveryKind) {
    NoCellLeft guard;
    EXPECT_EQ(printed(nil()), "nil");
    EXPECT_EQ(printed(sym("foo")), "foo");
    EXPECT_EQ(printed(ZnlObjPtr(ZnlSymbolTag)), "(unbound symbol name)");
    EXPECT_EQ(printed(ZnlObjPtr(-5)), "-5");
    EXPECT_EQ(printed(ZnlObjPtr(1.5)), "1.500000");
    EXPECT_EQ(printed(ZnlObjPtr("a b")), "\"a b\"");
    EXPECT_EQ(printed(ZnlObjPtr(ZnlStringTag)), "(unbound string)");
    EXPECT_EQ(printed(ZncPtrToNode(ZnlLocativeTag, reinterpret_cast<void*>(0x1234))), "4660");
    ZnlObjPtr frame(ZnlFrameTag);
    ZnlObjPtr car = ZncSymeval(ZncInternCompiledC("car", ZnlLCar, frame), frame);
    EXPECT_EQ(printed(car), "#<primitive-function car>");
    ZnlObjPtr form = ZncSymeval(ZncInternSpecialForm("quote", ZnlList, frame), frame);
    EXPECT_EQ(printed(form), "#<special-form " + hex(form) + ">");
    ZnlObjPtr proc(ZnlProcedureTag);
    EXPECT_EQ(printed(proc), "#<procedure " + hex(proc) + ">");
    EXPECT_EQ(printed(frame), "#<environment-frame " + hex(frame) + ">");
}

TEST(PrintedForms, GoneCellsAndUnknownTagsAreMarked) {
    NoCellLeft guard;
    ZnlObjPtr n(3);
    n->setGone(true);
    EXPECT_EQ(printed(n), "#deleted# 3");
    n->setGone(false);
    n->setTag(static_cast<ZnlTagType>(42));
    EXPECT_PXS_ERROR(printed(n), "unknown tag in ZnlObj::ZncObjFprint");
    n->setTag(ZnlFixnumTag);
}

TEST(PrintedForms, ListShapes) {
    NoCellLeft guard;
    EXPECT_EQ(printed(listOf({sym("a"), sym("b"), sym("c")})), "(a b c)");
    ZnlObjPtr dotted = ZncCons(sym("a"), ZncCons(sym("b"), ZnlObjPtr(5)));
    EXPECT_EQ(printed(dotted), "(a b . 5)");
    EXPECT_EQ(printed(listOf({listOf({}), listOf({listOf({ZnlObjPtr(1)})}), ZnlObjPtr("s")})),
              "(nil ((1)) \"s\")");
    EXPECT_EQ(printed(listOf({ZncCons(ZnlObjPtr(1), ZnlObjPtr(2)), ZnlObjPtr(3)})),
              "((1 . 2) 3)");
}

TEST(PrintedForms, MissingSlotsAreMarkedOnZnInfo) {
    NoCellLeft guard;
    ZnlObjPtr holes(ZnlConsTag);  // car and cdr both empty
    InfoCapture info;
    EXPECT_EQ(printed(holes), "()");
    EXPECT_EQ(info.text(), "? ?");
}

TEST(PrintedForms, PrintListOmitsTheParentheses) {
    NoCellLeft guard;
    FILE* f = std::tmpfile();
    listOf({ZnlObjPtr(1), listOf({ZnlObjPtr(2)})})->ZncPrintList(f);
    std::rewind(f);
    char buffer[32] = {};
    ASSERT_NE(std::fgets(buffer, sizeof buffer, f), nullptr);
    std::fclose(f);
    EXPECT_STREQ(buffer, "1 (2)");
    EXPECT_PXS_ERROR(ZnlObjPtr(1)->ZncPrintList(stdout), "Non-cons passed to ZnlObj::ZncPrintList");
}

TEST(PrintedForms, LongAndDeepListsPrintWithoutRecursion) {
    NoCellLeft guard;
    ZnlObjPtr longList = nil();
    for (int i = 0; i < 1000000; ++i) longList = ZncCons(ZnlObjPtr(7), longList);
    EXPECT_EQ(printed(longList).size(), 2u * 1000000 + 1);
    ZnlObjPtr deep = nil();
    for (int i = 0; i < 1000000; ++i) deep = ZncCons(deep, nil());
    std::string text = printed(deep);
    EXPECT_EQ(text.size(), 2u * 1000000 + 3);
    EXPECT_EQ(text.substr(999998, 8), "((nil)))");
}

TEST(PrintFunctions, PrintAddsTheNewlineOnZnInfo) {
    NoCellLeft guard;
    InfoCapture info;
    testing::internal::CaptureStdout();
    ZnlObjPtr x = sym("x");
    EXPECT_TRUE(ZncPrint(x) == x);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "x");
    EXPECT_EQ(info.text(), "\n");
    testing::internal::CaptureStderr();
    EXPECT_TRUE(ZncErrPrint(x) == x);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "x");
}

TEST(OutputPrimitives, Prin1WritesTheFormOnly) {
    NoCellLeft guard;
    InfoCapture info;
    testing::internal::CaptureStdout();
    ZnlObjPtr a("a");
    EXPECT_TRUE(ZnlPrin1(listOf({a}), nil()) == a);
    ZnlPrin1(listOf({ZnlObjPtr(1.5)}), nil());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\"a\"1.500000");
    EXPECT_EQ(info.text(), "");
    EXPECT_PXS_ERROR(ZnlPrin1(nil(), nil()), "Wrong number of arguments to prin1");
}

TEST(OutputPrimitives, TerpriTakesNoArguments) {
    NoCellLeft guard;
    InfoCapture info;
    EXPECT_TRUE(ZnlTerpri(nil(), nil()) == nil());
    EXPECT_EQ(info.text(), "\n");
    EXPECT_PXS_ERROR(ZnlTerpri(listOf({nil()}), nil()), "No arguments to terpri");
}

// With ZnInfo open, both streams reach standard output in writing order.
TEST(OutputPrimitives, FormatInterleavesTextAndValues) {
    NoCellLeft guard;
    LevelGuard level(2);
    testing::internal::CaptureStdout();
    ZnlObjPtr args = listOf({ZnlObjPtr::t(), ZnlObjPtr("x=~A, s=~A~%"), ZnlObjPtr(3),
                             ZnlObjPtr("q"), ZnlObjPtr(9)});
    EXPECT_TRUE(ZnlFormat(args, nil()) == nil());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "x=3, s=\"q\"\n");
}

TEST(OutputPrimitives, FormatSendsTextToZnInfoAndValuesToStdout) {
    NoCellLeft guard;
    InfoCapture info;
    testing::internal::CaptureStdout();
    // A symbol named t is as good as t itself: the destination is compared
    // by equal.
    ZnlFormat(listOf({sym("t"), ZnlObjPtr("x=~A~%"), ZnlObjPtr(3)}), nil());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "3");
    EXPECT_EQ(info.text(), "x=\n");
}

TEST(OutputPrimitives, FormatErrors) {
    NoCellLeft guard;
    InfoCapture info;
    const ZnlObjPtr& t = ZnlObjPtr::t();
    EXPECT_PXS_ERROR(ZnlFormat(listOf({t}), nil()), "Wrong number of args to format");
    EXPECT_PXS_ERROR(ZnlFormat(listOf({nil(), ZnlObjPtr("")}), nil()),
                     "Sorry, output to string not implemented yet");
    EXPECT_PXS_ERROR(ZnlFormat(listOf({ZnlObjPtr(1), ZnlObjPtr("")}), nil()),
                     "Sorry, output to streams not implemented yet");
    EXPECT_PXS_ERROR(ZnlFormat(listOf({t, sym("s")}), nil()), "Format must be a string");
    EXPECT_PXS_ERROR(ZnlFormat(listOf({t, ZnlObjPtr("ab~a"), ZnlObjPtr(1)}), nil()),
                     "Unknown directive to format");
    EXPECT_PXS_ERROR(ZnlFormat(listOf({t, ZnlObjPtr("~")}), nil()), "Unknown directive to format");
    EXPECT_PXS_ERROR(ZnlFormat(listOf({t, ZnlObjPtr("~A ~A"), ZnlObjPtr(1)}), nil()),
                     "Out of arguments");
    // Text before each error stays written.
    EXPECT_EQ(info.text(), "ab ");
}

TEST(OutputPrimitives, DescribeNamesTheKind) {
    NoCellLeft guard;
    struct Case {
        ZnlObjPtr value;
        const char* text;
    } cases[] = {
        {nil(), " isNIL\n"},
        {sym("foo"), " is the symbol with name \"foo\"\n"},
        {ZnlObjPtr(1), " is a fixed-point number\n"},
        {ZnlObjPtr(1.0), " is a floating-point number\n"},
        {listOf({nil()}), " is a cons cell\n"},
        {ZnlObjPtr("s"), " is a string\n"},
        {ZncPtrToNode(ZnlLocativeTag, nullptr), " is a locative\n"},
        {ZnlObjPtr(ZnlFrameTag), " is an environment frame with no parent frame\n"},
    };
    for (const Case& c : cases) {
        InfoCapture info;
        testing::internal::CaptureStdout();
        EXPECT_TRUE(ZnlDescribe(listOf({c.value}), nil()) == c.value);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(info.text(), c.text);
    }
    EXPECT_PXS_ERROR(ZnlDescribe(nil(), nil()), "Wrong number of args to describe");
}

TEST(OutputPrimitives, DescribeShowsAProceduresParts) {
    NoCellLeft guard;
    ZnlObjPtr frame(ZnlFrameTag);
    ZnlObjPtr proc(ZnlProcedureTag);
    proc->setProcParams(listOf({sym("x")}));
    proc->setProcBody(listOf({sym("x")}));
    proc->setProcEnv(frame);
    InfoCapture info;
    testing::internal::CaptureStdout();
    ZnlDescribe(listOf({proc}), nil());
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(info.text(),
              " is a lisp procedure\nwith params: \nbody: \nand enclosing environment: \n");
    EXPECT_EQ(out, "#<procedure " + hex(proc) + ">(x)(x)#<environment-frame " + hex(frame) + ">");

    ZnlObjPtr child(ZnlFrameTag);
    child->setFrameParent(frame);
    InfoCapture info2;
    testing::internal::CaptureStdout();
    ZnlDescribe(listOf({child}), nil());
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(info2.text(), " is an environment frame with parent frame \n");
}

TEST(OutputPrimitives, BindingsDumpsTheCurrentFrame) {
    NoCellLeft guard;
    ZnlObjPtr frame(ZnlFrameTag);
    ZncSet(sym("a"), ZnlObjPtr(1), frame);
    InfoCapture info;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(ZnlEnvDump(listOf({ZnlObjPtr(99)}), frame) == nil());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "1");
    EXPECT_EQ(info.text(), "[97]: a -> \n");
}

}  // namespace
