// settingsRoundTrip.cpp -- fuzzes application settings through their files.
// The input is loaded as a settings file (XML or PXS tree, by its first
// byte) into variables of every type in nested groups. When the load
// succeeded and the save reports success, the saved file must load into
// fresh settings and save again to the very same text: a save that reports
// success never drops or changes a value.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <pxs/pxs.h>

#include "fuzzSupport.h"

namespace {

using Scope = ZnBaseConfigVariable;

struct Settings {
    ZnApplicationSettings settings{"Fuzz", "1.0", "settings"};
    ZnConfigVariable<int> count{&settings, "count", 3, "", Scope::AllScopes, false, ""};
    ZnConfigVariable<bool> verbose{&settings, "verbose", false, "", Scope::AllScopes, false, ""};
    ZnConfigVariable<unsigned int> port{&settings, "port", 4000u, "", Scope::AllScopes, false, ""};
    ZnVariableGroup net{&settings, "net", "network", ""};
    ZnConfigVariable<ZnString> host{&net, "host", "localhost", "", Scope::AllScopes, false, ""};
    ZnConfigVariable<std::string> label{&net, "label", "none", "", Scope::AllScopes, false, ""};
    ZnVariableGroup link{&net, "link", "", ""};
    ZnConfigVariable<double> rate{&link, "rate", 2.5, "", Scope::AllScopes, false, ""};
    ZnConfigVariable<float> gain{&link, "gain", 0.5f, "", Scope::AllScopes, false, ""};
    ZnVariableGroup pose{&settings, "pose", "", ""};
    ZnConfigVariable<ZnVector64> position{&pose, "position", ZnVector64(1, 2, 3), "",
                                          Scope::AllScopes, false, ""};
    ZnConfigVariable<ZnTaitBryan> attitude{&pose, "attitude", ZnTaitBryan(0.1, 0.2, 0.3), "",
                                           Scope::AllScopes, false, ""};
};

bool load(Settings& s, const std::string& path) {
    try {
        return s.settings.loadConfigFile(path.c_str());
    } catch (const ZnException&) {
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ZnNotifyLevel = -1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& dir = fuzz::scratchDir();
    const bool xml = size > 0 && data[0] == '<';
    const std::string input = dir + (xml ? "/input.xml" : "/input.pxs");
    const std::string saved = dir + "/saved.xml", again = dir + "/again.xml";
    if (!fuzz::writeFile(input, reinterpret_cast<const char*>(data), size)) return 0;
    Settings first;
    if (!load(first, input)) return 0;
    if (!first.settings.saveConfigFile(saved.c_str(), "settings.xsd", false)) return 0;
    Settings second;
    if (!load(second, saved)) {
        std::fprintf(stderr, "a saved file does not load:\n%s\n", fuzz::readFile(saved).c_str());
        std::abort();
    }
    if (!second.settings.saveConfigFile(again.c_str(), "settings.xsd", false) ||
        fuzz::readFile(again) != fuzz::readFile(saved)) {
        std::fprintf(stderr, "saved:\n%s\nloaded and saved again:\n%s\n",
                     fuzz::readFile(saved).c_str(), fuzz::readFile(again).c_str());
        std::abort();
    }
    return 0;
}
