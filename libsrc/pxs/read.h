// read.h -- the reader: PXS text to objects, one datum per call. Symbols are
// interned in the frame chain given, so reading binds names not seen before
// to the unbound marker. Nothing is evaluated.
//
//   ZnlStringInputStream in("(width 10) 'x");
//   ZnlObjPtr eof = ZncIntern("eof", frame);
//   for (ZnlObjPtr d = ZncRead(&in, frame); !(d == eof); d = ZncRead(&in, frame)) ...

#ifndef PXS_READ_H
#define PXS_READ_H

#include <pxs/lstream.h>
#include <pxs/memory.h>

// When set, the character that escapes a double quote inside strings
// (typically a backslash). Null by default; the library never sets it.
extern const char* ZnPxsReadEscapeChar;

// The next datum of `in`; at the end of input, the symbol eof interned in
// `frame`. Errors arrive wrapped once per nesting level. Lists of any length
// read in a loop; lists and quotes nested more than 10000 deep in one datum
// raise "Datum nested deeper than 10000 levels at line %d", which keeps the
// reader's recursion far inside an 8 MB stack.
ZnlObjPtr ZncRead(ZnlInputStream* in, const ZnlObjPtr& frame);

#endif
