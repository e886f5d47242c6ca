// xmlFedReader1516e.cpp -- the thin HLA Evolved reader and the HLA Evolved
// content test. IEEE 1516-2000 FDDs put names and properties in XML
// attributes; HLA Evolved modules put them in child elements and add tables
// the older format lacks, which is what the test looks for. The file bytes
// and the document live only for the length of one read.

#include <pxs/xmlFedReader1516e.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <strings.h>

#include <pxs/embeddedData.h>
#include <pxs/fddEvolvedWalk.h>
#include <util/xmlPtr.h>
#include <util/znNotify.h>

namespace {

constexpr const char* kDifNamespace = "http://standards.ieee.org/IEEE1516-2010";
constexpr const char* kMimName = "HLAstandardMIM.xml";
constexpr const char* kNoRoot = "Bad FDD File. Could not find Document Root in FDD File.";

// The five tables this reader requires, with the message for each missing one.
enum TableBit : unsigned {
    kObjects = 1,
    kInteractions = 2,
    kDimensions = 4,
    kTransportations = 8,
    kSwitches = 16,
    kRequiredTables = 31
};

const struct {
    unsigned bit;
    const char* message;
} kMissingTables[] = {
    {kObjects, "Missing or invalid objects table"},
    {kInteractions, "Missing or invalid interactions table"},
    {kDimensions, "Missing or invalid dimensions table"},
    {kTransportations, "Missing or invalid transportations table"},
    {kSwitches, "Missing or invalid switches table"},
};

using TableParser = ZnFedReadStatus (ZnXmlFedReader1516e::*)(xmlNode*);

// Top-level elements this reader walks (bit 0: no table bit), and those it
// accepts without looking inside.
const struct {
    const char* element;
    unsigned bit;
    TableParser parse;
} kTopLevelTables[] = {
    {"modelIdentification", 0, &ZnXmlFedReader1516e::processModelIdentification},
    {"objects", kObjects, &ZnXmlFedReader1516e::processObjects},
    {"interactions", kInteractions, &ZnXmlFedReader1516e::processInteractions},
    {"switches", kSwitches, &ZnXmlFedReader1516e::parseSwitches},
    {"dimensions", 0, nullptr},
    {"transportations", 0, nullptr},
    {"updateRates", 0, nullptr},
    {"dataTypes", 0, nullptr},
    {"notes", 0, nullptr},
    {"time", 0, nullptr},
    {"synchronizations", 0, nullptr},
};

// Switch elements in the order they are read, with their setters and the
// defaults a read that asks for them installs instead (none for the last).
const struct {
    const char* name;
    void (ZnFedTarget::*set)(bool);
    bool (*fallback)();
} kSwitchElements[] = {
    {"autoProvide", &ZnFedTarget::setAutoProvide, ZnFedTarget::defaultAutoProvide},
    {"conveyRegionDesignatorSets", &ZnFedTarget::setConveyRegionDesignatorSets,
     ZnFedTarget::defaultConveyRegionDesignatorSets},
    {"attributeScopeAdvisory", &ZnFedTarget::setAttributeScopeAdvisory,
     ZnFedTarget::defaultAttributeScopeAdvisory},
    {"attributeRelevanceAdvisory", &ZnFedTarget::setAttributeRelevanceAdvisory,
     ZnFedTarget::defaultAttributeRelevanceAdvisory},
    {"objectClassRelevanceAdvisory", &ZnFedTarget::setObjectClassRelevanceAdvisory,
     ZnFedTarget::defaultObjectClassRelevanceAdvisory},
    {"interactionRelevanceAdvisory", &ZnFedTarget::setInteractionRelevanceAdvisory,
     ZnFedTarget::defaultInteractionRelevanceAdvisory},
    {"serviceReporting", &ZnFedTarget::setServiceReporting,
     ZnFedTarget::defaultServiceReporting},
    {"conveyProducingFederate", &ZnFedTarget::setConveyProducingFederate,
     ZnFedTarget::defaultConveyProducingFederate},
    {"exceptionReporting", &ZnFedTarget::setExceptionReporting,
     ZnFedTarget::defaultExceptionReporting},
    {"delaySubscriptionEvaluation", &ZnFedTarget::setDelaySubscriptionEvaluation, nullptr},
};

const struct {
    const char* text;
    int code;
} kResignActions[] = {
    {"UnconditionallyDivestAttributes", 1}, {"DeleteObjects", 2},
    {"CancelPendingOwnershipAcquisitions", 5}, {"DeleteObjectsThenDivest", 3},
    {"CancelThenDeleteThenDivest", 6}, {"NoAction", 4},
};

const char* const kInteractionProperties[] = {"name",       "transportation", "order",
                                              "dimensions", "sharing",        "semantics"};

ZnString fullNameOf(const ZnString& parentName, const char* name) {
    if (parentName.empty()) return ZnString(name);
    ZnString full(parentName);
    full += ".";
    full += name;
    return full;
}

ZnString trimmed(ZnString text) {
    text.chompFront();
    text.chompBack();
    return text;
}

ZnString lastToken(const char* text) {
    const char* end = text + std::strlen(text);
    while (end > text && std::strchr(" \t\r\n", end[-1])) --end;
    const char* start = end;
    while (start > text && !std::strchr(" \t\r\n", start[-1])) --start;
    return ZnString(std::string(start, end));
}

// A child element `name` whose first child is text.
bool hasChildWithText(const xmlNode* node, const char* name) {
    return fdd::evolved::childText(node, name) != nullptr;
}

// The `name` child element of the first `classElement` under `table` reads `root`.
bool firstClassNamed(const xmlNode* table, const char* classElement, const char* root) {
    const xmlNode* cls = fdd::childElementNamed(table, classElement);
    if (!cls) return false;
    const xmlNode* name = fdd::childElementNamed(cls, "name");
    if (!name) return false;
    return fdd::evolved::elementText(name) == root;
}

bool transportationsSayEvolved(const xmlNode* root) {
    const xmlNode* list = fdd::childElementNamed(root, "transportations");
    if (!list) return false;
    const xmlNode* first = fdd::childElementNamed(list, "transportation");
    if (first) return hasChildWithText(first, "reliable");
    // A list that holds the word as text instead of elements is only
    // written by the newer format's tools.
    return trimmed(fdd::evolved::elementText(list)) == "transportation";
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

ZnXmlFedReader1516e::ZnXmlFedReader1516e() {
    expectedFomType_ = ZnFomEvolved;
    LIBXML_TEST_VERSION
    xmlKeepBlanksDefault(0);
}

ZnXmlFedReader1516e::~ZnXmlFedReader1516e() { xmlCleanupParser(); }

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

void ZnXmlFedReader1516e::setSchemaValidationEnabled(bool) { schemaValidationEnabled_ = true; }

ZnFedReadStatus ZnXmlFedReader1516e::readFedFilePtr(FILE* file, ZnFedTarget* target,
                                                    ZnFilename fileName,
                                                    unsigned int strictFlags, bool,
                                                    bool useDefaultSwitches) {
    if (!file && fileName != kMimName) return ZnFedReadNotOpened;
    fedTarget_ = target;
    strictFlags_ = strictFlags;
    useDefaultSwitches_ = useDefaultSwitches;
    lastError_ = "";
    ZnFedReadStatus status;
    try {
        if (file) {
            char* raw = nullptr;
            unsigned int length = 0;
            readFileIntoBuffer(file, &raw, &length);
            std::unique_ptr<char[]> bytes(raw);  // freed when the read ends, whatever happens
            std::rewind(file);
            status = readDocument(bytes.get(), length, fileName);
        } else {
            const PxsEmbeddedFile* mim = pxsFindEmbeddedFile(kMimName);
            status = readDocument(mim ? reinterpret_cast<const char*>(mim->data) : nullptr,
                                  mim ? static_cast<unsigned int>(mim->size) : 0, fileName);
        }
    } catch (...) {
        lastError_ = "Unexpected problem reading fed file.";
        status = ZnFedReadFailed;
    }
    scratch_.clear();
    return status;
}

ZnFedReadStatus ZnXmlFedReader1516e::readDocument(const char* bytes, unsigned int length,
                                                  const ZnFilename& fileName) {
    XmlDocPtr doc = fdd::parseBytes(bytes, length, fileName.c_str());
    xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    if (!root) {
        lastError_ = kNoRoot;
        return ZnFedReadFailed;
    }
    ZnFedReadStatus status = checkSchema(doc.get(), root, fileName);
    if (status == ZnFedReadSuccess) status = processFed(root);
    return status;
}

// The same rule as the full reader's: the last token of the root's
// schemaLocation, as written or beside the module.
ZnFedReadStatus ZnXmlFedReader1516e::checkSchema(xmlDoc* doc, xmlNode* root,
                                                 const ZnFilename& fileName) {
    if (!schemaValidationEnabled_) return ZnFedReadSuccess;
    const char* location = fdd::property(root, "schemaLocation", scratch_);
    if (!location) return ZnFedReadSuccess;
    ZnFilename path(lastToken(location));
    if (!path.exists() && path.relative()) {
        ZnFilename dir = fileName.stripFilename();
        if (!dir.empty() && dir.append(path).exists()) path = dir.append(path);
    }
    if (!path.exists()) {
        lastError_ = "Could not open schema file " + path;
        return ZnFedReadFailed;
    }
    if (!schemaValidate(doc, path.c_str())) {
        lastError_ = "FDD file did not pass validation against schema " + path;
        return ZnFedReadFailed;
    }
    return ZnFedReadSuccess;
}

bool ZnXmlFedReader1516e::schemaValidate(xmlDoc* doc, const char* schemaFile) {
    return fdd::evolved::validateWithSchema(doc, schemaFile);
}

ZnFedReadStatus ZnXmlFedReader1516e::openFile(const char* fileName, xmlDoc** doc) {
    if (!fileName || !doc || *doc) {
        lastError_ = "Error reading FDD";
        return ZnFedReadFailed;
    }
    ZnFilename path(fileName);
    if (!path.exists()) {
        const char* dirs = std::getenv("RTI_CONFIG");
        if (!dirs || !path.searchAlternatePath(dirs)) {
            lastError_ = "No such FDD file: ";
            lastError_ += fileName;
            if (!dirs) lastError_ += ". RTI_CONFIG environment variable unbound.";
            return ZnFedReadNotOpened;
        }
    }
    ZnVerbose.printf("Reading FDD file: %s\n", path.c_str());
    XmlDocPtr parsed = fdd::parseFile(path.c_str());
    xmlNode* root = parsed ? xmlDocGetRootElement(parsed.get()) : nullptr;
    if (!root) {
        lastError_ = "Error parsing FDD file: " + path;
        return ZnFedReadFailed;
    }
    ZnFedReadStatus status = checkSchema(parsed.get(), root, path);
    scratch_.clear();
    if (status != ZnFedReadSuccess) return status;
    if (!fdd::isNamed(root, "objectModel")) {
        lastError_ = "Root node is not Object Model. Root Node Name: ";
        lastError_ += reinterpret_cast<const char*>(root->name);
        return ZnFedReadFailed;
    }
    if (!root->children) {
        lastError_ = "Bad FDD File. Object Model is empty.";
        return ZnFedReadFailed;
    }
    *doc = parsed.release();
    return ZnFedReadSuccess;
}

xmlNode* ZnXmlFedReader1516e::getNodeByName(xmlNode* node, const char* name) {
    return fdd::childNamed(node, name);
}

ZnFedReadStatus ZnXmlFedReader1516e::processFed(xmlNode* root) {
    if (!root) {
        lastError_ = "Could not process FDD file. No root node.";
        return ZnFedReadFailed;
    }
    unsigned int found = 0;
    ZnFedReadStatus status = ZnFedReadSuccess;
    if (xmlNode* dimensions = getNodeByName(root, "dimensions")) {
        status = parseDimensionList(dimensions);
        if (status == ZnFedReadSuccess) found |= kDimensions;
    }
    if (status != ZnFedReadFailed) {
        if (xmlNode* transportations = getNodeByName(root, "transportations")) {
            status = parseTransportationsList(transportations);
            if (status == ZnFedReadSuccess) found |= kTransportations;
        }
    }
    if (useDefaultSwitches_) applyDefaultSwitches();
    if (status != ZnFedReadFailed) status = walkTopLevel(root, found);
    if (status == ZnFedReadFailed || found == kRequiredTables) return status;
    for (const auto& table : kMissingTables) {
        if (found & table.bit) continue;
        lastError_ = table.message;
        status = strictStatus();
    }
    return status;
}

ZnFedReadStatus ZnXmlFedReader1516e::walkTopLevel(xmlNode* root, unsigned int& found) {
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* child = root->children; child && status != ZnFedReadFailed;
         child = child->next) {
        if (fdd::isSkipped(child)) continue;
        const char* name = reinterpret_cast<const char*>(child->name);
        ZnVerbose.printf("\nTop-level Tag: %s\n", name);
        if (fdd::isElementNamed(child, "tags")) {
            for (xmlNode* tag = child->children; tag; tag = tag->next)
                if (tag->type == XML_ELEMENT_NODE)
                    ZnVerbose.printf("\t Tag = %s \n\n", reinterpret_cast<const char*>(tag->name));
            continue;
        }
        const auto* table = std::begin(kTopLevelTables);
        while (table != std::end(kTopLevelTables) && !fdd::isElementNamed(child, table->element))
            ++table;
        if (table == std::end(kTopLevelTables)) {
            lastError_ = "Unrecognized top-level tag: ";
            lastError_ += name;
            status = strictStatus();
            continue;
        }
        if (!table->parse) continue;
        status = (this->*table->parse)(child);
        if (status == ZnFedReadSuccess) found |= table->bit;
    }
    return status;
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

ZnFedReadStatus ZnXmlFedReader1516e::processObjects(xmlNode* node) {
    xmlNode* root = getNodeByName(node, "objectClass");
    if (!root) return ZnFedReadSuccess;
    const char* name = childContentByName(root, "name");
    if (!name || std::strcmp(name, "HLAobjectRoot") != 0) {
        lastError_ = "Object class root is not HLAobjectRoot in FDD file.";
        return ZnFedReadFailed;
    }
    return parseObjectTree(root, ZnString());
}

ZnFedReadStatus ZnXmlFedReader1516e::processInteractions(xmlNode* node) {
    xmlNode* root = getNodeByName(node, "interactionClass");
    if (!root) return ZnFedReadSuccess;
    const char* name = childContentByName(root, "name");
    if (!name || std::strcmp(name, "HLAinteractionRoot") != 0) {
        lastError_ = "Interaction class with no root found in FDD file.";
        return ZnFedReadFailed;
    }
    return parseInteractionTree(root, ZnString());
}

ZnFedReadStatus ZnXmlFedReader1516e::parseObjectTree(xmlNode* node, const ZnString& parentName) {
    const char* name = childContentByName(node, "name");
    if (!name) {
        lastError_ = "Object class, a child of " + parentName + ", with no name found in FDD file.\n";
        return ZnFedReadFailed;
    }
    ZnString fullName = fullNameOf(parentName, name);
    ZnVerbose.printf("Class: %s, Base: %s \n", fullName.c_str(), parentName.c_str());
    if (fedTarget_)
        fedTarget_->addObjectClass(fullName.c_str(),
                                   parentName.empty() ? nullptr : parentName.c_str());
    return parseObjectChildren(node, fullName);
}

ZnFedReadStatus ZnXmlFedReader1516e::parseObjectChildren(xmlNode* node, const ZnString& fullName) {
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* child = node->children; child && status == ZnFedReadSuccess;
         child = child->next) {
        if (fdd::isElementNamed(child, "objectClass"))
            status = parseObjectTree(child, fullName);
        else if (fdd::isElementNamed(child, "attribute"))
            status = parseAttribute(child, fullName);
    }
    return status;
}

ZnFedReadStatus ZnXmlFedReader1516e::reportOrderError(xmlNode* node) {
    lastError_ = "Unknown delivery order found in FDD file.\n\tOrder = ";
    if (const char* text = childContentByName(node, "order")) lastError_ += text;
    lastError_ += "\n";
    appendNodeProperties(node, lastError_);
    return strictStatus();
}

ZnFedReadStatus ZnXmlFedReader1516e::parseAttribute(xmlNode* node, const ZnString& className) {
    const char* name = childContentByName(node, "name");
    if (!name) {
        lastError_ = "Attribute with no name found in FDD file.\n";
        return ZnFedReadFailed;
    }
    ZnTransportType transport = getTransportType(node);
    ZnOrderType order;
    if (!getOrderType(node, order)) {
        if (reportOrderError(node) != ZnFedReadSuccess) return ZnFedReadFailed;
        order = ZnOrderReceive;
    }
    ZnVerbose.printf("\tAttribute: %s\n", name);
    if (!fedTarget_) return ZnFedReadSuccess;
    fedTarget_->addSpaceAttribute(className.c_str(), name, transport, order, nullptr);
    ZnString attributeName(name);
    addDimensions(node, className, &attributeName);
    return ZnFedReadSuccess;
}

// Every name of the `dimensions` child but NA is handed on; the target's
// answers do not matter to this reader.
void ZnXmlFedReader1516e::addDimensions(xmlNode* node, const ZnString& className,
                                        const ZnString* attributeName) {
    xmlNode* list = fedTarget_ ? getNodeByName(node, "dimensions") : nullptr;
    for (xmlNode* child = list ? list->children : nullptr; child; child = child->next) {
        if (!fdd::isElementNamed(child, "dimension")) continue;
        ZnString dimension = trimmed(fdd::evolved::elementText(child));
        if (dimension.empty() || strcasecmp(dimension.c_str(), "NA") == 0) continue;
        if (attributeName)
            fedTarget_->addAttributeDimension(className.c_str(), attributeName->c_str(),
                                              dimension.c_str());
        else
            fedTarget_->addInteractionDimension(className.c_str(), dimension.c_str());
    }
}

ZnFedReadStatus ZnXmlFedReader1516e::parseInteractionTree(xmlNode* node,
                                                          const ZnString& parentName) {
    const char* name = childContentByName(node, "name");
    if (!name) {
        lastError_ =
            "Interaction class, a child of " + parentName + ", with no name found in FDD file.\n";
        return ZnFedReadFailed;
    }
    ZnString fullName = fullNameOf(parentName, name);
    ZnTransportType transport = getTransportType(node);
    ZnOrderType order;
    if (!getOrderType(node, order)) {
        if (reportOrderError(node) != ZnFedReadSuccess) return ZnFedReadFailed;
        order = ZnOrderReceive;
    }
    ZnVerbose.printf("Class: %s, base: %s\n", fullName.c_str(), parentName.c_str());
    if (fedTarget_)
        fedTarget_->addInteractionClass(fullName.c_str(),
                                        parentName.empty() ? nullptr : parentName.c_str(),
                                        transport, order, nullptr);
    addDimensions(node, fullName, nullptr);
    return parseInteractionChildren(node, fullName);
}

ZnFedReadStatus ZnXmlFedReader1516e::parseInteractionChildren(xmlNode* node,
                                                              const ZnString& fullName) {
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* child = node->children; child && status == ZnFedReadSuccess;
         child = child->next) {
        if (child->type != XML_ELEMENT_NODE) continue;
        if (fdd::isNamed(child, "interactionClass")) {
            status = parseInteractionTree(child, fullName);
        } else if (fdd::isNamed(child, "parameter")) {
            status = parseParameter(child, fullName);
        } else if (std::none_of(std::begin(kInteractionProperties),
                                std::end(kInteractionProperties),
                                [&](const char* p) { return fdd::isNamed(child, p); })) {
            lastError_ = "Unexpected tag in interactions tree for FDD file.\n\tInteractions Tag = ";
            appendNodeContent(child, lastError_);
            status = strictStatus();
        }
    }
    return status;
}

