// fed13.cpp -- fuzzes the HLA 1.3 FED reader from memory: the input (after
// one byte of switches) is opened with fmemopen, so NUL bytes and text
// without a final newline reach the reader as a file would give them.
//
// Switch byte: bit 0 default switches, bit 1 the built-in MIM read into the
// target first (the 1.3 roots are then mapped onto the IEEE ones), bit 2 a
// second read of the same bytes into the same target (every class is then a
// restatement).

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <pxs/fedReader13.h>
#include <pxs/fedReader1516e.h>
#include <pxs/fom.h>
#include <util/znNotify.h>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ZnNotifyLevel = -1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint8_t switches = data[0];
    FILE* file = fmemopen(const_cast<uint8_t*>(data + 1), size - 1, "rb");
    if (!file) return 0;
    const bool defaults = switches & 1;
    ZnFom fom;
    if (switches & 2) {
        ZnFedReader1516e evolved;
        evolved.readFed("HLAstandardMIM.xml", &fom, 0, false, false);
    }
    ZnFedReader13 reader;
    reader.readFedFilePtr(file, &fom, ZnFilename("model.fed"), 0, false, defaults);
    if (switches & 4) {
        std::rewind(file);
        reader.readFedFilePtr(file, &fom, ZnFilename("model.fed"), 0, false, defaults);
    }
    std::fclose(file);
    return 0;
}
