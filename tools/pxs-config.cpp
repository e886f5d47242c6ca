// pxs-config.cpp -- prints a configuration tree file, or converts it between
// the PXS and XML forms by the output file's extension.
//
//   pxs-config settings.xml                      print the tree
//   pxs-config settings.pxs                      print the tree
//   pxs-config settings.xml --to settings.pxs    convert
//   pxs-config a.pxs --to a.xml --dtd config config.dtd
//   pxs-config a.xml --validate                  read with DTD validation
//   pxs-config - --to - --form pxs < a.xml       standard input to output
//
// Every message is one line on standard error, "pxs-config: FILE[:LINE]:
// reason"; the exit status is 0 on success, 1 on a failed read or write, 2
// on a bad command line. Forms are looked up in one table. A tree that lost
// content on the way in (forms the PXS reader skipped), or that the output
// form cannot hold (the writers refuse it), is not converted.

#include <unistd.h>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <tclap/CmdLine.h>

#include <pxs/pxs.h>
#include <util/znOpenFile.h>

namespace {

struct Options {
    std::string input;   // as named on the command line; "-" for standard input
    std::string output;  // likewise, "-" for standard output
    std::string form;    // --form: the output form when the name tells none
    std::string dtdName;
    std::string dtdSystemId;
    bool validate = false;
};

using ReaderFactory = std::unique_ptr<ZnEnvReader> (*)(const Options&);
using WriterFactory = std::unique_ptr<ZnEnvWriter> (*)(const Options&);

std::unique_ptr<ZnEnvReader> xmlReader(const Options& options) {
    return std::unique_ptr<ZnEnvReader>(new ZnEnvXMLReader(options.validate));
}

// No indentation is set: libxml2's formatted save already puts elements on
// lines of their own, but unlike the writer's indentation it adds no blanks
// inside elements that carry text, so values read back unchanged.
std::unique_ptr<ZnEnvWriter> xmlWriter(const Options& options) {
    if (options.dtdName.empty()) return std::unique_ptr<ZnEnvWriter>(new ZnEnvXMLWriter());
    return std::unique_ptr<ZnEnvWriter>(
        new ZnEnvXMLWriter(options.dtdName.c_str(), options.dtdSystemId.c_str()));
}

std::unique_ptr<ZnEnvReader> pxsReader(const Options&) {
    return std::unique_ptr<ZnEnvReader>(new ZnEnvPXSReader());
}

std::unique_ptr<ZnEnvWriter> pxsWriter(const Options&) {
    return std::unique_ptr<ZnEnvWriter>(new ZnEnvPXSWriter());
}

// XML takes an element's attributes only before its content, and the XML
// writer drops the others; hand-written PXS often lists an attribute after
// an object. Moving every attribute ahead of its siblings, in order, keeps
// them all. Walks with its own stack.
void attributesFirst(ZnEnvironment& env) {
    std::vector<ZnEnvValueSP> pending{env.root()};
    while (!pending.empty()) {
        ZnEnvValueSP node = pending.back();
        pending.pop_back();
        ZnEnvList* list = ZnEnvList::castToList(node);
        if (!list) continue;
        std::vector<ZnEnvValueSP> others;
        for (ZnEnvValueSP child = list->first(); child; child = list->next(child)) {
            const bool attribute =
                ZnEnvNamedList::isNamedList(child) && !ZnEnvObject::isObject(child);
            if (!attribute) others.push_back(child);
            pending.push_back(child);
        }
        for (const ZnEnvValueSP& child : others) {
            list->remove(child);
            list->append(child);
        }
    }
}

// One row per form: how to read it, how to write it, which options apply,
// and what the tree needs before it is written (null: nothing).
struct Form {
    const char* extension;
    const char* name;
    ReaderFactory reader;
    WriterFactory writer;
    bool validates;      // --validate applies to reading it
    bool writesDocType;  // --dtd applies to writing it
    void (*prepare)(ZnEnvironment&);
};
const Form kForms[] = {
    {".xml", "xml", xmlReader, xmlWriter, true, true, attributesFirst},
    {".pxs", "pxs", pxsReader, pxsWriter, false, false, nullptr},
};

const Form* formOf(const std::string& file) {
    for (const Form& form : kForms) {
        const std::size_t n = std::strlen(form.extension);
        if (file.size() >= n && file.compare(file.size() - n, n, form.extension) == 0) return &form;
    }
    return nullptr;
}

const Form* formNamed(const std::string& name) {
    for (const Form& form : kForms)
        if (name == form.name) return &form;
    return nullptr;
}

int fail(const std::string& file, const std::string& message) {
    std::cerr << "pxs-config: " << file << ": " << message << "\n";
    return 1;
}

std::string oneLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    for (char& c : text)
        if (c == '\n') c = ' ';
    return text;
}

