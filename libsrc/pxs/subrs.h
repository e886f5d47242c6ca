// subrs.h -- system primitives: environment variables, shell commands and
// their output, conversions between numbers and strings, and ending the
// process.
//
//   (putenv "MODE" "fast")      ; "fast"
//   (getenv "MODE")             ; "fast"; nil when unset
//   (popen "ls /etc | head -2") ; ("adduser.conf" "alternatives")
//   (system "exit 3")           ; 3

#ifndef PXS_SUBRS_H
#define PXS_SUBRS_H

#include <pxs/memory.h>

// System primitives (evaluated argument list, current frame).
ZnlObjPtr ZnlGetenv(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlPutenv(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlSystem(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlPopen(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlStringToNumber(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlNumberToString(const ZnlObjPtr& args, const ZnlObjPtr& frame);
// These two end the process and return only by raising an argument error.
ZnlObjPtr ZnlExit(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlAbort(const ZnlObjPtr& args, const ZnlObjPtr& frame);

#endif
