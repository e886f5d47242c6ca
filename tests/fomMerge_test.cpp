// fomMerge_test.cpp -- ZnFomMerge over small HLA Evolved modules: scaffolding,
// member lists that must agree, dimensions, rates and data types of one name,
// the completeness check, both policies, and the properties a merge must
// have (a set merged with itself or with scaffolding is the same model).

#include "fomTestSupport.h"

namespace {

using namespace fomtest;

// A module: the children of HLAobjectRoot and HLAinteractionRoot and the
// other tables, each element on lines of its own so positions can be found.
struct Module {
    std::string objects, interactions, dimensions, transportations, updateRates, dataTypes;

    std::string text() const {
        return "<?xml version=\"1.0\"?>\n<objectModel>\n"
               "<objects>\n<objectClass><name>HLAobjectRoot</name>\n" +
               objects + "</objectClass>\n</objects>\n" +
               "<interactions>\n<interactionClass><name>HLAinteractionRoot</name>\n" +
               interactions + "</interactionClass>\n</interactions>\n" +
               "<dimensions>\n" + dimensions + "</dimensions>\n" +
               "<transportations>\n" + transportations + "</transportations>\n" +
               "<updateRates>\n" + updateRates + "</updateRates>\n" +
               "<dataTypes>\n" + dataTypes + "</dataTypes>\n</objectModel>\n";
    }
};

std::string attribute(const std::string& name, const std::string& type,
                      const std::string& extra = "") {
    return "<attribute><name>" + name + "</name><dataType>" + type + "</dataType>" + extra +
           "</attribute>\n";
}

const char* kBasic =
    "<basicDataRepresentations>\n"
    "<basicData><name>Int32</name><size>32</size><endian>Big</endian></basicData>\n"
    "</basicDataRepresentations>\n";

// Ship with two attributes, a Berth interaction with one parameter, a
// dimension and the data types they use.
Module shipModule() {
    Module m;
    m.objects = "<objectClass><name>Ship</name><sharing>PublishSubscribe</sharing>\n" +
                attribute("Speed", "Knots",
                          "<updateType>Periodic</updateType><transportation>HLAbestEffort"
                          "</transportation><order>Receive</order>"
                          "<dimensions><dimension>Quay</dimension></dimensions>") +
                attribute("Name", "Knots") + "</objectClass>\n";
    m.interactions =
        "<interactionClass><name>Berth</name><transportation>HLAreliable</transportation>"
        "<order>TimeStamp</order>\n"
        "<parameter><name>Pier</name><dataType>Knots</dataType></parameter>\n"
        "</interactionClass>\n";
    m.dimensions = "<dimension><name>Quay</name><upperBound>12</upperBound></dimension>\n";
    m.transportations =
        "<transportation><name>Convoy</name><reliable>Yes</reliable></transportation>\n";
    m.updateRates = "<updateRate><name>Slow</name><rate>1</rate></updateRate>\n";
    m.dataTypes = std::string(kBasic) +
                  "<simpleDataTypes>\n"
                  "<simpleData><name>Knots</name><representation>Int32</representation>"
                  "</simpleData>\n</simpleDataTypes>\n";
    return m;
}

// A module that only restates the classes another one defines.
Module scaffolding() {
    Module m;
    m.objects = "<objectClass><name>Ship</name>\n<objectClass><name>Tug</name>\n" +
                attribute("Pull", "Knots") + "</objectClass>\n</objectClass>\n";
    m.interactions = "<interactionClass><name>Berth</name></interactionClass>\n";
    return m;
}

class Merge {
public:
    explicit Merge(ZnMergePolicy policy = ZnMergePolicy::Strict) : fom(policy) {}

