// fedReader1516e_test.cpp -- the HLA Evolved readers: the built-in MIM,
// delivery of a module in file order, module identification, update rates,
// user transportations, dimension lists, switches, strict bits 1 and 2,
// schema validation, root replacement, the thin twin and bad input.

#include "fomTestSupport.h"

#include <climits>

namespace {

using namespace fomtest;

constexpr const char* kMimModule = "Standard MOM and Initialization Module (MIM) for HLA IEEE 1516-2010";

// An HLA Evolved document around `body` (the children of objectModel).
std::string evolvedDoc(const std::string& body, const std::string& rootAttributes = "") {
    return "<?xml version=\"1.0\"?>\n<objectModel "
           "xmlns=\"http://standards.ieee.org/IEEE1516-2010\"" +
           rootAttributes + ">\n" + body + "</objectModel>\n";
}

std::string objectsTable(const std::string& classes = "") {
    return "<objects><objectClass><name>HLAobjectRoot</name>" + classes +
           "</objectClass></objects>\n";
}

std::string interactionsTable(const std::string& classes = "") {
    return "<interactions><interactionClass><name>HLAinteractionRoot</name>" + classes +
           "</interactionClass></interactions>\n";
}

const std::string kDimensionsTable =
    "<dimensions><dimension><name>Zone</name><upperBound>10</upperBound></dimension>"
    "<dimension><name>Depth</name><upperBound>10</upperBound></dimension></dimensions>\n";
const std::string kTransportationsTable =
    "<transportations><transportation><name>HLAreliable</name><reliable>Yes</reliable>"
    "</transportation><transportation><name>HLAbestEffort</name><reliable>No</reliable>"
    "</transportation></transportations>\n";
const std::string kSwitchesTable = "<switches><autoProvide isEnabled=\"true\"/></switches>\n";
const std::string kDataTypesTable = "<dataTypes/>\n";

// Every table a strict reader asks for, with `classes` under HLAobjectRoot.
std::string fullModule(const std::string& classes = "", const std::string& interactions = "") {
    return evolvedDoc(objectsTable(classes) + interactionsTable(interactions) + kDimensionsTable +
                      kTransportationsTable + kSwitchesTable + kDataTypesTable);
}

// Every table but switches, with `tables` added after the basic four.
std::string moduleWith(const std::string& tables) {
    return evolvedDoc(objectsTable() + interactionsTable() + kDimensionsTable +
                      kTransportationsTable + tables + kDataTypesTable);
}

std::string attribute(const std::string& name, const std::string& extra = "") {
    return "<attribute><name>" + name + "</name>" + extra + "</attribute>";
}

std::string objectClass(const std::string& name, const std::string& body = "") {
    return "<objectClass><name>" + name + "</name>" + body + "</objectClass>";
}

class ReadEvolved : public ::testing::Test {
protected:
    ZnFedReadStatus read(const std::string& text, ZnFedTarget* target, unsigned strict = 0) {
        return readText(reader, text, target, strict);
    }
    ZnFedReadStatus readFile(const std::string& name, ZnFedTarget* target, unsigned strict = 0) {
        std::string path = dataPath(name);
        OpenFile file(path);
        return reader.readFedFilePtr(file.get(), target, ZnFilename(path.c_str()), strict, false,
                                     false);
    }
    ZnFedReadStatus readMim(ZnFedTarget* target, unsigned strict = 0) {
        return reader.readFedFilePtr(nullptr, target, ZnFilename("HLAstandardMIM.xml"), strict,
                                     false, false);
    }

