// pxsTool_test.cpp -- the pxs command-line tool run as a process: exit
// status, argument kinds and their order, -e/-v/-d/-I/-q/-D, usage errors,
// standard input as a script, "pxs: FILE:LINE: message" reports, the
// interactive loop on piped input, and the shipped examples.

#include "pxs_test_files.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <pxs/version.h>

#include <algorithm>
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
    EXPECT_EQ(missing.err, "pxs: missing.pxs: no such file\n");
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

// Piped input never sees a prompt: standard output holds the values only.
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
    for (const char* word : {"name=value", "-e <EXPR>", "-I <DIR>", "-v <N>", "-D <NAME=VALUE>",
                             "-q", "-d", "-i", "Exit status", "2 for a usage error"})
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
}

// Nothing runs after a usage error: its status is 2, whatever comes with
// it, and the message is one line naming the problem (and the help hint).
TEST_F(Tool, UsageErrorsExitTwoWithOneLine) {
    const struct {
        const char* args;
        const char* first;
    } cases[] = {
        {"--bogus -e '(+ 1 2)'", "pxs: unknown option '--bogus'"},
        {"-e 1 -x", "pxs: unknown option '-x'"},
        {"-iz", "pxs: unknown option '-iz'"},
        {"--eval=1 --bogus=2", "pxs: unknown option '--bogus=2'"},
        {"-q -v 2 -e 1", "pxs: -q and -v cannot be used together"},
        {"-D novalue -e 1", "pxs: -D needs NAME=VALUE, not 'novalue'"},
        {"-D =3 -e 1", "pxs: -D needs NAME=VALUE, not '=3'"},
    };
    for (const auto& c : cases) {
        Outcome r = run(c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
        EXPECT_EQ(r.err, std::string(c.first) + "\nTry 'pxs --help' for more information.\n")
            << c.args;
    }
    for (const char* args : {"-v", "-v many -e 1", "-e"}) {
        Outcome r = run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.err.compare(0, 5, "pxs: "), 0) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
    }
    // Words after a valued option, or after --, are not options.
    Outcome taken = run("-e '(quote -x)' -- -y=1");
    EXPECT_EQ(taken.out, "-x\n");
    EXPECT_EQ(taken.err, "pxs: -y=1: can't set unbound variable -y\n");
}

TEST_F(Tool, VersionNamesTheLibraryVersion) {
    for (const char* args : {"--version", "-e 1 --version"}) {
        Outcome r = run(args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, "pxs (libpxs) " PXS_VERSION_STRING "\n");
    }
}

// "-" is a script on standard input, in its place among the ARGs, and its
// errors carry its own line numbers.
TEST_F(Tool, DashReadsTheScriptFromStandardInput) {
    dir.write("after.pxs", "(setq y (* x 2))");
    Outcome r = run("'(setq x 1)' - after.pxs -e '(list x y)'", "(setq x\n  (+ x 4))\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "(5 10)\n");
    Outcome bad = run("- -e 7", "(setq z 1)\n\n; then\n(car z)\n");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "7\n");
    EXPECT_EQ(bad.err, "pxs: <stdin>:4: car of non-cons\n");
}

// A name that is not a regular file is refused with the reason, not read
// (a FIFO would block, a directory reads as nothing).
TEST_F(Tool, NonRegularFilesAreRefused) {
    dir.write("sub/x.pxs", "1");
    ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0600), 0);
    Outcome directory = run("sub -e 1");
    EXPECT_EQ(directory.status, 1);
    EXPECT_EQ(directory.out, "1\n");
    EXPECT_EQ(directory.err, "pxs: sub: is a directory\n");
    Outcome fifo = run("fifo");
    EXPECT_EQ(fifo.status, 1);
    EXPECT_EQ(fifo.err, "pxs: fifo: not a regular file\n");
}

