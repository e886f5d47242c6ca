// memory.cpp -- cells, reference counting and freeing, the closure-cycle rule
// and the per-thread singletons nil, t and the unbound marker.
//
// Freeing never recurses: while a free is in progress, cells whose count
// reaches zero go on a per-thread pending stack that the outermost free
// drains in a loop, so dropping a list of a million elements, or a deeply
// nested one, uses a fixed amount of host stack.

#include <pxs/memory.h>

#include <cstring>
#include <new>
#include <thread>
#include <vector>

#include <pxs/interpreterInternal.h>
#include <pxs/io.h>
#include <pxs/lenv.h>
#include <pxs/register.h>
#include <util/znList.h>
#include <util/znNotify.h>

// Live cells on this thread. Tests declare it themselves to check that an
// operation leaves no cell behind; it is in no installed header.
thread_local long pxsLiveCells = 0;

namespace pxsdetail {

// What freeing needs of a cell beyond its public face.
struct CellAccess {
    static void releaseOwned(ZnlObj* cell) noexcept { cell->releaseOwned(); }
    static void destroy(ZnlObj* cell) noexcept { delete cell; }
    // Empties a slot without releasing what it held, which is returned.
    static ZnlObj* take(ZnlObjPtr& slot) noexcept {
        ZnlObj* held = slot.cell_;
        slot.cell_ = nullptr;
        return held;
    }
    static ZnlObjPtr& first(ZnlObj* cell) { return cell->first_; }
    static ZnlObjPtr& second(ZnlObj* cell) { return cell->second_; }
    static ZnlObjPtr& third(ZnlObj* cell) { return cell->third_; }
    static int drop(ZnlObj* cell) { return --cell->refcnt_; }

    // A new frame whose table follows the cell in one block: a procedure
    // call makes one, and so costs one allocation less.
    static ZnlObj* newFrame() {
        constexpr size_t align = alignof(ZnlHashTable);
        constexpr size_t tableOffset = (sizeof(ZnlObj) + align - 1) / align * align;
        void* block = ::operator new(tableOffset + sizeof(ZnlHashTable));
        auto* table = new (static_cast<char*>(block) + tableOffset) ZnlHashTable;
        return new (block) ZnlObj(ZnlFrameTag, table);
    }
};

}  // namespace pxsdetail

char* pxsdetail::copyText(const char* text) {
    if (!text) return nullptr;
    size_t n = std::strlen(text) + 1;
    char* copy = new char[n];
    std::memcpy(copy, text, n);
    return copy;
}

void pxsdetail::freeText(char* text) noexcept { delete[] text; }

