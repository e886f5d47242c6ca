// variableGroup.cpp -- groups pass every operation on to their members in
// order of declaration, and find their own object in a tree from the
// outermost group inward. While a group reads a tree it remembers its object
// and indexes the objects below it by name, so that reading n members costs
// one walk of the group's subtree instead of n.

#include "variableGroup.h"

#include <string>
#include <unordered_map>

#include <pxs/envWalk.h>
#include <util/znException.h>

namespace {

// Origin of the missing-group exception, as callers see it. Fixed values:
// editing this file must not change them.
constexpr const char* kGetGroupValue = "ZnEnvValueSP ZnVariableGroup::getGroupValue(ZnEnvironment)";
constexpr const char* kFile = "variableGroup";
constexpr int kGetGroupValueLine = 97;

}  // namespace

// What a group keeps while it reads one tree. The tree is not changed by
// reading, so what was found stays true until the read ends.
struct ZnVariableGroup::ReadPass {
    const ZnEnvValue* root = nullptr;  // the root of the handle being read
    ZnEnvValueSP object;               // the group's object found in it
    bool indexed = false;
    std::unordered_map<std::string, ZnEnvironment::ValueList> objectsByName;

    // Every object at or below `start`, in pre-order, filed under its name:
    // the lists getObjectsByName would collect, all in one walk.
    void index(const ZnEnvValueSP& start);
};

void ZnVariableGroup::ReadPass::index(const ZnEnvValueSP& start) {
    indexed = true;
    pxsdetail::walkTree(start, [this](const ZnEnvValueSP& node, std::size_t) {
        if (ZnEnvObject* object = ZnEnvObject::castToObject(node))
            objectsByName[object->name().std()].push_back(node);
        return pxsdetail::WalkStep::Descend;
    });
}

// Opens a read pass on a group for the length of one updateFromEnvironment,
// and closes it on every way out. A pass already open (a group reached
// twice through a loop of groups) is left to its opener.
class ZnVariableGroup::ReadPassGuard {
public:
    ReadPassGuard(ZnVariableGroup& group, const ZnEnvironment& env) : group_(group) {
        if (group_.pass_) return;
        group_.pass_.reset(new ReadPass);
        group_.pass_->root = env.root().get();
        opened_ = true;
    }
    ~ReadPassGuard() {
        if (opened_) group_.pass_.reset();
    }
    ReadPassGuard(const ReadPassGuard&) = delete;
    ReadPassGuard& operator=(const ReadPassGuard&) = delete;

private:
    ZnVariableGroup& group_;
    bool opened_ = false;
};

ZnVariableGroup::ZnVariableGroup(ZnVariableGroup* parent, const ZnString& name,
                                 const ZnString& type, const ZnString& description)
    : ZnBaseConfigVariable(parent, AllScopes, description),
      groupName_(name),
      groupType_(type.empty() ? name : type),
      parent_(parent) {}

ZnVariableGroup::~ZnVariableGroup() = default;

void ZnVariableGroup::addBaseVariable(ZnBaseConfigVariable* variable) {
    variables_.push_back(variable);
}

bool ZnVariableGroup::changeOnce() const {
    return parent_ ? parent_->changeOnce() : false;
}

void ZnVariableGroup::getCommandLineArg(TCLAP::CmdLine& cmd) {
    for (ZnBaseConfigVariable* variable : variables_) variable->getCommandLineArg(cmd);
}

void ZnVariableGroup::updateFromCommandLineArg() {
    const bool once = changeOnce();
    for (ZnBaseConfigVariable* variable : variables_) {
        if (!variable->inCommandLine()) continue;
        if (once && variable->isSet()) continue;
        variable->updateFromCommandLineArg();
    }
}

// The members' types are added even when the group's own type was already
// defined: a second group of that type may hold members of other types.
void ZnVariableGroup::getEnvironmentSchemaType(ZnEnvironment env,
                                               std::set<ZnString>& typesDone) const {
    if (typesDone.insert(type()).second)
        createComplexSchemaType(env, groupType_, false, variables_);
    for (const ZnBaseConfigVariable* variable : variables_)
        if (variable->inConfigFile()) variable->getEnvironmentSchemaType(env, typesDone);
}

ZnEnvValueSP ZnVariableGroup::getEnvironmentValue(ZnEnvironment env) {
    if (!description().empty()) env.addComment(description());
    ZnEnvValueSP object = env.addObject(groupName_, groupType_);
    ZnEnvironment inside(object);
    for (ZnBaseConfigVariable* variable : variables_)
        if (variable->inConfigFile()) variable->getEnvironmentValue(inside);
    return object;
}

void ZnVariableGroup::updateFromEnvironment(ZnEnvironment env) {
    ReadPassGuard pass(*this, env);
    const bool once = changeOnce();
    for (ZnBaseConfigVariable* variable : variables_) {
        if (!variable->inConfigFile()) continue;
        if (once && variable->isSet()) continue;
        variable->updateFromEnvironment(env);
    }
}

// A nested group is found below its parent's object through the parent's
// index while the parent reads the same tree: the first object of the name
// in pre-order whose type matches is what the search would find.
ZnEnvValueSP ZnVariableGroup::getGroupValue(ZnEnvironment env) {
    const bool remembered = pass_ && pass_->root == env.root().get();
    if (remembered && pass_->object) return pass_->object;
    ZnEnvValueSP object = parent_ ? parent_->getMemberObject(env, groupName_, groupType_)
                                  : env.getObject(groupName_, groupType_);
    if (!object)
        throw ZnCorruptedState(
            ("ZnCorruptedState: Unable to find group:" + groupName_ + ":" + groupType_).string(),
            kGetGroupValue, kFile, kGetGroupValueLine);
    if (remembered) pass_->object = object;
    return object;
}

ZnVariableGroup::ReadPass* ZnVariableGroup::indexedPass(const ZnEnvironment& env,
                                                        const ZnEnvValueSP& object) {
    if (!pass_ || pass_->root != env.root().get()) return nullptr;
    if (!pass_->indexed) pass_->index(object);
    return pass_.get();
}

void ZnVariableGroup::getMemberObjects(ZnEnvironment env, const ZnString& name,
                                       ZnEnvironment::ValueList& out) {
    ZnEnvValueSP object = getGroupValue(env);
    ReadPass* pass = indexedPass(env, object);
    if (!pass) {
        env.getObjectsByName(name, out, object);
        return;
    }
    auto entry = pass->objectsByName.find(name.std());
    if (entry != pass->objectsByName.end())
        out.insert(out.end(), entry->second.begin(), entry->second.end());
}

ZnEnvValueSP ZnVariableGroup::getMemberObject(ZnEnvironment env, const ZnString& name,
                                              const ZnString& type) {
    ZnEnvValueSP object = getGroupValue(env);
    ReadPass* pass = indexedPass(env, object);
    if (!pass) return env.getObject(name, type, object);
    auto entry = pass->objectsByName.find(name.std());
    if (entry == pass->objectsByName.end()) return ZnEnvValueSP();
    for (const ZnEnvValueSP& candidate : entry->second)
        if (ZnEnvObject::isObject(candidate, name, type)) return candidate;
    return ZnEnvValueSP();
}
