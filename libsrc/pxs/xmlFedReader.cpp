// xmlFedReader.cpp -- the thin IEEE 1516-2000 reader: the same walk as
// ZnFedReader1516 without the parts that depend on the target's answers.
// The file bytes and the document live only for the length of one read.

#include <pxs/xmlFedReader.h>

#include <cstdlib>
#include <cstring>

#include <pxs/fddWalk.h>
#include <pxs/fedSwitches.h>
#include <util/xmlPtr.h>
#include <util/xmlSetup.h>
#include <util/znNotify.h>

namespace {


// Top-level elements this reader walks (bit 0: no table bit), and those it
// accepts without looking inside; `tags` is only listed.
const pxsdetail::fdd::TopLevelEntry<ZnXmlFedReader> kTopLevelTables[] = {
    {"objects", pxsdetail::fdd::kObjectsBit, &ZnXmlFedReader::processObjects},
    {"interactions", pxsdetail::fdd::kInteractionsBit, &ZnXmlFedReader::processInteractions},
    {"switches", pxsdetail::fdd::kSwitchesBit, &ZnXmlFedReader::parseSwitches},
    {"dimensions", 0, nullptr},
    {"transportations", 0, nullptr},
    {"dataTypes", 0, nullptr},
    {"notes", 0, nullptr},
    {"time", 0, nullptr},
    {"synchronizations", 0, nullptr},
};

}  // namespace

ZnXmlFedReader::ZnXmlFedReader() {
    expectedFomType_ = ZnFom1516;
    pxsEnsureXmlInitialised();
    xmlKeepBlanksDefault(0);
}

// libxml2 stays set up: another thread may be parsing right now.
ZnXmlFedReader::~ZnXmlFedReader() = default;

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
    return pxsdetail::fdd::readDocument(
        bytes, length, fileName.c_str(), lastError_,
        [&](xmlDoc* doc, xmlNode*) {
            return validate ? checkDocument(doc, fileName) : ZnFedReadSuccess;
        },
        [this](xmlNode* root) { return processFed(root); });
}

// A missing document type has no message of its own in this reader:
// strict checking alone decides.
ZnFedReadStatus ZnXmlFedReader::checkDocument(xmlDoc* doc, const ZnFilename& fileName) {
    return pxsdetail::fdd::checkDocumentType(*this, doc, &fileName, nullptr, lastError_);
}

ZnFedReadStatus ZnXmlFedReader::openFile(const char* fileName, xmlDoc** doc) {
    return pxsdetail::fdd::openObjectModel(fileName, doc, "\n\t", lastError_,
                                [this](xmlDoc* parsed, xmlNode*, const ZnFilename& path) {
                                    return checkDocument(parsed, path);
                                });
}

bool ZnXmlFedReader::dtdValidate(xmlDoc* doc, const char* dtdPath) {
    return pxsdetail::fdd::validateWithDtd(doc, dtdPath);
}

xmlNode* ZnXmlFedReader::getNodeByName(xmlNode* node, const char* name) {
    return pxsdetail::fdd::childNamed(node, name);
}

ZnFedReadStatus ZnXmlFedReader::processFed(xmlNode* root) {
    if (!root) {
        lastError_ = "Could not process FDD file. No root node.";
        return ZnFedReadFailed;
    }
    unsigned int found = 0;
    ZnFedReadStatus status = pxsdetail::fdd::readDimensionsAndTransportations(*this, root, found);
    if (useDefaultSwitches_) applyDefaultSwitches();
    if (status != ZnFedReadFailed)
        status = pxsdetail::fdd::walkTopLevel(*this, root, kTopLevelTables, true, lastError_, found);
    if (status != ZnFedReadFailed && found != pxsdetail::fdd::kCheckedTables)
        pxsdetail::fdd::reportMissingTables(*this, found, pxsdetail::fdd::kCheckedTableMessages, lastError_, status);
    return status;
}

