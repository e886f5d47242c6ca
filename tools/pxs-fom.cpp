// pxs-fom.cpp -- reads object-model files of all three formats into one
// ZnFom and prints it: as an indented class tree with counts (--tree, the
// default), as one JSON document (--json), as the receiver calls the
// readers made, one JSON object a line (--trace), or as a Graphviz graph of
// the class hierarchies (--dot). The exit status is the worst read status;
// usage errors exit 2. The name HLAstandardMIM.xml reads the built-in MIM
// and "-" standard input; --sort reads HLA Evolved modules in dependency
// order; --check validates files against the standard instead of reading
// them (pxsFomCheck.h); --output writes the model read from every file as
// one HLA Evolved module or IEEE 1516-2000 FDD instead of printing it.
//
//     pxs-fom [--tree|--json|--trace|--dot [--dot-attributes]] [--strict N]
//             [--validate] [--default-switches] [--sort] [-q|-v N] FILE...
//     pxs-fom --output OUT.xml|OUT.fdd [--output-format 2010|2000] FILE...
//     pxs-fom --check FILE...
//
// Every message goes to standard error as "pxs-fom: FILE[:LINE]: reason",
// the library's notifications included; a file whose read failed puts
// nothing on standard output.
//
// One concern a file: fomJsonWriter (JSON text), fomRecordJson (table
// records), fomTrace (the --trace receiver, whose lines are a contract),
// fomTree (--tree), fomModelJson (--json), fomDot (--dot), fomNames (code
// names), fomRead (opening, formats, --sort), pxsFomCheck (--check).

#include <algorithm>
#include <cstring>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <tclap/CmdLine.h>

#include <pxs/pxs.h>
#include <pxs/version.h>

#include "fomDot.h"
#include "fomModelJson.h"
#include "fomRead.h"
#include "fomTrace.h"
#include "fomTree.h"
#include "pxsFomCheck.h"

using namespace fomtool;

namespace {

constexpr int kUsageError = 2;

// The library sends information, progress and debug text to standard
// output, where it would land inside a JSON document or a trace. This gate
// takes the place of such a stream's buffer: it keeps the stream's level
// test (replacing the buffer drops the library's own) and writes to
// standard error instead.
class StderrGate : public std::streambuf {
public:
    explicit StderrGate(int level) : level_(level) {}

protected:
    int overflow(int ch) override {
        if (ch == traits_type::eof() || !open()) return traits_type::not_eof(ch);
        return std::cerr.rdbuf()->sputc(static_cast<char>(ch));
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        if (open()) std::cerr.rdbuf()->sputn(s, n);
        return n;
    }
    int sync() override { return std::cerr.rdbuf()->pubsync(); }

private:
    bool open() const { return ZnNotifyLevel >= level_; }
    int level_;
};

void keepStandardOutputForResults() {
    static StderrGate info(ZnInfo.level()), verbose(ZnVerbose.level()), debug(ZnDebug.level());
    ZnInfo.rdbuf(&info);
    ZnVerbose.rdbuf(&verbose);
    ZnDebug.rdbuf(&debug);
}

enum class Output { Tree, Json, Trace, Dot };

struct Run {
    Output output = Output::Tree;
    Options options;
    bool checkOnly = false;
    bool sort = false;
    bool dotMembers = false;
    bool byRule = true;  // every output but --trace merges the modules by rule
    ZnMergePolicy merge = ZnMergePolicy::Strict;
    bool complete = false;
    std::string outputFile;  // --output: the model goes there, as XML
    ZnFomFormat outputFormat = ZnFomFormat::Evolved2010;
    std::vector<std::string> files;
};

struct KnownOption {
    const char* name;
    bool takesValue;
};

// Every option the command line accepts, TCLAP's own included. Checked
// before TCLAP sees the line, so that an unknown option gets one short line
// instead of TCLAP's usage dump.
const KnownOption kKnownOptions[] = {
    {"--tree", false},
    {"--json", false},
    {"--trace", false},
    {"--dot", false},
    {"--dot-attributes", false},
    {"--check", false},
    {"--sort", false},
    {"--strict", true},
    {"--validate", false},
    {"--default-switches", false},
    {"--output", true},
    {"--output-format", true},
    {"--merge", true},
    {"--complete", false},
    {"-q", false},
    {"--quiet", false},
    {"-v", true},
    {"--verbose", true},
    {"-h", false},
    {"--help", false},
    {"--version", false},
    {"--ignore_rest", false},
};

// Exact names only: TCLAP takes a value as the next argument, never after
// '=', so "--strict=1" is refused here rather than read as a file name.
const KnownOption* findOption(const std::string& arg) {
    for (const KnownOption& option : kKnownOptions)
        if (arg == option.name) return &option;
    return nullptr;
}

// The first argument that looks like an option and is none; "" when all are
// known. "-" is a file (standard input); after "--" everything is a file.
std::string unknownOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--") break;
        if (arg.size() < 2 || arg[0] != '-') continue;
        const KnownOption* option = findOption(arg);
        if (!option) return arg;
        if (option->takesValue) ++i;
    }
    return "";
}

