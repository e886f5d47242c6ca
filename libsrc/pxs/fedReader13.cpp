// fedReader13.cpp -- reads an HLA 1.3 FED file: the whole file into the
// reader's buffer, one PXS datum read from those bytes in a fresh
// environment, then a walk over the lists that calls the target in file
// order. The environment and the datum live only for the length of the
// read; the bytes stay with the reader until takeCurrFddData hands them out.

#include <pxs/fedReader13.h>

#include <cstring>
#include <strings.h>

#include <pxs/fed13Walk.h>
#include <pxs/list.h>
#include <util/znException.h>
#include <util/znNotify.h>

namespace {

// Management classes of either root that a target holding the other
// model's management classes may refuse.
const char* const kObjectManagementPrefixes[] = {"HLAobjectRoot.HLAmanager", "ObjectRoot.Manager",
                                                 "ObjectRoot.RTIprivate"};
const char* const kInteractionManagementPrefixes[] = {
    "HLAinteractionRoot.HLAmanager", "InteractionRoot.Manager", "InteractionRoot.RTIprivate"};

template <size_t N>
bool startsWithAny(const ZnString& text, const char* const (&prefixes)[N]) {
    for (const char* prefix : prefixes)
        if (std::strncmp(text.c_str(), prefix, std::strlen(prefix)) == 0) return true;
    return false;
}

// Once the roots are mapped onto an IEEE 1516 model, the 1.3 management
// classes would duplicate the standard ones: they are left out.
bool isManagementClass(const char* name, const ZnString& fullName) {
    return strcasecmp(name, "RTIprivate") == 0 || std::strstr(fullName.c_str(), "Manager");
}

void traceSkipped(bool skip) {
    if (skip) ZnVerbose << "All subclasses and parameters will also be skipped.\n";
}

}  // namespace

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
        fed13::FedDatum fed(fileBuffer_.get(), fileLength_);
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

ZnFedReadStatus ZnFedReader13::processFed(ZnlObjPtr fed) {
    if (fed.isNull() || fed->tag() != ZnlConsTag) {
        ZnVerbose << "File is not a fed file\n";
        return ZnFedReadFailed;
    }
    if (ZncLength(fed) != 6) return ZnFedReadFailed;
    if (fed13::requireHead(fed, "FED", "Symbol \"FED\" not found", lastError_))
        return ZnFedReadFailed;
    ZnFedReadStatus (ZnFedReader13::*const steps[])(ZnlObjPtr) = {
        &ZnFedReader13::processFederation, &ZnFedReader13::processVersion,
        &ZnFedReader13::processSpaces, &ZnFedReader13::processObjects,
        &ZnFedReader13::processInteractions};
    const ZnlObj* rest = fed->cdrRef().get();
    for (auto step : steps) {
        ZnFedReadStatus status = (this->*step)(rest->carRef());
        if (status != ZnFedReadSuccess) return status;
        rest = rest->cdrRef().get();
    }
    return ZnFedReadSuccess;
}

ZnFedReadStatus ZnFedReader13::processFederation(ZnlObjPtr form) {
    return fed13::requireHead(form, "Federation", "Symbol \"Federation\" not found", lastError_);
}

ZnFedReadStatus ZnFedReader13::processVersion(ZnlObjPtr form) {
    return fed13::requireHead(form, "FEDversion", "Symbol \"FEDversion\" not found", lastError_);
}

ZnFedReadStatus ZnFedReader13::processSpaces(ZnlObjPtr form) {
    if (fed13::requireHead(form, "spaces", "Symbol \"spaces\" not found", lastError_))
        return ZnFedReadFailed;
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (const ZnlObj* cell = form->cdrRef().get();
         status == ZnFedReadSuccess && cell && cell->tag() == ZnlConsTag;
         cell = cell->cdrRef().get())
        status = processSpace(cell->carRef());
    return status;
}

