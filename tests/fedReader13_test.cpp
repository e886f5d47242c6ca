// fedReader13_test.cpp -- the HLA 1.3 FED readers: delivery order, the
// keyword, root-name, transport and order rules, their messages, root
// mapping onto an IEEE 1516 model with the management classes skipped, the
// plain reader's differences, bad input and very large files.

#include "fomTestSupport.h"

namespace {

using namespace fomtest;

// A FED file with the given spaces, object root body and interaction root body.
std::string fed(const std::string& objects, const std::string& interactions = "",
                const std::string& spaces = "") {
    return "(FED (Federation Test) (FEDversion v1.3) (spaces " + spaces +
           ")\n (objects (class ObjectRoot " + objects +
           "))\n (interactions (class InteractionRoot reliable receive " + interactions + ")))\n";
}

// A target that also writes down the arguments of the 1.3 calls.
class Fed13Fom : public RecordingFom {
public:
    ZnFomType reportedType = ZnFomUnknown;  // what fomType() answers when set

    void addSpace(const char* space) override {
        calls.push_back("addSpace " + text(space));
        RecordingFom::addSpace(space);
    }
    void addSpaceDimension(const char* space, const char* dimension) override {
        calls.push_back("addSpaceDimension " + text(space) + " " + text(dimension));
        RecordingFom::addSpaceDimension(space, dimension);
    }
    bool addInteractionClass(const char* name, const char* parent, ZnTransportType t,
                             ZnOrderType o, const char* space) override {
        calls.push_back("addInteractionClass " + text(name) + " " + text(parent) + " " +
                        std::to_string(t) + " " + std::to_string(o) + " " + text(space));
        if (name && refuse.count(name)) return false;
        return ZnFom::addInteractionClass(name, parent, t, o, space);
    }
    ZnFomType fomType() const override {
        return reportedType != ZnFomUnknown ? reportedType : ZnFom::fomType();
    }
};

template <class Reader>
ZnFedReadStatus readFed(Reader& reader, const std::string& text, ZnFedTarget* target) {
    TempDir dir;
    std::string path = dir.write("model.fed", text);
    OpenFile file(path);
    return reader.readFedFilePtr(file.get(), target, ZnFilename(path.c_str()), 0, false, false);
}

class Read13 : public ::testing::Test {
protected:
    ZnFedReadStatus read(const std::string& text) { return readFed(reader, text, &fom); }
    Quiet quiet;
    ZnFedReader13 reader;
    Fed13Fom fom;
};

// --- Delivery

TEST_F(Read13, MinimalFileIsDeliveredInOrder) {
    ASSERT_EQ(read("(FED (Federation F) (FEDversion v1.3) (spaces)\n"
                   " (objects (class ObjectRoot (attribute a best_effort receive)))\n"
                   " (interactions (class InteractionRoot reliable timestamp (parameter p))))"),
              ZnFedReadSuccess)
        << reader.lastError();
    EXPECT_EQ(fom.calls, (std::vector<std::string>{
                             "setFomType 1",
                             "addObjectClass ObjectRoot (null)",
                             "addSpaceAttribute ObjectRoot a 0 0 (null)",
                             "addInteractionClass InteractionRoot (null) 1 1 (null)",
                             "addParameter InteractionRoot p",
                         }));
    EXPECT_EQ(reader.lastError(), "");
}

TEST_F(Read13, HarborGivesSpacesNestedClassesAndMembers) {
    std::string path = dataPath("harbor.fed");
    OpenFile file(path);
    ASSERT_EQ(reader.readFedFilePtr(file.get(), &fom, ZnFilename(path.c_str()), 0, false, false),
              ZnFedReadSuccess)
        << reader.lastError();
    ASSERT_EQ(fom.spaces().size(), 2u);
    EXPECT_EQ(fom.spaces()[0].dimensions, (std::vector<ZnString>{"Quay", "Tide"}));
    EXPECT_EQ(fom.spaces()[1].name, "Open Sea");
    EXPECT_GE(fom.indexOf("addSpaceDimension Open Sea Range"), 0);
    const ZnFom::ObjectClass* tug = fom.objectClass("ObjectRoot.Vessel.Tug");
    ASSERT_NE(tug, nullptr);
    EXPECT_EQ(tug->parent, "ObjectRoot.Vessel");
    const ZnFom::ObjectClass* vessel = fom.objectClass("ObjectRoot.Vessel");
    EXPECT_EQ(vessel->attributes[0].space, "Basin");
    EXPECT_EQ(vessel->attributes[1].transport, ZnTransportReliable);  // RELIABLE
    EXPECT_EQ(vessel->attributes[1].order, ZnOrderTimeStamp);          // TimeStamp
    // Classes come before their subclasses and members in file order.
    EXPECT_LT(fom.indexOf("addObjectClass ObjectRoot.Vessel ObjectRoot"),
              fom.indexOf("addSpaceAttribute ObjectRoot.Vessel Position"));
    EXPECT_LT(fom.indexOf("addObjectClass ObjectRoot.Vessel.Tug"),
              fom.indexOf("addObjectClass ObjectRoot.Manager ObjectRoot"));
    EXPECT_GE(fom.indexOf("addInteractionClass InteractionRoot.Berth InteractionRoot 1 1 Basin"),
              0);
    EXPECT_EQ(fom.interactionClass("InteractionRoot.Berth")->parameters,
              (std::vector<ZnString>{"Pier", "Slot"}));
    EXPECT_GE(fom.indexOf("addInteractionClass InteractionRoot.Horn InteractionRoot 0 0 (null)"),
              0);
    // The bytes stay with the reader, and the text after the FED list was never read.
    unsigned int length = reader.currFddDataLength();
    std::unique_ptr<char[]> bytes(reader.takeCurrFddData());
    EXPECT_EQ(std::string(bytes.get(), length), slurp(path));
}

// --- Keywords, roots and values

TEST_F(Read13, HeadKeywordsAreExactSymbols) {
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"(fed (Federation F) (FEDversion v) (spaces) (objects (class ObjectRoot)) "
         "(interactions (class InteractionRoot reliable receive)))",
         "Symbol \"FED\" not found"},
        {"(FED (federation F) (FEDversion v) (spaces) (objects (class ObjectRoot)) "
         "(interactions (class InteractionRoot reliable receive)))",
         "Symbol \"Federation\" not found"},
        {"(FED (Federation F) (FedVersion v) (spaces) (objects (class ObjectRoot)) "
         "(interactions (class InteractionRoot reliable receive)))",
         "Symbol \"FEDversion\" not found"},
        {"(FED (Federation F) (FEDversion v) (space) (objects (class ObjectRoot)) "
         "(interactions (class InteractionRoot reliable receive)))",
         "Symbol \"spaces\" not found"},
        {fed("", "", "(spaces S)"), "Symbol \"space\" not found"},
        {fed("", "", "(space S (dim D))"), "Symbol \"dimension\" not found"},
        {"(FED (Federation F) (FEDversion v) (spaces) (object (class ObjectRoot)) "
         "(interactions (class InteractionRoot reliable receive)))",
         "Symbol \"objects\" not found"},
        {"(FED (Federation F) (FEDversion v) (spaces) (objects (class ObjectRoot)) "
         "(interaction (class InteractionRoot reliable receive)))",
         "Symbol \"interactions\" not found"},
        {"(FED (Federation F) (FEDversion v) (spaces) (objects (klass ObjectRoot)) "
         "(interactions (class InteractionRoot reliable receive)))",
         "Symbol \"class\" not found"},
        {fed("(class Sub (attr a reliable receive))"), "Unexpected symbol found"},
        {fed("", "(class Sub reliable receive (param p))"), "Unexpected symbol found"},
        {fed("", "(class Sub reliable receive (parameter p q))"),
         "parameter must be followed by a single string"},
        {fed("(class Sub oops)"), "Unexpected symbol found"},
    };
    for (const auto& c : cases) {
        Fed13Fom target;
        EXPECT_EQ(readFed(reader, c.text, &target), ZnFedReadFailed) << c.text;
        EXPECT_EQ(reader.lastError(), c.message) << c.text;
    }
}

