// fedReader1516.h -- the IEEE 1516-2000 FDD reader: parses the file in
// memory, optionally validates it against the DTD it names, and delivers its
// object classes, interaction classes, dimensions, switches and record tables
// to a ZnFedTarget in file order.
//
//     ZnFedReader1516 reader;
//     ZnFom fom;
//     ZnFedReadStatus status = reader.readFed("model.fdd", &fom, 1, true, false);
//
// When the target refuses "HLAobjectRoot" (it already holds an "ObjectRoot"
// from an HLA 1.3 file), the reader retries with "ObjectRoot", delivers the
// subclasses under it and skips the management classes; the same holds for
// interactions. The flags that record this are never reset, so a reader
// keeps mapping for every later file.

#ifndef PXS_FEDREADER1516_H
#define PXS_FEDREADER1516_H

#include <cstdint>

#include <deque>
#include <string>

#include <pxs/fedReader.h>

typedef struct _xmlDoc xmlDoc;
class ZnFedTargetDetails;

class ZnFedReader1516 : public ZnFedReader {
public:
    ZnFedReader1516();
    ~ZnFedReader1516() override;

    ZnFedReadStatus readFedFilePtr(FILE* file, ZnFedTarget* target, ZnFilename fileName,
                                   unsigned int strictFlags, bool validate,
                                   bool useDefaultSwitches) override;

    // Validates `doc` against the DTD file at `dtdPath` with a fresh
    // validation context; false when either is null or the DTD cannot be
    // read or parsed.
    virtual bool dtdValidate(xmlDoc* doc, const char* dtdPath);
    // Checks an already parsed document (document type, DTD, root) without
    // walking it. On status 2 the document is freed; otherwise the caller
    // keeps it.
    virtual ZnFedReadStatus processXmlDocPtr(xmlDoc* doc);
    // First child of `node` named `name`; null when none.
    virtual xmlNode* getNodeByName(xmlNode* node, const char* name);
    // Walks the root element: every table, in document order.
    virtual ZnFedReadStatus processFed(xmlNode* root);
    virtual ZnFedReadStatus parseTransportationsList(xmlNode* node);
    virtual ZnFedReadStatus processObjects(xmlNode* node);
    virtual ZnFedReadStatus processInteractions(xmlNode* node);
    // `parentName` is the parent's full name, empty for the root.
    virtual ZnFedReadStatus parseObjectTree(xmlNode* node, const ZnString& parentName);
    virtual ZnFedReadStatus parseAttribute(xmlNode* node, const ZnString& className);
    virtual ZnFedReadStatus parseAttributeDimensions(xmlNode* node, const ZnString& className,
                                                     const ZnString& attributeName);
    virtual ZnFedReadStatus parseInteractionTree(xmlNode* node, const ZnString& parentName);
    virtual ZnFedReadStatus parseInteractionDimensions(xmlNode* node, const ZnString& className);
    virtual ZnFedReadStatus parseDimensionList(xmlNode* node);
    virtual ZnFedReadStatus parseDimension(xmlNode* node);
    virtual ZnFedReadStatus parseSwitches(xmlNode* node);
    virtual ZnFedReadStatus parseParameter(xmlNode* node, const ZnString& className);
    virtual ZnFedReadStatus parseDataTypeTree(xmlNode* node);
    virtual ZnFedReadStatus parseNotesTree(xmlNode* node);
    virtual ZnFedReadStatus parseTagsTree(xmlNode* node);
    // Each data type walk takes the first node of its sub-table and walks
    // it and its following siblings.
    virtual ZnFedReadStatus parseBasicDataTypesTree(xmlNode* first);
    virtual ZnFedReadStatus parseSimpleDataTypesTree(xmlNode* first);
    virtual ZnFedReadStatus parseArrayDataTypesTree(xmlNode* first);
    virtual ZnFedReadStatus parseEnumeratedDataTypesTree(xmlNode* first);
    virtual ZnFedReadStatus parseFixedRecordDataTypesTree(xmlNode* first);
    virtual ZnFedReadStatus parseVariantRecordDataTypesTree(xmlNode* first);
    virtual void appendNodeProperties(xmlNode* node, ZnString& text) const;
    virtual void appendNodeContent(xmlNode* node, ZnString& text) const;
    virtual bool isBlankText(xmlNode* node) const;
    // Value of the XML attribute `name`; null when absent. Valid until the
    // end of the read.
    virtual const char* propertyByName(xmlNode* node, const char* name) const;
    // Sets `value` to the attribute's value or ""; whether it exists.
    virtual bool getPropertyByName(xmlNode* node, const char* name, ZnString& value) const;
    // Code of the `transportation` attribute; -1 when absent or unknown.
    virtual ZnTransportType getTransportType(xmlNode* node) const;
    // Code of the `order` attribute (-1 when absent); false for an unknown text.
    virtual bool getOrderType(xmlNode* node, ZnOrderType& order) const;

    ZnFedReadStatus parseTimeTree(xmlNode* node);
    ZnFedReadStatus parseSynchronizationsTree(xmlNode* node);
    // Decimal digits after leading blanks, within 64 bits.
    bool convertStringToULong(const char* text, uint64_t& value) const;
    ZnSharingType_enum getSharingType(xmlNode* node) const;
    // The `semantics` attribute, "" when absent.
    void getSemantics(xmlNode* node, ZnString& semantics) const;
    // The `<property>Notes` attribute, "" when absent; whether it exists.
    bool getNotes(xmlNode* node, const char* property, ZnString& notes) const;
    ZnOwnershipType_enum getOwnershipType(xmlNode* node) const;
    // The `updateCondition` attribute, "" when absent.
    void getUpdateCondition(xmlNode* node, ZnString& condition) const;
    ZnFomUpdateType_enum getUpdateType(xmlNode* node) const;

    // Whether the target's roots turned out to be "ObjectRoot" / "InteractionRoot".
    bool objectRootReplaced() const { return objectRootReplaced_; }
    bool interactionRootReplaced() const { return interactionRootReplaced_; }

private:
    ZnFedReadStatus readDocument(const ZnFilename& fileName, bool validate);
    ZnFedReadStatus checkDocumentType(xmlDoc* doc, const ZnFilename* fileName,
                                      const char* missingMessage);
    void applyDefaultSwitches();

    bool objectRootReplaced_ = false;
    bool interactionRootReplaced_ = false;
    // Attribute values assembled from entity references, kept for one read.
    mutable std::deque<std::string> scratch_;
    // The target's extension calls and the name the read was given, for one read.
    ZnFedTargetDetails* details_ = nullptr;
    ZnString detailsFile_;
};

#endif