ZnFedReadStatus ZnFedReader13::processSpace(ZnlObjPtr form) {
    if (fed13::requireHead(form, "space", "Symbol \"space\" not found", lastError_))
        return ZnFedReadFailed;
    ZnString name = fed13::textOf(fed13::element(form, 1));
    ZnVerbose.printf("Space: %s\n", name.c_str());
    if (target_) target_->addSpace(name.c_str());
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (const ZnlObj* cell = form->cdrRef()->cdrRef().get();
         status == ZnFedReadSuccess && cell && cell->tag() == ZnlConsTag;
         cell = cell->cdrRef().get())
        status = processDimension(cell->carRef(), name.c_str());
    return status;
}

ZnFedReadStatus ZnFedReader13::processDimension(ZnlObjPtr form, const char* spaceName) {
    return fed13::dimension(form, spaceName, target_, lastError_);
}

ZnFedReadStatus ZnFedReader13::processObjects(ZnlObjPtr form) {
    ZnlObjPtr root;
    if (fed13::rootClass(form, "objects", "objectroot", "\"ObjectRoot\" not found", lastError_,
                         &root))
        return ZnFedReadFailed;
    return processObjClass(root, nullptr);
}

ZnFedReadStatus ZnFedReader13::processObjClass(ZnlObjPtr form, const char* parentName) {
    auto enter = [this](const ZnlObjPtr& cls, const char* parent,
                        fed13::ClassEntry& entry) {
        return enterObjClass(cls, parent, entry);
    };
    auto member = [this](const ZnlObjPtr& attr, const char* className) {
        return processAttribute(attr, className);
    };
    return fed13::walkClassTree(form, parentName, "attribute", lastError_, enter, member);
}

// Checks the class form, delivers the class and pushes its frame.
ZnFedReadStatus ZnFedReader13::enterObjClass(const ZnlObjPtr& form, const char* parentName,
                                             fed13::ClassEntry& entry) {
    if (ZncLength(form) < 2) return ZnFedReadFailed;
    if (fed13::requireHead(form, "class", "Symbol \"class\" not found", lastError_))
        return ZnFedReadFailed;
    const char* name = fed13::textOf(fed13::element(form, 1));
    ZnString fullName = fed13::fullNameOf(parentName, name);
    bool skip = objectRootReplaced_ && isManagementClass(name, fullName);
    ZnVerbose.printf("%sClass: %s, Base: %s \n", skip ? "Skip " : "", fullName.c_str(),
                     parentName ? parentName : "none");
    traceSkipped(skip);
    if (!skip && target_ && offerObjectClass(fullName, parentName, skip) != ZnFedReadSuccess)
        return ZnFedReadFailed;
    entry = fed13::ClassEntry{fullName, form->cdrRef()->cdrRef().get(), skip};
    return ZnFedReadSuccess;
}

// A refused root means the target holds an IEEE 1516 model: the class is
// offered again as its root, and from then on the walk delivers under it.
ZnFedReadStatus ZnFedReader13::offerObjectClass(ZnString& fullName, const char* parentName,
                                                bool& skip) {
    if (target_->addObjectClass(fullName.c_str(), parentName)) return ZnFedReadSuccess;
    if (!parentName) {
        fullName = "HLAobjectRoot";
        if (target_->addObjectClass(fullName.c_str(), nullptr)) {
            objectRootReplaced_ = true;
            ZnVerbose << "Replacing ObjectRoot with HLAobjectRoot to match Federation FOM.\n";
            ZnVerbose << "Attributes and subclasses will be attempted with replacement root.\n";
            return ZnFedReadSuccess;
        }
    }
    if (!startsWithAny(fullName, kObjectManagementPrefixes)) return ZnFedReadFailed;
    skip = true;
    return ZnFedReadSuccess;
}

ZnFedReadStatus ZnFedReader13::processAttribute(ZnlObjPtr form, const char* className) {
    return fed13::attribute(form, className, target_, lastError_);
}

