// fddDriver.h -- what the four XML object-model readers do around their
// walks: the set-up every reader needs from libxml2, the guard that turns
// anything thrown during a read into a failed read, and the driver of one
// root element (dimensions and transportations first, then the top-level
// tables in document order, then the tables that were missing). The readers
// differ only in the tables and options they hand in. Internal: included
// from the readers' .cpp files, never from a public header.

#ifndef PXS_FDDDRIVER_H
#define PXS_FDDDRIVER_H

#include <cstddef>
#include <cstdio>
#include <memory>

#include <pxs/embeddedData.h>
#include <pxs/fddWalk.h>
#include <util/xmlSetup.h>
#include <util/znNotify.h>

namespace pxsdetail::fdd {

// libxml2 initialised once per process; blank text nodes dropped, which the
// walks rely on when they look at a node's first child.
inline void prepareXmlParser() {
    pxsEnsureXmlInitialised();
    xmlKeepBlanksDefault(0);
}

// The name that reads the built-in MIM even when no such file exists.
constexpr const char* kMimName = "HLAstandardMIM.xml";

// The built-in MIM's bytes and length; null and 0 when the library lacks it.
inline const char* builtInMim(unsigned int* length) {
    const PxsEmbeddedFile* mim = pxsFindEmbeddedFile(kMimName);
    *length = mim ? static_cast<unsigned int>(mim->size) : 0;
    return mim ? reinterpret_cast<const char*>(mim->data) : nullptr;
}

// Runs `read` and answers its status; whatever escapes it (a target that
// throws, memory running out) ends this read only, with `message` in the
// last error. Guards inside `read` free what it holds on the way out.
template <class Read>
ZnFedReadStatus guardedRead(ZnString& lastError, const char* message, Read&& read) {
    try {
        return read();
    } catch (...) {
        lastError = message;
        return ZnFedReadFailed;
    }
}

// How one reader drives its root element.
struct DriveOptions {
    const char* noRootMessage;  // the last error for a null root
    bool traceProperties;       // write the root's attributes at notify level 3
    bool traceTags;             // passed on to walkTopLevel
    unsigned found;             // table bits counted as present before the walk
    unsigned allTables;         // the bits of a model that lacks nothing
};

// Walks `root` for `reader`: dimensions and transportations, then
// `applyDefaults()` (a no-op callable when the read did not ask for default
// switches), then the top-level tables, then a report of each missing table.
template <class Reader, size_t N, size_t M, class ApplyDefaults>
ZnFedReadStatus driveRoot(Reader& reader, xmlNode* root, const DriveOptions& options,
                          const TopLevelEntry<Reader> (&tables)[N],
                          const MissingTable (&missing)[M], ZnString& lastError,
                          ApplyDefaults&& applyDefaults) {
    if (!root) {
        lastError = options.noRootMessage;
        return ZnFedReadFailed;
    }
    if (options.traceProperties && ZnNotifyLevel > 2) {
        ZnString properties;
        reader.appendNodeProperties(root, properties);
        ZnVerbose << "Federation Properties:\n";
        ZnVerbose.printf("%s \n\n", properties.c_str());
    }
    unsigned found = options.found;
    ZnFedReadStatus status = readDimensionsAndTransportations(reader, root, found);
    applyDefaults();
    if (status != ZnFedReadFailed)
        status = walkTopLevel(reader, root, tables, options.traceTags, lastError, found);
    if (status != ZnFedReadFailed && found != options.allTables)
        reportMissingTables(reader, found, missing, lastError, status);
    return status;
}

// The checking readers' root: no property trace, tags listed, the five
// checked tables required. `applyDefaults` as for driveRoot.
template <class Reader, size_t N, class ApplyDefaults>
ZnFedReadStatus driveCheckedRoot(Reader& reader, xmlNode* root,
                                 const TopLevelEntry<Reader> (&tables)[N], ZnString& lastError,
                                 ApplyDefaults&& applyDefaults) {
    const DriveOptions options{"Could not process FDD file. No root node.", false, true, 0,
                               kCheckedTables};
    return driveRoot(reader, root, options, tables, kCheckedTableMessages, lastError,
                     applyDefaults);
}

// The checking readers keep no bytes: `read(bytes, length)` parses a copy
// of the whole file that is freed when it returns, whatever happens.
template <class Read>
ZnFedReadStatus readTransientCopy(FILE* file, Read&& read) {
    char* raw = nullptr;
    unsigned int length = 0;
    ZnFedReader::readFileIntoBuffer(file, &raw, &length);
    std::unique_ptr<char[]> bytes(raw);
    return read(static_cast<const char*>(bytes.get()), length);
}

}  // namespace pxsdetail::fdd

