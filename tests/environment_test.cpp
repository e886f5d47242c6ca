// environment_test.cpp -- the tree handle: building under parents, searches
// (pre-order, first match, collecting), moving and removing, walking up,
// and the printed form character for character.

#include <pxs/pxs.h>

#include <pxs/envWalk.h>

#include <gtest/gtest.h>

#include <pthread.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string printed(const ZnEnvironment& env, bool withComments = true) {
    std::ostringstream out;
    if (withComments)
        out << env;
    else
        env.print(out, "  ", false);
    return out.str();
}

std::vector<std::string> names(const ZnEnvironment::ValueList& nodes) {
    std::vector<std::string> out;
    for (const ZnEnvValueSP& n : nodes)
        out.push_back(ZnEnvNamedList::castToNamedList(n)->name().string());
    return out;
}

// A root that counts the change reports reaching it.
class CountingRoot : public ZnEnvObject {
public:
    CountingRoot() : ZnEnvObject("root", "root", "") {}
    void childChanged(ZnEnvValue* child) override {
        ++reports;
        ZnEnvObject::childChanged(child);
    }
    int reports = 0;
};

TEST(EnvironmentRoot, ConstructorsAndHandleCopiesShareTheTree) {
    ZnEnvironment env;
    ASSERT_TRUE(ZnEnvObject::isObject(env.root(), "root", "root"));
    EXPECT_EQ(printed(env), "  class root root Value= \n");
    EXPECT_EQ(printed(ZnEnvironment("settings")), "  class settings settings Value= \n");
    ZnEnvironment copy = env;
    copy.addAttribute("a", "1");
    EXPECT_EQ(env.getAttribute("a")->value(), "1");
    ZnEnvironment empty{ZnEnvValueSP()};
    EXPECT_FALSE(empty.addObject("x"));
    EXPECT_FALSE(empty.getNamedList("x"));
    EXPECT_FALSE(empty.getTopParent());
    EXPECT_EQ(printed(empty), "");
}

TEST(EnvironmentBuilding, OnlyListsTakeChildrenAndLinksAreSetAsDocumented) {
    ZnEnvironment env;
    ZnEnvValueSP comment = env.addComment("hello");
    ZnEnvValueSP attr = env.addAttribute("port", "5");
    ZnEnvValueSP object = env.addObject("main", "link");
    ZnEnvValueSP same = env.addObject("plain");
    EXPECT_FALSE(comment->parent());
    EXPECT_EQ(attr->parent(), env.root());
    EXPECT_EQ(object->parent(), env.root());
    EXPECT_EQ(ZnEnvObject::castToObject(same)->type(), "plain");
    EXPECT_FALSE(env.addAttribute("x", "1", comment));  // not a list
    EXPECT_FALSE(env.addObject("x", "y", ZnEnvValueSP()));
    EXPECT_FALSE(env.addComment("x", comment));
    ZnEnvValueSP nested = env.addAttribute("inner", "i", attr);  // a named list is a list
    EXPECT_EQ(nested->parent(), attr);
    int host = 3;
    boost::shared_ptr<ZnNativeValue> native(new ZnNativeValue("Host", &host));
    EXPECT_EQ(env.addNativeValue(native, object), native);
    EXPECT_FALSE(native->parent());
    EXPECT_FALSE(env.addNativeValue(native, comment));
    EXPECT_EQ(env.getNativeValue(object), native);
    EXPECT_FALSE(env.getNativeValue(env.root()));  // direct children only
    EXPECT_FALSE(env.getNativeValue(comment));
}

// The start node is tested first, then its subtree in pre-order.
TEST(EnvironmentSearch, FirstMatchInPreOrderWins) {
    ZnEnvironment env;
    EXPECT_EQ(env.getNamedList("root"), env.root());
    EXPECT_EQ(env.getObject("root", "root"), env.root());
    EXPECT_FALSE(env.getObject("root", "other"));
    ZnEnvValueSP early = env.addObject("early", "section");
    ZnEnvValueSP deep = env.addAttribute("port", "deep", early);
    env.addAttribute("port", "direct");
    EXPECT_EQ(env.getAttribute("port"), deep);
    EXPECT_EQ(env.getNamedList("port", env.root()), deep);
    EXPECT_EQ(env.getAttribute("port", early), deep);
    EXPECT_EQ(env.getNamedList("early"), early);  // objects are named lists too
    ZnEnvValueSP twin = env.addObject("early", "other");
    EXPECT_EQ(env.getObject("early", "other"), twin);
    EXPECT_FALSE(env.getAttribute("port", deep->parent()->parent()->parent()));
    // Comments are no named lists, whatever their text.
    env.addComment("port");
    EXPECT_EQ(env.getAttribute("port"), deep);
}

