// fedTargetDetails_test.cpp -- the optional details a target receives when
// it derives from ZnFedTargetDetails: definition positions, member data
// types, class properties and restated records; a target that does not opt
// in must see exactly the calls it saw before.

#include "fomTestSupport.h"

namespace {

using namespace fomtest;

// Writes the details down beside the ZnFedTarget calls, in one sequence, so
// tests can check where each call falls. The ZnFedTarget part stays in
// `calls` alone for comparison with a plain RecordingFom.
class DetailsFom : public RecordingFom, public ZnFedTargetDetails {
public:
    struct Source {
        std::string file;
        int line;
        std::string next;  // the ZnFedTarget call that followed
    };
    std::vector<Source> sources;
    std::vector<std::string> details;
    std::string stopAfter;  // addObjectClass of this name makes stopReason answer

    void definitionSource(const char* file, int line) override {
        sources.push_back({file, line, ""});
        pendingSource_ = true;
    }
    void attributeDataType(const ZnString& cls, const ZnString& attr,
                           const ZnString& type) override {
        details.push_back("attribute " + cls.string() + " " + attr.string() + " " +
                          type.string());
    }
    void parameterDataType(const ZnString& cls, const ZnString& param,
                           const ZnString& type) override {
        details.push_back("parameter " + cls.string() + " " + param.string() + " " +
                          type.string());
    }
    void classDetails(const ZnString& cls, bool interaction, ZnSharingType_enum sharing,
                      const ZnString& semantics) override {
        details.push_back(std::string(interaction ? "interaction " : "object ") +
                          cls.string() + " " + std::to_string(sharing) + " " +
                          semantics.string());
    }
    void restated(const ZnUpdateRateType& rec) override {
        details.push_back("restated updateRate " + rec.name.string());
    }
    const char* stopReason() const override { return stop_.empty() ? nullptr : stop_.c_str(); }

    bool addObjectClass(const char* name, const char* parent) override {
        bool accepted = RecordingFom::addObjectClass(name, parent);
        noteCall();
        if (name && stopAfter == name) stop_ = "stopped at " + stopAfter;
        return accepted;
    }
    void addAttribute(const char* cls, const char* attr, ZnTransportType t, ZnOrderType o,
                      ZnSharingType_enum s, ZnFomUpdateType_enum u, ZnString* cond,
                      ZnOwnershipType_enum own, ZnString* sem, const void* reserved) override {
        RecordingFom::addAttribute(cls, attr, t, o, s, u, cond, own, sem, reserved);
        noteCall();
    }
    void addParameter(const char* cls, const char* param) override {
        RecordingFom::addParameter(cls, param);
        noteCall();
    }
    void addDimension(const char* name, uint64_t ub, uint64_t lo, uint64_t up, bool ex,
                      ZnString* norm) override {
        RecordingFom::addDimension(name, ub, lo, up, ex, norm);
        noteCall();
    }
    bool addInteractionClass(const char* name, const char* parent, ZnTransportType t,
                             ZnOrderType o, const char* space) override {
        bool accepted = RecordingFom::addInteractionClass(name, parent, t, o, space);
        noteCall();
        return accepted;
    }
    void addSimpleDatatype(ZnSimpleDatatypeType* rec) override {
        RecordingFom::addSimpleDatatype(rec);
        noteCall();
    }