bool wantsVersion(int argc, char** argv) {
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
        if (std::strcmp(argv[i], "--version") == 0) return true;
    return false;
}

int usageError(const std::string& text) {
    std::cerr << "pxs-fom: " << text << " (try 'pxs-fom --help')\n";
    return kUsageError;
}

// Fills `run` from the command line; -1 to go on, else the exit status.
int parseCommandLine(int argc, char** argv, Run& run) {
    TCLAP::CmdLine cmd(
        "Reads object-model files (HLA 1.3 FED, IEEE 1516-2000 FDD, HLA "
        "Evolved FOM modules) into one model and prints it, or checks them "
        "against their standard. HLAstandardMIM.xml names the built-in MIM, "
        "- standard input.",
        ' ', PXS_VERSION_STRING);
    TCLAP::SwitchArg tree("", "tree", "Print the class tree and table counts (default).");
    TCLAP::SwitchArg json("", "json", "Print the whole model as one JSON document.");
    TCLAP::SwitchArg trace("", "trace", "Print every receiver call as a JSON line.");
    TCLAP::SwitchArg dot("", "dot", "Print the class hierarchies as a Graphviz graph.");
    TCLAP::SwitchArg dotMembers("", "dot-attributes",
                                "With --dot: list attributes and parameters in the nodes.");
    TCLAP::SwitchArg checkArg("", "check",
                              "Validate each file against the embedded standard (DTD or DIF "
                              "schema); errors on standard error with their line, one verdict "
                              "a file on standard output; exit 0 when all are valid, 1 "
                              "otherwise.");
    TCLAP::SwitchArg sortArg("", "sort",
                             "Read HLA Evolved modules in dependency order, before the other "
                             "files; the order goes to standard error.");
    TCLAP::ValueArg<unsigned int> strict("", "strict",
                                         "Strict flags: 1 recoverable errors fail the read, 2 "
                                         "required tables (HLA Evolved).",
                                         false, 0, "N");
    TCLAP::SwitchArg validate("", "validate", "Validate against the DTD or schema the file names.");
    TCLAP::SwitchArg defaults("", "default-switches",
                              "Use the default switches, ignoring the files'.");
    TCLAP::ValueArg<std::string> output(
        "", "output",
        "Write the model read from all FILEs to OUT instead of printing it: an HLA Evolved "
        "module for OUT.xml, an IEEE 1516-2000 FDD for OUT.fdd; - is standard output.",
        false, "", "OUT");
    TCLAP::ValueArg<std::string> outputFormat(
        "", "output-format", "The form --output writes, whatever OUT is called: 2010 or 2000.",
        false, "", "FORM");
    TCLAP::ValueArg<std::string> mergeArg(
        "", "merge",
        "How the files merge: strict (the default: a conflict fails the read, nothing is "
        "printed or written and the run exits 2) or lenient (the first definition stays, "
        "with a warning). --trace shows the reads as they are, unmerged.",
        false, "strict", "POLICY");
    TCLAP::SwitchArg complete("", "complete",
                              "The files are the whole FOM: merge them by rule and check that "
                              "every dimension and data type named is defined.");
    TCLAP::SwitchArg quiet("q", "quiet", "No warnings (notification level 0).");
    TCLAP::ValueArg<int> verbose("v", "verbose", "Notification level (3 and up: progress).", false,
                                 ZnNotifyLevel, "N");
    TCLAP::UnlabeledMultiArg<std::string> names("FILE", "Object-model files, in order.", true,
                                                "FILE");
    for (TCLAP::Arg* arg : std::initializer_list<TCLAP::Arg*>{
             &tree, &json, &trace, &dot, &dotMembers, &checkArg, &sortArg, &strict, &validate,
             &defaults, &output, &outputFormat, &mergeArg, &complete, &quiet, &verbose, &names})
        cmd.add(arg);
    cmd.setExceptionHandling(false);
    try {
        cmd.parse(argc, argv);
    } catch (const TCLAP::ExitException& e) {
        return e.getExitStatus();
    } catch (const TCLAP::ArgException& e) {
        return usageError(e.error());
    }
    if (tree.getValue() + json.getValue() + trace.getValue() + dot.getValue() +
            checkArg.getValue() >
        1)
        return usageError("choose one of --tree, --json, --trace, --dot and --check");
    if (dotMembers.getValue() && !dot.getValue())
        return usageError("--dot-attributes goes with --dot");
    if (quiet.getValue() && verbose.isSet()) return usageError("choose one of -q and -v");
    if (mergeArg.getValue() == "lenient")
        run.merge = ZnMergePolicy::Lenient;
    else if (mergeArg.getValue() != "strict")
        return usageError("--merge is strict or lenient, not '" + mergeArg.getValue() + "'");
    run.complete = complete.getValue();
    // The trace shows the readers' calls to a plain model, as it always has.
    run.byRule = !trace.getValue();
    if (trace.getValue() && (mergeArg.isSet() || run.complete))
        return usageError("--trace shows the reads as they are; it takes no --merge or --complete");
    if (output.isSet()) {
        if (tree.getValue() + json.getValue() + trace.getValue() + dot.getValue() +
                checkArg.getValue() >
            0)
            return usageError("--output writes the model; it goes with no printing option");
        run.outputFile = output.getValue();
        if (run.outputFile.empty()) return usageError("--output needs a file name");
        const std::string& out = run.outputFile;
        auto endsWith = [&out](const char* ext) {
            size_t n = std::strlen(ext);
            return out.size() > n && out.compare(out.size() - n, n, ext) == 0;
        };
        std::string form = outputFormat.getValue();
        if (form.empty()) form = endsWith(".fdd") ? "2000" : endsWith(".xml") ? "2010" : "";
        if (form == "2010")
            run.outputFormat = ZnFomFormat::Evolved2010;
        else if (form == "2000")
            run.outputFormat = ZnFomFormat::Fdd2000;
        else if (outputFormat.isSet())
            return usageError("--output-format is 2010 or 2000, not '" + form + "'");
        else
            return usageError("cannot tell the form of '" + out +
                              "' (name it .xml or .fdd, or give --output-format)");
    } else if (outputFormat.isSet()) {
        return usageError("--output-format goes with --output");
    }
    if (json.getValue()) run.output = Output::Json;
    if (trace.getValue()) run.output = Output::Trace;
    if (dot.getValue()) run.output = Output::Dot;
    run.dotMembers = dotMembers.getValue();
    run.checkOnly = checkArg.getValue();
    run.sort = sortArg.getValue();
    run.options.strict = strict.getValue();
    run.options.validate = validate.getValue();
    run.options.defaultSwitches = defaults.getValue();
    if (quiet.getValue()) ZnNotifyLevel = 0;
    if (verbose.isSet()) ZnNotifyLevel = verbose.getValue();
    run.files = names.getValue();
    return -1;
}

