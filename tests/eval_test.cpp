// eval_test.cpp -- the special forms, application of primitives and
// procedures, argument order, and where define, setq and set! bind.

#include "pxs_test_files.h"
#include "pxs_test_frame.h"

using namespace pxstest;

namespace {

struct Eval : ::testing::Test {
    NoCellLeft guard;
    Interp lisp;
    // What running `text` writes to standard output.
    std::string output(const char* text) {
        return stdoutOf([&] { lisp.run(text); });
    }
};

TEST_F(Eval, AtomsConstantsAndSpecialForms) {
    lisp.expect({
        {"42", "42"}, {"\"s\"", "\"s\""}, {"nil", "nil"}, {"()", "nil"}, {"t", "t"},
        {"eof", "nil"}, {"(eq eof nil)", "t"}, {"*unbound*", Fails{"Unbound symbol *unbound*"}},
        // The quoted symbol t is not the constant t, but equal to it.
        {"(eq 't t)", "nil"}, {"(equal 't t)", "t"},
        {"'(1 2 3)", "(1 2 3)"}, {"(quote)", Fails{"Wrong number of args to quote"}},
        {"(quote a b)", Fails{"Wrong number of args to quote"}},
        {"(lambda (x))", Fails{"Wrong number of args to lambda"}},
        {"(sequence)", Fails{"Wrong number of args to sequence"}}, {"(sequence 1 2 3)", "3"},
        {"(if nil 1)", "nil"}, {"(if 0 1 2)", "1"}, {"(if \"\" 1 2)", "1"},
        {"(if (null? 0) 1 2)", "2"}, {"(if t)", Fails{"Wrong number of args to if"}},
        {"(if t 1 2 3)", Fails{"Wrong number of args to if"}},
        {"(cond (nil 1) (t 2 3))", "3"}, {"(cond (nil 1))", "nil"},
        // A clause of a test alone yields the test's value, not evaluated again.
        {"(cond (nil 1) ((list 1 2)))", "(1 2)"}, {"(cond ('sym))", "sym"},
        {"(cond)", Fails{"No clauses to cond"}}, {"(cond 5)", Fails{"car of non-cons"}},
        {"(cond (nil (car nil)) (t 7))", "7"},
    });
    EXPECT_EQ(lisp.run("'nil")->tag(), ZnlSymbolTag);
    EXPECT_TRUE(lisp.run("(the-frame)") == lisp.frame);
    EXPECT_EQ(lisp.run("(lambda (x) x)")->tag(), ZnlProcedureTag);
}

TEST_F(Eval, HostCallersOfIfAndCondGetFormsToEvaluate) {
    ZnlObjPtr ifForms = ZnlIf(lisp.run("'(t 'then 'else)"), lisp.frame);
    ASSERT_EQ(ZncLength(ifForms), 1);
    EXPECT_STREQ(ZncEval(ifForms->car(), lisp.frame)->pname(), "then");
    ZnlObjPtr condForms = ZnlCond(lisp.run("'(((list 1 2)))"), lisp.frame);
    ASSERT_EQ(ZncLength(condForms), 1);
    EXPECT_EQ(printed(ZncEval(condForms->car(), lisp.frame)), "(1 2)");
    EXPECT_TRUE(ZncEval(ZnlCond(lisp.run("'((nil 1))"), lisp.frame)->car(), lisp.frame) == nil());
}

TEST_F(Eval, LetBindsInANewFrameFromFormsEvaluatedOutsideInSourceOrder) {
    lisp.expect({
        {"(let ((a 1) (b 2)) (+ a b))", "3"},
        {"(let ((a 1) (b a)) b)", Fails{"Unbound symbol a"}},
        {"(define a 10)", "a"}, {"(let ((a 1) (b a)) b)", "10"}, {"(let () 5)", "5"}, {"a", "10"},
        {"(let ((a)) a)", Fails{"car of non-cons"}},
        {"(let ((1 2)) 3)", Fails{"Non-symbol in function parameter list for apply"}},
        {"(let ((a 1)))", Fails{"Wrong number of args to let"}},
    });
    EXPECT_EQ(output("(let ((a (prin1 1)) (b (prin1 2)) (c (prin1 3))) c)"), "123");
}

TEST_F(Eval, ArgumentsAreEvaluatedLastFirst) {
    EXPECT_EQ(stdoutOf([&] { EXPECT_EQ(lisp.show("(list (prin1 1) (prin1 2) (prin1 3))"),
                                       "(1 2 3)"); }),
              "321");
    EXPECT_EQ(output("((lambda (a b) b) (prin1 'first) (prin1 'second))"), "secondfirst");
    // and and or always evaluate both arguments, the second first.
    EXPECT_EQ(output("(or (prin1 1) (prin1 2))"), "21");
}

TEST_F(Eval, ProceduresCloseOverTheirFrameAndCheckTheirApplication) {
    lisp.expect({
        {"(define (adder n) (lambda (x) (+ x n)))", "adder"}, {"(define add5 (adder 5))", "add5"},
        {"(add5 10)", "15"}, {"((adder 1) 1)", "2"},
        {"(define (twice f x) (f (f x)))", "twice"}, {"(twice add5 0)", "10"},
        {"((lambda (x) x) 1 2)", Fails{"Wrong number of args for function application"}},
        {"((lambda (1) 1) 2)", Fails{"Non-symbol in function parameter list for apply"}},
        {"((lambda 5 1) 2)", Fails{"ZncLength of non-cons"}},
        {"(1 2)", Fails{"Cannot apply a non-function"}},
        {"(nil)", Fails{"Cannot apply a non-function"}}, {"((lambda (x x) x) 1 2)", "2"},
    });
    // Every non-last body form runs, in order, in the call's frame.
    EXPECT_EQ(output("((lambda (x) (prin1 x) (prin1 (+ x 1)) (+ x 2)) 1)"), "12");
    ZnlObjPtr improper = ZncCons(ZncIntern("car", lisp.frame), ZnlObjPtr(5));
    EXPECT_PXS_FAILURE(ZncEval(improper, lisp.frame), "function arguments are not a list");
}

TEST_F(Eval, EvaluatingAFunctionObjectIsAnError) {
    lisp.run("(define (f) 1)");
    WarnCapture warn;
    InfoCapture info;
    std::string out = stdoutOf([&] {
        EXPECT_PXS_FAILURE(lisp.run("(eval f)"), "unknown expression type in eval");
    });
    EXPECT_EQ(warn.text(), "unknown expression type in eval: ");
    EXPECT_EQ(out.substr(0, 12), "#<procedure ");
    EXPECT_PXS_FAILURE(lisp.run("(eval car)"), "unknown expression type in eval");
}

TEST_F(Eval, DefineSetqAndSetBangBindWhereTheyShould) {
    lisp.expect({
        {"(define x 1)", "x"}, {"(define x 2)", "x"}, {"x", "2"}, {"(define (f) 1)", "f"},
        {"(define (f) 2)", Fails{"Variable is already bound"}}, {"(f)", "1"},
        {"(define 5 1)", Fails{"Non-symbol to set1env"}}, {"(setq y (+ 1 2))", "y"}, {"y", "3"},
        // setq in a procedure binds locally; set! reaches the existing binding.
        {"(define (local) (setq x 2) x)", "local"}, {"(define x 1)", "x"}, {"(local)", "2"},
        {"x", "1"},
        {"(define (outer) (set! x 3))", "outer"}, {"(outer)", "x"}, {"x", "3"},
        {"(setqb x 4)", "x"}, {"x", "4"},
        {"(set! y)", Fails{"Wrong number of args to setq"}},
        // Bindings made before an error stay.
        {"(define (g) (car nil)) (g)", Fails{"car of non-cons"}},
    });
    EXPECT_EQ(lisp.global("g")->tag(), ZnlProcedureTag);
}

TEST_F(Eval, DefineWithAWrongCountExplainsOnStandardError) {
    testing::internal::CaptureStderr();
    EXPECT_PXS_FAILURE(lisp.run("(define x 1 2)"), "Wrong number of args to define");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Lisp Error: Got 3 args, expected 2\nARGS: (x 1 2)");
    testing::internal::CaptureStderr();
    EXPECT_PXS_FAILURE(lisp.run("(setq)"), "Wrong number of args to define");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Lisp Error: Got 0 args, expected 2\nARGS: nil");
}

TEST_F(Eval, SetBangOfAnUnboundNameWarnsAndEvaluatesNothing) {
    WarnCapture warn;
    EXPECT_EQ(stdoutOf([&] { EXPECT_TRUE(lisp.run("(set! y (prin1 1))") == nil()); }), "");
    EXPECT_EQ(warn.text(), "Lisp Warning: can't set unbound variable: y\n");
}

TEST_F(Eval, EvalAndOrAndFramesSeeValues) {
    lisp.expect({
        {"(eval '(+ 1 2))", "3"}, {"(define inner (make-frame (the-frame)))", "inner"},
        {"(eval '(define z 9) inner)", "z"}, {"(eval 'z inner)", "9"},
        {"(frame-bound? (the-frame) 'z)", "nil"}, {"(eval 'z 5)", Fails{"non-frame to eval"}},
        {"(eval)", Fails{"car of non-cons"}}, {"(eval 1 2 3)", "1"},
        {"(and 'a 'b)", "t"}, {"(and 'a nil)", "nil"}, {"(or nil nil)", "nil"}, {"(or nil 0)", "t"},
        {"(and 1)", Fails{"Wrong number of args to and"}},
        {"(or 1 2 3)", Fails{"Wrong number of args to or"}},
        // frame-bound? sees only the given frame.
        {"(define x 1)", "x"}, {"((lambda () (frame-bound? (the-frame) 'x)))", "nil"},
        {"(frame-bound? (the-frame) 'x)", "t"},
        {"(frame-parent (the-frame))", Fails{"frame-parent called on frame without parent"}},
    });
    EXPECT_TRUE(lisp.run("((lambda () (frame-parent (the-frame))))") == lisp.frame);
}

TEST_F(Eval, TracingWritesEachStepToStandardOutput) {
    ScopedNotifyLevel level(2);
    DebugOn on;
    lisp.run("(define (id x) x)");
    EXPECT_EQ(output("(if (id 1) 'a)"),
              "EVALing (if (id 1) (quote a))\n"
              "EVALing if\n"
              "EVALing (id 1)\n"
              "EVALing id\n"
              "EVALing 1\n"
              "EVALing x\n"
              "EVALing (quote a)\n"
              "EVALing quote\n"
              "QUOTE(a)\n");
}

}  // namespace
