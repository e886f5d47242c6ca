// fedReader1516e.cpp -- reads an HLA Evolved FOM module: the whole file (or
// the built-in MIM) parsed in memory, an optional check against the schema
// the root names, then one walk over the tree that calls the target in
// document order. The document lives only for the length of the read; a
// file's bytes stay with the reader until takeCurrFddData hands them out.

#include <pxs/fedReader1516e.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include <pxs/embeddedData.h>
#include <pxs/fddDriver.h>
#include <pxs/fddEvolvedWalk.h>
#include <pxs/fedRecords.h>
#include <pxs/fedSwitches.h>
#include <util/xmlPtr.h>
#include <util/znNotify.h>

// The extension calls of the current read; empty when the target takes none.
#define PXS_DETAILS (pxsdetail::fdd::DetailsSink{details_, detailsFile_.c_str()})

namespace {

using pxsdetail::fdd::kMimName;
constexpr const char* kUnexpectedProblem = "Unexpected problem reading fed file.";

constexpr unsigned kAllTables = 2047;

// Tables a module may leave out: another module (or the MIM) supplies them.
constexpr unsigned kOptionalTables = pxsdetail::fdd::kUpdateRatesBit | pxsdetail::fdd::kNotesBit | pxsdetail::fdd::kTimeBit |
                                     pxsdetail::fdd::kSynchronizationsBit | pxsdetail::fdd::kModelIdentificationBit;

// The first four fail the read under strict bit 2.
const pxsdetail::fdd::MissingTable kMissingTables[] = {
    {pxsdetail::fdd::kObjectsBit, "Missing or invalid objects table", 2},
    {pxsdetail::fdd::kInteractionsBit, "Missing or invalid interactions table", 2},
    {pxsdetail::fdd::kDimensionsBit, "Missing or invalid dimensions table", 2},
    {pxsdetail::fdd::kTransportationsBit, "Missing or invalid transportations table", 2},
    {pxsdetail::fdd::kSwitchesBit, "Missing or invalid switches table", 0},
    {pxsdetail::fdd::kDataTypesBit, "Missing or invalid Data Types", 0},
};

// Top-level elements; dimensions and transportations are read before the
// walk, so they have no parser here.
const pxsdetail::fdd::TopLevelEntry<ZnFedReader1516e> kTopLevelTables[] = {
    {"modelIdentification", pxsdetail::fdd::kModelIdentificationBit,
     &ZnFedReader1516e::processModelIdentification},
    {"objects", pxsdetail::fdd::kObjectsBit, &ZnFedReader1516e::processObjects},
    {"interactions", pxsdetail::fdd::kInteractionsBit, &ZnFedReader1516e::processInteractions},
    {"switches", pxsdetail::fdd::kSwitchesBit, &ZnFedReader1516e::parseSwitches},
    {"updateRates", pxsdetail::fdd::kUpdateRatesBit, &ZnFedReader1516e::parseUpdateRates},
    {"dimensions", 0, nullptr},
    {"transportations", 0, nullptr},
    {"dataTypes", pxsdetail::fdd::kDataTypesBit, &ZnFedReader1516e::parseDataTypeTree},
    {"notes", pxsdetail::fdd::kNotesBit, &ZnFedReader1516e::parseNotesTree},
    {"tags", 0, &ZnFedReader1516e::parseTagsTree},
    {"time", pxsdetail::fdd::kTimeBit, &ZnFedReader1516e::parseTimeTree},
    {"synchronizations", pxsdetail::fdd::kSynchronizationsBit, &ZnFedReader1516e::parseSynchronizationsTree},
};

// The class walk of one step; the root flags persist across reads.
pxsdetail::fdd::evolved::ClassWalk<ZnFedReader1516e> classWalk(ZnFedReader1516e& reader,
                                                               ZnString& lastError,
                                                               ZnFedTarget* target,
                                                               pxsdetail::fdd::RootFlags flags,
                                                               pxsdetail::fdd::DetailsSink details) {
    return pxsdetail::fdd::evolved::ClassWalk<ZnFedReader1516e>(reader, lastError, target, flags,
                                                                details);
}

}  // namespace

ZnFedReader1516e::ZnFedReader1516e() {
    expectedFomType_ = ZnFomEvolved;
    pxsdetail::fdd::prepareXmlParser();
}

// libxml2 stays set up: another thread may be parsing right now.
ZnFedReader1516e::~ZnFedReader1516e() = default;

ZnFedReadStatus ZnFedReader1516e::readFedFilePtr(FILE* file, ZnFedTarget* target,
                                                 ZnFilename fileName, unsigned int strictFlags,
                                                 bool, bool useDefaultSwitches) {
    if (!file && fileName != kMimName) return ZnFedReadNotOpened;
    target_ = target;
    beginRead(strictFlags, useDefaultSwitches);
    details_ = dynamic_cast<ZnFedTargetDetails*>(target);
    detailsFile_ = fileName;
    ZnFedReadStatus status = pxsdetail::fdd::guardedRead(lastError_, kUnexpectedProblem, [&] {
        if (target_) target_->setFomType(ZnFomEvolved);
        clearFileBuffer();
        if (file) {
            loadFileBuffer(file);
            std::rewind(file);
            return readDocument(fileBuffer_.get(), fileLength_, fileName);
        }
        unsigned int length = 0;
        const char* mim = pxsdetail::fdd::builtInMim(&length);
        return readDocument(mim, length, fileName);
    });
    scratch_.clear();
    details_ = nullptr;
    return status;
}

