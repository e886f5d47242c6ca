// pxs-fom.cpp -- reads object-model files of all three formats into one
// ZnFom and prints it: as an indented class tree with counts (--tree, the
// default), as one JSON document (--json), or as the receiver calls the
// readers made, one JSON object a line (--trace). The exit status is the
// worst read status. The name HLAstandardMIM.xml reads the built-in MIM;
// --sort reads HLA Evolved modules in dependency order; --check validates
// files against the standard instead of reading them (pxsFomCheck.h).
//
//     pxs-fom [--tree|--json|--trace] [--strict N] [--validate]
//             [--default-switches] [--sort] FILE...
//     pxs-fom --check FILE...
//
// The trace format is a contract other tools diff: {"op":...,"args":[...]}
// plus "ret" for operations that return something; args in the order of the
// receiver interface, strings as strings, null pointers as null, codes as
// numbers, records as objects keyed by field name with item sets as arrays
// (sorted, since the sets themselves have no stable order).

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <tclap/CmdLine.h>

#include <pxs/pxs.h>

#include "pxsFomCheck.h"

namespace {

// ---------------------------------------------------------------------------
// JSON output

// Writes JSON values with commas placed by nesting level; the caller opens
// and closes objects and arrays in matching pairs.
class Json {
public:
    explicit Json(std::ostream& out) : out_(out) {}

    Json& beginObject() { return open('{'); }
    Json& endObject() { return close('}'); }
    Json& beginArray() { return open('['); }
    Json& endArray() { return close(']'); }
    Json& key(const char* name) {
        separate();
        writeString(name);
        out_ << ':';
        afterKey_ = true;
        return *this;
    }
    Json& value(const char* text) {
        separate();
        if (text)
            writeString(text);
        else
            out_ << "null";
        return *this;
    }
    Json& value(const ZnString& text) { return value(text.c_str()); }
    Json& value(const ZnString* text) { return value(text ? text->c_str() : nullptr); }
    Json& boolean(bool b) {
        separate();
        out_ << (b ? "true" : "false");
        return *this;
    }
    Json& number(long long n) {
        separate();
        out_ << n;
        return *this;
    }
    Json& unsignedNumber(unsigned long long n) {
        separate();
        out_ << n;
        return *this;
    }
    // Shortest text that reads back as the same float.
    Json& real(float f) {
        separate();
        if (!std::isfinite(f)) {
            out_ << "null";
            return *this;
        }
        char text[32];
        for (int precision = 6; precision <= 9; ++precision) {
            std::snprintf(text, sizeof text, "%.*g", precision, static_cast<double>(f));
            if (std::strtof(text, nullptr) == f) break;
        }
        out_ << text;
        return *this;
    }
    Json& null() { return value(static_cast<const char*>(nullptr)); }
    Json& strings(const std::vector<ZnString>& list) {
        beginArray();
        for (const ZnString& s : list) value(s);
        return endArray();
    }

private:
    Json& open(char c) {
        separate();
        out_ << c;
        first_.push_back(true);
        return *this;
    }
    Json& close(char c) {
        out_ << c;
        first_.pop_back();
        return *this;
    }
    void separate() {
        if (afterKey_) {
            afterKey_ = false;
            return;
        }
        if (first_.empty()) return;
        if (!first_.back()) out_ << ',';
        first_.back() = false;
    }
    void writeString(const char* text) {
        out_ << '"';
        for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
            switch (*p) {
                case '"': out_ << "\\\""; break;
                case '\\': out_ << "\\\\"; break;
                case '\n': out_ << "\\n"; break;
                case '\r': out_ << "\\r"; break;
                case '\t': out_ << "\\t"; break;
                case '\b': out_ << "\\b"; break;
                case '\f': out_ << "\\f"; break;
                default:
                    if (*p < 0x20) {
                        char esc[8];
                        std::snprintf(esc, sizeof esc, "\\u%04x", *p);
                        out_ << esc;
                    } else {
                        out_ << static_cast<char>(*p);
                    }
            }
        }
        out_ << '"';
    }

    std::ostream& out_;
    std::vector<bool> first_;
    bool afterKey_ = false;
};

// ---------------------------------------------------------------------------
// Records as JSON objects, fields in declaration order.

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

template <class Rec>
void writeRecord(Json& j, const Rec* rec) {
    if (rec)
        write(j, *rec);
    else
        j.null();
}

// ---------------------------------------------------------------------------
// --trace: a receiver that writes each call and hands it on to a ZnFom.

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

// ---------------------------------------------------------------------------
// --tree