    // The source announced for the call starting with `prefix`; null when none.
    const Source* sourceOf(const std::string& prefix) const {
        for (const Source& s : sources)
            if (s.next.compare(0, prefix.size(), prefix) == 0) return &s;
        return nullptr;
    }

private:
    void noteCall() {
        if (pendingSource_ && !sources.empty()) sources.back().next = calls.back();
        pendingSource_ = false;
    }
    bool pendingSource_ = false;
    std::string stop_;
};

bool has(const std::vector<std::string>& list, const std::string& entry) {
    return std::find(list.begin(), list.end(), entry) != list.end();
}

// Reads `name` from the test data with a fresh reader of type `Reader`.
template <class Reader>
ZnFedReadStatus readData(const std::string& name, ZnFedTarget* target) {
    Reader reader;
    std::string path = dataPath(name);
    OpenFile file(path);
    return reader.readFedFilePtr(file.get(), target, ZnFilename(path.c_str()), 1, false, false);
}

TEST(TargetDetails, DataTypesAndClassesOfTheIeee2000Form) {
    Quiet quiet;
    DetailsFom fom;
    ASSERT_EQ(readData<ZnFedReader1516>("harbor.fdd", &fom), ZnFedReadSuccess);
    // Only members whose element names a data type report one.
    EXPECT_TRUE(has(fom.details, "attribute HLAobjectRoot.Vessel Position Coordinates"));
    EXPECT_TRUE(has(fom.details, "attribute HLAobjectRoot.Vessel Callsign HLAASCIIstring"));
    EXPECT_TRUE(has(fom.details, "parameter HLAinteractionRoot.Berth Pier HLAASCIIstring"));
    EXPECT_EQ(std::count_if(fom.details.begin(), fom.details.end(),
                            [](const std::string& d) { return d.find("Slot") != d.npos; }),
              0);
    EXPECT_TRUE(has(fom.details, "object HLAobjectRoot.Vessel " +
                                     std::to_string(ZnSharingPublishSubscribe) + " "));
    EXPECT_TRUE(has(fom.details, "interaction HLAinteractionRoot.Horn " +
                                     std::to_string(ZnSharingPublishSubscribe) + " "));

    // Positions are the lines of the elements in the file the reader was given.
    const std::string text = slurp(dataPath("harbor.fdd"));
    const DetailsFom::Source* position =
        fom.sourceOf("addAttribute HLAobjectRoot.Vessel Position");
    ASSERT_NE(position, nullptr);
    EXPECT_EQ(position->file, dataPath("harbor.fdd"));
    // A start tag spread over lines is dated by its first.
    EXPECT_EQ(position->line, lineOf(text, "name=\"Position\""));
    const DetailsFom::Source* tide = fom.sourceOf("addDimension Tide");
    ASSERT_NE(tide, nullptr);
    EXPECT_EQ(tide->line, lineOf(text, "name=\"Tide\""));
    const DetailsFom::Source* berth = fom.sourceOf("addInteractionClass HLAinteractionRoot.Berth");
    ASSERT_NE(berth, nullptr);
    EXPECT_EQ(berth->line, lineOf(text, "name=\"Berth\""));
}

TEST(TargetDetails, DataTypesAndClassesOfTheEvolvedForm) {
    Quiet quiet;
    DetailsFom fom;
    ASSERT_EQ(readData<ZnFedReader1516e>("harborEvolved.xml", &fom), ZnFedReadSuccess);
    EXPECT_TRUE(has(fom.details, "attribute HLAobjectRoot.Vessel Position Coordinates"));
    EXPECT_TRUE(has(fom.details, "attribute HLAobjectRoot.Vessel Callsign HLAASCIIstring"));
    EXPECT_TRUE(has(fom.details, "parameter HLAinteractionRoot.Berth Pier HLAASCIIstring"));
    const std::string text = slurp(dataPath("harborEvolved.xml"));
    const DetailsFom::Source* pier = fom.sourceOf("addParameter HLAinteractionRoot.Berth Pier");
    ASSERT_NE(pier, nullptr);
    // The parameter element opens the line before its name.
    EXPECT_EQ(pier->line, lineOf(text, "<name>Pier</name>") - 1);
    // Every class, member and dimension delivery is announced.
    for (std::string kind : {"addObjectClass", "addAttribute", "addParameter",
                                    "addInteractionClass", "addDimension"})
        EXPECT_EQ(std::count_if(fom.sources.begin(), fom.sources.end(),
                                [&](const DetailsFom::Source& s) {
                                    return s.next.compare(0, kind.size(), kind) == 0;
                                }),
                  fom.count(kind + " "))
            << kind;
}

// The harbor module of one form with every start tag spread over lines and
// `blankLines` empty lines after the XML declaration; its DTD or schema is
// named by absolute path, so the copy validates wherever it is written.
std::string spreadHarbor(bool evolved, int blankLines) {
    std::string text = slurp(dataPath(evolved ? "harborEvolved.xml" : "harbor.fdd"));
    const std::string relative = "../../libsrc/pxs/data/";
    text.replace(text.find(relative), relative.size(), std::string(PXS_LIB_DATA_DIR) + "/");
    text.insert(text.find("?>") + 2, std::string(blankLines, '\n'));
    return spreadStartTags(text);
}

// Reads `text` as a module of the harbor's form, validated or not.
ZnFedReadStatus readHarborText(bool evolved, bool validate, const std::string& text,
                               DetailsFom* fom, std::string* lastError) {
    TempDir dir;
    std::string path = dir.write("harbor.xml", text);
    OpenFile file(path);
    ZnFedReader1516 reader2000;
    ZnFedReader1516e readerEvolved;
    if (validate) readerEvolved.setSchemaValidationEnabled(true);
    ZnFedReader& reader = evolved ? static_cast<ZnFedReader&>(readerEvolved) : reader2000;
    ZnFedReadStatus status =
        reader.readFedFilePtr(file.get(), fom, ZnFilename(path.c_str()), 1, validate, false);
    *lastError = reader.lastError().string();
    return status;
}

// The element marked by its name: an XML attribute in the IEEE 1516-2000
// form, a child element in the Evolved one.
std::string nameMarker(bool evolved, const std::string& name) {
    return evolved ? ">" + name + "</name>" : "name=\"" + name + "\"";
}

TEST(TargetDetails, DefinitionsAreDatedByTheLineTheirStartTagBegins) {
    Quiet quiet;
    struct Definition {
        const char* call;
        const char* element;
        const char* name2000;
        const char* nameEvolved;
    };
    const Definition definitions[] = {
        {"addObjectClass HLAobjectRoot.Vessel ", "objectClass", "Vessel", "Vessel"},
        {"addAttribute HLAobjectRoot.Vessel Position", "attribute", "Position", "Position"},
        {"addInteractionClass HLAinteractionRoot.Berth ", "interactionClass", "Berth", "Berth"},
        {"addParameter HLAinteractionRoot.Berth Pier", "parameter", "Pier", "Pier"},
        {"addDimension Tide", "dimension", "Tide", "Tide"},
        {"addSimpleDatatype Meters", "simpleData", "Meters", nullptr},
        {"addSimpleDatatype Knots", "simpleData", nullptr, "Knots"},
    };
    // Past line 65535 libxml2's own field for an element's line is full.
    for (bool evolved : {false, true})
        for (bool validate : {false, true})
            for (int blankLines : {0, 70000}) {
                SCOPED_TRACE(std::string(evolved ? "evolved" : "2000") +
                             (validate ? " validated" : "") + " after " +
                             std::to_string(blankLines) + " blank lines");
                const std::string text = spreadHarbor(evolved, blankLines);
                DetailsFom fom;
                std::string error;
                ASSERT_EQ(readHarborText(evolved, validate, text, &fom, &error), ZnFedReadSuccess)
                    << error;
                for (const Definition& d : definitions) {
                    const char* name = evolved ? d.nameEvolved : d.name2000;
                    if (!name) continue;
                    SCOPED_TRACE(d.call);
                    const std::string marker = nameMarker(evolved, name);
                    const DetailsFom::Source* source = fom.sourceOf(d.call);
                    ASSERT_NE(source, nullptr);
                    int start = tagStartLine(text, d.element, marker);
                    EXPECT_GT(start, blankLines);
                    EXPECT_LT(start, tagEndLine(text, d.element, marker));
                    EXPECT_EQ(source->line, start);
                }
            }
}

TEST(TargetDetails, NearLineTextsStillNameTheLineTheTagEnds) {
    Quiet quiet;
    for (bool evolved : {false, true}) {
        SCOPED_TRACE(evolved ? "evolved" : "2000");
        const std::string text = spreadHarbor(evolved, 0);
        DetailsFom fom;
        fom.refuse.insert("HLAobjectRoot.Vessel.Tug");
        std::string error;
        ASSERT_EQ(readHarborText(evolved, false, text, &fom, &error), ZnFedReadFailed);
        const std::string marker = nameMarker(evolved, "Tug");
        EXPECT_EQ(error,
                  "Object class HLAobjectRoot.Vessel.Tug was refused by the FED target "
                  "at XML Node objectClass near line " +
                      std::to_string(tagEndLine(text, "objectClass", marker)));
        const DetailsFom::Source* tug = fom.sourceOf("addObjectClass HLAobjectRoot.Vessel.Tug");
        ASSERT_NE(tug, nullptr);
        EXPECT_EQ(tug->line, tagStartLine(text, "objectClass", marker));
    }
}

// Lines of the `<` of every start tag of `text`, in document order.
std::vector<int> startTagLines(const std::string& text) {
    std::vector<int> lines;
    int line = 1;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '\n') ++line;
        if (text[i] == '<' && !std::strchr("/?!", text[i + 1])) lines.push_back(line);
    }
    return lines;
}

