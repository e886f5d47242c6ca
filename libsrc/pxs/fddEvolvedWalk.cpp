// fddEvolvedWalk.cpp -- the HLA Evolved form of the record tables, the
// dimension element and schema validation. As in fddWalk.cpp each table is
// one row of data (item elements, properties, messages, target operations)
// walked by one template, so a table's rules and texts live in one place.

#include <pxs/fddEvolvedWalk.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <strings.h>

#include <libxml/parserInternals.h>

#include <pxs/fedRecords.h>
#include <util/znFilename.h>
#include <util/znNotify.h>

namespace fdd {
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

// A schema may import or include others by any address; while one is read,
// libxml2 may load local files only. The loader is process-wide state, so
// the previous one is put back on every exit.
class NoNetworkLoads {
public:
    NoNetworkLoads() : previous_(xmlGetExternalEntityLoader()) {
        xmlSetExternalEntityLoader(xmlNoNetExternalEntityLoader);
    }
    ~NoNetworkLoads() { xmlSetExternalEntityLoader(previous_); }
    NoNetworkLoads(const NoNetworkLoads&) = delete;
    NoNetworkLoads& operator=(const NoNetworkLoads&) = delete;

private:
    xmlExternalEntityLoader previous_;
};

bool validateAgainst(xmlDoc* doc, xmlSchemaParserCtxt* parserCtxt, const char* what) {
    if (!parserCtxt) return false;
    NoNetworkLoads local;
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
    // Checked first so that libxml2 never tries to fetch a web address.
    if (!doc || !path || !ZnFilename(path).exists()) return false;
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
    if (ctx.target)
        ctx.target->addDimension(name, upperBound, lower, upper, excluded, &normalizationText);
    return ZnFedReadSuccess;
}

// ---------------------------------------------------------------------------
// Record tables

namespace {

// One property of a record: the child element it is read from and either the
// text member it fills or a conversion for values with a vocabulary. A
// conversion returns false after building its complaint in `message`.
template <class Rec>
struct Property {
    const char* element;
    ZnString Rec::*member;
    bool (*convert)(Rec& rec, xmlNode* node, const ZnString& value, ZnString& message);
};

// Error bookkeeping of one walk. Once a problem has ended the walk under
// strict, later problems do not replace its message: the caller should see
// what stopped the read.
class Walk {
public:
    explicit Walk(WalkContext& ctx) : ctx_(ctx) {}

    ZnFedTarget* target() const { return ctx_.target; }

    void report(const xmlNode* node, ZnString message, ZnFedReadStatus& status) {
        if (status != ZnFedReadSuccess) return;
        appendLocation(node, message);
        ctx_.lastError = message;
        if (ctx_.strict) status = ZnFedReadFailed;
    }

    // Message + the node's content + location, as for every unexpected tag.
    void reportTag(xmlNode* node, const char* text, ZnFedReadStatus& status) {
        ZnString message(text);
        appendContent(node, message);
        report(node, message, status);
    }

