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

std::string harbor() { return slurp(dataPath("harbor.fed")); }

class Read13 : public ::testing::Test {
protected:
    ZnFedReadStatus read(const std::string& text) { return readFed(reader, text, &fom); }
    // The standard MIM into `fom`, as an IEEE 1516 model to map onto.
    void readMim() {
        ZnFedReader1516e evolved;
        ASSERT_EQ(evolved.readFed("HLAstandardMIM.xml", &fom, 0, false, false), ZnFedReadSuccess);
    }
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
    ASSERT_EQ(readFed(reader, harbor(), &fom),
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
    EXPECT_EQ(std::string(bytes.get(), length), harbor());
}

// --- Keywords, roots and values

// Files that stop the read, with the exact message (none for a list of the
// wrong length). Keywords are exact symbols; class names are checked.
TEST_F(Read13, BadFilesStopWithTheirMessages) {
    const std::string minimal = "(FED (Federation F) (FEDversion v) (spaces) (objects (class "
                                "ObjectRoot)) (interactions (class InteractionRoot reliable "
                                "receive)))";
    // `minimal` with the first `from` replaced by `to`.
    auto with = [&](const std::string& from, const std::string& to) {
        std::string text = minimal;
        return text.replace(text.find(from), from.size(), to);
    };
    const auto fail = ZnFedReadFailed;
    expectReads<Fed13Fom>(reader, {
        {with("(FED", "(fed"), 0, fail, "Symbol \"FED\" not found"},
        {with("Federation", "federation"), 0, fail, "Symbol \"Federation\" not found"},
        {with("FEDversion", "FedVersion"), 0, fail, "Symbol \"FEDversion\" not found"},
        {with("(spaces)", "(space)"), 0, fail, "Symbol \"spaces\" not found"},
        {fed("", "", "(spaces S)"), 0, fail, "Symbol \"space\" not found"},
        {fed("", "", "(space S (dim D))"), 0, fail, "Symbol \"dimension\" not found"},
        {with("(objects", "(object"), 0, fail, "Symbol \"objects\" not found"},
        {with("(interactions", "(interaction"), 0, fail, "Symbol \"interactions\" not found"},
        {with("(class ObjectRoot", "(klass ObjectRoot"), 0, fail, "Symbol \"class\" not found"},
        {fed("(class Sub (attr a reliable receive))"), 0, fail, "Unexpected symbol found"},
        {fed("", "(class Sub reliable receive (param p))"), 0, fail, "Unexpected symbol found"},
        {fed("", "(class Sub reliable receive (parameter p q))"), 0, fail,
         "parameter must be followed by a single string"},
        {fed("(class Sub oops)"), 0, fail, "Unexpected symbol found"},
        {fed("(attribute Horn reliable later)"), 0, fail, "Invalid OrderType for Attribute: Horn"},
        {fed("", "(class Outer reliable receive (class Hail reliable soon))"), 0, fail,
         "Invalid OrderType for Interaction: Hail"},
        {with("ObjectRoot", "Root"), 0, fail, "\"ObjectRoot\" not found"},
        {with("InteractionRoot", "Root"), 0, fail, "\"InteractionRoot\" not found"},
        {"", 0, fail, "Unable to find FED in fedfile"},
        {"  ; only a comment\n\n", 0, fail, "Unable to find FED in fedfile"},
        {"(FED (Federation F", 0, fail, "Unexpected problem reading fed file"},
        {")", 0, fail, "Unexpected problem reading fed file"},
        {fed("(class 3D)"), 0, fail, "Unexpected problem reading fed file"},
        {fed("(class (Sub))"), 0, fail, "Unexpected problem reading fed file"},
        {std::string("(FED \x01\xff\0 \x80)", 11), 0, fail,
         "NUL byte in FED file at line 1: a name cannot contain one"},
        {"symbol", 0, fail, ""},
        {with(" (interactions (class InteractionRoot reliable receive))", ""), 0, fail, ""},
        {fed("", "", "(space S (dimension D E))"), 0, fail, ""},
        {fed("(attribute a reliable)"), 0, fail, ""},
        {fed("(attribute a reliable receive S extra)"), 0, fail, ""},
        {fed("", "(class Short reliable)"), 0, fail, ""},
        {with("(class ObjectRoot))", "(class ObjectRoot) x)"), 0, fail, ""},
    });
    EXPECT_EQ(reader.readFedFilePtr(nullptr, &fom, ZnFilename("x.fed"), 0, false, false),
              ZnFedReadNotOpened);
    EXPECT_EQ(reader.lastError(), "No Fed File Given");
    EXPECT_EQ(fom.calls, std::vector<std::string>{"setFomType 1"});
}

// A NUL would cut "A\0B" and "A\0C" down to one class "A": both readers
// refuse the file and say on which line the byte sits, before any delivery.
TEST_F(Read13, NulByteInANameIsRefusedWithItsLine) {
    const std::string nul(1, '\0');
    std::string text = fed("(class A" + nul + "B (attribute x reliable receive))\n"
                           "   (class A" + nul + "C (attribute y reliable receive))");
    ASSERT_NE(text.find('\0'), std::string::npos);
    int line = lineOf(text, "class A");
    const std::string expected =
        "NUL byte in FED file at line " + std::to_string(line) + ": a name cannot contain one";
    EXPECT_EQ(read(text), ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), expected);
    EXPECT_EQ(fom.indexOf("addObjectClass"), -1);
    ZnPxsFedReader plain;
    RecordingFom other;
    EXPECT_EQ(readFed(plain, text, &other), ZnFedReadFailed);
    EXPECT_EQ(plain.lastError(), expected);
    EXPECT_EQ(other.indexOf("addObjectClass"), -1);
}

