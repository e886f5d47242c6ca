// fomNames.h -- the names pxs-fom prints for the codes a model stores
// (transportation, order), so that the tree and the JSON document use one
// vocabulary.
//
// Part of the pxs-fom program only.

#ifndef TOOLS_FOMNAMES_H
#define TOOLS_FOMNAMES_H

#include <string>
#include <vector>

#include <pxs/pxs.h>

namespace fomtool {

// "none", "HLAbestEffort", "HLAreliable", or the name of the transportation
// the model declared for `code`; the number itself when none matches.
std::string transportText(const ZnFom& fom, ZnTransportType code);

// "Receive", "TimeStamp", or "none" for any other code.
std::string orderText(ZnOrderType order);

// The names separated by single spaces.
std::string joined(const std::vector<ZnString>& names);

}  // namespace fomtool

#endif
