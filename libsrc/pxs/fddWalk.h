// fddWalk.h -- pieces the XML object-model readers share: node access and
// error-text helpers over libxml2 trees, the silent in-memory parse, the
// dimension value syntax, and the record table walks of the IEEE 1516-2000
// form (one record per element, its properties in XML attributes).
//
// Internal to the library: readers include it from their .cpp files. Nothing
// here keeps state between calls; a walk writes into the WalkContext it is
// given and leaves ownership of every record it delivers with the target.

#ifndef PXS_FDDWALK_H
#define PXS_FDDWALK_H

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <iterator>
#include <string>
#include <vector>

#include <pxs/fedReader.h>
#include <util/xmlPtr.h>
#include <util/znFedTarget.h>
#include <util/znFedTargetDetails.h>
#include <util/znFilename.h>
#include <util/znNotify.h>
#include <util/znString.h>

namespace pxsdetail::fdd {

// Attribute values built from several nodes (entity references) are
// assembled into these; they live until the owner clears the scratch (a
// deque, so earlier values stay where they are as more are added).
using PropertyScratch = std::deque<std::string>;

// Value of the XML attribute `name` of `node`, or null when absent. The text
// lives as long as the document (or the scratch, for assembled values).
const char* property(const xmlNode* node, const char* name, PropertyScratch& scratch);
// Full text of one attribute ("" when it has none).
ZnString attributeText(const xmlAttr* attr);

// False, with the reason in `lastError`, when an attribute below `root`
// stands for more than a megabyte of text or nests entities more than 16
// deep: the readers refuse such a document instead of expanding it.
bool checkAttributeExpansion(const xmlNode* root, ZnString& lastError);
// True for a text node whose content is absent or only blanks, tabs and line ends.
bool isBlankText(const xmlNode* node);
// Comments and blank text are passed over by every walk.
inline bool isSkipped(const xmlNode* node) {
    return node->type == XML_COMMENT_NODE || isBlankText(node);
}
inline bool isNamed(const xmlNode* node, const char* name) {
    return node->name && xmlStrEqual(node->name, reinterpret_cast<const xmlChar*>(name));
}
inline bool isElementNamed(const xmlNode* node, const char* name) {
    return node->type == XML_ELEMENT_NODE && isNamed(node, name);
}
// First child whose name is `name`; null when none.
xmlNode* childNamed(const xmlNode* node, const char* name);
// First child element whose name is `name`; null when none.
xmlNode* childElementNamed(const xmlNode* node, const char* name);

// " at XML Node " + name (or "*") + " near line " + line.
void appendLocation(const xmlNode* node, ZnString& text);
// For every attribute: its name, "= " and its value when it has one, "\n".
void appendProperties(const xmlNode* node, ZnString& text);
// Node name (or "*"), a blank, its text content (or "*").
void appendContent(const xmlNode* node, ZnString& text);

// Parses `length` bytes without touching the network and without letting
// libxml2 print. With a `url`, the parser's complaint goes to ZnWarn prefixed
// with it; a null `url` parses quietly. Null when the bytes are not a
// well-formed document.
XmlDocPtr parseBytes(const char* bytes, unsigned int length, const char* url);

// As parseBytes, for a file on disk.
XmlDocPtr parseFile(const char* path);
// The line on which the start tag of `node` begins, for an element of a
// document parseBytes or parseFile made; otherwise, and for elements of an
// entity's text, libxml2's own line (that of the tag's end, which the
// "near line" texts quote). 0 for a null node.
int startLineOf(const xmlNode* node);
// The document type node of `doc`; null when it has none.
xmlDtd* documentType(xmlDoc* doc);
// Validates `doc` against the DTD file at `path` with a fresh validation
// context; false when either is null or the DTD cannot be read. The first
// validity error goes to ZnWarn.
bool validateWithDtd(xmlDoc* doc, const char* path);
// The same against a DTD held in memory (the embedded standard one).
bool validateWithDtdBytes(xmlDoc* doc, const char* bytes, size_t length);

// Calls `add(name)` for every blank-separated name of `list` except "NA".
// With `stopOnRefusal`, the first false answer ends the list: the name goes
// to `refused` and the result is false.
template <class Add>
bool forEachDimension(const char* list, bool stopOnRefusal, Add add, ZnString* refused) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    const char* p = list;
    while (*p) {
        while (blank(*p)) ++p;
        const char* start = p;
        while (*p && !blank(*p)) ++p;
        if (p == start) continue;
        std::string dimension(start, p);
        if (dimension == "NA") continue;
        if (!add(dimension.c_str()) && stopOnRefusal) {
            *refused = dimension;
            return false;
        }
    }
    return true;
}

