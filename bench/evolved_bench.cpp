// evolved_bench.cpp -- reading HLA Evolved modules and HLA 1.3 FED files
// next to the floor each reader cannot beat: libxml2 alone parsing (and
// validating) the same bytes, and the PXS reader alone reading the same
// FED datum.
//
// Models: a generated module of 10,000 object classes with 10 attributes
// each, 1,000 interaction classes with 5 parameters and every record table
// (about 11 MB); the built-in MIM (165 KB); a FED file of 100,000 classes
// with one attribute each. The schema runs use the project's DIF schema,
// named by a local path in the module's schemaLocation.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include <pxs/fddEvolvedWalk.h>
#include <pxs/pxs.h>
#include <util/xmlPtr.h>

namespace {

const std::string kSchema = std::string(PXS_LIB_DATA_DIR) + "/IEEE1516-DIF-2010.xsd";

std::string element(const char* name, const std::string& text) {
    return std::string("<") + name + ">" + text + "</" + name + ">";
}

// Object classes as a tree with up to eight children per class (class i
// hangs under class (i - 1) / 8), written with an explicit stack.
void appendObjects(std::string& out, int count, int attributes) {
    std::vector<std::vector<int>> children(static_cast<size_t>(count) + 1);
    for (int i = 1; i <= count; ++i) children[static_cast<size_t>((i - 1) / 8)].push_back(i);
    struct Frame {
        int cls;
        size_t next;
    };
    std::vector<Frame> stack{{0, 0}};
    out += "<objects>\n<objectClass><name>HLAobjectRoot</name>\n";
    while (!stack.empty()) {
        Frame& top = stack.back();
        const std::vector<int>& kids = children[static_cast<size_t>(top.cls)];
        if (top.next == kids.size()) {
            out += "</objectClass>\n";
            stack.pop_back();
            continue;
        }
        int cls = kids[top.next++];
        out += "<objectClass>" + element("name", "Class" + std::to_string(cls)) +
               element("sharing", "PublishSubscribe") + "\n";
        for (int a = 0; a < attributes; ++a)
            out += "<attribute>" + element("name", "attr" + std::to_string(a)) +
                   element("dataType", "HLAinteger32BE") + element("updateType", "Conditional") +
                   element("updateCondition", "on change") +
                   element("ownership", "DivestAcquire") +
                   element("sharing", "PublishSubscribe") +
                   "<dimensions><dimension>Zone</dimension></dimensions>" +
                   element("transportation", "HLAreliable") + element("order", "Receive") +
                   element("semantics", "Generated") + "</attribute>\n";
        stack.push_back({cls, 0});
    }
    out += "</objects>\n";
}

void appendInteractions(std::string& out, int count) {
    out += "<interactions>\n<interactionClass><name>HLAinteractionRoot</name>\n";
    for (int i = 0; i < count; ++i) {
        out += "<interactionClass>" + element("name", "Event" + std::to_string(i)) +
               element("sharing", "PublishSubscribe") +
               "<dimensions><dimension>Zone</dimension></dimensions>" +
               element("transportation", "HLAbestEffort") + element("order", "TimeStamp") + "\n";
        for (int p = 0; p < 5; ++p)
            out += "<parameter>" + element("name", "p" + std::to_string(p)) +
                   element("dataType", "HLAinteger32BE") + "</parameter>\n";
        out += "</interactionClass>\n";
    }
    out += "</interactionClass>\n</interactions>\n";
}

void appendTables(std::string& out, int records) {
    out += "<dimensions><dimension><name>Zone</name><upperBound>1000</upperBound>"
           "<normalization>linear</normalization><value>[0..10)</value></dimension>"
           "</dimensions>\n<transportations><transportation><name>HLAreliable</name>"
           "<reliable>Yes</reliable></transportation><transportation><name>HLAbestEffort</name>"
           "<reliable>No</reliable></transportation></transportations>\n"
           "<switches><autoProvide isEnabled=\"true\"/><serviceReporting isEnabled=\"false\"/>"
           "</switches>\n<updateRates><updateRate><name>Slow</name><rate>1</rate></updateRate>"
           "</updateRates>\n<dataTypes>\n<simpleDataTypes>\n";
    for (int i = 0; i < records; ++i)
        out += "<simpleData>" + element("name", "Simple" + std::to_string(i)) +
               element("representation", "HLAinteger32BE") + element("units", "m") +
               element("resolution", "1") + element("accuracy", "1") +
               element("semantics", "Generated") + "</simpleData>\n";
    out += "</simpleDataTypes>\n<enumeratedDataTypes>\n";
    for (int i = 0; i < records; ++i)
        out += "<enumeratedData>" + element("name", "Enum" + std::to_string(i)) +
               element("representation", "HLAinteger32BE") +
               "<enumerator><name>A</name><value>0</value></enumerator>"
               "<enumerator><name>B</name><value>1</value></enumerator></enumeratedData>\n";
    out += "</enumeratedDataTypes>\n</dataTypes>\n<notes>\n";
    for (int i = 0; i < records; ++i)
        out += "<note>" + element("label", "Note" + std::to_string(i)) +
               element("semantics", "Generated") + "</note>\n";
    out += "</notes>\n";
}

const char* const kRootOpen =
    "<?xml version=\"1.0\"?>\n<objectModel xmlns=\"http://standards.ieee.org/IEEE1516-2010\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:schemaLocation="
    "\"http://standards.ieee.org/IEEE1516-2010 ";

std::string generateModule() {
    // The schema's sequence fixes the order of the top-level tables.
    std::string objects, interactions, tables;
    appendObjects(objects, 10000, 10);
    appendInteractions(interactions, 1000);
    appendTables(tables, 500);
    return kRootOpen + kSchema + "\">\n<modelIdentification><name>Generated</name>"
                                 "</modelIdentification>\n" +
           objects + interactions + tables + "</objectModel>\n";
}

// The MIM, naming the local copy of the schema instead of the web address.
std::string localMim() {
    const PxsEmbeddedFile* mim = pxsFindEmbeddedFile("HLAstandardMIM.xml");
    std::string bytes(reinterpret_cast<const char*>(mim->data), mim->size);
    const std::string web = "http://standards.ieee.org/downloads/1516/1516.2-2010/"
                            "IEEE1516-DIF-2010.xsd";
    bytes.replace(bytes.find(web), web.size(), kSchema);
    return bytes;
}

std::string generateFed(int classes) {
    std::string out = "(FED (Federation Generated) (FEDversion v1.3)\n (spaces (space Geo "
                      "(dimension X) (dimension Y)))\n (objects (class ObjectRoot\n"
                      "  (attribute privilegeToDelete reliable timestamp)\n";
    for (int i = 0; i < classes; ++i)
        out += "  (class Class" + std::to_string(i) + " (attribute position best_effort "
               "receive Geo))\n";
    out += "))\n (interactions (class InteractionRoot best_effort receive\n";
    for (int i = 0; i < 1000; ++i)
        out += "  (class Event" + std::to_string(i) + " reliable timestamp (parameter p))\n";
    return out + ")))\n";
}

// One model per kind, as bytes and as a file kept for the process.
struct Model {
    std::string bytes;
    std::string path;
};

enum Kind { kModule = 0, kMim = 1, kFed = 2 };

const Model& model(int kind) {
    static Model models[3];
    Model& m = models[kind];
    if (!m.bytes.empty()) return m;
    m.bytes = kind == kModule ? generateModule() : kind == kMim ? localMim() : generateFed(100000);
    m.path = "/tmp/pxs_evolved_bench_" + std::to_string(::getpid()) +
             (kind == kFed ? "_" + std::to_string(kind) + ".fed"
                           : "_" + std::to_string(kind) + ".xml");
    std::FILE* f = std::fopen(m.path.c_str(), "wb");
    std::fwrite(m.bytes.data(), 1, m.bytes.size(), f);
    std::fclose(f);
    return m;
}

struct RemoveFiles {
    ~RemoveFiles() {
        for (int kind = 0; kind < 3; ++kind)
            std::remove(("/tmp/pxs_evolved_bench_" + std::to_string(::getpid()) + "_" +
                         std::to_string(kind) + (kind == kFed ? ".fed" : ".xml"))
                            .c_str());
    }
} removeFiles;

XmlDocPtr parse(const Model& m) {
    return XmlDocPtr(xmlReadMemory(m.bytes.data(), static_cast<int>(m.bytes.size()), nullptr,
                                   nullptr, XML_PARSE_NOBLANKS | XML_PARSE_NONET));
}

// The floor: libxml2 parsing the bytes, and with range(1) also parsing the
// schema file and validating the document against it, as the reader does.
void BM_EvolvedLibxmlOnly(benchmark::State& state) {
    const Model& m = model(static_cast<int>(state.range(0)));
    bool validate = state.range(1) != 0;
    for (auto _ : state) {
        XmlDocPtr doc = parse(m);
        if (validate && !pxsdetail::fdd::evolved::validateWithSchema(doc.get(), kSchema.c_str()))
            state.SkipWithError("invalid model");
        benchmark::DoNotOptimize(doc.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * m.bytes.size()));
}

// The whole read as a caller sees it: file into memory, parse, (validate,)
// walk and deliver into a fresh ZnFom, which is freed outside the timing.
void BM_EvolvedReadIntoFom(benchmark::State& state) {
    const Model& m = model(static_cast<int>(state.range(0)));
    ZnFedReader1516e reader;
    if (state.range(1)) reader.setSchemaValidationEnabled(true);
    std::FILE* file = std::fopen(m.path.c_str(), "rb");
    for (auto _ : state) {
        auto fom = std::make_unique<ZnFom>();
        ZnFedReadStatus status =
            reader.readFedFilePtr(file, fom.get(), ZnFilename(m.path.c_str()), 0, false, false);
        if (status != ZnFedReadSuccess) state.SkipWithError(reader.lastError().c_str());
        benchmark::DoNotOptimize(fom->objectClasses().data());
        state.PauseTiming();
        fom.reset();
        state.ResumeTiming();
    }
    std::fclose(file);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * m.bytes.size()));
}

