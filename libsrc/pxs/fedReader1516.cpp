// fedReader1516.cpp -- reads an IEEE 1516-2000 FDD: the whole file into the
// reader's buffer, a libxml2 tree from those bytes, an optional DTD check,
// then one walk over the tree that calls the target in document order. The
// document lives only for the length of the read; the bytes stay with the
// reader until takeCurrFddData hands them out.

#include <pxs/fedReader1516.h>

#include <cstring>

#include <pxs/fddDriver.h>
#include <pxs/fddWalk.h>
#include <pxs/fedSwitches.h>
#include <util/xmlPtr.h>

// The extension calls of the current read; empty when the target takes none.
#define PXS_DETAILS (pxsdetail::fdd::DetailsSink{details_, detailsFile_.c_str()})

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

// The class walk of one step; the root flags persist across reads.
pxsdetail::fdd::ClassWalk<ZnFedReader1516> classWalk(ZnFedReader1516& reader,
                                                     ZnString& lastError, ZnFedTarget* target,
                                                     pxsdetail::fdd::RootFlags flags,
                                                     pxsdetail::fdd::DetailsSink details) {
    return pxsdetail::fdd::ClassWalk<ZnFedReader1516>(reader, lastError, target, flags, details);
}

bool endsWithNotes(const char* name) {
    size_t len = std::strlen(name);
    return len > 5 && std::strcmp(name + len - 5, "Notes") == 0;
}

}  // namespace

ZnFedReader1516::ZnFedReader1516() {
    expectedFomType_ = ZnFom1516;
    pxsdetail::fdd::prepareXmlParser();
}

// libxml2 stays set up: another thread may be parsing right now.
ZnFedReader1516::~ZnFedReader1516() = default;

ZnFedReadStatus ZnFedReader1516::readFedFilePtr(FILE* file, ZnFedTarget* target,
                                                ZnFilename fileName, unsigned int strictFlags,
                                                bool validate, bool useDefaultSwitches) {
    if (!file) return ZnFedReadNotOpened;
    target_ = target;
    beginRead(strictFlags, useDefaultSwitches);
    details_ = dynamic_cast<ZnFedTargetDetails*>(target);
    detailsFile_ = fileName;
    ZnFedReadStatus status = pxsdetail::fdd::guardedRead(lastError_, "Unexpected problem reading FDD.", [&] {
        if (target_) target_->setFomType(ZnFom1516);
        loadFileBuffer(file);
        return readDocument(fileName, validate);
    });
    scratch_.clear();
    details_ = nullptr;
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
    const pxsdetail::fdd::DriveOptions options{"Invalid node", true, false,
                                               pxsdetail::fdd::kUpdateRatesBit, kAllTables};
    return pxsdetail::fdd::driveRoot(*this, root, options, kTopLevelTables, kMissingTables,
                                     lastError_, [this] {
                                         if (useDefaultSwitches_ && target_) applyDefaultSwitches();
                                     });
}

void ZnFedReader1516::applyDefaultSwitches() {
    pxsdetail::switches::forEach(pxsdetail::switches::kFdd1516, [this](const auto& entry) {
        target_->setSwitch(entry.name, entry.fallback());
    });
}

ZnFedReadStatus ZnFedReader1516::parseTransportationsList(xmlNode* node) {
    pxsdetail::fdd::WalkContext ctx{lastError_, strictChecking(1), target_, PXS_DETAILS};
    return pxsdetail::fdd::walkTransportations(ctx, node);
}

#define PXS_WALK                        \
    classWalk(*this, lastError_, target_, \
              pxsdetail::fdd::RootFlags{&objectRootReplaced_, &interactionRootReplaced_}, \
              PXS_DETAILS)
PXS_FDD_CLASS_STEPS(ZnFedReader1516, PXS_WALK)
PXS_FDD_DIMENSION_STEPS(ZnFedReader1516, PXS_WALK)

ZnFedReadStatus ZnFedReader1516::parseDimensionList(xmlNode* node) {
    return PXS_WALK.dimensionList(node);
}
#undef PXS_WALK

ZnFedReadStatus ZnFedReader1516::parseDimension(xmlNode* node) {
    pxsdetail::fdd::WalkContext ctx{lastError_, strictChecking(1), target_, PXS_DETAILS};
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

ZnFedReadStatus ZnFedReader1516::parseDataTypeTree(xmlNode* node) {
    return pxsdetail::fdd::walkDataTypeTables(*this, node, false, lastError_);
}

PXS_FDD_RECORD_STEPS(ZnFedReader1516, pxsdetail::fdd, target_, PXS_DETAILS)

PXS_FDD_NODE_STEPS(ZnFedReader1516)
PXS_FDD_PROPERTY_STEPS(ZnFedReader1516)
PXS_FDD_ATTRIBUTE_CODES(ZnFedReader1516)

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
