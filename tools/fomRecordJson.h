// fomRecordJson.h -- the object-model table records (transportations, data
// types, notes, ...) as JSON objects, fields in declaration order. Shared by
// the trace and by the --json document, so a record looks the same in both.
//
// Part of the pxs-fom program only.

#ifndef TOOLS_FOMRECORDJSON_H
#define TOOLS_FOMRECORDJSON_H

#include <pxs/pxs.h>

#include "fomJsonWriter.h"

namespace fomtool {

void write(Json& j, const ZnTransportationType& r);
void write(Json& j, const ZnTimeType& r);
void write(Json& j, const ZnSynchronizationPointsType& r);
void write(Json& j, const ZnUserSuppliedTagsType& r);
void write(Json& j, const ZnNotesType& r);
void write(Json& j, const ZnUpdateRateType& r);
void write(Json& j, const ZnBasicDataRepresentationType& r);
void write(Json& j, const ZnSimpleDatatypeType& r);
void write(Json& j, const ZnArrayDatatypeType& r);
void write(Json& j, const ZnEnumeratorType& r);
void write(Json& j, const ZnFieldType& r);
void write(Json& j, const ZnAlternativeType& r);
// Item sets (enumerators, fields, alternatives) come out sorted by content:
// the sets are ordered by pointer, which changes from run to run.
void write(Json& j, const ZnEnumeratedDatatypeType& r);
void write(Json& j, const ZnFixedRecordDatatypeType& r);
void write(Json& j, const ZnVariantRecordDatatypeType& r);

// The record, or null for a null pointer.
template <class Rec>
void writeRecord(Json& j, const Rec* rec) {
    if (rec)
        write(j, *rec);
    else
        j.null();
}

}  // namespace fomtool

#endif
