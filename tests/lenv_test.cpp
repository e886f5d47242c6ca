// lenv_test.cpp -- binding tables, interning, lookup and assignment along
// frame chains, and the frame primitives.

#include "pxs_test_support.h"

#include <string>

using namespace pxstest;

namespace {

struct Frames : ::testing::Test {
    NoCellLeft guard;
    ZnlObjPtr root{ZnlFrameTag};
    ZnlObjPtr child{ZnlFrameTag};
    Frames() { child->setFrameParent(root); }
};

TEST(HashBuckets, ByteSumModulo256AsSignedBytes) {
    EXPECT_EQ(ZnlHashTable::bucket_number(""), 0);
    EXPECT_EQ(ZnlHashTable::bucket_number("a"), 97);
    EXPECT_EQ(ZnlHashTable::bucket_number("ab"), (97 + 98) % 256);
    EXPECT_EQ(ZnlHashTable::bucket_number("ab"), ZnlHashTable::bucket_number("ba"));
    // 0xFF is -1 as a signed byte: the sum is -1, whose low 8 bits are 255.
    EXPECT_EQ(ZnlHashTable::bucket_number("\xff"), 255);
    EXPECT_EQ(ZnlHashTable::bucket_number("\xff\x02"), 1);
}

// A table holds few bindings in one list and builds buckets as it grows;
// every lookup must come out the same either way, names sharing a bucket
// told apart.
TEST_F(Frames, LookupsAgreeBeforeAndAfterTheTableGrows) {
    ZnlHashTable* table = root->frameBindings();
    std::vector<std::string> names = {"ab", "ba"};
    for (int i = 0; i < 300; ++i) names.push_back("n" + std::to_string(i));
    for (size_t i = 0; i < names.size(); ++i) {
        ZncSet(ZncMakeSymbol(names[i].c_str()), ZnlObjPtr(static_cast<int>(i)), root);
        for (size_t j = 0; j <= i; ++j) {
            ZnlObjPtr value = table->lookup(names[j].c_str());
            ASSERT_TRUE(value) << names[j] << " after " << i + 1;
            ASSERT_EQ(value->fixnum(), static_cast<int>(j));
        }
    }
    EXPECT_EQ(table->size(), 302);
    for (const char* absent : {"n300", "abc", "aa"}) {
        EXPECT_TRUE(table->lookup(absent).isNull()) << absent;
        EXPECT_TRUE(table->findsym(absent).isNull()) << absent;
    }
}

// A binding without a value does not block a new one for the same name; the
// newer one must then win whichever way the table looks names up.
TEST_F(Frames, NewerBindingOfAValuelessNameWinsAtEverySize) {
    for (int size : {3, 30, 300}) {
        ZnlObjPtr frame(ZnlFrameTag);
        ZnlHashTable* table = frame->frameBindings();
        table->insert(ZncMakeSymbol("dup"), ZnlObjPtr(), frame);
        for (int i = 0; i < size; ++i)
            ZncSet(ZncMakeSymbol(("f" + std::to_string(i)).c_str()), ZnlObjPtr(i), frame);
        ZnlObjPtr newer = ZncMakeSymbol("dup");
        table->insert(newer, ZnlObjPtr(7), frame);
        EXPECT_TRUE(table->findsym("dup") == newer) << size;
        EXPECT_EQ(table->lookup("dup")->fixnum(), 7) << size;
        ZncSet(ZncMakeSymbol("later"), ZnlObjPtr(1), frame);  // may rebuild the index
        EXPECT_TRUE(table->findsym("dup") == newer) << size;
    }
}

// Bindings come out bucket 255 first and bucket 0 last, oldest first within
// a bucket: "ab" then "ba" (bucket 195), "c" (99), "" (0).
TEST_F(Frames, BindingsListBucketsDownwardOldestFirst) {
    for (int size : {4, 20}) {
        ZnlObjPtr frame(ZnlFrameTag);
        ZncSet(ZncMakeSymbol(""), ZnlObjPtr(0), frame);
        ZncSet(ZncMakeSymbol("ab"), ZnlObjPtr(1), frame);
        ZncSet(ZncMakeSymbol("c"), ZnlObjPtr(2), frame);
        ZncSet(ZncMakeSymbol("ba"), ZnlObjPtr(3), frame);
        // Fillers in buckets from 200 up ("\xc8", "\x01\xc8"...), before bucket 195.
        std::string filler = "\xc8";
        for (int i = 4; i < size; ++i) {
            ZncSet(ZncMakeSymbol(filler.c_str()), ZnlObjPtr(i), frame);
            filler = "\x01" + filler;
        }
        ZnlObjPtr list = frame->frameBindings()->bindings();
        EXPECT_EQ(ZncLength(list), size);
        std::string text = printed(list);
        EXPECT_EQ(text.substr(text.size() - 25), "(ab 1) (ba 3) (c 2) ( 0))") << size;
        EXPECT_EQ(ZncCadr(ZncCar(list))->fixnum(), size > 4 ? size - 1 : 1);
    }
}

TEST_F(Frames, OperationsCheckTheirPreconditionsAndNameThemselves) {
    ZnlHashTable* table = root->frameBindings();
    ZnlObjPtr x = ZncMakeSymbol("x");
    EXPECT_TRUE(table->insert(x, ZnlObjPtr(1), root) == x);
    EXPECT_PXS_ERROR(table->insert(ZncMakeSymbol("x"), ZnlObjPtr(2), root),
                     "cannot insert binding with duplicate key");
    EXPECT_PXS_ERROR(table->rebind(ZncMakeSymbol("y"), ZnlObjPtr(2), root),
                     "symbol was not found in ZnlHashTable::rebind");
    EXPECT_PXS_ERROR(table->insert(ZnlObjPtr(3), ZnlObjPtr(2), root),
                     "non-symbol in environment");
    ZnlObjPtr two(2);
    EXPECT_TRUE(table->rebind(ZncMakeSymbol("x"), two, root) == two);
    EXPECT_TRUE(table->lookup("x") == two);
    EXPECT_TRUE(table->findsym("x") == x);
    EXPECT_PXS_ERROR(ZncSet(ZnlObjPtr(1), ZnlObjPtr(1), root), "Non-symbol to set1env");
    EXPECT_PXS_ERROR(ZncSymeval(ZnlObjPtr("s"), root), "Non-symbol to ZncSymeval");
    EXPECT_PXS_ERROR(ZncBoundp(ZnlObjPtr::nil(), root), "non-symbol to boundp");
    EXPECT_PXS_ERROR(ZncSymeval(ZncMakeSymbol("q"), ZnlObjPtr()), "Unbound symbol q");
    std::string longName(10000, 'k');
    EXPECT_PXS_ERROR(ZncSymeval(ZncMakeSymbol(longName.c_str()), root),
                     "Unbound symbol " + longName);
}

TEST_F(Frames, InterningInAChildBindsTheUnboundMarkerThereUnlessTheRootBindsTheName) {
    ZnlObjPtr x = ZncIntern("x", child);
    EXPECT_TRUE(child->frameBindings()->lookup("x") == ZnlObjPtr::unbound());
    EXPECT_TRUE(root->frameBindings()->lookup("x").isNull());
    EXPECT_FALSE(ZncBoundp(x, child));
    // A later real binding in the root stays hidden behind the marker.
    ZncSet(x, ZnlObjPtr(5), root);
    EXPECT_PXS_ERROR(ZncSymeval(x, child), "Unbound symbol x");
    EXPECT_EQ(ZncSymeval(x, root)->fixnum(), 5);
    ZnlObjPtr y = ZncIntern("y", root);
    ZncSet(y, ZnlObjPtr(1), root);
    EXPECT_TRUE(ZncIntern("y", child) == y);
    EXPECT_EQ(child->frameBindings()->size(), 1) << "only x";
    EXPECT_EQ(ZncSymeval(y, child)->fixnum(), 1);
    EXPECT_FALSE(ZncIntern("Y", root) == y);  // case matters
}

TEST_F(Frames, SetAndInternFunctionsActOnTheGivenFrameOnly) {
    ZnlObjPtr z = ZncIntern("z", root);
    ZncSet(z, ZnlObjPtr(1), root);
    ZncSet(z, ZnlObjPtr(2), child);
    EXPECT_EQ(ZncSymeval(z, root)->fixnum(), 1);
    EXPECT_EQ(ZncSymeval(z, child)->fixnum(), 2);
    EXPECT_TRUE(ZncBoundp(z, child));
    ZnlObjPtr stored = ZncIntern("w", root);
    ZnlObjPtr twin = ZncMakeSymbol("w");
    EXPECT_TRUE(ZncSet(twin, ZnlObjPtr(3), root) == stored);
    EXPECT_EQ(ZncSymeval(stored, root)->fixnum(), 3);
    EXPECT_TRUE(ZncSet(ZncMakeSymbol("fresh"), ZnlObjPtr(1), root)->pname() != nullptr);
    ZnlObjPtr sym = ZncInternCompiledC("car", ZnlLCar, root);
    ZnlObjPtr fn = ZncSymeval(sym, root);
    EXPECT_EQ(fn->tag(), ZnlCompiledCTag);
    EXPECT_STREQ(fn->fcnPname(), "car");
    EXPECT_TRUE(fn->fcnCode() == ZnlLCar);
    ZnlObjPtr form = ZncSymeval(ZncInternSpecialForm("quoth", ZnlList, root), root);
    EXPECT_EQ(form->tag(), ZnlSpecialFormTag);
    ZncInternPtr("answer", ZnlObjPtr(42), root);
    EXPECT_EQ(ZncSymeval(ZncIntern("answer", child), child)->fixnum(), 42);
}

TEST_F(Frames, FramePrimitivesCheckCountThenKind) {
    ZnlObjPtr x = ZncIntern("x", root);
    ZncSet(x, num(1), root);
    EXPECT_TRUE(ZnlTheFrame(nil(), child) == child);
    EXPECT_TRUE(ZnlNewFrame(listOf({root}), child)->frameParent() == root);
    expectCalls({
        {ZnlNewFrame, nil(), "wrong number of args to new-frame"},
        {ZnlNewFrame, listOf({num(1)}), "non-frame to new-frame"},
        {ZnlFrameParent, listOf({child}), root},
        {ZnlFrameParent, listOf({root, root}), "wrong number of args to frame-parent"},
        {ZnlFrameParent, listOf({nil()}), "non-frame to frame-Parent"},
        {ZnlFrameParent, listOf({root}), "frame-parent called on frame without parent"},
        {ZnlFrameBindings, listOf({child}), nil()},
        {ZnlFrameBindings, nil(), "wrong number of args to frame-bindings"},
        {ZnlFrameBindings, listOf({nil()}), "non-frame to frame-bindings"},
        {ZnlFrameBound, listOf({child, x}), nil()},
        {ZnlFrameBound, listOf({root, x}), t()},
        {ZnlFrameBound, listOf({root}), "wrong number of args to frame-bound"},
        {ZnlFrameBound, listOf({x, x}), "non-frame to frame-bound"},
        {ZnlFrameBound, listOf({root, root}), "non-symbol to frame-bound"},
    });
    InfoCapture info;
    EXPECT_TRUE(ZnlMem(nil(), ZnlObjPtr()) == nil());
    EXPECT_EQ(info.text(), "Must compile with -DMEMCHK=1 to use mem or ZnlMem.\n");
}

TEST_F(Frames, DumpWritesBucketsInOrder) {
    ZncSet(ZncMakeSymbol("ba"), ZnlObjPtr(2), root);
    ZncSet(ZncMakeSymbol("ab"), ZnlObjPtr(1), root);
    ZncSet(ZncMakeSymbol("a"), ZnlObjPtr::nil(), root);
    InfoCapture info;
    testing::internal::CaptureStdout();
    root->frameBindings()->dump();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(info.text(), "[97]: a -> \n[195]: ab -> \n ba -> \n");
    EXPECT_EQ(out, "nil12");
}

}  // namespace