TEST(EnvironmentSearch, CollectingKeepsPreOrderAndGoesBelowMatches) {
    ZnEnvironment env;
    ZnEnvValueSP outer = env.addObject("a", "group");
    ZnEnvValueSP inner = env.addObject("b", "group", outer);
    env.addObject("c", "group", inner);
    env.addObject("d", "group");
    env.addAttribute("a", "attribute named a", inner);
    ZnEnvironment::ValueList found;
    env.getObjectsByType("group", found);
    EXPECT_EQ(names(found), (std::vector<std::string>{"a", "b", "c", "d"}));
    env.getObjectsByName("a", found);  // appended, not cleared
    EXPECT_EQ(found.size(), 5u);
    found.clear();
    env.getNamedListsByName("a", found);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found.front(), outer);
    EXPECT_FALSE(ZnEnvObject::isObject(found.back()));
    found.clear();
    env.getObjectsByName("b", found, inner);  // the start node itself matches
    EXPECT_EQ(names(found), (std::vector<std::string>{"b"}));
}

TEST(EnvironmentCopy, CopyIsDeepAndDetached) {
    auto* root = new CountingRoot;
    ZnEnvironment env{ZnEnvValueSP(root)};
    ZnEnvValueSP object = env.addObject("o", "t");
    ZnEnvValueSP attr = env.addAttribute("a", "1", object);
    EXPECT_EQ(root->reports, 1);  // the new attribute's value climbed up
    ZnEnvValueSP copy = env.copy(object);
    EXPECT_EQ(env.root()->format(), 7u);
    EXPECT_EQ(ZnEnvList::castToList(env.root())->last(), copy);
    ZnEnvObject::castToObject(copy)->attribute("a")->setValue("changed");
    copy->setValue("also changed");
    EXPECT_EQ(root->reports, 1);
    EXPECT_EQ(attr->value(), "1");
    ZnEnvValueSP loose = env.copy(object, ZnEnvValueSP(new ZnEnvValue("not a list")));
    ASSERT_TRUE(loose);
    EXPECT_FALSE(loose->parent());
    EXPECT_FALSE(env.copy(ZnEnvValueSP()));
}

TEST(EnvironmentMove, ReparentMovesBetweenListsUpdatesIndexesAndRefusesCycles) {
    ZnEnvironment env;
    ZnEnvValueSP from = env.addObject("from", "o");
    ZnEnvValueSP to = env.addObject("to", "o");
    ZnEnvValueSP attr = env.addAttribute("port", "5", from);
    env.reparent(attr, to);
    EXPECT_FALSE(ZnEnvObject::castToObject(from)->attribute("port"));
    EXPECT_EQ(ZnEnvObject::castToObject(to)->attribute("port"), attr);
    EXPECT_EQ(attr->parent(), to);
    ZnEnvValueSP holder = env.addAttribute("holder", "h", to);
    ZnEnvValueSP moved = env.addObject("moved", "o");
    env.reparent(moved, holder);  // a named list is a list
    EXPECT_EQ(ZnEnvList::castToList(holder)->first(), moved);
    EXPECT_EQ(env.getObject("moved", "o", to), moved);
    env.reparent(moved, env.addComment("c"));  // not a list: nothing happens
    EXPECT_EQ(moved->parent(), holder);
    // A node is never moved below itself.
    env.reparent(to, holder);
    env.reparent(to, to);
    EXPECT_EQ(to->parent(), env.root());
    EXPECT_EQ(ZnEnvList::castToList(holder)->first(), moved);
    env.reparent(moved, ZnEnvValueSP());  // detaches
    EXPECT_FALSE(moved->parent());
    EXPECT_FALSE(ZnEnvList::castToList(holder)->first());
}

