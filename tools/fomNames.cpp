// fomNames.cpp -- code-to-name tables of pxs-fom.

#include "fomNames.h"

namespace fomtool {

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

std::string joined(const std::vector<ZnString>& names) {
    std::string text;
    for (const ZnString& n : names) text += (text.empty() ? "" : " ") + n.string();
    return text;
}


}  // namespace fomtool
