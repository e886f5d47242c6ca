// pxsFom_test.cpp -- runs the built pxs-fom tool: the trace contract line by
// line, the JSON and tree outputs, and exit statuses as the worst read.

#include "fomTestSupport.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>

#include <pxs/version.h>

namespace {

using namespace fomtest;

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs pxs-fom with `args` (already quoted for the shell), in the
// directory `cwd` when one is given.
ToolRun runTool(const std::string& args, const std::string& cwd = "") {
    std::string tool = std::string(PXS_TOOLS_DIR) + "/pxs-fom";
    TempDir dir;
    std::string out = dir.write("out", ""), err = dir.write("err", "");
    std::string command =
        (cwd.empty() ? "" : "cd " + cwd + " && ") + tool + " " + args + " >" + out + " 2>" + err;
    ToolRun run;
    int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = slurp(out);
    run.err = slurp(err);
    return run;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

class PxsFomTool : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ZnFilename((std::string(PXS_TOOLS_DIR) + "/pxs-fom").c_str()).exists())
            << "build the pxs-fom target first";
    }
    std::string harbor = dataPath("harbor.fdd");
};

TEST_F(PxsFomTool, TraceWritesOneJsonObjectPerCallInOrder) {
    ToolRun run = runTool("--trace --strict 1 --validate " + harbor);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> trace = lines(run.out);
    ASSERT_GT(trace.size(), 40u);
    EXPECT_EQ(trace[0], "{\"op\":\"setFomType\",\"args\":[2]}");
    EXPECT_EQ(trace[1], "{\"op\":\"addDimension\",\"args\":[\"Quay\",12,0,4,false,\"linear\"]}");
    EXPECT_EQ(trace[3],
              "{\"op\":\"addDimension\",\"args\":[\"Federate\",18446744073709551615,7,8,false,"
              "\"federateHandle\"]}");
    EXPECT_EQ(trace[4],
              "{\"op\":\"hasTransportation\",\"args\":[{\"name\":\"HLAreliable\",\"description\":"
              "\"Delivered in order\",\"reliable\":true,\"semantics\":\"\"}],\"ret\":false}");
    auto find = [&](const std::string& prefix) {
        for (const std::string& line : trace)
            if (line.compare(0, prefix.size(), prefix) == 0) return line;
        return std::string();
    };
    EXPECT_EQ(find("{\"op\":\"addObjectClass\""),
              "{\"op\":\"addObjectClass\",\"args\":[\"HLAobjectRoot\",null],\"ret\":true}");
    EXPECT_EQ(find("{\"op\":\"addAttribute\",\"args\":[\"HLAobjectRoot.Vessel\""),
              "{\"op\":\"addAttribute\",\"args\":[\"HLAobjectRoot.Vessel\",\"Position\",0,0,0,1,"
              "\"1 Hz\",2,\"Where the hull is\",null]}");
    EXPECT_EQ(find("{\"op\":\"addInteractionClass\""),
              "{\"op\":\"addInteractionClass\",\"args\":[\"HLAinteractionRoot\",null,1,0,null],"
              "\"ret\":true}");
    // Item sets come out sorted, whatever the pointer order.
    EXPECT_EQ(find("{\"op\":\"addVariantRecordDatatype\""),
              "{\"op\":\"addVariantRecordDatatype\",\"args\":[{\"name\":\"Cargo\",\"discriminant\":"
              "\"Kind\",\"dataType\":\"HullKind\",\"alternatives\":[{\"enumerator\":\"Barge\","
              "\"name\":\"Gravel\",\"dataType\":\"Meters\",\"semantics\":\"Heap height\"},"
              "{\"enumerator\":\"Tanker\",\"name\":\"Oil\",\"dataType\":\"Meters\",\"semantics\":"
              "\"\"}],\"encoding\":\"HLAvariantRecord\",\"semantics\":\"What is aboard\"}]}");
    EXPECT_EQ(find("{\"op\":\"switchValue\""),
              "{\"op\":\"switchValue\",\"args\":[\"autoProvide\"],\"ret\":true}");
    EXPECT_EQ(trace.back(),
              "{\"op\":\"addNote\",\"args\":[{\"name\":\"N1\",\"semantics\":\"Positions are in "
              "harbor grid units\"}]}");
}

TEST_F(PxsFomTool, TraceEscapesStrings) {
    TempDir dir;
    std::string path = dir.write(
        "q.fdd", fddDoc(basicTables() + "<notes><note name=\"n\" semantics=\"a&quot;b\\c&#9;\"/>"
                                        "</notes>"));
    ToolRun run = runTool("--trace " + path);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"semantics\":\"a\\\"b\\\\c\\t\""), std::string::npos) << run.out;
}

