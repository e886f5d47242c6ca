// merge_bench.cpp -- sets of generated HLA Evolved modules read into a ZnFom
// and merged into a ZnFomMerge, next to libxml2 alone parsing the same bytes
// with the options the reader parses with (the floor no read can beat).
//
// Models, both from one generator: every module adds its own class trees,
// data types of every kind and notes, all with description text; the first
// gives the shared parent classes their members and defines the shared data
// types, each later one restates those classes as scaffolding and the shared
// data types, dimensions, transportations and rates unchanged.
//  - The reference set: five modules of about 350 KB (1.7 MB in all), some
//    300 object classes seven levels deep, 250 interaction classes and 450
//    data types, the size of a large real-world object model.
//  - The merge series: 1, 2, 5, 10 and 20 modules of about 1 MB each, whose
//    cost must grow with the number of modules and no faster.
// Before timing, each benchmark reads its set once and stops with an error
// unless every module reads and merges without a diagnostic or a warning.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include <pxs/pxs.h>
#include <util/xmlPtr.h>

namespace {

// The reader's own parse options; they must stay those of fddWalk.cpp for
// the floor to be the reader's floor.
constexpr int kReaderParseOptions = XML_PARSE_NOBLANKS | XML_PARSE_NONET | XML_PARSE_NOERROR |
                                    XML_PARSE_NOWARNING | XML_PARSE_BIG_LINES;

// What one module adds of its own.
struct Shape {
    int objectClasses;
    int interactionClasses;
    int simples;
    int enumerateds;
    int arrays;
    int records;
    int variants;
    int notes;
};

// About 350 KB a module.
constexpr Shape kReferenceShape{60, 50, 22, 16, 16, 22, 5, 20};
constexpr int kReferenceModules = 5;
// About 1 MB a module.
constexpr Shape kLargeShape{190, 150, 70, 55, 50, 70, 12, 40};
constexpr int kLargestSeries = 20;

const char* const kBasics[] = {"HLAoctet",        "HLAoctetPairBE",  "HLAinteger16BE",
                               "HLAinteger32BE",  "HLAinteger64BE",  "HLAinteger16LE",
                               "HLAinteger32LE",  "HLAinteger64LE",  "HLAfloat32BE",
                               "HLAfloat64BE",    "HLAfloat32LE",    "HLAfloat64LE"};
constexpr int kBasicCount = sizeof kBasics / sizeof kBasics[0];
constexpr int kSharedSimples = 12;
constexpr int kSharedEnumerateds = 10;
constexpr int kSharedArrays = 6;
constexpr int kSharedRecords = 10;

const char* const kWords[] = {"position", "of",      "the",    "entity", "in",     "world",
                              "frame",    "measured", "at",    "time",   "given",  "by",
                              "owning",   "federate", "when",  "updated", "value", "relative",
                              "to",       "parent",  "platform", "sensor", "state", "reported"};
constexpr int kWordCount = sizeof kWords / sizeof kWords[0];

// Description text of 4 to 19 words, the same for the same seed.
std::string prose(int seed) {
    std::string out = "Generated description:";
    int words = 4 + seed % 16;
    for (int i = 0; i < words; ++i) {
        out += ' ';
        out += kWords[(seed * 7 + i * 5) % kWordCount];
    }
    return out + ".";
}

// Builds one module's text; `index` 0 is the module that owns what is shared.
class ModuleWriter {
public:
    ModuleWriter(const Shape& shape, int index)
        : shape_(shape), index_(index), prefix_("M" + std::to_string(index)) {
        // The names the module's members use: its own data types and the shared ones.
        for (int k = 0; k < shape.simples; ++k) types_.push_back(own("Simple", k));
        for (int k = 0; k < shape.enumerateds; ++k) types_.push_back(own("Enum", k));
        for (int k = 0; k < shape.arrays; ++k) types_.push_back(own("Array", k));
        for (int k = 0; k < shape.records; ++k) types_.push_back(own("Record", k));
        for (int k = 0; k < shape.variants; ++k) types_.push_back(own("Variant", k));
        for (int k = 0; k < kSharedSimples; ++k) types_.push_back(shared("Simple", k));
        for (int k = 0; k < kSharedRecords; ++k) types_.push_back(shared("Record", k));
    }

