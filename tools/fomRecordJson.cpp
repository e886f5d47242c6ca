// fomRecordJson.cpp -- table records as JSON objects. Field names are the
// record members' names; item sets are sorted so that two runs over the
// same file write the same bytes.

#include "fomRecordJson.h"

#include <algorithm>
#include <set>
#include <tuple>
#include <vector>

namespace fomtool {

void write(Json& j, const ZnTransportationType& r) {
    j.beginObject().key("name").value(r.name).key("description").value(r.description);
    j.key("reliable").boolean(r.reliable).key("semantics").value(r.semantics).endObject();
}
void write(Json& j, const ZnTimeType& r) {
    j.beginObject().key("name").value(r.name).key("dataType").value(r.dataType);
    j.key("semantics").value(r.semantics).endObject();
}
void write(Json& j, const ZnSynchronizationPointsType& r) {
    j.beginObject().key("label").value(r.label).key("dataType").value(r.dataType);
    j.key("capability").number(r.capability).key("semantics").value(r.semantics).endObject();
}
void write(Json& j, const ZnUserSuppliedTagsType& r) {
    j.beginObject().key("name").value(r.name).key("dataType").value(r.dataType);
    j.key("semantics").value(r.semantics).endObject();
}
void write(Json& j, const ZnNotesType& r) {
    j.beginObject().key("name").value(r.name).key("semantics").value(r.semantics).endObject();
}
void write(Json& j, const ZnUpdateRateType& r) {
    j.beginObject().key("name").value(r.name).key("rate").real(r.rate);
    j.key("semantics").value(r.semantics).endObject();
}
void write(Json& j, const ZnBasicDataRepresentationType& r) {
    j.beginObject().key("name").value(r.name).key("size").unsignedNumber(r.size);
    j.key("interpretation").value(r.interpretation).key("endian").number(r.endian);
    j.key("encoding").value(r.encoding).endObject();
}
void write(Json& j, const ZnSimpleDatatypeType& r) {
    j.beginObject().key("name").value(r.name).key("representation").value(r.representation);
    j.key("units").value(r.units).key("resolution").value(r.resolution);
    j.key("accuracy").value(r.accuracy).key("semantics").value(r.semantics).endObject();
}
void write(Json& j, const ZnArrayDatatypeType& r) {
    j.beginObject().key("name").value(r.name).key("dataType").value(r.dataType);
    j.key("cardinality").value(r.cardinality).key("encoding").value(r.encoding);
    j.key("semantics").value(r.semantics).endObject();
}
void write(Json& j, const ZnEnumeratorType& r) {
    j.beginObject().key("name").value(r.name).key("values").value(r.values).endObject();
}
void write(Json& j, const ZnFieldType& r) {
    j.beginObject().key("name").value(r.name).key("dataType").value(r.dataType);
    j.key("semantics").value(r.semantics).endObject();
}
void write(Json& j, const ZnAlternativeType& r) {
    j.beginObject().key("enumerator").value(r.enumerator).key("name").value(r.name);
    j.key("dataType").value(r.dataType).key("semantics").value(r.semantics).endObject();
}

namespace {

// Item sets are ordered by pointer identity; print them sorted by content.
template <class Item, class Less>
void writeItems(Json& j, const std::set<boost::shared_ptr<Item>>& items, Less less) {
    std::vector<const Item*> sorted;
    for (const auto& item : items) sorted.push_back(item.get());
    std::sort(sorted.begin(), sorted.end(),
              [&](const Item* a, const Item* b) { return less(*a, *b); });
    j.beginArray();
    for (const Item* item : sorted) write(j, *item);
    j.endArray();
}

bool byName(const ZnEnumeratorType& a, const ZnEnumeratorType& b) {
    return std::tie(a.name, a.values) < std::tie(b.name, b.values);
}
bool byFieldName(const ZnFieldType& a, const ZnFieldType& b) {
    return std::tie(a.name, a.dataType, a.semantics) < std::tie(b.name, b.dataType, b.semantics);
}
bool byEnumerator(const ZnAlternativeType& a, const ZnAlternativeType& b) {
    return std::tie(a.enumerator, a.name, a.dataType, a.semantics) <
           std::tie(b.enumerator, b.name, b.dataType, b.semantics);
}

}  // namespace

void write(Json& j, const ZnEnumeratedDatatypeType& r) {
    j.beginObject().key("name").value(r.name).key("representation").value(r.representation);
    j.key("enumerators");
    writeItems(j, r.enumerators, byName);
    j.key("semantics").value(r.semantics).endObject();
}
void write(Json& j, const ZnFixedRecordDatatypeType& r) {
    j.beginObject().key("name").value(r.name).key("encoding").value(r.encoding);
    j.key("semantics").value(r.semantics).key("fields");
    writeItems(j, r.fields, byFieldName);
    j.endObject();
}
void write(Json& j, const ZnVariantRecordDatatypeType& r) {
    j.beginObject().key("name").value(r.name).key("discriminant").value(r.discriminant);
    j.key("dataType").value(r.dataType).key("alternatives");
    writeItems(j, r.alternatives, byEnumerator);
    j.key("encoding").value(r.encoding).key("semantics").value(r.semantics).endObject();
}

}  // namespace fomtool
