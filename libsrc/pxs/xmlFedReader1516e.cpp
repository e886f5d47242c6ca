// xmlFedReader1516e.cpp -- the HLA Evolved content test. IEEE 1516-2000 FDDs
// put names and properties in XML attributes; HLA Evolved modules put them in
// child elements and add tables the older format lacks, which is what the
// test looks for.

#include <pxs/xmlFedReader1516e.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include <pxs/fddWalk.h>
#include <pxs/fedReader.h>

namespace {

constexpr const char* kDifNamespace = "http://standards.ieee.org/IEEE1516-2010";

// A child element `name` whose first child is text.
bool hasChildWithText(const xmlNode* node, const char* name) {
    for (const xmlNode* c = node ? node->children : nullptr; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE && fdd::isNamed(c, name) && c->children &&
            c->children->type == XML_TEXT_NODE)
            return true;
    return false;
}

// The `name` child element of the first `classElement` under `table` reads `root`.
bool firstClassNamed(const xmlNode* table, const char* classElement, const char* root) {
    const xmlNode* cls = fdd::childElementNamed(table, classElement);
    if (!cls) return false;
    const xmlNode* name = fdd::childElementNamed(cls, "name");
    if (!name) return false;
    XmlCharPtr text(xmlNodeGetContent(name));
    return text && std::strcmp(reinterpret_cast<const char*>(text.get()), root) == 0;
}

bool transportationsSayEvolved(const xmlNode* root) {
    const xmlNode* list = fdd::childElementNamed(root, "transportations");
    if (!list) return false;
    const xmlNode* first = fdd::childElementNamed(list, "transportation");
    if (first) return hasChildWithText(first, "reliable");
    // A list that holds the word as text instead of elements is only
    // written by the newer format's tools.
    XmlCharPtr text(xmlNodeGetContent(list));
    ZnString content(text ? reinterpret_cast<const char*>(text.get()) : "");
    content.chompFront();
    content.chompBack();
    return content == "transportation";
}

bool documentIsEvolved(const xmlNode* root) {
    bool evolved = root->ns && root->ns->href &&
                   std::strcmp(reinterpret_cast<const char*>(root->ns->href), kDifNamespace) == 0;
    if (transportationsSayEvolved(root) || fdd::childElementNamed(root, "updateRates"))
        return true;
    if (evolved) return true;
    if (fdd::childElementNamed(fdd::childElementNamed(root, "objects"), "objectClass"))
        return firstClassNamed(fdd::childElementNamed(root, "objects"), "objectClass",
                               "HLAobjectRoot");
    return firstClassNamed(fdd::childElementNamed(root, "interactions"), "interactionClass",
                           "HLAinteractionRoot");
}

}  // namespace

bool ZnXmlFedReader1516e::isEvolvedFormat(void* file) {
    FILE* stream = static_cast<FILE*>(file);
    char* raw = nullptr;
    unsigned int length = 0;
    if (!ZnFedReader::readFileIntoBuffer(stream, &raw, &length)) return false;
    std::unique_ptr<char[]> bytes(raw);
    std::rewind(stream);
    XmlDocPtr doc = fdd::parseBytes(bytes.get(), length, nullptr);
    const xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    return root && documentIsEvolved(root);
}
