// fomTrace.cpp -- the --trace receiver: one JSON object a line for every
// receiver call, {"op":...,"args":[...]} plus "ret" for operations that
// return something. Args come in the order of the receiver interface:
// strings as strings, null pointers as null, codes as numbers, records as
// objects keyed by field name with item sets as sorted arrays.
//
// THIS OUTPUT IS A CONTRACT. Other programs diff traces byte for byte
// against earlier runs: do not rename an operation, reorder arguments, turn
// a code into a name or add whitespace here. A new kind of output belongs in
// a new mode, not in this one.

#include "fomTrace.h"

#include <sstream>
#include <string>
#include <vector>

#include "fomJsonWriter.h"
#include "fomRecordJson.h"

namespace fomtool {
namespace {

// One trace line: the operation, its arguments, and its result if it has one.
class Call {
public:
    Call(std::ostream& out, const char* op) : out_(out), json_(text_) {
        json_.beginObject().key("op").value(op).key("args").beginArray();
    }
    Json& args() { return json_; }
    void done() { finish(); }
    template <class T>
    T ret(T value) {
        json_.endArray().key("ret");
        writeResult(value);
        json_.endObject();
        out_ << text_.str() << '\n';
        finished_ = true;
        return value;
    }
    ~Call() {
        if (!finished_) finish();
    }

private:
    void finish() {
        json_.endArray().endObject();
        out_ << text_.str() << '\n';
        finished_ = true;
    }
    void writeResult(bool b) { json_.boolean(b); }
    void writeResult(int n) { json_.number(n); }
    void writeResult(ZnFomType t) { json_.number(t); }
    void writeResult(ZnTransportType t) { json_.number(t); }

    std::ostream& out_;
    std::ostringstream text_;
    Json json_;
    bool finished_ = false;
};

class TraceTarget : public ZnFedTarget {
public:
    TraceTarget(ZnFom& fom, std::ostream& out) : fom_(fom), out_(out) {}