    // Reads `module` as the file `name`, ending the module afterwards; with
    // `spread`, every start tag is spread over lines.
    ZnFedReadStatus read(const std::string& name, const Module& module, unsigned strict = 1,
                         bool spread = false) {
        const std::string text = spread ? spreadStartTags(module.text()) : module.text();
        texts[name] = text;
        std::string path = dir.write(name, text);
        fom.beginModule(path);
        OpenFile file(path);
        ZnFedReadStatus status = reader.readFedFilePtr(file.get(), &fom,
                                                       ZnFilename(path.c_str()), strict, false,
                                                       false);
        fom.endModule();
        return status;
    }
    // The built-in MIM, as the first module.
    ZnFedReadStatus readMim() {
        fom.beginModule("HLAstandardMIM.xml");
        ZnFedReadStatus status = reader.readFed("HLAstandardMIM.xml", &fom, 1, false, false);
        fom.endModule();
        return status;
    }
    std::string path(const std::string& name) const { return dir.file(name); }
    int line(const std::string& name, const std::string& what) const {
        return lineOf(texts.at(name), what);
    }
    // The one diagnostic about `element`; fails the test unless there is exactly one.
    const ZnFomDiagnostic* about(const std::string& element) const {
        const ZnFomDiagnostic* found = nullptr;
        int n = 0;
        for (const ZnFomDiagnostic& d : fom.diagnostics())
            if (d.element == element) {
                found = &d;
                ++n;
            }
        EXPECT_EQ(n, 1) << element;
        return n == 1 ? found : nullptr;
    }

    Quiet quiet;
    TempDir dir;
    ZnFedReader1516e reader;
    ZnFomMerge fom;
    std::map<std::string, std::string> texts;
};

// The model as text: classes, members and their properties, dimensions,
// rates and data type names; what merges must leave alike.
std::string dump(const ZnFomMerge& fom) {
    std::ostringstream out;
    for (const ZnFom::ObjectClass& c : fom.objectClasses()) {
        out << "class " << c.name << " <" << c.parent << ">\n";
        for (const ZnFom::Attribute& a : c.attributes) {
            const ZnString* type = fom.attributeDataTypeOf(c.name, a.name);
            out << "  " << a.name << " " << (type ? type->string() : "-") << " " << a.transport
                << a.order << a.sharing << a.updateType << a.ownership;
            for (const ZnString& d : a.dimensions) out << " " << d;
            out << "\n";
        }
    }
    for (const ZnFom::InteractionClass& c : fom.interactionClasses()) {
        out << "interaction " << c.name << " " << c.transport << c.order << "\n";
        for (const ZnString& p : c.parameters) out << "  " << p << "\n";
    }
    for (const ZnFom::Dimension& d : fom.dimensions()) out << "dimension " << d.name << "\n";
    for (size_t i = 0; i < fom.updateRates().size(); ++i)
        out << "rate " << fom.updateRates()[i].name << "\n";
    for (size_t i = 0; i < fom.simpleDatatypes().size(); ++i)
        out << "simple " << fom.simpleDatatypes()[i].name << "\n";
    return out.str();
}

// --- Rule 1: classes by full name; scaffolding changes nothing.

TEST(MergeScaffolding, RestatedClassesWithoutMembersAreAcceptedInAnyOrder) {
    Merge shipFirst;
    ASSERT_EQ(shipFirst.read("ship.xml", shipModule()), ZnFedReadSuccess)
        << shipFirst.reader.lastError();
    ASSERT_EQ(shipFirst.read("tug.xml", scaffolding()), ZnFedReadSuccess)
        << shipFirst.reader.lastError();
    EXPECT_TRUE(shipFirst.fom.diagnostics().empty());
    const ZnFom::ObjectClass* ship = shipFirst.fom.objectClass("HLAobjectRoot.Ship");
    ASSERT_NE(ship, nullptr);
    EXPECT_EQ(ship->attributes.size(), 2u);
    ASSERT_NE(shipFirst.fom.objectClass("HLAobjectRoot.Ship.Tug"), nullptr);
    // The class keeps the module that defined it as its source.
    const auto where = shipFirst.fom.definitionOf("objectClass HLAobjectRoot.Ship");
    ASSERT_TRUE(where.has_value());
    EXPECT_EQ(where->file, shipFirst.path("ship.xml"));

    // Scaffolding read first: the members still come from the module that lists them.
    Merge tugFirst;
    ASSERT_EQ(tugFirst.read("tug.xml", scaffolding()), ZnFedReadSuccess);
    ASSERT_EQ(tugFirst.read("ship.xml", shipModule()), ZnFedReadSuccess)
        << tugFirst.reader.lastError();
    EXPECT_TRUE(tugFirst.fom.diagnostics().empty());
    EXPECT_EQ(tugFirst.fom.objectClass("HLAobjectRoot.Ship")->attributes.size(), 2u);
    EXPECT_EQ(tugFirst.fom.interactionClass("HLAinteractionRoot.Berth")->parameters.size(), 1u);
}

// --- Rule 2: member lists of one class agree.

TEST(MergeMembers, AnExtraMemberIsAConflictAtItsOwnPosition) {
    Merge m;
    ASSERT_EQ(m.read("ship.xml", shipModule()), ZnFedReadSuccess);
    Module other = shipModule();
    other.objects = "<objectClass><name>Ship</name>\n" + attribute("Speed", "Knots") +
                    attribute("Name", "Knots") + attribute("Draft", "Knots") +
                    "</objectClass>\n";
    EXPECT_EQ(m.read("other.xml", other), ZnFedReadFailed);
    const ZnFomDiagnostic* d = m.about("attribute HLAobjectRoot.Ship.Draft");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->severity, ZnFomDiagnostic::Error);
    EXPECT_EQ(d->file, m.path("other.xml"));
    EXPECT_EQ(d->line, m.line("other.xml", "<name>Draft</name>"));
    EXPECT_EQ(d->otherFile, m.path("ship.xml"));
    EXPECT_EQ(d->otherLine, m.line("ship.xml", "<name>Ship</name>"));
    // The reader stopped with the diagnostic as its reason, and Ship kept its list.
    EXPECT_NE(m.reader.lastError().findString("attribute HLAobjectRoot.Ship.Draft"), -1);
    EXPECT_EQ(m.fom.objectClass("HLAobjectRoot.Ship")->attributes.size(), 2u);
}