// Decimal digits only (after leading blanks), within 64 bits.
bool parseUnsigned64(const char* text, uint64_t* value);
// A dimension's default range: "[L..U)", "[L)" or "excluded" in any case,
// blanks allowed before each token and after the end. Leaves the outputs
// untouched and returns false when the text or a bound is invalid.
bool parseDimensionValue(const char* text, uint64_t upperBound, uint64_t* lower,
                         uint64_t* upper, bool* excluded);

// Value codes of the IEEE 1516 vocabulary (exact, case-sensitive texts).
// Unknown transportation names warn on ZnWarn and give ZnTransportNone.
ZnTransportType transportCode(const char* text);
// False for a text that is neither "Receive" nor "TimeStamp".
bool orderCode(const char* text, ZnOrderType* order);
ZnSharingType_enum sharingCode(const char* text);
ZnOwnershipType_enum ownershipCode(const char* text);
ZnFomUpdateType_enum updateTypeCode(const char* text);

// Parent's full name, a dot and the class's own name; the name alone for a root.
ZnString fullNameOf(const ZnString& parentName, const char* name);

// The ZnMemberProperty bits of the properties `stated` finds (non-null) on
// an attribute; both forms spell them alike.
template <class Stated>
unsigned givenProperties(Stated stated) {
    static const struct {
        const char* name;
        unsigned bit;
    } kProperties[] = {
        {"transportation", ZnMemberTransportation}, {"order", ZnMemberOrder},
        {"sharing", ZnMemberSharing},               {"ownership", ZnMemberOwnership},
        {"updateType", ZnMemberUpdateType},         {"updateCondition", ZnMemberUpdateCondition},
    };
    unsigned given = 0;
    for (const auto& p : kProperties)
        if (stated(p.name)) given |= p.bit;
    return given;
}

// The extension calls of one read. Empty for the checking readers and for
// targets that did not opt in, and then every call here does nothing.
struct DetailsSink {
    ZnFedTargetDetails* details = nullptr;
    const char* file = "";

    // Announces the definition at `node` as the next one delivered.
    void source(const xmlNode* node) const {
        if (details) details->definitionSource(file, startLineOf(node));
    }
    // True, with the target's reason as the last error, once the target
    // asked for the read to end.
    bool stopped(ZnString& lastError) const {
        const char* reason = details ? details->stopReason() : nullptr;
        if (!reason) return false;
        lastError = reason;
        return true;
    }
};

// What a record walk needs from its reader. A null target makes the walk
// check the table without delivering anything.
struct WalkContext {
    ZnString& lastError;
    bool strict;  // strict bit 1: a recoverable problem ends the walk
    ZnFedTarget* target;
    DetailsSink details = DetailsSink();
};

// One `dimension` element of the IEEE 1516-2000 form, delivered with
// addDimension; 2 with the message in the last error when it is unusable.
ZnFedReadStatus readDimension(WalkContext& ctx, xmlNode* node, PropertyScratch& scratch);

