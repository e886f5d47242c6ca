// fedReader1516_test.cpp -- the IEEE 1516-2000 reader: delivery order and
// values, DTD checks, missing and unknown tables, root replacement against a
// target that holds an HLA 1.3 model, dimensions, switches, strictness, and
// files that are broken, deep, hostile or refused halfway.

#include "fomTestSupport.h"

#include <cstring>

namespace {

using namespace fomtest;

class Read1516 : public ::testing::Test {
protected:
    Quiet quiet;
    ZnFedReader1516 reader;
    RecordingFom fom;

    ZnFedReadStatus read(const std::string& text, unsigned int strict = 0, bool validate = false,
                         bool defaults = false) {
        return readText(reader, text, &fom, strict, validate, defaults);
    }
    ZnFedReadStatus readHarbor(unsigned int strict = 0, bool validate = true) {
        return reader.readFed(dataPath("harbor.fdd").c_str(), &fom, strict, validate, false);
    }
};

TEST_F(Read1516, HarborIsDeliveredInFileOrderWithItsValues) {
    ASSERT_EQ(readHarbor(1, true), ZnFedReadSuccess) << reader.lastError();
    // Format first, then dimensions and transportations, then the tables in
    // document order, classes before their subclasses.
    EXPECT_EQ(fom.calls[0], "setFomType 2");
    EXPECT_EQ(fom.calls[1], "addDimension Quay");
    EXPECT_EQ(fom.calls[4], "addTransportation HLAreliable");
    EXPECT_EQ(fom.calls[8], "addObjectClass HLAobjectRoot (null)");
    EXPECT_LT(fom.indexOf("addObjectClass HLAobjectRoot.Vessel "),
              fom.indexOf("addObjectClass HLAobjectRoot.Vessel.Tug "));
    EXPECT_LT(fom.indexOf("addParameter"), fom.indexOf("addTime timeStamp"));
    EXPECT_LT(fom.indexOf("addSynchronizationPoint"), fom.indexOf("setSwitch"));
    EXPECT_LT(fom.indexOf("addSimpleDatatype"), fom.indexOf("addNote N1"));

    const ZnFom::ObjectClass* vessel = fom.objectClass("HLAobjectRoot.Vessel");
    ASSERT_NE(vessel, nullptr);
    EXPECT_EQ(vessel->parent, "HLAobjectRoot");
    ASSERT_EQ(vessel->attributes.size(), 2u);
    const ZnFom::Attribute& position = vessel->attributes[0];
    EXPECT_EQ(position.transport, ZnTransportBestEffort);
    EXPECT_EQ(position.order, ZnOrderReceive);
    EXPECT_EQ(position.updateType, ZnUpdatePeriodic);
    EXPECT_EQ(position.updateCondition, "1 Hz");
    EXPECT_EQ(position.ownership, ZnOwnershipDivestAcquire);
    EXPECT_EQ(position.sharing, ZnSharingPublishSubscribe);
    EXPECT_EQ(position.semantics, "Where the hull is");
    EXPECT_EQ(position.dimensions, (std::vector<ZnString>{"Quay", "Tide"}));
    EXPECT_EQ(vessel->attributes[1].sharing, ZnSharingPublish);
    EXPECT_EQ(vessel->attributes[1].updateType, ZnUpdateStatic);
    EXPECT_TRUE(vessel->attributes[1].dimensions.empty());
    const ZnFom::Attribute& bollard =
        fom.objectClass("HLAobjectRoot.Vessel.Tug")->attributes.at(0);
    EXPECT_EQ(bollard.order, ZnOrderTimeStamp);
    EXPECT_EQ(bollard.ownership, ZnOwnershipAcquire);
    EXPECT_EQ(bollard.sharing, ZnSharingSubscribe);
    EXPECT_EQ(bollard.updateType, ZnUpdateConditional);
    const ZnFom::Attribute& load = fom.objectClass("HLAobjectRoot.Crane")->attributes.at(0);
    EXPECT_EQ(load.transport, ZnTransportNone);
    EXPECT_EQ(load.order, ZnOrderNone);
    EXPECT_EQ(load.ownership, ZnOwnershipDivest);
    EXPECT_EQ(load.sharing, ZnSharingNeither);
    EXPECT_EQ(load.updateType, ZnUpdateNA);

    const ZnFom::InteractionClass* berth = fom.interactionClass("HLAinteractionRoot.Berth");
    ASSERT_NE(berth, nullptr);
    EXPECT_EQ(berth->transport, ZnTransportReliable);
    EXPECT_EQ(berth->order, ZnOrderTimeStamp);
    EXPECT_EQ(berth->parameters, (std::vector<ZnString>{"Pier", "Slot"}));
    EXPECT_EQ(berth->dimensions, (std::vector<ZnString>{"Quay"}));

    const ZnFom::Dimension* quay = fom.dimension("Quay");
    ASSERT_NE(quay, nullptr);
    EXPECT_EQ(quay->upperBound, 12u);
    EXPECT_EQ(quay->lower, 0u);
    EXPECT_EQ(quay->upper, 4u);
    EXPECT_EQ(quay->normalization, "linear");
    EXPECT_TRUE(fom.dimension("Tide")->excluded);
    const ZnFom::Dimension* federate = fom.dimension("Federate");
    EXPECT_EQ(federate->upperBound, UINT64_MAX);
    EXPECT_EQ(federate->lower, 7u);
    EXPECT_EQ(federate->upper, 8u);

    EXPECT_TRUE(fom.autoProvide());
    EXPECT_FALSE(fom.objectClassRelevanceAdvisory());
    EXPECT_TRUE(fom.serviceReporting());
    EXPECT_EQ(fom.switchTable().size(), 7u);  // the notes attribute is not a switch

    EXPECT_EQ(fom.transportations().size(), 4u);
    EXPECT_TRUE(fom.transportations().find("HarborReliableRadio")->reliable);
    EXPECT_FALSE(fom.transportations().find("Semaphore")->reliable);
    EXPECT_EQ(fom.times().size(), 2u);
    EXPECT_EQ(fom.times().find("timeStamp")->semantics, "Seconds since dawn");
    EXPECT_EQ(fom.userSuppliedTags().find("updateReflectTag")->dataType, "HLAASCIIstring");
    EXPECT_EQ(fom.synchronizationPoints().find("HighTide")->capability, 3);
    EXPECT_EQ(fom.synchronizationPoints().find("Dusk")->capability, 2);
    EXPECT_EQ(fom.basicDataRepresentations().find("HLAoctet")->endian, 2);
    EXPECT_EQ(fom.basicDataRepresentations().find("HLAinteger32BE")->size, 32u);
    EXPECT_EQ(fom.simpleDatatypes().find("Meters")->accuracy, "perfect");
    EXPECT_EQ(fom.arrayDatatypes().find("Manifest")->cardinality, "Dynamic");
    EXPECT_EQ(fom.enumeratedDatatypes().find("HullKind")->enumerators.size(), 2u);
    EXPECT_EQ(fom.fixedRecordDatatypes().find("Coordinates")->fields.size(), 2u);
    EXPECT_EQ(fom.variantRecordDatatypes().find("Cargo")->discriminant, "Kind");
    EXPECT_EQ(fom.notes().find("N1")->semantics, "Positions are in harbor grid units");
    // Every table was present, so no "Missing" message is left.
    EXPECT_EQ(reader.lastError().findString("Missing"), -1);
}

TEST_F(Read1516, DtdPathIsTakenRelativeToTheFileDirectory) {
    TempDir dir;
    std::string text = slurp(dataPath("harbor.fdd"));
    // From a directory where the relative DTD path leads nowhere.
    std::string path = dir.write("harbor.fdd", text);
    EXPECT_EQ(reader.readFed(path.c_str(), &fom, 1, true, false), ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "FDD failed DTD validation.");
    EXPECT_EQ(fom.indexOf("addObjectClass"), -1);  // nothing walked after a fatal check
}

// Object and interaction roots around `inner`.
std::string objectRoot(const std::string& inner) {
    return "<objects><objectClass name=\"HLAobjectRoot\">" + inner + "</objectClass></objects>";
}
std::string interactionRoot(const std::string& inner, const std::string& attributes = "") {
    return "<interactions><interactionClass name=\"HLAinteractionRoot\"" + attributes + ">" +
           inner + "</interactionClass></interactions>";
}

// Small documents whose read under each strict level (and with or without
// validation) ends in one status and one exact message.
TEST_F(Read1516, SmallDocumentsGiveTheirStatusAndMessage) {
    const std::string body = basicTables();
    const std::string modelType = fddDoc(body, "<!DOCTYPE model SYSTEM \"HLA.dtd\">\n");
    const std::string doctype =
        "<!DOCTYPE objectModel SYSTEM \"" + std::string(PXS_LIB_DATA_DIR) + "/HLA.dtd\">\n";
    const std::string invalid = fddDoc(body + "<bogus/>", doctype);
    std::string noObjects = slurp(dataPath("harbor.fdd"));
    size_t from = noObjects.find("<objects>");
    noObjects.erase(from, noObjects.find("</objects>") + std::strlen("</objects>") - from);
    const std::string widget =
        fddDoc(objectRoot("<widget>w</widget><attribute name=\"A\"/>"));
    const std::string later = fddDoc(objectRoot("<attribute name=\"HLAprivilegeToDelete\" "
                                                "order=\"Later\"/><attribute name=\"Other\" "
                                                "order=\"Later\"/>"));
    const std::string nowhere =
        fddDoc(objectRoot("<attribute name=\"P\" dimensions=\"Nowhere Elsewhere\"/>"));
    const std::string blanks =
        fddDoc(objectRoot("<attribute name=\"P\" dimensions=\"A  B NA \"/>") +
               "<dimensions><dimension name=\"A\" upperBound=\"2\"/><dimension name=\"B\" "
               "upperBound=\"2\"/></dimensions>");
    const std::string yes = fddDoc(body + "<switches autoProvide=\"Yes\"/>");
    auto dimensions = [](const std::string& inner) {
        return fddDoc("<dimensions>" + inner + "</dimensions>");
    };
    auto attributes = [](const RecordingFom& f) -> const std::vector<ZnFom::Attribute>& {
        return f.objectClass("HLAobjectRoot")->attributes;
    };
    expectReads(reader, {
        // Document type checks, made only when validating; a missing DTD is
        // fatal under strict, reported otherwise.
        {fddDoc(body), 1, ZnFedReadFailed, "FDD missing DTD.", {}, true},
        {fddDoc(body), 0, ZnFedReadSuccess, kAnyError,
         [](const RecordingFom& f) { EXPECT_NE(f.objectClass("HLAobjectRoot"), nullptr); },
         true},
        {modelType, 0, ZnFedReadFailed,
         "Document Type is not Object Model.\n\tDocument Type Name: model", {}, true},
        {modelType, 1, ZnFedReadSuccess, kAnyError},
        {fddDoc(body, doctype), 1, ZnFedReadSuccess, kAnyError, {}, true},
        {invalid, 1, ZnFedReadFailed, "FDD failed DTD validation.", {}, true},
        {invalid, 0, ZnFedReadSuccess, kAnyError, {}, true},
        // Missing tables leave the last message; only missing objects are
        // fatal, and only under strict.
        {fddDoc(body), 0, ZnFedReadSuccess, "Missing or invalid Sync Points"},
        {noObjects, 0, ZnFedReadSuccess, "Missing or invalid objects table"},
        {noObjects, 1, ZnFedReadFailed, "Missing or invalid objects table"},
        // Roots and names are required.
        {fddDoc("<objects><objectClass name=\"Root\"/></objects>"), 0, ZnFedReadFailed,
         "Object class root is not HLAobjectRoot in FDD file."},
        {fddDoc("<interactions><interactionClass name=\"X\"/></interactions>"), 0,
         ZnFedReadFailed, "Interaction class with no root found in FDD file."},
        {fddDoc(objectRoot("<objectClass semantics=\"s\"/>")), 0, ZnFedReadFailed,
         "Object class with no name found in FDD file.\nsemantics= s\n"},
        {fddDoc(objectRoot("<attribute order=\"Receive\"/>")), 0, ZnFedReadFailed,
         "Attribute of HLAobjectRoot has no name in FDD file."},
        {fddDoc(interactionRoot("<interactionClass x=\"1\"/>")), 0, ZnFedReadFailed,
         "Interaction class with no name found in FDD file.x= 1\n"},
        {fddDoc(interactionRoot("<parameter/>")), 0, ZnFedReadFailed,
         "Parameter with no name found in FDD file.\n"},
        // Unknown tags in class trees are skipped, or fatal under strict.
        {widget, 0, ZnFedReadSuccess, kAnyError,
         [&](const RecordingFom& f) { EXPECT_EQ(attributes(f).size(), 1u); }},
        {widget, 1, ZnFedReadFailed,
         "Unexpected tag in objects tree for FDD file.\n\tObjects Tag = widget w"},
        {fddDoc(interactionRoot("<gadget/>", " dimensions=\"NA\"")), 1, ZnFedReadFailed,
         "Unexpected tag in interactions tree for FDD file.\n\tInteractions Tag = gadget "},
        // An unknown order falls back (by attribute name) only without strict.
        {later, 0, ZnFedReadSuccess, kAnyError,
         [&](const RecordingFom& f) {
             EXPECT_EQ(attributes(f).at(0).order, ZnOrderTimeStamp);
             EXPECT_EQ(attributes(f).at(1).order, ZnOrderReceive);
         }},
        {later, 1, ZnFedReadFailed,
         "Unknown delivery order found in FDD file.\n\tOrder = Later\n"
         "name= HLAprivilegeToDelete\norder= Later\n",
         [&](const RecordingFom& f) { EXPECT_TRUE(attributes(f).empty()); }},
        // Dimension errors name the dimension; a failed list stops the read
        // before the transportations.
        {dimensions("<dimension name=\"D\"/>"), 0, ZnFedReadFailed,
         "Dimension \"D\" missing upper bound in FDD file.\nname= D\n",
         [](const RecordingFom& f) { EXPECT_EQ(f.indexOf("addTransportation"), -1); }},
        {dimensions("<dimension name=\"D\" upperBound=\"4x\"/>"), 0, ZnFedReadFailed,
         "Dimension \"D\" upper bound is invalid in FDD file.\nname= D\nupperBound= 4x\n"},
        {dimensions("<dimension name=\"D\" upperBound=\"18446744073709551616\"/>"), 0,
         ZnFedReadFailed, kAnyError},
        {dimensions("<dimension name=\"Federate\"/>"), 0, ZnFedReadFailed,
         "Dimension \"Federate\" missing normalization in FDD file.\nname= Federate\n"},
        {dimensions("<dimension upperBound=\"3\"/>"), 0, ZnFedReadFailed,
         "Dimension with no name found in FDD file.\nupperBound= 3\n"},
        {dimensions("<size/>"), 1, ZnFedReadFailed,
         "Unexpected tag in dimension list for FDD file.\n\tDimensions Tag = size "},
        // Member dimension lists skip blanks and NA; refusals fail only under strict.
        {blanks, 1, ZnFedReadSuccess, kAnyError,
         [&](const RecordingFom& f) {
             EXPECT_EQ(f.count("addAttributeDimension"), 2);
             EXPECT_EQ(attributes(f).at(0).dimensions, (std::vector<ZnString>{"A", "B"}));
         }},
        {nowhere, 0, ZnFedReadSuccess, kAnyError,
         [](const RecordingFom& f) { EXPECT_EQ(f.count("addAttributeDimension"), 2); }},
        {nowhere, 1, ZnFedReadFailed,
         "Error adding dimension Nowhere for attribute P of object class HLAobjectRoot at "
         "XML Node attribute near line 3"},
        // A switch value that is neither Enabled nor Disabled.
        {yes, 0, ZnFedReadSuccess, kAnyError},
        {yes, 1, ZnFedReadFailed,
         "Value not found for switch Type autoProvide at XML Node switches near line " +
             std::to_string(lineOf(yes, "<switches"))},
    });
}

TEST_F(Read1516, ParserComplaintIsWrittenToWarn) {
    Capture warn(ZnWarn, 1);
    read("<objectModel>\n<objects>\n</objectModel>");
    EXPECT_NE(warn.text().find("model.fdd:3: "), std::string::npos) << warn.text();
}

TEST_F(Read1516, UnknownTransportWarnsAndIsNone) {
    std::string text = fddDoc(
        "<objects><objectClass name=\"HLAobjectRoot\">"
        "<attribute name=\"A\" transportation=\"Fast\"/></objectClass></objects>");
    {
        Capture warn(ZnWarn, 1);
        EXPECT_EQ(read(text, 1), ZnFedReadSuccess);
        EXPECT_EQ(warn.text(), "Invalid TransportType: Fast\n");
    }
    EXPECT_EQ(fom.objectClass("HLAobjectRoot")->attributes.at(0).transport, ZnTransportNone);
}

// Root replacement: a target that already holds an HLA 1.3 model.
TEST_F(Read1516, RootsAreReplacedAndManagementClassesSkipped) {
    ASSERT_TRUE(fom.addObjectClass("ObjectRoot", nullptr));
    ASSERT_TRUE(fom.addInteractionClass("InteractionRoot", nullptr, ZnTransportReliable,
                                        ZnOrderReceive, nullptr));
    std::string text = fddDoc(
        "<objects><objectClass name=\"HLAobjectRoot\">"
        "<attribute name=\"HLAprivilegeToDelete\"/>"
        "<objectClass name=\"HLAmanager\"><objectClass name=\"HLAfederate\"/></objectClass>"
        "<objectClass name=\"X\"><attribute name=\"A\"/></objectClass>"
        "</objectClass></objects>"
        "<interactions><interactionClass name=\"HLAinteractionRoot\">"
        "<interactionClass name=\"HLAmanager\"/><interactionClass name=\"Y\"/>"
        "</interactionClass></interactions>");
    EXPECT_EQ(read(text, 1), ZnFedReadSuccess) << reader.lastError();
    EXPECT_TRUE(reader.objectRootReplaced());
    EXPECT_TRUE(reader.interactionRootReplaced());
    EXPECT_EQ(fom.objectRoot(), "ObjectRoot");
    ASSERT_NE(fom.objectClass("ObjectRoot.X"), nullptr);
    EXPECT_EQ(fom.objectClass("ObjectRoot.X")->attributes.at(0).name, "A");
    EXPECT_EQ(fom.objectClass("ObjectRoot")->attributes.at(0).name, "HLAprivilegeToDelete");
    EXPECT_EQ(fom.indexOf("addObjectClass ObjectRoot.HLAmanager"), -1);
    EXPECT_EQ(fom.indexOf("addObjectClass HLAobjectRoot.HLAmanager"), -1);
    EXPECT_NE(fom.interactionClass("InteractionRoot.Y"), nullptr);
    EXPECT_EQ(fom.indexOf("addInteractionClass InteractionRoot.HLAmanager"), -1);
    // The reader keeps mapping for a fresh target too.
    RecordingFom fresh;
    EXPECT_EQ(readText(reader, text, &fresh, 1), ZnFedReadSuccess);
    EXPECT_EQ(fresh.indexOf("addObjectClass HLAobjectRoot.HLAmanager"), -1);
}

TEST_F(Read1516, RefusedClassesEndTheReadUnlessOptional) {
    fom.refuse = {"HLAobjectRoot.HLAmanager", "HLAinteractionRoot.HLArequestSynchronizationPoint",
                  "HLAobjectRoot.Secret"};
    std::string optional = fddDoc(
        "<objects><objectClass name=\"HLAobjectRoot\"><objectClass name=\"HLAmanager\">"
        "<attribute name=\"M\"/></objectClass></objectClass></objects>"
        "<interactions><interactionClass name=\"HLAinteractionRoot\">"
        "<interactionClass name=\"HLArequestSynchronizationPoint\"><parameter name=\"P\"/>"
        "</interactionClass></interactionClass></interactions>");
    EXPECT_EQ(read(optional, 1), ZnFedReadSuccess) << reader.lastError();
    EXPECT_EQ(fom.indexOf("addAttribute HLAobjectRoot.HLAmanager"), -1);
    EXPECT_EQ(fom.indexOf("addParameter"), -1);
    std::string refused = fddDoc(
        "<objects><objectClass name=\"HLAobjectRoot\">\n<objectClass name=\"Secret\"/>"
        "</objectClass></objects>");
    EXPECT_EQ(read(refused, 0), ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(),
              "Object class HLAobjectRoot.Secret was refused by the FED target at XML Node "
              "objectClass near line 4");
}

TEST_F(Read1516, DimensionValuesAndBounds) {
    struct Case {
        const char* attributes;
        bool valid;
        uint64_t lower, upper;
        bool excluded;
    } cases[] = {
        {"upperBound=\"10\" value=\"[0..10)\"", true, 0, 10, false},
        {"upperBound=\"10\" value=\"[0..11)\"", false, 0, 0, false},
        {"upperBound=\"5\" value=\"[5)\"", false, 0, 0, false},
        {"upperBound=\"5\" value=\"[4)\"", true, 4, 5, false},
        {"upperBound=\"5\" value=\" EXCLUDED\"", true, 0, 1, true},
        {"upperBound=\"5\" value=\" [ 1 .. 3 ) \"", true, 1, 3, false},
        {"upperBound=\"5\" value=\"[3..3)\"", false, 0, 0, false},
        {"upperBound=\"5\" value=\"[1..2) x\"", false, 0, 0, false},
        {"upperBound=\"5\" value=\"\"", false, 0, 0, false},
        {"upperBound=\"5\" value=\"excludedx\"", false, 0, 0, false},
        {"upperBound=\" 42\"", true, 0, 1, false},
        {"upperBound=\"18446744073709551615\" value=\"[18446744073709551614)\"", true,
         18446744073709551614ull, 18446744073709551615ull, false},
    };
    for (const Case& c : cases) {
        RecordingFom target;
        std::string text = fddDoc(std::string("<dimensions><dimension name=\"D\" ") +
                                  c.attributes + "/></dimensions>");
        ZnFedReadStatus status = readText(reader, text, &target, 0);
        EXPECT_EQ(status, c.valid ? ZnFedReadSuccess : ZnFedReadFailed) << c.attributes;
        const ZnFom::Dimension* d = target.dimension("D");
        ASSERT_EQ(d != nullptr, c.valid) << c.attributes;
        if (!d) {
            EXPECT_EQ(reader.lastError().findString("Dimension \"D\" value is invalid in FDD file.\n"),
                      0)
                << c.attributes;
            continue;
        }
        EXPECT_EQ(d->lower, c.lower) << c.attributes;
        EXPECT_EQ(d->upper, c.upper) << c.attributes;
        EXPECT_EQ(d->excluded, c.excluded) << c.attributes;
    }
}

TEST_F(Read1516, InteractionWithoutDimensionsIsReportedButNotFatal) {
    std::string text = fddDoc(
        "<interactions><interactionClass name=\"HLAinteractionRoot\">"
        "<interactionClass name=\"X\"><parameter name=\"P\"/></interactionClass>"
        "</interactionClass></interactions>");
    EXPECT_EQ(read(text, 0), ZnFedReadSuccess);
    EXPECT_EQ(fom.count("addParameter"), 1);
    // The last missing table's message replaced it; run the walk alone, and
    // under strict checking, which still does not stop the class.
    reader.setStrictChecking(1);
    XmlDocPtr doc(xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr,
                                XML_PARSE_NOBLANKS));
    xmlNode* interactions = xmlDocGetRootElement(doc.get())->children;
    EXPECT_EQ(reader.processInteractions(interactions), ZnFedReadSuccess);
    EXPECT_EQ(reader.lastError(), "Interaction HLAinteractionRoot.X has no dimensions list.");
}

