// fddTables_test.cpp -- the record tables of an IEEE 1516-2000 FDD:
// duplicates and who frees them, vocabulary values, notes attributes,
// unexpected attributes and items, comments as tags, and records delivered
// despite an error.

#include "fomTestSupport.h"

namespace {

using namespace fomtest;

class Tables : public ::testing::Test {
protected:
    Quiet quiet;
    ZnFedReader1516 reader;
    RecordingFom fom;

    // Reads the basic tables plus `tables`; `text_` keeps the document for
    // line look-ups.
    ZnFedReadStatus read(const std::string& tables, unsigned int strict = 0) {
        text_ = fddDoc(basicTables() + tables);
        return readText(reader, text_, &fom, strict);
    }
    std::string at(const std::string& element, const std::string& marker) {
        return " at XML Node " + element + " near line " + std::to_string(lineOf(text_, marker));
    }
    std::string text_;
};

std::string dataTypes(const std::string& inner) {
    return "<dataTypes>\n<basicDataRepresentations><basicData name=\"B\" size=\"8\"/>"
           "</basicDataRepresentations>\n" +
           inner + "</dataTypes>\n";
}

TEST_F(Tables, DuplicateRecordIsReportedFreedAndNeverFatal) {
    std::string simple =
        "<simpleDataTypes>\n<simpleData name=\"Meters\" units=\"m\"/>\n"
        "<simpleData name=\"Meters\" units=\"ft\"/>\n<simpleData name=\"Feet\"/>\n"
        "</simpleDataTypes>\n";
    ASSERT_EQ(read(dataTypes(simple) + "<notes><note name=\"n\"/></notes>", 1),
              ZnFedReadSuccess);
    EXPECT_EQ(fom.count("addSimpleDatatype"), 2);  // the duplicate never reached the target
    EXPECT_EQ(fom.simpleDatatypes().find("Meters")->units, "m");
    EXPECT_NE(fom.simpleDatatypes().find("Feet"), nullptr);  // the walk went on
    // Reading the table alone shows the message the duplicate left.
    XmlDocPtr doc(xmlReadMemory(text_.data(), static_cast<int>(text_.size()), nullptr, nullptr,
                                XML_PARSE_NOBLANKS));
    xmlNode* types = pxsdetail::fdd::childNamed(xmlDocGetRootElement(doc.get()), "dataTypes");
    xmlNode* simples = pxsdetail::fdd::childNamed(types, "simpleDataTypes");
    EXPECT_EQ(reader.parseSimpleDataTypesTree(simples->children), ZnFedReadSuccess);
    int line = lineOf(text_, "<simpleData name=\"Feet\"");  // the last duplicate this time
    EXPECT_EQ(reader.lastError(),
              "Unexpected duplicate Simple Datatype Tag ( Feet ) for FDD file.\n\t"
              "Simple Datatype Tag = simpleData  at XML Node simpleData near line " +
                  std::to_string(line));
}

TEST_F(Tables, TransportationReliabilityComesFromTheName) {
    Capture info(ZnInfo, 2);
    // Only the first transportations table counts, so it goes in front.
    text_ = fddDoc(
        "<transportations><transportation name=\"MyReliableChannel\"/>"
        "<transportation name=\"Fast\"/><transportation name=\"HLAbestEffort\"/>"
        "</transportations>\n" +
        basicTables());
    ASSERT_EQ(readText(reader, text_, &fom), ZnFedReadSuccess);
    ASSERT_EQ(fom.transportations().size(), 3u);
    EXPECT_TRUE(fom.transportations().find("MyReliableChannel")->reliable);
    EXPECT_FALSE(fom.transportations().find("Fast")->reliable);
    EXPECT_FALSE(fom.transportations().find("HLAbestEffort")->reliable);
    EXPECT_EQ(info.text(),
              "Adding transportation type MyReliableChannel as HLAreliable\n"
              "Adding transportation type Fast as HLAbestEffort\n");
}

TEST_F(Tables, UnknownValuesAreKeptAsNoneWithoutStrict) {
    ASSERT_EQ(read("<dataTypes>\n<basicDataRepresentations>\n<basicData name=\"W\" "
                   "size=\"16bit\"/>\n<basicData name=\"V\" size=\"4\" endian=\"Middle\"/>\n"
                   "</basicDataRepresentations>\n</dataTypes>\n<synchronizations>\n"
                   "<synchronization label=\"A\" capability=\"Register\"/>\n<synchronization "
                   "label=\"B\" capability=\"NoSynch\"/>\n<synchronization label=\"C\" "
                   "capability=\"Sometimes\"/>\n</synchronizations>\n<notes>\n<note name=\"n1\" "
                   "semantics=\"s\" semanticsNotes=\"n2\" nameNotes=\"n3\"/>\n<note name=\"n2\" "
                   "colour=\"red\"/>\n</notes>\n"),
              ZnFedReadSuccess);
    EXPECT_EQ(fom.basicDataRepresentations().find("W")->size, 0u);
    EXPECT_EQ(fom.basicDataRepresentations().find("V")->endian, 0);
    EXPECT_EQ(fom.synchronizationPoints().find("A")->capability, 1);
    EXPECT_EQ(fom.synchronizationPoints().find("B")->capability, 4);
    EXPECT_EQ(fom.synchronizationPoints().find("C")->capability, 5);
    EXPECT_EQ(fom.notes().size(), 2u);
}

TEST_F(Tables, EnumeratorsAreAllKeptWhateverTheirOrder) {
    ASSERT_EQ(read(dataTypes("<enumeratedDataTypes><enumeratedData name=\"E\">"
                             "<enumerator name=\"B\" values=\"2\"/>"
                             "<enumerator name=\"A\" values=\"1 3\"/>"
                             "</enumeratedData></enumeratedDataTypes>")),
              ZnFedReadSuccess);
    std::map<std::string, std::string> values;
    for (const auto& e : fom.enumeratedDatatypes().find("E")->enumerators)
        values[e->name.string()] = e->values.string();
    EXPECT_EQ(values, (std::map<std::string, std::string>{{"A", "1 3"}, {"B", "2"}}));
}

TEST_F(Tables, CommentsInsideTagsBecomeTags) {
    ASSERT_EQ(read("<tags>\n<!-- who sends -->\n<sendReceiveTag dataType=\"D\"/>\n</tags>\n"),
              ZnFedReadSuccess);
    EXPECT_EQ(fom.userSuppliedTags().size(), 2u);
    EXPECT_NE(fom.userSuppliedTags().find("comment"), nullptr);
    EXPECT_EQ(fom.userSuppliedTags().find("sendReceiveTag")->dataType, "D");
    EXPECT_LT(fom.indexOf("addUserSuppliedTag comment"),
              fom.indexOf("addUserSuppliedTag sendReceiveTag"));
}

TEST_F(Tables, StrictReadsStopAtTheFirstBadValueItemOrTable) {
    // Under strict the record at fault is still delivered; the walk stops after it.
    auto delivered = [](const char* basic, const char* missing) {
        return [=](const RecordingFom& f) {
            EXPECT_NE(f.basicDataRepresentations().find(basic), nullptr);
            EXPECT_EQ(f.basicDataRepresentations().find(missing), nullptr);
        };
    };
    struct Case {
        std::string tables;
        std::string message;
        std::string element;
        std::string marker;
        std::function<void(const RecordingFom&)> check = {};
    } cases[] = {
        {"<dataTypes>\n<basicDataRepresentations>\n<basicData name=\"W\" size=\"16bit\"/>\n"
         "<basicData name=\"V\" size=\"4\"/>\n</basicDataRepresentations>\n</dataTypes>",
         "Unexpected attribute value for Size in a Basic Datatype Representation Tag for FDD "
         "file.\n\tValue = 16bit",
         "basicData", "name=\"W\"", delivered("W", "V")},
        {"<dataTypes>\n<basicDataRepresentations>\n<basicData name=\"V\" endian=\"Middle\"/>\n"
         "<basicData name=\"W\"/>\n</basicDataRepresentations>\n</dataTypes>",
         "Unexpected value for Endianess in a Basic Datatype Representation for FDD file.\n\t"
         "Endianess = Middle",
         "basicData", "name=\"V\"", delivered("V", "W")},
        {"<synchronizations>\n<synchronization label=\"C\" capability=\"Sometimes\"/>\n"
         "</synchronizations>",
         "Unexpected attribute value for Capability in a Synchronization Point Tag for FDD "
         "file.\n\tValue = Sometimes",
         "synchronization", "label=\"C\""},
        {"<notes>\n<note name=\"n1\" semantics=\"s\" semanticsNotes=\"n2\" nameNotes=\"n3\"/>\n"
         "<note name=\"n2\" colour=\"red\"/>\n</notes>",
         "Unexpected attribute in a Note Tag for FDD file.\n\tAttribute = colour", "note",
         "name=\"n2\"",
         [](const RecordingFom& f) { EXPECT_NE(f.notes().find("n2"), nullptr); }},
        {"<notes>\n<memo/>\n</notes>", "Unexpected tag in Notes tree for FDD file.\n\tNote Tag = memo ",
         "memo", "<memo"},
        {"<time>\n<clock/>\n</time>", "Unexpected tag in times list for FDD file.\n\tTime Tag = clock ",
         "clock", "<clock"},
        {"<synchronizations>\n<sync label=\"x\"/>\n</synchronizations>",
         "Unexpected tag in Synchronization Points list for FDD file.\n\tSynchronization Point "
         "Tag = sync ",
         "sync", "<sync "},
        {dataTypes("<variantRecordDataTypes>\n<variantRecordData name=\"V\">\n<choice/>\n"
                   "</variantRecordData>\n</variantRecordDataTypes>\n"),
         "Unexpected tag in Alternative tree for FDD file.\n\tAlternative Tag = choice ", "choice",
         "<choice"},
        {dataTypes("<variantRecordDataTypes>\n<variantRecordData name=\"V\">\n"
                   "<alternative enumerator=\"e\" weight=\"3\"/>\n</variantRecordData>\n"
                   "</variantRecordDataTypes>\n"),
         "Unexpected attribute in a Alternative Tag for FDD file.\n\tAttribute = weight",
         "alternative", "weight="},
        {dataTypes("<fixedRecordDataTypes>\n<fixedRecordData name=\"F\">\n<field name=\"a\" "
                   "size=\"1\"/>\n</fixedRecordData>\n</fixedRecordDataTypes>\n"),
         "Unexpected attribute in a Field Tag for a Fixed Record Datatype for FDD file.\n\t"
         "Attribute = size",
         "field", "<field"},
        {dataTypes("<arrayDataTypes>\n<array name=\"A\"/>\n</arrayDataTypes>\n"),
         "Unexpected tag in Array Datatypes tree for FDD file.\n\tArray DataType Tag = array ",
         "array", "<array "},
    };
    for (const Case& c : cases) {
        RecordingFom target;
        text_ = fddDoc(basicTables() + c.tables + "\n");
        EXPECT_EQ(readText(reader, text_, &target, 1), ZnFedReadFailed) << c.tables;
        EXPECT_EQ(reader.lastError(), c.message + at(c.element, c.marker)) << c.tables;
        if (c.check) c.check(target);
    }
    EXPECT_EQ(read(dataTypes("<pointerDataTypes/>\n"), 1), ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(),
              "Unexpected tag in dataTypes tree for FDD file.\n\tDataType Tag = pointerDataTypes ");
}

TEST_F(Tables, EveryWalkChecksWithoutATarget) {
    // A null target: the walks still run and report, but deliver nothing.
    std::string text = fddDoc(basicTables() + "<notes><note name=\"n\" x=\"1\"/></notes>");
    EXPECT_EQ(readText(reader, text, nullptr, 1), ZnFedReadFailed);
    EXPECT_EQ(reader.lastError().findString("Unexpected attribute in a Note Tag"), 0);
}

}  // namespace