ZnFedReadStatus ZnXmlFedReader1516e::parseParameter(xmlNode* node, const ZnString& className) {
    const char* name = childContentByName(node, "name");
    if (!name) {
        lastError_ = "Parameter of " + className + " has no name in FDD file.\n";
        return ZnFedReadFailed;
    }
    ZnVerbose.printf("\tParameter: %s\n", name);
    if (fedTarget_) fedTarget_->addParameter(className.c_str(), name);
    return ZnFedReadSuccess;
}

ZnFedReadStatus ZnXmlFedReader1516e::parseDimensionList(xmlNode* node) {
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* child = node->children; child && status == ZnFedReadSuccess;
         child = child->next) {
        if (fdd::isSkipped(child)) continue;
        if (fdd::isElementNamed(child, "dimension")) {
            status = parseDimension(child);
            continue;
        }
        lastError_ = "Unexpected tag in dimension list for FDD file.\n\tDimensions Tag = ";
        appendNodeContent(child, lastError_);
        status = strictStatus();
    }
    return status;
}

ZnFedReadStatus ZnXmlFedReader1516e::parseDimension(xmlNode* node) {
    fdd::WalkContext ctx{lastError_, strictChecking(1), fedTarget_};
    return fdd::evolved::readDimension(ctx, node);
}