    void reportDuplicate(const xmlNode* node, ZnString message, ZnFedReadStatus status) {
        if (status != ZnFedReadSuccess) return;
        appendLocation(node, message);
        ctx_.lastError = message;
    }

private:
    WalkContext& ctx_;
};

template <class Rec>
using ItemFn = bool (*)(Rec& rec, xmlNode* child, Walk& walk, ZnFedReadStatus& status);

template <class Rec>
struct Table {
    const char* const* elements;  // null-terminated; null: every element is an item
    ZnString Rec::*nodeName;      // receives the item element's name, or null
    const Property<Rec>* properties;
    size_t propertyCount;
    const char* badChild;    // a child of a record that is no property
    const char* badElement;  // an element of the table that is no record
    const char* duplicateOpen;
    const char* duplicateClose;
    ZnString Rec::*key;  // the name quoted in the duplicate message
    bool (ZnFedTarget::*has)(const Rec*) const;
    void (ZnFedTarget::*add)(Rec*);
    ItemFn<Rec> item;  // takes the nested item elements (enumerators, ...), or null
};

template <class T, size_t N>
constexpr size_t countOf(T (&)[N]) {
    return N;
}

template <class Rec>
const Property<Rec>* findProperty(const xmlNode* node, const Property<Rec>* properties,
                                  size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (isNamed(node, properties[i].element)) return &properties[i];
    return nullptr;
}

// Fills `rec` from the children of `node`: properties by name (a later
// element of a name replaces the earlier value), items through `item`.
template <class Rec>
void fillProperties(Rec& rec, xmlNode* node, const Property<Rec>* properties, size_t count,
                    ItemFn<Rec> item, const char* badChild, Walk& walk,
                    ZnFedReadStatus& status) {
    for (xmlNode* child = node->children; child; child = child->next) {
        if (isSkipped(child)) continue;
        const Property<Rec>* property =
            child->type == XML_ELEMENT_NODE ? findProperty(child, properties, count) : nullptr;
        if (property) {
            ZnString value = elementText(child);
            ZnString message;
            if (property->member)
                rec.*(property->member) = std::move(value);
            else if (!property->convert(rec, child, value, message))
                walk.report(child, message, status);
            continue;
        }
        if (item && child->type == XML_ELEMENT_NODE && item(rec, child, walk, status)) continue;
        walk.reportTag(child, badChild, status);
    }
}

// An item record (enumerator, field, alternative) in its parent's set.
template <class Item>
bool takeItem(std::set<boost::shared_ptr<Item>>& items, const char* element,
              const Property<Item>* properties, size_t count, const char* badChild,
              xmlNode* child, Walk& walk, ZnFedReadStatus& status) {
    if (!isNamed(child, element)) return false;
    boost::shared_ptr<Item> entry(new Item);
    fillProperties<Item>(*entry, child, properties, count, nullptr, badChild, walk, status);
    items.insert(entry);
    return true;
}

bool isItemElement(const xmlNode* node, const char* const* elements) {
    if (node->type != XML_ELEMENT_NODE) return false;
    if (!elements) return true;
    for (; *elements; ++elements)
        if (isNamed(node, *elements)) return true;
    return false;
}

// Hands the record to the target unless it names a record the target holds;
// a refused record is freed here, on leaving scope.
template <class Rec>
void deliver(const Table<Rec>& table, std::unique_ptr<Rec> rec, xmlNode* node, Walk& walk,
             ZnFedReadStatus status) {
    ZnFedTarget* target = walk.target();
    if (!target) return;
    if ((target->*table.has)(rec.get())) {
        ZnString message(table.duplicateOpen);
        message += (*rec).*(table.key);
        message += table.duplicateClose;
        appendContent(node, message);
        walk.reportDuplicate(node, message, status);
        return;
    }
    (target->*table.add)(rec.release());
}

// Records are delivered even when one of their properties was in error, so
// the target sees what the file says.
template <class Rec>
ZnFedReadStatus walkRecords(const Table<Rec>& table, xmlNode* first, WalkContext& ctx) {
    Walk walk(ctx);
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* node = first; node && status == ZnFedReadSuccess; node = node->next) {
        if (isSkipped(node)) continue;
        if (!isItemElement(node, table.elements)) {
            walk.reportTag(node, table.badElement, status);
            continue;
        }
        auto rec = std::make_unique<Rec>();
        if (table.nodeName) (*rec).*(table.nodeName) = str(node->name);
        fillProperties<Rec>(*rec, node, table.properties, table.propertyCount, table.item,
                            table.badChild, walk, status);
        deliver(table, std::move(rec), node, walk, status);
    }
    return status;
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
    &Transport::name, &ZnFedTarget::hasTransportation, &ZnFedTarget::addTransportation, nullptr};

using Time = ZnTimeType;
const Property<Time> kTimeProperties[] = {
    {"dataType", &Time::dataType, nullptr},
    {"semantics", &Time::semantics, nullptr},
};
const char* const kTimeElements[] = {"timeStamp", "lookahead", nullptr};
const Table<Time> kTimeTable = {
    kTimeElements, &Time::name, kTimeProperties, countOf(kTimeProperties),
    "Unexpected tag in Time Tree for FDD file.\n\tTime Tag = ",
    "Unexpected tag in times list for FDD file.\n\tTime Tag = ",
    "Unexpected duplicate time type ( ", " ) for FDD file.\n\ttime Tag = ",
    &Time::name, &ZnFedTarget::hasTime, &ZnFedTarget::addTime, nullptr};

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
    nullptr};