TEST_F(PxsFomTool, JsonAndTreeDescribeTheModel) {
    ToolRun json = runTool("--json " + harbor);
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out.compare(0, 13, "{\"fomType\":2,"), 0);
    EXPECT_NE(json.out.find("{\"name\":\"HLAobjectRoot.Vessel.Tug\",\"parent\":"
                            "\"HLAobjectRoot.Vessel\",\"sharing\":\"PublishSubscribe\","
                            "\"semantics\":\"\",\"attributes\":[{\"name\":\"Bollard\""),
              std::string::npos);
    // Member data types and where each definition stands come along.
    EXPECT_NE(json.out.find("{\"name\":\"Position\",\"dataType\":\"Coordinates\","),
              std::string::npos);
    EXPECT_NE(json.out.find("{\"element\":\"attribute HLAobjectRoot.Vessel.Position\",\"file\":\"" +
                            harbor + "\",\"line\":" +
                            std::to_string(lineOf(slurp(harbor), "name=\"Position\"")) + "}"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"table\":{\"attributeRelevanceAdvisory\":false,"), std::string::npos);
    ToolRun tree = runTool(harbor);
    ASSERT_EQ(tree.status, 0) << tree.err;
    EXPECT_NE(tree.out.find("  Vessel\n    attribute Position [HLAbestEffort, Receive] "
                            "dimensions Quay Tide\n"),
              std::string::npos)
        << tree.out;
    EXPECT_NE(tree.out.find("\nobject classes: 4\nattributes: 5\n"), std::string::npos);
    EXPECT_NE(tree.out.find("\ntransportations: 4\n"), std::string::npos);
}

TEST_F(PxsFomTool, ExitStatusIsTheWorstRead) {
    TempDir dir;
    std::string bad = dir.write("bad.fdd", "<objectModel>");
    std::string fed = dir.write("old.fed", "(FED)");
    ToolRun missing = runTool(harbor + " " + dir.path() + "/missing.fdd");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "pxs-fom: " + dir.path() + "/missing.fdd: no such file\n");
    ToolRun broken = runTool(dir.path() + "/missing.fdd " + bad + " " + harbor);
    EXPECT_EQ(broken.status, 2);
    EXPECT_NE(broken.err.find("pxs-fom: " + bad +
                              ": Bad FDD File. Could not find Document Root in FDD File.\n"),
              std::string::npos)
        << broken.err;
    EXPECT_NE(broken.out.find("object classes: 4"), std::string::npos);  // the good file still read
    ToolRun old = runTool(fed);
    EXPECT_EQ(old.status, 2);  // an HLA 1.3 file of the wrong shape
    // The library says nothing here: the tool says what failed.
    EXPECT_EQ(old.err, "pxs-fom: " + fed + ": cannot read HLA 1.3 FED file\n");
    EXPECT_EQ(old.out, "");
    EXPECT_EQ(runTool("--json --trace " + harbor).status, 2);
}

TEST_F(PxsFomTool, BuiltInMimNeedsNoFile) {
    TempDir empty;
    ScopedEnv config("RTI_CONFIG", nullptr);
    ToolRun run = runTool("--tree HLAstandardMIM.xml", empty.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("Object classes\nHLAobjectRoot\n", 0), 0u);
    EXPECT_NE(run.out.find("\n  HLAmanager\n    HLAfederate\n"), std::string::npos);
    EXPECT_NE(run.out.find("\nobject classes: 4\n"), std::string::npos);
    EXPECT_NE(run.out.find("\nmodules: 1\n"), std::string::npos);
}

// The trace of the built-in MIM is diffed by other programs, so it may only
// change on purpose. The size, line count and FNV-1a 64 hash below are those
// of the trace the released tool wrote (sha256 99816249...e73e3b of the same
// bytes); a reader change that moves one call, one switch or one character
// fails here, and whoever makes such a change deliberately updates all three
// together with the programs that compare the trace.
TEST_F(PxsFomTool, BuiltInMimTraceIsPinned) {
    TempDir empty;
    ScopedEnv config("RTI_CONFIG", nullptr);
    ToolRun run = runTool("--trace HLAstandardMIM.xml", empty.path());
    ASSERT_EQ(run.status, 0) << run.err;
    uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : run.out) {
        hash ^= c;
        hash *= 0x100000001b3ull;
    }
    EXPECT_EQ(run.out.size(), 84517u);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 401);
    EXPECT_EQ(hash, 0xaebe0592abe467d1ull);
}

