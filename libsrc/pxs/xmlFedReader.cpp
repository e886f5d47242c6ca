// xmlFedReader.cpp -- the thin IEEE 1516-2000 reader: the same walk as
// ZnFedReader1516 without the parts that depend on the target's answers.
// The file bytes and the document live only for the length of one read.

#include <pxs/xmlFedReader.h>

#include <cstring>

#include <pxs/fddDriver.h>
#include <pxs/fddWalk.h>
#include <pxs/fedSwitches.h>
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
    pxsdetail::fdd::prepareXmlParser();
}

// libxml2 stays set up: another thread may be parsing right now.
ZnXmlFedReader::~ZnXmlFedReader() = default;

ZnFedReadStatus ZnXmlFedReader::readFedFilePtr(FILE* file, ZnFedTarget* target,
                                               ZnFilename fileName, unsigned int strictFlags,
                                               bool validate, bool useDefaultSwitches) {
    if (!file) return ZnFedReadNotOpened;
    fedTarget_ = target;
    beginRead(strictFlags, useDefaultSwitches);
    ZnFedReadStatus status =
        pxsdetail::fdd::guardedRead(lastError_, "Unexpected problem reading fed file.", [&] {
            return pxsdetail::fdd::readTransientCopy(file, [&](const char* bytes, unsigned length) {
                return readDocument(bytes, length, fileName, validate);
            });
        });
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
    return pxsdetail::fdd::driveCheckedRoot(*this, root, kTopLevelTables, lastError_, [this] {
        if (useDefaultSwitches_) applyDefaultSwitches();
    });
}

// Classes are delivered as written: no root flags, the target's answers ignored.
#define PXS_WALK \
    pxsdetail::fdd::ClassWalk<ZnXmlFedReader>(*this, lastError_, fedTarget_, pxsdetail::fdd::RootFlags{})
PXS_FDD_CLASS_STEPS(ZnXmlFedReader, PXS_WALK)
PXS_FDD_DIMENSION_STEPS(ZnXmlFedReader, PXS_WALK)

ZnFedReadStatus ZnXmlFedReader::parseDimensionList(xmlNode* node) {
    return PXS_WALK.dimensionList(node);
}
#undef PXS_WALK

ZnFedReadStatus ZnXmlFedReader::parseDimension(xmlNode* node) {
    pxsdetail::fdd::WalkContext ctx{lastError_, strictChecking(1), fedTarget_};
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

// The record walks check without delivering: their target is null.
ZnFedReadStatus ZnXmlFedReader::parseTransportationsList(xmlNode* node) {
    pxsdetail::fdd::WalkContext ctx{lastError_, strictChecking(1), nullptr};
    return pxsdetail::fdd::walkTransportations(ctx, node);
}

PXS_FDD_RECORD_STEPS(ZnXmlFedReader, pxsdetail::fdd, nullptr, pxsdetail::fdd::DetailsSink())

PXS_FDD_NODE_STEPS(ZnXmlFedReader)
PXS_FDD_PROPERTY_STEPS(ZnXmlFedReader)
PXS_FDD_ATTRIBUTE_CODES(ZnXmlFedReader)
