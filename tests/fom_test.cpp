// fom_test.cpp -- ZnFom, the library's receiver: which classes it accepts
// (the rule the readers' root replacement depends on), first definitions
// winning, large classes, records owned and freed, transportation codes,
// switch defaults, modules, and several files merged into one model.

#include "fomTestSupport.h"

namespace {

using namespace fomtest;

TEST(FomClasses, RootsAndParentsDecideAcceptance) {
    ZnFom fom;
    EXPECT_FALSE(fom.addObjectClass("A.B", "A"));  // unknown parent
    EXPECT_TRUE(fom.addObjectClass("ObjectRoot", nullptr));
    EXPECT_TRUE(fom.addObjectClass("ObjectRoot", nullptr));     // the existing root again
    EXPECT_FALSE(fom.addObjectClass("HLAobjectRoot", nullptr));  // a second root
    EXPECT_TRUE(fom.addObjectClass("ObjectRoot.Ship", "ObjectRoot"));
    EXPECT_TRUE(fom.addObjectClass("ObjectRoot.Ship", "ObjectRoot"));  // merged, not doubled
    EXPECT_FALSE(fom.addObjectClass("ObjectRoot.Ship", "ObjectRoot.Ship"));  // other parent
    EXPECT_FALSE(fom.addObjectClass("", nullptr));
    EXPECT_FALSE(fom.addObjectClass(nullptr, nullptr));
    ASSERT_EQ(fom.objectClasses().size(), 2u);
    EXPECT_EQ(fom.objectClasses()[1].parent, "ObjectRoot");
    EXPECT_EQ(fom.objectRoot(), "ObjectRoot");
    EXPECT_EQ(fom.objectClass("HLAobjectRoot"), nullptr);
    // Interactions keep their own root.
    EXPECT_TRUE(fom.addInteractionClass("HLAinteractionRoot", nullptr, ZnTransportReliable,
                                        ZnOrderReceive, nullptr));
    EXPECT_FALSE(fom.addInteractionClass("InteractionRoot", nullptr, ZnTransportReliable,
                                         ZnOrderReceive, nullptr));
    EXPECT_TRUE(fom.addInteractionClass("HLAinteractionRoot.Ping", "HLAinteractionRoot",
                                        ZnTransportBestEffort, ZnOrderTimeStamp, "Space"));
    const ZnFom::InteractionClass* ping = fom.interactionClass("HLAinteractionRoot.Ping");
    ASSERT_NE(ping, nullptr);
    EXPECT_EQ(ping->transport, ZnTransportBestEffort);
    EXPECT_EQ(ping->order, ZnOrderTimeStamp);
    EXPECT_EQ(ping->space, "Space");
}

TEST(FomClasses, MembersKeepTheirFirstDefinition) {
    ZnFom fom;
    fom.addObjectClass("R", nullptr);
    ZnString cond("first"), sem("s");
    fom.addAttribute("R", "A", ZnTransportReliable, ZnOrderReceive, ZnSharingPublish,
                     ZnUpdateStatic, &cond, ZnOwnershipDivest, &sem, nullptr);
    ZnString other("second");
    fom.addAttribute("R", "A", ZnTransportBestEffort, ZnOrderTimeStamp, ZnSharingNeither,
                     ZnUpdatePeriodic, &other, ZnOwnershipAcquire, nullptr, nullptr);
    fom.addSpaceAttribute("R", "S", ZnTransportBestEffort, ZnOrderReceive, "Geo");
    fom.addAttribute("Nowhere", "X", ZnTransportNone, ZnOrderNone, ZnSharingPublish,
                     ZnUpdateNA, nullptr, ZnOwnershipNoTransfer, nullptr, nullptr);
    const auto& attrs = fom.objectClass("R")->attributes;
    ASSERT_EQ(attrs.size(), 2u);
    EXPECT_EQ(attrs[0].updateCondition, "first");
    EXPECT_EQ(attrs[0].transport, ZnTransportReliable);
    EXPECT_EQ(attrs[1].space, "Geo");
    fom.addInteractionClass("I", nullptr, ZnTransportReliable, ZnOrderReceive, nullptr);
    fom.addParameter("I", "p");
    fom.addParameter("I", "p");
    fom.addParameter("J", "q");
    EXPECT_EQ(fom.interactionClass("I")->parameters, (std::vector<ZnString>{"p"}));
    ZnString norm("n");
    fom.addDimension("D", 10, 0, 1, false, &norm);
    fom.addDimension("D", 99, 0, 1, true, nullptr);
    EXPECT_EQ(fom.dimension("D")->upperBound, 10u);
    EXPECT_EQ(fom.dimensions().size(), 1u);
}

TEST(FomClasses, MemberDimensionsNeedKnownNames) {
    ZnFom fom;
    fom.addObjectClass("R", nullptr);
    fom.addSpaceAttribute("R", "A", ZnTransportReliable, ZnOrderReceive, nullptr);
    fom.addInteractionClass("I", nullptr, ZnTransportReliable, ZnOrderReceive, nullptr);
    EXPECT_FALSE(fom.addAttributeDimension("R", "A", "D"));  // dimension not declared
    fom.addDimension("D", 4, 0, 1, false, nullptr);
    EXPECT_TRUE(fom.addAttributeDimension("R", "A", "D"));
    EXPECT_TRUE(fom.addAttributeDimension("R", "A", "D"));  // once only
    EXPECT_FALSE(fom.addAttributeDimension("R", "B", "D"));
    EXPECT_FALSE(fom.addAttributeDimension("Q", "A", "D"));
    EXPECT_TRUE(fom.addInteractionDimension("I", "D"));
    EXPECT_FALSE(fom.addInteractionDimension("J", "D"));
    EXPECT_EQ(fom.objectClass("R")->attributes[0].dimensions, (std::vector<ZnString>{"D"}));
    EXPECT_EQ(fom.interactionClass("I")->dimensions, (std::vector<ZnString>{"D"}));
}

TEST(FomClasses, LargeClassesFindEveryMember) {
    // Past the scanning limit the members are indexed; interleaving classes
    // checks that each class keeps its own index.
    ZnFom fom;
    fom.addObjectClass("R", nullptr);
    fom.addObjectClass("R.A", "R");
    fom.addObjectClass("R.B", "R");
    fom.addDimension("D", 4, 0, 1, false, nullptr);
    for (int i = 0; i < 200; ++i) {
        std::string name = "m" + std::to_string(i);
        for (const char* cls : {"R.A", "R.B"}) {
            fom.addSpaceAttribute(cls, name.c_str(), ZnTransportReliable, ZnOrderReceive, nullptr);
            fom.addSpaceAttribute(cls, name.c_str(), ZnTransportBestEffort, ZnOrderReceive,
                                  nullptr);
        }
    }
    for (const char* cls : {"R.A", "R.B"}) {
        const auto& attrs = fom.objectClass(cls)->attributes;
        ASSERT_EQ(attrs.size(), 200u) << cls;
        for (int i = 0; i < 200; ++i) EXPECT_EQ(attrs[i].transport, ZnTransportReliable);
        EXPECT_TRUE(fom.addAttributeDimension(cls, "m3", "D"));
        EXPECT_TRUE(fom.addAttributeDimension(cls, "m199", "D"));
        EXPECT_FALSE(fom.addAttributeDimension(cls, "m200", "D"));
    }
}

TEST(FomRecords, HasAnswersByNameAndDuplicatesAreFreed) {
    ZnFom fom;
    auto* note = new ZnNotesType;
    note->name = "n";
    note->semantics = "first";
    fom.addNote(note);
    ZnNotesType probe;
    probe.name = "n";
    EXPECT_TRUE(fom.hasNote(&probe));
    probe.name = "m";
    EXPECT_FALSE(fom.hasNote(&probe));
    // Added without asking first: the model takes it and frees it.
    auto* again = new ZnNotesType;
    again->name = "n";
    again->semantics = "second";
    fom.addNote(again);
    EXPECT_EQ(fom.notes().size(), 1u);
    EXPECT_EQ(fom.notes().find("n")->semantics, "first");
    auto* sync = new ZnSynchronizationPointsType;
    sync->label = "Ready";
    fom.addSynchronizationPoint(sync);
    ZnSynchronizationPointsType syncProbe;
    syncProbe.label = "Ready";
    EXPECT_TRUE(fom.hasSynchronizationPoint(&syncProbe));
    EXPECT_FALSE(fom.hasNote(nullptr));
    fom.addNote(nullptr);
    EXPECT_EQ(fom.notes().size(), 1u);
}

TEST(FomRecords, TransportationsGetCodesInOrder) {
    ZnFom fom;
    for (const char* name : {"Radio", "HLAreliable", "HLAbestEffort", "Flag", "Radio"}) {
        auto* rec = new ZnTransportationType;
        rec->name = name;
        fom.addTransportation(rec);
    }
    auto code = [&](const char* name) {
        ZnTransportationType probe;
        probe.name = name;
        return fom.transportTypeOf(&probe);
    };
    EXPECT_EQ(code("HLAbestEffort"), ZnTransportBestEffort);
    EXPECT_EQ(code("HLAreliable"), ZnTransportReliable);
    EXPECT_EQ(code("Radio"), 2);
    EXPECT_EQ(code("Flag"), 3);
    EXPECT_EQ(code("Unknown"), ZnTransportNone);
    EXPECT_EQ(fom.transportations().size(), 4u);
    EXPECT_EQ(fom.transportations()[0].name, "Radio");
}

TEST(FomSwitches, TableFallsBackOnDefaults) {
    ZnFom fom;
    EXPECT_FALSE(fom.hasSwitch("autoProvide"));
    EXPECT_EQ(fom.switchValue("objectClassRelevanceAdvisory"),
              ZnFedTarget::defaultObjectClassRelevanceAdvisory());
    EXPECT_EQ(fom.switchValue("exceptionReporting"), ZnFedTarget::defaultExceptionReporting());
    EXPECT_FALSE(fom.switchValue("noSuchSwitch"));
    fom.setSwitch("objectClassRelevanceAdvisory", !ZnFedTarget::defaultObjectClassRelevanceAdvisory());
    EXPECT_TRUE(fom.hasSwitch("objectClassRelevanceAdvisory"));
    EXPECT_NE(fom.switchValue("objectClassRelevanceAdvisory"),
              ZnFedTarget::defaultObjectClassRelevanceAdvisory());
    EXPECT_EQ(fom.autoProvide(), ZnFedTarget::defaultAutoProvide());
    EXPECT_EQ(fom.interactionRelevanceAdvisory(),
              ZnFedTarget::defaultInteractionRelevanceAdvisory());
    EXPECT_EQ(fom.automaticResignAction(), 6);
}

TEST(FomModules, NamesAndDependenciesAreKeptPerModule) {
    ZnFom fom;
    fom.setModuleDependencies({"Orphan"});  // before any name: an unnamed module
    fom.setModuleName("Base");
    fom.setModuleName("Harbor");
    fom.setModuleDependencies({"Base", "Weather"});
    ASSERT_EQ(fom.modules().size(), 3u);
    EXPECT_EQ(fom.modules()[0].dependencies, (std::vector<ZnString>{"Orphan"}));
    EXPECT_TRUE(fom.modules()[1].dependencies.empty());
    EXPECT_EQ(fom.modules()[2].name, "Harbor");
    EXPECT_EQ(fom.modules()[2].dependencies, (std::vector<ZnString>{"Base", "Weather"}));
}

TEST(FomMerging, SecondFileAddsToTheFirst) {
    Quiet quiet;
    ZnFedReader1516 reader;
    ZnFom fom;
    ASSERT_EQ(reader.readFed(dataPath("harbor.fdd").c_str(), &fom, 1, false, false),
              ZnFedReadSuccess);
    std::string extra = fddDoc(
        "<objects><objectClass name=\"HLAobjectRoot\"><objectClass name=\"Vessel\">"
        "<attribute name=\"Position\" transportation=\"HLAreliable\"/>"
        "<attribute name=\"Draft\"/></objectClass></objectClass></objects>"
        "<notes><note name=\"N1\" semantics=\"again\"/><note name=\"N2\"/></notes>");
    EXPECT_EQ(readText(reader, extra, &fom, 1), ZnFedReadSuccess) << reader.lastError();
    const auto& attrs = fom.objectClass("HLAobjectRoot.Vessel")->attributes;
    ASSERT_EQ(attrs.size(), 3u);
    EXPECT_EQ(attrs[0].transport, ZnTransportBestEffort);  // the first file's definition
    EXPECT_EQ(attrs[2].name, "Draft");
    EXPECT_EQ(fom.notes().size(), 2u);
    EXPECT_EQ(fom.notes().find("N1")->semantics, "Positions are in harbor grid units");
}

}  // namespace
