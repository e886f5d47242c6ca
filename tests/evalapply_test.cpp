// evalapply_test.cpp -- the shortcuts the evaluator takes when it applies
// functions: operators read in their binding, short argument lists bound
// without a list, and two-argument primitives applied without one. Each
// must give what the plain application gives.

#include "pxs_test_frame.h"

#include <string>

using pxstest::Interp;
using pxstest::NoCellLeft;

namespace {

struct Apply : ::testing::Test {
    NoCellLeft guard;
    Interp lisp;
};

TEST_F(Apply, AnOperatorReboundByItsOwnArgumentsIsStillApplied) {
    lisp.run("(define (f x) (list 'old x))");
    // The call applies the procedure the operator named when it was read.
    ZnlObjPtr v = lisp.run("(f (sequence (define f 0) 5))");
    EXPECT_EQ(ZncLength(v), 2);
    EXPECT_EQ(lisp.number("f"), 0);
    lisp.run("(define g car)");
    EXPECT_EQ(lisp.number("(g (sequence (define g 0) '(7 8)))"), 7);
    // A procedure whose only reference goes while its own body runs.
    lisp.run("(define (h n) (set! h 1) (list n (+ n 1)))");
    EXPECT_EQ(ZncLength(lisp.run("(h 2)")), 2);
    EXPECT_EQ(lisp.number("h"), 1);
}

TEST_F(Apply, ShortAndLongArgumentListsBindAlike) {
    lisp.run("(define (four a b c d) (list a b c d))");
    lisp.run("(define (five a b c d e) (list a b c d e))");
    EXPECT_EQ(ZncLength(lisp.run("(four 1 2 3 4)")), 4);
    EXPECT_EQ(lisp.number("(car (cdr (cdr (cdr (five 1 2 3 4 5)))))"), 4);
    for (const char* call : {"(four 1 2 3)", "(four 1 2 3 4 5)", "(five 1 2 3 4)",
                             "(five 1 2 3 4 5 6)", "((lambda () 1) 2)"}) {
        SCOPED_TRACE(call);
        EXPECT_PXS_FAILURE(lisp.run(call), "Wrong number of args for function application");
    }
    // All arguments are evaluated, last first, before the count is checked.
    testing::internal::CaptureStdout();
    EXPECT_PXS_FAILURE(lisp.run("(four (prin1 1) (prin1 2))"),
                       "Wrong number of args for function application");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "21");
    testing::internal::CaptureStdout();
    lisp.run("(five (prin1 1) 2 3 4 (prin1 5))");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "51");
    // The bindings land in the call's frame in parameter order, a repeated
    // name keeping the later value, whatever the length of the list.
    ZnlObjPtr names = lisp.run("((lambda (p q p) (frame-bindings (the-frame))) 1 2 3)");
    EXPECT_EQ(ZncLength(names), 2);
    EXPECT_EQ(lisp.number("((lambda (a b c d e a) a) 1 2 3 4 5 6)"), 6);
    EXPECT_PXS_FAILURE(lisp.run("((lambda (a 1) a) 1 2)"),
                       "Non-symbol in function parameter list for apply");
    EXPECT_PXS_FAILURE(lisp.run("((lambda (a b c d 1) a) 1 2 3 4 5)"),
                       "Non-symbol in function parameter list for apply");
    ZnlObjPtr improper = ZncCons(ZncIntern("four", lisp.frame), ZnlObjPtr(5));
    EXPECT_PXS_FAILURE(ZncEval(improper, lisp.frame), "function arguments are not a list");
}

// Binds the real one- and two-argument primitives under names of their
// own: the evaluator knows them by host function, not by name.
struct DirectPrimitives : Apply {
    struct Row {
        const char* name;
        ZnlPrimitiveFn code;
    };
    const Row rows[10] = {{"add", ZnlPlus},         {"sub", ZnlMinus},      {"mul", ZnlMultiply},
                          {"num=", ZnlEqualSign},   {"lt", ZnlLess},        {"gt", ZnlGreater},
                          {"le", ZnlLessEqual},     {"ge", ZnlGreaterEqual}, {"same", ZnlEq},
                          {"pair", ZnlLCons}};
    const Row unaryRows[5] = {{"first", ZnlLCar},   {"rest", ZnlLCdr},   {"size", ZnlLength},
                              {"backwards", ZnlReverse}, {"empty?", ZnlNotOrNull}};
    DirectPrimitives() {
        for (const Row& row : rows) ZncInternCompiledC(row.name, row.code, lisp.frame);
        for (const Row& row : unaryRows) ZncInternCompiledC(row.name, row.code, lisp.frame);
    }

