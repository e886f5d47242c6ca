// lenv.cpp -- binding tables, lookup and assignment along frame chains, and
// the frame primitives. A name is looked up frame by frame from the nearest;
// assignment only ever touches the frame it is given.

#include <pxs/lenv.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include <pxs/io.h>
#include <pxs/list.h>
#include <pxs/null.h>
#include <util/znNotify.h>

namespace {

// A symbol with no name is keyed, and found, as the empty name.
const char* keyName(const ZnlObj* symbol) {
    const char* name = symbol->pname();
    return name ? name : "";
}

const char* checkedKeyName(const symbol_entry* entry) {
    if (!entry->symbol || entry->symbol->tag() != ZnlSymbolTag)
        ZncHaltAndCatchFire("non-symbol in environment");
    return keyName(entry->symbol.get());
}

bool isLocalProc(const ZnlObjPtr& value, const ZnlObj* frame) {
    return value && value->tag() == ZnlProcedureTag && value->procEnvRef().get() == frame;
}

bool isFrame(const ZnlObjPtr& x) { return x && x->tag() == ZnlFrameTag; }

[[noreturn]] void raiseUnbound(const char* name) {
    std::string message = std::string("Unbound symbol ") + name;
    ZncHaltAndCatchFire(message.c_str());
}

}  // namespace

ZnlHashTable::~ZnlHashTable() {
    symbol_entry* entry = newest_;
    newest_ = nullptr;
    while (entry) {
        symbol_entry* older = entry->older;
        deleteEntry(entry);
        entry = older;
    }
}

// Entries are never removed, so the first kInPlace made are the ones in
// place.
symbol_entry* ZnlHashTable::newEntry() {
    if (size_ < kInPlace) return new (inPlace_ + size_ * sizeof(symbol_entry)) symbol_entry;
    return new symbol_entry;
}

void ZnlHashTable::deleteEntry(symbol_entry* entry) {
    auto* bytes = reinterpret_cast<unsigned char*>(entry);
    if (bytes >= inPlace_ && bytes < inPlace_ + sizeof inPlace_)
        entry->~symbol_entry();
    else
        delete entry;
}

int ZnlHashTable::bucket_number(const char* name) { return Key(name).bucket; }

ZnlHashTable::Key::Key(const char* text)
    : name(text ? text : ""), symbol(nullptr), bucket(0), hash(2166136261u) {
    std::int32_t sum = 0;
    for (const char* p = name; *p; ++p) {
        sum += static_cast<signed char>(*p);
        hash = (hash ^ static_cast<unsigned char>(*p)) * 16777619u;
    }
    bucket = static_cast<int>(static_cast<std::uint32_t>(sum) & 0xFF);
}

void ZnlHashTable::Key::keepHashes(const ZnlObj* symbol) {
    Key computed(keyName(symbol));
    symbol->keepNameHash(computed.hash, computed.bucket);
}

bool ZnlHashTable::sameName(const symbol_entry* entry, const Key& key) {
    return std::strcmp(checkedKeyName(entry), key.name) == 0;
}

symbol_entry* ZnlHashTable::findInBuckets(const Key& key) const {
    if (!index_.empty()) {
        const size_t mask = index_.size() - 1;
        for (size_t i = key.hash & mask; symbol_entry* entry = index_[i]; i = (i + 1) & mask)
            if (matches(entry, key)) return entry;
        return nullptr;
    }
    for (symbol_entry* entry = buckets_[key.bucket]; entry; entry = entry->next)
        if (matches(entry, key)) return entry;
    return nullptr;
}

symbol_entry* ZnlHashTable::find(const char* name) const { return find(Key(name)); }

ZnlObjPtr ZnlHashTable::lookup(const char* name) const {
    symbol_entry* entry = find(name);
    return entry ? entry->value : ZnlObjPtr();
}

ZnlObjPtr ZnlHashTable::findsym(const char* name) const {
    symbol_entry* entry = find(name);
    return entry ? entry->symbol : ZnlObjPtr();
}

// Entry chains keep the newest binding first, so building the buckets walks
// the entries newest first and appends each at its chain's end.
void ZnlHashTable::buildBuckets() {
    buckets_ = std::make_unique<symbol_entry*[]>(kBuckets);
    for (symbol_entry* entry = newest_; entry; entry = entry->older) {
        symbol_entry** link = &buckets_[bucket_number(keyName(entry->symbol.get()))];
        while (*link) link = &(*link)->next;
        entry->next = nullptr;
        *link = entry;
    }
}

