// locative.cpp -- cells carrying a raw host pointer. The pointer is never
// owned or followed by the interpreter; only its value is compared.

#include <pxs/locative.h>

#include <pxs/io.h>
#include <pxs/list.h>
#include <pxs/null.h>

// Kinds whose value word holds something the cell owns (a text, a table)
// would free the host pointer as their own when the cell dies.
ZnlObjPtr ZncPtrToNode(ZnlTagType tag, void* pointer) {
    if (tag == ZnlSymbolTag || tag == ZnlStringTag || tag == ZnlSpecialFormTag ||
        tag == ZnlCompiledCTag || tag == ZnlFrameTag)
        ZncHaltAndCatchFire("ZncPtrToNode of a kind that owns its contents");
    ZnlObjPtr node(tag);
    node->setNodeptr(pointer);
    return node;
}

int ZncLocativep(const ZnlObjPtr& x) { return x && x->tag() == ZnlLocativeTag ? 1 : 0; }

ZnlObjPtr ZnlLocativep(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 1) ZncHaltAndCatchFire("Wrong number of args to locativep");
    return ZncCBooleanToLispBoolean(ZncLocativep(ZncCar(args)));
}
