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
        std::unique_ptr<fed13::FedDatum> fed;
        {
            char* raw = nullptr;
            unsigned int length = 0;
            readFileIntoBuffer(file, &raw, &length);
            std::unique_ptr<char[]> bytes(raw);  // only the datum outlives this scope
            fed = std::make_unique<fed13::FedDatum>(bytes.get(), length);
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

ZnFedReadStatus ZnPxsFedReader::processFed(ZnlObjPtr fed) {
    if (fed.isNull() || fed->tag() != ZnlConsTag) {
        ZnVerbose << "File is not a fed file\n";
        return ZnFedReadFailed;
    }
    if (ZncLength(fed) != 6) return ZnFedReadFailed;
    if (fed13::requireHead(fed, "FED", "Symbol \"FED\" not found", lastError_))
        return ZnFedReadFailed;
    ZnFedReadStatus (ZnPxsFedReader::*const steps[])(ZnlObjPtr) = {
        &ZnPxsFedReader::processFederation, &ZnPxsFedReader::processVersion,
        &ZnPxsFedReader::processSpaces, &ZnPxsFedReader::processObjects,
        &ZnPxsFedReader::processInteractions};
    const ZnlObj* rest = fed->cdrRef().get();
    for (auto step : steps) {
        ZnFedReadStatus status = (this->*step)(rest->carRef());
        if (status != ZnFedReadSuccess) return status;
        rest = rest->cdrRef().get();
    }
    return ZnFedReadSuccess;
}

ZnFedReadStatus ZnPxsFedReader::processFederation(ZnlObjPtr form) {
    return fed13::requireHead(form, "Federation", "Symbol \"Federation\" not found", lastError_);
}

ZnFedReadStatus ZnPxsFedReader::processVersion(ZnlObjPtr form) {
    return fed13::requireHead(form, "FEDversion", "Symbol \"FEDversion\" not found", lastError_);
}

ZnFedReadStatus ZnPxsFedReader::processSpaces(ZnlObjPtr form) {
    if (fed13::requireHead(form, "spaces", "Symbol \"spaces\" not found", lastError_))
        return ZnFedReadFailed;
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (const ZnlObj* cell = form->cdrRef().get();
         status == ZnFedReadSuccess && cell && cell->tag() == ZnlConsTag;
         cell = cell->cdrRef().get())
        status = processSpace(cell->carRef());
    return status;
}

ZnFedReadStatus ZnPxsFedReader::processSpace(ZnlObjPtr form) {
    if (fed13::requireHead(form, "space", "Symbol \"space\" not found", lastError_))
        return ZnFedReadFailed;
    ZnString name = fed13::textOf(fed13::element(form, 1));
    ZnVerbose.printf("Space: %s\n", name.c_str());
    if (fedTarget_) fedTarget_->addSpace(name.c_str());
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (const ZnlObj* cell = form->cdrRef()->cdrRef().get();
         status == ZnFedReadSuccess && cell && cell->tag() == ZnlConsTag;
         cell = cell->cdrRef().get())
        status = processDimension(cell->carRef(), name.c_str());
    return status;
}

ZnFedReadStatus ZnPxsFedReader::processDimension(ZnlObjPtr form, const char* spaceName) {
    return fed13::dimension(form, spaceName, fedTarget_, lastError_);
}

ZnFedReadStatus ZnPxsFedReader::processObjects(ZnlObjPtr form) {
    ZnlObjPtr root;
    if (fed13::rootClass(form, "objects", "objectroot", "\"ObjectRoot\" not found", lastError_,
                         &root))
        return ZnFedReadFailed;
    return processObjClass(root, nullptr);
}

ZnFedReadStatus ZnPxsFedReader::processObjClass(ZnlObjPtr form, const char* parentName) {
    auto enter = [this](const ZnlObjPtr& cls, const char* parent,
                        fed13::ClassEntry& entry) {
        return enterObjClass(cls, parent, entry);
    };
    auto member = [this](const ZnlObjPtr& attr, const char* className) {
        return processAttribute(attr, className);
    };
    return fed13::walkClassTree(form, parentName, "attribute", lastError_, enter, member);
}

ZnFedReadStatus ZnPxsFedReader::enterObjClass(const ZnlObjPtr& form, const char* parentName,
                                              fed13::ClassEntry& entry) {
    if (ZncLength(form) < 2) return ZnFedReadFailed;
    if (fed13::requireHead(form, "class", "Symbol \"class\" not found", lastError_))
        return ZnFedReadFailed;
    ZnString fullName = fed13::fullNameOf(parentName, fed13::textOf(fed13::element(form, 1)));
    ZnVerbose.printf("Class: %s, Base: %s \n", fullName.c_str(), parentName ? parentName : "none");
    if (fedTarget_) fedTarget_->addObjectClass(fullName.c_str(), parentName);
    entry = fed13::ClassEntry{fullName, form->cdrRef()->cdrRef().get(), false};
    return ZnFedReadSuccess;
}

ZnFedReadStatus ZnPxsFedReader::processAttribute(ZnlObjPtr form, const char* className) {
    return fed13::attribute(form, className, fedTarget_, lastError_);
}

ZnFedReadStatus ZnPxsFedReader::processInteractions(ZnlObjPtr form) {
    ZnlObjPtr root;
    if (fed13::rootClass(form, "interactions", "interactionroot", "\"InteractionRoot\" not found",
                         lastError_, &root))
        return ZnFedReadFailed;
    return processIntClass(root, nullptr);
}

ZnFedReadStatus ZnPxsFedReader::processIntClass(ZnlObjPtr form, const char* parentName) {
    auto enter = [this](const ZnlObjPtr& cls, const char* parent,
                        fed13::ClassEntry& entry) {
        return enterIntClass(cls, parent, entry);
    };
    auto member = [this](const ZnlObjPtr& param, const char* className) {
        return processParameter(param, className);
    };
    return fed13::walkClassTree(form, parentName, "parameter", lastError_, enter, member);
}

ZnFedReadStatus ZnPxsFedReader::enterIntClass(const ZnlObjPtr& form, const char* parentName,
                                              fed13::ClassEntry& entry) {
    fed13::InteractionHead head;
    if (fed13::readInteractionHead(form, head, lastError_)) return ZnFedReadFailed;
    ZnString fullName = fed13::fullNameOf(parentName, head.name);
    const char* base = parentName ? parentName : "none";
    if (head.space)
        ZnVerbose.printf("Class: %s, base: %s, transport: %s, order: %s, space: %s\n",
                         fullName.c_str(), base, head.transportText, head.orderText, head.space);
    else
        ZnVerbose.printf("Class: %s, base: %s, transport: %s, order: %s\n", fullName.c_str(), base,
                         head.transportText, head.orderText);
    if (fedTarget_)
        fedTarget_->addInteractionClass(fullName.c_str(), parentName, head.transport, head.order,
                                        head.space);
    entry = fed13::ClassEntry{fullName, head.rest, false};
    return ZnFedReadSuccess;
}

ZnFedReadStatus ZnPxsFedReader::processParameter(ZnlObjPtr form, const char* className) {
    return fed13::parameter(form, className, fedTarget_, lastError_);
}