TEST(MergeMembers, AMissingMemberIsFoundWhenTheModuleEnds) {
    Merge m;
    ASSERT_EQ(m.read("ship.xml", shipModule()), ZnFedReadSuccess);
    Module other;
    other.objects = "<objectClass><name>Ship</name>\n" + attribute("Name", "Knots") +
                    "</objectClass>\n";
    m.read("other.xml", other);
    const ZnFomDiagnostic* d = m.about("attribute HLAobjectRoot.Ship.Speed");
    ASSERT_NE(d, nullptr);
    // Named where the module restates the class, against the member it lacks.
    EXPECT_EQ(d->file, m.path("other.xml"));
    EXPECT_EQ(d->line, m.line("other.xml", "<name>Ship</name>"));
    EXPECT_EQ(d->otherFile, m.path("ship.xml"));
    EXPECT_EQ(d->otherLine, m.line("ship.xml", "<name>Speed</name>"));
    EXPECT_TRUE(m.fom.failed());
}

TEST(MergeMembers, PropertiesBothModulesGiveMustAgree) {
    struct Case {
        const char* what;
        std::string speed;  // the restated Speed attribute
        std::string message;
    } cases[] = {
        {"data type", attribute("Speed", "Other"), "has data type Other where the first definition has Knots"},
        {"transportation",
         attribute("Speed", "Knots", "<transportation>HLAreliable</transportation>"),
         "transportation differs from the first definition"},
        {"update type", attribute("Speed", "Knots", "<updateType>Static</updateType>"),
         "update type differs from the first definition"},
        {"dimensions",
         attribute("Speed", "Knots", "<dimensions><dimension>Tide</dimension></dimensions>"),
         "has dimensions Tide where the first definition has Quay"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Merge m;
        ASSERT_EQ(m.read("ship.xml", shipModule()), ZnFedReadSuccess);
        Module other;
        other.dimensions = "<dimension><name>Tide</name><upperBound>5</upperBound></dimension>\n";
        other.objects = "<objectClass><name>Ship</name>\n" + c.speed +
                        attribute("Name", "Knots") + "</objectClass>\n";
        m.read("other.xml", other);
        const ZnFomDiagnostic* d = m.about("attribute HLAobjectRoot.Ship.Speed");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->message, c.message);
        EXPECT_EQ(d->file, m.path("other.xml"));
        EXPECT_EQ(d->line, m.line("other.xml", "<name>Speed</name>"));
        EXPECT_EQ(d->otherLine, m.line("ship.xml", "<name>Speed</name>"));
        // The first definition stays.
        EXPECT_EQ(*m.fom.attributeDataTypeOf("HLAobjectRoot.Ship", "Speed"), "Knots");
    }
}

