// variableGroup_test.cpp -- groups: names and types, order of members,
// the tree a group writes, finding a group's object from the outermost group
// inward, reading members from a tree, changeOnce in both directions, and
// the schema types of groups.

#include <pxs/pxs.h>

#include <gtest/gtest.h>
#include <tclap/CmdLine.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using Scope = ZnBaseConfigVariable;

std::string printed(const ZnEnvironment& env) {
    std::ostringstream out;
    out << env;
    return out.str();
}

// A top group whose changeOnce answer the test chooses.
class TopGroup : public ZnVariableGroup {
public:
    TopGroup(const ZnString& name, bool once)
        : ZnVariableGroup(nullptr, name, "", ""), once_(once) {}
    bool changeOnce() const override { return once_; }
    void setOnce(bool once) { once_ = once; }

private:
    bool once_;
};

void parse(std::vector<std::string> args, ZnVariableGroup& group) {
    TCLAP::CmdLine cmd("test", ' ', "1", false);
    group.getCommandLineArg(cmd);
    cmd.setExceptionHandling(false);
    cmd.parse(args);
    group.updateFromCommandLineArg();
}

// settings { rate=1, net(network) { port=2, link(udp) { mtu=3 } } }. A
// name is looked for in the whole subtree of its group, so the names differ.
struct Nested {
    TopGroup settings{"settings", false};
    ZnConfigVariable<int> port{&settings, "rate", 1, "Top rate", Scope::AllScopes, false, ""};
    ZnVariableGroup net{&settings, "net", "network", "Network"};
    ZnConfigVariable<int> netPort{&net, "port", 2, "", Scope::AllScopes, false, ""};
    ZnConfigVariable<int> hidden{&net, "hidden", 5, "", Scope::CommandLineScope, false, ""};
    ZnVariableGroup link{&net, "link", "udp", ""};
    ZnConfigVariable<int> linkPort{&link, "mtu", 3, "", Scope::AllScopes, false, ""};
};

TEST(VariableGroupNames, EmptyTypeMeansTheName) {
    ZnVariableGroup plain(nullptr, "net", "", "d");
    EXPECT_EQ(plain.groupType(), "net");
    EXPECT_EQ(plain.name(), "net");
    EXPECT_EQ(plain.type(), "net");
    ZnVariableGroup typed(nullptr, "net", "network", "");
    EXPECT_EQ(typed.groupName(), "net");
    EXPECT_EQ(typed.name(), "network");
    EXPECT_EQ(typed.type(), "network");
    EXPECT_TRUE(typed.isRequired());
    EXPECT_EQ(typed.scope(), Scope::AllScopes);
    EXPECT_EQ(typed.description(), "");
    EXPECT_EQ(plain.description(), "d");
}

TEST(VariableGroupMembers, RegisteredInOrderOfDeclarationWithTheirParent) {
    Nested n;
    EXPECT_EQ(n.settings.variables(), (std::list<ZnBaseConfigVariable*>{&n.port, &n.net}));
    EXPECT_EQ(n.net.variables(),
              (std::list<ZnBaseConfigVariable*>{&n.netPort, &n.hidden, &n.link}));
    EXPECT_EQ(n.link.parent(), &n.net);
    EXPECT_EQ(n.settings.parent(), nullptr);
    EXPECT_EQ(n.linkPort.group(), &n.link);
}

TEST(VariableGroupTree, WritesItsObjectWithFileMembersBelowIt) {
    Nested n;
    ZnEnvironment env("app");
    ZnEnvValueSP object = n.settings.getEnvironmentValue(env);
    EXPECT_EQ(object, env.getObject("settings", "settings"));
    EXPECT_EQ(printed(env),
              "  class app app Value= \n"
              "     class settings settings Value= \n"
              "// comment Value= Top rate\n"
              "        class rate rate Value= \n"
              "           value Value= 1\n"
              "// comment Value= Network\n"
              "        class network net Value= \n"
              "           class port port Value= \n"
              "              value Value= 2\n"
              "           class udp link Value= \n"
              "              class mtu mtu Value= \n"
              "                 value Value= 3\n");
}

