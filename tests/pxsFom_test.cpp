// pxsFom_test.cpp -- runs the built pxs-fom tool: the trace contract line by
// line, the JSON and tree outputs, and exit statuses as the worst read.

#include "fomTestSupport.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdint>

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
    std::string command = (cwd.empty() ? "" : "cd " + cwd + " && ") + tool + " " + args + " >" +
                          out + " 2>" + err;
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
                            "\"HLAobjectRoot.Vessel\",\"attributes\":[{\"name\":\"Bollard\""),
              std::string::npos);
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
    EXPECT_NE(missing.err.find("No such FED file: " + dir.path() + "/missing.fdd"),
              std::string::npos);
    ToolRun broken = runTool(dir.path() + "/missing.fdd " + bad + " " + harbor);
    EXPECT_EQ(broken.status, 2);
    EXPECT_NE(broken.err.find("pxs-fom: " + bad +
                              ": Bad FDD File. Could not find Document Root in FDD File.\n"),
              std::string::npos)
        << broken.err;
    EXPECT_NE(broken.out.find("object classes: 4"), std::string::npos);  // the good file still read
    ToolRun old = runTool(fed);
    EXPECT_EQ(old.status, 2);  // an HLA 1.3 file of the wrong shape
    EXPECT_NE(old.err.find("pxs-fom: " + fed + ": "), std::string::npos);
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

TEST_F(PxsFomTool, AllThreeFormatsMergeIntoOneModel) {
    ToolRun run = runTool("HLAstandardMIM.xml " + dataPath("harborEvolved.xml") + " " +
                          dataPath("harbor.fed") + " " + harbor);
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
                         "<modelIdentification><name>" + name + "</name><reference><type>"
                         "Dependency</type><identification>" + dependency +
                         "</identification></reference></modelIdentification>" +
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

TEST_F(PxsFomTool, CheckValidatesAgainstTheEmbeddedStandard) {
    TempDir dir;
    // Both name copies of the standard that do not exist here; the check
    // never looks at them.
    std::string fdd = dir.write(
        "web.fdd", "<?xml version=\"1.0\"?>\n<!DOCTYPE objectModel SYSTEM "
                   "\"http://example.invalid/HLA.dtd\">\n<objectModel name=\"W\" type=\"FOM\">\n"
                   "<objects><objectClass name=\"HLAobjectRoot\" sharing=\"Maybe\"/></objects>\n"
                   "<weird/>\n</objectModel>\n");
    std::string xml = dir.write(
        "web.xml", "<?xml version=\"1.0\"?>\n<objectModel "
                   "xmlns=\"http://standards.ieee.org/IEEE1516-2010\" "
                   "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:schemaLocation="
                   "\"http://standards.ieee.org/IEEE1516-2010 http://example.invalid/x.xsd\">\n"
                   "<objects><objectClass><name>HLAobjectRoot</name>\n<colour/>\n"
                   "</objectClass></objects>\n<bogus/>\n</objectModel>\n");
    std::string fed = dir.write("bad.fed", "(FED (Federation F)");
    ToolRun bad = runTool("--check " + fdd + " " + xml + " " + fed);
    EXPECT_EQ(bad.status, 1);
    std::vector<std::string> out = lines(bad.out);
    ASSERT_EQ(out.size(), 9u) << bad.out;
    EXPECT_EQ(out[0].rfind(fdd + ":3: Element objectModel content does not follow the DTD", 0), 0u);
    EXPECT_EQ(out[1], fdd + ":4: Value \"Maybe\" for attribute sharing of objectClass is not "
                            "among the enumerated set");
    EXPECT_EQ(out[2], fdd + ":5: No declaration for element weird");
    EXPECT_EQ(out[3], fdd + ": invalid (IEEE 1516-2000 DTD)");
    EXPECT_EQ(out[4].rfind(xml + ":4: Element '{http://standards.ieee.org/IEEE1516-2010}colour': "
                                 "This element is not expected.",
                           0),
              0u);
    EXPECT_EQ(out[5].rfind(xml + ":6: Element '{http://standards.ieee.org/IEEE1516-2010}bogus'",
                           0),
              0u);
    EXPECT_EQ(out[6], xml + ": invalid (IEEE 1516-2010 DIF schema)");
    EXPECT_EQ(out[7], fed + ": Unexpected problem reading fed file");
    EXPECT_EQ(out[8], fed + ": invalid (HLA 1.3 FED)");

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
    EXPECT_NE(broken.out.find("cut.xml:1: "), std::string::npos) << broken.out;
    EXPECT_NE(broken.out.find("none.xml: No such FED file\n"), std::string::npos);
}

}  // namespace
