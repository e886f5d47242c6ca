// envObjectSync.cpp -- binding, generating and unbinding synchronised
// subtrees. Registered attribute syncs are walked from a snapshot, because
// the callbacks run application code that may change the registry.

#include "envObjectSync.h"

#include <iterator>
#include <set>
#include <utility>
#include <vector>

#include <pxs/environment.h>
#include <util/znNotify.h>

namespace {

using Registered = std::vector<std::pair<ZnString, ZnEnvObjectSync*>>;

template <typename Map>
Registered snapshot(const Map& syncs) {
    Registered all;
    for (const auto& entry : syncs)
        if (entry.second) all.push_back(entry);
    return all;
}

}  // namespace

ZnEnvObjectSync::ZnEnvObjectSync() = default;

// Registries hold plain pointers, so a synchroniser destroyed before the
// one it is registered with takes itself out; otherwise that one's next
// bind or unbind would call into freed memory.
ZnEnvObjectSync::~ZnEnvObjectSync() {
    removeAllAttributeSyncs();
    unbind();
    const std::set<ZnEnvObjectSync*> holders(registeredIn_.begin(), registeredIn_.end());
    for (ZnEnvObjectSync* holder : holders) {
        auto& syncs = holder->attributeSyncs_;
        for (auto entry = syncs.begin(); entry != syncs.end();)
            entry = entry->second == this ? syncs.erase(entry) : std::next(entry);
    }
}

// The objects of the attribute syncs are created below the new object, not
// beside it: that is where bind() looks for them, so a generated subtree
// can later be bound again without generating anything twice. The binding
// is recorded before the object is attached, so objectChangedCB already
// sees it through binding().
void ZnEnvObjectSync::generateObject(ZnEnvironment& env, const ZnString& name) {
    unbind();
    ZnEnvValueSP node = env.addObject(name, objectType(), env.root());
    ZnEnvObject* object = ZnEnvObject::castToObject(node);
    if (!object) return;  // env's root is not a list: nothing was created
    updateObjectCB(object);
    binding_ = node;
    object->setSync(this);
    ZnEnvironment below(node);
    for (const auto& entry : snapshot(attributeSyncs_)) entry.second->generateObject(below, entry.first);
}

// An object has one synchroniser; one bound elsewhere is unbound first so
// that it does not go on believing it is bound here.
void ZnEnvObjectSync::bind(ZnEnvValueSP node, bool generateMissing) {
    unbind();
    binding_ = node;
    ZnEnvObject* object = ZnEnvObject::castToObject(node);
    if (!object) return;
    if (ZnEnvObjectSync* previous = object->sync()) previous->unbind();
    object->setSync(this);
    ZnEnvironment here(node);
    for (const auto& entry : snapshot(attributeSyncs_)) {
        ZnEnvValueSP child = object->attribute(entry.first);
        if (child)
            entry.second->bind(child, generateMissing);
        else if (generateMissing)
            entry.second->generateObject(here, entry.first);
    }
}

// Only detaches an object that still names this synchroniser: another one
// may have been attached to it since.
void ZnEnvObjectSync::unbind() {
    ZnEnvValueSP node = binding_.lock();
    ZnEnvObject* object = ZnEnvObject::castToObject(node);
    if (object && object->sync() == this) object->setSync(nullptr);
    for (const auto& entry : snapshot(attributeSyncs_)) entry.second->unbind();
    binding_.reset();
}

ZnEnvValueSP ZnEnvObjectSync::binding() const { return binding_.lock(); }

// Storing a synchroniser that reaches this one through its own registry
// would make bind and unbind recurse without end.
void ZnEnvObjectSync::addAttributeSync(const ZnString& name, ZnEnvObjectSync* sync) {
    removeAttributeSync(name);
    if (!sync) return;
    if (sync->reaches(this)) {
        ZnWarn << "ZnEnvObjectSync::addAttributeSync: " << name
               << " not added: the synchroniser would become its own attribute sync\n";
        return;
    }
    attributeSyncs_[name] = sync;
    sync->registeredIn_.insert(this);
}

void ZnEnvObjectSync::removeAttributeSync(const ZnString& name) {
    auto entry = attributeSyncs_.find(name);
    if (entry == attributeSyncs_.end()) return;
    ZnEnvObjectSync* sync = entry->second;
    attributeSyncs_.erase(entry);
    if (!sync) return;
    release(sync);
    sync->unbind();
}

void ZnEnvObjectSync::removeAllAttributeSyncs() {
    const Registered all = snapshot(attributeSyncs_);
    attributeSyncs_.clear();
    for (const auto& entry : all) {
        release(entry.second);
        entry.second->unbind();
    }
}

ZnEnvObjectSync* ZnEnvObjectSync::attributeSync(const ZnString& name) {
    auto entry = attributeSyncs_.find(name);
    return entry == attributeSyncs_.end() ? nullptr : entry->second;
}

void ZnEnvObjectSync::unboundAttributeSyncInCB(ZnEnvValue*) {}

void ZnEnvObjectSync::attributeAddedCB(ZnEnvValueSP) {}

void ZnEnvObjectSync::attributeRemovedCB(ZnEnvValueSP) {}

// Forgets one registration of `sync` with this synchroniser.
void ZnEnvObjectSync::release(ZnEnvObjectSync* sync) {
    auto holder = sync->registeredIn_.find(this);
    if (holder != sync->registeredIn_.end()) sync->registeredIn_.erase(holder);
}

// Whether `other` is this synchroniser or registered somewhere below it.
bool ZnEnvObjectSync::reaches(const ZnEnvObjectSync* other) const {
    std::vector<const ZnEnvObjectSync*> todo{this};
    std::set<const ZnEnvObjectSync*> seen;
    while (!todo.empty()) {
        const ZnEnvObjectSync* sync = todo.back();
        todo.pop_back();
        if (sync == other) return true;
        if (!seen.insert(sync).second) continue;
        for (const auto& entry : sync->attributeSyncs_)
            if (entry.second) todo.push_back(entry.second);
    }
    return false;
}
