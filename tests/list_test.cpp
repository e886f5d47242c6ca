// list_test.cpp -- pairs, lists and association lists: results, sharing,
// messages, and lists long enough to break any per-element recursion.

#include "pxs_test_support.h"

using namespace pxstest;

namespace {

// A list of the numbers 0 to n-1.
ZnlObjPtr iota(int n) {
    ZnlObjPtr list = nil();
    for (int i = n; i-- > 0;) list = ZncCons(num(i), list);
    return list;
}

TEST(Pairs, AccessorsReachTheSeventhElementAndRefuseNonConses) {
    NoCellLeft guard;
    ZnlObjPtr dotted = ZncCons(num(1), num(2));
    EXPECT_EQ(ZncCar(dotted)->fixnum(), 1);
    EXPECT_EQ(ZncCdr(dotted)->fixnum(), 2);
    EXPECT_PXS_ERROR(ZncCar(nil()), "car of non-cons");
    EXPECT_PXS_ERROR(ZncCdr(nil()), "cdr of non-cons");
    EXPECT_PXS_ERROR(ZncCar(ZnlObjPtr()), "car of non-cons");
    ZnlObjPtr (*const accessors[])(const ZnlObjPtr&) = {ZncCadr,     ZncCaddr,   ZncCadddr,
                                                        ZncCaddddr,  ZncCadddddr, ZncCaddddddr};
    ZnlObjPtr l = iota(7);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(accessors[i](l)->fixnum(), i + 1);
    EXPECT_PXS_ERROR(ZncCaddddddr(iota(6)), "car of non-cons");
    EXPECT_PXS_ERROR(ZncCadr(num(1)), "cdr of non-cons");
}

TEST(Lists, LengthCountsProperListsOnly) {
    NoCellLeft guard;
    EXPECT_EQ(ZncLength(nil()), 0);
    EXPECT_EQ(ZncLength(ZnlObjPtr()), 0);
    EXPECT_EQ(ZncLength(iota(3)), 3);
    EXPECT_PXS_ERROR(ZncLength(ZncCons(num(1), num(2))), "ZncLength of non-cons");
    EXPECT_PXS_ERROR(ZncLength(num(1)), "ZncLength of non-cons");
}

TEST(Lists, ReverseCopiesAndRefusesNonLists) {
    NoCellLeft guard;
    ZnlObjPtr l = iota(3);
    ZnlObjPtr r = ZncReverse(l);
    EXPECT_TRUE(ZncEqual(r, listOf({num(2), num(1), num(0)})));
    for (ZnlObjPtr p = r, q = l; p->tag() == ZnlConsTag; p = p->cdr(), q = q->cdr())
        EXPECT_FALSE(p == q);
    EXPECT_TRUE(ZncReverse(nil()) == nil());
    EXPECT_PXS_ERROR(ZncReverse(num(5)), "Non list in reverse");
    EXPECT_PXS_ERROR(ZncReverse(ZncCons(num(1), num(5))), "Non list in reverse");
}

TEST(Lists, AppendCopiesTheFirstAndSharesTheSecond) {
    NoCellLeft guard;
    ZnlObjPtr a = iota(2);
    ZnlObjPtr b = listOf({num(7)});
    ZnlObjPtr ab = ZncAppend(a, b);
    EXPECT_TRUE(ZncEqual(ab, listOf({num(0), num(1), num(7)})));
    EXPECT_FALSE(ab == a || ab->cdr() == a->cdr());
    EXPECT_TRUE(ab->cdr()->cdr() == b);
    EXPECT_TRUE(ZncAppend(a, nil()) == a);
    EXPECT_TRUE(ZncAppend(nil(), b) == b);
    EXPECT_PXS_ERROR(ZncAppend(num(1), b), "Non list in append");
    EXPECT_PXS_ERROR(ZncAppend(a, num(1)), "Non list in append");
    EXPECT_PXS_ERROR(ZncAppend(ZncCons(num(1), num(2)), b), "Non list in append");
}

TEST(Lists, PrimitivesCheckTheirArguments) {
    NoCellLeft guard;
    ZnlObjPtr args = iota(4);
    EXPECT_TRUE(ZnlList(args, nil()) == args);
    EXPECT_TRUE(ZnlList(nil(), nil()) == nil());
    expectCalls({
        {ZnlLCons, iota(2), ZncCons(num(0), num(1))},
        {ZnlLength, listOf({iota(5)}), num(5)},
        {ZnlLCar, listOf({nil()}), "car of non-cons"},
        {ZnlLCdr, listOf({num(3)}), "cdr of non-cons"},
        {ZnlLength, nil(), "Wrong number of args to length"},
        // An argument list that is not a proper list fails in the count itself.
        {ZnlLength, ZncCons(num(1), num(2)), "ZncLength of non-cons"},
        {ZnlReverse, listOf({num(5)}), "Non list in reverse"},
        {ZnlAppend, listOf({iota(2)}), "Wrong number of args to append"},
        {ZnlLCons, listOf({num(1)}), "Wrong number of args to cons"},
        {ZnlLCar, nil(), "Wrong number of args to car"},
        {ZnlLCdr, iota(2), "Wrong number of args to cdr"},
        {ZnlReverse, nil(), "Wrong number of args to reverse"},
    });
}

TEST(AssociationLists, ReturnTheWholePairOrNil) {
    NoCellLeft guard;
    ZnlObjPtr a = sym("a");
    ZnlObjPtr pair = ZncCons(a, num(1));
    ZnlObjPtr alist = listOf({ZncCons(str("s"), num(0)), pair});
    EXPECT_TRUE(ZncAssq(a, alist) == pair);
    EXPECT_TRUE(ZncAssoc(sym("a"), alist) == pair);  // same name
    EXPECT_TRUE(ZncAssq(sym("a"), alist) == nil());  // not the same cell
    EXPECT_TRUE(ZnlAssoc(listOf({str("s"), alist}), nil()) == alist->car());
    EXPECT_TRUE(ZncAssoc(num(9), alist) == nil());
    EXPECT_TRUE(ZncAssq(a, nil()) == nil());
    // assv compares numerically, and a symbol key is no number.
    EXPECT_PXS_ERROR(ZncAssv(a, listOf({pair})), "Wrong type to ZncEqualSign");
    ZnlObjPtr numbers = listOf({ZncCons(num(1), nil()), ZncCons(flo(2.0), nil())});
    EXPECT_TRUE(ZncAssv(num(2), numbers) == numbers->cdr()->car());
    // Elements must be pairs and the list proper.
    EXPECT_PXS_ERROR(ZncAssq(a, listOf({num(1)})), "car of non-cons");
    EXPECT_PXS_ERROR(ZncAssq(a, ZncCons(ZncCons(a, nil()), num(2))), "ZncLength of non-cons");
    expectCalls({{ZnlAssq, listOf({a}), "Wrong number of args to assq"},
                 {ZnlAssv, listOf({a}), "Wrong number of args to assv"},
                 {ZnlAssoc, nil(), "Wrong number of args to assoc"}});
}

// A million elements: any walk that recursed once per element would
// overflow the 8 MB host stack long before the end.
TEST(LongLists, MillionElementsThroughEveryListOperation) {
    NoCellLeft guard;
    const int n = 1000000;
    ZnlObjPtr l = iota(n);
    EXPECT_EQ(ZncLength(l), n);
    ZnlObjPtr r = ZncReverse(l);
    EXPECT_EQ(r->car()->fixnum(), n - 1);
    EXPECT_EQ(ZncLength(r), n);
    EXPECT_EQ(ZncLength(ZncAppend(l, r)), 2 * n);
    EXPECT_TRUE(ZncEqual(l, iota(n)));
    EXPECT_FALSE(ZncEqual(l, r));
    ZnlObjPtr alist = nil();
    for (int i = n; i-- > 0;) alist = ZncCons(ZncCons(num(i), nil()), alist);
    EXPECT_EQ(ZncAssv(num(n - 1), alist)->car()->fixnum(), n - 1);
    EXPECT_TRUE(ZncAssoc(num(n), alist) == nil());
}

}  // namespace
