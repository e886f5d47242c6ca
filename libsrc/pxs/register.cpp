// register.cpp -- registration records of host variables, the copying
// between host memory and PXS with its conversions, and `print-registered`.
// Conversions wrap or truncate as the host type dictates; nothing here
// range-checks, but nothing relies on an undefined conversion either.

#include <pxs/register.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include <pxs/atom.h>
#include <pxs/io.h>
#include <pxs/interpreterInternal.h>
#include <pxs/lenv.h>
#include <util/znNotify.h>
#include <util/znString.h>

namespace {

using pxsdetail::freeText;

// A text for eval2str, sized for whatever the format produces.
template <typename... Args>
char* formatText(const char* format, Args... args) {
    int n = std::snprintf(nullptr, 0, format, args...);
    if (n < 0) n = 0;
    char* text = new char[static_cast<size_t>(n) + 1];
    std::snprintf(text, static_cast<size_t>(n) + 1, format, args...);
    return text;
}

// The binding of `name` in `frame` itself; parents are never searched.
symbol_entry* ownBinding(const char* name, const ZnlObjPtr& frame) {
    if (!frame || frame->tag() != ZnlFrameTag) return nullptr;
    symbol_entry* entry = frame->frameBindings()->find(name ? name : "");
    return entry && entry->value ? entry : nullptr;
}

// The value bound to `name` when it has `kind`; otherwise warns (the wrong
// kind, the unbound marker included) and returns null. No binding at all
// is silent.
const ZnlObj* boundOfKind(const char* name, const ZnlObjPtr& frame, bool (*accepted)(const ZnlObj*),
                          const char* expectation) {
    symbol_entry* entry = ownBinding(name, frame);
    if (!entry) return nullptr;
    if (entry->value != ZnlObjPtr::unbound() && accepted(entry->value.get()))
        return entry->value.get();
    if (ZnNotifyLevel > 0) {
        std::string message = std::string("Variable ") + name + expectation;
        std::fflush(stdout);
        std::fprintf(stderr, "Lisp Warning: %s", message.c_str());
        ZncErrPrint(entry->value);
        std::fputc('\n', stderr);
    }
    return nullptr;
}

bool isNumber(const ZnlObj* x) {
    return x->tag() == ZnlFixnumTag || x->tag() == ZnlFlonumTag;
}
bool isFixnum(const ZnlObj* x) {
    return x->tag() == ZnlFixnumTag;
}
bool isString(const ZnlObj* x) {
    return x->tag() == ZnlStringTag;
}

// The binding's current value when it holds a real value of `kind`.
const ZnlObj* currentOfKind(const ZnlObjPtr& symbol, const ZnlObjPtr& frame, ZnlTagType kind) {
    if (!symbol || symbol->tag() != ZnlSymbolTag) return nullptr;
    symbol_entry* entry = ownBinding(symbol->pname(), frame);
    if (!entry || entry->value == ZnlObjPtr::unbound() || entry->value->tag() != kind)
        return nullptr;
    return entry->value.get();
}

// The low 32 bits of a wider integer, read as a signed int.
int low32(std::uint64_t bits) {
    return static_cast<int>(static_cast<std::uint32_t>(bits));
}

// Narrowing a double beyond the float range is undefined behaviour; such a
// value becomes the infinity of its sign instead.
float narrowToFloat(double value) {
    if (std::isfinite(value) && std::fabs(value) > FLT_MAX) return value > 0 ? INFINITY : -INFINITY;
    return static_cast<float>(value);
}

// Every empty host text points here rather than at a string literal, which
// must not be written through a char*.
char emptyText[1] = "";

}  // namespace

ZncParam::ZncParam(const char* paramName, const ZnlObjPtr& paramFrame)
    : name(pxsdetail::copyText(paramName ? paramName : "")), frame(paramFrame) {}

ZncParam::~ZncParam() {
    freeText(name);
}

ZnlObjPtr ZncLispDouble::newValObj() {
    return ZnlObjPtr(0.0);
}
ZnlObjPtr ZncLispInt::newValObj() {
    return ZnlObjPtr(0);
}
ZnlObjPtr ZncLispString::newValObj() {
    return ZnlObjPtr("");
}

int ZncLispDouble::getLisp(double* out) {
    return ZncSetIfBoundp(name, out, frame);
}
int ZncLispInt::getLisp(int* out) {
    return ZncSetIfBoundp(name, out, frame);
}
int ZncLispString::getLisp(char** out) {
    return ZncSetIfBoundp(name, out, frame);
}

