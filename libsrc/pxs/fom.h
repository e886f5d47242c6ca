// fom.h -- ZnFom, the library's own in-memory object model: a ZnFedTarget
// that stores what the readers deliver and answers questions about it. One
// ZnFom may receive several files in a row (FOM modules, or an HLA 1.3 file
// after an IEEE 1516 one); it merges them by name.
//
//     ZnFom fom;
//     ZnFedReader1516 reader;
//     reader.readFed("model.fdd", &fom, 0, false, false);
//     for (const ZnFom::ObjectClass& cls : fom.objectClasses())
//         std::cout << cls.name << " (" << cls.attributes.size() << " attributes)\n";
//
// Acceptance rules the readers rely on: a class is accepted when its parent
// is known, or as a root when no root of its kind exists yet or it names the
// existing root. So a model holding "ObjectRoot" refuses "HLAobjectRoot",
// which is what makes a reader retry under the replacement root. Offering a
// class again under the same parent is accepted and changes nothing; members
// (attributes, parameters, dimensions) and records keep their first
// definition.

#ifndef PXS_FOM_H
#define PXS_FOM_H

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <pxs/fedRecords.h>
#include <util/znFedTarget.h>
#include <util/znString.h>

class ZnFom : public ZnFedTarget {
public:
    struct Attribute {
        ZnString name;
        ZnTransportType transport = ZnTransportNone;
        ZnOrderType order = ZnOrderNone;
        ZnSharingType_enum sharing = ZnSharingPublishSubscribe;
        ZnFomUpdateType_enum updateType = ZnUpdateNA;
        ZnString updateCondition;
        ZnOwnershipType_enum ownership = ZnOwnershipNoTransfer;
        ZnString semantics;
        ZnString space;  // HLA 1.3 routing space, empty when none
        std::vector<ZnString> dimensions;
    };
    struct ObjectClass {
        ZnString name;    // full dotted name
        ZnString parent;  // full name of the parent, empty for the root
        std::vector<Attribute> attributes;
    };
    struct InteractionClass {
        ZnString name;
        ZnString parent;
        ZnTransportType transport = ZnTransportNone;
        ZnOrderType order = ZnOrderNone;
        ZnString space;
        std::vector<ZnString> parameters;
        std::vector<ZnString> dimensions;
    };
    struct Dimension {
        ZnString name;
        uint64_t upperBound = 0;
        uint64_t lower = 0;
        uint64_t upper = 0;
        bool excluded = false;
        ZnString normalization;
    };
    struct Space {
        ZnString name;
        std::vector<ZnString> dimensions;
    };
    struct Module {
        ZnString name;
        std::vector<ZnString> dependencies;
    };
    // A user transportation named by a member before it was declared.
    struct PendingTransportation {
        ZnString transportation;
        ZnString className;
        ZnString attribute;  // empty for an interaction class
    };

    // Records of one kind in the order they were added, looked up by name
    // (synchronization points by label).
    template <class Rec>
    class RecordTable {
    public:
        size_t size() const { return records_.size(); }
        bool empty() const { return records_.empty(); }
        const Rec& operator[](size_t i) const { return *records_[i]; }
        // The record named `key`; null when none.
        const Rec* find(const ZnString& key) const {
            auto it = index_.find(key.std());
            return it == index_.end() ? nullptr : records_[it->second].get();
        }

    private:
        friend class ZnFom;
        // Takes `rec` over; a second record of a known name is freed.
        void add(Rec* rec);

        std::vector<std::unique_ptr<Rec>> records_;
        std::unordered_map<std::string, size_t> index_;
    };

    ZnFom();
    ~ZnFom() override;
    ZnFom(const ZnFom&) = delete;
    ZnFom& operator=(const ZnFom&) = delete;

