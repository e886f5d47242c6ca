// fedReader1516.cpp -- reads an IEEE 1516-2000 FDD: the whole file into the
// reader's buffer, a libxml2 tree from those bytes, an optional DTD check,
// then one walk over the tree that calls the target in document order. The
// document lives only for the length of the read; the bytes stay with the
// reader until takeCurrFddData hands them out.

#include <pxs/fedReader1516.h>

#include <cstring>
#include <iterator>

#include <pxs/fddWalk.h>
#include <util/xmlPtr.h>
#include <util/znNotify.h>

namespace {

constexpr const char* kNoRoot = "Bad FDD File. Could not find Document Root in FDD File.";

// Tables found by the top-level walk, one bit each; update rates do not
// exist in this format and count as found.
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
    kAllTables = 1023
};

// In this order; each replaces the previous, so the last missing one remains.
const struct {
    unsigned bit;
    const char* message;
} kMissingTables[] = {
    {kObjects, "Missing or invalid objects table"},
    {kInteractions, "Missing or invalid interactions table"},
    {kDimensions, "Missing or invalid dimensions table"},
    {kTransportations, "Missing or invalid transportations table"},
    {kSwitches, "Missing or invalid switches table"},
    {kUpdateRates, "Missing or invalid Update Rates"},
    {kDataTypes, "Missing or invalid Data Types"},
    {kNotes, "Missing or invalid Notes"},
    {kTime, "Missing or invalid Time"},
    {kSynchronizations, "Missing or invalid Sync Points"},
};

using TableParser = ZnFedReadStatus (ZnFedReader1516::*)(xmlNode*);

// Top-level elements; dimensions and transportations are read before the
// walk, so they have no parser here.
const struct {
    const char* element;
    unsigned bit;
    TableParser parse;
} kTopLevelTables[] = {
    {"objects", kObjects, &ZnFedReader1516::processObjects},
    {"interactions", kInteractions, &ZnFedReader1516::processInteractions},
    {"switches", kSwitches, &ZnFedReader1516::parseSwitches},
    {"dimensions", 0, nullptr},
    {"transportations", 0, nullptr},
    {"dataTypes", kDataTypes, &ZnFedReader1516::parseDataTypeTree},
    {"notes", kNotes, &ZnFedReader1516::parseNotesTree},
    {"tags", 0, &ZnFedReader1516::parseTagsTree},
    {"time", kTime, &ZnFedReader1516::parseTimeTree},
    {"synchronizations", kSynchronizations, &ZnFedReader1516::parseSynchronizationsTree},
};

const struct {
    const char* element;
    TableParser parse;
} kDataTypeTables[] = {
    {"basicDataRepresentations", &ZnFedReader1516::parseBasicDataTypesTree},
    {"simpleDataTypes", &ZnFedReader1516::parseSimpleDataTypesTree},
    {"arrayDataTypes", &ZnFedReader1516::parseArrayDataTypesTree},
    {"enumeratedDataTypes", &ZnFedReader1516::parseEnumeratedDataTypesTree},
    {"fixedRecordDataTypes", &ZnFedReader1516::parseFixedRecordDataTypesTree},
    {"variantRecordDataTypes", &ZnFedReader1516::parseVariantRecordDataTypesTree},
};

// Switches installed from the target's defaults when a read asks for them.
const struct {
    const char* name;
    bool (*value)();
} kDefaultSwitches[] = {
    {"autoProvide", ZnFedTarget::defaultAutoProvide},
    {"conveyRegionDesignatorSets", ZnFedTarget::defaultConveyRegionDesignatorSets},
    {"attributeScopeAdvisory", ZnFedTarget::defaultAttributeScopeAdvisory},
    {"attributeRelevanceAdvisory", ZnFedTarget::defaultAttributeRelevanceAdvisory},
    {"objectClassRelevanceAdvisory", ZnFedTarget::defaultObjectClassRelevanceAdvisory},
    {"interactionRelevanceAdvisory", ZnFedTarget::defaultInteractionRelevanceAdvisory},
    {"serviceReporting", ZnFedTarget::defaultServiceReporting},
};

