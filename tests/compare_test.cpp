// compare_test.cpp -- truth, type predicates, identity, structural and
// numeric equality and order, with their messages.

#include "pxs_test_support.h"

using pxstest::listOf;
using pxstest::NoCellLeft;

namespace {

ZnlObjPtr num(int n) { return ZnlObjPtr(n); }
ZnlObjPtr flo(double d) { return ZnlObjPtr(d); }
const ZnlObjPtr& nil() { return ZnlObjPtr::nil(); }
const ZnlObjPtr& t() { return ZnlObjPtr::t(); }

TEST(Predicates, KindsAndTruth) {
    NoCellLeft guard;
    EXPECT_TRUE(ZncNull(nil()));
    EXPECT_TRUE(ZncNull(ZnlObjPtr()));
    EXPECT_FALSE(ZncNull(num(0)));
    EXPECT_FALSE(ZncListp(nil()));
    EXPECT_TRUE(ZncListp(ZncCons(nil(), nil())));
    EXPECT_TRUE(ZncNumberp(num(1)) && ZncNumberp(flo(1)));
    EXPECT_FALSE(ZncNumberp(ZnlObjPtr("1")));
    EXPECT_TRUE(ZncStringp(ZnlObjPtr("")));
    EXPECT_FALSE(ZncStringp(ZncMakeSymbol("s")));
    int host = 0;
    EXPECT_TRUE(ZncLocativep(ZncPtrToNode(ZnlLocativeTag, &host)));
    EXPECT_FALSE(ZncLocativep(num(0)));
    EXPECT_TRUE(ZncCBooleanToLispBoolean(-3) == t());
    EXPECT_TRUE(ZncCBooleanToLispBoolean(0) == nil());
}

TEST(Predicates, PrimitivesAnswerTOrNil) {
    NoCellLeft guard;
    EXPECT_TRUE(ZnlNotOrNull(listOf({nil()}), nil()) == t());
    EXPECT_TRUE(ZnlNotOrNull(listOf({num(0)}), nil()) == nil());
    EXPECT_TRUE(ZnlListp(listOf({nil()}), nil()) == nil());
    EXPECT_TRUE(ZnlNumberp(listOf({flo(0.5)}), nil()) == t());
    EXPECT_TRUE(ZnlStringp(listOf({ZnlObjPtr("x")}), nil()) == t());
    int host = 0;
    EXPECT_TRUE(ZnlLocativep(listOf({ZncPtrToNode(ZnlLocativeTag, &host)}), nil()) == t());
    EXPECT_PXS_ERROR(ZnlNotOrNull(nil(), nil()), "Wrong number of arguments to not/null");
    EXPECT_PXS_ERROR(ZnlNumberp(nil(), nil()), "Wrong number of args to numberp");
    EXPECT_PXS_ERROR(ZnlStringp(listOf({nil(), nil()}), nil()), "Wrong number of args to stringp");
    EXPECT_PXS_ERROR(ZnlListp(nil(), nil()), "Wrong number of args to listp");
    EXPECT_PXS_ERROR(ZnlLocativep(nil(), nil()), "Wrong number of args to locativep");
    EXPECT_PXS_ERROR(ZncPtrToNode(ZnlStringTag, &host),
                     "ZncPtrToNode of a kind that owns its contents");
}

TEST(NumericComparison, MixesFixnumsAndFlonums) {
    NoCellLeft guard;
    EXPECT_TRUE(ZncEqualSign(num(1), flo(1.0)));
    EXPECT_TRUE(ZncEqualSign(flo(2.5), flo(2.5)));
    EXPECT_FALSE(ZncEqualSign(num(1), num(2)));
    EXPECT_TRUE(ZncGreater(flo(1.5), num(1)));
    EXPECT_FALSE(ZncGreater(num(1), num(1)));
    EXPECT_TRUE(ZncGreaterEqual(num(1), num(1)));
    EXPECT_TRUE(ZncLess(num(-2147483647 - 1), num(2147483647)));
    EXPECT_TRUE(ZncLessEqual(num(3), flo(3.0)));
    EXPECT_FALSE(ZncLessEqual(flo(3.5), num(3)));
    int a = 0, b = 0;
    EXPECT_TRUE(ZncEqualSign(ZncPtrToNode(ZnlLocativeTag, &a), ZncPtrToNode(ZnlLocativeTag, &a)));
    EXPECT_FALSE(ZncEqualSign(ZncPtrToNode(ZnlLocativeTag, &a), ZncPtrToNode(ZnlLocativeTag, &b)));
}

TEST(NumericComparison, OtherKindsNameTheOperation) {
    NoCellLeft guard;
    int a = 0;
    ZnlObjPtr loc = ZncPtrToNode(ZnlLocativeTag, &a);
    EXPECT_PXS_ERROR(ZncEqualSign(num(1), ZnlObjPtr("1")), "Wrong type to ZncEqualSign");
    EXPECT_PXS_ERROR(ZncEqualSign(loc, num(1)), "Wrong type to ZncEqualSign");
    EXPECT_PXS_ERROR(ZncGreater(loc, loc), "Wrong type to ZncGreater");
    EXPECT_PXS_ERROR(ZncLess(nil(), num(1)), "Wrong type to ZncLess");
    EXPECT_PXS_ERROR(ZncLessEqual(num(1), t()), "Wrong type to ZncLessEqual");
    EXPECT_PXS_ERROR(ZncGreaterEqual(ZnlObjPtr(), num(1)), "Wrong type to ZncGreaterEqual");
}

TEST(NumericComparison, PrimitivesCheckCountFirst) {
    NoCellLeft guard;
    EXPECT_TRUE(ZnlEqualSign(listOf({num(2), flo(2)}), nil()) == t());
    EXPECT_TRUE(ZnlGreater(listOf({num(2), num(3)}), nil()) == nil());
    EXPECT_TRUE(ZnlLess(listOf({num(2), num(3)}), nil()) == t());
    EXPECT_TRUE(ZnlLessEqual(listOf({num(3), num(3)}), nil()) == t());
    EXPECT_TRUE(ZnlGreaterEqual(listOf({num(2), num(3)}), nil()) == nil());
    EXPECT_PXS_ERROR(ZnlEqualSign(listOf({nil()}), nil()), "Wrong number of args to =");
    EXPECT_PXS_ERROR(ZnlGreater(nil(), nil()), "Wrong number of args to >");
    EXPECT_PXS_ERROR(ZnlLess(listOf({nil(), nil(), nil()}), nil()), "Wrong number of args to <");
    EXPECT_PXS_ERROR(ZnlLessEqual(nil(), nil()), "Wrong number of args to <=");
    EXPECT_PXS_ERROR(ZnlGreaterEqual(nil(), nil()), "Wrong number of args to >=");
}

TEST(Equality, IdentityVersusStructure) {
    NoCellLeft guard;
    ZnlObjPtr s1("text"), s2("text");
    EXPECT_FALSE(ZncEq(s1, s2));
    EXPECT_TRUE(ZncEqual(s1, s2));
    EXPECT_FALSE(ZncEqual(s1, ZnlObjPtr("texT")));
    EXPECT_TRUE(ZncEqual(num(2), num(2)));
    EXPECT_FALSE(ZncEqual(num(1), flo(1.0)));
    EXPECT_TRUE(ZncEqual(ZncMakeSymbol("t"), t()));
    EXPECT_FALSE(ZncEq(ZncMakeSymbol("t"), t()));
    EXPECT_TRUE(ZncEqual(listOf({num(1), listOf({s1})}), listOf({num(1), listOf({s2})})));
    EXPECT_FALSE(ZncEqual(listOf({num(1)}), listOf({num(1), num(2)})));
    EXPECT_FALSE(ZncEqual(ZncCons(num(1), num(2)), ZncCons(num(1), num(3))));
    EXPECT_TRUE(ZnlEq(listOf({s1, s1}), nil()) == t());
    EXPECT_TRUE(ZnlEqual(listOf({s1, s2}), nil()) == t());
    EXPECT_PXS_ERROR(ZnlEq(listOf({s1}), nil()), "Wrong number of arguments to eq");
    EXPECT_PXS_ERROR(ZnlEqual(listOf({s1}), nil()), "Wrong number of arguments to equal");
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
    b = ZncCons(b, num(0));
    EXPECT_FALSE(ZncEqual(a, b));
}

}  // namespace
