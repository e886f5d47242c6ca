// baseConfigVariable.h -- what every setting of an application can do,
// whatever its type: put an argument on the command line and take its value
// back, write itself into a configuration tree and read itself from one,
// and describe its value as an XML-schema type.
//
//   ZnConfigVariable<int> port(&settings, "&port", 4000, "Port to use",
//                              ZnBaseConfigVariable::AllScopes, false, "");
//   port.inCommandLine();   // true: parseCommandLine offers -p/--port
//
// A variable registers with its group while it is being built, so members
// keep their order of declaration. The static helpers build XML-schema
// fragments as tree objects, which the XML writer turns into xs: elements.

#ifndef PXS_BASECONFIGVARIABLE_H
#define PXS_BASECONFIGVARIABLE_H

#include <list>
#include <memory>
#include <set>

#include <pxs/environment.h>
#include <util/znString.h>

namespace TCLAP {
class Arg;
class CmdLine;
}  // namespace TCLAP

class ZnVariableGroup;

class ZnBaseConfigVariable {
public:
    // Where a value may come from: bit 1 the configuration file, bit 2 the command line.
    enum ZnVariableScope { ConfigFileScope = 1, CommandLineScope = 2, AllScopes = 3 };

    // Registers this variable with `group` (when not null) through addBaseVariable.
    ZnBaseConfigVariable(ZnVariableGroup* group, ZnVariableScope scope,
                         const ZnString& description);
    // A copy would share the owned argument object or register twice.
    ZnBaseConfigVariable(const ZnBaseConfigVariable&) = delete;
    // Copies scope, isSet and description; each keeps its own argument object.
    ZnBaseConfigVariable& operator=(const ZnBaseConfigVariable& other);
    virtual ~ZnBaseConfigVariable();

    // The name used on the command line, in trees and in schemas.
    virtual ZnString name() const = 0;
    virtual bool isRequired() const = 0;
    // Adds this variable's argument to `cmd` (nothing when not in the command line).
    virtual void getCommandLineArg(TCLAP::CmdLine& cmd) = 0;
    // Takes the parsed value when the argument was given.
    virtual void updateFromCommandLineArg() = 0;
    // Adds the schema type of the value under env's root unless `typesDone` has it.
    virtual void getEnvironmentSchemaType(ZnEnvironment env,
                                          std::set<ZnString>& typesDone) const = 0;
    // Writes the variable under env's root; returns its object.
    virtual ZnEnvValueSP getEnvironmentValue(ZnEnvironment env) = 0;
    // Reads the variable from the tree env points into.
    virtual void updateFromEnvironment(ZnEnvironment env) = 0;
    // The type name used in schemas.
    virtual ZnString type() const = 0;

    ZnVariableScope scope() const { return scope_; }
    bool inConfigFile() const { return (scope_ & ConfigFileScope) != 0; }
    bool inCommandLine() const { return (scope_ & CommandLineScope) != 0; }
    // True once a value was taken from the command line.
    bool isSet() const { return isSet_; }
    ZnString description() const { return description_; }

    // An xs:complexType named `typeName` with a required attribute "value" of
    // `xsType` and an optional attribute "name"; returns the type's object.
    static ZnEnvValueSP createSimpleSchemaType(ZnEnvironment env, const ZnString& typeName,
                                               const ZnString& xsType);
    // An xs:complexType named `typeName` whose xs:sequence (or xs:all) declares
    // the configuration-file members of `variables` in order, then the
    // optional attribute "name"; returns the type's object.
    static ZnEnvValueSP createComplexSchemaType(ZnEnvironment env, const ZnString& typeName,
                                                bool sequence,
                                                const std::list<ZnBaseConfigVariable*>& variables);
    // An xs:element named `name`, of `type` when that is not empty.
    static ZnEnvValueSP createSchemaDeclaration(ZnEnvironment env, const ZnString& name,
                                                const ZnString& type);

protected:
    // Owned; made by the first getCommandLineArg, null until then.
    TCLAP::Arg* commandLineArg() const { return commandLineArg_.get(); }
    void setCommandLineArg(TCLAP::Arg* arg);
    void setIsSet(bool set) { isSet_ = set; }

private:
    ZnVariableScope scope_;
    bool isSet_ = false;
    std::unique_ptr<TCLAP::Arg> commandLineArg_;
    ZnString description_;
};

#endif
