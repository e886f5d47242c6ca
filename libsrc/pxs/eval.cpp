// eval.cpp -- the evaluator and the special forms. ZncEval runs one loop over
// a current expression and frame: procedure bodies and the branches chosen
// by if and cond replace them and go round again instead of recursing, and
// the frame of a finished call is released as the loop moves on, so a tail
// call costs neither host stack nor memory. Every other nesting (operators,
// arguments, non-last body forms, the forms inside special forms) re-enters
// ZncEval, which counts the depth and wraps errors once per level.

#include <pxs/eval.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include <pxs/atom.h>
#include <pxs/interpreterInternal.h>
#include <pxs/io.h>
#include <pxs/lenv.h>
#include <pxs/list.h>
#include <pxs/math.h>
#include <pxs/null.h>
#include <util/znException.h>
#include <util/znNotify.h>

namespace {

// Fixed: editing this file must not change what callers see.
constexpr pxsdetail::ExceptionOrigin kEvalOrigin = {
    "ZnlObjPtr ZncEval(const ZnlObjPtr&, const ZnlObjPtr&)", "eval", 352};

// Nested evaluations allowed before the evaluator refuses to go deeper. At
// the bound an optimised build uses about 1.5 MB of host stack and an
// AddressSanitizer build about 5 MB: inside an 8 MB stack either way. A
// non-tail recursive procedure may recurse about this many times.
constexpr int kMaxDepth = 5000;

thread_local int evalDepth = 0;

bool tracing() { return ZnLispDebugOn && ZnNotifyLevel > 1; }

// Never set, so that the evaluator's check needs no null test.
volatile std::sig_atomic_t neverInterrupted = 0;
std::atomic<volatile std::sig_atomic_t*> interruptFlag{&neverInterrupted};

[[noreturn]] PXS_COLD void interrupted(volatile std::sig_atomic_t* flag) {
    *flag = 0;
    ZncHaltAndCatchFire("Interrupted");
}

// A label on standard output, then the object as ZncPrint writes it.
PXS_COLD void trace(const char* label, const ZnlObjPtr& x) {
    std::fputs(label, stdout);
    ZncPrint(x);
}

bool isTrue(const ZnlObjPtr& x) { return !ZncNull(x); }

bool isCons(const ZnlObj* x) { return x && x->tag() == ZnlConsTag; }

bool selfEvaluating(ZnlTagType tag) {
    return tag == ZnlNilTag || tag == ZnlFixnumTag || tag == ZnlFlonumTag ||
           tag == ZnlStringTag || tag == ZnlLocativeTag || tag == ZnlFrameTag;
}

[[noreturn]] PXS_COLD void unknownExpression(const ZnlObjPtr& x) {
    ZnWarn << "unknown expression type in eval: ";
    ZncPrint(x);
    ZncHaltAndCatchFire("unknown expression type in eval");
}

// ZncEval of `x`, without a level of its own where that cannot matter: a
// symbol or a constant needs no loop, and a failed lookup is wrapped here as
// ZncEval would have wrapped it. Tracing takes the full path, which traces.
ZnlObjPtr evalOperand(const ZnlObjPtr& x, const ZnlObjPtr& env) {
    if (x && !tracing()) {
        if (x->tag() == ZnlSymbolTag) {
            try {
                return ZncSymeval(x, env);
            } catch (...) {
                pxsdetail::rethrowWrapped(kEvalOrigin);
            }
        }
        if (selfEvaluating(x->tag())) return x;
    }
    return ZncEval(x, env);
}

// Argument lists longer than this are indexed through a vector.
constexpr int kShortArgs = 8;

// The values of a long argument list, last first (see evalArgs).
PXS_COLD ZnlObjPtr evalLongArgs(const ZnlObj* list, const ZnlObjPtr& env) {
    std::vector<const ZnlObj*> cells;
    for (const ZnlObj* cell = list; isCons(cell); cell = cell->cdrRef().get())
        cells.push_back(cell);
    ZnlObjPtr values = ZnlObjPtr::nil();
    for (size_t i = cells.size(); i-- > 0;)
        values = ZncCons(evalOperand(cells[i]->carRef(), env), values);
    return values;
}

// The values of the forms of `list`, evaluated from the last to the first;
// each value is consed onto the front, so the result is in source order.
// A short list is walked again for each argument, which keeps this frame,
// one per nesting level, small. Raw cells are safe: `list` keeps them alive
// and nothing mutates it.
ZnlObjPtr evalArgs(const ZnlObjPtr& list, const ZnlObjPtr& env) {
    if (ZncNull(list)) return ZnlObjPtr::nil();
    int n = 0;
    const ZnlObj* cell = list.get();
    for (; isCons(cell); cell = cell->cdrRef().get()) ++n;
    if (cell && cell->tag() != ZnlNilTag) ZncHaltAndCatchFire("function arguments are not a list");
    if (n > kShortArgs) return evalLongArgs(list.get(), env);
    ZnlObjPtr values = ZnlObjPtr::nil();
    for (int i = n; i-- > 0;) {
        const ZnlObj* form = list.get();
        for (int k = 0; k < i; ++k) form = form->cdrRef().get();
        values = ZncCons(evalOperand(form->carRef(), env), values);
    }
    return values;
}

// 0 when bound, 1 on a count mismatch, 2 for a parameter that is not a
// symbol (the parameters before it stay bound).
int bindArgs(const ZnlObjPtr& params, const ZnlObjPtr& values, const ZnlObjPtr& frame) {
    if (ZncLength(params) != ZncLength(values)) return 1;
    const ZnlObj* p = params.get();
    const ZnlObj* v = values.get();
    for (; isCons(p); p = p->cdrRef().get(), v = v->cdrRef().get()) {
        const ZnlObjPtr& param = p->carRef();
        if (!param || param->tag() != ZnlSymbolTag) return 2;
        ZncSet(param, v->carRef(), frame);
    }
    return 0;
}

// Calls pass a procedure this many arguments at most without building
// their list.
constexpr int kDirectArgs = 4;

// evalArgs and bindArgs in one, for a call of at most kDirectArgs
// arguments: the values are evaluated last first into an array and bound
// from there. Returns -1, having done nothing, for a longer or improper
// argument list.
int bindShortArgs(const ZnlObjPtr& params, const ZnlObjPtr& forms, const ZnlObjPtr& env,
                  const ZnlObjPtr& frame) {
    int n = 0;
    const ZnlObj* cell = forms.get();
    for (; isCons(cell); cell = cell->cdrRef().get())
        if (++n > kDirectArgs) return -1;
    if (cell && cell->tag() != ZnlNilTag) return -1;
    ZnlObjPtr values[kDirectArgs];
    for (int i = n; i-- > 0;) {
        const ZnlObj* form = forms.get();
        for (int k = 0; k < i; ++k) form = form->cdrRef().get();
        values[i] = evalOperand(form->carRef(), env);
    }
    if (ZncLength(params) != n) return 1;
    int i = 0;
    for (const ZnlObj* p = params.get(); isCons(p); p = p->cdrRef().get(), ++i) {
        const ZnlObjPtr& param = p->carRef();
        if (!param || param->tag() != ZnlSymbolTag) return 2;
        ZncSet(param, values[i], frame);
    }
    return 0;
}

ZnlObjPtr makeProcedure(const ZnlObjPtr& params, const ZnlObjPtr& body, const ZnlObjPtr& frame) {
    ZnlObjPtr proc(ZnlProcedureTag);
    proc->setProcParams(params);
    proc->setProcBody(body);
    proc->setProcEnv(frame);
    return proc;
}

// Evaluates all forms of the list `forms` but the last, and returns the
// last, which the caller continues with. An empty list yields nil.
ZnlObjPtr allButLast(const ZnlObjPtr& forms, const ZnlObjPtr& env) {
    const ZnlObj* cell = forms.get();
    if (!isCons(cell)) return ZnlObjPtr::nil();
    for (; isCons(cell->cdrRef().get()); cell = cell->cdrRef().get())
        evalOperand(cell->carRef(), env);
    return cell->carRef();
}

// The operator of a call, evaluated in `env`. A symbol's value is read in
// place, without a counted copy; anything else is evaluated into `holder`.
// Either way the cell may die once its binding changes: the caller takes
// what it needs from it before evaluating anything else.
const ZnlObj* evalOperator(const ZnlObjPtr& x, const ZnlObjPtr& env, ZnlObjPtr& holder) {
    if (x && x->tag() == ZnlSymbolTag && !tracing()) {
        try {
            return pxsdetail::symevalRef(x, env.get()).get();
        } catch (...) {
            pxsdetail::rethrowWrapped(kEvalOrigin);
        }
    }
    holder = evalOperand(x, env);
    return holder.get();
}

// Applies the procedure `f` to the arguments of the call `x` evaluated in
// `*env`: the caller continues with the returned last body form in the new
// frame, which `callFrame` then holds and `env` points to. The procedure's
// parameters and body are held here, as the arguments may rebind it.
ZnlObjPtr enterProcedure(const ZnlObj* f, const ZnlObjPtr& x, const ZnlObjPtr*& env,
                         ZnlObjPtr& callFrame) {
    ZnlObjPtr params = f->procParamsRef();
    ZnlObjPtr body = f->procBodyRef();
    ZnlObjPtr newFrame(ZnlFrameTag);
    newFrame->setFrameParent(f->procEnvRef());
    int bound = bindShortArgs(params, x->cdrRef(), *env, newFrame);
    if (bound < 0) bound = bindArgs(params, evalArgs(x->cdrRef(), *env), newFrame);
    if (bound == 1) ZncHaltAndCatchFire("Wrong number of args for function application");
    if (bound == 2) ZncHaltAndCatchFire("Non-symbol in function parameter list for apply");
    ZnlObjPtr last = allButLast(body, newFrame);
    callFrame = std::move(newFrame);
    env = &callFrame;
    return last;
}

// Primitives that nearly always get one or two arguments: the evaluator
// applies them to the values itself, without the argument list. Each gives
// what its primitive gives for that list, traces included; it is recognised
// by its host function, whatever name binds it.
enum class Direct { None, Add, Subtract, Multiply, NumEqual, Less, Greater, LessEqual,
                    GreaterEqual, Eq, Cons, Car, Cdr, Length, Reverse, Null };

Direct directKind(ZnlPrimitiveFn code) {
    if (code == ZnlPlus) return Direct::Add;
    if (code == ZnlMinus) return Direct::Subtract;
    if (code == ZnlMultiply) return Direct::Multiply;
    if (code == ZnlEqualSign) return Direct::NumEqual;
    if (code == ZnlLess) return Direct::Less;
    if (code == ZnlGreater) return Direct::Greater;
    if (code == ZnlLessEqual) return Direct::LessEqual;
    if (code == ZnlGreaterEqual) return Direct::GreaterEqual;
    if (code == ZnlEq) return Direct::Eq;
    if (code == ZnlLCons) return Direct::Cons;
    if (code == ZnlLCar) return Direct::Car;
    if (code == ZnlLCdr) return Direct::Cdr;
    if (code == ZnlLength) return Direct::Length;
    if (code == ZnlReverse) return Direct::Reverse;
    if (code == ZnlNotOrNull) return Direct::Null;
    return Direct::None;
}

bool isUnary(Direct op) { return op >= Direct::Car; }

ZnlObjPtr arithmetic(pxsdetail::ArithOp op, const ZnlObjPtr& a, const ZnlObjPtr& b) {
    if (!ZncNumberp(a) || !ZncNumberp(b)) return ZnlObjPtr();
    return pxsdetail::arithmeticStep(op, a.get(), b.get());
}

// `op` applied to the values `a` and `b`, or an empty pointer when only
// the primitive itself can say what happens (arithmetic on a non-number).
ZnlObjPtr applyBinary(Direct op, const ZnlObjPtr& a, const ZnlObjPtr& b) {
    using pxsdetail::ArithOp;
    switch (op) {
        case Direct::Add:
            return arithmetic(ArithOp::Add, a, b);
        case Direct::Subtract:
            return arithmetic(ArithOp::Subtract, a, b);
        case Direct::Multiply:
            return arithmetic(ArithOp::Multiply, a, b);
        case Direct::NumEqual:
            return ZncCBooleanToLispBoolean(ZncEqualSign(a, b));
        case Direct::Less:
            return ZncCBooleanToLispBoolean(ZncLess(a, b));
        case Direct::Greater:
            return ZncCBooleanToLispBoolean(ZncGreater(a, b));
        case Direct::LessEqual:
            return ZncCBooleanToLispBoolean(ZncLessEqual(a, b));
        case Direct::GreaterEqual:
            return ZncCBooleanToLispBoolean(ZncGreaterEqual(a, b));
        case Direct::Eq:
            return ZncCBooleanToLispBoolean(ZncEq(a, b));
        case Direct::Cons:
            return ZncCons(a, b);
        default:
            break;
    }
    return ZnlObjPtr();
}

// `op` applied to the value `a`, which the caller gives up: a list nothing
// else holds is reversed in place.
ZnlObjPtr applyUnary(Direct op, ZnlObjPtr a) {
    switch (op) {
        case Direct::Car:
            return ZncCar(a);
        case Direct::Cdr:
            return ZncCdr(a);
        case Direct::Length:
            return ZnlObjPtr(ZncLength(a));
        case Direct::Reverse:
            return pxsdetail::reverseOwned(std::move(a));
        case Direct::Null:
            return ZncCBooleanToLispBoolean(ZncNull(a));
        default:
            break;
    }
    return ZnlObjPtr();
}

// Applies the compiled function `code` to the argument forms `forms`,
// evaluated in `env`; a Direct primitive given as many arguments as it
// takes skips the argument list.
ZnlObjPtr applyCompiled(ZnlPrimitiveFn code, const ZnlObjPtr& forms, const ZnlObjPtr& env) {
    Direct op = directKind(code);
    const ZnlObj* first = forms.get();
    if (op == Direct::None || !isCons(first)) return code(evalArgs(forms, env), env);
    const ZnlObj* second = first->cdrRef().get();
    if (isUnary(op)) {
        if (!ZncNull(first->cdrRef())) return code(evalArgs(forms, env), env);
        return applyUnary(op, evalOperand(first->carRef(), env));
    }
    if (!isCons(second) || !ZncNull(second->cdrRef())) return code(evalArgs(forms, env), env);
    ZnlObjPtr b = evalOperand(second->carRef(), env);
    ZnlObjPtr a = evalOperand(first->carRef(), env);
    ZnlObjPtr value = applyBinary(op, a, b);
    if (value) return value;
    return code(ZncCons(a, ZncCons(b, ZnlObjPtr::nil())), env);
}

// The form if continues with: then-form, else-form, or nil. Once the count
// is known the list can be walked on raw cells: `args` holds it.
ZnlObjPtr ifChoice(const ZnlObjPtr& args, const ZnlObjPtr& frame) {
    int n = ZncLength(args);
    if (n < 2 || n > 3) ZncHaltAndCatchFire("Wrong number of args to if");
    const ZnlObj* then = args->cdrRef().get();
    if (isTrue(evalOperand(args->carRef(), frame))) return then->carRef();
    return n == 3 ? then->cdrRef()->carRef() : ZnlObjPtr::nil();
}

// The forms of the first clause whose test is true. A clause holding only
// its test yields no forms: `value` is then the test's value, final.
ZnlObjPtr condChoice(const ZnlObjPtr& args, const ZnlObjPtr& frame, ZnlObjPtr& value) {
    if (ZncNull(args)) ZncHaltAndCatchFire("No clauses to cond");
    for (const ZnlObj* c = args.get(); isCons(c); c = c->cdrRef().get()) {
        const ZnlObjPtr& clause = c->carRef();
        ZnlObjPtr test = ZncCar(clause);
        ZnlObjPtr result = evalOperand(test, frame);
        if (tracing()) {
            trace("clause ", clause);
            trace("Predicate ", test);
            trace("Predicate result ", result);
        }
        if (!isTrue(result)) continue;
        if (isCons(clause->cdrRef().get())) return clause->cdr();
        value = result;
        return ZnlObjPtr();
    }
    return ZncCons(ZnlObjPtr::nil(), ZnlObjPtr::nil());
}

// Moves `x` on to the form cond continues with, or sets it to cond's final
// value and returns true.
PXS_COLD bool condStep(ZnlObjPtr& x, const ZnlObjPtr& env) {
    ZnlObjPtr value;
    ZnlObjPtr forms = condChoice(x->cdrRef(), env, value);
    if (!forms) {
        x = value;
        return true;
    }
    x = allButLast(forms, env);
    return false;
}

// The evaluator's loop; see the file comment. The current frame is the
// caller's until a procedure is entered, and from then on the call's, held
// by `callFrame`: only that one is counted.
ZnlObjPtr evalLoop(const ZnlObjPtr& expr, const ZnlObjPtr& frame) {
    ZnlObjPtr x = expr;
    const ZnlObjPtr* env = &frame;
    ZnlObjPtr callFrame;
    for (;;) {
        // Every step passes here, tail calls included, so an endless loop
        // is interruptible too.
        volatile std::sig_atomic_t* flag = interruptFlag.load(std::memory_order_relaxed);
        if (*flag) interrupted(flag);
        if (tracing()) trace("EVALing ", x);
        if (!x) return ZnlObjPtr::nil();
        if (x->tag() == ZnlSymbolTag) return ZncSymeval(x, *env);
        if (x->tag() != ZnlConsTag) {
            if (selfEvaluating(x->tag())) return x;
            unknownExpression(x);
        }
        ZnlObjPtr holder;
        const ZnlObj* f = evalOperator(x->carRef(), *env, holder);
        ZnlTagType kind = f ? f->tag() : ZnlNilTag;
        if (kind == ZnlProcedureTag) {
            x = enterProcedure(f, x, env, callFrame);
            continue;
        }
        if (kind != ZnlCompiledCTag && kind != ZnlSpecialFormTag)
            ZncHaltAndCatchFire("Cannot apply a non-function");
        ZnlPrimitiveFn code = f->fcnCode();
        if (kind == ZnlCompiledCTag) return applyCompiled(code, x->cdrRef(), *env);
        if (code == ZnlIf) {
            x = ifChoice(x->cdrRef(), *env);
        } else if (code == ZnlCond) {
            if (condStep(x, *env)) return x;
        } else {
            return code(x->cdrRef(), *env);
        }
    }
}

[[noreturn]] PXS_COLD void wrongDefineCount(const ZnlObjPtr& args, int count) {
    if (ZnNotifyLevel >= 0) {
        std::fprintf(stderr, "Lisp Error: Got %d args, expected 2\nARGS: ", count);
        ZncErrPrint(args);
    }
    ZncHaltAndCatchFire("Wrong number of args to define");
}

}  // namespace

