// configVariable_test.cpp -- typed variables: short flags and scopes, the
// names and text forms of every value type, the tree forms and their
// exceptions, reading from a tree, command-line arguments and schema types.

#include <pxs/pxs.h>

#include <gtest/gtest.h>
#include <tclap/CmdLine.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Scope = ZnBaseConfigVariable;

std::string printed(const ZnEnvironment& env) {
    std::ostringstream out;
    out << env;
    return out.str();
}

// The exception `body` throws, which must be of type E.
template <typename E, typename Body>
E thrownBy(Body body) {
    try {
        body();
    } catch (const E& e) {
        return e;
    }
    ADD_FAILURE() << "no exception of the expected type";
    return E("");
}

// Parses `args` (program name first) with the arguments of `variables`.
void parse(std::vector<std::string> args, const std::vector<ZnBaseConfigVariable*>& variables) {
    TCLAP::CmdLine cmd("test", ' ', "1", false);
    for (ZnBaseConfigVariable* v : variables) v->getCommandLineArg(cmd);
    cmd.setExceptionHandling(false);
    cmd.parse(args);
    for (ZnBaseConfigVariable* v : variables) v->updateFromCommandLineArg();
}

template <typename T>
void expectNames(const char* native, const char* arg, const char* xs) {
    EXPECT_EQ(ZnVarType<T>::nativeNameOfType(), native);
    EXPECT_EQ(ZnVarType<T>::argNameOfType(), arg);
    EXPECT_EQ(ZnVarType<T>::xsNameOfType(), xs);
}

// Writes `value` through a variable and reads it back into a second one.
template <typename T>
T throughTree(T value, T other) {
    ZnConfigVariable<T> out(nullptr, "v", value, "", Scope::ConfigFileScope, false, "");
    ZnEnvironment env;
    out.getEnvironmentValue(env);
    ZnConfigVariable<T> in(nullptr, "v", other, "", Scope::ConfigFileScope, false, "");
    in.updateFromEnvironment(env);
    return in.value();
}

// The '&' chooses the short flag, over the flag argument; with nothing
// after it there is no flag at all rather than a made-up one.
TEST(ConfigVariableFlagsAndScopes, AmpersandChoosesTheShortFlag) {
    const struct {
        const char *declared, *flagArgument, *name, *flag;
    } cases[] = {{"&rate", "x", "rate", "r"},
                 {"max&Rate", "x", "maxRate", "R"},
                 {"rate", "q", "rate", "q"},
                 {"rate&", "q", "rate", ""}};
    for (const auto& c : cases) {
        ZnConfigVariable<double> v(nullptr, c.declared, 1.0, "", Scope::AllScopes, false,
                                   c.flagArgument);
        EXPECT_EQ(v.name(), c.name) << c.declared;
        EXPECT_EQ(v.flag(), c.flag) << c.declared;
    }
}

TEST(ConfigVariableFlagsAndScopes, ScopeBitsAndInitialState) {
    const struct {
        Scope::ZnVariableScope scope;
        int bits;
        bool file, line;
    } cases[] = {{Scope::ConfigFileScope, 1, true, false},
                 {Scope::CommandLineScope, 2, false, true},
                 {Scope::AllScopes, 3, true, true}};
    for (const auto& c : cases) {
        ZnConfigVariable<int> v(nullptr, "a", 7, "A", c.scope, true, "");
        EXPECT_EQ(static_cast<int>(c.scope), c.bits);
        EXPECT_EQ(v.inConfigFile(), c.file) << c.bits;
        EXPECT_EQ(v.inCommandLine(), c.line) << c.bits;
        EXPECT_TRUE(v.isRequired());
        EXPECT_FALSE(v.isSet());
        EXPECT_EQ(v.type(), "int");
        v.setValue(9);
        EXPECT_EQ(v.value(), 9);
        EXPECT_EQ(v.defaultValue(), 7);
    }
}

TEST(ConfigVariableFlagsAndScopes, AssignmentCopiesValuesButNotTheGroup) {
    ZnVariableGroup g(nullptr, "g", "", "");
    ZnConfigVariable<int> a(&g, "a", 1, "da", Scope::ConfigFileScope, true, "");
    ZnConfigVariable<int> b(nullptr, "b", 2, "db", Scope::AllScopes, false, "f");
    a = b;
    EXPECT_EQ(a.name(), "b");
    EXPECT_EQ(a.value(), 2);
    EXPECT_EQ(a.description(), "db");
    EXPECT_EQ(a.scope(), Scope::AllScopes);
    EXPECT_EQ(a.group(), &g);
    EXPECT_EQ(b.group(), nullptr);
}

