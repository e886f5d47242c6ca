// envXmlReader.cpp -- builds a configuration tree from an XML document,
// streamed with libxml2's text reader. Holds the reader handle for the length
// of one read; the tree it builds belongs to the caller.
//
// Nesting is bounded by libxml2 itself, which refuses documents deeper than
// 256 elements (we never pass XML_PARSE_HUGE), and the current node is
// tracked through parent links, so no part of a read recurses.

#include "envXmlReader.h"

#include <string>

#include <util/xmlPtr.h>
#include <util/xmlSetup.h>
#include <util/znException.h>
#include <util/znNotify.h>

namespace {

// Origins of the exceptions, as callers see them. Fixed values: editing this
// file must not change them.
constexpr const char* kFile = "envXmlReader";
constexpr const char* kReadFileFunction =
    "ZnEnvironment ZnEnvXMLReader::readFile(const ZnString&, bool&)";
constexpr int kReadFileLine = 71;
constexpr const char* kReadMemoryFunction =
    "bool ZnEnvXMLReader::readMemory(ZnEnvironment&, const char*, int)";
constexpr int kReadMemoryLine = 98;
constexpr const char* kReadDocFunction = "bool ZnEnvXMLReader::readDoc(xmlTextReaderPtr)";
constexpr int kReadErrorLine = 121;
constexpr int kInvalidLine = 129;

// XML_PARSE_NOENT | XML_PARSE_DTDATTR | XML_PARSE_DTDVALID. Internal
// entities are substituted; the loads these options would make beyond the
// document's own DTD (external entities, network addresses) are refused by
// the scope every read runs in.
constexpr int kValidatingOptions = 26;

ZnString text(const xmlChar* value) {
    return ZnString(reinterpret_cast<const char*>(value));
}

ZnString lastErrorMessage() {
    const xmlError* error = xmlGetLastError();
    return ZnString(error && error->message ? error->message : "");
}

// libxml2's own reports would go to standard error as well as into the
// exception; they are kept for the verbose stream.
void relayError(void*, xmlErrorPtr error) {
    if (error && error->message)
        ZnVerbose << "libxml2: line " << error->line << ": " << error->message;
}

// Points the reader at one environment for one read and forgets it on
// every way out, so no stale pointer outlives the read.
class ReadScope {
public:
    ReadScope(ZnEnvironment*& slot, ZnEnvironment& env, boost::weak_ptr<ZnEnvValue>& current)
        : slot_(slot) {
        slot_ = &env;
        current.reset();  // so the document element renames the root
    }
    ~ReadScope() { slot_ = nullptr; }
    ReadScope(const ReadScope&) = delete;
    ReadScope& operator=(const ReadScope&) = delete;

private:
    ZnEnvironment*& slot_;
};

}  // namespace

ZnEnvXMLReader::ZnEnvXMLReader(bool dtdValidation) : dtdValidation_(dtdValidation) {}

ZnEnvXMLReader::~ZnEnvXMLReader() = default;

ZnEnvironment ZnEnvXMLReader::readFile(const ZnString& fileName, bool& ok) {
    ok = false;
    ZnEnvironment env;
    PxsXmlLoads loads(PxsXmlLoads::DocumentDtd, fileName.c_str());
    XmlTextReaderPtr reader(
        xmlReaderForFile(fileName.c_str(), nullptr, dtdValidation_ ? kValidatingOptions : 0));
    if (!reader)
        throw ZnInvalidInput("ZnInvalidInput: Unable to open:" + fileName.string(),
                             kReadFileFunction, kFile, kReadFileLine);
    ReadScope scope(env_, env, current_);
    ok = readDoc(reader.get());
    return ZnEnvironment(env.root());
}

void ZnEnvXMLReader::useDtdValidation(bool on) {
    dtdValidation_ = on;
}

