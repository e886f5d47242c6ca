// configVariable.cpp -- the typed variables, compiled once for each value
// type: one row of rules per type (names, text form, tree form), the text
// and tree forms of vectors and Tait-Bryan angles, and the TCLAP arguments.

#include "configVariable.h"

#include <cstdlib>
#include <iostream>

#include <tclap/CmdLine.h>
#include <tclap/SwitchArg.h>
#include <tclap/ValueArg.h>

#include <pxs/variableGroup.h>
#include <util/znException.h>
#include <util/znNotify.h>

// TCLAP hands a ZnString argument its whole text, blanks included, as it does
// for std::string, instead of reading one word with operator>>.
namespace TCLAP {
template <>
struct ArgTraits<ZnString> {
    typedef StringLike ValueCategory;
};
}  // namespace TCLAP

namespace {

// Origins of the exceptions raised here, as callers see them. Fixed values:
// editing this file must not change them.
constexpr const char* kFile = "configVariable";
constexpr const char* kGetObjectValue = "ZnString getObjectValue(ZnEnvValueSP)";
constexpr int kGetObjectValueLine = 181;
constexpr const char* kSetObjectValue = "void setObjectValue(ZnEnvValueSP, const ZnString&)";
constexpr int kSetObjectValueLine = 196;
constexpr const char* kSimpleFrom = "T simpleValueFromEnvironment(ZnEnvironment)";
constexpr int kSimpleFromLine = 214;
constexpr const char* kVectorFrom = "ZnVector64 vectorFromEnvironment(ZnEnvironment)";
constexpr int kVectorFromLine = 252;
constexpr const char* kTaitBryanFrom = "ZnTaitBryan taitBryanFromEnvironment(ZnEnvironment)";
constexpr int kTaitBryanFromLine = 283;

// The three named parts of a three-component value, in the order of the
// value's own components, with the texts of the messages about them.
struct Components {
    const char* names[3];
    const char* missing;
};
constexpr Components kVectorParts = {{"x", "y", "z"}, "ZnInvalidInput: Object does not have X,Y,Z"};
constexpr Components kTaitBryanParts = {{"heading", "pitch", "roll"},
                                        "ZnInvalidInput: Object does not have heading,pitch,roll"};
constexpr const char* kVectorParseNames[3] = {"X", "Y", "Z"};

// True when `convert` accepts the whole text.
template <typename R>
bool readable(const ZnString& text, R (ZnString::*convert)(bool*) const) {
    bool ok = false;
    (text.*convert)(&ok);
    return ok;
}

// Text a configuration file can hold and a saved file can give back: valid
// UTF-8 (no overlong forms, no surrogates) and no control characters but
// tab, line feed and carriage return.
bool isCleanUtf8(const std::string& text) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* end = p + text.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7f) return false;
            ++p;
            continue;
        }
        int more;
        unsigned int code;
        if ((c & 0xe0) == 0xc0) {
            more = 1;
            code = c & 0x1f;
        } else if ((c & 0xf0) == 0xe0) {
            more = 2;
            code = c & 0x0f;
        } else if ((c & 0xf8) == 0xf0) {
            more = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= more) return false;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xc0) != 0x80) return false;
            code = (code << 6) | (p[i] & 0x3f);
        }
        static const unsigned int kSmallest[4] = {0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[more] || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
            return false;
        p += more + 1;
    }
    return true;
}

// How a simple value sits in a tree: one attribute "value" under its object.
template <typename T>
struct SimpleForm {
    static void toTree(ZnEnvironment env, T v) { simpleValueToEnvironment<T>(env, v); }
    static T fromTree(ZnEnvironment env) { return simpleValueFromEnvironment<T>(env); }
    static ZnEnvValueSP schema(ZnEnvironment env) { return simpleValueTypeSchema<T>(env); }
};

// One row per value type: its three names and its text form.
template <typename T>
struct Rules;