    std::string text() {
        out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<objectModel xmlns=\"http://standards.ieee.org/IEEE1516-2010\">\n";
        identification();
        objects();
        interactions();
        tables();
        dataTypes();
        notes();
        out_ += "</objectModel>\n";
        return std::move(out_);
    }

private:
    std::string own(const char* what, int k) const { return prefix_ + what + std::to_string(k); }
    static std::string shared(const char* what, int k) {
        return std::string("Shared") + what + std::to_string(k);
    }
    const std::string& typeFor(int seed) const {
        return types_[static_cast<size_t>(seed) % types_.size()];
    }

    void element(const char* name, const std::string& text) {
        out_ += '<';
        out_ += name;
        out_ += '>';
        out_ += text;
        out_ += "</";
        out_ += name;
        out_ += ">\n";
    }

    void identification() {
        out_ += "<modelIdentification>\n";
        element("name", prefix_ + "Module");
        element("type", "FOM");
        element("version", "1.0");
        element("modificationDate", "2024-01-01");
        element("securityClassification", "Unclassified");
        element("purpose", prose(index_));
        element("description", prose(index_ + 11));
        out_ += "</modelIdentification>\n";
    }

    void attribute(const std::string& name, int seed) {
        out_ += "<attribute>\n";
        element("name", name);
        element("dataType", typeFor(seed));
        if (seed % 3 == 0) {
            element("updateType", "Periodic");
            element("updateCondition", "Rate Slow");
        } else {
            element("updateType", "Conditional");
            element("updateCondition", "On change");
        }
        element("ownership", "DivestAcquire");
        element("sharing", "PublishSubscribe");
        if (seed % 4 == 0) out_ += "<dimensions><dimension>Zone</dimension></dimensions>\n";
        element("transportation", seed % 2 ? "HLAreliable" : "HLAbestEffort");
        element("order", seed % 2 ? "TimeStamp" : "Receive");
        element("semantics", prose(seed));
        out_ += "</attribute>\n";
    }

    void parameter(const std::string& name, int seed) {
        out_ += "<parameter>\n";
        element("name", name);
        element("dataType", typeFor(seed));
        element("semantics", prose(seed));
        out_ += "</parameter>\n";
    }

    // Own classes hang under `parent` as a tree, class k under class
    // (k - 1) / fanOut, written with an explicit stack. `open` writes the
    // class's properties and members.
    template <class Open>
    void tree(int count, int fanOut, const char* tag, Open open) {
        std::vector<std::vector<int>> children(static_cast<size_t>(count));
        for (int k = 1; k < count; ++k)
            children[static_cast<size_t>((k - 1) / fanOut)].push_back(k);
        struct Frame {
            int cls;
            size_t next;
        };
        std::vector<Frame> stack;
        auto enter = [&](int k) {
            out_ += '<';
            out_ += tag;
            out_ += ">\n";
            open(k);
            stack.push_back({k, 0});
        };
        enter(0);
        while (!stack.empty()) {
            Frame& top = stack.back();
            const std::vector<int>& kids = children[static_cast<size_t>(top.cls)];
            if (top.next == kids.size()) {
                out_ += "</";
                out_ += tag;
                out_ += ">\n";
                stack.pop_back();
                continue;
            }
            enter(kids[top.next++]);
        }
    }

    // HLAobjectRoot > BaseEntity > PhysicalEntity > own tree of fan-out 4.
    void objects() {
        out_ += "<objects>\n<objectClass>\n";
        element("name", "HLAobjectRoot");
        out_ += "<objectClass>\n";
        element("name", "BaseEntity");
        if (index_ == 0) {
            element("sharing", "PublishSubscribe");
            element("semantics", prose(1));
            for (int a = 0; a < 6; ++a) attribute("Base" + std::to_string(a), a);
        }
        out_ += "<objectClass>\n";
        element("name", "PhysicalEntity");
        if (index_ == 0) {
            element("sharing", "PublishSubscribe");
            element("semantics", prose(2));
            for (int a = 0; a < 8; ++a) attribute("Physical" + std::to_string(a), a + 6);
        }
        tree(shape_.objectClasses, 4, "objectClass", [&](int k) {
            element("name", own("Object", k));
            element("sharing", "PublishSubscribe");
            element("semantics", prose(k));
            int attributes = 2 + k % 7;
            for (int a = 0; a < attributes; ++a)
                attribute(own("Object", k) + "Attr" + std::to_string(a), k * 7 + a * 3);
        });
        out_ += "</objectClass>\n</objectClass>\n</objectClass>\n</objects>\n";
    }