TEST_F(Read13, RootNamesIgnoreCaseAndOthersAreRefused) {
    EXPECT_EQ(read("(FED (Federation F) (FEDversion v) (spaces) (objects (class OBJECTROOT)) "
                   "(interactions (class interactionroot reliable receive)))"),
              ZnFedReadSuccess);
    EXPECT_NE(fom.objectClass("OBJECTROOT"), nullptr);
    Fed13Fom other;
    EXPECT_EQ(readFed(reader,
                      "(FED (Federation F) (FEDversion v) (spaces) (objects (class Root)) "
                      "(interactions (class InteractionRoot reliable receive)))",
                      &other),
              ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "\"ObjectRoot\" not found");
    EXPECT_EQ(readFed(reader,
                      "(FED (Federation F) (FEDversion v) (spaces) (objects (class ObjectRoot)) "
                      "(interactions (class Root reliable receive)))",
                      &other),
              ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "\"InteractionRoot\" not found");
}

TEST_F(Read13, WrongLengthsStopWithoutAMessage) {
    const std::string cases[] = {
        "(FED (Federation F) (FEDversion v) (spaces) (objects (class ObjectRoot)))",
        fed("", "", "(space S (dimension D E))"),
        fed("(attribute a reliable)"),
        fed("(attribute a reliable receive S extra)"),
        fed("", "(class Short reliable)"),
        "(FED (Federation F) (FEDversion v) (spaces) (objects (class ObjectRoot) x) "
        "(interactions (class InteractionRoot reliable receive)))",
    };
    for (const std::string& text : cases) {
        Fed13Fom target;
        EXPECT_EQ(readFed(reader, text, &target), ZnFedReadFailed) << text;
        EXPECT_EQ(reader.lastError(), "") << text;
    }
}

