// envObjectSync_test.cpp -- synchronisers: which callback each tree change
// produces and in what order, where a change stops climbing, binding,
// generating and unbinding whole subtrees, and the attribute-sync registry.

#include <pxs/pxs.h>

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> gLog;

std::string nameOf(const ZnEnvValue* node) {
    if (auto* named = dynamic_cast<const ZnEnvNamedList*>(node)) return named->name().string();
    return node->value().string();
}

// Logs every callback as "<sync>:<event>(<node>)"; `onUpdate` and
// the other hooks let a test act inside a callback.
class LogSync : public ZnEnvObjectSync {
public:
    LogSync(std::string label, std::string type)
        : label_(std::move(label)), type_(std::move(type)) {}
    ~LogSync() override { unbind(); }

    void objectChangedCB(ZnEnvObject* object) override {
        gLog.push_back(label_ + ":changed(" + nameOf(object) + ")");
        if (onChanged) onChanged(object);
    }
    void updateObjectCB(ZnEnvObject* object) override {
        gLog.push_back(label_ + ":update(" + nameOf(object) + ")");
        if (onUpdate) onUpdate(object);
    }
    ZnString objectType() const override { return type_.c_str(); }
    void unboundAttributeSyncInCB(ZnEnvValue* child) override {
        gLog.push_back(label_ + ":unbound(" + nameOf(child) + ")");
        if (onUnbound) onUnbound(child);
    }
    void attributeAddedCB(ZnEnvValueSP child) override {
        ZnEnvObject* bound = ZnEnvObject::castToObject(binding());
        ZnEnvNamedList* named = ZnEnvNamedList::castToNamedList(child);
        const bool present = bound && named && bound->attribute(named->name()) == child;
        gLog.push_back(label_ + ":added(" + nameOf(child.get()) + (present ? ",in)" : ",out)"));
    }
    void attributeRemovedCB(ZnEnvValueSP child) override {
        gLog.push_back(label_ + ":removed(" + nameOf(child.get()) + ")");
    }

    std::function<void(ZnEnvObject*)> onUpdate, onChanged;
    std::function<void(ZnEnvValue*)> onUnbound;

private:
    std::string label_, type_;
};

using Log = std::vector<std::string>;

ZnEnvObject* object(const ZnEnvValueSP& node) {
    return ZnEnvObject::castToObject(node);
}

TEST(EnvObjectSyncCallbacks, ChangesStopAtTheFirstSynchronisedObject) {
    ZnEnvironment env;
    ZnEnvValueSP outer = env.addObject("outer", "o");
    ZnEnvValueSP inner = env.addObject("inner", "i", outer);
    ZnEnvValueSP port = env.addAttribute("port", "1", inner);
    ZnEnvValueSP section = env.addObject("section", "s", inner);
    ZnEnvValueSP deep = env.addAttribute("deep", "1", section);
    LogSync outerSync("O", "o"), innerSync("I", "i");
    outerSync.bind(outer, false);
    innerSync.bind(inner, false);
    gLog.clear();
    port->setValue("2");
    inner->setValue("v");
    deep->setValue("2");  // reported as a change of the direct child on the path
    EXPECT_EQ(gLog, (Log{"I:unbound(port)", "I:changed(inner)", "I:unbound(section)"}));
    innerSync.unbind();
    gLog.clear();
    port->setValue("3");  // now it climbs on to the outer synchroniser
    EXPECT_EQ(gLog, (Log{"O:unbound(inner)"}));
}

TEST(EnvObjectSyncCallbacks, AppendAndRemoveReportAfterTheChange) {
    ZnEnvironment env;
    ZnEnvValueSP link = env.addObject("main", "link");
    LogSync sync("S", "link");
    sync.bind(link, false);
    gLog.clear();
    ZnEnvValueSP port = env.addAttribute("port", "5", link);
    env.remove(port);
    EXPECT_EQ(gLog, (Log{"S:added(port,in)", "S:unbound(port)", "S:removed(port)"}));
    // A bound root: removing its direct child reports once, not twice.
    LogSync rootSync("R", "root");
    rootSync.bind(env.root(), false);
    ZnEnvValueSP top = env.addAttribute("top", "1");
    gLog.clear();
    env.remove(top);
    EXPECT_EQ(gLog, (Log{"R:removed(top)"}));
}

