// pxs_bench.cpp -- the interpreter as a host program meets it: a
// configuration script of 10,000 settings loaded into registered host
// variables, and the evaluator's tail loop and call-heavy recursion run
// through a full global frame with the real arithmetic primitives.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>

#include <pxs/pxs.h>

namespace {

constexpr int kSettings = 10000;

// A script file that sets every one of kSettings variables, a third each
// integers, floats and strings, removed when the benchmark ends.
class SettingsScript {
public:
    SettingsScript() {
        char pattern[] = "/tmp/pxs-bench-XXXXXX";
        int fd = mkstemp(pattern);
        path_ = pattern;
        std::string text = "; generated settings\n";
        for (int i = 0; i < kSettings; ++i) {
            std::string name = "setting-" + std::to_string(i);
            switch (i % 3) {
                case 0:
                    text += "(setq " + name + " " + std::to_string(i * 7) + ")\n";
                    break;
                case 1:
                    text += "(setq " + name + " (* " + std::to_string(i) + " 0.5))\n";
                    break;
                default:
                    text += "(setq " + name + " \"value " + std::to_string(i) + "\")\n";
            }
        }
        if (write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) std::abort();
        close(fd);
    }
    ~SettingsScript() { std::remove(path_.c_str()); }
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

// Host variables of the three kinds, registered in `pxs` under the names
// the script sets.
struct HostSettings {
    explicit HostSettings(ZnPxsEnvironment& pxs) {
        for (int i = 0; i < kSettings; ++i) {
            std::string name = "setting-" + std::to_string(i);
            switch (i % 3) {
                case 0:
                    pxs.registerVar(name.c_str(), &ints.emplace_back(0));
                    break;
                case 1:
                    pxs.registerVar(name.c_str(), &doubles.emplace_back(0.0));
                    break;
                default:
                    pxs.registerVar(name.c_str(), &strings.emplace_back());
            }
        }
    }
    // Deques: registered addresses must not move as elements are added.
    std::deque<int> ints;
    std::deque<double> doubles;
    std::deque<ZnString> strings;
};

void quiet() {
    ZnNotifyLevel = 1;
}

// Load and copy back only: the environment and its registrations exist.
void BM_LoadSettings10k(benchmark::State& state) {
    quiet();
    SettingsScript script;
    ZnPxsEnvironment pxs;
    HostSettings host(pxs);
    for (auto _ : state) {
        ZnlObjPtr last = pxs.loadLispFile(script.path(), 1);
        benchmark::DoNotOptimize(last.get());
    }
    if (host.ints[kSettings / 3 - 1] != (kSettings / 3 - 1) * 3 * 7)
        state.SkipWithError("wrong value");
}
BENCHMARK(BM_LoadSettings10k)->Unit(benchmark::kMillisecond);

// What a host program pays from nothing: environment, registrations, load.
void BM_EnvironmentRegisterLoad10k(benchmark::State& state) {
    quiet();
    SettingsScript script;
    for (auto _ : state) {
        ZnPxsEnvironment pxs;
        HostSettings host(pxs);
        pxs.loadLispFile(script.path(), 1);
        benchmark::DoNotOptimize(host.strings.back());
    }
}
BENCHMARK(BM_EnvironmentRegisterLoad10k)->Unit(benchmark::kMillisecond);

void runProgram(benchmark::State& state, const char* definitions, const char* call) {
    quiet();
    ZnPxsEnvironment pxs;
    pxs.loadLispExpr(definitions, 0);
    for (auto _ : state) {
        ZnlObjPtr value = pxs.loadLispExpr(call, 0);
        if (!value) state.SkipWithError("the program failed");
        benchmark::DoNotOptimize(value.get());
    }
}

void BM_GlobalFrameCountdown1M(benchmark::State& state) {
    runProgram(state, "(define (count n) (if (= n 0) 0 (count (- n 1))))", "(count 1000000)");
}
BENCHMARK(BM_GlobalFrameCountdown1M)->Unit(benchmark::kMillisecond);

void BM_GlobalFrameFib25(benchmark::State& state) {
    runProgram(state, "(define (fib n) (if (< n 2) n (+ (fib (- n 1)) (fib (- n 2)))))",
               "(fib 25)");
}
BENCHMARK(BM_GlobalFrameFib25)->Unit(benchmark::kMillisecond);

void BM_GlobalFrameBuildReverse100k(benchmark::State& state) {
    runProgram(state, "(define (build n acc) (if (= n 0) acc (build (- n 1) (cons n acc))))",
               "(length (reverse (build 100000 nil)))");
}
BENCHMARK(BM_GlobalFrameBuildReverse100k)->Unit(benchmark::kMillisecond);

}  // namespace
