// fedSwitches.h -- the one list of federation switches: each switch's name,
// its setter and getter on ZnFedTarget, its default, and the place it takes
// in each object-model format. Every reader and ZnFom answer from this list,
// so adding a switch is one row. Internal: not reached from pxs.h.

#ifndef PXS_FEDSWITCHES_H
#define PXS_FEDSWITCHES_H

#include <cstddef>

#include <util/znFedTarget.h>

namespace pxsdetail::switches {

// The readers that deliver switches; each visits them in its own order,
// which the trace of a read shows and other programs compare.
enum Format : unsigned {
    kFdd1516 = 0,       // IEEE 1516-2000 FDD reader
    kEvolved = 1,       // HLA Evolved module reader
    kThinFdd1516 = 2,   // thin IEEE 1516-2000 reader
    kThinEvolved = 3,   // thin HLA Evolved reader
    kFormatCount = 4
};

struct Switch {
    const char* name;
    void (ZnFedTarget::*set)(bool);
    bool (ZnFedTarget::*get)() const;
    // Value a read that asks for default switches installs; null when the
    // switch has none (it is then off in a table that lacks it).
    bool (*fallback)();
    // 1-based place of the switch in each format's visiting order; 0 when
    // the format does not have the switch.
    unsigned char position[kFormatCount];
};

// Every switch, in the order the HLA Evolved schema lists them (the IEEE
// 1516-2000 DTD lists its own in the same order); the writer relies on it.
const Switch* all(size_t* count);

// The switch called `name`; null when there is none.
const Switch* find(const char* name);

// Calls `visit(const Switch&)` for the switches `format` has, in its order.
template <class Visit>
void forEach(Format format, Visit&& visit) {
    size_t count = 0;
    const Switch* table = all(&count);
    for (unsigned place = 1; place <= count; ++place)
        for (size_t i = 0; i < count; ++i)
            if (table[i].position[format] == place) visit(table[i]);
}

}  // namespace pxsdetail::switches

#endif
