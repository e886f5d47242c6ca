// memory.h -- the interpreter's value cell ZnlObj and the counted reference
// ZnlObjPtr through which every PXS value is held. Cells are freed when the
// last reference goes, and a frame kept alive only by procedures made and
// bound in it is freed too (see DecObjRefCnt).
//
//   ZnlObjPtr list = ZncCons(ZnlObjPtr(1), ZnlObjPtr::nil());
//   ZnlObjPtr copy = list;        // count 2
//   copy = ZnlObjPtr();           // count 1; the cell dies with `list`

#ifndef PXS_MEMORY_H
#define PXS_MEMORY_H

#include <cassert>
#include <cstdint>
#include <cstdio>

template <typename T>
class ZnList;
class ZncParam;
class ZnlHashTable;
class ZnlObj;
class ZnlObjPtr;

// The eleven kinds of cell. The numbers are fixed: scripts and host code
// compare them.
enum ZnlTagType : std::int32_t {
    ZnlNilTag = 0,
    ZnlSymbolTag = 1,
    ZnlFixnumTag = 2,
    ZnlFlonumTag = 3,
    ZnlConsTag = 4,
    ZnlSpecialFormTag = 5,
    ZnlCompiledCTag = 6,
    ZnlStringTag = 7,
    ZnlLocativeTag = 8,
    ZnlProcedureTag = 9,
    ZnlFrameTag = 10
};

// The signature of every primitive: the argument list (unevaluated for a
// special form, evaluated for a compiled function) and the current frame.
typedef ZnlObjPtr (*ZnlPrimitiveFn)(const ZnlObjPtr& args, const ZnlObjPtr& frame);

// Adds one to the count of `cell`; a null cell is ignored.
inline void IncObjRefCnt(ZnlObj* cell);
// Takes one from the count of `cell` and frees it when nothing keeps it
// alive any more; a null cell is ignored.
inline void DecObjRefCnt(ZnlObj* cell);

namespace pxsdetail {
// The slow half of DecObjRefCnt: freeing, and the closure-cycle test.
void afterRelease(ZnlObj* cell) noexcept;
// memory.cpp's access to the private parts of a cell.
struct CellAccess;
}  // namespace pxsdetail

// A counted reference to a cell. An empty ZnlObjPtr means "no object" and
// is not nil. Copies share the cell; a moved-from pointer is empty.
class ZnlObjPtr {
public:
    ZnlObjPtr() noexcept : cell_(nullptr) {}
    ZnlObjPtr(const ZnlObjPtr& other) noexcept : cell_(other.cell_) { IncObjRefCnt(cell_); }
    ZnlObjPtr(ZnlObjPtr&& other) noexcept : cell_(other.cell_) { other.cell_ = nullptr; }
    // Shares an existing cell (counted like any copy).
    explicit ZnlObjPtr(ZnlObj* cell) noexcept : cell_(cell) { IncObjRefCnt(cell_); }
    // A new cell of kind `tag`; an unknown tag raises a PXS error.
    explicit ZnlObjPtr(ZnlTagType tag);
    // A new fixnum, flonum or string (the text is copied; null stays null).
    explicit ZnlObjPtr(int value);
    explicit ZnlObjPtr(double value);
    explicit ZnlObjPtr(const char* text);
    ~ZnlObjPtr() { DecObjRefCnt(cell_); }

    // Raise the new target before releasing the old: on self-assignment the
    // release would otherwise free the cell about to be stored.
    ZnlObjPtr& operator=(const ZnlObjPtr& other) noexcept {
        ZnlObj* old = cell_;
        IncObjRefCnt(other.cell_);
        cell_ = other.cell_;
        DecObjRefCnt(old);
        return *this;
    }
    ZnlObjPtr& operator=(ZnlObjPtr&& other) noexcept {
        if (this != &other) {
            ZnlObj* old = cell_;
            cell_ = other.cell_;
            other.cell_ = nullptr;
            DecObjRefCnt(old);
        }
        return *this;
    }

