// interp_bench.cpp -- baseline timings of the interpreter core: reading a
// large generated script, a tail-recursive loop and naive recursive
// Fibonacci. Later work on the interpreter must not slow these down.

#include <pxs/pxs.h>

#include <benchmark/benchmark.h>

#include <string>

namespace {

// Stand-ins for the arithmetic primitives, so that the core can be measured
// on its own: fixnums only, two arguments.
ZnlObjPtr benchPlus(const ZnlObjPtr& args, const ZnlObjPtr&) {
    return ZnlObjPtr(args->carRef()->fixnum() + args->cdrRef()->carRef()->fixnum());
}

ZnlObjPtr benchMinus(const ZnlObjPtr& args, const ZnlObjPtr&) {
    return ZnlObjPtr(args->carRef()->fixnum() - args->cdrRef()->carRef()->fixnum());
}

// A global frame with what the scripts below use, torn down at the end the
// way an environment's owner does it.
struct BenchFrame {
    ZnlObjPtr frame{ZnlFrameTag};
    BenchFrame() {
        ZncInternPtr("nil", ZnlObjPtr::nil(), frame);
        ZncInternPtr("t", ZnlObjPtr::t(), frame);
        ZncInternPtr("eof", ZnlObjPtr::nil(), frame);
        ZncInternSpecialForm("define", ZnlSetq, frame);
        ZncInternSpecialForm("if", ZnlIf, frame);
        ZncInternSpecialForm("quote", ZnlQuote, frame);
        ZncInternCompiledC("=", ZnlEqualSign, frame);
        ZncInternCompiledC("<", ZnlLess, frame);
        ZncInternCompiledC("+", benchPlus, frame);
        ZncInternCompiledC("-", benchMinus, frame);
        ZncInternCompiledC("list", ZnlList, frame);
    }
    ~BenchFrame() {
        frame->setRefcnt(1);
        frame = ZnlObjPtr();
    }
    ZnlObjPtr run(const std::string& text) {
        ZnlStringInputStream in(text.c_str());
        ZnlObjPtr eof = ZncIntern("eof", frame);
        ZnlObjPtr value;
        for (ZnlObjPtr d = ZncRead(&in, frame); !(d == eof); d = ZncRead(&in, frame))
            value = ZncEval(d, frame);
        return value;
    }
};

// About 1 MB of configuration-like text: definitions of nested lists of
// numbers, strings and symbols, with comments.
std::string generatedScript() {
    std::string text;
    for (int i = 0; i < 10000; ++i) {
        std::string n = std::to_string(i);
        text += "; entry " + n + "\n(define entry" + n + " '(object \"Class" + n +
                "\" (attribute x" + n + " 1.5 -42 0x1F) (attribute y (nested (list a b c)))" +
                " (interaction i" + n + " \"text with blanks\")))\n";
    }
    return text;
}

void BM_ReadLargeScript(benchmark::State& state) {
    const std::string text = generatedScript();
    BenchFrame lisp;
    ZnlObjPtr eof = ZncIntern("eof", lisp.frame);
    for (auto _ : state) {
        ZnlStringInputStream in(text.c_str());
        long data = 0;
        for (ZnlObjPtr d = ZncRead(&in, lisp.frame); !(d == eof); d = ZncRead(&in, lisp.frame))
            ++data;
        benchmark::DoNotOptimize(data);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadLargeScript)->Unit(benchmark::kMillisecond);

void BM_TailRecursiveLoop(benchmark::State& state) {
    BenchFrame lisp;
    lisp.run("(define (loop n) (if (= n 0) 0 (loop (- n 1))))");
    const std::string call = "(loop " + std::to_string(state.range(0)) + ")";
    for (auto _ : state) benchmark::DoNotOptimize(lisp.run(call));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TailRecursiveLoop)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_NaiveFibonacci(benchmark::State& state) {
    BenchFrame lisp;
    lisp.run("(define (fib n) (if (< n 2) n (+ (fib (- n 1)) (fib (- n 2)))))");
    const std::string call = "(fib " + std::to_string(state.range(0)) + ")";
    for (auto _ : state) benchmark::DoNotOptimize(lisp.run(call));
}
BENCHMARK(BM_NaiveFibonacci)->Arg(20)->Unit(benchmark::kMillisecond);

}  // namespace