template <>
struct Rules<ZnString> : SimpleForm<ZnString> {
    static constexpr const char* native = "ZnString";
    static constexpr const char* arg = "string";
    static constexpr const char* xs = "xs:string";
    static ZnString toText(const ZnString& v) { return v; }
    static ZnString fromText(const ZnString& t) { return t; }
    static bool accepts(const ZnString& t) { return isCleanUtf8(t.string()); }
};

template <>
struct Rules<std::string> : SimpleForm<std::string> {
    static constexpr const char* native = "std::string";
    static constexpr const char* arg = "string";
    static constexpr const char* xs = "xs:string";
    static ZnString toText(const std::string& v) { return ZnString(v); }
    static std::string fromText(const ZnString& t) { return t.string(); }
    static bool accepts(const ZnString& t) { return isCleanUtf8(t.string()); }
};

template <>
struct Rules<int> : SimpleForm<int> {
    static constexpr const char* native = "int";
    static constexpr const char* arg = "int";
    static constexpr const char* xs = "xs:integer";
    static ZnString toText(int v) { return ZnString(v); }
    static int fromText(const ZnString& t) { return t.toInt(); }
    static bool accepts(const ZnString& t) { return readable(t, &ZnString::toInt); }
};

template <>
struct Rules<unsigned int> : SimpleForm<unsigned int> {
    static constexpr const char* native = "unsigned int";
    static constexpr const char* arg = "unsigned int";
    static constexpr const char* xs = "xs:unsignedInt";
    static ZnString toText(unsigned int v) { return ZnString(v); }
    static unsigned int fromText(const ZnString& t) { return t.toUInt(); }
    static bool accepts(const ZnString& t) { return readable(t, &ZnString::toUInt); }
};

template <>
struct Rules<double> : SimpleForm<double> {
    static constexpr const char* native = "double";
    static constexpr const char* arg = "double";
    static constexpr const char* xs = "xs:double";
    static ZnString toText(double v) { return ZnString(v); }
    static double fromText(const ZnString& t) { return t.toDouble(); }
    static bool accepts(const ZnString& t) { return readable(t, &ZnString::toDouble); }
};

// Written through double: the shortest text of the widened value reads
// back as the same float.
template <>
struct Rules<float> : SimpleForm<float> {
    static constexpr const char* native = "float";
    static constexpr const char* arg = "float";
    static constexpr const char* xs = "xs:float";
    static ZnString toText(float v) { return ZnString(static_cast<double>(v)); }
    static float fromText(const ZnString& t) { return t.toFloat(); }
    static bool accepts(const ZnString& t) { return readable(t, &ZnString::toFloat); }
};

template <>
struct Rules<bool> : SimpleForm<bool> {
    static constexpr const char* native = "bool";
    static constexpr const char* arg = "boolean";
    static constexpr const char* xs = "xs:boolean";
    static ZnString toText(bool v) { return v ? "true" : "false"; }
    static bool fromText(const ZnString& t) { return t.toBool(); }
    static bool accepts(const ZnString& t) { return readable(t, &ZnString::toBool); }
};

template <>
struct Rules<ZnVector64> {
    static constexpr const char* native = "ZnVector";
    static constexpr const char* arg = "string";
    static constexpr const char* xs = "ZnVector";
    static ZnString toText(ZnVector64 v) { return vectorToString(v); }
    static ZnVector64 fromText(const ZnString& t) { return vectorFromString(t); }
    static void toTree(ZnEnvironment env, ZnVector64 v) { vectorToEnvironment(env, v); }
    static ZnVector64 fromTree(ZnEnvironment env) { return vectorFromEnvironment(env); }
    static ZnEnvValueSP schema(ZnEnvironment env) { return createVectorSchema(env); }
};