    // Identity of the targets.
    bool operator==(const ZnlObjPtr& other) const { return cell_ == other.cell_; }
    bool operator!=(const ZnlObjPtr& other) const { return cell_ != other.cell_; }
    // The raw cell, for null tests.
    operator void*() const { return cell_; }
    ZnlObj* operator->() const { return cell_; }
    ZnlObj& operator*() const { return *cell_; }
    ZnlObj* get() const { return cell_; }
    bool isNull() const { return cell_ == nullptr; }

    // The per-thread singletons: compare with == to test identity.
    static const ZnlObjPtr& nil();
    static const ZnlObjPtr& t();
    static const ZnlObjPtr& unbound();

private:
    friend struct pxsdetail::CellAccess;
    ZnlObj* cell_;
};

// One interpreter value. Cells live on the heap only (the destructor is
// private) and are reached through ZnlObjPtr. Which fields mean something
// depends on the tag; the accessors do not check it.
class ZnlObj {
public:
    // A cell of kind `tag` (0 to 10; anything else raises "unknown tag
    // request to ZnlObj::ZnlObj(ZnlTagType)"). A frame gets an empty table.
    explicit ZnlObj(ZnlTagType tag);
    explicit ZnlObj(int value);
    explicit ZnlObj(double value);
    explicit ZnlObj(const char* text);
    ZnlObj(const ZnlObj&) = delete;
    ZnlObj& operator=(const ZnlObj&) = delete;
    // A frame's cell may share its block with the frame's table, so a cell
    // is freed without a size.
    static void operator delete(void* block) { ::operator delete(block); }

    ZnlTagType tag() const { return tag_; }
    void setTag(ZnlTagType tag) {
        tag_ = tag;
        nameHashKnown_ = 0;
    }
    int refcnt() const { return refcnt_; }
    void setRefcnt(int count) { refcnt_ = count; }
    bool gone() const { return gone_ != 0; }
    void setGone(bool gone) { gone_ = gone ? 1 : 0; }

    // Pointer slots, as counted copies (the ...Ref forms avoid the copy).
    ZnlObjPtr car() const { return first_; }
    ZnlObjPtr cdr() const { return second_; }
    ZnlObjPtr procParams() const { return first_; }
    ZnlObjPtr procBody() const { return second_; }
    ZnlObjPtr& procEnv() { return third_; }
    ZnlObjPtr frameParent() const { return first_; }
    const ZnlObjPtr& carRef() const { return first_; }
    const ZnlObjPtr& cdrRef() const { return second_; }
    const ZnlObjPtr& procParamsRef() const { return first_; }
    const ZnlObjPtr& procBodyRef() const { return second_; }
    const ZnlObjPtr& procEnvRef() const { return third_; }
    const ZnlObjPtr& frameParentRef() const { return first_; }
    void setCar(const ZnlObjPtr& value) { first_ = value; }
    void setCdr(const ZnlObjPtr& value) { second_ = value; }
    void setProcParams(const ZnlObjPtr& value) { first_ = value; }
    void setProcBody(const ZnlObjPtr& value) { second_ = value; }
    void setProcEnv(const ZnlObjPtr& value) { third_ = value; }
    void setFrameParent(const ZnlObjPtr& value) { first_ = value; }

    // The value word. Text setters store a private copy (null stores null).
    char* pname() const { return value_.text; }
    void setPname(const char* name) { replaceText(name); }
    int fixnum() const { return value_.fixnum; }
    void setFixnum(int value) { value_.fixnum = value; }
    double flonum() const { return value_.flonum; }
    void setFlonum(double value) { value_.flonum = value; }
    char* string() const { return value_.text; }
    void setString(const char* text) { replaceText(text); }
    void* nodeptr() const { return value_.nodeptr; }
    void setNodeptr(void* pointer) { value_.nodeptr = pointer; }
    char* fcnPname() const { return value_.text; }
    void setFcnPname(const char* name) { replaceText(name); }
    ZnlHashTable* frameBindings() const { return value_.table; }
    // Takes ownership of `table`; the frame's previous table is destroyed.
    void setFrameBindings(ZnlHashTable* table);

    // The code word.
    ZnlPrimitiveFn fcnCode() const { return code_.function; }
    void setFcnCode(ZnlPrimitiveFn function) { code_.function = function; }

