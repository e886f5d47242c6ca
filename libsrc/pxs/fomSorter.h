// fomSorter.h -- puts HLA Evolved FOM module files into an order in which
// every module comes after the modules it depends on. The sorter reads no
// file: the application tells it each file's module name and dependencies.
//
//     ZnFomSorter* sorter = ZnFomSorter::create();
//     for (each file) {                          // name and deps from the module
//         sorter->insertFileToFomDepsPairMap(file, {name, deps});
//         sorter->insertFomToFileMap(name, file);
//         sorter->allFomNames().push_back(name);
//         for (d : deps) sorter->allDependencies().push_back(d);
//     }
//     if (!sorter->isEachDependencyValid()) ...  // a dependency names no module
//     for (auto& [file, module] : sorter->fileToFomDepsPairMap())
//         if (!sorter->fomToComplexMap().count(module.first))
//             sorter->mapFomDepComplexity(module);
//     std::vector<ZnString> ordered;
//     sorter->sortFomFileNames(&ordered);
//     delete sorter;
//
// A module's depth is 0 when none of its dependencies is a known module,
// else one more than the deepest known dependency. Dependency cycles (a
// module that names itself, or A -> B -> A) are broken where they close: the
// dependency that would lead back into a module still being measured is
// ignored, the cycle is written to ZnWarn and kept in dependencyCycles().

#ifndef PXS_FOMSORTER_H
#define PXS_FOMSORTER_H

#include <map>
#include <utility>
#include <vector>

#include <util/znString.h>

class ZnFomSorter {
public:
    using FomDeps = std::pair<ZnString, std::vector<ZnString>>;  // module name, dependencies

    // A new, empty sorter on the heap; the caller deletes it.
    static ZnFomSorter* create();
    virtual ~ZnFomSorter();
    ZnFomSorter(const ZnFomSorter&) = delete;
    ZnFomSorter& operator=(const ZnFomSorter&) = delete;

    // Depth of `module`, computing (and caching) its dependencies' depths
    // first. Every call lists the module once more for sortFomFileNames.
    virtual int mapFomDepComplexity(const FomDeps& module);
    // File names by increasing depth; modules without a file are left out.
    virtual void sortFomFileNames(std::vector<ZnString>* out);
    // Both inserts ignore a key that is present already.
    virtual void insertFileToFomDepsPairMap(const ZnString& file, const FomDeps& module);
    virtual void insertFomToFileMap(const ZnString& fomName, const ZnString& file);
    // The file's pair; an empty pair is added for an unknown file.
    virtual FomDeps& atFileToFomDepsPairMap(const ZnString& file);
    virtual std::vector<ZnString>& allDependencies();
    virtual std::vector<ZnString>& allFomNames();
    // False at the first dependency that names no collected module.
    virtual bool isEachDependencyValid();
    virtual std::map<ZnString, FomDeps>& fileToFomDepsPairMap();
    // The module's depth; 0 (and a new entry) for an unknown module.
    virtual int atFomToComplexMap(ZnString& fomName);
    virtual std::map<ZnString, int>& fomToComplexMap();
    // The module's file; "" (and a new entry) for an unknown module.
    virtual ZnString atFomToFileMap(ZnString& fomName);
    virtual std::map<ZnString, ZnString>& fomToFileMap();

    // Every dependency cycle met so far, each as the modules along it with
    // the first repeated at the end (A, B, A).
    const std::vector<std::vector<ZnString>>& dependencyCycles() const { return cycles_; }

protected:
    ZnFomSorter() = default;

private:
    std::multimap<int, ZnString> complexToFomMap_;
    std::map<ZnString, int> fomToComplexMap_;
    std::map<ZnString, FomDeps> fileToFomDepsPairMap_;
    std::map<ZnString, ZnString> fomToFileMap_;
    std::vector<ZnString> allDependencies_;
    std::vector<ZnString> allFomNames_;
    // Modules whose depth is being computed, outermost first: a dependency
    // found here closes a cycle.
    std::vector<ZnString> inProgress_;
    std::vector<std::vector<ZnString>> cycles_;
};

#endif
