// eval_test.cpp -- the special forms, application of primitives and
// procedures, argument order, and where define, setq and set! bind.

#include "pxs_test_frame.h"

using pxstest::Interp;
using pxstest::NoCellLeft;

namespace {

struct Eval : ::testing::Test {
    NoCellLeft guard;
    Interp lisp;
};

TEST_F(Eval, AtomsEvaluateToThemselvesAndSymbolsToTheirValues) {
    EXPECT_EQ(lisp.number("42"), 42);
    EXPECT_STREQ(lisp.run("\"s\"")->string(), "s");
    EXPECT_TRUE(lisp.run("nil") == ZnlObjPtr::nil());
    EXPECT_TRUE(lisp.run("()") == ZnlObjPtr::nil());
    EXPECT_TRUE(lisp.run("t") == ZnlObjPtr::t());
    EXPECT_TRUE(lisp.run("eof") == ZnlObjPtr::nil());
    EXPECT_TRUE(lisp.run("(eq eof nil)") == ZnlObjPtr::t());
    EXPECT_TRUE(lisp.run("(the-frame)") == lisp.frame);
    EXPECT_PXS_FAILURE(lisp.run("*unbound*"), "Unbound symbol *unbound*");
}

TEST_F(Eval, QuotedTIsNotTheTSingletonButIsEqualToIt) {
    EXPECT_TRUE(lisp.run("(eq 't t)") == ZnlObjPtr::nil());
    EXPECT_TRUE(lisp.run("(equal 't t)") == ZnlObjPtr::t());
    EXPECT_EQ(lisp.run("'nil")->tag(), ZnlSymbolTag);
}

TEST_F(Eval, QuoteLambdaAndSequenceCountTheirArguments) {
    EXPECT_EQ(ZncLength(lisp.run("'(1 2 3)")), 3);
    EXPECT_PXS_FAILURE(lisp.run("(quote)"), "Wrong number of args to quote");
    EXPECT_PXS_FAILURE(lisp.run("(quote a b)"), "Wrong number of args to quote");
    EXPECT_PXS_FAILURE(lisp.run("(lambda (x))"), "Wrong number of args to lambda");
    EXPECT_PXS_FAILURE(lisp.run("(sequence)"), "Wrong number of args to sequence");
    EXPECT_EQ(lisp.number("(sequence 1 2 3)"), 3);
    EXPECT_EQ(lisp.run("(lambda (x) x)")->tag(), ZnlProcedureTag);
}

TEST_F(Eval, IfChoosesABranch) {
    EXPECT_TRUE(lisp.run("(if nil 1)") == ZnlObjPtr::nil());
    EXPECT_EQ(lisp.number("(if 0 1 2)"), 1);
    EXPECT_EQ(lisp.number("(if \"\" 1 2)"), 1);
    EXPECT_EQ(lisp.number("(if (null? 0) 1 2)"), 2);
    EXPECT_PXS_FAILURE(lisp.run("(if t)"), "Wrong number of args to if");
    EXPECT_PXS_FAILURE(lisp.run("(if t 1 2 3)"), "Wrong number of args to if");
}

TEST_F(Eval, CondRunsTheFirstTrueClause) {
    EXPECT_EQ(lisp.number("(cond (nil 1) (t 2 3))"), 3);
    EXPECT_TRUE(lisp.run("(cond (nil 1))") == ZnlObjPtr::nil());
    // A clause of a test alone yields the test's value, not evaluated again.
    ZnlObjPtr list = lisp.run("(cond (nil 1) ((list 1 2)))");
    EXPECT_EQ(ZncLength(list), 2);
    EXPECT_STREQ(lisp.run("(cond ('sym))")->pname(), "sym");
    EXPECT_PXS_FAILURE(lisp.run("(cond)"), "No clauses to cond");
    EXPECT_PXS_FAILURE(lisp.run("(cond 5)"), "car of non-cons");
    EXPECT_EQ(lisp.number("(cond (nil (car nil)) (t 7))"), 7);
}

TEST_F(Eval, HostCallersOfIfAndCondGetFormsToEvaluate) {
    ZnlObjPtr ifForms = ZnlIf(lisp.run("'(t 'then 'else)"), lisp.frame);
    ASSERT_EQ(ZncLength(ifForms), 1);
    EXPECT_STREQ(ZncEval(ifForms->car(), lisp.frame)->pname(), "then");
    ZnlObjPtr condForms = ZnlCond(lisp.run("'(((list 1 2)))"), lisp.frame);
    ASSERT_EQ(ZncLength(condForms), 1);
    EXPECT_EQ(ZncLength(ZncEval(condForms->car(), lisp.frame)), 2);
    EXPECT_TRUE(ZncEval(ZnlCond(lisp.run("'((nil 1))"), lisp.frame)->car(), lisp.frame) ==
                ZnlObjPtr::nil());
}

TEST_F(Eval, LetBindsInANewFrameFromFormsEvaluatedOutside) {
    EXPECT_EQ(lisp.number("(let ((a 1) (b 2)) (+ a b))"), 3);
    EXPECT_PXS_FAILURE(lisp.run("(let ((a 1) (b a)) b)"), "Unbound symbol a");
    lisp.run("(define a 10)");
    EXPECT_EQ(lisp.number("(let ((a 1) (b a)) b)"), 10);
    EXPECT_EQ(lisp.number("(let () 5)"), 5);
    EXPECT_EQ(lisp.number("a"), 10);
    EXPECT_PXS_FAILURE(lisp.run("(let ((a)) a)"), "car of non-cons");
    EXPECT_PXS_FAILURE(lisp.run("(let ((1 2)) 3)"),
                       "Non-symbol in function parameter list for apply");
    EXPECT_PXS_FAILURE(lisp.run("(let ((a 1)))"), "Wrong number of args to let");
}

TEST_F(Eval, LetEvaluatesItsFormsInSourceOrder) {
    pxstest::InfoCapture info;
    testing::internal::CaptureStdout();
    lisp.run("(let ((a (prin1 1)) (b (prin1 2)) (c (prin1 3))) c)");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "123");
}

