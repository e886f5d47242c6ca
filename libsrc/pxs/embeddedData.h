// embeddedData.h -- standard files compiled into the library (the IEEE 2010
// MIM, the IEEE 1516-2000 DTD and the three 2010 schemas), so that reading
// the MIM or validating a model needs no file on disk.

#ifndef PXS_EMBEDDEDDATA_H
#define PXS_EMBEDDEDDATA_H

#include <cstddef>

struct PxsEmbeddedFile {
    const char* name;           // base name, e.g. "HLAstandardMIM.xml"
    const unsigned char* data;  // the bytes, followed by one NUL
    size_t size;                // without the NUL
};

// The embedded file of that base name, or null when there is none.
const PxsEmbeddedFile* pxsFindEmbeddedFile(const char* name);

#endif
