// evalerror_test.cpp -- how errors leave the evaluator: one "Propagating
// ZnException." per nesting level, the first message innermost, and foreign
// exceptions turned into the library's own.

#include "pxs_test_frame.h"

#include <stdexcept>

using namespace pxstest;

namespace {

struct EvalErrors : ::testing::Test {
    NoCellLeft guard;
    Interp lisp;
    EvalErrors() {
        ZncInternCompiledC("throws-std", throwsStd, lisp.frame);
        ZncInternCompiledC("throws-int", throwsInt, lisp.frame);
    }
    static ZnlObjPtr throwsStd(const ZnlObjPtr&, const ZnlObjPtr&) {
        throw std::runtime_error("bad");
    }
    static ZnlObjPtr throwsInt(const ZnlObjPtr&, const ZnlObjPtr&) { throw 42; }
};

// A symbol that fails to evaluate counts as a level, as every evaluation
// does; reader errors in evaluated text stay reader errors.
TEST_F(EvalErrors, OneWrapperPerNestingLevelAroundTheFirstMessage) {
    lisp.run("(define (a) (car nil)) (define (b) (list (a))) (define (c) (list (b)))");
    const struct {
        const char* text;
        int depth;
        const char* innermost;
    } cases[] = {
        {"(car nil)", 2, "ZnException: PXS Error: car of non-cons"},
        {"(car (car (car nil)))", 4, "ZnException: PXS Error: car of non-cons"},
        {"undefined", 2, "ZnException: PXS Error: Unbound symbol undefined"},
        {"(undefined 1)", 3, "ZnException: PXS Error: Unbound symbol undefined"},
        {"(list 1 undefined)", 3, "ZnException: PXS Error: Unbound symbol undefined"},
        {"(car '(1 2)) (list", 2, "ZnException: PXS Error: Missing \")\""},
        {"(throws-std)", 1, "std::exception bad"},
        {"(list (throws-std))", 2, "std::exception bad"},
        {"(list (throws-int))", 2, "Caught Unknown Exception."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Failure f = failureOf([&] { lisp.run(c.text); });
        EXPECT_EQ(f.depth, c.depth);
        EXPECT_EQ(f.innermost, c.innermost);
        EXPECT_EQ(f.outermost, c.depth > 1 ? "Propagating ZnException." : c.innermost);
    }
    Failure f = failureOf([&] { lisp.run("(car nil)"); });
    EXPECT_EQ(f.origin, "ZnlObjPtr ZncHaltAndCatchFire(char*) (io:22)");
    EXPECT_EQ(failureOf([&] { lisp.run("(list (throws-int))"); }).innermostNumber,
              ZnUnknownExceptionNumber);
    // Three calls deep gives at least three levels.
    f = failureOf([&] { lisp.run("(c)"); });
    EXPECT_GE(f.depth, 4);
    EXPECT_EQ(f.innermost, pxsError("car of non-cons"));
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

}  // namespace
