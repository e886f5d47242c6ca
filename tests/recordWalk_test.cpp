// recordWalk_test.cpp -- the record-table engine on its own, driven with one
// small table through both property sources: the same record must come out
// whether its properties are attributes or child elements, and the two
// sources must keep their own rules for comments, stray text and where a
// complaint points.

#include <pxs/fddRecordWalk.h>

#include "fomTestSupport.h"

namespace {

using namespace fomtest;
using pxsdetail::fdd::WalkContext;
namespace record = pxsdetail::fdd::record;

// Refuses "bad", and says which node it was handed, so a test can see the
// complaint point at the property's own node.
bool convertSemantics(ZnNotesType& rec, xmlNode* node, const ZnString& value,
                      ZnString& message) {
    rec.semantics = value;
    if (value != "bad") return true;
    message = "refused under ";
    message += reinterpret_cast<const char*>(node->name);
    return false;
}

const record::Property<ZnNotesType> kProperties[] = {
    {"name", &ZnNotesType::name, nullptr},
    {"semantics", nullptr, convertSemantics},
};
const char* const kElements[] = {"note", nullptr};

template <class Hook>
record::Table<ZnNotesType, Hook> table(const char* const* elements) {
    return {elements, nullptr, kProperties, record::countOf(kProperties), "bad property: ",
            "bad element: ", "duplicate ( ", " ): ", &ZnNotesType::name, &ZnFedTarget::hasNote,
            &ZnFedTarget::addNote, nullptr, nullptr};
}
using AttributeHook = ZnFedReadStatus (*)(ZnNotesType&, xmlNode*, record::Walk&);
using ChildHook = bool (*)(ZnNotesType&, xmlNode*, record::Walk&, ZnFedReadStatus&);

class RecordWalk : public ::testing::Test {
protected:
    Quiet quiet;
    RecordingFom fom;
    ZnString lastError;
    XmlDocPtr doc;

    // Parses `body` inside a <t> element and walks its children.
    template <class Source, class Hook>
    ZnFedReadStatus walk(const std::string& body, bool strict,
                         const char* const* elements = kElements, ZnFedTarget* target = nullptr) {
        std::string text = "<t>" + body + "</t>";
        doc.reset(xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr, 0));
        WalkContext ctx{lastError, strict, target ? target : &fom};
        return record::walkRecords<Source>(table<Hook>(elements),
                                           xmlDocGetRootElement(doc.get())->children, ctx);
    }
    ZnFedReadStatus attributes(const std::string& body, bool strict = false,
                               ZnFedTarget* target = nullptr) {
        return walk<record::AttributeSource, AttributeHook>(body, strict, kElements, target);
    }
    ZnFedReadStatus children(const std::string& body, bool strict = false,
                             const char* const* elements = kElements,
                             ZnFedTarget* target = nullptr) {
        return walk<record::ChildElementSource, ChildHook>(body, strict, elements, target);
    }
};

TEST_F(RecordWalk, BothSourcesBuildTheSameRecords) {
    RecordingFom fromAttributes;
    ASSERT_EQ(attributes("<note name=\"a\" semantics=\"s\"/> <note name=\"b\"/>", false,
                         &fromAttributes),
              ZnFedReadSuccess);
    ASSERT_EQ(children("<note><name>a</name><semantics>s</semantics></note>\n"
                       "<note><name>b</name></note>"),
              ZnFedReadSuccess);
    EXPECT_EQ(fom.calls, fromAttributes.calls);
    ASSERT_EQ(fom.notes().size(), 2u);
    EXPECT_EQ(fom.notes().find("a")->semantics, fromAttributes.notes().find("a")->semantics);
    EXPECT_EQ(fom.notes().find("a")->semantics, "s");
    EXPECT_EQ(lastError, "");
}

TEST_F(RecordWalk, StrictKeepsTheFirstComplaintAndStillDeliversTheRecord) {
    // Two faults in the first record, a good record after it: the walk
    // stops after the first record, which the target still receives.
    EXPECT_EQ(attributes("<note name=\"a\" colour=\"red\" semantics=\"bad\"/><note name=\"b\"/>",
                         true),
              ZnFedReadFailed);
    EXPECT_EQ(lastError.findString("bad property: colour"), 0) << lastError.c_str();
    EXPECT_EQ(fom.calls, std::vector<std::string>{"addNote a"});

    RecordingFom second;
    EXPECT_EQ(children("<note><name>a</name><semantics>bad</semantics><colour/></note>"
                       "<note><name>b</name></note>",
                       true, kElements, &second),
              ZnFedReadFailed);
    // The child form hands the conversion the property element, not the record.
    EXPECT_EQ(lastError.findString("refused under semantics at XML Node semantics"), 0)
        << lastError.c_str();
    EXPECT_EQ(second.calls, std::vector<std::string>{"addNote a"});

    // Without strict every record arrives and the last complaint remains.
    RecordingFom third;
    EXPECT_EQ(children("<note><name>a</name><colour/></note><memo/><note><name>b</name></note>",
                       false, kElements, &third),
              ZnFedReadSuccess);
    EXPECT_EQ(lastError.findString("bad element: memo"), 0) << lastError.c_str();
    EXPECT_EQ(third.count("addNote"), 2);
}

TEST_F(RecordWalk, DuplicatesNeverEndAStrictWalk) {
    EXPECT_EQ(attributes("<note name=\"a\"/><note name=\"a\" semantics=\"x\"/><note name=\"b\"/>",
                         true),
              ZnFedReadSuccess);
    EXPECT_EQ(fom.count("addNote"), 2);
    EXPECT_EQ(fom.notes().find("a")->semantics, "");  // the first record stands
    EXPECT_EQ(lastError.findString("duplicate ( a ): note "), 0) << lastError.c_str();
}

TEST_F(RecordWalk, EveryNodeTablesDifferBySource) {
    // Attributes: a comment is a record named after its node. Child
    // elements: comments are passed over, stray text is no record.
    const char* body = "<!-- c --><x semantics=\"s\"/>";
    using AttrSource = record::AttributeSource;
    record::Table<ZnNotesType, AttributeHook> every = table<AttributeHook>(nullptr);
    every.nodeName = &ZnNotesType::name;
    std::string text = std::string("<t>") + body + "</t>";
    doc.reset(xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr, 0));
    WalkContext ctx{lastError, true, &fom};
    ASSERT_EQ(record::walkRecords<AttrSource>(every, xmlDocGetRootElement(doc.get())->children,
                                              ctx),
              ZnFedReadSuccess);
    EXPECT_EQ(fom.calls, (std::vector<std::string>{"addNote comment", "addNote x"}));

    RecordingFom second;
    EXPECT_EQ(children("<!-- c --><x><name>x</name></x>", true, nullptr, &second),
              ZnFedReadSuccess);
    EXPECT_EQ(second.calls, std::vector<std::string>{"addNote x"});
    EXPECT_EQ(children("<x><name>y</name></x>stray", true, nullptr, &second), ZnFedReadFailed);
    EXPECT_EQ(lastError.findString("bad element: text"), 0) << lastError.c_str();
}

}  // namespace
