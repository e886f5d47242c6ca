// fomNames.h -- the names pxs-fom prints for the codes a model stores
// (transportation, order, sharing, update type, ownership), so that the tree and the JSON document
// use one vocabulary.
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

// The words of the object-model files: "PublishSubscribe", "Publish",
// "Subscribe", "Neither"; "Static", "Periodic", "Conditional", "NA";
// "Divest", "Acquire", "DivestAcquire", "NoTransfer". A code outside the
// table (the HLA Evolved reader's 4 for an unknown sharing text) comes out
// as its number, so nothing is silently renamed.
std::string sharingText(ZnSharingType_enum sharing);
std::string updateTypeText(ZnFomUpdateType_enum updateType);
std::string ownershipText(ZnOwnershipType_enum ownership);

// The names separated by single spaces.
std::string joined(const std::vector<ZnString>& names);

}  // namespace fomtool

#endif