TEST(ConfigVariableTypes, NamesOfEveryType) {
    expectNames<ZnString>("ZnString", "string", "xs:string");
    expectNames<std::string>("std::string", "string", "xs:string");
    expectNames<int>("int", "int", "xs:integer");
    expectNames<unsigned int>("unsigned int", "unsigned int", "xs:unsignedInt");
    expectNames<double>("double", "double", "xs:double");
    expectNames<float>("float", "float", "xs:float");
    expectNames<bool>("bool", "boolean", "xs:boolean");
    expectNames<ZnVector64>("ZnVector", "string", "ZnVector");
    expectNames<ZnTaitBryan>("ZnTaitBryan", "string", "ZnTaitBryan");
}

TEST(ConfigVariableTextForms, ScalarsRoundTripThroughText) {
    EXPECT_EQ(ZnVarType<int>::convertToString(-42), "-42");
    EXPECT_EQ(ZnVarType<int>::convertFromString("-42"), -42);
    EXPECT_EQ(ZnVarType<unsigned int>::convertToString(4000000000u), "4000000000");
    EXPECT_EQ(ZnVarType<unsigned int>::convertFromString("4000000000"), 4000000000u);
    EXPECT_EQ(ZnVarType<double>::convertToString(2.5), "2.5");
    EXPECT_EQ(ZnVarType<bool>::convertToString(true), "true");
    EXPECT_EQ(ZnVarType<bool>::convertToString(false), "false");
    EXPECT_TRUE(ZnVarType<bool>::convertFromString("true"));
    EXPECT_FALSE(ZnVarType<bool>::convertFromString("false"));
    EXPECT_EQ(ZnVarType<ZnString>::convertFromString(" a b "), " a b ");
    EXPECT_EQ(ZnVarType<std::string>::convertToString(" a b "), " a b ");
    EXPECT_EQ(ZnVarType<int>::convertToArgType(5), 5);
    EXPECT_EQ(ZnVarType<ZnVector64>::convertToArgType(ZnVector64(1, 2, 3)), "1 2 3");
    EXPECT_EQ(ZnVarType<ZnTaitBryan>::convertFromArgType("4,5,6"), ZnTaitBryan(4, 5, 6));
}

// Blanks or commas separate the parts; a missing or unreadable part is 0,
// and reading stops at the first unreadable one.
TEST(ConfigVariableTextForms, VectorsAndAnglesFromText) {
    const std::pair<const char*, ZnVector64> cases[] = {
        {"1 2 3", {1, 2, 3}},   {"1,2,3", {1, 2, 3}},
        {"1, 2, 3", {1, 2, 3}}, {"  -1.5e1 ,2", {-15, 0, 0}},
        {"1,2", {1, 2, 0}},     {"1,x,3", {1, 0, 0}},
        {"", {0, 0, 0}},        {",2,3", {0, 2, 3}},
        {"1,,3", {1, 0, 3}}};
    for (const auto& c : cases) EXPECT_EQ(vectorFromString(c.first), c.second) << c.first;
    EXPECT_EQ(vectorToString(ZnVector64(1, -2.5, 3e10)), "1 -2.5 3e+10");
    EXPECT_EQ(taitBryanToString(ZnTaitBryan(0.5, -1, 2)), "0.5 -1 2");
    EXPECT_EQ(taitBryanFromString("0.5,-1,2"), ZnTaitBryan(0.5, -1, 2));
    EXPECT_EQ(taitBryanFromString("7"), ZnTaitBryan(7, 0, 0));
    const ZnVector64 v(0.1, 1.0 / 3.0, -1e-300);
    EXPECT_EQ(vectorFromString(vectorToString(v)), v);
}

