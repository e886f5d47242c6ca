// envValue.cpp -- plain tree values: storage, $(NAME) expansion and the
// upward change report that every node class builds on.

#include "envValue.h"

#include <cstdlib>
#include <string>

namespace {

// The upward climb of a change runs as a loop in the outermost
// notifyParent(); the node the loop has just called childChanged() on only
// records where the climb goes next. A change in a leaf a million levels
// down thus takes constant stack. Any other node reporting meanwhile (a
// synchroniser callback setting values elsewhere) starts a climb of its own.
struct Climb {
    const ZnEnvValue* expected = nullptr;  // the node whose report continues the loop
    ZnEnvValueSP* pending = nullptr;       // where that report is recorded
};
thread_local Climb tClimb;

// Restores the enclosing climb's state on every way out, exceptions from
// callbacks included.
class ClimbScope {
public:
    ClimbScope() : saved_(tClimb) {}
    ~ClimbScope() { tClimb = saved_; }
    ClimbScope(const ClimbScope&) = delete;
    ClimbScope& operator=(const ClimbScope&) = delete;

private:
    Climb saved_;
};

}  // namespace

void Modifiers(ZnString& out, const ZnString& in) {
    const std::string& text = in.std();
    const std::string::size_type p = text.find('$');
    if (p == std::string::npos || p + 3 >= text.size() || text[p + 1] != '(') {
        out = in;
        return;
    }
    const std::string::size_type close = text.find(')', p + 2);
    if (close == std::string::npos) {
        out = in;
        return;
    }
    const std::string name = text.substr(p + 2, close - p - 2);
    const char* setting = std::getenv(name.c_str());
    out = ZnString(text.substr(0, p) + (setting ? setting : "") + text.substr(close + 1));
}

ZnEnvValue::ZnEnvValue(const ZnString& value) {
    ZnEnvValue::setValue(value);
}

ZnEnvValue::~ZnEnvValue() = default;

ZnString ZnEnvValue::value() const {
    return value_;
}

ZnString ZnEnvValue::unmodifiedValue() const {
    return unmodifiedValue_;
}

void ZnEnvValue::setValue(const ZnString& value) {
    if (value == unmodifiedValue_) return;
    unmodifiedValue_ = value;
    Modifiers(value_, value);
    valueChanged();
}

ZnEnvValueSP ZnEnvValue::parent() const {
    return parent_.lock();
}

void ZnEnvValue::setParent(ZnEnvValueSP parent) {
    parent_ = parent;
}

void ZnEnvValue::valueChanged() {
    notifyParent();
}

void ZnEnvValue::childChanged(ZnEnvValue*) {
    notifyParent();
}

ZnEnvValue* ZnEnvValue::clone() const {
    return cloneNode();
}

ZnEnvValue* ZnEnvValue::cloneNode() const {
    return new ZnEnvValue(value());
}

// Each level is held by a shared pointer while its childChanged() runs, so
// a callback that drops part of the tree cannot free a node under the loop.
void ZnEnvValue::notifyParent() {
    ZnEnvValueSP up = parent();
    if (!up) return;
    if (tClimb.expected == this) {
        *tClimb.pending = up;
        tClimb.expected = nullptr;  // a second report from this node climbs on its own
        return;
    }
    ClimbScope scope;
    ZnEnvValueSP reporterHold;
    ZnEnvValue* reporter = this;
    // Parent links that loop (setParent allows it) would keep the climb
    // going for ever; a second pointer up the links at half speed meets the
    // climb once it has come round, and ends it there.
    ZnEnvValueSP slow = up;
    for (unsigned long step = 1; up; ++step) {
        ZnEnvValueSP pending;
        tClimb.expected = up.get();
        tClimb.pending = &pending;
        up->childChanged(reporter);
        reporterHold = std::move(up);
        reporter = reporterHold.get();
        up = std::move(pending);
        if (step % 2 == 0 && slow) slow = slow->parent();
        if (up && up == slow) break;
    }
}
