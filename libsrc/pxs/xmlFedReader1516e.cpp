// xmlFedReader1516e.cpp -- the thin HLA Evolved reader and the HLA Evolved
// content test. IEEE 1516-2000 FDDs put names and properties in XML
// attributes; HLA Evolved modules put them in child elements and add tables
// the older format lacks, which is what the test looks for. The file bytes
// and the document live only for the length of one read.

#include <pxs/xmlFedReader1516e.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include <pxs/embeddedData.h>
#include <pxs/fddDriver.h>
#include <pxs/fddEvolvedWalk.h>
#include <pxs/fedSwitches.h>
#include <util/xmlPtr.h>
#include <util/znNotify.h>

namespace {

constexpr const char* kDifNamespace = "http://standards.ieee.org/IEEE1516-2010";
using pxsdetail::fdd::kMimName;

// Top-level elements this reader walks (bit 0: no table bit), and those it
// accepts without looking inside; `tags` is only listed.
const pxsdetail::fdd::TopLevelEntry<ZnXmlFedReader1516e> kTopLevelTables[] = {
    {"modelIdentification", 0, &ZnXmlFedReader1516e::processModelIdentification},
    {"objects", pxsdetail::fdd::kObjectsBit, &ZnXmlFedReader1516e::processObjects},
    {"interactions", pxsdetail::fdd::kInteractionsBit, &ZnXmlFedReader1516e::processInteractions},
    {"switches", pxsdetail::fdd::kSwitchesBit, &ZnXmlFedReader1516e::parseSwitches},
    {"dimensions", 0, nullptr},
    {"transportations", 0, nullptr},
    {"updateRates", 0, nullptr},
    {"dataTypes", 0, nullptr},
    {"notes", 0, nullptr},
    {"time", 0, nullptr},
    {"synchronizations", 0, nullptr},
};

// A child element `name` whose first child is text.
bool hasChildWithText(const xmlNode* node, const char* name) {
    return pxsdetail::fdd::evolved::childText(node, name) != nullptr;
}

// The `name` child element of the first `classElement` under `table` reads `root`.
bool firstClassNamed(const xmlNode* table, const char* classElement, const char* root) {
    const xmlNode* cls = pxsdetail::fdd::childElementNamed(table, classElement);
    if (!cls) return false;
    const xmlNode* name = pxsdetail::fdd::childElementNamed(cls, "name");
    if (!name) return false;
    return pxsdetail::fdd::evolved::elementText(name) == root;
}

bool transportationsSayEvolved(const xmlNode* root) {
    const xmlNode* list = pxsdetail::fdd::childElementNamed(root, "transportations");
    if (!list) return false;
    const xmlNode* first = pxsdetail::fdd::childElementNamed(list, "transportation");
    if (first) return hasChildWithText(first, "reliable");
    // A list that holds the word as text instead of elements is only
    // written by the newer format's tools.
    return pxsdetail::fdd::evolved::trimmed(pxsdetail::fdd::evolved::elementText(list)) == "transportation";
}

bool documentIsEvolved(const xmlNode* root) {
    bool evolved = root->ns && root->ns->href &&
                   std::strcmp(reinterpret_cast<const char*>(root->ns->href), kDifNamespace) == 0;
    if (transportationsSayEvolved(root) || pxsdetail::fdd::childElementNamed(root, "updateRates"))
        return true;
    if (evolved) return true;
    if (pxsdetail::fdd::childElementNamed(pxsdetail::fdd::childElementNamed(root, "objects"), "objectClass"))
        return firstClassNamed(pxsdetail::fdd::childElementNamed(root, "objects"), "objectClass",
                               "HLAobjectRoot");
    return firstClassNamed(pxsdetail::fdd::childElementNamed(root, "interactions"), "interactionClass",
                           "HLAinteractionRoot");
}

}  // namespace

ZnXmlFedReader1516e::ZnXmlFedReader1516e() {
    expectedFomType_ = ZnFomEvolved;
    pxsdetail::fdd::prepareXmlParser();
}

// libxml2 stays set up: another thread may be parsing right now.
ZnXmlFedReader1516e::~ZnXmlFedReader1516e() = default;

