// fomRead.h -- how pxs-fom reads its files: one reader per format, kept for
// the whole run, and the --sort order of HLA Evolved modules.
//
// Part of the pxs-fom program only.

#ifndef TOOLS_FOMREAD_H
#define TOOLS_FOMREAD_H

#include <memory>
#include <string>
#include <vector>

#include <pxs/pxs.h>

namespace fomtool {

struct Options {
    unsigned int strict = 0;
    bool validate = false;
    bool defaultSwitches = false;
};

// The reader for a format, made by the factory on first use and kept, so
// that a reader that learned to map roots keeps doing so for the following
// files.
class Readers {
public:
    explicit Readers(const Options& options) : options_(options) {}

    // Null for ZnFomUnknown.
    ZnFedReader* forType(ZnFomType type);

private:
    const Options& options_;
    std::unique_ptr<ZnFedReader> readers_[4];
};

// Reads one file into `target`; the read status, with problems on stderr.
// The standard MIM needs no file: the library holds it.
ZnFedReadStatus readOne(const std::string& name, ZnFedTarget* target, Readers& readers,
                        const Options& options);

// Files in reading order: the HLA Evolved modules ordered by their
// dependencies, then the other files as given.
std::vector<std::string> sortedFiles(const std::vector<std::string>& files);

}  // namespace fomtool

#endif
