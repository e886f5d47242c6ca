// fomSorter.cpp -- depths of FOM modules from their dependencies, and the
// file names in order of increasing depth.

#include <pxs/fomSorter.h>

#include <algorithm>

#include <util/znNotify.h>

namespace {

// Marks a module as being measured for the length of one call, so that a
// dependency leading back to it is seen as a cycle; unmarked on every exit.
class InProgress {
public:
    InProgress(std::vector<ZnString>& stack, const ZnString& module) : stack_(stack) {
        stack_.push_back(module);
    }
    ~InProgress() { stack_.pop_back(); }
    InProgress(const InProgress&) = delete;
    InProgress& operator=(const InProgress&) = delete;

private:
    std::vector<ZnString>& stack_;
};

}  // namespace

ZnFomSorter* ZnFomSorter::create() { return new ZnFomSorter; }

ZnFomSorter::~ZnFomSorter() = default;

// The recursion follows dependency chains, so its depth is bounded by the
// number of modules inserted; the in-progress stack ends every cycle.
int ZnFomSorter::mapFomDepComplexity(const FomDeps& module) {
    const ZnString& name = module.first;
    int max = 0;
    if (!module.second.empty()) {
        InProgress guard(inProgress_, name);
        for (const ZnString& dependency : module.second) {
            if (!fomToFileMap_.count(dependency)) continue;
            int candidate;
            auto known = fomToComplexMap_.find(dependency);
            if (known != fomToComplexMap_.end()) {
                candidate = known->second + 1;
            } else {
                auto open = std::find(inProgress_.begin(), inProgress_.end(), dependency);
                if (open != inProgress_.end()) {
                    std::vector<ZnString> cycle(open, inProgress_.end());
                    cycle.push_back(dependency);
                    ZnString text;
                    for (const ZnString& step : cycle) text += (text.empty() ? "" : " -> ") + step;
                    ZnWarn << "FOM module dependency cycle ignored: " << text << "\n";
                    cycles_.push_back(std::move(cycle));
                    continue;
                }
                const ZnString& file = fomToFileMap_[dependency];
                candidate = mapFomDepComplexity(fileToFomDepsPairMap_[file]) + 1;
            }
            max = std::max(max, candidate);
        }
    }
    complexToFomMap_.emplace(max, name);
    fomToComplexMap_.emplace(name, max);  // the first depth stored stays
    return max;
}

void ZnFomSorter::sortFomFileNames(std::vector<ZnString>* out) {
    if (!out) return;
    out->clear();
    size_t count = 0;
    for (size_t level = 0; complexToFomMap_.size() > level; ++level) {
        auto range = complexToFomMap_.equal_range(static_cast<int>(level));
        if (range.first == range.second) continue;
        for (auto it = range.first; it != range.second; ++it) {
            auto file = fomToFileMap_.find(it->second);
            if (file == fomToFileMap_.end()) continue;
            out->push_back(file->second);
            ++count;
        }
        if (count == complexToFomMap_.size()) break;
    }
}

void ZnFomSorter::insertFileToFomDepsPairMap(const ZnString& file, const FomDeps& module) {
    fileToFomDepsPairMap_.emplace(file, module);
}

void ZnFomSorter::insertFomToFileMap(const ZnString& fomName, const ZnString& file) {
    fomToFileMap_.emplace(fomName, file);
}

ZnFomSorter::FomDeps& ZnFomSorter::atFileToFomDepsPairMap(const ZnString& file) {
    return fileToFomDepsPairMap_[file];
}

std::vector<ZnString>& ZnFomSorter::allDependencies() { return allDependencies_; }

std::vector<ZnString>& ZnFomSorter::allFomNames() { return allFomNames_; }

bool ZnFomSorter::isEachDependencyValid() {
    for (const ZnString& dependency : allDependencies_)
        if (std::find(allFomNames_.begin(), allFomNames_.end(), dependency) == allFomNames_.end())
            return false;
    return true;
}

std::map<ZnString, ZnFomSorter::FomDeps>& ZnFomSorter::fileToFomDepsPairMap() {
    return fileToFomDepsPairMap_;
}

int ZnFomSorter::atFomToComplexMap(ZnString& fomName) { return fomToComplexMap_[fomName]; }

std::map<ZnString, int>& ZnFomSorter::fomToComplexMap() { return fomToComplexMap_; }

ZnString ZnFomSorter::atFomToFileMap(ZnString& fomName) { return fomToFileMap_[fomName]; }

std::map<ZnString, ZnString>& ZnFomSorter::fomToFileMap() { return fomToFileMap_; }
