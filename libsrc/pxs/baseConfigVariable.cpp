// baseConfigVariable.cpp -- registration with the group, ownership of the
// command-line argument, and the XML-schema fragments shared by every
// variable type and by groups.

#include "baseConfigVariable.h"

#include <tclap/Arg.h>

#include <pxs/variableGroup.h>

namespace {

// The attribute every schema type carries so that an element may be named
// apart from its type (the XML writer puts "name" on such elements).
void addOptionalNameAttribute(ZnEnvironment& env, const ZnEnvValueSP& type) {
    ZnEnvValueSP name = env.addObject("name", "xs:attribute", type);
    env.addAttribute("type", "xs:string", name);
    env.addAttribute("use", "optional", name);
}

}  // namespace

ZnBaseConfigVariable::ZnBaseConfigVariable(ZnVariableGroup* group, ZnVariableScope scope,
                                           const ZnString& description)
    : scope_(scope), description_(description) {
    if (group) group->addBaseVariable(this);
}

ZnBaseConfigVariable& ZnBaseConfigVariable::operator=(const ZnBaseConfigVariable& other) {
    scope_ = other.scope_;
    isSet_ = other.isSet_;
    description_ = other.description_;
    return *this;
}

// Out of line: the argument type is complete only here.
ZnBaseConfigVariable::~ZnBaseConfigVariable() = default;

void ZnBaseConfigVariable::setCommandLineArg(TCLAP::Arg* arg) {
    if (arg == commandLineArg_.get()) return;
    commandLineArg_.reset(arg);
}

ZnEnvValueSP ZnBaseConfigVariable::createSimpleSchemaType(ZnEnvironment env,
                                                          const ZnString& typeName,
                                                          const ZnString& xsType) {
    ZnEnvValueSP type = env.addObject(typeName, "xs:complexType");
    ZnEnvValueSP value = env.addObject("value", "xs:attribute", type);
    env.addAttribute("type", xsType, value);
    env.addAttribute("use", "required", value);
    addOptionalNameAttribute(env, type);
    return type;
}

ZnEnvValueSP ZnBaseConfigVariable::createComplexSchemaType(
    ZnEnvironment env, const ZnString& typeName, bool sequence,
    const std::list<ZnBaseConfigVariable*>& variables) {
    ZnEnvValueSP type = env.addObject(typeName, "xs:complexType");
    const ZnString model = sequence ? "xs:sequence" : "xs:all";
    ZnEnvValueSP members = env.addObject(model, model, type);
    for (const ZnBaseConfigVariable* variable : variables) {
        if (!variable->inConfigFile()) continue;
        ZnEnvValueSP element = env.addObject(variable->name(), "xs:element", members);
        env.addAttribute("type", variable->type(), element);
        if (!variable->isRequired()) env.addAttribute("minOccurs", "0", element);
    }
    addOptionalNameAttribute(env, type);
    return type;
}

ZnEnvValueSP ZnBaseConfigVariable::createSchemaDeclaration(ZnEnvironment env, const ZnString& name,
                                                           const ZnString& type) {
    ZnEnvValueSP element = env.addObject(name, "xs:element");
    if (!type.empty()) env.addAttribute("type", type, element);
    return element;
}
