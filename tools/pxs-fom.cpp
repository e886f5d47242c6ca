// pxs-fom.cpp -- reads object-model files of all three formats into one
// ZnFom and prints it: as an indented class tree with counts (--tree, the
// default), as one JSON document (--json), or as the receiver calls the
// readers made, one JSON object a line (--trace). The exit status is the
// worst read status. The name HLAstandardMIM.xml reads the built-in MIM;
// --sort reads HLA Evolved modules in dependency order; --check validates
// files against the standard instead of reading them (pxsFomCheck.h).
//
//     pxs-fom [--tree|--json|--trace] [--strict N] [--validate]
//             [--default-switches] [--sort] FILE...
//     pxs-fom --check FILE...
//
// The trace format is a contract other tools diff: {"op":...,"args":[...]}
// plus "ret" for operations that return something; args in the order of the
// receiver interface, strings as strings, null pointers as null, codes as
// numbers, records as objects keyed by field name with item sets as arrays
// (sorted, since the sets themselves have no stable order).
//
// One concern a file: fomJsonWriter (JSON text), fomRecordJson (table
// records), fomTrace (the --trace receiver), fomTree (--tree), fomModelJson
// (--json), fomRead (reading and --sort), pxsFomCheck (--check).

#include <algorithm>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <tclap/CmdLine.h>

#include <pxs/pxs.h>

#include "fomModelJson.h"
#include "fomRead.h"
#include "fomTrace.h"
#include "fomTree.h"
#include "pxsFomCheck.h"

using namespace fomtool;

int main(int argc, char** argv) {
    enum class Output { Tree, Json, Trace };
    Output output = Output::Tree;
    Options options;
    bool checkOnly = false, sort = false;
    std::vector<std::string> files;
    try {
        TCLAP::CmdLine cmd("Reads object-model files (HLA 1.3 FED, IEEE 1516-2000 FDD, HLA "
                           "Evolved FOM modules) into one model and prints it, or checks them "
                           "against their standard. HLAstandardMIM.xml names the built-in MIM.",
                           ' ', "0.1");
        TCLAP::SwitchArg tree("", "tree", "Print the class tree and table counts (default).");
        TCLAP::SwitchArg json("", "json", "Print the whole model as one JSON document.");
        TCLAP::SwitchArg trace("", "trace", "Print every receiver call as a JSON line.");
        TCLAP::SwitchArg checkArg("", "check",
                                  "Validate each file against the embedded standard (DTD or "
                                  "DIF schema), print every error with its line; exit 0 when "
                                  "all are valid, 1 otherwise.");
        TCLAP::SwitchArg sortArg("", "sort",
                                 "Read HLA Evolved modules in dependency order, before the "
                                 "other files.");
        TCLAP::ValueArg<unsigned int> strict("", "strict",
                                             "Strict flags: 1 recoverable errors fail the read, "
                                             "2 required tables (HLA Evolved).",
                                             false, 0, "N");
        TCLAP::SwitchArg validate("", "validate",
                                  "Validate against the DTD or schema the file names.");
        TCLAP::SwitchArg defaults("", "default-switches",
                                  "Use the default switches, ignoring the files'.");
        TCLAP::UnlabeledMultiArg<std::string> names("FILE", "Object-model files, in order.",
                                                     true, "FILE");
        cmd.add(tree);
        cmd.add(json);
        cmd.add(trace);
        cmd.add(checkArg);
        cmd.add(sortArg);
        cmd.add(strict);
        cmd.add(validate);
        cmd.add(defaults);
        cmd.add(names);
        cmd.setExceptionHandling(false);
        cmd.parse(argc, argv);
        if (tree.getValue() + json.getValue() + trace.getValue() + checkArg.getValue() > 1)
            throw TCLAP::CmdLineParseException("choose one of --tree, --json, --trace and --check");
        if (json.getValue()) output = Output::Json;
        if (trace.getValue()) output = Output::Trace;
        checkOnly = checkArg.getValue();
        sort = sortArg.getValue();
        options.strict = strict.getValue();
        options.validate = validate.getValue();
        options.defaultSwitches = defaults.getValue();
        files = names.getValue();
    } catch (const TCLAP::ExitException& e) {
        return e.getExitStatus();
    } catch (const TCLAP::ArgException& e) {
        std::cerr << "pxs-fom: " << e.error() << "\n";
        return ZnFedReadFailed;
    }

    if (checkOnly) {
        bool allValid = true;
        for (const std::string& name : files) allValid = check::checkFile(name, std::cout) && allValid;
        std::cout.flush();
        return allValid ? 0 : 1;
    }
    if (sort) files = sortedFiles(files);

    ZnFom fom;
    std::unique_ptr<ZnFedTarget> tracer = makeTraceTarget(fom, std::cout);
    ZnFedTarget* target = output == Output::Trace ? tracer.get() : &fom;
    Readers readers(options);
    unsigned int worst = ZnFedReadSuccess;
    for (const std::string& name : files)
        worst = std::max<unsigned int>(worst, readOne(name, target, readers, options));

    if (output == Output::Tree) printModelTree(std::cout, fom);
    if (output == Output::Json) printModelJson(std::cout, fom);
    std::cout.flush();
    return static_cast<int>(worst);
}