TEST(EnvObjectSyncCallbacks, EnvironmentSyncUpdatesInPreOrder) {
    ZnEnvironment env;
    ZnEnvValueSP a = env.addObject("a", "t");
    ZnEnvValueSP b = env.addObject("b", "t", a);
    ZnEnvValueSP c = env.addObject("c", "t");
    LogSync sa("A", "t"), sb("B", "t"), sc("C", "t");
    sc.bind(c, false);
    sb.bind(b, false);
    sa.bind(a, false);
    // Writing host state inside the update reports back to the same synchroniser.
    sb.onUpdate = [&env](ZnEnvObject* o) {
        env.addAttribute("written", "1", env.getObject(o->name(), o->type()));
    };
    gLog.clear();
    env.sync();
    EXPECT_EQ(gLog, (Log{"A:update(a)", "B:update(b)", "B:added(written,in)", "B:unbound(written)",
                         "C:update(c)"}));
    gLog.clear();
    env.sync(b);
    EXPECT_EQ(gLog.front(), "B:update(b)");
    EXPECT_EQ(env.getObjectSync("a", "t"), &sa);
    EXPECT_EQ(env.getObjectSync("a", "other"), nullptr);
}

// A callback that changes other parts of the tree starts change reports of
// its own while one is climbing; both must arrive whole.
TEST(EnvObjectSyncCallbacks, ReportsFromInsideCallbacksArriveWhole) {
    ZnEnvironment env;
    ZnEnvValueSP top = env.addObject("top", "t");
    ZnEnvValueSP status = env.addAttribute("status", "", top);
    ZnEnvValueSP mid = env.addObject("mid", "m", top);
    ZnEnvValueSP leaf = env.addObject("leaf", "l", mid);
    ZnEnvValueSP value = env.addAttribute("value", "0", leaf);
    LogSync topSync("T", "t"), leafSync("L", "l");
    topSync.bind(top, false);
    leafSync.bind(leaf, false);
    leafSync.onChanged = [&](ZnEnvObject*) { status->setValue("leaf changed"); };
    gLog.clear();
    leaf->setValue("x");
    EXPECT_EQ(gLog, (Log{"L:changed(leaf)", "T:unbound(status)"}));
    EXPECT_EQ(status->value(), "leaf changed");
    // Now from inside a climb: value -> leaf (synchronised) is under way
    // when the callback sets the status.
    leafSync.onUnbound = [&](ZnEnvValue*) { status->setValue("value changed"); };
    gLog.clear();
    value->setValue("1");
    EXPECT_EQ(gLog, (Log{"L:unbound(value)", "T:unbound(status)"}));
    leafSync.unbind();
    gLog.clear();
    value->setValue("2");  // climbs through leaf and mid to top
    EXPECT_EQ(gLog, (Log{"T:unbound(mid)"}));
}

TEST(EnvObjectSyncBinding, RebindingAndDestructionDetach) {
    ZnEnvironment env;
    ZnEnvValueSP first = env.addObject("first", "t");
    ZnEnvValueSP second = env.addObject("second", "t");
    {
        LogSync sync("S", "t");
        sync.bind(first, false);
        sync.bind(second, false);
        EXPECT_EQ(object(first)->sync(), nullptr);
        EXPECT_EQ(object(second)->sync(), &sync);
        // Another synchroniser taking the object over unbinds this one.
        LogSync other("X", "t");
        other.bind(second, false);
        EXPECT_FALSE(sync.binding());
        sync.unbind();  // must not detach `other`
        EXPECT_EQ(object(second)->sync(), &other);
        sync.bind(first, false);
    }
    EXPECT_EQ(object(first)->sync(), nullptr);
    EXPECT_EQ(object(second)->sync(), nullptr);
    LogSync sync("S", "t");
    ZnEnvValueSP gone = env.addObject("gone", "t");
    sync.bind(gone, false);
    env.remove(gone);
    gone.reset();
    EXPECT_FALSE(sync.binding());
    sync.bind(env.addAttribute("plain", "1"), false);  // not an object: remembered only
    EXPECT_TRUE(sync.binding());
}

// Binding reports the object before its attribute syncs; asked to, it
// generates the missing children below the node.
TEST(EnvObjectSyncBinding, BindReportsTheObjectFirstAndGeneratesMissingChildren) {
    ZnEnvironment env;
    ZnEnvValueSP link = env.addObject("main", "link");
    LogSync parent("P", "link"), child("C", "host");
    parent.addAttributeSync("peer", &child);
    parent.bind(link, false);
    EXPECT_FALSE(child.binding());
    gLog.clear();
    parent.bind(link, true);
    ZnEnvValueSP peer = env.getObject("peer", "host");
    ASSERT_TRUE(peer);
    EXPECT_EQ(peer->parent(), link);
    EXPECT_EQ(child.binding(), peer);
    EXPECT_EQ(gLog,
              (Log{"P:changed(main)", "P:added(peer,in)", "C:update(peer)", "C:changed(peer)"}));
    gLog.clear();
    parent.bind(link, false);
    EXPECT_EQ(gLog, (Log{"P:changed(main)", "C:changed(peer)"}));
    EXPECT_EQ(object(link)->sync(), &parent);
    EXPECT_EQ(env.getObjectSync("peer", "host"), &child);
    EXPECT_EQ(parent.binding(), link);
}

