// fedReader13.cpp -- reads an HLA 1.3 FED file: the whole file into the
// reader's buffer, one PXS datum read from those bytes in a fresh
// environment, then a walk over the lists that calls the target in file
// order. The environment and the datum live only for the length of the
// read; the bytes stay with the reader until takeCurrFddData hands them out.

#include <pxs/fedReader13.h>

#include <pxs/fed13Walk.h>
#include <pxs/list.h>
#include <util/znException.h>
#include <util/znNotify.h>

ZnFedReader13::ZnFedReader13() { expectedFomType_ = ZnFomHla13; }

ZnFedReader13::~ZnFedReader13() = default;

ZnFedReadStatus ZnFedReader13::readFedFilePtr(FILE* file, ZnFedTarget* target, ZnFilename,
                                              unsigned int strictFlags, bool,
                                              bool useDefaultSwitches) {
    target_ = target;
    strictFlags_ = strictFlags;
    useDefaultSwitches_ = useDefaultSwitches;
    lastError_ = "";
    // Whatever escapes (a reader error, a malformed form, a target that
    // throws) ends this read only; the environment and the datum are freed
    // on the way out.
    try {
        if (target_) target_->setFomType(ZnFomHla13);
        if (!file) {
            lastError_ = "No Fed File Given";
            return ZnFedReadNotOpened;
        }
        clearFileBuffer();
        loadFileBuffer(file);
        if (pxsdetail::fed13::refuseNulBytes(fileBuffer_.get(), fileLength_, lastError_) != ZnFedReadSuccess)
            return ZnFedReadFailed;
        pxsdetail::fed13::FedDatum fed(fileBuffer_.get(), fileLength_);
        if (fed.empty()) {
            lastError_ = "Unable to find FED in fedfile";
            return ZnFedReadFailed;
        }
        return processFed(fed.datum());
    } catch (const ZnException& e) {
        ZnWarn << "FED file: " << e.initialException().message() << "\n";
    } catch (...) {
    }
    lastError_ = "Unexpected problem reading fed file";
    return ZnFedReadFailed;
}

pxsdetail::fed13::FedWalk<ZnFedReader13> ZnFedReader13::walk() {
    return pxsdetail::fed13::FedWalk<ZnFedReader13>(*this, lastError_, target_, &objectRootReplaced_, &interactionRootReplaced_);
}

ZnFedReadStatus ZnFedReader13::processFed(ZnlObjPtr fed) { return walk().fed(fed); }

ZnFedReadStatus ZnFedReader13::processFederation(ZnlObjPtr form) {
    return pxsdetail::fed13::requireHead(form, "Federation", "Symbol \"Federation\" not found", lastError_);
}

ZnFedReadStatus ZnFedReader13::processVersion(ZnlObjPtr form) {
    return pxsdetail::fed13::requireHead(form, "FEDversion", "Symbol \"FEDversion\" not found", lastError_);
}

ZnFedReadStatus ZnFedReader13::processSpaces(ZnlObjPtr form) { return walk().spaces(form); }

ZnFedReadStatus ZnFedReader13::processSpace(ZnlObjPtr form) { return walk().space(form); }

ZnFedReadStatus ZnFedReader13::processDimension(ZnlObjPtr form, const char* spaceName) {
    return pxsdetail::fed13::dimension(form, spaceName, target_, lastError_);
}

ZnFedReadStatus ZnFedReader13::processObjects(ZnlObjPtr form) { return walk().objects(form); }

ZnFedReadStatus ZnFedReader13::processObjClass(ZnlObjPtr form, const char* parentName) {
    return walk().objectClasses(form, parentName);
}

ZnFedReadStatus ZnFedReader13::processAttribute(ZnlObjPtr form, const char* className) {
    return pxsdetail::fed13::attribute(form, className, target_, lastError_);
}

ZnFedReadStatus ZnFedReader13::processInteractions(ZnlObjPtr form) { return walk().interactions(form); }

ZnFedReadStatus ZnFedReader13::processIntClass(ZnlObjPtr form, const char* parentName) {
    return walk().interactionClasses(form, parentName);
}

ZnFedReadStatus ZnFedReader13::processParameter(ZnlObjPtr form, const char* className) {
    return pxsdetail::fed13::parameter(form, className, target_, lastError_);
}