// The 1.3 and 2000 files restate the roots with their own eras' MOM
// attributes, which the MIM's lists contradict: only a lenient merge takes
// all three.
TEST_F(PxsFomTool, AllThreeFormatsMergeIntoOneModel) {
    const std::string files = "HLAstandardMIM.xml " + dataPath("harborEvolved.xml") + " " +
                              dataPath("harbor.fed") + " " + harbor;
    EXPECT_EQ(runTool(files).status, 2);
    ToolRun run = runTool("-q --merge lenient " + files);
    EXPECT_EQ(run.status, 0) << run.err;
    // The HLA 1.3 and IEEE 1516-2000 classes extend the module's tree.
    EXPECT_NE(run.out.find("\n  Vessel\n"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("\nObjectRoot"), std::string::npos);
    EXPECT_NE(run.out.find("\n    Tug\n      attribute Bollard"), std::string::npos);
    EXPECT_NE(run.out.find("\nmodules: 2\n"), std::string::npos);
    EXPECT_NE(run.out.find("\nrouting spaces: 2\n"), std::string::npos);
}

TEST_F(PxsFomTool, SortReadsModulesAfterTheirDependencies) {
    std::string args = "--sort --trace " + dataPath("harborPilots.xml") + " " +
                       dataPath("harbor.fed") + " " + dataPath("harborCargo.xml") +
                       " HLAstandardMIM.xml " + dataPath("harborEvolved.xml");
    ToolRun run = runTool(args);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> order;
    for (const std::string& line : lines(run.out))
        if (line.find("\"op\":\"setModuleName\"") != std::string::npos ||
            line == "{\"op\":\"setFomType\",\"args\":[1]}")
            order.push_back(line.substr(line.find("\"args\"")));
    EXPECT_EQ(order, (std::vector<std::string>{
                         "\"args\":[\"Standard MOM and Initialization Module (MIM) for HLA IEEE "
                         "1516-2010\"]}",
                         "\"args\":[\"Harbor Operations\"]}", "\"args\":[\"Harbor Cargo\"]}",
                         "\"args\":[\"Harbor Pilots\"]}", "\"args\":[1]}"}));
}

TEST_F(PxsFomTool, SortReportsUnknownDependenciesAndCycles) {
    TempDir dir;
    auto module = [&](const std::string& name, const std::string& dependency) {
        return dir.write(name + ".xml",
                         "<objectModel xmlns=\"http://standards.ieee.org/IEEE1516-2010\">"
                         "<modelIdentification><name>" +
                             name +
                             "</name><reference><type>"
                             "Dependency</type><identification>" +
                             dependency + "</identification></reference></modelIdentification>" +
                             "<objects><objectClass><name>HLAobjectRoot</name><objectClass><name>" +
                             name + "</name></objectClass></objectClass></objects></objectModel>");
    };
    std::string a = module("A", "B"), b = module("B", "A"), c = module("C", "Nowhere");
    ToolRun run = runTool("--sort " + a + " " + b + " " + c);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("no module given for the dependency \"Nowhere\""), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("FOM module dependency cycle ignored: A -> B -> A"), std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("object classes: 4"), std::string::npos);
}

// --validate resolves the standard's names to the library's copies, and
// says so when a file names nothing it could be validated against.
TEST_F(PxsFomTool, ValidateUsesTheEmbeddedStandardAndWarnsWhenNothingIsNamed) {
    TempDir dir;
    std::string module = slurp(dataPath("harborEvolved.xml"));
    const std::string local = "../../libsrc/pxs/data/IEEE1516-DIF-2010.xsd";
    module.replace(module.find(local), local.size(),
                   "http://standards.ieee.org/downloads/1516/1516.2-2010/IEEE1516-DIF-2010.xsd");
    std::string web = dir.write("web.xml", module);
    ToolRun run = runTool("--validate --trace " + web);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, runTool("--trace " + web).out);

    std::string fdd = slurp(harbor);
    size_t doctype = fdd.find("<!DOCTYPE");
    std::string bare = dir.write("bare.fdd", fdd.substr(0, doctype) +
                                                 fdd.substr(fdd.find('>', doctype) + 1));
    std::string custom = dir.write(
        "custom.fdd", fdd.replace(fdd.find("../../libsrc/pxs/data/HLA.dtd"), 29, "custom.dtd"));
    run = runTool("--validate --tree " + bare + " " + custom);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(lines(run.err),
              (std::vector<std::string>{
                  "pxs-fom: " + bare + ": warning: no DOCTYPE names a DTD; nothing validated",
                  "pxs-fom: " + custom + ": warning: DTD \"custom.dtd\" not found (looked for " +
                      dir.file("custom.dtd") + "); nothing validated"}));
    EXPECT_EQ(runTool("-q --validate --tree " + bare).err, "");
}

