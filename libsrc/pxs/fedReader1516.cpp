// fedReader1516.cpp -- reads an IEEE 1516-2000 FDD: the whole file into the
// reader's buffer, a libxml2 tree from those bytes, an optional DTD check,
// then one walk over the tree that calls the target in document order. The
// document lives only for the length of the read; the bytes stay with the
// reader until takeCurrFddData hands them out.

#include <pxs/fedReader1516.h>

#include <cstring>

#include <pxs/fddWalk.h>
#include <pxs/fedSwitches.h>
#include <util/xmlPtr.h>
#include <util/xmlSetup.h>
#include <util/znNotify.h>

namespace {


// Update rates do not exist in this format and count as found.
constexpr unsigned kAllTables = 1023;

// Only a missing objects table can fail the read, and only under strict bit 1.
const pxsdetail::fdd::MissingTable kMissingTables[] = {
    {pxsdetail::fdd::kObjectsBit, "Missing or invalid objects table", 1},
    {pxsdetail::fdd::kInteractionsBit, "Missing or invalid interactions table", 0},
    {pxsdetail::fdd::kDimensionsBit, "Missing or invalid dimensions table", 0},
    {pxsdetail::fdd::kTransportationsBit, "Missing or invalid transportations table", 0},
    {pxsdetail::fdd::kSwitchesBit, "Missing or invalid switches table", 0},
    {pxsdetail::fdd::kUpdateRatesBit, "Missing or invalid Update Rates", 0},
    {pxsdetail::fdd::kDataTypesBit, "Missing or invalid Data Types", 0},
    {pxsdetail::fdd::kNotesBit, "Missing or invalid Notes", 0},
    {pxsdetail::fdd::kTimeBit, "Missing or invalid Time", 0},
    {pxsdetail::fdd::kSynchronizationsBit, "Missing or invalid Sync Points", 0},
};

// Top-level elements; dimensions and transportations are read before the
// walk, so they have no parser here.
const pxsdetail::fdd::TopLevelEntry<ZnFedReader1516> kTopLevelTables[] = {
    {"objects", pxsdetail::fdd::kObjectsBit, &ZnFedReader1516::processObjects},
    {"interactions", pxsdetail::fdd::kInteractionsBit, &ZnFedReader1516::processInteractions},
    {"switches", pxsdetail::fdd::kSwitchesBit, &ZnFedReader1516::parseSwitches},
    {"dimensions", 0, nullptr},
    {"transportations", 0, nullptr},
    {"dataTypes", pxsdetail::fdd::kDataTypesBit, &ZnFedReader1516::parseDataTypeTree},
    {"notes", pxsdetail::fdd::kNotesBit, &ZnFedReader1516::parseNotesTree},
    {"tags", 0, &ZnFedReader1516::parseTagsTree},
    {"time", pxsdetail::fdd::kTimeBit, &ZnFedReader1516::parseTimeTree},
    {"synchronizations", pxsdetail::fdd::kSynchronizationsBit, &ZnFedReader1516::parseSynchronizationsTree},
};

bool endsWithNotes(const char* name) {
    size_t len = std::strlen(name);
    return len > 5 && std::strcmp(name + len - 5, "Notes") == 0;
}

}  // namespace

ZnFedReader1516::ZnFedReader1516() {
    expectedFomType_ = ZnFom1516;
    pxsEnsureXmlInitialised();
    xmlKeepBlanksDefault(0);
}

// libxml2 stays set up: another thread may be parsing right now.
ZnFedReader1516::~ZnFedReader1516() = default;

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
    return pxsdetail::fdd::readDocument(
        fileBuffer_.get(), fileLength_, fileName.c_str(), lastError_,
        [&](xmlDoc* doc, xmlNode*) {
            return validate ? checkDocumentType(doc, &fileName, "FDD missing DTD.")
                            : ZnFedReadSuccess;
        },
        [this](xmlNode* root) { return processFed(root); });
}

ZnFedReadStatus ZnFedReader1516::checkDocumentType(xmlDoc* doc, const ZnFilename* fileName,
                                                   const char* missingMessage) {
    return pxsdetail::fdd::checkDocumentType(*this, doc, fileName, missingMessage, lastError_);
}

bool ZnFedReader1516::dtdValidate(xmlDoc* doc, const char* dtdPath) {
    return pxsdetail::fdd::validateWithDtd(doc, dtdPath);
}

