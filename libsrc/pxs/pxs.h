// pxs.h -- the umbrella header: every public name of the library.

#ifndef PXS_PXS_H
#define PXS_PXS_H

// Utility layer and the object-model receiver interface.
#include <pxs/version.h>
#include <util/util.h>
#include <util/znFedTarget.h>
#include <util/znFedTargetDetails.h>

// PXS interpreter.
#include <pxs/memory.h>
#include <pxs/atom.h>
#include <pxs/lenv.h>
#include <pxs/locative.h>
#include <pxs/io.h>
#include <pxs/list.h>
#include <pxs/alist.h>
#include <pxs/null.h>
#include <pxs/lstream.h>
#include <pxs/read.h>
#include <pxs/eval.h>
#include <pxs/math.h>
#include <pxs/integer.h>
#include <pxs/float.h>
#include <pxs/lstring.h>
#include <pxs/subrs.h>
#include <pxs/register.h>
#include <pxs/envInit.h>
#include <pxs/pxsEnvironment.h>

// Configuration tree.
#include <pxs/envValue.h>
#include <pxs/envList.h>
#include <pxs/envNamedList.h>
#include <pxs/envObject.h>
#include <pxs/nativeValue.h>
#include <pxs/environment.h>
#include <pxs/envPxsReader.h>
#include <pxs/envPxsWriter.h>
#include <pxs/envXmlReader.h>
#include <pxs/envXmlWriter.h>
#include <pxs/envObjectSync.h>

// Settings.
#include <pxs/baseConfigVariable.h>
#include <pxs/configVariable.h>
#include <pxs/variableGroup.h>
#include <pxs/applicationSettings.h>

// Object-model readers.
#include <pxs/fedRecords.h>
#include <pxs/fedReader.h>
#include <pxs/fedReader13.h>
#include <pxs/pxsFedReader.h>
#include <pxs/fedReader1516.h>
#include <pxs/xmlFedReader.h>
#include <pxs/fedReader1516e.h>
#include <pxs/xmlFedReader1516e.h>
#include <pxs/fedReaderFactory.h>
#include <pxs/fomSorter.h>
#include <pxs/fom.h>
#include <pxs/fomWriter.h>
#include <pxs/fomMerge.h>
#include <pxs/embeddedData.h>
#include <pxs/standardFiles.h>

#endif