// Each takes the table element (`transportations`, `time`, ...) and walks its
// children; each returns 0, or 2 when a problem ended the walk under strict.
ZnFedReadStatus walkTransportations(WalkContext& ctx, xmlNode* table);
ZnFedReadStatus walkTime(WalkContext& ctx, xmlNode* table);
ZnFedReadStatus walkSynchronizations(WalkContext& ctx, xmlNode* table);
ZnFedReadStatus walkTags(WalkContext& ctx, xmlNode* table);
ZnFedReadStatus walkNotes(WalkContext& ctx, xmlNode* table);
// The data type walks take the first node of a sub-table and walk it and its
// following siblings.
ZnFedReadStatus walkBasicData(WalkContext& ctx, xmlNode* first);
ZnFedReadStatus walkSimpleData(WalkContext& ctx, xmlNode* first);
ZnFedReadStatus walkArrayData(WalkContext& ctx, xmlNode* first);
ZnFedReadStatus walkEnumeratedData(WalkContext& ctx, xmlNode* first);
ZnFedReadStatus walkFixedRecordData(WalkContext& ctx, xmlNode* first);
ZnFedReadStatus walkVariantRecordData(WalkContext& ctx, xmlNode* first);

// Tables found by a top-level walk, one bit each, the same in both forms.
enum TableBit : unsigned {
    kObjectsBit = 1,
    kInteractionsBit = 2,
    kDimensionsBit = 4,
    kTransportationsBit = 8,
    kSwitchesBit = 16,
    kUpdateRatesBit = 32,
    kDataTypesBit = 64,
    kNotesBit = 128,
    kTimeBit = 256,
    kSynchronizationsBit = 512,
    kModelIdentificationBit = 1024
};

// One top-level element a reader knows: the bit it sets when its parser
// returns 0, and the parser (null for an element read before the walk or
// accepted without looking inside).
template <class Reader>
struct TopLevelEntry {
    const char* element;
    unsigned bit;
    ZnFedReadStatus (Reader::*parse)(xmlNode*);
};

// A table the model should have had: its message, and the strict bits
// under which its absence fails the read (0: never).
struct MissingTable {
    unsigned bit;
    const char* message;
    unsigned failsUnder;
};

// The five tables the checking readers of both forms require, each fatal
// under strict bit 1 when missing.
constexpr unsigned kCheckedTables = 31;
extern const MissingTable kCheckedTableMessages[5];

// The status a recoverable problem yields for `reader`.
inline ZnFedReadStatus strictStatus(const ZnFedReader& reader) {
    return reader.strictChecking(1) ? ZnFedReadFailed : ZnFedReadSuccess;
}

// Classes name dimensions and transportations, so every reader reads those
// two tables before walking the rest; each sets its bit when read cleanly.
// The transportations are not read after a failed dimension list.
template <class Reader>
ZnFedReadStatus readDimensionsAndTransportations(Reader& reader, xmlNode* root,
                                                 unsigned& found) {
    ZnFedReadStatus status = ZnFedReadSuccess;
    if (xmlNode* dimensions = reader.getNodeByName(root, "dimensions")) {
        status = reader.parseDimensionList(dimensions);
        if (status == ZnFedReadSuccess) found |= kDimensionsBit;
    }
    if (status == ZnFedReadFailed) return status;
    if (xmlNode* transportations = reader.getNodeByName(root, "transportations")) {
        status = reader.parseTransportationsList(transportations);
        if (status == ZnFedReadSuccess) found |= kTransportationsBit;
    }
    return status;
}

// Walks the root's children in document order until a parser fails: each
// known element goes to its parser, any other is "Unrecognized top-level
// tag: " (fatal under strict bit 1). With `traceTags` a `tags` element is
// only listed on ZnVerbose, as the checking readers do.
template <class Reader, size_t N>
ZnFedReadStatus walkTopLevel(Reader& reader, xmlNode* root,
                             const TopLevelEntry<Reader> (&entries)[N], bool traceTags,
                             ZnString& lastError, unsigned& found) {
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* child = root->children; child && status != ZnFedReadFailed;
         child = child->next) {
        if (isSkipped(child)) continue;
        const char* name = reinterpret_cast<const char*>(child->name);
        ZnVerbose.printf("\nTop-level Tag: %s\n", name);
        if (traceTags && isElementNamed(child, "tags")) {
            for (xmlNode* tag = child->children; tag; tag = tag->next)
                if (tag->type == XML_ELEMENT_NODE)
                    ZnVerbose.printf("\t Tag = %s \n\n", reinterpret_cast<const char*>(tag->name));
            continue;
        }
        const TopLevelEntry<Reader>* entry = entries;
        while (entry != entries + N && !isElementNamed(child, entry->element)) ++entry;
        if (entry == entries + N) {
            lastError = "Unrecognized top-level tag: ";
            lastError += name;
            status = strictStatus(reader);
            continue;
        }
        if (!entry->parse) continue;
        status = (reader.*entry->parse)(child);
        if (status == ZnFedReadSuccess) found |= entry->bit;
    }
    return status;
}

