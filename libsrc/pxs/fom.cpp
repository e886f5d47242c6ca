// fom.cpp -- ZnFom: storage of a delivered object model. Classes, members
// and records are kept in arrays in the order they arrived, with hash
// indexes by name beside them, so filling a model of any size stays linear
// and every has... answer is one lookup.

#include <pxs/fom.h>

#include <algorithm>
#include <cstring>

#include <pxs/fedSwitches.h>

namespace {

// Classes with this many members or fewer are searched by scanning.
constexpr size_t kScanLimit = 16;

bool sameText(const ZnString& a, const char* b) { return std::strcmp(a.c_str(), b) == 0; }

template <class Map>
const typename Map::mapped_type* lookup(const Map& map, const char* key) {
    auto it = map.find(key);
    return it == map.end() ? nullptr : &it->second;
}

void addUnique(std::vector<ZnString>& names, const char* name) {
    if (std::none_of(names.begin(), names.end(), [&](const ZnString& n) { return n == name; }))
        names.emplace_back(name);
}

}  // namespace

ZnFom::ZnFom()
    : autoProvide_(defaultAutoProvide()),
      conveyRegionDesignatorSets_(defaultConveyRegionDesignatorSets()),
      conveyProducingFederate_(defaultConveyProducingFederate()),
      attributeScopeAdvisory_(defaultAttributeScopeAdvisory()),
      attributeRelevanceAdvisory_(defaultAttributeRelevanceAdvisory()),
      objectClassRelevanceAdvisory_(defaultObjectClassRelevanceAdvisory()),
      interactionRelevanceAdvisory_(defaultInteractionRelevanceAdvisory()),
      serviceReporting_(defaultServiceReporting()),
      exceptionReporting_(defaultExceptionReporting()) {}

ZnFom::~ZnFom() = default;

const ZnFom::ObjectClass* ZnFom::objectClass(const ZnString& name) const {
    const size_t* i = lookup(objectIndex_, name.c_str());
    return i ? &objectClasses_[*i] : nullptr;
}

const ZnFom::InteractionClass* ZnFom::interactionClass(const ZnString& name) const {
    const size_t* i = lookup(interactionIndex_, name.c_str());
    return i ? &interactionClasses_[*i] : nullptr;
}

const ZnFom::Dimension* ZnFom::dimension(const ZnString& name) const {
    const size_t* i = lookup(dimensionIndex_, name.c_str());
    return i ? &dimensions_[*i] : nullptr;
}

void ZnFom::setFomType(ZnFomType type) { fomType_ = type; }

ZnFomType ZnFom::fomType() const { return fomType_; }

void ZnFom::addSpace(const char* space) {
    if (!space) return;
    for (const Space& s : spaces_)
        if (s.name == space) return;
    spaces_.push_back(Space{ZnString(space), {}});
}

void ZnFom::addSpaceDimension(const char* space, const char* dimension) {
    if (!space || !dimension) return;
    for (Space& s : spaces_)
        if (s.name == space) addUnique(s.dimensions, dimension);
}

void ZnFom::addDimension(const char* name, uint64_t upperBound, uint64_t lower, uint64_t upper,
                         bool excluded, ZnString* normalization) {
    if (!name || dimensionIndex_.count(name)) return;
    Dimension d;
    d.name = name;
    d.upperBound = upperBound;
    d.lower = lower;
    d.upper = upper;
    d.excluded = excluded;
    if (normalization) d.normalization = *normalization;
    dimensions_.push_back(std::move(d));
    dimensionIndex_.emplace(name, dimensions_.size() - 1);
}

