// fomRead.cpp -- reading and ordering the files named on the pxs-fom
// command line. Every problem goes to standard error; the model only ever
// sees what a reader delivered.

#include "fomRead.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace fomtool {

ZnFedReader* Readers::forType(ZnFomType type) {
    if (type < ZnFomHla13 || type > ZnFomEvolved) return nullptr;
    std::unique_ptr<ZnFedReader>& reader = readers_[type];
    if (!reader) {
        reader.reset(ZnFedReaderFactory::makeFedReader(type));
        // The HLA Evolved reader validates through its own switch.
        if (auto* evolved = dynamic_cast<ZnFedReader1516e*>(reader.get()))
            if (options_.validate) evolved->setSchemaValidationEnabled(true);
    }
    return reader.get();
}

namespace {

struct FileCloser {
    void operator()(FILE* f) const noexcept { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

bool isMimName(const std::string& name) { return name == "HLAstandardMIM.xml"; }

// The file as named or through RTI_CONFIG; null when none opens.
FilePtr openModel(const std::string& name, ZnFilename& path) {
    path = ZnFilename(name.c_str());
    path.searchAlternatePath(std::getenv("RTI_CONFIG"));
    return FilePtr(std::fopen(path.c_str(), "rb"));
}

// The module name and dependencies of an HLA Evolved file, as the reader
// delivers them; the file name stands in for a module without a name.
ZnFomSorter::FomDeps moduleOf(const std::string& name) {
    ZnFom probe;
    ZnFedReader1516e reader;
    ZnFilename path;
    FilePtr file = openModel(name, path);
    reader.readFedFilePtr(file.get(), &probe, file ? path : ZnFilename(name.c_str()), 0, false,
                          false);
    if (probe.modules().empty() || probe.modules()[0].name.empty())
        return {ZnString(name.c_str()), {}};
    return {probe.modules()[0].name, probe.modules()[0].dependencies};
}

bool isEvolvedFile(const std::string& name) {
    ZnFilename path;
    FilePtr file = openModel(name, path);
    if (!file) return isMimName(name);
    return ZnFedReader::checkFomType(path.c_str(), file.get()) == ZnFomEvolved;
}

}  // namespace

ZnFedReadStatus readOne(const std::string& name, ZnFedTarget* target, Readers& readers,
                        const Options& options) {
    ZnFilename path;
    FilePtr file = openModel(name, path);
    if (!file && !isMimName(name)) {
        std::cerr << "pxs-fom: No such FED file: " << name << "\n";
        return ZnFedReadNotOpened;
    }
    ZnFomType type = file ? ZnFedReader::checkFomType(path.c_str(), file.get()) : ZnFomEvolved;
    ZnFedReader* reader = readers.forType(type);
    if (!reader) {
        std::cerr << "pxs-fom: " << name << ": cannot tell the format (no file extension)\n";
        return ZnFedReadFailed;
    }
    ZnFedReadStatus status =
        reader->readFedFilePtr(file.get(), target, file ? path : ZnFilename(name.c_str()),
                               options.strict, options.validate, options.defaultSwitches);
    if (status != ZnFedReadSuccess)
        std::cerr << "pxs-fom: " << name << ": " << reader->lastError() << "\n";
    return status;
}

// Files in reading order: the HLA Evolved modules ordered by their
// dependencies, then the other files as given (so that an HLA 1.3 file
// lands under the roots of the modules). Unknown dependencies and cycles
// are reported on stderr and do not stop the read.
std::vector<std::string> sortedFiles(const std::vector<std::string>& files) {
    std::vector<std::string> others, modules;
    for (const std::string& name : files) (isEvolvedFile(name) ? modules : others).push_back(name);
    std::unique_ptr<ZnFomSorter> sorter(ZnFomSorter::create());
    for (const std::string& name : modules) {
        ZnFomSorter::FomDeps module = moduleOf(name);
        sorter->insertFileToFomDepsPairMap(name.c_str(), module);
        sorter->insertFomToFileMap(module.first, name.c_str());
        sorter->allFomNames().push_back(module.first);
        for (const ZnString& d : module.second) sorter->allDependencies().push_back(d);
    }
    if (!sorter->isEachDependencyValid())
        for (const ZnString& d : sorter->allDependencies())
            if (!sorter->fomToFileMap().count(d))
                std::cerr << "pxs-fom: no module given for the dependency \"" << d << "\"\n";
    // Each module once, in the order given, so that independent modules keep it.
    for (const std::string& name : modules) {
        const ZnFomSorter::FomDeps& module = sorter->atFileToFomDepsPairMap(name.c_str());
        if (!sorter->fomToComplexMap().count(module.first)) sorter->mapFomDepComplexity(module);
    }
    std::vector<ZnString> sorted;
    sorter->sortFomFileNames(&sorted);
    std::vector<std::string> ordered;
    for (const ZnString& name : sorted) ordered.push_back(name.string());
    ordered.insert(ordered.end(), others.begin(), others.end());
    return ordered;
}

}  // namespace fomtool