template <>
struct Rules<ZnTaitBryan> {
    static constexpr const char* native = "ZnTaitBryan";
    static constexpr const char* arg = "string";
    static constexpr const char* xs = "ZnTaitBryan";
    static ZnString toText(ZnTaitBryan v) { return taitBryanToString(v); }
    static ZnTaitBryan fromText(const ZnString& t) { return taitBryanFromString(t); }
    static void toTree(ZnEnvironment env, ZnTaitBryan v) { taitBryanToEnvironment(env, v); }
    static ZnTaitBryan fromTree(ZnEnvironment env) { return taitBryanFromEnvironment(env); }
    static ZnEnvValueSP schema(ZnEnvironment env) { return createTaitBryanSchema(env); }
};

template <typename T>
constexpr bool kThreeComponents =
    std::is_same<T, ZnVector64>::value || std::is_same<T, ZnTaitBryan>::value;

// Reads three numbers with strtod. A number that is missing or unreadable
// is 0 and leaves the position where it was; a comma directly after each of
// the first two positions is skipped.
void readThreeNumbers(const ZnString& text, double out[3]) {
    const char* at = text.c_str();
    for (int i = 0; i < 3; ++i) {
        char* end = nullptr;
        const double number = std::strtod(at, &end);
        out[i] = end == at ? 0.0 : number;
        at = end;
        if (i < 2 && *at == ',') ++at;
    }
}

ZnString joinThree(double a, double b, double c) {
    return ZnString(a) + " " + ZnString(b) + " " + ZnString(c);
}

void componentsToEnvironment(ZnEnvironment& env, const Components& parts, const double values[3]) {
    for (int i = 0; i < 3; ++i) setObjectValue(env.addObject(parts.names[i]), ZnString(values[i]));
}

// All three objects must be there before any is read; then each component
// in order, the first unreadable one naming itself in the message.
void componentsFromEnvironment(const ZnEnvironment& env, const Components& parts,
                               const char* const parseNames[3], const char* function, int line,
                               double out[3]) {
    ZnEnvValueSP objects[3];
    for (int i = 0; i < 3; ++i) objects[i] = env.getObject(parts.names[i], parts.names[i]);
    if (!objects[0] || !objects[1] || !objects[2])
        throw ZnInvalidInput(parts.missing, function, kFile, line);
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        out[i] = getObjectValue(objects[i]).toDouble(&ok);
        if (!ok)
            throw ZnCorruptedState(
                std::string("ZnCorruptedState: Unable to Parse ") + parseNames[i], function, kFile,
                line);
    }
}

// The complex type of a three-component value: a sequence of required
// double elements, declared through throwaway variables.
ZnEnvValueSP threeComponentSchema(ZnEnvironment env, const ZnString& typeName,
                                  const Components& parts) {
    ZnConfigVariable<double> a(nullptr, parts.names[0], 0.0, "",
                               ZnBaseConfigVariable::ConfigFileScope, true, "");
    ZnConfigVariable<double> b(nullptr, parts.names[1], 0.0, "",
                               ZnBaseConfigVariable::ConfigFileScope, true, "");
    ZnConfigVariable<double> c(nullptr, parts.names[2], 0.0, "",
                               ZnBaseConfigVariable::ConfigFileScope, true, "");
    return ZnBaseConfigVariable::createComplexSchemaType(env, typeName, true, {&a, &b, &c});
}

}  // namespace

ZnString getObjectValue(ZnEnvValueSP node) {
    ZnEnvObject* object = ZnEnvObject::castToObject(node);
    if (!object)
        throw ZnInvalidInput("ZnInvalidInput: Object of wrong type", kGetObjectValue, kFile,
                             kGetObjectValueLine);
    ZnEnvValueSP value = object->attribute("value");
    if (!value)
        throw ZnInvalidInput("ZnInvalidInput: Object does not have value attribute",
                             kGetObjectValue, kFile, kGetObjectValueLine);
    return value->value();
}

