// io.h -- the interpreter's way out: the fatal-error primitive that every
// PXS error goes through, the printer, and the output primitives.
//
//   ZncHaltAndCatchFire("car of non-cons");
//       // throws ZnException "ZnException: PXS Error: car of non-cons"
//   ZncPrint(list);  // "(a b . 5)" on standard output, newline on ZnInfo

#ifndef PXS_IO_H
#define PXS_IO_H

#include <pxs/memory.h>

// Never returns: throws a ZnException whose text is "ZnException: PXS
// Error: " followed by `message`.
[[noreturn]] ZnlObjPtr ZncHaltAndCatchFire(char* message);
// The same for a constant message, which is only read.
[[noreturn]] inline ZnlObjPtr ZncHaltAndCatchFire(const char* message) {
    ZncHaltAndCatchFire(const_cast<char*>(message));
}

// `obj->print()`; returns `obj`.
ZnlObjPtr ZncPrint(const ZnlObjPtr& obj);
// The printed form on standard error, no newline; returns `obj`.
ZnlObjPtr ZncErrPrint(const ZnlObjPtr& obj);

// Output primitives (evaluated argument list, current frame).
ZnlObjPtr ZnlPrin1(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlTerpri(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlFormat(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlDescribe(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlEnvDump(const ZnlObjPtr& args, const ZnlObjPtr& frame);

#endif