bool ZnEnvXMLReader::readMemory(ZnEnvironment& env, const char* buffer, int size) {
    PxsXmlLoads loads(PxsXmlLoads::DocumentDtd);
    XmlTextReaderPtr reader(xmlReaderForMemory(buffer, size, nullptr, nullptr,
                                               dtdValidation_ ? kValidatingOptions : 0));
    if (!reader)
        throw ZnCorruptedState("ZnCorruptedState: Unable to read memory.", kReadMemoryFunction,
                               kFile, kReadMemoryLine);
    ReadScope scope(env_, env, current_);
    return readDoc(reader.get());
}

// The global last error is cleared first: an error left by earlier libxml2
// work must not be reported as this document's.
bool ZnEnvXMLReader::readDoc(xmlTextReaderPtr reader) {
    xmlResetLastError();
    xmlTextReaderSetStructuredErrorHandler(reader, relayError, nullptr);
    int result = xmlTextReaderRead(reader);
    while (result == 1) {
        processNode(reader);
        result = xmlTextReaderRead(reader);
    }
    if (result == -1)
        throw ZnCorruptedState("ZnCorruptedState: Error reading: " + lastErrorMessage().string(),
                               kReadDocFunction, kFile, kReadErrorLine);
    if (dtdValidation_ && xmlTextReaderIsValid(reader) != 1) {
        const xmlError* error = xmlGetLastError();
        throw ZnCorruptedState("ZnCorruptedState: Error reading: Line " +
                                   std::to_string(error ? error->line : 0) + ":" +
                                   lastErrorMessage().string(),
                               kReadDocFunction, kFile, kInvalidLine);
    }
    return true;
}

// Stopping at the root keeps content that follows the document element
// (a trailing comment) out of whatever the root hangs under.
void ZnEnvXMLReader::popRoot() {
    ZnEnvValueSP current = current_.lock();
    if (!current || (env_ && current == env_->root()))
        current_.reset();
    else
        current_ = current->parent();
}

void ZnEnvXMLReader::processNode(xmlTextReaderPtr reader) {
    switch (xmlTextReaderNodeType(reader)) {
        case XML_READER_TYPE_ELEMENT: {
            const bool empty = xmlTextReaderIsEmptyElement(reader) == 1;
            processElement(reader);
            if (empty) popRoot();
            break;
        }
        case XML_READER_TYPE_TEXT:
            if (ZnEnvValueSP current = current_.lock())
                current->setValue(text(xmlTextReaderConstValue(reader)));
            break;
        case XML_READER_TYPE_COMMENT: {
            const ZnString comment = text(xmlTextReaderConstValue(reader));
            if (!comment.empty() && env_) env_->addComment(comment, current_.lock());
            break;
        }
        case XML_READER_TYPE_END_ELEMENT:
            popRoot();
            break;
        default:
            break;
    }
}

// The "name" attribute is looked up before the object is created, so the
// object enters its parent's attribute index under its final name (a later
// rename would leave the index on the element name, where synchronisers
// would not find it).
void ZnEnvXMLReader::processElement(xmlTextReaderPtr reader) {
    if (!env_) return;
    ZnString element = text(xmlTextReaderConstName(reader));
    if (element.empty()) element = "--";
    XmlCharPtr nameAttribute(xmlTextReaderGetAttribute(reader, BAD_CAST "name"));
    const ZnString name = nameAttribute ? text(nameAttribute.get()) : element;
    ZnEnvValueSP current = current_.lock();
    ZnEnvValueSP node;
    if (!current) {
        node = env_->root();
        if (ZnEnvNamedList* root = ZnEnvNamedList::castToNamedList(node)) root->setName(name);
        if (ZnEnvObject* root = ZnEnvObject::castToObject(node)) root->setType(element);
    } else {
        node = env_->addObject(name, element, current);
    }
    current_ = node;
    const int count = xmlTextReaderAttributeCount(reader);
    for (int i = 0; i < count; ++i) {
        if (xmlTextReaderMoveToAttributeNo(reader, i) != 1) break;
        const ZnString attribute = text(xmlTextReaderConstName(reader));
        if (attribute == "name") continue;  // already the node's name
        if (ZnEnvValueSP added = env_->addNamedList(attribute, node))
            added->setValue(text(xmlTextReaderConstValue(reader)));
    }
    xmlTextReaderMoveToElement(reader);
}