void setObjectValue(ZnEnvValueSP node, const ZnString& text) {
    ZnEnvObject* object = ZnEnvObject::castToObject(node);
    if (!object)
        throw ZnInvalidInput("ZnInvalidInput: Object of wrong type", kSetObjectValue, kFile,
                             kSetObjectValueLine);
    if (ZnEnvValueSP value = object->attribute("value"))
        value->setValue(text);
    else
        ZnEnvironment(node).addAttribute("value", text);
}

template <typename T>
void simpleValueToEnvironment(ZnEnvironment env, T value) {
    env.addAttribute("value", ZnVarType<T>::convertToString(value));
}

// The search is depth first below the object, not at the object itself: an
// object is a named list too, and a variable named "value" would otherwise
// find its own object instead of its attribute.
namespace {

ZnEnvValueSP findValueAttribute(ZnEnvironment env) {
    ZnEnvValueSP found;
    if (ZnEnvList* list = ZnEnvList::castToList(env.root())) {
        for (ZnEnvValueSP child = list->first(); child && !found; child = list->next(child))
            found = env.getAttribute("value", child);
    }
    return found;
}

}  // namespace

template <typename T>
T simpleValueFromEnvironment(ZnEnvironment env) {
    ZnEnvValueSP found = findValueAttribute(env);
    if (!found)
        throw ZnCorruptedState("ZnCorruptedState: Unable to find value attribute.", kSimpleFrom,
                               kFile, kSimpleFromLine);
    return ZnVarType<T>::convertFromString(found->value());
}

template <typename T>
ZnEnvValueSP simpleValueTypeSchema(ZnEnvironment env) {
    return ZnBaseConfigVariable::createSimpleSchemaType(env, ZnVarType<T>::nativeNameOfType(),
                                                        ZnVarType<T>::xsNameOfType());
}

ZnString vectorToString(ZnVector64 v) {
    return joinThree(v.x(), v.y(), v.z());
}

ZnVector64 vectorFromString(const ZnString& text) {
    double n[3];
    readThreeNumbers(text, n);
    return ZnVector64(n[0], n[1], n[2]);
}

ZnString taitBryanToString(ZnTaitBryan t) {
    return joinThree(t.heading(), t.pitch(), t.roll());
}

ZnTaitBryan taitBryanFromString(const ZnString& text) {
    double n[3];
    readThreeNumbers(text, n);
    return ZnTaitBryan(n[0], n[1], n[2]);
}

void vectorToEnvironment(ZnEnvironment env, ZnVector64 v) {
    const double values[3] = {v.x(), v.y(), v.z()};
    componentsToEnvironment(env, kVectorParts, values);
}

ZnVector64 vectorFromEnvironment(ZnEnvironment env) {
    double n[3];
    componentsFromEnvironment(env, kVectorParts, kVectorParseNames, kVectorFrom, kVectorFromLine,
                              n);
    return ZnVector64(n[0], n[1], n[2]);
}

void taitBryanToEnvironment(ZnEnvironment env, ZnTaitBryan t) {
    const double values[3] = {t.heading(), t.pitch(), t.roll()};
    componentsToEnvironment(env, kTaitBryanParts, values);
}

ZnTaitBryan taitBryanFromEnvironment(ZnEnvironment env) {
    double n[3];
    componentsFromEnvironment(env, kTaitBryanParts, kTaitBryanParts.names, kTaitBryanFrom,
                              kTaitBryanFromLine, n);
    return ZnTaitBryan(n[0], n[1], n[2]);
}

ZnEnvValueSP createVectorSchema(ZnEnvironment env) {
    return threeComponentSchema(env, "ZnVector", kVectorParts);
}

ZnEnvValueSP createTaitBryanSchema(ZnEnvironment env) {
    return threeComponentSchema(env, "ZnTaitBryan", kTaitBryanParts);
}

// ---------------------------------------------------------------- ZnVarType

template <typename T>
ZnString ZnVarType<T>::nativeNameOfType() {
    return Rules<T>::native;
}