// "file: message" for a failed read: for a document libxml2 could not
// read, its own error with the line it names; for PXS text, the PXS
// reader's own message at the end of the chain; otherwise the library's
// message without its "ZnKind: " lead.
std::string describe(const std::string& file, const Form& form, const ZnException& e) {
    const bool corrupt = e.number() == ZnCorruptedStateNumber;
    const xmlError* error = corrupt && form.validates ? xmlGetLastError() : nullptr;
    if (error && error->message)
        return file + ":" + std::to_string(error->line) + ": " + oneLine(error->message);
    if (e.number() == ZnInvalidInputNumber) return file + ": cannot open";
    const std::string cause = e.initialException().message();
    if (corrupt && cause.compare(0, 24, "ZnException: PXS Error: ") == 0)
        return file + ": " + oneLine(cause.substr(13));
    std::string text = e.message();
    const std::size_t colon = text.find(": ");
    if (colon != std::string::npos && text.compare(0, 2, "Zn") == 0) text.erase(0, colon + 2);
    return file + ": " + oneLine(text);
}

// "--dtd NAME SYSTEMID" takes two values, which TCLAP cannot express; the
// pair is taken out of the arguments before TCLAP sees them. False when
// --dtd lacks a value.
bool takeDtd(std::vector<std::string>& args, Options& options) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] != "--dtd") continue;
        if (i + 2 >= args.size()) return false;
        options.dtdName = args[i + 1];
        options.dtdSystemId = args[i + 2];
        args.erase(args.begin() + i, args.begin() + i + 3);
        return true;
    }
    return true;
}

// TCLAP's report of an unknown option does not name it, and its --version
// line is its own; both are handled before TCLAP sees the arguments.
// False, reported, for an option nobody knows.
bool knownOptions(const std::vector<std::string>& args) {
    static const char* const kValued[] = {"--to", "--form"};
    static const char* const kSwitches[] = {"--validate", "--help", "-h", "--"};
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") return true;
        if (std::find(std::begin(kValued), std::end(kValued), arg) != std::end(kValued)) {
            ++i;
            continue;
        }
        if (std::find(std::begin(kSwitches), std::end(kSwitches), arg) != std::end(kSwitches))
            continue;
        if (arg.size() > 1 && arg[0] == '-') {
            std::cerr << "pxs-config: unknown option " << arg << " (see --help)\n";
            return false;
        }
    }
    return true;
}