TEST(ConfigVariableTreeForms, SimpleValueIsAnObjectWithAValueAttributeAfterItsComment) {
    ZnConfigVariable<double> port(nullptr, "port", 2.5, "Port to use", Scope::AllScopes, false, "");
    ZnEnvironment env;
    ZnEnvValueSP object = port.getEnvironmentValue(env);
    EXPECT_EQ(printed(env),
              "  class root root Value= \n"
              "// comment Value= Port to use\n"
              "     class port port Value= \n"
              "        value Value= 2.5\n");
    EXPECT_EQ(object, env.getObject("port", "port"));
    ZnConfigVariable<int> quiet(nullptr, "n", 3, "", Scope::AllScopes, false, "");
    ZnEnvironment bare;
    quiet.getEnvironmentValue(bare);
    EXPECT_EQ(printed(bare),
              "  class root root Value= \n     class n n Value= \n        value Value= 3\n");
}

TEST(ConfigVariableTreeForms, VectorAndAnglesAreThreeObjects) {
    ZnConfigVariable<ZnVector64> pos(nullptr, "pos", ZnVector64(1, 2, 3), "", Scope::AllScopes,
                                     false, "");
    ZnConfigVariable<ZnTaitBryan> att(nullptr, "att", ZnTaitBryan(4, 5, 6), "", Scope::AllScopes,
                                      false, "");
    ZnEnvironment env;
    pos.getEnvironmentValue(env);
    att.getEnvironmentValue(env);
    EXPECT_EQ(printed(env),
              "  class root root Value= \n"
              "     class pos pos Value= \n"
              "        class x x Value= \n"
              "           value Value= 1\n"
              "        class y y Value= \n"
              "           value Value= 2\n"
              "        class z z Value= \n"
              "           value Value= 3\n"
              "     class att att Value= \n"
              "        class heading heading Value= \n"
              "           value Value= 4\n"
              "        class pitch pitch Value= \n"
              "           value Value= 5\n"
              "        class roll roll Value= \n"
              "           value Value= 6\n");
}

TEST(ConfigVariableTreeForms, EveryTypeRoundTripsThroughATree) {
    EXPECT_EQ(throughTree<ZnString>("a <b> & \"c\"", ""), "a <b> & \"c\"");
    EXPECT_EQ(throughTree<std::string>("", "x"), "");
    EXPECT_EQ(throughTree<int>(-7, 0), -7);
    EXPECT_EQ(throughTree<unsigned int>(4294967295u, 0), 4294967295u);
    EXPECT_EQ(throughTree<double>(-1.0 / 7.0, 0), -1.0 / 7.0);
    EXPECT_EQ(throughTree<double>(0.1, 0), 0.1);
    EXPECT_EQ(throughTree<float>(3.3f, 0), 3.3f);  // out through double, back bit for bit
    EXPECT_EQ(throughTree<bool>(true, false), true);
    EXPECT_EQ(throughTree<bool>(false, true), false);
    EXPECT_EQ(throughTree(ZnVector64(0.1, -2, 1e300), ZnVector64()), ZnVector64(0.1, -2, 1e300));
    EXPECT_EQ(throughTree(ZnTaitBryan(3.1, 0.2, -0.3), ZnTaitBryan()), ZnTaitBryan(3.1, 0.2, -0.3));
}

TEST(ConfigVariableTreeForms, ObjectValueHelpersCheckTheirNode) {
    ZnEnvironment env;
    ZnEnvValueSP object = env.addObject("o");
    ZnEnvValueSP attribute = env.addAttribute("a", "1");
    auto wrong = thrownBy<ZnInvalidInput>([&] { getObjectValue(attribute); });
    EXPECT_STREQ(wrong.what(), "ZnInvalidInput: Object of wrong type");
    EXPECT_EQ(wrong.number(), -1);
    EXPECT_STREQ(thrownBy<ZnInvalidInput>([&] { setObjectValue(ZnEnvValueSP(), "1"); }).what(),
                 "ZnInvalidInput: Object of wrong type");
    EXPECT_STREQ(thrownBy<ZnInvalidInput>([&] { getObjectValue(object); }).what(),
                 "ZnInvalidInput: Object does not have value attribute");
    setObjectValue(object, "first");
    setObjectValue(object, "$(PXS_SETTINGS_UNSET_VARIABLE)second");
    EXPECT_EQ(getObjectValue(object), "second");
    // Set twice, added once.
    ZnEnvironment::ValueList values;
    env.getNamedListsByName("value", values);
    EXPECT_EQ(values.size(), 1u);
}

