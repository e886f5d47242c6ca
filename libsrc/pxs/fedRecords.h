// fedRecords.h -- the records in which the object-model readers hand the
// record tables of a file (transportations, time, synchronization points,
// tags, notes, update rates and the six data type tables) to a ZnFedTarget.
//
// Plain values: every text field starts empty and every number at 0. A
// reader allocates a table record with new and passes it to the target's
// add... operation, which takes it over. Item records (enumerators, fields,
// alternatives) belong to their parent through shared pointers; their sets
// are ordered by the pointers' owner identity, not by document order, so a
// receiver that needs a stable order sorts them itself.

#ifndef PXS_FEDRECORDS_H
#define PXS_FEDRECORDS_H

#include <set>

#include <boost/shared_ptr.hpp>

#include <util/znFedTarget.h>
#include <util/znString.h>

class ZnTransportationType {
public:
    ZnString name;
    ZnString description;
    bool reliable = false;
    ZnString semantics;
};

class ZnTimeType {
public:
    ZnString name;  // the element name: "timeStamp" or "lookahead"
    ZnString dataType;
    ZnString semantics;
};

class ZnSynchronizationPointsType {
public:
    ZnString label;
    ZnString dataType;
    // 0 not given, 1 Register, 2 Achieve, 3 RegisterAchieve, 4 NoSynch, 5 other.
    int capability = 0;
    ZnString semantics;
};

class ZnUserSuppliedTagsType {
public:
    ZnString name;  // the element name of the tag
    ZnString dataType;
    ZnString semantics;
};

class ZnNotesType {
public:
    ZnString name;
    ZnString semantics;
};

class ZnUpdateRateType {
public:
    ZnString name;
    float rate = 0.0f;
    ZnString semantics;
};

class ZnBasicDataRepresentationType {
public:
    ZnString name;
    uint32_t size = 0;
    ZnString interpretation;
    int endian = 0;  // 0 not given, 1 Big, 2 Little
    ZnString encoding;
};

class ZnSimpleDatatypeType {
public:
    ZnString name;
    ZnString representation;
    ZnString units;
    ZnString resolution;
    ZnString accuracy;
    ZnString semantics;
};

class ZnArrayDatatypeType {
public:
    ZnString name;
    ZnString dataType;
    ZnString cardinality;
    ZnString encoding;
    ZnString semantics;
};

class ZnEnumeratorType {
public:
    ZnString name;
    ZnString values;
};

class ZnEnumeratedDatatypeType {
public:
    ZnString name;
    ZnString representation;
    std::set<boost::shared_ptr<ZnEnumeratorType>> enumerators;
    ZnString semantics;
};

class ZnFieldType {
public:
    ZnString name;
    ZnString dataType;
    ZnString semantics;
};

class ZnFixedRecordDatatypeType {
public:
    ZnString name;
    ZnString encoding;
    ZnString semantics;
    std::set<boost::shared_ptr<ZnFieldType>> fields;
};

class ZnAlternativeType {
public:
    ZnString enumerator;
    ZnString name;
    ZnString dataType;
    ZnString semantics;
};

class ZnVariantRecordDatatypeType {
public:
    ZnString name;
    ZnString discriminant;
    ZnString dataType;
    std::set<boost::shared_ptr<ZnAlternativeType>> alternatives;
    ZnString encoding;
    ZnString semantics;
};

#endif