bool parseCommandLine(int argc, char** argv, Options& options) {
    std::vector<std::string> args(argv, argv + argc);
    if (!takeDtd(args, options)) {
        std::cerr << "pxs-config: --dtd needs NAME and SYSTEMID\n";
        return false;
    }
    if (std::find(args.begin() + 1, args.end(), "--version") != args.end()) {
        std::cout << "pxs-config (libpxs) " PXS_VERSION_STRING "\n";
        std::exit(0);
    }
    if (!knownOptions(args)) return false;
    TCLAP::CmdLine cmd(
        "Print a configuration tree file, or convert it between the PXS and "
        "XML forms (chosen by the output file's extension). FILE or OUT - is "
        "standard input or output.",
        ' ', PXS_VERSION_STRING);
    cmd.setExceptionHandling(false);  // report in our one-line form, not TCLAP's
    TCLAP::UnlabeledValueArg<std::string> input("FILE", "tree file (.pxs or .xml)", true, "",
                                                "FILE", cmd);
    TCLAP::ValueArg<std::string> to("", "to", "convert into OUT (.pxs or .xml)", false, "", "OUT",
                                    cmd);
    TCLAP::ValueArg<std::string> form("", "form", "form of OUT when its name tells none: pxs or xml",
                                      false, "", "FORM", cmd);
    TCLAP::SwitchArg validate("", "validate", "read XML with DTD validation", cmd);
    TCLAP::ValueArg<std::string> dtd("", "dtd",
                                     "give the written XML a document type: --dtd NAME SYSTEMID",
                                     false, "", "NAME SYSTEMID", cmd);
    try {
        cmd.parse(args);
    } catch (const TCLAP::ArgException& e) {
        std::cerr << "pxs-config: " << e.error() << " (see --help)\n";
        return false;
    } catch (const TCLAP::ExitException& e) {  // --help and --version end here
        std::exit(e.getExitStatus());
    }
    options.input = input.getValue();
    options.output = to.getValue();
    options.validate = validate.getValue();
    options.form = form.getValue();
    if (!options.form.empty() && !formNamed(options.form)) {
        std::cerr << "pxs-config: --form takes pxs or xml, not " << options.form << "\n";
        return false;
    }
    if (!options.form.empty() && options.output.empty()) {
        std::cerr << "pxs-config: --form applies with --to only\n";
        return false;
    }
    return true;
}

// Sends what is written to standard error, by C++ streams or C stdio
// alike, into a temporary file for the length of the scope.
class CapturedStderr {
public:
    CapturedStderr() : file_(std::tmpfile()) {
        std::cerr.flush();
        std::fflush(stderr);
        saved_ = file_ ? dup(2) : -1;
        if (saved_ >= 0) dup2(fileno(file_), 2);
    }
    ~CapturedStderr() {
        restore();
        if (file_) std::fclose(file_);
    }
    CapturedStderr(const CapturedStderr&) = delete;
    CapturedStderr& operator=(const CapturedStderr&) = delete;

    // Ends the capture and answers what was written.
    std::string text() {
        restore();
        std::string all;
        if (!file_) return all;
        std::rewind(file_);
        char chunk[4096];
        while (std::size_t n = std::fread(chunk, 1, sizeof chunk, file_)) all.append(chunk, n);
        return all;
    }

private:
    void restore() {
        if (saved_ < 0) return;
        std::cerr.flush();
        std::fflush(stderr);
        dup2(saved_, 2);
        close(saved_);
        saved_ = -1;
    }

    FILE* file_;
    int saved_ = -1;
};

// The PXS reader reports each form it skips as a fixed line followed by
// the form as printed (and a second fixed line when that is nil); the
// printed forms are taken back out of that text.
std::vector<std::string> skippedForms(const std::string& report) {
    static const std::string kSkipped = "ZnReaderWriter: error in data stream\n";
    static const std::string kNil = "ZnReaderWriter: error ZncErrPrint\n";
    std::vector<std::string> forms;
    std::size_t at = report.find(kSkipped);
    if (at != 0 && !report.empty()) forms.push_back(oneLine(report.substr(0, at)));
    while (at != std::string::npos) {
        const std::size_t start = at + kSkipped.size();
        at = report.find(kSkipped, start);
        std::string form = report.substr(start, at == std::string::npos ? at : at - start);
        const std::size_t nil = form.find(kNil);
        if (nil != std::string::npos) form.erase(nil, kNil.size());
        forms.push_back(oneLine(form));
    }
    return forms;
}

