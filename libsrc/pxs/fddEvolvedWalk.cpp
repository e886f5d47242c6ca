// fddEvolvedWalk.cpp -- the HLA Evolved form of the record tables, the
// dimension element and schema validation. As in fddWalk.cpp each table is
// one row of data (item elements, properties, messages, target operations)
// walked by one template, so a table's rules and texts live in one place.

#include <pxs/fddEvolvedWalk.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <type_traits>
#include <utility>
#include <strings.h>

#include <libxml/parserInternals.h>

#include <pxs/fddRecordProperties.h>
#include <pxs/fddRecordWalk.h>
#include <pxs/fedReader1516e.h>
#include <pxs/fedRecords.h>
#include <pxs/standardFilesInternal.h>
#include <pxs/xmlFedReader1516e.h>
#include <util/xmlSetup.h>
#include <util/znFilename.h>
#include <util/znNotify.h>
#include <util/znOpenFile.h>

namespace pxsdetail::fdd {
namespace evolved {

namespace {

const char* str(const xmlChar* s) { return reinterpret_cast<const char*>(s); }

bool isTextNode(const xmlNode* node) {
    return node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE;
}

// libxml2 2.12 made the structured error const; 2.9, which we build
// against, does not.
#if LIBXML_VERSION >= 21200
using ErrorArg = const xmlError*;
#else
using ErrorArg = xmlError*;
#endif

// The first complaint of a schema parse or validation goes to ZnWarn, so the
// user learns where the document breaks the schema; the readers' own
// messages are fixed texts.
struct SchemaLog {
    const char* what;
    int errors = 0;
};

void schemaError(void* ctx, ErrorArg error) {
    auto* log = static_cast<SchemaLog*>(ctx);
    if (!error || log->errors++ > 0) return;
    ZnWarn.printf("%s:%d: %s", error->file ? error->file : log->what, error->line,
                  error->message ? error->message : "schema error\n");
}

bool validateAgainst(xmlDoc* doc, xmlSchemaParserCtxt* parserCtxt, const char* what) {
    if (!parserCtxt) return false;
    // A schema may include others, from local files only.
    PxsXmlLoads loads(PxsXmlLoads::LocalFiles);
    XmlSchemaParserCtxtPtr parser(parserCtxt);
    SchemaLog parseLog{what};
    xmlSchemaSetParserStructuredErrors(parser.get(), schemaError, &parseLog);
    XmlSchemaPtr schema(xmlSchemaParse(parser.get()));
    if (!schema) return false;
    XmlSchemaValidCtxtPtr valid(xmlSchemaNewValidCtxt(schema.get()));
    if (!valid) return false;
    SchemaLog validLog{what};
    xmlSchemaSetValidStructuredErrors(valid.get(), schemaError, &validLog);
    return xmlSchemaValidateDoc(valid.get(), doc) == 0;
}

}  // namespace

const char* firstChildText(const xmlNode* node) {
    const xmlNode* first = node ? node->children : nullptr;
    if (!first || !isTextNode(first)) return nullptr;
    return first->content ? str(first->content) : "";
}

const char* childText(const xmlNode* node, const char* name) {
    if (!node) return nullptr;
    for (const xmlNode* c = node->children; c; c = c->next) {
        if (c->type != XML_ELEMENT_NODE || !isNamed(c, name)) continue;
        if (const char* text = firstChildText(c)) return text;
    }
    return nullptr;
}

ZnString elementText(const xmlNode* element) {
    const xmlNode* first = element->children;
    if (!first) return ZnString();
    // The common case, one text node, needs no copy of the document's text.
    if (!first->next && isTextNode(first)) return ZnString(first->content ? str(first->content) : "");
    XmlCharPtr content(xmlNodeGetContent(element));
    return ZnString(content ? str(content.get()) : "");
}

bool validateWithSchema(xmlDoc* doc, const char* path) {
    // Checked first so that libxml2 never tries to fetch a web address, and
    // never opens a FIFO or a device.
    if (!doc || !ZnIsRegularFile(path)) return false;
    return validateAgainst(doc, xmlSchemaNewParserCtxt(path), path);
}

bool validateWithSchemaBytes(xmlDoc* doc, const char* bytes, unsigned int length,
                             const char* url) {
    if (!doc || !bytes) return false;
    return validateAgainst(doc, xmlSchemaNewMemParserCtxt(bytes, static_cast<int>(length)), url);
}

// ---------------------------------------------------------------------------
// Dimensions

namespace {

ZnFedReadStatus dimensionError(WalkContext& ctx, xmlNode* node, const char* name,
                               const char* ending) {
    ctx.lastError = "Dimension \"";
    ctx.lastError += name;
    ctx.lastError += ending;
    appendProperties(node, ctx.lastError);
    return ZnFedReadFailed;
}

}  // namespace

ZnFedReadStatus readDimension(WalkContext& ctx, xmlNode* node) {
    const char* name = childText(node, "name");
    if (!name) {
        ctx.lastError = "Dimension with no name found in FDD file.\n";
        appendProperties(node, ctx.lastError);
        return ZnFedReadFailed;
    }
    // The federate dimension is as wide as the RTI's handles: unbounded
    // unless the module says otherwise.
    bool federate = std::strcmp(name, "HLAfederate") == 0;
    uint64_t upperBound = UINT64_MAX;
    const char* boundText = childText(node, "upperBound");
    if (!boundText && !federate)
        return dimensionError(ctx, node, name, "\" missing upper bound in FDD file.");
    if (boundText && !parseUnsigned64(boundText, &upperBound))
        return dimensionError(ctx, node, name, "\" upper bound is invalid in FDD file.");
    uint64_t lower = 0, upper = 1;
    bool excluded = false;
    const char* value = childText(node, "value");
    if (value && !parseDimensionValue(value, upperBound, &lower, &upper, &excluded))
        return dimensionError(ctx, node, name, "\" value is invalid in FDD file.");
    const char* normalization = childText(node, "normalization");
    ZnString normalizationText(normalization ? normalization : "");
    if (ctx.target) {
        ctx.details.source(node);
        ctx.target->addDimension(name, upperBound, lower, upper, excluded, &normalizationText);
    }
    return ctx.details.stopped(ctx.lastError) ? ZnFedReadFailed : ZnFedReadSuccess;
}

// ---------------------------------------------------------------------------
// Record tables

namespace {

using record::ChildElementSource;
using record::countOf;
using namespace record::shared;
using record::Property;
using record::Walk;
template <class Rec>
using ItemFn = bool (*)(Rec& rec, xmlNode* child, Walk& walk, ZnFedReadStatus& status);
template <class Rec>
using Table = record::Table<Rec, ItemFn<Rec>>;

template <class Rec>
ZnFedReadStatus walkRecords(const Table<Rec>& table, xmlNode* first, WalkContext& ctx) {
    return record::walkRecords<ChildElementSource>(table, first, ctx);
}
template <class Rec>
ZnFedReadStatus walkTable(const Table<Rec>& table, xmlNode* element, WalkContext& ctx) {
    return record::walkTable<ChildElementSource>(table, element, ctx);
}
template <class Item>
bool takeItem(std::set<boost::shared_ptr<Item>>& items, const char* element,
              const Property<Item>* properties, size_t count, const char* badChild,
              xmlNode* child, Walk& walk, ZnFedReadStatus& status) {
    return ChildElementSource::takeItem(items, element, properties, count, badChild, child, walk,
                                        status);
}

// --- Conversions of properties with a vocabulary.

bool convertReliable(ZnTransportationType& rec, xmlNode*, const ZnString& value,
                     ZnString& message) {
    if (value == "Yes" || value == "No") {
        rec.reliable = value == "Yes";
        return true;
    }
    message = "Unexpected value in Reliable tag for FDD file.\n\tReliable = ";
    message += value;
    return false;
}

bool convertCapability(ZnSynchronizationPointsType& rec, xmlNode*, const ZnString& value,
                       ZnString& message) {
    static const char* const kCapabilities[] = {"Register", "Achieve", "RegisterAchieve",
                                                "NoSynch"};
    for (int i = 0; i < 4; ++i)
        if (value == kCapabilities[i]) {
            rec.capability = i + 1;
            return true;
        }
    rec.capability = 5;
    message = "Unexpected Capability for Synchronization Point for FDD file.\n\tCapability = ";
    message += value;
    return false;
}

bool convertEndian(ZnBasicDataRepresentationType& rec, xmlNode* node, const ZnString& value,
                   ZnString& message) {
    if (value == "Big" || value == "Little") {
        rec.endian = value == "Big" ? 1 : 2;
        return true;
    }
    message = "Unexpected tag in Endianess of a Basic Datatype Representation for FDD file.\n\t"
              "Endianess Tag = ";
    appendContent(node, message);
    return false;
}

// A malformed size is not reported: the digits up to the first other
// character count, as strtoul reads them.
bool convertSize(ZnBasicDataRepresentationType& rec, xmlNode*, const ZnString& value,
                 ZnString&) {
    unsigned long long size = std::strtoull(value.c_str(), nullptr, 10);
    rec.size = size > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(size);
    return true;
}

bool convertRate(ZnUpdateRateType& rec, xmlNode*, const ZnString& value, ZnString&) {
    float rate = 0;
    if (std::sscanf(value.c_str(), "%f", &rate) == 1) rec.rate = rate;
    return true;
}

// --- The tables.

using Transport = ZnTransportationType;
const Property<Transport> kTransportProperties[] = {
    {"name", &Transport::name, nullptr},
    {"reliable", nullptr, convertReliable},
    {"semantics", &Transport::semantics, nullptr},
};
const char* const kTransportElements[] = {"transportation", nullptr};
const Table<Transport> kTransportTable = {
    kTransportElements, nullptr, kTransportProperties, countOf(kTransportProperties),
    "Unexpected tag in Transport tree for FDD file.\n\tTransport Tag = ",
    "Unexpected tag in Transportation Lists tree for FDD file.\n\tTransportation Lists Tag = ",
    "Unexpected duplicate Transportation type ( ", " ) for FDD file.\n\tTransportation Tag = ",
    &Transport::name, &ZnFedTarget::hasTransportation, &ZnFedTarget::addTransportation,
    nullptr, nullptr};

using Time = ZnTimeType;
const Table<Time> kTimeTable = {
    kTimeElements, &Time::name, kTimeProperties, countOf(kTimeProperties),
    "Unexpected tag in Time Tree for FDD file.\n\tTime Tag = ",
    "Unexpected tag in times list for FDD file.\n\tTime Tag = ",
    "Unexpected duplicate time type ( ", " ) for FDD file.\n\ttime Tag = ",
    &Time::name, &ZnFedTarget::hasTime, &ZnFedTarget::addTime, nullptr, nullptr};

using Sync = ZnSynchronizationPointsType;
const Property<Sync> kSyncProperties[] = {
    {"label", &Sync::label, nullptr},
    {"dataType", &Sync::dataType, nullptr},
    {"capability", nullptr, convertCapability},
    {"semantics", &Sync::semantics, nullptr},
};
const char* const kSyncElements[] = {"synchronizationPoint", nullptr};
const Table<Sync> kSyncTable = {
    kSyncElements, nullptr, kSyncProperties, countOf(kSyncProperties),
    "Unexpected tag in Synchronization Point tree for FDD file.\n\tSynchronization Point Tag = ",
    "Unexpected tag in Synchronization Points tree for FDD file.\n\t"
    "Synchronization Points Tag = ",
    "Unexpected duplicate Synchronization Point type ( ",
    " ) for FDD file.\n\tSynchronization Point Tag = ",
    &Sync::label, &ZnFedTarget::hasSynchronizationPoint, &ZnFedTarget::addSynchronizationPoint,
    nullptr, nullptr};

// Every element of `tags` is a tag named after its element.
using Tag = ZnUserSuppliedTagsType;
const Table<Tag> kTagTable = {
    nullptr, &Tag::name, kTagProperties, countOf(kTagProperties),
    "Unexpected tag in User Supplied Tag for FDD file.\n\tUser Supplied Tag = ",
    "Unexpected tag in User Supplied Tag for FDD file.\n\tUser Supplied Tag = ",
    "Unexpected duplicate User Supplied Tag ( ", " ) for FDD file.\n\tUser Supplied Tag = ",
    &Tag::name, &ZnFedTarget::hasUserSuppliedTag, &ZnFedTarget::addUserSuppliedTag,
    nullptr, nullptr};

using Note = ZnNotesType;
const Property<Note> kNoteProperties[] = {
    {"label", &Note::name, nullptr},
    {"semantics", &Note::semantics, nullptr},
};
const char* const kNoteElements[] = {"note", nullptr};
const Table<Note> kNoteTable = {
    kNoteElements, nullptr, kNoteProperties, countOf(kNoteProperties),
    "Unexpected tag in Note for FDD file.\n\tNote Tag = ",
    "Unexpected tag in Notes Tree for FDD file.\n\tNotes Tag = ",
    "Unexpected duplicate Note ( ", " ) for FDD file.\n\tNote = ",
    &Note::name, &ZnFedTarget::hasNote, &ZnFedTarget::addNote, nullptr, nullptr};

using Rate = ZnUpdateRateType;
const Property<Rate> kRateProperties[] = {
    {"name", &Rate::name, nullptr},
    {"rate", nullptr, convertRate},
    {"semantics", &Rate::semantics, nullptr},
};
const char* const kRateElements[] = {"updateRate", nullptr};
const Table<Rate> kRateTable = {
    kRateElements, nullptr, kRateProperties, countOf(kRateProperties),
    "Unexpected tag in Update Rate tree for FDD file.\n\tUpdate Rate Tag = ",
    "Unexpected tag in Update Rates tree for FDD file.\n\tUpdate Rates Tag = ",
    "Unexpected duplicate Update Rate type ( ", " ) for FDD file.\n\tUpdate Rate Tag = ",
    &Rate::name, &ZnFedTarget::hasUpdateRate, &ZnFedTarget::addUpdateRate, nullptr, nullptr};

using Basic = ZnBasicDataRepresentationType;
const Property<Basic> kBasicProperties[] = {
    {"name", &Basic::name, nullptr},
    {"size", nullptr, convertSize},
    {"interpretation", &Basic::interpretation, nullptr},
    {"endian", nullptr, convertEndian},
    {"encoding", &Basic::encoding, nullptr},
};
const char* const kBasicElements[] = {"basicData", nullptr};
const Table<Basic> kBasicTable = {
    kBasicElements, nullptr, kBasicProperties, countOf(kBasicProperties),
    "Unexpected tag in Basic Datatype Representation for FDD file.\n\t"
    "Basic Datatype Representation Tag = ",
    "Unexpected tag in Basic Datatype Representation tree for FDD file.\n\t"
    "Basic Datatype Representation Tag = ",
    "Unexpected duplicate Basic Data Representation ( ",
    " ) for FDD file.\n\tBasic Data Representation = ",
    &Basic::name, &ZnFedTarget::hasBasicDataRepresentation,
    &ZnFedTarget::addBasicDataRepresentation, nullptr, nullptr};

using Simple = ZnSimpleDatatypeType;
const Table<Simple> kSimpleTable = {
    kSimpleElements, nullptr, kSimpleProperties, countOf(kSimpleProperties),
    "Unexpected tag in Simple Datatype for FDD file.\n\tSimple Datatype Tag = ",
    "Unexpected tag in Simple Datatype tree for FDD file.\n\tSimple Datatype Tag = ",
    "Unexpected duplicate Simple Datatype ( ", " ) for FDD file.\n\tSimple Datatype = ",
    &Simple::name, &ZnFedTarget::hasSimpleDatatype, &ZnFedTarget::addSimpleDatatype,
    nullptr, nullptr};

using Array = ZnArrayDatatypeType;
const Table<Array> kArrayTable = {
    kArrayElements, nullptr, kArrayProperties, countOf(kArrayProperties),
    "Unexpected tag in Array Datatype for FDD file.\n\tArray Datatype Tag = ",
    "Unexpected tag in Array Datatype tree for FDD file.\n\tArray Datatype Tag = ",
    "Unexpected duplicate Array Datatype ( ", " ) for FDD file.\n\tArray Datatype = ",
    &Array::name, &ZnFedTarget::hasArrayDatatype, &ZnFedTarget::addArrayDatatype, nullptr, nullptr};

// An enumerator may list several values; the last one is kept.
const Property<ZnEnumeratorType> kEnumeratorProperties[] = {
    {"name", &ZnEnumeratorType::name, nullptr},
    {"value", &ZnEnumeratorType::values, nullptr},
};

using Enumerated = ZnEnumeratedDatatypeType;
bool enumerator(Enumerated& rec, xmlNode* child, Walk& walk, ZnFedReadStatus& status) {
    return takeItem(
        rec.enumerators, "enumerator", kEnumeratorProperties, countOf(kEnumeratorProperties),
        "Unexpected tag in Enumerator in Enumerated Datatype for FDD file.\n\tEnumerator = ",
        child, walk, status);
}
const Table<Enumerated> kEnumeratedTable = {
    kEnumeratedElements, nullptr, kEnumeratedProperties, countOf(kEnumeratedProperties),
    "Unexpected tag in Enumerated Datatype for FDD file.\n\tEnumerated Datatype Tag = ",
    "Unexpected tag in Enumerated Datatype tree for FDD file.\n\tEnumerated Datatype Tag = ",
    "Unexpected duplicate Enumerated Datatype ( ", " ) for FDD file.\n\tEnumerated Datatype = ",
    &Enumerated::name, &ZnFedTarget::hasEnumeratedDatatype, &ZnFedTarget::addEnumeratedDatatype,
    enumerator, nullptr};


using Fixed = ZnFixedRecordDatatypeType;
bool field(Fixed& rec, xmlNode* child, Walk& walk, ZnFedReadStatus& status) {
    return takeItem(rec.fields, "field", kFieldProperties, countOf(kFieldProperties),
                           "Unexpected tag in Field in Fixed Datatype for FDD file.\n\t"
                           "Field Tag = ",
                           child, walk, status);
}
const Table<Fixed> kFixedTable = {
    kFixedElements, nullptr, kFixedProperties, countOf(kFixedProperties),
    "Unexpected tag in Fixed Datatype for FDD file.\n\tFixed Datatype Tag = ",
    "Unexpected tag in Fixed Datatype tree for FDD file.\n\tFixed Datatype Tag = ",
    "Unexpected duplicate Fixed Record Datatype ( ",
    " ) for FDD file.\n\tFixed Record Datatype = ",
    &Fixed::name, &ZnFedTarget::hasFixedRecordDatatype, &ZnFedTarget::addFixedRecordDatatype,
    field, nullptr};

const Property<ZnAlternativeType> kAlternativeProperties[] = {
    {"enumerator", &ZnAlternativeType::enumerator, nullptr},
    {"name", &ZnAlternativeType::name, nullptr},
    {"dataType", &ZnAlternativeType::dataType, nullptr},
    {"semantics", &ZnAlternativeType::semantics, nullptr},
};

using Variant = ZnVariantRecordDatatypeType;
bool alternative(Variant& rec, xmlNode* child, Walk& walk, ZnFedReadStatus& status) {
    return takeItem(rec.alternatives, "alternative", kAlternativeProperties,
                             countOf(kAlternativeProperties),
                             "Unexpected tag in Alternate in Variant Datatype for FDD file.\n\t"
                             "Alternative Tag = ",
                             child, walk, status);
}
const Table<Variant> kVariantTable = {
    kVariantElements, nullptr, kVariantProperties, countOf(kVariantProperties),
    "Unexpected tag in Variant Datatype for FDD file.\n\tVariant Datatype Tag = ",
    "Unexpected tag in Variant Datatype tree for FDD file.\n\tVariant Datatype Tag = ",
    "Unexpected duplicate Variant Record Datatype ( ",
    " ) for FDD file.\n\tVariant Record Datatype = ",
    &Variant::name, &ZnFedTarget::hasVariantRecordDatatype,
    &ZnFedTarget::addVariantRecordDatatype, alternative, nullptr};

}  // namespace

ZnFedReadStatus walkTransportations(WalkContext& ctx, xmlNode* table) {
    return walkTable(kTransportTable, table, ctx);
}
ZnFedReadStatus walkTime(WalkContext& ctx, xmlNode* table) {
    return walkTable(kTimeTable, table, ctx);
}
ZnFedReadStatus walkSynchronizations(WalkContext& ctx, xmlNode* table) {
    return walkTable(kSyncTable, table, ctx);
}
ZnFedReadStatus walkTags(WalkContext& ctx, xmlNode* table) {
    return walkTable(kTagTable, table, ctx);
}
ZnFedReadStatus walkNotes(WalkContext& ctx, xmlNode* table) {
    return walkTable(kNoteTable, table, ctx);
}
ZnFedReadStatus walkUpdateRates(WalkContext& ctx, xmlNode* table) {
    return walkTable(kRateTable, table, ctx);
}
ZnFedReadStatus walkBasicData(WalkContext& ctx, xmlNode* first) {
    return walkRecords(kBasicTable, first, ctx);
}
ZnFedReadStatus walkSimpleData(WalkContext& ctx, xmlNode* first) {
    return walkRecords(kSimpleTable, first, ctx);
}
ZnFedReadStatus walkArrayData(WalkContext& ctx, xmlNode* first) {
    return walkRecords(kArrayTable, first, ctx);
}
ZnFedReadStatus walkEnumeratedData(WalkContext& ctx, xmlNode* first) {
    return walkRecords(kEnumeratedTable, first, ctx);
}
ZnFedReadStatus walkFixedRecordData(WalkContext& ctx, xmlNode* first) {
    return walkRecords(kFixedTable, first, ctx);
}
ZnFedReadStatus walkVariantRecordData(WalkContext& ctx, xmlNode* first) {
    return walkRecords(kVariantTable, first, ctx);
}

// ---------------------------------------------------------------------------
// Schema check and class walk, shared by the full and the checking reader

namespace {

// The last blank-separated token of a schemaLocation value (namespace, then path).
ZnString lastToken(const char* text) {
    const char* end = text + std::strlen(text);
    while (end > text && std::strchr(" \t\r\n", end[-1])) --end;
    const char* start = end;
    while (start > text && !std::strchr(" \t\r\n", start[-1])) --start;
    return ZnString(std::string(start, end).c_str());
}

const char* orDefault(const char* text, const char* fallback) { return text ? text : fallback; }

const char* const kSharingTexts[] = {"PublishSubscribe", "Publish", "Subscribe", "Neither"};

// Standard interactions a target that already holds another model may lack.
// Unlike the IEEE 1516-2000 reader no object class is optional: a module's
// classes are what it exists to add.
const char* const kOptionalInteractions[] = {
    "HLArequestSynchronizationPoint", "HLAreportSynchronizationPoint",
    "HLArequestAttributeTransportationTypeChange", "HLArequestInteractionTransportationTypeChange"};

// Children of an interaction class that describe the class itself.
const char* const kInteractionProperties[] = {"name",       "transportation", "order",
                                              "dimensions", "sharing",        "semantics"};

}  // namespace

ZnString trimmed(ZnString text) {
    text.chompFront();
    text.chompBack();
    return text;
}

int resignActionCode(const char* text) {
    static const struct {
        const char* text;
        int code;
    } kResignActions[] = {
        {"UnconditionallyDivestAttributes", 1}, {"DeleteObjects", 2},
        {"CancelPendingOwnershipAcquisitions", 5}, {"DeleteObjectsThenDivest", 3},
        {"CancelThenDeleteThenDivest", 6}, {"NoAction", 4},
    };
    for (const auto& action : kResignActions)
        if (text && std::strcmp(text, action.text) == 0) return action.code;
    return 0;
}

ZnSharingType_enum sharingCode(const char* text) {
    if (!text) return ZnSharingPublishSubscribe;
    for (int code = 0; code < 4; ++code)
        if (std::strcmp(text, kSharingTexts[code]) == 0)
            return static_cast<ZnSharingType_enum>(code);
    return ZnSharingInvalid;
}

template <class Reader>
ZnFedReadStatus checkSchema(Reader& reader, xmlDoc* doc, const char* location,
                            const ZnFilename* fileName, ZnString& lastError) {
    if (!location) return ZnFedReadSuccess;
    ZnFilename path(lastToken(location).c_str());
    if (!path.exists() && path.relative() && fileName) {
        ZnFilename dir = fileName->stripFilename();
        if (!dir.empty()) {
            ZnFilename beside = dir.append(path);
            if (beside.exists()) path = beside;
        }
    }
    if (!path.exists()) {
        if (const PxsEmbeddedFile* copy = embeddedValidationFile(path.c_str())) {
            if (validateWithSchemaBytes(doc, reinterpret_cast<const char*>(copy->data),
                                        static_cast<unsigned int>(copy->size), copy->name))
                return ZnFedReadSuccess;
            lastError = "FDD file did not pass validation against schema " + path;
            return ZnFedReadFailed;
        }
        lastError = "Could not open schema file " + path;
        return ZnFedReadFailed;
    }
    if (!ZnIsRegularFile(path.c_str())) {
        lastError = "Schema is not a regular file: " + path;
        return ZnFedReadFailed;
    }
    if (!reader.schemaValidate(doc, path.c_str())) {
        lastError = "FDD file did not pass validation against schema " + path;
        return ZnFedReadFailed;
    }
    return ZnFedReadSuccess;
}

namespace {
// The full reader resolves user transportations and reports dimension
// problems through its own (overridable) steps; the checking reader has none.
template <class Reader>
constexpr bool kFull = std::is_same<Reader, ZnFedReader1516e>::value;
}  // namespace

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::objects(xmlNode* table) {
    xmlNode* root = reader_.getNodeByName(table, "objectClass");
    if (!root) return ZnFedReadSuccess;
    const char* name = reader_.childContentByName(root, "name");
    if (!name || std::strcmp(name, "HLAobjectRoot") != 0) {
        lastError_ = "Object class root is not HLAobjectRoot in FDD file.";
        return ZnFedReadFailed;
    }
    return reader_.parseObjectTree(root, ZnString());
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::interactions(xmlNode* table) {
    xmlNode* root = reader_.getNodeByName(table, "interactionClass");
    if (!root) return ZnFedReadSuccess;
    const char* name = reader_.childContentByName(root, "name");
    if (!name || std::strcmp(name, "HLAinteractionRoot") != 0) {
        lastError_ = "Interaction class with no root found in FDD file.";
        return ZnFedReadFailed;
    }
    return reader_.parseInteractionTree(root, ZnString());
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::objectClass(xmlNode* node, const ZnString& parentName) {
    const char* name = reader_.childContentByName(node, "name");
    if (!name) {
        lastError_ = "Object class, a child of " + parentName + ", with no name found in FDD file.\n";
        return ZnFedReadFailed;
    }
    ZnString fullName = fullNameOf(parentName, name);
    bool skip = kFull<Reader> && *roots_.objectRootReplaced && contains(fullName, "HLAmanager");
    ZnVerbose.printf("%sClass: %s, Base: %s \n", skip ? "Skip " : "", fullName.c_str(),
                     parentName.c_str());
    if (skip) ZnVerbose << "All subclasses and attributes will also be skipped\n";
    if (!skip && target_) {
        details_.source(node);
        if (offerObjectClass(*target_, fullName, parentName, roots_.objectRootReplaced, nullptr,
                             0) == Acceptance::Refused) {
            lastError_ = "Object class " + fullName + " was refused by the FED target";
            reader_.appendErrorLine(node, lastError_);
            return ZnFedReadFailed;
        }
        if (classDetails(node, fullName, false) != ZnFedReadSuccess) return ZnFedReadFailed;
    }
    return objectChildren(node, fullName, skip);
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::classDetails(xmlNode* node, const ZnString& fullName,
                                                bool interaction) {
    if (!details_.details) return ZnFedReadSuccess;
    ZnString semantics(orDefault(reader_.childContentByName(node, "semantics"), ""));
    details_.details->classDetails(fullName, interaction,
                                   sharingCode(reader_.childContentByName(node, "sharing")),
                                   semantics);
    return details_.stopped(lastError_) ? ZnFedReadFailed : ZnFedReadSuccess;
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::memberDataType(xmlNode* node, const ZnString& className,
                                                  const ZnString& member, bool attribute) {
    if (!details_.details) return ZnFedReadSuccess;
    if (const char* text = reader_.childContentByName(node, "dataType")) {
        ZnString dataType = trimmed(text);
        if (attribute)
            details_.details->attributeDataType(className, member, dataType);
        else
            details_.details->parameterDataType(className, member, dataType);
    }
    return details_.stopped(lastError_) ? ZnFedReadFailed : ZnFedReadSuccess;
}

// Elements other than classes and attributes describe the class; the full
// reader checks the first `sharing` among them.
template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::objectChildren(xmlNode* node, const ZnString& fullName,
                                                  bool skip) {
    ZnFedReadStatus status = ZnFedReadSuccess;
    bool sharingSeen = !kFull<Reader>;
    for (xmlNode* child = node->children; child && status == ZnFedReadSuccess;
         child = child->next) {
        if (skip || child->type != XML_ELEMENT_NODE) continue;
        if (isNamed(child, "objectClass")) {
            status = reader_.parseObjectTree(child, fullName);
        } else if (isNamed(child, "attribute")) {
            status = reader_.parseAttribute(child, fullName);
        } else if (isNamed(child, "sharing") && !sharingSeen) {
            sharingSeen = true;
            status = classSharing(node, fullName);
        }
    }
    return status;
}

// A class's own sharing text, checked only under strict bit 1.
template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::classSharing(xmlNode* node, const ZnString& fullName) {
    const char* text = reader_.childContentByName(node, "sharing");
    if (!reader_.strictChecking(1) || sharingCode(text) != ZnSharingInvalid)
        return ZnFedReadSuccess;
    lastError_ = "Invalid sharing ";
    lastError_ += orDefault(text, "");
    lastError_ += " for object class " + fullName;
    reader_.appendErrorLine(reader_.getNodeByName(node, "sharing"), lastError_);
    return ZnFedReadFailed;
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::orderError(xmlNode* node) {
    lastError_ = "Unknown delivery order found in FDD file.\n\tOrder = ";
    lastError_ += orDefault(reader_.childContentByName(node, "order"), "");
    lastError_ += "\n";
    reader_.appendNodeProperties(node, lastError_);
    return strictStatus(reader_);
}

template <class Reader>
ZnTransportType ClassWalk<Reader>::transportOf(xmlNode* node, const ZnString& className,
                                               const ZnString& memberName, bool isAttribute) {
    if constexpr (kFull<Reader>) {
        ZnTransportType code = ZnTransportNone;
        reader_.getTransportType(node, code, className, memberName, isAttribute);
        return code;
    } else {
        return reader_.getTransportType(node);
    }
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::attribute(xmlNode* node, const ZnString& className) {
    const char* name = reader_.childContentByName(node, "name");
    if (!name) {
        if (kFull<Reader>)
            lastError_ = "Attribute of " + className + " has no name in FDD file.";
        else
            lastError_ = "Attribute with no name found in FDD file.\n";
        return ZnFedReadFailed;
    }
    const ZnString attributeName(name);
    ZnTransportType transport = transportOf(node, className, attributeName, true);
    ZnOrderType order;
    if (!reader_.getOrderType(node, order)) {
        if (orderError(node) != ZnFedReadSuccess) return ZnFedReadFailed;
        // Without strict checking the standard's one time-stamped attribute
        // keeps its order in the full reader; every other attribute falls
        // back to receive order.
        bool privilege = kFull<Reader> && className == "HLAobjectRoot" &&
                         std::strcmp(name, "HLAprivilegeToDelete") == 0;
        order = privilege ? ZnOrderTimeStamp : ZnOrderReceive;
    }
    if constexpr (!kFull<Reader>) {
        ZnVerbose.printf("\tAttribute: %s\n", name);
        if (!target_) return ZnFedReadSuccess;
        target_->addSpaceAttribute(className.c_str(), name, transport, order, nullptr);
        attributeDimensions(node, className, attributeName);
        return ZnFedReadSuccess;
    } else {
        return deliverAttribute(node, className, attributeName, transport, order);
    }
}

// The full reader's attribute: sharing checked, every property delivered,
// dimensions through its own (overridable) step.
template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::deliverAttribute(xmlNode* node, const ZnString& className,
                                                    const ZnString& attributeName,
                                                    ZnTransportType transport,
                                                    ZnOrderType order) {
    const char* name = attributeName.c_str();
    const char* sharingText = reader_.childContentByName(node, "sharing");
    ZnSharingType_enum sharing = sharingCode(sharingText);
    if (sharing == ZnSharingInvalid) {
        lastError_ = "Invalid sharing ";
        lastError_ += orDefault(sharingText, "");
        lastError_ += " for attribute " + attributeName + " of object class " + className;
        reader_.appendErrorLine(node, lastError_);
        if (reader_.strictChecking(1)) return ZnFedReadFailed;
    }
    if (ZnNotifyLevel > 2)
        ZnVerbose.printf("\tAttribute: %s, transport: %s, order: %s\n", name,
                         orDefault(reader_.childContentByName(node, "transportation"), "HLAbestEffort"),
                         orDefault(reader_.childContentByName(node, "order"), "Receive"));
    if (!target_) return ZnFedReadSuccess;
    ZnString semantics, updateCondition;
    reader_.getSemantics(node, semantics);
    reader_.getUpdateCondition(node, updateCondition);
    details_.source(node);
    if (details_.details)
        details_.details->attributeProperties(givenProperties(
            [&](const char* property) { return reader_.childContentByName(node, property); }));
    target_->addAttribute(className.c_str(), name, transport, order, sharing,
                          reader_.getUpdateType(node), &updateCondition,
                          reader_.getOwnershipType(node), &semantics, nullptr);
    if (memberDataType(node, className, attributeName, true) != ZnFedReadSuccess)
        return ZnFedReadFailed;
    return reader_.parseAttributeDimensions(node, className, attributeName);
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::attributeDimensions(xmlNode* node, const ZnString& className,
                                                       const ZnString& attributeName) {
    xmlNode* list = target_ ? reader_.getNodeByName(node, "dimensions") : nullptr;
    if (!list) return ZnFedReadSuccess;
    return dimensionElements(list, className, &attributeName);
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::interactionDimensions(xmlNode* node,
                                                         const ZnString& className) {
    xmlNode* list = target_ ? reader_.getNodeByName(node, "dimensions") : nullptr;
    if (!list) return ZnFedReadSuccess;
    return dimensionElements(list, className, nullptr);
}

// The `dimensions` element of an attribute (`attributeName` set) or an
// interaction class: `dimension` children naming dimensions, or the text NA.
// The full reader reports stray text; refusals, empty names and stray
// elements count only under strict bit 1. The checking reader hands every
// named dimension on and ignores the rest and the answers.
template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::dimensionElements(xmlNode* list, const ZnString& className,
                                                     const ZnString* attributeName) {
    const bool quiet = !kFull<Reader>;
    const bool strict = !quiet && reader_.strictChecking(1);
    ZnString owner = attributeName
                         ? " for attribute " + *attributeName + " of object class " + className
                         : " for interaction class " + className;
    for (xmlNode* child = list->children; child; child = child->next) {
        if (isSkipped(child)) continue;
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
            ZnString text = trimmed(reinterpret_cast<const char*>(child->content));
            if (quiet || text == "NA") continue;
            lastError_ = text + "\" is an invalid value for the symbol \"dimensions\"";
            reader_.appendErrorLine(list, lastError_);
            continue;
        }
        if (!isElementNamed(child, "dimension")) {
            if (!strict) continue;
            lastError_ = attributeName ? "Unexpected tag in dimension list" + owner
                                       : "Unexpected tag in dimension list for interaction class " +
                                             className;
            return ZnFedReadFailed;
        }
        ZnString dimension = trimmed(elementText(child));
        if (dimension.empty()) {
            if (!strict || !attributeName) continue;
            lastError_ = "Empty or invalid dimension in attribute " + *attributeName +
                         " of object class " + className;
            return ZnFedReadFailed;
        }
        if (strcasecmp(dimension.c_str(), "NA") == 0) continue;
        bool added = attributeName ? target_->addAttributeDimension(className.c_str(),
                                                                    attributeName->c_str(),
                                                                    dimension.c_str())
                                   : target_->addInteractionDimension(className.c_str(),
                                                                      dimension.c_str());
        if (!added && strict) {
            lastError_ = "Error adding dimension " + dimension + owner;
            return ZnFedReadFailed;
        }
    }
    return ZnFedReadSuccess;
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::interactionClass(xmlNode* node, const ZnString& parentName) {
    const char* name = reader_.childContentByName(node, "name");
    if (!name) {
        lastError_ =
            "Interaction class, a child of " + parentName + ", with no name found in FDD file.\n";
        return ZnFedReadFailed;
    }
    ZnString fullName = fullNameOf(parentName, name);
    bool skip =
        kFull<Reader> && *roots_.interactionRootReplaced && contains(fullName, "HLAmanager");
    ZnTransportType transport = transportOf(node, fullName, ZnString::nullString(), false);
    ZnOrderType order;
    if (!reader_.getOrderType(node, order)) {
        if (orderError(node) != ZnFedReadSuccess) return ZnFedReadFailed;
        order = ZnOrderReceive;
    }
    if (!kFull<Reader>) {
        ZnVerbose.printf("Class: %s, base: %s\n", fullName.c_str(), parentName.c_str());
    } else if (ZnNotifyLevel > 2) {
        bool showValues = ZnNotifyLevel == 3;
        const char* transportText = reader_.childContentByName(node, "transportation");
        const char* orderText = reader_.childContentByName(node, "order");
        ZnVerbose.printf("%sClass: %s, base: %s, transport: %s, order: %s\n", skip ? "Skip " : "",
                         fullName.c_str(), parentName.c_str(),
                         showValues && transportText ? transportText : "HLAreliable",
                         showValues && orderText ? orderText : "Receive");
        if (skip) ZnVerbose << "All subclasses and parameters will also be skipped.\n";
    }
    if (!skip) {
        if (target_) {
            details_.source(node);
            Acceptance answer = offerInteractionClass(
                *target_, fullName, parentName, transport, order, roots_.interactionRootReplaced,
                kOptionalInteractions, std::size(kOptionalInteractions));
            if (answer == Acceptance::Refused) {
                lastError_ = "Interaction class " + fullName + " was refused by the FED target";
                reader_.appendErrorLine(node, lastError_);
                return ZnFedReadFailed;
            }
            skip = answer == Acceptance::Skipped;
            if (!skip && classDetails(node, fullName, true) != ZnFedReadSuccess)
                return ZnFedReadFailed;
        }
        // The class's own dimension problems are reported, never fatal to the walk.
        if constexpr (kFull<Reader>)
            reader_.parseInteractionDimensions(node, fullName);
        else
            interactionDimensions(node, fullName);
    }
    return interactionChildren(node, fullName, skip);
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::interactionChildren(xmlNode* node, const ZnString& fullName,
                                                       bool skip) {
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* child = node->children; child && status == ZnFedReadSuccess;
         child = child->next) {
        if (skip || child->type != XML_ELEMENT_NODE) continue;
        if (isNamed(child, "interactionClass")) {
            status = reader_.parseInteractionTree(child, fullName);
        } else if (isNamed(child, "parameter")) {
            status = reader_.parseParameter(child, fullName);
        } else if (std::none_of(std::begin(kInteractionProperties),
                                std::end(kInteractionProperties),
                                [&](const char* p) { return isNamed(child, p); })) {
            lastError_ = "Unexpected tag in interactions tree for FDD file.\n\tInteractions Tag = ";
            reader_.appendNodeContent(child, lastError_);
            status = strictStatus(reader_);
        }
    }
    return status;
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::parameter(xmlNode* node, const ZnString& className) {
    const char* name = reader_.childContentByName(node, "name");
    if (!name) {
        lastError_ = "Parameter of " + className + " has no name in FDD file.\n";
        return ZnFedReadFailed;
    }
    ZnVerbose.printf("\tParameter: %s\n", name);
    if (!target_) return ZnFedReadSuccess;
    details_.source(node);
    target_->addParameter(className.c_str(), name);
    return memberDataType(node, className, ZnString(name), false);
}

// The two readers of this form; nothing else instantiates the walk.
template class ClassWalk<ZnFedReader1516e>;
// The checking reader's public steps only: the full reader's attribute
// delivery is no part of it.
template ZnFedReadStatus ClassWalk<ZnXmlFedReader1516e>::objects(xmlNode*);
template ZnFedReadStatus ClassWalk<ZnXmlFedReader1516e>::interactions(xmlNode*);
template ZnFedReadStatus ClassWalk<ZnXmlFedReader1516e>::objectClass(xmlNode*, const ZnString&);
template ZnFedReadStatus ClassWalk<ZnXmlFedReader1516e>::attribute(xmlNode*, const ZnString&);
template ZnFedReadStatus ClassWalk<ZnXmlFedReader1516e>::interactionClass(xmlNode*,
                                                                         const ZnString&);
template ZnFedReadStatus ClassWalk<ZnXmlFedReader1516e>::parameter(xmlNode*, const ZnString&);
template ZnFedReadStatus checkSchema(ZnFedReader1516e&, xmlDoc*, const char*, const ZnFilename*,
                                     ZnString&);
template ZnFedReadStatus checkSchema(ZnXmlFedReader1516e&, xmlDoc*, const char*,
                                     const ZnFilename*, ZnString&);

}  // namespace evolved
}  // namespace pxsdetail::fdd
