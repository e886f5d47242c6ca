// pxs_test_frame.h -- a global frame for the evaluator tests: the constants,
// the special forms and the compiled primitives that exist so far, under
// their PXS names, plus two test-only fixnum operations for + and -.

#ifndef PXS_TESTS_PXS_TEST_FRAME_H
#define PXS_TESTS_PXS_TEST_FRAME_H

#include "pxs_test_support.h"

#include <string>

namespace pxstest {

// Test stand-ins for the arithmetic primitives: fixnums only, two args.
inline ZnlObjPtr testPlus(const ZnlObjPtr& args, const ZnlObjPtr&) {
    return ZnlObjPtr(ZncCar(args)->fixnum() + ZncCadr(args)->fixnum());
}
inline ZnlObjPtr testMinus(const ZnlObjPtr& args, const ZnlObjPtr&) {
    return ZnlObjPtr(ZncCar(args)->fixnum() - ZncCadr(args)->fixnum());
}

inline void bindTestNames(const ZnlObjPtr& frame) {
    ZncSet(ZnlObjPtr::unbound(), ZnlObjPtr::unbound(), frame);
    ZncInternPtr("nil", ZnlObjPtr::nil(), frame);
    ZncInternPtr("t", ZnlObjPtr::t(), frame);
    ZncInternPtr("eof", ZnlObjPtr::nil(), frame);
    struct Row {
        const char* name;
        ZnlPrimitiveFn code;
        bool form;
    };
    const Row rows[] = {
        {"quote", ZnlQuote, true}, {"define", ZnlSetq, true}, {"setq", ZnlSetq, true},
        {"lambda", ZnlLambda, true}, {"let", ZnlLet, true}, {"sequence", ZnlSequence, true},
        {"if", ZnlIf, true}, {"cond", ZnlCond, true}, {"set!", ZnlSetqBoundVariable, true},
        {"setqb", ZnlSetqBoundVariable, true}, {"+", testPlus, false}, {"-", testMinus, false},
        {"=", ZnlEqualSign, false}, {">", ZnlGreater, false}, {">=", ZnlGreaterEqual, false},
        {"<", ZnlLess, false}, {"<=", ZnlLessEqual, false}, {"and", ZnlAnd, false},
        {"append", ZnlAppend, false}, {"assoc", ZnlAssoc, false}, {"assv", ZnlAssv, false},
        {"assq", ZnlAssq, false}, {"car", ZnlLCar, false}, {"cdr", ZnlLCdr, false},
        {"cons", ZnlLCons, false}, {"describe", ZnlDescribe, false},
        {"bindings", ZnlEnvDump, false}, {"eq?", ZnlEq, false}, {"equal?", ZnlEqual, false},
        {"eq", ZnlEq, false}, {"equal", ZnlEqual, false}, {"eval", ZnlEval, false},
        {"format", ZnlFormat, false}, {"frame-bindings", ZnlFrameBindings, false},
        {"frame-bound?", ZnlFrameBound, false}, {"frame-parent", ZnlFrameParent, false},
        {"length", ZnlLength, false}, {"list", ZnlList, false}, {"list?", ZnlListp, false},
        {"mem", ZnlMem, false}, {"make-frame", ZnlNewFrame, false},
        {"not", ZnlNotOrNull, false}, {"null?", ZnlNotOrNull, false},
        {"nullp", ZnlNotOrNull, false}, {"number?", ZnlNumberp, false}, {"or", ZnlOr, false},
        {"prin1", ZnlPrin1, false}, {"reverse", ZnlReverse, false},
        {"string?", ZnlStringp, false}, {"the-frame", ZnlTheFrame, false},
        {"terpri", ZnlTerpri, false},
    };
    for (const Row& row : rows) {
        if (row.form)
            ZncInternSpecialForm(row.name, row.code, frame);
        else
            ZncInternCompiledC(row.name, row.code, frame);
    }
}

// The innermost error a step must raise.
struct Fails {
    const char* message;
};

// PXS text and the printed value it must give, or the error it must raise.
struct Step {
    Step(const char* t, const char* v) : text(t), value(v) {}
    Step(const char* t, Fails f) : text(t), error(f.message) {}
    const char* text;
    const char* value = nullptr;
    const char* error = nullptr;
};

// A fresh global frame and a way to run PXS text in it. The frame is torn
// down the way an environment's owner does it, so closures bound in it do
// not keep it alive.
class Interp {
public:
    Interp() { bindTestNames(frame); }
    ~Interp() {
        frame->setRefcnt(1);
        frame = ZnlObjPtr();
    }
    Interp(const Interp&) = delete;
    Interp& operator=(const Interp&) = delete;

    // Reads and evaluates every datum of `text`; the last value.
    ZnlObjPtr run(const std::string& text) {
        ZnlStringInputStream in(text.c_str());
        ZnlObjPtr eof = ZncIntern("eof", frame);
        ZnlObjPtr value = ZnlObjPtr::nil();
        for (ZnlObjPtr datum = ZncRead(&in, frame); !(datum == eof); datum = ZncRead(&in, frame))
            value = ZncEval(datum, frame);
        return value;
    }
    // run(), expecting a fixnum.
    int number(const std::string& text) {
        ZnlObjPtr v = run(text);
        EXPECT_EQ(v->tag(), ZnlFixnumTag) << text;
        return v->tag() == ZnlFixnumTag ? v->fixnum() : -999999;
    }
    // run(), printed.
    std::string show(const std::string& text) { return printed(run(text)); }
    // Runs the steps in order in this frame, each checked as it goes.
    void expect(std::initializer_list<Step> steps) {
        for (const Step& step : steps) {
            SCOPED_TRACE(step.text);
            if (step.error) {
                EXPECT_PXS_FAILURE(run(step.text), step.error);
                continue;
            }
            ZnlObjPtr v = run(step.text);
            EXPECT_EQ(printed(v), step.value);
            // A symbol named nil or t prints like the constant: insist on
            // the constant itself.
            if (printed(v) == "nil" || printed(v) == "t") {
                EXPECT_TRUE(v == (*step.value == 't' ? ZnlObjPtr::t() : ZnlObjPtr::nil()));
            }
        }
    }
    // The value of a global variable.
    ZnlObjPtr global(const char* name) { return ZncSymeval(ZncIntern(name, frame), frame); }

    ZnlObjPtr frame{ZnlFrameTag};
};

}  // namespace pxstest

#endif
