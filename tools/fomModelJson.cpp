// fomModelJson.cpp -- the model as one JSON document. Tables keep the order
// the model holds them in; item sets inside records are sorted (see
// fomRecordJson.h). Codes are written as the names --tree prints (and the
// object-model files use), so a reader of the document needs no table of
// numbers; the trace keeps the numbers, as the receiver sees them. What only
// a merge by rule knows (member data types, class sharing and semantics,
// where each definition stands) is null or empty without one.

#include "fomModelJson.h"

#include "fomJsonWriter.h"
#include "fomNames.h"
#include "fomRecordJson.h"

namespace fomtool {
namespace {

template <class Rec>
void writeTable(Json& j, const char* name, const ZnFom::RecordTable<Rec>& table) {
    j.key(name).beginArray();
    for (size_t i = 0; i < table.size(); ++i) write(j, table[i]);
    j.endArray();
}

// A class's sharing and semantics as its first declaration gave them.
void writeClassDetails(Json& j, const ZnFomMerge* merge, const ZnString& name, bool interaction) {
    ZnSharingType_enum sharing = merge ? merge->classSharing(name, interaction) : ZnSharingInvalid;
    j.key("sharing");
    if (sharing == ZnSharingInvalid)
        j.null();
    else
        j.value(sharingText(sharing).c_str());
    j.key("semantics").value(merge ? merge->classSemantics(name, interaction) : ZnString());
}

void writeClasses(Json& j, const ZnFom& fom, const ZnFomMerge* merge) {
    j.key("objectClasses").beginArray();
    for (const ZnFom::ObjectClass& cls : fom.objectClasses()) {
        j.beginObject().key("name").value(cls.name).key("parent");
        j.value(cls.parent.empty() ? nullptr : cls.parent.c_str());
        writeClassDetails(j, merge, cls.name, false);
        j.key("attributes").beginArray();
        for (const ZnFom::Attribute& a : cls.attributes) {
            j.beginObject().key("name").value(a.name);
            j.key("dataType").value(merge ? merge->attributeDataTypeOf(cls.name, a.name) : nullptr);
            j.key("transport").value(transportText(fom, a.transport).c_str());
            j.key("order").value(orderText(a.order).c_str());
            j.key("sharing").value(sharingText(a.sharing).c_str());
            j.key("updateType").value(updateTypeText(a.updateType).c_str());
            j.key("updateCondition").value(a.updateCondition);
            j.key("ownership").value(ownershipText(a.ownership).c_str());
            j.key("semantics").value(a.semantics);
            j.key("space").value(a.space.empty() ? nullptr : a.space.c_str());
            j.key("dimensions").strings(a.dimensions).endObject();
        }
        j.endArray().endObject();
    }
    j.endArray();
    j.key("interactionClasses").beginArray();
    for (const ZnFom::InteractionClass& cls : fom.interactionClasses()) {
        j.beginObject().key("name").value(cls.name).key("parent");
        j.value(cls.parent.empty() ? nullptr : cls.parent.c_str());
        writeClassDetails(j, merge, cls.name, true);
        j.key("transport").value(transportText(fom, cls.transport).c_str());
        j.key("order").value(orderText(cls.order).c_str());
        j.key("space").value(cls.space.empty() ? nullptr : cls.space.c_str());
        j.key("parameters").strings(cls.parameters).key("parameterDataTypes").beginObject();
        for (const ZnString& p : cls.parameters)
            if (const ZnString* type = merge ? merge->parameterDataTypeOf(cls.name, p) : nullptr)
                j.key(p.c_str()).value(*type);
        j.endObject().key("dimensions").strings(cls.dimensions).endObject();
    }
    j.endArray();
}

void writeSwitches(Json& j, const ZnFom& fom) {
    j.key("switches").beginObject().key("table").beginObject();
    for (const auto& [name, on] : fom.switchTable()) j.key(name.c_str()).boolean(on);
    j.endObject();
    j.key("autoProvide").boolean(fom.autoProvide());
    j.key("conveyRegionDesignatorSets").boolean(fom.conveyRegionDesignatorSets());
    j.key("conveyProducingFederate").boolean(fom.conveyProducingFederate());
    j.key("attributeScopeAdvisory").boolean(fom.attributeScopeAdvisory());
    j.key("attributeRelevanceAdvisory").boolean(fom.attributeRelevanceAdvisory());
    j.key("objectClassRelevanceAdvisory").boolean(fom.objectClassRelevanceAdvisory());
    j.key("interactionRelevanceAdvisory").boolean(fom.interactionRelevanceAdvisory());
    j.key("serviceReporting").boolean(fom.serviceReporting());
    j.key("exceptionReporting").boolean(fom.exceptionReporting());
    j.key("delaySubscriptionEvaluation").boolean(fom.delaySubscriptionEvaluation());
    j.key("automaticResignAction").number(fom.automaticResignAction()).endObject();
}

}  // namespace

// Where each definition stands, under the names diagnostics give elements.
void writeDefinitions(Json& j, const ZnFomMerge* merge) {
    j.key("definitions").beginArray();
    if (merge)
        for (const auto& [element, where] : merge->definitions()) {
            j.beginObject().key("element").value(element.c_str());
            j.key("file").value(where.file.c_str()).key("line").number(where.line).endObject();
        }
    j.endArray();
}

void printModelJson(std::ostream& out, const ZnFom& fom, const ZnFomMerge* merge) {
    Json j(out);
    j.beginObject().key("fomType").number(fom.fomType());
    j.key("modules").beginArray();
    for (const ZnFom::Module& m : fom.modules())
        j.beginObject().key("name").value(m.name).key("dependencies").strings(m.dependencies)
            .endObject();
    j.endArray();
    writeClasses(j, fom, merge);
    j.key("dimensions").beginArray();
    for (const ZnFom::Dimension& d : fom.dimensions()) {
        j.beginObject().key("name").value(d.name).key("upperBound").unsignedNumber(d.upperBound);
        j.key("lower").unsignedNumber(d.lower).key("upper").unsignedNumber(d.upper);
        j.key("excluded").boolean(d.excluded).key("normalization").value(d.normalization);
        j.endObject();
    }
    j.endArray().key("spaces").beginArray();
    for (const ZnFom::Space& s : fom.spaces())
        j.beginObject().key("name").value(s.name).key("dimensions").strings(s.dimensions)
            .endObject();
    j.endArray();
    writeSwitches(j, fom);
    writeTable(j, "transportations", fom.transportations());
    writeTable(j, "time", fom.times());
    writeTable(j, "synchronizationPoints", fom.synchronizationPoints());
    writeTable(j, "userSuppliedTags", fom.userSuppliedTags());
    writeTable(j, "notes", fom.notes());
    writeTable(j, "updateRates", fom.updateRates());
    writeTable(j, "basicDataRepresentations", fom.basicDataRepresentations());
    writeTable(j, "simpleDatatypes", fom.simpleDatatypes());
    writeTable(j, "arrayDatatypes", fom.arrayDatatypes());
    writeTable(j, "enumeratedDatatypes", fom.enumeratedDatatypes());
    writeTable(j, "fixedRecordDatatypes", fom.fixedRecordDatatypes());
    writeTable(j, "variantRecordDatatypes", fom.variantRecordDatatypes());
    j.key("pendingTransportations").beginArray();
    for (const ZnFom::PendingTransportation& p : fom.pendingTransportations())
        j.beginObject().key("transportation").value(p.transportation).key("className")
            .value(p.className).key("attribute").value(p.attribute).endObject();
    j.endArray();
    writeDefinitions(j, merge);
    j.endObject();
    out << "\n";
}

}  // namespace fomtool
