// settingsFile_test.cpp -- application settings and files: choosing the
// reader by extension, the saved XML file and its generated schema (checked
// with libxml2's schema validation, as xmllint --schema does), save -> load
// round trips of every type in nested groups, changeOnce against a file,
// and the errors a broken file raises.

#include <pxs/pxs.h>

#include <gtest/gtest.h>

#include <libxml/xmlschemas.h>
#include <stdlib.h>

#include <cfloat>
#include <cstring>
#include <iterator>
#include <limits>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <util/xmlPtr.h>

#include "pxs_test_files.h"

namespace {

using Scope = ZnBaseConfigVariable;

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
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
    pxstest::TempDir dir;
};

TEST_F(SettingsFile, SavedFileIsIndentedXmlUnderTheApplicationsName) {
    ZnApplicationSettings settings("Demo App", "1", "settings");
    ZnConfigVariable<double> rate(&settings, "rate", 2.5, "Update rate", Scope::AllScopes, false,
                                  "");
    ASSERT_TRUE(settings.saveConfigFile(dir.file("demo.xml"), "demo.xsd", false));
    EXPECT_EQ(slurp(dir.file("demo.xml")),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
              "<Demo-App xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
              "xsi:noNamespaceSchemaLocation=\"demo.xsd\">\n"
              "   <settings>\n"
              "      <!--Update rate-->\n"
              "      <rate value=\"2.5\"/>\n"
              "   </settings>\n"
              "</Demo-App>\n");
    // Without the third argument no schema is written, though the file names it.
    EXPECT_FALSE(std::filesystem::exists(dir.file("demo.xsd")));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(settings.saveConfigFile(dir.file("no/such/dir.xml"), "x.xsd", false));
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "testXmlwriterDoc: Error at xmlSaveFormatFileEnc\n"),
              std::string::npos);
}