// Every element of `tags` is a tag named after its element.
using Tag = ZnUserSuppliedTagsType;
const Property<Tag> kTagProperties[] = {
    {"dataType", &Tag::dataType, nullptr},
    {"semantics", &Tag::semantics, nullptr},
};
const Table<Tag> kTagTable = {
    nullptr, &Tag::name, kTagProperties, countOf(kTagProperties),
    "Unexpected tag in User Supplied Tag for FDD file.\n\tUser Supplied Tag = ",
    "Unexpected tag in User Supplied Tag for FDD file.\n\tUser Supplied Tag = ",
    "Unexpected duplicate User Supplied Tag ( ", " ) for FDD file.\n\tUser Supplied Tag = ",
    &Tag::name, &ZnFedTarget::hasUserSuppliedTag, &ZnFedTarget::addUserSuppliedTag, nullptr};

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
    &Note::name, &ZnFedTarget::hasNote, &ZnFedTarget::addNote, nullptr};

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
    &Rate::name, &ZnFedTarget::hasUpdateRate, &ZnFedTarget::addUpdateRate, nullptr};

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
    &ZnFedTarget::addBasicDataRepresentation, nullptr};

using Simple = ZnSimpleDatatypeType;
const Property<Simple> kSimpleProperties[] = {
    {"name", &Simple::name, nullptr},
    {"representation", &Simple::representation, nullptr},
    {"units", &Simple::units, nullptr},
    {"resolution", &Simple::resolution, nullptr},
    {"accuracy", &Simple::accuracy, nullptr},
    {"semantics", &Simple::semantics, nullptr},
};
const char* const kSimpleElements[] = {"simpleData", nullptr};
const Table<Simple> kSimpleTable = {
    kSimpleElements, nullptr, kSimpleProperties, countOf(kSimpleProperties),
    "Unexpected tag in Simple Datatype for FDD file.\n\tSimple Datatype Tag = ",
    "Unexpected tag in Simple Datatype tree for FDD file.\n\tSimple Datatype Tag = ",
    "Unexpected duplicate Simple Datatype ( ", " ) for FDD file.\n\tSimple Datatype = ",
    &Simple::name, &ZnFedTarget::hasSimpleDatatype, &ZnFedTarget::addSimpleDatatype, nullptr};

using Array = ZnArrayDatatypeType;
const Property<Array> kArrayProperties[] = {
    {"name", &Array::name, nullptr},
    {"dataType", &Array::dataType, nullptr},
    {"cardinality", &Array::cardinality, nullptr},
    {"encoding", &Array::encoding, nullptr},
    {"semantics", &Array::semantics, nullptr},
};
const char* const kArrayElements[] = {"arrayData", nullptr};
const Table<Array> kArrayTable = {
    kArrayElements, nullptr, kArrayProperties, countOf(kArrayProperties),
    "Unexpected tag in Array Datatype for FDD file.\n\tArray Datatype Tag = ",
    "Unexpected tag in Array Datatype tree for FDD file.\n\tArray Datatype Tag = ",
    "Unexpected duplicate Array Datatype ( ", " ) for FDD file.\n\tArray Datatype = ",
    &Array::name, &ZnFedTarget::hasArrayDatatype, &ZnFedTarget::addArrayDatatype, nullptr};

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
const Property<Enumerated> kEnumeratedProperties[] = {
    {"name", &Enumerated::name, nullptr},
    {"representation", &Enumerated::representation, nullptr},
    {"semantics", &Enumerated::semantics, nullptr},
};
const char* const kEnumeratedElements[] = {"enumeratedData", nullptr};
const Table<Enumerated> kEnumeratedTable = {
    kEnumeratedElements, nullptr, kEnumeratedProperties, countOf(kEnumeratedProperties),
    "Unexpected tag in Enumerated Datatype for FDD file.\n\tEnumerated Datatype Tag = ",
    "Unexpected tag in Enumerated Datatype tree for FDD file.\n\tEnumerated Datatype Tag = ",
    "Unexpected duplicate Enumerated Datatype ( ", " ) for FDD file.\n\tEnumerated Datatype = ",
    &Enumerated::name, &ZnFedTarget::hasEnumeratedDatatype, &ZnFedTarget::addEnumeratedDatatype,
    enumerator};