    void setFomType(ZnFomType type) override {
        Call(out_, "setFomType").args().number(type);
        fom_.setFomType(type);
    }
    ZnFomType fomType() const override { return Call(out_, "fomType").ret(fom_.fomType()); }
    void addSpace(const char* space) override {
        Call(out_, "addSpace").args().value(space);
        fom_.addSpace(space);
    }
    void addSpaceDimension(const char* space, const char* dimension) override {
        Call(out_, "addSpaceDimension").args().value(space).value(dimension);
        fom_.addSpaceDimension(space, dimension);
    }
    void addDimension(const char* name, uint64_t upperBound, uint64_t lower, uint64_t upper,
                      bool excluded, ZnString* normalization) override {
        Call(out_, "addDimension")
            .args()
            .value(name)
            .unsignedNumber(upperBound)
            .unsignedNumber(lower)
            .unsignedNumber(upper)
            .boolean(excluded)
            .value(normalization);
        fom_.addDimension(name, upperBound, lower, upper, excluded, normalization);
    }
    bool addInteractionClass(const char* name, const char* parent, ZnTransportType transport,
                             ZnOrderType order, const char* space) override {
        Call call(out_, "addInteractionClass");
        call.args().value(name).value(parent).number(transport).number(order).value(space);
        return call.ret(fom_.addInteractionClass(name, parent, transport, order, space));
    }
    void addParameter(const char* className, const char* parameter) override {
        Call(out_, "addParameter").args().value(className).value(parameter);
        fom_.addParameter(className, parameter);
    }
    bool addInteractionDimension(const char* className, const char* dimension) override {
        Call call(out_, "addInteractionDimension");
        call.args().value(className).value(dimension);
        return call.ret(fom_.addInteractionDimension(className, dimension));
    }
    bool addObjectClass(const char* name, const char* parent) override {
        Call call(out_, "addObjectClass");
        call.args().value(name).value(parent);
        return call.ret(fom_.addObjectClass(name, parent));
    }
    void addAttribute(const char* className, const char* attribute, ZnTransportType transport,
                      ZnOrderType order, ZnSharingType_enum sharing,
                      ZnFomUpdateType_enum updateType, ZnString* updateCondition,
                      ZnOwnershipType_enum ownership, ZnString* semantics,
                      const void* reserved) override {
        Call(out_, "addAttribute")
            .args()
            .value(className)
            .value(attribute)
            .number(transport)
            .number(order)
            .number(sharing)
            .number(updateType)
            .value(updateCondition)
            .number(ownership)
            .value(semantics)
            .null();
        fom_.addAttribute(className, attribute, transport, order, sharing, updateType,
                          updateCondition, ownership, semantics, reserved);
    }
    void addSpaceAttribute(const char* className, const char* attribute,
                           ZnTransportType transport, ZnOrderType order,
                           const char* space) override {
        Call(out_, "addSpaceAttribute")
            .args()
            .value(className)
            .value(attribute)
            .number(transport)
            .number(order)
            .value(space);
        fom_.addSpaceAttribute(className, attribute, transport, order, space);
    }
    bool addAttributeDimension(const char* className, const char* attribute,
                               const char* dimension) override {
        Call call(out_, "addAttributeDimension");
        call.args().value(className).value(attribute).value(dimension);
        return call.ret(fom_.addAttributeDimension(className, attribute, dimension));
    }

#define PXS_TRACE_SWITCH(getter, setter)                               \
    bool getter() const override { return Call(out_, #getter).ret(fom_.getter()); } \
    void setter(bool on) override {                                    \
        Call(out_, #setter).args().boolean(on);                        \
        fom_.setter(on);                                               \
    }
    PXS_TRACE_SWITCH(autoProvide, setAutoProvide)
    PXS_TRACE_SWITCH(conveyRegionDesignatorSets, setConveyRegionDesignatorSets)
    PXS_TRACE_SWITCH(conveyProducingFederate, setConveyProducingFederate)
    PXS_TRACE_SWITCH(attributeScopeAdvisory, setAttributeScopeAdvisory)
    PXS_TRACE_SWITCH(attributeRelevanceAdvisory, setAttributeRelevanceAdvisory)
    PXS_TRACE_SWITCH(objectClassRelevanceAdvisory, setObjectClassRelevanceAdvisory)
    PXS_TRACE_SWITCH(interactionRelevanceAdvisory, setInteractionRelevanceAdvisory)
    PXS_TRACE_SWITCH(serviceReporting, setServiceReporting)
    PXS_TRACE_SWITCH(exceptionReporting, setExceptionReporting)
    PXS_TRACE_SWITCH(delaySubscriptionEvaluation, setDelaySubscriptionEvaluation)
#undef PXS_TRACE_SWITCH

    int automaticResignAction() const override {
        return Call(out_, "automaticResignAction").ret(fom_.automaticResignAction());
    }
    void setAutomaticResignAction(int code) override {
        Call(out_, "setAutomaticResignAction").args().number(code);
        fom_.setAutomaticResignAction(code);
    }

    // has... and add... of one record kind: the record is written before
    // it is handed on, since the model may free it.
#define PXS_TRACE_RECORD(Type, has, add)                                \
    bool has(const Type* rec) const override {                         \
        Call call(out_, #has);                                         \
        writeRecord(call.args(), rec);                                 \
        return call.ret(fom_.has(rec));                                \
    }                                                                  \
    void add(Type* rec) override {                                     \
        {                                                              \
            Call call(out_, #add);                                     \
            writeRecord(call.args(), static_cast<const Type*>(rec));   \
        }                                                              \
        fom_.add(rec);                                                 \
    }
    PXS_TRACE_RECORD(ZnUpdateRateType, hasUpdateRate, addUpdateRate)
    PXS_TRACE_RECORD(ZnSynchronizationPointsType, hasSynchronizationPoint, addSynchronizationPoint)
    PXS_TRACE_RECORD(ZnTransportationType, hasTransportation, addTransportation)
    PXS_TRACE_RECORD(ZnUserSuppliedTagsType, hasUserSuppliedTag, addUserSuppliedTag)
    PXS_TRACE_RECORD(ZnNotesType, hasNote, addNote)
    PXS_TRACE_RECORD(ZnTimeType, hasTime, addTime)
    PXS_TRACE_RECORD(ZnBasicDataRepresentationType, hasBasicDataRepresentation,
                     addBasicDataRepresentation)
    PXS_TRACE_RECORD(ZnSimpleDatatypeType, hasSimpleDatatype, addSimpleDatatype)
    PXS_TRACE_RECORD(ZnArrayDatatypeType, hasArrayDatatype, addArrayDatatype)
    PXS_TRACE_RECORD(ZnEnumeratedDatatypeType, hasEnumeratedDatatype, addEnumeratedDatatype)
    PXS_TRACE_RECORD(ZnFixedRecordDatatypeType, hasFixedRecordDatatype, addFixedRecordDatatype)
    PXS_TRACE_RECORD(ZnVariantRecordDatatypeType, hasVariantRecordDatatype,
                     addVariantRecordDatatype)
#undef PXS_TRACE_RECORD

    ZnTransportType transportTypeOf(const ZnTransportationType* rec) const override {
        Call call(out_, "transportTypeOf");
        writeRecord(call.args(), rec);
        return call.ret(fom_.transportTypeOf(rec));
    }
    bool hasSwitch(const ZnString& name) const override {
        Call call(out_, "hasSwitch");
        call.args().value(name);
        return call.ret(fom_.hasSwitch(name));
    }
    bool switchValue(const ZnString& name) const override {
        Call call(out_, "switchValue");
        call.args().value(name);
        return call.ret(fom_.switchValue(name));
    }
    void setSwitch(const ZnString& name, bool on) override {
        Call(out_, "setSwitch").args().value(name).boolean(on);
        fom_.setSwitch(name, on);
    }
    void setModuleName(const char* name) override {
        Call(out_, "setModuleName").args().value(name);
        fom_.setModuleName(name);
    }
    void setModuleDependencies(const std::vector<ZnString>& dependencies) override {
        Call(out_, "setModuleDependencies").args().strings(dependencies);
        fom_.setModuleDependencies(dependencies);
    }
    void addPendingAttributeTransportation(const ZnTransportationType* rec,
                                           const ZnString& className,
                                           const ZnString& attribute) override {
        Call call(out_, "addPendingAttributeTransportation");
        writeRecord(call.args(), rec);
        call.args().value(className).value(attribute);
        call.done();
        fom_.addPendingAttributeTransportation(rec, className, attribute);
    }
    void addPendingInteractionTransportation(const ZnTransportationType* rec,
                                             const ZnString& className) override {
        Call call(out_, "addPendingInteractionTransportation");
        writeRecord(call.args(), rec);
        call.args().value(className);
        call.done();
        fom_.addPendingInteractionTransportation(rec, className);
    }

private:
    ZnFom& fom_;
    std::ostream& out_;
};

}  // namespace

std::unique_ptr<ZnFedTarget> makeTraceTarget(ZnFom& fom, std::ostream& out) {
    return std::make_unique<TraceTarget>(fom, out);
}

}  // namespace fomtool
