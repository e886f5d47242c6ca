// envXmlWriter.cpp -- writes a configuration tree as XML through libxml2's
// text writer. Every libxml2 handle lives in an owning pointer, so each early
// return frees what was made; the subtree walk keeps its own stack, since
// trees built in code have no depth limit.

#include "envXmlWriter.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

const xmlChar* xml(const ZnString& text) { return BAD_CAST text.c_str(); }

// Names the text writer would write unchecked, giving a document nobody
// can read back.
bool validName(const ZnString& name) { return xmlValidateName(xml(name), 0) == 0; }

// "--" may not occur in an XML comment, nor may one end in "-"; a blank
// keeps such a comment readable rather than making the document unreadable.
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

// Opens the element for an object; false (reported) when it cannot be
// started, in which case the object's subtree is skipped.
bool startObject(xmlTextWriterPtr writer, ZnEnvObject* object) {
    const ZnString type = object->type();
    if (!validName(type) || xmlTextWriterStartElement(writer, xml(type)) < 0) {
        std::cerr << "testXmlwriterDoc: Error at xmlTextWriterStartElement\n";
        return false;
    }
    const ZnString name = object->name();
    if (name != type) xmlTextWriterWriteAttribute(writer, BAD_CAST "name", xml(name));
    return true;
}

void endElement(xmlTextWriterPtr writer) {
    if (xmlTextWriterEndElement(writer) < 0)
        std::cerr << "testXmlwriterDoc: Error at xmlTextWriterEndElement\n";
}

}  // namespace

ZnEnvXMLWriter::ZnEnvXMLWriter(const ZnString& dtdName)
    : dtdName_(dtdName), writeDocType_(false) {}

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

bool ZnEnvXMLWriter::writeString(ZnEnvironment& env, ZnString& out) {
    WriteScope scope(env_, env);
    root_ = env.root();
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
    out = ZnString(std::string(reinterpret_cast<const char*>(xmlBufferContent(buffer_.get())),
                               xmlBufferLength(buffer_.get())));
    return true;
}

// The writer builds a document, which is then saved. The document guard is
// declared first so the writer, which refers to it, is freed before it.
bool ZnEnvXMLWriter::writeFile(ZnEnvironment& env, const ZnString& fileName) {
    WriteScope scope(env_, env);
    root_ = env.root();
    xmlDocPtr built = nullptr;
    XmlDocPtr doc;
    XmlTextWriterPtr writer(xmlNewTextWriterDoc(&built, 0));
    doc.reset(built);
    if (!writer) {
        std::cerr << "testXmlwriterDoc: Error creating the xml writer\n";
        return false;
    }
    xmlTextWriterSetIndent(writer.get(), indent_ ? 1 : 0);
    if (indent_) xmlTextWriterSetIndentString(writer.get(), xml(indentation_));
    if (!startDocument(writer.get(), "testXmlwriterDoc")) return false;
    writeRoot(writer.get(), env.root());
    if (xmlTextWriterEndDocument(writer.get()) < 0) {
        std::cerr << "testXmlwriterDoc: Error at xmlTextWriterEndDocument\n";
        return false;
    }
    writer.reset();
    if (xmlSaveFormatFileEnc(fileName.c_str(), doc.get(), "utf-8", 1) < 0) {
        std::cerr << "testXmlwriterDoc: Error at xmlSaveFormatFileEnc\n";
        return false;
    }
    return true;
}

void ZnEnvXMLWriter::writeRoot(xmlTextWriterPtr writer, ZnEnvValueSP root) {
    ZnEnvNamedList* named = ZnEnvNamedList::castToNamedList(root);
    if (!named) return;
    const ZnString name = named->name();
    if (!validName(name) || xmlTextWriterStartElement(writer, xml(name)) < 0) {
        std::cerr << "testXmlwriterDoc: Error at xmlTextWriterStartElement\n";
        return;
    }
    for (ZnEnvValueSP child = named->first(); child; child = named->next(child))
        writeValue(writer, child);
    endElement(writer);
}

// Objects and plain lists open a level on an explicit stack; a level ends
// with the object's text and end tag once its children are written.
void ZnEnvXMLWriter::writeValue(xmlTextWriterPtr writer, ZnEnvValueSP node) {
    struct Level {
        ZnEnvValueSP hold;
        ZnEnvList* list;
        ZnEnvValueSP next;
        bool element;
    };
    std::vector<Level> stack;
    auto visit = [&](const ZnEnvValueSP& value) {
        if (ZnEnvObject* object = ZnEnvObject::castToObject(value)) {
            if (startObject(writer, object)) stack.push_back({value, object, object->first(), true});
        } else if (ZnEnvNamedList* named = ZnEnvNamedList::castToNamedList(value)) {
            // Refused once the element has content: attributes come first.
            if (validName(named->name()))
                xmlTextWriterWriteAttribute(writer, xml(named->name()),
                                            xml(named->unmodifiedValue()));
        } else if (ZnEnvList* list = ZnEnvList::castToList(value)) {
            stack.push_back({value, list, list->first(), false});
        } else if (xmlTextWriterWriteComment(writer, xml(commentText(value->value()))) < 0) {
            std::cerr << "testXmlwriterDoc: Error at xmlTextWriterWriteComment\n";
        }
    };
    visit(node);
    while (!stack.empty()) {
        Level& top = stack.back();
        if (top.next) {
            ZnEnvValueSP child = top.next;
            top.next = top.list->next(child);
            visit(child);  // may grow the stack: `top` is not used after this
            continue;
        }
        if (top.element) {
            const ZnString text = top.hold->unmodifiedValue();
            if (!text.empty()) xmlTextWriterWriteString(writer, xml(text));
            endElement(writer);
        }
        stack.pop_back();
    }
}