    // HLAinteractionRoot > SharedEvent > own tree of fan-out 8.
    void interactions() {
        out_ += "<interactions>\n<interactionClass>\n";
        element("name", "HLAinteractionRoot");
        out_ += "<interactionClass>\n";
        element("name", "SharedEvent");
        if (index_ == 0) {
            element("sharing", "PublishSubscribe");
            element("transportation", "HLAreliable");
            element("order", "TimeStamp");
            element("semantics", prose(3));
            for (int p = 0; p < 3; ++p) parameter("Event" + std::to_string(p), p);
        }
        tree(shape_.interactionClasses, 8, "interactionClass", [&](int k) {
            element("name", own("Event", k));
            element("sharing", "PublishSubscribe");
            if (k % 4 == 0) out_ += "<dimensions><dimension>Band</dimension></dimensions>\n";
            element("transportation", k % 2 ? "HLAreliable" : "HLAbestEffort");
            element("order", k % 2 ? "TimeStamp" : "Receive");
            element("semantics", prose(k + 5));
            int parameters = 1 + k % 8;
            for (int p = 0; p < parameters; ++p)
                parameter(own("Event", k) + "Param" + std::to_string(p), k * 5 + p);
        });
        out_ += "</interactionClass>\n</interactionClass>\n</interactions>\n";
    }

    void tables() {
        out_ += "<dimensions>\n";
        for (const char* name : {"Zone", "Band"}) {
            out_ += "<dimension>\n";
            element("name", name);
            element("dataType", "SharedSimple0");
            element("upperBound", "1024");
            element("normalization", "linear");
            element("value", "[0..1024)");
            out_ += "</dimension>\n";
        }
        out_ += "</dimensions>\n<transportations>\n";
        for (const char* name : {"HLAreliable", "HLAbestEffort"}) {
            out_ += "<transportation>\n";
            element("name", name);
            element("reliable", name[3] == 'r' ? "Yes" : "No");
            element("semantics", prose(name[3]));
            out_ += "</transportation>\n";
        }
        out_ += "</transportations>\n<updateRates>\n";
        for (int r = 0; r < 3; ++r) {
            out_ += "<updateRate>\n";
            element("name", r == 0 ? "Slow" : r == 1 ? "Medium" : "Fast");
            element("rate", std::to_string(1 + r * 10));
            out_ += "</updateRate>\n";
        }
        out_ += "</updateRates>\n";
    }

    void basic(int k) {
        out_ += "<basicData>\n";
        element("name", kBasics[k]);
        element("size", k < 2 ? (k == 0 ? "8" : "16") : std::to_string(16 << ((k - 2) % 3)));
        element("interpretation", prose(k + 20));
        element("endian", k >= 5 && k <= 7 ? "Little" : "Big");
        element("encoding", prose(k + 40));
        out_ += "</basicData>\n";
    }

    void simple(const std::string& name, int k) {
        out_ += "<simpleData>\n";
        element("name", name);
        element("representation", kBasics[k % kBasicCount]);
        element("units", k % 2 ? "m" : "s");
        element("resolution", "1");
        element("accuracy", "perfect");
        element("semantics", prose(k));
        out_ += "</simpleData>\n";
    }

    void enumerated(const std::string& name, int k) {
        out_ += "<enumeratedData>\n";
        element("name", name);
        element("representation", "HLAinteger32BE");
        element("semantics", prose(k));
        int enumerators = 4 + (k * 13) % 40;
        for (int e = 0; e < enumerators; ++e) {
            out_ += "<enumerator>\n";
            element("name", "Enumerator" + std::to_string(e));
            element("value", std::to_string(e));
            out_ += "</enumerator>\n";
        }
        out_ += "</enumeratedData>\n";
    }

    void array(const std::string& name, const std::string& elementType, int k) {
        out_ += "<arrayData>\n";
        element("name", name);
        element("dataType", elementType);
        element("cardinality", k % 3 ? "Dynamic" : std::to_string(1 + k % 16));
        element("encoding", k % 3 ? "HLAvariableArray" : "HLAfixedArray");
        element("semantics", prose(k));
        out_ += "</arrayData>\n";
    }

