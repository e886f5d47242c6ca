// envXmlWriter.cpp -- writes a configuration tree as XML through libxml2's
// text writer. Every libxml2 handle lives in an owning pointer, so each early
// return frees what was made; the subtree walk is the shared one (envWalk.h),
// since trees built in code have no depth limit.
//
// A write that meets something the XML form cannot hold goes on to the end,
// so that every such node is named once, and then produces nothing: a
// partial document would read back as a different tree without a word.

#include "envXmlWriter.h"

#include <iostream>

#include <pxs/envWalk.h>
#include <util/znNotify.h>

namespace {

const xmlChar* xml(const ZnString& text) {
    return BAD_CAST text.c_str();
}

// Names the text writer would write unchecked, giving a document nobody
// can read back.
bool validName(const ZnString& name) {
    return xmlValidateName(xml(name), 0) == 0;
}

// Text the reader gives back byte for byte: UTF-8 without the control
// characters XML 1.0 forbids (tab, line feed and carriage return are fine;
// the text writer escapes the ones a parser would normalise).
bool xmlText(const ZnString& text) {
    for (unsigned char c : text.std())
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
    return xmlCheckUTF8(xml(text)) != 0;
}

// The text reader reports character data of blanks only as white space,
// which the tree reader ignores, whatever form it was written in.
bool onlyBlanks(const ZnString& text) {
    return text.std().find_first_not_of(" \t\n\r") == std::string::npos;
}

// "--" may not occur in an XML comment, nor may one end in "-"; a blank
// after the first "-" of each pair keeps the words readable.
ZnString commentText(const ZnString& value) {
    std::string text = value.string();
    for (std::string::size_type p = text.find("--"); p != std::string::npos;
         p = text.find("--", p + 2))
        text.insert(p + 1, " ");
    if (!text.empty() && text.back() == '-') text += ' ';
    return ZnString(text);
}

// Forgets the environment of one write on every way out.
class WriteScope {
public:
    WriteScope(ZnEnvironment*& slot, ZnEnvironment& env) : slot_(slot) { slot_ = &env; }
    ~WriteScope() { slot_ = nullptr; }
    WriteScope(const WriteScope&) = delete;
    WriteScope& operator=(const WriteScope&) = delete;

private:
    ZnEnvironment*& slot_;
};

void endElement(xmlTextWriterPtr writer) {
    if (xmlTextWriterEndElement(writer) < 0)
        std::cerr << "testXmlwriterDoc: Error at xmlTextWriterEndElement\n";
}

}  // namespace

ZnEnvXMLWriter::ZnEnvXMLWriter(const ZnString& dtdName) : dtdName_(dtdName), writeDocType_(false) {}

ZnEnvXMLWriter::ZnEnvXMLWriter(const ZnString& dtdName, const ZnString& dtdSystemId)
    : dtdName_(dtdName), dtdSystemId_(dtdSystemId), writeDocType_(true) {}

ZnEnvXMLWriter::~ZnEnvXMLWriter() = default;

void ZnEnvXMLWriter::setIndentation(const ZnString& text) {
    indent_ = !text.empty();
    indentation_ = text;
}

// Start of document and document type; `prefix` names the caller in the
// start-of-document message.
bool ZnEnvXMLWriter::startDocument(xmlTextWriterPtr writer, const char* prefix) {
    if (xmlTextWriterStartDocument(writer, nullptr, "utf-8", nullptr) < 0) {
        std::cerr << prefix << ": Error at xmlTextWriterStartDocument\n";
        return false;
    }
    if (writeDocType_ &&
        xmlTextWriterWriteDTD(writer, xml(dtdName_), nullptr, xml(dtdSystemId_), nullptr) < 0)
        std::cerr << "ZnEnvXMLWriter::writeString: Error at xmlTextWriterWriteDTD\n";
    return true;
}

void ZnEnvXMLWriter::beginWrite() {
    indenting_ = false;
    open_.clear();
    path_.clear();
    incomplete_ = false;
}

bool ZnEnvXMLWriter::writeString(ZnEnvironment& env, ZnString& out) {
    WriteScope scope(env_, env);
    root_ = env.root();
    beginWrite();
    if (buffer_)
        xmlBufferEmpty(buffer_.get());
    else
        buffer_.reset(xmlBufferCreateSize(4000));
    if (!buffer_) {
        std::cerr << "ZnEnvXMLWriter::writeString: Error creating the xml buffer\n";
        return false;
    }
    XmlTextWriterPtr writer(xmlNewTextWriterMemory(buffer_.get(), 0));
    if (!writer) {
        std::cerr << "ZnEnvXMLWriter::writeString: Error creating the xml writer\n";
        return false;
    }
    if (!startDocument(writer.get(), "ZnEnvXMLWriter::writeString")) return false;
    writeRoot(writer.get(), env.root());
    if (xmlTextWriterEndDocument(writer.get()) < 0) {
        std::cerr << "ZnEnvXMLWriter::writeString: Error at xmlTextWriterEndDocument\n";
        return false;
    }
    writer.reset();  // flushes the last bytes into the buffer
    if (incomplete_) return false;
    out = ZnString(std::string(reinterpret_cast<const char*>(xmlBufferContent(buffer_.get())),
                               xmlBufferLength(buffer_.get())));
    return true;
}

