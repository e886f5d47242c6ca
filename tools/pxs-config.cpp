// pxs-config.cpp -- prints a configuration tree file, or converts it between
// the PXS and XML forms by the output file's extension.
//
//   pxs-config settings.xml                      print the tree
//   pxs-config settings.xml --to settings.pxs    convert
//   pxs-config a.pxs --to a.xml --dtd config config.dtd
//   pxs-config a.xml --validate                  read with DTD validation
//
// Every failure is one line on standard error naming the file (and, for
// XML, the line); the exit status is 0 on success, 1 on a failed read or
// write, 2 on a bad command line. Forms are looked up in one table, so a
// form gains reading or writing by filling in its row.

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

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

// One row per form. The PXS form's reader and writer are not part of the
// library yet; its row names it so the message says what is missing.
struct Form {
    const char* extension;
    const char* name;
    ReaderFactory reader;
    WriterFactory writer;
};
const Form kForms[] = {
    {".xml", "XML", xmlReader, xmlWriter},
    {".pxs", "PXS", nullptr, nullptr},
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
// read, its own error with the line it names; otherwise the library's
// message without its "ZnKind: " lead.
std::string describe(const std::string& file, const ZnException& e) {
    const xmlError* error = e.number() == ZnCorruptedStateNumber ? xmlGetLastError() : nullptr;
    if (error && error->message)
        return file + ":" + std::to_string(error->line) + ": " + oneLine(error->message);
    if (e.number() == ZnInvalidInputNumber) return file + ": cannot open";
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
    TCLAP::CmdLine cmd("Print a configuration tree file, or convert it between the PXS and "
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

// Whatever the XML writer reports on standard error is folded into one line.
int writeTree(const Options& options, ZnEnvironment& env) {
    const Form* form = formOf(options.output);
    if (!form) return fail(options.output, "unknown form (the name must end in .pxs or .xml)");
    if (!form->writer) return fail(options.output, std::string("writing the ") + form->name +
                                                       " form is not available yet");
    std::ostringstream report;
    std::streambuf* saved = std::cerr.rdbuf(report.rdbuf());
    const bool written = form->writer(options)->writeFile(env, options.output.c_str());
    std::cerr.rdbuf(saved);
    if (!written) return fail(options.output, "cannot write (" + oneLine(report.str()) + ")");
    return 0;
}

// libxml2 reports through the library's error texts; its own default
// output to standard error would add more lines.
void quietLibxml(void*, const char*, ...) {}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseCommandLine(argc, argv, options)) return 2;
    xmlSetGenericErrorFunc(nullptr, quietLibxml);
    const Form* form = formOf(options.input);
    if (!form) return fail(options.input, "unknown form (the name must end in .pxs or .xml)");
    if (!form->reader)
        return fail(options.input,
                    std::string("reading the ") + form->name + " form is not available yet");
    ZnEnvironment env;
    try {
        bool ok = false;
        env = form->reader(options)->readFile(options.input.c_str(), ok);
        if (!ok) return fail(options.input, "cannot read");
    } catch (const ZnException& e) {
        std::cerr << "pxs-config: " << describe(options.input, e) << "\n";
        return 1;
    }
    if (options.output.empty()) {
        std::cout << env;
        return 0;
    }
    return writeTree(options, env);
}
