// fuzzSupport.h -- what the libFuzzer targets share: the input as a
// NUL-terminated text, and a sink for printed objects.
//
// Targets are run with -close_fd_mask=3 so that the library's own output
// (notification streams, printed objects) costs nothing; the sink below is
// for printing that the target does itself.

#ifndef PXS_FUZZSUPPORT_H
#define PXS_FUZZSUPPORT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <stdlib.h>
#include <unistd.h>

namespace fuzz {

// The input up to its first NUL: the string stream stops there anyway, and
// the XML and file readers get the same bytes the PXS ones see.
inline std::string textOf(const uint8_t* data, size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size).c_str();
}

// Printed objects go here; printing is exercised, writing is not.
inline FILE* nullSink() {
    static FILE* sink = std::fopen("/dev/null", "w");
    return sink;
}

// A directory of this process's own, made on first use and removed at exit,
// for the readers that only read files.
inline const std::string& scratchDir() {
    static const std::string dir = [] {
        char name[] = "/tmp/pxs-fuzz-XXXXXX";
        std::string made = mkdtemp(name) ? name : "/tmp";
        static std::string removeCommand = "rm -rf " + made;
        if (made != "/tmp") atexit([] { (void)!system(removeCommand.c_str()); });
        return made;
    }();
    return dir;
}

// Writes `text` to `path`; false when the file cannot be written.
inline bool writeFile(const std::string& path, const char* bytes, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(bytes, 1, size, file) == size;
    return std::fclose(file) == 0 && ok;
}

// The whole file at `path`; empty when it cannot be read.
inline std::string readFile(const std::string& path) {
    std::string text;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return text;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    std::fclose(file);
    return text;
}

}  // namespace fuzz

#endif