    // Expects `call`, evaluated, and `code` applied to the list of the
    // values of `operands`, to give equal values or the same error.
    void expectSameOutcome(const std::string& call, ZnlPrimitiveFn code,
                           std::initializer_list<const char*> operands) {
        ZnlObjPtr direct, viaList;
        std::string directError = outcome([&] { return lisp.run(call); }, direct);
        std::string listError = outcome(
            [&] {
                ZnlObjPtr args = ZnlObjPtr::nil();
                for (auto it = operands.end(); it != operands.begin();)
                    args = ZncCons(lisp.run(*--it), args);
                return code(args, lisp.frame);
            },
            viaList);
        EXPECT_EQ(directError, listError) << call;
        if (!directError.empty() || !listError.empty()) return;
        ASSERT_TRUE(direct && viaList) << call;
        EXPECT_EQ(direct->tag(), viaList->tag()) << call;
        EXPECT_TRUE(direct == viaList || ZncEqual(direct, viaList)) << call;
    }

    // What the primitive gives for the list of the two values: its value,
    // or its error message.
    static std::string outcome(const std::function<ZnlObjPtr()>& apply, ZnlObjPtr& value) {
        pxstest::Failure f = pxstest::failureOf([&] { value = apply(); });
        return f.thrown ? f.innermost : "";
    }
};

TEST_F(DirectPrimitives, GiveWhatTheirPrimitiveGivesForTheList) {
    const char* operands[] = {"7", "-3", "2147483647", "2.5", "-0.5", "0", "\"s\"", "'x", "nil"};
    for (const Row& row : rows)
        for (const char* a : operands)
            for (const char* b : operands)
                expectSameOutcome(std::string("(") + row.name + " " + a + " " + b + ")", row.code,
                                  {a, b});
    const char* lists[] = {"(list 1 2 3)", "'(1 (2))", "nil", "(cons 1 2)", "7", "\"s\""};
    for (const Row& row : unaryRows)
        for (const char* a : lists)
            expectSameOutcome(std::string("(") + row.name + " " + a + ")", row.code, {a});
}

TEST_F(DirectPrimitives, ReverseReusesOnlyAListNothingElseHolds) {
    lisp.run("(define kept (list 1 2 3))");
    EXPECT_TRUE(ZncEqual(lisp.run("(backwards kept)"), lisp.run("'(3 2 1)")));
    EXPECT_TRUE(ZncEqual(lisp.global("kept"), lisp.run("'(1 2 3)")));
    // A fresh list whose tail is shared: the tail stays as it was.
    lisp.run("(define tail (list 2 3))");
    EXPECT_TRUE(ZncEqual(lisp.run("(backwards (cons 1 tail))"), lisp.run("'(3 2 1)")));
    EXPECT_TRUE(ZncEqual(lisp.global("tail"), lisp.run("'(2 3)")));
    // Quoted lists belong to the code that quotes them.
    lisp.run("(define (q) (backwards '(a b)))");
    lisp.run("(q)");
    EXPECT_STREQ(lisp.run("(car (q))")->pname(), "b");
    // Fresh lists, long and short, come back reversed.
    lisp.run("(define (build n acc) (if (= n 0) acc (build (- n 1) (cons n acc))))");
    EXPECT_EQ(lisp.number("(car (backwards (build 10000 nil)))"), 10000);
    EXPECT_EQ(lisp.number("(size (backwards (build 10000 nil)))"), 10000);
    EXPECT_EQ(lisp.number("(first (backwards (list 5)))"), 5);
    EXPECT_PXS_FAILURE(lisp.run("(backwards (cons 1 (cons 2 3)))"), "Non list in reverse");
}

TEST_F(DirectPrimitives, OtherArgumentCountsTakeThePrimitiveItself) {
    EXPECT_EQ(lisp.number("(add 1 2 3)"), 6);
    EXPECT_EQ(lisp.number("(sub 5)"), -5);
    EXPECT_EQ(lisp.number("(sub 10 1 2)"), 7);
    EXPECT_PXS_FAILURE(lisp.run("(num= 1)"), "Wrong number of args to =");
    EXPECT_PXS_FAILURE(lisp.run("(pair 1 2 3)"), "Wrong number of args to cons");
    EXPECT_PXS_FAILURE(lisp.run("(add)"), "Wrong number of args to plus");
    EXPECT_PXS_FAILURE(lisp.run("(first)"), "Wrong number of args to car");
    EXPECT_PXS_FAILURE(lisp.run("(size '(1) '(2))"), "Wrong number of args to length");
    // Both arguments are evaluated, the second first, even when the first
    // then fails the primitive's check.
    testing::internal::CaptureStdout();
    EXPECT_PXS_FAILURE(lisp.run("(sub (prin1 \"a\") (prin1 1))"), "Non-number to subtract");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "1\"a\"");
    // The fixnum steps are traced as the primitive traces them.
    ZnLispDebugOn = true;
    pxstest::InfoCapture info;
    lisp.run("(sub 5 1)");
    ZnLispDebugOn = false;
    EXPECT_EQ(info.text(), "(sub 5 1) ==> 4\n");
}

}  // namespace
