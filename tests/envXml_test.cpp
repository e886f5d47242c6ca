// envXml_test.cpp -- the XML form of configuration trees: each mapping in
// both directions, DTD validation, error texts and origins, depth limits,
// and round trips through strings and files.

#include <pxs/pxs.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "pxs_test_files.h"

namespace {

using pxstest::TempDir;

const std::string kDataDir = PXS_TEST_DATA_DIR;
const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

bool readText(ZnEnvironment& env, const std::string& text, bool validate = false) {
    ZnEnvXMLReader reader(validate);
    return reader.readMemory(env, text.data(), static_cast<int>(text.size()));
}

std::string writeText(ZnEnvironment& env) {
    ZnEnvXMLWriter writer;
    ZnString out;
    EXPECT_TRUE(writer.writeString(env, out));
    return out.string();
}

std::string listing(const ZnEnvironment& env) {
    std::ostringstream out;
    out << env;
    return out.str();
}

// What `read` throws, with its dynamic type kept.
template <typename Read>
std::unique_ptr<ZnException> thrownBy(Read read) {
    try {
        read();
    } catch (const ZnException& e) {
        return std::unique_ptr<ZnException>(e.clone());
    }
    ADD_FAILURE() << "no exception";
    return std::unique_ptr<ZnException>(new ZnException(""));
}

TEST(EnvXmlRead, ElementsAttributesAndTextMapOntoTheTree) {
    ZnEnvironment env;
    ASSERT_TRUE(readText(env, "<config name=\"main\"><link port=\"5\">x</link></config>"));
    ZnEnvValueSP link = env.getObject("link", "link");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->parent(), env.root());
    EXPECT_EQ(ZnEnvObject::castToObject(link)->attribute("port")->parent(), link);
    EXPECT_EQ(listing(env),
              "  class config main Value= \n"
              "     class link link Value= x\n"
              "        port Value= 5\n");
    // A name attribute names the object, which is indexed under it, and is
    // not an attribute as well.
    ZnEnvironment named;
    ASSERT_TRUE(readText(named, "<r><b name=\"a\" k=\"v\"/><b/></r>"));
    ZnEnvValueSP a = named.getObject("a", "b");
    ASSERT_TRUE(a);
    EXPECT_EQ(ZnEnvObject::castToObject(named.root())->attribute("a"), a);
    EXPECT_EQ(listing(named),
              "  class r r Value= \n     class b a Value= \n        k Value= v\n"
              "     class b b Value= \n");
}

TEST(EnvXmlRead, EmptyElementsCloseAndTheLastTextWins) {
    ZnEnvironment env;
    ASSERT_TRUE(readText(env, "<r><a>first<b/><c/>last</a><d/><!----><!--kept--></r>"));
    ZnEnvValueSP a = env.getObject("a", "a");
    EXPECT_EQ(a->value(), "last");
    EXPECT_EQ(env.getObject("c", "c")->parent(), a);  // a sibling of b, not its child
    EXPECT_EQ(env.getObject("d", "d")->parent(), env.root());
    ZnEnvValueSP comment = ZnEnvList::castToList(env.root())->last();
    EXPECT_EQ(comment->value(), "kept");  // the empty comment was not added
    EXPECT_EQ(comment->format(), 0u);
}

// The document element renames the handle's root, which keeps what it
// held; nothing outside the document element reaches the tree.
TEST(EnvXmlRead, DocumentElementRenamesTheRootAndAddsToIt) {
    ZnEnvironment outer;
    ZnEnvValueSP holder = outer.addObject("holder", "h");
    ZnEnvValueSP inner = outer.addObject("inner", "i", holder);
    ZnEnvironment env(inner);
    ZnEnvValueSP old = env.addAttribute("old", "1");
    ASSERT_TRUE(readText(env, "<!--before--><doc new=\"2\"><x/></doc><!--after-->"));
    EXPECT_EQ(ZnEnvList::castToList(holder)->last(), inner);  // nothing escaped into the parent
    EXPECT_EQ(ZnEnvList::castToList(inner)->first(), old);
    EXPECT_EQ(listing(env),
              "  class doc doc Value= \n"
              "     old Value= 1\n"
              "     new Value= 2\n"
              "     class x x Value= \n");
}

TEST(EnvXmlRead, ReferencesAreKeptAsSetAndExpandedOnRead) {
    const char* home = std::getenv("HOME");
    ASSERT_NE(home, nullptr);
    ZnEnvironment env;
    env.addAttribute("dir", "$(HOME)/x");
    const std::string text = writeText(env);
    EXPECT_NE(text.find("dir=\"$(HOME)/x\""), std::string::npos);
    ZnEnvironment back;
    ASSERT_TRUE(readText(back, text));
    EXPECT_EQ(back.getAttribute("dir")->value(), std::string(home) + "/x");
    EXPECT_EQ(back.getAttribute("dir")->unmodifiedValue(), "$(HOME)/x");
}