TEST(EnvironmentMove, RemoveTakesTheNodeOutOnce) {
    ZnEnvironment env;
    ZnEnvValueSP object = env.addObject("o", "t");
    ZnEnvValueSP attr = env.addAttribute("a", "1", object);
    env.remove(attr);
    EXPECT_FALSE(ZnEnvObject::castToObject(object)->attribute("a"));
    EXPECT_EQ(attr->parent(), object);           // the link is left as it was
    ZnEnvValueSP comment = env.addComment("c");  // no parent link: found among the root's children
    env.remove(comment);
    EXPECT_EQ(ZnEnvList::castToList(env.root())->last(), object);
    ZnEnvValueSP first = env.addAttribute("dup", "1");
    ZnEnvValueSP second = env.addAttribute("dup", "2");
    env.remove(second);
    EXPECT_FALSE(ZnEnvObject::castToObject(env.root())->attribute("dup"));
    env.remove(first);
    EXPECT_EQ(ZnEnvList::castToList(env.root())->last(), object);
}

TEST(EnvironmentWalkUp, LevelStopsAtEmptyValues) {
    ZnEnvironment env;
    ZnEnvValueSP a = env.addObject("a");
    a->setValue("va");
    ZnEnvValueSP b = env.addAttribute("b", "vb", a);
    EXPECT_FALSE(env.contains(b));  // the default root's value is empty
    EXPECT_EQ(env.level(b), -1);
    env.root()->setValue("vr");
    EXPECT_EQ(env.level(env.root()), 0);
    EXPECT_EQ(env.level(b), 2);
    EXPECT_TRUE(env.contains(b));
    a->setValue("");
    EXPECT_EQ(env.level(b), -1);
    ZnEnvironment sub(a);
    EXPECT_EQ(sub.level(b), -1);
    a->setValue("back");
    EXPECT_EQ(sub.level(b), 1);
    EXPECT_EQ(sub.level(env.root()), -1);
    EXPECT_EQ(env.level(ZnEnvValueSP()), -1);
}

TEST(EnvironmentWalkUp, TopParentAndLoopsInParentLinks) {
    ZnEnvironment env;
    ZnEnvValueSP a = env.addObject("a");
    ZnEnvValueSP b = env.addObject("b", a);
    EXPECT_EQ(env.getTopParent(b), env.root());
    EXPECT_EQ(env.getTopParent(), env.root());
    ZnEnvironment sub(b);
    sub.rootToParent();
    EXPECT_EQ(sub.root(), a);
    ZnEnvironment top(env.root());
    top.rootToParent();
    EXPECT_EQ(top.root(), env.root());
    // Links that loop: through the start node, and a loop above it.
    env.root()->setParent(b);
    EXPECT_FALSE(env.getTopParent(b));
    ZnEnvValueSP tail(new ZnEnvValue("t"));
    tail->setParent(a);
    EXPECT_FALSE(env.getTopParent(tail));
    // Change reports climb the same looping links: they must end too.
    env.root()->setValue("r");
    a->setValue("a");
    b->setValue("b");
    EXPECT_EQ(ZnEnvironment(ZnEnvValueSP(new ZnEnvValue("x"))).level(tail), -1);  // ends, no hang
    env.root()->setParent(ZnEnvValueSP());
}

TEST(EnvironmentPrint, ListingMatchesTheDocumentedForm) {
    ZnEnvironment env;
    env.addAttribute("port", "5");
    EXPECT_EQ(printed(env), "  class root root Value= \n     port Value= 5\n");
    ZnEnvValueSP link = env.addObject("main", "link");
    link->setValue("x");
    env.addAttribute("host", "h", link);
    env.addComment("a note");
    ZnEnvValueSP list(new ZnEnvList("plain"));
    ZnEnvList::castToList(env.root())->append(list);
    ZnEnvList::castToList(list)->append(ZnEnvValueSP(new ZnEnvNamedList("hidden", "1")));
    EXPECT_EQ(printed(env),
              "  class root root Value= \n"
              "     port Value= 5\n"
              "     class link main Value= x\n"
              "        host Value= h\n"
              "// comment Value= a note\n"
              "// comment Value= plain\n"
              "        hidden Value= 1\n");
    EXPECT_EQ(printed(env, false),
              "  class root root Value= \n"
              "     port Value= 5\n"
              "     class link main Value= x\n"
              "        host Value= h\n");
    std::ostringstream custom;
    ZnEnvironment(link).print(custom, ">", true);
    EXPECT_EQ(custom.str(), ">class link main Value= x\n>   host Value= h\n");
}