    Quiet quiet;
    ZnFedReader1516e reader;
    RecordingFom fom;
};

// --- The built-in MIM

TEST_F(ReadEvolved, MimIsReadFromMemoryByName) {
    TempDir empty;
    ScopedEnv config("RTI_CONFIG", empty.path().c_str());
    ASSERT_EQ(reader.readFed("HLAstandardMIM.xml", &fom, 1, false, false), ZnFedReadSuccess)
        << reader.lastError();
    EXPECT_EQ(fom.calls.front(), "setFomType 3");
    ASSERT_EQ(fom.modules().size(), 1u);
    EXPECT_EQ(fom.modules()[0].name, kMimModule);
    EXPECT_EQ(reader.lastError(), "");
    EXPECT_EQ(reader.takeCurrFddData(), nullptr);
    EXPECT_EQ(fom.objectRoot(), "HLAobjectRoot");
    EXPECT_NE(fom.objectClass("HLAobjectRoot.HLAmanager.HLAfederate"), nullptr);
    EXPECT_NE(fom.interactionClass("HLAinteractionRoot.HLAmanager.HLAfederation.HLAadjust"),
              nullptr);
    const ZnFom::Dimension* federate = fom.dimension("HLAfederate");
    ASSERT_NE(federate, nullptr);
    EXPECT_EQ(federate->upperBound, UINT64_MAX);
    EXPECT_TRUE(federate->excluded);
    EXPECT_EQ(fom.dimension("HLAserviceGroup")->upperBound, 7u);
    EXPECT_EQ(fom.transportations().size(), 2u);
    EXPECT_FALSE(fom.basicDataRepresentations().empty());
    EXPECT_EQ(fom.notes().size(), 1u);
    // The MIM has no switches table, which only strict bit 2 reports.
    RecordingFom strict;
    ASSERT_EQ(readMim(&strict, 3), ZnFedReadSuccess);
    EXPECT_EQ(reader.lastError(), "Missing or invalid switches table");
}

TEST_F(ReadEvolved, OnlyTheMimNameMayComeWithoutAFile) {
    EXPECT_EQ(reader.readFedFilePtr(nullptr, &fom, ZnFilename("other.xml"), 0, false, false),
              ZnFedReadNotOpened);
    EXPECT_EQ(reader.readFedFilePtr(nullptr, &fom, ZnFilename("dir/HLAstandardMIM.xml"), 0,
                                    false, false),
              ZnFedReadNotOpened);
    EXPECT_TRUE(fom.calls.empty());
    EXPECT_EQ(reader.readFed("no/such/module.xml", &fom, 0, false, false), ZnFedReadNotOpened);
}

// --- A whole module

TEST_F(ReadEvolved, HarborIsDeliveredInFileOrderWithItsValues) {
    ASSERT_EQ(readMim(&fom), ZnFedReadSuccess);
    fom.calls.clear();
    ASSERT_EQ(readFile("harborEvolved.xml", &fom, 1), ZnFedReadSuccess) << reader.lastError();
    EXPECT_EQ(reader.lastError(), "");
    // Dimensions and transportations come before every class.
    int quay = fom.indexOf("addDimension Quay");
    int radio = fom.indexOf("addTransportation HarborRadio");
    int root = fom.indexOf("addObjectClass HLAobjectRoot (null)");
    ASSERT_GE(quay, 1);
    EXPECT_LT(quay, radio);
    EXPECT_LT(radio, root);
    EXPECT_LT(root, fom.indexOf("addObjectClass HLAobjectRoot.Vessel HLAobjectRoot"));
    EXPECT_LT(fom.indexOf("addAttribute HLAobjectRoot.Vessel Position"),
              fom.indexOf("addAttributeDimension HLAobjectRoot.Vessel Position Quay"));
    EXPECT_LT(fom.indexOf("addAttribute HLAobjectRoot.Vessel Callsign"),
              fom.indexOf("addObjectClass HLAobjectRoot.Vessel.Tug HLAobjectRoot.Vessel"));

    const ZnFom::ObjectClass* vessel = fom.objectClass("HLAobjectRoot.Vessel");
    ASSERT_NE(vessel, nullptr);
    ASSERT_EQ(vessel->attributes.size(), 2u);
    const ZnFom::Attribute& position = vessel->attributes[0];
    EXPECT_EQ(position.transport, 2);
    EXPECT_EQ(position.order, ZnOrderReceive);
    EXPECT_EQ(position.updateType, ZnUpdatePeriodic);
    EXPECT_EQ(position.updateCondition, "1 Hz");
    EXPECT_EQ(position.ownership, ZnOwnershipDivestAcquire);
    EXPECT_EQ(position.semantics, "Where the hull is");
    EXPECT_EQ(position.dimensions, (std::vector<ZnString>{"Quay", "Tide"}));
    const ZnFom::Attribute& callsign = vessel->attributes[1];
    EXPECT_EQ(callsign.transport, ZnTransportReliable);
    EXPECT_EQ(callsign.order, ZnOrderTimeStamp);
    EXPECT_EQ(callsign.sharing, ZnSharingPublish);
    const ZnFom::Attribute& bollard = fom.objectClass("HLAobjectRoot.Vessel.Tug")->attributes[0];
    EXPECT_EQ(bollard.order, ZnOrderNone);
    EXPECT_EQ(bollard.sharing, ZnSharingSubscribe);
    EXPECT_EQ(bollard.ownership, ZnOwnershipAcquire);

    const ZnFom::InteractionClass* berth = fom.interactionClass("HLAinteractionRoot.Berth");
    ASSERT_NE(berth, nullptr);
    EXPECT_EQ(berth->transport, 2);
    EXPECT_EQ(berth->order, ZnOrderTimeStamp);
    EXPECT_EQ(berth->parameters, (std::vector<ZnString>{"Pier", "Slot"}));
    EXPECT_EQ(berth->dimensions, (std::vector<ZnString>{"Quay"}));

    const ZnFom::Dimension* quayDim = fom.dimension("Quay");
    EXPECT_EQ(quayDim->upperBound, 12u);
    EXPECT_EQ(quayDim->upper, 4u);
    EXPECT_EQ(quayDim->normalization, "linear");
    EXPECT_TRUE(fom.dimension("Tide")->excluded);
}

TEST_F(ReadEvolved, HarborRecordTablesTakeTheirPropertiesFromChildElements) {
    ASSERT_EQ(readFile("harborEvolved.xml", &fom, 1), ZnFedReadSuccess) << reader.lastError();
    const ZnTransportationType* radio = fom.transportations().find("HarborRadio");
    ASSERT_NE(radio, nullptr);
    EXPECT_FALSE(radio->reliable);
    EXPECT_EQ(radio->semantics, "VHF broadcast across the basin");
    EXPECT_EQ(fom.times().find("timeStamp")->semantics, "Seconds since dawn");
    EXPECT_EQ(fom.synchronizationPoints().find("HighTide")->capability, 3);
    EXPECT_EQ(fom.userSuppliedTags().find("updateReflectTag")->dataType, "HLAASCIIstring");
    EXPECT_EQ(fom.notes().find("H1")->semantics, "Tide tables come from the port authority.");
    const ZnBasicDataRepresentationType* nibble = fom.basicDataRepresentations().find("Nibble");
    EXPECT_EQ(nibble->size, 4u);
    EXPECT_EQ(nibble->endian, 2);
    EXPECT_EQ(fom.simpleDatatypes().find("Knots")->units, "kn");
    EXPECT_EQ(fom.arrayDatatypes().find("Coordinates")->cardinality, "3");
    const ZnEnumeratedDatatypeType* hull = fom.enumeratedDatatypes().find("HullKind");
    ASSERT_EQ(hull->enumerators.size(), 2u);
    for (const auto& e : hull->enumerators)
        EXPECT_EQ(e->values, e->name == "Mono" ? "0" : "2");  // the last value wins
    EXPECT_EQ(fom.fixedRecordDatatypes().find("Mooring")->fields.size(), 2u);
    const ZnVariantRecordDatatypeType* cargo = fom.variantRecordDatatypes().find("Cargo");
    EXPECT_EQ(cargo->discriminant, "Kind");
    EXPECT_EQ(cargo->encoding, "HLAvariantRecord");
    ASSERT_EQ(cargo->alternatives.size(), 1u);
    EXPECT_EQ((*cargo->alternatives.begin())->enumerator, "Mono");
}

TEST_F(ReadEvolved, SeveralModulesExtendOneClassTree) {
    ASSERT_EQ(readMim(&fom, 1), ZnFedReadSuccess);
    for (const char* module : {"harborEvolved.xml", "harborCargo.xml", "harborPilots.xml"})
        ASSERT_EQ(readFile(module, &fom, 1), ZnFedReadSuccess) << module << reader.lastError();
    // Module identification gives the name and the dependencies only: the
    // Standalone reference is no dependency.
    ASSERT_EQ(fom.modules().size(), 4u);
    EXPECT_EQ(fom.modules()[1].name, "Harbor Operations");
    EXPECT_EQ(fom.modules()[1].dependencies, (std::vector<ZnString>{kMimModule}));
    EXPECT_EQ(fom.modules()[3].dependencies,
              (std::vector<ZnString>{"Harbor Cargo", "Harbor Operations"}));
    // A user transportation from an earlier module keeps its code.
    EXPECT_EQ(fom.objectClass("HLAobjectRoot.Vessel.Freighter")->attributes.at(0).transport, 2);
    EXPECT_TRUE(fom.pendingTransportations().empty());
    const ZnFom::ObjectClass* piloted = fom.objectClass("HLAobjectRoot.Vessel.Freighter.Piloted");
    ASSERT_NE(piloted, nullptr);
    EXPECT_EQ(piloted->parent, "HLAobjectRoot.Vessel.Freighter");
    // A class named again by a later module stays one class with its first members.
    EXPECT_EQ(fom.objectClass("HLAobjectRoot.Vessel")->attributes.size(), 2u);
    size_t vessels = 0;
    for (const ZnFom::ObjectClass& cls : fom.objectClasses())
        vessels += cls.name == "HLAobjectRoot.Vessel";
    EXPECT_EQ(vessels, 1u);
    EXPECT_NE(fom.objectClass("HLAobjectRoot.HLAmanager.HLAfederate"), nullptr);
    EXPECT_NE(fom.interactionClass("HLAinteractionRoot.Unload"), nullptr);
    EXPECT_NE(fom.interactionClass("HLAinteractionRoot.HLAmanager"), nullptr);
    EXPECT_EQ(fom.objectRoot(), "HLAobjectRoot");
    // The last file's bytes stay with the reader until taken, once.
    unsigned int length = reader.currFddDataLength();
    std::unique_ptr<char[]> bytes(reader.takeCurrFddData());
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::string(bytes.get(), length), slurp(dataPath("harborPilots.xml")));
    EXPECT_EQ(reader.takeCurrFddData(), nullptr);
}

