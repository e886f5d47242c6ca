// pxsConfig_test.cpp -- the pxs-config tool as its users run it: the
// printed tree, conversion between the XML and PXS forms (with a document
// type for XML), and one-line errors with the right exit status.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "pxs_test_files.h"

namespace {

using pxstest::TempDir;

const std::string kTool = std::string(PXS_TOOLS_DIR) + "/pxs-config";
const std::string kData = PXS_TEST_DATA_DIR;

struct ToolRun {
    int status;
    std::string output;  // standard output and standard error together
};

ToolRun run(const std::string& arguments) {
    const std::string command = kTool + " " + arguments + " 2>&1";
    ToolRun result{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    std::array<char, 4096> chunk;
    while (std::size_t n = fread(chunk.data(), 1, chunk.size(), pipe))
        result.output.append(chunk.data(), n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string readAll(const std::string& file) {
    std::ifstream in(file);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

TEST(PxsConfigTool, ConvertsWithADocumentTypeThatValidatesOnRead) {
    const std::string out = "/tmp/pxsConfigTest-" + std::to_string(getpid()) + ".xml";
    const std::string dtd = kData + "/envConfig.dtd";
    ToolRun r = run(kData + "/envValid.xml --to " + out + " --dtd config " + dtd);
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "");
    EXPECT_NE(readAll(out).find("<!DOCTYPE config SYSTEM \"" + dtd + "\">"), std::string::npos);
    ToolRun back = run(out + " --validate");
    std::remove(out.c_str());
    EXPECT_EQ(back.status, 0) << back.output;
    EXPECT_EQ(back.output, run(kData + "/envValid.xml --validate").output);
}

// Errors are one line naming the file (and the line, when there is one);
// 1 for a file that fails, 2 for a command line that does.
TEST(PxsConfigTool, ErrorsAreOneLineWithFileAndLine) {
    const std::string valid = kData + "/envValid.xml";
    const struct {
        std::string arguments;
        int status;
        std::string output;
    } cases[] = {
        {kData + "/envInvalid.xml --validate", 1,
         "pxs-config: " + kData +
             "/envInvalid.xml:5: Element link does not carry attribute port\n"},
        {"/nonexistent/x.xml", 1, "pxs-config: /nonexistent/x.xml: no such file\n"},
        {valid + " --to /nonexistent/x.xml", 1,
         "pxs-config: /nonexistent/x.xml: cannot write (testXmlwriterDoc: Error at "
         "xmlSaveFormatFileEnc)\n"},
        {valid + " --to /nonexistent/x.pxs", 1,
         "pxs-config: /nonexistent/x.pxs: the file cannot be created or written\n"},
        {valid + " --to x.json", 1,
         "pxs-config: x.json: unknown form (the name must end in .pxs or .xml)\n"},
        {valid + " --to x.pxs --dtd config x.dtd", 2,
         "pxs-config: --dtd applies to XML output only\n"},
    };
    for (const auto& c : cases) {
        ToolRun r = run(c.arguments);
        EXPECT_EQ(r.status, c.status) << c.arguments;
        EXPECT_EQ(r.output, c.output) << c.arguments;
    }
    EXPECT_EQ(run(valid + " --dtd onlyname").status, 2);
    EXPECT_EQ(run("").status, 2);
}

// XML to PXS and back: the PXS text is the writer's, comments are dropped,
// and attributes that follow objects in hand-written PXS still reach the XML.
TEST(PxsConfigTool, ConvertsBetweenXmlAndPxs) {
    TempDir dir;
    const std::string pxs = dir.file("a.pxs");
    ToolRun r = run(kData + "/envValid.xml --to " + pxs);
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(readAll(pxs),
              "\n(config \n; the uplink \n   (up link( \"x\" )\n      (port \"5\")\n   )"
              "\n   (link \n      (port \"6\")\n   )\n)");
    ToolRun printed = run(pxs);
    EXPECT_EQ(printed.status, 0);
    EXPECT_EQ(printed.output,
              "  class config config Value= \n"
              "     class link up Value= x\n"
              "        port Value= 5\n"
              "     class link link Value= \n"
              "        port Value= 6\n");
    // The XML prints the same, less its comment.
    EXPECT_EQ(run(kData + "/envValid.xml").output,
              "  class config config Value= \n// comment Value=  the uplink \n" +
                  printed.output.substr(printed.output.find('\n') + 1));
    const std::string xml = dir.file("b.xml");
    ASSERT_EQ(run(pxs + " --to " + xml).status, 0);
    EXPECT_EQ(run(xml).output, printed.output);
    const std::string again = dir.file("c.pxs");
    ASSERT_EQ(run(xml + " --to " + again).status, 0);
    EXPECT_EQ(readAll(again),
              "\n(config \n   (up link( \"x\" )\n      (port \"5\")\n   )"
              "\n   (link \n      (port \"6\")\n   )\n)");

    const std::string late = dir.write("late.pxs", "(r (o (k \"1\")) (a \"2\"))");
    const std::string lateXml = dir.file("late.xml");
    ASSERT_EQ(run(late + " --to " + lateXml).status, 0);
    EXPECT_NE(readAll(lateXml).find("<r a=\"2\">"), std::string::npos) << readAll(lateXml);
}

TEST(PxsConfigTool, PxsErrorsAreOneLine) {
    TempDir dir;
    const std::string open = dir.write("open.pxs", "(r (a \"1\")");
    ToolRun r = run(open);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "pxs-config: " + open + ": PXS Error: Missing \")\"\n");
    const std::string stray = dir.write("stray.pxs", "\n\n)");
    EXPECT_EQ(run(stray).output,
              "pxs-config: " + stray + ": PXS Error: Unexpected \")\" at line 3\n");
    // Forms the reader skips lose content: the read counts as failed.
    const std::string skipped = dir.write("skipped.pxs", "(r (port 5) () (a \"1\"))");
    r = run(skipped + " --to " + dir.file("never.xml"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "pxs-config: " + skipped +
                            ": skipped 5 (not an object, attribute or value) and 1 more\n");
    EXPECT_FALSE(std::ifstream(dir.file("never.xml")).good());
    const std::string empty = dir.write("empty.pxs", "; nothing\n");
    EXPECT_EQ(run(empty).output, "pxs-config: " + empty + ": holds no tree\n");
    EXPECT_EQ(run(dir.file("absent.pxs")).output,
              "pxs-config: " + dir.file("absent.pxs") + ": no such file\n");
    const std::string folder = dir.path() + "/folder.pxs";
    mkdir(folder.c_str(), 0700);
    EXPECT_EQ(run(folder).output, "pxs-config: " + folder + ": is a directory\n");
    r = run(open + " --validate");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.output, "pxs-config: --validate applies to XML input only\n");
}

// What a form would not read back the same is refused before writing.
TEST(PxsConfigTool, TreesAFormCannotHoldAreNotWritten) {
    TempDir dir;
    const std::string quoted = dir.write("q.xml", "<r><a v=\"say &quot;hi&quot;\"/></r>");
    ToolRun r = run(quoted + " --to " + dir.file("q.pxs"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "pxs-config: " + dir.file("q.pxs") +
                            ": cannot write r/a/v: has a value that a PXS string cannot hold "
                            "(a double quote)\n");
    EXPECT_FALSE(std::ifstream(dir.file("q.pxs")).good());
    const std::string plain = dir.write("s.xml", "<r><a v=\"1\" n=\"2\"/><b><c/></b></r>");
    EXPECT_EQ(run(plain + " --to " + dir.file("s.pxs")).status, 0);
    const std::string named = dir.write("n.pxs", "(r (o (name \"n\")))");
    r = run(named + " --to " + dir.file("n.xml"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "pxs-config: " + dir.file("n.xml") +
                            ": cannot write r/o/name: is an attribute called \"name\", which "
                            "would read back as a name\n");
    const std::string numeric = dir.write("d.pxs", "(r (o \"1\") (p ( \"x\" )))");
    EXPECT_EQ(run(numeric + " --to " + dir.file("d.xml")).status, 0);
}

// Text after the first form of a PXS file is read by nobody: the line it
// starts on is named, the tree of the first form still printed or converted.
// Comments and blanks after the form are not text.
TEST(PxsConfigTool, TextAfterTheFirstFormIsNamedWithItsLine) {
    TempDir dir;
    const std::string two = dir.write("two.pxs", "(r (a \"1\")\n (s \"multi\nline\"))\n\n  (b)\n");
    ToolRun r = run(two);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "pxs-config: " + two + ":5: text after the first form is ignored\n"
                        "  class r r Value= \n     a Value= 1\n     s Value= multi\nline\n");
    const std::string quiet = dir.write("quiet.pxs", "(r)\n; a trailing comment\n   \n");
    EXPECT_EQ(run(quiet).output, "  class r r Value= \n");
    r = run(two + " --to " + dir.file("two.xml"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "pxs-config: " + two + ":5: text after the first form is ignored\n");
}

// The command line: the version line, an unknown option named in one line
// with status 2, and --form only with a form name and an output.
TEST(PxsConfigTool, CommandLineVersionAndUnknownOptions) {
    const std::string valid = kData + "/envValid.xml";
    const struct {
        std::string arguments;
        int status;
        std::string output;
    } cases[] = {
        {"--version", 0, "pxs-config (libpxs) 0.1.0\n"},
        {valid + " --version", 0, "pxs-config (libpxs) 0.1.0\n"},
        {valid + " --bogus", 2, "pxs-config: unknown option --bogus (see --help)\n"},
        {"-x " + valid, 2, "pxs-config: unknown option -x (see --help)\n"},
        {valid + " --to - --form json", 2, "pxs-config: --form takes pxs or xml, not json\n"},
        {valid + " --form pxs", 2, "pxs-config: --form applies with --to only\n"},
    };
    for (const auto& c : cases) {
        ToolRun r = run(c.arguments);
        EXPECT_EQ(r.status, c.status) << c.arguments;
        EXPECT_EQ(r.output, c.output) << c.arguments;
    }
}

// A FIFO would block the read forever and a directory reads as nothing:
// both are refused with what they are, as input and as output.
TEST(PxsConfigTool, FilesThatAreNotRegularAreRefusedWithTheReason) {
    TempDir dir;
    const std::string fifo = dir.file("pipe.pxs");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ToolRun r = run(fifo);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "pxs-config: " + fifo + ": not a regular file\n");
    const std::string folder = dir.file("out.xml");
    mkdir(folder.c_str(), 0700);
    r = run(kData + "/envValid.xml --to " + folder);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "pxs-config: " + folder + ": is a directory\n");
    r = run(kData + "/envValid.xml --to " + fifo);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "pxs-config: " + fifo + ": not a regular file\n");
}

// "-" is standard input (its form told by its first character) and standard
// output (in --form, or the input's form): piping gives what the files give.
TEST(PxsConfigTool, DashIsStandardInputAndOutput) {
    TempDir dir;
    const std::string xml = kData + "/envValid.xml";
    const std::string pxs = dir.file("a.pxs");
    ASSERT_EQ(run(xml + " --to " + pxs).status, 0);
    ToolRun printed = run("- < " + xml);
    EXPECT_EQ(printed.status, 0);
    EXPECT_EQ(printed.output, run(xml).output);
    ToolRun piped = run("- --to - --form pxs < " + xml);
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(piped.output, readAll(pxs));
    const std::string again = dir.file("again.pxs");
    ASSERT_EQ(run(pxs + " --to " + again).status, 0);
    ToolRun same = run(pxs + " --to -");
    EXPECT_EQ(same.output, readAll(again));
    ToolRun fromPxs = run("- < " + pxs);
    EXPECT_EQ(fromPxs.output, run(pxs).output);
    const std::string two = dir.write("two.pxs", "(r)\n(s)");
    EXPECT_EQ(run("- < " + two).output,
              "pxs-config: -:2: text after the first form is ignored\n  class r r Value= \n");
}

}  // namespace
