// pxsEval.cpp -- fuzzes the evaluator: every datum of the input is read and
// evaluated in a frame that binds the special forms and the list,
// comparison, arithmetic, string and printing primitives, and nothing that
// reaches the process (system, popen, exit, abort, getenv, putenv, load)
// or the host variables. The frame primitives are bound too.
//
// The language can loop forever and build values of exponential size, so
// the work of one input is bounded here, without changing the library:
//  - every compiled primitive is called through `guarded`, which charges one
//    unit plus the size of its arguments and of its result to a budget;
//  - every procedure made (by lambda, let, or the (define (f x) ...) form)
//    gets one extra first body form, a call of a primitive bound under a
//    name the reader cannot produce, which charges one unit per call.
// An input that runs out of budget ends with a PXS error like any other.
//
// Cycles through a procedure's frame held anywhere but in a binding of
// that frame, and frames bound inside themselves, are never freed, by
// design. The first input byte picks:
//  even: every procedure made and every frame a script gets hold of is
//        kept; at the end the procedures are cut from their frames and the
//        frames emptied, so every leak LeakSanitizer reports is a real one;
//  odd:  procedures are left alone, so the closure-cycle rule runs as in a
//        host program; allocations are hidden from LeakSanitizer.

#include <sanitizer/lsan_interface.h>

// The replay build may have no leak checker to switch off.
#if defined(__SANITIZE_ADDRESS__)
#define PXS_FUZZ_HAVE_LSAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PXS_FUZZ_HAVE_LSAN 1
#endif
#endif
#ifndef PXS_FUZZ_HAVE_LSAN
#define __lsan_disable() ((void)0)
#define __lsan_enable() ((void)0)
#endif

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <pxs/alist.h>
#include <pxs/atom.h>
#include <pxs/eval.h>
#include <pxs/float.h>
#include <pxs/integer.h>
#include <pxs/io.h>
#include <pxs/lenv.h>
#include <pxs/list.h>
#include <pxs/lstream.h>
#include <pxs/lstring.h>
#include <pxs/math.h>
#include <pxs/null.h>
#include <pxs/read.h>
#include <pxs/subrs.h>
#include <util/znException.h>
#include <util/znNotify.h>

#include "fuzzSupport.h"

