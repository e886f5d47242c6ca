// pxs.cpp -- the PXS command-line tool: runs configuration scripts,
// expressions and name=value settings in one environment, prints values,
// and offers a read-eval-print loop. The exit status tells a calling script
// whether every argument ran cleanly.

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

#include <tclap/CmdLine.h>

#include <pxs/pxs.h>

namespace {

// TCLAP wraps the text itself; each "\n" starts a paragraph.
constexpr const char* kDescription =
    "Runs PXS, the configuration language of libpxs. "
    "Every ARG runs in one environment, in the order given: a file name loads that file (a "
    "relative name not found as given is looked up under each -I directory), a text starting "
    "with \"(\" is evaluated as PXS expressions, and name=value sets an existing variable (as "
    "set! does). Each -e EXPR then runs after the ARGs and its value is printed. With -i, or "
    "with no ARG and no -e, an interactive loop reads expressions from standard input and "
    "prints each value; errors are printed and the loop goes on until the end of input.\n"
    "Exit status: 1 when an ARG or -e expression failed (a script error, a file not found, an "
    "assignment to an unknown variable), 0 otherwise.\n"
    "Example: pxs -I conf settings.pxs depth=7 -e '(list depth width)'";

// Texts a load writes to ZnWarn when the argument it was given failed.
constexpr const char* kFailureMarks[] = {
    "Caught exception loading LISP",
    "Couldn't open ",
    "Couldn't find ",
    "can't set unbound variable",
};

// Sits in front of ZnWarn's own buffer (which applies the notification
// level) and keeps a copy of everything written, so the tool can tell from
// the loader's reports whether an argument failed.
class WarnWatch : public std::streambuf {
public:
    explicit WarnWatch(std::streambuf* target) : target_(target) {}
    void clear() { seen_.clear(); }
    std::streambuf* target() const { return target_; }
    bool sawFailure() const {
        for (const char* mark : kFailureMarks)
            if (seen_.find(mark) != std::string::npos) return true;
        return false;
    }

protected:
    int overflow(int ch) override {
        if (ch == traits_type::eof()) return traits_type::not_eof(ch);
        seen_ += static_cast<char>(ch);
        return target_->sputc(static_cast<char>(ch));
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        seen_.append(s, static_cast<size_t>(n));
        return target_->sputn(s, n);
    }
    int sync() override { return target_->pubsync(); }

private:
    std::streambuf* target_;
    std::string seen_;
};

struct Options {
    std::vector<std::string> dirs;
    std::vector<std::string> args;
    std::vector<std::string> exprs;
    bool levelGiven = false;
    int level = 1;
    bool debug = false;
    bool interactive = false;
};

Options parseCommandLine(int argc, char** argv) {
    TCLAP::CmdLine cmd(kDescription, ' ', "0.1.0");
    TCLAP::SwitchArg interactive("i", "interactive",
                                 "Read, evaluate and print expressions from standard input "
                                 "after running the ARGs",
                                 cmd, false);
    TCLAP::MultiArg<std::string> dirs("I", "include", "Add DIR to the load directories", false,
                                      "DIR", cmd);
    TCLAP::SwitchArg debug("d", "debug", "Trace evaluation (ZnLispDebugOn)", cmd, false);
    TCLAP::ValueArg<int> level("v", "verbose",
                               "Notification level ZnNotifyLevel: 0 quiet, 1 warnings, "
                               "2 information, 3 verbose, 4 debug",
                               false, 1, "N", cmd);
    TCLAP::MultiArg<std::string> exprs("e", "eval", "Evaluate EXPR and print its value", false,
                                       "EXPR", cmd);
    TCLAP::UnlabeledMultiArg<std::string> args(
        "ARG", "A file to load, an expression \"(...)\" or a setting name=value", false, "ARG",
        cmd);
    cmd.parse(argc, argv);
    Options options;
    options.dirs = dirs.getValue();
    options.args = args.getValue();
    options.exprs = exprs.getValue();
    options.levelGiven = level.isSet();
    options.level = level.getValue();
    options.debug = debug.getValue();
    options.interactive = interactive.getValue();
    return options;
}

void printValue(const ZnlObjPtr& value) {
    if (!value) return;
    value->ZncObjFprint(stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Runs one ARG; false when the load reported a failure.
bool runArgument(ZnPxsEnvironment& pxs, WarnWatch& watch, const std::string& arg) {
    watch.clear();
    pxs.loadLispFileOrExpr(arg.c_str(), 1);
    return !watch.sawFailure();
}

bool runExpression(ZnPxsEnvironment& pxs, WarnWatch& watch, const std::string& expr) {
    watch.clear();
    ZnlObjPtr value = pxs.loadLispExpr(expr.c_str(), 0);
    printValue(value);
    return !watch.sawFailure();
}

// One datum at a time from standard input, so an expression may span lines.
// Registered host variables (ZnNotifyLevel) are copied around every
// evaluation, as a load would.
void readEvalPrint(ZnPxsEnvironment& pxs, bool prompt) {
    ZnlFileInputStream in(stdin);
    ZnlObjPtr& frame = pxs.env();
    ZnlObjPtr eof = ZncIntern("eof", frame);
    for (;;) {
        if (prompt) {
            std::fputs("pxs> ", stdout);
            std::fflush(stdout);
        }
        try {
            ZnlObjPtr datum = ZncRead(&in, frame);
            if (datum == eof) break;
            ZncCToLisp(pxs.params);
            ZnlObjPtr value = ZncEval(datum, frame);
            ZncLispToC(pxs.params);
            printValue(value);
        } catch (const ZnException& e) {
            std::fflush(stdout);
            std::fprintf(stderr, "%s\n", e.initialException().message().c_str());
        }
    }
    if (prompt) std::fputc('\n', stdout);
}

}  // namespace

int main(int argc, char** argv) {
    Options options = parseCommandLine(argc, argv);
    if (options.levelGiven) ZnNotifyLevel = options.level;
    ZnLispDebugOn = options.debug;
    for (const std::string& dir : options.dirs) ZnlAddLoadPath(dir.c_str());

    WarnWatch watch(ZnWarn.rdbuf());
    ZnWarn.rdbuf(&watch);
    bool failed = false;
    {
        ZnPxsEnvironment pxs;
        for (const std::string& arg : options.args)
            if (!runArgument(pxs, watch, arg)) failed = true;
        for (const std::string& expr : options.exprs)
            if (!runExpression(pxs, watch, expr)) failed = true;
        if (options.interactive || (options.args.empty() && options.exprs.empty()))
            readEvalPrint(pxs, isatty(STDIN_FILENO) != 0);
    }
    ZnWarn.rdbuf(watch.target());
    return failed ? 1 : 0;
}