TEST(MergeMembers, PropertiesOneModuleLeavesOutAreNoConflict) {
    Merge m;
    ASSERT_EQ(m.read("ship.xml", shipModule()), ZnFedReadSuccess);
    Module other;
    // Neither order, transportation nor dimensions given; the update type
    // and sharing are given as the first module has them.
    other.objects = "<objectClass><name>Ship</name>\n" +
                    attribute("Speed", "Knots", "<updateType>Periodic</updateType>") +
                    "<attribute><name>Name</name></attribute>\n</objectClass>\n";
    EXPECT_EQ(m.read("other.xml", other), ZnFedReadSuccess) << m.reader.lastError();
    EXPECT_TRUE(m.fom.diagnostics().empty());
}

// A later module listing the parameters of an interaction class agrees on
// the class's own properties and on each parameter's; the first stays.
TEST(MergeMembers, InteractionClassesAndTheirParametersAgree) {
    struct Case {
        const char* statement;  // the later module's Berth
        const char* element;
        const char* message;
        const char* marker;  // the line of what disagrees, in both modules
    };
    const Case cases[] = {
        {"<interactionClass><name>Berth</name><transportation>HLAbestEffort</transportation>\n"
         "<parameter><name>Pier</name></parameter>\n</interactionClass>\n",
         "interactionClass HLAinteractionRoot.Berth",
         "transportation differs from the first definition", "<name>Berth</name>"},
        {"<interactionClass><name>Berth</name>\n"
         "<parameter><name>Pier</name><dataType>Other</dataType></parameter>\n"
         "</interactionClass>\n",
         "parameter HLAinteractionRoot.Berth.Pier",
         "has data type Other where the first definition has Knots", "<name>Pier</name>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.element);
        Merge m;
        ASSERT_EQ(m.read("ship.xml", shipModule()), ZnFedReadSuccess);
        Module other;
        other.interactions = c.statement;
        EXPECT_EQ(m.read("other.xml", other), ZnFedReadFailed);
        const ZnFomDiagnostic* d = m.about(c.element);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->message, c.message);
        EXPECT_EQ(d->line, m.line("other.xml", c.marker));
        EXPECT_EQ(d->otherLine, m.line("ship.xml", c.marker));
        EXPECT_EQ(m.fom.interactionClass("HLAinteractionRoot.Berth")->transport,
                  ZnTransportReliable);
        EXPECT_EQ(*m.fom.parameterDataTypeOf("HLAinteractionRoot.Berth", "Pier"), "Knots");
    }
}

TEST(MergeMembers, LenientKeepsTheFirstAndWarns) {
    Merge m(ZnMergePolicy::Lenient);
    ASSERT_EQ(m.read("ship.xml", shipModule()), ZnFedReadSuccess);
    Module other;
    other.objects = "<objectClass><name>Ship</name>\n" + attribute("Speed", "Other") +
                    attribute("Name", "Knots") + attribute("Draft", "Knots") +
                    "</objectClass>\n";
    EXPECT_EQ(m.read("other.xml", other), ZnFedReadSuccess) << m.reader.lastError();
    ASSERT_EQ(m.fom.diagnostics().size(), 2u);
    for (const ZnFomDiagnostic& d : m.fom.diagnostics())
        EXPECT_EQ(d.severity, ZnFomDiagnostic::Warning) << d.element;
    EXPECT_FALSE(m.fom.failed());
    EXPECT_EQ(m.fom.objectClass("HLAobjectRoot.Ship")->attributes.size(), 2u);
    EXPECT_EQ(*m.fom.attributeDataTypeOf("HLAobjectRoot.Ship", "Speed"), "Knots");
}