TEST(VariableGroupTree, GroupObjectIsFoundFromTheOutermostGroupInward) {
    Nested n;
    ZnEnvironment env;
    // A decoy udp "link" outside the network comes first in pre-order.
    env.addObject("link", "udp");
    ZnEnvValueSP settings = env.addObject("settings");
    ZnEnvValueSP net = env.addObject("net", "network", settings);
    ZnEnvValueSP link = env.addObject("link", "udp", net);
    EXPECT_EQ(n.settings.getGroupValue(env), settings);
    EXPECT_EQ(n.net.getGroupValue(env), net);
    EXPECT_EQ(n.link.getGroupValue(env), link);
    // The handle may point anywhere above the group.
    ZnEnvironment outer(ZnString("outer"));
    outer.reparent(env.root(), outer.root());
    EXPECT_EQ(n.link.getGroupValue(outer), link);
}

TEST(VariableGroupTree, MissingGroupObjectRaisesItsNameAndType) {
    Nested n;
    ZnEnvironment env;
    ZnEnvValueSP settings = env.addObject("settings");
    env.addObject("net", "net", settings);  // right name, wrong type
    try {
        n.link.getGroupValue(env);
        FAIL() << "no exception";
    } catch (const ZnCorruptedState& e) {
        EXPECT_STREQ(e.what(), "ZnCorruptedState: Unable to find group:net:network");
        EXPECT_EQ(e.function(), "ZnEnvValueSP ZnVariableGroup::getGroupValue(ZnEnvironment)");
        EXPECT_EQ(e.number(), -3);
    }
}

TEST(VariableGroupReading, MembersReadTheirOwnObjectsAtEveryLevel) {
    Nested out;
    out.port.setValue(10);
    out.netPort.setValue(20);
    out.linkPort.setValue(30);
    out.hidden.setValue(50);
    ZnEnvironment env("file");
    out.settings.getEnvironmentValue(env);
    Nested in;
    in.settings.updateFromEnvironment(env);
    EXPECT_EQ(in.port.value(), 10);
    EXPECT_EQ(in.netPort.value(), 20);
    EXPECT_EQ(in.linkPort.value(), 30);
    EXPECT_EQ(in.hidden.value(), 5);  // command line only: neither written nor read
}

TEST(VariableGroupReading, NestedGroupsIgnoreDecoysDuringARead) {
    Nested n;
    ZnEnvironment env;
    ZnEnvValueSP settings = env.addObject("settings");
    // Before the network: a udp "link" outside it, and inside it a "link"
    // of another type, then the real one.
    env.addAttribute("value", "-1", env.addObject("mtu", env.addObject("link", "udp", settings)));
    ZnEnvValueSP net = env.addObject("net", "network", settings);
    env.addAttribute("value", "-2", env.addObject("mtu", env.addObject("link", "tcp", net)));
    env.addAttribute("value", "1500", env.addObject("mtu", env.addObject("link", "udp", net)));
    n.linkPort.updateFromEnvironment(env);  // a member read alone finds its group too
    EXPECT_EQ(n.linkPort.value(), 1500);
    n.linkPort.setValue(3);
    n.settings.updateFromEnvironment(env);
    EXPECT_EQ(n.linkPort.value(), 1500);
    EXPECT_EQ(n.link.getGroupValue(env), env.getObject("link", "udp", net));
}

TEST(VariableGroupReading, MissingNestedGroupStopsTheReadAfterEarlierMembers) {
    Nested n;
    ZnEnvironment env;
    ZnEnvValueSP settings = env.addObject("settings");
    env.addAttribute("value", "11", env.addObject("rate", settings));
    ZnEnvValueSP net = env.addObject("net", "network", settings);
    env.addAttribute("value", "22", env.addObject("port", net));
    EXPECT_THROW(n.settings.updateFromEnvironment(env), ZnCorruptedState);
    EXPECT_EQ(n.port.value(), 11);
    EXPECT_EQ(n.netPort.value(), 22);
    EXPECT_EQ(n.linkPort.value(), 3);
}

TEST(VariableGroupReading, LookupsMatchASearchFromTheGroupObject) {
    TopGroup settings("settings", false);
    ZnConfigVariable<int> self(&settings, "settings", 1, "", Scope::AllScopes, false, "");
    ZnConfigVariable<int> twice(&settings, "twice", 1, "", Scope::AllScopes, false, "");
    ZnConfigVariable<int> deep(&settings, "deep", 1, "", Scope::AllScopes, false, "");
    ZnEnvironment env;
    env.addAttribute("value", "7", env.addObject("deep"));  // outside the group: not seen
    ZnEnvValueSP group = env.addObject("settings");
    env.addAttribute("value", "2", env.addObject("settings", group));
    env.addAttribute("value", "3", env.addObject("twice", group));
    ZnEnvValueSP other = env.addObject("other", group);
    env.addAttribute("value", "4", env.addObject("twice", other));
    env.addAttribute("value", "5", env.addObject("deep", other));
    testing::internal::CaptureStdout();
    settings.updateFromEnvironment(env);
    // The group's own object has the first variable's name: two matches.
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Unable to get from Environment, Object not unique\n"
              "Unable to get from Environment, Object not unique\n");
    EXPECT_EQ(self.value(), 1);
    EXPECT_EQ(twice.value(), 1);
    EXPECT_EQ(deep.value(), 5);

    // What was found in one read is not kept for the next.
    env.remove(env.getObject("twice", "twice", other));
    env.remove(env.getObject("deep", "deep", other));
    ZnEnvObject::castToObject(env.getObject("twice", "twice", group))
        ->attribute("value")
        ->setValue("8");
    settings.updateFromEnvironment(env);
    EXPECT_EQ(twice.value(), 8);
    EXPECT_EQ(deep.value(), 5);
}

