// fdd1516.cpp -- fuzzes the IEEE 1516-2000 FDD readers from memory: the
// input (after one byte of switches) is opened with fmemopen and read into
// a fresh ZnFom by ZnFedReader1516, or checked by ZnXmlFedReader. The file
// is named as if it sat in a scratch directory holding the standard DTD, so
// a document naming "HLA.dtd" is validated against it.
//
// Switch byte: bit 0 validate, bit 1 default switches, bit 2 strict,
// bit 3 the checking reader instead of the full one, bit 4 a second read
// of the same bytes by the same reader into the same target (which then
// holds every class already: the refusal and root-mapping paths).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <pxs/embeddedData.h>
#include <pxs/fedReader1516.h>
#include <pxs/fom.h>
#include <pxs/xmlFedReader.h>
#include <util/znNotify.h>

#include "fuzzSupport.h"

namespace {

std::string fddPath;

template <typename Reader>
void readInto(FILE* file, ZnFedTarget* target, unsigned int strict, bool validate, bool defaults,
              bool twice) {
    Reader reader;
    reader.readFedFilePtr(file, target, ZnFilename(fddPath.c_str()), strict, validate, defaults);
    if (twice) {
        std::rewind(file);
        reader.readFedFilePtr(file, target, ZnFilename(fddPath.c_str()), strict, validate,
                              defaults);
    }
    delete[] reader.takeCurrFddData();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ZnNotifyLevel = -1;
    const PxsEmbeddedFile* dtd = pxsFindEmbeddedFile("HLA.dtd");
    if (dtd)
        fuzz::writeFile(fuzz::scratchDir() + "/HLA.dtd", reinterpret_cast<const char*>(dtd->data),
                        dtd->size);
    fddPath = fuzz::scratchDir() + "/model.fdd";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint8_t switches = data[0];
    FILE* file = fmemopen(const_cast<uint8_t*>(data + 1), size - 1, "rb");
    if (!file) return 0;
    const bool validate = switches & 1;
    const bool defaults = switches & 2;
    const unsigned int strict = (switches & 4) ? 1 : 0;
    const bool twice = switches & 16;
    if (switches & 8) {
        readInto<ZnXmlFedReader>(file, nullptr, strict, validate, defaults, twice);
    } else {
        ZnFom fom;
        readInto<ZnFedReader1516>(file, &fom, strict, validate, defaults, twice);
    }
    std::fclose(file);
    return 0;
}
