// evaltail_test.cpp -- tail calls in constant host stack and flat memory,
// the bound on non-tail nesting, and closures freed with their frames.

#include "pxs_test_frame.h"

#include <algorithm>

using namespace pxstest;

namespace {

// Records the number of live cells each time a script calls (probe).
long probeMin = 0, probeMax = 0, probeCalls = 0;

ZnlObjPtr probe(const ZnlObjPtr&, const ZnlObjPtr&) {
    long live = pxsLiveCells;
    if (probeCalls++ == 0) probeMin = probeMax = live;
    probeMin = std::min(probeMin, live);
    probeMax = std::max(probeMax, live);
    return ZnlObjPtr::nil();
}

struct Tail : ::testing::Test {
    NoCellLeft guard;
    Interp lisp;
    Tail() {
        probeCalls = 0;
        ZncInternCompiledC("probe", probe, lisp.frame);
    }
};

TEST_F(Tail, SelfAndMutualCallsAndLongArgumentListsRunInConstantStack) {
    lisp.run("(define (f n) (if (= n 0) 0 (f (- n 1))))");
    EXPECT_EQ(lisp.number("(f 1000000)"), 0);
    lisp.run("(define (even n) (if (= n 0) t (odd (- n 1))))");
    lisp.run("(define (odd n) (if (= n 0) nil (even (- n 1))))");
    EXPECT_TRUE(lisp.run("(even 300001)") == ZnlObjPtr::nil());
    // A million arguments are evaluated in a loop.
    std::string text = "(length (list";
    for (int i = 0; i < 1000000; ++i) text += " 1";
    text += "))";
    EXPECT_EQ(lisp.number(text), 1000000);
}

TEST_F(Tail, CallInLastCondFormKeepsMemoryFlat) {
    lisp.run("(define (loop n) (cond ((= n 0) 'done) (t (probe) (loop (- n 1)))))");
    EXPECT_STREQ(lisp.run("(loop 1000000)")->pname(), "done");
    EXPECT_EQ(probeCalls, 1000000);
    // Each finished call's frame is released as the loop moves on.
    EXPECT_LT(probeMax - probeMin, 50);
}

TEST_F(Tail, NonTailRecursionWorksWithinTheBoundAndIsAClearErrorBeyond) {
    lisp.run("(define (count n) (if (= n 0) 0 (+ 1 (count (- n 1)))))");
    EXPECT_EQ(lisp.number("(count 3000)"), 3000);
    Failure f = failureOf([&] { lisp.run("(count 1000000)"); });
    EXPECT_EQ(f.innermost, pxsError("Evaluation nested deeper than 5000 levels"));
    EXPECT_EQ(f.depth, 5002);
    // The interpreter is usable afterwards.
    EXPECT_EQ(lisp.number("(count 10)"), 10);
    // Deeply nested expressions, built in the host since the reader refuses
    // such nesting itself, are bounded too.
    ZnlObjPtr car = ZncIntern("car", lisp.frame), list = ZncIntern("list", lisp.frame);
    for (int levels : {2000, 20000}) {
        ZnlObjPtr expr(1);
        for (int i = 0; i < levels; ++i) expr = listOf({car, listOf({list, expr})});
        if (levels < 5000)
            EXPECT_EQ(ZncEval(expr, lisp.frame)->fixnum(), 1);
        else
            EXPECT_PXS_FAILURE(ZncEval(expr, lisp.frame),
                               "Evaluation nested deeper than 5000 levels");
    }
}

TEST_F(Tail, ClosuresAreFreedWithTheirFrames) {
    long before = liveCells();
    lisp.run("(define (make-counter) (define n 0) (define (next) (set! n (+ n 1)) n) next)");
    long defined = liveCells();
    lisp.run("(define c (make-counter))");
    EXPECT_EQ(lisp.number("(c)"), 1);
    EXPECT_EQ(lisp.number("(c)"), 2);
    // Rebinding c drops the last outside reference to the closure; its
    // frame, held only by the closure bound in it, must go too. What is
    // left is the symbol c and the 0 bound to it.
    lisp.run("(define c 0)");
    EXPECT_EQ(liveCells(), defined + 2);
    for (int i = 0; i < 1000; ++i) lisp.run("((make-counter))");
    EXPECT_EQ(liveCells(), defined + 2);
    EXPECT_GT(defined, before);
}

TEST_F(Tail, ErrorsHalfwayThroughACallLeaveNothingBehind) {
    lisp.run("(define (f a b c) (list a b c))");
    long before = liveCells();
    for (int i = 0; i < 100; ++i) {
        EXPECT_PXS_FAILURE(lisp.run("(f (list 1 2) (car nil) (list 3 4))"), "car of non-cons");
        EXPECT_PXS_FAILURE(lisp.run("(f (list 1 2) 3)"),
                           "Wrong number of args for function application");
        EXPECT_PXS_FAILURE(lisp.run("(let ((a (list 1)) (b (car nil))) a)"), "car of non-cons");
    }
    EXPECT_EQ(liveCells(), before);
}

}  // namespace