// A file of the tool's own: standard input kept for a reader that takes a
// file name, or output gathered for standard output. Removed on every way out.
class TempFile {
public:
    explicit TempFile(const char* extension) {
        const char* dir = std::getenv("TMPDIR");
        std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/pxs-config-XXXXXX" +
                              extension;
        const int fd = mkstemps(&pattern[0], static_cast<int>(std::strlen(extension)));
        if (fd >= 0) {
            close(fd);
            path_ = pattern;
        }
    }
    ~TempFile() {
        if (!path_.empty()) std::remove(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& path() const { return path_; }  // empty when none could be made

private:
    std::string path_;
};

std::string readStream(std::istream& in) {
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// Standard input carries no name to tell its form by: a document whose
// first character other than white space is "<" is XML, anything else PXS.
const Form& formOfText(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    return first != std::string::npos && text[first] == '<' ? kForms[0] : kForms[1];
}

// The PXS reader reads the first form and ignores what follows it; such
// text is usually a second form that was meant to be inside the first, so
// the line where it starts is named. Text that is not PXS was already
// reported by the read.
void warnAfterFirstForm(const std::string& shownName, const std::string& path) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(ZnOpenRegularFile(path.c_str(), "rb"), std::fclose);
    if (!file) return;
    try {
        ZnPxsEnvironment pxs;
        ZnlFileInputStream in(file.get());
        ZnlObjPtr datum = ZncRead(&in, pxs.frame);
        if (in.fgetc_past_whitespace() == -1) return;
        const long at = std::ftell(file.get()) - 1;
        std::rewind(file.get());
        int line = 1;
        for (long i = 0; i < at; ++i)
            if (std::fgetc(file.get()) == '\n') ++line;
        std::cerr << "pxs-config: " << shownName << ":" << line
                  << ": text after the first form is ignored\n";
    } catch (const ZnException&) {
    }
}

// A read that left anything on standard error lost content; it counts as
// failed, reported in one line.
int readTree(const Options& options, const Form& form, const std::string& path,
             ZnEnvironment& env) {
    const std::string& file = options.input;
    std::vector<std::string> skipped;
    bool ok = false;
    try {
        CapturedStderr capture;
        env = form.reader(options)->readFile(path.c_str(), ok);
        skipped = skippedForms(capture.text());
    } catch (const ZnException& e) {
        std::cerr << "pxs-config: " << describe(file, form, e) << "\n";
        return 1;
    }
    if (skipped.empty())
        return ok ? 0 : fail(file, std::ifstream(path) ? "cannot read" : "cannot open");
    if (skipped.size() == 1 && skipped[0] == "eof") return fail(file, "holds no tree");
    std::string message = "skipped " + skipped[0] + " (not an object, attribute or value)";
    if (skipped.size() > 1) message += " and " + std::to_string(skipped.size() - 1) + " more";
    return fail(file, message);
}

// What the writer reports (on ZnWarn for what the form cannot hold, on
// standard error for libxml2 failures) is folded into one line: the first
// report, without the writer's own name, and how many more there were.
std::string writerReport(const std::string& text, const std::string& file) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    if (lines.empty()) return "cannot write";
    std::string first = lines[0];
    for (const char* lead : {"ZnEnvXMLWriter: ", "ZnEnvPXSWriter: "})
        if (first.compare(0, std::strlen(lead), lead) == 0) first.erase(0, std::strlen(lead));
    const std::string whole = "cannot write " + file + ": ";
    if (first.compare(0, whole.size(), whole) == 0)
        first.erase(0, whole.size());
    else if (first.compare(0, 13, "cannot write ") != 0)
        first = "cannot write (" + first + ")";
    if (lines.size() > 1) first += " and " + std::to_string(lines.size() - 1) + " more";
    return first;
}

int writeTree(const Options& options, const Form* form, const std::string& path,
              ZnEnvironment& env) {
    if (form->prepare) form->prepare(env);
    std::ostringstream report;
    std::streambuf* savedErr = std::cerr.rdbuf(report.rdbuf());
    std::streambuf* savedWarn = ZnWarn.rdbuf(report.rdbuf());
    const bool written = form->writer(options)->writeFile(env, path.c_str());
    ZnWarn.rdbuf(savedWarn);
    std::cerr.rdbuf(savedErr);
    // The PXS writer answers true for a file it could not create (its
    // callers were always told so) and says so only in its warning.
    const bool created = report.str().find(": the file cannot be created") == std::string::npos;
    if (!written || !created) return fail(options.output, writerReport(report.str(), path));
    // Notes that did not stop the write (a comment changed to fit XML).
    std::istringstream notes(report.str());
    for (std::string line; std::getline(notes, line);)
        if (!line.empty()) std::cerr << "pxs-config: " << options.output << ": " << line << "\n";
    return 0;
}

// libxml2 reports through the library's error texts; its own default
// output to standard error would add more lines.
void quietLibxml(void*, const char*, ...) {}

// Options that the chosen forms would ignore are refused, so nobody
// believes a PXS file was validated.
bool optionsFit(const Options& options, const Form* input, const Form* output) {
    if (options.validate && input && !input->validates) {
        std::cerr << "pxs-config: --validate applies to XML input only\n";
        return false;
    }
    if (!options.dtdName.empty() && (!output || !output->writesDocType)) {
        std::cerr << "pxs-config: --dtd applies to XML output only\n";
        return false;
    }
    return true;
}

// A named input must be a regular file; the true reason is told otherwise.
// An output that exists must be one too (a directory, a device or a FIFO
// is not written into).
int checkFiles(const Options& options) {
    if (options.input != "-") {
        const std::string problem = ZnRegularFileProblem(options.input.c_str());
        if (!problem.empty()) return fail(options.input, problem);
    }
    struct stat info;
    if (!options.output.empty() && options.output != "-" &&
        stat(options.output.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return fail(options.output, S_ISDIR(info.st_mode) ? "is a directory" : "not a regular file");
    return 0;
}

// The form of the output: --form when given, else by the name's extension;
// "-" without --form takes the input's form.
const Form* outputForm(const Options& options, const Form* input) {
    if (!options.form.empty()) return formNamed(options.form);
    if (options.output == "-") return input;
    return formOf(options.output);
}

int convert(const Options& options) {
    if (const int status = checkFiles(options)) return status;
    std::string stdinText;
    const Form* input = nullptr;
    if (options.input == "-") {
        stdinText = readStream(std::cin);
        input = &formOfText(stdinText);
    } else {
        input = formOf(options.input);
    }
    const Form* output = options.output.empty() ? nullptr : outputForm(options, input);
    if (!optionsFit(options, input, output)) return 2;
    if (!input) return fail(options.input, "unknown form (the name must end in .pxs or .xml)");
    if (!options.output.empty() && !output)
        return fail(options.output, "unknown form (the name must end in .pxs or .xml)");
    std::string inputPath = options.input;
    std::unique_ptr<TempFile> kept;
    if (options.input == "-") {
        kept.reset(new TempFile(input->extension));
        inputPath = kept->path();
        if (inputPath.empty() || !(std::ofstream(inputPath, std::ios::binary) << stdinText))
            return fail("-", "cannot keep standard input in a temporary file");
    }
    ZnEnvironment env;
    if (const int status = readTree(options, *input, inputPath, env)) return status;
    if (input->reader == pxsReader) warnAfterFirstForm(options.input, inputPath);
    if (!output) {
        std::cout << env;
        return 0;
    }
    if (options.output != "-") return writeTree(options, output, options.output, env);
    TempFile gathered(output->extension);
    if (gathered.path().empty()) return fail("-", "cannot make a temporary file");
    if (const int status = writeTree(options, output, gathered.path(), env)) return status;
    std::ifstream in(gathered.path(), std::ios::binary);
    std::cout << in.rdbuf();
    std::cout.flush();
    return std::cout ? 0 : fail("-", "cannot write standard output");
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseCommandLine(argc, argv, options)) return 2;
    xmlSetGenericErrorFunc(nullptr, quietLibxml);
    return convert(options);
}
