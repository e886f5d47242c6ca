// envValue_test.cpp -- tree nodes: $(NAME) expansion, change reports and
// where they stop, child iteration by pointer identity (checked against a
// plain model), the attribute index, clones, and trees too deep for
// recursion.

#include <pxs/pxs.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// Sets (or, given nullptr, unsets) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { had_ ? setenv(name_.c_str(), old_.c_str(), 1) : unsetenv(name_.c_str()); }

private:
    std::string name_, old_;
    bool had_ = false;
};

// Every change report received by a RecordingList: (receiver, child).
struct Report {
    const ZnEnvValue* receiver;
    const ZnEnvValue* child;
};
std::vector<Report> gReports;

class RecordingList : public ZnEnvList {
public:
    explicit RecordingList(const ZnString& v) : ZnEnvList(v) {}
    void childChanged(ZnEnvValue* child) override {
        gReports.push_back({this, child});
        ZnEnvList::childChanged(child);
    }
};

class EnvValueNotification : public testing::Test {
protected:
    void SetUp() override { gReports.clear(); }
};

ZnEnvList* list(const ZnEnvValueSP& node) {
    return ZnEnvList::castToList(node);
}

TEST(EnvValueExpansion, ReplacesOnlyTheFirstReferenceOnceWhenSet) {
    ScopedEnv home("HOME", "/h");
    ScopedEnv nope("ZN_TEST_NOPE", nullptr);
    ScopedEnv b("ZN_TEST_B", "bee");
    const std::pair<const char*, const char*> cases[] = {{"$(ZN_TEST_NOPE)x", "x"},
                                                         {"$()", "$()"},
                                                         {"$()x", "x"},
                                                         {"$(A", "$(A"},
                                                         {"$(AB", "$(AB"},
                                                         {"$A", "$A"},
                                                         {"a$b$(HOME)", "a$b$(HOME)"},
                                                         {"$(ZN_TEST_B)$(HOME)", "bee$(HOME)"},
                                                         {"pre$(ZN_TEST_B)post", "prebeepost"},
                                                         {"no reference", "no reference"}};
    for (const auto& c : cases) {
        ZnString out("junk");
        Modifiers(out, c.first);
        EXPECT_EQ(out, c.second) << c.first;
    }
    ZnEnvValue v("$(HOME)/x");
    EXPECT_EQ(v.value(), "/h/x");
    EXPECT_EQ(v.unmodifiedValue(), "$(HOME)/x");
    // Expansion happens once, when the value is set.
    ScopedEnv x("ZN_TEST_X", "one");
    v.setValue("$(ZN_TEST_X)");
    setenv("ZN_TEST_X", "two", 1);
    EXPECT_EQ(v.value(), "one");
    v.setValue("$(ZN_TEST_X)");  // same text as set: not even re-expanded
    EXPECT_EQ(v.value(), "one");
    v.setValue("$(ZN_TEST_X)/");
    EXPECT_EQ(v.value(), "two/");
}

// Each level reports itself to its parent; the same text twice is no change,
// going back to the constructor's empty text is one.
TEST_F(EnvValueNotification, EachLevelPassesItselfUpwardsOncePerChange) {
    ZnEnvValueSP top(new RecordingList("t"));
    ZnEnvValueSP mid(new RecordingList("m"));
    ZnEnvValueSP leaf(new ZnEnvValue(""));
    mid->setParent(top);
    leaf->setParent(mid);
    leaf->setValue("changed");
    leaf->setValue("changed");
    ASSERT_EQ(gReports.size(), 2u);
    EXPECT_EQ(gReports[0].receiver, mid.get());
    EXPECT_EQ(gReports[0].child, leaf.get());
    EXPECT_EQ(gReports[1].receiver, top.get());
    EXPECT_EQ(gReports[1].child, mid.get());
    leaf->setValue("");
    EXPECT_EQ(gReports.size(), 4u);
    gReports.clear();
    mid->setValue("m2");  // a list's own value climbs the same way
    ASSERT_EQ(gReports.size(), 1u);
    EXPECT_EQ(gReports[0].child, mid.get());
    // The weak link does not keep a parent alive; an orphan reports nothing.
    ZnEnvValueSP orphan(new ZnEnvValue("x"));
    orphan->setParent(ZnEnvValueSP(new RecordingList("")));
    EXPECT_FALSE(orphan->parent());
    orphan->setValue("y");
    EXPECT_EQ(gReports.size(), 1u);
}