void ZnlSetInterruptFlag(volatile std::sig_atomic_t* flag) {
    interruptFlag.store(flag ? flag : &neverInterrupted, std::memory_order_relaxed);
}

ZnlObjPtr ZncEval(const ZnlObjPtr& expr, const ZnlObjPtr& frame) {
    pxsdetail::DepthGuard depth(evalDepth);
    try {
        if (evalDepth > kMaxDepth) ZncHaltAndCatchFire("Evaluation nested deeper than 5000 levels");
        return evalLoop(expr, frame);
    } catch (...) {
        pxsdetail::rethrowWrapped(kEvalOrigin);
    }
}

ZnlObjPtr ZnlQuote(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (tracing()) trace("QUOTE", args);
    if (ZncLength(args) != 1) ZncHaltAndCatchFire("Wrong number of args to quote");
    return args->car();
}

ZnlObjPtr ZnlLambda(const ZnlObjPtr& args, const ZnlObjPtr& frame) {
    if (ZncLength(args) < 2) ZncHaltAndCatchFire("Wrong number of args to lambda");
    return makeProcedure(args->carRef(), args->cdrRef(), frame);
}

ZnlObjPtr ZnlSequence(const ZnlObjPtr& args, const ZnlObjPtr& frame) {
    if (ZncLength(args) < 1) ZncHaltAndCatchFire("Wrong number of args to sequence");
    ZnlObjPtr value;
    for (const ZnlObj* c = args.get(); isCons(c); c = c->cdrRef().get())
        value = evalOperand(c->carRef(), frame);
    return value;
}