// startLineOf of every element at and below `node`, in document order.
void collectStartLines(const xmlNode* node, std::vector<int>& lines) {
    for (; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE) continue;
        lines.push_back(pxsdetail::fdd::startLineOf(node));
        collectStartLines(node->children, lines);
    }
}

std::vector<int> startLinesOf(const XmlDocPtr& doc) {
    std::vector<int> lines;
    collectStartLines(xmlDocGetRootElement(doc.get()), lines);
    return lines;
}

XmlDocPtr parseText(const std::string& text, const char* url = nullptr) {
    return pxsdetail::fdd::parseBytes(text.data(), static_cast<unsigned>(text.size()), url);
}

TEST(StartLines, BothParsesDateEveryElementByItsStartTag) {
    Quiet quiet;
    // Elements with attributes and without are found by different means.
    for (bool evolved : {false, true})
        for (int blankLines : {0, 70000}) {
            SCOPED_TRACE(std::string(evolved ? "evolved" : "2000") + " after " +
                         std::to_string(blankLines) + " blank lines");
            const std::string text = spreadHarbor(evolved, blankLines);
            TempDir dir;
            const std::string path = dir.write("harbor.xml", text);
            XmlDocPtr fromFile = pxsdetail::fdd::parseFile(path.c_str());
            XmlDocPtr fromBytes = parseText(text, path.c_str());
            for (const XmlDocPtr* doc : {&fromFile, &fromBytes}) {
                ASSERT_TRUE(*doc);
                EXPECT_EQ(startLinesOf(*doc), startTagLines(text));
            }
        }
    // A prefixed name is longer than the element's own.
    const std::string prefixed =
        "<m:objectModel xmlns:m=\"urn:m\">\n<m:objects\n\n/>"
        "<m:objects><m:dimensions\n></m:dimensions></m:objects>\n"
        "</m:objectModel>\n";
    XmlDocPtr doc = parseText(prefixed);
    ASSERT_TRUE(doc);
    EXPECT_EQ(startLinesOf(doc), startTagLines(prefixed));
}