// --- Update rates

TEST_F(ReadEvolved, UpdateRatesAreReadAndDuplicatesReportedButNotFatal) {
    ASSERT_EQ(readFile("harborEvolved.xml", &fom, 1), ZnFedReadSuccess);
    ASSERT_EQ(fom.updateRates().size(), 2u);
    EXPECT_FLOAT_EQ(fom.updateRates().find("Slow")->rate, 0.5f);
    EXPECT_EQ(fom.updateRates().find("Slow")->semantics, "Twice a minute is plenty");
    EXPECT_FLOAT_EQ(fom.updateRates().find("Radar")->rate, 12.0f);
    std::string again = moduleWith(
        "<updateRates>\n<updateRate><name>Slow</name><rate>0.25</rate></updateRate>"
        "</updateRates>");
    ASSERT_EQ(read(again, &fom, 1), ZnFedReadSuccess);
    EXPECT_EQ(reader.lastError(),
              "Unexpected duplicate Update Rate type ( Slow ) for FDD file.\n\tUpdate Rate Tag = "
              "updateRate Slow0.25 at XML Node updateRate near line 8");
    EXPECT_FLOAT_EQ(fom.updateRates().find("Slow")->rate, 0.5f);  // the first definition stays
}

// --- User transportations

TEST_F(ReadEvolved, UnknownUserTransportationIsBestEffortOrPendingUnderStrict) {
    std::string text = fullModule(
        objectClass("Ship", attribute("Flag", "<transportation>Semaphore</transportation>")),
        "<interactionClass><name>Hail</name><transportation>Semaphore</transportation>"
        "</interactionClass>");
    RecordingFom lenient;
    ASSERT_EQ(read(text, &lenient), ZnFedReadSuccess);
    EXPECT_EQ(lenient.objectClass("HLAobjectRoot.Ship")->attributes[0].transport, 0);
    EXPECT_EQ(lenient.interactionClass("HLAinteractionRoot.Hail")->transport, 0);
    EXPECT_TRUE(lenient.pendingTransportations().empty());

    RecordingFom strict;
    ASSERT_EQ(read(text, &strict, 1), ZnFedReadSuccess) << reader.lastError();
    EXPECT_EQ(strict.objectClass("HLAobjectRoot.Ship")->attributes[0].transport, ZnTransportNone);
    ASSERT_EQ(strict.pendingTransportations().size(), 2u);
    EXPECT_EQ(strict.pendingTransportations()[0].transportation, "Semaphore");
    EXPECT_EQ(strict.pendingTransportations()[0].className, "HLAobjectRoot.Ship");
    EXPECT_EQ(strict.pendingTransportations()[0].attribute, "Flag");
    EXPECT_EQ(strict.pendingTransportations()[1].className, "HLAinteractionRoot.Hail");
    EXPECT_EQ(strict.pendingTransportations()[1].attribute, "");
}

