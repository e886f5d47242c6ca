// settingsFile_test.cpp -- application settings and files: choosing the
// reader by extension, the saved XML file and its generated schema (checked
// with libxml2's schema validation, as xmllint --schema does), save -> load
// round trips of every type in nested groups, changeOnce against a file,
// and the errors a broken file raises.

#include <pxs/pxs.h>

#include <gtest/gtest.h>

#include <libxml/xmlschemas.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <util/xmlPtr.h>

namespace {

using Scope = ZnBaseConfigVariable;

// A fresh directory, removed with everything in it.
class TempDir {
public:
    TempDir() {
        char name[] = "/tmp/pxs-settings-XXXXXX";
        path_ = mkdtemp(name) ? name : "";
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string operator/(const std::string& file) const { return path_ + "/" + file; }

private:
    std::string path_;
};

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void spit(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

void collectError(void* sink, xmlErrorPtr error) {
    if (error && error->message) *static_cast<std::string*>(sink) += error->message;
}

// Empty when `xml` is valid against `xsd`, otherwise what libxml2 said.
std::string schemaProblems(const std::string& xml, const std::string& xsd) {
    std::string errors;
    XmlSchemaParserCtxtPtr parser(xmlSchemaNewParserCtxt(xsd.c_str()));
    if (!parser) return "no schema parser";
    xmlSchemaSetParserStructuredErrors(parser.get(), collectError, &errors);
    XmlSchemaPtr schema(xmlSchemaParse(parser.get()));
    if (!schema) return "schema rejected: " + errors;
    XmlSchemaValidCtxtPtr validator(xmlSchemaNewValidCtxt(schema.get()));
    xmlSchemaSetValidStructuredErrors(validator.get(), collectError, &errors);
    const int result = xmlSchemaValidateFile(validator.get(), xml.c_str(), 0);
    return result == 0 ? "" : "invalid (" + std::to_string(result) + "): " + errors;
}

// Settings with every type whose schema type name XML Schema accepts, in
// nested groups: settings { count, verbose, net(network) { host, link { rate,
// gain } }, pose { position, attitude }, cli (command line only) }.
struct Valid {
    ZnApplicationSettings settings{"Demo App", "1.0", "settings"};
    ZnConfigVariable<int> count{&settings, "&count", 3, "How many", Scope::AllScopes, true, ""};
    ZnConfigVariable<bool> verbose{&settings, "verbose", false, "", Scope::AllScopes, false, ""};
    ZnVariableGroup net{&settings, "net", "network", "Network -- the link"};
    ZnConfigVariable<ZnString> host{&net, "host", "localhost", "Host", Scope::AllScopes, false, ""};
    ZnVariableGroup link{&net, "link", "", ""};
    ZnConfigVariable<double> rate{&link, "rate", 2.5, "", Scope::ConfigFileScope, false, ""};
    ZnConfigVariable<float> gain{&link, "gain", 0.5f, "", Scope::AllScopes, true, ""};
    ZnVariableGroup pose{&settings, "pose", "", ""};
    ZnConfigVariable<ZnVector64> position{
        &pose, "position", ZnVector64(1, 2, 3), "", Scope::AllScopes, false, ""};
    ZnConfigVariable<ZnTaitBryan> attitude{
        &pose, "attitude", ZnTaitBryan(0.1, 0.2, 0.3), "", Scope::ConfigFileScope, true, ""};
    ZnConfigVariable<int> cli{&settings, "cli", 7, "", Scope::CommandLineScope, false, ""};

    void change() {
        count.setValue(-12);
        verbose.setValue(true);
        host.setValue("a <b> & \"c\" 'd'");
        rate.setValue(1.0 / 3.0);
        gain.setValue(-0.1f);
        position.setValue(ZnVector64(-1e-9, 0, 6.02e23));
        attitude.setValue(ZnTaitBryan(3.14159, -1.5, 0));
        cli.setValue(8);
    }
};

// The same with the two types whose names XML Schema refuses.
struct AllTypes : Valid {
    ZnConfigVariable<std::string> label{&net, "label", "none", "", Scope::AllScopes, false, ""};
    ZnConfigVariable<unsigned int> port{&pose, "port", 4000u, "", Scope::AllScopes, false, ""};

    void change() {
        Valid::change();
        label.setValue("");
        port.setValue(4294967295u);
    }
};

void expectSameFileValues(const AllTypes& a, const AllTypes& b) {
    EXPECT_EQ(a.count.value(), b.count.value());
    EXPECT_EQ(a.verbose.value(), b.verbose.value());
    EXPECT_EQ(a.host.value(), b.host.value());
    EXPECT_EQ(a.rate.value(), b.rate.value());
    EXPECT_EQ(a.gain.value(), b.gain.value());
    EXPECT_EQ(a.position.value(), b.position.value());
    EXPECT_EQ(a.attitude.value(), b.attitude.value());
    EXPECT_EQ(a.label.value(), b.label.value());
    EXPECT_EQ(a.port.value(), b.port.value());
}

class SettingsFile : public testing::Test {
protected:
    static void SetUpTestSuite() { initAppEnv(); }
    TempDir dir;
};

TEST_F(SettingsFile, SavedFileIsIndentedXmlUnderTheApplicationsName) {
    ZnApplicationSettings settings("Demo App", "1", "settings");
    ZnConfigVariable<double> rate(&settings, "rate", 2.5, "Update rate", Scope::AllScopes, false,
                                  "");
    ASSERT_TRUE(settings.saveConfigFile(dir / "demo.xml", "demo.xsd", false));
    EXPECT_EQ(slurp(dir / "demo.xml"),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
              "<Demo-App xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
              "xsi:noNamespaceSchemaLocation=\"demo.xsd\">\n"
              "   <settings>\n"
              "      <!--Update rate-->\n"
              "      <rate value=\"2.5\"/>\n"
              "   </settings>\n"
              "</Demo-App>\n");
    // Without the third argument no schema is written, though the file names it.
    EXPECT_FALSE(std::filesystem::exists(dir / "demo.xsd"));
}

TEST_F(SettingsFile, SchemaDeclaresTypesOnceAndTheRootElement) {
    ZnApplicationSettings settings("My Demo App", "1", "settings");
    ZnConfigVariable<double> rate(&settings, "rate", 2.5, "", Scope::AllScopes, false, "");
    ZnConfigVariable<double> scale(&settings, "scale", 1, "", Scope::AllScopes, true, "");
    settings.generateConfigFileSchema(dir / "demo.xsd");
    EXPECT_EQ(slurp(dir / "demo.xsd"),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
              "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
              "elementFormDefault=\"qualified\">\n"
              "  <xs:complexType name=\"settings\">\n"
              "    <xs:all>\n"
              "      <xs:element name=\"rate\" type=\"double\" minOccurs=\"0\"/>\n"
              "      <xs:element name=\"scale\" type=\"double\"/>\n"
              "    </xs:all>\n"
              "    <xs:attribute name=\"name\" type=\"xs:string\" use=\"optional\"/>\n"
              "  </xs:complexType>\n"
              "  <xs:complexType name=\"double\">\n"
              "    <xs:attribute name=\"value\" type=\"xs:double\" use=\"required\"/>\n"
              "    <xs:attribute name=\"name\" type=\"xs:string\" use=\"optional\"/>\n"
              "  </xs:complexType>\n"
              "  <xs:element name=\"My-Demo-App\">\n"
              "    <xs:complexType>\n"
              "      <xs:all>\n"
              "        <xs:element name=\"settings\" type=\"settings\"/>\n"
              "      </xs:all>\n"
              "    </xs:complexType>\n"
              "  </xs:element>\n"
              "</xs:schema>\n");
    ASSERT_TRUE(settings.saveConfigFile(dir / "demo.xml", dir / "demo.xsd", false));
    EXPECT_NE(slurp(dir / "demo.xml").find("\n<My-Demo-App "), std::string::npos);
    EXPECT_EQ(schemaProblems(dir / "demo.xml", dir / "demo.xsd"), "");
}

TEST_F(SettingsFile, SavedFileValidatesAgainstItsGeneratedSchema) {
    Valid settings;
    settings.change();
    ASSERT_TRUE(settings.settings.saveConfigFile(dir / "v.xml", dir / "v.xsd", true));
    EXPECT_EQ(schemaProblems(dir / "v.xml", dir / "v.xsd"), "");
    const std::string schema = slurp(dir / "v.xsd");
    EXPECT_EQ(schema.find("minOccurs=\"0\">"), std::string::npos);  // never on a type
    // The validation does look: a value of the wrong kind is refused.
    std::string text = slurp(dir / "v.xml");
    const std::string count = "<count value=\"-12\"/>";
    ASSERT_NE(text.find(count), std::string::npos) << text;
    text.replace(text.find(count), count.size(), "<count value=\"many\"/>");
    spit(dir / "bad.xml", text);
    EXPECT_NE(schemaProblems(dir / "bad.xml", dir / "v.xsd"), "");
}

TEST_F(SettingsFile, OptionalMembersMayBeLeftOutRequiredOnesMayNot) {
    Valid settings;
    ASSERT_TRUE(settings.settings.saveConfigFile(dir / "v.xml", dir / "v.xsd", true));
    std::string text = slurp(dir / "v.xml");
    const std::string verbose = "<verbose value=\"false\"/>";
    ASSERT_NE(text.find(verbose), std::string::npos);
    spit(dir / "optional.xml", std::string(text).replace(text.find(verbose), verbose.size(), ""));
    EXPECT_EQ(schemaProblems(dir / "optional.xml", dir / "v.xsd"), "");
    const std::string count = "<count value=\"3\"/>";
    ASSERT_NE(text.find(count), std::string::npos);
    spit(dir / "required.xml", std::string(text).replace(text.find(count), count.size(), ""));
    EXPECT_NE(schemaProblems(dir / "required.xml", dir / "v.xsd"), "");
}

TEST_F(SettingsFile, RefusedTypeNamesAreKeptAsTheyAre) {
    AllTypes settings;
    settings.settings.generateConfigFileSchema(dir / "all.xsd");
    const std::string schema = slurp(dir / "all.xsd");
    EXPECT_NE(schema.find("<xs:complexType name=\"std::string\">"), std::string::npos);
    EXPECT_NE(schema.find("<xs:complexType name=\"unsigned int\">"), std::string::npos);
    EXPECT_NE(
        schema.find("<xs:attribute name=\"value\" type=\"xs:unsignedInt\" use=\"required\"/>"),
        std::string::npos);
}

TEST_F(SettingsFile, SaveThenLoadXmlRestoresEveryType) {
    AllTypes saved;
    saved.change();
    ASSERT_TRUE(saved.settings.saveConfigFile(dir / "all.xml", dir / "all.xsd", true));
    AllTypes loaded;
    ASSERT_TRUE(loaded.settings.loadConfigFile(dir / "all.xml"));
    expectSameFileValues(saved, loaded);
    EXPECT_EQ(loaded.cli.value(), 7);  // command line only: not in the file
    EXPECT_EQ(slurp(dir / "all.xml").find("cli"), std::string::npos);
    // Defaults survive too, and a second load changes nothing.
    AllTypes defaults;
    ASSERT_TRUE(defaults.settings.saveConfigFile(dir / "defaults.xml", "d.xsd", false));
    ASSERT_TRUE(saved.settings.loadConfigFile(dir / "defaults.xml"));
    ASSERT_TRUE(saved.settings.loadConfigFile(dir / "defaults.xml"));
    expectSameFileValues(saved, defaults);
}

// The PXS form of what saveConfigFile writes as XML.
bool savePxs(ZnApplicationSettings& settings, const std::string& path) {
    ZnString rootName = settings.applicationName();
    ZnReplaceAllSubstrings(rootName, " ", "-");
    ZnEnvironment env(rootName);
    settings.getEnvironmentValue(env);
    ZnEnvPXSWriter writer;
    return writer.writeFile(env, path);
}

TEST_F(SettingsFile, SaveThenLoadPxsRestoresEveryType) {
    AllTypes saved;
    saved.change();
    // PXS strings are written unescaped: a double quote would end the text.
    saved.host.setValue("a <b> & 'd'");
    ASSERT_TRUE(savePxs(saved.settings, dir / "all.pxs"));
    AllTypes loaded;
    ASSERT_TRUE(loaded.settings.loadConfigFile(dir / "all.pxs"));
    expectSameFileValues(saved, loaded);
    EXPECT_EQ(loaded.cli.value(), 7);
}

TEST_F(SettingsFile, HandWrittenPxsFileIsRead) {
    spit(dir / "hand.pxs",
         "; settings of the demo\n"
         "(Demo-App\n"
         "   (settings\n"
         "      (count (value \"5\"))\n"
         "      (net network\n"
         "         (host (value \"example.org\"))\n"
         "         (link (gain (value \"2\"))))\n"
         "      (pose (position (x (value \"1\")) (y (value \"2\")) (z (value \"3\")))\n"
         "            (attitude (heading (value \"0.5\")) (pitch (value \"0\"))\n"
         "                      (roll (value \"-0.5\"))))))\n");
    Valid loaded;
    ASSERT_TRUE(loaded.settings.loadConfigFile(dir / "hand.pxs"));
    EXPECT_EQ(loaded.count.value(), 5);
    EXPECT_EQ(loaded.host.value(), "example.org");
    EXPECT_EQ(loaded.gain.value(), 2.0f);
    EXPECT_EQ(loaded.rate.value(), 2.5);  // not in the file
    EXPECT_EQ(loaded.position.value(), ZnVector64(1, 2, 3));
    EXPECT_EQ(loaded.attitude.value(), ZnTaitBryan(0.5, 0, -0.5));
}

TEST_F(SettingsFile, PxsFileWithoutTheSettingsObjectRaises) {
    spit(dir / "other.pxs", "(Demo-App (other (count (value \"5\"))))");
    Valid loaded;
    try {
        loaded.settings.loadConfigFile(dir / "other.pxs");
        FAIL() << "no exception";
    } catch (const ZnCorruptedState& e) {
        EXPECT_STREQ(e.what(), "ZnCorruptedState: Unable to find group:settings:settings");
    }
    EXPECT_EQ(loaded.count.value(), 3);
    // Typed otherwise, the object is not the settings group either.
    spit(dir / "typed.pxs", "(Demo-App (settings config (count (value \"5\"))))");
    EXPECT_THROW(loaded.settings.loadConfigFile(dir / "typed.pxs"), ZnCorruptedState);
    EXPECT_FALSE(loaded.settings.loadConfigFile(dir / "missing.pxs"));
    EXPECT_FALSE(loaded.settings.loadConfigFile(dir / "other.PXS"));
    // Text that is not PXS is broken content, not a missing file.
    spit(dir / "open.pxs", "(Demo-App (settings (count (value \"5\"))");
    EXPECT_THROW(loaded.settings.loadConfigFile(dir / "open.pxs"), ZnCorruptedState);
    EXPECT_EQ(loaded.count.value(), 3);
}

TEST_F(SettingsFile, EnvironmentReferencesAreSavedAsWrittenAndExpandedOnLoad) {
    ASSERT_EQ(setenv("PXS_SETTINGS_TEST_DIR", "/opt/data", 1), 0);
    Valid saved;
    saved.host.setValue("$(PXS_SETTINGS_TEST_DIR)/hosts");
    ASSERT_TRUE(saved.settings.saveConfigFile(dir / "env.xml", "env.xsd", false));
    EXPECT_NE(slurp(dir / "env.xml").find("value=\"$(PXS_SETTINGS_TEST_DIR)/hosts\""),
              std::string::npos);
    Valid loaded;
    ASSERT_TRUE(loaded.settings.loadConfigFile(dir / "env.xml"));
    EXPECT_EQ(loaded.host.value(), "/opt/data/hosts");
    unsetenv("PXS_SETTINGS_TEST_DIR");
}

TEST_F(SettingsFile, ExtensionChoosesTheReaderCaseSensitively) {
    Valid saved;
    saved.change();
    ASSERT_TRUE(saved.settings.saveConfigFile(dir / "s.xml", "s.xsd", false));
    std::filesystem::copy_file(dir / "s.xml", dir / "s.XML");
    std::filesystem::copy_file(dir / "s.xml", dir / "s.txt");
    std::filesystem::copy_file(dir / "s.xml", dir / "noextension");
    Valid loaded;
    EXPECT_FALSE(loaded.settings.loadConfigFile(dir / "s.XML"));
    EXPECT_FALSE(loaded.settings.loadConfigFile(dir / "s.txt"));
    EXPECT_FALSE(loaded.settings.loadConfigFile(dir / "noextension"));
    EXPECT_EQ(loaded.count.value(), 3);
    EXPECT_FALSE(loaded.settings.loadConfigFile(dir / "missing.xml"));
    EXPECT_FALSE(loaded.settings.loadConfigFile(dir / "missing.pxs"));
    EXPECT_EQ(loaded.count.value(), 3);
    EXPECT_TRUE(loaded.settings.loadConfigFile(dir / "s.xml"));
    EXPECT_EQ(loaded.count.value(), -12);
}

TEST_F(SettingsFile, MissingGroupRaisesAfterEarlierMembersWereRead) {
    spit(dir / "partial.xml",
         "<?xml version=\"1.0\"?>\n<Demo-App><settings>"
         "<count value=\"5\"/><verbose value=\"true\"/><pose/>"
         "</settings></Demo-App>\n");
    Valid loaded;
    try {
        loaded.settings.loadConfigFile(dir / "partial.xml");
        FAIL() << "no exception";
    } catch (const ZnCorruptedState& e) {
        EXPECT_STREQ(e.what(), "ZnCorruptedState: Unable to find group:net:network");
    }
    EXPECT_EQ(loaded.count.value(), 5);
    EXPECT_TRUE(loaded.verbose.value());

    spit(dir / "nogroup.xml", "<?xml version=\"1.0\"?>\n<Demo-App><other/></Demo-App>\n");
    EXPECT_THROW(loaded.settings.loadConfigFile(dir / "nogroup.xml"), ZnCorruptedState);
}

TEST_F(SettingsFile, BrokenValuesAndDocumentsRaiseOrAnswerFalse) {
    Valid loaded;
    // A member without its value attribute.
    spit(dir / "novalue.xml", "<Demo-App><settings><count/></settings></Demo-App>\n");
    try {
        loaded.settings.loadConfigFile(dir / "novalue.xml");
        FAIL() << "no exception";
    } catch (const ZnCorruptedState& e) {
        EXPECT_STREQ(e.what(), "ZnCorruptedState: Unable to find value attribute.");
    }
    // A vector lacking a part is invalid input: the load answers false.
    spit(dir / "novector.xml",
         "<Demo-App><settings><network name=\"net\"><link/></network>"
         "<pose><position><x value=\"1\"/><z value=\"2\"/></position></pose>"
         "</settings></Demo-App>\n");
    EXPECT_FALSE(loaded.settings.loadConfigFile(dir / "novector.xml"));
    EXPECT_EQ(loaded.position.value(), ZnVector64(1, 2, 3));
    // Not XML at all.
    spit(dir / "garbage.xml", "<Demo-App><settings>");
    EXPECT_THROW(loaded.settings.loadConfigFile(dir / "garbage.xml"), ZnCorruptedState);
}

TEST_F(SettingsFile, SaveIntoAMissingDirectoryAnswersFalse) {
    Valid settings;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(settings.settings.saveConfigFile(dir / "no/such/dir.xml", "x.xsd", false));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("testXmlwriterDoc: Error at xmlSaveFormatFileEnc\n"), std::string::npos);
}

TEST_F(SettingsFile, ChangeOnceDecidesBetweenCommandLineAndFile) {
    Valid file;
    file.change();
    ASSERT_TRUE(file.settings.saveConfigFile(dir / "f.xml", "f.xsd", false));
    for (bool once : {true, false}) {
        Valid app;
        app.settings.setChangeOnce(once);
        std::string words[] = {"demo", "--count", "99", "--gain", "4"};
        char* argv[] = {&words[0][0], &words[1][0], &words[2][0],
                        &words[3][0], &words[4][0], nullptr};
        app.settings.parseCommandLine(5, argv, false);
        ASSERT_TRUE(app.settings.loadConfigFile(dir / "f.xml"));
        EXPECT_EQ(app.count.value(), once ? 99 : -12) << "once=" << once;
        EXPECT_EQ(app.gain.value(), once ? 4.0f : -0.1f) << "once=" << once;
        EXPECT_TRUE(app.verbose.value());  // not on the command line: the file's value
        // Required command-line arguments (count, gain) were given; the order
        // of command line and file does not matter when the flag is on.
        if (!once) continue;
        Valid late;
        late.settings.setChangeOnce(true);
        ASSERT_TRUE(late.settings.loadConfigFile(dir / "f.xml"));
        late.settings.parseCommandLine(5, argv, false);
        EXPECT_EQ(late.count.value(), 99);
    }
}

}  // namespace
