// fedReader1516e.h -- the HLA Evolved (IEEE 1516-2010) FOM module reader:
// parses a module in memory, optionally validates it against the XML schema
// its root names, and delivers its identification, classes, dimensions,
// switches, update rates and record tables to a ZnFedTarget in file order.
// The standard MOM and Initialization Module is built in: the name
// "HLAstandardMIM.xml" reads it even when no such file exists.
//
//     ZnFom fom;
//     ZnFedReader1516e reader;
//     reader.readFed("HLAstandardMIM.xml", &fom, 0, false, false);
//     reader.readFed("harbor.xml", &fom, 1, false, false);   // extends the MIM
//
// Strict bit 1 makes recoverable problems fail the read; strict bit 2
// requires the objects, interactions, dimensions and transportations tables
// (and a switches table). Every property is a child element whose text is the
// value. When the target refuses "HLAobjectRoot" (it holds an HLA 1.3
// model), the reader retries with "ObjectRoot" and keeps doing so for every
// later file; the same holds for interactions.

#ifndef PXS_FEDREADER1516E_H
#define PXS_FEDREADER1516E_H

#include <cstdint>
#include <deque>
#include <string>

#include <pxs/fedReader.h>

typedef struct _xmlDoc xmlDoc;
class ZnFedTargetDetails;

class ZnFedReader1516e : public ZnFedReader {
public:
    ZnFedReader1516e();
    ~ZnFedReader1516e() override;

    // A null file is accepted for the name "HLAstandardMIM.xml" only: the
    // built-in MIM is read. The validate argument plays no part here: see
    // setSchemaValidationEnabled.
    ZnFedReadStatus readFedFilePtr(FILE* file, ZnFedTarget* target, ZnFilename fileName,
                                   unsigned int strictFlags, bool validate,
                                   bool useDefaultSwitches) override;

    // Turns schema validation on, whatever the argument: no call turns it
    // off again. The schema is the file the root's schemaLocation names.
    virtual void setSchemaValidationEnabled(bool enabled);
    // Checks an already parsed document (root, schema) without walking it.
    // On status 2 the document is freed; otherwise the caller keeps it.
    virtual ZnFedReadStatus processXmlDocPtr(xmlDoc* doc);
    virtual ZnFedReadStatus parseTimeTree(xmlNode* node);
    virtual ZnFedReadStatus parseSynchronizationsTree(xmlNode* node);
    // Validates `doc` against the schema file; false when either is null,
    // the schema cannot be read or the document breaks it.
    virtual bool schemaValidate(xmlDoc* doc, const char* schemaFile);
    // Walks the root element: every table, in document order.
    virtual ZnFedReadStatus processFed(xmlNode* root);
    virtual ZnFedReadStatus parseTransportationsList(xmlNode* node);
    // Module name and the identifications of the modules it depends on.
    virtual ZnFedReadStatus processModelIdentification(xmlNode* node);
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
    virtual ZnFedReadStatus parseUpdateRates(xmlNode* node);
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
    // Sets `value` to childContentByName's text or ""; whether it exists.
    virtual bool getChildContentByName(xmlNode* node, const char* name, ZnString& value) const;
    // Code of the `transportation` child of `memberName` (an attribute) of
    // `className`, or of the interaction class `className` itself (empty
    // `memberName`).
    // A user transportation the target knows gets the target's code; an
    // unknown one is registered as pending under strict bit 1 (the code is
    // left as it was) and is best effort otherwise.
    virtual void getTransportType(xmlNode* node, ZnTransportType& code, const ZnString& className,
                                  const ZnString& memberName, bool isAttribute);
    // Code of the `order` child (-1 when absent); false for an unknown text.
    virtual bool getOrderType(xmlNode* node, ZnOrderType& order) const;

    // First child of `node` named `name`; null when none.
    static xmlNode* getNodeByName(xmlNode* node, const char* name);
    // Among the children named `name`, the text of the first whose first
    // child is text; null when none.
    static const char* childContentByName(xmlNode* node, const char* name);
    // Assigns the text of the node's first child; whether it had one.
    bool getChildrenContent(xmlNode* node, ZnString& value) const;
    // Decimal digits after leading blanks, within 64 bits.
    bool convertStringToULong(const char* text, uint64_t& value) const;
    // Code of the `sharing` child: 0 when absent, ZnSharingInvalid (4) for
    // a text outside the four values.
    ZnSharingType_enum getSharingType(xmlNode* node) const;
    // The `semantics` child, "" when absent.
    void getSemantics(xmlNode* node, ZnString& semantics) const;
    // The `notes` XML attribute (references to notes), "" when absent.
    bool getNotes(xmlNode* node, ZnString& notes) const;
    ZnOwnershipType_enum getOwnershipType(xmlNode* node) const;
    // The `updateCondition` child, "" when absent.
    void getUpdateCondition(xmlNode* node, ZnString& condition) const;
    ZnFomUpdateType_enum getUpdateType(xmlNode* node) const;
    // The content test of the factory, reduced: a `reliable` child of the
    // first transportation, a `transportations` text "transportation", an
    // `updateRates` table, or an object class root named by a `name` child.
    // The file is read whole and rewound.
    static bool isEvolvedFormat(void* file);

    // Whether the target's roots turned out to be "ObjectRoot" / "InteractionRoot".
    bool objectRootReplaced() const { return objectRootReplaced_; }
    bool interactionRootReplaced() const { return interactionRootReplaced_; }
    bool schemaValidationEnabled() const { return schemaValidationEnabled_; }

private:
    ZnFedReadStatus readDocument(const char* bytes, unsigned int length,
                                 const ZnFilename& fileName);
    ZnFedReadStatus checkSchema(xmlDoc* doc, xmlNode* root, const ZnFilename* fileName);
    void applyDefaultSwitches();
    ZnFedReadStatus readSwitch(xmlNode* node);

    bool schemaValidationEnabled_ = false;
    bool objectRootReplaced_ = false;
    bool interactionRootReplaced_ = false;
    // Attribute values assembled from entity references, kept for one read.
    mutable std::deque<std::string> scratch_;
    // The target's extension calls and the name the read was given, for one read.
    ZnFedTargetDetails* details_ = nullptr;
    ZnString detailsFile_;
};

#endif
