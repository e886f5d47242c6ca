// fedReader1516e.cpp -- reads an HLA Evolved FOM module: the whole file (or
// the built-in MIM) parsed in memory, an optional check against the schema
// the root names, then one walk over the tree that calls the target in
// document order. The document lives only for the length of the read; a
// file's bytes stay with the reader until takeCurrFddData hands them out.

#include <pxs/fedReader1516e.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <strings.h>

#include <pxs/embeddedData.h>
#include <pxs/fddEvolvedWalk.h>
#include <pxs/fedRecords.h>
#include <util/xmlPtr.h>
#include <util/znNotify.h>

namespace {

constexpr const char* kMimName = "HLAstandardMIM.xml";
constexpr const char* kNoRoot = "Bad FDD File. Could not find Document Root in FDD File.";
constexpr const char* kUnexpectedProblem = "Unexpected problem reading fed file.";

// Tables found by the top-level walk, one bit each.
enum TableBit : unsigned {
    kObjects = 1,
    kInteractions = 2,
    kDimensions = 4,
    kTransportations = 8,
    kSwitches = 16,
    kUpdateRates = 32,
    kDataTypes = 64,
    kNotes = 128,
    kTime = 256,
    kSynchronizations = 512,
    kModelIdentification = 1024,
    kAllTables = 2047
};

// Tables a module may leave out: another module (or the MIM) supplies them.
constexpr unsigned kOptionalTables =
    kUpdateRates | kNotes | kTime | kSynchronizations | kModelIdentification;

// In this order; each replaces the previous, so the last missing one
// remains. The first four fail the read under strict bit 2.
const struct {
    unsigned bit;
    const char* message;
    bool required;
} kMissingTables[] = {
    {kObjects, "Missing or invalid objects table", true},
    {kInteractions, "Missing or invalid interactions table", true},
    {kDimensions, "Missing or invalid dimensions table", true},
    {kTransportations, "Missing or invalid transportations table", true},
    {kSwitches, "Missing or invalid switches table", false},
    {kDataTypes, "Missing or invalid Data Types", false},
};

using TableParser = ZnFedReadStatus (ZnFedReader1516e::*)(xmlNode*);

// Top-level elements; dimensions and transportations are read before the
// walk, so they have no parser here.
const struct {
    const char* element;
    unsigned bit;
    TableParser parse;
} kTopLevelTables[] = {
    {"modelIdentification", kModelIdentification, &ZnFedReader1516e::processModelIdentification},
    {"objects", kObjects, &ZnFedReader1516e::processObjects},
    {"interactions", kInteractions, &ZnFedReader1516e::processInteractions},
    {"switches", kSwitches, &ZnFedReader1516e::parseSwitches},
    {"updateRates", kUpdateRates, &ZnFedReader1516e::parseUpdateRates},
    {"dimensions", 0, nullptr},
    {"transportations", 0, nullptr},
    {"dataTypes", kDataTypes, &ZnFedReader1516e::parseDataTypeTree},
    {"notes", kNotes, &ZnFedReader1516e::parseNotesTree},
    {"tags", 0, &ZnFedReader1516e::parseTagsTree},
    {"time", kTime, &ZnFedReader1516e::parseTimeTree},
    {"synchronizations", kSynchronizations, &ZnFedReader1516e::parseSynchronizationsTree},
};

const struct {
    const char* element;
    TableParser parse;
} kDataTypeTables[] = {
    {"basicDataRepresentations", &ZnFedReader1516e::parseBasicDataTypesTree},
    {"simpleDataTypes", &ZnFedReader1516e::parseSimpleDataTypesTree},
    {"arrayDataTypes", &ZnFedReader1516e::parseArrayDataTypesTree},
    {"enumeratedDataTypes", &ZnFedReader1516e::parseEnumeratedDataTypesTree},
    {"fixedRecordDataTypes", &ZnFedReader1516e::parseFixedRecordDataTypesTree},
    {"variantRecordDataTypes", &ZnFedReader1516e::parseVariantRecordDataTypesTree},
};

// Switches installed from the target's defaults when a read asks for them;
// delaySubscriptionEvaluation follows with the target's own current value.
const struct {
    const char* name;
    bool (*value)();
} kDefaultSwitches[] = {
    {"autoProvide", ZnFedTarget::defaultAutoProvide},
    {"conveyProducingFederate", ZnFedTarget::defaultConveyProducingFederate},
    {"conveyRegionDesignatorSets", ZnFedTarget::defaultConveyRegionDesignatorSets},
    {"attributeScopeAdvisory", ZnFedTarget::defaultAttributeScopeAdvisory},
    {"attributeRelevanceAdvisory", ZnFedTarget::defaultAttributeRelevanceAdvisory},
    {"objectClassRelevanceAdvisory", ZnFedTarget::defaultObjectClassRelevanceAdvisory},
    {"interactionRelevanceAdvisory", ZnFedTarget::defaultInteractionRelevanceAdvisory},
    {"serviceReporting", ZnFedTarget::defaultServiceReporting},
    {"exceptionReporting", ZnFedTarget::defaultExceptionReporting},
};

// After the switches element is read, each setter gets the table's value.
const struct {
    const char* name;
    void (ZnFedTarget::*set)(bool);
} kSwitchSetters[] = {
    {"autoProvide", &ZnFedTarget::setAutoProvide},
    {"conveyProducingFederate", &ZnFedTarget::setConveyProducingFederate},
    {"conveyRegionDesignatorSets", &ZnFedTarget::setConveyRegionDesignatorSets},
    {"attributeScopeAdvisory", &ZnFedTarget::setAttributeScopeAdvisory},
    {"attributeRelevanceAdvisory", &ZnFedTarget::setAttributeRelevanceAdvisory},
    {"objectClassRelevanceAdvisory", &ZnFedTarget::setObjectClassRelevanceAdvisory},
    {"interactionRelevanceAdvisory", &ZnFedTarget::setInteractionRelevanceAdvisory},
    {"serviceReporting", &ZnFedTarget::setServiceReporting},
    {"exceptionReporting", &ZnFedTarget::setExceptionReporting},
    {"delaySubscriptionEvaluation", &ZnFedTarget::setDelaySubscriptionEvaluation},
};

const struct {
    const char* text;
    int code;
} kResignActions[] = {
    {"UnconditionallyDivestAttributes", 1}, {"DeleteObjects", 2},
    {"CancelPendingOwnershipAcquisitions", 5}, {"DeleteObjectsThenDivest", 3},
    {"CancelThenDeleteThenDivest", 6}, {"NoAction", 4},
};

// Standard interactions a target that already holds another model may lack.
const char* const kOptionalInteractions[] = {
    "HLArequestSynchronizationPoint", "HLAreportSynchronizationPoint",
    "HLArequestAttributeTransportationTypeChange", "HLArequestInteractionTransportationTypeChange"};

// Children of an interaction class that describe the class itself.
const char* const kInteractionProperties[] = {"name",       "transportation", "order",
                                              "dimensions", "sharing",        "semantics"};

const char* const kSharingTexts[] = {"PublishSubscribe", "Publish", "Subscribe", "Neither"};

bool contains(const ZnString& text, const char* part) {
    return std::strstr(text.c_str(), part) != nullptr;
}

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

// The last blank-separated token of a schemaLocation value (namespace, then path).
ZnString lastToken(const char* text) {
    const char* end = text + std::strlen(text);
    while (end > text && std::strchr(" \t\r\n", end[-1])) --end;
    const char* start = end;
    while (start > text && !std::strchr(" \t\r\n", start[-1])) --start;
    return ZnString(std::string(start, end).c_str());
}

const char* orDefault(const char* text, const char* fallback) { return text ? text : fallback; }

}  // namespace