TEST_F(Eval, ArgumentsAreEvaluatedLastFirst) {
    testing::internal::CaptureStdout();
    ZnlObjPtr l = lisp.run("(list (prin1 1) (prin1 2) (prin1 3))");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "321");
    EXPECT_EQ(ZncCar(l)->fixnum(), 1);
    testing::internal::CaptureStdout();
    lisp.run("((lambda (a b) b) (prin1 'first) (prin1 'second))");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "secondfirst");
}

TEST_F(Eval, ProceduresCloseOverTheirFrame) {
    lisp.run("(define (adder n) (lambda (x) (+ x n)))");
    lisp.run("(define add5 (adder 5))");
    EXPECT_EQ(lisp.number("(add5 10)"), 15);
    EXPECT_EQ(lisp.number("((adder 1) 1)"), 2);
    lisp.run("(define (twice f x) (f (f x)))");
    EXPECT_EQ(lisp.number("(twice add5 0)"), 10);
    // Every non-last body form runs, in order, in the call's frame.
    testing::internal::CaptureStdout();
    EXPECT_EQ(lisp.number("((lambda (x) (prin1 x) (prin1 (+ x 1)) (+ x 2)) 1)"), 3);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "12");
}

TEST_F(Eval, ApplicationErrors) {
    EXPECT_PXS_FAILURE(lisp.run("((lambda (x) x) 1 2)"),
                       "Wrong number of args for function application");
    EXPECT_PXS_FAILURE(lisp.run("((lambda (1) 1) 2)"),
                       "Non-symbol in function parameter list for apply");
    EXPECT_PXS_FAILURE(lisp.run("((lambda 5 1) 2)"), "ZncLength of non-cons");
    EXPECT_PXS_FAILURE(lisp.run("(1 2)"), "Cannot apply a non-function");
    EXPECT_PXS_FAILURE(lisp.run("(nil)"), "Cannot apply a non-function");
    ZnlObjPtr improper = ZncCons(ZncIntern("car", lisp.frame), ZnlObjPtr(5));
    EXPECT_PXS_FAILURE(ZncEval(improper, lisp.frame), "function arguments are not a list");
    EXPECT_EQ(lisp.number("((lambda (x x) x) 1 2)"), 2);
}

TEST_F(Eval, EvaluatingAFunctionObjectIsAnError) {
    lisp.run("(define (f) 1)");
    pxstest::WarnCapture warn;
    pxstest::InfoCapture info;
    testing::internal::CaptureStdout();
    EXPECT_PXS_FAILURE(lisp.run("(eval f)"), "unknown expression type in eval");
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(warn.text(), "unknown expression type in eval: ");
    EXPECT_EQ(out.substr(0, 12), "#<procedure ");
    EXPECT_PXS_FAILURE(lisp.run("(eval car)"), "unknown expression type in eval");
}

