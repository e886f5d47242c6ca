// atom.h -- symbols: making them, and interning them along a frame chain so
// that a name read twice yields the same cell.
//
//   ZnlObjPtr s = ZncIntern("width", frame);   // same cell on every call
//   ZncInternCompiledC("car", ZnlLCar, frame);  // binds a primitive

#ifndef PXS_ATOM_H
#define PXS_ATOM_H

#include <pxs/memory.h>

// A new symbol holding a copy of `name`, bound nowhere.
ZnlObjPtr ZncMakeSymbol(char* name);
// The symbol for `name` as seen from `frame`: the key of the nearest binding
// of the name along the chain, else a new symbol bound in `frame` itself to
// the unbound marker. An empty frame yields a new unbound symbol.
ZnlObjPtr ZncIntern(char* name, const ZnlObjPtr& frame);
// Interns `name` in `frame` and binds it to a new special-form (kind 5) or
// compiled-function (kind 6) cell wrapping `code`. Returns the symbol.
ZnlObjPtr ZncInternSpecialForm(char* name, ZnlPrimitiveFn code, const ZnlObjPtr& frame);
ZnlObjPtr ZncInternCompiledC(char* name, ZnlPrimitiveFn code, const ZnlObjPtr& frame);
// Interns `name` in `frame` and binds it to `value`. Returns the symbol.
ZnlObjPtr ZncInternPtr(char* name, const ZnlObjPtr& value, const ZnlObjPtr& frame);

// The same for constant names. None of these functions writes through its
// name argument (the text is copied), so dropping the const is safe.
inline ZnlObjPtr ZncMakeSymbol(const char* name) { return ZncMakeSymbol(const_cast<char*>(name)); }
inline ZnlObjPtr ZncIntern(const char* name, const ZnlObjPtr& frame) {
    return ZncIntern(const_cast<char*>(name), frame);
}
inline ZnlObjPtr ZncInternSpecialForm(const char* name, ZnlPrimitiveFn code,
                                      const ZnlObjPtr& frame) {
    return ZncInternSpecialForm(const_cast<char*>(name), code, frame);
}
inline ZnlObjPtr ZncInternCompiledC(const char* name, ZnlPrimitiveFn code,
                                    const ZnlObjPtr& frame) {
    return ZncInternCompiledC(const_cast<char*>(name), code, frame);
}
inline ZnlObjPtr ZncInternPtr(const char* name, const ZnlObjPtr& value,
                              const ZnlObjPtr& frame) {
    return ZncInternPtr(const_cast<char*>(name), value, frame);
}

#endif
