// standardFilesInternal.h -- the readers' side of the embedded standard
// files. Internal to the library.

#ifndef PXS_STANDARDFILESINTERNAL_H
#define PXS_STANDARDFILESINTERNAL_H

#include <pxs/embeddedData.h>

namespace pxsdetail {

// The embedded copy to validate against in place of `reference`, when the
// host opted in and the base name is one the library carries; else null.
const PxsEmbeddedFile* embeddedValidationFile(const char* reference);

}  // namespace pxsdetail

#endif