    // Fields name data types of the kinds before records: simple, enumerated, array.
    void record(const std::string& name, int k, bool isShared) {
        out_ += "<fixedRecordData>\n";
        element("name", name);
        element("encoding", "HLAfixedRecord");
        element("semantics", prose(k));
        int fields = 3 + k % 13;
        for (int f = 0; f < fields; ++f) {
            out_ += "<field>\n";
            element("name", "Field" + std::to_string(f));
            int pick = k + f * 3;
            std::string type = isShared || pick % 2 ? shared("Simple", pick % kSharedSimples)
                               : pick % 3 ? own("Enum", pick % shape_.enumerateds)
                                          : own("Array", pick % shape_.arrays);
            element("dataType", type);
            element("semantics", prose(pick));
            out_ += "</field>\n";
        }
        out_ += "</fixedRecordData>\n";
    }

    void variant(const std::string& name, int k) {
        out_ += "<variantRecordData>\n";
        element("name", name);
        element("discriminant", "Kind");
        element("dataType", own("Enum", k % shape_.enumerateds));
        for (int a = 0; a < 4; ++a) {
            out_ += "<alternative>\n";
            element("enumerator", a < 3 ? "Enumerator" + std::to_string(a) : "HLAother");
            element("name", "Alternative" + std::to_string(a));
            element("dataType", a % 2 ? own("Record", (k + a) % shape_.records)
                                      : shared("Simple", a));
            element("semantics", prose(k + a));
            out_ += "</alternative>\n";
        }
        element("encoding", "HLAvariantRecord");
        element("semantics", prose(k));
        out_ += "</variantRecordData>\n";
    }

    // The shared data types come first in each table, exactly as module 0
    // gives them, so later modules restate them without a difference.
    void dataTypes() {
        out_ += "<dataTypes>\n<basicDataRepresentations>\n";
        for (int k = 0; k < kBasicCount; ++k) basic(k);
        out_ += "</basicDataRepresentations>\n<simpleDataTypes>\n";
        for (int k = 0; k < kSharedSimples; ++k) simple(shared("Simple", k), k);
        for (int k = 0; k < shape_.simples; ++k) simple(own("Simple", k), k);
        out_ += "</simpleDataTypes>\n<enumeratedDataTypes>\n";
        for (int k = 0; k < kSharedEnumerateds; ++k) enumerated(shared("Enum", k), k);
        for (int k = 0; k < shape_.enumerateds; ++k) enumerated(own("Enum", k), k);
        out_ += "</enumeratedDataTypes>\n<arrayDataTypes>\n";
        for (int k = 0; k < kSharedArrays; ++k)
            array(shared("Array", k), shared("Simple", k), k);
        for (int k = 0; k < shape_.arrays; ++k)
            array(own("Array", k),
                  k % 2 ? own("Simple", k % shape_.simples) : own("Enum", k % shape_.enumerateds),
                  k);
        out_ += "</arrayDataTypes>\n<fixedRecordDataTypes>\n";
        for (int k = 0; k < kSharedRecords; ++k) record(shared("Record", k), k, true);
        for (int k = 0; k < shape_.records; ++k) record(own("Record", k), k, false);
        out_ += "</fixedRecordDataTypes>\n<variantRecordDataTypes>\n";
        for (int k = 0; k < shape_.variants; ++k) variant(own("Variant", k), k);
        out_ += "</variantRecordDataTypes>\n</dataTypes>\n";
    }

    void notes() {
        out_ += "<notes>\n";
        for (int k = 0; k < shape_.notes; ++k) {
            out_ += "<note>\n";
            element("label", own("Note", k));
            element("semantics", prose(k) + " " + prose(k + 1) + " " + prose(k + 2));
            out_ += "</note>\n";
        }
        out_ += "</notes>\n";
    }

    const Shape& shape_;
    int index_;
    std::string prefix_;
    std::vector<std::string> types_;
    std::string out_;
};

// A generated set: each module as bytes and as a file kept for the process.
struct ModuleSet {
    std::vector<std::string> bytes;
    std::vector<std::string> paths;
    size_t totalBytes = 0;

