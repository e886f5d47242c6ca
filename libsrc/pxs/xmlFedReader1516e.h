// xmlFedReader1516e.h -- the thin HLA Evolved reader. It checks a FOM module
// and delivers its module name, classes, attributes (with
// addSpaceAttribute), parameters, dimensions and switches exactly as
// written: no root replacement, no skipping, the target's answers ignored.
// Record tables and update rates are passed over, and only the two standard
// transportations are allowed. The target may be null, which makes it a
// pure file checker:
//
//     ZnXmlFedReader1516e checker;
//     if (checker.readFed("harbor.xml", nullptr, 1, false, false) != ZnFedReadSuccess)
//         std::cerr << checker.lastError() << "\n";
//
// It also holds the content test that tells an HLA Evolved module from an
// IEEE 1516-2000 FDD when both carry the extension ".xml" or ".fdd". The
// file bytes are freed after each read, so takeCurrFddData yields nothing.

#ifndef PXS_XMLFEDREADER1516E_H
#define PXS_XMLFEDREADER1516E_H

#include <deque>
#include <string>

#include <pxs/fedReader.h>

typedef struct _xmlDoc xmlDoc;

class ZnXmlFedReader1516e : public ZnFedReader {
public:
    ZnXmlFedReader1516e();
    ~ZnXmlFedReader1516e() override;

    // A null file is accepted for the name "HLAstandardMIM.xml" only: the
    // built-in MIM is checked.
    ZnFedReadStatus readFedFilePtr(FILE* file, ZnFedTarget* target, ZnFilename fileName,
                                   unsigned int strictFlags, bool validate,
                                   bool useDefaultSwitches) override;

    // True when the open FILE* `file` holds an HLA Evolved module; the file
    // is read whole and rewound. False when it cannot be read or parsed.
    static bool isEvolvedFormat(void* file);

    // Turns schema validation on, whatever the argument.
    void setSchemaValidationEnabled(bool enabled);
    bool schemaValidationEnabled() const { return schemaValidationEnabled_; }
    // Finds `fileName` as named or through RTI_CONFIG, parses it and checks
    // its schema and root. On success *doc receives the document (the
    // caller frees it); *doc must be null on entry.
    ZnFedReadStatus openFile(const char* fileName, xmlDoc** doc);

    bool schemaValidate(xmlDoc* doc, const char* schemaFile);
    xmlNode* getNodeByName(xmlNode* node, const char* name);
    ZnFedReadStatus processFed(xmlNode* root);
    ZnFedReadStatus processModelIdentification(xmlNode* node);
    ZnFedReadStatus parseTransportationsList(xmlNode* node);
    ZnFedReadStatus processObjects(xmlNode* node);
    ZnFedReadStatus processInteractions(xmlNode* node);
    ZnFedReadStatus parseObjectTree(xmlNode* node, const ZnString& parentName);
    ZnFedReadStatus parseAttribute(xmlNode* node, const ZnString& className);
    ZnFedReadStatus parseInteractionTree(xmlNode* node, const ZnString& parentName);
    ZnFedReadStatus parseDimensionList(xmlNode* node);
    ZnFedReadStatus parseDimension(xmlNode* node);
    ZnFedReadStatus parseSwitches(xmlNode* node);
    ZnFedReadStatus parseParameter(xmlNode* node, const ZnString& className);
    void appendNodeProperties(xmlNode* node, ZnString& text) const;
    void appendNodeContent(xmlNode* node, ZnString& text) const;
    bool isBlankText(xmlNode* node) const;
    // Among the children named `name`, the text of the first whose first
    // child is text; null when none.
    const char* childContentByName(xmlNode* node, const char* name) const;
    // Code of the `transportation` child; -1 when absent or not standard.
    ZnTransportType getTransportType(xmlNode* node) const;
    // False for an order text that is neither "Receive" nor "TimeStamp".
    bool getOrderType(xmlNode* node, ZnOrderType& order) const;

private:
    ZnFedReadStatus readDocument(const char* bytes, unsigned int length,
                                 const ZnFilename& fileName);
    ZnFedReadStatus checkSchema(xmlDoc* doc, xmlNode* root, const ZnFilename& fileName);
    void applyDefaultSwitches();

    ZnFedTarget* fedTarget_ = nullptr;  // the reader's own; may be null
    bool schemaValidationEnabled_ = false;
    mutable std::deque<std::string> scratch_;
};

#endif
