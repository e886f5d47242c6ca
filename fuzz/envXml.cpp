// envXml.cpp -- fuzzes the configuration tree's XML reader from memory,
// without and (first byte odd) with DTD validation. A tree that was read is
// written back with the XML writer, and what the writer produced must read
// again: the writer's own output is a document the reader accepts.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <pxs/envXmlReader.h>
#include <pxs/envXmlWriter.h>
#include <pxs/environment.h>
#include <util/znException.h>
#include <util/znNotify.h>

#include "fuzzSupport.h"

namespace {

bool readXml(ZnEnvironment& env, const std::string& bytes, bool validate) {
    ZnEnvXMLReader reader(validate);
    try {
        return reader.readMemory(env, bytes.data(), static_cast<int>(bytes.size()));
    } catch (const ZnException&) {
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ZnNotifyLevel = -1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool validate = data[0] & 1;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    ZnEnvironment env;
    if (!readXml(env, bytes, validate)) return 0;
    ZnEnvXMLWriter writer;
    ZnString written;
    if (!writer.writeString(env, written)) return 0;
    ZnEnvironment again;
    if (!readXml(again, written.string(), false)) {
        std::fprintf(stderr, "the writer's output does not read back:\n%s\n", written.c_str());
        std::abort();
    }
    return 0;
}