namespace {

using pxsdetail::CellAccess;
using pxsdetail::copyText;
using pxsdetail::freeText;

struct FreeState {
    std::vector<ZnlObj*> pending;
    // Frames whose contents are gone but whose memory must outlast the
    // drain: procedures freed after them still release their procEnv.
    std::vector<ZnlObj*> deadFrames;
    bool draining = false;
};

// Made on first use, like the singletons, so that the thread-local itself is
// a plain pointer and every access one load.
thread_local FreeState* freeState = nullptr;

void releaseAtThreadEnd();

FreeState& freeStateOfThread() {
    if (!freeState) {
        freeState = new FreeState;
        releaseAtThreadEnd();
    }
    return *freeState;
}

// Drops the reference a cell being freed held in a slot. A child left
// unreferenced becomes `next`, the cell to free next, and one chosen before
// it goes on the pending stack: the order is that of a stack onto which the
// slots were pushed third, second, first, without the last push and pop.
// A list thus frees each car before moving on along its cdr, and the stack
// stays short.
inline __attribute__((always_inline)) void releaseChild(ZnlObj* child, ZnlObj*& next,
                                                    FreeState& state) noexcept {
    if (!child) return;
    int count = CellAccess::drop(child);
    if (count == 0) {
        if (next) state.pending.push_back(next);
        next = child;
    } else if (pxsdetail::needsAfterRelease(child->tag(), count)) {
        pxsdetail::afterRelease(child);  // the closure-cycle test; queues what it frees
    }
}

// Releases what `cell` owns and returns the child to free next, if any;
// others land on the pending stack.
ZnlObj* dispose(ZnlObj* cell, FreeState& state) noexcept {
    if (cell->gone()) {
        ZnWarn << "Lisp Error: Attempt to deleted already-deleted object\n";
        return nullptr;
    }
    CellAccess::releaseOwned(cell);
    ZnlObj* next = nullptr;
    releaseChild(CellAccess::take(CellAccess::third(cell)), next, state);
    releaseChild(CellAccess::take(CellAccess::second(cell)), next, state);
    releaseChild(CellAccess::take(CellAccess::first(cell)), next, state);
    if (cell->tag() == ZnlFrameTag)
        state.deadFrames.push_back(cell);
    else
        CellAccess::destroy(cell);
    return next;
}

// Frees `cell` and everything only it kept alive, in a loop. Releases made
// while a free is in progress only queue their cells.
void freeCell(ZnlObj* cell) noexcept {
    FreeState& state = freeStateOfThread();
    if (state.draining) {
        state.pending.push_back(cell);
        return;
    }
    state.draining = true;
    while (cell) {
        cell = dispose(cell, state);
        if (!cell && !state.pending.empty()) {
            cell = state.pending.back();
            state.pending.pop_back();
        }
    }
    if (!state.deadFrames.empty()) {
        for (ZnlObj* frame : state.deadFrames) CellAccess::destroy(frame);
        state.deadFrames.clear();
    }
    state.draining = false;
}

// True when every remaining reference to `frame` comes from procedures made
// in it, bound in it and referenced by nothing else: the frame and those
// procedures are unreachable. The table's count of local procedures rules
// the scan out in the common case.
bool isClosureCycle(ZnlObj* frame) {
    if (frame->gone()) return false;
    ZnlHashTable* table = frame->frameBindings();
    int count = frame->refcnt();
    if (!table || count <= 0 || count > table->localProcCount()) return false;
    return count == table->localProcRefcnt(frame);
}

void freeCycle(ZnlObj* frame) {
    // Below zero, the releases made while the table is torn down can never
    // bring the count back to zero and free the frame a second time.
    frame->setRefcnt(-1);
    freeCell(frame);
}

ZnlObjPtr makeSingleton(ZnlTagType tag, const char* name) {
    ZnlObjPtr cell(tag);
    if (name) cell->setPname(name);
    return cell;
}

// Each thread's singletons, made on first use.
thread_local ZnlObjPtr* theNilPtr = nullptr;
thread_local ZnlObjPtr* theTPtr = nullptr;
thread_local ZnlObjPtr* theUnboundPtr = nullptr;

// When a thread ends, its singletons lose the reference these pointers hold
// and its free state goes, so a host that runs scripts on short-lived
// threads does not keep a set per thread it ever ran. A singleton still
// referenced from a cell that outlives the thread stays alive through it.
struct ThreadEnd {
    ThreadEnd() = default;
    ThreadEnd(const ThreadEnd&) = delete;
    ThreadEnd& operator=(const ThreadEnd&) = delete;
    ~ThreadEnd() {
        for (ZnlObjPtr** singleton : {&theUnboundPtr, &theTPtr, &theNilPtr}) {
            delete *singleton;
            *singleton = nullptr;
        }
        // Last: dropping the singletons may still free cells through it.
        if (freeState && !freeState->draining) {
            delete freeState;
            freeState = nullptr;
        }
    }
};

// The thread that loaded the library keeps its set until the process ends:
// static objects destroyed after its thread-locals may still compare cells
// with nil.
const std::thread::id loadingThread = std::this_thread::get_id();

// Called on the paths that make per-thread state; the thread's first call
// registers the release, later ones cost a guard test.
void releaseAtThreadEnd() {
    if (std::this_thread::get_id() == loadingThread) return;
    static thread_local ThreadEnd end;
    (void)end;
}

}  // namespace

void pxsdetail::afterRelease(ZnlObj* cell) noexcept {
    int count = cell->refcnt();
    if (count == 0) {
        freeCell(cell);
    } else if (cell->tag() == ZnlFrameTag) {
        if (isClosureCycle(cell)) freeCycle(cell);
    } else if (cell->tag() == ZnlProcedureTag) {
        // A closure whose last outside reference just went may have left its
        // frame held only by the cycle; releases of the frame itself would
        // never come to test it.
        ZnlObj* env = cell->procEnvRef().get();
        if (env && env->tag() == ZnlFrameTag && isClosureCycle(env)) freeCycle(env);
    }
}

ZnlObj::ZnlObj(ZnlTagType tag) : tag_(tag) {
    if (static_cast<std::uint32_t>(tag) > ZnlFrameTag)
        ZncHaltAndCatchFire("unknown tag request to ZnlObj::ZnlObj(ZnlTagType)");
    value_.flonum = 0;
    value_.text = nullptr;
    code_.function = nullptr;
    if (tag == ZnlFrameTag) value_.table = new ZnlHashTable;
    ++pxsLiveCells;
}