const Property<ZnFieldType> kFieldProperties[] = {
    {"name", &ZnFieldType::name, nullptr},
    {"dataType", &ZnFieldType::dataType, nullptr},
    {"semantics", &ZnFieldType::semantics, nullptr},
};

using Fixed = ZnFixedRecordDatatypeType;
bool field(Fixed& rec, xmlNode* child, Walk& walk, ZnFedReadStatus& status) {
    return takeItem(rec.fields, "field", kFieldProperties, countOf(kFieldProperties),
                           "Unexpected tag in Field in Fixed Datatype for FDD file.\n\t"
                           "Field Tag = ",
                           child, walk, status);
}
const Property<Fixed> kFixedProperties[] = {
    {"name", &Fixed::name, nullptr},
    {"encoding", &Fixed::encoding, nullptr},
    {"semantics", &Fixed::semantics, nullptr},
};
const char* const kFixedElements[] = {"fixedRecordData", nullptr};
const Table<Fixed> kFixedTable = {
    kFixedElements, nullptr, kFixedProperties, countOf(kFixedProperties),
    "Unexpected tag in Fixed Datatype for FDD file.\n\tFixed Datatype Tag = ",
    "Unexpected tag in Fixed Datatype tree for FDD file.\n\tFixed Datatype Tag = ",
    "Unexpected duplicate Fixed Record Datatype ( ",
    " ) for FDD file.\n\tFixed Record Datatype = ",
    &Fixed::name, &ZnFedTarget::hasFixedRecordDatatype, &ZnFedTarget::addFixedRecordDatatype,
    field};

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
const Property<Variant> kVariantProperties[] = {
    {"name", &Variant::name, nullptr},
    {"discriminant", &Variant::discriminant, nullptr},
    {"dataType", &Variant::dataType, nullptr},
    {"encoding", &Variant::encoding, nullptr},
    {"semantics", &Variant::semantics, nullptr},
};
const char* const kVariantElements[] = {"variantRecordData", nullptr};
const Table<Variant> kVariantTable = {
    kVariantElements, nullptr, kVariantProperties, countOf(kVariantProperties),
    "Unexpected tag in Variant Datatype for FDD file.\n\tVariant Datatype Tag = ",
    "Unexpected tag in Variant Datatype tree for FDD file.\n\tVariant Datatype Tag = ",
    "Unexpected duplicate Variant Record Datatype ( ",
    " ) for FDD file.\n\tVariant Record Datatype = ",
    &Variant::name, &ZnFedTarget::hasVariantRecordDatatype,
    &ZnFedTarget::addVariantRecordDatatype, alternative};

xmlNode* firstChild(xmlNode* table) { return table ? table->children : nullptr; }

}  // namespace

ZnFedReadStatus walkTransportations(WalkContext& ctx, xmlNode* table) {
    return walkRecords(kTransportTable, firstChild(table), ctx);
}
ZnFedReadStatus walkTime(WalkContext& ctx, xmlNode* table) {
    return walkRecords(kTimeTable, firstChild(table), ctx);
}
ZnFedReadStatus walkSynchronizations(WalkContext& ctx, xmlNode* table) {
    return walkRecords(kSyncTable, firstChild(table), ctx);
}
ZnFedReadStatus walkTags(WalkContext& ctx, xmlNode* table) {
    return walkRecords(kTagTable, firstChild(table), ctx);
}
ZnFedReadStatus walkNotes(WalkContext& ctx, xmlNode* table) {
    return walkRecords(kNoteTable, firstChild(table), ctx);
}
ZnFedReadStatus walkUpdateRates(WalkContext& ctx, xmlNode* table) {
    return walkRecords(kRateTable, firstChild(table), ctx);
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

}  // namespace evolved
}  // namespace fdd
