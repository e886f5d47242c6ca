// pxsRead.cpp -- fuzzes the PXS reader: every datum of the input is read
// from a string stream, printed and dropped. Nothing is evaluated. A reader
// error ends the input (it is a ZnException; anything else escaping is a
// finding).

#include <cstddef>
#include <cstdint>
#include <string>

#include <pxs/atom.h>
#include <pxs/envInit.h>
#include <pxs/io.h>
#include <pxs/lstream.h>
#include <pxs/read.h>
#include <util/znException.h>
#include <util/znNotify.h>

#include "fuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ZnNotifyLevel = -1;
    const std::string text = fuzz::textOf(data, size);
    // The escape character is process-wide; the first byte decides it, so
    // both ways of reading strings are covered.
    static const char kBackslash = '\\';
    ZnPxsReadEscapeChar = (size > 0 && (data[0] & 1)) ? &kBackslash : nullptr;
    ZnlObjPtr frame(ZnlFrameTag);
    ZncGlobalEnvInit(frame);
    const ZnlObjPtr eof = ZncIntern("eof", frame);
    ZnlStringInputStream in(text.c_str());
    try {
        for (ZnlObjPtr datum = ZncRead(&in, frame); datum != eof; datum = ZncRead(&in, frame))
            datum->ZncObjFprint(fuzz::nullSink());
    } catch (const ZnException&) {
    }
    ZnPxsReadEscapeChar = nullptr;
    return 0;
}
