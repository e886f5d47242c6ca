// znFedTargetDetails.h -- what the full IEEE 1516-2000 and HLA Evolved
// readers can tell a receiver beyond the ZnFedTarget calls: where each
// definition stands, the data types of members, the class properties
// ZnFedTarget has no room for, and the records a file states again.
//
// A receiver opts in by deriving from this class as well as from
// ZnFedTarget; a reader finds it once per read with dynamic_cast and, when
// it is absent, reads exactly as it would without it. Every call comes
// right beside the ZnFedTarget call it belongs to, in file order. Name
// strings and records are only valid during the call; records stay the
// reader's.
//
// A receiver may end a read: while stopReason() answers a text, the reader
// stops at its next delivery and the read ends with ZnFedReadFailed and
// that text as the reader's last error.

#ifndef UTIL_ZNFEDTARGETDETAILS_H
#define UTIL_ZNFEDTARGETDETAILS_H

#include <util/znFedTarget.h>
#include <util/znString.h>

// The properties of an attribute its file may state or leave out.
enum ZnMemberProperty : unsigned {
    ZnMemberTransportation = 1u << 0,
    ZnMemberOrder = 1u << 1,
    ZnMemberSharing = 1u << 2,
    ZnMemberOwnership = 1u << 3,
    ZnMemberUpdateType = 1u << 4,
    ZnMemberUpdateCondition = 1u << 5,
};

class ZnFedTargetDetails {
public:
    virtual ~ZnFedTargetDetails();

    // Comes before each class, attribute, parameter, dimension,
    // transportation, update rate and data type: `file` is the name the
    // reader was given, `line` the element's line (0 when unknown).
    virtual void definitionSource(const char* file, int line) = 0;
    // The data type a member names, after the member's add call; members
    // without one have no call.
    virtual void attributeDataType(const ZnString& className, const ZnString& attribute,
                                   const ZnString& dataType) = 0;
    virtual void parameterDataType(const ZnString& className, const ZnString& parameter,
                                   const ZnString& dataType) = 0;
    // Which properties (ZnMemberProperty bits) the file states for the
    // attribute whose addAttribute call comes next: addAttribute passes a
    // default for each one left out, which a receiver comparing two
    // statements must not take for a statement.
    virtual void attributeProperties(unsigned given) { (void)given; }
    // After a class was accepted, under the name it was accepted with.
    // `semantics` is empty when the file gives none.
    virtual void classDetails(const ZnString& className, bool interaction,
                              ZnSharingType_enum sharing, const ZnString& semantics) = 0;

    // A record whose name the target already holds (its has... answered
    // true): the reader frees it after this call.
    virtual void restated(const ZnTransportationType&) {}
    virtual void restated(const ZnUpdateRateType&) {}
    virtual void restated(const ZnBasicDataRepresentationType&) {}
    virtual void restated(const ZnSimpleDatatypeType&) {}
    virtual void restated(const ZnArrayDatatypeType&) {}
    virtual void restated(const ZnEnumeratedDatatypeType&) {}
    virtual void restated(const ZnFixedRecordDatatypeType&) {}
    virtual void restated(const ZnVariantRecordDatatypeType&) {}
    virtual void restated(const ZnTimeType&) {}
    virtual void restated(const ZnSynchronizationPointsType&) {}
    virtual void restated(const ZnUserSuppliedTagsType&) {}
    virtual void restated(const ZnNotesType&) {}

    // Null while the read may go on.
    virtual const char* stopReason() const { return nullptr; }
};

#endif
