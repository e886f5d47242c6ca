// pxsRead.cpp -- fuzzes the PXS reader: every datum of the input is read,
// printed and dropped. Nothing is evaluated. A reader error ends the input
// (it is a ZnException; anything else escaping is a finding).
//
// First byte: bit 0 sets the string escape character to a backslash, bit 1
// reads through the file stream (fmemopen over the rest of the input, NUL
// bytes included) instead of the string stream.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include <pxs/atom.h>
#include <pxs/envInit.h>
#include <pxs/io.h>
#include <pxs/lstream.h>
#include <pxs/read.h>
#include <util/znException.h>
#include <util/znNotify.h>

#include "fuzzSupport.h"

namespace {

void readAll(ZnlInputStream& in, const ZnlObjPtr& frame) {
    const ZnlObjPtr eof = ZncIntern("eof", frame);
    try {
        for (ZnlObjPtr datum = ZncRead(&in, frame); datum != eof; datum = ZncRead(&in, frame))
            datum->ZncObjFprint(fuzz::nullSink());
    } catch (const ZnException&) {
    }
}

struct FileClose {
    void operator()(FILE* file) const noexcept { std::fclose(file); }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ZnNotifyLevel = -1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The escape character is process-wide: set for this input only.
    static const char kBackslash = '\\';
    ZnPxsReadEscapeChar = (data[0] & 1) ? &kBackslash : nullptr;
    ZnlObjPtr frame(ZnlFrameTag);
    ZncGlobalEnvInit(frame);
    if (data[0] & 2) {
        std::unique_ptr<FILE, FileClose> file(
            size > 1 ? fmemopen(const_cast<uint8_t*>(data + 1), size - 1, "rb") : nullptr);
        if (file) {
            ZnlFileInputStream in(file.get());
            readAll(in, frame);
        }
    } else {
        const std::string text = fuzz::textOf(data + 1, size - 1);
        ZnlStringInputStream in(text.c_str());
        readAll(in, frame);
    }
    ZnPxsReadEscapeChar = nullptr;
    return 0;
}