// The line is where the failing form starts; a failure in a nested load
// is reported once, at the nested file's line, and the outer file goes on.
TEST_F(Tool, ScriptErrorsNameFileAndLine) {
    dir.write("bad.pxs", "(setq a 1)\n\n(setq b\n  (car nil))\n");
    Outcome bad = run("bad.pxs -e a");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "1\n");
    EXPECT_EQ(bad.err, "pxs: bad.pxs:3: car of non-cons\n");

    dir.write("inner.pxs", "(setq i 1)\n(cdr 'i)\n");
    dir.write("outer.pxs",
              "; loads inner\n(load \"inner.pxs\")\n(setq o 2)\n(load \"none.pxs\")\n");
    Outcome nested = run("outer.pxs -e o");
    EXPECT_EQ(nested.status, 1);
    EXPECT_EQ(nested.out, "2\n");
    EXPECT_EQ(nested.err,
              "pxs: inner.pxs:2: cdr of non-cons\n"
              "pxs: outer.pxs:4: cannot open none.pxs: no such file\n");

    Outcome expr = run("'(car nil)' -e '(cdr 1)'");
    EXPECT_EQ(expr.err, "pxs: (car nil): car of non-cons\npxs: -e (cdr 1): cdr of non-cons\n");
    Outcome unknown = run("unknown=3");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err, "pxs: unknown=3: can't set unbound variable unknown\n");

    // -v 2 keeps the interpreter's chain after the one-line report.
    Outcome chain = run("-v 2 bad.pxs");
    EXPECT_NE(chain.err.find("pxs: bad.pxs:3: car of non-cons\n"), std::string::npos);
    EXPECT_NE(chain.err.find("Propagating ZnException."), std::string::npos) << chain.err;
}