TEST_F(Read13, RootNamesIgnoreCase) {
    EXPECT_EQ(read("(FED (Federation F) (FEDversion v) (spaces) (objects (class OBJECTROOT)) "
                   "(interactions (class interactionroot reliable receive)))"),
              ZnFedReadSuccess);
    EXPECT_NE(fom.objectClass("OBJECTROOT"), nullptr);
}

TEST_F(Read13, UnknownTransportWarnsAndIsNone) {
    {
        Capture warn(ZnWarn, 1);
        ASSERT_EQ(read(fed("(attribute Horn fast receive)", "(class Hail slow receive)")),
                  ZnFedReadSuccess);
        EXPECT_EQ(warn.text(), "Invalid TransportType for Attribute: Horn"
                               "Invalid TransportType for Interaction: Hail");
    }
    EXPECT_EQ(fom.objectClass("ObjectRoot")->attributes[0].transport, ZnTransportNone);
    EXPECT_EQ(fom.interactionClass("InteractionRoot.Hail")->transport, ZnTransportNone);
}

// --- Bad input

TEST_F(Read13, ThrowingTargetEndsTheReadWithoutLeaking) {
    fom.throwOnClass = "ObjectRoot.Vessel";
    EXPECT_EQ(readFed(reader, harbor(), &fom),
              ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "Unexpected problem reading fed file");
}

// --- Root mapping onto an IEEE 1516 model

TEST_F(Read13, ClassesLandUnderTheStandardRootsOfAnIeeeModel) {
    ASSERT_NO_FATAL_FAILURE(readMim());
    size_t mimClasses = fom.objectClasses().size();
    fom.calls.clear();
    ASSERT_EQ(readFed(reader, harbor(), &fom),
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
    ASSERT_NO_FATAL_FAILURE(readMim());
    fom.calls.clear();
    ZnPxsFedReader plain;
    ASSERT_EQ(readFed(plain, harbor(), &fom),
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
    ASSERT_NO_FATAL_FAILURE(readMim());
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
