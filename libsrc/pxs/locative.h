// locative.h -- locatives: cells that carry a raw host pointer they do not
// own, compared by the address they hold.

#ifndef PXS_LOCATIVE_H
#define PXS_LOCATIVE_H

#include <pxs/memory.h>

// A new cell of kind `tag` whose nodeptr is `pointer`.
ZnlObjPtr ZncPtrToNode(ZnlTagType tag, void* pointer);
// 1 for a locative, else 0.
int ZncLocativep(const ZnlObjPtr& x);
// t or nil from ZncLocativep; exactly one argument.
ZnlObjPtr ZnlLocativep(const ZnlObjPtr& args, const ZnlObjPtr& frame);

#endif