// Assigns, in table order, the message of every table not in `found`; each
// replaces the previous, so the last missing one remains.
template <size_t N>
void reportMissingTables(const ZnFedReader& reader, unsigned found,
                         const MissingTable (&tables)[N], ZnString& lastError,
                         ZnFedReadStatus& status) {
    for (const MissingTable& table : tables) {
        if (found & table.bit) continue;
        lastError = table.message;
        if (table.failsUnder && reader.strictChecking(table.failsUnder))
            status = ZnFedReadFailed;
    }
}

// The `dataTypes` element: each sub-table goes to the reader's walk for it
// (given its first child); any other child is an error, fatal under strict
// bit 1. With `traceAlways` each sub-table's name is listed on ZnVerbose
// whatever the notify level; otherwise the element and its sub-tables are
// listed, attributes and all, above level 2.
template <class Reader>
ZnFedReadStatus walkDataTypeTables(Reader& reader, xmlNode* node, bool traceAlways,
                                   ZnString& lastError) {
    using Walk = ZnFedReadStatus (Reader::*)(xmlNode*);
    static const struct {
        const char* element;
        Walk walk;
    } kTables[] = {
        {"basicDataRepresentations", &Reader::parseBasicDataTypesTree},
        {"simpleDataTypes", &Reader::parseSimpleDataTypesTree},
        {"arrayDataTypes", &Reader::parseArrayDataTypesTree},
        {"enumeratedDataTypes", &Reader::parseEnumeratedDataTypesTree},
        {"fixedRecordDataTypes", &Reader::parseFixedRecordDataTypesTree},
        {"variantRecordDataTypes", &Reader::parseVariantRecordDataTypesTree},
    };
    const bool detailed = !traceAlways && ZnNotifyLevel > 2;
    if (detailed) {
        ZnString properties;
        reader.appendNodeProperties(node, properties);
        ZnVerbose.printf("%s \n\n", properties.c_str());
    }
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* child = node->children; child && status == ZnFedReadSuccess;
         child = child->next) {
        if (isSkipped(child)) continue;
        if (traceAlways || detailed)
            ZnVerbose.printf("DataType Tree Tag: %s\n", reinterpret_cast<const char*>(child->name));
        if (detailed) {
            ZnString properties;
            reader.appendNodeProperties(child, properties);
            ZnVerbose << properties;
        }
        const auto* table = std::begin(kTables);
        while (table != std::end(kTables) && !isElementNamed(child, table->element)) ++table;
        if (table != std::end(kTables)) {
            status = (reader.*table->walk)(child->children);
            continue;
        }
        lastError = "Unexpected tag in dataTypes tree for FDD file.\n\tDataType Tag = ";
        reader.appendNodeContent(child, lastError);
        status = strictStatus(reader);
    }
    return status;
}

// The `dimensions` table: each `dimension` element goes to the reader's
// parseDimension; anything else is an error, fatal under strict bit 1.
template <class Reader>
ZnFedReadStatus walkDimensionList(Reader& reader, xmlNode* node, ZnString& lastError) {
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* child = node->children; child && status == ZnFedReadSuccess;
         child = child->next) {
        if (isSkipped(child)) continue;
        if (isElementNamed(child, "dimension")) {
            status = reader.parseDimension(child);
            continue;
        }
        lastError = "Unexpected tag in dimension list for FDD file.\n\tDimensions Tag = ";
        reader.appendNodeContent(child, lastError);
        status = strictStatus(reader);
    }
    return status;
}