    // --- Queries (read-only view of what was delivered).
    const std::vector<ObjectClass>& objectClasses() const { return objectClasses_; }
    const std::vector<InteractionClass>& interactionClasses() const { return interactionClasses_; }
    // The class of that full name; null when none.
    const ObjectClass* objectClass(const ZnString& name) const;
    const InteractionClass* interactionClass(const ZnString& name) const;
    // The root's full name; empty when there is none yet.
    const ZnString& objectRoot() const { return objectRoot_; }
    const ZnString& interactionRoot() const { return interactionRoot_; }
    const std::vector<Dimension>& dimensions() const { return dimensions_; }
    // The dimension of that name; null when none.
    const Dimension* dimension(const ZnString& name) const;
    const std::vector<Space>& spaces() const { return spaces_; }
    const std::vector<Module>& modules() const { return modules_; }
    const std::vector<PendingTransportation>& pendingTransportations() const {
        return pending_;
    }
    // Switches set by name, in name order.
    const std::map<ZnString, bool>& switchTable() const { return switchTable_; }

    const RecordTable<ZnTransportationType>& transportations() const { return transportations_; }
    const RecordTable<ZnTimeType>& times() const { return times_; }
    const RecordTable<ZnSynchronizationPointsType>& synchronizationPoints() const {
        return syncPoints_;
    }
    const RecordTable<ZnUserSuppliedTagsType>& userSuppliedTags() const { return tags_; }
    const RecordTable<ZnNotesType>& notes() const { return notes_; }
    const RecordTable<ZnUpdateRateType>& updateRates() const { return updateRates_; }
    const RecordTable<ZnBasicDataRepresentationType>& basicDataRepresentations() const {
        return basics_;
    }
    const RecordTable<ZnSimpleDatatypeType>& simpleDatatypes() const { return simples_; }
    const RecordTable<ZnArrayDatatypeType>& arrayDatatypes() const { return arrays_; }
    const RecordTable<ZnEnumeratedDatatypeType>& enumeratedDatatypes() const {
        return enumerateds_;
    }
    const RecordTable<ZnFixedRecordDatatypeType>& fixedRecordDatatypes() const {
        return fixedRecords_;
    }
    const RecordTable<ZnVariantRecordDatatypeType>& variantRecordDatatypes() const {
        return variantRecords_;
    }

    // --- ZnFedTarget
    void setFomType(ZnFomType type) override;
    ZnFomType fomType() const override;
    void addSpace(const char* space) override;
    void addSpaceDimension(const char* space, const char* dimension) override;
    void addDimension(const char* name, uint64_t upperBound, uint64_t lower, uint64_t upper,
                      bool excluded, ZnString* normalization) override;
    bool addInteractionClass(const char* name, const char* parent, ZnTransportType transport,
                             ZnOrderType order, const char* space) override;
    void addParameter(const char* className, const char* parameter) override;
    // False unless both the class and the dimension are known.
    bool addInteractionDimension(const char* className, const char* dimension) override;
    bool addObjectClass(const char* name, const char* parent) override;
    void addAttribute(const char* className, const char* attribute, ZnTransportType transport,
                      ZnOrderType order, ZnSharingType_enum sharing,
                      ZnFomUpdateType_enum updateType, ZnString* updateCondition,
                      ZnOwnershipType_enum ownership, ZnString* semantics,
                      const void* reserved) override;
    void addSpaceAttribute(const char* className, const char* attribute,
                           ZnTransportType transport, ZnOrderType order,
                           const char* space) override;
    // False unless the class, the attribute and the dimension are known.
    bool addAttributeDimension(const char* className, const char* attribute,
                               const char* dimension) override;

