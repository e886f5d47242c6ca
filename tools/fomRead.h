// fomRead.h -- how pxs-fom reads its files: opening (regular files only,
// "-" for standard input, the built-in MIM), telling the format, one reader
// per format kept for the whole run, and the --sort order of HLA Evolved
// modules. Every problem is reported on standard error as
// "pxs-fom: FILE[:LINE]: reason".
//
// Part of the pxs-fom program only.

#ifndef TOOLS_FOMREAD_H
#define TOOLS_FOMREAD_H

#include <cstdio>
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

struct FileCloser {
    void operator()(FILE* f) const noexcept { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// A file ready for a reader: open, or the reason it is not.
struct Input {
    FilePtr file;
    ZnFilename path;      // what the reader is told
    std::string problem;  // empty when `file` is open or the name is the built-in MIM
    bool builtInMim = false;
};

// Opens `name` as given or through RTI_CONFIG; "-" is standard input, kept
// for the run so it can be opened again. `problem` is the system's short
// reason ("no such file", "is a directory", ...) when it does not open.
Input openInput(const std::string& name);

// The format of an opened input: by extension when it is one the library
// knows (xml, fdd, pxs, fed, omt), else by content, else as the library
// decides for an unknown extension; ZnFomUnknown when nothing tells.
ZnFomType formatOf(const std::string& name, const Input& in);

// The format of `bytes` judged by content alone: HLA 1.3 when the first
// thing after blanks and ';' comments is '('; for XML whose root element is
// objectModel, HLA Evolved in the IEEE 1516-2010 namespace and IEEE
// 1516-2000 otherwise; ZnFomUnknown for anything else.
ZnFomType formatByContent(const char* bytes, size_t length);

// The name messages use for `name` ("<stdin>" for "-").
std::string shownName(const std::string& name);

// Writes "pxs-fom: FILE[:LINE]: reason" to standard error. The line is taken
// from a reader's " near line N" when the reason holds one; trailing line
// ends of the reason are dropped.
void report(const std::string& name, const std::string& reason);

// Reads one file into `target`; the read status, with problems on stderr.
// The standard MIM needs no file: the library holds it.
// With `failure`, a failed read's reason is stored there instead of being
// reported: the caller may have a better report of the same failure.
ZnFedReadStatus readOne(const std::string& name, ZnFedTarget* target, Readers& readers,
                        const Options& options, std::string* failure = nullptr);

// Files in reading order: the HLA Evolved modules ordered by their
// dependencies, then the other files as given.
std::vector<std::string> sortedFiles(const std::vector<std::string>& files);

}  // namespace fomtool

#endif
