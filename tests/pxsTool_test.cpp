// pxsTool_test.cpp -- the pxs command-line tool run as a process: exit
// status, argument kinds and their order, -e/-v/-d/-I, the interactive loop
// on piped input, and the shipped examples.

#include "pxs_test_files.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

using pxstest::TempDir;

namespace {

const std::string kTool = std::string(PXS_TOOLS_DIR) + "/pxs";
// tests/data may not exist, so the path is cut textually, not with "..".
const std::string kExamples =
    std::filesystem::path(PXS_TEST_DATA_DIR).parent_path().parent_path().string() + "/examples";

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the tool with `args` (shell words) and `input` on standard input.
class Tool : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(access(kTool.c_str(), X_OK), 0) << kTool << " is not built"; }

    Outcome run(const std::string& args, const std::string& input = "") {
        dir.write("stdin", input);
        std::string command =
            "cd '" + dir.path() + "' && '" + kTool + "' " + args + " <stdin >stdout 2>stderr";
        int raw = std::system(command.c_str());
        Outcome r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = slurp(dir.file("stdout"));
        r.err = slurp(dir.file("stderr"));
        return r;
    }

    TempDir dir;
};

TEST_F(Tool, ArgumentsRunInOrderInOneEnvironment) {
    dir.write("base.pxs", "(setq width 640) (setq height 480)");
    Outcome r =
        run("'(setq scale 2)' base.pxs width=800 '(setq area (* scale width height))' "
            "-e area -e '(list width height)'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "768000\n(800 480)\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(Tool, AnyFailedArgumentMakesTheStatusOne) {
    dir.write("good.pxs", "(setq a 1)");
    dir.write("bad.pxs", "(setq b 1) (car nil) (setq c 1)");
    EXPECT_EQ(run("good.pxs").status, 0);
    Outcome missing = run("good.pxs missing.pxs -e a");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "1\n") << "later arguments still run";
    EXPECT_NE(missing.err.find("Couldn't open missing.pxs"), std::string::npos);
    Outcome bad = run("bad.pxs -e b");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "1\n");
    EXPECT_NE(bad.err.find("car of non-cons"), std::string::npos);
    EXPECT_EQ(run("unknown=3").status, 1) << "set! of a variable that does not exist";
    EXPECT_EQ(run("-e '(car nil)'").status, 1);
    EXPECT_EQ(run("'(car nil)'").status, 1);
}

// -v sets the notify level scripts see (0 hides warnings, not the status),
// -d traces, and -I adds load paths in order.
TEST_F(Tool, OptionsSetLevelTracingAndLoadPaths) {
    Outcome quiet = run("-v 0 missing.pxs");
    EXPECT_EQ(quiet.status, 1);
    EXPECT_EQ(quiet.err, "");
    Outcome level = run("-v 3 -e ZnNotifyLevel");
    EXPECT_EQ(level.out.substr(level.out.size() - 2), "3\n");
    EXPECT_EQ(run("'(setq ZnNotifyLevel 0)' missing.pxs").err, "") << "a script may quieten it";
    Outcome debug = run("-d -v 2 -e '(+ 1 2)'");
    EXPECT_EQ(debug.status, 0);
    EXPECT_NE(debug.out.find("(plus 1 2) ==> 3\n"), std::string::npos) << debug.out;
    dir.write("lib/first/conf.pxs", "(setq from 'first)");
    dir.write("lib/second/conf.pxs", "(setq from 'second)");
    Outcome include = run("-I lib/none -I lib/second -I lib/first conf.pxs -e from");
    EXPECT_EQ(include.status, 0) << include.err;
    EXPECT_EQ(include.out, "second\n");
}

TEST_F(Tool, InteractiveLoopPrintsValuesAndSurvivesErrors) {
    Outcome r =
        run("", "(+ 1 2)\n(car nil)\n(define (sq x)\n  (* x x))\n(sq 12) )\n\"s\" (list 1 2.5)\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "3\nsq\n144\n\"s\"\n(1 2.500000)\n");
    EXPECT_EQ(r.err,
              "ZnException: PXS Error: car of non-cons\n"
              "ZnException: PXS Error: Unexpected \")\" at line 5\n");
}

TEST_F(Tool, InteractiveLoopAfterArgumentsSharesTheirEnvironmentAndEndsAtUnfinishedInput) {
    dir.write("defs.pxs", "(define (twice x) (* 2 x))");
    EXPECT_EQ(run("-i defs.pxs", "(twice 21)").out, "42\n");
    EXPECT_EQ(run("defs.pxs", "(twice 21)").out, "") << "no loop unless asked after arguments";
    Outcome r = run("", "(list 1\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "ZnException: PXS Error: Missing \")\"\n");
}

TEST_F(Tool, HelpExplainsTheArguments) {
    Outcome r = run("--help");
    EXPECT_EQ(r.status, 0);
    for (const char* word :
         {"name=value", "-e <EXPR>", "-I <DIR>", "-v <N>", "-d", "-i", "Exit status"})
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
}

TEST_F(Tool, ShippedExamplesRunCleanly) {
    Outcome federate = run("-I '" + kExamples + "/include' '" + kExamples +
                           "/federate.pxs' -e '(list tick-rate lookahead-ms)' -e federate-name");
    EXPECT_EQ(federate.status, 0) << federate.err;
    EXPECT_EQ(federate.out, "(50 20.000000)\n\"north-lab-radar\"\n");
    Outcome scenario = run("'(setq entity-count 12)' '" + kExamples +
                           "/scenario.pxs' -e '(length entities)' -e update-policy");
    EXPECT_EQ(scenario.status, 0) << scenario.err;
    EXPECT_EQ(scenario.out, "12\n\"periodic\"\n");
}

}  // namespace