    bool autoProvide() const override { return autoProvide_; }
    void setAutoProvide(bool on) override { autoProvide_ = on; }
    bool conveyRegionDesignatorSets() const override { return conveyRegionDesignatorSets_; }
    void setConveyRegionDesignatorSets(bool on) override { conveyRegionDesignatorSets_ = on; }
    bool conveyProducingFederate() const override { return conveyProducingFederate_; }
    void setConveyProducingFederate(bool on) override { conveyProducingFederate_ = on; }
    bool attributeScopeAdvisory() const override { return attributeScopeAdvisory_; }
    void setAttributeScopeAdvisory(bool on) override { attributeScopeAdvisory_ = on; }
    bool attributeRelevanceAdvisory() const override { return attributeRelevanceAdvisory_; }
    void setAttributeRelevanceAdvisory(bool on) override { attributeRelevanceAdvisory_ = on; }
    bool objectClassRelevanceAdvisory() const override { return objectClassRelevanceAdvisory_; }
    void setObjectClassRelevanceAdvisory(bool on) override { objectClassRelevanceAdvisory_ = on; }
    bool interactionRelevanceAdvisory() const override { return interactionRelevanceAdvisory_; }
    void setInteractionRelevanceAdvisory(bool on) override { interactionRelevanceAdvisory_ = on; }
    bool serviceReporting() const override { return serviceReporting_; }
    void setServiceReporting(bool on) override { serviceReporting_ = on; }
    bool exceptionReporting() const override { return exceptionReporting_; }
    void setExceptionReporting(bool on) override { exceptionReporting_ = on; }
    bool delaySubscriptionEvaluation() const override { return delaySubscriptionEvaluation_; }
    void setDelaySubscriptionEvaluation(bool on) override { delaySubscriptionEvaluation_ = on; }
    int automaticResignAction() const override { return automaticResignAction_; }
    void setAutomaticResignAction(int code) override { automaticResignAction_ = code; }

    bool hasUpdateRate(const ZnUpdateRateType* rec) const override;
    void addUpdateRate(ZnUpdateRateType* rec) override;
    bool hasSynchronizationPoint(const ZnSynchronizationPointsType* rec) const override;
    void addSynchronizationPoint(ZnSynchronizationPointsType* rec) override;
    bool hasTransportation(const ZnTransportationType* rec) const override;
    // HLAbestEffort 0, HLAreliable 1, user transportations 2, 3, ... in the
    // order they were added.
    void addTransportation(ZnTransportationType* rec) override;
    ZnTransportType transportTypeOf(const ZnTransportationType* rec) const override;
    bool hasUserSuppliedTag(const ZnUserSuppliedTagsType* rec) const override;
    void addUserSuppliedTag(ZnUserSuppliedTagsType* rec) override;
    bool hasNote(const ZnNotesType* rec) const override;
    void addNote(ZnNotesType* rec) override;
    bool hasSwitch(const ZnString& name) const override;
    // A switch not in the table answers with its default (false for names
    // that have none).
    bool switchValue(const ZnString& name) const override;
    void setSwitch(const ZnString& name, bool on) override;
    bool hasTime(const ZnTimeType* rec) const override;
    void addTime(ZnTimeType* rec) override;
    // Each name opens a module entry; dependencies go to the latest one.
    void setModuleName(const char* name) override;
    void setModuleDependencies(const std::vector<ZnString>& dependencies) override;
    void addBasicDataRepresentation(ZnBasicDataRepresentationType* rec) override;
    void addSimpleDatatype(ZnSimpleDatatypeType* rec) override;
    void addArrayDatatype(ZnArrayDatatypeType* rec) override;
    void addEnumeratedDatatype(ZnEnumeratedDatatypeType* rec) override;
    void addFixedRecordDatatype(ZnFixedRecordDatatypeType* rec) override;
    void addVariantRecordDatatype(ZnVariantRecordDatatypeType* rec) override;
    bool hasBasicDataRepresentation(const ZnBasicDataRepresentationType* rec) const override;
    bool hasSimpleDatatype(const ZnSimpleDatatypeType* rec) const override;
    bool hasEnumeratedDatatype(const ZnEnumeratedDatatypeType* rec) const override;
    bool hasArrayDatatype(const ZnArrayDatatypeType* rec) const override;
    bool hasFixedRecordDatatype(const ZnFixedRecordDatatypeType* rec) const override;
    bool hasVariantRecordDatatype(const ZnVariantRecordDatatypeType* rec) const override;
    void addPendingAttributeTransportation(const ZnTransportationType* rec,
                                           const ZnString& className,
                                           const ZnString& attribute) override;
    void addPendingInteractionTransportation(const ZnTransportationType* rec,
                                             const ZnString& className) override;

protected:
    // For receivers built on ZnFom that decide themselves which definition
    // of a class counts; null when there is no such class.
    InteractionClass* storedInteractionClass(const ZnString& name) {
        return findInteractionClass(name.c_str());
    }
    // Where the class of that full name stands in objectClasses() or
    // interactionClasses(), for receivers that keep more per class;
    // SIZE_MAX when there is none. Asking again for the class asked for
    // last costs one comparison, as members arrive class by class.
    size_t objectClassPosition(const char* name) {
        const ObjectClass* cls = findObjectClass(name);
        return cls ? static_cast<size_t>(cls - objectClasses_.data()) : SIZE_MAX;
    }
    size_t interactionClassPosition(const char* name) {
        const InteractionClass* cls = findInteractionClass(name);
        return cls ? static_cast<size_t>(cls - interactionClasses_.data()) : SIZE_MAX;
    }
    // Where the attribute of that name stands in the class's list; SIZE_MAX
    // when the class has none.
    size_t attributePosition(const ObjectClass& cls, const char* name) const;

private:
    // Names of members of one class, indexed once the class grows past a
    // few members so that large classes stay linear to fill.
    struct MemberIndex {
        std::unordered_map<std::string, size_t> positions;
    };