std::string transportText(const ZnFom& fom, ZnTransportType code) {
    if (code == ZnTransportNone) return "none";
    if (code == ZnTransportBestEffort) return "HLAbestEffort";
    if (code == ZnTransportReliable) return "HLAreliable";
    for (size_t i = 0; i < fom.transportations().size(); ++i)
        if (fom.transportTypeOf(&fom.transportations()[i]) == code)
            return fom.transportations()[i].name.string();
    return std::to_string(code);
}

std::string orderText(ZnOrderType order) {
    return order == ZnOrderReceive ? "Receive" : order == ZnOrderTimeStamp ? "TimeStamp" : "none";
}

std::string joined(const std::vector<ZnString>& names) {
    std::string text;
    for (const ZnString& n : names) text += (text.empty() ? "" : " ") + n.string();
    return text;
}

// Children of each class in delivery order, then a depth-first walk with an
// explicit stack (a class tree is as deep as its file allows).
template <class Class, class PrintMembers>
void printTree(std::ostream& out, const std::vector<Class>& classes, PrintMembers members) {
    std::map<std::string, std::vector<size_t>> children;
    std::vector<size_t> roots;
    for (size_t i = 0; i < classes.size(); ++i) {
        if (classes[i].parent.empty())
            roots.push_back(i);
        else
            children[classes[i].parent.string()].push_back(i);
    }
    std::vector<std::pair<size_t, int>> stack;
    for (auto it = roots.rbegin(); it != roots.rend(); ++it) stack.emplace_back(*it, 0);
    while (!stack.empty()) {
        auto [index, depth] = stack.back();
        stack.pop_back();
        const Class& cls = classes[index];
        std::string indent(static_cast<size_t>(depth) * 2, ' ');
        std::string leaf = cls.name.string().substr(cls.parent.empty() ? 0 : cls.parent.size() + 1);
        out << indent << leaf;
        members(cls, indent + "  ");
        const std::vector<size_t>& kids = children[cls.name.string()];
        for (auto it = kids.rbegin(); it != kids.rend(); ++it) stack.emplace_back(*it, depth + 1);
    }
}

void printModelTree(std::ostream& out, const ZnFom& fom) {
    size_t attributes = 0, parameters = 0;
    out << "Object classes\n";
    printTree(out, fom.objectClasses(), [&](const ZnFom::ObjectClass& cls, const std::string& in) {
        out << "\n";
        for (const ZnFom::Attribute& a : cls.attributes) {
            ++attributes;
            out << in << "attribute " << a.name << " [" << transportText(fom, a.transport) << ", "
                << orderText(a.order) << "]";
            if (!a.space.empty()) out << " space " << a.space;
            if (!a.dimensions.empty()) out << " dimensions " << joined(a.dimensions);
            out << "\n";
        }
    });
    out << "Interaction classes\n";
    printTree(out, fom.interactionClasses(),
              [&](const ZnFom::InteractionClass& cls, const std::string& in) {
                  out << " [" << transportText(fom, cls.transport) << ", " << orderText(cls.order)
                      << "]";
                  if (!cls.space.empty()) out << " space " << cls.space;
                  if (!cls.dimensions.empty()) out << " dimensions " << joined(cls.dimensions);
                  out << "\n";
                  for (const ZnString& p : cls.parameters) {
                      ++parameters;
                      out << in << "parameter " << p << "\n";
                  }
              });
    const std::pair<const char*, size_t> counts[] = {
        {"object classes", fom.objectClasses().size()},
        {"attributes", attributes},
        {"interaction classes", fom.interactionClasses().size()},
        {"parameters", parameters},
        {"dimensions", fom.dimensions().size()},
        {"routing spaces", fom.spaces().size()},
        {"transportations", fom.transportations().size()},
        {"switches", fom.switchTable().size()},
        {"time", fom.times().size()},
        {"synchronization points", fom.synchronizationPoints().size()},
        {"user-supplied tags", fom.userSuppliedTags().size()},
        {"notes", fom.notes().size()},
        {"update rates", fom.updateRates().size()},
        {"basic data representations", fom.basicDataRepresentations().size()},
        {"simple data types", fom.simpleDatatypes().size()},
        {"array data types", fom.arrayDatatypes().size()},
        {"enumerated data types", fom.enumeratedDatatypes().size()},
        {"fixed record data types", fom.fixedRecordDatatypes().size()},
        {"variant record data types", fom.variantRecordDatatypes().size()},
        {"modules", fom.modules().size()},
    };
    out << "\n";
    for (const auto& [table, count] : counts) out << table << ": " << count << "\n";
}

