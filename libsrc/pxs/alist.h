// alist.h -- association lists: the first pair whose car matches a key, by
// structural equality (assoc), identity (assq) or numeric equality (assv).
//
//   ZncAssq(key, alist);   // the whole pair, or nil

#ifndef PXS_ALIST_H
#define PXS_ALIST_H

#include <pxs/memory.h>

// The first element of `alist` whose car matches `key`, else nil.
ZnlObjPtr ZncAssoc(const ZnlObjPtr& key, const ZnlObjPtr& alist);
ZnlObjPtr ZncAssq(const ZnlObjPtr& key, const ZnlObjPtr& alist);
ZnlObjPtr ZncAssv(const ZnlObjPtr& key, const ZnlObjPtr& alist);

// Association primitives (evaluated argument list, current frame).
ZnlObjPtr ZnlAssoc(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlAssq(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlAssv(const ZnlObjPtr& args, const ZnlObjPtr& frame);

#endif
