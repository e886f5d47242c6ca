// fddWalk.cpp -- node helpers, value codes, the dimension value syntax and
// the table-driven record walks shared by the IEEE 1516-2000 readers. Each
// record table is one row of data (element, properties, messages, target
// operations); one template walks them all, so a table's rules live in one
// place and its messages can be found by searching for their text.

#include <pxs/fddWalk.h>

#include <climits>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>
#include <strings.h>

#include <libxml/SAX2.h>
#include <libxml/hash.h>

#include <pxs/fddRecordProperties.h>
#include <pxs/fddRecordWalk.h>
#include <pxs/fedReader1516.h>
#include <pxs/fedRecords.h>
#include <pxs/standardFilesInternal.h>
#include <pxs/xmlFedReader.h>
#include <util/xmlSetup.h>
#include <util/znFilename.h>
#include <util/znNotify.h>
#include <util/znOpenFile.h>

namespace pxsdetail::fdd {

namespace {

const char* str(const xmlChar* s) { return reinterpret_cast<const char*>(s); }
const xmlChar* xstr(const char* s) { return reinterpret_cast<const xmlChar*>(s); }

bool isBlankChar(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

void skipBlanks(const char*& p) {
    while (isBlankChar(*p)) ++p;
}

// Reads one or more decimal digits into a 64-bit value; false on no digit or overflow.
bool readDecimal(const char*& p, uint64_t* value) {
    if (*p < '0' || *p > '9') return false;
    uint64_t v = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        unsigned digit = static_cast<unsigned>(*p - '0');
        if (v > (UINT64_MAX - digit) / 10) return false;
        v = v * 10 + digit;
    }
    *value = v;
    return true;
}

// libxml2 must neither fetch anything nor print; positions past line 65535
// are kept exact because error texts quote them.
constexpr int kParseOptions =
    XML_PARSE_NOBLANKS | XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
    XML_PARSE_BIG_LINES;

}  // namespace

namespace {

// An attribute that uses entities is kept by libxml2 as a list of text and
// entity-reference nodes. Its text is built here in one pass: joining it
// the library's way copies the text so far once per reference, which grows
// with the square of the references.
constexpr size_t kMaxAttributeText = size_t(1) << 20;
constexpr size_t kMaxEntityNesting = 16;

bool appendValueText(const xmlDoc* doc, const xmlNode* node, std::string& out) {
    std::vector<const xmlNode*> resume;
    for (;;) {
        if (!node) {
            if (resume.empty()) return true;
            node = resume.back();
            resume.pop_back();
            continue;
        }
        const xmlNode* next = node->next;
        const xmlChar* content = node->content;
        if (node->type == XML_ENTITY_REF_NODE) {
            if (xmlEntity* entity = xmlGetDocEntity(const_cast<xmlDoc*>(doc), node->name)) {
                if (resume.size() >= kMaxEntityNesting) return false;
                resume.push_back(next);
                next = entity->children;
                content = nullptr;
            }
        } else if (node->type != XML_TEXT_NODE && node->type != XML_CDATA_SECTION_NODE) {
            content = nullptr;
        }
        if (content) {
            size_t n = std::strlen(str(content));
            if (n > kMaxAttributeText - out.size()) return false;
            out.append(str(content), n);
        }
        node = next;
    }
}

bool isPlainValue(const xmlNode* value) {
    return !value || (!value->next && value->type == XML_TEXT_NODE);
}

bool declaresEntities(const xmlDoc* doc) {
    if (!doc) return false;
    for (const xmlDtd* dtd : {doc->intSubset, doc->extSubset})
        if (dtd && dtd->entities && xmlHashSize(static_cast<xmlHashTablePtr>(dtd->entities)) > 0)
            return true;
    return false;
}

}  // namespace

bool checkAttributeExpansion(const xmlNode* root, ZnString& lastError) {
    // Without declared entities a value is one text node: libxml2 turns
    // character and predefined references into text. Most documents end
    // here, before a walk that costs a tenth of a read.
    if (!root || !declaresEntities(root->doc)) return true;
    std::string scratch;
    for (const xmlNode* node = root; node;) {
        if (node->type == XML_ELEMENT_NODE) {
            for (const xmlAttr* a = node->properties; a; a = a->next) {
                if (isPlainValue(a->children)) continue;
                scratch.clear();
                if (appendValueText(a->doc, a->children, scratch)) continue;
                lastError = "Attribute ";
                lastError += a->name ? str(a->name) : "";
                lastError += " of element ";
                lastError += node->name ? str(node->name) : "";
                lastError += " near line ";
                lastError += ZnString(static_cast<int>(xmlGetLineNo(node)));
                lastError += " expands through entities to more than 1048576 bytes or 16 levels.";
                return false;
            }
        }
        // Pre-order, without recursion: documents nest as deep as libxml2 allows.
        if (node->type == XML_ELEMENT_NODE && node->children) {
            node = node->children;
            continue;
        }
        while (node && node != root && !node->next) node = node->parent;
        node = (node && node != root) ? node->next : nullptr;
    }
    return true;
}

const char* property(const xmlNode* node, const char* name, PropertyScratch& scratch) {
    if (!node || node->type != XML_ELEMENT_NODE) return nullptr;
    for (const xmlAttr* a = node->properties; a; a = a->next) {
        // Called for every property of every member: compare the first
        // character inline before paying for a full comparison.
        const char* attrName = str(a->name);
        if (!attrName || attrName[0] != name[0] || std::strcmp(attrName, name) != 0) continue;
        const xmlNode* value = a->children;
        if (!value) return "";
        // The common case, one text node, is handed out without copying.
        if (!value->next && value->type == XML_TEXT_NODE) return value->content ? str(value->content) : "";
        std::string joined;
        appendValueText(a->doc, value, joined);
        scratch.emplace_back(joined.c_str());
        return scratch.back().c_str();
    }
    return nullptr;
}

ZnString attributeText(const xmlAttr* attr) {
    const xmlNode* value = attr->children;
    if (!value) return ZnString();
    if (!value->next && value->type == XML_TEXT_NODE) return ZnString(str(value->content));
    std::string joined;
    appendValueText(attr->doc, value, joined);
    return ZnString(joined.c_str());
}

bool isBlankText(const xmlNode* node) {
    if (node->type != XML_TEXT_NODE) return false;
    if (!node->content) return true;
    for (const char* p = str(node->content); *p; ++p)
        if (!isBlankChar(*p)) return false;
    return true;
}

xmlNode* childNamed(const xmlNode* node, const char* name) {
    if (!node) return nullptr;
    for (xmlNode* c = node->children; c; c = c->next)
        if (isNamed(c, name)) return c;
    return nullptr;
}

xmlNode* childElementNamed(const xmlNode* node, const char* name) {
    if (!node) return nullptr;
    for (xmlNode* c = node->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE && isNamed(c, name)) return c;
    return nullptr;
}

void appendLocation(const xmlNode* node, ZnString& text) {
    text += " at XML Node ";
    text += (node && node->name) ? str(node->name) : "*";
    text += " near line ";
    text += ZnString(static_cast<int>(node ? xmlGetLineNo(node) : -1));
}

void appendProperties(const xmlNode* node, ZnString& text) {
    if (!node || node->type != XML_ELEMENT_NODE) return;
    for (const xmlAttr* a = node->properties; a; a = a->next) {
        text += str(a->name);
        if (a->children) {
            text += "= ";
            text += attributeText(a);
        }
        text += "\n";
    }
}

void appendContent(const xmlNode* node, ZnString& text) {
    text += (node && node->name) ? str(node->name) : "*";
    text += " ";
    XmlCharPtr content(node ? xmlNodeGetContent(node) : nullptr);
    text += content ? str(content.get()) : "*";
}

namespace {

// Set as xmlDoc::_private on a document this file parsed: its elements keep
// the line their start tag begins on in xmlNode::_private. A document from
// elsewhere may use those fields for its own ends, so only this mark lets
// startLineOf trust them.
const char kStartLinesKept = 0;

bool isXmlBlank(xmlChar c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The line of the `<` that opened the start tag the parser of `input` has
// just read up to its `>` or `/>`; the parser's own line when the `<` is no
// longer in the buffer. A tag without attributes is its name and blanks, so
// its `<` is found without a walk over it: most Evolved elements are such.
int tagStartLine(const xmlParserInput* input, const xmlChar* localName, const xmlChar* prefix,
                 int attributes) {
    const xmlChar* base = input->base;
    const xmlChar* p = input->cur;
    int line = input->line;
    if (attributes == 0) {
        for (; p > base && isXmlBlank(p[-1]); --p)
            if (p[-1] == '\n') --line;
        size_t name = std::strlen(str(localName)) + (prefix ? std::strlen(str(prefix)) + 1 : 0);
        if (static_cast<size_t>(p - base) > name && p[-1 - static_cast<ptrdiff_t>(name)] == '<')
            return line;
        p = input->cur;
        line = input->line;
    }
    for (; p > base && p[-1] != '<'; --p)
        if (p[-1] == '\n') --line;
    return p > base ? line : input->line;
}

// libxml2 makes an element once its start tag has been read whole and
// numbers it by the line the parser stands on then: the last line of a tag
// spread over several, where users look for the first. So after libxml2 has
// made the node we go back from the parser's position to the `<` that
// opened the tag (no raw `<` can stand in between: an attribute value must
// escape it) and take off the line ends libxml2 counted on its way forward.
// The input position counts exactly past line 65535, where the node's own
// field stops. Elements of an entity's replacement text come from a second
// context libxml2 makes for that text, whose lines are the entity's: its
// _private is copied from ours but is not itself, and those nodes, like a
// node whose `<` already left the buffer, are dated as libxml2 dated them.
void startElementKeepingLine(void* ctx, const xmlChar* localName, const xmlChar* prefix,
                             const xmlChar* uri, int namespaceCount, const xmlChar** namespaces,
                             int attributeCount, int defaultedCount, const xmlChar** attributes) {
    auto* ctxt = static_cast<xmlParserCtxt*>(ctx);
    const xmlNode* parent = ctxt->node;
    xmlSAX2StartElementNs(ctx, localName, prefix, uri, namespaceCount, namespaces, attributeCount,
                          defaultedCount, attributes);
    xmlNode* node = ctxt->node;
    const xmlParserInput* input = ctxt->input;
    // Without a new node libxml2 ran out of memory and ends the parse.
    if (!node || node == parent || ctxt->_private != ctxt) return;
    if (!input || !input->cur || !input->base) return;
    int line = tagStartLine(input, localName, prefix, attributeCount + namespaceCount);
    if (line > 0) node->_private = reinterpret_cast<void*>(static_cast<intptr_t>(line));
}

// Gives `ctxt` the element handler above; the context must have been made
// by xmlNewParserCtxt (its SAX handler is its own copy).
void keepStartLines(xmlParserCtxt* ctxt) {
    ctxt->sax->startElementNs = startElementKeepingLine;
    ctxt->_private = ctxt;
}

void markStartLines(const XmlDocPtr& doc) {
    if (doc) doc->_private = const_cast<char*>(&kStartLinesKept);
}

}  // namespace

int startLineOf(const xmlNode* node) {
    if (!node) return 0;
    if (node->_private && node->doc && node->doc->_private == &kStartLinesKept)
        return static_cast<int>(reinterpret_cast<intptr_t>(node->_private));
    return static_cast<int>(xmlGetLineNo(node));
}

XmlDocPtr parseBytes(const char* bytes, unsigned int length, const char* url) {
    if (!bytes || length > static_cast<unsigned int>(INT_MAX)) return nullptr;
    PxsXmlLoads loads(PxsXmlLoads::Nothing);
    XmlParserCtxtPtr ctxt(xmlNewParserCtxt());
    if (!ctxt) return nullptr;
    keepStartLines(ctxt.get());
    XmlDocPtr doc(xmlCtxtReadMemory(ctxt.get(), bytes, static_cast<int>(length), url, nullptr,
                                    kParseOptions));
    markStartLines(doc);
    if (!doc && url) {
        // The reader's own message is fixed text; this says where the bytes broke.
        const xmlError* err = xmlCtxtGetLastError(ctxt.get());
        if (err && err->message)
            ZnWarn.printf("%s:%d: %s", url, err->line, err->message);
    }
    return doc;
}

XmlDocPtr parseFile(const char* path) {
    // libxml2 opens the document itself through the loader too.
    PxsXmlLoads loads(PxsXmlLoads::OneFile, path);
    XmlParserCtxtPtr ctxt(xmlNewParserCtxt());
    if (!ctxt || !path) return nullptr;
    keepStartLines(ctxt.get());
    XmlDocPtr doc(xmlCtxtReadFile(ctxt.get(), path, nullptr, kParseOptions));
    markStartLines(doc);
    const xmlError* err = doc ? nullptr : xmlCtxtGetLastError(ctxt.get());
    if (err && err->message) ZnWarn.printf("%s:%d: %s", path, err->line, err->message);
    return doc;
}

xmlDtd* documentType(xmlDoc* doc) {
    for (xmlNode* n = doc ? doc->children : nullptr; n; n = n->next)
        if (n->type == XML_DTD_NODE) return reinterpret_cast<xmlDtd*>(n);
    return nullptr;
}

namespace {

// The first complaint of a validation goes to ZnWarn so the user learns
// where the document breaks the DTD; the readers' own messages are fixed.
struct ValidityLog {
    int errors = 0;
};

void validityError(void* ctx, const char* format, ...) {
    auto* log = static_cast<ValidityLog*>(ctx);
    if (log->errors++ > 0) return;
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    ZnWarn << "FDD DTD validation: " << text;
}

void validityWarning(void*, const char*, ...) {}

}  // namespace

ZnString fullNameOf(const ZnString& parentName, const char* name) {
    if (parentName.empty()) return ZnString(name);
    ZnString full(parentName);
    full += ".";
    full += name;
    return full;
}

const MissingTable kCheckedTableMessages[5] = {
    {kObjectsBit, "Missing or invalid objects table", 1},
    {kInteractionsBit, "Missing or invalid interactions table", 1},
    {kDimensionsBit, "Missing or invalid dimensions table", 1},
    {kTransportationsBit, "Missing or invalid transportations table", 1},
    {kSwitchesBit, "Missing or invalid switches table", 1},
};

ZnFedReadStatus checkObjectModelRoot(const xmlNode* root, const char* separator,
                                     ZnString& lastError) {
    if (!isNamed(root, "objectModel")) {
        lastError = "Root node is not Object Model.";
        lastError += separator;
        lastError += "Root Node Name: ";
        lastError += str(root->name);
        return ZnFedReadFailed;
    }
    if (!root->children) {
        lastError = "Bad FDD File. Object Model is empty.";
        return ZnFedReadFailed;
    }
    return ZnFedReadSuccess;
}

namespace {

bool validateAgainstDtd(xmlDoc* doc, const XmlDtdPtr& dtd) {
    if (!dtd) return false;
    XmlValidCtxtPtr ctxt(xmlNewValidCtxt());
    if (!ctxt) return false;
    ValidityLog log;
    ctxt->userData = &log;
    ctxt->error = validityError;
    ctxt->warning = validityWarning;
    return xmlValidateDtd(ctxt.get(), doc, dtd.get()) == 1;
}

}  // namespace

bool validateWithDtd(xmlDoc* doc, const char* path) {
    // Checked first so that a missing DTD does not make libxml2 print, and
    // a FIFO or device never gets opened.
    if (!doc || !ZnIsRegularFile(path)) return false;
    PxsXmlLoads loads(PxsXmlLoads::OneFile, path);
    return validateAgainstDtd(doc, XmlDtdPtr(xmlParseDTD(nullptr, xstr(path))));
}

bool validateWithDtdBytes(xmlDoc* doc, const char* bytes, size_t length) {
    if (!doc || !bytes) return false;
    PxsXmlLoads loads(PxsXmlLoads::Nothing);
    // The DTD parser takes the buffer over, also when it fails.
    xmlParserInputBuffer* input =
        xmlParserInputBufferCreateMem(bytes, static_cast<int>(length), XML_CHAR_ENCODING_NONE);
    if (!input) return false;
    return validateAgainstDtd(doc, XmlDtdPtr(xmlIOParseDTD(nullptr, input, XML_CHAR_ENCODING_NONE)));
}

bool parseUnsigned64(const char* text, uint64_t* value) {
    if (!text) return false;
    const char* p = text;
    skipBlanks(p);
    uint64_t v = 0;
    if (!readDecimal(p, &v) || *p != '\0') return false;
    *value = v;
    return true;
}

bool parseDimensionValue(const char* text, uint64_t upperBound, uint64_t* lower,
                         uint64_t* upper, bool* excluded) {
    const char* p = text;
    skipBlanks(p);
    if (strncasecmp(p, "excluded", 8) == 0) {
        p += 8;
        skipBlanks(p);
        if (*p != '\0') return false;
        *excluded = true;
        return true;
    }
    uint64_t l = 0, u = 0;
    if (*p++ != '[') return false;
    skipBlanks(p);
    if (!readDecimal(p, &l)) return false;
    skipBlanks(p);
    if (p[0] == '.' && p[1] == '.') {
        p += 2;
        skipBlanks(p);
        if (!readDecimal(p, &u)) return false;
        skipBlanks(p);
        if (*p++ != ')' || !(l < u && u <= upperBound)) return false;
    } else {
        // "[L)" is the unit range; L < upperBound also keeps L + 1 from overflowing.
        if (*p++ != ')' || !(l < upperBound)) return false;
        u = l + 1;
    }
    skipBlanks(p);
    if (*p != '\0') return false;
    *lower = l;
    *upper = u;
    *excluded = false;
    return true;
}

ZnTransportType transportCode(const char* text) {
    if (!text) return ZnTransportNone;
    if (std::strcmp(text, "HLAbestEffort") == 0) return ZnTransportBestEffort;
    if (std::strcmp(text, "HLAreliable") == 0) return ZnTransportReliable;
    ZnWarn << "Invalid TransportType: " << text << "\n";
    return ZnTransportNone;
}

bool orderCode(const char* text, ZnOrderType* order) {
    if (!text) {
        *order = ZnOrderNone;
        return true;
    }
    if (std::strcmp(text, "Receive") == 0) {
        *order = ZnOrderReceive;
        return true;
    }
    if (std::strcmp(text, "TimeStamp") == 0) {
        *order = ZnOrderTimeStamp;
        return true;
    }
    return false;
}

ZnSharingType_enum sharingCode(const char* text) {
    if (!text) return ZnSharingPublishSubscribe;
    if (std::strcmp(text, "Publish") == 0) return ZnSharingPublish;
    if (std::strcmp(text, "Subscribe") == 0) return ZnSharingSubscribe;
    if (std::strcmp(text, "Neither") == 0) return ZnSharingNeither;
    return ZnSharingPublishSubscribe;
}

ZnOwnershipType_enum ownershipCode(const char* text) {
    if (!text) return ZnOwnershipNoTransfer;
    if (std::strcmp(text, "Divest") == 0) return ZnOwnershipDivest;
    if (std::strcmp(text, "Acquire") == 0) return ZnOwnershipAcquire;
    if (std::strcmp(text, "DivestAcquire") == 0) return ZnOwnershipDivestAcquire;
    return ZnOwnershipNoTransfer;
}

ZnFomUpdateType_enum updateTypeCode(const char* text) {
    if (!text) return ZnUpdateNA;
    if (std::strcmp(text, "Static") == 0) return ZnUpdateStatic;
    if (std::strcmp(text, "Periodic") == 0) return ZnUpdatePeriodic;
    if (std::strcmp(text, "Conditional") == 0) return ZnUpdateConditional;
    return ZnUpdateNA;
}

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

ZnFedReadStatus readDimension(WalkContext& ctx, xmlNode* node, PropertyScratch& scratch) {
    const char* name = property(node, "name", scratch);
    if (!name) {
        ctx.lastError = "Dimension with no name found in FDD file.\n";
        appendProperties(node, ctx.lastError);
        return ZnFedReadFailed;
    }
    // The federate dimension is unbounded by default but must say how
    // federate handles map onto it.
    bool federate = std::strcmp(name, "Federate") == 0;
    const char* normalization = property(node, "normalization", scratch);
    if (federate && !normalization)
        return dimensionError(ctx, node, name, "\" missing normalization in FDD file.\n");
    uint64_t upperBound = UINT64_MAX;
    const char* boundText = property(node, "upperBound", scratch);
    if (!boundText && !federate)
        return dimensionError(ctx, node, name, "\" missing upper bound in FDD file.\n");
    if (boundText && !parseUnsigned64(boundText, &upperBound))
        return dimensionError(ctx, node, name, "\" upper bound is invalid in FDD file.\n");
    uint64_t lower = 0, upper = 1;
    bool excluded = false;
    const char* value = property(node, "value", scratch);
    if (value && !parseDimensionValue(value, upperBound, &lower, &upper, &excluded))
        return dimensionError(ctx, node, name, "\" value is invalid in FDD file.\n");
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

using record::AttributeSource;
using record::countOf;
using namespace record::shared;
using record::Walk;
template <class Rec>
using Field = record::Property<Rec>;
template <class Item>
using ItemTable = record::ItemTable<Item>;
template <class Rec>
using Table = record::Table<Rec, ZnFedReadStatus (*)(Rec&, xmlNode*, Walk&)>;

template <class Rec>
ZnFedReadStatus walkRecords(const Table<Rec>& table, xmlNode* first, WalkContext& ctx) {
    return record::walkRecords<AttributeSource>(table, first, ctx);
}
template <class Rec>
ZnFedReadStatus walkTable(const Table<Rec>& table, xmlNode* element, WalkContext& ctx) {
    return record::walkTable<AttributeSource>(table, element, ctx);
}
template <class Item>
ZnFedReadStatus walkItems(std::set<boost::shared_ptr<Item>>& items, const ItemTable<Item>& table,
                          xmlNode* node, Walk& walk) {
    return AttributeSource::items(items, table, node, walk);
}

// --- Conversions of properties with a vocabulary.

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
    message = "Unexpected attribute value for Capability in a Synchronization Point Tag for "
              "FDD file.\n\tValue = ";
    message += value;
    return false;
}

bool convertEndian(ZnBasicDataRepresentationType& rec, xmlNode*, const ZnString& value,
                   ZnString& message) {
    if (value == "Big") {
        rec.endian = 1;
        return true;
    }
    if (value == "Little") {
        rec.endian = 2;
        return true;
    }
    message = "Unexpected value for Endianess in a Basic Datatype Representation for FDD "
              "file.\n\tEndianess = ";
    message += value;
    return false;
}

bool convertSize(ZnBasicDataRepresentationType& rec, xmlNode*, const ZnString& value,
                 ZnString& message) {
    uint64_t size = 0;
    const char* p = value.c_str();
    if (readDecimal(p, &size) && *p == '\0' && size <= UINT32_MAX) {
        rec.size = static_cast<uint32_t>(size);
        return true;
    }
    message = "Unexpected attribute value for Size in a Basic Datatype Representation Tag for "
              "FDD file.\n\tValue = ";
    message += value;
    return false;
}

// The 1516-2000 form has no reliability property: the two standard names say
// it, and a user transportation is taken as reliable when its name says so.
void finishTransportation(ZnTransportationType& rec) {
    if (rec.name == "HLAbestEffort") {
        rec.reliable = false;
    } else if (rec.name == "HLAreliable") {
        rec.reliable = true;
    } else {
        ZnString lower(rec.name);
        lower.toLower();
        rec.reliable = lower.findString("reliable") >= 0;
        ZnInfo << "Adding transportation type " << rec.name << " as "
               << (rec.reliable ? "HLAreliable" : "HLAbestEffort") << "\n";
    }
}

// --- The tables.

using Transport = ZnTransportationType;
const Field<Transport> kTransportFields[] = {
    {"name", &Transport::name, nullptr},
    {"description", &Transport::description, nullptr},
};
const char* const kTransportElements[] = {"transportation", nullptr};
const Table<Transport> kTransportTable = {
    kTransportElements, nullptr, kTransportFields, countOf(kTransportFields),
    "Unexpected attribute in a Transport Tag for FDD file.\n\tAttribute = ",
    "Unexpected tag in transports list for FDD file.\n\tTransport Tag = ",
    "Unexpected duplicate transport type ( ", " ) for FDD file.\n\tTransport Tag = ",
    &Transport::name, &ZnFedTarget::hasTransportation, &ZnFedTarget::addTransportation,
    nullptr, finishTransportation};

using Time = ZnTimeType;
const Table<Time> kTimeTable = {
    kTimeElements, &Time::name, kTimeProperties, countOf(kTimeProperties),
    "Unexpected attribute in a Time Tag for FDD file.\n\tAttribute = ",
    "Unexpected tag in times list for FDD file.\n\tTime Tag = ",
    "Unexpected duplicate time type ( ", " ) for FDD file.\n\ttime Tag = ",
    &Time::name, &ZnFedTarget::hasTime, &ZnFedTarget::addTime, nullptr, nullptr};

using Sync = ZnSynchronizationPointsType;
const Field<Sync> kSyncFields[] = {
    {"label", &Sync::label, nullptr},
    {"dataType", &Sync::dataType, nullptr},
    {"capability", nullptr, convertCapability},
    {"semantics", &Sync::semantics, nullptr},
};
const char* const kSyncElements[] = {"synchronization", nullptr};
const Table<Sync> kSyncTable = {
    kSyncElements, nullptr, kSyncFields, countOf(kSyncFields),
    "Unexpected attribute in a Synchronization Point Tag for FDD file.\n\tAttribute = ",
    "Unexpected tag in Synchronization Points list for FDD file.\n\tSynchronization Point Tag = ",
    "Unexpected duplicate Synchronization Point Tag ( ",
    " ) for FDD file.\n\tSynchronization Point Tag = ",
    &Sync::label, &ZnFedTarget::hasSynchronizationPoint, &ZnFedTarget::addSynchronizationPoint,
    nullptr, nullptr};

using Tag = ZnUserSuppliedTagsType;
const Table<Tag> kTagTable = {
    nullptr, &Tag::name, kTagProperties, countOf(kTagProperties),
    "Unexpected attribute in a User Supplied Tag for FDD file.\n\tAttribute = ", nullptr,
    "Unexpected duplicate User Supplied Tag ( ", " ) for FDD file.\n\tUser Supplied Tag = ",
    &Tag::name, &ZnFedTarget::hasUserSuppliedTag, &ZnFedTarget::addUserSuppliedTag, nullptr,
    nullptr};

using Note = ZnNotesType;
const Field<Note> kNoteFields[] = {
    {"name", &Note::name, nullptr},
    {"semantics", &Note::semantics, nullptr},
};
const char* const kNoteElements[] = {"note", nullptr};
const Table<Note> kNoteTable = {
    kNoteElements, nullptr, kNoteFields, countOf(kNoteFields),
    "Unexpected attribute in a Note Tag for FDD file.\n\tAttribute = ",
    "Unexpected tag in Notes tree for FDD file.\n\tNote Tag = ",
    "Unexpected duplicate Note Tag ( ", " ) for FDD file.\n\tNote Tag = ",
    &Note::name, &ZnFedTarget::hasNote, &ZnFedTarget::addNote, nullptr, nullptr};

using Basic = ZnBasicDataRepresentationType;
const Field<Basic> kBasicFields[] = {
    {"name", &Basic::name, nullptr},
    {"size", nullptr, convertSize},
    {"interpretation", &Basic::interpretation, nullptr},
    {"endian", nullptr, convertEndian},
    {"encoding", &Basic::encoding, nullptr},
};
const char* const kBasicElements[] = {"basicData", nullptr};
const Table<Basic> kBasicTable = {
    kBasicElements, nullptr, kBasicFields, countOf(kBasicFields),
    "Unexpected attribute in a Basic Datatype Representation Tag for FDD file.\n\tAttribute = ",
    "Unexpected tag in Basic Datatypes tree for FDD file.\n\tBasic DataType Tag = ",
    "Unexpected duplicate Basic Data Representation Tag ( ",
    " ) for FDD file.\n\tBasic Data Representation Tag = ",
    &Basic::name, &ZnFedTarget::hasBasicDataRepresentation,
    &ZnFedTarget::addBasicDataRepresentation, nullptr, nullptr};

using Simple = ZnSimpleDatatypeType;
const Table<Simple> kSimpleTable = {
    kSimpleElements, nullptr, kSimpleProperties, countOf(kSimpleProperties),
    "Unexpected attribute in a Simple Datatype for FDD file.\n\tAttribute = ",
    "Unexpected tag in Simple Datatypes tree for FDD file.\n\tSimple DataType Tag = ",
    "Unexpected duplicate Simple Datatype Tag ( ", " ) for FDD file.\n\tSimple Datatype Tag = ",
    &Simple::name, &ZnFedTarget::hasSimpleDatatype, &ZnFedTarget::addSimpleDatatype, nullptr,
    nullptr};

using Array = ZnArrayDatatypeType;
const Table<Array> kArrayTable = {
    kArrayElements, nullptr, kArrayProperties, countOf(kArrayProperties),
    "Unexpected attribute in an Array Datatype Tag for FDD file.\n\tAttribute = ",
    "Unexpected tag in Array Datatypes tree for FDD file.\n\tArray DataType Tag = ",
    "Unexpected duplicate Array Datatype Tag ( ", " ) for FDD file.\n\tArray Datatype Tag = ",
    &Array::name, &ZnFedTarget::hasArrayDatatype, &ZnFedTarget::addArrayDatatype, nullptr,
    nullptr};

const Field<ZnEnumeratorType> kEnumeratorFields[] = {
    {"name", &ZnEnumeratorType::name, nullptr},
    {"values", &ZnEnumeratorType::values, nullptr},
};
const ItemTable<ZnEnumeratorType> kEnumeratorItems = {
    "enumerator", kEnumeratorFields, countOf(kEnumeratorFields),
    "Unexpected attribute in an Enumerator for an Enumerated Datatype for FDD file.\n\t"
    "Attribute = ",
    "Unexpected tag in Enumerator tree for FDD file.\n\tEnumerator Tag = "};

using Enumerated = ZnEnumeratedDatatypeType;
ZnFedReadStatus enumerators(Enumerated& rec, xmlNode* node, Walk& walk) {
    return walkItems(rec.enumerators, kEnumeratorItems, node, walk);
}
const Table<Enumerated> kEnumeratedTable = {
    kEnumeratedElements, nullptr, kEnumeratedProperties, countOf(kEnumeratedProperties),
    "Unexpected attribute in a Enumerated Datatype Tag for FDD file.\n\tAttribute = ",
    "Unexpected tag in Enumerated Datatypes tree for FDD file.\n\tEnumerated DataType Tag = ",
    "Unexpected duplicate Enumerated Datatype Tag ( ",
    " ) for FDD file.\n\tEnumerated Datatype Tag = ",
    &Enumerated::name, &ZnFedTarget::hasEnumeratedDatatype, &ZnFedTarget::addEnumeratedDatatype,
    enumerators, nullptr};

const ItemTable<ZnFieldType> kFieldItems = {
    "field", kFieldProperties, countOf(kFieldProperties),
    "Unexpected attribute in a Field Tag for a Fixed Record Datatype for FDD file.\n\t"
    "Attribute = ",
    "Unexpected tag in Field tree for FDD file.\n\tField Tag = "};

using Fixed = ZnFixedRecordDatatypeType;
ZnFedReadStatus fields(Fixed& rec, xmlNode* node, Walk& walk) {
    return walkItems(rec.fields, kFieldItems, node, walk);
}
const Table<Fixed> kFixedTable = {
    kFixedElements, nullptr, kFixedProperties, countOf(kFixedProperties),
    "Unexpected attribute in a Fixed Record Datatype Tag for FDD file.\n\tAttribute = ",
    "Unexpected tag in Fixed Record Datatypes tree for FDD file.\n\tFixed Record DataType Tag = ",
    "Unexpected duplicate Fixed Record Datatype Tag ( ",
    " ) for FDD file.\n\tFixed Record Datatype Tag = ",
    &Fixed::name, &ZnFedTarget::hasFixedRecordDatatype, &ZnFedTarget::addFixedRecordDatatype,
    fields, nullptr};

const Field<ZnAlternativeType> kAlternativeFields[] = {
    {"name", &ZnAlternativeType::name, nullptr},
    {"dataType", &ZnAlternativeType::dataType, nullptr},
    {"enumerator", &ZnAlternativeType::enumerator, nullptr},
    {"semantics", &ZnAlternativeType::semantics, nullptr},
};
const ItemTable<ZnAlternativeType> kAlternativeItems = {
    "alternative", kAlternativeFields, countOf(kAlternativeFields),
    "Unexpected attribute in a Alternative Tag for FDD file.\n\tAttribute = ",
    "Unexpected tag in Alternative tree for FDD file.\n\tAlternative Tag = "};

using Variant = ZnVariantRecordDatatypeType;
ZnFedReadStatus alternatives(Variant& rec, xmlNode* node, Walk& walk) {
    return walkItems(rec.alternatives, kAlternativeItems, node, walk);
}
const Table<Variant> kVariantTable = {
    kVariantElements, nullptr, kVariantProperties, countOf(kVariantProperties),
    "Unexpected attribute in a Variant Datatype Tag for FDD file.\n\tAttribute = ",
    "Unexpected tag in Variant Record Datatype tree for FDD file.\n\t"
    "Variant Record Datatype Tag = ",
    "Unexpected duplicate Variant Record Datatype Tag ( ",
    " ) for FDD file.\n\tVariant Record Datatype Tag = ",
    &Variant::name, &ZnFedTarget::hasVariantRecordDatatype,
    &ZnFedTarget::addVariantRecordDatatype, alternatives, nullptr};

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
// Document type and class walk, shared by the full and the checking reader

namespace {

constexpr const char* kManagementPrefixes[] = {"HLAobjectRoot.HLAmanager", "ObjectRoot.Manager",
                                               "ObjectRoot.RTIprivate"};
constexpr const char* kOptionalInteractions[] = {
    "HLArequestSynchronizationPoint", "HLAreportSynchronizationPoint",
    "HLAchangeAttributeTransportationType", "HLAchangeInteractionTransportationType"};

bool startsWith(const ZnString& text, const char* prefix) {
    return std::strncmp(text.c_str(), prefix, std::strlen(prefix)) == 0;
}

}  // namespace

bool contains(const ZnString& text, const char* part) {
    return std::strstr(text.c_str(), part) != nullptr;
}

Acceptance offerObjectClass(ZnFedTarget& target, ZnString& fullName, const ZnString& parentName,
                            bool* rootReplaced, const char* const* optionalPrefixes,
                            size_t optionalCount) {
    const char* parent = parentName.empty() ? nullptr : parentName.c_str();
    if (target.addObjectClass(fullName.c_str(), parent) || !rootReplaced)
        return Acceptance::Accepted;
    if (!parent) {
        fullName = "ObjectRoot";
        if (target.addObjectClass(fullName.c_str(), nullptr)) {
            *rootReplaced = true;
            ZnVerbose << "Replacing HLobjectRoot with ObjectRoot to match Federation FOM.\n";
            ZnVerbose << "Attributes and subclasses will be attempted with replacement root.\n";
            return Acceptance::Accepted;
        }
    }
    for (size_t i = 0; i < optionalCount; ++i)
        if (startsWith(fullName, optionalPrefixes[i])) return Acceptance::Skipped;
    return Acceptance::Refused;
}

Acceptance offerInteractionClass(ZnFedTarget& target, ZnString& fullName,
                                 const ZnString& parentName, ZnTransportType transport,
                                 ZnOrderType order, bool* rootReplaced,
                                 const char* const* optionalNames, size_t optionalCount) {
    const char* parent = parentName.empty() ? nullptr : parentName.c_str();
    if (target.addInteractionClass(fullName.c_str(), parent, transport, order, nullptr) ||
        !rootReplaced)
        return Acceptance::Accepted;
    if (!parent) {
        fullName = "InteractionRoot";
        if (target.addInteractionClass(fullName.c_str(), nullptr, transport, order, nullptr)) {
            *rootReplaced = true;
            ZnVerbose << "Replacing HLAinteractionRoot with InteractionRoot to match Federation "
                         "FOM.\n";
            ZnVerbose << "Parameters and subclasses will be attempted with replacement root.\n";
            return Acceptance::Accepted;
        }
    }
    for (size_t i = 0; i < optionalCount; ++i) {
        if (!contains(fullName, optionalNames[i])) continue;
        ZnVerbose << "Federation FOM does not have interaction class " << fullName
                  << " omitting it from ZnFom representation.\n";
        return Acceptance::Skipped;
    }
    return Acceptance::Refused;
}

template <class Reader>
ZnFedReadStatus checkDocumentType(Reader& reader, xmlDoc* doc, const ZnFilename* fileName,
                                  const char* missingMessage, ZnString& lastError) {
    xmlDtd* dtd = documentType(doc);
    if (!dtd) {
        if (missingMessage) lastError = missingMessage;
        return strictStatus(reader);
    }
    if (!xmlStrEqual(dtd->name, xstr("objectModel"))) {
        lastError = "Document Type is not Object Model.\n\tDocument Type Name: ";
        lastError += dtd->name ? str(dtd->name) : "";
        return ZnFedReadFailed;
    }
    ZnFilename path(dtd->SystemID ? str(dtd->SystemID) : "");
    if (fileName && path.relative()) {
        ZnInfo.printf("Checking path relative to FED file directory for %s\n", path.c_str());
        ZnFilename dir = fileName->stripFilename();
        if (!dir.empty()) path = dir.append(path);
    }
    if (path.exists() && !ZnIsRegularFile(path.c_str())) {
        lastError = "DTD is not a regular file: " + path;
        return strictStatus(reader);
    }
    const PxsEmbeddedFile* copy =
        path.exists() ? nullptr : embeddedValidationFile(dtd->SystemID ? str(dtd->SystemID) : "");
    bool valid = copy ? validateWithDtdBytes(doc, reinterpret_cast<const char*>(copy->data),
                                             copy->size)
                      : reader.dtdValidate(doc, path.c_str());
    if (!valid) {
        lastError = "FDD failed DTD validation.";
        return strictStatus(reader);
    }
    return ZnFedReadSuccess;
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::objects(xmlNode* table) {
    xmlNode* root = reader_.getNodeByName(table, "objectClass");
    if (!root) return ZnFedReadSuccess;
    const char* name = reader_.propertyByName(root, "name");
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
    const char* name = reader_.propertyByName(root, "name");
    if (!name || std::strcmp(name, "HLAinteractionRoot") != 0) {
        lastError_ = "Interaction class with no root found in FDD file.";
        return ZnFedReadFailed;
    }
    return reader_.parseInteractionTree(root, ZnString());
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::objectClass(xmlNode* node, const ZnString& parentName) {
    const char* name = reader_.propertyByName(node, "name");
    if (!name) {
        lastError_ = "Object class with no name found in FDD file.\n";
        reader_.appendNodeProperties(node, lastError_);
        return ZnFedReadFailed;
    }
    ZnString fullName = fullNameOf(parentName, name);
    bool skip = roots_.kept() && *roots_.objectRootReplaced && contains(fullName, "HLAmanager");
    ZnVerbose.printf("%sClass: %s, Base: %s \n", skip ? "Skip " : "", fullName.c_str(),
                     parentName.c_str());
    if (skip) ZnVerbose << "All subclasses and attributes will also be skipped\n";
    if (!skip && target_) {
        details_.source(node);
        // Management classes a target that refuses them may go without.
        Acceptance answer =
            offerObjectClass(*target_, fullName, parentName, roots_.objectRootReplaced,
                             kManagementPrefixes, std::size(kManagementPrefixes));
        if (answer == Acceptance::Refused) {
            lastError_ = "Object class " + fullName + " was refused by the FED target";
            reader_.appendErrorLine(node, lastError_);
            return ZnFedReadFailed;
        }
        skip = answer == Acceptance::Skipped;
        if (!skip && classDetails(node, fullName, false) != ZnFedReadSuccess)
            return ZnFedReadFailed;
    }
    return objectChildren(node, fullName, skip);
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::classDetails(xmlNode* node, const ZnString& fullName,
                                                bool interaction) {
    if (!details_.details) return ZnFedReadSuccess;
    ZnString semantics;
    reader_.getPropertyByName(node, "semantics", semantics);
    details_.details->classDetails(fullName, interaction,
                                   sharingCode(reader_.propertyByName(node, "sharing")),
                                   semantics);
    return details_.stopped(lastError_) ? ZnFedReadFailed : ZnFedReadSuccess;
}

// A skipped class passes over its classes and attributes unexamined; any
// other element is still reported.
template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::objectChildren(xmlNode* node, const ZnString& fullName,
                                                  bool skip) {
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* child = node->children; child && status == ZnFedReadSuccess;
         child = child->next) {
        if (isSkipped(child)) continue;
        if (isElementNamed(child, "objectClass")) {
            if (!skip) status = reader_.parseObjectTree(child, fullName);
        } else if (isElementNamed(child, "attribute")) {
            if (!skip) status = reader_.parseAttribute(child, fullName);
        } else {
            lastError_ = "Unexpected tag in objects tree for FDD file.\n\tObjects Tag = ";
            reader_.appendNodeContent(child, lastError_);
            status = strictStatus(reader_);
        }
    }
    return status;
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::orderError(xmlNode* node) {
    lastError_ = "Unknown delivery order found in FDD file.\n\tOrder = ";
    lastError_ += reader_.propertyByName(node, "order");
    lastError_ += "\n";
    reader_.appendNodeProperties(node, lastError_);
    return strictStatus(reader_);
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::attribute(xmlNode* node, const ZnString& className) {
    const char* name = reader_.propertyByName(node, "name");
    if (!name) {
        if (roots_.kept())
            lastError_ = "Attribute of " + className + " has no name in FDD file.";
        else
            lastError_ = "Attribute with no name found in FDD file.\n";
        return ZnFedReadFailed;
    }
    ZnTransportType transport = reader_.getTransportType(node);
    ZnOrderType order;
    if (!reader_.getOrderType(node, order)) {
        if (orderError(node) != ZnFedReadSuccess) return ZnFedReadFailed;
        // Without strict checking the standard's one time-stamped attribute
        // keeps its order; every other attribute falls back to receive order.
        order = (className == "HLAobjectRoot" && std::strcmp(name, "HLAprivilegeToDelete") == 0)
                    ? ZnOrderTimeStamp
                    : ZnOrderReceive;
    }
    if (ZnNotifyLevel > 2) {
        const char* transportText = reader_.propertyByName(node, "transportation");
        const char* orderText = reader_.propertyByName(node, "order");
        ZnVerbose.printf("\tAttribute: %s, transport: %s, order: %s\n", name,
                         transportText ? transportText : "HLAbestEffort",
                         orderText ? orderText : "Receive");
    }
    if (!target_) return ZnFedReadSuccess;
    if (roots_.kept()) {
        ZnString semantics, updateCondition;
        reader_.getPropertyByName(node, "semantics", semantics);
        reader_.getPropertyByName(node, "updateCondition", updateCondition);
        ZnSharingType_enum sharing = sharingCode(reader_.propertyByName(node, "sharing"));
        ZnFomUpdateType_enum updateType = updateTypeCode(reader_.propertyByName(node, "updateType"));
        ZnOwnershipType_enum ownership = ownershipCode(reader_.propertyByName(node, "ownership"));
        details_.source(node);
        if (details_.details)
            details_.details->attributeProperties(givenProperties(
                [&](const char* property) { return reader_.propertyByName(node, property); }));
        target_->addAttribute(className.c_str(), name, transport, order, sharing, updateType,
                              &updateCondition, ownership, &semantics, nullptr);
        if (details_.details) {
            if (const char* dataType = reader_.propertyByName(node, "dataType"))
                details_.details->attributeDataType(className, ZnString(name), ZnString(dataType));
            if (details_.stopped(lastError_)) return ZnFedReadFailed;
        }
    } else {
        target_->addSpaceAttribute(className.c_str(), name, transport, order, nullptr);
    }
    return reader_.parseAttributeDimensions(node, className, ZnString(name));
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::attributeDimensions(xmlNode* node, const ZnString& className,
                                                       const ZnString& attributeName) {
    const char* list = target_ ? reader_.propertyByName(node, "dimensions") : nullptr;
    if (!list) return ZnFedReadSuccess;  // counts as "NA"
    ZnString refused;
    auto add = [&](const char* dimension) {
        return target_->addAttributeDimension(className.c_str(), attributeName.c_str(),
                                              dimension);
    };
    if (forEachDimension(list, reader_.strictChecking(1), add, &refused)) return ZnFedReadSuccess;
    lastError_ = "Error adding dimension " + refused + " for attribute " + attributeName +
                 " of object class " + className;
    reader_.appendErrorLine(node, lastError_);
    return ZnFedReadFailed;
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::interactionClass(xmlNode* node, const ZnString& parentName) {
    const char* name = reader_.propertyByName(node, "name");
    if (!name) {
        lastError_ = "Interaction class with no name found in FDD file.";
        reader_.appendNodeProperties(node, lastError_);
        return ZnFedReadFailed;
    }
    ZnString fullName = fullNameOf(parentName, name);
    bool skip = roots_.kept() && *roots_.interactionRootReplaced && contains(fullName, "HLAmanager");
    ZnTransportType transport = reader_.getTransportType(node);
    ZnOrderType order;
    if (!reader_.getOrderType(node, order)) {
        if (orderError(node) != ZnFedReadSuccess) return ZnFedReadFailed;
        order = ZnOrderReceive;
    }
    if (ZnNotifyLevel > 2) {
        const char* transportText = reader_.propertyByName(node, "transportation");
        const char* orderText = reader_.propertyByName(node, "order");
        bool showValues = ZnNotifyLevel == 3;
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
        reader_.parseInteractionDimensions(node, fullName);
    }
    return interactionChildren(node, fullName, skip);
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::interactionChildren(xmlNode* node, const ZnString& fullName,
                                                       bool skip) {
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* child = node->children; child && status == ZnFedReadSuccess;
         child = child->next) {
        if (isSkipped(child)) continue;
        if (isElementNamed(child, "interactionClass")) {
            if (!skip) status = reader_.parseInteractionTree(child, fullName);
        } else if (isElementNamed(child, "parameter")) {
            if (!skip) status = reader_.parseParameter(child, fullName);
        } else if (!skip) {
            lastError_ = "Unexpected tag in interactions tree for FDD file.\n\tInteractions Tag = ";
            reader_.appendNodeContent(child, lastError_);
            status = strictStatus(reader_);
        }
    }
    return status;
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::interactionDimensions(xmlNode* node,
                                                         const ZnString& className) {
    const char* list = reader_.propertyByName(node, "dimensions");
    if (!list || !target_) {
        lastError_ = "Interaction " + className + " has no dimensions list.";
        return strictStatus(reader_);
    }
    ZnString refused;
    auto add = [&](const char* dimension) {
        return target_->addInteractionDimension(className.c_str(), dimension);
    };
    if (forEachDimension(list, reader_.strictChecking(1), add, &refused)) return ZnFedReadSuccess;
    lastError_ = "Error adding dimension " + refused + " for interaction class " + className;
    reader_.appendErrorLine(node, lastError_);
    return ZnFedReadFailed;
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::parameter(xmlNode* node, const ZnString& className) {
    const char* name = reader_.propertyByName(node, "name");
    if (!name) {
        lastError_ = "Parameter with no name found in FDD file.\n";
        reader_.appendNodeProperties(node, lastError_);
        return ZnFedReadFailed;
    }
    ZnVerbose.printf("\tParameter: %s\n", name);
    if (!target_) return ZnFedReadSuccess;
    details_.source(node);
    target_->addParameter(className.c_str(), name);
    if (!details_.details) return ZnFedReadSuccess;
    if (const char* dataType = reader_.propertyByName(node, "dataType"))
        details_.details->parameterDataType(className, ZnString(name), ZnString(dataType));
    return details_.stopped(lastError_) ? ZnFedReadFailed : ZnFedReadSuccess;
}

template <class Reader>
ZnFedReadStatus ClassWalk<Reader>::dimensionList(xmlNode* node) {
    return walkDimensionList(reader_, node, lastError_);
}

// The two readers of this form; nothing else instantiates the walk.
template class ClassWalk<ZnFedReader1516>;
template class ClassWalk<ZnXmlFedReader>;
template ZnFedReadStatus checkDocumentType(ZnFedReader1516&, xmlDoc*, const ZnFilename*,
                                           const char*, ZnString&);
template ZnFedReadStatus checkDocumentType(ZnXmlFedReader&, xmlDoc*, const ZnFilename*,
                                           const char*, ZnString&);

}  // namespace pxsdetail::fdd
