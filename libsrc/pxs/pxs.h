// pxs.h -- the umbrella header: every public name of the library.

#ifndef PXS_PXS_H
#define PXS_PXS_H

#include <util/util.h>

#include <pxs/applicationSettings.h>
#include <pxs/baseConfigVariable.h>
#include <pxs/configVariable.h>
#include <pxs/envList.h>
#include <pxs/envNamedList.h>
#include <pxs/envObject.h>
#include <pxs/envObjectSync.h>
#include <pxs/envValue.h>
#include <pxs/envXmlReader.h>
#include <pxs/envXmlWriter.h>
#include <pxs/environment.h>
#include <pxs/nativeValue.h>
#include <pxs/variableGroup.h>

#endif
