// envInit.h -- the global frame: the constants, the special forms and the
// compiled primitives every PXS evaluation can name.
//
//   ZnlObjPtr frame(ZnlFrameTag);
//   ZncGlobalEnvInit(frame);   // nil, t, eof, quote ... number->string

#ifndef PXS_ENVINIT_H
#define PXS_ENVINIT_H

#include <pxs/memory.h>

// Makes `frame` (which must be a frame) a root and binds in it the unbound
// marker, nil, t and eof, the ten special forms and the sixty-one compiled
// functions, each name to a new object. Other bindings are left alone.
void ZncGlobalEnvInit(ZnlObjPtr& frame);

// Whether the scripts of a frame may reach outside the interpreter.
enum class ZnPxsTrust {
    Trusted,    // every primitive
    Untrusted,  // no system, popen, putenv, exit or abort
};

// The same; for ZnPxsTrust::Untrusted the primitives that run commands,
// change the process environment or end the process are bound to ones that
// refuse with "NAME is not available to an untrusted script", so that a
// script cannot reach them under their own names.
void ZncGlobalEnvInit(ZnlObjPtr& frame, ZnPxsTrust trust);

#endif