ZnFedReadStatus ZnFedReader1516e::readDocument(const char* bytes, unsigned int length,
                                               const ZnFilename& fileName) {
    return pxsdetail::fdd::readDocument(
        bytes, length, fileName.c_str(), lastError_,
        [&](xmlDoc* doc, xmlNode* root) { return checkSchema(doc, root, &fileName); },
        [this](xmlNode* root) { return processFed(root); });
}

ZnFedReadStatus ZnFedReader1516e::checkSchema(xmlDoc* doc, xmlNode* root,
                                              const ZnFilename* fileName) {
    if (!schemaValidationEnabled_) return ZnFedReadSuccess;
    return pxsdetail::fdd::evolved::checkSchema(*this, doc, propertyByName(root, "schemaLocation"), fileName,
                                     lastError_);
}

void ZnFedReader1516e::setSchemaValidationEnabled(bool) { schemaValidationEnabled_ = true; }

ZnFedReadStatus ZnFedReader1516e::processXmlDocPtr(xmlDoc* doc) {
    ZnFedReadStatus status =
        pxsdetail::fdd::adoptParsedDocument(doc, lastError_, [this](xmlDoc* parsed, xmlNode* root) {
            return checkSchema(parsed, root, nullptr);
        });
    scratch_.clear();
    return status;
}

bool ZnFedReader1516e::schemaValidate(xmlDoc* doc, const char* schemaFile) {
    return pxsdetail::fdd::evolved::validateWithSchema(doc, schemaFile);
}

// The switches table is required only under strict bit 2.
ZnFedReadStatus ZnFedReader1516e::processFed(xmlNode* root) {
    unsigned found = kOptionalTables | (strictChecking(2) ? 0u : unsigned(pxsdetail::fdd::kSwitchesBit));
    const pxsdetail::fdd::DriveOptions options{"Invalid node", true, false, found, kAllTables};
    return pxsdetail::fdd::driveRoot(*this, root, options, kTopLevelTables, kMissingTables,
                                     lastError_, [this] {
                                         if (useDefaultSwitches_ && target_) applyDefaultSwitches();
                                     });
}

void ZnFedReader1516e::applyDefaultSwitches() {
    // A switch without a default keeps the target's own current value.
    pxsdetail::switches::forEach(pxsdetail::switches::kEvolved, [this](const auto& entry) {
        target_->setSwitch(entry.name,
                           entry.fallback ? entry.fallback() : (target_->*entry.get)());
    });
}

ZnFedReadStatus ZnFedReader1516e::parseTransportationsList(xmlNode* node) {
    pxsdetail::fdd::WalkContext ctx{lastError_, strictChecking(1), target_, PXS_DETAILS};
    return pxsdetail::fdd::evolved::walkTransportations(ctx, node);
}

// A `reference` of type Dependency names, in its `identification`, a module
// this one builds on.
ZnFedReadStatus ZnFedReader1516e::processModelIdentification(xmlNode* node) {
    std::vector<ZnString> dependencies;
    for (xmlNode* child = node->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) continue;
        if (pxsdetail::fdd::isNamed(child, "name")) {
            if (target_) target_->setModuleName(pxsdetail::fdd::evolved::elementText(child).c_str());
            continue;
        }
        if (!pxsdetail::fdd::isNamed(child, "reference")) continue;
        bool dependency = false;
        for (xmlNode* part = child->children; part; part = part->next) {
            if (part->type != XML_ELEMENT_NODE) continue;
            if (pxsdetail::fdd::isNamed(part, "type"))
                dependency = pxsdetail::fdd::evolved::trimmed(pxsdetail::fdd::evolved::elementText(part)) == "Dependency";
            else if (dependency && pxsdetail::fdd::isNamed(part, "identification"))
                dependencies.push_back(pxsdetail::fdd::evolved::trimmed(pxsdetail::fdd::evolved::elementText(part)));
        }
    }
    if (target_ && !dependencies.empty()) target_->setModuleDependencies(dependencies);
    return ZnFedReadSuccess;
}

#define PXS_WALK                        \
    classWalk(*this, lastError_, target_, \
              pxsdetail::fdd::RootFlags{&objectRootReplaced_, &interactionRootReplaced_}, \
              PXS_DETAILS)
PXS_FDD_CLASS_STEPS(ZnFedReader1516e, PXS_WALK)
PXS_FDD_DIMENSION_STEPS(ZnFedReader1516e, PXS_WALK)
#undef PXS_WALK

ZnFedReadStatus ZnFedReader1516e::parseDimensionList(xmlNode* node) {
    return pxsdetail::fdd::walkDimensionList(*this, node, lastError_);
}