template <typename T>
ZnString ZnVarType<T>::argNameOfType() {
    return Rules<T>::arg;
}

template <typename T>
ZnString ZnVarType<T>::xsNameOfType() {
    return Rules<T>::xs;
}

template <typename T>
typename ZnVarType<T>::ArgType ZnVarType<T>::convertToArgType(T value) {
    if constexpr (kThreeComponents<T>)
        return Rules<T>::toText(value);
    else
        return value;
}

template <typename T>
T ZnVarType<T>::convertFromArgType(const ArgType& arg) {
    if constexpr (kThreeComponents<T>)
        return Rules<T>::fromText(arg);
    else
        return arg;
}

template <typename T>
ZnString ZnVarType<T>::convertToString(T value) {
    return Rules<T>::toText(value);
}

template <typename T>
T ZnVarType<T>::convertFromString(const ZnString& text) {
    return Rules<T>::fromText(text);
}

template <typename T>
ZnEnvValueSP ZnVarType<T>::createSchemaType(ZnEnvironment env) {
    return Rules<T>::schema(env);
}

template <typename T>
void ZnVarType<T>::convertToEnvironmentValue(ZnEnvironment env, T value) {
    Rules<T>::toTree(env, value);
}

template <typename T>
T ZnVarType<T>::convertFromEnvironmentValue(ZnEnvironment env) {
    return Rules<T>::fromTree(env);
}

// --------------------------------------------------------- ZnConfigVariable

template <typename T>
ZnConfigVariable<T>::ZnConfigVariable(ZnVariableGroup* group, const ZnString& name, T defaultValue,
                                      const ZnString& description, ZnVariableScope scope,
                                      bool required, const ZnString& flag)
    : ZnBaseConfigVariable(group, scope, description),
      name_(name),
      flag_(flag),
      required_(required),
      group_(group),
      defaultValue_(defaultValue),
      value_(defaultValue) {
    std::string text = name_.string();
    const std::string::size_type amp = text.find('&');
    if (amp == std::string::npos) return;
    flag_ = amp + 1 < text.size() ? ZnString(text[amp + 1]) : ZnString();
    text.erase(amp, 1);
    name_ = text;
}

template <typename T>
ZnConfigVariable<T>& ZnConfigVariable<T>::operator=(const ZnConfigVariable& other) {
    if (this == &other) return *this;
    ZnBaseConfigVariable::operator=(other);
    name_ = other.name_;
    flag_ = other.flag_;
    required_ = other.required_;
    defaultValue_ = other.defaultValue_;
    value_ = other.value_;
    return *this;
}

// The argument is made once, from the value at that moment, and offered to
// every command line asked for; it is reset first, so that the same
// variables can be parsed again from another command line.
template <typename T>
void ZnConfigVariable<T>::getCommandLineArg(TCLAP::CmdLine& cmd) {
    if (!inCommandLine()) return;
    if (TCLAP::Arg* arg = commandLineArg()) {
        arg->reset();
    } else if constexpr (std::is_same<T, bool>::value) {
        setCommandLineArg(new TCLAP::SwitchArg(flag_.string(), name_.string(),
                                               description().string(), defaultValue_));
    } else {
        typedef typename ZnVarType<T>::ArgType ArgType;
        setCommandLineArg(new TCLAP::ValueArg<ArgType>(
            flag_.string(), name_.string(), description().string(), required_,
            ZnVarType<T>::convertToArgType(value_), ZnVarType<T>::argNameOfType().string()));
    }
    cmd.add(commandLineArg());
}

template <typename T>
void ZnConfigVariable<T>::updateFromCommandLineArg() {
    TCLAP::Arg* arg = commandLineArg();
    if (!arg || !arg->isSet()) return;
    if constexpr (std::is_same<T, bool>::value) {
        value_ = static_cast<TCLAP::SwitchArg*>(arg)->getValue();
    } else {
        typedef typename ZnVarType<T>::ArgType ArgType;
        value_ = ZnVarType<T>::convertFromArgType(
            static_cast<TCLAP::ValueArg<ArgType>*>(arg)->getValue());
    }
    setIsSet(true);
}