// The reader's own walk over an already parsed module, delivering into a
// fresh ZnFom: the part of a read that is not libxml2's. The target is set
// by reading the built-in MIM first, outside the timing.
void BM_EvolvedWalkOnly(benchmark::State& state) {
    const Model& m = model(static_cast<int>(state.range(0)));
    XmlDocPtr doc = parse(m);
    ZnFedReader1516e reader;
    for (auto _ : state) {
        state.PauseTiming();
        auto fom = std::make_unique<ZnFom>();
        reader.readFedFilePtr(nullptr, fom.get(), ZnFilename("HLAstandardMIM.xml"), 0, false,
                              false);
        state.ResumeTiming();
        reader.processFed(xmlDocGetRootElement(doc.get()));
        benchmark::DoNotOptimize(fom->objectClasses().data());
        state.PauseTiming();
        fom.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * m.bytes.size()));
}

// The built-in MIM read from memory, as readFed("HLAstandardMIM.xml") does.
void BM_EmbeddedMimIntoFom(benchmark::State& state) {
    ZnFedReader1516e reader;
    for (auto _ : state) {
        auto fom = std::make_unique<ZnFom>();
        if (reader.readFedFilePtr(nullptr, fom.get(), ZnFilename("HLAstandardMIM.xml"), 0, false,
                                  false) != ZnFedReadSuccess)
            state.SkipWithError(reader.lastError().c_str());
        state.PauseTiming();
        fom.reset();
        state.ResumeTiming();
    }
}