    // A frame's registered host variables, created empty on first call;
    // null for any other kind.
    ZnList<ZncParam>* params();
    // Appends `param` (which the frame then owns) to a frame's list and
    // returns true; on any other kind warns and returns false.
    bool registerVal(ZncParam* param);

    // The hashes of a symbol's name, which binding tables (lenv.cpp) compute
    // on the first lookup and keep here, so that a lookup in every frame of
    // a chain costs no pass over the name. A new name or kind forgets them.
    bool nameHashKnown() const { return nameHashKnown_ != 0; }
    std::uint32_t nameHash() const { return nameHash_; }
    int nameBucket() const { return nameBucket_; }
    void keepNameHash(std::uint32_t hash, int bucket) const {
        nameHash_ = hash;
        nameBucket_ = static_cast<std::uint8_t>(bucket);
        nameHashKnown_ = 1;
    }

    // Printing (io.cpp). ZncObjFprint writes the printed form and flushes.
    void ZncObjFprint(FILE* out);
    // The elements of a list without the parentheses; a non-cons raises.
    void ZncPrintList(FILE* out);
    // The printed form on standard output, then a newline on ZnInfo.
    void print();

private:
    friend void IncObjRefCnt(ZnlObj* cell);
    friend void DecObjRefCnt(ZnlObj* cell);
    friend struct pxsdetail::CellAccess;
    ~ZnlObj();

    // A frame made with its table in the same block (see CellAccess).
    ZnlObj(ZnlTagType tag, ZnlHashTable* tableInPlace);
    // Destroys the frame's table, wherever it lives.
    void destroyTable() noexcept;

    bool ownsText() const {
        return tag_ == ZnlSymbolTag || tag_ == ZnlStringTag || tag_ == ZnlSpecialFormTag ||
               tag_ == ZnlCompiledCTag;
    }
    void replaceText(const char* text);
    // Frees what the cell owns and drops its slots (third, second, first).
    void releaseContents() noexcept;
    // The first half of that: the text, or a frame's list and table; sets
    // `gone`.
    void releaseOwned() noexcept;

    ZnlTagType tag_;
    std::int32_t refcnt_ = 0;
    unsigned char gone_ = 0;
    // Name hashes (see keepNameHash), in what would otherwise be padding.
    mutable unsigned char nameHashKnown_ = 0;
    mutable std::uint8_t nameBucket_ = 0;
    // Set when a frame's table lives in the cell's own block.
    unsigned char tableInPlace_ = 0;
    mutable std::uint32_t nameHash_ = 0;
    ZnlObjPtr first_;   // car, procParams, frameParent
    ZnlObjPtr second_;  // cdr, procBody
    ZnlObjPtr third_;   // procEnv
    union {
        char* text;  // pname, string, fcnPname
        int fixnum;
        double flonum;
        void* nodeptr;
        ZnlHashTable* table;
    } value_;
    union {
        ZnlPrimitiveFn function;
        ZnList<ZncParam>* params;
    } code_;
};

inline void IncObjRefCnt(ZnlObj* cell) {
    if (!cell) return;
    assert(!cell->gone_ && "a released cell was referenced again");
    ++cell->refcnt_;
}

namespace pxsdetail {
// Only three events need the slow path after a release leaves `count`: the
// count reaching zero, any release of a frame that leaves it referenced (the
// closure-cycle test), and a procedure left with one reference (which may
// close such a cycle).
inline bool needsAfterRelease(ZnlTagType tag, int count) {
    return count == 0 ||
           (count > 0 && (tag == ZnlFrameTag || (count == 1 && tag == ZnlProcedureTag)));
}
}  // namespace pxsdetail

inline void DecObjRefCnt(ZnlObj* cell) {
    if (!cell) return;
    int count = --cell->refcnt_;
    if (pxsdetail::needsAfterRelease(cell->tag_, count)) pxsdetail::afterRelease(cell);
}

// For a frame, the number of its bindings whose value is a procedure made in
// this frame and referenced by nothing else. A non-frame raises
// "non-frame to EnvLocalProcRefcnt".
int EnvLocalProcRefcnt(const ZnlObjPtr& frame);
int EnvLocalProcRefcnt(ZnlObj* frame);

#endif