ZnFedReadStatus ZnFedReader1516e::parseDimension(xmlNode* node) {
    pxsdetail::fdd::WalkContext ctx{lastError_, strictChecking(1), target_, PXS_DETAILS};
    return pxsdetail::fdd::evolved::readDimension(ctx, node);
}

ZnFedReadStatus ZnFedReader1516e::parseSwitches(xmlNode* node) {
    if (!target_ || useDefaultSwitches_) return ZnFedReadSuccess;
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlNode* child = node->children; child && status == ZnFedReadSuccess;
         child = child->next)
        if (child->type == XML_ELEMENT_NODE) status = readSwitch(child);
    if (status == ZnFedReadSuccess)
        pxsdetail::switches::forEach(pxsdetail::switches::kEvolved, [this](const auto& entry) {
            const ZnString name(entry.name);
            const bool on = target_->switchValue(name);
// The call through a member pointer inside this lambda trips GCC's
// uninitialised-use check in sanitised builds; nothing is uninitialised.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
            (target_->*entry.set)(on);
#pragma GCC diagnostic pop
        });
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
        if (int code = pxsdetail::fdd::evolved::resignActionCode(value)) {
            target_->setAutomaticResignAction(code);
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
    pxsdetail::fdd::WalkContext ctx{lastError_, strictChecking(1), target_, PXS_DETAILS};
    return pxsdetail::fdd::evolved::walkUpdateRates(ctx, node);
}

ZnFedReadStatus ZnFedReader1516e::parseDataTypeTree(xmlNode* node) {
    return pxsdetail::fdd::walkDataTypeTables(*this, node, false, lastError_);
}

PXS_FDD_RECORD_STEPS(ZnFedReader1516e, pxsdetail::fdd::evolved, target_, PXS_DETAILS)

PXS_FDD_NODE_STEPS(ZnFedReader1516e)
PXS_FDD_PROPERTY_STEPS(ZnFedReader1516e)

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
    return pxsdetail::fdd::orderCode(childContentByName(node, "order"), &order);
}

xmlNode* ZnFedReader1516e::getNodeByName(xmlNode* node, const char* name) {
    return pxsdetail::fdd::childNamed(node, name);
}

const char* ZnFedReader1516e::childContentByName(xmlNode* node, const char* name) {
    return pxsdetail::fdd::evolved::childText(node, name);
}

bool ZnFedReader1516e::getChildrenContent(xmlNode* node, ZnString& value) const {
    const char* text = pxsdetail::fdd::evolved::firstChildText(node);
    if (text) value = text;
    return text != nullptr;
}

bool ZnFedReader1516e::convertStringToULong(const char* text, uint64_t& value) const {
    return pxsdetail::fdd::parseUnsigned64(text, &value);
}

ZnSharingType_enum ZnFedReader1516e::getSharingType(xmlNode* node) const {
    return pxsdetail::fdd::evolved::sharingCode(childContentByName(node, "sharing"));
}

void ZnFedReader1516e::getSemantics(xmlNode* node, ZnString& semantics) const {
    getChildContentByName(node, "semantics", semantics);
}

bool ZnFedReader1516e::getNotes(xmlNode* node, ZnString& notes) const {
    return getPropertyByName(node, "notes", notes);
}

ZnOwnershipType_enum ZnFedReader1516e::getOwnershipType(xmlNode* node) const {
    return pxsdetail::fdd::ownershipCode(childContentByName(node, "ownership"));
}

void ZnFedReader1516e::getUpdateCondition(xmlNode* node, ZnString& condition) const {
    getChildContentByName(node, "updateCondition", condition);
}

ZnFomUpdateType_enum ZnFedReader1516e::getUpdateType(xmlNode* node) const {
    return pxsdetail::fdd::updateTypeCode(childContentByName(node, "updateType"));
}

bool ZnFedReader1516e::isEvolvedFormat(void* file) {
    FILE* stream = static_cast<FILE*>(file);
    char* raw = nullptr;
    unsigned int length = 0;
    if (!readFileIntoBuffer(stream, &raw, &length)) return false;
    std::unique_ptr<char[]> bytes(raw);
    std::rewind(stream);
    XmlDocPtr doc = pxsdetail::fdd::parseBytes(bytes.get(), length, nullptr);
    xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    if (!root) return false;
    xmlNode* list = pxsdetail::fdd::childElementNamed(root, "transportations");
    if (xmlNode* first = pxsdetail::fdd::childElementNamed(list, "transportation"))
        return childContentByName(first, "reliable") != nullptr;
    if (list && pxsdetail::fdd::evolved::trimmed(pxsdetail::fdd::evolved::elementText(list)) == "transportation")
        return true;
    if (pxsdetail::fdd::childElementNamed(root, "updateRates")) return true;
    xmlNode* cls = pxsdetail::fdd::childElementNamed(pxsdetail::fdd::childElementNamed(root, "objects"), "objectClass");
    const char* name = cls ? childContentByName(cls, "name") : nullptr;
    return name && std::strcmp(name, "HLAobjectRoot") == 0;
}
