// list_test.cpp -- pairs, lists and association lists: results, sharing,
// messages, and lists long enough to break any per-element recursion.

#include "pxs_test_support.h"

using pxstest::listOf;
using pxstest::NoCellLeft;

namespace {

ZnlObjPtr num(int n) { return ZnlObjPtr(n); }
const ZnlObjPtr& nil() { return ZnlObjPtr::nil(); }

// A list of the numbers 0 to n-1.
ZnlObjPtr iota(int n) {
    ZnlObjPtr list = nil();
    for (int i = n; i-- > 0;) list = ZncCons(num(i), list);
    return list;
}

TEST(Pairs, CarAndCdrOfNonConsesAreErrors) {
    NoCellLeft guard;
    ZnlObjPtr dotted = ZncCons(num(1), num(2));
    EXPECT_EQ(ZncCar(dotted)->fixnum(), 1);
    EXPECT_EQ(ZncCdr(dotted)->fixnum(), 2);
    EXPECT_PXS_ERROR(ZncCar(nil()), "car of non-cons");
    EXPECT_PXS_ERROR(ZncCdr(nil()), "cdr of non-cons");
    EXPECT_PXS_ERROR(ZncCar(ZnlObjPtr()), "car of non-cons");
    EXPECT_PXS_ERROR(ZnlLCar(listOf({nil()}), nil()), "car of non-cons");
    EXPECT_PXS_ERROR(ZnlLCdr(listOf({num(3)}), nil()), "cdr of non-cons");
}

TEST(Pairs, CadrFamilyReachesTheSeventhElement) {
    NoCellLeft guard;
    ZnlObjPtr l = iota(7);
    EXPECT_EQ(ZncCadr(l)->fixnum(), 1);
    EXPECT_EQ(ZncCaddr(l)->fixnum(), 2);
    EXPECT_EQ(ZncCadddr(l)->fixnum(), 3);
    EXPECT_EQ(ZncCaddddr(l)->fixnum(), 4);
    EXPECT_EQ(ZncCadddddr(l)->fixnum(), 5);
    EXPECT_EQ(ZncCaddddddr(l)->fixnum(), 6);
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
    EXPECT_EQ(ZnlLength(listOf({iota(5)}), nil())->fixnum(), 5);
    EXPECT_PXS_ERROR(ZnlLength(nil(), nil()), "Wrong number of args to length");
    // An argument list that is not a proper list fails in the count itself.
    EXPECT_PXS_ERROR(ZnlLength(ZncCons(num(1), num(2)), nil()), "ZncLength of non-cons");
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
    EXPECT_PXS_ERROR(ZnlReverse(listOf({num(5)}), nil()), "Non list in reverse");
}

TEST(Lists, AppendCopiesTheFirstAndSharesTheSecond) {
    NoCellLeft guard;
    ZnlObjPtr a = iota(2);
    ZnlObjPtr b = listOf({num(7)});
    ZnlObjPtr ab = ZncAppend(a, b);
    EXPECT_TRUE(ZncEqual(ab, listOf({num(0), num(1), num(7)})));
    EXPECT_FALSE(ab == a);
    EXPECT_FALSE(ab->cdr() == a->cdr());
    EXPECT_TRUE(ab->cdr()->cdr() == b);
    EXPECT_TRUE(ZncAppend(a, nil()) == a);
    EXPECT_TRUE(ZncAppend(nil(), b) == b);
    EXPECT_PXS_ERROR(ZncAppend(num(1), b), "Non list in append");
    EXPECT_PXS_ERROR(ZncAppend(a, num(1)), "Non list in append");
    EXPECT_PXS_ERROR(ZncAppend(ZncCons(num(1), num(2)), b), "Non list in append");
    EXPECT_PXS_ERROR(ZnlAppend(listOf({a}), nil()), "Wrong number of args to append");
}

TEST(Lists, PrimitivesCheckTheirArgumentCount) {
    NoCellLeft guard;
    EXPECT_PXS_ERROR(ZnlLCons(listOf({num(1)}), nil()), "Wrong number of args to cons");
    EXPECT_PXS_ERROR(ZnlLCar(nil(), nil()), "Wrong number of args to car");
    EXPECT_PXS_ERROR(ZnlLCdr(iota(2), nil()), "Wrong number of args to cdr");
    EXPECT_PXS_ERROR(ZnlReverse(nil(), nil()), "Wrong number of args to reverse");
    ZnlObjPtr pair = ZnlLCons(iota(2), nil());
    EXPECT_EQ(pair->car()->fixnum(), 0);
    EXPECT_EQ(pair->cdr()->fixnum(), 1);
    ZnlObjPtr args = iota(4);
    EXPECT_TRUE(ZnlList(args, nil()) == args);
    EXPECT_TRUE(ZnlList(nil(), nil()) == nil());
}

TEST(AssociationLists, ReturnTheWholePairOrNil) {
    NoCellLeft guard;
    ZnlObjPtr a = ZncMakeSymbol("a");
    ZnlObjPtr pair = ZncCons(a, num(1));
    ZnlObjPtr alist = listOf({ZncCons(ZnlObjPtr("s"), num(0)), pair});
    EXPECT_TRUE(ZncAssq(a, alist) == pair);
    EXPECT_TRUE(ZncAssoc(ZncMakeSymbol("a"), alist) == pair);  // same name
    EXPECT_TRUE(ZncAssq(ZncMakeSymbol("a"), alist) == nil());  // not the same cell
    EXPECT_TRUE(ZnlAssoc(listOf({ZnlObjPtr("s"), alist}), nil()) == alist->car());
    EXPECT_TRUE(ZncAssoc(num(9), alist) == nil());
    // assv compares numerically, and a symbol key is no number.
    EXPECT_PXS_ERROR(ZncAssv(a, listOf({pair})), "Wrong type to ZncEqualSign");
    ZnlObjPtr numbers = listOf({ZncCons(num(1), nil()), ZncCons(ZnlObjPtr(2.0), nil())});
    EXPECT_TRUE(ZncAssv(num(2), numbers) == numbers->cdr()->car());
}

TEST(AssociationLists, ElementsMustBePairsAndTheListProper) {
    NoCellLeft guard;
    ZnlObjPtr a = ZncMakeSymbol("a");
    EXPECT_PXS_ERROR(ZncAssq(a, listOf({num(1)})), "car of non-cons");
    EXPECT_PXS_ERROR(ZncAssq(a, ZncCons(ZncCons(a, nil()), num(2))), "ZncLength of non-cons");
    EXPECT_PXS_ERROR(ZnlAssq(listOf({a}), nil()), "Wrong number of args to assq");
    EXPECT_PXS_ERROR(ZnlAssv(listOf({a}), nil()), "Wrong number of args to assv");
    EXPECT_PXS_ERROR(ZnlAssoc(nil(), nil()), "Wrong number of args to assoc");
    EXPECT_TRUE(ZncAssq(a, nil()) == nil());
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
    ZnlObjPtr ab = ZncAppend(l, r);
    EXPECT_EQ(ZncLength(ab), 2 * n);
    EXPECT_TRUE(ZncEqual(l, iota(n)));
    EXPECT_FALSE(ZncEqual(l, r));
    ZnlObjPtr alist = nil();
    for (int i = n; i-- > 0;) alist = ZncCons(ZncCons(num(i), nil()), alist);
    EXPECT_EQ(ZncAssv(num(n - 1), alist)->car()->fixnum(), n - 1);
    EXPECT_TRUE(ZncAssoc(num(n), alist) == nil());
}

}  // namespace
