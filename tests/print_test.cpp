// print_test.cpp -- printed forms of every kind, list shapes, and the output
// primitives prin1, terpri, format, describe and bindings, with what goes to
// standard output and what to ZnInfo.

#include "pxs_test_files.h"
#include "pxs_test_support.h"

#include <cstdio>
#include <string>

using namespace pxstest;

namespace {

std::string hex(const ZnlObjPtr& x) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lx", reinterpret_cast<unsigned long>(x.get()));
    return buffer;
}

TEST(PrintedForms, EveryKindAndListShape) {
    NoCellLeft guard;
    ZnlObjPtr frame(ZnlFrameTag);
    ZnlObjPtr form = ZncSymeval(ZncInternSpecialForm("quote", ZnlList, frame), frame);
    ZnlObjPtr proc(ZnlProcedureTag);
    const std::pair<ZnlObjPtr, std::string> cases[] = {
        {nil(), "nil"},
        {sym("foo"), "foo"},
        {ZnlObjPtr(ZnlSymbolTag), "(unbound symbol name)"},
        {num(-5), "-5"},
        {flo(1.5), "1.500000"},
        {str("a b"), "\"a b\""},
        {ZnlObjPtr(ZnlStringTag), "(unbound string)"},
        {ZncPtrToNode(ZnlLocativeTag, reinterpret_cast<void*>(0x1234)), "4660"},
        {ZncSymeval(ZncInternCompiledC("car", ZnlLCar, frame), frame), "#<primitive-function car>"},
        {form, "#<special-form " + hex(form) + ">"},
        {proc, "#<procedure " + hex(proc) + ">"},
        {frame, "#<environment-frame " + hex(frame) + ">"},
        {listOf({sym("a"), sym("b"), sym("c")}), "(a b c)"},
        {ZncCons(sym("a"), ZncCons(sym("b"), num(5))), "(a b . 5)"},
        {listOf({listOf({}), listOf({listOf({num(1)})}), str("s")}), "(nil ((1)) \"s\")"},
        {listOf({ZncCons(num(1), num(2)), num(3)}), "((1 . 2) 3)"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(printed(value), text);
    // Gone cells and unknown tags are marked.
    ZnlObjPtr n(3);
    n->setGone(true);
    EXPECT_EQ(printed(n), "#deleted# 3");
    n->setGone(false);
    n->setTag(static_cast<ZnlTagType>(42));
    EXPECT_PXS_ERROR(printed(n), "unknown tag in ZnlObj::ZncObjFprint");
    n->setTag(ZnlFixnumTag);
    // Missing slots are marked on ZnInfo.
    ZnlObjPtr holes(ZnlConsTag);
    InfoCapture info;
    EXPECT_EQ(printed(holes), "()");
    EXPECT_EQ(info.text(), "? ?");
}

TEST(PrintedForms, PrintListOmitsTheParentheses) {
    NoCellLeft guard;
    ZnlObjPtr list = listOf({num(1), listOf({num(2)})});
    EXPECT_EQ(written([&](FILE* f) { list->ZncPrintList(f); }), "1 (2)");
    EXPECT_PXS_ERROR(num(1)->ZncPrintList(stdout), "Non-cons passed to ZnlObj::ZncPrintList");
}

TEST(PrintedForms, LongAndDeepListsPrintWithoutRecursion) {
    NoCellLeft guard;
    ZnlObjPtr longList = nil(), deep = nil();
    for (int i = 0; i < 1000000; ++i) {
        longList = ZncCons(num(7), longList);
        deep = ZncCons(deep, nil());
    }
    EXPECT_EQ(printed(longList).size(), 2u * 1000000 + 1);
    std::string text = printed(deep);
    EXPECT_EQ(text.size(), 2u * 1000000 + 3);
    EXPECT_EQ(text.substr(999998, 8), "((nil)))");
}

TEST(OutputPrimitives, PrintPrin1AndTerpriSplitFormsAndNewlines) {
    NoCellLeft guard;
    InfoCapture info;
    ZnlObjPtr x = sym("x"), a = str("a");
    EXPECT_EQ(stdoutOf([&] { EXPECT_TRUE(ZncPrint(x) == x); }), "x");
    EXPECT_EQ(info.text(), "\n") << "print adds the newline on ZnInfo";
    testing::internal::CaptureStderr();
    EXPECT_TRUE(ZncErrPrint(x) == x);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "x");
    EXPECT_EQ(stdoutOf([&] {
                  EXPECT_TRUE(ZnlPrin1(listOf({a}), nil()) == a);
                  ZnlPrin1(listOf({flo(1.5)}), nil());
              }),
              "\"a\"1.500000");
    EXPECT_EQ(info.text(), "\n") << "prin1 writes the form only";
    EXPECT_TRUE(ZnlTerpri(nil(), nil()) == nil());
    EXPECT_EQ(info.text(), "\n\n");
    expectCalls({{ZnlPrin1, nil(), "Wrong number of arguments to prin1"},
                 {ZnlTerpri, listOf({nil()}), "No arguments to terpri"}});
}

TEST(OutputPrimitives, FormatSendsTextToZnInfoAndValuesToStdout) {
    NoCellLeft guard;
    {
        // With ZnInfo open, both streams reach standard output in order.
        ScopedNotifyLevel level(2);
        ZnlObjPtr args =
            listOf({t(), str("x=~A, s=~A~%"), num(3), str("q"), num(9)});
        EXPECT_EQ(stdoutOf([&] { EXPECT_TRUE(ZnlFormat(args, nil()) == nil()); }),
                  "x=3, s=\"q\"\n");
    }
    InfoCapture info;
    // A symbol named t is as good as t itself: the destination is compared
    // by equal.
    EXPECT_EQ(stdoutOf([&] { ZnlFormat(listOf({sym("t"), str("x=~A~%"), num(3)}), nil()); }),
              "3");
    EXPECT_EQ(info.text(), "x=\n");
}

TEST(OutputPrimitives, FormatErrorsKeepTheTextBeforeThem) {
    NoCellLeft guard;
    InfoCapture info;
    expectCalls({
        {ZnlFormat, listOf({t()}), "Wrong number of args to format"},
        {ZnlFormat, listOf({nil(), str("")}), "Sorry, output to string not implemented yet"},
        {ZnlFormat, listOf({num(1), str("")}), "Sorry, output to streams not implemented yet"},
        {ZnlFormat, listOf({t(), sym("s")}), "Format must be a string"},
        {ZnlFormat, listOf({t(), str("ab~a"), num(1)}), "Unknown directive to format"},
        {ZnlFormat, listOf({t(), str("~")}), "Unknown directive to format"},
        {ZnlFormat, listOf({t(), str("~A ~A"), num(1)}), "Out of arguments"},
    });
    EXPECT_EQ(info.text(), "ab ");
}

TEST(OutputPrimitives, DescribeNamesTheKindAndShowsAProceduresParts) {
    NoCellLeft guard;
    ZnlObjPtr frame(ZnlFrameTag), child(ZnlFrameTag), proc(ZnlProcedureTag);
    child->setFrameParent(frame);
    proc->setProcParams(listOf({sym("x")}));
    proc->setProcBody(listOf({sym("x")}));
    proc->setProcEnv(frame);
    const std::pair<ZnlObjPtr, const char*> cases[] = {
        {nil(), " isNIL\n"},
        {sym("foo"), " is the symbol with name \"foo\"\n"},
        {num(1), " is a fixed-point number\n"},
        {flo(1.0), " is a floating-point number\n"},
        {listOf({nil()}), " is a cons cell\n"},
        {str("s"), " is a string\n"},
        {ZncPtrToNode(ZnlLocativeTag, nullptr), " is a locative\n"},
        {ZnlObjPtr(ZnlFrameTag), " is an environment frame with no parent frame\n"},
        {child, " is an environment frame with parent frame \n"},
        {proc, " is a lisp procedure\nwith params: \nbody: \nand enclosing environment: \n"},
    };
    for (const auto& [value, text] : cases) {
        InfoCapture info;
        std::string out =
            stdoutOf([&] { EXPECT_TRUE(ZnlDescribe(listOf({value}), nil()) == value); });
        EXPECT_EQ(info.text(), text);
        if (value == proc) {
            EXPECT_EQ(out, "#<procedure " + hex(proc) + ">(x)(x)#<environment-frame " +
                               hex(frame) + ">");
        }
    }
    EXPECT_PXS_ERROR(ZnlDescribe(nil(), nil()), "Wrong number of args to describe");
}

TEST(OutputPrimitives, BindingsDumpsTheCurrentFrame) {
    NoCellLeft guard;
    ZnlObjPtr frame(ZnlFrameTag);
    ZncSet(sym("a"), num(1), frame);
    InfoCapture info;
    EXPECT_EQ(stdoutOf([&] { EXPECT_TRUE(ZnlEnvDump(listOf({num(99)}), frame) == nil()); }), "1");
    EXPECT_EQ(info.text(), "[97]: a -> \n");
}

}  // namespace
