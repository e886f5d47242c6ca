// envPxs.cpp -- fuzzes the configuration tree's PXS reader, which only reads
// files: the input is written to a scratch file and read. A tree that was
// read is written back with the PXS writer; that file must read again, and
// write again to the same text, unless it holds a $(NAME) reference, which
// every read expands once more.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <pxs/envPxsReader.h>
#include <pxs/envPxsWriter.h>
#include <pxs/environment.h>
#include <util/znException.h>
#include <util/znNotify.h>

#include "fuzzSupport.h"

namespace {

bool readPxs(const std::string& path, ZnEnvironment& env) {
    ZnEnvPXSReader reader;
    bool ok = false;
    try {
        env = reader.readFile(path, ok);
    } catch (const ZnException&) {
        return false;
    }
    return ok;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ZnNotifyLevel = -1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = fuzz::scratchDir() + "/input.pxs";
    const std::string output = fuzz::scratchDir() + "/output.pxs";
    const std::string rewritten = fuzz::scratchDir() + "/rewritten.pxs";
    if (!fuzz::writeFile(input, reinterpret_cast<const char*>(data), size)) return 0;
    ZnEnvironment env;
    if (!readPxs(input, env)) return 0;
    ZnEnvPXSWriter writer;
    if (!writer.writeFile(env, output)) return 0;
    ZnEnvironment again;
    const bool expands = fuzz::readFile(output).find("$(") != std::string::npos;
    if (!readPxs(output, again)) {
        std::fprintf(stderr, "the writer's output does not read back\n");
        std::abort();
    }
    if (expands) return 0;
    if (!writer.writeFile(again, rewritten) ||
        fuzz::readFile(rewritten) != fuzz::readFile(output)) {
        std::fprintf(stderr, "written:\n%s\nread and written again:\n%s\n",
                     fuzz::readFile(output).c_str(), fuzz::readFile(rewritten).c_str());
        std::abort();
    }
    return 0;
}
