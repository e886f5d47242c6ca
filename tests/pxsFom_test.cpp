// pxsFom_test.cpp -- runs the built pxs-fom tool: the trace contract line by
// line, the JSON and tree outputs, and exit statuses as the worst read.

#include "fomTestSupport.h"

#include <sys/wait.h>

namespace {

using namespace fomtest;

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs pxs-fom with `args` (already quoted for the shell).
ToolRun runTool(const std::string& args) {
    std::string tool = std::string(PXS_TOOLS_DIR) + "/pxs-fom";
    TempDir dir;
    std::string out = dir.write("out", ""), err = dir.write("err", "");
    std::string command = tool + " " + args + " >" + out + " 2>" + err;
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
    EXPECT_EQ(old.status, 2);
    EXPECT_NE(old.err.find("not supported yet"), std::string::npos);
    EXPECT_EQ(runTool("--json --trace " + harbor).status, 2);
}

}  // namespace