    ModuleSet(const char* tag, const Shape& shape, int count) {
        for (int i = 0; i < count; ++i) {
            bytes.push_back(ModuleWriter(shape, i).text());
            totalBytes += bytes.back().size();
            paths.push_back("/tmp/pxs_merge_bench_" + std::to_string(::getpid()) + "_" + tag +
                            std::to_string(i) + ".xml");
            std::FILE* f = std::fopen(paths.back().c_str(), "wb");
            if (!f) continue;  // the check before timing reports the missing file
            std::fwrite(bytes.back().data(), 1, bytes.back().size(), f);
            std::fclose(f);
        }
    }
    ~ModuleSet() {
        for (const std::string& path : paths) std::remove(path.c_str());
    }
    ModuleSet(const ModuleSet&) = delete;
    ModuleSet& operator=(const ModuleSet&) = delete;
};

const ModuleSet& referenceSet() {
    static const ModuleSet set("ref", kReferenceShape, kReferenceModules);
    return set;
}

const ModuleSet& largeSet() {
    static const ModuleSet set("large", kLargeShape, kLargestSeries);
    return set;
}

// Open files of the first `count` modules, closed with the object.
class OpenModules {
public:
    OpenModules(const ModuleSet& set, size_t count) {
        for (size_t i = 0; i < count; ++i) files_.push_back(std::fopen(set.paths[i].c_str(), "rb"));
    }
    ~OpenModules() {
        for (std::FILE* f : files_)
            if (f) std::fclose(f);
    }
    OpenModules(const OpenModules&) = delete;
    OpenModules& operator=(const OpenModules&) = delete;
    std::FILE* operator[](size_t i) const { return files_[i]; }

private:
    std::vector<std::FILE*> files_;
};

// Reads the first `count` modules of `set` into `fom` one after the other;
// false at the first that fails.
bool readInto(ZnFedReader1516e& reader, ZnFom& fom, const ModuleSet& set,
              const OpenModules& files, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (reader.readFedFilePtr(files[i], &fom, ZnFilename(set.paths[i].c_str()), 1, false,
                                  false) != ZnFedReadSuccess)
            return false;
    return true;
}

// Merges the first `count` modules as a host holding the whole set does,
// ending with the completeness check; false at the first module that fails.
bool mergeInto(ZnFedReader1516e& reader, ZnFomMerge& fom, const ModuleSet& set,
               const OpenModules& files, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        fom.beginModule(set.paths[i]);
        if (reader.readFedFilePtr(files[i], &fom, ZnFilename(set.paths[i].c_str()), 1, false,
                                  false) != ZnFedReadSuccess ||
            !fom.endModule())
            return false;
    }
    return fom.checkComplete();
}

// Whatever went wrong merging the first `count` modules once: the reader's
// error, the merge's diagnostics and every warning; empty when nothing did.
// Also checks that each module's classes arrived, so a generator that
// silently lost its classes cannot pass for a fast merge.
std::string mergeProblems(const ModuleSet& set, size_t count, const Shape& shape) {
    std::ostringstream warnings;
    std::streambuf* saved = ZnWarn.rdbuf(warnings.rdbuf());
    ZnFedReader1516e reader;
    ZnFomMerge fom;
    OpenModules files(set, count);
    bool merged = mergeInto(reader, fom, set, files, count);
    ZnWarn.rdbuf(saved);
    std::string problems = warnings.str();
    if (!merged) problems += "merge failed: " + reader.lastError().std() + "\n";
    for (const ZnFomDiagnostic& d : fom.diagnostics())
        problems += d.file + ":" + std::to_string(d.line) + ": " + d.element + " " + d.message +
                    "\n";
    // The roots and shared classes, then each module's own.
    const size_t objects = 3 + count * static_cast<size_t>(shape.objectClasses);
    const size_t interactions = 2 + count * static_cast<size_t>(shape.interactionClasses);
    if (fom.objectClasses().size() != objects ||
        fom.interactionClasses().size() != interactions)
        problems += "classes lost: " + std::to_string(fom.objectClasses().size()) +
                    " object and " + std::to_string(fom.interactionClasses().size()) +
                    " interaction classes\n";
    return problems;
}

// The floor: libxml2 parsing and freeing each module of the reference set
// with the reader's options, in a parser context of its own as the reader's.
void BM_ReferenceSetLibxmlOnly(benchmark::State& state) {
    const ModuleSet& set = referenceSet();
    for (auto _ : state) {
        for (const std::string& bytes : set.bytes) {
            XmlParserCtxtPtr ctxt(xmlNewParserCtxt());
            XmlDocPtr doc(xmlCtxtReadMemory(ctxt.get(), bytes.data(),
                                            static_cast<int>(bytes.size()), nullptr, nullptr,
                                            kReaderParseOptions));
            if (!doc) state.SkipWithError("libxml2 refused a module");
            benchmark::DoNotOptimize(doc.get());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * set.totalBytes));
    state.counters["MB"] = static_cast<double>(set.totalBytes) / 1e6;
}

