// fomModelJson.h -- the --json output of pxs-fom: the whole merged model as
// one JSON document (classes with their members' data types, dimensions,
// spaces, switches, every table, the transportations still pending and
// where each definition stands).
//
// Part of the pxs-fom program only.

#ifndef TOOLS_FOMMODELJSON_H
#define TOOLS_FOMMODELJSON_H

#include <ostream>

#include <pxs/pxs.h>

namespace fomtool {

// Writes the document and a final newline; `merge`, when the model is one,
// adds what only a merge by rule keeps.
void printModelJson(std::ostream& out, const ZnFom& fom, const ZnFomMerge* merge = nullptr);

}  // namespace fomtool

#endif