TEST(EnvXmlWrite, DocumentFollowsTheTreeFormat) {
    ZnEnvironment env;
    ASSERT_TRUE(readText(env, "<config name=\"main\"><link port=\"5\">x</link></config>"));
    EXPECT_EQ(writeText(env), kDeclaration + "<main><link port=\"5\">x</link></main>\n");
    ZnEnvironment other;
    env.root()->setValue("root text is not written");
    ZnEnvValueSP a = other.addObject("a", "b");
    a->setValue("v");
    other.addComment("note", a);
    ZnEnvValueSP list(new ZnEnvList("lists have no element"));
    ZnEnvList::castToList(other.root())->append(list);
    other.addObject("inlist", "c", list);
    EXPECT_EQ(writeText(other),
              kDeclaration + "<root><b name=\"a\"><!--note-->v</b><c name=\"inlist\"/></root>\n");
    // Attributes that follow child content are dropped.
    ZnEnvironment late;
    ZnEnvValueSP object = late.addObject("o", "t");
    late.addAttribute("early", "1", object);
    late.addObject("child", "c", object);
    late.addAttribute("late", "2", object);
    EXPECT_EQ(writeText(late),
              kDeclaration + "<root><t name=\"o\" early=\"1\"><c name=\"child\"/></t></root>\n");
}

TEST(EnvXmlWrite, OutputStaysReadableForAwkwardNamesAndComments) {
    ZnEnvironment env;
    env.addComment("a--b-");
    env.addObject("x", "bad type");
    env.addAttribute("bad name", "1");
    env.addObject("kept");
    testing::internal::CaptureStderr();
    const std::string text = writeText(env);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "testXmlwriterDoc: Error at xmlTextWriterStartElement\n");
    EXPECT_EQ(text, kDeclaration + "<root><!--a- -b- --><kept/></root>\n");
    ZnEnvironment back;
    EXPECT_TRUE(readText(back, text));
    ZnEnvironment unnamed{ZnEnvValueSP(new ZnEnvList("not named"))};
    EXPECT_EQ(writeText(unnamed), kDeclaration + "\n");  // no document element
}

TEST(EnvXmlWrite, StringBufferIsReusedAndDocTypeWritten) {
    ZnEnvironment env("cfg");
    ZnEnvXMLWriter writer("cfg", "cfg.dtd");
    ZnString first, second;
    ASSERT_TRUE(writer.writeString(env, first));
    env.addObject("x");
    ASSERT_TRUE(writer.writeString(env, second));
    EXPECT_EQ(first.string(), kDeclaration + "<!DOCTYPE cfg SYSTEM \"cfg.dtd\"><cfg/>\n");
    EXPECT_EQ(second.string(), kDeclaration + "<!DOCTYPE cfg SYSTEM \"cfg.dtd\"><cfg><x/></cfg>\n");
}