TEST(EnvValueKinds, FormatBitsAccumulateDownTheClassTree) {
    ZnEnvValueSP plain(new ZnEnvValue("v"));
    ZnEnvValueSP lst(new ZnEnvList("v"));
    ZnEnvValueSP named(new ZnEnvNamedList("n", "v"));
    ZnEnvValueSP object(new ZnEnvObject("n", "t", "v"));
    ZnEnvValueSP native = ZnNativeValue::create("T", nullptr);
    EXPECT_EQ(plain->format(), 0u);
    EXPECT_EQ(lst->format(), 1u);
    EXPECT_EQ(named->format(), 3u);
    EXPECT_EQ(object->format(), 7u);
    EXPECT_EQ(native->format(), 8u);
    EXPECT_TRUE(ZnEnvList::isList(object));
    EXPECT_TRUE(ZnEnvNamedList::isNamedList(object));
    EXPECT_FALSE(ZnEnvNamedList::isNamedList(lst));
    EXPECT_FALSE(ZnEnvObject::isObject(named));
    EXPECT_TRUE(ZnEnvObject::isObject(object, "t"));
    EXPECT_TRUE(ZnEnvObject::isObject(object, "n", "t"));
    EXPECT_FALSE(ZnEnvObject::isObject(object, "t", "n"));
    const ZnEnvValueSP none;
    EXPECT_FALSE(ZnEnvList::isList(none) || ZnEnvObject::isObject(none) ||
                 ZnEnvObject::isObject(none, "t") || ZnNativeValue::isNativeValue(none));
    EXPECT_EQ(ZnEnvList::castToList(plain), nullptr);
    EXPECT_EQ(ZnNativeValue::castToNativeValue(object), nullptr);
    ASSERT_NE(ZnNativeValue::castToNativeValue(native), nullptr);
    EXPECT_EQ(ZnNativeValue::castToNativeValue(native)->nativeType(), "T");
    // Bits alone must not make a cast: a plain value claiming to be a list.
    plain->addFormat(ListFormat);
    EXPECT_TRUE(ZnEnvList::isList(plain));
    EXPECT_EQ(ZnEnvList::castToList(plain), nullptr);
}

// Name and type nodes are hidden: never yielded, never removed. Null and
// the list itself are not appended; next() goes by identity, not by text.
TEST(EnvListIteration, HiddenNodesNullAndSelfAreNeverYielded) {
    ZnEnvObject object("n", "t", "v");
    EXPECT_FALSE(object.first());
    ASSERT_TRUE(object.last());
    EXPECT_EQ(object.last()->value(), "t");  // the type node
    object.remove(object.last());
    EXPECT_EQ(object.last()->value(), "t");
    EXPECT_EQ(object.name(), "n");
    EXPECT_EQ(object.type(), "t");
    EXPECT_EQ(object.value(), "v");
    ZnEnvValueSP a(new ZnEnvValue("a"));
    object.append(a);
    EXPECT_EQ(object.first(), a);
    EXPECT_FALSE(object.next(a));
    EXPECT_FALSE(object.next(ZnEnvValueSP()));
    EXPECT_FALSE(object.next(ZnEnvValueSP(new ZnEnvValue("a"))));  // equal text, other node
    ZnEnvNamedList named("nm", "");
    EXPECT_FALSE(named.first());
    named.remove(named.last());
    EXPECT_EQ(named.last()->value(), "nm");
    ZnEnvValueSP self(new ZnEnvList(""));
    list(self)->append(ZnEnvValueSP());
    list(self)->append(self);
    EXPECT_FALSE(list(self)->first());
}

// The list against a vector model under random appends (duplicates
// included) and removes, on both sides of the size where the index starts.
TEST(EnvListIteration, MatchesAPlainModelUnderRandomEdits) {
    std::mt19937 random(7);
    for (int size : {5, 40}) {
        std::vector<ZnEnvValueSP> pool;
        for (int i = 0; i < size; ++i) pool.emplace_back(new ZnEnvValue(ZnString(i)));
        ZnEnvList lst("");
        std::vector<ZnEnvValueSP> model;
        for (int step = 0; step < 4000; ++step) {
            const ZnEnvValueSP& node = pool[random() % pool.size()];
            if (random() % 3 == 0 || model.size() < pool.size() / 2) {
                lst.append(node);
                model.push_back(node);
            } else {
                lst.remove(node);
                for (auto it = model.begin(); it != model.end(); ++it)
                    if (*it == node) {
                        model.erase(it);
                        break;
                    }
            }
            const ZnEnvValueSP& probe = pool[random() % pool.size()];
            ZnEnvValueSP expected;
            for (std::size_t i = 0; i < model.size(); ++i)
                if (model[i] == probe) {
                    if (i + 1 < model.size()) expected = model[i + 1];
                    break;
                }
            ASSERT_EQ(lst.next(probe), expected) << "size " << size << " step " << step;
            ASSERT_EQ(lst.first(), model.empty() ? ZnEnvValueSP() : model.front());
            ASSERT_EQ(lst.last(), model.empty() ? ZnEnvValueSP() : model.back());
        }
    }
}