// --- Dimension lists

TEST_F(ReadEvolved, AttributeDimensionProblemsFailOnlyUnderStrict) {
    const struct {
        std::string dimensions;
        std::string message;
    } cases[] = {
        {"<dimension>Fog</dimension>",
         "Error adding dimension Fog for attribute Light of object class HLAobjectRoot.Buoy"},
        {"<dimension>  </dimension>",
         "Empty or invalid dimension in attribute Light of object class HLAobjectRoot.Buoy"},
        {"<zone>Zone</zone>",
         "Unexpected tag in dimension list for attribute Light of object class "
         "HLAobjectRoot.Buoy"},
    };
    for (const auto& c : cases) {
        std::string text = fullModule(objectClass(
            "Buoy", attribute("Light", "<dimensions><dimension>na</dimension>" + c.dimensions +
                                           "<dimension>Zone</dimension></dimensions>")));
        RecordingFom lenient, strict;
        EXPECT_EQ(read(text, &lenient), ZnFedReadSuccess) << c.dimensions;
        EXPECT_EQ(lenient.objectClass("HLAobjectRoot.Buoy")->attributes[0].dimensions,
                  (std::vector<ZnString>{"Zone"}));
        EXPECT_EQ(read(text, &strict, 1), ZnFedReadFailed) << c.dimensions;
        EXPECT_EQ(reader.lastError(), c.message);
        EXPECT_TRUE(strict.objectClass("HLAobjectRoot.Buoy")->attributes[0].dimensions.empty());
    }
}

// --- One document, one verdict