TEST(EnvXmlFile, IndentedFileWithDocTypeReadsBackValid) {
    bool ok = false;
    ZnEnvironment env = ZnEnvXMLReader(true).readFile(kDataDir + "/envValid.xml", ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(listing(env),
              "  class config config Value= \n"
              "// comment Value=  the uplink \n"
              "     class link up Value= x\n"
              "        port Value= 5\n"
              "        proto Value= udp\n"  // the DTD's default, added by validation
              "     class link link Value= \n"
              "        port Value= 6\n"
              "        proto Value= udp\n");
    TempDir dir;
    std::ifstream dtd(kDataDir + "/envConfig.dtd");
    std::ofstream(dir.file("config.dtd")) << dtd.rdbuf();
    ZnEnvXMLWriter writer("config", "config.dtd");
    writer.setIndentation("   ");
    const std::string file = dir.file("out.xml");
    ASSERT_TRUE(writer.writeFile(env, file));
    std::ifstream in(file);
    std::stringstream written;
    written << in.rdbuf();
    EXPECT_EQ(written.str().substr(0, 38), "<?xml version=\"1.0\" encoding=\"utf-8\"?>");
    EXPECT_NE(written.str().find("\n   <link name=\"up\""), std::string::npos);
    ZnEnvironment back = ZnEnvXMLReader(true).readFile(file, ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(listing(back), listing(env));
}

TEST(EnvXmlErrors, UnopenedInputThrowsUnwritableFileAnswersFalse) {
    ZnEnvXMLReader reader;
    bool ok = true;
    std::unique_ptr<ZnException> e = thrownBy([&] { reader.readFile("/nonexistent/x.xml", ok); });
    EXPECT_STREQ(e->what(), "ZnInvalidInput: Unable to open:/nonexistent/x.xml");
    EXPECT_EQ(e->number(), ZnInvalidInputNumber);
    EXPECT_EQ(e->file(), "envXmlReader");
    EXPECT_EQ(e->function(), "ZnEnvironment ZnEnvXMLReader::readFile(const ZnString&, bool&)");
    EXPECT_FALSE(ok);
    ZnEnvironment env;
    e = thrownBy([&] { reader.readMemory(env, nullptr, 0); });
    EXPECT_STREQ(e->what(), "ZnCorruptedState: Unable to read memory.");
    EXPECT_EQ(e->number(), ZnCorruptedStateNumber);
    // A file that cannot be written is reported and answered false.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(ZnEnvXMLWriter().writeFile(env, "/nonexistent-dir/x.xml"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "testXmlwriterDoc: Error at xmlSaveFormatFileEnc\n"),
              std::string::npos);
}

// An error half-way leaves what was read before it in the tree; the reader
// handle is freed on the way out (the sanitizer build checks for leaks).
TEST(EnvXmlErrors, MalformedDocumentThrowsLibxmlTextAndKeepsEarlierContent) {
    // Long enough that the streaming reader delivers the start before it
    // parses the faulty end.
    std::string text = "<a>";
    for (int i = 0; i < 5000; ++i) text += "<b k=\"1\"/>\n";
    text += "<c></a>";
    ZnEnvironment env;
    std::unique_ptr<ZnException> e = thrownBy([&] { readText(env, text); });
    EXPECT_STREQ(
        e->what(),
        "ZnCorruptedState: Error reading: Opening and ending tag mismatch: c line 5001 and a\n");
    EXPECT_EQ(e->number(), ZnCorruptedStateNumber);
    EXPECT_EQ(e->function(), "bool ZnEnvXMLReader::readDoc(xmlTextReaderPtr)");
    ZnEnvObject* first = ZnEnvObject::castToObject(env.getObject("b", "b"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->attributeValue("k"), "1");
    // The reader object is reusable afterwards.
    ZnEnvXMLReader reader;
    ZnEnvironment again;
    EXPECT_THROW(reader.readMemory(again, "<a>", 3), ZnCorruptedState);
    EXPECT_TRUE(reader.readMemory(again, "<z/>", 4));
    EXPECT_EQ(ZnEnvObject::castToObject(again.root())->name(), "z");
}

TEST(EnvXmlErrors, ValidationNeedsADtdAndNamesTheLine) {
    ZnEnvironment env;
    std::unique_ptr<ZnException> e = thrownBy([&] { readText(env, "<a>\n<b/></a>", true); });
    EXPECT_STREQ(e->what(),
                 "ZnCorruptedState: Error reading: Line 1:Validation failed: no DTD found !");
    EXPECT_TRUE(env.getObject("b", "b"));  // the whole document became nodes first
    EXPECT_TRUE(readText(env, "<a>\n<b/></a>", false));
    bool ok = true;
    ZnEnvXMLReader reader;
    reader.useDtdValidation(true);
    e = thrownBy([&] { reader.readFile(kDataDir + "/envInvalid.xml", ok); });
    EXPECT_STREQ(
        e->what(),
        "ZnCorruptedState: Error reading: Line 5:Element link does not carry attribute port\n");
}

// libxml2 refuses nesting past 256 levels (XML_PARSE_HUGE is never
// passed); just below the limit the whole depth is built.
TEST(EnvXmlDepth, NestingIsBoundedByTheParser) {
    auto nested = [](int depth) {
        std::string text;
        for (int i = 0; i < depth; ++i) text += "<n>";
        for (int i = 0; i < depth; ++i) text += "</n>";
        return text;
    };
    ZnEnvironment env;
    ASSERT_TRUE(readText(env, nested(250)));
    ZnEnvironment::ValueList all;
    env.getObjectsByType("n", all);
    EXPECT_EQ(all.size(), 250u);  // the root, renamed, and 249 below it
    ZnEnvironment deep;
    std::unique_ptr<ZnException> e = thrownBy([&] { readText(deep, nested(100000)); });
    EXPECT_STREQ(e->what(),
                 "ZnCorruptedState: Error reading: Excessive depth in document: 256 use "
                 "XML_PARSE_HUGE option\n");
    // Trees built in code have no such limit; writing one must not recurse.
    ZnEnvironment built;
    ZnEnvValueSP parent = built.root();
    for (int i = 0; i < 100000; ++i) parent = built.addObject("n", parent);
    const std::string text = writeText(built);
    EXPECT_EQ(text.size(), kDeclaration.size() + std::string("<root></root>\n").size() +
                               100000 * std::string("<n></n>").size() - 3);
}

}  // namespace