// Classes are delivered as written: no root flags, the target's answers ignored.
pxsdetail::fdd::ClassWalk<ZnXmlFedReader> ZnXmlFedReader::classWalk() {
    return pxsdetail::fdd::ClassWalk<ZnXmlFedReader>(*this, lastError_, fedTarget_, pxsdetail::fdd::RootFlags{});
}

ZnFedReadStatus ZnXmlFedReader::processObjects(xmlNode* node) {
    return classWalk().objects(node);
}

ZnFedReadStatus ZnXmlFedReader::processInteractions(xmlNode* node) {
    return classWalk().interactions(node);
}

ZnFedReadStatus ZnXmlFedReader::parseObjectTree(xmlNode* node, const ZnString& parentName) {
    return classWalk().objectClass(node, parentName);
}

ZnFedReadStatus ZnXmlFedReader::parseAttribute(xmlNode* node, const ZnString& className) {
    return classWalk().attribute(node, className);
}

ZnFedReadStatus ZnXmlFedReader::parseAttributeDimensions(xmlNode* node,
                                                         const ZnString& className,
                                                         const ZnString& attributeName) {
    return classWalk().attributeDimensions(node, className, attributeName);
}

ZnFedReadStatus ZnXmlFedReader::parseInteractionTree(xmlNode* node, const ZnString& parentName) {
    return classWalk().interactionClass(node, parentName);
}

ZnFedReadStatus ZnXmlFedReader::parseInteractionDimensions(xmlNode* node,
                                                           const ZnString& className) {
    return classWalk().interactionDimensions(node, className);
}

ZnFedReadStatus ZnXmlFedReader::parseParameter(xmlNode* node, const ZnString& className) {
    return classWalk().parameter(node, className);
}

ZnFedReadStatus ZnXmlFedReader::parseDimensionList(xmlNode* node) {
    return classWalk().dimensionList(node);
}

ZnFedReadStatus ZnXmlFedReader::parseDimension(xmlNode* node) {
    pxsdetail::fdd::WalkContext ctx = walkContext();
    return pxsdetail::fdd::readDimension(ctx, node, scratch_);
}

// Switches go straight to the setters: this reader keeps no switch table, so
// a value other than "Enabled" simply means off.
ZnFedReadStatus ZnXmlFedReader::parseSwitches(xmlNode* node) {
    if (useDefaultSwitches_) return ZnFedReadSuccess;
    pxsdetail::switches::forEach(pxsdetail::switches::kThinFdd1516, [&](const auto& entry) {
        const char* value = propertyByName(node, entry.name);
        if (!value) return;
        ZnVerbose.printf("Switch %-30s %s\n", entry.name, value);
        if (fedTarget_) (fedTarget_->*entry.set)(std::strcmp(value, "Enabled") == 0);
    });
    return ZnFedReadSuccess;
}

void ZnXmlFedReader::applyDefaultSwitches() {
    if (!fedTarget_) return;
    pxsdetail::switches::forEach(pxsdetail::switches::kThinFdd1516, [this](const auto& entry) {
        (fedTarget_->*entry.set)(entry.fallback());
    });
}

ZnFedReadStatus ZnXmlFedReader::parseDataTypeTree(xmlNode* node) {
    return pxsdetail::fdd::walkDataTypeTables(*this, node, true, lastError_);
}

pxsdetail::fdd::WalkContext ZnXmlFedReader::walkContext() {
    return pxsdetail::fdd::WalkContext{lastError_, strictChecking(1), fedTarget_};
}

pxsdetail::fdd::WalkContext ZnXmlFedReader::checkOnlyContext() {
    return pxsdetail::fdd::WalkContext{lastError_, strictChecking(1), nullptr};
}

ZnFedReadStatus ZnXmlFedReader::parseTransportationsList(xmlNode* node) {
    pxsdetail::fdd::WalkContext ctx = checkOnlyContext();
    return pxsdetail::fdd::walkTransportations(ctx, node);
}