ZnFedReader1516e::ZnFedReader1516e() {
    target_ = nullptr;
    expectedFomType_ = ZnFomEvolved;
    LIBXML_TEST_VERSION
    xmlKeepBlanksDefault(0);
}

ZnFedReader1516e::~ZnFedReader1516e() { xmlCleanupParser(); }

ZnFedReadStatus ZnFedReader1516e::readFedFilePtr(FILE* file, ZnFedTarget* target,
                                                 ZnFilename fileName, unsigned int strictFlags,
                                                 bool, bool useDefaultSwitches) {
    if (!file && fileName != kMimName) return ZnFedReadNotOpened;
    target_ = target;
    strictFlags_ = strictFlags;
    useDefaultSwitches_ = useDefaultSwitches;
    lastError_ = "";
    ZnFedReadStatus status;
    // Whatever escapes the walk (a target that throws, memory running out)
    // ends this read only; the guards free the document on the way out.
    try {
        if (target_) target_->setFomType(ZnFomEvolved);
        clearFileBuffer();
        if (file) {
            loadFileBuffer(file);
            std::rewind(file);
            status = readDocument(fileBuffer_.get(), fileLength_, fileName);
        } else {
            const PxsEmbeddedFile* mim = pxsFindEmbeddedFile(kMimName);
            status = readDocument(mim ? reinterpret_cast<const char*>(mim->data) : nullptr,
                                  mim ? static_cast<unsigned int>(mim->size) : 0, fileName);
        }
    } catch (...) {
        lastError_ = kUnexpectedProblem;
        status = ZnFedReadFailed;
    }
    scratch_.clear();
    return status;
}