// The writer builds a document, which is then saved. The document guard is
// declared first so the writer, which refers to it, is freed before it.
bool ZnEnvXMLWriter::writeFile(ZnEnvironment& env, const ZnString& fileName) {
    WriteScope scope(env_, env);
    root_ = env.root();
    beginWrite();
    xmlDocPtr built = nullptr;
    XmlDocPtr doc;
    XmlTextWriterPtr writer(xmlNewTextWriterDoc(&built, 0));
    doc.reset(built);
    if (!writer) {
        std::cerr << "testXmlwriterDoc: Error creating the xml writer\n";
        return false;
    }
    xmlTextWriterSetIndent(writer.get(), indent_ ? 1 : 0);
    indenting_ = indent_;
    if (indent_) xmlTextWriterSetIndentString(writer.get(), xml(indentation_));
    if (!startDocument(writer.get(), "testXmlwriterDoc")) return false;
    writeRoot(writer.get(), env.root());
    if (xmlTextWriterEndDocument(writer.get()) < 0) {
        std::cerr << "testXmlwriterDoc: Error at xmlTextWriterEndDocument\n";
        return false;
    }
    writer.reset();
    if (incomplete_) return false;
    if (xmlSaveFormatFileEnc(fileName.c_str(), doc.get(), "utf-8", 1) < 0) {
        std::cerr << "testXmlwriterDoc: Error at xmlSaveFormatFileEnc\n";
        return false;
    }
    return true;
}

// The document element takes the root's name; its type is not written (the
// reader makes it the element name). Its value, like an object's, is its
// text after the children.
void ZnEnvXMLWriter::writeRoot(xmlTextWriterPtr writer, ZnEnvValueSP root) {
    ZnEnvNamedList* named = ZnEnvNamedList::castToNamedList(root);
    if (!named) {
        if (root) cannotWrite("the root", "is not a named list or object");
        return;
    }
    if (!openElement(writer, named->name(), named->name(), root->unmodifiedValue())) return;
    for (ZnEnvValueSP child = named->first(); child; child = named->next(child))
        writeValue(writer, child);
    writeText(writer, root->unmodifiedValue());
    closeElement(writer);
}

void ZnEnvXMLWriter::writeValue(xmlTextWriterPtr writer, ZnEnvValueSP node) {
    pxsdetail::walkTree(
        node,
        [&](const ZnEnvValueSP& value, std::size_t) {
            return enterNode(writer, value) ? pxsdetail::WalkStep::Descend
                                            : pxsdetail::WalkStep::Skip;
        },
        [&](const ZnEnvValueSP& value, std::size_t) { leaveNode(writer, value); });
}

// Objects open an element and plain lists a level without one (their
// children are written in their place): both are descended into. Attributes
// and comments are written whole here.
bool ZnEnvXMLWriter::enterNode(xmlTextWriterPtr writer, const ZnEnvValueSP& node) {
    if (ZnEnvObject* object = ZnEnvObject::castToObject(node))
        return openElement(writer, object->type(), object->name(), object->unmodifiedValue());
    if (ZnEnvNamedList* named = ZnEnvNamedList::castToNamedList(node)) {
        writeAttribute(writer, named);
        return false;
    }
    if (ZnEnvList::isList(node)) {
        if (!node->unmodifiedValue().empty())
            cannotWrite("(a plain list)", "has a value, which XML cannot hold");
        return true;
    }
    writeComment(writer, node->value());
    return false;
}

void ZnEnvXMLWriter::leaveNode(xmlTextWriterPtr writer, const ZnEnvValueSP& node) {
    if (!ZnEnvObject::isObject(node)) return;
    writeText(writer, node->unmodifiedValue());
    closeElement(writer);
}