ZnlObj::ZnlObj(ZnlTagType tag, ZnlHashTable* tableInPlace) : tag_(tag), tableInPlace_(1) {
    value_.table = tableInPlace;
    code_.function = nullptr;
    ++pxsLiveCells;
}

ZnlObj::ZnlObj(int value) : tag_(ZnlFixnumTag) {
    value_.flonum = 0;
    value_.fixnum = value;
    code_.function = nullptr;
    ++pxsLiveCells;
}

ZnlObj::ZnlObj(double value) : tag_(ZnlFlonumTag) {
    value_.flonum = value;
    code_.function = nullptr;
    ++pxsLiveCells;
}

ZnlObj::ZnlObj(const char* text) : tag_(ZnlStringTag) {
    value_.text = copyText(text);
    code_.function = nullptr;
    ++pxsLiveCells;
}

ZnlObj::~ZnlObj() {
    assert(refcnt_ <= 0 && "a cell was destroyed while still referenced");
    if (!gone_) releaseContents();
    --pxsLiveCells;
}

void ZnlObj::replaceText(const char* text) {
    char* copy = copyText(text);
    freeText(value_.text);
    value_.text = copy;
    nameHashKnown_ = 0;
}

void ZnlObj::setFrameBindings(ZnlHashTable* table) {
    if (value_.table == table) return;
    destroyTable();
    value_.table = table;
}

// A table in the cell's block is only destroyed here; its memory goes with
// the cell's.
void ZnlObj::destroyTable() noexcept {
    if (tableInPlace_)
        value_.table->~ZnlHashTable();
    else
        delete value_.table;
    tableInPlace_ = 0;
    value_.table = nullptr;
}

ZnList<ZncParam>* ZnlObj::params() {
    if (tag_ != ZnlFrameTag) return nullptr;
    if (!code_.params) code_.params = new ZnList<ZncParam>;
    return code_.params;
}

bool ZnlObj::registerVal(ZncParam* param) {
    if (tag_ != ZnlFrameTag) {
        ZnWarn << "Can't register a parameter with a non-frame ZnlObj.\n";
        return false;
    }
    params()->addAfter(param);
    return true;
}

void ZnlObj::releaseContents() noexcept {
    releaseOwned();
    third_ = ZnlObjPtr();
    second_ = ZnlObjPtr();
    first_ = ZnlObjPtr();
}

void ZnlObj::releaseOwned() noexcept {
    if (ownsText()) {
        freeText(value_.text);
        value_.text = nullptr;
    } else if (tag_ == ZnlFrameTag) {
        ZncEmptyParamList(code_.params);
        delete code_.params;
        code_.params = nullptr;
        destroyTable();
    }
    gone_ = 1;
}

ZnlObjPtr::ZnlObjPtr(ZnlTagType tag)
    : cell_(tag == ZnlFrameTag ? CellAccess::newFrame() : new ZnlObj(tag)) {
    IncObjRefCnt(cell_);
}

ZnlObjPtr::ZnlObjPtr(int value) : cell_(new ZnlObj(value)) { IncObjRefCnt(cell_); }

ZnlObjPtr::ZnlObjPtr(double value) : cell_(new ZnlObj(value)) { IncObjRefCnt(cell_); }

ZnlObjPtr::ZnlObjPtr(const char* text) : cell_(new ZnlObj(text)) { IncObjRefCnt(cell_); }

const ZnlObjPtr& ZnlObjPtr::nil() {
    if (!theNilPtr) {
        theNilPtr = new ZnlObjPtr(makeSingleton(ZnlNilTag, nullptr));
        releaseAtThreadEnd();
    }
    return *theNilPtr;
}

const ZnlObjPtr& ZnlObjPtr::t() {
    if (!theTPtr) {
        theTPtr = new ZnlObjPtr(makeSingleton(ZnlSymbolTag, "t"));
        releaseAtThreadEnd();
    }
    return *theTPtr;
}

const ZnlObjPtr& ZnlObjPtr::unbound() {
    if (!theUnboundPtr) {
        theUnboundPtr = new ZnlObjPtr(makeSingleton(ZnlSymbolTag, "*unbound*"));
        releaseAtThreadEnd();
    }
    return *theUnboundPtr;
}

int EnvLocalProcRefcnt(ZnlObj* frame) {
    if (!frame || frame->tag() != ZnlFrameTag) ZncHaltAndCatchFire("non-frame to EnvLocalProcRefcnt");
    ZnlHashTable* table = frame->frameBindings();
    return table ? table->localProcRefcnt(frame) : 0;
}

int EnvLocalProcRefcnt(const ZnlObjPtr& frame) { return EnvLocalProcRefcnt(frame.get()); }
