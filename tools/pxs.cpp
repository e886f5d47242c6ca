// pxs.cpp -- the PXS command-line tool: runs configuration scripts,
// expressions and name=value settings in one environment, prints values,
// and hands over to the read-eval-print loop (pxsRepl.cpp). Every message
// is "pxs: WHERE: reason" on standard error, and the exit status tells a
// calling script whether every argument ran cleanly (0), one failed (1) or
// the command line was wrong (2).

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include <tclap/CmdLine.h>

#include <pxs/pxs.h>

#include "pxsRepl.h"

namespace {

// TCLAP wraps the text itself; each "\n" starts a paragraph.
constexpr const char* kDescription =
    "Runs PXS, the configuration language of libpxs. "
    "Every ARG runs in one environment, in the order given: a file name loads that file (a "
    "relative name not found as given is looked up under each -I directory), - reads a script "
    "from standard input, a text starting with \"(\" is evaluated as PXS expressions, and "
    "name=value sets an existing variable (as set! does). Each -e EXPR then runs after the "
    "ARGs and its value is printed. With -i, or with no ARG and no -e, an interactive loop "
    "reads expressions from standard input and prints each value; errors are printed and the "
    "loop goes on until the end of input (on a terminal with line editing, Ctrl-C abandons the "
    "line or the evaluation in progress).\n"
    "-D NAME=VALUE binds NAME before any ARG runs: to the number VALUE when VALUE is a whole "
    "decimal integer (such as 42 or -7) or a decimal number (such as 2.5 or 1e3), else to the "
    "string VALUE.\n"
    "Errors are reported as \"pxs: FILE:LINE: message\", LINE being where the failing form "
    "starts; -v 2 or more adds the interpreter's whole error chain.\n"
    "Exit status: 0 when everything ran cleanly, 1 when an ARG or -e expression failed (a "
    "script error, a file that cannot be opened, an assignment to an unknown variable), 2 for "
    "a usage error.\n"
    "Example: pxs -I conf -D site=north settings.pxs depth=7 -e '(list depth width)'";

struct Options {
    std::vector<std::string> dirs;
    std::vector<std::string> args;
    std::vector<std::string> exprs;
    std::vector<std::string> defines;
    bool levelGiven = false;
    int level = 1;
    bool quiet = false;
    bool debug = false;
    bool safe = false;
    bool interactive = false;
};

[[noreturn]] void usageError(const std::string& reason) {
    std::cerr << "pxs: " << reason << "\nTry 'pxs --help' for more information.\n";
    std::exit(2);
}

// TCLAP's report of an unknown option does not name it, so options are
// checked against the known ones first. Short switches may be grouped
// ("-id"); a valued option takes the next word whatever it looks like.
void refuseUnknownOptions(const std::vector<std::string>& args) {
    static const std::string kValuedShort = "IveD";
    static const std::string kSwitchShort = "idqh";
    static const char* const kValuedLong[] = {"--include", "--verbose", "--eval", "--define"};
    static const char* const kSwitchLong[] = {"--interactive", "--debug", "--quiet", "--safe",
                                              "--help", "--version"};
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") return;
        if (arg.size() < 2 || arg[0] != '-') continue;
        if (arg[1] == '-') {
            std::string name = arg.substr(0, arg.find('='));
            bool valued = std::find(std::begin(kValuedLong), std::end(kValuedLong), name) !=
                          std::end(kValuedLong);
            if (valued && name.size() == arg.size()) ++i;
            if (valued || std::find(std::begin(kSwitchLong), std::end(kSwitchLong), name) !=
                              std::end(kSwitchLong))
                continue;
            usageError("unknown option '" + arg + "'");
        }
        if (arg.size() == 2 && kValuedShort.find(arg[1]) != std::string::npos) {
            ++i;
            continue;
        }
        for (std::size_t k = 1; k < arg.size(); ++k)
            if (kSwitchShort.find(arg[k]) == std::string::npos)
                usageError("unknown option '" + arg + "'");
    }
}

