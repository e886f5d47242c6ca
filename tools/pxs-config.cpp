// pxs-config.cpp -- prints a configuration tree file, or converts it between
// the PXS and XML forms by the output file's extension.
//
//   pxs-config settings.xml                      print the tree
//   pxs-config settings.pxs                      print the tree
//   pxs-config settings.xml --to settings.pxs    convert
//   pxs-config a.pxs --to a.xml --dtd config config.dtd
//   pxs-config a.xml --validate                  read with DTD validation
//
// Every failure is one line on standard error naming the file (and, for
// XML, the line); the exit status is 0 on success, 1 on a failed read or
// write, 2 on a bad command line. Forms are looked up in one table.
//
// Where the library only reports on standard error (forms the PXS reader
// skips) or answers true regardless (a PXS file that cannot be created),
// the tool checks for itself: a tree that lost content on the way in, or
// that the PXS form cannot hold, is not converted.

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <tclap/CmdLine.h>

#include <pxs/pxs.h>

namespace {

struct Options {
    std::string input;
    std::string output;
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

// The PXS writer answers true even when it cannot create the file; opening
// it first (without truncating) turns that case into a reported failure.
class CheckedPxsWriter : public ZnEnvPXSWriter {
public:
    bool writeFile(ZnEnvironment& env, const ZnString& fileName) override {
        if (!std::ofstream(fileName.c_str(), std::ios::app)) {
            std::cerr << std::strerror(errno) << "\n";
            return false;
        }
        return ZnEnvPXSWriter::writeFile(env, fileName);
    }
};

std::unique_ptr<ZnEnvWriter> pxsWriter(const Options&) {
    return std::unique_ptr<ZnEnvWriter>(new CheckedPxsWriter());
}

// A name or type becomes a PXS symbol: it must read back as one token that
// is neither a number, a string, a quote nor a comment.
bool symbolSafe(const std::string& text) {
    if (text.empty() || text[0] == '"' || text[0] == '\'' || text[0] == ';') return false;
    const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    if (digit(text[0]) || (text[0] == '-' && text.size() > 1 && digit(text[1]))) return false;
    for (char c : text)
        if (std::isspace(static_cast<unsigned char>(c)) || c == '(' || c == ')') return false;
    return true;
}

// The first name, type or value of `env` that the PXS form would write so
// that it does not read back (values are written between double quotes
// without escaping); empty when the whole tree fits. Walks with its own
// stack, as trees can be deep.
std::string pxsCannotKeep(const ZnEnvironment& env) {
    std::vector<ZnEnvValueSP> pending{env.root()};
    while (!pending.empty()) {
        ZnEnvValueSP node = pending.back();
        pending.pop_back();
        ZnEnvNamedList* named = ZnEnvNamedList::castToNamedList(node);
        if (!named) continue;  // comments and plain lists are not read back anyway
        const std::string name = named->name().string();
        if (!symbolSafe(name)) return "the name \"" + name + "\"";
        if (ZnEnvObject* object = ZnEnvObject::castToObject(node)) {
            if (!symbolSafe(object->type().string()))
                return "the type \"" + object->type().string() + "\" of " + name;
        }
        if (named->value().string().find('"') != std::string::npos)
            return "the double quote in the value of " + name;
        if (ZnEnvObject::isObject(node))  // an attribute's children are not read back
            for (ZnEnvValueSP child = named->first(); child; child = named->next(child))
                pending.push_back(child);
    }
    return std::string();
}

bool xmlName(const ZnString& text) {
    return xmlValidateName(BAD_CAST text.c_str(), 0) == 0;
}

// The first element or attribute name of `env` that the XML form would
// skip or read back differently; empty when the whole tree fits. An
// attribute called "name" would be read back as its object's name.
std::string xmlCannotKeep(const ZnEnvironment& env) {
    std::vector<ZnEnvValueSP> pending{env.root()};
    for (bool root = true; !pending.empty(); root = false) {
        ZnEnvValueSP node = pending.back();
        pending.pop_back();
        ZnEnvNamedList* named = ZnEnvNamedList::castToNamedList(node);
        ZnEnvObject* object = ZnEnvObject::castToObject(node);
        if (!named) continue;
        const ZnString element = root || !object ? named->name() : object->type();
        if (!xmlName(element)) return "the name \"" + element.string() + "\"";
        if (!root && !object && named->name() == "name")
            return "an attribute called \"name\" (it would name its object)";
        if (root || object)
            for (ZnEnvValueSP child = named->first(); child; child = named->next(child))
                pending.push_back(child);
    }
    return std::string();
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
// what the tree needs before it is written and what the form cannot hold
// (null: nothing to do, anything goes).
struct Form {
    const char* extension;
    const char* name;
    ReaderFactory reader;
    WriterFactory writer;
    bool validates;      // --validate applies to reading it
    bool writesDocType;  // --dtd applies to writing it
    void (*prepare)(ZnEnvironment&);
    std::string (*cannotKeep)(const ZnEnvironment&);
};
const Form kForms[] = {
    {".xml", "XML", xmlReader, xmlWriter, true, true, attributesFirst, xmlCannotKeep},
    {".pxs", "PXS", pxsReader, pxsWriter, false, false, nullptr, pxsCannotKeep},
};

const Form* formOf(const std::string& file) {
    for (const Form& form : kForms) {
        const std::size_t n = std::strlen(form.extension);
        if (file.size() >= n && file.compare(file.size() - n, n, form.extension) == 0) return &form;
    }
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

bool parseCommandLine(int argc, char** argv, Options& options) {
    std::vector<std::string> args(argv, argv + argc);
    if (!takeDtd(args, options)) {
        std::cerr << "pxs-config: --dtd needs NAME and SYSTEMID\n";
        return false;
    }
    TCLAP::CmdLine cmd(
        "Print a configuration tree file, or convert it between the PXS and "
        "XML forms (chosen by the output file's extension).",
        ' ', "0.1");
    cmd.setExceptionHandling(false);  // report in our one-line form, not TCLAP's
    TCLAP::UnlabeledValueArg<std::string> input("FILE", "tree file (.pxs or .xml)", true, "",
                                                "FILE", cmd);
    TCLAP::ValueArg<std::string> to("", "to", "convert into OUT (.pxs or .xml)", false, "", "OUT",
                                    cmd);
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

// A read that left anything on standard error lost content; it counts as
// failed, reported in one line.
int readTree(const Options& options, const Form& form, ZnEnvironment& env) {
    const std::string& file = options.input;
    std::vector<std::string> skipped;
    bool ok = false;
    try {
        CapturedStderr capture;
        env = form.reader(options)->readFile(file.c_str(), ok);
        skipped = skippedForms(capture.text());
    } catch (const ZnException& e) {
        std::cerr << "pxs-config: " << describe(file, form, e) << "\n";
        return 1;
    }
    if (skipped.empty())
        return ok ? 0 : fail(file, std::ifstream(file) ? "cannot read" : "cannot open");
    if (skipped.size() == 1 && skipped[0] == "eof") return fail(file, "holds no tree");
    std::string message = "skipped " + skipped[0] + " (not an object, attribute or value)";
    if (skipped.size() > 1) message += " and " + std::to_string(skipped.size() - 1) + " more";
    return fail(file, message);
}

// Whatever the writer reports on standard error is folded into one line.
int writeTree(const Options& options, const Form* form, ZnEnvironment& env) {
    if (form->prepare) form->prepare(env);
    if (form->cannotKeep) {
        const std::string problem = form->cannotKeep(env);
        if (!problem.empty())
            return fail(options.output,
                        std::string("the ") + form->name + " form cannot hold " + problem);
    }
    std::ostringstream report;
    std::streambuf* saved = std::cerr.rdbuf(report.rdbuf());
    const bool written = form->writer(options)->writeFile(env, options.output.c_str());
    std::cerr.rdbuf(saved);
    if (!written) return fail(options.output, "cannot write (" + oneLine(report.str()) + ")");
    // The XML writer skips what it cannot write (a name that is no XML
    // name) and says so, but still answers true.
    if (!report.str().empty())
        return fail(options.output, "written incompletely (" + oneLine(report.str()) + ")");
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

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseCommandLine(argc, argv, options)) return 2;
    xmlSetGenericErrorFunc(nullptr, quietLibxml);
    const Form* input = formOf(options.input);
    const Form* output = options.output.empty() ? nullptr : formOf(options.output);
    if (!optionsFit(options, input, output)) return 2;
    if (!input) return fail(options.input, "unknown form (the name must end in .pxs or .xml)");
    if (!options.output.empty() && !output)
        return fail(options.output, "unknown form (the name must end in .pxs or .xml)");
    ZnEnvironment env;
    if (const int status = readTree(options, *input, env)) return status;
    if (!output) {
        std::cout << env;
        return 0;
    }
    return writeTree(options, output, env);
}