// Small documents whose read under each strict level ends in one status and
// one exact message; the strict bits decide what is only reported.
TEST_F(ReadEvolved, SmallDocumentsGiveTheirStatusAndMessage) {
    const std::string badRates =
        moduleWith("<updateRates><updateRate><name>A</name><rate>fast</rate><speed>1</speed>"
                   "</updateRate>\n<rateOfUpdate/></updateRates>\n");
    const std::string unreliable = evolvedDoc(
        "<transportations><transportation><name>Flags</name><reliable>Maybe</reliable>"
        "</transportation></transportations>\n");
    auto lightDimensions = [](const std::string& dims) {
        return fullModule(objectClass("Buoy", attribute("Light", "<dimensions>" + dims +
                                                                     "</dimensions>")));
    };
    const std::string hailFog = fullModule(
        "", "<interactionClass><name>Hail</name><dimensions><dimension>Fog</dimension>"
            "</dimensions></interactionClass><interactionClass><name>Wave</name>"
            "</interactionClass>");
    const std::string noObjects = evolvedDoc(interactionsTable() + kDimensionsTable +
                                             kTransportationsTable + kSwitchesTable +
                                             kDataTypesTable);
    const std::string noExtras = evolvedDoc(objectsTable() + interactionsTable() +
                                            kDimensionsTable + kTransportationsTable);
    const std::string sharing = fullModule(objectClass(
        "Buoy", "<sharing>Everyone</sharing>" +
                    attribute("Light", "<sharing>Sometimes</sharing><order>Receive</order>")));
    const std::string colour = fullModule("", "<interactionClass><name>Hail</name><colour>red"
                                              "</colour></interactionClass>");
    const std::string badSwitch =
        moduleWith("<switches><autoProvide isEnabled=\"yes\"/></switches>");
    auto dimension = [](const std::string& body) {
        return evolvedDoc("<dimensions><dimension>" + body + "</dimension></dimensions>");
    };
    expectReads(reader, {
        // Update rates: unknown children are reported, or fatal under strict.
        {badRates, 0, ZnFedReadSuccess,
         "Unexpected tag in Update Rates tree for FDD file.\n\tUpdate Rates Tag = "
         "rateOfUpdate  at XML Node rateOfUpdate near line 8",
         [](const RecordingFom& f) {  // an unreadable rate stays 0
             EXPECT_FLOAT_EQ(f.updateRates().find("A")->rate, 0.0f);
         }},
        {badRates, 1, ZnFedReadFailed,
         "Unexpected tag in Update Rate tree for FDD file.\n\tUpdate Rate Tag = speed 1 at "
         "XML Node speed near line 7"},
        // A transportation with an unreadable reliability is delivered all the same.
        {unreliable, 1, ZnFedReadFailed,
         "Unexpected value in Reliable tag for FDD file.\n\tReliable = Maybe at XML Node "
         "reliable near line 3",
         [](const RecordingFom& f) { EXPECT_NE(f.transportations().find("Flags"), nullptr); }},
        // Dimension lists as text: NA means none, anything else is reported.
        {lightDimensions("NA"), 1, ZnFedReadSuccess, "",
         [](const RecordingFom& f) { EXPECT_EQ(f.count("addAttributeDimension"), 0); }},
        {lightDimensions("Zone Depth"), 1, ZnFedReadSuccess,
         "Zone Depth\" is an invalid value for the symbol \"dimensions\" at XML Node "
         "dimensions near line 3"},
        // The interaction walk never fails on its own dimensions, strict or not.
        {hailFog, 0, ZnFedReadSuccess, kAnyError},
        {hailFog, 1, ZnFedReadSuccess,
         "Error adding dimension Fog for interaction class HLAinteractionRoot.Hail",
         [](const RecordingFom& f) {
             EXPECT_NE(f.interactionClass("HLAinteractionRoot.Wave"), nullptr);
         }},
        // Dimension elements need a name and a readable upper bound and value.
        {dimension("<upperBound>5</upperBound>"), 0, ZnFedReadFailed,
         "Dimension with no name found in FDD file.\n"},
        {dimension("<name>Fog</name>"), 0, ZnFedReadFailed,
         "Dimension \"Fog\" missing upper bound in FDD file."},
        {dimension("<name>Fog</name><upperBound>-5</upperBound>"), 0, ZnFedReadFailed,
         "Dimension \"Fog\" upper bound is invalid in FDD file."},
        {dimension("<name>Fog</name><upperBound>5</upperBound><value>[5)</value>"), 0,
         ZnFedReadFailed, "Dimension \"Fog\" value is invalid in FDD file."},
        // The basic tables are required only under strict bit 2; data types
        // and switches are only named, never required.
        {noObjects, 1, ZnFedReadSuccess, "Missing or invalid objects table"},
        {noObjects, 2, ZnFedReadFailed, "Missing or invalid objects table"},
        {noExtras, 3, ZnFedReadSuccess, "Missing or invalid Data Types"},
        // Names are required child elements; the object root must be HLAobjectRoot.
        {fullModule("<objectClass><semantics>x</semantics></objectClass>"), 0, ZnFedReadFailed,
         "Object class, a child of HLAobjectRoot, with no name found in FDD file.\n"},
        {fullModule("", "<interactionClass><name/></interactionClass>"), 0, ZnFedReadFailed,
         "Interaction class, a child of HLAinteractionRoot, with no name found in FDD file.\n"},
        {fullModule("", "<interactionClass><name>Hail</name><parameter/></interactionClass>"), 0,
         ZnFedReadFailed, "Parameter of HLAinteractionRoot.Hail has no name in FDD file.\n"},
        {evolvedDoc("<objects><objectClass><name>Root</name></objectClass></objects>"), 0,
         ZnFedReadFailed, "Object class root is not HLAobjectRoot in FDD file."},
        // Sharing texts are checked under strict bit 1 only.
        {sharing, 0, ZnFedReadSuccess, kAnyError,
         [](const RecordingFom& f) {
             EXPECT_EQ(f.objectClass("HLAobjectRoot.Buoy")->attributes[0].sharing,
                       ZnSharingInvalid);
         }},
        {sharing, 1, ZnFedReadFailed,
         "Invalid sharing Everyone for object class HLAobjectRoot.Buoy at XML Node sharing "
         "near line 3"},
        // Unknown children of an interaction class.
        {colour, 0, ZnFedReadSuccess, kAnyError},
        {colour, 1, ZnFedReadFailed,
         "Unexpected tag in interactions tree for FDD file.\n\tInteractions Tag = colour red"},
        // A switch value that is no boolean; no setter runs after a failure.
        {badSwitch, 0, ZnFedReadSuccess, "Value not found for switch Type autoProvide"},
        {badSwitch, 1, ZnFedReadFailed, kAnyError,
         [](const RecordingFom& f) { EXPECT_EQ(f.count("setAutoProvide"), 0); }},
    });
    // The dimension of federate handles needs no upper bound.
    RecordingFom federate;
    ASSERT_EQ(read(dimension("<name>HLAfederate</name><value>[2..9)</value>"), &federate),
              ZnFedReadSuccess);
    EXPECT_EQ(federate.dimension("HLAfederate")->upperBound, UINT64_MAX);
    EXPECT_EQ(federate.dimension("HLAfederate")->lower, 2u);
}

