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

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include <util/xmlPtr.h>
#include <util/znFedTarget.h>
#include <util/znString.h>

namespace fdd {

// Attribute values built from several nodes (entity references) are
// assembled into these; they live until the owner clears the scratch (a
// deque, so earlier values stay where they are as more are added).
using PropertyScratch = std::deque<std::string>;

// Value of the XML attribute `name` of `node`, or null when absent. The text
// lives as long as the document (or the scratch, for assembled values).
const char* property(const xmlNode* node, const char* name, PropertyScratch& scratch);
// Full text of one attribute ("" when it has none).
ZnString attributeText(const xmlAttr* attr);
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
// The document type node of `doc`; null when it has none.
xmlDtd* documentType(xmlDoc* doc);
// Validates `doc` against the DTD file at `path` with a fresh validation
// context; false when either is null or the DTD cannot be read. The first
// validity error goes to ZnWarn.
bool validateWithDtd(xmlDoc* doc, const char* path);

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

// What a record walk needs from its reader. A null target makes the walk
// check the table without delivering anything.
struct WalkContext {
    ZnString& lastError;
    bool strict;  // strict bit 1: a recoverable problem ends the walk
    ZnFedTarget* target;
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

}  // namespace fdd

#endif
