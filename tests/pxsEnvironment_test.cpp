// pxsEnvironment_test.cpp -- the global frame and the environment facade:
// which names a fresh environment binds and how, aliases, the predefined
// variables, registration through the facade, copying, and freeing the
// frame with everything bound in it.

#include "pxs_test_files.h"
#include "pxs_test_support.h"

#include <set>
#include <string>
#include <tuple>

using namespace pxstest;

namespace {

// An environment checked for leaks, with ways to run PXS text in it.
struct Env : ::testing::Test {
    NoCellLeft guard;
    ZnPxsEnvironment pxs;

    // Runs `text` and returns the last value (empty on error).
    ZnlObjPtr run(const char* text) { return pxs.loadLispExpr(text, 0); }
    // run(), printed ("" on error).
    std::string show(const char* text) {
        ZnlObjPtr v = run(text);
        return v ? printed(v) : "";
    }
};

TEST(GlobalFrame, BindsTheLanguageAndNothingElse) {
    NoCellLeft guard;
    ZnlObjPtr frame(ZnlFrameTag);
    ZncGlobalEnvInit(frame);
    std::set<std::string> names;
    int forms = 0, functions = 0;
    for (ZnlObjPtr p = frame->frameBindings()->bindings(); p->tag() == ZnlConsTag; p = p->cdr()) {
        names.insert(ZncCar(p->car())->pname());
        ZnlObjPtr value = ZncCadr(p->car());
        forms += value->tag() == ZnlSpecialFormTag;
        if (value->tag() == ZnlCompiledCTag) {
            ++functions;
            EXPECT_STREQ(value->fcnPname(), ZncCar(p->car())->pname()) << "named as bound";
        }
    }
    EXPECT_EQ(names.size(), 4u + 10u + 61u) << "*unbound*, nil, t, eof, forms, functions";
    EXPECT_EQ(forms, 10);
    EXPECT_EQ(functions, 61);
    EXPECT_TRUE(frame->frameBindings()->lookup("*unbound*") == ZnlObjPtr::unbound());
    EXPECT_TRUE(frame->frameBindings()->findsym("*unbound*") == ZnlObjPtr::unbound());
    EXPECT_TRUE(frame->frameBindings()->lookup("t") == t());
    EXPECT_TRUE(frame->frameBindings()->lookup("eof") == nil());
    frame->setRefcnt(1);
}

TEST_F(Env, KindsFollowEvaluationNeedsAndAliasesShareOnlyTheFunction) {
    for (const char* form :
         {"quote", "define", "setq", "lambda", "let", "sequence", "if", "cond", "set!", "setqb"})
        EXPECT_EQ(pxs.lookup(form)->tag(), ZnlSpecialFormTag) << form;
    for (const char* function : {"and", "or", "eval", "load", "print-registered", "mem"})
        EXPECT_EQ(pxs.lookup(function)->tag(), ZnlCompiledCTag) << function;
    const char* groups[][3] = {{"define", "setq", nullptr},  {"set!", "setqb", nullptr},
                               {"+", "plus", nullptr},       {"eq", "eq?", nullptr},
                               {"equal", "equal?", nullptr}, {"not", "null?", "nullp"}};
    for (auto& group : groups) {
        ZnlObjPtr first = pxs.lookup(group[0]);
        for (int i = 1; i < 3 && group[i]; ++i) {
            ZnlObjPtr other = pxs.lookup(group[i]);
            EXPECT_EQ(other->fcnCode(), first->fcnCode()) << group[i];
            EXPECT_FALSE(other == first) << group[i] << " has its own object";
        }
    }
    EXPECT_NE(pxs.lookup("-")->fcnCode(), pxs.lookup("+")->fcnCode());
    // Aliases stay independent when one is rebound.
    EXPECT_EQ(show("(plus 5 2)"), "7");
    run("(setq plus -)");
    EXPECT_EQ(show("(plus 5 2)"), "3");
    EXPECT_EQ(show("(+ 5 2)"), "7");
}

TEST_F(Env, PredefinedVariablesAndLookup) {
    EXPECT_TRUE(run("(eq eof nil)") == t());
    EXPECT_TRUE(run("(eq 't t)") == nil()) << "the symbol t is not the value t";
    EXPECT_EQ(show("DEBUG"), "1");
    ZnlObjPtr os = pxs.lookup("OS");
    ASSERT_EQ(os->tag(), ZnlStringTag);
    EXPECT_STREQ(os->string(), ZnOperatingSystem());
    {
        WarnCapture warn;
        EXPECT_FALSE(run("*unbound*"));
        EXPECT_NE(warn.text().find("Unbound symbol *unbound*"), std::string::npos);
    }
    // lookup sees only the global frame, including names only read so far.
    EXPECT_FALSE(pxs.lookup("never-interned"));
    run("'read-only");
    EXPECT_TRUE(pxs.lookup("read-only") == ZnlObjPtr::unbound());
    // Reinitialising rebinds only the language.
    run("(setq car cdr) (setq mine 5)");
    ZnlObjPtr oldQuote = pxs.lookup("quote");
    ZncGlobalEnvInit(pxs.env());
    EXPECT_FALSE(pxs.lookup("quote") == oldQuote) << "a fresh object";
    EXPECT_EQ(pxs.lookup("car")->fcnCode(), &ZnlLCar);
    EXPECT_EQ(pxs.lookup("mine")->fixnum(), 5);
    EXPECT_EQ(pxs.lookup("DEBUG")->fixnum(), 1);
    // Another environment shares none of it.
    ZnPxsEnvironment other;
    EXPECT_FALSE(other.lookup("mine"));
    EXPECT_EQ(other.lookup("car")->tag(), ZnlCompiledCTag);
}

TEST(Environment, NotifyLevelIsARegisteredVariableListedFirst) {
    NoCellLeft guard;
    ScopedNotifyLevel saved(1);
    ZnPxsEnvironment pxs;
    EXPECT_EQ(pxs.params->size(), 1u);
    EXPECT_STREQ(pxs.params->first()->data()->name, "ZnNotifyLevel");
    EXPECT_EQ(printed(pxs.loadLispExpr("ZnNotifyLevel", 0)), "1");
    int depth = 3;
    char text[] = "lbl";
    char* label = text;
    pxs.registerVar("depth", &depth);
    pxs.registerVar("label", &label);
    {
        InfoCapture info;
        EXPECT_TRUE(pxs.loadLispExpr("(print-registered)", 0) == nil());
        EXPECT_EQ(info.text(), "(setqb ZnNotifyLevel 1)\n(setqb depth 3)\n(setqb label \"lbl\")\n");
    }
    pxs.loadLispExpr("(setq ZnNotifyLevel 0)", 0);
    EXPECT_EQ(ZnNotifyLevel, 0);
    ZnNotifyLevel = 2;
    EXPECT_EQ(printed(pxs.loadLispExpr("ZnNotifyLevel", 0)), "2") << "pushed in before each load";
}

TEST_F(Env, RegisterVarAcceptsEveryHostTypeOnce) {
    float f = 0;
    double d = 0;
    int i = 0;
    long l = 0;
    unsigned long ul = 0;
    short s = 0;
    unsigned short us = 0;
    unsigned int ui = 0;
    char* cs = nullptr;
    ZnString zs;
    EXPECT_EQ(pxs.registerVar("f", &f) + pxs.registerVar("d", &d) + pxs.registerVar("i", &i) +
                  pxs.registerVar("ul", &ul) + pxs.registerVar("cs", &cs) +
                  pxs.registerVar("zs", &zs) + pxs.registerVar("l", &l) + pxs.registerVar("s", &s) +
                  pxs.registerVar("us", &us) + pxs.registerVar("ui", &ui),
              10);
    {
        WarnCapture warn;
        EXPECT_EQ(pxs.registerVar("i", &l), 0);
        EXPECT_EQ(pxs.registerVar("car", &i), 0) << "primitives are bound names too";
        EXPECT_EQ(warn.text(),
                  "ZncRegister: i is already bound\nZncRegister: car is already bound\n");
    }
    run("(setq f 3) (setq d 2.5) (setq i -4) (setq ul -1) (setq cs \"c\") (setq zs \"z\")"
        "(setq l -6) (setq s 40000) (setq us 70000) (setq ui -1)");
    using Host = std::tuple<float, double, int, unsigned long, std::string, std::string, long,
                            short, unsigned short, unsigned>;
    EXPECT_EQ(Host(f, d, i, ul, cs ? cs : "(null)", zs.string(), l, s, us, ui),
              Host(3.0f, 2.5, -4, 18446744073709551615ul, "c", "z", -6, -25536, 4464, 0xFFFFFFFFu));
}

TEST_F(Env, HostDefinedFunctionsAndParameters) {
    EXPECT_STREQ(pxs.setParameter("width", num(640))->pname(), "width");
    pxs.setFunction("first", ZnlLCar);
    pxs.setSpecialForm("literally", ZnlQuote);
    EXPECT_EQ(show("(first (list width 2))"), "640");
    EXPECT_EQ(show("(literally (a b))"), "(a b)");
}

TEST_F(Env, CopiesHaveNoFrameAndDoNothing) {
    WarnCapture warn;
    ZnPxsEnvironment copy(pxs);
    EXPECT_EQ(warn.text(), "WARNING: Copy constructor not implemented for ZnPxsEnvironment\n");
    EXPECT_FALSE(copy.env());
    int x = 0;
    EXPECT_EQ(copy.registerVar("x", &x), 0);
    EXPECT_FALSE(copy.loadLispExpr("(setq x 1)", 0));
    EXPECT_FALSE(copy.lookup("DEBUG"));
    EXPECT_FALSE(copy.setParameter("y", num(1)));
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
        pxs.loadLispExpr("(define (counter) (lambda () host))"
                         "(setq c1 (counter)) (setq keep (list c1 (the-frame)))"
                         "(define (f n) (if (= n 0) 0 (f (- n 1))))"
                         "(setq me (the-frame))",
                         0);
        outside = pxs.lookup("keep");  // still referenced from the host
        outside = ZnlObjPtr();
        EXPECT_EQ(printed(pxs.loadLispExpr("(f 10)", 0)), "0");
    }
    EXPECT_EQ(host, 5);
}

}  // namespace