// The floor of a FED read: the PXS reader alone reading the datum.
void BM_FedDatumOnly(benchmark::State& state) {
    const Model& m = model(kFed);
    for (auto _ : state) {
        ZnlStringInputStream in(m.bytes.data(), static_cast<long>(m.bytes.size()));
        ZnlObjPtr datum = ZncRead(&in, ZnlObjPtr());
        benchmark::DoNotOptimize(datum.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * m.bytes.size()));
}

void BM_FedReadIntoFom(benchmark::State& state) {
    const Model& m = model(kFed);
    ZnFedReader13 reader;
    std::FILE* file = std::fopen(m.path.c_str(), "rb");
    for (auto _ : state) {
        auto fom = std::make_unique<ZnFom>();
        if (reader.readFedFilePtr(file, fom.get(), ZnFilename(m.path.c_str()), 0, false, false) !=
            ZnFedReadSuccess)
            state.SkipWithError(reader.lastError().c_str());
        benchmark::DoNotOptimize(fom->objectClasses().data());
        state.PauseTiming();
        fom.reset();
        state.ResumeTiming();
    }
    std::fclose(file);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * m.bytes.size()));
}

// Arguments: model (0 generated module, 1 MIM), validate (0, 1). Warm-up
// first: the first pass mostly measures the process acquiring memory.
BENCHMARK(BM_EvolvedLibxmlOnly)
    ->Args({kModule, 0})
    ->Args({kModule, 1})
    ->Args({kMim, 0})
    ->Args({kMim, 1})
    ->MinWarmUpTime(1)
    ->MinTime(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EvolvedReadIntoFom)
    ->Args({kModule, 0})
    ->Args({kModule, 1})
    ->Args({kMim, 0})
    ->Args({kMim, 1})
    ->MinWarmUpTime(1)
    ->MinTime(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EvolvedWalkOnly)
    ->Arg(kModule)
    ->Arg(kMim)
    ->MinWarmUpTime(1)
    ->MinTime(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmbeddedMimIntoFom)->MinWarmUpTime(1)->MinTime(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FedDatumOnly)->MinWarmUpTime(1)->MinTime(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FedReadIntoFom)->MinWarmUpTime(1)->MinTime(2)->Unit(benchmark::kMillisecond);

}  // namespace
