// fomNames.cpp -- code-to-name tables of pxs-fom. The tables are indexed
// by code, so a row out of place renames a value: they follow the enums in
// util/znFedTarget.h.

#include "fomNames.h"

namespace fomtool {
namespace {

template <size_t N>
std::string fromTable(const char* const (&names)[N], int code) {
    if (code >= 0 && static_cast<size_t>(code) < N) return names[code];
    return std::to_string(code);
}

const char* const kSharing[] = {"PublishSubscribe", "Publish", "Subscribe", "Neither"};
const char* const kUpdateType[] = {"Static", "Periodic", "Conditional", "NA"};
const char* const kOwnership[] = {"Divest", "Acquire", "DivestAcquire", "NoTransfer"};

}  // namespace

std::string transportText(const ZnFom& fom, ZnTransportType code) {
    if (code == ZnTransportNone) return "none";
    if (code == ZnTransportBestEffort) return "HLAbestEffort";
    if (code == ZnTransportReliable) return "HLAreliable";
    for (size_t i = 0; i < fom.transportations().size(); ++i)
        if (fom.transportTypeOf(&fom.transportations()[i]) == code)
            return fom.transportations()[i].name.string();
    return std::to_string(code);
}

std::string orderText(ZnOrderType order) {
    return order == ZnOrderReceive ? "Receive" : order == ZnOrderTimeStamp ? "TimeStamp" : "none";
}

std::string sharingText(ZnSharingType_enum sharing) {
    return fromTable(kSharing, sharing);
}

std::string updateTypeText(ZnFomUpdateType_enum updateType) {
    return fromTable(kUpdateType, updateType);
}

std::string ownershipText(ZnOwnershipType_enum ownership) {
    return fromTable(kOwnership, ownership);
}

std::string joined(const std::vector<ZnString>& names) {
    std::string text;
    for (const ZnString& n : names) text += (text.empty() ? "" : " ") + n.string();
    return text;
}

}  // namespace fomtool