TEST_F(Eval, DefineBindsInTheCurrentFrame) {
    EXPECT_STREQ(lisp.run("(define x 1)")->pname(), "x");
    lisp.run("(define x 2)");
    EXPECT_EQ(lisp.number("x"), 2);
    lisp.run("(define (f) 1)");
    EXPECT_PXS_FAILURE(lisp.run("(define (f) 2)"), "Variable is already bound");
    EXPECT_EQ(lisp.number("(f)"), 1);
    EXPECT_PXS_FAILURE(lisp.run("(define 5 1)"), "Non-symbol to set1env");
    EXPECT_STREQ(lisp.run("(setq y (+ 1 2))")->pname(), "y");
    EXPECT_EQ(lisp.number("y"), 3);
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

TEST_F(Eval, SetqInAProcedureIsLocalButSetBangReachesOut) {
    lisp.run("(define x 1)");
    lisp.run("(define (local) (setq x 2) x)");
    EXPECT_EQ(lisp.number("(local)"), 2);
    EXPECT_EQ(lisp.number("x"), 1);
    lisp.run("(define (outer) (set! x 3))");
    EXPECT_STREQ(lisp.run("(outer)")->pname(), "x");
    EXPECT_EQ(lisp.number("x"), 3);
    lisp.run("(setqb x 4)");
    EXPECT_EQ(lisp.number("x"), 4);
}

TEST_F(Eval, SetBangOfAnUnboundNameWarnsAndEvaluatesNothing) {
    pxstest::WarnCapture warn;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(lisp.run("(set! y (prin1 1))") == ZnlObjPtr::nil());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(warn.text(), "Lisp Warning: can't set unbound variable: y\n");
    EXPECT_PXS_FAILURE(lisp.run("(set! y)"), "Wrong number of args to setq");
}

TEST_F(Eval, BindingsMadeBeforeAnErrorStay) {
    EXPECT_PXS_FAILURE(lisp.run("(define (g) (car nil)) (g)"), "car of non-cons");
    EXPECT_EQ(lisp.global("g")->tag(), ZnlProcedureTag);
}

TEST_F(Eval, EvalAndOrSeeValues) {
    EXPECT_EQ(lisp.number("(eval '(+ 1 2))"), 3);
    lisp.run("(define inner (make-frame (the-frame)))");
    lisp.run("(eval '(define z 9) inner)");
    EXPECT_EQ(lisp.number("(eval 'z inner)"), 9);
    EXPECT_TRUE(lisp.run("(frame-bound? (the-frame) 'z)") == ZnlObjPtr::nil());
    EXPECT_PXS_FAILURE(lisp.run("(eval 'z 5)"), "non-frame to eval");
    EXPECT_PXS_FAILURE(lisp.run("(eval)"), "car of non-cons");
    EXPECT_EQ(lisp.number("(eval 1 2 3)"), 1);
    EXPECT_TRUE(lisp.run("(and 'a 'b)") == ZnlObjPtr::t());
    EXPECT_TRUE(lisp.run("(and 'a nil)") == ZnlObjPtr::nil());
    EXPECT_TRUE(lisp.run("(or nil nil)") == ZnlObjPtr::nil());
    EXPECT_TRUE(lisp.run("(or nil 0)") == ZnlObjPtr::t());
    EXPECT_PXS_FAILURE(lisp.run("(and 1)"), "Wrong number of args to and");
    EXPECT_PXS_FAILURE(lisp.run("(or 1 2 3)"), "Wrong number of args to or");
    // Both arguments are always evaluated, the second first.
    testing::internal::CaptureStdout();
    lisp.run("(or (prin1 1) (prin1 2))");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "21");
}

TEST_F(Eval, FrameBoundSeesOnlyTheGivenFrame) {
    lisp.run("(define x 1)");
    EXPECT_TRUE(lisp.run("((lambda () (frame-bound? (the-frame) 'x)))") == ZnlObjPtr::nil());
    EXPECT_TRUE(lisp.run("(frame-bound? (the-frame) 'x)") == ZnlObjPtr::t());
    EXPECT_PXS_FAILURE(lisp.run("(frame-parent (the-frame))"),
                       "frame-parent called on frame without parent");
    EXPECT_TRUE(lisp.run("((lambda () (frame-parent (the-frame))))") == lisp.frame);
}

TEST_F(Eval, TracingWritesEachStepToStandardOutput) {
    struct Trace {
        int level = ZnNotifyLevel;
        Trace() { ZnLispDebugOn = true; ZnNotifyLevel = 2; }
        ~Trace() { ZnLispDebugOn = false; ZnNotifyLevel = level; }
    } on;
    lisp.run("(define (id x) x)");
    testing::internal::CaptureStdout();
    lisp.run("(if (id 1) 'a)");
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out,
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
