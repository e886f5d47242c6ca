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
    // libxml2 numbers an element by the line its start tag ends on.
    EXPECT_EQ(position->line, lineOf(text, "semantics=\"Where the hull is\"/>"));
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