// After the switches element is read, each setter gets the table's value.
const struct {
    const char* name;
    void (ZnFedTarget::*set)(bool);
} kSwitchSetters[] = {
    {"autoProvide", &ZnFedTarget::setAutoProvide},
    {"conveyRegionDesignatorSets", &ZnFedTarget::setConveyRegionDesignatorSets},
    {"attributeScopeAdvisory", &ZnFedTarget::setAttributeScopeAdvisory},
    {"attributeRelevanceAdvisory", &ZnFedTarget::setAttributeRelevanceAdvisory},
    {"objectClassRelevanceAdvisory", &ZnFedTarget::setObjectClassRelevanceAdvisory},
    {"interactionRelevanceAdvisory", &ZnFedTarget::setInteractionRelevanceAdvisory},
    {"serviceReporting", &ZnFedTarget::setServiceReporting},
};

// Management classes a target that refuses them may go without.
const char* const kManagementPrefixes[] = {"HLAobjectRoot.HLAmanager", "ObjectRoot.Manager",
                                           "ObjectRoot.RTIprivate"};
const char* const kOptionalInteractions[] = {
    "HLArequestSynchronizationPoint", "HLAreportSynchronizationPoint",
    "HLAchangeAttributeTransportationType", "HLAchangeInteractionTransportationType"};

bool startsWith(const ZnString& text, const char* prefix) {
    return std::strncmp(text.c_str(), prefix, std::strlen(prefix)) == 0;
}

bool contains(const ZnString& text, const char* part) {
    return std::strstr(text.c_str(), part) != nullptr;
}

bool endsWithNotes(const char* name) {
    size_t len = std::strlen(name);
    return len > 5 && std::strcmp(name + len - 5, "Notes") == 0;
}

ZnString fullNameOf(const ZnString& parentName, const char* name) {
    if (parentName.empty()) return ZnString(name);
    ZnString full(parentName);
    full += ".";
    full += name;
    return full;
}

}  // namespace

ZnFedReader1516::ZnFedReader1516() {
    expectedFomType_ = ZnFom1516;
    LIBXML_TEST_VERSION
    xmlKeepBlanksDefault(0);
}

ZnFedReader1516::~ZnFedReader1516() { xmlCleanupParser(); }

ZnFedReadStatus ZnFedReader1516::readFedFilePtr(FILE* file, ZnFedTarget* target,
                                                ZnFilename fileName, unsigned int strictFlags,
                                                bool validate, bool useDefaultSwitches) {
    if (!file) return ZnFedReadNotOpened;
    target_ = target;
    strictFlags_ = strictFlags;
    useDefaultSwitches_ = useDefaultSwitches;
    lastError_ = "";
    ZnFedReadStatus status;
    // Whatever escapes the walk (a target that throws, memory running out)
    // ends this read only; the guards free the document on the way out.
    try {
        if (target_) target_->setFomType(ZnFom1516);
        loadFileBuffer(file);
        status = readDocument(fileName, validate);
    } catch (...) {
        lastError_ = "Unexpected problem reading FDD.";
        status = ZnFedReadFailed;
    }
    scratch_.clear();
    return status;
}

ZnFedReadStatus ZnFedReader1516::readDocument(const ZnFilename& fileName, bool validate) {
    XmlDocPtr doc = fdd::parseBytes(fileBuffer_.get(), fileLength_, fileName.c_str());
    xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    if (!root) {
        lastError_ = kNoRoot;
        return ZnFedReadFailed;
    }
    ZnFedReadStatus status = ZnFedReadSuccess;
    if (validate) status = checkDocumentType(doc.get(), &fileName, "FDD missing DTD.");
    if (status == ZnFedReadSuccess) status = processFed(root);
    return status;
}

// The document type must be objectModel and the document valid against the
// DTD its system identifier names. With a file name, a relative DTD path is
// taken relative to the file's directory; without one it is used as written.
ZnFedReadStatus ZnFedReader1516::checkDocumentType(xmlDoc* doc, const ZnFilename* fileName,
                                                   const char* missingMessage) {
    xmlDtd* dtd = fdd::documentType(doc);
    if (!dtd) {
        lastError_ = missingMessage;
        return strictStatus();
    }
    if (!xmlStrEqual(dtd->name, reinterpret_cast<const xmlChar*>("objectModel"))) {
        lastError_ = "Document Type is not Object Model.\n\tDocument Type Name: ";
        lastError_ += dtd->name ? reinterpret_cast<const char*>(dtd->name) : "";
        return ZnFedReadFailed;
    }
    ZnFilename path(dtd->SystemID ? reinterpret_cast<const char*>(dtd->SystemID) : "");
    if (fileName && path.relative()) {
        ZnInfo.printf("Checking path relative to FED file directory for %s\n", path.c_str());
        ZnFilename dir = fileName->stripFilename();
        if (!dir.empty()) path = dir.append(path);
    }
    if (!dtdValidate(doc, path.c_str())) {
        lastError_ = "FDD failed DTD validation.";
        return strictStatus();
    }
    return ZnFedReadSuccess;
}