// The document type of a parsed IEEE 1516-2000 document must be objectModel
// and the document valid against the DTD its system identifier names. With
// a file name, a relative DTD path is taken relative to the file's
// directory; without one it is used as written. A missing document type
// sets `missingMessage` when there is one; it, a DTD that is not a regular
// file and a failed validation are fatal under strict bit 1 only.
template <class Reader>
ZnFedReadStatus checkDocumentType(Reader& reader, xmlDoc* doc, const ZnFilename* fileName,
                                  const char* missingMessage, ZnString& lastError);

constexpr const char* kNoDocumentRoot = "Bad FDD File. Could not find Document Root in FDD File.";

// Parses `length` bytes (named `url` in the parser's complaint), checks the
// document with `checkType(doc, root)` and walks its root with `walk(root)`
// when the check passes. The document is freed before the return.
template <class CheckType, class Walk>
ZnFedReadStatus readDocument(const char* bytes, unsigned int length, const char* url,
                             ZnString& lastError, CheckType checkType, Walk walk) {
    XmlDocPtr doc = parseBytes(bytes, length, url);
    xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    if (!root) {
        lastError = kNoDocumentRoot;
        return ZnFedReadFailed;
    }
    if (!checkAttributeExpansion(root, lastError)) return ZnFedReadFailed;
    ZnFedReadStatus status = checkType(doc.get(), root);
    if (status == ZnFedReadSuccess) status = walk(root);
    return status;
}

// The root of a checked document must be objectModel and have children;
// `separator` stands between the message and the name it found.
ZnFedReadStatus checkObjectModelRoot(const xmlNode* root, const char* separator,
                                     ZnString& lastError);

// Checks a document a caller parsed, before the caller keeps it: a root,
// its comments written to ZnDebug, `checkType(doc, root)` (the DTD or
// schema check), then the root. On failure the document is freed here.
template <class CheckType>
ZnFedReadStatus adoptParsedDocument(xmlDoc* doc, ZnString& lastError, CheckType checkType) {
    if (!doc) {
        lastError = "Error reading FDD";
        return ZnFedReadFailed;
    }
    // Freed on every failing return; released to the caller on success.
    XmlDocPtr owned(doc);
    ZnVerbose << "Reading FDD : \n";
    xmlNode* root = xmlDocGetRootElement(doc);
    if (!root) {
        lastError = kNoDocumentRoot;
        return ZnFedReadFailed;
    }
    for (xmlNode* n = doc->children; n; n = n->next) {
        if (n->type != XML_COMMENT_NODE) continue;
        ZnDebug << "FDD Comment: " << (n->content ? reinterpret_cast<const char*>(n->content) : "")
                << "\n";
    }
    if (!checkAttributeExpansion(root, lastError)) return ZnFedReadFailed;
    ZnFedReadStatus status = checkType(doc, root);
    if (status == ZnFedReadSuccess) status = checkObjectModelRoot(root, "\n\t", lastError);
    if (status == ZnFedReadSuccess) owned.release();
    return status;
}

// Finds `fileName` as named or in a directory of RTI_CONFIG, parses it and
// checks it with `checkType(doc, root, path)` and checkObjectModelRoot
// (`separator`); on success *doc receives the document. *doc must be null
// on entry.
template <class CheckType>
ZnFedReadStatus openObjectModel(const char* fileName, xmlDoc** doc, const char* separator,
                                ZnString& lastError, CheckType checkType) {
    if (!fileName || !doc || *doc) {
        lastError = "Error reading FDD";
        return ZnFedReadFailed;
    }
    ZnFilename path(fileName);
    if (!path.exists()) {
        const char* dirs = std::getenv("RTI_CONFIG");
        if (!dirs || !path.searchAlternatePath(dirs)) {
            lastError = "No such FDD file: ";
            lastError += fileName;
            if (!dirs) lastError += ". RTI_CONFIG environment variable unbound.";
            return ZnFedReadNotOpened;
        }
    }
    ZnVerbose.printf("Reading FDD file: %s\n", path.c_str());
    XmlDocPtr parsed = parseFile(path.c_str());
    xmlNode* root = parsed ? xmlDocGetRootElement(parsed.get()) : nullptr;
    if (!root) {
        lastError = "Error parsing FDD file: " + path;
        return ZnFedReadFailed;
    }
    if (!checkAttributeExpansion(root, lastError)) return ZnFedReadFailed;
    ZnFedReadStatus status = checkType(parsed.get(), root, path);
    if (status == ZnFedReadSuccess) status = checkObjectModelRoot(root, separator, lastError);
    if (status == ZnFedReadSuccess) *doc = parsed.release();
    return status;
}

