// evalapply_test.cpp -- the shortcuts the evaluator takes when it applies
// functions: operators read in their binding, short argument lists bound
// without a list, and two-argument primitives applied without one. Each
// must give what the plain application gives.

#include "pxs_test_frame.h"

#include <string>

using namespace pxstest;

namespace {

struct Apply : ::testing::Test {
    NoCellLeft guard;
    Interp lisp;
};

TEST_F(Apply, AnOperatorReboundByItsOwnArgumentsIsStillApplied) {
    // The call applies the procedure the operator named when it was read,
    // even one whose only reference goes while its own body runs.
    lisp.expect({
        {"(define (f x) (list 'old x))", "f"}, {"(f (sequence (define f 0) 5))", "(old 5)"},
        {"f", "0"}, {"(define g car)", "g"}, {"(g (sequence (define g 0) '(7 8)))", "7"},
        {"(define (h n) (set! h 1) (list n (+ n 1)))", "h"}, {"(h 2)", "(2 3)"}, {"h", "1"},
    });
}

TEST_F(Apply, ShortAndLongArgumentListsBindAlike) {
    const Fails wrongCount{"Wrong number of args for function application"};
    const Fails nonSymbol{"Non-symbol in function parameter list for apply"};
    // The bindings land in the call's frame, a repeated
    // name keeping the later value, whatever the length of the list.
    lisp.expect({
        {"(define (four a b c d) (list a b c d))", "four"},
        {"(define (five a b c d e) (list a b c d e))", "five"},
        {"(four 1 2 3 4)", "(1 2 3 4)"}, {"(five 1 2 3 4 5)", "(1 2 3 4 5)"},
        {"(four 1 2 3)", wrongCount}, {"(four 1 2 3 4 5)", wrongCount},
        {"(five 1 2 3 4)", wrongCount}, {"(five 1 2 3 4 5 6)", wrongCount},
        {"((lambda () 1) 2)", wrongCount},
        {"((lambda (p q p) (frame-bindings (the-frame))) 1 2 3)", "((q 2) (p 3))"},
        {"((lambda (a b c d e a) a) 1 2 3 4 5 6)", "6"},
        {"((lambda (a 1) a) 1 2)", nonSymbol}, {"((lambda (a b c d 1) a) 1 2 3 4 5)", nonSymbol},
    });
    // All arguments are evaluated, last first, before the count is checked.
    EXPECT_EQ(stdoutOf([&] { EXPECT_PXS_FAILURE(lisp.run("(four (prin1 1) (prin1 2))"),
                                                wrongCount.message); }),
              "21");
    EXPECT_EQ(stdoutOf([&] { lisp.run("(five (prin1 1) 2 3 4 (prin1 5))"); }), "51");
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
        Failure directError = failureOf([&] { direct = lisp.run(call); });
        Failure listError = failureOf([&] {
            ZnlObjPtr args = ZnlObjPtr::nil();
            for (auto it = operands.end(); it != operands.begin();)
                args = ZncCons(lisp.run(*--it), args);
            viaList = code(args, lisp.frame);
        });
        EXPECT_EQ(directError.innermost, listError.innermost) << call;
        if (directError.thrown || listError.thrown) return;
        ASSERT_TRUE(direct && viaList) << call;
        EXPECT_EQ(direct->tag(), viaList->tag()) << call;
        EXPECT_TRUE(direct == viaList || ZncEqual(direct, viaList)) << call;
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
    // A list held elsewhere, or a fresh list whose tail is shared, stays as
    // it was; quoted lists belong to the code that quotes them; fresh lists,
    // long and short, come back reversed.
    lisp.expect({
        {"(define kept (list 1 2 3))", "kept"}, {"(backwards kept)", "(3 2 1)"},
        {"kept", "(1 2 3)"}, {"(define tail (list 2 3))", "tail"},
        {"(backwards (cons 1 tail))", "(3 2 1)"}, {"tail", "(2 3)"},
        {"(define (q) (backwards '(a b)))", "q"}, {"(q)", "(b a)"}, {"(q)", "(b a)"},
        {"(define (build n acc) (if (= n 0) acc (build (- n 1) (cons n acc))))", "build"},
        {"(car (backwards (build 10000 nil)))", "10000"},
        {"(size (backwards (build 10000 nil)))", "10000"}, {"(backwards (list 5))", "(5)"},
        {"(backwards (cons 1 (cons 2 3)))", Fails{"Non list in reverse"}},
    });
}

TEST_F(DirectPrimitives, OtherArgumentCountsTakeThePrimitiveItself) {
    lisp.expect({
        {"(add 1 2 3)", "6"}, {"(sub 5)", "-5"}, {"(sub 10 1 2)", "7"},
        {"(num= 1)", Fails{"Wrong number of args to ="}},
        {"(pair 1 2 3)", Fails{"Wrong number of args to cons"}},
        {"(add)", Fails{"Wrong number of args to plus"}},
        {"(first)", Fails{"Wrong number of args to car"}},
        {"(size '(1) '(2))", Fails{"Wrong number of args to length"}},
    });
    // Both arguments are evaluated, the second first, even when the first
    // then fails the primitive's check.
    EXPECT_EQ(stdoutOf([&] { EXPECT_PXS_FAILURE(lisp.run("(sub (prin1 \"a\") (prin1 1))"),
                                                "Non-number to subtract"); }),
              "1\"a\"");
    // The fixnum steps are traced as the primitive traces them.
    DebugOn debug;
    InfoCapture info;
    lisp.run("(sub 5 1)");
    EXPECT_EQ(info.text(), "(sub 5 1) ==> 4\n");
}

}  // namespace