int checkFiles(const std::vector<std::string>& files) {
    bool allValid = true;
    for (const std::string& name : files)
        allValid = check::checkFile(name, std::cout, std::cerr) && allValid;
    std::cout.flush();
    return allValid ? 0 : 1;
}

void reportOrder(const std::vector<std::string>& files) {
    std::cerr << "pxs-fom: order:";
    for (const std::string& name : files) std::cerr << ' ' << shownName(name);
    std::cerr << '\n';
}

// Reads every file into `fom`; the worst status. A trace is written per
// file, and only when the read succeeded: a failed read leaves nothing on
// standard output.
// "FILE:LINE: error: message", naming the definition it disagrees with, as
// compilers report; from `first` on.
void reportDiagnostics(const ZnFomMerge& merge, size_t first) {
    const std::vector<ZnFomDiagnostic>& all = merge.diagnostics();
    for (size_t i = first; i < all.size(); ++i) {
        const ZnFomDiagnostic& d = all[i];
        if (d.severity == ZnFomDiagnostic::Warning && ZnNotifyLevel < 1) continue;
        std::cerr << shownName(d.file);
        if (d.line > 0) std::cerr << ":" << d.line;
        std::cerr << (d.severity == ZnFomDiagnostic::Error ? ": error: " : ": warning: ")
                  << d.element << " " << d.message;
        if (!d.otherFile.empty()) {
            std::cerr << " (the other definition: " << shownName(d.otherFile);
            if (d.otherLine > 0) std::cerr << ":" << d.otherLine;
            std::cerr << ")";
        }
        std::cerr << "\n";
    }
}

