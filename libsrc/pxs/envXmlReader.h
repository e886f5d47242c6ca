// envXmlReader.h -- builds a configuration tree from an XML document,
// streamed with libxml2's text reader, optionally checked against its DTD.
//
//   ZnEnvXMLReader reader(false);
//   bool ok = false;
//   ZnEnvironment env = reader.readFile("settings.xml", ok);
//
// The document element renames the root; other elements become objects
// (type = element name, name = their "name" attribute or the element name),
// other XML attributes become attributes, text sets the enclosing object's
// value, comments become comments. Errors are thrown as ZnInvalidInput (file
// not opened) or ZnCorruptedState (unreadable or invalid document); what was
// read before the error stays in the tree.

#ifndef PXS_ENVXMLREADER_H
#define PXS_ENVXMLREADER_H

#include <libxml/xmlreader.h>

#include <pxs/environment.h>

class ZnEnvXMLReader : public ZnEnvReader {
public:
    explicit ZnEnvXMLReader(bool dtdValidation = false);
    ~ZnEnvXMLReader() override;

    // A new default environment filled from the file; `ok` is readDoc's answer.
    ZnEnvironment readFile(const ZnString& fileName, bool& ok) override;
    virtual void useDtdValidation(bool on);
    // Fills `env` (whose root should be an object, which the document element
    // renames) from `size` bytes at `buffer`; true when the document was read.
    virtual bool readMemory(ZnEnvironment& env, const char* buffer, int size);

    // Turns every node the text reader delivers into tree content; true, or
    // an exception.
    virtual bool readDoc(xmlTextReaderPtr reader);
    // Makes the parent of the current node current; stops at the root.
    virtual void popRoot();
    virtual void processNode(xmlTextReaderPtr reader);
    virtual void processElement(xmlTextReaderPtr reader);

private:
    ZnEnvironment* env_ = nullptr;  // the tree being filled, only during a read
    boost::weak_ptr<ZnEnvValue> current_;
    bool dtdValidation_;
};

#endif