ZnFedReadStatus ZnFedReader13::processInteractions(ZnlObjPtr form) {
    ZnlObjPtr root;
    if (fed13::rootClass(form, "interactions", "interactionroot", "\"InteractionRoot\" not found",
                         lastError_, &root))
        return ZnFedReadFailed;
    return processIntClass(root, nullptr);
}

ZnFedReadStatus ZnFedReader13::processIntClass(ZnlObjPtr form, const char* parentName) {
    auto enter = [this](const ZnlObjPtr& cls, const char* parent,
                        fed13::ClassEntry& entry) {
        return enterIntClass(cls, parent, entry);
    };
    auto member = [this](const ZnlObjPtr& param, const char* className) {
        return processParameter(param, className);
    };
    return fed13::walkClassTree(form, parentName, "parameter", lastError_, enter, member);
}

// Checks the class form and its transport and order, delivers the class and
// pushes its frame. A fifth element that is not a list names a routing space.
ZnFedReadStatus ZnFedReader13::enterIntClass(const ZnlObjPtr& form, const char* parentName,
                                             fed13::ClassEntry& entry) {
    fed13::InteractionHead head;
    if (fed13::readInteractionHead(form, head, lastError_)) return ZnFedReadFailed;
    ZnString fullName = fed13::fullNameOf(parentName, head.name);
    bool skip = interactionRootReplaced_ && isManagementClass(head.name, fullName);
    const char* base = parentName ? parentName : "none";
    if (head.space)
        ZnVerbose.printf("%sClass: %s, base: %s, transport: %s, order: %s, space: %s\n",
                         skip ? "Skip " : "", fullName.c_str(), base, head.transportText,
                         head.orderText, head.space);
    else
        ZnVerbose.printf("%sClass: %s, base: %s, transport: %s, order: %s\n", skip ? "Skip " : "",
                         fullName.c_str(), base, head.transportText, head.orderText);
    traceSkipped(skip);
    if (!skip && target_ &&
        offerInteractionClass(fullName, parentName, head.transport, head.order, head.space,
                              skip) != ZnFedReadSuccess)
        return ZnFedReadFailed;
    entry = fed13::ClassEntry{fullName, head.rest, skip};
    return ZnFedReadSuccess;
}

// As for object classes. A root that carries a routing space is retried once
// under the root the target's own format uses, without mapping later files.
ZnFedReadStatus ZnFedReader13::offerInteractionClass(ZnString& fullName, const char* parentName,
                                                     ZnTransportType transport,
                                                     ZnOrderType order, const char* space,
                                                     bool& skip) {
    if (target_->addInteractionClass(fullName.c_str(), parentName, transport, order, space))
        return ZnFedReadSuccess;
    if (space) {
        if (parentName) return ZnFedReadFailed;
        fullName = target_->fomType() == ZnFomHla13 ? "HLAinteractionRoot" : "InteractionRoot";
        return target_->addInteractionClass(fullName.c_str(), nullptr, transport, order, space)
                   ? ZnFedReadSuccess
                   : ZnFedReadFailed;
    }
    if (!parentName) {
        fullName = "HLAinteractionRoot";
        if (target_->addInteractionClass(fullName.c_str(), nullptr, transport, order, nullptr)) {
            interactionRootReplaced_ = true;
            ZnVerbose << "Replacing InteractionRoot with HLAinteractionRoot to match Federation "
                         "FOM.\n";
            ZnVerbose << "Parameters and subclasses will be attempted with replacement root.\n";
            return ZnFedReadSuccess;
        }
    }
    if (!startsWithAny(fullName, kInteractionManagementPrefixes)) return ZnFedReadFailed;
    skip = true;
    return ZnFedReadSuccess;
}

ZnFedReadStatus ZnFedReader13::processParameter(ZnlObjPtr form, const char* className) {
    return fed13::parameter(form, className, target_, lastError_);
}
