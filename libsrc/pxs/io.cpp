// io.cpp -- the fatal-error primitive, the printer and the output primitives.
// Printed forms go to C streams; the text around them (newlines, format
// literals, describe's explanations) goes to ZnInfo, so the notification
// level silences the commentary but never the objects themselves.

#include <pxs/io.h>

#include <cstdint>
#include <string>
#include <vector>

#include <pxs/lenv.h>
#include <pxs/list.h>
#include <pxs/null.h>
#include <util/znException.h>
#include <util/znNotify.h>

namespace {

// Origin of every PXS error, as callers see it. Fixed values: editing this
// file must not change them.
constexpr const char* kHaltFunction = "ZnlObjPtr ZncHaltAndCatchFire(char*)";
constexpr const char* kHaltFile = "io";
constexpr int kHaltLine = 22;

void printAtom(const ZnlObj* x, FILE* out) {
    switch (x->tag()) {
        case ZnlNilTag:
            std::fputs("nil", out);
            break;
        case ZnlSymbolTag:
            std::fputs(x->pname() ? x->pname() : "(unbound symbol name)", out);
            break;
        case ZnlFixnumTag:
            std::fprintf(out, "%d", x->fixnum());
            break;
        case ZnlFlonumTag:
            std::fprintf(out, "%f", x->flonum());
            break;
        case ZnlSpecialFormTag:
            std::fprintf(out, "#<special-form %lx>", reinterpret_cast<unsigned long>(x));
            break;
        case ZnlCompiledCTag:
            std::fprintf(out, "#<primitive-function %s>", x->fcnPname() ? x->fcnPname() : "");
            break;
        case ZnlStringTag:
            if (x->string())
                std::fprintf(out, "\"%s\"", x->string());
            else
                std::fputs("(unbound string)", out);
            break;
        case ZnlLocativeTag:
            std::fprintf(out, "%d",
                         static_cast<int>(reinterpret_cast<std::uintptr_t>(x->nodeptr())));
            break;
        case ZnlProcedureTag:
            std::fprintf(out, "#<procedure %lx>", reinterpret_cast<unsigned long>(x));
            break;
        case ZnlFrameTag:
            std::fprintf(out, "#<environment-frame %lx>", reinterpret_cast<unsigned long>(x));
            break;
        default:
            ZncHaltAndCatchFire("unknown tag in ZnlObj::ZncObjFprint");
    }
}

// One list being printed: the cons whose car (or, once `carDone`, whose
// cdr) comes next, and whether the list was opened with a parenthesis.
struct ListCursor {
    const ZnlObj* cons;
    bool carDone;
    bool parenthesized;
};

// Starts printing `x`: an atom is written whole, a cons opens a list that
// the caller's loop then walks.
void beginObject(const ZnlObj* x, FILE* out, std::vector<ListCursor>& lists) {
    if (x->gone()) std::fputs("#deleted# ", out);
    if (x->tag() != ZnlConsTag) {
        printAtom(x, out);
        return;
    }
    std::fputc('(', out);
    lists.push_back({x, false, true});
}

// After a list's car: a blank and the next element, the end of the list, or
// " . " and the atom that ends an improper list.
void continueAfterCar(std::vector<ListCursor>& lists, FILE* out) {
    ListCursor& cursor = lists.back();
    const ZnlObj* cdr = cursor.cons->cdrRef().get();
    bool paren = cursor.parenthesized;
    if (cdr && cdr->tag() == ZnlConsTag) {
        std::fputc(' ', out);
        cursor = {cdr, false, paren};
        return;
    }
    lists.pop_back();
    if (!cdr) {
        ZnInfo << " ?";
    } else if (cdr->tag() != ZnlNilTag) {
        std::fputs(" . ", out);
        if (cdr->gone()) std::fputs("#deleted# ", out);
        printAtom(cdr, out);
    }
    if (paren) std::fputc(')', out);
}

// Walks nested lists with an explicit stack: along the cdr in a loop and
// into each car by pushing a cursor, so no list shape deepens the host stack.
void printLists(std::vector<ListCursor>& lists, FILE* out) {
    while (!lists.empty()) {
        ListCursor& cursor = lists.back();
        if (cursor.carDone) {
            continueAfterCar(lists, out);
            continue;
        }
        cursor.carDone = true;
        const ZnlObj* car = cursor.cons->carRef().get();
        if (car)
            beginObject(car, out, lists);
        else
            ZnInfo << "?";
    }
}

void writeDescription(const ZnlObjPtr& x) {
    switch (x->tag()) {
        case ZnlNilTag: ZnInfo << "NIL\n"; break;
        case ZnlSymbolTag:
            ZnInfo.printf(" the symbol with name \"%s\"\n", x->pname() ? x->pname() : "");
            break;
        case ZnlFixnumTag: ZnInfo << " a fixed-point number\n"; break;
        case ZnlFlonumTag: ZnInfo << " a floating-point number\n"; break;
        case ZnlConsTag: ZnInfo << " a cons cell\n"; break;
        case ZnlSpecialFormTag: ZnInfo << " a special form\n"; break;
        case ZnlCompiledCTag: ZnInfo << " a compiled C-function\n"; break;
        case ZnlStringTag: ZnInfo << " a string\n"; break;
        case ZnlLocativeTag: ZnInfo << " a locative\n"; break;
        case ZnlProcedureTag:
            ZnInfo << " a lisp procedure\n";
            ZnInfo << "with params: ";
            ZncPrint(x->procParamsRef());
            ZnInfo << "body: ";
            ZncPrint(x->procBodyRef());
            ZnInfo << "and enclosing environment: ";
            ZncPrint(x->procEnvRef());
            break;
        case ZnlFrameTag:
            // A root frame has no parent to print; say so instead.
            if (x->frameParentRef()) {
                ZnInfo << " an environment frame with parent frame ";
                ZncPrint(x->frameParentRef());
            } else {
                ZnInfo << " an environment frame with no parent frame\n";
            }
            break;
        default: ZnInfo << " ??????\n"; break;
    }
}

}  // namespace

