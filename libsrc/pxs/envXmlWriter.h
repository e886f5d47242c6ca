// envXmlWriter.h -- writes a configuration tree as an XML document with
// libxml2's text writer, into a string or a file, optionally with a
// document-type declaration and indentation.
//
//   ZnEnvXMLWriter writer("settings", "settings.dtd");
//   writer.setIndentation("   ");
//   writer.writeFile(env, "settings.xml");
//
// The root becomes the document element (named by the root's name); an
// object becomes an element named by its type, with a "name" attribute when
// name and type differ and its value as set as text after its children; an
// attribute becomes an XML attribute of the enclosing element (only while
// no child content was written to it); a plain list writes its children in
// its place; comments become XML comments. Values are written as set, so
// $(NAME) references survive. Problems go to standard error.

#ifndef PXS_ENVXMLWRITER_H
#define PXS_ENVXMLWRITER_H

#include <libxml/xmlwriter.h>

#include <pxs/environment.h>
#include <util/xmlPtr.h>

class ZnEnvXMLWriter : public ZnEnvWriter {
public:
    // Without document-type declaration.
    explicit ZnEnvXMLWriter(const ZnString& dtdName = ZnString());
    // With a declaration naming `dtdName` and the system identifier `dtdSystemId`.
    ZnEnvXMLWriter(const ZnString& dtdName, const ZnString& dtdSystemId);
    ~ZnEnvXMLWriter() override;

    // The document into `fileName`, indented when an indentation was set;
    // false when it could not be produced or saved.
    bool writeFile(ZnEnvironment& env, const ZnString& fileName) override;
    // Indentation text for writeFile; empty turns indentation off.
    virtual void setIndentation(const ZnString& text);
    // The document, unindented, into `out`; false when it could not be produced.
    virtual bool writeString(ZnEnvironment& env, ZnString& out);
    // The document element for a root that is a named list; nothing otherwise.
    virtual void writeRoot(xmlTextWriterPtr writer, ZnEnvValueSP root);
    // One node and its subtree.
    virtual void writeValue(xmlTextWriterPtr writer, ZnEnvValueSP node);

private:
    bool startDocument(xmlTextWriterPtr writer, const char* prefix);

    ZnEnvironment* env_ = nullptr;  // the tree being written, only during a write
    boost::weak_ptr<ZnEnvValue> root_;
    ZnString dtdName_;
    ZnString dtdSystemId_;
    bool writeDocType_;
    bool indent_ = false;
    ZnString indentation_;
    XmlBufferPtr buffer_;  // writeString's output, kept between calls
};

#endif