TEST(EnvObjectIndex, LaterNamesakeWinsRemovalErasesAndDeadEntriesLapse) {
    ZnEnvObject object("o", "t", "");
    ZnEnvValueSP first(new ZnEnvNamedList("port", "1"));
    ZnEnvValueSP second(new ZnEnvNamedList("port", "2"));
    object.append(first);
    object.append(second);
    EXPECT_EQ(object.attribute("port"), second);
    EXPECT_EQ(object.attributeValue("port"), "2");
    object.remove(second);
    EXPECT_FALSE(object.attribute("port"));
    EXPECT_EQ(object.attributeValue("port"), "");
    EXPECT_EQ(object.first(), first);
    object.append(second);
    object.remove(ZnEnvValueSP(new ZnEnvNamedList("port", "x")));  // not a child: no effect
    EXPECT_EQ(object.attribute("port"), second);
    ZnEnvValueSP child(new ZnEnvObject("inner", "kind", ""));
    object.append(child);
    EXPECT_EQ(object.attribute("inner"), child);  // child objects are indexed too
    object.append(ZnEnvValueSP(new ZnEnvNamedList("", "anonymous")));
    EXPECT_FALSE(object.attribute(""));
    object.ZnEnvList::remove(child);  // bypasses the index on purpose
    child.reset();
    EXPECT_FALSE(object.attribute("inner"));
}

TEST(EnvValueClone, ObjectCloneIsDeepParentlessAndReindexed) {
    ScopedEnv v("ZN_TEST_V", "expanded");
    ZnEnvironment env("top");
    ZnEnvValueSP object = env.addObject("o", "t");
    object->setValue("$(ZN_TEST_V)");
    env.addAttribute("a", "1", object);
    ZnEnvValueSP inner = env.addObject("i", "it", object);
    env.addAttribute("b", "2", inner);
    env.addComment("note", inner);
    int host = 0;
    env.addNativeValue(boost::shared_ptr<ZnNativeValue>(new ZnNativeValue("Host", &host)), inner);
    ZnEnvValueSP copy(object->clone());
    ZnEnvObject* c = ZnEnvObject::castToObject(copy);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->unmodifiedValue(), "expanded");  // copies hold the expanded text
    // A native value clones to a plain value holding its type name.
    std::ostringstream printed;
    ZnEnvironment(copy).print(printed, "", true);
    EXPECT_EQ(printed.str(),
              "class t o Value= expanded\n   a Value= 1\n   class it i Value= \n"
              "      b Value= 2\n// comment Value= note\n// comment Value= Host\n");
    ZnEnvValueSP innerCopy = c->attribute("i");
    ASSERT_TRUE(innerCopy);
    EXPECT_NE(innerCopy, inner);
    EXPECT_FALSE(copy->parent());
    EXPECT_FALSE(innerCopy->parent());
    EXPECT_EQ(ZnEnvObject::castToObject(innerCopy)->attributeValue("b"), "2");
    EXPECT_EQ(list(innerCopy)->last()->format(), 0u);
}

// Chains far deeper than the host stack allows recursion for: change
// reports, copies and teardown must all run in loops.
TEST_F(EnvValueNotification, DeepChainReportsCopiesAndFreesInConstantStack) {
    constexpr int kDepth = 300000;
    ZnEnvValueSP top(new RecordingList("top"));
    ZnEnvValueSP parent = top;
    for (int i = 0; i < kDepth; ++i) {
        ZnEnvValueSP child(new ZnEnvList("level"));
        child->setParent(parent);
        list(parent)->append(child);
        parent = child;
    }
    ZnEnvValueSP leaf(new ZnEnvValue("leaf"));
    leaf->setParent(parent);
    list(parent)->append(leaf);
    parent.reset();
    leaf->setValue("changed");
    ASSERT_EQ(gReports.size(), 1u);  // only the top records, after climbing every level
    EXPECT_EQ(gReports[0].receiver, top.get());
    ZnEnvValueSP copy(top->clone());
    int depth = 0;
    for (ZnEnvValueSP n = copy; ZnEnvList::isList(n); n = list(n)->first()) ++depth;
    EXPECT_EQ(depth, kDepth + 1);
    copy.reset();
    top.reset();
    EXPECT_FALSE(leaf->parent());
}

}  // namespace
