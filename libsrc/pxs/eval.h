// eval.h -- the evaluator and the special forms. ZncEval is a loop: the last
// form of a procedure body and the branch chosen by if or cond continue in
// the same loop, so tail calls run in constant host stack. Other nesting
// recurses and is bounded: more than 10000 nested evaluations raise
// "Evaluation nested deeper than 5000 levels". Errors leave ZncEval wrapped
// once per nesting level ("Propagating ZnException.").
//
//   ZnlStringInputStream in("(if (car '(nil)) 1 2)");
//   ZncEval(ZncRead(&in, frame), frame);   // 2, with the forms bound in frame

#ifndef PXS_EVAL_H
#define PXS_EVAL_H

#include <csignal>

#include <pxs/memory.h>

// The value of `expr` in `frame`.
ZnlObjPtr ZncEval(const ZnlObjPtr& expr, const ZnlObjPtr& frame);

// Lets a host stop a running evaluation from a signal handler: while
// `flag` is set (null: none, the default), the evaluator looks at *flag
// at every step, and when it finds it non-zero it clears it and raises
// "Interrupted", which unwinds like any error and leaves every binding made
// so far in place. Process-wide: every thread's evaluator watches the flag.
void ZnlSetInterruptFlag(volatile std::sig_atomic_t* flag);

// Special forms: unevaluated argument list, current frame.
ZnlObjPtr ZnlQuote(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlSetq(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlSetqBoundVariable(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlLambda(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlLet(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlSequence(const ZnlObjPtr& args, const ZnlObjPtr& frame);
// if and cond return the forms still to be evaluated in the caller's frame
// (the value is the last one's); the evaluator continues with them itself.
ZnlObjPtr ZnlIf(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlCond(const ZnlObjPtr& args, const ZnlObjPtr& frame);

// Compiled primitives tied to evaluation: evaluated argument list, frame.
ZnlObjPtr ZnlEval(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlAnd(const ZnlObjPtr& args, const ZnlObjPtr& frame);
ZnlObjPtr ZnlOr(const ZnlObjPtr& args, const ZnlObjPtr& frame);

#endif