bool ZnXmlFedReader1516e::isEvolvedFormat(void* file) {
    FILE* stream = static_cast<FILE*>(file);
    char* raw = nullptr;
    unsigned int length = 0;
    if (!ZnFedReader::readFileIntoBuffer(stream, &raw, &length)) return false;
    std::unique_ptr<char[]> bytes(raw);
    std::rewind(stream);
    XmlDocPtr doc = pxsdetail::fdd::parseBytes(bytes.get(), length, nullptr);
    const xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    return root && documentIsEvolved(root);
}

void ZnXmlFedReader1516e::setSchemaValidationEnabled(bool) { schemaValidationEnabled_ = true; }

ZnFedReadStatus ZnXmlFedReader1516e::readFedFilePtr(FILE* file, ZnFedTarget* target,
                                                    ZnFilename fileName,
                                                    unsigned int strictFlags, bool,
                                                    bool useDefaultSwitches) {
    if (!file && fileName != kMimName) return ZnFedReadNotOpened;
    fedTarget_ = target;
    beginRead(strictFlags, useDefaultSwitches);
    ZnFedReadStatus status =
        pxsdetail::fdd::guardedRead(lastError_, "Unexpected problem reading fed file.", [&] {
            if (file)
                return pxsdetail::fdd::readTransientCopy(file, [&](const char* bytes, unsigned length) {
                    std::rewind(file);
                    return readDocument(bytes, length, fileName);
                });
            unsigned int length = 0;
            const char* mim = pxsdetail::fdd::builtInMim(&length);
            return readDocument(mim, length, fileName);
        });
    scratch_.clear();
    return status;
}

ZnFedReadStatus ZnXmlFedReader1516e::readDocument(const char* bytes, unsigned int length,
                                                  const ZnFilename& fileName) {
    return pxsdetail::fdd::readDocument(
        bytes, length, fileName.c_str(), lastError_,
        [&](xmlDoc* doc, xmlNode* root) { return checkSchema(doc, root, fileName); },
        [this](xmlNode* root) { return processFed(root); });
}

ZnFedReadStatus ZnXmlFedReader1516e::checkSchema(xmlDoc* doc, xmlNode* root,
                                                 const ZnFilename& fileName) {
    if (!schemaValidationEnabled_) return ZnFedReadSuccess;
    return pxsdetail::fdd::evolved::checkSchema(*this, doc, pxsdetail::fdd::property(root, "schemaLocation", scratch_),
                                     &fileName, lastError_);
}

bool ZnXmlFedReader1516e::schemaValidate(xmlDoc* doc, const char* schemaFile) {
    return pxsdetail::fdd::evolved::validateWithSchema(doc, schemaFile);
}

ZnFedReadStatus ZnXmlFedReader1516e::openFile(const char* fileName, xmlDoc** doc) {
    ZnFedReadStatus status = pxsdetail::fdd::openObjectModel(
        fileName, doc, " ", lastError_,
        [this](xmlDoc* parsed, xmlNode* root, const ZnFilename& path) {
            return checkSchema(parsed, root, path);
        });
    scratch_.clear();
    return status;
}

xmlNode* ZnXmlFedReader1516e::getNodeByName(xmlNode* node, const char* name) {
    return pxsdetail::fdd::childNamed(node, name);
}

ZnFedReadStatus ZnXmlFedReader1516e::processFed(xmlNode* root) {
    return pxsdetail::fdd::driveCheckedRoot(*this, root, kTopLevelTables, lastError_, [this] {
        if (useDefaultSwitches_) applyDefaultSwitches();
    });
}

ZnFedReadStatus ZnXmlFedReader1516e::processModelIdentification(xmlNode* node) {
    const char* name = childContentByName(node, "name");
    if (name && fedTarget_) fedTarget_->setModuleName(name);
    return ZnFedReadSuccess;
}

