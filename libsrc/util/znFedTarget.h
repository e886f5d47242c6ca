// znFedTarget.h -- the receiver every object-model reader delivers into, and
// the value codes the readers pass it. The library never creates a receiver:
// callers implement this interface (or use the library's ZnFom) and hand it
// to a reader, which calls the operations below in file order.
//
// Ownership: a record passed to an add... operation of the record kinds
// (transportation, time, synchronization point, tag, note, update rate, data
// types) was allocated by the reader with new and becomes the receiver's. The
// reader deletes a record itself only when the matching has... returned true,
// so a receiver must answer has... by record name. Records passed to has...,
// transportTypeOf and the pending operations stay the reader's. Name strings
// are only valid during the call.
//
// The record classes are declared in <pxs/fedRecords.h>.

#ifndef UTIL_ZNFEDTARGET_H
#define UTIL_ZNFEDTARGET_H

#include <cstdint>
#include <vector>

#include <util/znString.h>

// Format of an object-model file.
enum ZnFomType : int32_t {
    ZnFomUnknown = 0,
    ZnFomHla13 = 1,
    ZnFom1516 = 2,
    ZnFomEvolved = 3
};

// Result of every read.
enum ZnFedReadStatus : uint32_t {
    ZnFedReadSuccess = 0,
    ZnFedReadNotOpened = 1,  // nothing was read
    ZnFedReadFailed = 2      // lastError() of the reader says why
};

// Codes above 1 name transportations an HLA Evolved module declares; they
// are made with static_cast from the receiver's own numbering.
enum ZnTransportType : int32_t {
    ZnTransportNone = -1,
    ZnTransportBestEffort = 0,
    ZnTransportReliable = 1
};

enum ZnOrderType : int32_t { ZnOrderNone = -1, ZnOrderReceive = 0, ZnOrderTimeStamp = 1 };

// 4 is what the HLA Evolved reader passes for a sharing text it does not know.
enum ZnSharingType_enum : int32_t {
    ZnSharingPublishSubscribe = 0,
    ZnSharingPublish = 1,
    ZnSharingSubscribe = 2,
    ZnSharingNeither = 3,
    ZnSharingInvalid = 4
};

enum ZnOwnershipType_enum : int32_t {
    ZnOwnershipDivest = 0,
    ZnOwnershipAcquire = 1,
    ZnOwnershipDivestAcquire = 2,
    ZnOwnershipNoTransfer = 3
};

enum ZnFomUpdateType_enum : int32_t {
    ZnUpdateStatic = 0,
    ZnUpdatePeriodic = 1,
    ZnUpdateConditional = 2,
    ZnUpdateNA = 3
};

class ZnTransportationType;
class ZnTimeType;
class ZnSynchronizationPointsType;
class ZnUserSuppliedTagsType;
class ZnNotesType;
class ZnUpdateRateType;
class ZnBasicDataRepresentationType;
class ZnSimpleDatatypeType;
class ZnArrayDatatypeType;
class ZnEnumeratedDatatypeType;
class ZnFixedRecordDatatypeType;
class ZnVariantRecordDatatypeType;

// The operations are declared in the order the readers rely on; a "parent"
// argument is null for a root class.
class ZnFedTarget {
public:
    virtual ~ZnFedTarget();

    virtual void setFomType(ZnFomType type) = 0;
    virtual ZnFomType fomType() const = 0;

    // HLA 1.3 routing spaces.
    virtual void addSpace(const char* space) = 0;
    virtual void addSpaceDimension(const char* space, const char* dimension) = 0;

    virtual void addDimension(const char* name, uint64_t upperBound, uint64_t lower,
                              uint64_t upper, bool excluded, ZnString* normalization) = 0;
    // True when the class was accepted.
    virtual bool addInteractionClass(const char* name, const char* parent,
                                     ZnTransportType transport, ZnOrderType order,
                                     const char* space) = 0;
    virtual void addParameter(const char* className, const char* parameter) = 0;
    // True on success.
    virtual bool addInteractionDimension(const char* className, const char* dimension) = 0;
    // True when the class was accepted.
    virtual bool addObjectClass(const char* name, const char* parent) = 0;
    // `reserved` is always null.
    virtual void addAttribute(const char* className, const char* attribute,
                              ZnTransportType transport, ZnOrderType order,
                              ZnSharingType_enum sharing, ZnFomUpdateType_enum updateType,
                              ZnString* updateCondition, ZnOwnershipType_enum ownership,
                              ZnString* semantics, const void* reserved) = 0;
    virtual void addSpaceAttribute(const char* className, const char* attribute,
                                   ZnTransportType transport, ZnOrderType order,
                                   const char* space) = 0;
    // True on success.
    virtual bool addAttributeDimension(const char* className, const char* attribute,
                                       const char* dimension) = 0;