// Puts `entry` in the index. A name can have two entries only when the
// older one holds no value; the chains then find the newer one first, and
// so must the index: `replace` says whether `entry` is the newer.
void ZnlHashTable::indexEntry(symbol_entry* entry, bool replace) {
    const size_t mask = index_.size() - 1;
    Key key(entry->symbol.get());
    size_t i = entry->hash & mask;
    for (; index_[i]; i = (i + 1) & mask) {
        if (!matches(index_[i], key)) continue;
        if (replace) index_[i] = entry;
        return;
    }
    index_[i] = entry;
}

void ZnlHashTable::rebuildIndex() {
    size_t capacity = 128;
    while (capacity < 4 * static_cast<size_t>(size_)) capacity *= 2;
    index_.assign(capacity, nullptr);
    for (symbol_entry* entry = newest_; entry; entry = entry->older) indexEntry(entry, false);
}

ZnlObjPtr ZnlHashTable::insert(const ZnlObjPtr& symbol, const ZnlObjPtr& value,
                               const ZnlObjPtr& frame) {
    if (!symbol || symbol->tag() != ZnlSymbolTag) ZncHaltAndCatchFire("non-symbol in environment");
    Key key(symbol.get());
    symbol_entry* existing = find(key);
    if (existing && existing->value) ZncHaltAndCatchFire("cannot insert binding with duplicate key");
    insertNew(key, symbol, value, frame);
    return symbol;
}

void ZnlHashTable::insertNew(const Key& key, const ZnlObjPtr& symbol, const ZnlObjPtr& value,
                             const ZnlObjPtr& frame) {
    symbol_entry* entry = newEntry();
    entry->symbol = symbol;
    entry->value = value;
    entry->hash = key.hash;
    entry->older = newest_;
    newest_ = entry;
    ++size_;
    if (buckets_) {
        entry->next = buckets_[key.bucket];
        buckets_[key.bucket] = entry;
    } else if (size_ > kListLimit) {
        buildBuckets();
    }
    if (!index_.empty() && 2 * static_cast<size_t>(size_) <= index_.size())
        indexEntry(entry, true);
    else if (size_ > kIndexLimit)
        rebuildIndex();
    if (isLocalProc(value, frame.get())) ++localProcs_;
}

void ZnlHashTable::setEntryValue(symbol_entry* entry, const ZnlObjPtr& value,
                                 const ZnlObjPtr& frame) {
    if (isLocalProc(entry->value, frame.get())) --localProcs_;
    if (isLocalProc(value, frame.get())) ++localProcs_;
    entry->value = value;
}

ZnlObjPtr ZnlHashTable::rebind(const ZnlObjPtr& symbol, const ZnlObjPtr& value,
                               const ZnlObjPtr& frame) {
    if (!symbol || symbol->tag() != ZnlSymbolTag) ZncHaltAndCatchFire("non-symbol in environment");
    symbol_entry* entry = find(keyName(symbol.get()));
    if (!entry) ZncHaltAndCatchFire("symbol was not found in ZnlHashTable::rebind");
    setEntryValue(entry, value, frame);
    return value;
}

int ZnlHashTable::localProcRefcnt(const ZnlObj* frame) const {
    int count = 0;
    for (symbol_entry* entry = newest_; entry; entry = entry->older)
        if (isLocalProc(entry->value, frame) && entry->value->refcnt() == 1) ++count;
    return count;
}