// Generated attribute-sync objects go below the new object, so a later
// bind finds them and generates nothing twice.
TEST(EnvObjectSyncBinding, GenerateBuildsTheWholeSubtreeUnderTheNewObject) {
    ZnEnvironment env;
    LogSync parent("P", "link"), child("C", "host");
    parent.addAttributeSync("peer", &child);
    gLog.clear();
    parent.generateObject(env, "main");
    ZnEnvValueSP link = env.getObject("main", "link");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->parent(), env.root());
    ZnEnvValueSP peer = object(link)->attribute("peer");
    ASSERT_TRUE(peer);
    EXPECT_TRUE(ZnEnvObject::isObject(peer, "peer", "host"));
    EXPECT_EQ(parent.binding(), link);
    EXPECT_EQ(child.binding(), peer);
    EXPECT_EQ(gLog, (Log{"P:update(main)", "P:changed(main)", "P:added(peer,in)", "C:update(peer)",
                         "C:changed(peer)"}));
    parent.bind(link, true);
    ZnEnvironment::ValueList peers;
    env.getObjectsByType("host", peers);
    EXPECT_EQ(peers.size(), 1u);
    EXPECT_EQ(child.binding(), peer);
    ZnEnvironment nowhere{ZnEnvValueSP(new ZnEnvValue("leaf"))};
    parent.generateObject(nowhere, "x");  // no list to create under: stays unbound
    EXPECT_FALSE(parent.binding());
    EXPECT_FALSE(child.binding());
}

TEST(EnvObjectSyncRegistry, StoresFindsReplacesAndRefusesLoops) {
    LogSync a("A", "t"), b("B", "t"), c("C", "t");
    EXPECT_EQ(a.attributeSync("x"), nullptr);
    a.addAttributeSync("x", &b);
    EXPECT_EQ(a.attributeSync("x"), &b);
    ZnEnvironment env;
    ZnEnvValueSP node = env.addObject("n", "t");
    env.addObject("x", "t", node);
    a.bind(node, false);
    ASSERT_TRUE(b.binding());
    a.addAttributeSync("x", &c);  // the replaced one is unbound
    EXPECT_FALSE(b.binding());
    EXPECT_EQ(a.attributeSync("x"), &c);
    a.bind(node, false);
    EXPECT_TRUE(c.binding());
    a.removeAttributeSync("x");
    EXPECT_FALSE(c.binding());
    EXPECT_EQ(a.attributeSync("x"), nullptr);
    a.addAttributeSync("y", nullptr);
    EXPECT_EQ(a.attributeSync("y"), nullptr);
    // Loops: directly and through another synchroniser.
    std::ostringstream warnings;
    std::streambuf* saved = ZnWarn.rdbuf(warnings.rdbuf());
    a.addAttributeSync("self", &a);
    b.addAttributeSync("a", &a);
    a.addAttributeSync("b", &b);
    ZnWarn.rdbuf(saved);
    EXPECT_EQ(a.attributeSync("self"), nullptr);
    EXPECT_EQ(a.attributeSync("b"), nullptr);
    EXPECT_EQ(b.attributeSync("a"), &a);
    EXPECT_NE(warnings.str().find("self not added"), std::string::npos);
    b.bind(node, true);
    EXPECT_EQ(a.binding(), env.getObject("a", "t", node));
    b.removeAllAttributeSyncs();
    EXPECT_FALSE(a.binding());
    EXPECT_EQ(b.attributeSync("a"), nullptr);
}

TEST(EnvObjectSyncRegistry, DestroyedSynchroniserLeavesEveryRegistry) {
    ZnEnvironment env;
    ZnEnvValueSP node = env.addObject("n", "t");
    ZnEnvValueSP x = env.addObject("x", "t", node);
    LogSync parent("P", "t");
    {
        LogSync child("C", "t");
        parent.addAttributeSync("x", &child);
        parent.addAttributeSync("alias", &child);
        parent.bind(node, false);
        EXPECT_EQ(object(x)->sync(), &child);
    }
    EXPECT_EQ(parent.attributeSync("x"), nullptr);
    EXPECT_EQ(parent.attributeSync("alias"), nullptr);
    EXPECT_EQ(object(x)->sync(), nullptr);
    parent.bind(node, true);  // would call into the destroyed child
    parent.unbind();
    // A removed registration no longer ties the two together.
    LogSync other("O", "t");
    {
        LogSync child("C", "t");
        other.addAttributeSync("x", &child);
        other.removeAttributeSync("x");
        parent.addAttributeSync("x", &child);
        parent.removeAllAttributeSyncs();
    }
    EXPECT_EQ(other.attributeSync("x"), nullptr);
}

}  // namespace