TEST_F(Read13, UnknownTransportWarnsAndUnknownOrderStops) {
    {
        Capture warn(ZnWarn, 1);
        ASSERT_EQ(read(fed("(attribute Horn fast receive)", "(class Hail slow receive)")),
                  ZnFedReadSuccess);
        EXPECT_EQ(warn.text(), "Invalid TransportType for Attribute: Horn"
                               "Invalid TransportType for Interaction: Hail");
    }
    EXPECT_EQ(fom.objectClass("ObjectRoot")->attributes[0].transport, ZnTransportNone);
    EXPECT_EQ(fom.interactionClass("InteractionRoot.Hail")->transport, ZnTransportNone);
    Fed13Fom attr, inter;
    EXPECT_EQ(readFed(reader, fed("(attribute Horn reliable later)"), &attr), ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "Invalid OrderType for Attribute: Horn");
    EXPECT_EQ(readFed(reader, fed("", "(class Outer reliable receive (class Hail reliable soon))"),
                      &inter),
              ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "Invalid OrderType for Interaction: Hail");
}

// --- Bad input

TEST_F(Read13, UnreadableFilesGiveTheirMessages) {
    EXPECT_EQ(reader.readFedFilePtr(nullptr, &fom, ZnFilename("x.fed"), 0, false, false),
              ZnFedReadNotOpened);
    EXPECT_EQ(reader.lastError(), "No Fed File Given");
    EXPECT_EQ(fom.calls, std::vector<std::string>{"setFomType 1"});
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"", "Unable to find FED in fedfile"},
        {"  ; only a comment\n\n", "Unable to find FED in fedfile"},
        {"(FED (Federation F", "Unexpected problem reading fed file"},
        {")", "Unexpected problem reading fed file"},
        {fed("(class 3D)"), "Unexpected problem reading fed file"},
        {fed("(class (Sub))"), "Unexpected problem reading fed file"},
        {std::string("(FED \x01\xff\0 \x80)", 11), ""},  // a list of four: wrong length
        {"symbol", ""},
    };
    for (const auto& c : cases) {
        Fed13Fom target;
        EXPECT_EQ(readFed(reader, c.text, &target), ZnFedReadFailed) << c.text;
        EXPECT_EQ(reader.lastError(), c.message) << c.text;
    }
}

TEST_F(Read13, ThrowingTargetEndsTheReadWithoutLeaking) {
    fom.throwOnClass = "ObjectRoot.Vessel";
    std::string path = dataPath("harbor.fed");
    OpenFile file(path);
    EXPECT_EQ(reader.readFedFilePtr(file.get(), &fom, ZnFilename(path.c_str()), 0, false, false),
              ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "Unexpected problem reading fed file");
}

// --- Root mapping onto an IEEE 1516 model