// Calls visit(bucket, entry) for buckets 0 to 255 and, within a bucket, from
// the chain's head (newest) to its end. A table still in list form has at
// most kListLimit entries; a stable sort by bucket gives the same order.
template <typename Visit>
void ZnlHashTable::visitInBucketOrder(Visit visit) const {
    if (buckets_) {
        for (int bucket = 0; bucket < kBuckets; ++bucket)
            for (symbol_entry* entry = buckets_[bucket]; entry; entry = entry->next)
                visit(bucket, entry);
        return;
    }
    std::array<std::pair<int, symbol_entry*>, kListLimit> order;
    int n = 0;
    for (symbol_entry* entry = newest_; entry; entry = entry->older)
        order[n++] = {bucket_number(checkedKeyName(entry)), entry};
    std::stable_sort(order.begin(), order.begin() + n,
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (int i = 0; i < n; ++i) visit(order[i].first, order[i].second);
}

ZnlObjPtr ZnlHashTable::bindings() const {
    ZnlObjPtr result = ZnlObjPtr::nil();
    visitInBucketOrder([&result](int, symbol_entry* entry) {
        ZnlObjPtr pair = ZncCons(entry->symbol, ZncCons(entry->value, ZnlObjPtr::nil()));
        result = ZncCons(pair, result);
    });
    return result;
}

void ZnlHashTable::dump() const {
    int shown = -1;
    visitInBucketOrder([&shown](int bucket, symbol_entry* entry) {
        if (bucket != shown) ZnInfo.printf("[%d]:", bucket);
        shown = bucket;
        ZnInfo.printf(" %s -> ", checkedKeyName(entry));
        ZncPrint(entry->value);
    });
}

ZnlObjPtr ZncSet(const ZnlObjPtr& symbol, const ZnlObjPtr& value, const ZnlObjPtr& frame) {
    if (!symbol || symbol->tag() != ZnlSymbolTag) ZncHaltAndCatchFire("Non-symbol to set1env");
    if (!isFrame(frame)) ZncHaltAndCatchFire("Non-frame to set1env");
    ZnlHashTable* table = frame->frameBindings();
    ZnlHashTable::Key key(symbol.get());
    if (symbol_entry* entry = table->find(key)) {
        table->setEntryValue(entry, value, frame);
        return entry->symbol;
    }
    table->insertNew(key, symbol, value, frame);
    return symbol;
}

// Walks raw parent links: `frame` holds the whole chain for the walk.
const ZnlObjPtr& pxsdetail::symevalRef(const ZnlObjPtr& symbol, const ZnlObj* frame) {
    if (!symbol || symbol->tag() != ZnlSymbolTag) ZncHaltAndCatchFire("Non-symbol to ZncSymeval");
    ZnlHashTable::Key key(symbol.get());
    for (const ZnlObj* f = frame; f && f->tag() == ZnlFrameTag; f = f->frameParentRef().get()) {
        symbol_entry* entry = f->frameBindings()->find(key);
        if (!entry || !entry->value) continue;
        // A nearer binding to the marker hides any farther real one. The
        // marker is a symbol, which few values are.
        if (entry->value->tag() == ZnlSymbolTag && entry->value == ZnlObjPtr::unbound()) break;
        return entry->value;
    }
    raiseUnbound(key.name);
}

ZnlObjPtr ZncSymeval(const ZnlObjPtr& symbol, const ZnlObjPtr& frame) {
    return pxsdetail::symevalRef(symbol, frame.get());
}

bool ZncBoundp(const ZnlObjPtr& symbol, const ZnlObjPtr& frame) {
    if (!symbol || symbol->tag() != ZnlSymbolTag) ZncHaltAndCatchFire("non-symbol to boundp");
    if (!isFrame(frame)) return false;
    symbol_entry* entry = frame->frameBindings()->find(keyName(symbol.get()));
    return entry && entry->value && entry->value != ZnlObjPtr::unbound();
}

ZnlObjPtr ZnlTheFrame(const ZnlObjPtr&, const ZnlObjPtr& frame) { return frame; }

ZnlObjPtr ZnlNewFrame(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 1) ZncHaltAndCatchFire("wrong number of args to new-frame");
    ZnlObjPtr parent = ZncCar(args);
    if (!isFrame(parent)) ZncHaltAndCatchFire("non-frame to new-frame");
    ZnlObjPtr child(ZnlFrameTag);
    child->setFrameParent(parent);
    return child;
}

ZnlObjPtr ZnlFrameParent(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 1) ZncHaltAndCatchFire("wrong number of args to frame-parent");
    ZnlObjPtr frame = ZncCar(args);
    if (!isFrame(frame)) ZncHaltAndCatchFire("non-frame to frame-Parent");
    if (!frame->frameParentRef())
        ZncHaltAndCatchFire("frame-parent called on frame without parent");
    return frame->frameParent();
}

ZnlObjPtr ZnlFrameBindings(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 1) ZncHaltAndCatchFire("wrong number of args to frame-bindings");
    ZnlObjPtr frame = ZncCar(args);
    if (!isFrame(frame)) ZncHaltAndCatchFire("non-frame to frame-bindings");
    return frame->frameBindings()->bindings();
}

ZnlObjPtr ZnlFrameBound(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 2) ZncHaltAndCatchFire("wrong number of args to frame-bound");
    ZnlObjPtr frame = ZncCar(args);
    ZnlObjPtr symbol = ZncCadr(args);
    if (!isFrame(frame)) ZncHaltAndCatchFire("non-frame to frame-bound");
    if (!symbol || symbol->tag() != ZnlSymbolTag) ZncHaltAndCatchFire("non-symbol to frame-bound");
    return ZncCBooleanToLispBoolean(ZncBoundp(symbol, frame));
}

ZnlObjPtr ZnlMem(const ZnlObjPtr&, const ZnlObjPtr&) {
    ZnInfo << "Must compile with -DMEMCHK=1 to use mem or ZnlMem.\n";
    return ZnlObjPtr::nil();
}