namespace {

constexpr long kBudget = 20000;
constexpr const char* kTickName = "fuzz tick";  // has a blank: no token reads as it

long budgetLeft = 0;
bool keepProcedures = false;
std::vector<ZnlObjPtr> procedures;
std::vector<ZnlObjPtr> frames;

void charge(long units) {
    budgetLeft -= units;
    if (budgetLeft < 0) ZncHaltAndCatchFire("fuzz: work budget spent");
}

// Cells reachable through car and cdr, counted once per path, so a value
// shared many times inside itself costs what a walk over it would cost.
// Strings cost their length. The walk stops as soon as the budget is spent.
void chargeSize(const ZnlObj* root) {
    std::vector<const ZnlObj*> pending{root};
    while (!pending.empty()) {
        const ZnlObj* x = pending.back();
        pending.pop_back();
        if (!x) continue;
        charge(1);
        if (x->tag() == ZnlStringTag && x->string())
            charge(static_cast<long>(std::strlen(x->string())) / 8);
        if (x->tag() != ZnlConsTag) continue;
        pending.push_back(x->cdrRef().get());
        pending.push_back(x->carRef().get());
    }
}

template <ZnlPrimitiveFn F>
ZnlObjPtr guarded(const ZnlObjPtr& args, const ZnlObjPtr& frame) {
    chargeSize(args.get());
    ZnlObjPtr result = F(args, frame);
    chargeSize(result.get());
    return result;
}

// A frame handed to the script; kept in the first mode.
template <ZnlPrimitiveFn F>
ZnlObjPtr frameMaker(const ZnlObjPtr& args, const ZnlObjPtr& frame) {
    ZnlObjPtr made = guarded<F>(args, frame);
    if (keepProcedures && made && made->tag() == ZnlFrameTag) frames.push_back(made);
    return made;
}

// `bindings` prints every value bound in the frame: that is its cost.
ZnlObjPtr dumpFrame(const ZnlObjPtr& args, const ZnlObjPtr& frame) {
    if (frame && frame->tag() == ZnlFrameTag) chargeSize(frame->frameBindings()->bindings().get());
    return guarded<ZnlEnvDump>(args, frame);
}

ZnlObjPtr tick(const ZnlObjPtr&, const ZnlObjPtr&) {
    charge(1);
    return ZnlObjPtr::nil();
}

// Puts the tick call in front of the body of the procedure `proc`.
void instrument(const ZnlObjPtr& proc, const ZnlObjPtr& frame) {
    if (!proc || proc->tag() != ZnlProcedureTag) return;
    ZnlObjPtr call = ZncCons(ZncIntern(kTickName, frame), ZnlObjPtr::nil());
    proc->setProcBody(ZncCons(call, proc->procBody()));
    if (keepProcedures) procedures.push_back(proc);
}

ZnlObjPtr fuzzLambda(const ZnlObjPtr& args, const ZnlObjPtr& frame) {
    ZnlObjPtr proc = ZnlLambda(args, frame);
    instrument(proc, frame);
    return proc;
}

// The (define (f x) body...) form binds a new procedure in `frame` and
// returns the symbol; the procedure is found through that binding.
ZnlObjPtr fuzzSetq(const ZnlObjPtr& args, const ZnlObjPtr& frame) {
    ZnlObjPtr symbol = ZnlSetq(args, frame);
    bool procedureForm =
        args && args->tag() == ZnlConsTag && args->carRef() && args->carRef()->tag() == ZnlConsTag;
    if (procedureForm) instrument(ZncSymeval(symbol, frame), frame);
    return symbol;
}

struct Primitive {
    const char* name;
    ZnlPrimitiveFn code;
};

const Primitive kForms[] = {
    {"quote", ZnlQuote},
    {"define", fuzzSetq},
    {"setq", fuzzSetq},
    {"lambda", fuzzLambda},
    {"let", ZnlLet},
    {"sequence", ZnlSequence},
    {"if", ZnlIf},
    {"cond", ZnlCond},
    {"set!", ZnlSetqBoundVariable},
    {"setqb", ZnlSetqBoundVariable},
};

const Primitive kFunctions[] = {
    {"+", guarded<ZnlPlus>},
    {"-", guarded<ZnlMinus>},
    {"*", guarded<ZnlMultiply>},
    {"/", guarded<ZnlDivide>},
    {"=", guarded<ZnlEqualSign>},
    {">", guarded<ZnlGreater>},
    {">=", guarded<ZnlGreaterEqual>},
    {"<", guarded<ZnlLess>},
    {"<=", guarded<ZnlLessEqual>},
    {"abs", guarded<ZnlAbs>},
    {"and", guarded<ZnlAnd>},
    {"append", guarded<ZnlAppend>},
    {"assoc", guarded<ZnlAssoc>},
    {"assv", guarded<ZnlAssv>},
    {"assq", guarded<ZnlAssq>},
    {"car", guarded<ZnlLCar>},
    {"cdr", guarded<ZnlLCdr>},
    {"cons", guarded<ZnlLCons>},
    {"cos", guarded<ZnlCos>},
    {"describe", guarded<ZnlDescribe>},
    {"bindings", dumpFrame},
    {"eq?", guarded<ZnlEq>},
    {"equal?", guarded<ZnlEqual>},
    {"eq", guarded<ZnlEq>},
    {"equal", guarded<ZnlEqual>},
    {"eval", guarded<ZnlEval>},
    {"format", guarded<ZnlFormat>},
    {"frame-bindings", guarded<ZnlFrameBindings>},
    {"frame-bound?", guarded<ZnlFrameBound>},
    {"frame-parent", frameMaker<ZnlFrameParent>},
    {"length", guarded<ZnlLength>},
    {"list", guarded<ZnlList>},
    {"list?", guarded<ZnlListp>},
    {"logior", guarded<ZnlLogIOr>},
    {"make-frame", frameMaker<ZnlNewFrame>},
    {"mem", guarded<ZnlMem>},
    {"not", guarded<ZnlNotOrNull>},
    {"null?", guarded<ZnlNotOrNull>},
    {"nullp", guarded<ZnlNotOrNull>},
    {"number?", guarded<ZnlNumberp>},
    {"or", guarded<ZnlOr>},
    {"plus", guarded<ZnlPlus>},
    {"prin1", guarded<ZnlPrin1>},
    {"reverse", guarded<ZnlReverse>},
    {"sin", guarded<ZnlSin>},
    {"string-append", guarded<ZnlStringAppend>},
    {"string-equal", guarded<ZnlStringEqual>},
    {"string?", guarded<ZnlStringp>},
    {"the-frame", frameMaker<ZnlTheFrame>},
    {"path-cross", guarded<ZnlPathCross>},
    {"terpri", guarded<ZnlTerpri>},
    {"string->number", guarded<ZnlStringToNumber>},
    {"number->string", guarded<ZnlNumberToString>},
    {kTickName, tick},
};

void bindPrimitives(const ZnlObjPtr& frame) {
    frame->setFrameParent(ZnlObjPtr());
    ZncInternPtr("nil", ZnlObjPtr::nil(), frame);
    ZncInternPtr("t", ZnlObjPtr::t(), frame);
    ZncInternPtr("eof", ZnlObjPtr::nil(), frame);
    for (const Primitive& p : kForms) ZncInternSpecialForm(p.name, p.code, frame);
    for (const Primitive& p : kFunctions) ZncInternCompiledC(p.name, p.code, frame);
}

void evalAll(const char* text, const ZnlObjPtr& frame) {
    const ZnlObjPtr eof = ZncIntern("eof", frame);
    ZnlStringInputStream in(text);
    for (;;) {
        ZnlObjPtr datum;
        try {
            datum = ZncRead(&in, frame);
        } catch (const ZnException&) {
            return;  // the stream is left inside the bad datum: stop, as the loader does
        }
        if (datum == eof) return;
        try {
            ZncEval(datum, frame);
        } catch (const ZnException&) {
            if (budgetLeft < 0) return;
        }
    }
}

// Cuts every kept procedure from its frame, and every kept frame from its
// parent and its bindings, which breaks every cycle the input could build:
// no bound primitive makes a list hold itself, so every cycle passes through
// a procedure's frame link, or through a frame the script got hold of (its
// bindings, or its parent link: a call frame bound in the global frame
// holds the global frame through its parents).
void releaseKept() {
    for (ZnlObjPtr& proc : procedures) proc->setProcEnv(ZnlObjPtr());
    for (ZnlObjPtr& frame : frames) {
        frame->setFrameParent(ZnlObjPtr());
        frame->setFrameBindings(new ZnlHashTable);
    }
    procedures.clear();
    frames.clear();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ZnNotifyLevel = -1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    keepProcedures = (data[0] & 1) == 0;
    const std::string text = fuzz::textOf(data + 1, size - 1);
    budgetLeft = kBudget;
    if (!keepProcedures) __lsan_disable();
    {
        ZnlObjPtr frame(ZnlFrameTag);
        bindPrimitives(frame);
        evalAll(text.c_str(), frame);
        releaseKept();
    }
    if (!keepProcedures) __lsan_enable();
    return 0;
}