Options parseCommandLine(int argc, char** argv) {
    std::vector<std::string> words(argv, argv + argc);
    if (std::find(words.begin() + 1, words.end(), "--version") != words.end()) {
        std::cout << "pxs (libpxs) " PXS_VERSION_STRING "\n";
        std::exit(0);
    }
    refuseUnknownOptions(words);
    // TCLAP takes a lone "-" for a malformed option, so standard input
    // travels under a name no option can have.
    const std::string kStdinWord = std::string(1, '\x01') + "stdin";
    for (std::size_t i = 1; i < words.size(); ++i)
        if (words[i] == "-") words[i] = kStdinWord;

    TCLAP::CmdLine cmd(kDescription, ' ', PXS_VERSION_STRING);
    cmd.setExceptionHandling(false);
    TCLAP::SwitchArg interactive("i", "interactive",
                                 "Read, evaluate and print expressions from standard input "
                                 "after running the ARGs",
                                 cmd, false);
    TCLAP::MultiArg<std::string> dirs("I", "include", "Add DIR to the load directories", false,
                                      "DIR", cmd);
    TCLAP::MultiArg<std::string> defines(
        "D", "define", "Bind NAME to VALUE (a number or a string) before the ARGs run", false,
        "NAME=VALUE", cmd);
    TCLAP::SwitchArg debug("d", "debug", "Trace evaluation (ZnLispDebugOn)", cmd, false);
    TCLAP::SwitchArg safe("", "safe",
                          "Run untrusted scripts: system, popen, putenv, exit and abort refuse "
                          "with an error",
                          cmd, false);
    TCLAP::SwitchArg quiet("q", "quiet", "Print no warnings or errors (ZnNotifyLevel 0)", cmd,
                           false);
    TCLAP::ValueArg<int> level("v", "verbose",
                               "Notification level ZnNotifyLevel: 0 quiet, 1 warnings, "
                               "2 information and whole error chains, 3 verbose, 4 debug",
                               false, 1, "N", cmd);
    TCLAP::MultiArg<std::string> exprs("e", "eval", "Evaluate EXPR and print its value", false,
                                       "EXPR", cmd);
    TCLAP::UnlabeledMultiArg<std::string> args(
        "ARG",
        "A file to load, - for standard input, an expression \"(...)\" or a setting "
        "name=value",
        false, "ARG", cmd);
    try {
        cmd.parse(words);
    } catch (const TCLAP::ArgException& e) {
        usageError(e.error());
    } catch (const TCLAP::ExitException& e) {  // --help ends here
        std::exit(e.getExitStatus());
    }
    Options options;
    options.dirs = dirs.getValue();
    options.args = args.getValue();
    for (std::string& arg : options.args)
        if (arg == kStdinWord) arg = "-";
    options.exprs = exprs.getValue();
    options.defines = defines.getValue();
    options.levelGiven = level.isSet();
    options.level = level.getValue();
    options.quiet = quiet.getValue();
    options.debug = debug.getValue();
    options.safe = safe.getValue();
    options.interactive = interactive.getValue();
    if (options.quiet && options.levelGiven) usageError("-q and -v cannot be used together");
    for (const std::string& define : options.defines)
        if (define.find('=') == std::string::npos || define[0] == '=')
            usageError("-D needs NAME=VALUE, not '" + define + "'");
    return options;
}

// Whole decimal text only: "0x10" or "12abc" stay strings, which is what
// a shell user who typed them most likely meant.
ZnlObjPtr definedValue(const std::string& text) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
        return ZnlObjPtr(text.c_str());
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    long whole = std::strtol(begin, &end, 10);
    if (*end == '\0' && errno == 0 && whole >= INT32_MIN && whole <= INT32_MAX)
        return ZnlObjPtr(static_cast<int>(whole));
    double number = std::strtod(begin, &end);
    bool word = std::strpbrk(begin, "iInNxX") != nullptr;  // inf, nan, hex floats
    if (*end == '\0' && !word) return ZnlObjPtr(number);
    return ZnlObjPtr(text.c_str());
}