ZnlObjPtr ZncHaltAndCatchFire(char* message) {
    std::string text = "ZnException: PXS Error: ";
    if (message) text += message;
    throw ZnException(text, kHaltFunction, kHaltFile, kHaltLine);
}

void ZnlObj::ZncObjFprint(FILE* out) {
    std::vector<ListCursor> lists;
    beginObject(this, out, lists);
    printLists(lists, out);
    std::fflush(out);
}

void ZnlObj::ZncPrintList(FILE* out) {
    if (tag_ != ZnlConsTag) ZncHaltAndCatchFire("Non-cons passed to ZnlObj::ZncPrintList");
    std::vector<ListCursor> lists{{this, false, false}};
    printLists(lists, out);
    std::fflush(out);
}

void ZnlObj::print() {
    ZncObjFprint(stdout);
    ZnInfo << "\n";
}

ZnlObjPtr ZncPrint(const ZnlObjPtr& obj) {
    if (obj)
        obj->print();
    else
        ZnInfo << "?\n";
    return obj;
}

ZnlObjPtr ZncErrPrint(const ZnlObjPtr& obj) {
    if (obj) obj->ZncObjFprint(stderr);
    return obj;
}

ZnlObjPtr ZnlPrin1(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 1) ZncHaltAndCatchFire("Wrong number of arguments to prin1");
    const ZnlObjPtr& value = args->carRef();
    value->ZncObjFprint(stdout);
    return value;
}

ZnlObjPtr ZnlTerpri(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (!ZncNull(args)) ZncHaltAndCatchFire("No arguments to terpri");
    ZnInfo << "\n";
    return ZnlObjPtr::nil();
}

// Text written before an error in the control string stays written.
ZnlObjPtr ZnlFormat(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) < 2) ZncHaltAndCatchFire("Wrong number of args to format");
    const ZnlObjPtr& destination = args->carRef();
    if (ZncNull(destination)) ZncHaltAndCatchFire("Sorry, output to string not implemented yet");
    if (!ZncEqual(destination, ZnlObjPtr::t()))
        ZncHaltAndCatchFire("Sorry, output to streams not implemented yet");
    const ZnlObjPtr& control = args->cdrRef()->carRef();
    if (!ZncStringp(control)) ZncHaltAndCatchFire("Format must be a string");
    const ZnlObj* values = args->cdrRef()->cdrRef().get();
    for (const char* c = control->string() ? control->string() : ""; *c; ++c) {
        if (*c != '~') {
            ZnInfo << *c;
            continue;
        }
        ++c;
        if (*c == '%') {
            ZnInfo << "\n";
        } else if (*c == 'A') {
            if (!values || values->tag() != ZnlConsTag) ZncHaltAndCatchFire("Out of arguments");
            values->carRef()->ZncObjFprint(stdout);
            values = values->cdrRef().get();
        } else {
            ZncHaltAndCatchFire("Unknown directive to format");
        }
    }
    return ZnlObjPtr::nil();
}

ZnlObjPtr ZnlDescribe(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 1) ZncHaltAndCatchFire("Wrong number of args to describe");
    const ZnlObjPtr& value = args->carRef();
    value->ZncObjFprint(stdout);
    ZnInfo << " is";
    writeDescription(value);
    return value;
}

ZnlObjPtr ZnlEnvDump(const ZnlObjPtr&, const ZnlObjPtr& frame) {
    if (frame && frame->tag() == ZnlFrameTag) frame->frameBindings()->dump();
    return ZnlObjPtr::nil();
}