// The class-tree steps every XML reader offers as virtual operations, each
// handed to the walk `walkExpr` builds (a ClassWalk of the reader's form).
#define PXS_FDD_CLASS_STEPS(Reader, walkExpr)                                               \
    ZnFedReadStatus Reader::processObjects(xmlNode* node) { return walkExpr.objects(node); } \
    ZnFedReadStatus Reader::processInteractions(xmlNode* node) {                            \
        return walkExpr.interactions(node);                                                 \
    }                                                                                       \
    ZnFedReadStatus Reader::parseObjectTree(xmlNode* node, const ZnString& parentName) {    \
        return walkExpr.objectClass(node, parentName);                                      \
    }                                                                                       \
    ZnFedReadStatus Reader::parseAttribute(xmlNode* node, const ZnString& className) {      \
        return walkExpr.attribute(node, className);                                         \
    }                                                                                       \
    ZnFedReadStatus Reader::parseInteractionTree(xmlNode* node, const ZnString& parentName) { \
        return walkExpr.interactionClass(node, parentName);                                 \
    }                                                                                       \
    ZnFedReadStatus Reader::parseParameter(xmlNode* node, const ZnString& className) {      \
        return walkExpr.parameter(node, className);                                         \
    }

// The dimension steps of the readers that deliver attribute and interaction
// dimensions.
#define PXS_FDD_DIMENSION_STEPS(Reader, walkExpr)                                         \
    ZnFedReadStatus Reader::parseAttributeDimensions(xmlNode* node, const ZnString& className, \
                                                     const ZnString& attributeName) {     \
        return walkExpr.attributeDimensions(node, className, attributeName);              \
    }                                                                                     \
    ZnFedReadStatus Reader::parseInteractionDimensions(xmlNode* node,                     \
                                                       const ZnString& className) {       \
        return walkExpr.interactionDimensions(node, className);                           \
    }

// The node helpers every XML reader offers: the root's attributes and a
// node's text for messages, and the blank-text test.
#define PXS_FDD_NODE_STEPS(Reader)                                                 \
    void Reader::appendNodeProperties(xmlNode* node, ZnString& text) const {       \
        pxsdetail::fdd::appendProperties(node, text);                              \
    }                                                                              \
    void Reader::appendNodeContent(xmlNode* node, ZnString& text) const {          \
        pxsdetail::fdd::appendContent(node, text);                                 \
    }                                                                              \
    bool Reader::isBlankText(xmlNode* node) const { return pxsdetail::fdd::isBlankText(node); }

// XML attribute values, assembled into the reader's scratch_ when entity
// references split them, so they stay valid until the read ends.
#define PXS_FDD_PROPERTY_STEPS(Reader)                                                  \
    const char* Reader::propertyByName(xmlNode* node, const char* name) const {         \
        return pxsdetail::fdd::property(node, name, scratch_);                          \
    }                                                                                   \
    bool Reader::getPropertyByName(xmlNode* node, const char* name, ZnString& value) const { \
        const char* text = propertyByName(node, name);                                  \
        value = text ? text : "";                                                       \
        return text != nullptr;                                                         \
    }

// The transport and order codes of the IEEE 1516-2000 form, where both are
// XML attributes.
#define PXS_FDD_ATTRIBUTE_CODES(Reader)                                                \
    ZnTransportType Reader::getTransportType(xmlNode* node) const {                    \
        return pxsdetail::fdd::transportCode(propertyByName(node, "transportation"));  \
    }                                                                                  \
    bool Reader::getOrderType(xmlNode* node, ZnOrderType& order) const {               \
        return pxsdetail::fdd::orderCode(propertyByName(node, "order"), &order);       \
    }

// The record-table steps: each builds a WalkContext with `target` (null for
// a reader that only checks) and `details` and hands its node to `ns::walk...`.
#define PXS_FDD_RECORD_STEP(Reader, method, ns, walk, target, details)                 \
    ZnFedReadStatus Reader::method(xmlNode* node) {                           \
        pxsdetail::fdd::WalkContext ctx{lastError_, strictChecking(1), target, details}; \
        return ns::walk(ctx, node);                                           \
    }
#define PXS_FDD_RECORD_STEPS(Reader, ns, target, details)                                            \
    PXS_FDD_RECORD_STEP(Reader, parseNotesTree, ns, walkNotes, target, details)                      \
    PXS_FDD_RECORD_STEP(Reader, parseTagsTree, ns, walkTags, target, details)                        \
    PXS_FDD_RECORD_STEP(Reader, parseTimeTree, ns, walkTime, target, details)                        \
    PXS_FDD_RECORD_STEP(Reader, parseSynchronizationsTree, ns, walkSynchronizations, target, details) \
    PXS_FDD_RECORD_STEP(Reader, parseBasicDataTypesTree, ns, walkBasicData, target, details)         \
    PXS_FDD_RECORD_STEP(Reader, parseSimpleDataTypesTree, ns, walkSimpleData, target, details)       \
    PXS_FDD_RECORD_STEP(Reader, parseArrayDataTypesTree, ns, walkArrayData, target, details)         \
    PXS_FDD_RECORD_STEP(Reader, parseEnumeratedDataTypesTree, ns, walkEnumeratedData, target, details) \
    PXS_FDD_RECORD_STEP(Reader, parseFixedRecordDataTypesTree, ns, walkFixedRecordData, target, details) \
    PXS_FDD_RECORD_STEP(Reader, parseVariantRecordDataTypesTree, ns, walkVariantRecordData, target, details)

#endif
