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
// $(NAME) references survive. The root's own value, when it has one, is its
// text after its children, as for any object.
//
// Nothing is left out silently: what the XML form cannot hold so that the
// reader gives it back (a type or attribute name that is no XML name, an
// attribute after child content or called "name", the children of an
// attribute, a value of blanks only, an empty comment) is named by its path
// on ZnWarn, and the write then answers false and produces nothing. A
// comment holding "--" is written with a blank inserted, and named too.
// libxml2 failures go to standard error as before.

#ifndef PXS_ENVXMLWRITER_H
#define PXS_ENVXMLWRITER_H

#include <set>
#include <string>
#include <vector>

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
    // false, without touching the file, when it could not be produced whole
    // or not saved.
    bool writeFile(ZnEnvironment& env, const ZnString& fileName) override;
    // Indentation text for writeFile; empty turns indentation off.
    virtual void setIndentation(const ZnString& text);
    // The document, unindented, into `out`; false, leaving `out` as it
    // was, when it could not be produced whole.
    virtual bool writeString(ZnEnvironment& env, ZnString& out);
    // The document element for a root that is a named list; nothing otherwise.
    virtual void writeRoot(xmlTextWriterPtr writer, ZnEnvValueSP root);
    // One node and its subtree.
    virtual void writeValue(xmlTextWriterPtr writer, ZnEnvValueSP node);

private:
    // What one open element has taken so far: attributes only fit before content.
    struct OpenElement {
        bool hasContent = false;
        bool resumesIndent = false;  // indentation was stopped for its value
        std::set<std::string> attributes;
    };

    bool startDocument(xmlTextWriterPtr writer, const char* prefix);
    void beginWrite();
    bool enterNode(xmlTextWriterPtr writer, const ZnEnvValueSP& node);
    void leaveNode(xmlTextWriterPtr writer, const ZnEnvValueSP& node);
    bool openElement(xmlTextWriterPtr writer, const ZnString& element, const ZnString& name,
                     const ZnString& value);
    void writeAttribute(xmlTextWriterPtr writer, ZnEnvNamedList* attribute);
    void writeComment(xmlTextWriterPtr writer, const ZnString& text);
    void writeText(xmlTextWriterPtr writer, const ZnString& text);
    void closeElement(xmlTextWriterPtr writer);
    std::string pathTo(const ZnString& name) const;
    void cannotWrite(const ZnString& name, const char* reason);

    ZnEnvironment* env_ = nullptr;  // the tree being written, only during a write
    boost::weak_ptr<ZnEnvValue> root_;
    ZnString dtdName_;
    ZnString dtdSystemId_;
    bool writeDocType_;
    bool indent_ = false;
    ZnString indentation_;
    XmlBufferPtr buffer_;  // writeString's output, kept between calls
    std::vector<OpenElement> open_;  // elements started and not yet ended
    std::vector<ZnString> path_;     // names from the root to the open element
    bool incomplete_ = false;        // something could not be written
    bool indenting_ = false;         // the text writer indents at this point
};

#endif
