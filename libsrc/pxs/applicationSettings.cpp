// applicationSettings.cpp -- the command line through TCLAP with its
// reports on the notification streams, configuration files chosen by
// extension, and the saved XML file with its generated schema.

#include "applicationSettings.h"

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include <libxml/parser.h>
#include <tclap/CmdLine.h>
#include <tclap/StdOutput.h>

#include <pxs/envPxsReader.h>
#include <pxs/envXmlReader.h>
#include <pxs/envXmlWriter.h>
#include <util/znException.h>
#include <util/znFilename.h>
#include <util/znNotify.h>
#include <util/znSystem.h>
#include <util/xmlSetup.h>

namespace {

constexpr const char* kSchemaInstanceNamespace = "http://www.w3.org/2001/XMLSchema-instance";
constexpr const char* kSchemaNamespace = "http://www.w3.org/2001/XMLSchema";

// TCLAP's reports, with TCLAP's own texts, sent to ZnInfo (usage, version)
// and ZnWarn (parse errors) instead of the standard streams. Every report
// ends the process, so the first one raises ZnNotifyLevel to 3 for the
// rest of the program's life, keeping the level it found: a --help that
// the application's quiet level swallowed would help nobody.
class NotifyOutput : public TCLAP::StdOutput {
public:
    void usage(TCLAP::CmdLineInterface& cmd) override {
        raiseLevel();
        ZnInfo << "\nUSAGE: \n\n";
        _shortUsage(cmd, ZnInfo);
        ZnInfo << "\n\nWhere: \n\n";
        _longUsage(cmd, ZnInfo);
        ZnInfo << std::endl;
    }

    void version(TCLAP::CmdLineInterface& cmd) override {
        raiseLevel();
        ZnInfo << "\n"
               << cmd.getProgramName() << "  version: " << cmd.getVersion() << "\n"
               << std::endl;
    }

    void failure(TCLAP::CmdLineInterface& cmd, TCLAP::ArgException& e) override {
        raiseLevel();
        ZnWarn << "PARSE ERROR: " << e.argId() << "\n"
               << "             " << e.error() << "\n\n";
        if (cmd.hasHelpAndVersion()) {
            ZnWarn << "Brief USAGE: \n";
            _shortUsage(cmd, ZnWarn);
            ZnWarn << "\nFor complete USAGE and HELP type: \n   " << cmd.getProgramName() << " "
                   << TCLAP::Arg::nameStartString() << "help\n"
                   << std::endl;
        } else {
            usage(cmd);
        }
        throw TCLAP::ExitException(1);
    }

    // After the report: the optional wait for a key, the saved level back,
    // and the end of the process with `status`.
    [[noreturn]] void endProcess(int status, bool waitForKey) {
        raiseLevel();
        if (waitForKey) {
            ZnInfo << "Press any key to continue" << std::endl;
            // Nobody may be there to press a key. ZnPollBlockingInputChar
            // answers at once when standard input is not a terminal, is at
            // end of input or is closed, so a program run from a script, a
            // pipe or a service never hangs here.
            while (!ZnPollBlockingInputChar()) ZnSleep(0.1);
        }
        ZnNotifyLevel = savedLevel_;
        ZnInfo.flush();
        ZnWarn.flush();
        std::exit(status);
    }

private:
    void raiseLevel() {
        if (raised_) return;
        savedLevel_ = ZnNotifyLevel;
        ZnNotifyLevel = 3;
        raised_ = true;
    }

    bool raised_ = false;
    int savedLevel_ = 0;
};

// The words TCLAP parses: the program name first. A missing argv still
// gets a program name, which TCLAP takes off the front unchecked.
std::vector<std::string> commandWords(int argc, char** argv, const ZnString& fallbackName) {
    std::vector<std::string> words;
    for (int i = 0; argv && i < argc; ++i)
        if (argv[i]) words.push_back(argv[i]);
    if (words.empty()) words.push_back(fallbackName.string());
    return words;
}

}  // namespace

void initAppEnv() {
    pxsEnsureXmlInitialised();
}

ZnApplicationSettings::ZnApplicationSettings(const ZnString& applicationName,
                                             const ZnString& applicationVersion,
                                             const ZnString& groupName)
    : ZnVariableGroup(nullptr, groupName, "", ""),
      applicationName_(applicationName),
      applicationVersion_(applicationVersion) {}