// Shared rule of both class kinds: see the acceptance rules in fom.h.
template <class Class>
static bool acceptClass(const char* name, const char* parent, ZnString& root,
                        std::vector<Class>& classes,
                        std::unordered_map<std::string, size_t>& index, bool* isNew) {
    *isNew = false;
    if (!name || !*name) return false;
    const size_t* existing = lookup(index, name);
    if (!parent) {
        if (!root.empty()) return root == name;
        if (existing) return false;  // known as a subclass: cannot become the root
        root = name;
    } else {
        if (!lookup(index, parent)) return false;
        if (existing) return classes[*existing].parent == parent;
    }
    Class cls;
    cls.name = name;
    if (parent) cls.parent = parent;
    classes.push_back(std::move(cls));
    index.emplace(name, classes.size() - 1);
    *isNew = true;
    return true;
}

bool ZnFom::addObjectClass(const char* name, const char* parent) {
    bool isNew = false;
    bool accepted = acceptClass(name, parent, objectRoot_, objectClasses_, objectIndex_, &isNew);
    if (isNew) attributeIndex_.emplace_back();
    return accepted;
}

bool ZnFom::addInteractionClass(const char* name, const char* parent, ZnTransportType transport,
                                ZnOrderType order, const char* space) {
    bool isNew = false;
    bool accepted = acceptClass(name, parent, interactionRoot_, interactionClasses_,
                                interactionIndex_, &isNew);
    if (isNew) {
        InteractionClass& cls = interactionClasses_.back();
        cls.transport = transport;
        cls.order = order;
        if (space) cls.space = space;
    }
    return accepted;
}

ZnFom::ObjectClass* ZnFom::findObjectClass(const char* name) {
    if (!name) return nullptr;
    // Attributes arrive class by class: the previous class is the likely one.
    if (lastObjectClass_ < objectClasses_.size() &&
        sameText(objectClasses_[lastObjectClass_].name, name))
        return &objectClasses_[lastObjectClass_];
    const size_t* i = lookup(objectIndex_, name);
    if (!i) return nullptr;
    lastObjectClass_ = *i;
    return &objectClasses_[*i];
}

ZnFom::InteractionClass* ZnFom::findInteractionClass(const char* name) {
    if (!name) return nullptr;
    if (lastInteractionClass_ < interactionClasses_.size() &&
        sameText(interactionClasses_[lastInteractionClass_].name, name))
        return &interactionClasses_[lastInteractionClass_];
    const size_t* i = lookup(interactionIndex_, name);
    if (!i) return nullptr;
    lastInteractionClass_ = *i;
    return &interactionClasses_[*i];
}

ZnFom::Attribute* ZnFom::findAttribute(ObjectClass& cls, const char* name) {
    std::vector<Attribute>& attrs = cls.attributes;
    if (attrs.size() <= kScanLimit) {
        size_t length = std::strlen(name);
        for (Attribute& a : attrs)
            if (a.name.size() == length && std::memcmp(a.name.c_str(), name, length) == 0)
                return &a;
        return nullptr;
    }
    MemberIndex& index = attributeIndex_[static_cast<size_t>(&cls - objectClasses_.data())];
    if (index.positions.size() < attrs.size())
        for (size_t i = index.positions.size(); i < attrs.size(); ++i)
            index.positions.emplace(attrs[i].name.std(), i);
    const size_t* i = lookup(index.positions, name);
    return i ? &attrs[*i] : nullptr;
}

size_t ZnFom::attributePosition(const ObjectClass& cls, const char* name) const {
    const std::vector<Attribute>& attrs = cls.attributes;
    if (!name) return SIZE_MAX;
    // Attributes are asked for mostly as they arrive: the last one first.
    if (!attrs.empty() && attrs.back().name == name) return attrs.size() - 1;
    const size_t at = static_cast<size_t>(&cls - objectClasses_.data());
    if (at < attributeIndex_.size() && attrs.size() > kScanLimit &&
        attributeIndex_[at].positions.size() == attrs.size()) {
        const size_t* i = lookup(attributeIndex_[at].positions, name);
        return i ? *i : SIZE_MAX;
    }
    for (size_t i = 0; i < attrs.size(); ++i)
        if (attrs[i].name == name) return i;
    return SIZE_MAX;
}

