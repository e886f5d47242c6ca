// pxsEnvironment_test.cpp -- the global frame and the environment facade:
// which names a fresh environment binds and how, aliases, the predefined
// variables, registration through the facade, copying, and freeing the
// frame with everything bound in it.

#include "pxs_test_files.h"
#include "pxs_test_support.h"

#include <set>
#include <string>

using pxstest::InfoCapture;
using pxstest::NoCellLeft;
using pxstest::WarnCapture;

namespace {

// Runs `text` in `pxs` and returns the last value (empty on error).
ZnlObjPtr run(ZnPxsEnvironment& pxs, const char* text) { return pxs.loadLispExpr(text, 0); }

int number(ZnPxsEnvironment& pxs, const char* text) {
    ZnlObjPtr v = run(pxs, text);
    EXPECT_TRUE(v && v->tag() == ZnlFixnumTag) << text;
    return v && v->tag() == ZnlFixnumTag ? v->fixnum() : -999;
}

// Every binding of the frame, by name.
std::set<std::string> boundNames(const ZnlObjPtr& frame) {
    std::set<std::string> names;
    for (ZnlObjPtr p = frame->frameBindings()->bindings(); p->tag() == ZnlConsTag; p = p->cdr())
        names.insert(ZncCar(p->car())->pname());
    return names;
}

TEST(GlobalFrame, BindsTheLanguageAndNothingElse) {
    NoCellLeft guard;
    ZnlObjPtr frame(ZnlFrameTag);
    ZncGlobalEnvInit(frame);
    std::set<std::string> names = boundNames(frame);
    EXPECT_EQ(names.size(), 4u + 10u + 61u) << "*unbound*, nil, t, eof, forms, functions";
    int forms = 0, functions = 0;
    for (ZnlObjPtr p = frame->frameBindings()->bindings(); p->tag() == ZnlConsTag; p = p->cdr()) {
        ZnlObjPtr value = ZncCadr(p->car());
        if (value->tag() == ZnlSpecialFormTag) ++forms;
        if (value->tag() == ZnlCompiledCTag) {
            ++functions;
            EXPECT_STREQ(value->fcnPname(), ZncCar(p->car())->pname()) << "named as bound";
        }
    }
    EXPECT_EQ(forms, 10);
    EXPECT_EQ(functions, 61);
    EXPECT_TRUE(frame->frameBindings()->lookup("*unbound*") == ZnlObjPtr::unbound());
    EXPECT_TRUE(frame->frameBindings()->findsym("*unbound*") == ZnlObjPtr::unbound());
    EXPECT_TRUE(frame->frameBindings()->lookup("t") == ZnlObjPtr::t());
    EXPECT_TRUE(frame->frameBindings()->lookup("eof") == ZnlObjPtr::nil());
    frame->setRefcnt(1);
}

TEST(GlobalFrame, KindsFollowEvaluationNeeds) {
    NoCellLeft guard;
    ZnPxsEnvironment pxs;
    for (const char* form : {"quote", "define", "setq", "lambda", "let", "sequence", "if", "cond",
                             "set!", "setqb"})
        EXPECT_EQ(pxs.lookup(form)->tag(), ZnlSpecialFormTag) << form;
    for (const char* function : {"and", "or", "eval", "load", "print-registered", "mem"})
        EXPECT_EQ(pxs.lookup(function)->tag(), ZnlCompiledCTag) << function;
}

TEST(GlobalFrame, AliasesShareTheFunctionButNotTheObject) {
    NoCellLeft guard;
    ZnPxsEnvironment pxs;
    const char* groups[][3] = {{"define", "setq", nullptr},   {"set!", "setqb", nullptr},
                               {"+", "plus", nullptr},        {"eq", "eq?", nullptr},
                               {"equal", "equal?", nullptr},  {"not", "null?", "nullp"}};
    for (auto& group : groups) {
        ZnlObjPtr first = pxs.lookup(group[0]);
        for (int i = 1; i < 3 && group[i]; ++i) {
            ZnlObjPtr other = pxs.lookup(group[i]);
            EXPECT_EQ(other->fcnCode(), first->fcnCode()) << group[i];
            EXPECT_FALSE(other == first) << group[i] << " has its own object";
        }
    }
    EXPECT_NE(pxs.lookup("-")->fcnCode(), pxs.lookup("+")->fcnCode());
    EXPECT_EQ(number(pxs, "(plus 1 2)"), number(pxs, "(+ 1 2)"));
}

TEST(GlobalFrame, AliasesStayIndependentWhenOneIsRebound) {
    NoCellLeft guard;
    ZnPxsEnvironment pxs;
    run(pxs, "(setq plus -)");
    EXPECT_EQ(number(pxs, "(plus 5 2)"), 3);
    EXPECT_EQ(number(pxs, "(+ 5 2)"), 7);
}

TEST(GlobalFrame, ConstantsAndPredefinedVariables) {
    NoCellLeft guard;
    ZnPxsEnvironment pxs;
    EXPECT_TRUE(run(pxs, "(eq eof nil)") == ZnlObjPtr::t());
    EXPECT_TRUE(run(pxs, "(eq 't t)") == ZnlObjPtr::nil()) << "the symbol t is not the value t";
    EXPECT_TRUE(run(pxs, "(equal 't t)") == ZnlObjPtr::t());
    EXPECT_EQ(number(pxs, "DEBUG"), 1);
    ZnlObjPtr os = pxs.lookup("OS");
    ASSERT_EQ(os->tag(), ZnlStringTag);
    EXPECT_STREQ(os->string(), ZnOperatingSystem());
    EXPECT_TRUE(run(pxs, "(null? nil)") == ZnlObjPtr::t());
    EXPECT_TRUE(run(pxs, "(nullp 0)") == ZnlObjPtr::nil());
    EXPECT_TRUE(run(pxs, "(and 'a 'b)") == ZnlObjPtr::t());
    WarnCapture warn;
    EXPECT_FALSE(run(pxs, "*unbound*"));
    EXPECT_NE(warn.text().find("Unbound symbol *unbound*"), std::string::npos);
}

TEST(GlobalFrame, ReinitialisingRebindsOnlyTheLanguage) {
    NoCellLeft guard;
    ZnPxsEnvironment pxs;
    run(pxs, "(setq car cdr) (setq mine 5)");
    ZnlObjPtr oldQuote = pxs.lookup("quote");
    ZncGlobalEnvInit(pxs.env());
    EXPECT_FALSE(pxs.lookup("quote") == oldQuote) << "a fresh object";
    EXPECT_EQ(pxs.lookup("car")->fcnCode(), &ZnlLCar);
    EXPECT_EQ(pxs.lookup("mine")->fixnum(), 5);
    EXPECT_EQ(pxs.lookup("DEBUG")->fixnum(), 1);
}

TEST(Environment, LookupSeesOnlyTheGlobalFrame) {
    NoCellLeft guard;
    ZnPxsEnvironment pxs;
    EXPECT_FALSE(pxs.lookup("never-interned"));
    run(pxs, "'read-only");
    EXPECT_TRUE(pxs.lookup("read-only") == ZnlObjPtr::unbound()) << "interned by the reader";
    EXPECT_EQ(pxs.lookup("DEBUG")->fixnum(), 1);
}

TEST(Environment, EnvironmentsDoNotShareBindings) {
    NoCellLeft guard;
    ZnPxsEnvironment a, b;
    run(a, "(setq x 1) (setq car 2)");
    EXPECT_FALSE(b.lookup("x"));
    EXPECT_EQ(b.lookup("car")->tag(), ZnlCompiledCTag);
}

TEST(Environment, NotifyLevelIsARegisteredVariable) {
    NoCellLeft guard;
    pxstest::ScopedNotifyLevel saved(1);
    ZnPxsEnvironment pxs;
    EXPECT_EQ(pxs.params->size(), 1u);
    EXPECT_STREQ(pxs.params->first()->data()->name, "ZnNotifyLevel");
    EXPECT_EQ(number(pxs, "ZnNotifyLevel"), 1);
    run(pxs, "(setq ZnNotifyLevel 0)");
    EXPECT_EQ(ZnNotifyLevel, 0);
    ZnNotifyLevel = 2;
    EXPECT_EQ(number(pxs, "ZnNotifyLevel"), 2) << "pushed in again before each load";
}

TEST(Environment, RegisterVarAcceptsEveryHostTypeOnce) {
    NoCellLeft guard;
    ZnPxsEnvironment pxs;
    float f = 0;
    double d = 0;
    int i = 0;
    unsigned long ul = 0;
    char* cs = nullptr;
    ZnString zs;
    long l = 0;
    short s = 0;
    unsigned short us = 0;
    unsigned int ui = 0;
    EXPECT_EQ(pxs.registerVar("f", &f) + pxs.registerVar("d", &d) + pxs.registerVar("i", &i) +
                  pxs.registerVar("ul", &ul) + pxs.registerVar("cs", &cs) +
                  pxs.registerVar("zs", &zs) + pxs.registerVar("l", &l) +
                  pxs.registerVar("s", &s) + pxs.registerVar("us", &us) +
                  pxs.registerVar("ui", &ui),
              10);
    {
        WarnCapture warn;
        EXPECT_EQ(pxs.registerVar("i", &l), 0);
        EXPECT_EQ(pxs.registerVar("car", &i), 0) << "primitives are bound names too";
        EXPECT_EQ(warn.text(), "ZncRegister: i is already bound\nZncRegister: car is already bound\n");
    }
    pxs.loadLispExpr(
        "(setq f 3) (setq d 2.5) (setq i -4) (setq ul -1) (setq cs \"c\") (setq zs \"z\")"
        "(setq l -6) (setq s 40000) (setq us 70000) (setq ui -1)",
        0);
    EXPECT_EQ(f, 3.0f);
    EXPECT_EQ(d, 2.5);
    EXPECT_EQ(i, -4);
    EXPECT_EQ(ul, 18446744073709551615ul);
    EXPECT_STREQ(cs, "c");
    EXPECT_EQ(zs, "z");
    EXPECT_EQ(l, -6);
    EXPECT_EQ(s, -25536);
    EXPECT_EQ(us, 4464);
    EXPECT_EQ(ui, 0xFFFFFFFFu);
}

TEST(Environment, PrintRegisteredListsNotifyLevelFirst) {
    NoCellLeft guard;
    pxstest::ScopedNotifyLevel saved(1);
    ZnPxsEnvironment pxs;
    int depth = 3;
    char text[] = "lbl";
    char* label = text;
    pxs.registerVar("depth", &depth);
    pxs.registerVar("label", &label);
    InfoCapture info;
    EXPECT_TRUE(run(pxs, "(print-registered)") == ZnlObjPtr::nil());
    EXPECT_EQ(info.text(),
              "(setqb ZnNotifyLevel 1)\n(setqb depth 3)\n(setqb label \"lbl\")\n");
}

TEST(Environment, HostDefinedFunctionsAndParameters) {
    NoCellLeft guard;
    ZnPxsEnvironment pxs;
    ZnlObjPtr sym = pxs.setParameter("width", ZnlObjPtr(640));
    EXPECT_STREQ(sym->pname(), "width");
    pxs.setFunction("first", ZnlLCar);
    pxs.setSpecialForm("literally", ZnlQuote);
    EXPECT_EQ(number(pxs, "(first (list width 2))"), 640);
    ZnlObjPtr form = run(pxs, "(literally (a b))");
    EXPECT_EQ(ZncLength(form), 2);
}

TEST(Environment, CopiesHaveNoFrameAndDoNothing) {
    NoCellLeft guard;
    ZnPxsEnvironment pxs;
    WarnCapture warn;
    ZnPxsEnvironment copy(pxs);
    EXPECT_EQ(warn.text(), "WARNING: Copy constructor not implemented for ZnPxsEnvironment\n");
    EXPECT_FALSE(copy.env());
    int x = 0;
    EXPECT_EQ(copy.registerVar("x", &x), 0);
    EXPECT_FALSE(copy.loadLispExpr("(setq x 1)", 0));
    EXPECT_FALSE(copy.lookup("DEBUG"));
    EXPECT_FALSE(copy.setParameter("y", ZnlObjPtr(1)));
    ZnPxsEnvironment other;
    other = pxs;
    EXPECT_NE(warn.text().find("WARNING: Assignment operator not implemented for "
                               "ZnPxsEnvironment\n"),
              std::string::npos);
    EXPECT_TRUE(other.lookup("DEBUG")) << "the target is unchanged";
    std::string before = warn.text();
    ZnPxsEnvironment& self = other;
    other = self;
    EXPECT_EQ(warn.text(), before) << "self-assignment says nothing";
}

TEST(Environment, DestructionFreesClosuresCyclesAndRecords) {
    NoCellLeft guard;
    int host = 5;
    ZnlObjPtr outside;
    {
        ZnPxsEnvironment pxs;
        pxs.registerVar("host", &host);
        run(pxs,
            "(define (counter) (lambda () host))"
            "(setq c1 (counter)) (setq keep (list c1 (the-frame)))"
            "(define (f n) (if (= n 0) 0 (f (- n 1))))"
            "(setq me (the-frame))");
        outside = pxs.lookup("keep");  // still referenced from the host
        outside = ZnlObjPtr();
        EXPECT_EQ(number(pxs, "(f 10)"), 0);
    }
    EXPECT_EQ(host, 5);
}

}  // namespace