TEST_F(Read13, ClassesLandUnderTheStandardRootsOfAnIeeeModel) {
    ZnFedReader1516e evolved;
    ASSERT_EQ(evolved.readFed("HLAstandardMIM.xml", &fom, 0, false, false), ZnFedReadSuccess);
    size_t mimClasses = fom.objectClasses().size();
    fom.calls.clear();
    std::string path = dataPath("harbor.fed");
    OpenFile file(path);
    ASSERT_EQ(reader.readFedFilePtr(file.get(), &fom, ZnFilename(path.c_str()), 0, false, false),
              ZnFedReadSuccess)
        << reader.lastError();
    EXPECT_TRUE(reader.objectRootReplaced());
    EXPECT_TRUE(reader.interactionRootReplaced());
    EXPECT_NE(fom.objectClass("HLAobjectRoot.Vessel.Tug"), nullptr);
    EXPECT_NE(fom.objectClass("HLAobjectRoot.Crane"), nullptr);
    EXPECT_EQ(fom.objectClass("ObjectRoot"), nullptr);
    // RTIprivate and every *Manager* class are skipped with their subtrees.
    EXPECT_EQ(fom.count("addObjectClass HLAobjectRoot.RTIprivate"), 0);
    EXPECT_EQ(fom.count("addObjectClass HLAobjectRoot.Manager"), 0);
    EXPECT_EQ(fom.count("addSpaceAttribute HLAobjectRoot.Manager"), 0);
    EXPECT_EQ(fom.objectClasses().size(), mimClasses + 3);
    EXPECT_NE(fom.interactionClass("HLAinteractionRoot.Berth"), nullptr);
    EXPECT_EQ(fom.count("addInteractionClass HLAinteractionRoot.Manager"), 0);
    EXPECT_EQ(fom.count("addParameter HLAinteractionRoot.Manager.Federate"), 0);
    // The root attribute joins the standard root's own.
    const ZnFom::ObjectClass* root = fom.objectClass("HLAobjectRoot");
    EXPECT_EQ(root->attributes.back().name, "privilegeToDelete");

    // The same reader keeps mapping for the next file.
    fom.calls.clear();
    ASSERT_EQ(read(fed("(class rtiprivate) (class Buoy)", "(class Hail reliable receive)")),
              ZnFedReadSuccess);
    EXPECT_EQ(fom.count("addObjectClass ObjectRoot."), 0);
    EXPECT_NE(fom.objectClass("HLAobjectRoot.Buoy"), nullptr);
    EXPECT_EQ(fom.count("addObjectClass HLAobjectRoot.rtiprivate"), 0);
}

TEST_F(Read13, RefusedClassesStopTheReadUnlessManagement) {
    fom.refuse = {"ObjectRoot.Vessel"};
    EXPECT_EQ(read(fed("(class Vessel (class Tug))")), ZnFedReadFailed);
    EXPECT_EQ(fom.count("addObjectClass ObjectRoot.Vessel.Tug"), 0);
    Fed13Fom management;
    management.refuse = {"ObjectRoot.Manager", "InteractionRoot.RTIprivate"};
    EXPECT_EQ(readFed(reader,
                      fed("(class Manager (class Federate)) (class Crane)",
                          "(class RTIprivate reliable receive (parameter p))"),
                      &management),
              ZnFedReadSuccess);
    EXPECT_EQ(management.count("addObjectClass ObjectRoot.Manager.Federate"), 0);
    EXPECT_NE(management.objectClass("ObjectRoot.Crane"), nullptr);
    EXPECT_EQ(management.count("addParameter"), 0);
}

TEST_F(Read13, RefusedRootWithASpaceIsRetriedOnceByTheTargetsFormat) {
    const std::string text = "(FED (Federation F) (FEDversion v) (spaces (space S)) (objects "
                             "(class ObjectRoot)) (interactions (class InteractionRoot reliable "
                             "receive S (class Hail reliable receive))))";
    // A target that says it holds an HLA 1.3 model gets the IEEE root.
    fom.reportedType = ZnFomHla13;
    fom.refuse = {"InteractionRoot"};
    ASSERT_EQ(read(text), ZnFedReadSuccess) << reader.lastError();
    EXPECT_GE(fom.indexOf("addInteractionClass HLAinteractionRoot (null) 1 0 S"), 0);
    EXPECT_NE(fom.interactionClass("HLAinteractionRoot.Hail"), nullptr);
    EXPECT_FALSE(reader.interactionRootReplaced());
    // Any other target gets the same root once more, and a second refusal stops the read.
    Fed13Fom other;
    other.reportedType = ZnFomEvolved;
    other.refuse = {"InteractionRoot"};
    EXPECT_EQ(readFed(reader, text, &other), ZnFedReadFailed);
    EXPECT_EQ(other.count("addInteractionClass InteractionRoot (null)"), 2);
    EXPECT_EQ(other.count("addInteractionClass HLAinteractionRoot"), 0);
}

// --- The plain reader