// Only the two standard transportations, each with its own reliability.
ZnFedReadStatus ZnXmlFedReader1516e::parseTransportationsList(xmlNode* node) {
    ZnFedReadStatus status = ZnFedReadSuccess;
    bool reliableSeen = false, bestEffortSeen = false;
    for (xmlNode* child = node->children; child && status == ZnFedReadSuccess;
         child = child->next) {
        if (child->type != XML_ELEMENT_NODE) continue;
        ZnString name(childContentByName(child, "name"));
        bool isReliable = name == "HLAreliable";
        if (!isReliable && name != "HLAbestEffort") {
            lastError_ = "Unexpected transport type in transports list for FDD file.\n\t"
                         "Transport Type = " + name;
            status = strictStatus();
            continue;
        }
        (isReliable ? reliableSeen : bestEffortSeen) = true;
        bool saysReliable = ZnString(childContentByName(child, "reliable")) == "Yes";
        if (saysReliable != isReliable) {
            lastError_ = name + (isReliable ? " should be reliable." : " should not be reliable.");
            status = strictStatus();
        }
    }
    if (status == ZnFedReadSuccess && (!reliableSeen || !bestEffortSeen)) {
        lastError_ = ZnString("Missing transport type in transports list for FDD file.\n") +
                     "\tmissing: ";
        if (!reliableSeen) lastError_ += "HLAreliable";
        if (!reliableSeen && !bestEffortSeen) lastError_ += " ";
        if (!bestEffortSeen) lastError_ += "HLAbestEffort";
        status = strictStatus();
    }
    return status;
}

// Classes are delivered as written: no root flags, the target's answers ignored.
PXS_FDD_CLASS_STEPS(ZnXmlFedReader1516e,
                    pxsdetail::fdd::evolved::ClassWalk<ZnXmlFedReader1516e>(
                        *this, lastError_, fedTarget_, pxsdetail::fdd::RootFlags{}))

ZnFedReadStatus ZnXmlFedReader1516e::parseDimensionList(xmlNode* node) {
    return pxsdetail::fdd::walkDimensionList(*this, node, lastError_);
}

ZnFedReadStatus ZnXmlFedReader1516e::parseDimension(xmlNode* node) {
    pxsdetail::fdd::WalkContext ctx{lastError_, strictChecking(1), fedTarget_};
    return pxsdetail::fdd::evolved::readDimension(ctx, node);
}

// Switches go straight to the setters: this reader keeps no switch table, so
// any value other than "true" means off.
ZnFedReadStatus ZnXmlFedReader1516e::parseSwitches(xmlNode* node) {
    if (useDefaultSwitches_) return ZnFedReadSuccess;
    pxsdetail::switches::forEach(pxsdetail::switches::kThinEvolved, [&](const auto& entry) {
        xmlNode* element = pxsdetail::fdd::childElementNamed(node, entry.name);
        if (!element) return;
        const char* value = pxsdetail::fdd::property(element, "isEnabled", scratch_);
        if (!value) value = childContentByName(element, "isEnabled");
        ZnVerbose.printf("Switch %-30s %s\n", entry.name, value ? value : "");
        if (fedTarget_) (fedTarget_->*entry.set)(value && std::strcmp(value, "true") == 0);
    });
    xmlNode* resign = pxsdetail::fdd::childElementNamed(node, "automaticResignAction");
    const char* action = resign ? pxsdetail::fdd::property(resign, "resignAction", scratch_) : nullptr;
    if (resign && !action) action = childContentByName(resign, "resignAction");
    if (int code = pxsdetail::fdd::evolved::resignActionCode(action)) {
        ZnVerbose.printf("Switch %-30s %s\n", "automaticResignAction", action);
        if (fedTarget_) fedTarget_->setAutomaticResignAction(code);
    }
    return ZnFedReadSuccess;
}

void ZnXmlFedReader1516e::applyDefaultSwitches() {
    if (!fedTarget_) return;
    pxsdetail::switches::forEach(pxsdetail::switches::kThinEvolved, [this](const auto& entry) {
        if (entry.fallback) (fedTarget_->*entry.set)(entry.fallback());
    });
}

PXS_FDD_NODE_STEPS(ZnXmlFedReader1516e)

const char* ZnXmlFedReader1516e::childContentByName(xmlNode* node, const char* name) const {
    return pxsdetail::fdd::evolved::childText(node, name);
}

ZnTransportType ZnXmlFedReader1516e::getTransportType(xmlNode* node) const {
    return pxsdetail::fdd::transportCode(childContentByName(node, "transportation"));
}

bool ZnXmlFedReader1516e::getOrderType(xmlNode* node, ZnOrderType& order) const {
    return pxsdetail::fdd::orderCode(childContentByName(node, "order"), &order);
}
