// applicationSettings.h -- the top group of an application's settings: it
// fills its variables from the command line and from a PXS or XML
// configuration file, saves them as XML and writes the XML schema of that file.
//
//   initAppEnv();
//   ZnApplicationSettings settings("Demo App", "1.0", "settings");
//   ZnConfigVariable<double> rate(&settings, "&rate", 2.5, "Update rate",
//                                 ZnBaseConfigVariable::AllScopes, false, "");
//   settings.parseCommandLine(argc, argv, true);   // -r, --rate, --help, --version
//   settings.loadConfigFile("demo.xml");           // or demo.pxs
//   settings.saveConfigFile("saved.xml", "saved.xsd", true);
//
// --help, --version and command-line errors end the process (status 0, 0
// and 1) after their report on ZnInfo or ZnWarn.

#ifndef PXS_APPLICATIONSETTINGS_H
#define PXS_APPLICATIONSETTINGS_H

#include <pxs/variableGroup.h>

// Prepares libxml2 once per process, before settings are loaded or saved
// and before other threads use libxml2.
void initAppEnv();

class ZnApplicationSettings : public ZnVariableGroup {
public:
    // A top group named (and typed) `groupName`, without description.
    ZnApplicationSettings(const ZnString& applicationName, const ZnString& applicationVersion,
                          const ZnString& groupName);
    ~ZnApplicationSettings() override;

    ZnString applicationName() const { return applicationName_; }
    ZnString applicationVersion() const { return applicationVersion_; }
    // With changeOnce on, values set from the command line stay when a file
    // is read, in every group below these settings.
    void setChangeOnce(bool on) { changeOnce_ = on; }
    bool changeOnce() const override { return changeOnce_; }
    // Appends `variable` to the members, as its constructor would have.
    void addBaseVar(ZnBaseConfigVariable* variable);

    // Parses the command line into the variables. `helpAndVersion` adds
    // --help and --version and the wait for a key after a report that ends
    // the process; that wait ends at once when nobody can answer it.
    void parseCommandLine(int argc, char** argv, bool helpAndVersion);

    // Reads a ".xml" or ".pxs" file (extension compared case-sensitively)
    // into the variables; false for another extension, a file that cannot be
    // read or invalid input. A missing group or unreadable value throws
    // ZnCorruptedState, the variables read before keeping their new values.
    bool loadConfigFile(const ZnString& fileName);
    bool loadPxsFile(const ZnString& fileName);
    bool loadXmlFile(const ZnString& fileName);
    bool readFileIntoEnvironment(const ZnString& fileName, ZnEnvReader& reader);

    // Writes the settings as indented XML, whose root element points at
    // `schemaFileName`; writes that schema first when `generateSchema` is
    // set. False when the XML writer fails.
    bool saveConfigFile(const ZnString& fileName, const ZnString& schemaFileName,
                        bool generateSchema);
    // Writes the XML schema of the saved file; failures go to standard error only.
    void generateConfigFileSchema(const ZnString& fileName) const;
    // Declares the saved file's root element under env's root.
    void generateElements(ZnEnvironment env) const;

private:
    // The saved file's root element: the application name, blanks made '-'.
    ZnString rootElementName() const;

    ZnString applicationName_;
    ZnString applicationVersion_;
    bool changeOnce_ = false;
};

#endif
