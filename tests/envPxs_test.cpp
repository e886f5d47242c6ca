// envPxs_test.cpp -- the PXS form of configuration trees: the written text
// byte for byte, each form the reader knows and its error path, reader
// failures, depth, and round trips PXS -> tree -> PXS and XML <-> PXS.

#include <pxs/pxs.h>

#include <gtest/gtest.h>

#include <pthread.h>
#include <sys/stat.h>

#include <cstdlib>
#include <functional>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

#include "pxs_test_files.h"
#include "pxs_test_support.h"

namespace {

using pxstest::StderrCapture;
using pxstest::TempDir;

std::string contents(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

// The tree as the PXS writer writes it.
std::string pxsText(ZnEnvironment& env) {
    TempDir dir;
    const std::string file = dir.file("out.pxs");
    EXPECT_TRUE(ZnEnvPXSWriter().writeFile(env, file));
    return contents(file);
}

// The tree read from `text`; `ok` and what went to standard error, when wanted.
// `skippedOut` gets the reader's count of skipped forms; without it none
// may be skipped. A read that got this far succeeds whatever was skipped.
ZnEnvironment readPxs(const std::string& text, std::string* err = nullptr,
                      int* skippedOut = nullptr) {
    TempDir dir;
    const std::string file = dir.write("in.pxs", text);
    StderrCapture capture;
    bool ok = false;
    ZnEnvPXSReader reader;
    ZnEnvironment env = reader.readFile(file, ok);
    EXPECT_TRUE(ok);
    const std::string written = capture.text();
    if (err)
        *err = written;
    else
        EXPECT_EQ(written, "");
    if (skippedOut)
        *skippedOut = reader.skippedForms();
    else
        EXPECT_EQ(reader.skippedForms(), 0);
    return env;
}

std::string listing(const ZnEnvironment& env, bool withComments = true) {
    std::ostringstream out;
    env.print(out, "  ", withComments);
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

TEST(EnvPxsWrite, ObjectsValuesAndIndentation) {
    ZnEnvironment env;
    env.addAttribute("port", "5");
    env.addObject("link", "udp");
    EXPECT_EQ(pxsText(env), "\n(root \n   (port \"5\")\n   (link udp\n   )\n)");
    ZnEnvValueSP a = env.addObject("a", "b");
    a->setValue("v");
    ZnEnvValueSP same = env.addObject("same", a);
    same->setValue("w");
    env.addAttribute("k", "1", same);
    EXPECT_EQ(pxsText(env),
              "\n(root \n   (port \"5\")\n   (link udp\n   )"
              "\n   (a b( \"v\" )"
              "\n      (same ( \"w\" )"
              "\n         (k \"1\")"
              "\n      )"
              "\n   )"
              "\n)");
}

// Comments and native values are line comments of their expanded value,
// which a read skips by design; they never stop a write.
TEST(EnvPxsWrite, CommentsAndNativeValuesAreLineComments) {
    ZnEnvironment env;
    ZnEnvValueSP object = env.addObject("o");
    int host = 0;
    env.addNativeValue(boost::shared_ptr<ZnNativeValue>(new ZnNativeValue("native", &host)),
                       object);
    env.addComment("top");
    EXPECT_EQ(pxsText(env), "\n(root \n   (o \n;native\n   )\n;top\n)");
}

// What the PXS form cannot give back is refused: nothing is written (an
// existing file keeps its text), the write answers false, and each node
// that does not fit is named by its path on ZnWarn.
TEST(EnvPxsWrite, RefusesWhatDoesNotReadBack) {
    using Build = std::function<void(ZnEnvironment&)>;
    const struct {
        const char* what;
        Build build;
        const char* warning;
    } cases[] = {
        {"attribute child",
         [](ZnEnvironment& e) { e.addAttribute("unit", "ms", e.addAttribute("k", "1")); },
         "root/k/unit: is a child of an attribute, which the PXS form drops"},
        {"plain list",
         [](ZnEnvironment& e) {
             ZnEnvList::castToList(e.addObject("o"))->append(ZnEnvValueSP(new ZnEnvList("v")));
         },
         "root/o/(a plain list): does not read back from the PXS form"},
        {"blank in a name", [](ZnEnvironment& e) { e.addAttribute("a b", "1"); },
         "root/a b: has a name that does not read back as a PXS symbol"},
        {"number as a type", [](ZnEnvironment& e) { e.addObject("o", "5"); },
         "root/o: has a type that does not read back as a PXS symbol"},
        {"empty type", [](ZnEnvironment& e) { e.addObject("o", ""); },
         "root/o: has a type that does not read back as a PXS symbol"},
        {"parenthesis in a name", [](ZnEnvironment& e) { e.addAttribute("f(x)", "1"); },
         "root/f(x): has a name that does not read back as a PXS symbol"},
        {"comment start", [](ZnEnvironment& e) { e.addAttribute(";k", "1"); },
         "root/;k: has a name that does not read back as a PXS symbol"},
        {"nil as a name", [](ZnEnvironment& e) { e.addAttribute("nil", "1"); },
         "root/nil: has a name that does not read back as a PXS symbol"},
        {"quote in a value", [](ZnEnvironment& e) { e.addObject("o")->setValue("say \"hi\""); },
         "root/o: has a value that a PXS string cannot hold (a double quote)"},
        {"root not an object",
         [](ZnEnvironment& e) { e.setRoot(ZnEnvValueSP(new ZnEnvNamedList("r", "1"))); },
         "the root: is not an object, so the first form would not rename it"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ZnEnvironment env;
        c.build(env);
        const std::string file = dir.write("kept.pxs", "(old)");
        pxstest::WarnCapture warn;
        EXPECT_FALSE(ZnEnvPXSWriter().writeFile(env, file));
        EXPECT_EQ(warn.text(), std::string("ZnEnvPXSWriter: cannot write ") + c.warning + "\n");
        EXPECT_EQ(contents(file), "(old)");
    }
}

// Values are written expanded. With the reader's escape character set, a
// double quote is written escaped and reads back; an escape character
// before a quote, or at the end, cannot be written so that it reads back.
TEST(EnvPxsWrite, ValuesAreExpandedAndQuotesEscapedWhenTheReaderCan) {
    const char* home = std::getenv("HOME");
    ASSERT_NE(home, nullptr);
    ZnEnvironment env;
    env.addAttribute("dir", "$(HOME)/x");
    EXPECT_EQ(pxsText(env), "\n(root \n   (dir \"" + std::string(home) + "/x\")\n)");

    struct EscapeChar {
        explicit EscapeChar(const char* c) : saved(ZnPxsReadEscapeChar) { ZnPxsReadEscapeChar = c; }
        ~EscapeChar() { ZnPxsReadEscapeChar = saved; }
        const char* saved;
    } escape("\\");
    const char* fits[] = {"say \"hi\"", "\"", "C:\\dir\\x", "a\\\\\"b", "line\none \t tab"};
    for (const char* value : fits) {
        SCOPED_TRACE(value);
        ZnEnvironment tree;
        tree.addObject("o")->setValue(value);
        tree.addAttribute("a", value);
        ZnEnvironment back = readPxs(pxsText(tree));
        EXPECT_EQ(back.getObject("o", "o")->value(), value);
        EXPECT_EQ(back.getAttribute("a")->value(), value);
    }
    for (const char* value : {"ends in \\", "a\\\"b"}) {
        SCOPED_TRACE(value);
        ZnEnvironment tree;
        tree.addAttribute("a", value);
        pxstest::WarnCapture warn;
        TempDir dir;
        EXPECT_FALSE(ZnEnvPXSWriter().writeFile(tree, dir.file("x.pxs")));
        EXPECT_EQ(warn.text(),
                  "ZnEnvPXSWriter: cannot write root/a: has a value that a PXS "
                  "string cannot hold (a double quote)\n");
    }
}

// Names and values that look awkward but fit the PXS form read back as
// written: symbols with quotes, semicolons or non-ASCII bytes inside,
// reader constants other than nil, values with line breaks and blanks only.
TEST(EnvPxsWrite, AwkwardTreesThatFitReadBackTheSame) {
    ZnEnvironment env;
    ZnEnvValueSP parent = env.root();
    const char* names[] = {"t", "eof", "a\"b", "x;y", "caf\xc3\xa9", "-", "-x", "quote"};
    const char* values[] = {"",   " ",   "\n\t", "two\nlines", "(not a form)", "; no comment",
                            "\\", "a\\b"};
    for (std::size_t i = 0; i < sizeof names / sizeof *names; ++i) {
        env.addAttribute(names[i], values[i], parent);
        parent = env.addObject(names[i], "t", parent);
        parent->setValue(values[i]);
    }
    ZnEnvironment back = readPxs(pxsText(env));
    EXPECT_EQ(listing(back), listing(env));
    EXPECT_EQ(pxsText(back), pxsText(env));
}

// A comment runs to the end of its line: what would follow it on that line
// moves to the next one, and each line of a multi-line comment stays a
// comment, so the text still reads back as the same tree.
TEST(EnvPxsWrite, CommentsNeverSwallowOrInjectSyntax) {
    ZnEnvironment env;
    ZnEnvValueSP attribute = env.addAttribute("k", "1");
    env.addComment("about k", attribute);
    ZnEnvValueSP object = env.addObject("o");
    env.addComment("two\n(lines \"x\")", object);
    env.addAttribute("after", "2", object);
    EXPECT_EQ(pxsText(env),
              "\n(root "
              "\n   (k \"1\"\n;about k\n)"
              "\n   (o \n;two\n;(lines \"x\")"
              "\n      (after \"2\")"
              "\n   )"
              "\n)");
    EXPECT_EQ(listing(readPxs(pxsText(env))),
              "  class root root Value= \n     k Value= 1\n     class o o Value= \n"
              "        after Value= 2\n");
}

TEST(EnvPxsWrite, RootlessEnvironmentAndUnwritableFile) {
    TempDir dir;
    ZnEnvironment rootless{ZnEnvValueSP()};
    ZnEnvPXSWriter writer;
    EXPECT_FALSE(writer.writeFile(rootless, dir.file("none.pxs")));
    EXPECT_FALSE(std::ifstream(dir.file("none.pxs")).good());
    ZnEnvironment env;
    {
        pxstest::WarnCapture warn;
        // The answer stays true for a file that cannot be created; only the
        // warning tells.
        EXPECT_TRUE(writer.writeFile(env, dir.file("missing/dir.pxs")));
        EXPECT_EQ(warn.text(), "ZnEnvPXSWriter: cannot write " + dir.file("missing/dir.pxs") +
                                   ": the file cannot be created or written\n");
    }
    // An existing file is truncated, not appended to.
    const std::string file = dir.write("old.pxs", "a much longer text than the tree's");
    EXPECT_TRUE(writer.writeFile(env, file));
    EXPECT_EQ(contents(file), "\n(root \n)");
}

// The outermost form renames and retypes the root; only the first form is read.
TEST(EnvPxsRead, FirstFormIsTheRoot) {
    ZnEnvironment env =
        readPxs("; leading comment\n(settings app (a \"1\"))\n(second (b \"2\")) )))");
    ZnEnvObject* root = ZnEnvObject::castToObject(env.root());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(listing(env), "  class app settings Value= \n     a Value= 1\n");
    EXPECT_FALSE(env.getAttribute("b"));
    EXPECT_FALSE(root->parent());
}

// Each shape of form: value (acting on the current node), attribute, object
// with type, object without type (no second element, or a list second). Symbols that the fresh
// interpreter binds (car, t, quote) are only names here: nothing is evaluated.
TEST(EnvPxsRead, EachFormShapeBuildsItsNode) {
    ZnEnvironment env = readPxs(
        "(cfg (\"root text\")"
        " (car \"1\" ignored (x \"2\"))"
        " (link udp (\"v\") (port \"5\") (inner))"
        " (plain (t \"3\") (quote x))"
        " (bare))");
    // The listing shows the children; the parent links are checked apart.
    ZnEnvValueSP link = env.getObject("link", "udp");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->parent(), env.root());
    EXPECT_EQ(env.getObject("inner", "inner")->parent(), link);
    EXPECT_EQ(env.getObject("quote", "x")->parent(), env.getObject("plain", "plain"));
    EXPECT_EQ(listing(env),
              "  class cfg cfg Value= root text\n"
              "     car Value= 1\n"
              "     class udp link Value= v\n"
              "        port Value= 5\n"
              "        class inner inner Value= \n"
              "     class plain plain Value= \n"
              "        t Value= 3\n"
              "        class x quote Value= \n"
              "     class bare bare Value= \n");
    // The last value form wins; as the outermost form, a value or attribute
    // form has no node to act on.
    EXPECT_EQ(readPxs("(r (o (\"x\")) (\"y\") (\"z\"))").root()->value(), "z");
    EXPECT_EQ(listing(readPxs("(\"x\")")), "  class root root Value= \n");
    EXPECT_EQ(listing(readPxs("(a \"1\")")), "  class root root Value= \n");
}

// A form whose head is neither string nor symbol is reported and skipped;
// reading goes on with the next element and still succeeds. The empty list
// is nil, which the printing step reports too; bare atoms have no head at
// all, the end-of-file symbol of an empty file included. A skipped form
// makes the read incomplete: `ok` stays true, as readFile's callers expect,
// and the reader counts what it skipped.
TEST(EnvPxsRead, BadFormsAreReportedAndSkipped) {
    const std::string kBad = "ZnReaderWriter: error in data stream\n";
    const struct {
        const char* text;
        std::string err, tree;
        int skipped;
    } cases[] = {
        {"(r (port 5) ((a \"1\") x) (b \"2\"))", kBad + "5" + kBad + "((a \"1\") x)",
         "  class r r Value= \n     class port port Value= \n     b Value= 2\n", 2},
        {"(r ())", kBad + "nilZnReaderWriter: error ZncErrPrint\n", "  class r r Value= \n", 1},
        {"(r (x) sym \"str\" 2.5)", kBad + "sym" + kBad + "\"str\"" + kBad + "2.500000",
         "  class r r Value= \n     class x x Value= \n", 3},
        {"  ; nothing but a comment\n", kBad + "eof", "  class root root Value= \n", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::string err;
        int skipped = -1;
        ZnEnvironment env = readPxs(c.text, &err, &skipped);
        EXPECT_EQ(skipped, c.skipped);
        EXPECT_EQ(err, c.err);
        EXPECT_EQ(listing(env), c.tree);
    }
}

// Opted in, an unquoted number is a value with its text as written, nested
// or not; the reader's own number handling (32-bit wrap, rounding) never
// touches it, and the default reader beside it still skips such forms.
TEST(EnvPxsRead, NumbersAsTextKeepEveryDigit) {
    TempDir dir;
    const std::string file =
        dir.write("in.pxs", "(r (port 5) (big 2147483648) (x (value 1e400)) (neg -0.50) (s \"q\"))");
    const std::string quoted = listing(readPxs(
        "(r (port \"5\") (big \"2147483648\") (x (value \"1e400\")) (neg \"-0.50\") (s \"q\"))"));
    StderrCapture capture;
    bool ok = false;
    ZnEnvPXSReader reader;
    reader.readNumbersAsText(true);
    ZnEnvironment env = reader.readFile(file, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(reader.skippedForms(), 0);
    EXPECT_EQ(listing(env), quoted);
    ZnEnvPXSReader plain;
    plain.readFile(file, ok);
    EXPECT_EQ(plain.skippedForms(), 4);
    EXPECT_NE(capture.text().find("error in data stream"), std::string::npos);
}

// Found by fuzzing: a token starting with a NUL byte reads as a symbol with
// an empty name. Taken as an object or attribute name, or as a type, it was
// written as nothing, and the text read back as a different tree.
TEST(EnvPxsRead, EmptyNamesFromNulBytesAreBadForms) {
    using namespace std::string_literals;
    std::string err;
    int skipped = 0;
    ZnEnvironment env =
        readPxs("(r (\0x c\"b\") (\0y \"1\") (k \0z (m)) (\"v\" \0w) (a \"2\"))"s, &err, &skipped);
    EXPECT_EQ(skipped, 3);
    EXPECT_EQ(err,
              "ZnReaderWriter: error in data stream\n( c\"b\")"
              "ZnReaderWriter: error in data stream\n( \"1\")"
              "ZnReaderWriter: error in data stream\n(k  (m))");
    EXPECT_EQ(listing(env), listing(readPxs("(r (\"v\") (a \"2\"))")));
    ZnEnvironment back = readPxs(pxsText(env));
    EXPECT_EQ(pxsText(back), pxsText(env));
    // A NUL later in a token only shortens the name, which stays usable.
    env = readPxs("(r (ab\0cd \"1\"))"s);
    EXPECT_EQ(ZnEnvObject::castToObject(env.root())->attributeValue("ab"), "1");
}

// A file that cannot be read leaves ok false and the default tree.
TEST(EnvPxsReadErrors, UnreadableFileLeavesOkFalse) {
    TempDir dir;
    ZnEnvPXSReader reader;
    // A FIFO nobody writes to would block for ever, /dev/zero never ends:
    // neither is read.
    const std::string fifo = dir.file("pipe.pxs");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& file :
         {dir.file("absent.pxs"), dir.path(), fifo, std::string("/dev/zero")}) {
        bool ok = true;
        EXPECT_EQ(listing(reader.readFile(file, ok)), "  class root root Value= \n") << file;
        EXPECT_FALSE(ok) << file;
    }
}

// Text that is not PXS throws, naming the file and the reader's own message,
// with the reader's chain kept as the cause. The reader stays usable.
TEST(EnvPxsReadErrors, MalformedTextThrowsCorruptedState) {
    TempDir dir;
    ZnEnvPXSReader reader;
    const std::string open = dir.write("open.pxs", "(r\n (a \"1\")\n (b");
    bool ok = true;
    std::unique_ptr<ZnException> e = thrownBy([&] { reader.readFile(open, ok); });
    EXPECT_FALSE(ok);
    EXPECT_EQ(e->message(),
              "ZnCorruptedState: Error reading: " + open + ": PXS Error: Missing \")\"");
    EXPECT_EQ(e->number(), ZnCorruptedStateNumber);
    EXPECT_EQ(e->function(), "ZnEnvironment ZnEnvPXSReader::readFile(const ZnString&, bool&)");
    EXPECT_EQ(e->file(), "envPxsReader");
    EXPECT_EQ(e->line(), 143);
    ASSERT_NE(e->lastException(), nullptr);
    EXPECT_EQ(e->lastException()->message(), "Propagating ZnException.");
    EXPECT_EQ(e->initialException().message(), "ZnException: PXS Error: Missing \")\"");
    const std::pair<const char*, const char*> others[] = {
        {"\n\n) (r)", "Unexpected \")\" at line 3"}, {"(r (a \"1", "EOF while reading string"}};
    for (const auto& other : others) {
        const std::string file = dir.write("other.pxs", other.first);
        e = thrownBy([&] { reader.readFile(file, ok); });
        EXPECT_EQ(e->message(),
                  "ZnCorruptedState: Error reading: " + file + ": PXS Error: " + other.second);
    }
    ZnEnvironment env = reader.readFile(dir.write("good.pxs", "(fine)"), ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(ZnEnvNamedList::castToNamedList(env.root())->name(), "fine");
}

std::string nestedObjects(int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += "(n ";
    text += "(leaf \"1\")";
    text.append(depth, ')');
    return text;
}

// Runs `work` on a thread with a stack of only `bytes`: a walk that
// recursed once per level of a deep tree would overflow it.
void onSmallStack(std::size_t bytes, const std::function<void()>& work) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, bytes);
    pthread_t thread;
    auto run = [](void* arg) -> void* {
        (*static_cast<const std::function<void()>*>(arg))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attr, run, const_cast<std::function<void()>*>(&work)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

// The PXS reader refuses nesting past 10000 levels; below that the tree is
// built. Trees built in code have no limit, and the writer walks them in
// constant stack. (The written text grows with the square of the depth,
// three blanks a level on every line, so that test stays shallower.)
TEST(EnvPxsDepth, DeepNestingReadsOrFailsClearly) {
    ZnEnvironment env = readPxs(nestedObjects(9990));
    ZnEnvironment::ValueList all;
    env.getObjectsByType("n", all);
    EXPECT_EQ(all.size(), 9990u);  // the root, renamed, and 9989 below it
    ZnEnvValueSP leaf = env.getAttribute("leaf");
    ASSERT_TRUE(leaf);
    EXPECT_EQ(leaf->value(), "1");

    TempDir dir;
    const std::string file = dir.write("deep.pxs", nestedObjects(20000));
    bool ok = true;
    std::unique_ptr<ZnException> e = thrownBy([&] { ZnEnvPXSReader().readFile(file, ok); });
    EXPECT_EQ(e->message(), "ZnCorruptedState: Error reading: " + file +
                                ": PXS Error: Datum nested deeper than 10000 levels at line 1");
    EXPECT_FALSE(ok);

    ZnEnvironment built;
    ZnEnvValueSP parent = built.root();
    for (int i = 0; i < 2000; ++i) parent = built.addObject("n", parent);
    built.addAttribute("leaf", "1", parent);
    std::string text;
    onSmallStack(128 * 1024, [&] { text = pxsText(built); });
    EXPECT_EQ(text.substr(0, 14), "\n(root \n   (n ");
    EXPECT_EQ(text.substr(text.size() - 7), "\n   )\n)");
    EXPECT_EQ(listing(readPxs(text)), listing(built));
}

// XML -> tree -> PXS -> tree: the text reads back as the same tree less
// comments, writes again to the same bytes less the
// comment, and its XML is the original's less the comment.
TEST(EnvPxsRoundTrip, XmlToPxsAndBack) {
    const std::string xml =
        "<app name=\"settings\" version=\"2\"><section name=\"net\"><!--the uplink-->"
        "<link name=\"up\" port=\"5\" host=\"a b.example\">primary</link><link name=\"down\"/>"
        "</section><log/></app>";
    ZnEnvironment fromXml;
    ASSERT_TRUE(ZnEnvXMLReader().readMemory(fromXml, xml.data(), static_cast<int>(xml.size())));
    const std::string pxs = pxsText(fromXml);
    // Type equal to name: written without type, read back with type = name.
    EXPECT_EQ(pxs,
              "\n(settings app"
              "\n   (version \"2\")"
              "\n   (net section"
              "\n;the uplink"
              "\n      (up link( \"primary\" )"
              "\n         (port \"5\")"
              "\n         (host \"a b.example\")"
              "\n      )"
              "\n      (down link"
              "\n      )"
              "\n   )"
              "\n   (log \n   )"
              "\n)");
    ZnEnvironment fromPxs = readPxs(pxs);
    EXPECT_EQ(listing(fromPxs), listing(fromXml, false));
    std::string withoutComment = pxs;
    withoutComment.erase(withoutComment.find("\n;the uplink"), std::string("\n;the uplink").size());
    EXPECT_EQ(pxsText(fromPxs), withoutComment);
    ZnEnvXMLWriter writer;
    ZnString fromXmlText, fromPxsText;
    ASSERT_TRUE(writer.writeString(fromXml, fromXmlText));
    ASSERT_TRUE(writer.writeString(fromPxs, fromPxsText));
    std::string expected = fromXmlText.string();
    expected.erase(expected.find("<!--the uplink-->"), std::string("<!--the uplink-->").size());
    EXPECT_EQ(fromPxsText.string(), expected);
    // An attribute's child would be dropped: the tree is not written.
    fromXml.addAttribute("unit", "ms", fromXml.getAttribute("port"));
    pxstest::WarnCapture warn;
    TempDir dir;
    EXPECT_FALSE(ZnEnvPXSWriter().writeFile(fromXml, dir.file("x.pxs")));
    EXPECT_NE(warn.text().find("settings/net/up/port/unit"), std::string::npos);
}

}  // namespace
