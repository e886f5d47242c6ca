// atom.cpp -- making and interning symbols, and binding host functions to
// names. Interning reuses the key symbol of the nearest binding of a name, so
// reading a name twice in one frame chain yields one cell.

#include <pxs/atom.h>

#include <pxs/io.h>
#include <pxs/lenv.h>

namespace {

ZnlObjPtr internFunction(char* name, ZnlTagType kind, ZnlPrimitiveFn code,
                         const ZnlObjPtr& frame) {
    ZnlObjPtr symbol = ZncIntern(name, frame);
    ZnlObjPtr function(kind);
    function->setFcnPname(name);
    function->setFcnCode(code);
    ZncSet(symbol, function, frame);
    return symbol;
}

}  // namespace

ZnlObjPtr ZncMakeSymbol(char* name) {
    ZnlObjPtr symbol(ZnlSymbolTag);
    symbol->setPname(name);
    return symbol;
}

ZnlObjPtr ZncIntern(char* name, const ZnlObjPtr& frame) {
    if (!frame) return ZncMakeSymbol(name);
    if (frame->tag() != ZnlFrameTag) ZncHaltAndCatchFire("Non-frame to set1env");
    const char* key = name ? name : "";
    int bucket = ZnlHashTable::bucket_number(key);
    for (ZnlObj* f = frame.get(); f && f->tag() == ZnlFrameTag; f = f->frameParentRef().get())
        if (symbol_entry* entry = f->frameBindings()->find(key, bucket)) return entry->symbol;
    ZnlObjPtr symbol = ZncMakeSymbol(name);
    ZncSet(symbol, ZnlObjPtr::unbound(), frame);
    return symbol;
}

ZnlObjPtr ZncInternSpecialForm(char* name, ZnlPrimitiveFn code, const ZnlObjPtr& frame) {
    return internFunction(name, ZnlSpecialFormTag, code, frame);
}

ZnlObjPtr ZncInternCompiledC(char* name, ZnlPrimitiveFn code, const ZnlObjPtr& frame) {
    return internFunction(name, ZnlCompiledCTag, code, frame);
}

ZnlObjPtr ZncInternPtr(char* name, const ZnlObjPtr& value, const ZnlObjPtr& frame) {
    ZnlObjPtr symbol = ZncIntern(name, frame);
    ZncSet(symbol, value, frame);
    return symbol;
}