// --- Rule 3: dimensions, rates, transportations and data types of one name.

TEST(MergeRecords, DefinitionsOfOneNameAgree) {
    struct Case {
        const char* element;
        Module module;
        std::string anchor;   // text on the line of the later definition
        std::string message;  // start of the message
    };
    Module dimension;
    dimension.dimensions = "<dimension><name>Quay</name><upperBound>13</upperBound></dimension>\n";
    Module transportation;
    transportation.transportations =
        "<transportation><name>Convoy</name><reliable>No</reliable></transportation>\n";
    Module rate;
    rate.updateRates = "<updateRate><name>Slow</name><rate>2</rate></updateRate>\n";
    Module content;
    content.dataTypes = std::string(kBasic) +
                        "<simpleDataTypes>\n<simpleData><name>Knots</name><representation>Int32"
                        "</representation><units>m/s</units></simpleData>\n</simpleDataTypes>\n";
    Module kind;
    kind.dataTypes = std::string(kBasic) +
                     "<arrayDataTypes>\n<arrayData><name>Knots</name><dataType>Int32</dataType>"
                     "<cardinality>2</cardinality></arrayData>\n</arrayDataTypes>\n";
    const Case cases[] = {
        {"dimension Quay", dimension, "<name>Quay</name>", "upper bound differs"},
        {"transportation Convoy", transportation, "<name>Convoy</name>",
         "has reliability No where the first definition has Yes"},
        {"updateRate Slow", rate, "<name>Slow</name>", "has rate 2"},
        {"dataType Knots", content, "<name>Knots</name>", "differs from its first definition"},
        {"dataType Knots", kind, "<name>Knots</name>", "is an array data type here but a simple"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.element + (" " + c.message));
        Merge m;
        ASSERT_EQ(m.read("ship.xml", shipModule()), ZnFedReadSuccess);
        EXPECT_EQ(m.read("other.xml", c.module), ZnFedReadFailed);
        const ZnFomDiagnostic* d = m.about(c.element);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->message.compare(0, c.message.size(), c.message), 0) << d->message;
        EXPECT_EQ(d->line, m.line("other.xml", c.anchor));
        EXPECT_EQ(d->otherFile, m.path("ship.xml"));
        EXPECT_EQ(d->otherLine, m.line("ship.xml", c.anchor));
    }
    // The same record stated again, and notes, are no conflict.
    Merge same;
    ASSERT_EQ(same.read("ship.xml", shipModule()), ZnFedReadSuccess);
    Module again;
    again.dimensions = shipModule().dimensions;
    again.transportations = shipModule().transportations;
    again.updateRates = shipModule().updateRates;
    again.dataTypes = shipModule().dataTypes;
    EXPECT_EQ(same.read("again.xml", again), ZnFedReadSuccess) << same.reader.lastError();
    EXPECT_TRUE(same.fom.diagnostics().empty());
}