TEST(ConfigVariableTreeForms, MissingOrUnreadablePartsRaiseTheirMessages) {
    ZnEnvironment env;
    ZnEnvValueSP v = env.addObject("v");
    ZnEnvironment vec(v);
    vec.addAttribute("value", "1", vec.addObject("x"));
    vec.addAttribute("value", "2", vec.addObject("y"));
    auto missing = thrownBy<ZnInvalidInput>([&] { vectorFromEnvironment(vec); });
    EXPECT_STREQ(missing.what(), "ZnInvalidInput: Object does not have X,Y,Z");
    EXPECT_EQ(missing.function(), "ZnVector64 vectorFromEnvironment(ZnEnvironment)");
    ZnEnvValueSP z = vec.addObject("z");
    EXPECT_STREQ(thrownBy<ZnInvalidInput>([&] { vectorFromEnvironment(vec); }).what(),
                 "ZnInvalidInput: Object does not have value attribute");
    vec.addAttribute("value", "three", z);
    auto bad = thrownBy<ZnCorruptedState>([&] { vectorFromEnvironment(vec); });
    EXPECT_STREQ(bad.what(), "ZnCorruptedState: Unable to Parse Z");
    EXPECT_EQ(bad.number(), -3);
    ZnEnvObject::castToObject(z)->attribute("value")->setValue("3");
    EXPECT_EQ(vectorFromEnvironment(vec), ZnVector64(1, 2, 3));
    ZnEnvObject::castToObject(vec.getObject("y", "y"))->attribute("value")->setValue("");
    EXPECT_STREQ(thrownBy<ZnCorruptedState>([&] { vectorFromEnvironment(vec); }).what(),
                 "ZnCorruptedState: Unable to Parse Y");

    ZnEnvironment tb(env.addObject("t"));
    tb.addAttribute("value", "1", tb.addObject("heading"));
    tb.addAttribute("value", "2", tb.addObject("roll"));
    EXPECT_STREQ(thrownBy<ZnInvalidInput>([&] { taitBryanFromEnvironment(tb); }).what(),
                 "ZnInvalidInput: Object does not have heading,pitch,roll");
    tb.addAttribute("value", "1e999x", tb.addObject("pitch"));
    EXPECT_STREQ(thrownBy<ZnCorruptedState>([&] { taitBryanFromEnvironment(tb); }).what(),
                 "ZnCorruptedState: Unable to Parse pitch");
}

TEST(ConfigVariableTreeForms, ValueAttributeIsSearchedDepthFirstBelowTheObject) {
    ZnEnvironment env;
    ZnEnvValueSP object = env.addObject("n");
    ZnEnvValueSP note = env.addObject("note", object);
    ZnEnvironment at(object);
    auto e = thrownBy<ZnCorruptedState>([&] { simpleValueFromEnvironment<int>(at); });
    EXPECT_STREQ(e.what(), "ZnCorruptedState: Unable to find value attribute.");
    env.addAttribute("value", "12", note);
    EXPECT_EQ(simpleValueFromEnvironment<int>(at), 12);
    // A direct attribute after the nested object still loses: pre-order.
    env.addAttribute("value", "13", object);
    EXPECT_EQ(simpleValueFromEnvironment<int>(at), 12);

    // A variable named "value" reads its attribute, not its own object.
    ZnConfigVariable<int> named(nullptr, "value", 5, "", Scope::AllScopes, false, "");
    ZnEnvironment tree;
    named.getEnvironmentValue(tree);
    named.setValue(0);
    named.updateFromEnvironment(tree);
    EXPECT_EQ(named.value(), 5);
}

TEST(ConfigVariableReading, MissingDuplicateOrBrokenObjectsLeaveTheValue) {
    ZnConfigVariable<int> port(nullptr, "port", 1, "", Scope::AllScopes, false, "");
    ZnEnvironment env;
    port.updateFromEnvironment(env);
    EXPECT_EQ(port.value(), 1);

    env.addAttribute("value", "2", env.addObject("port"));
    env.addAttribute("value", "3", env.addObject("port", env.addObject("other")));
    testing::internal::CaptureStdout();
    port.updateFromEnvironment(env);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Unable to get from Environment, Object not unique\n");
    EXPECT_EQ(port.value(), 1);

    ZnEnvironment broken;
    broken.addObject("port");
    EXPECT_THROW(port.updateFromEnvironment(broken), ZnCorruptedState);
    EXPECT_EQ(port.value(), 1);

    // An attribute of the variable's name is not its object.
    ZnEnvironment attr;
    attr.addAttribute("port", "9");
    port.updateFromEnvironment(attr);
    EXPECT_EQ(port.value(), 1);
}