TEST_F(Read13, PlainReaderOffersEveryClassAsWrittenAndIgnoresAnswers) {
    ZnFedReader1516e evolved;
    ASSERT_EQ(evolved.readFed("HLAstandardMIM.xml", &fom, 0, false, false), ZnFedReadSuccess);
    fom.calls.clear();
    ZnPxsFedReader plain;
    std::string path = dataPath("harbor.fed");
    OpenFile file(path);
    ASSERT_EQ(plain.readFedFilePtr(file.get(), &fom, ZnFilename(path.c_str()), 0, false, false),
              ZnFedReadSuccess)
        << plain.lastError();
    EXPECT_EQ(fom.count("setFomType"), 0);
    EXPECT_GE(fom.indexOf("addObjectClass ObjectRoot (null)"), 0);
    EXPECT_GE(fom.indexOf("addObjectClass ObjectRoot.RTIprivate ObjectRoot"), 0);
    EXPECT_GE(fom.indexOf("addObjectClass ObjectRoot.Manager.Federate ObjectRoot.Manager"), 0);
    EXPECT_GE(fom.indexOf("addParameter InteractionRoot.Manager.Federate Federate"), 0);
    EXPECT_EQ(fom.objectClass("HLAobjectRoot.Vessel"), nullptr);
    EXPECT_EQ(plain.takeCurrFddData(), nullptr);
    // Messages and statuses are the ones of ZnFedReader13.
    EXPECT_EQ(readFed(plain, fed("(attribute Horn reliable later)"), nullptr), ZnFedReadFailed);
    EXPECT_EQ(plain.lastError(), "Invalid OrderType for Attribute: Horn");
    EXPECT_EQ(plain.readFedFilePtr(nullptr, nullptr, ZnFilename("x.fed"), 0, false, false),
              ZnFedReadNotOpened);
}

TEST_F(Read13, TracesNameTheSkippedClasses) {
    ZnFedReader1516e evolved;
    ASSERT_EQ(evolved.readFed("HLAstandardMIM.xml", &fom, 0, false, false), ZnFedReadSuccess);
    Capture verbose(ZnVerbose, 3);
    ASSERT_EQ(read(fed("(class Manager (class Federate))", "(class Hail reliable receive S)")),
              ZnFedReadSuccess);
    std::string trace = verbose.text();
    EXPECT_NE(trace.find("Class: ObjectRoot, Base: none \n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("Replacing ObjectRoot with HLAobjectRoot to match Federation FOM.\n"
                         "Attributes and subclasses will be attempted with replacement root.\n"),
              std::string::npos);
    EXPECT_NE(trace.find("Skip Class: HLAobjectRoot.Manager, Base: HLAobjectRoot \n"
                         "All subclasses and parameters will also be skipped.\n"),
              std::string::npos);
    EXPECT_EQ(trace.find("Federate"), std::string::npos);  // the subtree is not even traced
    EXPECT_NE(trace.find("Class: HLAinteractionRoot.Hail, base: HLAinteractionRoot, transport: "
                         "reliable, order: receive, space: S\n"),
              std::string::npos);
}

// --- Size

TEST_F(Read13, HundredThousandClassesRead) {
    std::string objects;
    objects.reserve(5'000'000);
    for (int i = 0; i < 100000; ++i)
        objects += "(class C" + std::to_string(i) + " (attribute a reliable receive))\n";
    ZnFom big;
    ASSERT_EQ(readFed(reader, fed(objects), &big), ZnFedReadSuccess) << reader.lastError();
    EXPECT_EQ(big.objectClasses().size(), 100001u);
    EXPECT_EQ(big.objectClass("ObjectRoot.C99999")->attributes.size(), 1u);
}

TEST_F(Read13, DeeplyNestedClassesAreWalkedWithoutRecursion) {
    // The PXS reader allows 10,000 levels in one datum; the walk keeps up.
    auto nested = [](int depth) {
        std::string objects;
        for (int i = 0; i < depth; ++i) objects += "(class c ";
        return objects + "(attribute a reliable receive)" + std::string(depth, ')');
    };
    ZnPxsFedReader plain;
    EXPECT_EQ(readFed(plain, fed(nested(9000)), nullptr), ZnFedReadSuccess) << plain.lastError();
    ZnFom deep;
    ASSERT_EQ(readFed(reader, fed(nested(2000)), &deep), ZnFedReadSuccess) << reader.lastError();
    ASSERT_EQ(deep.objectClasses().size(), 2001u);
    EXPECT_EQ(deep.objectClasses().back().attributes.size(), 1u);
    EXPECT_EQ(deep.objectClasses().back().name.size(), std::string("ObjectRoot").size() + 2 * 2000);
    // Past the reader's bound the file is refused, not crashed on.
    EXPECT_EQ(readFed(reader, fed(nested(10010)), &deep), ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "Unexpected problem reading fed file");
}

}  // namespace