// A new attribute entry of a known class, or null when the class is unknown
// or already has an attribute of that name (the first definition stays).
ZnFom::Attribute* ZnFom::addAttributeEntry(const char* className, const char* attribute) {
    ObjectClass* cls = findObjectClass(className);
    if (!cls || !attribute || findAttribute(*cls, attribute)) return nullptr;
    cls->attributes.emplace_back();
    cls->attributes.back().name = attribute;
    return &cls->attributes.back();
}

void ZnFom::addAttribute(const char* className, const char* attribute,
                         ZnTransportType transport, ZnOrderType order,
                         ZnSharingType_enum sharing, ZnFomUpdateType_enum updateType,
                         ZnString* updateCondition, ZnOwnershipType_enum ownership,
                         ZnString* semantics, const void*) {
    Attribute* a = addAttributeEntry(className, attribute);
    if (!a) return;
    a->transport = transport;
    a->order = order;
    a->sharing = sharing;
    a->updateType = updateType;
    if (updateCondition) a->updateCondition = *updateCondition;
    a->ownership = ownership;
    if (semantics) a->semantics = *semantics;
}

void ZnFom::addSpaceAttribute(const char* className, const char* attribute,
                              ZnTransportType transport, ZnOrderType order, const char* space) {
    Attribute* a = addAttributeEntry(className, attribute);
    if (!a) return;
    a->transport = transport;
    a->order = order;
    if (space) a->space = space;
}

bool ZnFom::addAttributeDimension(const char* className, const char* attribute,
                                  const char* dimension) {
    ObjectClass* cls = findObjectClass(className);
    // Dimensions follow the attribute they belong to.
    Attribute* a = nullptr;
    if (cls && attribute) {
        a = !cls->attributes.empty() && sameText(cls->attributes.back().name, attribute)
                ? &cls->attributes.back()
                : findAttribute(*cls, attribute);
    }
    if (!a || !dimension || !dimensionIndex_.count(dimension)) return false;
    addUnique(a->dimensions, dimension);
    return true;
}

void ZnFom::addParameter(const char* className, const char* parameter) {
    InteractionClass* cls = findInteractionClass(className);
    if (cls && parameter) addUnique(cls->parameters, parameter);
}

bool ZnFom::addInteractionDimension(const char* className, const char* dimension) {
    InteractionClass* cls = findInteractionClass(className);
    if (!cls || !dimension || !dimensionIndex_.count(dimension)) return false;
    addUnique(cls->dimensions, dimension);
    return true;
}

bool ZnFom::hasUpdateRate(const ZnUpdateRateType* rec) const {
    return rec && updateRates_.find(rec->name);
}
void ZnFom::addUpdateRate(ZnUpdateRateType* rec) { updateRates_.add(rec); }

bool ZnFom::hasSynchronizationPoint(const ZnSynchronizationPointsType* rec) const {
    return rec && syncPoints_.find(rec->label);
}
void ZnFom::addSynchronizationPoint(ZnSynchronizationPointsType* rec) { syncPoints_.add(rec); }

bool ZnFom::hasTransportation(const ZnTransportationType* rec) const {
    return rec && transportations_.find(rec->name);
}

void ZnFom::addTransportation(ZnTransportationType* rec) {
    if (!rec) return;
    std::string name = rec->name.std();
    bool known = transportations_.find(rec->name) != nullptr;
    transportations_.add(rec);  // takes the record, duplicate or not
    if (known || transportCodes_.count(name)) return;
    int code = name == "HLAbestEffort" ? ZnTransportBestEffort
               : name == "HLAreliable" ? ZnTransportReliable
                                       : nextTransportCode_++;
    transportCodes_.emplace(name, code);
}

