// settings_bench.cpp -- application settings with 2,000 variables in 50
// groups: loading their saved XML file (the figure to keep under 50 ms),
// saving it, generating the schema, and reading a tree already in memory
// through the groups against reading each variable on its own, which
// searches the tree from the top for every variable.

#include <pxs/pxs.h>

#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kGroups = 50;
constexpr int kVariablesPerGroup = 40;
using Scope = ZnBaseConfigVariable;

// settings { group0 { v0_0 ... v0_39 } ... group49 { ... } }, the variables
// cycling through int, double, bool, ZnString and ZnVector64.
class BigSettings {
public:
    BigSettings() : settings_("Bench App", "1.0", "settings") {
        for (int g = 0; g < kGroups; ++g) {
            const std::string group = "group" + std::to_string(g);
            groups_.emplace_back(new ZnVariableGroup(&settings_, group, "section", ""));
            ZnVariableGroup* parent = groups_.back().get();
            for (int v = 0; v < kVariablesPerGroup; ++v)
                variables_.emplace_back(
                    makeVariable(parent, "v" + std::to_string(g) + "_" + std::to_string(v), v));
        }
    }
    ZnApplicationSettings& settings() { return settings_; }
    const std::vector<std::unique_ptr<ZnBaseConfigVariable>>& variables() const {
        return variables_;
    }

private:
    static ZnBaseConfigVariable* makeVariable(ZnVariableGroup* group, const std::string& name,
                                              int n) {
        const ZnString text = "Variable " + name;
        switch (n % 5) {
            case 0:
                return new ZnConfigVariable<int>(group, name, n, text, Scope::AllScopes, false, "");
            case 1:
                return new ZnConfigVariable<double>(group, name, n / 3.0, text, Scope::AllScopes,
                                                    false, "");
            case 2:
                return new ZnConfigVariable<bool>(group, name, true, text, Scope::AllScopes, false,
                                                  "");
            case 3:
                return new ZnConfigVariable<ZnString>(group, name, text, text, Scope::AllScopes,
                                                      false, "");
            default:
                return new ZnConfigVariable<ZnVector64>(group, name, ZnVector64(n, -n, 0.5), text,
                                                        Scope::AllScopes, false, "");
        }
    }

    ZnApplicationSettings settings_;
    std::vector<std::unique_ptr<ZnVariableGroup>> groups_;
    std::vector<std::unique_ptr<ZnBaseConfigVariable>> variables_;
};

// A saved settings file, removed at exit.
class SavedFile {
public:
    SavedFile() {
        char name[] = "/tmp/pxs-settings-bench-XXXXXX";
        dir_ = mkdtemp(name) ? name : "/tmp";
        path_ = dir_ + "/settings.xml";
        initAppEnv();
        BigSettings big;
        big.settings().saveConfigFile(path_, dir_ + "/settings.xsd", false);
    }
    ~SavedFile() {
        unlink(path_.c_str());
        rmdir(dir_.c_str());
    }
    const std::string& path() const { return path_; }

private:
    std::string dir_;
    std::string path_;
};

const SavedFile& savedFile() {
    static SavedFile file;
    return file;
}

void BM_SettingsLoadXmlFile(benchmark::State& state) {
    const std::string& path = savedFile().path();
    BigSettings big;
    for (auto _ : state) {
        if (!big.settings().loadConfigFile(path)) state.SkipWithError("load failed");
    }
    state.counters["variables"] = kGroups * kVariablesPerGroup;
}

void BM_SettingsSaveXmlFile(benchmark::State& state) {
    const std::string path = savedFile().path() + ".out";
    BigSettings big;
    for (auto _ : state) big.settings().saveConfigFile(path, "settings.xsd", false);
    unlink(path.c_str());
}

void BM_SettingsGenerateSchema(benchmark::State& state) {
    const std::string path = savedFile().path() + ".xsd";
    BigSettings big;
    for (auto _ : state) big.settings().generateConfigFileSchema(path);
    unlink(path.c_str());
}

// The tree read once; only the variables' reading is timed.
ZnEnvironment readTree() {
    ZnEnvXMLReader reader(false);
    bool ok = false;
    return reader.readFile(savedFile().path(), ok);
}

void BM_SettingsReadTreeThroughGroups(benchmark::State& state) {
    ZnEnvironment env = readTree();
    BigSettings big;
    for (auto _ : state) big.settings().updateFromEnvironment(env);
}

// Each variable locates its group and itself from the top, as it does when
// read outside its group's read: quadratic in the number of variables.
void BM_SettingsReadTreeEachVariableAlone(benchmark::State& state) {
    ZnEnvironment env = readTree();
    BigSettings big;
    for (auto _ : state)
        for (const auto& variable : big.variables()) variable->updateFromEnvironment(env);
}

BENCHMARK(BM_SettingsLoadXmlFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SettingsSaveXmlFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SettingsGenerateSchema)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SettingsReadTreeThroughGroups)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SettingsReadTreeEachVariableAlone)->Unit(benchmark::kMillisecond);

}  // namespace
