// envInit.cpp -- fills a global frame from one table. The table's order is
// the binding order, which decides the order of names within a bucket (and
// so what `bindings` shows); an alias is its own row, so each name gets its
// own object around the shared host function.

#include <pxs/envInit.h>

#include <cstring>
#include <string>

#include <pxs/alist.h>
#include <pxs/atom.h>
#include <pxs/eval.h>
#include <pxs/float.h>
#include <pxs/integer.h>
#include <pxs/io.h>
#include <pxs/lenv.h>
#include <pxs/list.h>
#include <pxs/lstring.h>
#include <pxs/math.h>
#include <pxs/null.h>
#include <pxs/pxsEnvironment.h>
#include <pxs/register.h>
#include <pxs/subrs.h>

namespace {

enum class Binding { Form, Function };

struct Primitive {
    const char* name;
    ZnlPrimitiveFn code;
    Binding kind;
};

// What an untrusted frame binds in place of a primitive that reaches
// outside the interpreter.
template <const char* Name>
ZnlObjPtr refused(const ZnlObjPtr&, const ZnlObjPtr&) {
    ZncHaltAndCatchFire((std::string(Name) + " is not available to an untrusted script").c_str());
}

constexpr char kSystem[] = "system";
constexpr char kPopen[] = "popen";
constexpr char kPutenv[] = "putenv";
constexpr char kExit[] = "exit";
constexpr char kAbort[] = "abort";

const Primitive kUntrustedReplacements[] = {
    {kSystem, refused<kSystem>, Binding::Function}, {kPopen, refused<kPopen>, Binding::Function},
    {kPutenv, refused<kPutenv>, Binding::Function}, {kExit, refused<kExit>, Binding::Function},
    {kAbort, refused<kAbort>, Binding::Function},
};

ZnlPrimitiveFn untrustedCode(const Primitive& p) {
    for (const Primitive& replacement : kUntrustedReplacements)
        if (std::strcmp(p.name, replacement.name) == 0) return replacement.code;
    return p.code;
}

const Primitive kPrimitives[] = {
    // Special forms: their arguments arrive unevaluated.
    {"quote", ZnlQuote, Binding::Form},
    {"define", ZnlSetq, Binding::Form},
    {"setq", ZnlSetq, Binding::Form},
    {"lambda", ZnlLambda, Binding::Form},
    {"let", ZnlLet, Binding::Form},
    {"sequence", ZnlSequence, Binding::Form},
    {"if", ZnlIf, Binding::Form},
    {"cond", ZnlCond, Binding::Form},
    {"set!", ZnlSetqBoundVariable, Binding::Form},
    {"setqb", ZnlSetqBoundVariable, Binding::Form},
    // Compiled functions: their arguments arrive evaluated.
    {"load", ZnlLoad, Binding::Function},
    {"+", ZnlPlus, Binding::Function},
    {"-", ZnlMinus, Binding::Function},
    {"*", ZnlMultiply, Binding::Function},
    {"/", ZnlDivide, Binding::Function},
    {"=", ZnlEqualSign, Binding::Function},
    {">", ZnlGreater, Binding::Function},
    {">=", ZnlGreaterEqual, Binding::Function},
    {"<", ZnlLess, Binding::Function},
    {"<=", ZnlLessEqual, Binding::Function},
    {"abort", ZnlAbort, Binding::Function},
    {"abs", ZnlAbs, Binding::Function},
    {"and", ZnlAnd, Binding::Function},
    {"append", ZnlAppend, Binding::Function},
    {"assoc", ZnlAssoc, Binding::Function},
    {"assv", ZnlAssv, Binding::Function},
    {"assq", ZnlAssq, Binding::Function},
    {"car", ZnlLCar, Binding::Function},
    {"cdr", ZnlLCdr, Binding::Function},
    {"cons", ZnlLCons, Binding::Function},
    {"cos", ZnlCos, Binding::Function},
    {"describe", ZnlDescribe, Binding::Function},
    {"bindings", ZnlEnvDump, Binding::Function},
    {"eq?", ZnlEq, Binding::Function},
    {"equal?", ZnlEqual, Binding::Function},
    {"eq", ZnlEq, Binding::Function},
    {"equal", ZnlEqual, Binding::Function},
    {"eval", ZnlEval, Binding::Function},
    {"exit", ZnlExit, Binding::Function},
    {"format", ZnlFormat, Binding::Function},
    {"frame-bindings", ZnlFrameBindings, Binding::Function},
    {"frame-bound?", ZnlFrameBound, Binding::Function},
    {"frame-parent", ZnlFrameParent, Binding::Function},
    {"getenv", ZnlGetenv, Binding::Function},
    {"length", ZnlLength, Binding::Function},
    {"list", ZnlList, Binding::Function},
    {"list?", ZnlListp, Binding::Function},
    {"logior", ZnlLogIOr, Binding::Function},
    {"mem", ZnlMem, Binding::Function},
    {"make-frame", ZnlNewFrame, Binding::Function},
    {"not", ZnlNotOrNull, Binding::Function},
    {"null?", ZnlNotOrNull, Binding::Function},
    {"nullp", ZnlNotOrNull, Binding::Function},
    {"number?", ZnlNumberp, Binding::Function},
    {"or", ZnlOr, Binding::Function},
    {"plus", ZnlPlus, Binding::Function},
    {"popen", ZnlPopen, Binding::Function},
    {"prin1", ZnlPrin1, Binding::Function},
    {"putenv", ZnlPutenv, Binding::Function},
    {"reverse", ZnlReverse, Binding::Function},
    {"sin", ZnlSin, Binding::Function},
    {"string-append", ZnlStringAppend, Binding::Function},
    {"string-equal", ZnlStringEqual, Binding::Function},
    {"string?", ZnlStringp, Binding::Function},
    {"the-frame", ZnlTheFrame, Binding::Function},
    {"path-cross", ZnlPathCross, Binding::Function},
    {"system", ZnlSystem, Binding::Function},
    {"terpri", ZnlTerpri, Binding::Function},
    {"print-registered", ZnlPrintRegistered, Binding::Function},
    {"string->number", ZnlStringToNumber, Binding::Function},
    {"number->string", ZnlNumberToString, Binding::Function},
};

}  // namespace

void ZncGlobalEnvInit(ZnlObjPtr& frame) { ZncGlobalEnvInit(frame, ZnPxsTrust::Trusted); }

void ZncGlobalEnvInit(ZnlObjPtr& frame, ZnPxsTrust trust) {
    frame->setFrameParent(ZnlObjPtr());
    // Reading the name *unbound* yields the marker itself; evaluating it is
    // an unbound-symbol error like any other unbound name.
    ZncSet(ZnlObjPtr::unbound(), ZnlObjPtr::unbound(), frame);
    ZncInternPtr("nil", ZnlObjPtr::nil(), frame);
    ZncInternPtr("t", ZnlObjPtr::t(), frame);
    // The reader returns the symbol eof at the end of input; as a value it
    // is the empty list.
    ZncInternPtr("eof", ZnlObjPtr::nil(), frame);
    for (const Primitive& p : kPrimitives) {
        ZnlPrimitiveFn code = trust == ZnPxsTrust::Trusted ? p.code : untrustedCode(p);
        if (p.kind == Binding::Form)
            ZncInternSpecialForm(p.name, code, frame);
        else
            ZncInternCompiledC(p.name, code, frame);
    }
}
