// settingsCommandLine_test.cpp -- application settings on the command line:
// values of every kind through argv arrays, and the reports that end the
// process (help, version, parse errors) run in a child process, with
// standard input closed, a pipe nobody writes to, and a terminal.

#include <pxs/pxs.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Scope = ZnBaseConfigVariable;

// argv for parseCommandLine, kept alive with its strings.
class Argv {
public:
    explicit Argv(std::vector<std::string> words) : words_(std::move(words)) {
        for (std::string& w : words_) pointers_.push_back(&w[0]);
        pointers_.push_back(nullptr);
    }
    int argc() const { return static_cast<int>(words_.size()); }
    char** argv() { return pointers_.data(); }

private:
    std::vector<std::string> words_;
    std::vector<char*> pointers_;
};

struct Demo {
    ZnApplicationSettings settings{"Demo App", "1.2.3", "settings"};
    ZnConfigVariable<double> rate{&settings,        "&rate", 2.5, "Update rate",
                                  Scope::AllScopes, false,   ""};
    ZnConfigVariable<bool> verbose{&settings,        "&verbose", false, "Talk more",
                                   Scope::AllScopes, false,      ""};
    ZnConfigVariable<int> fileOnly{&settings, "fileOnly", 1, "", Scope::ConfigFileScope, false, ""};
    ZnVariableGroup net{&settings, "net", "network", "Network"};
    ZnConfigVariable<ZnString> host{&net,  "host", "localhost", "Host name", Scope::AllScopes,
                                    false, ""};
    ZnConfigVariable<unsigned int> port{&net,  "&port", 4000u, "Port", Scope::CommandLineScope,
                                        false, ""};
    ZnConfigVariable<ZnVector64> origin{&net,  "origin", ZnVector64(), "", Scope::AllScopes,
                                        false, ""};
};

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

enum class Input { Closed, SilentPipe, Terminal };

struct ChildResult {
    bool exited = false;
    int status = -1;
    bool hung = false;
    std::string out;
    std::string err;
};

// Runs `body` in a child process whose standard input is `input` and whose
// output goes to files; `whileRunning` gets the terminal's master side (or
// -1) and the child's pid while the child runs. A child still running after
// ten seconds is killed and reported as hung. A body that returns instead of
// ending the process exits with 99.
ChildResult runChild(const std::function<void()>& body, Input input,
                     const std::function<void(int, pid_t)>& whileRunning = {}) {
    char dir[] = "/tmp/pxs-settings-cli-XXXXXX";
    EXPECT_TRUE(mkdtemp(dir));
    const std::string out = std::string(dir) + "/out", err = std::string(dir) + "/err";
    int pipeFds[2] = {-1, -1};
    int master = -1;
    std::string slave;
    if (input == Input::SilentPipe) {
        EXPECT_EQ(pipe(pipeFds), 0);
    }
    if (input == Input::Terminal) {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        EXPECT_GE(master, 0);
        EXPECT_EQ(grantpt(master), 0);
        EXPECT_EQ(unlockpt(master), 0);
        slave = ptsname(master);
    }
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(o, 1);
        dup2(e, 2);
        if (input == Input::Closed) close(0);
        if (input == Input::SilentPipe) dup2(pipeFds[0], 0);  // write end stays open, unused
        if (input == Input::Terminal) dup2(open(slave.c_str(), O_RDWR), 0);
        body();
        _exit(99);
    }
    ChildResult result;
    if (whileRunning) whileRunning(master, pid);
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            result.hung = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    result.exited = !result.hung && WIFEXITED(status);
    result.status = result.exited ? WEXITSTATUS(status) : -1;
    result.out = slurp(out);
    result.err = slurp(err);
    for (int fd : {pipeFds[0], pipeFds[1], master})
        if (fd >= 0) close(fd);
    std::remove(out.c_str());
    std::remove(err.c_str());
    rmdir(dir);
    return result;
}