ZnTransportType ZnFom::transportTypeOf(const ZnTransportationType* rec) const {
    if (!rec) return ZnTransportNone;
    const int* code = lookup(transportCodes_, rec->name.c_str());
    return code ? static_cast<ZnTransportType>(*code) : ZnTransportNone;
}

bool ZnFom::hasUserSuppliedTag(const ZnUserSuppliedTagsType* rec) const {
    return rec && tags_.find(rec->name);
}
void ZnFom::addUserSuppliedTag(ZnUserSuppliedTagsType* rec) { tags_.add(rec); }

bool ZnFom::hasNote(const ZnNotesType* rec) const { return rec && notes_.find(rec->name); }
void ZnFom::addNote(ZnNotesType* rec) { notes_.add(rec); }

bool ZnFom::hasSwitch(const ZnString& name) const { return switchTable_.count(name) != 0; }

bool ZnFom::switchValue(const ZnString& name) const {
    auto it = switchTable_.find(name);
    if (it != switchTable_.end()) return it->second;
    const pxsdetail::switches::Switch* known = pxsdetail::switches::find(name.c_str());
    return known && known->fallback && name == known->name && known->fallback();
}

void ZnFom::setSwitch(const ZnString& name, bool on) { switchTable_[name] = on; }

bool ZnFom::hasTime(const ZnTimeType* rec) const { return rec && times_.find(rec->name); }
void ZnFom::addTime(ZnTimeType* rec) { times_.add(rec); }

void ZnFom::setModuleName(const char* name) { modules_.push_back(Module{ZnString(name), {}}); }

void ZnFom::setModuleDependencies(const std::vector<ZnString>& dependencies) {
    if (modules_.empty()) modules_.emplace_back();
    modules_.back().dependencies = dependencies;
}

void ZnFom::addBasicDataRepresentation(ZnBasicDataRepresentationType* rec) { basics_.add(rec); }
void ZnFom::addSimpleDatatype(ZnSimpleDatatypeType* rec) { simples_.add(rec); }
void ZnFom::addArrayDatatype(ZnArrayDatatypeType* rec) { arrays_.add(rec); }
void ZnFom::addEnumeratedDatatype(ZnEnumeratedDatatypeType* rec) { enumerateds_.add(rec); }
void ZnFom::addFixedRecordDatatype(ZnFixedRecordDatatypeType* rec) { fixedRecords_.add(rec); }
void ZnFom::addVariantRecordDatatype(ZnVariantRecordDatatypeType* rec) {
    variantRecords_.add(rec);
}

bool ZnFom::hasBasicDataRepresentation(const ZnBasicDataRepresentationType* rec) const {
    return rec && basics_.find(rec->name);
}
bool ZnFom::hasSimpleDatatype(const ZnSimpleDatatypeType* rec) const {
    return rec && simples_.find(rec->name);
}
bool ZnFom::hasEnumeratedDatatype(const ZnEnumeratedDatatypeType* rec) const {
    return rec && enumerateds_.find(rec->name);
}
bool ZnFom::hasArrayDatatype(const ZnArrayDatatypeType* rec) const {
    return rec && arrays_.find(rec->name);
}
bool ZnFom::hasFixedRecordDatatype(const ZnFixedRecordDatatypeType* rec) const {
    return rec && fixedRecords_.find(rec->name);
}
bool ZnFom::hasVariantRecordDatatype(const ZnVariantRecordDatatypeType* rec) const {
    return rec && variantRecords_.find(rec->name);
}

void ZnFom::addPendingAttributeTransportation(const ZnTransportationType* rec,
                                              const ZnString& className,
                                              const ZnString& attribute) {
    if (rec) pending_.push_back(PendingTransportation{rec->name, className, attribute});
}

void ZnFom::addPendingInteractionTransportation(const ZnTransportationType* rec,
                                                const ZnString& className) {
    if (rec) pending_.push_back(PendingTransportation{rec->name, className, ZnString()});
}
