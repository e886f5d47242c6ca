// fed13Walk.cpp -- reading a FED file as one PXS datum, the list access,
// vocabulary and member forms, and the walk over the whole datum that both
// HLA 1.3 readers share.

#include <pxs/fed13Walk.h>

#include <cstring>
#include <strings.h>

#include <pxs/atom.h>
#include <pxs/fedReader13.h>
#include <pxs/io.h>
#include <pxs/list.h>
#include <pxs/lstream.h>
#include <pxs/pxsFedReader.h>
#include <pxs/read.h>
#include <util/znNotify.h>

namespace pxsdetail::fed13 {

FedDatum::FedDatum(const char* bytes, size_t length) {
    ZnlStringInputStream in(bytes, static_cast<long>(length));
    datum_ = ZncRead(&in, ZnlObjPtr());
}

ZnFedReadStatus refuseNulBytes(const char* bytes, size_t length, ZnString& lastError) {
    const void* nul = bytes ? std::memchr(bytes, '\0', length) : nullptr;
    if (!nul) return ZnFedReadSuccess;
    const char* end = static_cast<const char*>(nul);
    unsigned long line = 1;
    for (const char* p = bytes; p < end; ++p)
        if (*p == '\n') ++line;
    lastError = "NUL byte in FED file at line ";
    lastError += ZnString(line);
    lastError += ": a name cannot contain one";
    return ZnFedReadFailed;
}

std::unique_ptr<FedDatum> readDatum(const char* bytes, size_t length, ZnString& lastError) {
    if (refuseNulBytes(bytes, length, lastError) != ZnFedReadSuccess) return nullptr;
    auto fed = std::make_unique<FedDatum>(bytes, length);
    if (!fed->empty()) return fed;
    lastError = "Unable to find FED in fedfile";
    return nullptr;
}

bool FedDatum::empty() const {
    const ZnlObj* d = datum_.get();
    return d && d->tag() == ZnlSymbolTag && d->pname() && std::strcmp(d->pname(), "eof") == 0;
}

bool headIs(const ZnlObj* form, const char* keyword) {
    if (!form || form->tag() != ZnlConsTag) return false;
    const ZnlObj* head = form->carRef().get();
    return head && head->tag() == ZnlSymbolTag && head->pname() &&
           std::strcmp(head->pname(), keyword) == 0;
}

ZnFedReadStatus requireHead(const ZnlObjPtr& form, const char* keyword, const char* message,
                            ZnString& lastError) {
    if (headIs(form, keyword)) return ZnFedReadSuccess;
    lastError = message;
    return ZnFedReadFailed;
}

const ZnlObj* element(const ZnlObjPtr& list, int index) {
    const ZnlObj* cell = list.get();
    for (; index > 0 && cell && cell->tag() == ZnlConsTag; --index) cell = cell->cdrRef().get();
    if (!cell || cell->tag() != ZnlConsTag) ZncHaltAndCatchFire("FED form is too short");
    return cell->carRef().get();
}

const char* textOf(const ZnlObj* value) {
    if (value && value->tag() == ZnlSymbolTag && value->pname()) return value->pname();
    if (value && value->tag() == ZnlStringTag) return value->string() ? value->string() : "";
    ZncHaltAndCatchFire("a FED name or value is neither a symbol nor a string (write numbers "
                        "in double quotes)");
}

bool transportCode(const char* text, ZnTransportType* code) {
    if (strcasecmp(text, "best_effort") == 0) {
        *code = ZnTransportBestEffort;
        return true;
    }
    if (strcasecmp(text, "reliable") == 0) {
        *code = ZnTransportReliable;
        return true;
    }
    return false;
}

bool orderCode(const char* text, ZnOrderType* code) {
    if (strcasecmp(text, "receive") == 0) {
        *code = ZnOrderReceive;
        return true;
    }
    if (strcasecmp(text, "timestamp") == 0) {
        *code = ZnOrderTimeStamp;
        return true;
    }
    return false;
}

ZnFedReadStatus dimension(const ZnlObjPtr& form, const char* spaceName, ZnFedTarget* target,
                          ZnString& lastError) {
    if (ZncLength(form) != 2) return ZnFedReadFailed;
    if (requireHead(form, "dimension", "Symbol \"dimension\" not found", lastError))
        return ZnFedReadFailed;
    const char* name = textOf(element(form, 1));
    ZnVerbose.printf("Dimension: %s\n", name);
    if (target) target->addSpaceDimension(spaceName, name);
    return ZnFedReadSuccess;
}

// An unknown transport only warns (the attribute is still usable); an
// unknown order stops the read, since delivery semantics would be guessed.
ZnFedReadStatus attribute(const ZnlObjPtr& form, const char* className, ZnFedTarget* target,
                          ZnString& lastError) {
    int length = ZncLength(form);
    if (length != 4 && length != 5) return ZnFedReadFailed;
    if (requireHead(form, "attribute", "Symbol \"attribute\" expected", lastError))
        return ZnFedReadFailed;
    const char* name = textOf(element(form, 1));
    const char* transportText = textOf(element(form, 2));
    const char* orderText = textOf(element(form, 3));
    const char* space = length == 5 ? textOf(element(form, 4)) : nullptr;
    ZnTransportType transport = ZnTransportNone;
    if (!transportCode(transportText, &transport))
        ZnWarn << "Invalid TransportType for Attribute: " << name;
    ZnOrderType order = ZnOrderNone;
    if (!orderCode(orderText, &order)) {
        lastError = "Invalid OrderType for Attribute: ";
        lastError += name;
        return ZnFedReadFailed;
    }
    if (space)
        ZnVerbose.printf("Attribute: %s, transport: %s, order: %s, space: %s\n", name,
                         transportText, orderText, space);
    else
        ZnVerbose.printf("Attribute: %s, transport: %s, order: %s\n", name, transportText,
                         orderText);
    if (target) target->addSpaceAttribute(className, name, transport, order, space);
    return ZnFedReadSuccess;
}

ZnFedReadStatus parameter(const ZnlObjPtr& form, const char* className, ZnFedTarget* target,
                          ZnString& lastError) {
    if (ZncLength(form) != 2) {
        lastError = "parameter must be followed by a single string";
        return ZnFedReadFailed;
    }
    if (requireHead(form, "parameter", "Symbol \"parameter\" expected", lastError))
        return ZnFedReadFailed;
    const char* name = textOf(element(form, 1));
    ZnVerbose.printf("Parameter: %s\n", name);
    if (target) target->addParameter(className, name);
    return ZnFedReadSuccess;
}

ZnFedReadStatus rootClass(const ZnlObjPtr& form, const char* keyword, const char* rootName,
                          const char* rootMessage, ZnString& lastError, ZnlObjPtr* root) {
    if (ZncLength(form) != 2) return ZnFedReadFailed;
    ZnString message = ZnString("Symbol \"") + keyword + "\" not found";
    if (requireHead(form, keyword, message.c_str(), lastError)) return ZnFedReadFailed;
    *root = form->cdrRef()->carRef();
    const ZnlObj* cls = root->get();
    if (!cls || cls->tag() != ZnlConsTag || ZncLength(*root) < 2 ||
        strcasecmp(textOf(element(*root, 1)), rootName) != 0) {
        lastError = rootMessage;
        return ZnFedReadFailed;
    }
    return ZnFedReadSuccess;
}

ZnFedReadStatus readInteractionHead(const ZnlObjPtr& form, InteractionHead& head,
                                    ZnString& lastError) {
    if (ZncLength(form) < 4) return ZnFedReadFailed;
    if (requireHead(form, "class", "Symbol \"class\" not found", lastError))
        return ZnFedReadFailed;
    head.name = textOf(element(form, 1));
    head.transportText = textOf(element(form, 2));
    head.orderText = textOf(element(form, 3));
    if (!transportCode(head.transportText, &head.transport)) {
        head.transport = ZnTransportNone;
        ZnWarn << "Invalid TransportType for Interaction: " << head.name;
    }
    if (!orderCode(head.orderText, &head.order)) {
        lastError = "Invalid OrderType for Interaction: ";
        lastError += head.name;
        return ZnFedReadFailed;
    }
    head.rest = form->cdrRef()->cdrRef()->cdrRef()->cdrRef().get();
    if (head.rest && head.rest->tag() == ZnlConsTag) {
        const ZnlObj* fifth = head.rest->carRef().get();
        if (fifth && fifth->tag() != ZnlConsTag && fifth->tag() != ZnlNilTag) {
            head.space = textOf(fifth);
            head.rest = head.rest->cdrRef().get();
        }
    }
    return ZnFedReadSuccess;
}

ZnString fullNameOf(const char* parentName, const char* name) {
    if (!parentName) return ZnString(name);
    ZnString full(parentName);
    full += ".";
    full += name;
    return full;
}

// ---------------------------------------------------------------------------
// The walk shared by both readers

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

template <class Reader>
ZnFedReadStatus FedWalk<Reader>::fed(const ZnlObjPtr& fed) {
    if (fed.isNull() || fed->tag() != ZnlConsTag) {
        ZnVerbose << "File is not a fed file\n";
        return ZnFedReadFailed;
    }
    if (ZncLength(fed) != 6) return ZnFedReadFailed;
    if (requireHead(fed, "FED", "Symbol \"FED\" not found", lastError_)) return ZnFedReadFailed;
    ZnFedReadStatus (Reader::*const steps[])(ZnlObjPtr) = {
        &Reader::processFederation, &Reader::processVersion, &Reader::processSpaces,
        &Reader::processObjects, &Reader::processInteractions};
    const ZnlObj* rest = fed->cdrRef().get();
    for (auto step : steps) {
        ZnFedReadStatus status = (reader_.*step)(rest->carRef());
        if (status != ZnFedReadSuccess) return status;
        rest = rest->cdrRef().get();
    }
    return ZnFedReadSuccess;
}

template <class Reader>
ZnFedReadStatus FedWalk<Reader>::spaces(const ZnlObjPtr& form) {
    if (requireHead(form, "spaces", "Symbol \"spaces\" not found", lastError_))
        return ZnFedReadFailed;
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (const ZnlObj* cell = form->cdrRef().get();
         status == ZnFedReadSuccess && cell && cell->tag() == ZnlConsTag;
         cell = cell->cdrRef().get())
        status = reader_.processSpace(cell->carRef());
    return status;
}

template <class Reader>
ZnFedReadStatus FedWalk<Reader>::space(const ZnlObjPtr& form) {
    if (requireHead(form, "space", "Symbol \"space\" not found", lastError_))
        return ZnFedReadFailed;
    ZnString name = textOf(element(form, 1));
    ZnVerbose.printf("Space: %s\n", name.c_str());
    if (target_) target_->addSpace(name.c_str());
    ZnFedReadStatus status = ZnFedReadSuccess;
    for (const ZnlObj* cell = form->cdrRef()->cdrRef().get();
         status == ZnFedReadSuccess && cell && cell->tag() == ZnlConsTag;
         cell = cell->cdrRef().get())
        status = reader_.processDimension(cell->carRef(), name.c_str());
    return status;
}

template <class Reader>
ZnFedReadStatus FedWalk<Reader>::objects(const ZnlObjPtr& form) {
    ZnlObjPtr root;
    if (rootClass(form, "objects", "objectroot", "\"ObjectRoot\" not found", lastError_, &root))
        return ZnFedReadFailed;
    return reader_.processObjClass(root, nullptr);
}

template <class Reader>
ZnFedReadStatus FedWalk<Reader>::interactions(const ZnlObjPtr& form) {
    ZnlObjPtr root;
    if (rootClass(form, "interactions", "interactionroot", "\"InteractionRoot\" not found",
                  lastError_, &root))
        return ZnFedReadFailed;
    return reader_.processIntClass(root, nullptr);
}

template <class Reader>
ZnFedReadStatus FedWalk<Reader>::objectClasses(const ZnlObjPtr& form, const char* parentName) {
    auto enter = [this](const ZnlObjPtr& cls, const char* parent, ClassEntry& entry) {
        return enterObjectClass(cls, parent, entry);
    };
    auto member = [this](const ZnlObjPtr& attr, const char* className) {
        return reader_.processAttribute(attr, className);
    };
    return walkClassTree(form, parentName, "attribute", lastError_, enter, member);
}

template <class Reader>
ZnFedReadStatus FedWalk<Reader>::interactionClasses(const ZnlObjPtr& form,
                                                    const char* parentName) {
    auto enter = [this](const ZnlObjPtr& cls, const char* parent, ClassEntry& entry) {
        return enterInteractionClass(cls, parent, entry);
    };
    auto member = [this](const ZnlObjPtr& param, const char* className) {
        return reader_.processParameter(param, className);
    };
    return walkClassTree(form, parentName, "parameter", lastError_, enter, member);
}

// Checks the class form, delivers the class and pushes its frame.
template <class Reader>
ZnFedReadStatus FedWalk<Reader>::enterObjectClass(const ZnlObjPtr& form, const char* parentName,
                                                  ClassEntry& entry) {
    if (ZncLength(form) < 2) return ZnFedReadFailed;
    if (requireHead(form, "class", "Symbol \"class\" not found", lastError_))
        return ZnFedReadFailed;
    const char* name = textOf(element(form, 1));
    ZnString fullName = fullNameOf(parentName, name);
    bool skip = objectRootReplaced_ && *objectRootReplaced_ && isManagementClass(name, fullName);
    ZnVerbose.printf("%sClass: %s, Base: %s \n", skip ? "Skip " : "", fullName.c_str(),
                     parentName ? parentName : "none");
    traceSkipped(skip);
    if (!skip && target_ && offerObjectClass(fullName, parentName, skip) != ZnFedReadSuccess)
        return ZnFedReadFailed;
    entry = ClassEntry{fullName, form->cdrRef()->cdrRef().get(), skip};
    return ZnFedReadSuccess;
}

// A refused root means the target holds an IEEE 1516 model: the class is
// offered again as its root, and from then on the walk delivers under it.
template <class Reader>
ZnFedReadStatus FedWalk<Reader>::offerObjectClass(ZnString& fullName, const char* parentName,
                                                  bool& skip) {
    if (target_->addObjectClass(fullName.c_str(), parentName) || !objectRootReplaced_)
        return ZnFedReadSuccess;
    if (!parentName) {
        fullName = "HLAobjectRoot";
        if (target_->addObjectClass(fullName.c_str(), nullptr)) {
            *objectRootReplaced_ = true;
            ZnVerbose << "Replacing ObjectRoot with HLAobjectRoot to match Federation FOM.\n";
            ZnVerbose << "Attributes and subclasses will be attempted with replacement root.\n";
            return ZnFedReadSuccess;
        }
    }
    if (!startsWithAny(fullName, kObjectManagementPrefixes)) return ZnFedReadFailed;
    skip = true;
    return ZnFedReadSuccess;
}

// Checks the class form and its transport and order, delivers the class and
// pushes its frame. A fifth element that is not a list names a routing space.
template <class Reader>
ZnFedReadStatus FedWalk<Reader>::enterInteractionClass(const ZnlObjPtr& form,
                                                       const char* parentName,
                                                       ClassEntry& entry) {
    InteractionHead head;
    if (readInteractionHead(form, head, lastError_)) return ZnFedReadFailed;
    ZnString fullName = fullNameOf(parentName, head.name);
    bool skip = interactionRootReplaced_ && *interactionRootReplaced_ &&
                isManagementClass(head.name, fullName);
    const char* base = parentName ? parentName : "none";
    if (head.space)
        ZnVerbose.printf("%sClass: %s, base: %s, transport: %s, order: %s, space: %s\n",
                         skip ? "Skip " : "", fullName.c_str(), base, head.transportText,
                         head.orderText, head.space);
    else
        ZnVerbose.printf("%sClass: %s, base: %s, transport: %s, order: %s\n", skip ? "Skip " : "",
                         fullName.c_str(), base, head.transportText, head.orderText);
    traceSkipped(skip);
    if (!skip && target_ && offerInteractionClass(fullName, parentName, head, skip))
        return ZnFedReadFailed;
    entry = ClassEntry{fullName, head.rest, skip};
    return ZnFedReadSuccess;
}

// As for object classes. A root that carries a routing space is retried once
// under the root the target's own format uses, without mapping later files.
template <class Reader>
ZnFedReadStatus FedWalk<Reader>::offerInteractionClass(ZnString& fullName, const char* parentName,
                                                       const InteractionHead& head, bool& skip) {
    if (target_->addInteractionClass(fullName.c_str(), parentName, head.transport, head.order,
                                     head.space) ||
        !interactionRootReplaced_)
        return ZnFedReadSuccess;
    if (head.space) {
        if (parentName) return ZnFedReadFailed;
        fullName = target_->fomType() == ZnFomHla13 ? "HLAinteractionRoot" : "InteractionRoot";
        return target_->addInteractionClass(fullName.c_str(), nullptr, head.transport, head.order,
                                            head.space)
                   ? ZnFedReadSuccess
                   : ZnFedReadFailed;
    }
    if (!parentName) {
        fullName = "HLAinteractionRoot";
        if (target_->addInteractionClass(fullName.c_str(), nullptr, head.transport, head.order,
                                         nullptr)) {
            *interactionRootReplaced_ = true;
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

// The two readers of this format; nothing else instantiates the walk.
template class FedWalk<ZnFedReader13>;
template class FedWalk<ZnPxsFedReader>;

}  // namespace pxsdetail::fed13