// --- Switches

TEST_F(ReadEvolved, SwitchesComeFromAttributesOrChildElements) {
    ASSERT_EQ(readFile("harborEvolved.xml", &fom), ZnFedReadSuccess);
    EXPECT_TRUE(fom.autoProvide());
    EXPECT_TRUE(fom.conveyProducingFederate());
    EXPECT_FALSE(fom.serviceReporting());
    EXPECT_TRUE(fom.exceptionReporting());
    EXPECT_TRUE(fom.delaySubscriptionEvaluation());
    EXPECT_EQ(fom.automaticResignAction(), 2);  // DeleteObjects
    // Setters follow the table, in their fixed order.
    int first = fom.indexOf("setAutoProvide 1");
    EXPECT_LT(fom.indexOf("setSwitch serviceReporting 0"), first);
    EXPECT_LT(first, fom.indexOf("setConveyProducingFederate 1"));
    EXPECT_LT(fom.indexOf("setConveyProducingFederate 1"), fom.indexOf("setServiceReporting 0"));

    RecordingFom children;
    ASSERT_EQ(read(evolvedDoc("<switches><autoProvide><isEnabled>false</isEnabled></autoProvide>"
                              "<automaticResignAction><resignAction>NoAction</resignAction>"
                              "</automaticResignAction></switches>"),
                   &children),
              ZnFedReadSuccess);
    EXPECT_FALSE(children.autoProvide());
    EXPECT_EQ(children.automaticResignAction(), 4);
}

TEST_F(ReadEvolved, DuplicateSwitchIsReportedButNotFatal) {
    RecordingFom twice;
    std::string good = moduleWith("<switches>\n<serviceReporting isEnabled=\"true\"/></switches>");
    ASSERT_EQ(read(good, &twice, 1), ZnFedReadSuccess);
    ASSERT_EQ(read(good, &twice, 1), ZnFedReadSuccess);
    EXPECT_EQ(reader.lastError(),
              "Unexpected duplicate Switch ( serviceReporting ) for FDD file.\n\tSwitch Tag = "
              "serviceReporting  at XML Node serviceReporting near line 8");
}

TEST_F(ReadEvolved, DefaultSwitchesIgnoreTheModule) {
    fom.setDelaySubscriptionEvaluation(true);
    std::string path = dataPath("harborEvolved.xml");
    OpenFile file(path);
    ASSERT_EQ(reader.readFedFilePtr(file.get(), &fom, ZnFilename(path.c_str()), 0, false, true),
              ZnFedReadSuccess);
    EXPECT_EQ(fom.switchTable().at("autoProvide"), ZnFedTarget::defaultAutoProvide());
    EXPECT_EQ(fom.switchTable().at("exceptionReporting"), ZnFedTarget::defaultExceptionReporting());
    EXPECT_TRUE(fom.switchTable().at("delaySubscriptionEvaluation"));
    EXPECT_EQ(fom.switchTable().size(), 10u);
    EXPECT_EQ(fom.automaticResignAction(), 6);  // the module's DeleteObjects was not read
}

// --- Schema validation

TEST_F(ReadEvolved, SchemaLocationIsUsedOnlyWhenValidationIsEnabled) {
    std::string schema = std::string(PXS_LIB_DATA_DIR) + "/IEEE1516-DIF-2010.xsd";
    std::string attr = " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                       "xsi:schemaLocation=\"http://standards.ieee.org/IEEE1516-2010   " +
                       schema + " \"";
    std::string invalid = evolvedDoc(objectsTable("<unknownThing/>"), attr);
    EXPECT_EQ(read(invalid, &fom), ZnFedReadSuccess);  // validation is off by default

    reader.setSchemaValidationEnabled(false);  // any call enables it
    EXPECT_TRUE(reader.schemaValidationEnabled());
    RecordingFom checked;
    EXPECT_EQ(read(invalid, &checked), ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "FDD file did not pass validation against schema " + schema);
    EXPECT_TRUE(checked.objectClasses().empty());
    // The harbor module names the schema relative to its own directory.
    RecordingFom harbor;
    EXPECT_EQ(readFile("harborEvolved.xml", &harbor, 1), ZnFedReadSuccess) << reader.lastError();
    // No schemaLocation: nothing to validate against.
    EXPECT_EQ(read(fullModule(), &harbor), ZnFedReadSuccess);
}

TEST_F(ReadEvolved, MissingSchemaFileAlwaysFails) {
    reader.setSchemaValidationEnabled(true);
    std::string attr = " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                       "xsi:schemaLocation=\"urn:x nowhere/missing.xsd\"";
    EXPECT_EQ(read(fullModule().replace(fullModule().find(">\n<objects"), 1, attr + ">"), &fom),
              ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "Could not open schema file nowhere/missing.xsd");
    // The MIM names a web address, which is never fetched.
    RecordingFom mim;
    EXPECT_EQ(readMim(&mim), ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "Could not open schema file "
                                  "http://standards.ieee.org/downloads/1516/1516.2-2010/"
                                  "IEEE1516-DIF-2010.xsd");
}