namespace {

// The message a PXS evaluation of `text` in `pxs` stops with ("" when it
// does not stop).
std::string failureOf(ZnPxsEnvironment& pxs, const std::string& text) {
    ZnlStringInputStream in(text.c_str());
    try {
        ZncEval(ZncRead(&in, pxs.env()), pxs.env());
    } catch (const ZnException& e) {
        return e.initialException().message();
    }
    return "";
}

}  // namespace

// An untrusted script can neither run a command, nor change the process
// environment, nor end the host, whichever name it uses; everything else,
// host variables included, works as in a trusted environment.
TEST(UntrustedEnvironment, PrimitivesThatReachOutsideRefuseAndTheRestWork) {
    NoCellLeft guard;
    TempDir dir;
    ZnPxsEnvironment pxs(ZnPxsTrust::Untrusted);
    EXPECT_EQ(pxs.trust(), ZnPxsTrust::Untrusted);
    const std::string marker = dir.file("ran");
    const std::pair<std::string, std::string> attempts[] = {
        {"(system \"touch " + marker + "\")", "system"},
        {"(popen \"touch " + marker + "\")", "popen"},
        {"(putenv \"PXS_UNTRUSTED_SET\" \"1\")", "putenv"},
        {"(exit 3)", "exit"},
        {"(abort)", "abort"},
        // Under another name, or called through apply-like indirection.
        {"(sequence (setq run system) (run \"touch " + marker + "\"))", "system"},
        {"(eval (list (quote exit) 0))", "exit"},
    };
    for (const auto& [text, name] : attempts)
        EXPECT_NE(failureOf(pxs, text).find(name + " is not available to an untrusted script"),
                  std::string::npos)
            << text;
    EXPECT_FALSE(std::filesystem::exists(marker));
    EXPECT_EQ(std::getenv("PXS_UNTRUSTED_SET"), nullptr);

    int depth = 0;
    pxs.registerVar("depth", &depth);
    std::string script = dir.write("s.pxs", "(setq depth (+ 2 (length (list 1 2 3))))");
    pxs.loadLispFile(script.c_str(), 1);
    EXPECT_EQ(depth, 5);
    EXPECT_EQ(failureOf(pxs, "(getenv \"PXS_NOT_SET_ANYWHERE\")"), "");

    // A trusted environment beside it keeps the real primitives.
    ZnPxsEnvironment trusted;
    EXPECT_EQ(trusted.trust(), ZnPxsTrust::Trusted);
    EXPECT_EQ(failureOf(trusted, "(system \"true\")"), "");
}