    // Switches: each setter follows its getter.
    virtual bool autoProvide() const = 0;
    virtual void setAutoProvide(bool on) = 0;
    virtual bool conveyRegionDesignatorSets() const = 0;
    virtual void setConveyRegionDesignatorSets(bool on) = 0;
    virtual bool conveyProducingFederate() const = 0;
    virtual void setConveyProducingFederate(bool on) = 0;
    virtual bool attributeScopeAdvisory() const = 0;
    virtual void setAttributeScopeAdvisory(bool on) = 0;
    virtual bool attributeRelevanceAdvisory() const = 0;
    virtual void setAttributeRelevanceAdvisory(bool on) = 0;
    virtual bool objectClassRelevanceAdvisory() const = 0;
    virtual void setObjectClassRelevanceAdvisory(bool on) = 0;
    virtual bool interactionRelevanceAdvisory() const = 0;
    virtual void setInteractionRelevanceAdvisory(bool on) = 0;
    virtual bool serviceReporting() const = 0;
    virtual void setServiceReporting(bool on) = 0;
    virtual bool exceptionReporting() const = 0;
    virtual void setExceptionReporting(bool on) = 0;
    virtual bool delaySubscriptionEvaluation() const = 0;
    virtual void setDelaySubscriptionEvaluation(bool on) = 0;
    // Codes: 1 UnconditionallyDivestAttributes, 2 DeleteObjects,
    // 3 DeleteObjectsThenDivest, 4 NoAction, 5 CancelPendingOwnershipAcquisitions,
    // 6 CancelThenDeleteThenDivest.
    virtual int automaticResignAction() const = 0;
    virtual void setAutomaticResignAction(int code) = 0;

    // Record tables: has... is true when a record of that name exists.
    virtual bool hasUpdateRate(const ZnUpdateRateType* rec) const = 0;
    virtual void addUpdateRate(ZnUpdateRateType* rec) = 0;
    virtual bool hasSynchronizationPoint(const ZnSynchronizationPointsType* rec) const = 0;
    virtual void addSynchronizationPoint(ZnSynchronizationPointsType* rec) = 0;
    virtual bool hasTransportation(const ZnTransportationType* rec) const = 0;
    virtual void addTransportation(ZnTransportationType* rec) = 0;
    // Code of a known transportation; ZnTransportNone when unknown.
    virtual ZnTransportType transportTypeOf(const ZnTransportationType* rec) const = 0;
    virtual bool hasUserSuppliedTag(const ZnUserSuppliedTagsType* rec) const = 0;
    virtual void addUserSuppliedTag(ZnUserSuppliedTagsType* rec) = 0;
    virtual bool hasNote(const ZnNotesType* rec) const = 0;
    virtual void addNote(ZnNotesType* rec) = 0;
    virtual bool hasSwitch(const ZnString& name) const = 0;
    // Value of a switch; false when it is unknown.
    virtual bool switchValue(const ZnString& name) const = 0;
    virtual void setSwitch(const ZnString& name, bool on) = 0;
    virtual bool hasTime(const ZnTimeType* rec) const = 0;
    virtual void addTime(ZnTimeType* rec) = 0;

    // HLA Evolved module identification.
    virtual void setModuleName(const char* name) = 0;
    virtual void setModuleDependencies(const std::vector<ZnString>& dependencies) = 0;

    virtual void addBasicDataRepresentation(ZnBasicDataRepresentationType* rec) = 0;
    virtual void addSimpleDatatype(ZnSimpleDatatypeType* rec) = 0;
    virtual void addArrayDatatype(ZnArrayDatatypeType* rec) = 0;
    virtual void addEnumeratedDatatype(ZnEnumeratedDatatypeType* rec) = 0;
    virtual void addFixedRecordDatatype(ZnFixedRecordDatatypeType* rec) = 0;
    virtual void addVariantRecordDatatype(ZnVariantRecordDatatypeType* rec) = 0;
    virtual bool hasBasicDataRepresentation(const ZnBasicDataRepresentationType* rec) const = 0;
    virtual bool hasSimpleDatatype(const ZnSimpleDatatypeType* rec) const = 0;
    virtual bool hasEnumeratedDatatype(const ZnEnumeratedDatatypeType* rec) const = 0;
    virtual bool hasArrayDatatype(const ZnArrayDatatypeType* rec) const = 0;
    virtual bool hasFixedRecordDatatype(const ZnFixedRecordDatatypeType* rec) const = 0;
    virtual bool hasVariantRecordDatatype(const ZnVariantRecordDatatypeType* rec) const = 0;

    // A user transportation named before its declaration (HLA Evolved,
    // strict mode); the record stays the reader's.
    virtual void addPendingAttributeTransportation(const ZnTransportationType* rec,
                                                   const ZnString& className,
                                                   const ZnString& attribute) = 0;
    virtual void addPendingInteractionTransportation(const ZnTransportationType* rec,
                                                     const ZnString& className) = 0;

    // Switch values a read asked to use default switches installs.
    static bool defaultAutoProvide();
    static bool defaultConveyRegionDesignatorSets();
    static bool defaultAttributeScopeAdvisory();
    static bool defaultAttributeRelevanceAdvisory();
    static bool defaultObjectClassRelevanceAdvisory();
    static bool defaultInteractionRelevanceAdvisory();
    static bool defaultServiceReporting();
    static bool defaultExceptionReporting();
    static bool defaultConveyProducingFederate();
};

#endif