TEST(MergeRecords, ConflictsNameTheLinesWhereBothStartTagsBegin) {
    struct Case {
        const char* element;
        const char* tag;
        std::string anchor;  // the name inside the tag
        Module module;
        const char* otherTag;  // what the first module's definition is
        std::string otherAnchor;
    };
    Module dimension;
    dimension.dimensions = "<dimension><name>Quay</name><upperBound>13</upperBound></dimension>\n";
    Module member = shipModule();
    member.objects = "<objectClass><name>Ship</name>\n" + attribute("Speed", "Knots") +
                     attribute("Name", "Knots") + attribute("Draft", "Knots") + "</objectClass>\n";
    const Case cases[] = {
        {"dimension Quay", "dimension", ">Quay</name>", dimension, "dimension", ">Quay</name>"},
        // A member the first module lacks is held against its class there.
        {"attribute HLAobjectRoot.Ship.Draft", "attribute", ">Draft</name>", member, "objectClass",
         ">Ship</name>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.element);
        Merge m;
        ASSERT_EQ(m.read("ship.xml", shipModule(), 1, true), ZnFedReadSuccess);
        EXPECT_EQ(m.read("other.xml", c.module, 1, true), ZnFedReadFailed);
        const ZnFomDiagnostic* d = m.about(c.element);
        ASSERT_NE(d, nullptr);
        const std::string& other = m.texts.at("other.xml");
        EXPECT_EQ(d->line, tagStartLine(other, c.tag, c.anchor));
        EXPECT_LT(d->line, tagEndLine(other, c.tag, c.anchor));
        EXPECT_EQ(d->otherLine, tagStartLine(m.texts.at("ship.xml"), c.otherTag, c.otherAnchor));
    }
}

// --- Completeness.

TEST(MergeComplete, EveryNameTheModelUsesIsDefined) {
    Merge m;
    Module module;
    module.objects = "<objectClass><name>Ship</name>\n" + attribute("Speed", "Missing") +
                     "<attribute><name>Free</name></attribute>\n</objectClass>\n";
    module.dataTypes =
        std::string(kBasic) +
        "<simpleDataTypes>\n<simpleData><name>Loose</name><representation>Nowhere"
        "</representation></simpleData>\n</simpleDataTypes>\n"
        "<enumeratedDataTypes>\n"
        "<enumeratedData><name>Empty</name><representation>Int32</representation>"
        "</enumeratedData>\n"
        "<enumeratedData><name>Kind</name><representation>Int32</representation>"
        "<enumerator><name>Mono</name><value>0</value></enumerator>"
        "<enumerator><name>Odd</name><value>one</value></enumerator></enumeratedData>\n"
        "</enumeratedDataTypes>\n"
        "<variantRecordDataTypes>\n<variantRecordData><name>Hull</name>"
        "<discriminant>K</discriminant><dataType>Kind</dataType>"
        "<alternative><enumerator>Mono</enumerator><name>a</name><dataType>Int32</dataType>"
        "</alternative>"
        "<alternative><enumerator>Tri</enumerator><name>b</name><dataType>Int32</dataType>"
        "</alternative></variantRecordData>\n</variantRecordDataTypes>\n";
    ASSERT_EQ(m.read("ship.xml", module), ZnFedReadSuccess) << m.reader.lastError();
    EXPECT_TRUE(m.fom.diagnostics().empty());  // nothing is checked before the host asks
    EXPECT_FALSE(m.fom.checkComplete());

    std::vector<std::string> messages;
    for (const ZnFomDiagnostic& d : m.fom.diagnostics()) messages.push_back(d.element + ": " + d.message);
    std::sort(messages.begin(), messages.end());
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "attribute HLAobjectRoot.Ship.Speed: data type Missing is not defined",
                            "dataType Empty: has no enumerators",
                            "dataType Hull: alternative b names Tri, which is no enumerator of Kind",
                            "dataType Kind: enumerator Odd has no integer value",
                            "dataType Loose: representation Nowhere is not a basic data representation",
                        }));
    const ZnFomDiagnostic* speed = m.about("attribute HLAobjectRoot.Ship.Speed");
    ASSERT_NE(speed, nullptr);
    EXPECT_EQ(speed->line, m.line("ship.xml", "<name>Speed</name>"));
    EXPECT_TRUE(speed->otherFile.empty());
}

TEST(MergeComplete, DimensionsNamedBeforeTheirModuleCountOnlyWhenNeverDeclared) {
    Merge m;
    Module uses;
    uses.objects = "<objectClass><name>Ship</name>\n" +
                   attribute("Speed", "", "<dimensions><dimension>Late</dimension></dimensions>") +
                   "</objectClass>\n";
    // Without strict checking the read goes on past the unknown dimension.
    ASSERT_EQ(m.read("uses.xml", uses, 0), ZnFedReadSuccess) << m.reader.lastError();
    EXPECT_FALSE(m.fom.checkComplete());
    const ZnFomDiagnostic* d = m.about("attribute HLAobjectRoot.Ship.Speed");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->message, "names dimension Late, which no module declares");

    Merge complete;
    ASSERT_EQ(complete.read("ship.xml", shipModule()), ZnFedReadSuccess);
    EXPECT_TRUE(complete.fom.checkComplete());
    EXPECT_TRUE(complete.fom.diagnostics().empty());
}