    template <class Rec>
    static const ZnString& keyOf(const Rec& rec) {
        return rec.name;
    }
    static const ZnString& keyOf(const ZnSynchronizationPointsType& rec) { return rec.label; }

    ObjectClass* findObjectClass(const char* name);
    InteractionClass* findInteractionClass(const char* name);
    Attribute* findAttribute(ObjectClass& cls, const char* name);
    Attribute* addAttributeEntry(const char* className, const char* attribute);

    ZnFomType fomType_ = ZnFomUnknown;
    std::vector<ObjectClass> objectClasses_;
    std::unordered_map<std::string, size_t> objectIndex_;
    std::vector<MemberIndex> attributeIndex_;  // parallel to objectClasses_
    size_t lastObjectClass_ = SIZE_MAX;        // attributes arrive class by class
    std::vector<InteractionClass> interactionClasses_;
    std::unordered_map<std::string, size_t> interactionIndex_;
    size_t lastInteractionClass_ = SIZE_MAX;  // parameters arrive class by class
    ZnString objectRoot_;
    ZnString interactionRoot_;
    std::vector<Dimension> dimensions_;
    std::unordered_map<std::string, size_t> dimensionIndex_;
    std::vector<Space> spaces_;
    std::vector<Module> modules_;
    std::vector<PendingTransportation> pending_;
    std::map<ZnString, bool> switchTable_;
    std::unordered_map<std::string, int> transportCodes_;
    int nextTransportCode_ = 2;

    bool autoProvide_;
    bool conveyRegionDesignatorSets_;
    bool conveyProducingFederate_;
    bool attributeScopeAdvisory_;
    bool attributeRelevanceAdvisory_;
    bool objectClassRelevanceAdvisory_;
    bool interactionRelevanceAdvisory_;
    bool serviceReporting_;
    bool exceptionReporting_;
    bool delaySubscriptionEvaluation_ = false;
    int automaticResignAction_ = 6;  // CancelThenDeleteThenDivest

    RecordTable<ZnTransportationType> transportations_;
    RecordTable<ZnTimeType> times_;
    RecordTable<ZnSynchronizationPointsType> syncPoints_;
    RecordTable<ZnUserSuppliedTagsType> tags_;
    RecordTable<ZnNotesType> notes_;
    RecordTable<ZnUpdateRateType> updateRates_;
    RecordTable<ZnBasicDataRepresentationType> basics_;
    RecordTable<ZnSimpleDatatypeType> simples_;
    RecordTable<ZnArrayDatatypeType> arrays_;
    RecordTable<ZnEnumeratedDatatypeType> enumerateds_;
    RecordTable<ZnFixedRecordDatatypeType> fixedRecords_;
    RecordTable<ZnVariantRecordDatatypeType> variantRecords_;
};

template <class Rec>
void ZnFom::RecordTable<Rec>::add(Rec* rec) {
    std::unique_ptr<Rec> owned(rec);
    if (!owned) return;
    const std::string& key = ZnFom::keyOf(*owned).std();
    if (index_.count(key)) return;
    records_.push_back(std::move(owned));
    // Undo the push if the index cannot grow, so the two never disagree.
    try {
        index_.emplace(key, records_.size() - 1);
    } catch (...) {
        records_.pop_back();
        throw;
    }
}

#endif
