// hostileXml_test.cpp -- documents that try to make the library load other
// files: external entities, a DOCTYPE naming a file that is no DTD, and the
// host's own libxml2 work left as it was.

#include "fomTestSupport.h"

#include <sstream>

#include <libxml/parser.h>

#include <util/xmlPtr.h>

namespace {

using namespace fomtest;

constexpr const char* kSecret = "TOP-SECRET-LINE";

// Everything the library and libxml2 say on ZnWarn, ZnVerbose and standard
// error during the scope, with every stream open.
class Said {
public:
    Said() : level_(4), warn_(ZnWarn.rdbuf(text_.rdbuf())), verbose_(ZnVerbose.rdbuf(text_.rdbuf())) {}
    ~Said() {
        ZnWarn.rdbuf(warn_);
        ZnVerbose.rdbuf(verbose_);
    }
    std::string all() { return text_.str() + stderr_.text(); }

private:
    pxstest::StderrCapture stderr_;
    pxstest::ScopedNotifyLevel level_;
    std::ostringstream text_;
    std::streambuf* warn_;
    std::streambuf* verbose_;
};

class HostileXml : public ::testing::Test {
protected:
    void SetUp() override {
        secret = dir.write("secret.txt", std::string(kSecret) + "\n");
        dir.write("envConfig.dtd", slurp(dataPath("envConfig.dtd")));
    }
    // A configuration document whose internal subset declares an external
    // entity for the secret and uses it in a value and an attribute.
    std::string configWithEntity() {
        return dir.write("config.xml",
                         "<?xml version=\"1.0\"?>\n<!DOCTYPE config SYSTEM \"envConfig.dtd\" [\n"
                         "<!ENTITY leak SYSTEM \"file://" + secret + "\">\n]>\n"
                         "<config><link port=\"1\">&leak;</link></config>\n");
    }

    TempDir dir;
    std::string secret;
};

TEST_F(HostileXml, ConfigurationReaderNeverSubstitutesAnExternalEntity) {
    std::string file = configWithEntity();
    for (bool validate : {false, true}) {
        Said said;
        bool ok = false;
        std::string tree;
        try {
            ZnEnvironment env = ZnEnvXMLReader(validate).readFile(file.c_str(), ok);
            std::ostringstream printed;
            env.print(printed, ZnString(), true);
            tree = printed.str();
        } catch (const ZnException&) {
            // Refusing the whole document is as good as an empty value.
        }
        EXPECT_EQ(tree.find(kSecret), std::string::npos) << tree;
        std::string text = said.all();
        EXPECT_EQ(text.find(kSecret), std::string::npos) << text;
        if (validate) {
            EXPECT_NE(text.find("refused to load \"file://" + secret), std::string::npos) << text;
        }
    }
    // The document's own DTD is still read and enforced.
    Said said;
    bool ok = false;
    std::string valid = dir.write("valid.xml", slurp(dataPath("envValid.xml")));
    ZnEnvXMLReader(true).readFile(valid.c_str(), ok);
    EXPECT_TRUE(ok);
    std::string invalid = dir.write("invalid.xml", slurp(dataPath("envInvalid.xml")));
    EXPECT_THROW(ZnEnvXMLReader(true).readFile(invalid.c_str(), ok), ZnException);
}

TEST_F(HostileXml, ADoctypeNamingAnotherFileNeverQuotesIt) {
    std::string file =
        dir.write("quote.xml", "<?xml version=\"1.0\"?>\n<!DOCTYPE config SYSTEM \"" + secret +
                                   "\">\n<config><link port=\"1\"/></config>\n");
    Said said;
    bool ok = false;
    EXPECT_THROW(ZnEnvXMLReader(true).readFile(file.c_str(), ok), ZnException);
    std::string text = said.all();
    EXPECT_EQ(text.find(kSecret), std::string::npos) << text;
}

TEST_F(HostileXml, ObjectModelReadersLoadNoEntityIntoANameOrAMessage) {
    std::string fdd = slurp(dataPath("harbor.fdd"));
    size_t doctype = fdd.find("<!DOCTYPE");
    fdd.replace(doctype, fdd.find('>', doctype) + 1 - doctype,
                "<!DOCTYPE objectModel [\n<!ENTITY leak SYSTEM \"file://" + secret + "\">\n]>");
    const std::string quay = "name=\"Quay\"";
    ASSERT_NE(fdd.find(quay), std::string::npos);
    fdd.replace(fdd.find(quay), quay.size(), "name=\"Quay&leak;\"");
    std::string file = dir.write("leak.fdd", fdd);

    Said said;
    ZnFom fom;
    ZnFedReader1516 reader;
    reader.readFed(file.c_str(), &fom, 0, false, false);
    std::ostringstream names;
    for (const ZnFom::Dimension& d : fom.dimensions()) names << d.name << "\n";
    EXPECT_EQ(names.str().find(kSecret), std::string::npos) << names.str();
    EXPECT_EQ(reader.lastError().string().find(kSecret), std::string::npos);
    std::string text = said.all();
    EXPECT_EQ(text.find(kSecret), std::string::npos) << text;
}

// Outside the library's reads, the loader libxml2 had before is used: a host
// that parses its own documents with entities keeps getting them.
TEST_F(HostileXml, HostParsesOutsideTheLibraryAreUntouched) {
    bool ok = false;
    {
        Said said;
        ZnEnvXMLReader(true).readFile(configWithEntity().c_str(), ok);
    }
    std::string text = "<?xml version=\"1.0\"?>\n<!DOCTYPE d [\n<!ENTITY e SYSTEM \"file://" +
                       secret + "\">\n]>\n<d>&e;</d>\n";
    XmlDocPtr doc(xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr,
                                XML_PARSE_NOENT | XML_PARSE_NONET));
    ASSERT_TRUE(doc);
    XmlCharPtr content(xmlNodeGetContent(xmlDocGetRootElement(doc.get())));
    ASSERT_TRUE(content);
    EXPECT_NE(std::string(reinterpret_cast<const char*>(content.get())).find(kSecret),
              std::string::npos);
}

}  // namespace