TEST_F(PxsFomTool, CheckValidatesAgainstTheEmbeddedStandard) {
    TempDir dir;
    // Both name copies of the standard that do not exist here; the check
    // never looks at them.
    std::string fdd =
        dir.write("web.fdd",
                  "<?xml version=\"1.0\"?>\n<!DOCTYPE objectModel SYSTEM "
                  "\"http://example.invalid/HLA.dtd\">\n<objectModel name=\"W\" type=\"FOM\">\n"
                  "<objects><objectClass name=\"HLAobjectRoot\" sharing=\"Maybe\"/></objects>\n"
                  "<weird/>\n</objectModel>\n");
    std::string xml =
        dir.write("web.xml",
                  "<?xml version=\"1.0\"?>\n<objectModel "
                  "xmlns=\"http://standards.ieee.org/IEEE1516-2010\" "
                  "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:schemaLocation="
                  "\"http://standards.ieee.org/IEEE1516-2010 http://example.invalid/x.xsd\">\n"
                  "<objects><objectClass><name>HLAobjectRoot</name>\n<colour/>\n"
                  "</objectClass></objects>\n<bogus/>\n</objectModel>\n");
    std::string fed = dir.write("bad.fed", "(FED (Federation F)");
    // -q silences the library's warnings, never the complaints.
    ToolRun bad = runTool("-q --check " + fdd + " " + xml + " " + fed);
    EXPECT_EQ(bad.status, 1);
    // Complaints on standard error, in the form editors jump to; one
    // verdict a file on standard output.
    std::vector<std::string> err = lines(bad.err);
    ASSERT_EQ(err.size(), 6u) << bad.err;
    EXPECT_EQ(err[0].rfind(fdd + ":3: Element objectModel content does not follow the DTD", 0), 0u);
    EXPECT_EQ(err[1], fdd +
                          ":4: Value \"Maybe\" for attribute sharing of objectClass is not "
                          "among the enumerated set");
    EXPECT_EQ(err[2], fdd + ":5: No declaration for element weird");
    EXPECT_EQ(err[3].rfind(xml + ":4: Element '{http://standards.ieee.org/IEEE1516-2010}colour': "
                                 "This element is not expected.",
                           0),
              0u);
    EXPECT_EQ(err[4].rfind(xml + ":6: Element '{http://standards.ieee.org/IEEE1516-2010}bogus'", 0),
              0u);
    EXPECT_EQ(err[5], fed + ": Unexpected problem reading fed file");
    EXPECT_EQ(lines(bad.out),
              (std::vector<std::string>{fdd + ": invalid (IEEE 1516-2000 DTD)",
                                        xml + ": invalid (IEEE 1516-2010 DIF schema)",
                                        fed + ": invalid (HLA 1.3 FED)"}));

    TempDir empty;
    ToolRun good = runTool("--check HLAstandardMIM.xml " + harbor + " " +
                               dataPath("harborEvolved.xml") + " " + dataPath("harbor.fed"),
                           empty.path());
    EXPECT_EQ(good.status, 0) << good.out << good.err;
    EXPECT_EQ(lines(good.out).front(), "HLAstandardMIM.xml: valid (IEEE 1516-2010 DIF schema)");
    EXPECT_EQ(lines(good.out).size(), 4u);
    ToolRun broken = runTool("--check " + dir.write("cut.xml", "<objectModel><objects>") + " " +
                             dir.path() + "/none.xml");
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.err.find("cut.xml:1: "), std::string::npos) << broken.err;
    EXPECT_NE(broken.err.find("none.xml: no such file\n"), std::string::npos) << broken.err;
    // Neither the name nor the content tells a format: no standard is claimed.
    std::string unknown = dir.write("readme", "hello\n");
    ToolRun neither = runTool("--check " + unknown);
    EXPECT_EQ(neither.status, 1);
    EXPECT_EQ(neither.out, unknown + ": invalid (unknown format)\n");
    EXPECT_EQ(neither.err.rfind(unknown + ": cannot tell the format", 0), 0u) << neither.err;
}

// Each input the readers must never see, with the reason the system gives.
// Nothing reaches standard output, and the readers' own complaints about a
// file they could not read (which a directory used to produce) never appear.
TEST_F(PxsFomTool, RefusesWhatIsNotARegularFileWithTheSystemsReason) {
    TempDir dir;
    std::string fifo = dir.file("pipe.fdd");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        {dir.path(), "is a directory"},
        {fifo, "not a regular file"},
        {"/dev/null", "not a regular file"},
        {dir.file("none.fdd"), "no such file"},
    };
    for (const auto& [path, reason] : cases) {
        for (const char* mode : {"", "--json ", "--trace ", "--dot "}) {
            ToolRun run = runTool(mode + path);
            EXPECT_EQ(run.status, 1) << mode << path;
            EXPECT_EQ(run.err, "pxs-fom: " + path + ": " + reason + "\n") << mode << path;
            EXPECT_EQ(run.out, "") << mode << path;
        }
    }
}

TEST_F(PxsFomTool, FailedReadLeavesNothingOnStandardOutput) {
    TempDir dir;
    // The read fails half-way, after the receiver has had calls: those
    // calls must not show up in the trace either.
    std::string fdd = dir.write(
        "order.fdd", fddDoc("<objects><objectClass name=\"HLAobjectRoot\"><attribute name=\"A\" "
                            "order=\"Sometimes\"/></objectClass></objects>\n"));
    for (const char* mode : {"", "--json ", "--trace ", "--dot "}) {
        ToolRun run = runTool(std::string("--strict 1 ") + mode + fdd);
        EXPECT_EQ(run.status, 2) << mode;
        EXPECT_EQ(run.out, "") << mode;
        EXPECT_EQ(
            run.err.rfind("pxs-fom: " + fdd + ": Unknown delivery order found in FDD file.", 0), 0u)
            << run.err;
    }
    // Only the failed file is dropped from a trace of several.
    ToolRun both = runTool("--strict 1 --trace " + fdd + " " + harbor);
    EXPECT_EQ(both.status, 2);
    EXPECT_EQ(both.out, runTool("--trace " + harbor).out);
}