// The interpreter's prefixes say nothing the "pxs:" form does not.
std::string plainMessage(const std::string& message) {
    std::string text = message;
    for (const char* prefix : {"ZnException: ", "PXS Error: "})
        if (text.compare(0, std::strlen(prefix), prefix) == 0) text.erase(0, std::strlen(prefix));
    return text;
}

void complain(const std::string& where, const std::string& reason) {
    if (ZnNotifyLevel < 1) return;
    std::fflush(stdout);
    std::cerr << "pxs: " << where << ": " << reason << "\n" << std::flush;
}

// Runs the ARGs and -e expressions, turning the loader's reports into
// messages and the exit status.
class Runner {
public:
    explicit Runner(ZnPxsEnvironment& pxs) : pxs_(pxs) {
        previous_ = ZnPxsSetLoadReporter([this](const ZnPxsLoadProblem& p) { report(p); });
    }
    ~Runner() { ZnPxsSetLoadReporter(previous_); }
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    bool failed() const { return failed_; }

    void argument(const std::string& arg) {
        label_ = arg;
        if (arg == "-") {
            pxs_.loadLispStream(stdin, "<stdin>");
            return;
        }
        std::string::size_type equals = arg.find('=');
        if (arg[0] != '(' && equals != std::string::npos && !knownVariable(arg.substr(0, equals))) {
            failed_ = true;
            complain(arg, "can't set unbound variable " + arg.substr(0, equals));
            return;
        }
        pxs_.loadLispFileOrExpr(arg.c_str(), 1);
    }

    void expression(const std::string& expr) {
        label_ = "-e " + expr;
        ZnlObjPtr value = pxs_.loadLispExpr(expr.c_str(), 0);
        pxsdetail::printValue(value);
    }

private:
    // Names that are not one symbol are left to the loader, whose error
    // then says what is wrong with the text.
    bool knownVariable(const std::string& name) {
        if (name.empty() || name.find_first_of(" \t\n()\";'") != std::string::npos) return true;
        ZnlObjPtr value = pxs_.lookup(name.c_str());
        return value && !(value == ZnlObjPtr::unbound());
    }

    void report(const ZnPxsLoadProblem& problem) {
        failed_ = true;
        std::string where = problem.file;
        std::string reason = plainMessage(problem.message);
        if (problem.file == "expression") {
            where = label_;
        } else if (problem.line > 0) {
            where += ":" + std::to_string(problem.line);
        } else if (reason.compare(0, 13, "cannot open: ") == 0) {
            reason.erase(0, 13);  // the bare reason names the problem for a named file
        }
        complain(where, reason);
        if (ZnNotifyLevel >= 2 && !problem.chain.empty()) std::cerr << problem.chain << "\n";
    }

    ZnPxsEnvironment& pxs_;
    ZnPxsLoadReporter previous_;
    std::string label_;
    bool failed_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    Options options = parseCommandLine(argc, argv);
    if (options.levelGiven) ZnNotifyLevel = options.level;
    if (options.quiet) ZnNotifyLevel = 0;
    ZnLispDebugOn = options.debug;
    for (const std::string& dir : options.dirs) ZnlAddLoadPath(dir.c_str());

    bool failed = false;
    {
        ZnPxsEnvironment pxs(options.safe ? ZnPxsTrust::Untrusted : ZnPxsTrust::Trusted);
        for (const std::string& define : options.defines) {
            std::string::size_type equals = define.find('=');
            pxs.setParameter(define.substr(0, equals).c_str(),
                             definedValue(define.substr(equals + 1)));
        }
        {
            Runner runner(pxs);
            for (const std::string& arg : options.args) runner.argument(arg);
            for (const std::string& expr : options.exprs) runner.expression(expr);
            failed = runner.failed();
        }
        if (options.interactive || (options.args.empty() && options.exprs.empty()))
            pxsdetail::readEvalPrint(pxs);
    }
    return failed ? 1 : 0;
}
