// envObject.cpp -- objects: the attribute index and the calls into the
// attached synchroniser, which stop a change from climbing any further.

#include "envObject.h"

#include <boost/make_shared.hpp>

#include <pxs/envObjectSync.h>

namespace {

constexpr uint32_t kObjectBits = ListFormat | NamedListFormat | ObjectFormat;

// The index name of a child, empty for a child that is not indexed.
ZnString indexName(const ZnEnvValueSP& child) {
    ZnEnvNamedList* named = ZnEnvNamedList::castToNamedList(child);
    return named ? named->name() : ZnString();
}

}  // namespace

ZnEnvObject::ZnEnvObject(const ZnString& name, const ZnString& type, const ZnString& value)
    : ZnEnvNamedList(name, value) {
    addFormat(ObjectFormat);
    appendHidden(boost::make_shared<ZnEnvValue>(type));
}

void ZnEnvObject::valueChanged() {
    if (sync_)
        sync_->objectChangedCB(this);
    else
        ZnEnvNamedList::valueChanged();
}

void ZnEnvObject::childChanged(ZnEnvValue* child) {
    if (sync_)
        sync_->unboundAttributeSyncInCB(child);
    else
        ZnEnvNamedList::childChanged(child);
}

ZnEnvValueSP ZnEnvObject::first() const { return childAt(2); }

// A later child of the same name takes the index entry over; the earlier
// one stays a child and is still reached by iteration.
void ZnEnvObject::append(ZnEnvValueSP child) {
    if (!child) return;
    const ZnString name = indexName(child);
    if (!name.empty()) attributes_[name] = child;
    ZnEnvNamedList::append(child);
    if (sync_) sync_->attributeAddedCB(child);
}

// Removing a node that is not a child is ignored as a whole, so removing the
// same node twice neither drops the entry of a namesake nor reports twice.
void ZnEnvObject::remove(ZnEnvValueSP child) {
    if (!removeChild(child)) return;
    const ZnString name = indexName(child);
    if (!name.empty()) attributes_.erase(name);
    if (sync_) sync_->attributeRemovedCB(child);
}

ZnString ZnEnvObject::type() const {
    ZnEnvValueSP node = childAt(1);
    return node ? node->value() : ZnString();
}

void ZnEnvObject::setType(const ZnString& type) {
    if (ZnEnvValueSP node = childAt(1)) node->setValue(type);
}

ZnEnvObjectSync* ZnEnvObject::sync() const { return sync_; }

void ZnEnvObject::setSync(ZnEnvObjectSync* sync) {
    sync_ = sync;
    if (sync_) sync_->objectChangedCB(this);
}

ZnEnvValueSP ZnEnvObject::attribute(const ZnString& name) const {
    auto entry = attributes_.find(name);
    return entry == attributes_.end() ? ZnEnvValueSP() : entry->second.lock();
}

ZnString ZnEnvObject::attributeValue(const ZnString& name) const {
    ZnEnvValueSP node = attribute(name);
    return node ? node->value() : ZnString();
}

bool ZnEnvObject::isObject(ZnEnvValueSP value) {
    return value && (value->format() & kObjectBits) == kObjectBits;
}

bool ZnEnvObject::isObject(ZnEnvValueSP value, const ZnString& type) {
    ZnEnvObject* object = castToObject(value);
    return object && object->type() == type;
}

bool ZnEnvObject::isObject(ZnEnvValueSP value, const ZnString& name, const ZnString& type) {
    ZnEnvObject* object = castToObject(value);
    return object && object->type() == type && object->name() == name;
}

ZnEnvObject* ZnEnvObject::castToObject(ZnEnvValueSP value) {
    return isObject(value) ? dynamic_cast<ZnEnvObject*>(value.get()) : nullptr;
}

ZnEnvValue* ZnEnvObject::cloneNode() const { return new ZnEnvObject(name(), type(), value()); }
