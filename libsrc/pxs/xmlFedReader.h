// xmlFedReader.h -- the thin IEEE 1516-2000 reader. It checks an FDD file
// and delivers its classes, attributes (with addSpaceAttribute), parameters,
// dimensions and switches exactly as written: no root replacement, no
// skipping, the target's answers ignored. Record tables are checked but not
// delivered. The target may be null, which makes it a pure file checker:
//
//     ZnXmlFedReader checker;
//     if (checker.readFed("model.fdd", nullptr, 1, true, false) != ZnFedReadSuccess)
//         std::cerr << checker.lastError() << "\n";
//
// The file bytes are freed after each read, so takeCurrFddData yields nothing.

#ifndef PXS_XMLFEDREADER_H
#define PXS_XMLFEDREADER_H

#include <deque>
#include <string>

#include <pxs/fedReader.h>

typedef struct _xmlDoc xmlDoc;

class ZnXmlFedReader : public ZnFedReader {
public:
    ZnXmlFedReader();
    ~ZnXmlFedReader() override;

    ZnFedReadStatus readFedFilePtr(FILE* file, ZnFedTarget* target, ZnFilename fileName,
                                   unsigned int strictFlags, bool validate,
                                   bool useDefaultSwitches) override;

    // Finds `fileName` as named or through RTI_CONFIG, parses it and checks
    // its document type, DTD and root. On success *doc receives the document
    // (the caller frees it); *doc must be null on entry.
    ZnFedReadStatus openFile(const char* fileName, xmlDoc** doc);

    bool dtdValidate(xmlDoc* doc, const char* dtdPath);
    xmlNode* getNodeByName(xmlNode* node, const char* name);
    ZnFedReadStatus processFed(xmlNode* root);
    ZnFedReadStatus parseTransportationsList(xmlNode* node);
    ZnFedReadStatus processObjects(xmlNode* node);
    ZnFedReadStatus processInteractions(xmlNode* node);
    ZnFedReadStatus parseObjectTree(xmlNode* node, const ZnString& parentName);
    ZnFedReadStatus parseAttribute(xmlNode* node, const ZnString& className);
    ZnFedReadStatus parseAttributeDimensions(xmlNode* node, const ZnString& className,
                                             const ZnString& attributeName);
    ZnFedReadStatus parseInteractionTree(xmlNode* node, const ZnString& parentName);
    ZnFedReadStatus parseInteractionDimensions(xmlNode* node, const ZnString& className);
    ZnFedReadStatus parseDimensionList(xmlNode* node);
    ZnFedReadStatus parseDimension(xmlNode* node);
    ZnFedReadStatus parseSwitches(xmlNode* node);
    ZnFedReadStatus parseParameter(xmlNode* node, const ZnString& className);
    // The record tables: checked, never delivered.
    ZnFedReadStatus parseDataTypeTree(xmlNode* node);
    ZnFedReadStatus parseNotesTree(xmlNode* node);
    ZnFedReadStatus parseTagsTree(xmlNode* node);
    ZnFedReadStatus parseTimeTree(xmlNode* node);
    ZnFedReadStatus parseSynchronizationsTree(xmlNode* node);
    ZnFedReadStatus parseBasicDataTypesTree(xmlNode* first);
    ZnFedReadStatus parseSimpleDataTypesTree(xmlNode* first);
    ZnFedReadStatus parseArrayDataTypesTree(xmlNode* first);
    ZnFedReadStatus parseEnumeratedDataTypesTree(xmlNode* first);
    ZnFedReadStatus parseFixedRecordDataTypesTree(xmlNode* first);
    ZnFedReadStatus parseVariantRecordDataTypesTree(xmlNode* first);
    void appendNodeProperties(xmlNode* node, ZnString& text) const;
    void appendNodeContent(xmlNode* node, ZnString& text) const;
    bool isBlankText(xmlNode* node) const;
    // Value of the XML attribute `name`; null when absent.
    const char* propertyByName(xmlNode* node, const char* name) const;
    bool getPropertyByName(xmlNode* node, const char* name, ZnString& value) const;
    ZnTransportType getTransportType(xmlNode* node) const;
    // False for an order text that is neither "Receive" nor "TimeStamp".
    bool getOrderType(xmlNode* node, ZnOrderType& order) const;

private:
    ZnFedReadStatus readDocument(const char* bytes, unsigned int length,
                                 const ZnFilename& fileName, bool validate);
    ZnFedReadStatus checkDocument(xmlDoc* doc, const ZnFilename& fileName);
    void applyDefaultSwitches();

    ZnFedTarget* fedTarget_ = nullptr;  // the reader's own; may be null
    mutable std::deque<std::string> scratch_;
};

#endif