TEST_F(SettingsFile, SchemaDeclaresTypesOnceAndTheRootElement) {
    ZnApplicationSettings settings("My Demo App", "1", "settings");
    ZnConfigVariable<double> rate(&settings, "rate", 2.5, "", Scope::AllScopes, false, "");
    ZnConfigVariable<double> scale(&settings, "scale", 1, "", Scope::AllScopes, true, "");
    settings.generateConfigFileSchema(dir.file("demo.xsd"));
    EXPECT_EQ(slurp(dir.file("demo.xsd")),
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
    ASSERT_TRUE(settings.saveConfigFile(dir.file("demo.xml"), dir.file("demo.xsd"), false));
    EXPECT_NE(slurp(dir.file("demo.xml")).find("\n<My-Demo-App "), std::string::npos);
    EXPECT_EQ(schemaProblems(dir.file("demo.xml"), dir.file("demo.xsd")), "");
}

// The validation does look: a value of the wrong kind or a missing required
// member is refused, a missing optional member is not.
TEST_F(SettingsFile, SavedFileValidatesAgainstItsGeneratedSchema) {
    Valid settings;
    settings.change();
    ASSERT_TRUE(settings.settings.saveConfigFile(dir.file("v.xml"), dir.file("v.xsd"), true));
    EXPECT_EQ(schemaProblems(dir.file("v.xml"), dir.file("v.xsd")), "");
    EXPECT_EQ(slurp(dir.file("v.xsd")).find("minOccurs=\"0\">"),
              std::string::npos);  // never on a type
    const std::string text = slurp(dir.file("v.xml"));
    const struct {
        const char *from, *to;
        bool valid;
    } edits[] = {{"<count value=\"-12\"/>", "<count value=\"many\"/>", false},
                 {"<count value=\"-12\"/>", "", false},
                 {"<verbose value=\"true\"/>", "", true}};
    for (const auto& edit : edits) {
        SCOPED_TRACE(std::string(edit.from) + " -> " + edit.to);
        const std::size_t at = text.find(edit.from);
        ASSERT_NE(at, std::string::npos) << text;
        const std::string file =
            dir.write("edited.xml", std::string(text).replace(at, std::strlen(edit.from), edit.to));
        EXPECT_EQ(schemaProblems(file, dir.file("v.xsd")).empty(), edit.valid);
    }
}

TEST_F(SettingsFile, RefusedTypeNamesAreKeptAsTheyAre) {
    AllTypes settings;
    settings.settings.generateConfigFileSchema(dir.file("all.xsd"));
    const std::string schema = slurp(dir.file("all.xsd"));
    EXPECT_NE(schema.find("<xs:complexType name=\"std::string\">"), std::string::npos);
    EXPECT_NE(schema.find("<xs:complexType name=\"unsigned int\">"), std::string::npos);
    EXPECT_NE(
        schema.find("<xs:attribute name=\"value\" type=\"xs:unsignedInt\" use=\"required\"/>"),
        std::string::npos);
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

TEST_F(SettingsFile, SaveThenLoadRestoresEveryTypeInBothForms) {
    for (const char* form : {"xml", "pxs"}) {
        SCOPED_TRACE(form);
        const std::string file = dir.file(std::string("all.") + form);
        AllTypes saved;
        saved.change();
        if (form[0] == 'x') {
            ASSERT_TRUE(saved.settings.saveConfigFile(file, dir.file("all.xsd"), true));
            EXPECT_EQ(slurp(file).find("cli"), std::string::npos);
        } else {
            // PXS strings are written unescaped: a double quote would end the text.
            saved.host.setValue("a <b> & 'd'");
            ASSERT_TRUE(savePxs(saved.settings, file));
        }
        AllTypes loaded;
        ASSERT_TRUE(loaded.settings.loadConfigFile(file));
        expectSameFileValues(saved, loaded);
        EXPECT_EQ(loaded.cli.value(), 7);  // command line only: not in the file
    }
    // Defaults survive too, and a second load changes nothing.
    AllTypes changed, defaults;
    changed.change();
    ASSERT_TRUE(defaults.settings.saveConfigFile(dir.file("defaults.xml"), "d.xsd", false));
    ASSERT_TRUE(changed.settings.loadConfigFile(dir.file("defaults.xml")));
    ASSERT_TRUE(changed.settings.loadConfigFile(dir.file("defaults.xml")));
    expectSameFileValues(changed, defaults);
}

TEST_F(SettingsFile, HandWrittenPxsFileIsRead) {
    dir.write("hand.pxs",
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
    ASSERT_TRUE(loaded.settings.loadConfigFile(dir.file("hand.pxs")));
    EXPECT_EQ(loaded.count.value(), 5);
    EXPECT_EQ(loaded.host.value(), "example.org");
    EXPECT_EQ(loaded.gain.value(), 2.0f);
    EXPECT_EQ(loaded.rate.value(), 2.5);  // not in the file
    EXPECT_EQ(loaded.position.value(), ZnVector64(1, 2, 3));
    EXPECT_EQ(loaded.attitude.value(), ZnTaitBryan(0.5, 0, -0.5));
}

TEST_F(SettingsFile, FileWithoutAGroupObjectRaises) {
    dir.write("other.pxs", "(Demo-App (other (count (value \"5\"))))");
    Valid loaded;
    try {
        loaded.settings.loadConfigFile(dir.file("other.pxs"));
        FAIL() << "no exception";
    } catch (const ZnCorruptedState& e) {
        EXPECT_STREQ(e.what(), "ZnCorruptedState: Unable to find group:settings:settings");
    }
    EXPECT_EQ(loaded.count.value(), 3);
    // Typed otherwise, the object is not the settings group either.
    dir.write("typed.pxs", "(Demo-App (settings config (count (value \"5\"))))");
    EXPECT_THROW(loaded.settings.loadConfigFile(dir.file("typed.pxs")), ZnCorruptedState);
    // Text that is not PXS is broken content, not a missing file.
    dir.write("open.pxs", "(Demo-App (settings (count (value \"5\"))");
    EXPECT_THROW(loaded.settings.loadConfigFile(dir.file("open.pxs")), ZnCorruptedState);
    EXPECT_EQ(loaded.count.value(), 3);
    // From XML likewise, after the members before the missing group were read.
    dir.write("partial.xml",
              "<Demo-App><settings><count value=\"5\"/><pose/></settings></Demo-App>");
    EXPECT_THROW(loaded.settings.loadConfigFile(dir.file("partial.xml")), ZnCorruptedState);
    EXPECT_EQ(loaded.count.value(), 5);
}

TEST_F(SettingsFile, ExtensionChoosesTheReaderCaseSensitively) {
    Valid saved;
    saved.change();
    ASSERT_TRUE(saved.settings.saveConfigFile(dir.file("s.xml"), "s.xsd", false));
    for (const char* copy : {"s.XML", "s.txt", "noextension"})
        std::filesystem::copy_file(dir.file("s.xml"), dir.file(copy));
    Valid loaded;
    for (const char* file : {"s.XML", "s.txt", "noextension", "missing.xml", "missing.pxs"})
        EXPECT_FALSE(loaded.settings.loadConfigFile(dir.file(file))) << file;
    EXPECT_EQ(loaded.count.value(), 3);
    EXPECT_TRUE(loaded.settings.loadConfigFile(dir.file("s.xml")));
    EXPECT_EQ(loaded.count.value(), -12);
}

TEST_F(SettingsFile, BrokenValuesAndDocumentsRaiseOrAnswerFalse) {
    Valid loaded;
    // A member without its value attribute.
    dir.write("novalue.xml", "<Demo-App><settings><count/></settings></Demo-App>\n");
    try {
        loaded.settings.loadConfigFile(dir.file("novalue.xml"));
        FAIL() << "no exception";
    } catch (const ZnCorruptedState& e) {
        EXPECT_STREQ(e.what(), "ZnCorruptedState: Unable to find value attribute.");
    }
    // A vector lacking a part is invalid input: the load answers false.
    dir.write("novector.xml",
              "<Demo-App><settings><network name=\"net\"><link/></network>"
              "<pose><position><x value=\"1\"/><z value=\"2\"/></position></pose>"
              "</settings></Demo-App>\n");
    EXPECT_FALSE(loaded.settings.loadConfigFile(dir.file("novector.xml")));
    EXPECT_EQ(loaded.position.value(), ZnVector64(1, 2, 3));
    // Not XML at all.
    dir.write("garbage.xml", "<Demo-App><settings>");
    EXPECT_THROW(loaded.settings.loadConfigFile(dir.file("garbage.xml")), ZnCorruptedState);
}

TEST_F(SettingsFile, ChangeOnceDecidesBetweenCommandLineAndFile) {
    Valid file;
    file.change();
    ASSERT_TRUE(file.settings.saveConfigFile(dir.file("f.xml"), "f.xsd", false));
    for (bool once : {true, false}) {
        Valid app;
        app.settings.setChangeOnce(once);
        std::string words[] = {"demo", "--count", "99", "--gain", "4"};
        char* argv[] = {&words[0][0], &words[1][0], &words[2][0],
                        &words[3][0], &words[4][0], nullptr};
        app.settings.parseCommandLine(5, argv, false);
        ASSERT_TRUE(app.settings.loadConfigFile(dir.file("f.xml")));
        EXPECT_EQ(app.count.value(), once ? 99 : -12) << "once=" << once;
        EXPECT_EQ(app.gain.value(), once ? 4.0f : -0.1f) << "once=" << once;
        EXPECT_TRUE(app.verbose.value());  // not on the command line: the file's value
        // Required command-line arguments (count, gain) were given; the order
        // of command line and file does not matter when the flag is on.
        if (!once) continue;
        Valid late;
        late.settings.setChangeOnce(true);
        ASSERT_TRUE(late.settings.loadConfigFile(dir.file("f.xml")));
        late.settings.parseCommandLine(5, argv, false);
        EXPECT_EQ(late.count.value(), 99);
    }
}

}  // namespace

namespace {

// Everything written to ZnWarn while the scope lives.
class WarnCapture {
public:
    WarnCapture() : saved_(ZnWarn.rdbuf(text_.rdbuf())) {}
    ~WarnCapture() { ZnWarn.rdbuf(saved_); }
    std::string text() const { return text_.str(); }

private:
    std::ostringstream text_;
    std::streambuf* saved_;
};

}  // namespace

// The far ends of the floating-point range are ordinary values to the person
// who set them: each must come back bit for bit from both file forms.
TEST_F(SettingsFile, ExtremeFloatingPointValuesRoundTrip) {
    const float floats[] = {FLT_MAX, -FLT_MAX, FLT_MIN, std::numeric_limits<float>::denorm_min(),
                            1e-40f,  0.1f};
    const double doubles[] = {DBL_MAX, std::numeric_limits<double>::denorm_min(), 4.9e-320, DBL_MIN,
                              1.0 / 3.0};
    for (const char* form : {"xml", "pxs"}) {
        for (size_t i = 0; i < std::size(floats); ++i) {
            SCOPED_TRACE(std::string(form) + " case " + std::to_string(i));
            const std::string file = dir.file("range" + std::to_string(i) + "." + form);
            Valid saved;
            saved.gain.setValue(floats[i]);
            saved.rate.setValue(doubles[i % std::size(doubles)]);
            saved.position.setValue(ZnVector64(doubles[i % std::size(doubles)], -4.9e-324, 1));
            ASSERT_TRUE(form[0] == 'x' ? saved.settings.saveConfigFile(file, "r.xsd", false)
                                       : savePxs(saved.settings, file));
            Valid loaded;
            WarnCapture warnings;
            ASSERT_TRUE(loaded.settings.loadConfigFile(file));
            EXPECT_EQ(loaded.gain.value(), saved.gain.value());
            EXPECT_EQ(loaded.rate.value(), saved.rate.value());
            EXPECT_EQ(loaded.position.value(), saved.position.value());
            EXPECT_EQ(warnings.text(), "");
        }
    }
}

// A saved file of default values with one text replaced.
std::string savedWith(const pxstest::TempDir& dir, const char* form, const std::string& from,
                      const std::string& to) {
    const std::string file = dir.file(std::string("edited.") + form);
    Valid defaults;
    if (form[0] == 'x')
        EXPECT_TRUE(defaults.settings.saveConfigFile(file, "e.xsd", false));
    else
        EXPECT_TRUE(savePxs(defaults.settings, file));
    std::string text = slurp(file);
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from << " not in " << text;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    std::ofstream(file, std::ios::trunc | std::ios::binary) << text;
    return file;
}

// The value an unreadable text gives stays what it always was; what changes
// is that the file's author is told, with the variable and the text.
TEST_F(SettingsFile, UnreadableValuesAreNamedOnTheWarningStream) {
    struct Case {
        const char* from;
        const char* to;
        const char* expect;
        int count;  // what the conversion makes of the file's count
    };
    const Case cases[] = {
        {"value=\"3\"", "value=\"2147483648\"", "setting count: \"2147483648\" is not a valid int",
         0},
        {"value=\"3\"", "value=\"12abc\"", "setting count: \"12abc\" is not a valid int", 0},
        {"value=\"2.5\"", "value=\"1e400\"", "setting rate: \"1e400\" is not a valid double", 3},
        {"value=\"false\"", "value=\"maybe\"", "setting verbose: \"maybe\" is not a valid boolean",
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        const std::string file = savedWith(dir, "xml", c.from, c.to);
        Valid loaded;
        loaded.count.setValue(9);
        loaded.verbose.setValue(true);
        WarnCapture warnings;
        EXPECT_TRUE(loaded.settings.loadConfigFile(file));
        EXPECT_NE(warnings.text().find(c.expect), std::string::npos) << warnings.text();
        // Results as before: the conversion's own answer.
        EXPECT_EQ(loaded.count.value(), c.count);
        EXPECT_FALSE(loaded.verbose.value());
    }
    // Readable values say nothing.
    const std::string good = savedWith(dir, "xml", "value=\"3\"", "value=\" 42 \"");
    Valid loaded;
    WarnCapture quiet;
    ASSERT_TRUE(loaded.settings.loadConfigFile(good));
    EXPECT_EQ(loaded.count.value(), 42);
    EXPECT_EQ(quiet.text(), "");
}

// A string that could be loaded but never saved again is refused at the
// door: the variable keeps its value and the warning names it.
TEST_F(SettingsFile, StringsThatAreNotCleanUtf8AreRefusedAtLoad) {
    const char* refused[] = {"caf\xe9", "bell\x07", "\xc0\xaf", "\xed\xa0\x80", "cut\xe2\x82"};
    for (const char* text : refused) {
        SCOPED_TRACE(testing::PrintToString(std::string(text)));
        const std::string file =
            savedWith(dir, "pxs", "\"localhost\"", std::string("\"") + text + "\"");
        Valid loaded;
        loaded.host.setValue("kept");
        WarnCapture warnings;
        loaded.settings.loadConfigFile(file);
        EXPECT_EQ(loaded.host.value(), "kept");
        EXPECT_NE(warnings.text().find("setting host: value refused"), std::string::npos)
            << warnings.text();
    }
    const std::string clean = "caf\xc3\xa9\tb\xf0\x9f\x9a\xa2";
    const std::string file = savedWith(dir, "pxs", "\"localhost\"", "\"" + clean + "\"");
    Valid loaded;
    WarnCapture warnings;
    ASSERT_TRUE(loaded.settings.loadConfigFile(file));
    EXPECT_EQ(loaded.host.value(), clean);
    EXPECT_EQ(warnings.text(), "");
}
// A variable the XML form cannot name must fail the save, not vanish from it.
TEST_F(SettingsFile, SaveFailsWhenAVariableCannotBeWritten) {
    Valid saved;
    ZnConfigVariable<int> unnamed{&saved.settings, "2nd try", 1, "", Scope::AllScopes, false, ""};
    WarnCapture warnings;
    EXPECT_FALSE(saved.settings.saveConfigFile(dir.file("fail.xml"), "f.xsd", false));
    EXPECT_NE(warnings.text().find("2nd try"), std::string::npos) << warnings.text();
}