// -D values: whole decimal numbers become numbers, everything else stays
// the text typed; they are bound before the first ARG runs.
TEST_F(Tool, DefineBindsBeforeTheArguments) {
    dir.write("use.pxs", "(setq twice (* 2 n))");
    Outcome r =
        run("-D site=north -D n=21 -D f=2.5 -D neg=-4 -D hex=0x10 -D words='a b' "
            "-D empty= use.pxs -e '(list site twice f neg hex words empty)'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "(\"north\" 42 2.500000 -4 \"0x10\" \"a b\" \"\")\n");
    EXPECT_EQ(run("-D n=1 n=5 -e n").out, "5\n") << "a defined name is a variable to set";
}

// -q hides warnings and error messages, not the status.
TEST_F(Tool, QuietSilencesWarnings) {
    dir.write("warns.pxs", "(set! nowhere 1)");
    Outcome loud = run("warns.pxs");
    EXPECT_EQ(loud.status, 0);
    EXPECT_NE(loud.err.find("can't set unbound variable: nowhere"), std::string::npos);
    Outcome quiet = run("-q warns.pxs -e ZnNotifyLevel");
    EXPECT_EQ(quiet.err, "");
    EXPECT_EQ(quiet.out, "0\n");
    Outcome failing = run("-q missing.pxs");
    EXPECT_EQ(failing.status, 1);
    EXPECT_EQ(failing.err, "");
}

// The tool on a terminal (standard input and error) with standard output
// on a pipe, as a user at a shell who redirects the values.
class TerminalSession {
public:
    explicit TerminalSession(const std::string& home) {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        int out[2];
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0 || pipe(out) != 0)
            return;
        std::string slave = ptsname(master_);
        child_ = fork();
        if (child_ == 0) {
            close(master_);
            setsid();  // the terminal becomes the controlling one, so Ctrl-C signals
            int tty = open(slave.c_str(), O_RDWR);
            dup2(tty, STDIN_FILENO);
            dup2(tty, STDERR_FILENO);
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            setenv("HOME", home.c_str(), 1);
            execl(kTool.c_str(), "pxs", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        out_ = out[0];
    }
    ~TerminalSession() {
        if (child_ > 0 && !reaped_) {
            kill(child_, SIGKILL);
            waitpid(child_, nullptr, 0);
        }
        if (master_ >= 0) close(master_);
        if (out_ >= 0) close(out_);
    }
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    bool started() const { return child_ > 0; }
    void type(const std::string& text) {
        ssize_t written = write(master_, text.data(), text.size());
        EXPECT_EQ(written, static_cast<ssize_t>(text.size()));
    }
    // Read until the terminal (or standard output) has shown `text` since
    // the last wait; false when the tool stopped or stalled without it. The
    // limit only keeps a broken tool from hanging the suite.
    bool terminalShows(const std::string& text) { return waitFor(master_, screen_, text); }
    bool outputShows(const std::string& text) { return waitFor(out_, output_, text); }
    // The line editor draws its prompt before it takes the terminal over
    // (canonical mode off); what is typed in between meets the terminal's
    // own line discipline. So a prompt counts once the mode has changed too.
    // Without line editing the terminal stays as it is.
    bool readyAt(const std::string& prompt) {
        if (!terminalShows(prompt)) return false;
        if (!PXS_TOOL_LINE_EDITING) return true;
        for (int rounds = 0; rounds < 2000; ++rounds) {
            termios mode{};
            if (tcgetattr(master_, &mode) != 0) return false;
            if (!(mode.c_lflag & ICANON)) return true;
            poll(nullptr, 0, 10);
        }
        return false;
    }
    // Ends the input with Ctrl-D and returns the exit status, -1 when the
    // tool has not ended within the suite's patience. The line editor
    // draws its prompt before it takes the terminal over, and a Ctrl-D
    // that comes in between reaches it as a NUL in the line; so the line
    // is cleared (Ctrl-U) and Ctrl-D typed again until the tool ends.
    int endInput() {
        int raw = 0;
        for (int rounds = 0; rounds < 200 && !reaped_; ++rounds) {
            if (rounds % 5 == 0) type(rounds == 0 ? "\x04" : "\x15\x04");
            poll(nullptr, 0, 100);
            reaped_ = waitpid(child_, &raw, WNOHANG) == child_;
        }
        return reaped_ && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    // All standard output, read to its end: call once the tool has ended.
    std::string wholeOutput() {
        if (!reaped_) return everything_;  // a live writer would never send the end
        char buffer[512];
        for (ssize_t n; (n = read(out_, buffer, sizeof buffer)) > 0;)
            everything_.append(buffer, static_cast<std::size_t>(n));
        return everything_;
    }

private:
    bool waitFor(int fd, std::string& seen, const std::string& text) {
        for (int rounds = 0; rounds < 200; ++rounds) {
            std::string::size_type at = seen.find(text);
            if (at != std::string::npos) {
                seen.erase(0, at + text.size());
                return true;
            }
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            char buffer[512];
            ssize_t n = read(fd, buffer, sizeof buffer);
            if (n <= 0) return false;
            seen.append(buffer, static_cast<std::size_t>(n));
            if (fd == out_) everything_.append(buffer, static_cast<std::size_t>(n));
        }
        return false;
    }

    int master_ = -1;
    int out_ = -1;
    pid_t child_ = -1;
    bool reaped_ = false;
    std::string screen_;
    std::string output_;
    std::string everything_;
};

// Prompts go to the terminal, never to standard output; an unfinished form
// asks for more; Ctrl-C stops an endless evaluation or drops the line being
// typed, and every definition made before stays.
TEST_F(Tool, TerminalLoopPromptsContinuesAndSurvivesCtrlC) {
    TerminalSession pxs(dir.path());
    ASSERT_TRUE(pxs.started());
    // Each input waits for its prompt, as a user would.
    ASSERT_TRUE(pxs.readyAt("pxs> "));
    pxs.type("(define x 5)\n");
    ASSERT_TRUE(pxs.outputShows("x\n"));
    ASSERT_TRUE(pxs.readyAt("pxs> "));
    pxs.type("(list 1\n");
    ASSERT_TRUE(pxs.readyAt("...> "));
    pxs.type("2)\n");
    ASSERT_TRUE(pxs.outputShows("(1 2)\n"));
    ASSERT_TRUE(pxs.readyAt("pxs> "));
    pxs.type("(define (spin) (spin))\n");
    ASSERT_TRUE(pxs.outputShows("spin\n"));
    ASSERT_TRUE(pxs.readyAt("pxs> "));
    // Without line editing nothing shows when the tool has taken the line,
    // and a Ctrl-C before that only drops it, as the terminal does.
    if (PXS_TOOL_LINE_EDITING) {
        pxs.type("(spin)\n");
        ASSERT_TRUE(pxs.terminalShows("(spin)\r\n"));
        pxs.type("\x03");
        ASSERT_TRUE(pxs.terminalShows("ZnException: PXS Error: Interrupted"));
        ASSERT_TRUE(pxs.readyAt("pxs> "));
    }
    pxs.type("(list 9");
    ASSERT_TRUE(pxs.terminalShows("(list 9"));
    pxs.type("\x03");
    ASSERT_TRUE(pxs.readyAt("pxs> "));
    pxs.type("(+ x 1)\n");
    ASSERT_TRUE(pxs.outputShows("6\n")) << "the dropped line did not join the next one";
    ASSERT_TRUE(pxs.readyAt("pxs> "));
    EXPECT_EQ(pxs.endInput(), 0);
    EXPECT_EQ(pxs.wholeOutput(), "x\n(1 2)\nspin\n6\n") << "values only, no prompt";
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

// --safe runs the same scripts without the primitives that reach outside.
TEST_F(Tool, SafeModeRefusesCommandsAndKeepsComputing) {
    dir.write("s.pxs", "(setq n (* 6 7))\n(system \"touch ran\")\n");
    Outcome r = run("--safe s.pxs -e n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "42\n");
    EXPECT_NE(r.err.find("s.pxs:2: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("system is not available to an untrusted script"), std::string::npos)
        << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("ran")));
    EXPECT_EQ(run("s.pxs -e n").status, 0);
    EXPECT_TRUE(std::filesystem::exists(dir.file("ran")));
}
