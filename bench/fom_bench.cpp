// fom_bench.cpp -- reading generated IEEE 1516-2000 FDDs of several sizes
// into a ZnFom, next to libxml2 alone parsing the same bytes (the floor the
// reader cannot beat), and writing the large model back out in both XML
// forms. The large model has 10,000 object classes with 10 attributes
// each, 1,000 interaction classes and every record table.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <unistd.h>
#include <vector>

#include <pxs/pxs.h>
#include <util/xmlPtr.h>

namespace {

// Writes `count` object classes below HLAobjectRoot as a tree with up to
// eight children per class (class i hangs under class (i - 1) / 8), walked
// with an explicit stack so the generator itself is not recursive.
void appendObjectTree(std::string& out, int count, int attributes) {
    std::vector<std::vector<int>> children(static_cast<size_t>(count) + 1);
    for (int i = 1; i <= count; ++i) children[static_cast<size_t>((i - 1) / 8)].push_back(i);
    struct Frame {
        int cls;
        size_t next;
    };
    std::vector<Frame> stack{{0, 0}};
    out += "<objects>\n<objectClass name=\"HLAobjectRoot\">\n"
           "<attribute name=\"HLAprivilegeToDelete\" transportation=\"HLAreliable\" "
           "order=\"TimeStamp\"/>\n";
    while (!stack.empty()) {
        Frame& top = stack.back();
        const std::vector<int>& kids = children[static_cast<size_t>(top.cls)];
        if (top.next == kids.size()) {
            out += "</objectClass>\n";
            stack.pop_back();
            continue;
        }
        int cls = kids[top.next++];
        out += "<objectClass name=\"Class" + std::to_string(cls) + "\" sharing=\"PublishSubscribe\">\n";
        for (int a = 0; a < attributes; ++a)
            out += "<attribute name=\"attr" + std::to_string(a) +
                   "\" dataType=\"HLAinteger32BE\" updateType=\"Conditional\" "
                   "updateCondition=\"on change\" ownership=\"DivestAcquire\" "
                   "sharing=\"PublishSubscribe\" dimensions=\"Zone\" "
                   "transportation=\"HLAreliable\" order=\"Receive\" semantics=\"Generated\"/>\n";
        stack.push_back({cls, 0});
    }
    out += "</objects>\n";
}

void appendInteractions(std::string& out, int count) {
    out += "<interactions>\n<interactionClass name=\"HLAinteractionRoot\" "
           "transportation=\"HLAreliable\" order=\"Receive\" dimensions=\"NA\">\n";
    for (int i = 0; i < count; ++i) {
        out += "<interactionClass name=\"Event" + std::to_string(i) +
               "\" transportation=\"HLAbestEffort\" order=\"TimeStamp\" dimensions=\"Zone\">\n";
        for (int p = 0; p < 5; ++p)
            out += "<parameter name=\"p" + std::to_string(p) + "\" dataType=\"HLAinteger32BE\"/>\n";
        out += "</interactionClass>\n";
    }
    out += "</interactionClass>\n</interactions>\n";
}

void appendTables(std::string& out, int records) {
    out += "<dimensions><dimension name=\"Zone\" upperBound=\"1000\" normalization=\"linear\" "
           "value=\"[0..10)\"/></dimensions>\n"
           "<time><timeStamp dataType=\"HLAfloat64Time\"/><lookahead "
           "dataType=\"HLAfloat64Interval\"/></time>\n"
           "<synchronizations><synchronization label=\"Ready\" capability=\"Achieve\"/>"
           "</synchronizations>\n"
           "<transportations><transportation name=\"HLAreliable\"/><transportation "
           "name=\"HLAbestEffort\"/></transportations>\n"
           "<switches autoProvide=\"Enabled\" serviceReporting=\"Disabled\"/>\n"
           "<dataTypes>\n<basicDataRepresentations><basicData name=\"HLAinteger32BE\" "
           "size=\"32\" interpretation=\"Integer\" endian=\"Big\" encoding=\"Two's "
           "complement\"/></basicDataRepresentations>\n<simpleDataTypes>\n";
    for (int i = 0; i < records; ++i)
        out += "<simpleData name=\"Simple" + std::to_string(i) +
               "\" representation=\"HLAinteger32BE\" units=\"m\" resolution=\"1\" "
               "accuracy=\"1\" semantics=\"Generated\"/>\n";
    out += "</simpleDataTypes>\n<enumeratedDataTypes>\n";
    for (int i = 0; i < records; ++i)
        out += "<enumeratedData name=\"Enum" + std::to_string(i) +
               "\" representation=\"HLAinteger32BE\"><enumerator name=\"A\" values=\"0\"/>"
               "<enumerator name=\"B\" values=\"1\"/></enumeratedData>\n";
    out += "</enumeratedDataTypes>\n</dataTypes>\n<notes>\n";
    for (int i = 0; i < records; ++i)
        out += "<note name=\"Note" + std::to_string(i) + "\" semantics=\"Generated\"/>\n";
    out += "</notes>\n";
}

std::string generateFdd(int classes, int attributes, int interactions, int records) {
    std::string out = "<?xml version=\"1.0\"?>\n<objectModel name=\"Generated\" type=\"FOM\">\n";
    appendObjectTree(out, classes, attributes);
    appendInteractions(out, interactions);
    appendTables(out, records);
    out += "</objectModel>\n";
    return out;
}

// One generated model per size, kept as bytes and as a file for the process.
struct Model {
    std::string bytes;
    std::string path;
};

const Model& model(int size) {
    static std::map<int, Model> models;
    auto it = models.find(size);
    if (it != models.end()) return it->second;
    Model m;
    switch (size) {
        case 0: m.bytes = generateFdd(10, 5, 5, 5); break;           // a few KB
        case 1: m.bytes = generateFdd(600, 10, 100, 50); break;      // about 1 MB
        default: m.bytes = generateFdd(10000, 10, 1000, 500); break;  // 10,000 classes
    }
    m.path = "/tmp/pxs_fom_bench_" + std::to_string(::getpid()) + "_" + std::to_string(size) +
             ".fdd";
    std::FILE* f = std::fopen(m.path.c_str(), "wb");
    std::fwrite(m.bytes.data(), 1, m.bytes.size(), f);
    std::fclose(f);
    return models.emplace(size, std::move(m)).first->second;
}

struct RemoveFiles {
    ~RemoveFiles() {
        for (int size = 0; size < 3; ++size)
            std::remove(("/tmp/pxs_fom_bench_" + std::to_string(::getpid()) + "_" +
                         std::to_string(size) + ".fdd")
                            .c_str());
    }
} removeFiles;

void BM_LibxmlParseOnly(benchmark::State& state) {
    const Model& m = model(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        XmlDocPtr doc(xmlReadMemory(m.bytes.data(), static_cast<int>(m.bytes.size()), nullptr,
                                    nullptr, XML_PARSE_NOBLANKS | XML_PARSE_NONET));
        benchmark::DoNotOptimize(doc.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * m.bytes.size()));
}

// The whole read as a caller sees it: file into memory, parse, walk and
// deliver into a fresh ZnFom. The model is what the caller keeps, so it is
// freed outside the timed region; the next benchmark times that as well.
void BM_ReadFddIntoFom(benchmark::State& state) {
    const Model& m = model(static_cast<int>(state.range(0)));
    ZnFedReader1516 reader;
    std::FILE* file = std::fopen(m.path.c_str(), "rb");
    for (auto _ : state) {
        auto fom = std::make_unique<ZnFom>();
        ZnFedReadStatus status = reader.readFedFilePtr(file, fom.get(), ZnFilename(m.path.c_str()),
                                                       0, false, false);
        if (status != ZnFedReadSuccess) state.SkipWithError(reader.lastError().c_str());
        benchmark::DoNotOptimize(fom->objectClasses().data());
        state.PauseTiming();
        fom.reset();
        state.ResumeTiming();
    }
    std::fclose(file);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * m.bytes.size()));
}

