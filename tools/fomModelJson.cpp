// fomModelJson.cpp -- the model as one JSON document. Tables keep the order
// the model holds them in; item sets inside records are sorted (see
// fomRecordJson.h). Codes are written as the names --tree prints (and the
// object-model files use), so a reader of the document needs no table of
// numbers; the trace keeps the numbers, as the receiver sees them.

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

void writeClasses(Json& j, const ZnFom& fom) {
    j.key("objectClasses").beginArray();
    for (const ZnFom::ObjectClass& cls : fom.objectClasses()) {
        j.beginObject().key("name").value(cls.name).key("parent");
        j.value(cls.parent.empty() ? nullptr : cls.parent.c_str()).key("attributes").beginArray();
        for (const ZnFom::Attribute& a : cls.attributes) {
            j.beginObject().key("name").value(a.name);
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
        j.key("transport").value(transportText(fom, cls.transport).c_str());
        j.key("order").value(orderText(cls.order).c_str());
        j.key("space").value(cls.space.empty() ? nullptr : cls.space.c_str());
        j.key("parameters").strings(cls.parameters).key("dimensions").strings(cls.dimensions);
        j.endObject();
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

void printModelJson(std::ostream& out, const ZnFom& fom) {
    Json j(out);
    j.beginObject().key("fomType").number(fom.fomType());
    j.key("modules").beginArray();
    for (const ZnFom::Module& m : fom.modules())
        j.beginObject().key("name").value(m.name).key("dependencies").strings(m.dependencies)
            .endObject();
    j.endArray();
    writeClasses(j, fom);
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
    j.endArray().endObject();
    out << "\n";
}

}  // namespace fomtool
