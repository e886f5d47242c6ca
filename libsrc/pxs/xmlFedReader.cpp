// xmlFedReader.cpp -- the thin IEEE 1516-2000 reader: the same walk as
// ZnFedReader1516 without the parts that depend on the target's answers.
// The file bytes and the document live only for the length of one read.

#include <pxs/xmlFedReader.h>

#include <cstdlib>
#include <iterator>
#include <cstring>

#include <pxs/fddWalk.h>
#include <util/xmlPtr.h>
#include <util/znNotify.h>

namespace {

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

// Switch attributes in the order they are read, with their setters and the
// defaults a read that asks for them installs instead.
const struct {
    const char* name;
    void (ZnFedTarget::*set)(bool);
    bool (*fallback)();
} kSwitchAttributes[] = {
    {"autoProvide", &ZnFedTarget::setAutoProvide, ZnFedTarget::defaultAutoProvide},
    {"conveyRegionDesignatorSets", &ZnFedTarget::setConveyRegionDesignatorSets,
     ZnFedTarget::defaultConveyRegionDesignatorSets},
    {"attributeScopeAdvisory", &ZnFedTarget::setAttributeScopeAdvisory,
     ZnFedTarget::defaultAttributeScopeAdvisory},
    {"conveyProducingFederate", &ZnFedTarget::setConveyProducingFederate,
     ZnFedTarget::defaultConveyProducingFederate},
    {"attributeRelevanceAdvisory", &ZnFedTarget::setAttributeRelevanceAdvisory,
     ZnFedTarget::defaultAttributeRelevanceAdvisory},
    {"objectClassRelevanceAdvisory", &ZnFedTarget::setObjectClassRelevanceAdvisory,
     ZnFedTarget::defaultObjectClassRelevanceAdvisory},
    {"interactionRelevanceAdvisory", &ZnFedTarget::setInteractionRelevanceAdvisory,
     ZnFedTarget::defaultInteractionRelevanceAdvisory},
    {"serviceReporting", &ZnFedTarget::setServiceReporting,
     ZnFedTarget::defaultServiceReporting},
};

using TableParser = ZnFedReadStatus (ZnXmlFedReader::*)(xmlNode*);

const struct {
    const char* element;
    TableParser parse;
} kDataTypeTables[] = {
    {"basicDataRepresentations", &ZnXmlFedReader::parseBasicDataTypesTree},
    {"simpleDataTypes", &ZnXmlFedReader::parseSimpleDataTypesTree},
    {"arrayDataTypes", &ZnXmlFedReader::parseArrayDataTypesTree},
    {"enumeratedDataTypes", &ZnXmlFedReader::parseEnumeratedDataTypesTree},
    {"fixedRecordDataTypes", &ZnXmlFedReader::parseFixedRecordDataTypesTree},
    {"variantRecordDataTypes", &ZnXmlFedReader::parseVariantRecordDataTypesTree},
};

// Top-level elements this reader walks (bit 0: no table bit), and those it
// accepts without looking inside.
const struct {
    const char* element;
    unsigned bit;
    TableParser parse;
} kTopLevelTables[] = {
    {"objects", kObjects, &ZnXmlFedReader::processObjects},
    {"interactions", kInteractions, &ZnXmlFedReader::processInteractions},
    {"switches", kSwitches, &ZnXmlFedReader::parseSwitches},
    {"dimensions", 0, nullptr},
    {"transportations", 0, nullptr},
    {"dataTypes", 0, nullptr},
    {"notes", 0, nullptr},
    {"time", 0, nullptr},
    {"synchronizations", 0, nullptr},
};

ZnString fullNameOf(const ZnString& parentName, const char* name) {
    if (parentName.empty()) return ZnString(name);
    ZnString full(parentName);
    full += ".";
    full += name;
    return full;
}

}  // namespace

ZnXmlFedReader::ZnXmlFedReader() {
    expectedFomType_ = ZnFom1516;
    LIBXML_TEST_VERSION
    xmlKeepBlanksDefault(0);
}

ZnXmlFedReader::~ZnXmlFedReader() { xmlCleanupParser(); }