TEST(ConfigVariableCommandLine, ScopeDecidesAndTheArgumentIsMadeOnce) {
    ZnConfigVariable<int> file(nullptr, "file", 1, "", Scope::ConfigFileScope, false, "");
    ZnConfigVariable<int> line(nullptr, "&line", 1, "", Scope::CommandLineScope, false, "");
    TCLAP::CmdLine first("t", ' ', "1", false);
    const size_t before = first.getArgList().size();
    file.getCommandLineArg(first);
    EXPECT_EQ(first.getArgList().size(), before);
    line.getCommandLineArg(first);
    ASSERT_EQ(first.getArgList().size(), before + 1);
    TCLAP::Arg* made = first.getArgList().front();
    EXPECT_EQ(made->getName(), "line");
    EXPECT_EQ(made->getFlag(), "l");
    TCLAP::CmdLine second("t", ' ', "1", false);
    line.getCommandLineArg(second);
    EXPECT_EQ(second.getArgList().front(), made);
}

TEST(ConfigVariableCommandLine, GivenValuesAreTakenAndMarkSet) {
    ZnConfigVariable<double> rate(nullptr, "&rate", 1.0, "", Scope::AllScopes, false, "");
    ZnConfigVariable<ZnString> title(nullptr, "title", "none", "", Scope::AllScopes, false, "");
    ZnConfigVariable<std::string> host(nullptr, "host", "h", "", Scope::AllScopes, false, "");
    ZnConfigVariable<unsigned int> count(nullptr, "count", 1, "", Scope::AllScopes, false, "");
    ZnConfigVariable<float> gain(nullptr, "gain", 1, "", Scope::AllScopes, false, "");
    ZnConfigVariable<ZnVector64> pos(nullptr, "&pos", ZnVector64(), "", Scope::AllScopes, false,
                                     "");
    ZnConfigVariable<ZnTaitBryan> att(nullptr, "att", ZnTaitBryan(1, 1, 1), "", Scope::AllScopes,
                                      false, "");
    ZnConfigVariable<int> untouched(nullptr, "untouched", 4, "", Scope::AllScopes, false, "");
    parse({"prog", "-r", "3.5", "--title", "two words", "--host", "example", "--count", "12",
           "--gain", "0.25", "-p", "1,2,3"},
          {&rate, &title, &host, &count, &gain, &pos, &att, &untouched});
    EXPECT_EQ(rate.value(), 3.5);
    EXPECT_TRUE(rate.isSet());
    EXPECT_EQ(title.value(), "two words");
    EXPECT_EQ(host.value(), "example");
    EXPECT_EQ(count.value(), 12u);
    EXPECT_EQ(gain.value(), 0.25f);
    EXPECT_EQ(pos.value(), ZnVector64(1, 2, 3));
    EXPECT_EQ(att.value(), ZnTaitBryan(1, 1, 1));
    EXPECT_FALSE(att.isSet());
    EXPECT_EQ(untouched.value(), 4);
    EXPECT_FALSE(untouched.isSet());
}

TEST(ConfigVariableCommandLine, SwitchStartsFromTheDefault) {
    ZnConfigVariable<bool> on(nullptr, "on", true, "", Scope::AllScopes, false, "");
    ZnConfigVariable<bool> off(nullptr, "off", false, "", Scope::AllScopes, false, "");
    on.setValue(false);
    parse({"prog"}, {&on, &off});
    EXPECT_FALSE(on.value());  // not given: left alone
    EXPECT_FALSE(on.isSet());
    parse({"prog", "--on", "--off"}, {&on, &off});
    EXPECT_FALSE(on.value());  // given: the opposite of its default true
    EXPECT_TRUE(on.isSet());
    EXPECT_TRUE(off.value());
}