ZnlObjPtr ZnlIf(const ZnlObjPtr& args, const ZnlObjPtr& frame) {
    return ZncCons(ifChoice(args, frame), ZnlObjPtr::nil());
}

// For a clause holding only its test, a host caller gets the form (quote
// value), which evaluates to the value without evaluating it again; the
// evaluator itself takes the value directly.
ZnlObjPtr ZnlCond(const ZnlObjPtr& args, const ZnlObjPtr& frame) {
    ZnlObjPtr value;
    ZnlObjPtr forms = condChoice(args, frame, value);
    if (forms) return forms;
    ZnlObjPtr quoted = ZncCons(ZncIntern("quote", frame), ZncCons(value, ZnlObjPtr::nil()));
    return ZncCons(quoted, ZnlObjPtr::nil());
}

// Rewritten as ((lambda names body...) forms...), with both lists reversed
// alike, and evaluated in the current frame: no initial form sees another
// binding, and the forms still run in source order (arguments run last
// first).
ZnlObjPtr ZnlLet(const ZnlObjPtr& args, const ZnlObjPtr& frame) {
    if (ZncLength(args) < 2) ZncHaltAndCatchFire("Wrong number of args to let");
    ZnlObjPtr names = ZnlObjPtr::nil();
    ZnlObjPtr forms = ZnlObjPtr::nil();
    for (ZnlObjPtr rest = args->car(); !ZncNull(rest); rest = ZncCdr(rest)) {
        ZnlObjPtr binding = ZncCar(rest);
        names = ZncCons(ZncCar(binding), names);
        forms = ZncCons(ZncCadr(binding), forms);
    }
    ZnlObjPtr lambda = ZncCons(ZncIntern("lambda", frame), ZncCons(names, args->cdr()));
    return ZncEval(ZncCons(lambda, forms), frame);
}

