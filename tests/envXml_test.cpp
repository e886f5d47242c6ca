// envXml_test.cpp -- the XML form of configuration trees: each mapping in
// both directions, DTD validation, error texts and origins, depth limits,
// and round trips through strings and files.

#include <pxs/pxs.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

#include "pxs_test_files.h"
#include "pxs_test_support.h"

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
    // A plain list without value has no element: its children stand in its
    // place. The root's value is its text, as an object's is.
    ZnEnvironment other;
    other.root()->setValue("root text");
    ZnEnvValueSP a = other.addObject("a", "b");
    a->setValue("v");
    other.addComment("note", a);
    ZnEnvValueSP list(new ZnEnvList(""));
    ZnEnvList::castToList(other.root())->append(list);
    other.addObject("inlist", "c", list);
    EXPECT_EQ(writeText(other), kDeclaration +
                                    "<root><b name=\"a\"><!--note-->v</b><c name=\"inlist\"/>"
                                    "root text</root>\n");
    ZnEnvironment back;
    ASSERT_TRUE(readText(back, writeText(other)));
    EXPECT_EQ(back.root()->value(), "root text");
}

// What the XML form cannot hold so that it reads back is not written at
// all: the write answers false, leaves the output as it was, and names
// each such node by its path on ZnWarn.
TEST(EnvXmlWrite, RefusesWhatDoesNotReadBack) {
    using Build = std::function<void(ZnEnvironment&)>;
    const struct {
        const char* what;
        Build build;
        const char* warning;
    } cases[] = {
        {"attribute after a child",
         [](ZnEnvironment& e) {
             ZnEnvValueSP o = e.addObject("o", "t");
             e.addObject("child", o);
             e.addAttribute("late", "2", o);
         },
         "root/o/late: is an attribute after child content, which XML cannot hold"},
        {"attribute after a comment",
         [](ZnEnvironment& e) {
             e.addComment("about");
             e.addAttribute("late", "2");
         },
         "root/late: is an attribute after child content, which XML cannot hold"},
        {"type not an XML name", [](ZnEnvironment& e) { e.addObject("x", "bad type"); },
         "root/x: has a type that is not an XML name"},
        {"its subtree goes with it",
         [](ZnEnvironment& e) { e.addObject("deep", e.addObject("x", "1x")); },
         "root/x: has a type that is not an XML name"},
        {"attribute name", [](ZnEnvironment& e) { e.addAttribute("bad name", "1"); },
         "root/bad name: has a name that is not an XML name"},
        {"attribute called name", [](ZnEnvironment& e) { e.addAttribute("name", "n"); },
         "root/name: is an attribute called \"name\", which would read back as a name"},
        {"repeated attribute",
         [](ZnEnvironment& e) {
             e.addAttribute("k", "1");
             e.addAttribute("k", "2");
         },
         "root/k: repeats an attribute of its element"},
        {"children of an attribute",
         [](ZnEnvironment& e) { e.addAttribute("unit", "ms", e.addAttribute("k", "1")); },
         "root/k: has children, which an XML attribute cannot hold"},
        {"value of blanks", [](ZnEnvironment& e) { e.addObject("o")->setValue(" \t\n"); },
         "root/o: has a value of blanks only, which does not read back from XML"},
        {"control character", [](ZnEnvironment& e) { e.addAttribute("k", "a\x01"); },
         "root/k: has a value that XML cannot hold"},
        {"invalid UTF-8", [](ZnEnvironment& e) { e.addObject("o")->setValue("\xff"); },
         "root/o: has a value that XML cannot hold"},
        {"empty comment", [](ZnEnvironment& e) { e.addComment(""); },
         "root/(a comment): is empty, which does not read back"},
        {"carriage return in a comment", [](ZnEnvironment& e) { e.addComment("a\r\nb"); },
         "root/(a comment): holds text that an XML comment cannot hold"},
        {"plain list value",
         [](ZnEnvironment& e) {
             ZnEnvList::castToList(e.root())->append(ZnEnvValueSP(new ZnEnvList("v")));
         },
         "root/(a plain list): has a value, which XML cannot hold"},
        {"root not named",
         [](ZnEnvironment& e) { e.setRoot(ZnEnvValueSP(new ZnEnvList("not named"))); },
         "the root: is not a named list or object"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ZnEnvironment env;
        c.build(env);
        env.addObject("kept");
        ZnEnvXMLWriter writer;
        ZnString out("before");
        const std::string file = dir.write("kept.xml", "<old/>");
        pxstest::WarnCapture warn;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(writer.writeString(env, out));
        EXPECT_FALSE(writer.writeFile(env, file));
        testing::internal::GetCapturedStderr();
        const std::string line = std::string("ZnEnvXMLWriter: cannot write ") + c.warning + "\n";
        EXPECT_EQ(warn.text(), line + line);
        EXPECT_EQ(out.string(), "before");
        std::ifstream in(file);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(text, "<old/>");
    }
}

// Write, then read back: the same tree, value for value, for text that
// needs escaping, blanks around words, line breaks, and attribute values of
// blanks only (an attribute keeps them; element text of blanks only would
// be lost, which the refusal test covers). Also through the indented file
// form that saved settings use.
TEST(EnvXmlWrite, AwkwardValuesReadBackUnchanged) {
    const char* values[] = {"say \"hi\" & <tag> 'x' ]]>", "  padded  ", "two\nlines\n",
                            "tab\tand\r\nCRLF", "$(HOME)/x", "caf\xc3\xa9", " ", "\t\n"};
    ZnEnvironment env;
    int i = 0;
    for (const char* value : values) env.addAttribute(("a" + std::to_string(i++)).c_str(), value);
    ZnEnvValueSP parent = env.root();
    i = 0;
    for (const char* value : values) {
        const std::string n = std::to_string(i++);
        ZnEnvValueSP object = env.addObject(("o" + n).c_str(), "item", parent);
        if (std::string(value).find_first_not_of(" \t\r\n") != std::string::npos)
            object->setValue(value);
        if (!std::strchr(value, '\r')) env.addComment(value, object);
        parent = object;
    }
    TempDir dir;
    const std::string file = dir.file("indented.xml");
    ZnEnvXMLWriter indented;
    indented.setIndentation("   ");
    ASSERT_TRUE(indented.writeFile(env, file));
    ZnEnvironment fromString;
    ASSERT_TRUE(readText(fromString, writeText(env)));
    bool ok = false;
    ZnEnvironment fromFile = ZnEnvXMLReader().readFile(file, ok);
    ASSERT_TRUE(ok);
    for (const ZnEnvironment* back : {&fromString, &fromFile}) {
        i = 0;
        for (const char* value : values) {
            const std::string n = std::to_string(i++);
            SCOPED_TRACE(n);
            ZnEnvValueSP attribute = back->getAttribute(("a" + n).c_str());
            ASSERT_TRUE(attribute);
            EXPECT_EQ(attribute->unmodifiedValue(), value);
            ZnEnvValueSP object = back->getObject(("o" + n).c_str(), "item");
            ASSERT_TRUE(object);
            EXPECT_EQ(object->unmodifiedValue(), env.getObject(("o" + n).c_str(), "item")->unmodifiedValue());
        }
    }
}

// Descriptions often hold "--": such a comment is written readable, with
// a blank after each offending "-", and named on ZnWarn; the write succeeds.
TEST(EnvXmlWrite, CommentsWithDashesAreWrittenReadableAndNamed) {
    ZnEnvironment env;
    env.addComment("a--b-");
    env.addComment("fine");
    pxstest::WarnCapture warn;
    EXPECT_EQ(writeText(env), kDeclaration + "<root><!--a- -b- --><!--fine--></root>\n");
    EXPECT_EQ(warn.text(), "ZnEnvXMLWriter: root/(a comment): written with a blank after each "
                           "\"-\" that XML does not allow there\n");
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