// ---------------------------------------------------------------------------
// --json

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
            j.beginObject().key("name").value(a.name).key("transport").number(a.transport);
            j.key("order").number(a.order).key("sharing").number(a.sharing);
            j.key("updateType").number(a.updateType).key("updateCondition").value(a.updateCondition);
            j.key("ownership").number(a.ownership).key("semantics").value(a.semantics);
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
        j.key("transport").number(cls.transport).key("order").number(cls.order);
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

// ---------------------------------------------------------------------------
// Reading

struct Options {
    unsigned int strict = 0;
    bool validate = false;
    bool defaultSwitches = false;
};

using check::FileCloser;
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// The reader for a format, made by the factory on first use and kept, so
// that a reader that learned to map roots keeps doing so for the following
// files.
class Readers {
public:
    explicit Readers(const Options& options) : options_(options) {}

    ZnFedReader* forType(ZnFomType type) {
        if (type < ZnFomHla13 || type > ZnFomEvolved) return nullptr;
        std::unique_ptr<ZnFedReader>& reader = readers_[type];
        if (!reader) {
            reader.reset(ZnFedReaderFactory::makeFedReader(type));
            // The HLA Evolved reader validates through its own switch.
            if (auto* evolved = dynamic_cast<ZnFedReader1516e*>(reader.get()))
                if (options_.validate) evolved->setSchemaValidationEnabled(true);
        }
        return reader.get();
    }

private:
    const Options& options_;
    std::unique_ptr<ZnFedReader> readers_[4];
};

bool isMimName(const std::string& name) { return name == "HLAstandardMIM.xml"; }

// The file as named or through RTI_CONFIG; null when none opens.
FilePtr openModel(const std::string& name, ZnFilename& path) {
    path = ZnFilename(name.c_str());
    path.searchAlternatePath(std::getenv("RTI_CONFIG"));
    return FilePtr(std::fopen(path.c_str(), "rb"));
}

// Reads one file into `target`; the read status, with problems on stderr.
// The standard MIM needs no file: the library holds it.
ZnFedReadStatus readOne(const std::string& name, ZnFedTarget* target, Readers& readers,
                        const Options& options) {
    ZnFilename path;
    FilePtr file = openModel(name, path);
    if (!file && !isMimName(name)) {
        std::cerr << "pxs-fom: No such FED file: " << name << "\n";
        return ZnFedReadNotOpened;
    }
    ZnFomType type = file ? ZnFedReader::checkFomType(path.c_str(), file.get()) : ZnFomEvolved;
    ZnFedReader* reader = readers.forType(type);
    if (!reader) {
        std::cerr << "pxs-fom: " << name << ": cannot tell the format (no file extension)\n";
        return ZnFedReadFailed;
    }
    ZnFedReadStatus status =
        reader->readFedFilePtr(file.get(), target, file ? path : ZnFilename(name.c_str()),
                               options.strict, options.validate, options.defaultSwitches);
    if (status != ZnFedReadSuccess)
        std::cerr << "pxs-fom: " << name << ": " << reader->lastError() << "\n";
    return status;
}

// The module name and dependencies of an HLA Evolved file, as the reader
// delivers them; the file name stands in for a module without a name.
ZnFomSorter::FomDeps moduleOf(const std::string& name) {
    ZnFom probe;
    ZnFedReader1516e reader;
    ZnFilename path;
    FilePtr file = openModel(name, path);
    reader.readFedFilePtr(file.get(), &probe, file ? path : ZnFilename(name.c_str()), 0, false,
                          false);
    if (probe.modules().empty() || probe.modules()[0].name.empty())
        return {ZnString(name.c_str()), {}};
    return {probe.modules()[0].name, probe.modules()[0].dependencies};
}

bool isEvolvedFile(const std::string& name) {
    ZnFilename path;
    FilePtr file = openModel(name, path);
    if (!file) return isMimName(name);
    return ZnFedReader::checkFomType(path.c_str(), file.get()) == ZnFomEvolved;
}