ZnFedReadStatus ZnXmlFedReader::readFedFilePtr(FILE* file, ZnFedTarget* target,
                                               ZnFilename fileName, unsigned int strictFlags,
                                               bool validate, bool useDefaultSwitches) {
    if (!file) return ZnFedReadNotOpened;
    fedTarget_ = target;
    strictFlags_ = strictFlags;
    useDefaultSwitches_ = useDefaultSwitches;
    lastError_ = "";
    ZnFedReadStatus status;
    try {
        char* raw = nullptr;
        unsigned int length = 0;
        readFileIntoBuffer(file, &raw, &length);
        std::unique_ptr<char[]> bytes(raw);  // freed when the read ends, whatever happens
        status = readDocument(bytes.get(), length, fileName, validate);
    } catch (...) {
        lastError_ = "Unexpected problem reading fed file.";
        status = ZnFedReadFailed;
    }
    scratch_.clear();
    return status;
}

ZnFedReadStatus ZnXmlFedReader::readDocument(const char* bytes, unsigned int length,
                                             const ZnFilename& fileName, bool validate) {
    XmlDocPtr doc = fdd::parseBytes(bytes, length, fileName.c_str());
    xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    if (!root) {
        lastError_ = kNoRoot;
        return ZnFedReadFailed;
    }
    ZnFedReadStatus status = validate ? checkDocument(doc.get(), fileName) : ZnFedReadSuccess;
    if (status == ZnFedReadSuccess) status = processFed(root);
    return status;
}

// Document type and DTD. A missing document type has no message of its own
// in this reader: strict checking alone decides.
ZnFedReadStatus ZnXmlFedReader::checkDocument(xmlDoc* doc, const ZnFilename& fileName) {
    xmlDtd* dtd = fdd::documentType(doc);
    if (!dtd) return strictStatus();
    if (!xmlStrEqual(dtd->name, reinterpret_cast<const xmlChar*>("objectModel"))) {
        lastError_ = "Document Type is not Object Model.\n\tDocument Type Name: ";
        lastError_ += dtd->name ? reinterpret_cast<const char*>(dtd->name) : "";
        return ZnFedReadFailed;
    }
    ZnFilename path(dtd->SystemID ? reinterpret_cast<const char*>(dtd->SystemID) : "");
    if (path.relative()) {
        ZnInfo.printf("Checking path relative to FED file directory for %s\n", path.c_str());
        ZnFilename dir = fileName.stripFilename();
        if (!dir.empty()) path = dir.append(path);
    }
    if (!dtdValidate(doc, path.c_str())) {
        lastError_ = "FDD failed DTD validation.";
        return strictStatus();
    }
    return ZnFedReadSuccess;
}

