// memory_bench.cpp -- how much heap a read takes, per byte of input: the
// peak while reading and what the model keeps afterwards, for generated
// models in each of the three formats. Every operator new and every libxml2
// allocation goes through counting functions, which is why this is a
// program of its own: the counting would slow the timing benchmarks down.
//
// Counters: input (bytes), peak/byte and kept/byte (heap bytes per input
// byte), blocks (allocations made by one read).

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <unistd.h>

#include <libxml/xmlmemory.h>

#include <pxs/pxs.h>

namespace {

std::atomic<size_t> gLive{0};
std::atomic<size_t> gPeak{0};
std::atomic<size_t> gBlocks{0};

// Each block carries its size in front of it, so a free knows what to
// subtract; the header keeps max_align_t alignment.
constexpr size_t kHeader = alignof(std::max_align_t);

void noteAlloc(size_t size) {
    size_t live = gLive.fetch_add(size) + size;
    size_t peak = gPeak.load();
    while (live > peak && !gPeak.compare_exchange_weak(peak, live)) {
    }
    gBlocks.fetch_add(1);
}

// Kept out of line: inlined into the replaced operator new and delete, the
// compiler takes the header arithmetic for an out-of-bounds access.
__attribute__((noinline)) void* countedMalloc(size_t size) {
    char* block = static_cast<char*>(std::malloc(size + kHeader));
    if (!block) return nullptr;
    std::memcpy(block, &size, sizeof size);
    noteAlloc(size);
    return block + kHeader;
}

__attribute__((noinline)) void countedFree(void* p) {
    if (!p) return;
    char* block = static_cast<char*>(p) - kHeader;
    size_t size;
    std::memcpy(&size, block, sizeof size);
    gLive.fetch_sub(size);
    std::free(block);
}

void* countedRealloc(void* p, size_t size) {
    if (!p) return countedMalloc(size);
    char* block = static_cast<char*>(p) - kHeader;
    size_t old;
    std::memcpy(&old, block, sizeof old);
    char* grown = static_cast<char*>(std::realloc(block, size + kHeader));
    if (!grown) return nullptr;
    std::memcpy(grown, &size, sizeof size);
    gLive.fetch_sub(old);
    noteAlloc(size);
    return grown + kHeader;
}

char* countedStrdup(const char* text) {
    size_t n = std::strlen(text) + 1;
    char* copy = static_cast<char*>(countedMalloc(n));
    if (copy) std::memcpy(copy, text, n);
    return copy;
}

std::string writeTemp(const std::string& text, const char* suffix) {
    std::string path = "/tmp/pxs-memory-XXXXXX";
    path += suffix;
    int fd = mkstemps(path.data(), static_cast<int>(std::strlen(suffix)));
    if (fd < 0) return "";
    bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok ? path : "";
}

// `classes` object classes under the root, each with `attributes`
// attributes, and as many interaction classes with one parameter.
std::string fed13Model(int classes, int attributes) {
    std::string out = "(FED (Federation M) (FEDversion v1.3) (spaces)\n (objects (class ObjectRoot\n"
                      "  (attribute privilegeToDelete reliable timestamp)\n";
    for (int c = 0; c < classes; ++c) {
        out += "  (class Class" + std::to_string(c) + "\n";
        for (int a = 0; a < attributes; ++a)
            out += "    (attribute Attribute" + std::to_string(a) + " reliable receive)\n";
        out += "  )\n";
    }
    out += " ))\n (interactions (class InteractionRoot reliable receive\n";
    for (int c = 0; c < classes; ++c)
        out += "  (class Interaction" + std::to_string(c) +
               " reliable receive (parameter Parameter))\n";
    return out + " )))\n";
}

std::string fdd2000Model(int classes, int attributes) {
    std::string out = "<?xml version=\"1.0\"?>\n<objectModel name=\"M\" type=\"FOM\">\n<objects>\n"
                      "<objectClass name=\"HLAobjectRoot\">\n";
    for (int c = 0; c < classes; ++c) {
        out += "<objectClass name=\"Class" + std::to_string(c) + "\" sharing=\"PublishSubscribe\">\n";
        for (int a = 0; a < attributes; ++a)
            out += "<attribute name=\"Attribute" + std::to_string(a) +
                   "\" dataType=\"HLAinteger32BE\" transportation=\"HLAreliable\" "
                   "order=\"Receive\"/>\n";
        out += "</objectClass>\n";
    }
    out += "</objectClass>\n</objects>\n<interactions>\n"
           "<interactionClass name=\"HLAinteractionRoot\" transportation=\"HLAreliable\" "
           "order=\"Receive\">\n";
    for (int c = 0; c < classes; ++c)
        out += "<interactionClass name=\"Interaction" + std::to_string(c) +
               "\" transportation=\"HLAreliable\" order=\"Receive\">"
               "<parameter name=\"Parameter\"/></interactionClass>\n";
    return out + "</interactionClass>\n</interactions>\n</objectModel>\n";
}

std::string evolvedModel(int classes, int attributes) {
    std::string out = "<?xml version=\"1.0\"?>\n"
                      "<objectModel xmlns=\"http://standards.ieee.org/IEEE1516-2010\">\n"
                      "<modelIdentification><name>M</name><type>FOM</type></modelIdentification>\n"
                      "<objects><objectClass><name>HLAobjectRoot</name>\n";
    for (int c = 0; c < classes; ++c) {
        out += "<objectClass><name>Class" + std::to_string(c) +
               "</name><sharing>PublishSubscribe</sharing>\n";
        for (int a = 0; a < attributes; ++a)
            out += "<attribute><name>Attribute" + std::to_string(a) +
                   "</name><dataType>HLAinteger32BE</dataType>"
                   "<transportation>HLAreliable</transportation><order>Receive</order>"
                   "</attribute>\n";
        out += "</objectClass>\n";
    }
    out += "</objectClass></objects>\n<interactions><interactionClass>"
           "<name>HLAinteractionRoot</name>\n";
    for (int c = 0; c < classes; ++c)
        out += "<interactionClass><name>Interaction" + std::to_string(c) +
               "</name><parameter><name>Parameter</name></parameter></interactionClass>\n";
    return out + "</interactionClass></interactions>\n</objectModel>\n";
}

template <typename Reader>
void measureRead(benchmark::State& state, const std::string& text, const char* suffix) {
    const std::string path = writeTemp(text, suffix);
    if (path.empty()) {
        state.SkipWithError("cannot write the model file");
        return;
    }
    size_t peak = 0, kept = 0, blocks = 0;
    for (auto _ : state) {
        ZnFom* fom = new ZnFom;
        Reader reader;
        const size_t before = gLive.load();
        const size_t blocksBefore = gBlocks.load();
        gPeak.store(before);
        ZnFedReadStatus status = reader.readFed(path.c_str(), fom, 0, false, false);
        if (status != ZnFedReadSuccess) state.SkipWithError("read failed");
        peak = gPeak.load() - before;
        kept = gLive.load() - before;
        blocks = gBlocks.load() - blocksBefore;
        delete fom;
    }
    std::remove(path.c_str());
    const double input = static_cast<double>(text.size());
    state.counters["input"] = input;
    state.counters["peak/byte"] = static_cast<double>(peak) / input;
    state.counters["kept/byte"] = static_cast<double>(kept) / input;
    state.counters["blocks"] = static_cast<double>(blocks);
}

void BM_MemoryFed13(benchmark::State& state) {
    int classes = static_cast<int>(state.range(0));
    measureRead<ZnFedReader13>(state, fed13Model(classes, 10), ".fed");
}

void BM_MemoryFdd2000(benchmark::State& state) {
    int classes = static_cast<int>(state.range(0));
    measureRead<ZnFedReader1516>(state, fdd2000Model(classes, 10), ".xml");
}

void BM_MemoryEvolved(benchmark::State& state) {
    int classes = static_cast<int>(state.range(0));
    measureRead<ZnFedReader1516e>(state, evolvedModel(classes, 10), ".xml");
}

BENCHMARK(BM_MemoryFed13)->Arg(100)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MemoryFdd2000)->Arg(100)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MemoryEvolved)->Arg(100)->Arg(2000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

void* operator new(size_t size) {
    void* p = countedMalloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    return p;
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return countedMalloc(size ? size : 1); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return countedMalloc(size ? size : 1); }
void operator delete(void* p) noexcept { countedFree(p); }
void operator delete[](void* p) noexcept { countedFree(p); }
void operator delete(void* p, size_t) noexcept { countedFree(p); }
void operator delete[](void* p, size_t) noexcept { countedFree(p); }

int main(int argc, char** argv) {
    // Before libxml2's first use, so that every block it hands out is counted.
    xmlMemSetup(countedFree, countedMalloc, countedRealloc, countedStrdup);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
