// fddRecordProperties.h -- the record properties both XML forms name alike
// (simple, array, enumerated, fixed and variant record data types, record
// fields, user-supplied tags, time): one list each, read from attributes in
// the IEEE 1516-2000 form and from child elements in the 2010 form. The
// tables around them, with each form's messages, stay with the forms, which
// take these in with `using namespace record::shared`.
//
// Internal to the library.

#ifndef PXS_FDDRECORDPROPERTIES_H
#define PXS_FDDRECORDPROPERTIES_H

#include <pxs/fddRecordWalk.h>
#include <pxs/fedRecords.h>

namespace pxsdetail::fdd::record::shared {

inline const Property<ZnSimpleDatatypeType> kSimpleProperties[] = {
    {"name", &ZnSimpleDatatypeType::name, nullptr},
    {"representation", &ZnSimpleDatatypeType::representation, nullptr},
    {"units", &ZnSimpleDatatypeType::units, nullptr},
    {"resolution", &ZnSimpleDatatypeType::resolution, nullptr},
    {"accuracy", &ZnSimpleDatatypeType::accuracy, nullptr},
    {"semantics", &ZnSimpleDatatypeType::semantics, nullptr},
};
inline const char* const kSimpleElements[] = {"simpleData", nullptr};

inline const Property<ZnArrayDatatypeType> kArrayProperties[] = {
    {"name", &ZnArrayDatatypeType::name, nullptr},
    {"dataType", &ZnArrayDatatypeType::dataType, nullptr},
    {"cardinality", &ZnArrayDatatypeType::cardinality, nullptr},
    {"encoding", &ZnArrayDatatypeType::encoding, nullptr},
    {"semantics", &ZnArrayDatatypeType::semantics, nullptr},
};
inline const char* const kArrayElements[] = {"arrayData", nullptr};

inline const Property<ZnEnumeratedDatatypeType> kEnumeratedProperties[] = {
    {"name", &ZnEnumeratedDatatypeType::name, nullptr},
    {"representation", &ZnEnumeratedDatatypeType::representation, nullptr},
    {"semantics", &ZnEnumeratedDatatypeType::semantics, nullptr},
};
inline const char* const kEnumeratedElements[] = {"enumeratedData", nullptr};

inline const Property<ZnFixedRecordDatatypeType> kFixedProperties[] = {
    {"name", &ZnFixedRecordDatatypeType::name, nullptr},
    {"encoding", &ZnFixedRecordDatatypeType::encoding, nullptr},
    {"semantics", &ZnFixedRecordDatatypeType::semantics, nullptr},
};
inline const char* const kFixedElements[] = {"fixedRecordData", nullptr};

inline const Property<ZnVariantRecordDatatypeType> kVariantProperties[] = {
    {"name", &ZnVariantRecordDatatypeType::name, nullptr},
    {"discriminant", &ZnVariantRecordDatatypeType::discriminant, nullptr},
    {"dataType", &ZnVariantRecordDatatypeType::dataType, nullptr},
    {"encoding", &ZnVariantRecordDatatypeType::encoding, nullptr},
    {"semantics", &ZnVariantRecordDatatypeType::semantics, nullptr},
};
inline const char* const kVariantElements[] = {"variantRecordData", nullptr};

inline const Property<ZnUserSuppliedTagsType> kTagProperties[] = {
    {"dataType", &ZnUserSuppliedTagsType::dataType, nullptr},
    {"semantics", &ZnUserSuppliedTagsType::semantics, nullptr},
};

inline const Property<ZnTimeType> kTimeProperties[] = {
    {"dataType", &ZnTimeType::dataType, nullptr},
    {"semantics", &ZnTimeType::semantics, nullptr},
};
inline const char* const kTimeElements[] = {"timeStamp", "lookahead", nullptr};

inline const Property<ZnFieldType> kFieldProperties[] = {
    {"name", &ZnFieldType::name, nullptr},
    {"dataType", &ZnFieldType::dataType, nullptr},
    {"semantics", &ZnFieldType::semantics, nullptr},
};

}  // namespace pxsdetail::fdd::record::shared

#endif
