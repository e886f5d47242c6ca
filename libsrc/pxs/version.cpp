// version.cpp -- the run-time half of version.h: the version this library
// was built as, compiled in so that it travels with the binary.

#include <pxs/version.h>

const char* ZnPxsVersion() { return PXS_VERSION_STRING; }