// --- Classes, names and roots

TEST_F(ReadEvolved, RootsAreReplacedForAnHla13TargetAndManagementSkipped) {
    ASSERT_TRUE(fom.addObjectClass("ObjectRoot", nullptr));
    ASSERT_TRUE(fom.addInteractionClass("InteractionRoot", nullptr, ZnTransportReliable,
                                        ZnOrderReceive, nullptr));
    ASSERT_EQ(readMim(&fom), ZnFedReadSuccess) << reader.lastError();
    EXPECT_TRUE(reader.objectRootReplaced());
    EXPECT_TRUE(reader.interactionRootReplaced());
    EXPECT_EQ(fom.count("addObjectClass HLAobjectRoot.HLAmanager"), 0);
    EXPECT_EQ(fom.count("addObjectClass ObjectRoot.HLAmanager"), 0);
    ASSERT_EQ(readFile("harborEvolved.xml", &fom), ZnFedReadSuccess) << reader.lastError();
    EXPECT_NE(fom.objectClass("ObjectRoot.Vessel.Tug"), nullptr);
    EXPECT_NE(fom.interactionClass("InteractionRoot.Berth"), nullptr);
    EXPECT_EQ(fom.objectClass("HLAobjectRoot.Vessel"), nullptr);
}

TEST_F(ReadEvolved, RefusedObjectClassesAlwaysEndTheRead) {
    fom.refuse.insert("HLAobjectRoot.Vessel.Tug");
    EXPECT_EQ(readFile("harborEvolved.xml", &fom), ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(),
              "Object class HLAobjectRoot.Vessel.Tug was refused by the FED target at XML Node "
              "objectClass near line 51");
}

// --- Bad input

TEST_F(ReadEvolved, ParsedDocumentIsCheckedAndKeptOrFreed) {
    EXPECT_EQ(reader.processXmlDocPtr(nullptr), ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "Error reading FDD");
    std::string text = "<model/>";
    xmlDoc* wrong = xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr, 0);
    EXPECT_EQ(reader.processXmlDocPtr(wrong), ZnFedReadFailed);  // freed by the reader
    EXPECT_EQ(reader.lastError(), "Root node is not Object Model.\n\tRoot Node Name: model");
    std::string module = fullModule();
    xmlDoc* good =
        xmlReadMemory(module.data(), static_cast<int>(module.size()), nullptr, nullptr, 0);
    ASSERT_EQ(reader.processXmlDocPtr(good), ZnFedReadSuccess);
    XmlDocPtr kept(good);
    EXPECT_EQ(reader.processFed(xmlDocGetRootElement(good)), ZnFedReadSuccess);
}

// --- Format detection

TEST_F(ReadEvolved, ContentTestsOfBothReaders) {
    TempDir dir;
    struct Case {
        std::string body;
        bool full;  // the reduced test of ZnFedReader1516e
        bool thin;  // the factory's test, which decides a file's format
    };
    const Case cases[] = {
        {"<objectModel><transportations><transportation><reliable>Yes</reliable>"
         "</transportation></transportations></objectModel>",
         true, true},
        {"<objectModel><transportations>transportation</transportations></objectModel>", true,
         true},
        {"<objectModel><transportations><transportation name=\"X\"/></transportations>"
         "</objectModel>",
         false, false},
        {"<objectModel><updateRates/></objectModel>", true, true},
        {"<objectModel><objects><objectClass><name>HLAobjectRoot</name></objectClass></objects>"
         "</objectModel>",
         true, true},
        {"<objectModel><objects><objectClass name=\"HLAobjectRoot\"/></objects></objectModel>",
         false, false},
        {"<objectModel xmlns=\"http://standards.ieee.org/IEEE1516-2010\"/>", false, true},
        {"<objectModel><interactions><interactionClass><name>HLAinteractionRoot</name>"
         "</interactionClass></interactions></objectModel>",
         false, true},
        {"not xml at all", false, false},
    };
    for (const Case& c : cases) {
        OpenFile file(dir.write("probe.xml", c.body));
        EXPECT_EQ(ZnFedReader1516e::isEvolvedFormat(file.get()), c.full) << c.body;
        EXPECT_EQ(ZnXmlFedReader1516e::isEvolvedFormat(file.get()), c.thin) << c.body;
        EXPECT_EQ(std::ftell(file.get()), 0) << "rewound";
        EXPECT_EQ(ZnFedReader::checkFomType("probe.xml", file.get()),
                  c.thin ? ZnFomEvolved : ZnFom1516)
            << c.body;
    }
    OpenFile harbor(dataPath("harborEvolved.xml"));
    EXPECT_EQ(ZnFedReader::checkFomType("harbor.FDD", harbor.get()), ZnFomEvolved);
}

// --- The thin twin