// Nesting far beyond what recursion could take: build, search, copy and
// free a chain of objects. (Printing walks the same way, but its
// indentation grows with depth squared.)
TEST(EnvironmentDepth, DeepTreeIsSearchedCopiedAndFreed) {
    constexpr int kDepth = 200000;
    ZnEnvironment env;
    ZnEnvValueSP parent = env.root();
    for (int i = 0; i < kDepth; ++i) parent = env.addObject("n", "t", parent);
    ZnEnvValueSP bottom = env.addAttribute("bottom", "here", parent);
    parent.reset();
    EXPECT_EQ(env.getAttribute("bottom"), bottom);
    ZnEnvironment::ValueList all;
    env.getObjectsByType("t", all);
    EXPECT_EQ(all.size(), static_cast<std::size_t>(kDepth));
    all.clear();
    ZnEnvValueSP copy = env.copy(env.root(), ZnEnvValueSP());
    EXPECT_TRUE(ZnEnvironment(copy).getAttribute("bottom"));
    EXPECT_EQ(env.getTopParent(bottom), env.root());
}

using pxsdetail::WalkStep;
using pxsdetail::walkTree;

std::string nameOf(const ZnEnvValueSP& node) {
    ZnEnvNamedList* named = ZnEnvNamedList::castToNamedList(node);
    return named ? named->name().string() : "#" + node->value().string();
}

// root( a( x #c b ) d( e ) f ): pre-order entry, leave after the subtree.
ZnEnvironment walkSample() {
    ZnEnvironment env;
    ZnEnvValueSP a = env.addObject("a");
    env.addAttribute("x", "1", a);
    env.addComment("c", a);
    env.addObject("b", a);
    env.addObject("e", env.addObject("d"));
    env.addObject("f");
    return env;
}

// Enter and leave nest like brackets, with the depth of each node; a
// skipped node is neither descended into nor left; a stop ends the walk.
TEST(EnvironmentWalk, EnterAndLeaveNestInPreOrder) {
    ZnEnvironment env = walkSample();
    std::string trace;
    auto leave = [&](const ZnEnvValueSP& n, std::size_t depth) {
        trace += "-" + nameOf(n) + std::to_string(depth) + " ";
    };
    EXPECT_TRUE(walkTree(env.root(),
                         [&](const ZnEnvValueSP& n, std::size_t depth) {
                             trace += "+" + nameOf(n) + std::to_string(depth) + " ";
                             return nameOf(n) == "d" ? WalkStep::Skip : WalkStep::Descend;
                         },
                         leave));
    EXPECT_EQ(trace,
              "+root0 +a1 +x2 -x2 +#c2 -#c2 +b2 -b2 -a1 +d1 +f1 -f1 -root0 ");
    trace.clear();
    EXPECT_FALSE(walkTree(env.root(),
                          [&](const ZnEnvValueSP& n, std::size_t) {
                              trace += "+" + nameOf(n) + " ";
                              return nameOf(n) == "b" ? WalkStep::Stop : WalkStep::Descend;
                          },
                          leave));
    EXPECT_EQ(trace.substr(trace.rfind('+')), "+b ");
    EXPECT_EQ(trace.find("-a"), std::string::npos);
    EXPECT_TRUE(walkTree(ZnEnvValueSP(), [](const ZnEnvValueSP&, std::size_t) {
        ADD_FAILURE() << "entered a null start";
        return WalkStep::Descend;
    }));
}