TEST_F(PxsFomTool, ReasonWithAnXmlLineNamesTheLineAfterTheFile) {
    TempDir dir;
    std::string xml =
        dir.write("share.xml",
                  "<?xml version=\"1.0\"?>\n<objectModel "
                  "xmlns=\"http://standards.ieee.org/IEEE1516-2010\">\n<objects>\n"
                  "<objectClass><name>HLAobjectRoot</name>\n<sharing>Maybe</sharing>\n"
                  "</objectClass></objects></objectModel>\n");
    ToolRun run = runTool("--strict 1 " + xml);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "pxs-fom: " + xml +
                           ":5: Invalid sharing Maybe for object class "
                           "HLAobjectRoot at XML Node sharing near line 5\n");
}

// An extension that says nothing leaves the format to the content.
TEST_F(PxsFomTool, FormatComesFromTheContentWhenTheExtensionSaysNothing) {
    TempDir dir;
    auto firstCall = [&](const std::string& path) {
        ToolRun run = runTool("--trace " + path);
        EXPECT_EQ(run.status, 0) << path << ": " << run.err;
        return lines(run.out).empty() ? std::string() : lines(run.out).front();
    };
    std::string evolved = dir.write("fom.txt", slurp(dataPath("harborEvolved.xml")));
    std::string fdd = dir.write("model", slurp(harbor));
    std::string fed = dir.write("routing", ";; spaces first\n" + slurp(dataPath("harbor.fed")));
    EXPECT_EQ(firstCall(evolved), "{\"op\":\"setFomType\",\"args\":[3]}");
    EXPECT_EQ(firstCall(fdd), "{\"op\":\"setFomType\",\"args\":[2]}");
    EXPECT_EQ(firstCall(fed), "{\"op\":\"setFomType\",\"args\":[1]}");
    // Read as the named format would be, call for call.
    EXPECT_EQ(runTool("--trace " + evolved).out,
              runTool("--trace " + dataPath("harborEvolved.xml")).out);
    std::string other = dir.write("notes", "<html><body/></html>");
    ToolRun run = runTool(other);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("pxs-fom: " + other + ": cannot tell the format", 0), 0u) << run.err;
}

TEST_F(PxsFomTool, DashReadsStandardInput) {
    ToolRun file = runTool("--trace " + harbor);
    ToolRun piped = runTool("--trace - < " + harbor);
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, file.out);
    // --sort opens each file more than once; standard input still gives
    // its bytes every time.
    ToolRun sorted =
        runTool("--sort --trace HLAstandardMIM.xml - < " + dataPath("harborEvolved.xml"));
    EXPECT_EQ(sorted.status, 0) << sorted.err;
    EXPECT_NE(sorted.out.find("\"Harbor Operations\""), std::string::npos);
    EXPECT_NE(sorted.err.find("pxs-fom: order: HLAstandardMIM.xml <stdin>\n"), std::string::npos)
        << sorted.err;
    ToolRun empty = runTool("- < /dev/null");
    EXPECT_EQ(empty.status, 2);
    EXPECT_EQ(empty.out, "");
    EXPECT_EQ(empty.err.rfind("pxs-fom: <stdin>: cannot tell the format", 0), 0u) << empty.err;
    ToolRun checked = runTool("--check - < " + harbor);
    EXPECT_EQ(checked.status, 0) << checked.err;
    EXPECT_EQ(checked.out, "<stdin>: valid (IEEE 1516-2000 DTD)\n");
}