class ReadEvolvedThin : public ::testing::Test {
protected:
    ZnFedReadStatus read(const std::string& text, ZnFedTarget* target, unsigned strict = 0) {
        return readText(reader, text, target, strict);
    }
    Quiet quiet;
    ZnXmlFedReader1516e reader;
    RecordingFom fom;
};

TEST_F(ReadEvolvedThin, DeliversAsWrittenWithSpaceAttributes) {
    fom.refuse.insert("HLAobjectRoot.Buoy");  // answers are ignored
    std::string text = fullModule(objectClass("Buoy", attribute("Light",
                                                                 "<transportation>HLAreliable"
                                                                 "</transportation><order>"
                                                                 "TimeStamp</order><dimensions>"
                                                                 "<dimension>Zone</dimension>"
                                                                 "</dimensions>")));
    ASSERT_EQ(read(text, &fom, 1), ZnFedReadSuccess) << reader.lastError();
    EXPECT_EQ(fom.count("setFomType"), 0);
    EXPECT_GE(fom.indexOf("addSpaceAttribute HLAobjectRoot.Buoy Light 1 1 (null)"), 0);
    EXPECT_GE(fom.indexOf("addAttributeDimension HLAobjectRoot.Buoy Light Zone"), 0);
    EXPECT_EQ(fom.count("addAttribute "), 0);
    EXPECT_EQ(reader.takeCurrFddData(), nullptr);
}

TEST_F(ReadEvolvedThin, RequiresFiveTablesAndTheStandardTransportationsOnly) {
    auto transportation = [](const char* name, const char* reliable) {
        return evolvedDoc(std::string("<transportations><transportation><name>") + name +
                          "</name><reliable>" + reliable +
                          "</reliable></transportation></transportations>");
    };
    const std::string noSwitches = evolvedDoc(objectsTable() + interactionsTable() +
                                              kDimensionsTable + kTransportationsTable);
    expectReads(reader, {
        {noSwitches, 0, ZnFedReadSuccess, kAnyError},
        {noSwitches, 1, ZnFedReadFailed, "Missing or invalid switches table"},
        {transportation("HLAbestEffort", "Yes"), 1, ZnFedReadFailed,
         "HLAbestEffort should not be reliable."},
        {transportation("HLAbestEffort", "No"), 1, ZnFedReadFailed,
         "Missing transport type in transports list for FDD file.\n\tmissing: HLAreliable"},
    });
    ASSERT_EQ(read(fullModule(), nullptr, 1), ZnFedReadSuccess) << reader.lastError();
    std::string path = dataPath("harborEvolved.xml");
    OpenFile harbor(path);
    EXPECT_EQ(reader.readFedFilePtr(harbor.get(), nullptr, ZnFilename(path.c_str()), 1, false,
                                    false),
              ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "Unexpected transport type in transports list for FDD "
                                  "file.\n\tTransport Type = HarborRadio");
}

TEST_F(ReadEvolvedThin, SwitchesGoStraightToTheSetters) {
    ASSERT_EQ(read(evolvedDoc("<switches><serviceReporting isEnabled=\"true\"/>"
                              "<autoProvide isEnabled=\"no\"/>"
                              "<automaticResignAction resignAction=\"NoAction\"/></switches>"),
                   &fom),
              ZnFedReadSuccess);
    EXPECT_GE(fom.indexOf("setAutoProvide 0"), 0);
    EXPECT_GE(fom.indexOf("setServiceReporting 1"), 0);
    EXPECT_LT(fom.indexOf("setAutoProvide 0"), fom.indexOf("setServiceReporting 1"));
    EXPECT_EQ(fom.automaticResignAction(), 4);
    EXPECT_TRUE(fom.switchTable().empty());
}

TEST_F(ReadEvolvedThin, ChecksTheMimAndNamesTheModule) {
    ASSERT_EQ(reader.readFedFilePtr(nullptr, &fom, ZnFilename("HLAstandardMIM.xml"), 0, false,
                                    false),
              ZnFedReadSuccess)
        << reader.lastError();
    ASSERT_EQ(fom.modules().size(), 1u);
    EXPECT_EQ(fom.modules()[0].name, kMimModule);
    EXPECT_TRUE(fom.modules()[0].dependencies.empty());
}

TEST_F(ReadEvolvedThin, OpenFileFindsChecksAndHandsOverTheDocument) {
    TempDir dir;
    ScopedEnv config("RTI_CONFIG", dir.path().c_str());
    xmlDoc* doc = nullptr;
    EXPECT_EQ(reader.openFile("absent.xml", &doc), ZnFedReadNotOpened);
    EXPECT_EQ(reader.lastError(), "No such FDD file: absent.xml");
    dir.write("bad.xml", "<model><x/></model>");
    EXPECT_EQ(reader.openFile("bad.xml", &doc), ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "Root node is not Object Model. Root Node Name: model");
    EXPECT_EQ(doc, nullptr);
    dir.write("good.xml", fullModule());
    ASSERT_EQ(reader.openFile("good.xml", &doc), ZnFedReadSuccess);
    XmlDocPtr owned(doc);
    EXPECT_EQ(reader.processFed(xmlDocGetRootElement(doc)), ZnFedReadSuccess);
}

}  // namespace