// Reads every file into `fom`; the worst status. A trace is written per
// file, and only when the read succeeded: a failed read leaves nothing on
// standard output. The files merge by rule (but for --trace), and each
// disagreement is reported where it stands.
unsigned int readAll(const Run& run, ZnFom& fom, ZnFomMerge* merge, bool& anyRead) {
    Readers readers(run.options);
    unsigned int worst = ZnFedReadSuccess;
    for (const std::string& name : run.files) {
        std::ostringstream traceLines;
        std::unique_ptr<ZnFedTarget> tracer = makeTraceTarget(fom, traceLines);
        ZnFedTarget* target = run.output == Output::Trace ? tracer.get() : &fom;
        size_t known = merge ? merge->diagnostics().size() : 0;
        if (merge) merge->beginModule(name);
        std::string failure;
        ZnFedReadStatus status = readOne(name, target, readers, run.options, &failure);
        if (merge && !merge->endModule()) status = ZnFedReadFailed;
        bool explained = merge && merge->diagnostics().size() > known;
        if (merge) reportDiagnostics(*merge, known);
        // A conflict already said where it stands; the reader's text repeats it.
        if (!failure.empty() && !explained) report(name, failure);
        worst = std::max<unsigned int>(worst, status);
        if (status != ZnFedReadSuccess) continue;
        anyRead = true;
        if (run.output == Output::Trace) std::cout << traceLines.str();
    }
    if (merge && run.complete) {
        size_t known = merge->diagnostics().size();
        if (!merge->checkComplete()) worst = std::max<unsigned int>(worst, ZnFedReadFailed);
        reportDiagnostics(*merge, known);
    }
    return worst;
}

}  // namespace

int main(int argc, char** argv) {
    if (wantsVersion(argc, argv)) {
        std::cout << "pxs-fom (libpxs) " << PXS_VERSION_STRING << "\n";
        return 0;
    }
    std::string unknown = unknownOption(argc, argv);
    if (!unknown.empty()) return usageError("unknown option '" + unknown + "'");
    keepStandardOutputForResults();
    Run run;
    int status = parseCommandLine(argc, argv, run);
    if (status >= 0) return status;
    if (run.checkOnly) return checkFiles(run.files);

    // A file that names the standard DTD or schema (by its published web
    // address, as the MIM does) validates against the library's own copy.
    if (run.options.validate) ZnUseEmbeddedStandardFiles(true);

    if (run.sort) {
        run.files = sortedFiles(run.files);
        reportOrder(run.files);
    }
    std::unique_ptr<ZnFom> model;
    ZnFomMerge* merge = nullptr;
    if (!run.byRule) {
        model.reset(new ZnFom);
    } else {
        merge = new ZnFomMerge(run.merge);
        model.reset(merge);
    }
    ZnFom& fom = *model;
    bool anyRead = false;
    unsigned int worst = readAll(run, fom, merge, anyRead);
    // A strict merge that found a conflict holds no model anyone asked for.
    if (merge && merge->failed()) anyRead = false;
    if (anyRead && !run.outputFile.empty()) {
        // The model of every file that was read, whatever the others did;
        // the writer refuses a model it cannot write whole.
        std::string error;
        bool written = run.outputFile == "-"
                           ? ZnWriteFom(fom, run.outputFormat, std::cout, &error)
                           : ZnWriteFomFile(fom, run.outputFormat, run.outputFile, &error);
        if (!written) {
            report(run.outputFile, error.empty() ? "cannot write the model" : error);
            worst = std::max<unsigned int>(worst, ZnFedReadFailed);
        }
    } else if (anyRead) {
        if (run.output == Output::Tree) printModelTree(std::cout, fom);
        if (run.output == Output::Json) printModelJson(std::cout, fom, merge);
        if (run.output == Output::Dot) printModelDot(std::cout, fom, run.dotMembers);
    }
    std::cout.flush();
    return static_cast<int>(worst);
}