TEST_F(Read1516, DuplicateSwitchIsReportedButNotFatal) {
    // The same switch read twice into one model is a duplicate, never fatal.
    std::string twice = fddDoc(basicTables() + "<switches autoProvide=\"Disabled\"/>");
    RecordingFom target;
    EXPECT_EQ(readText(reader, twice, &target, 1), ZnFedReadSuccess);
    EXPECT_FALSE(target.autoProvide());
    XmlDocPtr doc(xmlReadMemory(twice.data(), static_cast<int>(twice.size()), nullptr, nullptr,
                                XML_PARSE_NOBLANKS));
    xmlNode* switches = pxsdetail::fdd::childNamed(xmlDocGetRootElement(doc.get()), "switches");
    EXPECT_EQ(reader.parseSwitches(switches), ZnFedReadSuccess);
    EXPECT_EQ(reader.lastError(),
              "Unexpected duplicate Switch Tag ( autoProvide ) for FDD file.\n\tSwitch Tag = "
              "switches  at XML Node switches near line " +
                  std::to_string(lineOf(twice, "<switches")));
}

TEST_F(Read1516, DefaultSwitchesReplaceTheFileSwitches) {
    ASSERT_EQ(reader.readFed(dataPath("harbor.fdd").c_str(), &fom, 1, false, true),
              ZnFedReadSuccess);
    EXPECT_EQ(fom.count("setSwitch"), 7);
    EXPECT_EQ(fom.calls.at(fom.indexOf("setSwitch")), "setSwitch autoProvide 0");
    EXPECT_EQ(fom.indexOf("setAutoProvide"), -1);  // the file's switches are ignored
    EXPECT_EQ(fom.switchTable().at("objectClassRelevanceAdvisory"),
              ZnFedTarget::defaultObjectClassRelevanceAdvisory());
}