TEST(VariableGroupReading, NamesakeInANestedGroupMakesTheOuterOneNotUnique) {
    TopGroup settings("settings", false);
    ZnConfigVariable<int> outer(&settings, "port", 1, "", Scope::AllScopes, false, "");
    ZnVariableGroup net(&settings, "net", "", "");
    ZnConfigVariable<int> inner(&net, "port", 2, "", Scope::AllScopes, false, "");
    ZnEnvironment env;
    settings.getEnvironmentValue(env);
    outer.setValue(0);
    inner.setValue(0);
    testing::internal::CaptureStdout();
    settings.updateFromEnvironment(env);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Unable to get from Environment, Object not unique\n");
    EXPECT_EQ(outer.value(), 0);
    EXPECT_EQ(inner.value(), 2);
}

TEST(VariableGroupChangeOnce, SecondCommandLineDoesNotOverrideWhenOn) {
    Nested n;
    EXPECT_FALSE(n.link.changeOnce());
    n.settings.setOnce(true);
    EXPECT_TRUE(n.link.changeOnce());
    EXPECT_FALSE(ZnVariableGroup(nullptr, "alone", "", "").changeOnce());
    TopGroup settings("settings", true);
    ZnConfigVariable<int> a(&settings, "a", 1, "", Scope::AllScopes, false, "");
    ZnConfigVariable<int> b(&settings, "b", 1, "", Scope::AllScopes, false, "");
    parse({"prog", "--a", "2"}, settings);
    parse({"prog", "--a", "3", "--b", "4"}, settings);
    EXPECT_EQ(a.value(), 2);
    EXPECT_EQ(b.value(), 4);
    settings.setOnce(false);
    parse({"prog", "--a", "5"}, settings);
    EXPECT_EQ(a.value(), 5);
}

TEST(VariableGroupSchema, GroupTypeListsItsMembersOnceAndRecurses) {
    TopGroup settings("settings", false);
    ZnVariableGroup left(&settings, "left", "side", "");
    ZnConfigVariable<int> lx(&left, "x", 1, "", Scope::AllScopes, true, "");
    ZnVariableGroup right(&settings, "right", "side", "");
    ZnConfigVariable<int> rx(&right, "x", 1, "", Scope::AllScopes, true, "");
    ZnConfigVariable<float> ry(&right, "y", 1, "", Scope::AllScopes, false, "");
    ZnConfigVariable<bool> cli(&settings, "cli", false, "", Scope::CommandLineScope, false, "");
    ZnEnvironment env("xs:schema");
    std::set<ZnString> done;
    settings.getEnvironmentSchemaType(env, done);
    EXPECT_EQ(done, (std::set<ZnString>{"settings", "side", "int", "float"}));
    ZnEnvironment::ValueList types;
    env.getObjectsByType("xs:complexType", types);
    ASSERT_EQ(types.size(), 4u);  // settings, side (once), int, float
    // Each group is an xs:element named and typed by its group type.
    ZnEnvValueSP all = env.getObject("xs:all", "xs:all", types.front());
    ZnEnvironment::ValueList elements;
    env.getObjectsByType("xs:element", elements, all);
    ASSERT_EQ(elements.size(), 2u);
    for (const ZnEnvValueSP& element : elements) {
        EXPECT_EQ(ZnEnvObject::castToObject(element)->name(), "side");
        EXPECT_EQ(ZnEnvObject::castToObject(element)->attributeValue("type"), "side");
    }
    // The type comes from the first group: its members only.
    ZnEnvironment::ValueList sideMembers;
    env.getObjectsByType("xs:element", sideMembers, *std::next(types.begin()));
    EXPECT_EQ(sideMembers.size(), 1u);
}

}  // namespace
