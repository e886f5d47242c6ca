// register_test.cpp -- host variables bound to PXS symbols: conversions of
// every registered type in both directions, identity of unchanged values,
// the warnings for wrong kinds and double registration, print-registered,
// and the frame's ownership of its records.

#include "pxs_test_files.h"
#include "pxs_test_support.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <tuple>

using namespace pxstest;

namespace {

// A frame with host variables registered in it; assign() stands in for a
// script setting a symbol.
class HostFrame {
public:
    template <typename T>
    int add(const char* name, T* address) {
        return ZncRegister(name, address, frame_, frame_->params());
    }
    void assign(const char* name, const ZnlObjPtr& value) {
        ZncSet(ZncIntern(name, frame_), value, frame_);
    }
    ZnlObjPtr value(const char* name) { return frame_->frameBindings()->lookup(name); }
    void toHost() { ZncLispToC(frame_->params()); }
    void toLisp() { ZncCToLisp(frame_->params()); }
    const ZnlObjPtr& frame() const { return frame_; }

private:
    ZnlObjPtr frame_{ZnlFrameTag};
};

// A root frame binding x to 5 and a child frame below it.
struct Nested {
    ZnlObjPtr root{ZnlFrameTag}, child{ZnlFrameTag};
    Nested() {
        child->setFrameParent(root);
        ZncSet(ZncIntern("x", root), ZnlObjPtr(5), root);
    }
};

TEST(Register, EveryTypeConvertsBothWays) {
    NoCellLeft guard;
    float f = 1.5f;
    double d = 2.25;
    int i = -7;
    unsigned long ul = 0x100000005ul;
    long l = -1;
    unsigned int ui = 0xFFFFFFFFu;
    unsigned short us = 65535;
    short s = -2;
    char text[] = "label";
    char* cs = text;
    char* none = nullptr;
    ZnString zs("zn");
    HostFrame h;
    EXPECT_EQ(h.add("f", &f) + h.add("d", &d) + h.add("i", &i) + h.add("ul", &ul) + h.add("l", &l) +
                  h.add("ui", &ui) + h.add("us", &us) + h.add("s", &s) + h.add("cs", &cs) +
                  h.add("zs", &zs) + h.add("none", &none),
              11);
    EXPECT_EQ(h.frame()->params()->size(), 11u);
    // unsigned long keeps its low 32 bits, unsigned short is zero-extended,
    // short sign-extended; texts are copied, a null one reads as empty.
    const std::pair<const char*, const char*> forms[] = {
        {"f", "1.500000"}, {"d", "2.250000"}, {"i", "-7"},       {"ul", "5"},
        {"l", "-1"},       {"ui", "-1"},      {"us", "65535"},   {"s", "-2"},
        {"cs", "\"label\""}, {"zs", "\"zn\""},  {"none", "\"\""}};
    for (const auto& [name, form] : forms) EXPECT_EQ(printed(h.value(name)), form) << name;
    EXPECT_NE(h.value("cs")->string(), text);

    // Back to the host: integers wrap to the host width, floats take
    // integers, char* points at the object's text, ZnString copies it.
    for (auto [name, value] : {std::pair<const char*, ZnlObjPtr>{"us", num(70000)},
                               {"s", num(40000)}, {"ul", num(-1)}, {"l", num(-5)},
                               {"ui", num(-1)}, {"f", num(3)}, {"d", num(16777217)},
                               {"cs", str("from script")}, {"zs", str("copied")}})
        h.assign(name, value);
    h.toHost();
    using Host = std::tuple<unsigned short, short, unsigned long, long, unsigned, float, double>;
    EXPECT_EQ(std::tie(us, s, ul, l, ui, f, d),
              Host(4464, -25536, 18446744073709551615ul, -5, 0xFFFFFFFFu, 3.0f, 16777217.0));
    EXPECT_EQ(cs, h.value("cs")->string());
    EXPECT_EQ(zs, "copied");
    h.assign("zs", str("changed"));
    EXPECT_EQ(zs, "copied") << "ZnString holds its own copy";
    h.assign("f", flo(1e300));
    h.toHost();
    EXPECT_TRUE(std::isinf(f) && f > 0) << "beyond the float range: infinity, not UB";
}

TEST(Register, WrongKindWarnsAndKeepsTheHostValue) {
    NoCellLeft guard;
    int depth = 4;
    double ratio = 0.5;
    char* label = nullptr;
    HostFrame h;
    h.add("depth", &depth);
    h.add("ratio", &ratio);
    h.add("label", &label);
    h.assign("depth", flo(2.5));
    h.assign("ratio", str("x"));
    h.assign("label", num(1));
    {
        ScopedNotifyLevel level(1);
        StderrCapture err;
        h.toHost();
        EXPECT_EQ(err.text(),
                  "Lisp Warning: Variable depth should be an integer, not 2.500000\n"
                  "Lisp Warning: Variable ratio should be a float, not \"x\"\n"
                  "Lisp Warning: Variable label should be a string, not 1\n");
    }
    EXPECT_EQ(depth, 4);
    EXPECT_EQ(ratio, 0.5);
    EXPECT_EQ(label, nullptr) << "nothing acceptable was ever copied back";
    ScopedNotifyLevel level(0);
    StderrCapture err;
    h.toHost();
    EXPECT_EQ(err.text(), "") << "silent at level 0";
}

TEST(Register, SetIfBoundpSearchesOnlyTheFrameAndWarnsOnlyForMarkedNames) {
    NoCellLeft guard;
    Nested n;
    int out = 9;
    EXPECT_EQ(ZncSetIfBoundp(const_cast<char*>("nowhere"), &out, n.root), 0);
    EXPECT_EQ(ZncSetIfBoundp(const_cast<char*>("x"), &out, n.child), 0);
    ZncIntern("marked", n.root);  // bound to the unbound marker
    {
        ScopedNotifyLevel level(1);
        StderrCapture err;
        EXPECT_EQ(ZncSetIfBoundp(const_cast<char*>("marked"), &out, n.root), 0);
        EXPECT_EQ(err.text(),
                  "Lisp Warning: Variable marked should be an integer, not *unbound*\n");
    }
    EXPECT_EQ(out, 9);
    EXPECT_EQ(ZncSetIfBoundp(const_cast<char*>("x"), &out, n.root), 1);
    EXPECT_EQ(out, 5);
}

TEST(Register, UnchangedValuesKeepTheirObject) {
    NoCellLeft guard;
    double d = 1.25;
    int i = 3;
    char text[] = "same";
    char* cs = text;
    HostFrame h;
    h.add("d", &d);
    h.add("i", &i);
    h.add("cs", &cs);
    ZnlObjPtr before_d = h.value("d"), before_i = h.value("i"), before_cs = h.value("cs");
    h.toLisp();
    EXPECT_TRUE(h.value("d") == before_d && h.value("i") == before_i &&
                h.value("cs") == before_cs);
    d = 2.5;
    h.toLisp();
    EXPECT_TRUE(ZncEqual(h.value("d"), flo(2.5)));
    // A value of another kind is replaced even when numerically equal.
    h.assign("i", flo(3.0));
    h.toLisp();
    EXPECT_EQ(h.value("i")->tag(), ZnlFixnumTag);
}

TEST(Register, SecondRegistrationIsRefusedAParentsNameIsNotAndRecordsDieWithTheFrame) {
    NoCellLeft guard;
    int first = 1, second = 2;
    HostFrame h;
    EXPECT_EQ(h.add("depth", &first), 1);
    {
        WarnCapture warn;
        EXPECT_EQ(h.add("depth", &second), 0);
        EXPECT_EQ(warn.text(), "ZncRegister: depth is already bound\n");
    }
    EXPECT_EQ(h.frame()->params()->size(), 1u);
    h.assign("depth", num(7));
    h.toHost();
    EXPECT_EQ(first, 7);
    EXPECT_EQ(second, 2);

    Nested n;
    int x = 8;
    EXPECT_EQ(ZncRegister("x", &x, n.child, n.child->params()), 1);
    EXPECT_EQ(n.child->frameBindings()->lookup("x")->fixnum(), 8);
    EXPECT_EQ(n.root->frameBindings()->lookup("x")->fixnum(), 5);
    // A non-frame refuses the record without leaking it.
    EXPECT_PXS_ERROR(ZncRegister("y", &x, num(1), nullptr), "Non-frame to set1env");
    // Records die with their frame, leaving the host variables alone.
    x = 1;
    ZnString zs("held");
    {
        HostFrame inner;
        inner.add("x", &x);
        inner.add("zs", &zs);
    }
    EXPECT_EQ(x, 1);
    EXPECT_EQ(zs, "held");
}

TEST(PrintRegistered, ListsRecordsInOrderWithDefaultsForFailedReads) {
    NoCellLeft guard;
    int depth = 3;
    char text[] = "my label";
    char* label = text;
    double big = 1e300;
    ZnString name("n");
    HostFrame h;
    h.add("depth", &depth);
    h.add("label", &label);
    h.add("big", &big);
    h.add("name", &name);
    std::string rendered(400, '\0');
    rendered.resize(std::snprintf(&rendered[0], rendered.size(), "%f", 1e300));
    EXPECT_GT(rendered.size(), 300u) << "eval2str must hold long renderings";
    {
        InfoCapture info;
        EXPECT_TRUE(ZnlPrintRegistered(nil(), h.frame()) == nil());
        EXPECT_EQ(info.text(), "(setqb depth 3)\n(setqb label \"my label\")\n(setqb big " +
                                   rendered + ")\n(setqb name \"n\")\n");
    }
    h.assign("depth", str("text"));
    h.assign("big", nil());
    h.assign("name", num(1));
    ScopedNotifyLevel level(0);
    InfoCapture info;
    ZnlPrintRegistered(nil(), h.frame());
    EXPECT_EQ(info.text(), "(setqb depth 0)\n(setqb label \"my label\")\n"
                           "(setqb big 0.000000)\n(setqb name \"\")\n");
}

}  // namespace
