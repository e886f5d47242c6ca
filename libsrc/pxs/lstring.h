// lstring.h -- string primitives: comparison, concatenation, and
// `path-cross`, which builds a colon-separated search path from two lists
// of path fragments.
//
//   ZncStringEqual(ZnlObjPtr("a"), ZnlObjPtr("a"));           // 1
//   (path-cross (list "/usr" "/opt") (list "/lib" "/bin"))
//       ;; ".:/usr/lib:/usr/bin:/opt/lib:/opt/bin"

#ifndef PXS_LSTRING_H
#define PXS_LSTRING_H

#include <pxs/memory.h>

// 1 when both are strings with the same bytes, else 0; a non-string raises
// "Wrong type arg to ZncStringEqual". A string without text equals "".
int ZncStringEqual(const ZnlObjPtr& a, const ZnlObjPtr& b);
// Stores the texts of the elements of a list of one to seven strings in
// out[0..n-1] and returns n. The pointers are the elements' own text, valid
// while the list lives. A non-list stores nothing and returns 0; a longer
// list warns on ZnWarn and returns 0; a non-string element raises
// "Non-string in list to ZncListToStr".
int ZncListToStr(const ZnlObjPtr& list, char** out);

// String primitives (evaluated argument list, current frame).
ZnlObjPtr ZnlStringEqual(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlStringAppend(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlPathCross(const ZnlObjPtr& args, const ZnlObjPtr& frame);

#endif