// Reads the first `count` modules of `set` with `read` into a fresh Model
// each iteration; the model is freed untimed. Reports the bytes read.
template <class Model, class Read>
void timeReads(benchmark::State& state, const ModuleSet& set, size_t count, Read read) {
    ZnFedReader1516e reader;
    OpenModules files(set, count);
    for (auto _ : state) {
        auto fom = std::make_unique<Model>();
        if (!read(reader, *fom, set, files, count))
            state.SkipWithError(reader.lastError().c_str());
        benchmark::DoNotOptimize(fom->objectClasses().data());
        state.PauseTiming();
        fom.reset();
        state.ResumeTiming();
    }
    size_t bytes = 0;
    for (size_t i = 0; i < count; ++i) bytes += set.bytes[i].size();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

// The reference set read module by module into a ZnFom, as a caller sees
// it (files into memory, parse, walk).
void BM_ReferenceSetReadIntoFom(benchmark::State& state) {
    const ModuleSet& set = referenceSet();
    timeReads<ZnFom>(state, set, set.paths.size(), readInto);
}

// The reference set merged module by module into a ZnFomMerge (Strict),
// with the completeness check at the end.
void BM_ReferenceSetMerge(benchmark::State& state) {
    const ModuleSet& set = referenceSet();
    std::string problems = mergeProblems(set, set.paths.size(), kReferenceShape);
    if (!problems.empty()) {
        state.SkipWithError(problems.c_str());
        return;
    }
    timeReads<ZnFomMerge>(state, set, set.paths.size(), mergeInto);
}

// The series' complexity and the time divided by the modules read.
void perModule(benchmark::State& state, size_t count) {
    state.SetComplexityN(state.range(0));
    state.counters["per_module"] =
        benchmark::Counter(static_cast<double>(count),
                           benchmark::Counter::kIsIterationInvariantRate |
                               benchmark::Counter::kInvert);
}

// range(0) modules of about 1 MB merged into one ZnFomMerge (Strict), with
// the completeness check; per_module is the time divided by the modules.
void BM_MergeModules(benchmark::State& state) {
    const ModuleSet& set = largeSet();
    const size_t count = static_cast<size_t>(state.range(0));
    std::string problems = mergeProblems(set, count, kLargeShape);
    if (!problems.empty()) {
        state.SkipWithError(problems.c_str());
        return;
    }
    timeReads<ZnFomMerge>(state, set, count, mergeInto);
    perModule(state, count);
}

// The same series read into a plain ZnFom: the merge's own share of the
// growth is what it adds to this.
void BM_ReadModules(benchmark::State& state) {
    const ModuleSet& set = largeSet();
    const size_t count = static_cast<size_t>(state.range(0));
    timeReads<ZnFom>(state, set, count, readInto);
    perModule(state, count);
}

// With --benchmark_repetitions the fastest repetition is reported too: on
// a shared machine it is the one the others disturbed least.
double fastest(const std::vector<double>& times) {
    return times.empty() ? 0 : *std::min_element(times.begin(), times.end());
}

// Warm-up first: the first pass mostly measures the process acquiring memory.
void settings(benchmark::internal::Benchmark* b) {
    b->ComputeStatistics("min", fastest)
        ->MinWarmUpTime(1)
        ->MinTime(2)
        ->Unit(benchmark::kMillisecond);
}
void series(benchmark::internal::Benchmark* b) {
    settings(b);
    b->Arg(1)->Arg(2)->Arg(5)->Arg(10)->Arg(kLargestSeries)->Complexity(benchmark::oN);
}
BENCHMARK(BM_ReferenceSetLibxmlOnly)->Apply(settings);
BENCHMARK(BM_ReferenceSetReadIntoFom)->Apply(settings);
BENCHMARK(BM_ReferenceSetMerge)->Apply(settings);
BENCHMARK(BM_MergeModules)->Apply(series);
BENCHMARK(BM_ReadModules)->Apply(series);

}  // namespace