TEST(StartLines, NodesWithoutAKeptLineGiveLibxmlsOwn) {
    Quiet quiet;
    EXPECT_EQ(pxsdetail::fdd::startLineOf(nullptr), 0);
    // Elements of an entity's text are numbered within that text; they keep
    // libxml2's number rather than one counted in the wrong input.
    const std::string withEntity =
        "<?xml version=\"1.0\"?>\n"
        "<!DOCTYPE objectModel [\n"
        "<!ENTITY ship \"<objectClass\n name='Ship'/>\">\n"
        "]>\n<objectModel\n>&ship;</objectModel>\n";
    XmlDocPtr doc = parseText(withEntity);
    ASSERT_TRUE(doc);
    xmlNode* root = xmlDocGetRootElement(doc.get());
    EXPECT_EQ(pxsdetail::fdd::startLineOf(root), 6);
    ASSERT_TRUE(root->children && root->children->type == XML_ENTITY_REF_NODE);
    const xmlEntity* ship = xmlGetDocEntity(doc.get(), reinterpret_cast<const xmlChar*>("ship"));
    ASSERT_NE(ship, nullptr);
    const xmlNode* inEntity = ship->children;
    while (inEntity && inEntity->type != XML_ELEMENT_NODE) inEntity = inEntity->next;
    ASSERT_NE(inEntity, nullptr);
    EXPECT_EQ(pxsdetail::fdd::startLineOf(inEntity), xmlGetLineNo(inEntity));

    // A document parsed elsewhere may use _private for its own ends.
    const std::string plain = "<objectModel\n>\n<objects\n/></objectModel>\n";
    XmlDocPtr theirs(xmlReadMemory(plain.data(), static_cast<int>(plain.size()), nullptr, nullptr,
                                   XML_PARSE_NONET));
    ASSERT_TRUE(theirs);
    xmlNode* objects = xmlDocGetRootElement(theirs.get())->children;
    while (objects && objects->type != XML_ELEMENT_NODE) objects = objects->next;
    ASSERT_NE(objects, nullptr);
    int mark = 0;
    objects->_private = &mark;
    EXPECT_EQ(pxsdetail::fdd::startLineOf(objects), 4);
}