void ZncLispDouble::setLisp(double value) {
    ZncResetLisp(symbol, value, frame);
}
void ZncLispInt::setLisp(int value) {
    ZncResetLisp(symbol, value, frame);
}
void ZncLispString::setLisp(const char* value) {
    ZncResetLisp(symbol, value, frame);
}

char* ZncLispDouble::eval2str() {
    double value = 0.0;
    if (!getLisp(&value)) value = 0.0;
    return formatText("%f", value);
}

char* ZncLispInt::eval2str() {
    int value = 0;
    if (!getLisp(&value)) value = 0;
    return formatText("%d", value);
}

char* ZncLispString::eval2str() {
    char* value = nullptr;
    if (!getLisp(&value)) value = emptyText;
    return formatText("\"%s\"", value);
}

void ZncUserFloat::c2lisp() {
    setLisp(static_cast<double>(*address_));
}
void ZncUserDouble::c2lisp() {
    setLisp(*address_);
}
void ZncUserInt::c2lisp() {
    setLisp(*address_);
}
void ZncUserUlong::c2lisp() {
    setLisp(low32(*address_));
}
void ZncUserLong::c2lisp() {
    setLisp(low32(static_cast<std::uint64_t>(*address_)));
}
void ZncUserUint::c2lisp() {
    setLisp(low32(*address_));
}
void ZncUserUshort::c2lisp() {
    setLisp(static_cast<int>(*address_));
}
void ZncUserShort::c2lisp() {
    setLisp(static_cast<int>(*address_));
}
// A null host text has nothing to show; PXS sees it as "".
void ZncUserString::c2lisp() {
    setLisp(*address_ ? *address_ : "");
}
void ZncUserZnString::c2lisp() {
    setLisp(address_->c_str());
}

void ZncUserFloat::lisp2c() {
    double value;
    if (getLisp(&value)) *address_ = narrowToFloat(value);
}

void ZncUserDouble::lisp2c() {
    double value;
    if (getLisp(&value)) *address_ = value;
}

void ZncUserInt::lisp2c() {
    int value;
    if (getLisp(&value)) *address_ = value;
}

// Sign-extended: -1 becomes the largest unsigned long.
void ZncUserUlong::lisp2c() {
    int value;
    if (getLisp(&value)) *address_ = static_cast<unsigned long>(static_cast<long>(value));
}

void ZncUserLong::lisp2c() {
    int value;
    if (getLisp(&value)) *address_ = value;
}

void ZncUserUint::lisp2c() {
    int value;
    if (getLisp(&value)) *address_ = static_cast<unsigned int>(value);
}

void ZncUserUshort::lisp2c() {
    int value;
    if (getLisp(&value)) *address_ = static_cast<unsigned short>(value & 0xFFFF);
}

void ZncUserShort::lisp2c() {
    int value;
    if (getLisp(&value))
        *address_ = static_cast<short>(static_cast<unsigned short>(value & 0xFFFF));
}

// The host pointer refers to the PXS object's own text: valid only while
// that object stays bound.
void ZncUserString::lisp2c() {
    char* value;
    if (getLisp(&value)) *address_ = value;
}

void ZncUserZnString::lisp2c() {
    char* value;
    if (getLisp(&value)) *address_ = value;
}

// The record is held by a guard until the frame takes it, so an error on
// the way (a non-frame, say) does not leak it.
int ZncRegister(ZncParam* param, const ZnlObjPtr& frame, ZnList<ZncParam>*) {
    std::unique_ptr<ZncParam> guard(param);
    ZnlObjPtr symbol = ZncIntern(param->name, frame);
    if (ZncBoundp(symbol, frame)) {
        ZnWarn.printf("ZncRegister: %s is already bound\n", param->name);
        return 0;
    }
    param->symbol = symbol;
    param->c2lisp();
    if (!frame->registerVal(param)) return 0;
    guard.release();
    return 1;
}

int ZncRegister(const char* name, float* address, const ZnlObjPtr& frame, ZnList<ZncParam>* list) {
    return ZncRegister(new ZncUserFloat(name, address, frame), frame, list);
}

int ZncRegister(const char* name, double* address, const ZnlObjPtr& frame, ZnList<ZncParam>* list) {
    return ZncRegister(new ZncUserDouble(name, address, frame), frame, list);
}

int ZncRegister(const char* name, int* address, const ZnlObjPtr& frame, ZnList<ZncParam>* list) {
    return ZncRegister(new ZncUserInt(name, address, frame), frame, list);
}