ZnFedReadStatus ZnFedReader1516::processXmlDocPtr(xmlDoc* doc) {
    return pxsdetail::fdd::adoptParsedDocument(doc, lastError_, [this](xmlDoc* parsed, xmlNode*) {
        return checkDocumentType(parsed, nullptr, "No DTD Node found.");
    });
}

xmlNode* ZnFedReader1516::getNodeByName(xmlNode* node, const char* name) {
    return pxsdetail::fdd::childNamed(node, name);
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
    unsigned int found = pxsdetail::fdd::kUpdateRatesBit;
    ZnFedReadStatus status = pxsdetail::fdd::readDimensionsAndTransportations(*this, root, found);
    if (useDefaultSwitches_ && target_) applyDefaultSwitches();
    if (status != ZnFedReadFailed)
        status = pxsdetail::fdd::walkTopLevel(*this, root, kTopLevelTables, false, lastError_, found);
    if (status != ZnFedReadFailed && found != kAllTables)
        pxsdetail::fdd::reportMissingTables(*this, found, kMissingTables, lastError_, status);
    return status;
}

void ZnFedReader1516::applyDefaultSwitches() {
    pxsdetail::switches::forEach(pxsdetail::switches::kFdd1516, [this](const auto& entry) {
        target_->setSwitch(entry.name, entry.fallback());
    });
}

ZnFedReadStatus ZnFedReader1516::parseTransportationsList(xmlNode* node) {
    pxsdetail::fdd::WalkContext ctx = walkContext();
    return pxsdetail::fdd::walkTransportations(ctx, node);
}

pxsdetail::fdd::ClassWalk<ZnFedReader1516> ZnFedReader1516::classWalk() {
    return pxsdetail::fdd::ClassWalk<ZnFedReader1516>(
        *this, lastError_, target_, pxsdetail::fdd::RootFlags{&objectRootReplaced_, &interactionRootReplaced_});
}

ZnFedReadStatus ZnFedReader1516::processObjects(xmlNode* node) {
    return classWalk().objects(node);
}

ZnFedReadStatus ZnFedReader1516::processInteractions(xmlNode* node) {
    return classWalk().interactions(node);
}

ZnFedReadStatus ZnFedReader1516::parseObjectTree(xmlNode* node, const ZnString& parentName) {
    return classWalk().objectClass(node, parentName);
}

ZnFedReadStatus ZnFedReader1516::parseAttribute(xmlNode* node, const ZnString& className) {
    return classWalk().attribute(node, className);
}

ZnFedReadStatus ZnFedReader1516::parseAttributeDimensions(xmlNode* node,
                                                          const ZnString& className,
                                                          const ZnString& attributeName) {
    return classWalk().attributeDimensions(node, className, attributeName);
}

ZnFedReadStatus ZnFedReader1516::parseInteractionTree(xmlNode* node,
                                                      const ZnString& parentName) {
    return classWalk().interactionClass(node, parentName);
}

ZnFedReadStatus ZnFedReader1516::parseInteractionDimensions(xmlNode* node,
                                                            const ZnString& className) {
    return classWalk().interactionDimensions(node, className);
}

ZnFedReadStatus ZnFedReader1516::parseParameter(xmlNode* node, const ZnString& className) {
    return classWalk().parameter(node, className);
}

ZnFedReadStatus ZnFedReader1516::parseDimensionList(xmlNode* node) {
    return classWalk().dimensionList(node);
}

ZnFedReadStatus ZnFedReader1516::parseDimension(xmlNode* node) {
    pxsdetail::fdd::WalkContext ctx = walkContext();
    return pxsdetail::fdd::readDimension(ctx, node, scratch_);
}

