// variableGroup.h -- a named section of settings: a configuration variable
// whose value is its members, in the order they were declared.
//
//   ZnVariableGroup network(&settings, "net", "network", "Network settings");
//   ZnConfigVariable<int> port(&network, "port", 4000, "", ...);
//
// In a tree the group is one object (name "net", type "network") holding its
// members' objects; in XML the element <network name="net">; in the schema
// one xs:complexType "network" whose xs:all lists the members. Members are
// not owned: whoever declared them keeps them alive while the group uses them.

#ifndef PXS_VARIABLEGROUP_H
#define PXS_VARIABLEGROUP_H

#include <list>
#include <memory>

#include <pxs/baseConfigVariable.h>

template <typename T>
class ZnConfigVariable;

class ZnVariableGroup : public ZnBaseConfigVariable {
public:
    // Registers with `parent` when it is not null; an empty `type` means the name.
    ZnVariableGroup(ZnVariableGroup* parent, const ZnString& name, const ZnString& type,
                    const ZnString& description);
    ~ZnVariableGroup() override;

    // Both the group's type: the group is declared, and written in XML, under it.
    ZnString name() const override { return groupType_; }
    ZnString type() const override { return groupType_; }
    bool isRequired() const override { return true; }
    // Asks every member, in order, to add its argument.
    void getCommandLineArg(TCLAP::CmdLine& cmd) override;
    // Every command-line member takes its parsed value, except, with
    // changeOnce(), those already set.
    void updateFromCommandLineArg() override;
    // The group's xs:complexType (once per type), then its members' types.
    void getEnvironmentSchemaType(ZnEnvironment env, std::set<ZnString>& typesDone) const override;
    // The group's object under env's root with every configuration-file
    // member written below it; returns the object.
    ZnEnvValueSP getEnvironmentValue(ZnEnvironment env) override;
    // Every configuration-file member reads itself, except, with
    // changeOnce(), those already set from the command line. A missing
    // group object throws ZnCorruptedState; members read before keep their values.
    void updateFromEnvironment(ZnEnvironment env) override;

    // Appends `variable` to the members; every variable's constructor calls it.
    virtual void addBaseVariable(ZnBaseConfigVariable* variable);
    // Whether values set from the command line stay when a file is read:
    // the parent's answer, false for a group without parent.
    virtual bool changeOnce() const;

    // The group's object in the tree env points into, searched from the
    // outermost group inward; throws ZnCorruptedState when it is missing.
    ZnEnvValueSP getGroupValue(ZnEnvironment env);

    ZnString groupName() const { return groupName_; }
    ZnString groupType() const { return groupType_; }
    // Null for a top group.
    ZnVariableGroup* parent() const { return parent_; }
    const std::list<ZnBaseConfigVariable*>& variables() const { return variables_; }

private:
    template <typename T>
    friend class ZnConfigVariable;
    struct ReadPass;
    class ReadPassGuard;

    // Appends to `out`, in pre-order, the objects named `name` at or below
    // the group's object: what env.getObjectsByName(name, out,
    // getGroupValue(env)) gives. While the group reads a tree, the object and
    // a name index of its subtree are kept, so members do not search again.
    void getMemberObjects(ZnEnvironment env, const ZnString& name, ZnEnvironment::ValueList& out);
    // getObject(name, type) from the group's object, through the index while
    // the group reads the tree env points into.
    ZnEnvValueSP getMemberObject(ZnEnvironment env, const ZnString& name, const ZnString& type);
    // The read pass for env's tree, indexed; null outside such a pass.
    ReadPass* indexedPass(const ZnEnvironment& env, const ZnEnvValueSP& object);

    ZnString groupName_;
    ZnString groupType_;
    ZnVariableGroup* parent_;
    std::list<ZnBaseConfigVariable*> variables_;
    std::unique_ptr<ReadPass> pass_;  // only while updateFromEnvironment runs
};

#endif