// Files in reading order: the HLA Evolved modules ordered by their
// dependencies, then the other files as given (so that an HLA 1.3 file
// lands under the roots of the modules). Unknown dependencies and cycles
// are reported on stderr and do not stop the read.
std::vector<std::string> sortedFiles(const std::vector<std::string>& files) {
    std::vector<std::string> others, modules;
    for (const std::string& name : files) (isEvolvedFile(name) ? modules : others).push_back(name);
    std::unique_ptr<ZnFomSorter> sorter(ZnFomSorter::create());
    for (const std::string& name : modules) {
        ZnFomSorter::FomDeps module = moduleOf(name);
        sorter->insertFileToFomDepsPairMap(name.c_str(), module);
        sorter->insertFomToFileMap(module.first, name.c_str());
        sorter->allFomNames().push_back(module.first);
        for (const ZnString& d : module.second) sorter->allDependencies().push_back(d);
    }
    if (!sorter->isEachDependencyValid())
        for (const ZnString& d : sorter->allDependencies())
            if (!sorter->fomToFileMap().count(d))
                std::cerr << "pxs-fom: no module given for the dependency \"" << d << "\"\n";
    // Each module once, in the order given, so that independent modules keep it.
    for (const std::string& name : modules) {
        const ZnFomSorter::FomDeps& module = sorter->atFileToFomDepsPairMap(name.c_str());
        if (!sorter->fomToComplexMap().count(module.first)) sorter->mapFomDepComplexity(module);
    }
    std::vector<ZnString> sorted;
    sorter->sortFomFileNames(&sorted);
    std::vector<std::string> ordered;
    for (const ZnString& name : sorted) ordered.push_back(name.string());
    ordered.insert(ordered.end(), others.begin(), others.end());
    return ordered;
}

}  // namespace

int main(int argc, char** argv) {
    enum class Output { Tree, Json, Trace };
    Output output = Output::Tree;
    Options options;
    bool checkOnly = false, sort = false;
    std::vector<std::string> files;
    try {
        TCLAP::CmdLine cmd("Reads object-model files (HLA 1.3 FED, IEEE 1516-2000 FDD, HLA "
                           "Evolved FOM modules) into one model and prints it, or checks them "
                           "against their standard. HLAstandardMIM.xml names the built-in MIM.",
                           ' ', "0.1");
        TCLAP::SwitchArg tree("", "tree", "Print the class tree and table counts (default).");
        TCLAP::SwitchArg json("", "json", "Print the whole model as one JSON document.");
        TCLAP::SwitchArg trace("", "trace", "Print every receiver call as a JSON line.");
        TCLAP::SwitchArg checkArg("", "check",
                                  "Validate each file against the embedded standard (DTD or "
                                  "DIF schema), print every error with its line; exit 0 when "
                                  "all are valid, 1 otherwise.");
        TCLAP::SwitchArg sortArg("", "sort",
                                 "Read HLA Evolved modules in dependency order, before the "
                                 "other files.");
        TCLAP::ValueArg<unsigned int> strict("", "strict",
                                             "Strict flags: 1 recoverable errors fail the read, "
                                             "2 required tables (HLA Evolved).",
                                             false, 0, "N");
        TCLAP::SwitchArg validate("", "validate",
                                  "Validate against the DTD or schema the file names.");
        TCLAP::SwitchArg defaults("", "default-switches",
                                  "Use the default switches, ignoring the files'.");
        TCLAP::UnlabeledMultiArg<std::string> names("FILE", "Object-model files, in order.",
                                                     true, "FILE");
        cmd.add(tree);
        cmd.add(json);
        cmd.add(trace);
        cmd.add(checkArg);
        cmd.add(sortArg);
        cmd.add(strict);
        cmd.add(validate);
        cmd.add(defaults);
        cmd.add(names);
        cmd.setExceptionHandling(false);
        cmd.parse(argc, argv);
        if (tree.getValue() + json.getValue() + trace.getValue() + checkArg.getValue() > 1)
            throw TCLAP::CmdLineParseException("choose one of --tree, --json, --trace and --check");
        if (json.getValue()) output = Output::Json;
        if (trace.getValue()) output = Output::Trace;
        checkOnly = checkArg.getValue();
        sort = sortArg.getValue();
        options.strict = strict.getValue();
        options.validate = validate.getValue();
        options.defaultSwitches = defaults.getValue();
        files = names.getValue();
    } catch (const TCLAP::ExitException& e) {
        return e.getExitStatus();
    } catch (const TCLAP::ArgException& e) {
        std::cerr << "pxs-fom: " << e.error() << "\n";
        return ZnFedReadFailed;
    }

    if (checkOnly) {
        bool allValid = true;
        for (const std::string& name : files) allValid = check::checkFile(name, std::cout) && allValid;
        std::cout.flush();
        return allValid ? 0 : 1;
    }
    if (sort) files = sortedFiles(files);

    ZnFom fom;
    TraceTarget tracer(fom, std::cout);
    ZnFedTarget* target = output == Output::Trace ? static_cast<ZnFedTarget*>(&tracer) : &fom;
    Readers readers(options);
    unsigned int worst = ZnFedReadSuccess;
    for (const std::string& name : files)
        worst = std::max<unsigned int>(worst, readOne(name, target, readers, options));

    if (output == Output::Tree) printModelTree(std::cout, fom);
    if (output == Output::Json) printModelJson(std::cout, fom);
    std::cout.flush();
    return static_cast<int>(worst);
}
