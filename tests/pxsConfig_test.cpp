// pxsConfig_test.cpp -- the pxs-config tool as its users run it: the
// printed tree, XML conversion with a document type, and one-line errors
// with the right exit status.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

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
    while (std::size_t n = fread(chunk.data(), 1, chunk.size(), pipe)) result.output.append(chunk.data(), n);
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

TEST(PxsConfigTool, PrintsTheTree) {
    ToolRun r = run(kData + "/envValid.xml");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output,
              "  class config config Value= \n"
              "// comment Value=  the uplink \n"
              "     class link up Value= x\n"
              "        port Value= 5\n"
              "     class link link Value= \n"
              "        port Value= 6\n");
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

TEST(PxsConfigTool, ErrorsAreOneLineWithFileAndLine) {
    ToolRun invalid = run(kData + "/envInvalid.xml --validate");
    EXPECT_EQ(invalid.status, 1);
    EXPECT_EQ(invalid.output,
              "pxs-config: " + kData + "/envInvalid.xml:5: Element link does not carry attribute port\n");
    ToolRun missing = run("/nonexistent/x.xml");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.output, "pxs-config: /nonexistent/x.xml: cannot open\n");
    ToolRun unwritable = run(kData + "/envValid.xml --to /nonexistent/x.xml");
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.output,
              "pxs-config: /nonexistent/x.xml: cannot write (testXmlwriterDoc: Error at "
              "xmlSaveFormatFileEnc)\n");
    ToolRun unknown = run(kData + "/envValid.xml --to x.json");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.output,
              "pxs-config: x.json: unknown form (the name must end in .pxs or .xml)\n");
    EXPECT_EQ(run(kData + "/envValid.xml --dtd onlyname").status, 2);
    EXPECT_EQ(run("").status, 2);
}

}  // namespace