ZnFedReadStatus ZnFedReader1516::parseSwitches(xmlNode* node) {
    if (!target_ || useDefaultSwitches_) return ZnFedReadSuccess;
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (xmlAttr* attr = node->properties; attr && status == ZnFedReadSuccess;
         attr = attr->next) {
        const char* name = reinterpret_cast<const char*>(attr->name);
        // The DTD's notes attributes annotate a switch; they are not switches.
        if (endsWithNotes(name)) continue;
        ZnString value = pxsdetail::fdd::attributeText(attr);
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
        pxsdetail::switches::forEach(pxsdetail::switches::kFdd1516, [this](const auto& entry) {
            (target_->*entry.set)(target_->switchValue(entry.name));
        });
    return status;
}

ZnFedReadStatus ZnFedReader1516::parseDataTypeTree(xmlNode* node) {
    return pxsdetail::fdd::walkDataTypeTables(*this, node, false, lastError_);
}

pxsdetail::fdd::WalkContext ZnFedReader1516::walkContext() {
    return pxsdetail::fdd::WalkContext{lastError_, strictChecking(1), target_};
}

ZnFedReadStatus ZnFedReader1516::parseNotesTree(xmlNode* node) {
    pxsdetail::fdd::WalkContext ctx = walkContext();
    return pxsdetail::fdd::walkNotes(ctx, node);
}

ZnFedReadStatus ZnFedReader1516::parseTagsTree(xmlNode* node) {
    pxsdetail::fdd::WalkContext ctx = walkContext();
    return pxsdetail::fdd::walkTags(ctx, node);
}

ZnFedReadStatus ZnFedReader1516::parseTimeTree(xmlNode* node) {
    pxsdetail::fdd::WalkContext ctx = walkContext();
    return pxsdetail::fdd::walkTime(ctx, node);
}

ZnFedReadStatus ZnFedReader1516::parseSynchronizationsTree(xmlNode* node) {
    pxsdetail::fdd::WalkContext ctx = walkContext();
    return pxsdetail::fdd::walkSynchronizations(ctx, node);
}

ZnFedReadStatus ZnFedReader1516::parseBasicDataTypesTree(xmlNode* first) {
    pxsdetail::fdd::WalkContext ctx = walkContext();
    return pxsdetail::fdd::walkBasicData(ctx, first);
}

ZnFedReadStatus ZnFedReader1516::parseSimpleDataTypesTree(xmlNode* first) {
    pxsdetail::fdd::WalkContext ctx = walkContext();
    return pxsdetail::fdd::walkSimpleData(ctx, first);
}

ZnFedReadStatus ZnFedReader1516::parseArrayDataTypesTree(xmlNode* first) {
    pxsdetail::fdd::WalkContext ctx = walkContext();
    return pxsdetail::fdd::walkArrayData(ctx, first);
}

ZnFedReadStatus ZnFedReader1516::parseEnumeratedDataTypesTree(xmlNode* first) {
    pxsdetail::fdd::WalkContext ctx = walkContext();
    return pxsdetail::fdd::walkEnumeratedData(ctx, first);
}

ZnFedReadStatus ZnFedReader1516::parseFixedRecordDataTypesTree(xmlNode* first) {
    pxsdetail::fdd::WalkContext ctx = walkContext();
    return pxsdetail::fdd::walkFixedRecordData(ctx, first);
}

ZnFedReadStatus ZnFedReader1516::parseVariantRecordDataTypesTree(xmlNode* first) {
    pxsdetail::fdd::WalkContext ctx = walkContext();
    return pxsdetail::fdd::walkVariantRecordData(ctx, first);
}

void ZnFedReader1516::appendNodeProperties(xmlNode* node, ZnString& text) const {
    pxsdetail::fdd::appendProperties(node, text);
}

void ZnFedReader1516::appendNodeContent(xmlNode* node, ZnString& text) const {
    pxsdetail::fdd::appendContent(node, text);
}

bool ZnFedReader1516::isBlankText(xmlNode* node) const { return pxsdetail::fdd::isBlankText(node); }

const char* ZnFedReader1516::propertyByName(xmlNode* node, const char* name) const {
    return pxsdetail::fdd::property(node, name, scratch_);
}

bool ZnFedReader1516::getPropertyByName(xmlNode* node, const char* name, ZnString& value) const {
    const char* text = propertyByName(node, name);
    value = text ? text : "";
    return text != nullptr;
}

ZnTransportType ZnFedReader1516::getTransportType(xmlNode* node) const {
    return pxsdetail::fdd::transportCode(propertyByName(node, "transportation"));
}

bool ZnFedReader1516::getOrderType(xmlNode* node, ZnOrderType& order) const {
    return pxsdetail::fdd::orderCode(propertyByName(node, "order"), &order);
}

bool ZnFedReader1516::convertStringToULong(const char* text, uint64_t& value) const {
    return pxsdetail::fdd::parseUnsigned64(text, &value);
}

ZnSharingType_enum ZnFedReader1516::getSharingType(xmlNode* node) const {
    return pxsdetail::fdd::sharingCode(propertyByName(node, "sharing"));
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
    return pxsdetail::fdd::ownershipCode(propertyByName(node, "ownership"));
}

void ZnFedReader1516::getUpdateCondition(xmlNode* node, ZnString& condition) const {
    getPropertyByName(node, "updateCondition", condition);
}

ZnFomUpdateType_enum ZnFedReader1516::getUpdateType(xmlNode* node) const {
    return pxsdetail::fdd::updateTypeCode(propertyByName(node, "updateType"));
}