TEST(TargetDetails, ATargetWithoutDetailsSeesTheSameCalls) {
    Quiet quiet;
    for (const char* name : {"harbor.fdd", "harborEvolved.xml"}) {
        SCOPED_TRACE(name);
        RecordingFom plain;
        DetailsFom detailed;
        bool evolved = std::string(name).find("Evolved") != std::string::npos;
        auto read = evolved ? readData<ZnFedReader1516e> : readData<ZnFedReader1516>;
        ASSERT_EQ(read(name, &plain), ZnFedReadSuccess);
        ASSERT_EQ(read(name, &detailed), ZnFedReadSuccess);
        EXPECT_EQ(plain.calls, detailed.calls);
        EXPECT_FALSE(detailed.sources.empty());
    }
}

TEST(TargetDetails, TheCheckingReadersGiveNoDetails) {
    Quiet quiet;
    DetailsFom fom;
    ZnXmlFedReader reader;
    std::string path = dataPath("harbor.fdd");
    OpenFile file(path);
    reader.readFedFilePtr(file.get(), &fom, ZnFilename(path.c_str()), 0, false, false);
    EXPECT_TRUE(fom.sources.empty());
    EXPECT_TRUE(fom.details.empty());
}

TEST(TargetDetails, RestatedRecordsAndStopRequests) {
    Quiet quiet;
    ZnFedReader1516e reader;
    const std::string module = R"(<?xml version="1.0"?>
<objectModel>
  <objects><objectClass><name>HLAobjectRoot</name>
    <objectClass><name>A</name></objectClass>
    <objectClass><name>B</name></objectClass>
  </objectClass></objects>
  <updateRates><updateRate><name>Slow</name><rate>1</rate></updateRate></updateRates>
</objectModel>
)";
    DetailsFom fom;
    ASSERT_EQ(readText(reader, module, &fom), ZnFedReadSuccess) << reader.lastError();
    EXPECT_FALSE(has(fom.details, "restated updateRate Slow"));
    ASSERT_EQ(readText(reader, module, &fom), ZnFedReadSuccess) << reader.lastError();
    EXPECT_TRUE(has(fom.details, "restated updateRate Slow"));

    // A stop request ends the read at the next delivery, with its reason.
    DetailsFom stopping;
    stopping.stopAfter = "HLAobjectRoot.A";
    EXPECT_EQ(readText(reader, module, &stopping), ZnFedReadFailed);
    EXPECT_EQ(reader.lastError(), "stopped at HLAobjectRoot.A");
    EXPECT_EQ(stopping.indexOf("addObjectClass HLAobjectRoot.B"), -1);
}

}  // namespace