ZnApplicationSettings::~ZnApplicationSettings() = default;

void ZnApplicationSettings::addBaseVar(ZnBaseConfigVariable* variable) {
    ZnVariableGroup::addBaseVariable(variable);
}

// Arguments are added inside the same guard as the parse: a declaration
// TCLAP refuses (two variables with one name or flag) is reported like a
// parse error instead of escaping as a TCLAP exception.
void ZnApplicationSettings::parseCommandLine(int argc, char** argv, bool helpAndVersion) {
    NotifyOutput output;
    int exitStatus = -1;
    {
        TCLAP::CmdLine cmd(applicationName_.string(), ' ', applicationVersion_.string(),
                           helpAndVersion);
        cmd.setOutput(&output);
        cmd.setExceptionHandling(false);
        std::vector<std::string> words = commandWords(argc, argv, applicationName_);
        try {
            getCommandLineArg(cmd);
            cmd.parse(words);
        } catch (TCLAP::ArgException& e) {
            try {
                output.failure(cmd, e);
            } catch (TCLAP::ExitException& exit) {
                exitStatus = exit.getExitStatus();
            }
        } catch (TCLAP::ExitException& exit) {
            exitStatus = exit.getExitStatus();
        }
    }
    if (exitStatus >= 0) output.endProcess(exitStatus, helpAndVersion);
    updateFromCommandLineArg();
}

bool ZnApplicationSettings::loadConfigFile(const ZnString& fileName) {
    const ZnString extension = ZnFilename(fileName).extension();
    try {
        if (extension == "xml") return loadXmlFile(fileName);
        if (extension == "pxs") return loadPxsFile(fileName);
    } catch (const ZnInvalidInput&) {
        return false;
    }
    return false;
}

bool ZnApplicationSettings::loadPxsFile(const ZnString& fileName) {
    ZnEnvPXSReader reader;
    return readFileIntoEnvironment(fileName, reader);
}

bool ZnApplicationSettings::loadXmlFile(const ZnString& fileName) {
    ZnEnvXMLReader reader(false);
    return readFileIntoEnvironment(fileName, reader);
}

bool ZnApplicationSettings::readFileIntoEnvironment(const ZnString& fileName, ZnEnvReader& reader) {
    try {
        bool ok = false;
        ZnEnvironment env = reader.readFile(fileName, ok);
        if (!ok) return false;
        updateFromEnvironment(env);
        return true;
    } catch (const ZnInvalidInput&) {
        return false;
    }
}

bool ZnApplicationSettings::saveConfigFile(const ZnString& fileName, const ZnString& schemaFileName,
                                           bool generateSchema) {
    if (generateSchema) generateConfigFileSchema(schemaFileName);
    ZnEnvironment env(rootElementName());
    env.addAttribute("xsi:noNamespaceSchemaLocation", schemaFileName);
    env.addAttribute("xmlns:xsi", kSchemaInstanceNamespace);
    getEnvironmentValue(env);
    ZnEnvXMLWriter writer;
    writer.setIndentation("   ");
    return writer.writeFile(env, fileName);
}

void ZnApplicationSettings::generateConfigFileSchema(const ZnString& fileName) const {
    ZnEnvironment env("xs:schema");
    env.addAttribute("xmlns:xs", kSchemaNamespace);
    env.addAttribute("elementFormDefault", "qualified");
    std::set<ZnString> typesDone;
    getEnvironmentSchemaType(env, typesDone);
    generateElements(env);
    ZnEnvXMLWriter writer;
    writer.writeFile(env, fileName);
}

void ZnApplicationSettings::generateElements(ZnEnvironment env) const {
    ZnEnvValueSP top = createSchemaDeclaration(env, rootElementName(), "");
    ZnEnvValueSP complexType = env.addObject("xs:complexType", top);
    ZnEnvValueSP all = env.addObject("xs:all", complexType);
    if (inConfigFile()) createSchemaDeclaration(ZnEnvironment(all), name(), type());
}

ZnString ZnApplicationSettings::rootElementName() const {
    ZnString name = applicationName_;
    ZnReplaceAllSubstrings(name, " ", "-");
    return name;
}
