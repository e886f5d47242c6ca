// lenv.h -- frames: the binding table ZnlHashTable, lookup and assignment
// along frame chains, and the primitives that show frames to scripts.
//
//   ZnlObjPtr root(ZnlFrameTag);
//   ZnlObjPtr x = ZncIntern("x", root);        // bound to the unbound marker
//   ZncSet(x, ZnlObjPtr(1), root);
//   ZncSymeval(x, root);                        // the fixnum 1

#ifndef PXS_LENV_H
#define PXS_LENV_H

#include <pxs/memory.h>

#include <cstdint>
#include <memory>
#include <vector>

// One binding. The table keys entries by the symbol's name.
struct symbol_entry {
    ZnlObjPtr symbol;
    ZnlObjPtr value;
    symbol_entry* next = nullptr;   // bucket chain, newest first
    symbol_entry* older = nullptr;  // every entry of the table, newest first
    std::uint32_t hash = 0;         // ZnlHashTable::Key::hash of the name
};

// The bindings of one frame: 256 buckets chosen by the byte sum of the name,
// each a chain with the newest binding first; that order is what bindings()
// and dump() show. Lookups give the same answers whatever the table's size,
// but get there differently: a table with few bindings (a procedure call's
// frame, usually) keeps them in one list, a middle-sized one walks its
// bucket chains, and a large one (a global frame) also keeps an open-
// addressing index on a full hash of the name, since a byte sum spreads
// thousands of names over few chains. The first few entries live inside
// the table itself, so a call's frame allocates nothing per binding.
class ZnlHashTable {
public:
    static constexpr int kBuckets = 256;

    // A name with its hashes, computed once for lookups in several tables.
    // Made from a symbol, it takes the hashes the symbol keeps (computing
    // them the first time), and an entry keyed by that very cell matches
    // without comparing names.
    struct Key {
        explicit Key(const char* name);
        explicit Key(const ZnlObj* symbol) : name(symbol->pname() ? symbol->pname() : ""),
                                             symbol(symbol) {
            if (!symbol->nameHashKnown()) keepHashes(symbol);
            bucket = symbol->nameBucket();
            hash = symbol->nameHash();
        }
        const char* name;
        const ZnlObj* symbol;
        int bucket;          // bucket_number(name)
        std::uint32_t hash;  // FNV-1a of the name

    private:
        static void keepHashes(const ZnlObj* symbol);
    };

    ZnlHashTable() = default;
    ZnlHashTable(const ZnlHashTable&) = delete;
    ZnlHashTable& operator=(const ZnlHashTable&) = delete;
    ~ZnlHashTable();

    // The value bound to `name`, or an empty pointer.
    ZnlObjPtr lookup(const char* name) const;
    // The symbol stored as the key for `name`, or an empty pointer.
    ZnlObjPtr findsym(const char* name) const;
    // The entry for `name`, or null. A table in list form, which is what a
    // call's frame usually is, is searched inline.
    symbol_entry* find(const char* name) const;
    symbol_entry* find(const Key& key) const {
        if (buckets_) return findInBuckets(key);
        for (symbol_entry* entry = newest_; entry; entry = entry->older)
            if (matches(entry, key)) return entry;
        return nullptr;
    }
    // Adds a binding and returns `symbol`; `frame` is the frame that owns
    // this table. Raises when `name` is already bound.
    ZnlObjPtr insert(const ZnlObjPtr& symbol, const ZnlObjPtr& value, const ZnlObjPtr& frame);
    // Replaces the value of an existing binding and returns `value`.
    ZnlObjPtr rebind(const ZnlObjPtr& symbol, const ZnlObjPtr& value, const ZnlObjPtr& frame);
    // Stores `value` in an entry of this table (owned by `frame`).
    void setEntryValue(symbol_entry* entry, const ZnlObjPtr& value, const ZnlObjPtr& frame);
    // A list of (symbol value) lists, bucket 255 first; nil when empty.
    ZnlObjPtr bindings() const;
    // Writes the table to ZnInfo, bucket by bucket.
    void dump() const;
    // The bucket of `name`: the byte sum, as signed bytes, modulo 256.
    static int bucket_number(const char* name);

    // Number of bindings.
    int size() const { return size_; }
    // Bindings whose value is a procedure made in the owning frame. Never
    // below the count EnvLocalProcRefcnt reports, so it can rule the full
    // test out cheaply.
    int localProcCount() const { return localProcs_; }
    // EnvLocalProcRefcnt of the owning frame `frame`.
    int localProcRefcnt(const ZnlObj* frame) const;

    // Adds a binding for a name that `find` has just failed to find.
    void insertNew(const Key& key, const ZnlObjPtr& symbol, const ZnlObjPtr& value,
                   const ZnlObjPtr& frame);

private:
    // Above this many bindings the table builds its buckets, and above the
    // second its index.
    static constexpr int kListLimit = 8;
    static constexpr int kIndexLimit = 64;

    template <typename Visit>
    void visitInBucketOrder(Visit visit) const;
    // find() of a table past its list form.
    symbol_entry* findInBuckets(const Key& key) const;
    // The full hash is compared first, so a walk rarely touches a key
    // symbol that cannot match.
    static bool matches(const symbol_entry* entry, const Key& key) {
        return entry->hash == key.hash &&
               ((key.symbol && entry->symbol.get() == key.symbol) || sameName(entry, key));
    }
    // The name comparison behind a hash match.
    static bool sameName(const symbol_entry* entry, const Key& key);
    // Entries the table holds in place before it allocates any.
    static constexpr int kInPlace = 4;

    void buildBuckets();
    void indexEntry(symbol_entry* entry, bool replace);
    void rebuildIndex();
    symbol_entry* newEntry();
    void deleteEntry(symbol_entry* entry);

    std::unique_ptr<symbol_entry*[]> buckets_;
    symbol_entry* newest_ = nullptr;
    // Open addressing, a power of two at most half full; empty below the
    // index limit.
    std::vector<symbol_entry*> index_;
    int size_ = 0;
    int localProcs_ = 0;
    // Raw storage for the first kInPlace entries, constructed as used.
    alignas(symbol_entry) unsigned char inPlace_[kInPlace * sizeof(symbol_entry)];
};

// Binds or rebinds `symbol` in `frame` itself and returns the key symbol of
// the binding. Raises "Non-symbol to set1env" for a non-symbol.
ZnlObjPtr ZncSet(const ZnlObjPtr& symbol, const ZnlObjPtr& value, const ZnlObjPtr& frame);
// The value of `symbol` seen from `frame`; raises "Unbound symbol %s".
ZnlObjPtr ZncSymeval(const ZnlObjPtr& symbol, const ZnlObjPtr& frame);

namespace pxsdetail {
// ZncSymeval without the counted copy: the value in its binding, which
// stays valid only until that binding is assigned or its frame dies.
const ZnlObjPtr& symevalRef(const ZnlObjPtr& symbol, const ZnlObj* frame);
}  // namespace pxsdetail
// True when `frame` itself binds the symbol's name to a real value.
bool ZncBoundp(const ZnlObjPtr& symbol, const ZnlObjPtr& frame);

// Frame primitives (evaluated argument list, current frame).
ZnlObjPtr ZnlTheFrame(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlNewFrame(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlFrameParent(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlFrameBindings(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlFrameBound(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlMem(const ZnlObjPtr& args, const ZnlObjPtr& frame);

#endif
