// fom1516e.cpp -- fuzzes the HLA Evolved FOM module readers from memory:
// the input (after one byte of switches) is opened with fmemopen and read
// into a fresh ZnFom by ZnFedReader1516e, or checked by ZnXmlFedReader1516e.
// The module is named as if it sat in a scratch directory holding the
// standard schema, so a root whose schemaLocation names
// "IEEE1516-DIF-2010.xsd" is validated against it.
//
// Switch byte: bit 0 schema validation, bit 1 default switches, bits 2 and 3
// the strict flags, bit 4 the checking reader instead of the full one,
// bit 5 the built-in MIM read first into the same target (the module then
// extends a model: merges, refusals and the root mapping), bit 6 a second
// read of the same bytes by the same reader into the same target.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <pxs/embeddedData.h>
#include <pxs/fedReader1516e.h>
#include <pxs/fom.h>
#include <pxs/xmlFedReader1516e.h>
#include <util/znNotify.h>

#include "fuzzSupport.h"

namespace {

std::string modulePath;

struct Switches {
    bool validate;
    bool defaults;
    unsigned int strict;
    bool afterMim;
    bool twice;
};

template <typename Reader>
void readInto(FILE* file, ZnFedTarget* target, const Switches& s) {
    Reader reader;
    if (s.validate) reader.setSchemaValidationEnabled(true);
    if (s.afterMim)
        reader.readFed("HLAstandardMIM.xml", target, 0, false, s.defaults);
    reader.readFedFilePtr(file, target, ZnFilename(modulePath.c_str()), s.strict, s.validate,
                          s.defaults);
    if (s.twice) {
        std::rewind(file);
        reader.readFedFilePtr(file, target, ZnFilename(modulePath.c_str()), s.strict, s.validate,
                              s.defaults);
    }
    delete[] reader.takeCurrFddData();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ZnNotifyLevel = -1;
    const PxsEmbeddedFile* schema = pxsFindEmbeddedFile("IEEE1516-DIF-2010.xsd");
    if (schema)
        fuzz::writeFile(fuzz::scratchDir() + "/IEEE1516-DIF-2010.xsd",
                        reinterpret_cast<const char*>(schema->data), schema->size);
    modulePath = fuzz::scratchDir() + "/module.xml";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint8_t bits = data[0];
    FILE* file = fmemopen(const_cast<uint8_t*>(data + 1), size - 1, "rb");
    if (!file) return 0;
    const Switches s{(bits & 1) != 0, (bits & 2) != 0, (bits >> 2) & 3u, (bits & 32) != 0,
                     (bits & 64) != 0};
    if (bits & 16) {
        readInto<ZnXmlFedReader1516e>(file, nullptr, s);
    } else {
        ZnFom fom;
        readInto<ZnFedReader1516e>(file, &fom, s);
    }
    std::fclose(file);
    return 0;
}
