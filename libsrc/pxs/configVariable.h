// configVariable.h -- typed configuration variables and the per-type rules
// they follow: names of the type, its text form on the command line, its
// form in a configuration tree and its XML-schema type.
//
//   ZnApplicationSettings settings("Demo App", "1.0", "settings");
//   ZnConfigVariable<double> rate(&settings, "&rate", 2.5, "Update rate",
//                                 ZnBaseConfigVariable::AllScopes, false, "");
//   rate.name();     // "rate" -- the '&' chose the short flag -r
//
// In a tree a simple value is an object named like the variable with an
// attribute "value"; a vector holds objects x, y, z and a Tait-Bryan
// orientation objects heading, pitch, roll, each with its own "value".
//
// The templates are compiled into the library for the types listed below
// (ZnString, std::string, int, unsigned int, double, float, bool,
// ZnVector64, ZnTaitBryan); other types do not link.

#ifndef PXS_CONFIGVARIABLE_H
#define PXS_CONFIGVARIABLE_H

#include <string>
#include <type_traits>

#include <pxs/baseConfigVariable.h>
#include <util/znGeometry.h>

// Static rules of one value type; nothing to construct.
template <typename T>
struct ZnVarType {
    // What TCLAP parses: the type itself, or its text form for the
    // three-component types.
    typedef typename std::conditional<std::is_same<T, ZnVector64>::value ||
                                          std::is_same<T, ZnTaitBryan>::value,
                                      ZnString, T>::type ArgType;

    // The name used in generated schemas ("int", "ZnVector", ...).
    static ZnString nativeNameOfType();
    // The value's description in the command-line usage text.
    static ZnString argNameOfType();
    // The XML-schema type of the "value" attribute ("xs:integer", ...).
    static ZnString xsNameOfType();
    static ArgType convertToArgType(T value);
    static T convertFromArgType(const ArgType& arg);
    static ZnString convertToString(T value);
    // Reports nothing: an unreadable text gives what the ZnString conversion gives.
    static T convertFromString(const ZnString& text);
    // Adds this type's xs:complexType under env's root; returns it.
    static ZnEnvValueSP createSchemaType(ZnEnvironment env);
    // Writes `value` into the object that is env's root.
    static void convertToEnvironmentValue(ZnEnvironment env, T value);
    // Reads a value from the object that is env's root; throws ZnInvalidInput
    // or ZnCorruptedState when it is not there or not readable.
    static T convertFromEnvironmentValue(ZnEnvironment env);
};

template <typename T>
class ZnConfigVariable : public ZnBaseConfigVariable {
public:
    // A '&' in `name` is removed and the character after it becomes the
    // short flag, replacing `flag`.
    ZnConfigVariable(ZnVariableGroup* group, const ZnString& name, T defaultValue,
                     const ZnString& description, ZnVariableScope scope, bool required,
                     const ZnString& flag);
    // Copies everything but the group, which the variable registered with,
    // and the argument object.
    ZnConfigVariable& operator=(const ZnConfigVariable& other);

    ZnString name() const override { return name_; }
    bool isRequired() const override { return required_; }
    void getCommandLineArg(TCLAP::CmdLine& cmd) override;
    void updateFromCommandLineArg() override;
    void getEnvironmentSchemaType(ZnEnvironment env, std::set<ZnString>& typesDone) const override;
    ZnEnvValueSP getEnvironmentValue(ZnEnvironment env) override;
    // Finds the one object named like the variable below its group's object;
    // none leaves the value alone, several are reported on standard output
    // and leave it alone too.
    void updateFromEnvironment(ZnEnvironment env) override;
    ZnString type() const override { return ZnVarType<T>::nativeNameOfType(); }

    T value() const { return value_; }
    void setValue(T value) { value_ = value; }
    T defaultValue() const { return defaultValue_; }
    // The short command-line flag, empty when there is none.
    ZnString flag() const { return flag_; }
    // The group this variable registered with; null for none.
    ZnVariableGroup* group() const { return group_; }

private:
    ZnString name_;
    ZnString flag_;
    bool required_;
    ZnVariableGroup* group_;
    T defaultValue_;
    T value_;
};

// "x y z", each the decimal text of a double.
ZnString vectorToString(ZnVector64 v);
// Three numbers, blank- or comma-separated; a missing or unreadable one is 0
// and stops the reading there ("1,x,3" gives 1 0 0).
ZnVector64 vectorFromString(const ZnString& text);
// "heading pitch roll".
ZnString taitBryanToString(ZnTaitBryan t);
ZnTaitBryan taitBryanFromString(const ZnString& text);

// Objects x, y, z (heading, pitch, roll) under env's root, each with its
// component as attribute "value".
void vectorToEnvironment(ZnEnvironment env, ZnVector64 v);
ZnVector64 vectorFromEnvironment(ZnEnvironment env);
void taitBryanToEnvironment(ZnEnvironment env, ZnTaitBryan t);
ZnTaitBryan taitBryanFromEnvironment(ZnEnvironment env);

// The expanded value of `node`'s attribute "value"; throws ZnInvalidInput
// when `node` is not an object or has no such attribute.
ZnString getObjectValue(ZnEnvValueSP node);
// Sets `node`'s attribute "value", adding it when missing; throws
// ZnInvalidInput when `node` is not an object.
void setObjectValue(ZnEnvValueSP node, const ZnString& text);

// Attribute "value" under env's root holding the value's text.
template <typename T>
void simpleValueToEnvironment(ZnEnvironment env, T value);
// The first attribute "value" at or below env's root (depth first),
// converted; throws ZnCorruptedState when there is none.
template <typename T>
T simpleValueFromEnvironment(ZnEnvironment env);
// The xs:complexType of a simple type; returns it.
template <typename T>
ZnEnvValueSP simpleValueTypeSchema(ZnEnvironment env);
// xs:complexType "ZnVector" (a sequence of double elements x, y, z) and
// "ZnTaitBryan" (heading, pitch, roll); each returns the type's object.
ZnEnvValueSP createVectorSchema(ZnEnvironment env);
ZnEnvValueSP createTaitBryanSchema(ZnEnvironment env);

#define PXS_CONFIG_VARIABLE_TYPES(X) \
    X(ZnString)                      \
    X(std::string)                   \
    X(int)                           \
    X(unsigned int)                  \
    X(double)                        \
    X(float)                         \
    X(bool)                          \
    X(ZnVector64)                    \
    X(ZnTaitBryan)

#define PXS_DECLARE_CONFIG_VARIABLE(T)   \
    extern template struct ZnVarType<T>; \
    extern template class ZnConfigVariable<T>;
PXS_CONFIG_VARIABLE_TYPES(PXS_DECLARE_CONFIG_VARIABLE)
#undef PXS_DECLARE_CONFIG_VARIABLE

#endif
