// fomModelJson.h -- the --json output of pxs-fom: the whole merged model as
// one JSON document (classes, dimensions, spaces, switches, every table and
// the transportations still pending).
//
// Part of the pxs-fom program only.

#ifndef TOOLS_FOMMODELJSON_H
#define TOOLS_FOMMODELJSON_H

#include <ostream>

#include <pxs/pxs.h>

namespace fomtool {

// Writes the document and a final newline.
void printModelJson(std::ostream& out, const ZnFom& fom);

}  // namespace fomtool

#endif