TEST_F(Read1516, ParsedDocumentIsCheckedAndKeptOrFreed) {
    EXPECT_EQ(reader.processXmlDocPtr(nullptr), ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "Error reading FDD");
    auto parse = [](const std::string& text) {
        return xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr, 0);
    };
    std::string dtd = std::string(PXS_LIB_DATA_DIR) + "/HLA.dtd";
    // Fails: freed by the reader (the leak checker would notice otherwise).
    EXPECT_EQ(reader.processXmlDocPtr(parse("<!DOCTYPE foo SYSTEM \"x\"><foo/>")),
              ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "Document Type is not Object Model.\n\tDocument Type Name: foo");
    reader.setStrictChecking(1);
    EXPECT_EQ(reader.processXmlDocPtr(parse("<objectModel/>")), ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "No DTD Node found.");
    reader.setStrictChecking(0);
    EXPECT_EQ(reader.processXmlDocPtr(parse("<objectModel/>")), ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "Bad FDD File. Object Model is empty.");
    EXPECT_EQ(reader.processXmlDocPtr(parse("<model><x/></model>")), ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "Root node is not Object Model.\n\tRoot Node Name: model");
    // Succeeds: the caller keeps the document.
    xmlDoc* doc = parse("<!DOCTYPE objectModel SYSTEM \"" + dtd +
                        "\"><objectModel name=\"T\" type=\"FOM\"><notes><note name=\"n\"/>"
                        "</notes></objectModel>");
    ASSERT_EQ(reader.processXmlDocPtr(doc), ZnFedReadSuccess) << reader.lastError();
    xmlFreeDoc(doc);
}

TEST_F(Read1516, NullFileAndNullTarget) {
    EXPECT_EQ(reader.readFedFilePtr(nullptr, &fom, ZnFilename("x.fdd"), 0, false, false),
              ZnFedReadNotOpened);
    EXPECT_TRUE(fom.calls.empty());
    // A null target reads and checks without delivering.
    EXPECT_EQ(readText(reader, slurp(dataPath("harbor.fdd")), nullptr, 1), ZnFedReadSuccess);
}

}  // namespace