// The same with the model freed inside the loop: glibc then merges the
// document's freed nodes when the model's large arrays are released, and
// the next parse pays for carving them up again.
void BM_ReadFddIntoFomAndFree(benchmark::State& state) {
    const Model& m = model(static_cast<int>(state.range(0)));
    ZnFedReader1516 reader;
    std::FILE* file = std::fopen(m.path.c_str(), "rb");
    for (auto _ : state) {
        ZnFom fom;
        ZnFedReadStatus status = reader.readFedFilePtr(file, &fom, ZnFilename(m.path.c_str()), 0,
                                                       false, false);
        if (status != ZnFedReadSuccess) state.SkipWithError(reader.lastError().c_str());
        benchmark::DoNotOptimize(fom.objectClasses().data());
    }
    std::fclose(file);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * m.bytes.size()));
}

// A stream that only counts, so the write is timed without the cost of
// growing a string.
class CountingBuffer : public std::streambuf {
public:
    size_t count = 0;

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override {
        count += static_cast<size_t>(n);
        return n;
    }
    int_type overflow(int_type c) override {
        ++count;
        return c;
    }
};

// The large model written back out: Arg 0 as an HLA Evolved module, Arg 1
// as an IEEE 1516-2000 FDD.
void BM_WriteFom(benchmark::State& state) {
    const Model& m = model(2);
    ZnFedReader1516 reader;
    ZnFom fom;
    std::FILE* file = std::fopen(m.path.c_str(), "rb");
    ZnFedReadStatus status =
        reader.readFedFilePtr(file, &fom, ZnFilename(m.path.c_str()), 0, false, false);
    std::fclose(file);
    if (status != ZnFedReadSuccess) state.SkipWithError(reader.lastError().c_str());
    const ZnFomFormat format =
        state.range(0) == 0 ? ZnFomFormat::Evolved2010 : ZnFomFormat::Fdd2000;
    size_t written = 0;
    for (auto _ : state) {
        CountingBuffer buffer;
        std::ostream out(&buffer);
        std::string error;
        if (!ZnWriteFom(fom, format, out, &error)) state.SkipWithError(error.c_str());
        written += buffer.count;
    }
    state.SetBytesProcessed(static_cast<int64_t>(written));
}

// Warm-up first: the first pass over a large model mostly measures the
// process acquiring memory from the system, which both sides pay once.
BENCHMARK(BM_LibxmlParseOnly)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->MinWarmUpTime(1)
    ->MinTime(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFddIntoFom)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->MinWarmUpTime(1)
    ->MinTime(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFddIntoFomAndFree)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->MinWarmUpTime(1)
    ->MinTime(2)
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_WriteFom)
    ->Arg(0)
    ->Arg(1)
    ->MinWarmUpTime(1)
    ->MinTime(2)
    ->Unit(benchmark::kMillisecond);

}  // namespace