TEST(ConfigVariableCommandLine, ValueArgumentStartsFromTheCurrentValue) {
    ZnConfigVariable<int> n(nullptr, "n", 1, "", Scope::AllScopes, true, "");
    n.setValue(6);
    TCLAP::CmdLine cmd("t", ' ', "1", false);
    n.getCommandLineArg(cmd);
    auto* arg = dynamic_cast<TCLAP::ValueArg<int>*>(cmd.getArgList().front());
    ASSERT_NE(arg, nullptr);
    EXPECT_EQ(arg->getValue(), 6);
    EXPECT_TRUE(arg->isRequired());
    EXPECT_NE(arg->longID().find("<int>"), std::string::npos);
    // The same variables parse again from a second command line.
    parse({"prog", "--n", "8"}, {&n});
    parse({"prog", "--n", "9"}, {&n});
    EXPECT_EQ(n.value(), 9);
}

TEST(ConfigVariableSchema, ComplexTypeListsFileMembersAndMarksOptionalOnes) {
    ZnConfigVariable<int> a(nullptr, "a", 1, "", Scope::ConfigFileScope, true, "");
    ZnConfigVariable<int> b(nullptr, "b", 1, "", Scope::CommandLineScope, true, "");
    ZnConfigVariable<ZnVector64> c(nullptr, "c", ZnVector64(), "", Scope::AllScopes, false, "");
    ZnEnvironment env("xs:schema");
    ZnBaseConfigVariable::createComplexSchemaType(env, "T", false, {&a, &b, &c});
    ZnBaseConfigVariable::createSchemaDeclaration(env, "top", "");
    ZnBaseConfigVariable::createSchemaDeclaration(env, "e", "T");
    EXPECT_EQ(printed(env),
              "  class xs:schema xs:schema Value= \n"
              "     class xs:complexType T Value= \n"
              "        class xs:all xs:all Value= \n"
              "           class xs:element a Value= \n"
              "              type Value= int\n"
              "           class xs:element c Value= \n"
              "              type Value= ZnVector\n"
              "              minOccurs Value= 0\n"
              "        class xs:attribute name Value= \n"
              "           type Value= xs:string\n"
              "           use Value= optional\n"
              "     class xs:element top Value= \n"
              "     class xs:element e Value= \n"
              "        type Value= T\n");
}

TEST(ConfigVariableSchema, EachTypeIsDefinedOnceAndVectorsBringTheirDoubles) {
    ZnConfigVariable<double> d1(nullptr, "d1", 1, "", Scope::AllScopes, false, "");
    ZnConfigVariable<double> d2(nullptr, "d2", 1, "", Scope::AllScopes, true, "");
    ZnConfigVariable<ZnVector64> v(nullptr, "v", ZnVector64(), "", Scope::AllScopes, false, "");
    ZnConfigVariable<ZnTaitBryan> t(nullptr, "t", ZnTaitBryan(), "", Scope::AllScopes, false, "");
    ZnEnvironment env("xs:schema");
    std::set<ZnString> done;
    v.getEnvironmentSchemaType(env, done);
    d1.getEnvironmentSchemaType(env, done);
    d2.getEnvironmentSchemaType(env, done);
    t.getEnvironmentSchemaType(env, done);
    ZnEnvironment::ValueList types;
    env.getObjectsByType("xs:complexType", types);
    std::vector<std::string> names;
    for (const ZnEnvValueSP& node : types)
        names.push_back(ZnEnvObject::castToObject(node)->name().string());
    EXPECT_EQ(names, (std::vector<std::string>{"ZnVector", "double", "ZnTaitBryan"}));
    EXPECT_EQ(done, (std::set<ZnString>{"ZnVector", "double", "ZnTaitBryan"}));
    // The vector's parts are a required sequence of doubles.
    ZnEnvValueSP sequence = env.getObject("xs:sequence", "xs:sequence", types.front());
    ASSERT_TRUE(sequence);
    ZnEnvValueSP y = env.getObject("y", "xs:element", sequence);
    ASSERT_TRUE(y);
    EXPECT_EQ(ZnEnvObject::castToObject(y)->attributeValue("type"), "double");
    EXPECT_FALSE(ZnEnvObject::castToObject(y)->attribute("minOccurs"));
    // No minOccurs on a type definition, whatever the variable that introduced it.
    ZnEnvironment::ValueList minOccurs;
    env.getNamedListsByName("minOccurs", minOccurs);
    EXPECT_TRUE(minOccurs.empty());
}

}  // namespace
