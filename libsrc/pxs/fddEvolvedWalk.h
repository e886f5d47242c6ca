// fddEvolvedWalk.h -- pieces the HLA Evolved readers share: text of child
// elements, schema validation, the dimension element, and the record table
// walks of the HLA Evolved form (one record per element, each property a
// child element whose text is the value).
//
// Internal to the library: the two HLA Evolved readers include it from their
// .cpp files. The walks write into the pxsdetail::fdd::WalkContext they are given and
// leave ownership of every record they deliver with the target.

#ifndef PXS_FDDEVOLVEDWALK_H
#define PXS_FDDEVOLVEDWALK_H

#include <pxs/fddWalk.h>

namespace pxsdetail::fdd {
namespace evolved {

// Text of the node's first child when that child is text (or CDATA); null
// otherwise. Points into the document.
const char* firstChildText(const xmlNode* node);
// Among the children named `name`, the text of the first whose first child
// is text; null when there is none.
const char* childText(const xmlNode* node, const char* name);
// The whole text of an element ("" when it has none), entities and all.
ZnString elementText(const xmlNode* element);

// Validates `doc` against the XML schema file at `path`; false when either
// is null, the file is missing or unreadable as a schema, or the document
// breaks it. The first complaint goes to ZnWarn with its line.
bool validateWithSchema(xmlDoc* doc, const char* path);
// The same against a schema held in memory; `url` names it in messages.
bool validateWithSchemaBytes(xmlDoc* doc, const char* bytes, unsigned int length,
                             const char* url);

// One `dimension` element of the HLA Evolved form, delivered with
// addDimension; 2 with the message in the last error when it is unusable.
ZnFedReadStatus readDimension(WalkContext& ctx, xmlNode* node);

// Each takes the table element and walks its children; each returns 0, or 2
// when a problem ended the walk under strict.
ZnFedReadStatus walkTransportations(WalkContext& ctx, xmlNode* table);
ZnFedReadStatus walkTime(WalkContext& ctx, xmlNode* table);
ZnFedReadStatus walkSynchronizations(WalkContext& ctx, xmlNode* table);
ZnFedReadStatus walkTags(WalkContext& ctx, xmlNode* table);
ZnFedReadStatus walkNotes(WalkContext& ctx, xmlNode* table);
ZnFedReadStatus walkUpdateRates(WalkContext& ctx, xmlNode* table);
// The data type walks take the first node of a sub-table and walk it and
// its following siblings.
ZnFedReadStatus walkBasicData(WalkContext& ctx, xmlNode* first);
ZnFedReadStatus walkSimpleData(WalkContext& ctx, xmlNode* first);
ZnFedReadStatus walkArrayData(WalkContext& ctx, xmlNode* first);
ZnFedReadStatus walkEnumeratedData(WalkContext& ctx, xmlNode* first);
ZnFedReadStatus walkFixedRecordData(WalkContext& ctx, xmlNode* first);
ZnFedReadStatus walkVariantRecordData(WalkContext& ctx, xmlNode* first);

// The text without leading and trailing white space.
ZnString trimmed(ZnString text);
// Code of a `sharing` text: PublishSubscribe (also when absent), Publish,
// Subscribe, Neither; ZnSharingInvalid for any other text.
ZnSharingType_enum sharingCode(const char* text);

// Code of an automaticResignAction text (1 UnconditionallyDivestAttributes,
// 2 DeleteObjects, 3 DeleteObjectsThenDivest, 4 NoAction,
// 5 CancelPendingOwnershipAcquisitions, 6 CancelThenDeleteThenDivest); 0 for
// a null or any other text.
int resignActionCode(const char* text);

// A root that names a schema (`location`, the root's schemaLocation, whose
// last token is the path) must pass it; a null `location` passes. A
// relative schema path not found as written is looked for beside
// `fileName` when there is one. Nothing is fetched from the network: a web
// address is a file that does not exist. A schema that is missing, not a
// regular file or failed is fatal.
template <class Reader>
ZnFedReadStatus checkSchema(Reader& reader, xmlDoc* doc, const char* location,
                            const ZnFilename* fileName, ZnString& lastError);

// The class and dimension walk of the HLA Evolved form, for the full reader
// (with RootFlags) and the checking one (without). The full reader resolves
// user transportations, checks sharing, delivers attributes with every
// property, reports dimension problems and traces values above notify
// level 2; the checking reader delivers attributes with addSpaceAttribute,
// hands on dimensions without looking at the answers and always traces
// names. Every step re-enters the reader through its own parse operations.
template <class Reader>
class ClassWalk {
public:
    ClassWalk(Reader& reader, ZnString& lastError, ZnFedTarget* target, RootFlags roots,
              DetailsSink details = DetailsSink())
        : reader_(reader), lastError_(lastError), target_(target), roots_(roots),
          details_(details) {}

    ZnFedReadStatus objects(xmlNode* table);
    ZnFedReadStatus interactions(xmlNode* table);
    ZnFedReadStatus objectClass(xmlNode* node, const ZnString& parentName);
    ZnFedReadStatus attribute(xmlNode* node, const ZnString& className);
    ZnFedReadStatus attributeDimensions(xmlNode* node, const ZnString& className,
                                        const ZnString& attributeName);
    ZnFedReadStatus interactionClass(xmlNode* node, const ZnString& parentName);
    ZnFedReadStatus interactionDimensions(xmlNode* node, const ZnString& className);
    ZnFedReadStatus parameter(xmlNode* node, const ZnString& className);

private:
    ZnFedReadStatus objectChildren(xmlNode* node, const ZnString& fullName, bool skip);
    ZnFedReadStatus classSharing(xmlNode* node, const ZnString& fullName);
    ZnFedReadStatus interactionChildren(xmlNode* node, const ZnString& fullName, bool skip);
    ZnFedReadStatus orderError(xmlNode* node);
    ZnFedReadStatus deliverAttribute(xmlNode* node, const ZnString& className,
                                     const ZnString& attributeName, ZnTransportType transport,
                                     ZnOrderType order);
    ZnTransportType transportOf(xmlNode* node, const ZnString& className,
                                const ZnString& memberName, bool isAttribute);
    ZnFedReadStatus dimensionElements(xmlNode* list, const ZnString& className,
                                      const ZnString* attributeName);
    // Class properties for a target that takes details; 2 when it asked to stop.
    ZnFedReadStatus classDetails(xmlNode* node, const ZnString& fullName, bool interaction);
    // The member's `dataType` element for a target that takes details; 2
    // when it asked to stop.
    ZnFedReadStatus memberDataType(xmlNode* node, const ZnString& className,
                                   const ZnString& member, bool attribute);

    Reader& reader_;
    ZnString& lastError_;
    ZnFedTarget* target_;
    RootFlags roots_;
    DetailsSink details_;
};

}  // namespace evolved
}  // namespace pxsdetail::fdd

#endif