// A three-component type declares its parts as elements of type "double",
// so the double type is added with it: without it the schema would name a
// type it never defines whenever no double variable happens to exist.
template <typename T>
void ZnConfigVariable<T>::getEnvironmentSchemaType(ZnEnvironment env,
                                                   std::set<ZnString>& typesDone) const {
    if (typesDone.insert(type()).second) ZnVarType<T>::createSchemaType(env);
    if constexpr (kThreeComponents<T>) {
        if (typesDone.insert(ZnVarType<double>::nativeNameOfType()).second)
            ZnVarType<double>::createSchemaType(env);
    }
}

template <typename T>
ZnEnvValueSP ZnConfigVariable<T>::getEnvironmentValue(ZnEnvironment env) {
    if (!description().empty()) env.addComment(description());
    ZnEnvValueSP object = env.addObject(name_);
    ZnVarType<T>::convertToEnvironmentValue(ZnEnvironment(object), value_);
    return object;
}

template <typename T>
void ZnConfigVariable<T>::updateFromEnvironment(ZnEnvironment env) {
    ZnEnvironment::ValueList found;
    if (group_)
        group_->getMemberObjects(env, name_, found);
    else
        env.getObjectsByName(name_, found);
    if (found.empty()) return;
    if (found.size() > 1) {
        std::cout << "Unable to get from Environment, Object not unique" << std::endl;
        return;
    }
    if (!ZnEnvObject::isObject(found.front())) {
        std::cout << "Environment Object wrong type." << std::endl;
        return;
    }
    ZnEnvironment object(found.front());
    T value = ZnVarType<T>::convertFromEnvironmentValue(object);
    if constexpr (!kThreeComponents<T>) {
        // The conversion itself stays silent and decides the value; the
        // person who wrote the file still hears that it was not understood.
        // Text that could not be saved again is refused outright.
        const ZnString text = findValueAttribute(object)->value();
        if (!Rules<T>::accepts(text)) {
            if constexpr (std::is_same<T, ZnString>::value || std::is_same<T, std::string>::value) {
                ZnWarn << "setting " << name_.string()
                       << ": value refused: not valid UTF-8 text (or holds control characters)\n";
                return;
            } else {
                ZnWarn << "setting " << name_.string() << ": \"" << text.string()
                       << "\" is not a valid " << Rules<T>::arg << "; read as \""
                       << ZnVarType<T>::convertToString(value).string() << "\"\n";
            }
        }
    }
    value_ = value;
}

#define PXS_INSTANTIATE_CONFIG_VARIABLE(T) \
    template struct ZnVarType<T>;          \
    template class ZnConfigVariable<T>;
PXS_CONFIG_VARIABLE_TYPES(PXS_INSTANTIATE_CONFIG_VARIABLE)

#define PXS_INSTANTIATE_SIMPLE_VALUE(T)                          \
    template void simpleValueToEnvironment<T>(ZnEnvironment, T); \
    template T simpleValueFromEnvironment<T>(ZnEnvironment);     \
    template ZnEnvValueSP simpleValueTypeSchema<T>(ZnEnvironment);
PXS_INSTANTIATE_SIMPLE_VALUE(ZnString)
PXS_INSTANTIATE_SIMPLE_VALUE(std::string)
PXS_INSTANTIATE_SIMPLE_VALUE(int)
PXS_INSTANTIATE_SIMPLE_VALUE(unsigned int)
PXS_INSTANTIATE_SIMPLE_VALUE(double)
PXS_INSTANTIATE_SIMPLE_VALUE(float)
PXS_INSTANTIATE_SIMPLE_VALUE(bool)