// Switches go straight to the setters: this reader keeps no switch table, so
// any value other than "true" means off.
ZnFedReadStatus ZnXmlFedReader1516e::parseSwitches(xmlNode* node) {
    if (useDefaultSwitches_) return ZnFedReadSuccess;
    for (const auto& entry : kSwitchElements) {
        xmlNode* element = fdd::childElementNamed(node, entry.name);
        if (!element) continue;
        const char* value = fdd::property(element, "isEnabled", scratch_);
        if (!value) value = childContentByName(element, "isEnabled");
        ZnVerbose.printf("Switch %-30s %s\n", entry.name, value ? value : "");
        if (fedTarget_) (fedTarget_->*entry.set)(value && std::strcmp(value, "true") == 0);
    }
    xmlNode* resign = fdd::childElementNamed(node, "automaticResignAction");
    const char* action = resign ? fdd::property(resign, "resignAction", scratch_) : nullptr;
    if (resign && !action) action = childContentByName(resign, "resignAction");
    for (const auto& entry : kResignActions) {
        if (!action || std::strcmp(action, entry.text) != 0) continue;
        ZnVerbose.printf("Switch %-30s %s\n", "automaticResignAction", action);
        if (fedTarget_) fedTarget_->setAutomaticResignAction(entry.code);
    }
    return ZnFedReadSuccess;
}

void ZnXmlFedReader1516e::applyDefaultSwitches() {
    if (!fedTarget_) return;
    for (const auto& entry : kSwitchElements)
        if (entry.fallback) (fedTarget_->*entry.set)(entry.fallback());
}

void ZnXmlFedReader1516e::appendNodeProperties(xmlNode* node, ZnString& text) const {
    fdd::appendProperties(node, text);
}

void ZnXmlFedReader1516e::appendNodeContent(xmlNode* node, ZnString& text) const {
    fdd::appendContent(node, text);
}

bool ZnXmlFedReader1516e::isBlankText(xmlNode* node) const { return fdd::isBlankText(node); }

const char* ZnXmlFedReader1516e::childContentByName(xmlNode* node, const char* name) const {
    return fdd::evolved::childText(node, name);
}

ZnTransportType ZnXmlFedReader1516e::getTransportType(xmlNode* node) const {
    return fdd::transportCode(childContentByName(node, "transportation"));
}

bool ZnXmlFedReader1516e::getOrderType(xmlNode* node, ZnOrderType& order) const {
    return fdd::orderCode(childContentByName(node, "order"), &order);
}
