// fomTrace.h -- the --trace receiver of pxs-fom: writes every receiver call
// a reader makes as one JSON line, then hands the call on to a ZnFom.
//
// The trace is a contract: other programs diff it byte for byte against
// earlier runs, so its lines must not change (see fomTrace.cpp).
//
// Part of the pxs-fom program only.

#ifndef TOOLS_FOMTRACE_H
#define TOOLS_FOMTRACE_H

#include <memory>
#include <ostream>

#include <pxs/pxs.h>

namespace fomtool {

// A receiver that writes each call to `out` and passes it to `fom`; both
// must outlive it.
std::unique_ptr<ZnFedTarget> makeTraceTarget(ZnFom& fom, std::ostream& out);

}  // namespace fomtool

#endif
