// envXml.cpp -- fuzzes the configuration tree's XML reader from memory.
// First byte: bit 0 DTD validation, bit 1 the same document read a second
// time into the tree the first read filled. A tree that was read is
// written back with the XML writer; what the writer produced must read
// again, and from then on writing and reading must agree: the text written
// from a tree read from the writer's own output is that output. Trees whose
// text holds a $(NAME) reference are left out: every read expands one more
// reference. The first write may differ from the second all the same: a
// comment is written with its reference expanded, and when that leaves it
// empty it is not read back.

#include <cstddef>
#include <cstdint>
#include <cstdio>
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
    if ((data[0] & 2) && !readXml(env, bytes, validate)) return 0;
    ZnEnvXMLWriter writer;
    ZnString written;
    if (!writer.writeString(env, written)) return 0;
    if (written.string().find("$(") != std::string::npos) return 0;
    ZnString previous;
    for (int generation = 0; generation < 2; ++generation) {
        ZnEnvironment again;
        if (!readXml(again, written.string(), false)) {
            std::fprintf(stderr, "the writer's output does not read back:\n%s\n", written.c_str());
            std::abort();
        }
        previous = written;
        if (!writer.writeString(again, written)) std::abort();
    }
    if (written.string() != previous.string()) {
        std::fprintf(stderr, "written:\n%s\nread and written again:\n%s\n", previous.c_str(),
                     written.c_str());
        std::abort();
    }
    return 0;
}
