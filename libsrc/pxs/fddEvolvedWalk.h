// fddEvolvedWalk.h -- pieces the HLA Evolved readers share: text of child
// elements, schema validation, the dimension element, and the record table
// walks of the HLA Evolved form (one record per element, each property a
// child element whose text is the value).
//
// Internal to the library: the two HLA Evolved readers include it from their
// .cpp files. The walks write into the fdd::WalkContext they are given and
// leave ownership of every record they deliver with the target.

#ifndef PXS_FDDEVOLVEDWALK_H
#define PXS_FDDEVOLVEDWALK_H

#include <pxs/fddWalk.h>

namespace fdd {
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

}  // namespace evolved
}  // namespace fdd

#endif
