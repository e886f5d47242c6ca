// evalerror_test.cpp -- how errors leave the evaluator: one "Propagating
// ZnException." per nesting level, the first message innermost, and foreign
// exceptions turned into the library's own.

#include "pxs_test_frame.h"

#include <stdexcept>

using pxstest::Interp;
using pxstest::NoCellLeft;

namespace {

struct EvalErrors : ::testing::Test {
    NoCellLeft guard;
    Interp lisp;
};

ZnlObjPtr throwsStd(const ZnlObjPtr&, const ZnlObjPtr&) { throw std::runtime_error("bad"); }
ZnlObjPtr throwsInt(const ZnlObjPtr&, const ZnlObjPtr&) { throw 42; }

TEST_F(EvalErrors, OneWrapperPerNestingLevel) {
    // The top-level call, its argument and car's own failure: a symbol that
    // fails to evaluate counts as a level, as every evaluation does.
    pxstest::Failure f = pxstest::failureOf([&] { lisp.run("(car nil)"); });
    EXPECT_EQ(f.depth, 2);
    EXPECT_EQ(f.outermost, "Propagating ZnException.");
    EXPECT_EQ(f.innermost, pxstest::pxsError("car of non-cons"));
    EXPECT_EQ(f.origin, "ZnlObjPtr ZncHaltAndCatchFire(char*) (io:22)");

    f = pxstest::failureOf([&] { lisp.run("(car (car (car nil)))"); });
    EXPECT_EQ(f.depth, 4);
    f = pxstest::failureOf([&] { lisp.run("undefined"); });
    EXPECT_EQ(f.depth, 2);
    EXPECT_EQ(f.innermost, pxstest::pxsError("Unbound symbol undefined"));
    f = pxstest::failureOf([&] { lisp.run("(undefined 1)"); });
    EXPECT_EQ(f.depth, 3);
    f = pxstest::failureOf([&] { lisp.run("(list 1 undefined)"); });
    EXPECT_EQ(f.depth, 3);
}

TEST_F(EvalErrors, ThreeCallsDeepGivesAtLeastThreeLevels) {
    lisp.run("(define (a) (car nil))");
    lisp.run("(define (b) (list (a)))");
    lisp.run("(define (c) (list (b)))");
    pxstest::Failure f = pxstest::failureOf([&] { lisp.run("(c)"); });
    EXPECT_GE(f.depth, 4);
    EXPECT_EQ(f.innermost, pxstest::pxsError("car of non-cons"));
}

TEST_F(EvalErrors, WrapperCarriesTheEvaluatorsOrigin) {
    try {
        lisp.run("(car nil)");
        FAIL() << "no error";
    } catch (const ZnException& e) {
        EXPECT_EQ(e.where(), "ZnlObjPtr ZncEval(const ZnlObjPtr&, const ZnlObjPtr&) (eval:352)");
        EXPECT_EQ(e.number(), 0);
    }
}

TEST_F(EvalErrors, StandardExceptionsBecomeZnExceptions) {
    ZncInternCompiledC("throws-std", throwsStd, lisp.frame);
    pxstest::Failure f = pxstest::failureOf([&] { lisp.run("(throws-std)"); });
    EXPECT_EQ(f.innermost, "std::exception bad");
    EXPECT_EQ(f.depth, 1);
    f = pxstest::failureOf([&] { lisp.run("(list (throws-std))"); });
    EXPECT_EQ(f.innermost, "std::exception bad");
    EXPECT_EQ(f.depth, 2);
}

TEST_F(EvalErrors, UnknownExceptionsBecomeKindMinusTwo) {
    ZncInternCompiledC("throws-int", throwsInt, lisp.frame);
    pxstest::Failure f = pxstest::failureOf([&] { lisp.run("(list (throws-int))"); });
    EXPECT_EQ(f.innermost, "Caught Unknown Exception.");
    EXPECT_EQ(f.innermostNumber, ZnUnknownExceptionNumber);
    EXPECT_EQ(f.depth, 2);
}

TEST_F(EvalErrors, ReaderErrorsInsideEvaluatedTextStayReaderErrors) {
    pxstest::Failure f = pxstest::failureOf([&] { lisp.run("(car '(1 2)) (list"); });
    EXPECT_EQ(f.innermost, pxstest::pxsError("Missing \")\""));
    EXPECT_EQ(f.depth, 2);
}

}  // namespace