// Parses `words` with fresh demo settings, in the child.
std::function<void()> parsing(std::vector<std::string> words, bool helpAndVersion, int level = 1) {
    return [words, helpAndVersion, level] {
        ZnNotifyLevel = level;
        Argv args(words);
        Demo demo;
        demo.settings.parseCommandLine(args.argc(), args.argv(), helpAndVersion);
    };
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(SettingsCommandLine, ValuesOfEveryKindReachTheirVariables) {
    Demo demo;
    Argv none({"demo"});
    demo.settings.parseCommandLine(none.argc(), none.argv(), false);
    EXPECT_EQ(demo.rate.value(), 2.5);
    EXPECT_FALSE(demo.rate.isSet());
    demo.settings.parseCommandLine(0, nullptr, true);  // no argv at all: an empty command line
    Argv args({"demo", "-r", "0.5", "--verbose", "--host", "two words", "-p", "81", "--origin",
               "1, 2, 3"});
    demo.settings.parseCommandLine(args.argc(), args.argv(), true);
    EXPECT_EQ(demo.rate.value(), 0.5);
    EXPECT_TRUE(demo.rate.isSet());
    EXPECT_TRUE(demo.verbose.value());
    EXPECT_EQ(demo.host.value(), "two words");
    EXPECT_EQ(demo.port.value(), 81u);
    EXPECT_EQ(demo.origin.value(), ZnVector64(1, 2, 3));
}

TEST(SettingsCommandLine, ChangeOnceFlagAndAddBaseVar) {
    ZnApplicationSettings settings("Demo App", "1.2.3", "top");
    EXPECT_EQ(settings.parent(), nullptr);
    EXPECT_FALSE(settings.changeOnce());
    settings.setChangeOnce(true);
    EXPECT_TRUE(settings.changeOnce());
    ZnConfigVariable<int> loose(nullptr, "loose", 1, "", Scope::AllScopes, false, "");
    settings.addBaseVar(&loose);
    Argv args({"demo", "--loose", "5"});
    settings.parseCommandLine(args.argc(), args.argv(), false);
    EXPECT_EQ(loose.value(), 5);
}

// The wait for a key ends at once when standard input is a pipe nobody
// writes to (a wait that never ended would be reported as hung).
TEST(SettingsCommandLineExit, HelpPrintsUsageOnInfoAndEndsWithZero) {
    // Level 0 would swallow ZnInfo: a report that ends the program is shown anyway.
    ChildResult r = runChild(parsing({"demo", "--help"}, true, 0), Input::SilentPipe);
    ASSERT_FALSE(r.hung);
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(contains(r.out, "\nUSAGE: \n\n   demo "));
    EXPECT_TRUE(contains(r.out, "\n\nWhere: \n\n"));
    EXPECT_TRUE(contains(r.out, "-r <double>,  --rate <double>"));
    EXPECT_TRUE(contains(r.out, "Update rate"));
    EXPECT_TRUE(contains(r.out, "--host <string>"));
    EXPECT_TRUE(contains(r.out, "-p <unsigned int>,  --port <unsigned int>"));
    EXPECT_TRUE(contains(r.out, "-v,  --verbose"));
    EXPECT_FALSE(contains(r.out, "fileOnly"));
    EXPECT_TRUE(contains(r.out, "Demo App"));
    EXPECT_TRUE(contains(r.out, "Press any key to continue\n"));
    EXPECT_EQ(r.err, "");
}

TEST(SettingsCommandLineExit, VersionPrintsTheVersionAndEndsWithZero) {
    ChildResult r = runChild(parsing({"demo", "--version"}, true), Input::Closed);
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "\ndemo  version: 1.2.3\n\nPress any key to continue\n");
}

TEST(SettingsCommandLineExit, ParseErrorGoesToWarnAndEndsWithOne) {
    ChildResult r = runChild(parsing({"demo", "--rate"}, true), Input::Closed);
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("PARSE ERROR: Argument: -r (--rate)\n             ", 0), 0u) << r.err;
    EXPECT_TRUE(contains(r.err, "\n\nBrief USAGE: \n   demo "));
    EXPECT_TRUE(contains(r.err, "\nFor complete USAGE and HELP type: \n   demo --help\n\n"));
    EXPECT_EQ(r.out, "Press any key to continue\n");
}

TEST(SettingsCommandLineExit, WithoutHelpAndVersionThereIsNoWaitAndFullUsage) {
    ChildResult r = runChild(parsing({"demo", "--nope"}, false), Input::Terminal);
    ASSERT_FALSE(r.hung) << "waited for a key without help-and-version handling";
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(contains(r.err, "PARSE ERROR: "));
    EXPECT_FALSE(contains(r.err, "Brief USAGE"));
    EXPECT_TRUE(contains(r.out, "USAGE: "));
    EXPECT_FALSE(contains(r.out, "Press any key"));
    // --help is an unknown argument then.
    ChildResult help = runChild(parsing({"demo", "--help"}, false), Input::Closed);
    EXPECT_EQ(help.status, 1);
}

TEST(SettingsCommandLineExit, ConflictingDeclarationsAreReportedAsParseErrors) {
    ChildResult r = runChild(
        [] {
            ZnApplicationSettings settings("Demo", "1", "settings");
            ZnConfigVariable<int> a(&settings, "&port", 1, "", Scope::AllScopes, false, "");
            ZnConfigVariable<int> b(&settings, "&port", 2, "", Scope::AllScopes, false, "");
            Argv args({"demo"});
            settings.parseCommandLine(args.argc(), args.argv(), true);
        },
        Input::Closed);
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(contains(r.err, "PARSE ERROR: "));
    EXPECT_TRUE(contains(r.err, "already exists"));
}

TEST(SettingsCommandLineExit, OnATerminalTheWaitLastsUntilAKey) {
    ChildResult r =
        runChild(parsing({"demo", "--version"}, true), Input::Terminal, [](int master, pid_t pid) {
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            int status = 0;
            EXPECT_EQ(waitpid(pid, &status, WNOHANG), 0) << "ended before a key was pressed";
            ASSERT_EQ(write(master, "x\n", 2), 2);
        });
    ASSERT_FALSE(r.hung);
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.status, 0);
}

}  // namespace