ZnFedReadStatus ZnXmlFedReader::openFile(const char* fileName, xmlDoc** doc) {
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
    ZnFedReadStatus status = checkDocument(parsed.get(), path);
    if (status != ZnFedReadSuccess) return status;
    if (!fdd::isNamed(root, "objectModel")) {
        lastError_ = "Root node is not Object Model.\n\tRoot Node Name: ";
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

bool ZnXmlFedReader::dtdValidate(xmlDoc* doc, const char* dtdPath) {
    return fdd::validateWithDtd(doc, dtdPath);
}

xmlNode* ZnXmlFedReader::getNodeByName(xmlNode* node, const char* name) {
    return fdd::childNamed(node, name);
}

ZnFedReadStatus ZnXmlFedReader::processFed(xmlNode* root) {
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

ZnFedReadStatus ZnXmlFedReader::walkTopLevel(xmlNode* root, unsigned int& found) {
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

ZnFedReadStatus ZnXmlFedReader::processObjects(xmlNode* node) {
    xmlNode* root = getNodeByName(node, "objectClass");
    if (!root) return ZnFedReadSuccess;
    const char* name = propertyByName(root, "name");
    if (!name || std::strcmp(name, "HLAobjectRoot") != 0) {
        lastError_ = "Object class root is not HLAobjectRoot in FDD file.";
        return ZnFedReadFailed;
    }
    return parseObjectTree(root, ZnString());
}

ZnFedReadStatus ZnXmlFedReader::processInteractions(xmlNode* node) {
    xmlNode* root = getNodeByName(node, "interactionClass");
    if (!root) return ZnFedReadSuccess;
    const char* name = propertyByName(root, "name");
    if (!name || std::strcmp(name, "HLAinteractionRoot") != 0) {
        lastError_ = "Interaction class with no root found in FDD file.";
        return ZnFedReadFailed;
    }
    return parseInteractionTree(root, ZnString());
}

ZnFedReadStatus ZnXmlFedReader::parseObjectTree(xmlNode* node, const ZnString& parentName) {
    const char* name = propertyByName(node, "name");
    if (!name) {
        lastError_ = "Object class with no name found in FDD file.\n";
        appendNodeProperties(node, lastError_);
        return ZnFedReadFailed;
    }
    ZnString fullName = fullNameOf(parentName, name);
    ZnVerbose.printf("Class: %s, Base: %s \n", fullName.c_str(), parentName.c_str());
    if (fedTarget_)
        fedTarget_->addObjectClass(fullName.c_str(),
                                   parentName.empty() ? nullptr : parentName.c_str());
    return parseObjectChildren(node, fullName);
}

ZnFedReadStatus ZnXmlFedReader::parseObjectChildren(xmlNode* node, const ZnString& fullName) {
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* child = node->children; child && status == ZnFedReadSuccess;
         child = child->next) {
        if (fdd::isSkipped(child)) continue;
        if (fdd::isElementNamed(child, "objectClass")) {
            status = parseObjectTree(child, fullName);
        } else if (fdd::isElementNamed(child, "attribute")) {
            status = parseAttribute(child, fullName);
        } else {
            lastError_ = "Unexpected tag in objects tree for FDD file.\n\tObjects Tag = ";
            appendNodeContent(child, lastError_);
            status = strictStatus();
        }
    }
    return status;
}

ZnFedReadStatus ZnXmlFedReader::reportOrderError(xmlNode* node) {
    lastError_ = "Unknown delivery order found in FDD file.\n\tOrder = ";
    lastError_ += propertyByName(node, "order");
    lastError_ += "\n";
    appendNodeProperties(node, lastError_);
    return strictStatus();
}

ZnFedReadStatus ZnXmlFedReader::parseAttribute(xmlNode* node, const ZnString& className) {
    const char* name = propertyByName(node, "name");
    if (!name) {
        lastError_ = "Attribute with no name found in FDD file.\n";
        return ZnFedReadFailed;
    }
    ZnTransportType transport = getTransportType(node);
    ZnOrderType order;
    if (!getOrderType(node, order)) {
        if (reportOrderError(node) != ZnFedReadSuccess) return ZnFedReadFailed;
        order = (className == "HLAobjectRoot" && std::strcmp(name, "HLAprivilegeToDelete") == 0)
                    ? ZnOrderTimeStamp
                    : ZnOrderReceive;
    }
    if (ZnNotifyLevel > 2) {
        const char* transportText = propertyByName(node, "transportation");
        const char* orderText = propertyByName(node, "order");
        ZnVerbose.printf("\tAttribute: %s, transport: %s, order: %s\n", name,
                         transportText ? transportText : "HLAbestEffort",
                         orderText ? orderText : "Receive");
    }
    if (!fedTarget_) return ZnFedReadSuccess;
    fedTarget_->addSpaceAttribute(className.c_str(), name, transport, order, nullptr);
    return parseAttributeDimensions(node, className, ZnString(name));
}

ZnFedReadStatus ZnXmlFedReader::parseAttributeDimensions(xmlNode* node,
                                                         const ZnString& className,
                                                         const ZnString& attributeName) {
    const char* list = fedTarget_ ? propertyByName(node, "dimensions") : nullptr;
    if (!list) return ZnFedReadSuccess;
    ZnString refused;
    auto add = [&](const char* dimension) {
        return fedTarget_->addAttributeDimension(className.c_str(), attributeName.c_str(),
                                                 dimension);
    };
    if (fdd::forEachDimension(list, strictChecking(1), add, &refused)) return ZnFedReadSuccess;
    lastError_ = "Error adding dimension " + refused + " for attribute " + attributeName +
                 " of object class " + className;
    appendErrorLine(node, lastError_);
    return ZnFedReadFailed;
}

ZnFedReadStatus ZnXmlFedReader::parseInteractionTree(xmlNode* node, const ZnString& parentName) {
    const char* name = propertyByName(node, "name");
    if (!name) {
        lastError_ = "Interaction class with no name found in FDD file.";
        appendNodeProperties(node, lastError_);
        return ZnFedReadFailed;
    }
    ZnString fullName = fullNameOf(parentName, name);
    ZnTransportType transport = getTransportType(node);
    ZnOrderType order;
    if (!getOrderType(node, order)) {
        if (reportOrderError(node) != ZnFedReadSuccess) return ZnFedReadFailed;
        order = ZnOrderReceive;
    }
    if (ZnNotifyLevel > 2) {
        const char* transportText = propertyByName(node, "transportation");
        const char* orderText = propertyByName(node, "order");
        bool showValues = ZnNotifyLevel == 3;
        ZnVerbose.printf("Class: %s, base: %s, transport: %s, order: %s\n", fullName.c_str(),
                         parentName.c_str(),
                         showValues && transportText ? transportText : "HLAreliable",
                         showValues && orderText ? orderText : "Receive");
    }
    if (fedTarget_)
        fedTarget_->addInteractionClass(fullName.c_str(),
                                        parentName.empty() ? nullptr : parentName.c_str(),
                                        transport, order, nullptr);
    parseInteractionDimensions(node, fullName);
    return parseInteractionChildren(node, fullName);
}

ZnFedReadStatus ZnXmlFedReader::parseInteractionChildren(xmlNode* node,
                                                         const ZnString& fullName) {
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* child = node->children; child && status == ZnFedReadSuccess;
         child = child->next) {
        if (fdd::isSkipped(child)) continue;
        if (fdd::isElementNamed(child, "interactionClass")) {
            status = parseInteractionTree(child, fullName);
        } else if (fdd::isElementNamed(child, "parameter")) {
            status = parseParameter(child, fullName);
        } else {
            lastError_ = "Unexpected tag in interactions tree for FDD file.\n\tInteractions Tag = ";
            appendNodeContent(child, lastError_);
            status = strictStatus();
        }
    }
    return status;
}

ZnFedReadStatus ZnXmlFedReader::parseInteractionDimensions(xmlNode* node,
                                                           const ZnString& className) {
    const char* list = propertyByName(node, "dimensions");
    if (!list || !fedTarget_) {
        lastError_ = "Interaction " + className + " has no dimensions list.";
        return strictStatus();
    }
    ZnString refused;
    auto add = [&](const char* dimension) {
        return fedTarget_->addInteractionDimension(className.c_str(), dimension);
    };
    if (fdd::forEachDimension(list, strictChecking(1), add, &refused)) return ZnFedReadSuccess;
    lastError_ = "Error adding dimension " + refused + " for interaction class " + className;
    appendErrorLine(node, lastError_);
    return ZnFedReadFailed;
}

ZnFedReadStatus ZnXmlFedReader::parseParameter(xmlNode* node, const ZnString& className) {
    const char* name = propertyByName(node, "name");
    if (!name) {
        lastError_ = "Parameter with no name found in FDD file.\n";
        appendNodeProperties(node, lastError_);
        return ZnFedReadFailed;
    }
    ZnVerbose.printf("\tParameter: %s\n", name);
    if (fedTarget_) fedTarget_->addParameter(className.c_str(), name);
    return ZnFedReadSuccess;
}

ZnFedReadStatus ZnXmlFedReader::parseDimensionList(xmlNode* node) {
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

ZnFedReadStatus ZnXmlFedReader::parseDimension(xmlNode* node) {
    fdd::WalkContext ctx = walkContext();
    return fdd::readDimension(ctx, node, scratch_);
}

// Switches go straight to the setters: this reader keeps no switch table, so
// a value other than "Enabled" simply means off.
ZnFedReadStatus ZnXmlFedReader::parseSwitches(xmlNode* node) {
    if (useDefaultSwitches_) return ZnFedReadSuccess;
    for (const auto& entry : kSwitchAttributes) {
        const char* value = propertyByName(node, entry.name);
        if (!value) continue;
        ZnVerbose.printf("Switch %-30s %s\n", entry.name, value);
        if (fedTarget_) (fedTarget_->*entry.set)(std::strcmp(value, "Enabled") == 0);
    }
    return ZnFedReadSuccess;
}

void ZnXmlFedReader::applyDefaultSwitches() {
    if (!fedTarget_) return;
    for (const auto& entry : kSwitchAttributes) (fedTarget_->*entry.set)(entry.fallback());
}

ZnFedReadStatus ZnXmlFedReader::parseDataTypeTree(xmlNode* node) {
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* child = node->children; child && status == ZnFedReadSuccess;
         child = child->next) {
        if (fdd::isSkipped(child)) continue;
        ZnVerbose.printf("DataType Tree Tag: %s\n", reinterpret_cast<const char*>(child->name));
        const auto* table = std::begin(kDataTypeTables);
        while (table != std::end(kDataTypeTables) && !fdd::isElementNamed(child, table->element))
            ++table;
        if (table != std::end(kDataTypeTables)) {
            status = (this->*table->parse)(child->children);
            continue;
        }
        lastError_ = "Unexpected tag in dataTypes tree for FDD file.\n\tDataType Tag = ";
        appendNodeContent(child, lastError_);
        status = strictStatus();
    }
    return status;
}

fdd::WalkContext ZnXmlFedReader::walkContext() {
    return fdd::WalkContext{lastError_, strictChecking(1), fedTarget_};
}

fdd::WalkContext ZnXmlFedReader::checkOnlyContext() {
    return fdd::WalkContext{lastError_, strictChecking(1), nullptr};
}

ZnFedReadStatus ZnXmlFedReader::parseTransportationsList(xmlNode* node) {
    fdd::WalkContext ctx = checkOnlyContext();
    return fdd::walkTransportations(ctx, node);
}

ZnFedReadStatus ZnXmlFedReader::parseNotesTree(xmlNode* node) {
    fdd::WalkContext ctx = checkOnlyContext();
    return fdd::walkNotes(ctx, node);
}

ZnFedReadStatus ZnXmlFedReader::parseTagsTree(xmlNode* node) {
    fdd::WalkContext ctx = checkOnlyContext();
    return fdd::walkTags(ctx, node);
}

ZnFedReadStatus ZnXmlFedReader::parseTimeTree(xmlNode* node) {
    fdd::WalkContext ctx = checkOnlyContext();
    return fdd::walkTime(ctx, node);
}

ZnFedReadStatus ZnXmlFedReader::parseSynchronizationsTree(xmlNode* node) {
    fdd::WalkContext ctx = checkOnlyContext();
    return fdd::walkSynchronizations(ctx, node);
}

ZnFedReadStatus ZnXmlFedReader::parseBasicDataTypesTree(xmlNode* first) {
    fdd::WalkContext ctx = checkOnlyContext();
    return fdd::walkBasicData(ctx, first);
}

ZnFedReadStatus ZnXmlFedReader::parseSimpleDataTypesTree(xmlNode* first) {
    fdd::WalkContext ctx = checkOnlyContext();
    return fdd::walkSimpleData(ctx, first);
}

ZnFedReadStatus ZnXmlFedReader::parseArrayDataTypesTree(xmlNode* first) {
    fdd::WalkContext ctx = checkOnlyContext();
    return fdd::walkArrayData(ctx, first);
}

ZnFedReadStatus ZnXmlFedReader::parseEnumeratedDataTypesTree(xmlNode* first) {
    fdd::WalkContext ctx = checkOnlyContext();
    return fdd::walkEnumeratedData(ctx, first);
}

ZnFedReadStatus ZnXmlFedReader::parseFixedRecordDataTypesTree(xmlNode* first) {
    fdd::WalkContext ctx = checkOnlyContext();
    return fdd::walkFixedRecordData(ctx, first);
}

ZnFedReadStatus ZnXmlFedReader::parseVariantRecordDataTypesTree(xmlNode* first) {
    fdd::WalkContext ctx = checkOnlyContext();
    return fdd::walkVariantRecordData(ctx, first);
}

void ZnXmlFedReader::appendNodeProperties(xmlNode* node, ZnString& text) const {
    fdd::appendProperties(node, text);
}

void ZnXmlFedReader::appendNodeContent(xmlNode* node, ZnString& text) const {
    fdd::appendContent(node, text);
}

bool ZnXmlFedReader::isBlankText(xmlNode* node) const { return fdd::isBlankText(node); }

const char* ZnXmlFedReader::propertyByName(xmlNode* node, const char* name) const {
    return fdd::property(node, name, scratch_);
}

bool ZnXmlFedReader::getPropertyByName(xmlNode* node, const char* name, ZnString& value) const {
    const char* text = propertyByName(node, name);
    value = text ? text : "";
    return text != nullptr;
}

ZnTransportType ZnXmlFedReader::getTransportType(xmlNode* node) const {
    return fdd::transportCode(propertyByName(node, "transportation"));
}

bool ZnXmlFedReader::getOrderType(xmlNode* node, ZnOrderType& order) const {
    return fdd::orderCode(propertyByName(node, "order"), &order);
}
