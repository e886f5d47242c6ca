// pxs.h -- the umbrella header: every public name of the library.

#ifndef PXS_PXS_H
#define PXS_PXS_H

#include <util/util.h>

#endif