// Where a walk stands on the target's answers about classes. A reader that
// keeps root flags offers a refused root again under its HLA 1.3 name (and
// sets the flag, which it never clears), skips the management classes under
// a replaced root, and fails on any other refusal. Without them every class
// goes to the target as written and its answers are ignored.
struct RootFlags {
    bool* objectRootReplaced = nullptr;  // both set, or both null
    bool* interactionRootReplaced = nullptr;
    bool kept() const { return objectRootReplaced != nullptr; }
};

// What the target's answer means for a class and its subtree.
enum class Acceptance { Accepted, Skipped, Refused };

// Offers a class to the target. Without `rootReplaced` the answer is
// ignored. With it, a refused root is offered again under its HLA 1.3 name
// ("ObjectRoot" / "InteractionRoot": the target already holds an HLA 1.3
// model), which sets the flag and from then on `fullName`; a refused class
// matching one of `optional` (object classes: by prefix, interaction
// classes: anywhere in the name) is skipped; any other refusal stands.
Acceptance offerObjectClass(ZnFedTarget& target, ZnString& fullName, const ZnString& parentName,
                            bool* rootReplaced, const char* const* optionalPrefixes,
                            size_t optionalCount);
Acceptance offerInteractionClass(ZnFedTarget& target, ZnString& fullName,
                                 const ZnString& parentName, ZnTransportType transport,
                                 ZnOrderType order, bool* rootReplaced,
                                 const char* const* optionalNames, size_t optionalCount);
// True when `text` contains `part`.
bool contains(const ZnString& text, const char* part);

// The class and dimension walk of the IEEE 1516-2000 form, for the full
// reader (with RootFlags: attributes delivered with every property) and
// the checking one (without: attributes go with addSpaceAttribute). Every
// step re-enters the reader through its own parse operations, so a reader
// that overrides one level sees every call of it. Recursion follows the XML
// nesting, which libxml2 bounds (256 levels without XML_PARSE_HUGE, which
// no reader passes).
template <class Reader>
class ClassWalk {
public:
    ClassWalk(Reader& reader, ZnString& lastError, ZnFedTarget* target, RootFlags roots,
              DetailsSink details = DetailsSink())
        : reader_(reader), lastError_(lastError), target_(target), roots_(roots),
          details_(details) {}

    // The root class of `objects` / `interactions`; 0 when there is none.
    ZnFedReadStatus objects(xmlNode* table);
    ZnFedReadStatus interactions(xmlNode* table);
    ZnFedReadStatus objectClass(xmlNode* node, const ZnString& parentName);
    ZnFedReadStatus attribute(xmlNode* node, const ZnString& className);
    ZnFedReadStatus attributeDimensions(xmlNode* node, const ZnString& className,
                                        const ZnString& attributeName);
    ZnFedReadStatus interactionClass(xmlNode* node, const ZnString& parentName);
    ZnFedReadStatus interactionDimensions(xmlNode* node, const ZnString& className);
    ZnFedReadStatus parameter(xmlNode* node, const ZnString& className);
    ZnFedReadStatus dimensionList(xmlNode* node);

private:
    ZnFedReadStatus objectChildren(xmlNode* node, const ZnString& fullName, bool skip);
    ZnFedReadStatus interactionChildren(xmlNode* node, const ZnString& fullName, bool skip);
    ZnFedReadStatus orderError(xmlNode* node);
    // Class properties for a target that takes details; 2 when it asked to stop.
    ZnFedReadStatus classDetails(xmlNode* node, const ZnString& fullName, bool interaction);

    Reader& reader_;
    ZnString& lastError_;
    ZnFedTarget* target_;
    RootFlags roots_;
    DetailsSink details_;
};

}  // namespace pxsdetail::fdd

#endif