int ZncRegister(const char* name, unsigned long* address, const ZnlObjPtr& frame,
                ZnList<ZncParam>* list) {
    return ZncRegister(new ZncUserUlong(name, address, frame), frame, list);
}

int ZncRegister(const char* name, long* address, const ZnlObjPtr& frame, ZnList<ZncParam>* list) {
    return ZncRegister(new ZncUserLong(name, address, frame), frame, list);
}

int ZncRegister(const char* name, unsigned int* address, const ZnlObjPtr& frame,
                ZnList<ZncParam>* list) {
    return ZncRegister(new ZncUserUint(name, address, frame), frame, list);
}

int ZncRegister(const char* name, unsigned short* address, const ZnlObjPtr& frame,
                ZnList<ZncParam>* list) {
    return ZncRegister(new ZncUserUshort(name, address, frame), frame, list);
}

int ZncRegister(const char* name, short* address, const ZnlObjPtr& frame, ZnList<ZncParam>* list) {
    return ZncRegister(new ZncUserShort(name, address, frame), frame, list);
}

int ZncRegister(const char* name, char** address, const ZnlObjPtr& frame, ZnList<ZncParam>* list) {
    return ZncRegister(new ZncUserString(name, address, frame), frame, list);
}

int ZncRegister(const char* name, ZnString* address, const ZnlObjPtr& frame,
                ZnList<ZncParam>* list) {
    return ZncRegister(new ZncUserZnString(name, address, frame), frame, list);
}

void ZncCToLisp(ZnList<ZncParam>* list) {
    if (!list) return;
    for (ZnListItem<ZncParam>* item = list->first(); item; item = item->next())
        item->data()->c2lisp();
}

void ZncLispToC(ZnList<ZncParam>* list) {
    if (!list) return;
    for (ZnListItem<ZncParam>* item = list->first(); item; item = item->next())
        item->data()->lisp2c();
}

void ZncEmptyParamList(ZnList<ZncParam>* list) {
    if (!list) return;
    while (ZnListItem<ZncParam>* item = list->first()) delete list->remove(item);
}

int ZncSetIfBoundp(char* name, double* out, const ZnlObjPtr& frame) {
    const ZnlObj* value = boundOfKind(name, frame, isNumber, " should be a float, not ");
    if (!value) return 0;
    *out = isFixnum(value) ? static_cast<double>(value->fixnum()) : value->flonum();
    return 1;
}

int ZncSetIfBoundp(char* name, int* out, const ZnlObjPtr& frame) {
    const ZnlObj* value = boundOfKind(name, frame, isFixnum, " should be an integer, not ");
    if (!value) return 0;
    *out = value->fixnum();
    return 1;
}

int ZncSetIfBoundp(char* name, char** out, const ZnlObjPtr& frame) {
    const ZnlObj* value = boundOfKind(name, frame, isString, " should be a string, not ");
    if (!value) return 0;
    *out = value->string() ? value->string() : emptyText;
    return 1;
}

void ZncResetLisp(const ZnlObjPtr& symbol, double value, const ZnlObjPtr& frame) {
    const ZnlObj* current = currentOfKind(symbol, frame, ZnlFlonumTag);
    if (current && current->flonum() == value) return;
    ZncSet(symbol, ZnlObjPtr(value), frame);
}

void ZncResetLisp(const ZnlObjPtr& symbol, int value, const ZnlObjPtr& frame) {
    const ZnlObj* current = currentOfKind(symbol, frame, ZnlFixnumTag);
    if (current && current->fixnum() == value) return;
    ZncSet(symbol, ZnlObjPtr(value), frame);
}

void ZncResetLisp(const ZnlObjPtr& symbol, const char* value, const ZnlObjPtr& frame) {
    if (!value) value = "";
    const ZnlObj* current = currentOfKind(symbol, frame, ZnlStringTag);
    if (current && std::strcmp(current->string() ? current->string() : "", value) == 0) return;
    ZncSet(symbol, ZnlObjPtr(value), frame);
}

ZnlObjPtr ZnlPrintRegistered(const ZnlObjPtr&, const ZnlObjPtr& frame) {
    ZnList<ZncParam>* list = frame ? frame->params() : nullptr;
    if (!list) return ZnlObjPtr::nil();
    for (ZnListItem<ZncParam>* item = list->first(); item; item = item->next()) {
        std::unique_ptr<char[]> text(item->data()->eval2str());
        ZnInfo.printf("(setqb %s %s)\n", item->data()->name, text.get());
    }
    return ZnlObjPtr::nil();
}
