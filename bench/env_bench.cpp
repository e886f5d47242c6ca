// env_bench.cpp -- configuration trees at 10,000 and 100,000 nodes: build,
// iterate, search, print, write and read XML, each expected to grow
// linearly (Complexity reports the fit). The XML read is set against
// libxml2's text reader alone walking the same bytes, the floor any tree
// reader built on it can reach.

#include <pxs/pxs.h>

#include <benchmark/benchmark.h>

#include <ostream>
#include <streambuf>
#include <string>

namespace {

constexpr int kAttributesPerSection = 9;

// Discards output while still making the printer format every line.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// A tree of `nodes` nodes: sections (objects) directly under the root, one
// in ten holding a nested object, each holding nine attributes. The root's
// child list is long, so iterating it exercises next() on a big list.
ZnEnvironment buildTree(int nodes) {
    ZnEnvironment env("config");
    ZnEnvValueSP root = env.root();
    int made = 0;
    for (int section = 0; made < nodes; ++section) {
        ZnEnvValueSP parent = root;
        if (section % 10 == 9) parent = ZnEnvList::castToList(root)->last();
        ZnEnvValueSP object = env.addObject("section" + std::to_string(section), "section", parent);
        ++made;
        for (int a = 0; a < kAttributesPerSection && made < nodes; ++a, ++made)
            env.addAttribute("key" + std::to_string(a), std::to_string(section * 10 + a), object);
    }
    return env;
}

std::string xmlText(int nodes) {
    ZnEnvironment env = buildTree(nodes);
    ZnEnvXMLWriter writer;
    ZnString text;
    writer.writeString(env, text);
    return text.string();
}

void BM_EnvBuildAndFree(benchmark::State& state) {
    for (auto _ : state) {
        ZnEnvironment env = buildTree(state.range(0));
        benchmark::DoNotOptimize(env.root().get());
    }
    state.SetComplexityN(state.range(0));
}

void BM_EnvIterateRoot(benchmark::State& state) {
    ZnEnvironment env("config");
    ZnEnvList* root = ZnEnvList::castToList(env.root());
    for (int i = 0; i < state.range(0); ++i) env.addComment("c");
    for (auto _ : state) {
        long count = 0;
        for (ZnEnvValueSP c = root->first(); c; c = root->next(c)) ++count;
        benchmark::DoNotOptimize(count);
    }
    state.SetComplexityN(state.range(0));
}

void BM_EnvSearch(benchmark::State& state) {
    ZnEnvironment env = buildTree(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(env.getAttribute("absent").get());
        ZnEnvironment::ValueList found;
        env.getObjectsByType("section", found);
        benchmark::DoNotOptimize(found.size());
    }
    state.SetComplexityN(state.range(0));
}

void BM_EnvPrint(benchmark::State& state) {
    ZnEnvironment env = buildTree(state.range(0));
    NullBuffer sink;
    std::ostream out(&sink);
    for (auto _ : state) out << env;
    state.SetComplexityN(state.range(0));
}

void BM_EnvXmlWriteString(benchmark::State& state) {
    ZnEnvironment env = buildTree(state.range(0));
    ZnEnvXMLWriter writer;
    ZnString text;
    for (auto _ : state) writer.writeString(env, text);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
    state.SetComplexityN(state.range(0));
}

void BM_EnvXmlReadMemory(benchmark::State& state) {
    const std::string text = xmlText(state.range(0));
    ZnEnvXMLReader reader;
    for (auto _ : state) {
        ZnEnvironment env;
        reader.readMemory(env, text.data(), static_cast<int>(text.size()));
        benchmark::DoNotOptimize(env.root().get());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
    state.SetComplexityN(state.range(0));
}

// libxml2 alone: the same bytes through the text reader, visiting every
// node and attribute, building nothing.
void BM_LibxmlTextReaderAlone(benchmark::State& state) {
    const std::string text = xmlText(state.range(0));
    for (auto _ : state) {
        XmlTextReaderPtr reader(xmlReaderForMemory(text.data(), static_cast<int>(text.size()),
                                                   nullptr, nullptr, 0));
        long visited = 0;
        while (xmlTextReaderRead(reader.get()) == 1) {
            ++visited;
            while (xmlTextReaderMoveToNextAttribute(reader.get()) == 1) ++visited;
        }
        benchmark::DoNotOptimize(visited);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
    state.SetComplexityN(state.range(0));
}

#define ENV_SIZES ->Arg(10000)->Arg(100000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond)

BENCHMARK(BM_EnvBuildAndFree) ENV_SIZES;
BENCHMARK(BM_EnvIterateRoot) ENV_SIZES;
BENCHMARK(BM_EnvSearch) ENV_SIZES;
BENCHMARK(BM_EnvPrint) ENV_SIZES;
BENCHMARK(BM_EnvXmlWriteString) ENV_SIZES;
BENCHMARK(BM_EnvXmlReadMemory) ENV_SIZES;
BENCHMARK(BM_LibxmlTextReaderAlone) ENV_SIZES;

}  // namespace
