// register_test.cpp -- host variables bound to PXS symbols: conversions of
// every registered type in both directions, identity of unchanged values,
// the warnings for wrong kinds and double registration, print-registered,
// and the frame's ownership of its records.

#include "pxs_test_support.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

using pxstest::InfoCapture;
using pxstest::NoCellLeft;
using pxstest::WarnCapture;

namespace {

// A frame with host variables registered in it; assign() stands in for a
// script setting a symbol.
class HostFrame {
public:
    HostFrame() : frame_(ZnlFrameTag) {}
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
    ZnlObjPtr frame_;
};

// Captures standard error for a scope.
class StderrCapture {
public:
    StderrCapture() { testing::internal::CaptureStderr(); }
    ~StderrCapture() {
        if (!taken_) testing::internal::GetCapturedStderr();
    }
    std::string text() {
        taken_ = true;
        return testing::internal::GetCapturedStderr();
    }

private:
    bool taken_ = false;
};

class NotifyLevel {
public:
    explicit NotifyLevel(int level) : saved_(ZnNotifyLevel) { ZnNotifyLevel = level; }
    ~NotifyLevel() { ZnNotifyLevel = saved_; }

private:
    int saved_;
};

TEST(RegisterToLisp, EachTypeArrivesAsItsKind) {
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
    ZnString zs("zn");
    HostFrame h;
    EXPECT_EQ(h.add("f", &f) + h.add("d", &d) + h.add("i", &i) + h.add("ul", &ul) +
                  h.add("l", &l) + h.add("ui", &ui) + h.add("us", &us) + h.add("s", &s) +
                  h.add("cs", &cs) + h.add("zs", &zs),
              10);
    EXPECT_EQ(h.value("f")->tag(), ZnlFlonumTag);
    EXPECT_EQ(h.value("f")->flonum(), 1.5);
    EXPECT_EQ(h.value("d")->flonum(), 2.25);
    EXPECT_EQ(h.value("i")->fixnum(), -7);
    EXPECT_EQ(h.value("ul")->fixnum(), 5) << "low 32 bits";
    EXPECT_EQ(h.value("l")->fixnum(), -1);
    EXPECT_EQ(h.value("ui")->fixnum(), -1);
    EXPECT_EQ(h.value("us")->fixnum(), 65535) << "zero-extended";
    EXPECT_EQ(h.value("s")->fixnum(), -2) << "sign-extended";
    EXPECT_STREQ(h.value("cs")->string(), "label");
    EXPECT_NE(h.value("cs")->string(), text) << "the text is copied";
    EXPECT_STREQ(h.value("zs")->string(), "zn");
    EXPECT_EQ(h.frame()->params()->size(), 10u);
}

TEST(RegisterToHost, IntegersWrapToTheHostWidth) {
    NoCellLeft guard;
    unsigned short us = 0;
    short s = 0;
    unsigned long ul = 0;
    long l = 0;
    unsigned int ui = 0;
    HostFrame h;
    h.add("us", &us);
    h.add("s", &s);
    h.add("ul", &ul);
    h.add("l", &l);
    h.add("ui", &ui);
    h.assign("us", ZnlObjPtr(70000));
    h.assign("s", ZnlObjPtr(40000));
    h.assign("ul", ZnlObjPtr(-1));
    h.assign("l", ZnlObjPtr(-5));
    h.assign("ui", ZnlObjPtr(-1));
    h.toHost();
    EXPECT_EQ(us, 4464);
    EXPECT_EQ(s, -25536);
    EXPECT_EQ(ul, 18446744073709551615ul);
    EXPECT_EQ(l, -5);
    EXPECT_EQ(ui, 0xFFFFFFFFu);
}

TEST(RegisterToHost, FloatsAcceptIntegersAndNarrowSafely) {
    NoCellLeft guard;
    float f = 0;
    double d = 0;
    HostFrame h;
    h.add("f", &f);
    h.add("d", &d);
    h.assign("f", ZnlObjPtr(3));
    h.assign("d", ZnlObjPtr(16777217));
    h.toHost();
    EXPECT_EQ(f, 3.0f);
    EXPECT_EQ(d, 16777217.0) << "an integer is converted exactly";
    h.assign("f", ZnlObjPtr(1e300));
    h.toHost();
    EXPECT_TRUE(std::isinf(f) && f > 0) << "beyond the float range: infinity, not UB";
}

TEST(RegisterToHost, StringsShareOrCopyTheText) {
    NoCellLeft guard;
    char* cs = nullptr;
    ZnString zs;
    HostFrame h;
    h.add("cs", &cs);
    h.add("zs", &zs);
    EXPECT_STREQ(h.value("cs")->string(), "") << "a null host text reads as empty";
    h.assign("cs", ZnlObjPtr("from script"));
    h.assign("zs", ZnlObjPtr("copied"));
    h.toHost();
    EXPECT_EQ(cs, h.value("cs")->string()) << "char* points at the object's own text";
    EXPECT_EQ(zs, "copied");
    h.assign("zs", ZnlObjPtr("changed"));
    EXPECT_EQ(zs, "copied") << "ZnString holds its own copy";
}

TEST(RegisterToHost, WrongKindWarnsAndKeepsTheHostValue) {
    NoCellLeft guard;
    int depth = 4;
    double ratio = 0.5;
    char* label = nullptr;
    HostFrame h;
    h.add("depth", &depth);
    h.add("ratio", &ratio);
    h.add("label", &label);
    h.assign("depth", ZnlObjPtr(2.5));
    h.assign("ratio", ZnlObjPtr("x"));
    h.assign("label", ZnlObjPtr(1));
    {
        NotifyLevel level(1);
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
    {
        NotifyLevel level(0);
        StderrCapture err;
        h.toHost();
        EXPECT_EQ(err.text(), "") << "silent at level 0";
    }
}

TEST(RegisterToHost, UnboundSymbolsAreSilentUnlessMarked) {
    NoCellLeft guard;
    ZnlObjPtr frame(ZnlFrameTag);
    int out = 9;
    EXPECT_EQ(ZncSetIfBoundp(const_cast<char*>("nowhere"), &out, frame), 0);
    ZncIntern("marked", frame);  // bound to the unbound marker
    NotifyLevel level(1);
    StderrCapture err;
    EXPECT_EQ(ZncSetIfBoundp(const_cast<char*>("marked"), &out, frame), 0);
    EXPECT_EQ(err.text(), "Lisp Warning: Variable marked should be an integer, not *unbound*\n");
    EXPECT_EQ(out, 9);
}

TEST(RegisterToHost, OnlyTheFrameItselfIsSearched) {
    NoCellLeft guard;
    ZnlObjPtr root(ZnlFrameTag);
    ZnlObjPtr child(ZnlFrameTag);
    child->setFrameParent(root);
    ZncSet(ZncIntern("x", root), ZnlObjPtr(5), root);
    int out = 0;
    EXPECT_EQ(ZncSetIfBoundp(const_cast<char*>("x"), &out, child), 0);
    EXPECT_EQ(ZncSetIfBoundp(const_cast<char*>("x"), &out, root), 1);
    EXPECT_EQ(out, 5);
}

TEST(RegisterToLisp, UnchangedValuesKeepTheirObject) {
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
    EXPECT_TRUE(h.value("d") == before_d);
    EXPECT_TRUE(h.value("i") == before_i);
    EXPECT_TRUE(h.value("cs") == before_cs);
    d = 2.5;
    h.toLisp();
    EXPECT_FALSE(h.value("d") == before_d);
    EXPECT_EQ(h.value("d")->flonum(), 2.5);
    // A value of another kind is replaced even when numerically equal.
    h.assign("i", ZnlObjPtr(3.0));
    h.toLisp();
    EXPECT_EQ(h.value("i")->tag(), ZnlFixnumTag);
}

TEST(Registration, SecondRegistrationOfANameIsRefused) {
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
    h.assign("depth", ZnlObjPtr(7));
    h.toHost();
    EXPECT_EQ(first, 7);
    EXPECT_EQ(second, 2);
}

TEST(Registration, NameBoundOnlyInAParentIsRegisteredLocally) {
    NoCellLeft guard;
    ZnlObjPtr root(ZnlFrameTag);
    ZnlObjPtr child(ZnlFrameTag);
    child->setFrameParent(root);
    ZncSet(ZncIntern("x", root), ZnlObjPtr(5), root);
    int x = 8;
    EXPECT_EQ(ZncRegister("x", &x, child, child->params()), 1);
    EXPECT_EQ(child->frameBindings()->lookup("x")->fixnum(), 8);
    EXPECT_EQ(root->frameBindings()->lookup("x")->fixnum(), 5);
}

TEST(Registration, RecordsDieWithTheirFrame) {
    NoCellLeft guard;
    int x = 1;
    ZnString zs("held");
    {
        HostFrame h;
        h.add("x", &x);
        h.add("zs", &zs);
    }
    EXPECT_EQ(x, 1) << "host variables are not touched";
    EXPECT_EQ(zs, "held");
    // A non-frame refuses the record without leaking it.
    ZnlObjPtr notFrame(1);
    EXPECT_PXS_ERROR(ZncRegister("y", &x, notFrame, nullptr), "Non-frame to set1env");
}

TEST(PrintRegistered, ListsRecordsInRegistrationOrder) {
    NoCellLeft guard;
    int depth = 3;
    char text[] = "my label";
    char* label = text;
    double big = 1e300;
    HostFrame h;
    h.add("depth", &depth);
    h.add("label", &label);
    h.add("big", &big);
    InfoCapture info;
    EXPECT_TRUE(ZnlPrintRegistered(ZnlObjPtr::nil(), h.frame()) == ZnlObjPtr::nil());
    std::string expected = "(setqb depth 3)\n(setqb label \"my label\")\n(setqb big ";
    char rendered[400];
    std::snprintf(rendered, sizeof rendered, "%f", 1e300);
    expected += std::string(rendered) + ")\n";
    EXPECT_EQ(info.text(), expected);
    EXPECT_GT(std::strlen(rendered), 300u) << "eval2str must hold long renderings";
}

TEST(PrintRegistered, FailedReadsShowDefaults) {
    NoCellLeft guard;
    int depth = 3;
    double ratio = 1;
    ZnString name("n");
    HostFrame h;
    h.add("depth", &depth);
    h.add("ratio", &ratio);
    h.add("name", &name);
    h.assign("depth", ZnlObjPtr("text"));
    h.assign("ratio", ZnlObjPtr::nil());
    h.assign("name", ZnlObjPtr(1));
    NotifyLevel level(0);
    InfoCapture info;
    ZnlPrintRegistered(ZnlObjPtr::nil(), h.frame());
    EXPECT_EQ(info.text(), "(setqb depth 0)\n(setqb ratio 0.000000)\n(setqb name \"\")\n");
}

}  // namespace