ZnFedReadStatus ZnXmlFedReader::parseNotesTree(xmlNode* node) {
    pxsdetail::fdd::WalkContext ctx = checkOnlyContext();
    return pxsdetail::fdd::walkNotes(ctx, node);
}

ZnFedReadStatus ZnXmlFedReader::parseTagsTree(xmlNode* node) {
    pxsdetail::fdd::WalkContext ctx = checkOnlyContext();
    return pxsdetail::fdd::walkTags(ctx, node);
}

ZnFedReadStatus ZnXmlFedReader::parseTimeTree(xmlNode* node) {
    pxsdetail::fdd::WalkContext ctx = checkOnlyContext();
    return pxsdetail::fdd::walkTime(ctx, node);
}

ZnFedReadStatus ZnXmlFedReader::parseSynchronizationsTree(xmlNode* node) {
    pxsdetail::fdd::WalkContext ctx = checkOnlyContext();
    return pxsdetail::fdd::walkSynchronizations(ctx, node);
}

ZnFedReadStatus ZnXmlFedReader::parseBasicDataTypesTree(xmlNode* first) {
    pxsdetail::fdd::WalkContext ctx = checkOnlyContext();
    return pxsdetail::fdd::walkBasicData(ctx, first);
}

ZnFedReadStatus ZnXmlFedReader::parseSimpleDataTypesTree(xmlNode* first) {
    pxsdetail::fdd::WalkContext ctx = checkOnlyContext();
    return pxsdetail::fdd::walkSimpleData(ctx, first);
}

ZnFedReadStatus ZnXmlFedReader::parseArrayDataTypesTree(xmlNode* first) {
    pxsdetail::fdd::WalkContext ctx = checkOnlyContext();
    return pxsdetail::fdd::walkArrayData(ctx, first);
}

ZnFedReadStatus ZnXmlFedReader::parseEnumeratedDataTypesTree(xmlNode* first) {
    pxsdetail::fdd::WalkContext ctx = checkOnlyContext();
    return pxsdetail::fdd::walkEnumeratedData(ctx, first);
}

ZnFedReadStatus ZnXmlFedReader::parseFixedRecordDataTypesTree(xmlNode* first) {
    pxsdetail::fdd::WalkContext ctx = checkOnlyContext();
    return pxsdetail::fdd::walkFixedRecordData(ctx, first);
}

ZnFedReadStatus ZnXmlFedReader::parseVariantRecordDataTypesTree(xmlNode* first) {
    pxsdetail::fdd::WalkContext ctx = checkOnlyContext();
    return pxsdetail::fdd::walkVariantRecordData(ctx, first);
}

void ZnXmlFedReader::appendNodeProperties(xmlNode* node, ZnString& text) const {
    pxsdetail::fdd::appendProperties(node, text);
}

void ZnXmlFedReader::appendNodeContent(xmlNode* node, ZnString& text) const {
    pxsdetail::fdd::appendContent(node, text);
}

bool ZnXmlFedReader::isBlankText(xmlNode* node) const { return pxsdetail::fdd::isBlankText(node); }

const char* ZnXmlFedReader::propertyByName(xmlNode* node, const char* name) const {
    return pxsdetail::fdd::property(node, name, scratch_);
}

bool ZnXmlFedReader::getPropertyByName(xmlNode* node, const char* name, ZnString& value) const {
    const char* text = propertyByName(node, name);
    value = text ? text : "";
    return text != nullptr;
}

ZnTransportType ZnXmlFedReader::getTransportType(xmlNode* node) const {
    return pxsdetail::fdd::transportCode(propertyByName(node, "transportation"));
}

bool ZnXmlFedReader::getOrderType(xmlNode* node, ZnOrderType& order) const {
    return pxsdetail::fdd::orderCode(propertyByName(node, "order"), &order);
}