ZnlObjPtr ZnlSetq(const ZnlObjPtr& args, const ZnlObjPtr& frame) {
    if (tracing()) trace("SETQ", args);
    int n = ZncLength(args);
    const ZnlObjPtr& first = isCons(args.get()) ? args->carRef() : ZnlObjPtr::nil();
    if (n > 1 && isCons(first.get())) {
        const ZnlObjPtr& name = first->carRef();
        if (ZncBoundp(name, frame)) ZncHaltAndCatchFire("Variable is already bound");
        return ZncSet(name, makeProcedure(first->cdrRef(), args->cdrRef(), frame), frame);
    }
    if (n != 2) wrongDefineCount(args, n);
    ZnlObjPtr value = evalOperand(ZncCadr(args), frame);
    return ZncSet(first, value, frame);
}

// Assigns in the nearest frame that binds the name; never creates a binding.
ZnlObjPtr ZnlSetqBoundVariable(const ZnlObjPtr& args, const ZnlObjPtr& frame) {
    if (tracing() && isCons(args.get())) trace("(setq-variable ", args->carRef());
    if (ZncLength(args) != 2) ZncHaltAndCatchFire("Wrong number of args to setq");
    const ZnlObjPtr& symbol = args->carRef();
    for (ZnlObjPtr f = frame; f; f = f->frameParent()) {
        if (!ZncBoundp(symbol, f)) continue;
        ZnlObjPtr value = evalOperand(ZncCadr(args), frame);
        return ZncSet(symbol, value, f);
    }
    const char* name = symbol && symbol->tag() == ZnlSymbolTag ? symbol->pname() : nullptr;
    ZnWarn.printf("Lisp Warning: can't set unbound variable: %s\n", name ? name : "");
    return ZnlObjPtr::nil();
}

// With exactly two arguments the second names the frame to evaluate in, and
// anything but a frame there is refused.
ZnlObjPtr ZnlEval(const ZnlObjPtr& args, const ZnlObjPtr& frame) {
    if (ZncLength(args) == 2) {
        const ZnlObjPtr& target = args->cdrRef()->carRef();
        if (!target || target->tag() != ZnlFrameTag) ZncHaltAndCatchFire("non-frame to eval");
        return ZncEval(args->carRef(), target);
    }
    return ZncEval(ZncCar(args), frame);
}

ZnlObjPtr ZnlAnd(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 2) ZncHaltAndCatchFire("Wrong number of args to and");
    return ZncCBooleanToLispBoolean(isTrue(args->carRef()) && isTrue(args->cdrRef()->carRef()));
}

ZnlObjPtr ZnlOr(const ZnlObjPtr& args, const ZnlObjPtr&) {
    if (ZncLength(args) != 2) ZncHaltAndCatchFire("Wrong number of args to or");
    return ZncCBooleanToLispBoolean(isTrue(args->carRef()) || isTrue(args->cdrRef()->carRef()));
}