// Starts an element named `element`, with a "name" attribute when `name`
// differs; false (reported) when it cannot be started, in which case the
// node's subtree is skipped.
//
// Indentation is white space the text writer puts between the children of
// an element; in an element that carries a value (text after its
// children) it would become part of that value. So it stops for the
// inside of such an element and resumes after its end tag.
bool ZnEnvXMLWriter::openElement(xmlTextWriterPtr writer, const ZnString& element,
                                 const ZnString& name, const ZnString& value) {
    if (!validName(element)) {
        std::cerr << "testXmlwriterDoc: Error at xmlTextWriterStartElement\n";
        cannotWrite(name, "has a type that is not an XML name");
        return false;
    }
    if (xmlTextWriterStartElement(writer, xml(element)) < 0) {
        std::cerr << "testXmlwriterDoc: Error at xmlTextWriterStartElement\n";
        cannotWrite(name, "could not be started");
        return false;
    }
    if (!open_.empty()) open_.back().hasContent = true;
    open_.emplace_back();
    path_.push_back(name);
    if (indenting_ && !value.empty()) {
        xmlTextWriterSetIndent(writer, 0);
        indenting_ = false;
        open_.back().resumesIndent = true;
    }
    if (name != element) {
        if (!xmlText(name) || xmlTextWriterWriteAttribute(writer, BAD_CAST "name", xml(name)) < 0)
            cannotWrite(ZnString(), "has a name that XML cannot hold");
        open_.back().attributes.insert("name");
    }
    return true;
}

void ZnEnvXMLWriter::closeElement(xmlTextWriterPtr writer) {
    endElement(writer);
    if (open_.back().resumesIndent) {
        xmlTextWriterSetIndent(writer, 1);
        indenting_ = true;
    }
    open_.pop_back();
    path_.pop_back();
}

// An XML attribute of the open element. The reader takes an attribute
// called "name" for the element's name, and a document repeating an
// attribute does not parse, so neither is written.
void ZnEnvXMLWriter::writeAttribute(xmlTextWriterPtr writer, ZnEnvNamedList* attribute) {
    const ZnString name = attribute->name();
    const ZnString value = attribute->unmodifiedValue();
    if (attribute->first()) cannotWrite(name, "has children, which an XML attribute cannot hold");
    if (open_.empty())
        cannotWrite(name, "is an attribute outside any element");
    else if (!validName(name))
        cannotWrite(name, "has a name that is not an XML name");
    else if (name == "name")
        cannotWrite(name, "is an attribute called \"name\", which would read back as a name");
    else if (open_.back().hasContent)
        cannotWrite(name, "is an attribute after child content, which XML cannot hold");
    else if (!open_.back().attributes.insert(name.std()).second)
        cannotWrite(name, "repeats an attribute of its element");
    else if (!xmlText(value) || xmlTextWriterWriteAttribute(writer, xml(name), xml(value)) < 0)
        cannotWrite(name, "has a value that XML cannot hold");
}

// A comment the reader would drop (an empty one) or that would not parse
// is not written, and fails the write. One holding "--" or ending in "-"
// is descriptive text (settings write their descriptions so): it is written
// with a blank after each such "-" and named on ZnWarn, without failing.
void ZnEnvXMLWriter::writeComment(xmlTextWriterPtr writer, const ZnString& text) {
    const ZnString name("(a comment)");
    const std::string& raw = text.std();
    const bool dashes = raw.find("--") != std::string::npos || (!raw.empty() && raw.back() == '-');
    if (raw.empty())
        cannotWrite(name, "is empty, which does not read back");
    else if (!xmlText(text) || raw.find('\r') != std::string::npos)  // a parser makes \r \n
        cannotWrite(name, "holds text that an XML comment cannot hold");
    else if (xmlTextWriterWriteComment(writer, xml(dashes ? commentText(text) : text)) < 0)
        std::cerr << "testXmlwriterDoc: Error at xmlTextWriterWriteComment\n";
    if (dashes)
        ZnWarn << "ZnEnvXMLWriter: " << pathTo(name)
               << ": written with a blank after each \"-\" that XML does not allow there\n";
    if (!open_.empty()) open_.back().hasContent = true;
}

// An element's value as its text; an empty value writes nothing.
void ZnEnvXMLWriter::writeText(xmlTextWriterPtr writer, const ZnString& text) {
    if (text.empty()) return;
    const ZnString name;
    if (onlyBlanks(text))
        cannotWrite(name, "has a value of blanks only, which does not read back from XML");
    else if (!xmlText(text) || xmlTextWriterWriteString(writer, xml(text)) < 0)
        cannotWrite(name, "has a value that XML cannot hold");
}

// "a/b/c": the names from the root down to the open element, then `name`
// when it is not empty.
std::string ZnEnvXMLWriter::pathTo(const ZnString& name) const {
    std::string path;
    for (const ZnString& step : path_) path += (path.empty() ? "" : "/") + step.std();
    if (!name.empty()) path += (path.empty() ? "" : "/") + name.std();
    return path;
}

// The path is made only here: building it for every element would cost
// time in the square of the depth.
void ZnEnvXMLWriter::cannotWrite(const ZnString& name, const char* reason) {
    incomplete_ = true;
    ZnWarn << "ZnEnvXMLWriter: cannot write " << pathTo(name) << ": " << reason << "\n";
}