TEST_F(PxsFomTool, UsageErrorsAreOneLineAndExitTwo) {
    const std::pair<std::string, std::string> cases[] = {
        {"--bogus " + harbor, "pxs-fom: unknown option '--bogus' (try 'pxs-fom --help')\n"},
        {"-x " + harbor, "pxs-fom: unknown option '-x' (try 'pxs-fom --help')\n"},
        {"--strict=1 " + harbor, "pxs-fom: unknown option '--strict=1' (try 'pxs-fom --help')\n"},
        {"--dot-attributes " + harbor,
         "pxs-fom: --dot-attributes goes with --dot (try 'pxs-fom --help')\n"},
        {"--json --dot " + harbor,
         "pxs-fom: choose one of --tree, --json, --trace, --dot and --check (try 'pxs-fom "
         "--help')\n"},
    };
    for (const auto& [args, message] : cases) {
        ToolRun run = runTool(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.err, message) << args;
        EXPECT_EQ(run.out, "") << args;
    }
    for (const char* args : {"", "--strict", "--strict many x.fdd", "-v"}) {
        ToolRun run = runTool(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(lines(run.err).size(), 1u) << args << ": " << run.err;
    }
    // A value that looks like an option is still a value, and after "--"
    // everything is a file.
    EXPECT_EQ(runTool("-v 1 " + harbor).status, 0);
    EXPECT_EQ(runTool("-- --bogus").err, "pxs-fom: --bogus: no such file\n");
    ToolRun version = runTool("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("pxs-fom (libpxs) ") + PXS_VERSION_STRING + "\n");
    EXPECT_EQ(runTool("--help").status, 0);
}

TEST_F(PxsFomTool, QuietAndVerboseSetTheNotificationLevel) {
    TempDir dir;
    std::string odd = dir.write(
        "odd.fdd", fddDoc("<objects><objectClass name=\"HLAobjectRoot\"><attribute name=\"A\" "
                          "transportation=\"Carrier pigeon\" order=\"Receive\"/></objectClass>"
                          "</objects>\n"));
    const std::string warning = "Invalid TransportType: Carrier pigeon";
    EXPECT_NE(runTool(odd).err.find(warning), std::string::npos);
    for (const char* quiet : {"-q ", "--quiet ", "-v 0 "}) {
        ToolRun run = runTool(quiet + odd);
        EXPECT_EQ(run.status, 0) << quiet;
        EXPECT_EQ(run.err, "") << quiet;
        EXPECT_NE(run.out.find("object classes: 1"), std::string::npos) << quiet;
    }
    // Progress appears only above level 2.
    EXPECT_EQ(runTool("-v 2 " + harbor).err.find("Reading"), std::string::npos);
    // The library's progress goes to standard error with everything else,
    // so the document on standard output stays whole.
    ToolRun loud = runTool("-v 5 --json " + harbor);
    EXPECT_NE(loud.err.find("Found XML format FDD file."), std::string::npos);
    EXPECT_EQ(loud.out, runTool("--json " + harbor).out);
}

TEST_F(PxsFomTool, SortReportsTheOrderItChose) {
    std::string pilots = dataPath("harborPilots.xml"), cargo = dataPath("harborCargo.xml"),
                evolved = dataPath("harborEvolved.xml"), fed = dataPath("harbor.fed");
    ToolRun run =
        runTool("--sort --merge lenient " + pilots + " " + fed + " " + cargo +
                " HLAstandardMIM.xml " + evolved);
    EXPECT_EQ(run.status, 0) << run.err;
    std::string order;
    for (const std::string& line : lines(run.err))
        if (line.rfind("pxs-fom: order:", 0) == 0) order += line + "\n";
    EXPECT_EQ(order, "pxs-fom: order: HLAstandardMIM.xml " + evolved + " " + cargo + " " + pilots +
                         " " + fed + "\n");
}

// The JSON document names codes as the files do; the numbers below are the
// ones the trace of the same file shows for the Position attribute
// (0,0,0,1,"1 Hz",2), read through the vocabulary of the readers.
TEST_F(PxsFomTool, JsonNamesTheCodes) {
    ToolRun trace = runTool("--trace " + harbor);
    ASSERT_NE(trace.out.find("\"Position\",0,0,0,1,\"1 Hz\",2,"), std::string::npos);
    ToolRun json = runTool("--json " + harbor);
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.out.find("{\"name\":\"Position\",\"dataType\":\"Coordinates\","
                            "\"transport\":\"HLAbestEffort\",\"order\":"
                            "\"Receive\",\"sharing\":\"PublishSubscribe\",\"updateType\":"
                            "\"Periodic\",\"updateCondition\":\"1 Hz\",\"ownership\":"
                            "\"DivestAcquire\","),
              std::string::npos)
        << json.out;
    EXPECT_EQ(json.out.find("\"transport\":0"), std::string::npos);
    EXPECT_EQ(json.out.find("\"transport\":-1"), std::string::npos);
    // A transportation a module declares is named as the tree names it.
    ToolRun evolved = runTool("--json " + dataPath("harborEvolved.xml"));
    ToolRun tree = runTool(dataPath("harborEvolved.xml"));
    for (const std::string& line : lines(tree.out)) {
        size_t open = line.find(" ["), comma = line.find(", ", open);
        if (line.find("attribute ") == std::string::npos || open == std::string::npos) continue;
        std::string transport = line.substr(open + 2, comma - open - 2);
        if (transport == "none") transport = "none";
        EXPECT_NE(evolved.out.find("\"transport\":\"" + transport + "\""), std::string::npos)
            << transport;
    }
}

// Every word of the vocabulary, written in a file, comes back out of
// --json as written: a row out of place in a name table shows here.
TEST_F(PxsFomTool, JsonNamesRoundTripTheFilesWords) {
    struct Row {
        const char* sharing;
        const char* updateType;
        const char* ownership;
    };
    const Row rows[] = {{"Publish", "Static", "Divest"},
                        {"Subscribe", "Periodic", "Acquire"},
                        {"Neither", "Conditional", "DivestAcquire"},
                        {"PublishSubscribe", "NA", "NoTransfer"}};
    std::string attributes;
    for (size_t i = 0; i < std::size(rows); ++i)
        attributes += "<attribute name=\"A" + std::to_string(i) +
                      "\" order=\"TimeStamp\" "
                      "transportation=\"HLAreliable\" sharing=\"" +
                      rows[i].sharing + "\" updateType=\"" + rows[i].updateType +
                      "\" ownership=\"" + rows[i].ownership + "\"/>";
    TempDir dir;
    std::string fdd =
        dir.write("words.fdd", fddDoc("<objects><objectClass name=\"HLAobjectRoot\">" + attributes +
                                      "</objectClass></objects>\n"));
    ToolRun run = runTool("--json " + fdd);
    ASSERT_EQ(run.status, 0) << run.err;
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_NE(
            run.out.find("{\"name\":\"A" + std::to_string(i) +
                         "\",\"dataType\":null,\"transport\":\"HLAreliable\",\"order\":\"TimeStamp\","
                         "\"sharing\":\"" +
                         rows[i].sharing + "\",\"updateType\":\"" + rows[i].updateType +
                         "\",\"updateCondition\":\"\",\"ownership\":\"" + rows[i].ownership + "\""),
            std::string::npos)
            << rows[i].sharing << "\n"
            << run.out;
}

TEST_F(PxsFomTool, DotDrawsBothHierarchiesAsClusters) {
    ToolRun dot = runTool("--dot " + harbor);
    ASSERT_EQ(dot.status, 0) << dot.err;
    EXPECT_EQ(dot.out.rfind("digraph fom {\n", 0), 0u);
    EXPECT_EQ(dot.out.substr(dot.out.size() - 2), "}\n");
    size_t objects = dot.out.find("subgraph cluster_objects {");
    size_t interactions = dot.out.find("subgraph cluster_interactions {");
    ASSERT_NE(objects, std::string::npos);
    ASSERT_NE(interactions, std::string::npos);
    std::string objectPart = dot.out.substr(objects, interactions - objects);
    auto count = [](const std::string& text, const std::string& what) {
        size_t n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    };
    // One node a class (the tree counts 4 object classes), an edge for
    // every class but the root.
    EXPECT_EQ(count(objectPart, "[label="), 4u);
    EXPECT_EQ(count(dot.out, "\"o:HLAobjectRoot.Vessel\" -> \"o:HLAobjectRoot.Vessel.Tug\";"), 1u);
    EXPECT_EQ(count(dot.out, " -> \"o:"), 3u);
    EXPECT_EQ(dot.out.find("Position"), std::string::npos);
    ToolRun members = runTool("--dot --dot-attributes " + harbor);
    EXPECT_NE(members.out.find("[label=\"Vessel\\l  Position\\l"), std::string::npos)
        << members.out;

    TempDir dir;
    std::string odd = dir.write(
        "odd.fdd", fddDoc("<objects><objectClass name=\"HLAobjectRoot\"><objectClass "
                          "name=\"Say &quot;hi&quot;\\now\"/></objectClass></objects>\n"));
    ToolRun escaped = runTool("--dot " + odd);
    EXPECT_NE(escaped.out.find("\"o:HLAobjectRoot.Say \\\"hi\\\"\\\\now\" [label=\"Say "
                               "\\\"hi\\\"\\\\now\"];"),
              std::string::npos)
        << escaped.out;
}

}  // namespace

