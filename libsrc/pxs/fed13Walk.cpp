// fed13Walk.cpp -- reading a FED file as one PXS datum and the list access,
// vocabulary and member forms both HLA 1.3 readers share.

#include <pxs/fed13Walk.h>

#include <cstring>
#include <strings.h>

#include <pxs/atom.h>
#include <pxs/io.h>
#include <pxs/list.h>
#include <pxs/lstream.h>
#include <pxs/read.h>
#include <util/znNotify.h>

namespace fed13 {

FedDatum::FedDatum(const char* bytes, size_t length) {
    ZnlStringInputStream in(bytes, static_cast<long>(length));
    datum_ = ZncRead(&in, ZnlObjPtr());
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

}  // namespace fed13
