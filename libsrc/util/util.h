// util.h -- the whole utility layer in one include.

#ifndef UTIL_UTIL_H
#define UTIL_UTIL_H

#include <util/znException.h>
#include <util/znFilename.h>
#include <util/znGeometry.h>
#include <util/znList.h>
#include <util/znNotify.h>
#include <util/znString.h>
#include <util/znSystem.h>

#endif