bool ZnFedReader1516::dtdValidate(xmlDoc* doc, const char* dtdPath) {
    return fdd::validateWithDtd(doc, dtdPath);
}

ZnFedReadStatus ZnFedReader1516::processXmlDocPtr(xmlDoc* doc) {
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
    ZnFedReadStatus status = checkDocumentType(doc, nullptr, "No DTD Node found.");
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

xmlNode* ZnFedReader1516::getNodeByName(xmlNode* node, const char* name) {
    return fdd::childNamed(node, name);
}

ZnFedReadStatus ZnFedReader1516::processFed(xmlNode* root) {
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
    unsigned int found = kUpdateRates;
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

ZnFedReadStatus ZnFedReader1516::walkTopLevel(xmlNode* root, unsigned int& found) {
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

void ZnFedReader1516::reportMissingTables(unsigned int found, ZnFedReadStatus& status) {
    for (const auto& table : kMissingTables) {
        if (found & table.bit) continue;
        lastError_ = table.message;
        if (table.bit == kObjects && strictChecking(1)) status = ZnFedReadFailed;
    }
}

void ZnFedReader1516::applyDefaultSwitches() {
    for (const auto& entry : kDefaultSwitches) target_->setSwitch(entry.name, entry.value());
}

ZnFedReadStatus ZnFedReader1516::parseTransportationsList(xmlNode* node) {
    fdd::WalkContext ctx = walkContext();
    return fdd::walkTransportations(ctx, node);
}

ZnFedReadStatus ZnFedReader1516::processObjects(xmlNode* node) {
    xmlNode* root = getNodeByName(node, "objectClass");
    if (!root) return ZnFedReadSuccess;
    const char* name = propertyByName(root, "name");
    if (!name || std::strcmp(name, "HLAobjectRoot") != 0) {
        lastError_ = "Object class root is not HLAobjectRoot in FDD file.";
        return ZnFedReadFailed;
    }
    return parseObjectTree(root, ZnString());
}

ZnFedReadStatus ZnFedReader1516::processInteractions(xmlNode* node) {
    xmlNode* root = getNodeByName(node, "interactionClass");
    if (!root) return ZnFedReadSuccess;
    const char* name = propertyByName(root, "name");
    if (!name || std::strcmp(name, "HLAinteractionRoot") != 0) {
        lastError_ = "Interaction class with no root found in FDD file.";
        return ZnFedReadFailed;
    }
    return parseInteractionTree(root, ZnString());
}

ZnFedReadStatus ZnFedReader1516::parseObjectTree(xmlNode* node, const ZnString& parentName) {
    const char* name = propertyByName(node, "name");
    if (!name) {
        lastError_ = "Object class with no name found in FDD file.\n";
        appendNodeProperties(node, lastError_);
        return ZnFedReadFailed;
    }
    ZnString fullName = fullNameOf(parentName, name);
    bool skip = objectRootReplaced_ && contains(fullName, "HLAmanager");
    ZnVerbose.printf("%sClass: %s, Base: %s \n", skip ? "Skip " : "", fullName.c_str(),
                     parentName.c_str());
    if (skip) ZnVerbose << "All subclasses and attributes will also be skipped\n";
    if (!skip && target_) {
        Acceptance answer = acceptObjectClass(fullName, parentName);
        if (answer == Acceptance::Refused) {
            lastError_ = "Object class " + fullName + " was refused by the FED target";
            appendErrorLine(node, lastError_);
            return ZnFedReadFailed;
        }
        skip = answer == Acceptance::Skipped;
    }
    return parseObjectChildren(node, fullName, skip);
}

// Offers the class to the target. A refused root is offered again as
// "ObjectRoot" (the target already holds an HLA 1.3 model); from then on the
// walk delivers under that root. Management classes the target refuses are
// skipped with their subtrees.
ZnFedReader1516::Acceptance ZnFedReader1516::acceptObjectClass(ZnString& fullName,
                                                               const ZnString& parentName) {
    const char* parent = parentName.empty() ? nullptr : parentName.c_str();
    if (target_->addObjectClass(fullName.c_str(), parent)) return Acceptance::Accepted;
    if (!parent) {
        fullName = "ObjectRoot";
        if (target_->addObjectClass(fullName.c_str(), nullptr)) {
            objectRootReplaced_ = true;
            ZnVerbose << "Replacing HLobjectRoot with ObjectRoot to match Federation FOM.\n";
            ZnVerbose << "Attributes and subclasses will be attempted with replacement root.\n";
            return Acceptance::Accepted;
        }
    }
    for (const char* prefix : kManagementPrefixes)
        if (startsWith(fullName, prefix)) return Acceptance::Skipped;
    return Acceptance::Refused;
}

ZnFedReadStatus ZnFedReader1516::parseObjectChildren(xmlNode* node, const ZnString& fullName,
                                                     bool skip) {
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* child = node->children; child && status == ZnFedReadSuccess;
         child = child->next) {
        if (fdd::isSkipped(child)) continue;
        if (fdd::isElementNamed(child, "objectClass")) {
            if (!skip) status = parseObjectTree(child, fullName);
        } else if (fdd::isElementNamed(child, "attribute")) {
            if (!skip) status = parseAttribute(child, fullName);
        } else {
            lastError_ = "Unexpected tag in objects tree for FDD file.\n\tObjects Tag = ";
            appendNodeContent(child, lastError_);
            status = strictStatus();
        }
    }
    return status;
}

ZnFedReadStatus ZnFedReader1516::reportOrderError(xmlNode* node, const char* text) {
    lastError_ = "Unknown delivery order found in FDD file.\n\tOrder = ";
    lastError_ += text;
    lastError_ += "\n";
    appendNodeProperties(node, lastError_);
    return strictStatus();
}

ZnFedReadStatus ZnFedReader1516::parseAttribute(xmlNode* node, const ZnString& className) {
    const char* name = propertyByName(node, "name");
    if (!name) {
        lastError_ = "Attribute of " + className + " has no name in FDD file.";
        return ZnFedReadFailed;
    }
    ZnTransportType transport = getTransportType(node);
    ZnOrderType order;
    if (!getOrderType(node, order)) {
        if (reportOrderError(node, propertyByName(node, "order")) != ZnFedReadSuccess)
            return ZnFedReadFailed;
        // Without strict checking the standard's one time-stamped attribute
        // keeps its order; every other attribute falls back to receive order.
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
    if (!target_) return ZnFedReadSuccess;
    ZnString semantics, updateCondition;
    getSemantics(node, semantics);
    getUpdateCondition(node, updateCondition);
    target_->addAttribute(className.c_str(), name, transport, order, getSharingType(node),
                          getUpdateType(node), &updateCondition, getOwnershipType(node),
                          &semantics, nullptr);
    return parseAttributeDimensions(node, className, ZnString(name));
}

ZnFedReadStatus ZnFedReader1516::parseAttributeDimensions(xmlNode* node,
                                                          const ZnString& className,
                                                          const ZnString& attributeName) {
    const char* list = target_ ? propertyByName(node, "dimensions") : nullptr;
    if (!list) return ZnFedReadSuccess;  // counts as "NA"
    ZnString refused;
    auto add = [&](const char* dimension) {
        return target_->addAttributeDimension(className.c_str(), attributeName.c_str(),
                                              dimension);
    };
    if (fdd::forEachDimension(list, strictChecking(1), add, &refused)) return ZnFedReadSuccess;
    lastError_ = "Error adding dimension " + refused + " for attribute " + attributeName +
                 " of object class " + className;
    appendErrorLine(node, lastError_);
    return ZnFedReadFailed;
}

ZnFedReadStatus ZnFedReader1516::parseInteractionTree(xmlNode* node,
                                                      const ZnString& parentName) {
    const char* name = propertyByName(node, "name");
    if (!name) {
        lastError_ = "Interaction class with no name found in FDD file.";
        appendNodeProperties(node, lastError_);
        return ZnFedReadFailed;
    }
    ZnString fullName = fullNameOf(parentName, name);
    bool skip = interactionRootReplaced_ && contains(fullName, "HLAmanager");
    ZnTransportType transport = getTransportType(node);
    ZnOrderType order;
    if (!getOrderType(node, order)) {
        if (reportOrderError(node, propertyByName(node, "order")) != ZnFedReadSuccess)
            return ZnFedReadFailed;
        order = ZnOrderReceive;
    }
    if (ZnNotifyLevel > 2) {
        const char* transportText = propertyByName(node, "transportation");
        const char* orderText = propertyByName(node, "order");
        bool showValues = ZnNotifyLevel == 3;
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
ZnFedReader1516::Acceptance ZnFedReader1516::acceptInteractionClass(
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

ZnFedReadStatus ZnFedReader1516::parseInteractionChildren(xmlNode* node,
                                                          const ZnString& fullName, bool skip) {
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* child = node->children; child && status == ZnFedReadSuccess;
         child = child->next) {
        if (fdd::isSkipped(child)) continue;
        if (fdd::isElementNamed(child, "interactionClass")) {
            if (!skip) status = parseInteractionTree(child, fullName);
        } else if (fdd::isElementNamed(child, "parameter")) {
            if (!skip) status = parseParameter(child, fullName);
        } else if (!skip) {
            lastError_ = "Unexpected tag in interactions tree for FDD file.\n\tInteractions Tag = ";
            appendNodeContent(child, lastError_);
            status = strictStatus();
        }
    }
    return status;
}

ZnFedReadStatus ZnFedReader1516::parseInteractionDimensions(xmlNode* node,
                                                            const ZnString& className) {
    const char* list = propertyByName(node, "dimensions");
    if (!list || !target_) {
        lastError_ = "Interaction " + className + " has no dimensions list.";
        return strictStatus();
    }
    ZnString refused;
    auto add = [&](const char* dimension) {
        return target_->addInteractionDimension(className.c_str(), dimension);
    };
    if (fdd::forEachDimension(list, strictChecking(1), add, &refused)) return ZnFedReadSuccess;
    lastError_ = "Error adding dimension " + refused + " for interaction class " + className;
    appendErrorLine(node, lastError_);
    return ZnFedReadFailed;
}

ZnFedReadStatus ZnFedReader1516::parseParameter(xmlNode* node, const ZnString& className) {
    const char* name = propertyByName(node, "name");
    if (!name) {
        lastError_ = "Parameter with no name found in FDD file.\n";
        appendNodeProperties(node, lastError_);
        return ZnFedReadFailed;
    }
    ZnVerbose.printf("\tParameter: %s\n", name);
    if (target_) target_->addParameter(className.c_str(), name);
    return ZnFedReadSuccess;
}

ZnFedReadStatus ZnFedReader1516::parseDimensionList(xmlNode* node) {
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

ZnFedReadStatus ZnFedReader1516::parseDimension(xmlNode* node) {
    fdd::WalkContext ctx = walkContext();
    return fdd::readDimension(ctx, node, scratch_);
}

ZnFedReadStatus ZnFedReader1516::parseSwitches(xmlNode* node) {
    if (!target_ || useDefaultSwitches_) return ZnFedReadSuccess;
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlAttr* attr = node->properties; attr && status == ZnFedReadSuccess;
         attr = attr->next) {
        const char* name = reinterpret_cast<const char*>(attr->name);
        // The DTD's notes attributes annotate a switch; they are not switches.
        if (endsWithNotes(name)) continue;
        ZnString value = fdd::attributeText(attr);
        if (value != "Enabled" && value != "Disabled") {
            lastError_ = "Value not found for switch Type ";
            lastError_ += name;
            appendErrorLine(node, lastError_);
            status = strictStatus();
            continue;
        }
        if (target_->hasSwitch(name)) {
            lastError_ = "Unexpected duplicate Switch Tag ( ";
            lastError_ += name;
            lastError_ += " ) for FDD file.\n\tSwitch Tag = ";
            appendNodeContent(node, lastError_);
            appendErrorLine(node, lastError_);
            continue;
        }
        target_->setSwitch(name, value == "Enabled");
    }
    if (status == ZnFedReadSuccess)
        for (const auto& setter : kSwitchSetters)
            (target_->*setter.set)(target_->switchValue(setter.name));
    return status;
}

ZnFedReadStatus ZnFedReader1516::parseDataTypeTree(xmlNode* node) {
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

fdd::WalkContext ZnFedReader1516::walkContext() {
    return fdd::WalkContext{lastError_, strictChecking(1), target_};
}

ZnFedReadStatus ZnFedReader1516::parseNotesTree(xmlNode* node) {
    fdd::WalkContext ctx = walkContext();
    return fdd::walkNotes(ctx, node);
}

ZnFedReadStatus ZnFedReader1516::parseTagsTree(xmlNode* node) {
    fdd::WalkContext ctx = walkContext();
    return fdd::walkTags(ctx, node);
}

ZnFedReadStatus ZnFedReader1516::parseTimeTree(xmlNode* node) {
    fdd::WalkContext ctx = walkContext();
    return fdd::walkTime(ctx, node);
}

ZnFedReadStatus ZnFedReader1516::parseSynchronizationsTree(xmlNode* node) {
    fdd::WalkContext ctx = walkContext();
    return fdd::walkSynchronizations(ctx, node);
}

ZnFedReadStatus ZnFedReader1516::parseBasicDataTypesTree(xmlNode* first) {
    fdd::WalkContext ctx = walkContext();
    return fdd::walkBasicData(ctx, first);
}

ZnFedReadStatus ZnFedReader1516::parseSimpleDataTypesTree(xmlNode* first) {
    fdd::WalkContext ctx = walkContext();
    return fdd::walkSimpleData(ctx, first);
}

ZnFedReadStatus ZnFedReader1516::parseArrayDataTypesTree(xmlNode* first) {
    fdd::WalkContext ctx = walkContext();
    return fdd::walkArrayData(ctx, first);
}

ZnFedReadStatus ZnFedReader1516::parseEnumeratedDataTypesTree(xmlNode* first) {
    fdd::WalkContext ctx = walkContext();
    return fdd::walkEnumeratedData(ctx, first);
}

ZnFedReadStatus ZnFedReader1516::parseFixedRecordDataTypesTree(xmlNode* first) {
    fdd::WalkContext ctx = walkContext();
    return fdd::walkFixedRecordData(ctx, first);
}

ZnFedReadStatus ZnFedReader1516::parseVariantRecordDataTypesTree(xmlNode* first) {
    fdd::WalkContext ctx = walkContext();
    return fdd::walkVariantRecordData(ctx, first);
}

void ZnFedReader1516::appendNodeProperties(xmlNode* node, ZnString& text) const {
    fdd::appendProperties(node, text);
}

void ZnFedReader1516::appendNodeContent(xmlNode* node, ZnString& text) const {
    fdd::appendContent(node, text);
}

bool ZnFedReader1516::isBlankText(xmlNode* node) const { return fdd::isBlankText(node); }

const char* ZnFedReader1516::propertyByName(xmlNode* node, const char* name) const {
    return fdd::property(node, name, scratch_);
}

bool ZnFedReader1516::getPropertyByName(xmlNode* node, const char* name, ZnString& value) const {
    const char* text = propertyByName(node, name);
    value = text ? text : "";
    return text != nullptr;
}

ZnTransportType ZnFedReader1516::getTransportType(xmlNode* node) const {
    return fdd::transportCode(propertyByName(node, "transportation"));
}

bool ZnFedReader1516::getOrderType(xmlNode* node, ZnOrderType& order) const {
    return fdd::orderCode(propertyByName(node, "order"), &order);
}

bool ZnFedReader1516::convertStringToULong(const char* text, uint64_t& value) const {
    return fdd::parseUnsigned64(text, &value);
}

ZnSharingType_enum ZnFedReader1516::getSharingType(xmlNode* node) const {
    return fdd::sharingCode(propertyByName(node, "sharing"));
}

void ZnFedReader1516::getSemantics(xmlNode* node, ZnString& semantics) const {
    getPropertyByName(node, "semantics", semantics);
}

bool ZnFedReader1516::getNotes(xmlNode* node, const char* property, ZnString& notes) const {
    ZnString name(property);
    name += "Notes";
    return getPropertyByName(node, name.c_str(), notes);
}

ZnOwnershipType_enum ZnFedReader1516::getOwnershipType(xmlNode* node) const {
    return fdd::ownershipCode(propertyByName(node, "ownership"));
}

void ZnFedReader1516::getUpdateCondition(xmlNode* node, ZnString& condition) const {
    getPropertyByName(node, "updateCondition", condition);
}

ZnFomUpdateType_enum ZnFedReader1516::getUpdateType(xmlNode* node) const {
    return fdd::updateTypeCode(propertyByName(node, "updateType"));
}