namespace {

// The counts of --tree that every form carries: classes, members and data
// types. What a form lacks (routing spaces, 2000's update rates and user
// transportations) the writer's own tests follow.
std::string carriedCounts(const std::string& out) {
    static const char* const kCarried[] = {
        "object classes:", "attributes:", "interaction classes:", "parameters:",
        "dimensions:", "basic data representations:", "simple data types:",
        "array data types:", "enumerated data types:", "fixed record data types:",
        "variant record data types:"};
    std::string counts;
    for (const std::string& line : lines(out))
        for (const char* name : kCarried)
            if (line.rfind(name, 0) == 0) counts += line + "\n";
    return counts;
}

}  // namespace

// --output converts in one command: an HLA 1.3 file, or several modules
// merged, come out as one document of either XML form that passes the
// standard's check and reads back with the same classes, members and types.
TEST_F(PxsFomTool, OutputWritesTheModelInEitherFormAndItReadsBack) {
    TempDir dir;
    const std::string fed = dataPath("harbor.fed");
    const std::string modules = "HLAstandardMIM.xml " + dataPath("harborCargo.xml") + " " +
                                dataPath("harborPilots.xml") + " " + dataPath("harborEvolved.xml");
    for (const std::string ext : {"xml", "fdd"}) {
        for (const std::string& input : {fed, modules}) {
            SCOPED_TRACE(ext + " from " + input);
            std::string out = dir.file("model." + ext);
            ToolRun written = runTool("-q --output " + out + " " + input);
            ASSERT_EQ(written.status, 0) << written.err;
            EXPECT_EQ(written.out, "");
            ToolRun checked = runTool("--check " + out);
            EXPECT_EQ(checked.status, 0) << checked.out << checked.err;
            std::string back = carriedCounts(runTool("-q " + out).out);
            std::string original = carriedCounts(runTool("-q " + input).out);
            EXPECT_FALSE(original.empty());
            EXPECT_EQ(back, original);
        }
    }
    EXPECT_EQ(runTool("--output " + dir.file("model.txt") + " " + fed).status, 2);
    EXPECT_EQ(runTool("--output " + dir.file("m.xml") + " --tree " + fed).status, 2);
    ToolRun piped = runTool("-q --output - --output-format 2000 " + fed);
    EXPECT_EQ(piped.status, 0);
    EXPECT_NE(piped.out.find("<!DOCTYPE objectModel SYSTEM \"HLA.dtd\">"), std::string::npos);
}

