// xmlFedReader_test.cpp -- the thin IEEE 1516-2000 reader: checking without
// a target, delivering classes as written, switches straight to the setters,
// the five required tables, and openFile's lookup and checks.

#include "fomTestSupport.h"

namespace {

using namespace fomtest;

class ThinReader : public ::testing::Test {
protected:
    Quiet quiet;
    ZnXmlFedReader reader;
    RecordingFom fom;
};

TEST_F(ThinReader, ChecksAValidFileWithoutATarget) {
    EXPECT_EQ(reader.readFed(dataPath("harbor.fdd").c_str(), nullptr, 1, true, false),
              ZnFedReadSuccess)
        << reader.lastError();
    EXPECT_EQ(reader.takeCurrFddData(), nullptr);  // the bytes were freed after the read
}

TEST_F(ThinReader, DeliversClassesAsWrittenAndNoRecords) {
    fom.refuse = {"HLAobjectRoot"};
    ASSERT_EQ(reader.readFed(dataPath("harbor.fdd").c_str(), &fom, 0, false, false),
              ZnFedReadSuccess);
    EXPECT_EQ(fom.indexOf("setFomType"), -1);
    // The refused root is neither retried nor does it stop the walk.
    EXPECT_EQ(fom.count("addObjectClass ObjectRoot"), 0);
    EXPECT_NE(fom.indexOf("addObjectClass HLAobjectRoot.Vessel.Tug HLAobjectRoot.Vessel"), -1);
    EXPECT_NE(fom.indexOf("addSpaceAttribute HLAobjectRoot.Vessel Position 0 0 (null)"), -1);
    EXPECT_EQ(fom.indexOf("addAttribute "), -1);
    EXPECT_NE(fom.indexOf("addParameter HLAinteractionRoot.Berth Slot"), -1);
    EXPECT_EQ(fom.count("addDimension"), 3);
    for (const char* record : {"addTransportation", "addNote", "addTime", "addSimpleDatatype",
                               "addUserSuppliedTag", "addSynchronizationPoint", "setSwitch"})
        EXPECT_EQ(fom.indexOf(record), -1) << record;
}

TEST_F(ThinReader, SwitchesGoStraightToTheSetters) {
    std::string text = fddDoc(basicTables() +
                              "<switches serviceReporting=\"Enabled\" autoProvide=\"Yes\" "
                              "conveyProducingFederate=\"Enabled\"/>");
    ASSERT_EQ(readText(reader, text, &fom, 1), ZnFedReadSuccess) << reader.lastError();
    // Fixed order, whatever the document's; a value other than Enabled is off.
    EXPECT_LT(fom.indexOf("setAutoProvide 0"), fom.indexOf("setConveyProducingFederate 1"));
    EXPECT_LT(fom.indexOf("setConveyProducingFederate 1"), fom.indexOf("setServiceReporting 1"));
    RecordingFom defaults;
    ASSERT_EQ(readText(reader, text, &defaults, 1, false, true), ZnFedReadSuccess);
    EXPECT_EQ(defaults.calls.at(defaults.indexOf("setAutoProvide")),
              std::string("setAutoProvide ") + (ZnFedTarget::defaultAutoProvide() ? "1" : "0"));
    EXPECT_EQ(defaults.count("setServiceReporting"), 1);
}

// The five basic tables, the document type and class trees: one read each.
TEST_F(ThinReader, SmallDocumentsGiveTheirStatusAndMessage) {
    const std::string noSwitches = fddDoc(basicTables() + "<notes><note name=\"n\"/></notes>");
    const std::string noType = fddDoc(basicTables() + "<switches/>");
    expectReads(reader, {
        {noSwitches, 0, ZnFedReadSuccess, "Missing or invalid switches table"},
        {noSwitches, 1, ZnFedReadFailed, kAnyError},
        {fddDoc("<objects><objectClass name=\"HLAobjectRoot\"/></objects><switches/>"), 0,
         ZnFedReadSuccess, "Missing or invalid transportations table"},
        {noType, 1, ZnFedReadFailed, "", {}, true},  // a missing document type has no message
        {noType, 0, ZnFedReadSuccess, kAnyError, {}, true},
        {fddDoc("<objects><objectClass name=\"HLAobjectRoot\"><attribute order=\"Receive\"/>"
                "</objectClass></objects>"),
         0, ZnFedReadFailed, "Attribute with no name found in FDD file.\n"},
    });
    EXPECT_EQ(reader.processFed(nullptr), ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "Could not process FDD file. No root node.");
}

TEST_F(ThinReader, RecordTablesAreCheckedOnRequest) {
    std::string text = fddDoc("<notes>\n<note name=\"n\" colour=\"red\"/>\n</notes>");
    XmlDocPtr doc(xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr,
                                XML_PARSE_NOBLANKS));
    reader.setStrictChecking(1);
    EXPECT_EQ(reader.parseNotesTree(xmlDocGetRootElement(doc.get())->children), ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(),
              "Unexpected attribute in a Note Tag for FDD file.\n\tAttribute = colour at XML Node "
              "note near line 4");
}

TEST_F(ThinReader, OpenFileLooksThroughRtiConfig) {
    xmlDoc* doc = nullptr;
    {
        ScopedEnv env("RTI_CONFIG", nullptr);
        EXPECT_EQ(reader.openFile("nowhere_model.fdd", &doc), ZnFedReadNotOpened);
        EXPECT_EQ(reader.lastError(),
                  "No such FDD file: nowhere_model.fdd. RTI_CONFIG environment variable unbound.");
    }
    ScopedEnv env("RTI_CONFIG", PXS_TEST_DATA_DIR);
    EXPECT_EQ(reader.openFile("nowhere_model.fdd", &doc), ZnFedReadNotOpened);
    EXPECT_EQ(reader.lastError(), "No such FDD file: nowhere_model.fdd");
    reader.setStrictChecking(1);
    ASSERT_EQ(reader.openFile("harbor.fdd", &doc), ZnFedReadSuccess) << reader.lastError();
    ASSERT_NE(doc, nullptr);
    XmlDocPtr owned(doc);
    EXPECT_EQ(reader.openFile("harbor.fdd", &doc), ZnFedReadFailed);  // *doc must be null
}

TEST_F(ThinReader, OpenFileReportsParseAndRootProblems) {
    TempDir dir;
    std::string broken = dir.write("broken.fdd", "<objectModel><objects>");
    std::string wrongRoot = dir.write("root.fdd", "<model><x/></model>");
    xmlDoc* doc = nullptr;
    EXPECT_EQ(reader.openFile(broken.c_str(), &doc), ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "Error parsing FDD file: " + broken);
    EXPECT_EQ(reader.openFile(wrongRoot.c_str(), &doc), ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "Root node is not Object Model.\n\tRoot Node Name: model");
    EXPECT_EQ(doc, nullptr);
}

}  // namespace