ZnFedReadStatus ZnFedReader1516e::readDocument(const char* bytes, unsigned int length,
                                               const ZnFilename& fileName) {
    XmlDocPtr doc = fdd::parseBytes(bytes, length, fileName.c_str());
    xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    if (!root) {
        lastError_ = kNoRoot;
        return ZnFedReadFailed;
    }
    ZnFedReadStatus status = checkSchema(doc.get(), root, &fileName);
    if (status == ZnFedReadSuccess) status = processFed(root);
    return status;
}

// With validation enabled, a root that names a schema must pass it. A
// relative schema path not found as written is looked for beside the
// module. Nothing is ever fetched from the network: a web address is a file
// that does not exist.
ZnFedReadStatus ZnFedReader1516e::checkSchema(xmlDoc* doc, xmlNode* root,
                                              const ZnFilename* fileName) {
    if (!schemaValidationEnabled_) return ZnFedReadSuccess;
    const char* location = propertyByName(root, "schemaLocation");
    if (!location) return ZnFedReadSuccess;
    ZnFilename path(lastToken(location).c_str());
    if (!path.exists() && path.relative() && fileName) {
        ZnFilename dir = fileName->stripFilename();
        if (!dir.empty()) {
            ZnFilename beside = dir.append(path);
            if (beside.exists()) path = beside;
        }
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

void ZnFedReader1516e::setSchemaValidationEnabled(bool) { schemaValidationEnabled_ = true; }

ZnFedReadStatus ZnFedReader1516e::processXmlDocPtr(xmlDoc* doc) {
    if (!doc) {
        lastError_ = "Error reading FDD";
        return ZnFedReadFailed;
    }
    // Freed on every failing return; released to the caller on success.
    XmlDocPtr owned(doc);
    ZnVerbose << "Reading FDD : \n";
    xmlNode* root = xmlDocGetRootElement(doc);
    if (!root) {
        lastError_ = kNoRoot;
        return ZnFedReadFailed;
    }
    for (xmlNode* n = doc->children; n; n = n->next) {
        if (n->type != XML_COMMENT_NODE) continue;
        ZnDebug << "FDD Comment: " << (n->content ? reinterpret_cast<const char*>(n->content) : "")
                << "\n";
    }
    ZnFedReadStatus status = checkSchema(doc, root, nullptr);
    scratch_.clear();
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
    owned.release();
    return ZnFedReadSuccess;
}

bool ZnFedReader1516e::schemaValidate(xmlDoc* doc, const char* schemaFile) {
    return fdd::evolved::validateWithSchema(doc, schemaFile);
}

ZnFedReadStatus ZnFedReader1516e::processFed(xmlNode* root) {
    if (!root) {
        lastError_ = "Invalid node";
        return ZnFedReadFailed;
    }
    if (ZnNotifyLevel > 2) {
        ZnString properties;
        appendNodeProperties(root, properties);
        ZnVerbose << "Federation Properties:\n";
        ZnVerbose.printf("%s \n\n", properties.c_str());
    }
    unsigned int found = kOptionalTables | (strictChecking(2) ? 0u : unsigned(kSwitches));
    ZnFedReadStatus status = ZnFedReadSuccess;
    // Classes name dimensions and transportations, so those come first.
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
    if (useDefaultSwitches_ && target_) applyDefaultSwitches();
    if (status != ZnFedReadFailed) status = walkTopLevel(root, found);
    if (status != ZnFedReadFailed && found != kAllTables) reportMissingTables(found, status);
    return status;
}

ZnFedReadStatus ZnFedReader1516e::walkTopLevel(xmlNode* root, unsigned int& found) {
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* child = root->children; child && status != ZnFedReadFailed;
         child = child->next) {
        if (fdd::isSkipped(child)) continue;
        const char* name = reinterpret_cast<const char*>(child->name);
        ZnVerbose.printf("\nTop-level Tag: %s\n", name);
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

void ZnFedReader1516e::reportMissingTables(unsigned int found, ZnFedReadStatus& status) {
    for (const auto& table : kMissingTables) {
        if (found & table.bit) continue;
        lastError_ = table.message;
        if (table.required && strictChecking(2)) status = ZnFedReadFailed;
    }
}

void ZnFedReader1516e::applyDefaultSwitches() {
    for (const auto& entry : kDefaultSwitches) target_->setSwitch(entry.name, entry.value());
    target_->setSwitch("delaySubscriptionEvaluation", target_->delaySubscriptionEvaluation());
}

ZnFedReadStatus ZnFedReader1516e::parseTransportationsList(xmlNode* node) {
    fdd::WalkContext ctx{lastError_, strictChecking(1), target_};
    return fdd::evolved::walkTransportations(ctx, node);
}

// A `reference` of type Dependency names, in its `identification`, a module
// this one builds on.
ZnFedReadStatus ZnFedReader1516e::processModelIdentification(xmlNode* node) {
    std::vector<ZnString> dependencies;
    for (xmlNode* child = node->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) continue;
        if (fdd::isNamed(child, "name")) {
            if (target_) target_->setModuleName(fdd::evolved::elementText(child).c_str());
            continue;
        }
        if (!fdd::isNamed(child, "reference")) continue;
        bool dependency = false;
        for (xmlNode* part = child->children; part; part = part->next) {
            if (part->type != XML_ELEMENT_NODE) continue;
            if (fdd::isNamed(part, "type"))
                dependency = trimmed(fdd::evolved::elementText(part)) == "Dependency";
            else if (dependency && fdd::isNamed(part, "identification"))
                dependencies.push_back(trimmed(fdd::evolved::elementText(part)));
        }
    }
    if (target_ && !dependencies.empty()) target_->setModuleDependencies(dependencies);
    return ZnFedReadSuccess;
}

ZnFedReadStatus ZnFedReader1516e::processObjects(xmlNode* node) {
    xmlNode* root = getNodeByName(node, "objectClass");
    if (!root) return ZnFedReadSuccess;
    const char* name = childContentByName(root, "name");
    if (!name || std::strcmp(name, "HLAobjectRoot") != 0) {
        lastError_ = "Object class root is not HLAobjectRoot in FDD file.";
        return ZnFedReadFailed;
    }
    return parseObjectTree(root, ZnString());
}

ZnFedReadStatus ZnFedReader1516e::processInteractions(xmlNode* node) {
    xmlNode* root = getNodeByName(node, "interactionClass");
    if (!root) return ZnFedReadSuccess;
    const char* name = childContentByName(root, "name");
    if (!name || std::strcmp(name, "HLAinteractionRoot") != 0) {
        lastError_ = "Interaction class with no root found in FDD file.";
        return ZnFedReadFailed;
    }
    return parseInteractionTree(root, ZnString());
}

// Recursion follows the XML nesting, which libxml2 bounds (256 levels
// without XML_PARSE_HUGE, which no reader passes).
ZnFedReadStatus ZnFedReader1516e::parseObjectTree(xmlNode* node, const ZnString& parentName) {
    const char* name = childContentByName(node, "name");
    if (!name) {
        lastError_ = "Object class, a child of " + parentName + ", with no name found in FDD file.\n";
        return ZnFedReadFailed;
    }
    ZnString fullName = fullNameOf(parentName, name);
    bool skip = objectRootReplaced_ && contains(fullName, "HLAmanager");
    ZnVerbose.printf("%sClass: %s, Base: %s \n", skip ? "Skip " : "", fullName.c_str(),
                     parentName.c_str());
    if (skip) ZnVerbose << "All subclasses and attributes will also be skipped\n";
    if (!skip && target_) {
        if (acceptObjectClass(fullName, parentName) == Acceptance::Refused) {
            lastError_ = "Object class " + fullName + " was refused by the FED target";
            appendErrorLine(node, lastError_);
            return ZnFedReadFailed;
        }
    }
    return parseObjectChildren(node, fullName, skip);
}

// Offers the class to the target. A refused root is offered again as
// "ObjectRoot" (the target already holds an HLA 1.3 model); from then on the
// walk delivers under that root. Unlike the IEEE 1516-2000 reader no class
// is optional: a module's classes are what it exists to add.
ZnFedReader1516e::Acceptance ZnFedReader1516e::acceptObjectClass(ZnString& fullName,
                                                                 const ZnString& parentName) {
    const char* parent = parentName.empty() ? nullptr : parentName.c_str();
    if (target_->addObjectClass(fullName.c_str(), parent)) return Acceptance::Accepted;
    if (parent) return Acceptance::Refused;
    fullName = "ObjectRoot";
    if (!target_->addObjectClass(fullName.c_str(), nullptr)) return Acceptance::Refused;
    objectRootReplaced_ = true;
    ZnVerbose << "Replacing HLobjectRoot with ObjectRoot to match Federation FOM.\n";
    ZnVerbose << "Attributes and subclasses will be attempted with replacement root.\n";
    return Acceptance::Accepted;
}

ZnFedReadStatus ZnFedReader1516e::parseObjectChildren(xmlNode* node, const ZnString& fullName,
                                                      bool skip) {
    ZnFedReadStatus status = ZnFedReadSuccess;
    bool sharingSeen = false;
    for (xmlNode* child = node->children; child && status == ZnFedReadSuccess;
         child = child->next) {
        if (skip || child->type != XML_ELEMENT_NODE) continue;
        if (fdd::isNamed(child, "objectClass")) {
            status = parseObjectTree(child, fullName);
        } else if (fdd::isNamed(child, "attribute")) {
            status = parseAttribute(child, fullName);
        } else if (fdd::isNamed(child, "sharing") && !sharingSeen) {
            sharingSeen = true;
            status = checkClassSharing(node, fullName);
        }
    }
    return status;
}

// A class's own sharing text, checked only under strict bit 1.
ZnFedReadStatus ZnFedReader1516e::checkClassSharing(xmlNode* node, const ZnString& fullName) {
    if (!strictChecking(1) || getSharingType(node) != ZnSharingInvalid)
        return ZnFedReadSuccess;
    lastError_ = "Invalid sharing ";
    lastError_ += orDefault(childContentByName(node, "sharing"), "");
    lastError_ += " for object class " + fullName;
    appendErrorLine(getNodeByName(node, "sharing"), lastError_);
    return ZnFedReadFailed;
}

ZnFedReadStatus ZnFedReader1516e::reportOrderError(xmlNode* node) {
    lastError_ = "Unknown delivery order found in FDD file.\n\tOrder = ";
    lastError_ += orDefault(childContentByName(node, "order"), "");
    lastError_ += "\n";
    appendNodeProperties(node, lastError_);
    return strictStatus();
}

ZnFedReadStatus ZnFedReader1516e::parseAttribute(xmlNode* node, const ZnString& className) {
    const char* name = childContentByName(node, "name");
    if (!name) {
        lastError_ = "Attribute of " + className + " has no name in FDD file.";
        return ZnFedReadFailed;
    }
    const ZnString attributeName(name);
    ZnTransportType transport = ZnTransportNone;
    getTransportType(node, transport, className, attributeName, true);
    ZnOrderType order;
    if (!getOrderType(node, order)) {
        if (reportOrderError(node) != ZnFedReadSuccess) return ZnFedReadFailed;
        // Without strict checking the standard's one time-stamped attribute
        // keeps its order; every other attribute falls back to receive order.
        order = (className == "HLAobjectRoot" && std::strcmp(name, "HLAprivilegeToDelete") == 0)
                    ? ZnOrderTimeStamp
                    : ZnOrderReceive;
    }
    ZnSharingType_enum sharing = getSharingType(node);
    if (sharing == ZnSharingInvalid) {
        lastError_ = "Invalid sharing ";
        lastError_ += orDefault(childContentByName(node, "sharing"), "");
        lastError_ += " for attribute " + attributeName + " of object class " + className;
        appendErrorLine(node, lastError_);
        if (strictChecking(1)) return ZnFedReadFailed;
    }
    if (ZnNotifyLevel > 2)
        ZnVerbose.printf("\tAttribute: %s, transport: %s, order: %s\n", name,
                         orDefault(childContentByName(node, "transportation"), "HLAbestEffort"),
                         orDefault(childContentByName(node, "order"), "Receive"));
    if (!target_) return ZnFedReadSuccess;
    ZnString semantics, updateCondition;
    getSemantics(node, semantics);
    getUpdateCondition(node, updateCondition);
    target_->addAttribute(className.c_str(), name, transport, order, sharing, getUpdateType(node),
                          &updateCondition, getOwnershipType(node), &semantics, nullptr);
    return parseAttributeDimensions(node, className, attributeName);
}

ZnFedReadStatus ZnFedReader1516e::parseAttributeDimensions(xmlNode* node,
                                                           const ZnString& className,
                                                           const ZnString& attributeName) {
    xmlNode* list = target_ ? getNodeByName(node, "dimensions") : nullptr;
    if (!list) return ZnFedReadSuccess;
    return walkDimensionElements(list, className, &attributeName);
}

ZnFedReadStatus ZnFedReader1516e::parseInteractionDimensions(xmlNode* node,
                                                             const ZnString& className) {
    xmlNode* list = target_ ? getNodeByName(node, "dimensions") : nullptr;
    if (!list) return ZnFedReadSuccess;
    return walkDimensionElements(list, className, nullptr);
}

// The `dimensions` element of an attribute (`attributeName` set) or an
// interaction class: `dimension` children naming dimensions, or the text NA.
// Refusals, empty names and stray elements count only under strict bit 1.
ZnFedReadStatus ZnFedReader1516e::walkDimensionElements(xmlNode* list, const ZnString& className,
                                                        const ZnString* attributeName) {
    const bool strict = strictChecking(1);
    ZnString owner = attributeName
                         ? " for attribute " + *attributeName + " of object class " + className
                         : " for interaction class " + className;
    for (xmlNode* child = list->children; child; child = child->next) {
        if (fdd::isSkipped(child)) continue;
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
            ZnString text = trimmed(reinterpret_cast<const char*>(child->content));
            if (text == "NA") continue;
            lastError_ = text + "\" is an invalid value for the symbol \"dimensions\"";
            appendErrorLine(list, lastError_);
            continue;
        }
        if (!fdd::isElementNamed(child, "dimension")) {
            if (!strict) continue;
            lastError_ = attributeName ? "Unexpected tag in dimension list" + owner
                                       : "Unexpected tag in dimension list for interaction class " +
                                             className;
            return ZnFedReadFailed;
        }
        ZnString dimension = trimmed(fdd::evolved::elementText(child));
        if (dimension.empty()) {
            if (!strict || !attributeName) continue;
            lastError_ = "Empty or invalid dimension in attribute " + *attributeName +
                         " of object class " + className;
            return ZnFedReadFailed;
        }
        if (strcasecmp(dimension.c_str(), "NA") == 0) continue;
        bool added = attributeName ? target_->addAttributeDimension(className.c_str(),
                                                                    attributeName->c_str(),
                                                                    dimension.c_str())
                                   : target_->addInteractionDimension(className.c_str(),
                                                                      dimension.c_str());
        if (!added && strict) {
            lastError_ = "Error adding dimension " + dimension + owner;
            return ZnFedReadFailed;
        }
    }
    return ZnFedReadSuccess;
}

ZnFedReadStatus ZnFedReader1516e::parseInteractionTree(xmlNode* node,
                                                       const ZnString& parentName) {
    const char* name = childContentByName(node, "name");
    if (!name) {
        lastError_ =
            "Interaction class, a child of " + parentName + ", with no name found in FDD file.\n";
        return ZnFedReadFailed;
    }
    ZnString fullName = fullNameOf(parentName, name);
    bool skip = interactionRootReplaced_ && contains(fullName, "HLAmanager");
    ZnTransportType transport = ZnTransportNone;
    getTransportType(node, transport, fullName, ZnString::nullString(), false);
    ZnOrderType order;
    if (!getOrderType(node, order)) {
        if (reportOrderError(node) != ZnFedReadSuccess) return ZnFedReadFailed;
        order = ZnOrderReceive;
    }
    if (ZnNotifyLevel > 2) {
        bool showValues = ZnNotifyLevel == 3;
        const char* transportText = childContentByName(node, "transportation");
        const char* orderText = childContentByName(node, "order");
        ZnVerbose.printf("%sClass: %s, base: %s, transport: %s, order: %s\n", skip ? "Skip " : "",
                         fullName.c_str(), parentName.c_str(),
                         showValues && transportText ? transportText : "HLAreliable",
                         showValues && orderText ? orderText : "Receive");
        if (skip) ZnVerbose << "All subclasses and parameters will also be skipped.\n";
    }
    if (!skip) {
        if (target_) {
            Acceptance answer = acceptInteractionClass(fullName, parentName, transport, order);
            if (answer == Acceptance::Refused) {
                lastError_ = "Interaction class " + fullName + " was refused by the FED target";
                appendErrorLine(node, lastError_);
                return ZnFedReadFailed;
            }
            skip = answer == Acceptance::Skipped;
        }
        // The class's own dimension problems are reported, never fatal to the walk.
        parseInteractionDimensions(node, fullName);
    }
    return parseInteractionChildren(node, fullName, skip);
}

// As for object classes; the synchronization and transportation-change
// interactions of the standard are optional for a target that refuses them.
ZnFedReader1516e::Acceptance ZnFedReader1516e::acceptInteractionClass(
    ZnString& fullName, const ZnString& parentName, ZnTransportType transport,
    ZnOrderType order) {
    const char* parent = parentName.empty() ? nullptr : parentName.c_str();
    if (target_->addInteractionClass(fullName.c_str(), parent, transport, order, nullptr))
        return Acceptance::Accepted;
    if (!parent) {
        fullName = "InteractionRoot";
        if (target_->addInteractionClass(fullName.c_str(), nullptr, transport, order, nullptr)) {
            interactionRootReplaced_ = true;
            ZnVerbose << "Replacing HLAinteractionRoot with InteractionRoot to match Federation "
                         "FOM.\n";
            ZnVerbose << "Parameters and subclasses will be attempted with replacement root.\n";
            return Acceptance::Accepted;
        }
    }
    for (const char* optional : kOptionalInteractions) {
        if (!contains(fullName, optional)) continue;
        ZnVerbose << "Federation FOM does not have interaction class " << fullName
                  << " omitting it from ZnFom representation.\n";
        return Acceptance::Skipped;
    }
    return Acceptance::Refused;
}

ZnFedReadStatus ZnFedReader1516e::parseInteractionChildren(xmlNode* node,
                                                           const ZnString& fullName, bool skip) {
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* child = node->children; child && status == ZnFedReadSuccess;
         child = child->next) {
        if (skip || child->type != XML_ELEMENT_NODE) continue;
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

ZnFedReadStatus ZnFedReader1516e::parseParameter(xmlNode* node, const ZnString& className) {
    const char* name = childContentByName(node, "name");
    if (!name) {
        lastError_ = "Parameter of " + className + " has no name in FDD file.\n";
        return ZnFedReadFailed;
    }
    ZnVerbose.printf("\tParameter: %s\n", name);
    if (target_) target_->addParameter(className.c_str(), name);
    return ZnFedReadSuccess;
}

ZnFedReadStatus ZnFedReader1516e::parseDimensionList(xmlNode* node) {
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

ZnFedReadStatus ZnFedReader1516e::parseDimension(xmlNode* node) {
    fdd::WalkContext ctx{lastError_, strictChecking(1), target_};
    return fdd::evolved::readDimension(ctx, node);
}

ZnFedReadStatus ZnFedReader1516e::parseSwitches(xmlNode* node) {
    if (!target_ || useDefaultSwitches_) return ZnFedReadSuccess;
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* child = node->children; child && status == ZnFedReadSuccess;
         child = child->next)
        if (child->type == XML_ELEMENT_NODE) status = readSwitch(child);
    if (status == ZnFedReadSuccess)
        for (const auto& setter : kSwitchSetters)
            (target_->*setter.set)(target_->switchValue(setter.name));
    return status;
}

// The value is the XML attribute the schema defines (isEnabled,
// resignAction); a switch without it may give the value as a child element.
ZnFedReadStatus ZnFedReader1516e::readSwitch(xmlNode* node) {
    const char* name = reinterpret_cast<const char*>(node->name);
    bool resign = std::strcmp(name, "automaticResignAction") == 0;
    const char* valueName = resign ? "resignAction" : "isEnabled";
    const char* value = propertyByName(node, valueName);
    if (!value) value = childContentByName(node, valueName);
    if (resign) {
        for (const auto& action : kResignActions) {
            if (!value || std::strcmp(value, action.text) != 0) continue;
            target_->setAutomaticResignAction(action.code);
            ZnVerbose.printf("Switch %-30s %s\n", name, value);
        }
        return ZnFedReadSuccess;
    }
    if (!value || (std::strcmp(value, "true") != 0 && std::strcmp(value, "false") != 0)) {
        lastError_ = "Value not found for switch Type ";
        lastError_ += name;
        return strictStatus();
    }
    if (target_->hasSwitch(name)) {
        lastError_ = "Unexpected duplicate Switch ( ";
        lastError_ += name;
        lastError_ += " ) for FDD file.\n\tSwitch Tag = ";
        appendNodeContent(node, lastError_);
        appendErrorLine(node, lastError_);
        return ZnFedReadSuccess;
    }
    target_->setSwitch(name, std::strcmp(value, "true") == 0);
    return ZnFedReadSuccess;
}

ZnFedReadStatus ZnFedReader1516e::parseUpdateRates(xmlNode* node) {
    fdd::WalkContext ctx{lastError_, strictChecking(1), target_};
    return fdd::evolved::walkUpdateRates(ctx, node);
}

ZnFedReadStatus ZnFedReader1516e::parseDataTypeTree(xmlNode* node) {
    if (ZnNotifyLevel > 2) {
        ZnString properties;
        appendNodeProperties(node, properties);
        ZnVerbose.printf("%s \n\n", properties.c_str());
    }
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* child = node->children; child && status == ZnFedReadSuccess;
         child = child->next) {
        if (fdd::isSkipped(child)) continue;
        if (ZnNotifyLevel > 2) {
            ZnString properties;
            appendNodeProperties(child, properties);
            ZnVerbose.printf("DataType Tree Tag: %s\n", reinterpret_cast<const char*>(child->name));
            ZnVerbose << properties;
        }
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

#define PXS_EVOLVED_WALK(method, walk, Arg)                          \
    ZnFedReadStatus ZnFedReader1516e::method(xmlNode* Arg) {         \
        fdd::WalkContext ctx{lastError_, strictChecking(1), target_}; \
        return fdd::evolved::walk(ctx, Arg);                         \
    }
PXS_EVOLVED_WALK(parseNotesTree, walkNotes, node)
PXS_EVOLVED_WALK(parseTagsTree, walkTags, node)
PXS_EVOLVED_WALK(parseTimeTree, walkTime, node)
PXS_EVOLVED_WALK(parseSynchronizationsTree, walkSynchronizations, node)
PXS_EVOLVED_WALK(parseBasicDataTypesTree, walkBasicData, first)
PXS_EVOLVED_WALK(parseSimpleDataTypesTree, walkSimpleData, first)
PXS_EVOLVED_WALK(parseArrayDataTypesTree, walkArrayData, first)
PXS_EVOLVED_WALK(parseEnumeratedDataTypesTree, walkEnumeratedData, first)
PXS_EVOLVED_WALK(parseFixedRecordDataTypesTree, walkFixedRecordData, first)
PXS_EVOLVED_WALK(parseVariantRecordDataTypesTree, walkVariantRecordData, first)
#undef PXS_EVOLVED_WALK

void ZnFedReader1516e::appendNodeProperties(xmlNode* node, ZnString& text) const {
    fdd::appendProperties(node, text);
}

void ZnFedReader1516e::appendNodeContent(xmlNode* node, ZnString& text) const {
    fdd::appendContent(node, text);
}

bool ZnFedReader1516e::isBlankText(xmlNode* node) const { return fdd::isBlankText(node); }

const char* ZnFedReader1516e::propertyByName(xmlNode* node, const char* name) const {
    return fdd::property(node, name, scratch_);
}

bool ZnFedReader1516e::getPropertyByName(xmlNode* node, const char* name, ZnString& value) const {
    const char* text = propertyByName(node, name);
    value = text ? text : "";
    return text != nullptr;
}

bool ZnFedReader1516e::getChildContentByName(xmlNode* node, const char* name,
                                             ZnString& value) const {
    const char* text = childContentByName(node, name);
    value = text ? text : "";
    return text != nullptr;
}

void ZnFedReader1516e::getTransportType(xmlNode* node, ZnTransportType& code,
                                        const ZnString& className, const ZnString& memberName,
                                        bool isAttribute) {
    const char* text = childContentByName(node, "transportation");
    if (!text) {
        code = ZnTransportNone;
        return;
    }
    if (std::strcmp(text, "HLAbestEffort") == 0) {
        code = ZnTransportBestEffort;
        return;
    }
    if (std::strcmp(text, "HLAreliable") == 0) {
        code = ZnTransportReliable;
        return;
    }
    ZnTransportationType rec;
    rec.name = text;
    if (target_ && target_->hasTransportation(&rec)) {
        code = target_->transportTypeOf(&rec);
    } else if (!strictChecking(1)) {
        code = ZnTransportBestEffort;
    } else if (target_) {
        // Declared by a module still to come: the target resolves it later.
        if (isAttribute)
            target_->addPendingAttributeTransportation(&rec, className, memberName);
        else
            target_->addPendingInteractionTransportation(&rec, className);
    }
}

bool ZnFedReader1516e::getOrderType(xmlNode* node, ZnOrderType& order) const {
    return fdd::orderCode(childContentByName(node, "order"), &order);
}

xmlNode* ZnFedReader1516e::getNodeByName(xmlNode* node, const char* name) {
    return fdd::childNamed(node, name);
}

const char* ZnFedReader1516e::childContentByName(xmlNode* node, const char* name) {
    return fdd::evolved::childText(node, name);
}

bool ZnFedReader1516e::getChildrenContent(xmlNode* node, ZnString& value) const {
    const char* text = fdd::evolved::firstChildText(node);
    if (text) value = text;
    return text != nullptr;
}

bool ZnFedReader1516e::convertStringToULong(const char* text, uint64_t& value) const {
    return fdd::parseUnsigned64(text, &value);
}

ZnSharingType_enum ZnFedReader1516e::getSharingType(xmlNode* node) const {
    const char* text = childContentByName(node, "sharing");
    if (!text) return ZnSharingPublishSubscribe;
    for (int code = 0; code < 4; ++code)
        if (std::strcmp(text, kSharingTexts[code]) == 0)
            return static_cast<ZnSharingType_enum>(code);
    return ZnSharingInvalid;
}

void ZnFedReader1516e::getSemantics(xmlNode* node, ZnString& semantics) const {
    getChildContentByName(node, "semantics", semantics);
}

bool ZnFedReader1516e::getNotes(xmlNode* node, ZnString& notes) const {
    return getPropertyByName(node, "notes", notes);
}

ZnOwnershipType_enum ZnFedReader1516e::getOwnershipType(xmlNode* node) const {
    return fdd::ownershipCode(childContentByName(node, "ownership"));
}

void ZnFedReader1516e::getUpdateCondition(xmlNode* node, ZnString& condition) const {
    getChildContentByName(node, "updateCondition", condition);
}

ZnFomUpdateType_enum ZnFedReader1516e::getUpdateType(xmlNode* node) const {
    return fdd::updateTypeCode(childContentByName(node, "updateType"));
}

bool ZnFedReader1516e::isEvolvedFormat(void* file) {
    FILE* stream = static_cast<FILE*>(file);
    char* raw = nullptr;
    unsigned int length = 0;
    if (!readFileIntoBuffer(stream, &raw, &length)) return false;
    std::unique_ptr<char[]> bytes(raw);
    std::rewind(stream);
    XmlDocPtr doc = fdd::parseBytes(bytes.get(), length, nullptr);
    xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    if (!root) return false;
    xmlNode* list = fdd::childElementNamed(root, "transportations");
    if (xmlNode* first = fdd::childElementNamed(list, "transportation"))
        return childContentByName(first, "reliable") != nullptr;
    if (list && trimmed(fdd::evolved::elementText(list)) == "transportation") return true;
    if (fdd::childElementNamed(root, "updateRates")) return true;
    xmlNode* cls = fdd::childElementNamed(fdd::childElementNamed(root, "objects"), "objectClass");
    const char* name = cls ? childContentByName(cls, "name") : nullptr;
    return name && std::strcmp(name, "HLAobjectRoot") == 0;
}
