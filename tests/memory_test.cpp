// memory_test.cpp -- cells and their counts: what a ZnlObjPtr holds, when a
// cell is freed, the closure-cycle rule, and freeing structures far larger
// or deeper than the host stack could walk recursively.

#include "pxs_test_support.h"

#include <cstring>
#include <string>

using namespace pxstest;

namespace {

TEST(ZnlObjPtrCounts, CopiesShareAndReleaseTheirCell) {
    NoCellLeft guard;
    ZnlObjPtr a(7);
    EXPECT_EQ(a->refcnt(), 1);
    {
        ZnlObjPtr b = a;
        EXPECT_TRUE(b == a);
        EXPECT_EQ(a->refcnt(), 2);
        ZnlObjPtr c(std::move(b));
        EXPECT_TRUE(b.isNull());
        EXPECT_EQ(a->refcnt(), 2);
    }
    EXPECT_EQ(a->refcnt(), 1);
    a = a;  // self-assignment must not free the cell
    EXPECT_EQ(a->refcnt(), 1);
    EXPECT_EQ(a->fixnum(), 7);
    // The only reference to the list is its own head's slot: assigning the
    // cdr over the head must take the new target before freeing the old.
    ZnlObjPtr list = listOf({ZnlObjPtr(1), ZnlObjPtr(2)});
    list = list->cdr();
    EXPECT_EQ(list->car()->fixnum(), 2);
    EXPECT_EQ(list->refcnt(), 1);
}

TEST(ZnlObjSingletons, AreOnePerThreadAndNamedAndErrorsCarryTheirOrigin) {
    EXPECT_TRUE(ZnlObjPtr().isNull());
    EXPECT_FALSE(ZnlObjPtr() == ZnlObjPtr::nil());
    EXPECT_EQ(ZnlObjPtr::nil()->tag(), ZnlNilTag);
    EXPECT_TRUE(ZnlObjPtr::nil() == ZnlObjPtr::nil());
    EXPECT_STREQ(ZnlObjPtr::t()->pname(), "t");
    EXPECT_STREQ(ZnlObjPtr::unbound()->pname(), "*unbound*");
    EXPECT_EQ(ZnlObjPtr::t()->tag(), ZnlSymbolTag);
    EXPECT_FALSE(ZnlObjPtr::t() == ZnlObjPtr::unbound());
    // Errors carry the fixed origin.
    Failure f = failureOf([] { ZncHaltAndCatchFire("boom"); });
    EXPECT_EQ(f.innermost, "ZnException: PXS Error: boom");
    EXPECT_EQ(f.origin, "ZnlObjPtr ZncHaltAndCatchFire(char*) (io:22)");
    EXPECT_EQ(f.depth, 1);
}

TEST(ZnlObjConstruction, KindsStartEmptyTextsAreCopiedAndUnknownTagsAreRefused) {
    NoCellLeft guard;
    EXPECT_EQ(ZnlObjPtr(ZnlSymbolTag)->pname(), nullptr);
    EXPECT_EQ(ZnlObjPtr(ZnlStringTag)->string(), nullptr);
    ZnlObjPtr frame(ZnlFrameTag);
    ASSERT_NE(frame->frameBindings(), nullptr);
    EXPECT_EQ(frame->frameBindings()->size(), 0);
    EXPECT_TRUE(frame->frameParent().isNull());
    EXPECT_EQ(ZnlObjPtr(2.5)->flonum(), 2.5);
    EXPECT_EQ(ZnlObjPtr(ZnlConsTag)->tag(), ZnlConsTag);
    EXPECT_PXS_ERROR(ZnlObjPtr(static_cast<ZnlTagType>(11)),
                     "unknown tag request to ZnlObj::ZnlObj(ZnlTagType)");
    EXPECT_PXS_ERROR(ZnlObjPtr(static_cast<ZnlTagType>(-1)),
                     "unknown tag request to ZnlObj::ZnlObj(ZnlTagType)");
    char buffer[] = "hello";
    ZnlObjPtr s(buffer);
    ZnlObjPtr sym(ZnlSymbolTag);
    sym->setPname(buffer);
    buffer[0] = 'j';
    EXPECT_STREQ(s->string(), "hello");
    EXPECT_STREQ(sym->pname(), "hello");
    sym->setPname(nullptr);
    EXPECT_EQ(sym->pname(), nullptr);
    EXPECT_EQ(ZnlObjPtr(static_cast<const char*>(nullptr))->string(), nullptr);
}

TEST(ZnlObjFreeing, AlreadyReleasedCellIsReportedAndLeftAlone) {
    NoCellLeft guard;
    ZnlObjPtr holder = listOf({ZnlObjPtr(5)});
    ZnlObj* raw = holder.get();
    raw->setGone(true);
    WarnCapture warn;
    holder = ZnlObjPtr();
    EXPECT_EQ(warn.text(), "Lisp Error: Attempt to deleted already-deleted object\n");
    // Nothing was released: the contents are still there.
    EXPECT_EQ(raw->car()->fixnum(), 5);
    raw->setGone(false);
    raw->setRefcnt(1);
    DecObjRefCnt(raw);
}

// A record that reports its own destruction.
class CountingParam : public ZncUserInt {
public:
    explicit CountingParam(int* deleted)
        : ZncUserInt("counted", &host_, noFrame()), deleted_(deleted) {}
    ~CountingParam() override { ++*deleted_; }

private:
    static const ZnlObjPtr& noFrame() {
        static const ZnlObjPtr none;
        return none;
    }
    int host_ = 0;
    int* deleted_;
};

TEST(FrameParams, FrameOwnsItsRecordsAndOthersRefuseThem) {
    int deleted = 0;
    {
        ZnlObjPtr frame(ZnlFrameTag);
        EXPECT_TRUE(frame->registerVal(new CountingParam(&deleted)));
        EXPECT_TRUE(frame->registerVal(new CountingParam(&deleted)));
        EXPECT_EQ(frame->params()->size(), 2u);
        EXPECT_EQ(frame->params(), frame->params());
    }
    EXPECT_EQ(deleted, 2);

    WarnCapture warn;
    ZnlObjPtr number(1);
    CountingParam orphan(&deleted);
    EXPECT_FALSE(number->registerVal(&orphan));
    EXPECT_EQ(number->params(), nullptr);
    EXPECT_EQ(warn.text(), "Can't register a parameter with a non-frame ZnlObj.\n");
}

// A procedure made in `frame` and bound there under `name`.
ZnlObjPtr bindLocalProc(const char* name, const ZnlObjPtr& frame) {
    ZnlObjPtr proc(ZnlProcedureTag);
    proc->setProcParams(ZnlObjPtr::nil());
    proc->setProcBody(listOf({ZnlObjPtr(1)}));
    proc->setProcEnv(frame);
    ZncSet(ZncMakeSymbol(name), proc, frame);
    return proc;
}

TEST(ClosureCycles, FrameHeldOnlyByItsOwnProceduresIsFreedAndOneHeldOutsideIsNot) {
    NoCellLeft guard;
    ZnlObjPtr root(ZnlFrameTag);
    ZnlObjPtr frame(ZnlFrameTag);
    frame->setFrameParent(root);
    bindLocalProc("f", frame);
    bindLocalProc("g", frame);
    EXPECT_EQ(EnvLocalProcRefcnt(frame), 2);
    EXPECT_EQ(frame->refcnt(), 3);
    long before = liveCells();
    frame = ZnlObjPtr();
    // frame, two procedures, their symbols and bodies are gone
    EXPECT_LT(liveCells(), before - 6);
    EXPECT_EQ(root->refcnt(), 1);
    EXPECT_PXS_ERROR(EnvLocalProcRefcnt(ZnlObjPtr(1)), "non-frame to EnvLocalProcRefcnt");
    // A procedure held outside keeps its frame.
    frame = ZnlObjPtr(ZnlFrameTag);
    ZnlObjPtr kept = bindLocalProc("counter", frame);
    EXPECT_EQ(EnvLocalProcRefcnt(frame), 0);  // the procedure has two references
    ZnlObj* raw = frame.get();
    frame = ZnlObjPtr();
    EXPECT_EQ(raw->refcnt(), 1);
    EXPECT_TRUE(kept->procEnv().get() == raw);
    // Dropping the last outside reference closes the cycle: both must go,
    // which NoCellLeft checks.
    kept = ZnlObjPtr();
}

// Cycles the rule does not count stay alive: a procedure bound twice, and a
// frame bound inside itself. Each is broken by hand so nothing leaks.
TEST(ClosureCycles, ProcedureBoundTwiceOrFrameBoundInItselfStaysAlive) {
    NoCellLeft guard;
    ZnlObjPtr frame(ZnlFrameTag);
    ZnlObjPtr proc = bindLocalProc("a", frame);
    ZncSet(ZncMakeSymbol("b"), proc, frame);
    proc = ZnlObjPtr();
    EXPECT_EQ(EnvLocalProcRefcnt(frame), 0);
    ZnlObjPtr self(ZnlFrameTag);
    ZncSet(ZncMakeSymbol("self"), self, self);
    ZnlObj* raw = frame.get();
    ZnlObj* rawSelf = self.get();
    frame = self = ZnlObjPtr();
    EXPECT_EQ(raw->refcnt(), 1);
    EXPECT_EQ(rawSelf->refcnt(), 1);
    EXPECT_FALSE(raw->gone() || rawSelf->gone());
    ZnlObjPtr again(raw), againSelf(rawSelf);
    for (const char* name : {"a", "b"}) ZncSet(ZncMakeSymbol(name), ZnlObjPtr::nil(), again);
    ZncSet(ZncMakeSymbol("self"), ZnlObjPtr::nil(), againSelf);
}

// How an environment's owner tears its global frame down: whatever still
// refers to the frame from inside it, everything goes, exactly once.
TEST(ForcedRelease, FrameWithClosuresAndChildrenIsFreedExactlyOnce) {
    NoCellLeft guard;
    ZnlObjPtr global(ZnlFrameTag);
    bindLocalProc("f", global);
    ZnlObjPtr shared = bindLocalProc("g", global);
    ZncSet(ZncMakeSymbol("g2"), shared, global);
    shared = ZnlObjPtr();
    ZnlObjPtr child(ZnlFrameTag);
    child->setFrameParent(global);
    bindLocalProc("h", child);
    ZncSet(ZncMakeSymbol("child"), child, global);
    child = ZnlObjPtr();
    ZnlObj* raw = global.get();
    global = ZnlObjPtr();
    EXPECT_GT(raw->refcnt(), 0);
    raw->setRefcnt(1);
    DecObjRefCnt(raw);
}

// A frame made through ZnlObjPtr shares its block with its table; one made
// with new ZnlObj does not. Either kind may have its table replaced.
TEST(FrameTables, ReplacedTablesReleaseTheirBindingsWhereverTheyLive) {
    NoCellLeft guard;
    ZnlObjPtr inBlock(ZnlFrameTag);
    ZnlObjPtr separate(new ZnlObj(ZnlFrameTag));
    for (const ZnlObjPtr& frame : {inBlock, separate}) {
        for (int i = 0; i < 10; ++i)  // beyond the entries a table holds in place
            ZncSet(ZncMakeSymbol(("v" + std::to_string(i)).c_str()), ZnlObjPtr(i), frame);
        auto* table = new ZnlHashTable;
        table->insert(ZncMakeSymbol("y"), ZnlObjPtr(2), frame);
        frame->setFrameBindings(table);
        EXPECT_EQ(frame->frameBindings(), table);
        EXPECT_TRUE(table->lookup("v3").isNull());
        EXPECT_EQ(table->lookup("y")->fixnum(), 2);
        ZncSet(ZncMakeSymbol("z"), ZnlObjPtr(3), frame);
        EXPECT_EQ(ZncLength(frame->frameBindings()->bindings()), 2);
    }
}

// Lists a million long or deep and a long chain of frames: freeing any of
// them recursively would overflow the host stack.
TEST(LongStructures, AreFreedWithoutRecursion) {
    NoCellLeft guard;
    ZnlObjPtr list = ZnlObjPtr::nil(), nested = ZnlObjPtr::nil();
    for (int i = 0; i < 1000000; ++i) {
        list = ZncCons(ZnlObjPtr(i), list);
        nested = ZncCons(nested, ZnlObjPtr::nil());
    }
    EXPECT_GE(liveCells(), 3000000);
    list = nested = ZnlObjPtr();
    ZnlObjPtr frame(ZnlFrameTag);
    for (int i = 0; i < 200000; ++i) {
        ZnlObjPtr child(ZnlFrameTag);
        child->setFrameParent(frame);
        ZncSet(ZncMakeSymbol("x"), ZnlObjPtr(i), child);
        frame = child;
    }
    frame = ZnlObjPtr();
}

}  // namespace