// Modules merge by rule: the sample modules agree, and a copy of one that
// gives the update rate Slow another rate is refused where it stands, with
// nothing printed; --merge lenient keeps the first rate and warns. The
// trace shows the reads unmerged, as it always has.
TEST_F(PxsFomTool, MergeReportsConflictsWhereBothDefinitionsStand) {
    const std::string cargo = dataPath("harborCargo.xml"), evolved = dataPath("harborEvolved.xml");
    EXPECT_EQ(runTool("HLAstandardMIM.xml " + cargo + " " + evolved).status, 0);

    TempDir dir;
    std::string text = slurp(cargo);
    const std::string rate = "<rate>0.5</rate>";
    ASSERT_NE(text.find(rate), std::string::npos);
    text.replace(text.find(rate), rate.size(), "<rate>0.25</rate>");
    const std::string slower = dir.write("slower.xml", text);
    const std::string files = "HLAstandardMIM.xml " + slower + " " + evolved;
    // The rate element's own line: the one before its name.
    const int evolvedLine = lineOf(slurp(evolved), "<name>Slow</name>") - 1;
    const int slowerLine = lineOf(text, "<name>Slow</name>") - 1;

    ToolRun strict = runTool(files);
    EXPECT_EQ(strict.status, 2);
    EXPECT_EQ(strict.out, "");
    EXPECT_NE(strict.err.find(evolved + ":" + std::to_string(evolvedLine) +
                              ": error: updateRate Slow has rate 0.500000 where the first "
                              "definition has 0.250000 (the other definition: " +
                              slower + ":" + std::to_string(slowerLine) + ")"),
              std::string::npos)
        << strict.err;
    // The conflict is said once, not again in the reader's words.
    EXPECT_EQ(strict.err.find("pxs-fom: " + evolved), std::string::npos) << strict.err;
    EXPECT_EQ(runTool("--merge strict " + files).err, strict.err);
    EXPECT_EQ(runTool("-q --output " + dir.file("out.xml") + " " + files).status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.xml")));

    ToolRun lenient = runTool("--merge lenient --json " + files);
    EXPECT_EQ(lenient.status, 0) << lenient.err;
    EXPECT_NE(lenient.err.find(evolved + ":" + std::to_string(evolvedLine) +
                               ": warning: updateRate Slow"),
              std::string::npos)
        << lenient.err;
    EXPECT_NE(lenient.out.find("{\"name\":\"Slow\",\"rate\":0.25,"), std::string::npos);
    EXPECT_EQ(runTool("-q --merge lenient --json " + files).err, "");

    ToolRun trace = runTool("--trace " + files);
    EXPECT_EQ(trace.status, 0) << trace.err;
    EXPECT_NE(trace.out.find("\"op\":\"addUpdateRate\""), std::string::npos);

    // A module whose attribute names a data type no module defines.
    std::string module = slurp(evolved);
    const std::string named = "<dataType>Coordinates</dataType>";
    module.replace(module.find(named), named.size(), "<dataType>NoSuchType</dataType>");
    const std::string dangling = dir.write("dangling.xml", module);
    EXPECT_EQ(runTool("-q --complete HLAstandardMIM.xml " + evolved).status, 0);
    ToolRun complete = runTool("--complete HLAstandardMIM.xml " + dangling);
    EXPECT_EQ(complete.status, 2);
    EXPECT_NE(complete.err.find(dangling + ":27: error: attribute HLAobjectRoot.Vessel.Position "
                                           "data type NoSuchType is not defined"),
              std::string::npos)
        << complete.err;
    EXPECT_EQ(runTool("--merge sometimes " + files).status, 2);
    EXPECT_EQ(runTool("--trace --merge strict " + files).status, 2);

    // Start tags spread over lines are found where they begin.
    const std::string spreadCargo = spreadStartTags(text);
    const std::string spreadEvolved = spreadStartTags(slurp(evolved));
    const std::string cargoCopy = dir.write("cargo.xml", spreadCargo);
    const std::string evolvedCopy = dir.write("evolved.xml", spreadEvolved);
    ToolRun spread = runTool("HLAstandardMIM.xml " + cargoCopy + " " + evolvedCopy);
    EXPECT_EQ(spread.status, 2);
    const std::string slow = ">Slow</name>";
    EXPECT_NE(spread.err.find(evolvedCopy + ":" +
                              std::to_string(tagStartLine(spreadEvolved, "updateRate", slow)) +
                              ": error: updateRate Slow has rate 0.500000 where the first "
                              "definition has 0.250000 (the other definition: " +
                              cargoCopy + ":" +
                              std::to_string(tagStartLine(spreadCargo, "updateRate", slow)) + ")"),
              std::string::npos)
        << spread.err;
}