// The walk holds what it stands on: a callback may drop the current node's
// children, the node itself (its level then ends, as a recursive walk's
// next() would) or a later sibling (never visited), even when the tree was
// the only owner of what it drops.
TEST(EnvironmentWalk, CallbacksMayRemoveNodesUnderTheWalk) {
    const struct {
        const char* removing;
        std::function<void(ZnEnvironment&, const ZnEnvValueSP&)> edit;
        const char* visited;
    } cases[] = {
        {"children of a",
         [](ZnEnvironment& env, const ZnEnvValueSP& n) {
             if (nameOf(n) != "a") return;
             ZnEnvList* a = ZnEnvList::castToList(n);
             while (ZnEnvValueSP child = a->first()) a->remove(child);
         },
         "root a -a d e -e -d f -f -root "},
        {"a itself",
         [](ZnEnvironment& env, const ZnEnvValueSP& n) {
             if (nameOf(n) == "a") env.remove(n);
         },
         "root a x -x #c -#c b -b -a -root "},
        {"d, the next sibling, from inside a",
         [](ZnEnvironment& env, const ZnEnvValueSP& n) {
             if (nameOf(n) == "x") env.remove(env.getObject("d", "d"));
         },
         "root a x -x #c -#c b -b -a f -f -root "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.removing);
        ZnEnvironment env = walkSample();
        std::string trace;
        walkTree(
            env.root(),
            [&](const ZnEnvValueSP& n, std::size_t) {
                trace += nameOf(n) + " ";
                c.edit(env, n);
                return WalkStep::Descend;
            },
            [&](const ZnEnvValueSP& n, std::size_t) { trace += "-" + nameOf(n) + " "; });
        EXPECT_EQ(trace, c.visited);
    }
}

// A synchroniser that empties its object while the tree is synchronised.
class EmptyingSync : public ZnEnvObjectSync {
public:
    void objectChangedCB(ZnEnvObject*) override {}
    void updateObjectCB(ZnEnvObject* object) override {
        ++updates;
        while (ZnEnvValueSP child = object->first()) object->remove(child);
    }
    ZnString objectType() const override { return "t"; }
    int updates = 0;
};

TEST(EnvironmentWalk, SyncSurvivesAnUpdateThatEmptiesItsObject) {
    ZnEnvironment env;
    ZnEnvValueSP outer = env.addObject("outer", "t");
    ZnEnvValueSP inner = env.addObject("inner", "t", outer);
    EmptyingSync outerSync, innerSync;
    innerSync.bind(inner, false);
    outerSync.bind(outer, false);
    inner.reset();  // the tree is the only owner of the inner object now
    env.sync();
    EXPECT_EQ(outerSync.updates, 1);
    EXPECT_EQ(innerSync.updates, 0);  // removed before the walk got there
    EXPECT_FALSE(ZnEnvList::castToList(outer)->first());
}

// Runs `work` on a thread with a stack of only `bytes`: a walk that
// recursed once per level would overflow it.
void onSmallStack(std::size_t bytes, const std::function<void()>& work) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, bytes);
    pthread_t thread;
    auto run = [](void* arg) -> void* {
        (*static_cast<const std::function<void()>*>(arg))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attr, run, const_cast<std::function<void()>*>(&work)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

TEST(EnvironmentWalk, HundredThousandLevelsOnASmallStack) {
    constexpr std::size_t kDepth = 100000;
    ZnEnvironment env;
    ZnEnvValueSP parent = env.root();
    for (std::size_t i = 0; i < kDepth; ++i) parent = env.addObject("n", parent);
    parent.reset();
    std::size_t entered = 0, left = 0, deepest = 0;
    std::string leaveOrder;
    onSmallStack(64 * 1024, [&] {
        walkTree(
            env.root(),
            [&](const ZnEnvValueSP&, std::size_t depth) {
                ++entered;
                deepest = std::max(deepest, depth);
                return WalkStep::Descend;
            },
            [&](const ZnEnvValueSP&, std::size_t depth) {
                // Leaves come deepest first: depth counts down to 0.
                if (depth != kDepth - left) leaveOrder = "out of order";
                ++left;
            });
    });
    EXPECT_EQ(entered, kDepth + 1);
    EXPECT_EQ(left, kDepth + 1);
    EXPECT_EQ(deepest, kDepth);
    EXPECT_EQ(leaveOrder, "");
}

}  // namespace
