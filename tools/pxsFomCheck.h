// pxsFomCheck.h -- the --check mode of pxs-fom: is each object-model file
// valid against its standard? XML files are validated against the library's
// embedded copy of the standard (the IEEE 1516-2000 DTD or the 2010 DIF
// schema, chosen by the detected format), whatever DOCTYPE or schemaLocation
// the file names: real modules name web addresses there, which are never
// fetched. Every complaint is reported with its line. HLA 1.3 files have no
// schema; they are checked by reading them.
//
// Part of the pxs-fom program only.

#ifndef TOOLS_PXSFOMCHECK_H
#define TOOLS_PXSFOMCHECK_H

#include <ostream>
#include <string>

namespace check {

// Checks one file; true when it is valid. Writes each complaint to `err` as
// "FILE:LINE: message" (the form editors jump to) and one verdict line,
// "FILE: valid (STANDARD)" or "FILE: invalid (STANDARD)", to `out`.
bool checkFile(const std::string& name, std::ostream& out, std::ostream& err);

}  // namespace check

#endif
