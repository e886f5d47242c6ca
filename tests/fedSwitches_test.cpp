// fedSwitches_test.cpp -- the shared switch list: each format's visiting
// order is a gap-free permutation (a slip in one column would silently drop
// or double a switch in that reader), ZnFom's defaults come from the list,
// and the readers that install defaults install the same values.

#include "fomTestSupport.h"

#include <pxs/fedSwitches.h>

#include <functional>
#include <memory>
#include <set>

namespace {

using namespace fomtest;
namespace sw = pxsdetail::switches;

TEST(FedSwitches, EachFormatVisitsEverySwitchOnceInItsOrder) {
    size_t count = 0;
    const sw::Switch* table = sw::all(&count);
    ASSERT_GT(count, 0u);
    for (unsigned f = 0; f < sw::kFormatCount; ++f) {
        SCOPED_TRACE("format " + std::to_string(f));
        std::set<unsigned> places;
        size_t used = 0;
        for (size_t i = 0; i < count; ++i) {
            if (!table[i].position[f]) continue;
            ++used;
            EXPECT_TRUE(places.insert(table[i].position[f]).second) << table[i].name;
        }
        // 1..used, no gaps: forEach only visits places up to the table size.
        ASSERT_FALSE(places.empty());
        EXPECT_EQ(*places.begin(), 1u);
        EXPECT_EQ(*places.rbegin(), used);
        std::vector<std::string> visited;
        sw::forEach(static_cast<sw::Format>(f),
                    [&](const sw::Switch& s) { visited.push_back(s.name); });
        EXPECT_EQ(visited.size(), used);
    }
}

TEST(FedSwitches, LookupAndFomDefaultsAgree) {
    size_t count = 0;
    const sw::Switch* table = sw::all(&count);
    ZnFom fom;
    for (size_t i = 0; i < count; ++i) {
        const sw::Switch& s = table[i];
        EXPECT_EQ(sw::find(s.name), &s);
        // A fresh model's getter, its table answer and the list agree.
        bool expected = s.fallback ? s.fallback() : false;
        EXPECT_EQ(fom.switchValue(s.name), expected) << s.name;
        if (s.fallback) {
            EXPECT_EQ((fom.*s.get)(), expected) << s.name;
        }
        // The setter and getter of a row belong to the same switch.
        (fom.*s.set)(!(fom.*s.get)());
        EXPECT_NE((fom.*s.get)(), expected) << s.name;
    }
    EXPECT_EQ(sw::find("noSuchSwitch"), nullptr);
    EXPECT_EQ(sw::find(nullptr), nullptr);
    // Names are compared whole: a name that only starts like a switch is unknown.
    ZnString padded(std::string("objectClassRelevanceAdvisory\0", 29));
    EXPECT_TRUE(ZnFom().switchValue("objectClassRelevanceAdvisory"));
    EXPECT_FALSE(ZnFom().switchValue(padded));
}

TEST(FedSwitches, DefaultSwitchesInstalledByBothFullReaders) {
    Quiet quiet;
    ZnFedReader1516 plain;
    RecordingFom fromPlain;
    ASSERT_NE(readText(plain, fddDoc(basicTables()), &fromPlain, 0, false, true),
              ZnFedReadFailed);
    std::vector<std::string> expected;
    sw::forEach(sw::kFdd1516, [&](const sw::Switch& s) {
        expected.push_back(std::string("setSwitch ") + s.name + " " + (s.fallback() ? "1" : "0"));
    });
    std::vector<std::string> got;
    for (const std::string& c : fromPlain.calls)
        if (c.compare(0, 10, "setSwitch ") == 0) got.push_back(c);
    EXPECT_EQ(got, expected);

    // The evolved reader ends with the switch that has no default: it keeps
    // the target's current value, here turned on beforehand.
    ZnFedReader1516e evolved;
    RecordingFom fromEvolved;
    fromEvolved.setDelaySubscriptionEvaluation(true);
    std::string module =
        "<?xml version=\"1.0\"?>\n<objectModel xmlns=\"http://standards.ieee.org/IEEE1516-2010\">"
        "<objects><objectClass><name>HLAobjectRoot</name></objectClass></objects>"
        "</objectModel>\n";
    ASSERT_NE(readText(evolved, module, &fromEvolved, 0, false, true), ZnFedReadFailed);
    ASSERT_GE(fromEvolved.calls.size(), 2u);
    EXPECT_EQ(fromEvolved.count("setSwitch "), 10);
    EXPECT_EQ(fromEvolved.calls[fromEvolved.indexOf("setSwitch delaySubscriptionEvaluation")],
              "setSwitch delaySubscriptionEvaluation 1");
    EXPECT_TRUE(fromEvolved.hasSwitch("exceptionReporting"));
}

// Each row's name must meet its own setter: a document that turns on one
// switch leaves exactly that getter changed, in both full readers.
TEST(FedSwitches, EachNamedSwitchReachesItsOwnSetter) {
    Quiet quiet;
    size_t count = 0;
    const sw::Switch* table = sw::all(&count);
    const struct {
        sw::Format format;
        std::function<std::unique_ptr<ZnFedReader>()> make;
        std::function<std::string(const char*)> doc;
    } readers[] = {
        {sw::kFdd1516, [] { return std::unique_ptr<ZnFedReader>(new ZnFedReader1516); },
         [](const char* name) {
             return fddDoc(basicTables() + "<switches " + name + "=\"Enabled\"/>");
         }},
        {sw::kEvolved, [] { return std::unique_ptr<ZnFedReader>(new ZnFedReader1516e); },
         [](const char* name) {
             return "<?xml version=\"1.0\"?>\n<objectModel><switches><" + std::string(name) +
                    " isEnabled=\"true\"/></switches></objectModel>\n";
         }},
    };
    for (const auto& r : readers) {
        sw::forEach(r.format, [&](const sw::Switch& on) {
            SCOPED_TRACE(std::string(on.name) + " in format " + std::to_string(r.format));
            std::unique_ptr<ZnFedReader> reader = r.make();
            ZnFom fom;
            ASSERT_NE(readText(*reader, r.doc(on.name), &fom), ZnFedReadFailed)
                << reader->lastError();
            for (size_t i = 0; i < count; ++i) {
                const sw::Switch& s = table[i];
                bool fresh = (ZnFom().*s.get)();
                EXPECT_EQ((fom.*s.get)(), &s == &on ? true : fresh) << s.name;
            }
        });
    }
}

}  // namespace
