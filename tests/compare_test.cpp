// compare_test.cpp -- truth, type predicates, identity, structural and
// numeric equality and order, with their messages.

#include "pxs_test_support.h"

using namespace pxstest;

namespace {

TEST(Predicates, KindsAndTruth) {
    NoCellLeft guard;
    int host = 0;
    ZnlObjPtr loc = ZncPtrToNode(ZnlLocativeTag, &host);
    EXPECT_TRUE(ZncNull(nil()) && ZncNull(ZnlObjPtr()));
    EXPECT_FALSE(ZncNull(num(0)) || ZncListp(nil()) || ZncNumberp(str("1")));
    EXPECT_TRUE(ZncListp(ZncCons(nil(), nil())));
    EXPECT_TRUE(ZncNumberp(num(1)) && ZncNumberp(flo(1)));
    EXPECT_TRUE(ZncStringp(str("")) && ZncLocativep(loc));
    EXPECT_FALSE(ZncStringp(sym("s")) || ZncLocativep(num(0)));
    EXPECT_TRUE(ZncCBooleanToLispBoolean(-3) == t());
    EXPECT_TRUE(ZncCBooleanToLispBoolean(0) == nil());
    EXPECT_PXS_ERROR(ZncPtrToNode(ZnlStringTag, &host),
                     "ZncPtrToNode of a kind that owns its contents");
    expectCalls({
        {ZnlNotOrNull, listOf({nil()}), t()},
        {ZnlNotOrNull, listOf({num(0)}), nil()},
        {ZnlListp, listOf({nil()}), nil()},
        {ZnlNumberp, listOf({flo(0.5)}), t()},
        {ZnlStringp, listOf({str("x")}), t()},
        {ZnlLocativep, listOf({loc}), t()},
        {ZnlNotOrNull, nil(), "Wrong number of arguments to not/null"},
        {ZnlNumberp, nil(), "Wrong number of args to numberp"},
        {ZnlStringp, listOf({nil(), nil()}), "Wrong number of args to stringp"},
        {ZnlListp, nil(), "Wrong number of args to listp"},
        {ZnlLocativep, nil(), "Wrong number of args to locativep"},
    });
}

TEST(NumericComparison, MixesFixnumsAndFlonumsAndRefusesOtherKinds) {
    NoCellLeft guard;
    int a = 0, b = 0;
    ZnlObjPtr loc = ZncPtrToNode(ZnlLocativeTag, &a);
    EXPECT_TRUE(ZncEqualSign(num(1), flo(1.0)) && ZncEqualSign(flo(2.5), flo(2.5)));
    EXPECT_FALSE(ZncEqualSign(num(1), num(2)));
    EXPECT_TRUE(ZncGreater(flo(1.5), num(1)));
    EXPECT_FALSE(ZncGreater(num(1), num(1)));
    EXPECT_TRUE(ZncGreaterEqual(num(1), num(1)));
    EXPECT_TRUE(ZncLess(num(-2147483647 - 1), num(2147483647)));
    EXPECT_TRUE(ZncLessEqual(num(3), flo(3.0)));
    EXPECT_FALSE(ZncLessEqual(flo(3.5), num(3)));
    EXPECT_TRUE(ZncEqualSign(loc, ZncPtrToNode(ZnlLocativeTag, &a)));
    EXPECT_FALSE(ZncEqualSign(loc, ZncPtrToNode(ZnlLocativeTag, &b)));
    EXPECT_PXS_ERROR(ZncEqualSign(num(1), str("1")), "Wrong type to ZncEqualSign");
    EXPECT_PXS_ERROR(ZncEqualSign(loc, num(1)), "Wrong type to ZncEqualSign");
    EXPECT_PXS_ERROR(ZncGreater(loc, loc), "Wrong type to ZncGreater");
    EXPECT_PXS_ERROR(ZncLess(nil(), num(1)), "Wrong type to ZncLess");
    EXPECT_PXS_ERROR(ZncLessEqual(num(1), t()), "Wrong type to ZncLessEqual");
    EXPECT_PXS_ERROR(ZncGreaterEqual(ZnlObjPtr(), num(1)), "Wrong type to ZncGreaterEqual");
    // The primitives check the count before the kinds.
    expectCalls({
        {ZnlEqualSign, listOf({num(2), flo(2)}), t()},
        {ZnlGreater, listOf({num(2), num(3)}), nil()},
        {ZnlLess, listOf({num(2), num(3)}), t()},
        {ZnlLessEqual, listOf({num(3), num(3)}), t()},
        {ZnlGreaterEqual, listOf({num(2), num(3)}), nil()},
        {ZnlEqualSign, listOf({nil()}), "Wrong number of args to ="},
        {ZnlGreater, nil(), "Wrong number of args to >"},
        {ZnlLess, listOf({nil(), nil(), nil()}), "Wrong number of args to <"},
        {ZnlLessEqual, nil(), "Wrong number of args to <="},
        {ZnlGreaterEqual, nil(), "Wrong number of args to >="},
    });
}

TEST(Equality, IdentityVersusStructure) {
    NoCellLeft guard;
    ZnlObjPtr s1("text"), s2("text");
    EXPECT_FALSE(ZncEq(s1, s2) || ZncEq(sym("t"), t()));
    EXPECT_TRUE(ZncEqual(s1, s2) && ZncEqual(num(2), num(2)) && ZncEqual(sym("t"), t()));
    EXPECT_FALSE(ZncEqual(s1, str("texT")));
    EXPECT_FALSE(ZncEqual(num(1), flo(1.0)));
    EXPECT_TRUE(ZncEqual(listOf({num(1), listOf({s1})}), listOf({num(1), listOf({s2})})));
    EXPECT_FALSE(ZncEqual(listOf({num(1)}), listOf({num(1), num(2)})));
    EXPECT_FALSE(ZncEqual(ZncCons(num(1), num(2)), ZncCons(num(1), num(3))));
    expectCalls({
        {ZnlEq, listOf({s1, s1}), t()},
        {ZnlEqual, listOf({s1, s2}), t()},
        {ZnlEq, listOf({s1}), "Wrong number of arguments to eq"},
        {ZnlEqual, listOf({s1}), "Wrong number of arguments to equal"},
    });
}

TEST(Equality, FunctionsAndFramesCompareOnlyByIdentity) {
    NoCellLeft guard;
    ZnlObjPtr frame(ZnlFrameTag);
    ZnlObjPtr car = ZncSymeval(ZncInternCompiledC("car", ZnlLCar, frame), frame);
    ZnlObjPtr cdr = ZncSymeval(ZncInternCompiledC("cdr", ZnlLCdr, frame), frame);
    EXPECT_TRUE(ZncEqual(car, car));
    EXPECT_PXS_ERROR(ZncEqual(car, cdr), "Unknown type passed to equal!");
    EXPECT_PXS_ERROR(ZncEqual(frame, ZnlObjPtr(ZnlFrameTag)), "Unknown type passed to equal!");
    // Cars are compared first, and a difference there ends the comparison.
    EXPECT_FALSE(ZncEqual(listOf({num(1), car}), listOf({num(2), cdr})));
    EXPECT_PXS_ERROR(ZncEqual(listOf({car, num(1)}), listOf({cdr, num(2)})),
                     "Unknown type passed to equal!");
}

TEST(Equality, DeepNestingInTheCarDoesNotRecurse) {
    NoCellLeft guard;
    ZnlObjPtr a = nil(), b = nil();
    for (int i = 0; i < 1000000; ++i) {
        a = ZncCons(a, num(i));
        b = ZncCons(b, num(i));
    }
    EXPECT_TRUE(ZncEqual(a, b));
    EXPECT_FALSE(ZncEqual(a, ZncCons(b, num(0))));
}

}  // namespace
