// settings-demo.cpp -- an application's settings from end to end: variables
// of every type in a few groups, the command line, a configuration file in
// XML or PXS form, the saved XML file and its schema.
//
//   settings-demo --help
//   settings-demo --save demo.xml --schema demo.xsd     (write the defaults)
//   settings-demo -c demo.xml -r 25                     (file, then -r wins)
//
// Copy it as a starting point: declare the settings object first, then the
// groups and variables under it, all living as long as the settings are used.

#include <pxs/pxs.h>

#include <iostream>
#include <string>

namespace {

using Scope = ZnBaseConfigVariable;

template <typename T>
void show(const ZnConfigVariable<T>& variable) {
    std::cout << "  " << variable.name() << " = " << ZnVarType<T>::convertToString(variable.value())
              << (variable.isSet() ? "  (command line)" : "") << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    initAppEnv();
    ZnApplicationSettings settings("Settings Demo", "1.0", "settings");

    // Command line only: which files to use, and how often to print. These
    // are the std::string and unsigned int variables, whose schema type names
    // XML Schema would refuse; kept off the file, the schema stays valid.
    ZnConfigVariable<std::string> config(&settings, "&config", "",
                                         "Configuration file to load (.xml or .pxs)",
                                         Scope::CommandLineScope, false, "");
    ZnConfigVariable<std::string> save(&settings, "&save", "", "Save the settings to this XML file",
                                       Scope::CommandLineScope, false, "");
    ZnConfigVariable<std::string> schema(&settings, "schema", "",
                                         "Write the XML schema of the saved file here",
                                         Scope::CommandLineScope, false, "");
    ZnConfigVariable<unsigned int> repeat(&settings, "repeat", 1u, "Print the settings this often",
                                          Scope::CommandLineScope, false, "");

    // Both on the command line and in the file.
    ZnConfigVariable<ZnString> federate(&settings, "&federate", "demo", "Federate name",
                                        Scope::AllScopes, false, "");
    ZnConfigVariable<bool> verbose(&settings, "&verbose", false, "Report more", Scope::AllScopes,
                                   false, "");

    ZnVariableGroup network(&settings, "net", "network", "Connection to the RTI");
    ZnConfigVariable<ZnString> host(&network, "host", "localhost", "RTI host", Scope::AllScopes,
                                    false, "");
    ZnConfigVariable<int> port(&network, "&port", 4000, "RTI port", Scope::AllScopes, false, "");

    ZnVariableGroup motion(&settings, "motion", "", "Initial state of the entity");
    ZnConfigVariable<double> rate(&motion, "&rate", 50.0, "Update rate in Hz", Scope::AllScopes,
                                  false, "");
    ZnConfigVariable<float> scale(&motion, "scale", 1.0f, "Model scale", Scope::ConfigFileScope,
                                  false, "");
    ZnConfigVariable<ZnVector64> position(&motion, "position", ZnVector64(0, 0, 0),
                                          "Position in metres (x y z)", Scope::AllScopes, false,
                                          "");
    ZnConfigVariable<ZnTaitBryan> attitude(&motion, "attitude", ZnTaitBryan(0, 0, 0),
                                           "Heading, pitch, roll in radians", Scope::AllScopes,
                                           false, "");

    // Values given on the command line stay when the file is read afterwards.
    settings.setChangeOnce(true);
    settings.parseCommandLine(argc, argv, true);

    if (!config.value().empty()) {
        try {
            if (!settings.loadConfigFile(config.value())) {
                std::cerr << "settings-demo: cannot read " << config.value() << "\n";
                return 1;
            }
        } catch (const ZnException& e) {
            std::cerr << "settings-demo: " << config.value() << ": " << e.what() << "\n";
            return 1;
        }
    }

    for (unsigned int i = 0; i < repeat.value(); ++i) {
        std::cout << settings.applicationName() << " " << settings.applicationVersion() << "\n";
        show(federate);
        show(verbose);
        show(host);
        show(port);
        show(rate);
        show(scale);
        show(position);
        show(attitude);
    }

    if (!save.value().empty() &&
        !settings.saveConfigFile(save.value(), schema.value(), !schema.value().empty())) {
        std::cerr << "settings-demo: cannot save " << save.value() << "\n";
        return 1;
    }
    return 0;
}
