// pxsFedReader.cpp -- the plain HLA 1.3 FED reader: the file read into a
// temporary buffer, one PXS datum read from it in a fresh environment, and
// the same walk as ZnFedReader13 with every class offered as written.

#include <pxs/pxsFedReader.h>

#include <cstring>
#include <memory>

#include <pxs/fed13Walk.h>
#include <pxs/list.h>
#include <util/znException.h>
#include <util/znNotify.h>

ZnPxsFedReader::ZnPxsFedReader() { expectedFomType_ = ZnFomHla13; }

ZnPxsFedReader::~ZnPxsFedReader() = default;

ZnFedReadStatus ZnPxsFedReader::readFedFilePtr(FILE* file, ZnFedTarget* target, ZnFilename,
                                               unsigned int strictFlags, bool,
                                               bool useDefaultSwitches) {
    fedTarget_ = target;
    strictFlags_ = strictFlags;
    useDefaultSwitches_ = useDefaultSwitches;
    lastError_ = "";
    if (!file) {
        lastError_ = "No Fed File Given";
        return ZnFedReadNotOpened;
    }
    try {
        std::unique_ptr<pxsdetail::fed13::FedDatum> fed;
        {
            char* raw = nullptr;
            unsigned int length = 0;
            readFileIntoBuffer(file, &raw, &length);
            std::unique_ptr<char[]> bytes(raw);  // only the datum outlives this scope
            if (pxsdetail::fed13::refuseNulBytes(bytes.get(), length, lastError_) != ZnFedReadSuccess)
                return ZnFedReadFailed;
            fed = std::make_unique<pxsdetail::fed13::FedDatum>(bytes.get(), length);
        }
        if (fed->empty()) {
            lastError_ = "Unable to find FED in fedfile";
            return ZnFedReadFailed;
        }
        return processFed(fed->datum());
    } catch (const ZnException& e) {
        ZnWarn << "FED file: " << e.initialException().message() << "\n";
    } catch (...) {
    }
    lastError_ = "Unexpected problem reading fed file";
    return ZnFedReadFailed;
}

pxsdetail::fed13::FedWalk<ZnPxsFedReader> ZnPxsFedReader::walk() {
    return pxsdetail::fed13::FedWalk<ZnPxsFedReader>(*this, lastError_, fedTarget_, nullptr, nullptr);
}

ZnFedReadStatus ZnPxsFedReader::processFed(ZnlObjPtr fed) { return walk().fed(fed); }

ZnFedReadStatus ZnPxsFedReader::processFederation(ZnlObjPtr form) {
    return pxsdetail::fed13::requireHead(form, "Federation", "Symbol \"Federation\" not found", lastError_);
}

ZnFedReadStatus ZnPxsFedReader::processVersion(ZnlObjPtr form) {
    return pxsdetail::fed13::requireHead(form, "FEDversion", "Symbol \"FEDversion\" not found", lastError_);
}

ZnFedReadStatus ZnPxsFedReader::processSpaces(ZnlObjPtr form) { return walk().spaces(form); }

ZnFedReadStatus ZnPxsFedReader::processSpace(ZnlObjPtr form) { return walk().space(form); }

ZnFedReadStatus ZnPxsFedReader::processDimension(ZnlObjPtr form, const char* spaceName) {
    return pxsdetail::fed13::dimension(form, spaceName, fedTarget_, lastError_);
}

ZnFedReadStatus ZnPxsFedReader::processObjects(ZnlObjPtr form) { return walk().objects(form); }

ZnFedReadStatus ZnPxsFedReader::processObjClass(ZnlObjPtr form, const char* parentName) {
    return walk().objectClasses(form, parentName);
}

ZnFedReadStatus ZnPxsFedReader::processAttribute(ZnlObjPtr form, const char* className) {
    return pxsdetail::fed13::attribute(form, className, fedTarget_, lastError_);
}

ZnFedReadStatus ZnPxsFedReader::processInteractions(ZnlObjPtr form) { return walk().interactions(form); }

ZnFedReadStatus ZnPxsFedReader::processIntClass(ZnlObjPtr form, const char* parentName) {
    return walk().interactionClasses(form, parentName);
}

ZnFedReadStatus ZnPxsFedReader::processParameter(ZnlObjPtr form, const char* className) {
    return pxsdetail::fed13::parameter(form, className, fedTarget_, lastError_);
}