namespace {

// An IEEE 1516-2000 model whose one object class is named through entities.
std::string modelNamedBy(const std::string& entities, const std::string& name) {
    return "<?xml version=\"1.0\"?>\n<!DOCTYPE objectModel [\n" + entities +
           "]>\n<objectModel name=\"X\" type=\"FOM\">\n<objects><objectClass "
           "name=\"HLAobjectRoot\"><objectClass name=\"" +
           name + "\"/></objectClass></objects>\n</objectModel>\n";
}

std::string repeated(const std::string& text, int count) {
    std::string all;
    for (int i = 0; i < count; ++i) all += text;
    return all;
}

ZnFedReadStatus readModel(const std::string& text, ZnFom& fom, ZnString& error) {
    TempDir dir;
    std::string file = dir.write("m.fdd", text);
    ZnFedReader1516 reader;
    pxstest::ScopedNotifyLevel quiet(0);
    ZnFedReadStatus status = reader.readFed(file.c_str(), &fom, 0, false, false);
    error = reader.lastError();
    return status;
}

}  // namespace

// A name built from many references reads in full, and a name that would
// expand past a megabyte, or through entities nested without end, is
// refused with the place it stands.
TEST(EntityExpansion, AttributesExpandInFullUpToABoundAndNoFurther) {
    const std::string ten = "<!ENTITY e \"abcdefghij\">\n";
    ZnFom fom;
    ZnString error;
    ASSERT_EQ(readModel(modelNamedBy(ten, "C" + repeated("&e;", 50000)), fom, error),
              ZnFedReadSuccess)
        << error.string();
    ASSERT_EQ(fom.objectClasses().size(), 2u);
    // Compared as a whole; a mismatch would print half a megabyte.
    EXPECT_TRUE(fom.objectClasses()[1].name.string() ==
                "HLAobjectRoot.C" + repeated("abcdefghij", 50000));

    ZnFom big;
    EXPECT_EQ(readModel(modelNamedBy(ten, repeated("&e;", 110000)), big, error), ZnFedReadFailed);
    EXPECT_EQ(error.string(),
              "Attribute name of element objectClass near line 6 expands through entities to "
              "more than 1048576 bytes or 16 levels.");

    // Ten levels of ten references each: 10^10 copies of one letter. libxml2
    // may refuse it first; either way nothing is delivered.
    std::string laughs = "<!ENTITY l0 \"x\">\n";
    for (int level = 1; level <= 10; ++level)
        laughs += "<!ENTITY l" + std::to_string(level) + " \"" +
                  repeated("&l" + std::to_string(level - 1) + ";", 10) + "\">\n";
    ZnFom bomb;
    EXPECT_EQ(readModel(modelNamedBy(laughs, "&l10;"), bomb, error), ZnFedReadFailed);
    EXPECT_TRUE(bomb.objectClasses().empty());
}