// The standard's own module must pass every check the merge makes, and a
// module restating its classes is judged against it like any other.
TEST(MergeComplete, TheMimIsCompleteAndModulesAreJudgedAgainstIt) {
    Merge mim;
    ASSERT_EQ(mim.readMim(), ZnFedReadSuccess) << mim.reader.lastError();
    EXPECT_TRUE(mim.fom.checkComplete());
    for (const ZnFomDiagnostic& d : mim.fom.diagnostics()) ADD_FAILURE() << d.element << " " << d.message;
    ASSERT_NE(mim.fom.attributeDataTypeOf("HLAobjectRoot", "HLAprivilegeToDeleteObject"), nullptr);

    Merge m;
    ASSERT_EQ(m.readMim(), ZnFedReadSuccess);
    Module other;
    // HLAobjectRoot restated with its one attribute, of another type.
    std::string text = other.text();
    const std::string root = "<objectClass><name>HLAobjectRoot</name>\n";
    text.replace(text.find(root), root.size(),
                 root + attribute("HLAprivilegeToDeleteObject", "HLAboolean"));
    m.texts["root.xml"] = text;
    std::string path = m.dir.write("root.xml", text);
    m.fom.beginModule(path);
    EXPECT_EQ(m.reader.readFed(path.c_str(), &m.fom, 1, false, false), ZnFedReadFailed);
    m.fom.endModule();
    const ZnFomDiagnostic* d = m.about("attribute HLAobjectRoot.HLAprivilegeToDeleteObject");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->message, "has data type HLAboolean where the first definition has HLAtoken");
    EXPECT_EQ(d->otherFile, "HLAstandardMIM.xml");
    EXPECT_GT(d->otherLine, 0);
    EXPECT_EQ(d->line, m.line("root.xml", "<name>HLAprivilegeToDeleteObject</name>"));
}

// --- Properties of the merge.

TEST(MergeProperties, ASetMergedWithItselfOrWithScaffoldingIsUnchanged) {
    Merge once;
    ASSERT_EQ(once.read("ship.xml", shipModule()), ZnFedReadSuccess);
    ASSERT_EQ(once.read("tug.xml", scaffolding()), ZnFedReadSuccess);
    const std::string model = dump(once.fom);
    EXPECT_NE(model.find("Speed Knots"), std::string::npos);

    Merge twice;
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(twice.read("ship.xml", shipModule()), ZnFedReadSuccess)
            << twice.reader.lastError();
        ASSERT_EQ(twice.read("tug.xml", scaffolding()), ZnFedReadSuccess)
            << twice.reader.lastError();
    }
    EXPECT_TRUE(twice.fom.diagnostics().empty());
    EXPECT_EQ(dump(twice.fom), model);

    // Scaffolding before, between or after: one model.
    Merge before;
    ASSERT_EQ(before.read("tug.xml", scaffolding()), ZnFedReadSuccess);
    ASSERT_EQ(before.read("ship.xml", shipModule()), ZnFedReadSuccess);
    Merge around;
    ASSERT_EQ(around.read("ship.xml", shipModule()), ZnFedReadSuccess);
    Module bare;  // only the roots
    ASSERT_EQ(around.read("bare.xml", bare), ZnFedReadSuccess);
    ASSERT_EQ(around.read("tug.xml", scaffolding()), ZnFedReadSuccess);
    // Classes arrive in another order; what each holds must not differ.
    auto lines = [](const std::string& text) {
        std::vector<std::string> out;
        std::istringstream in(text);
        for (std::string l; std::getline(in, l);) out.push_back(l);
        std::sort(out.begin(), out.end());
        return out;
    };
    EXPECT_EQ(lines(dump(before.fom)), lines(model));
    EXPECT_EQ(dump(around.fom), model);
    EXPECT_TRUE(before.fom.diagnostics().empty());
    EXPECT_TRUE(around.fom.diagnostics().empty());
}

}  // namespace
