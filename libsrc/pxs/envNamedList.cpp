// envNamedList.cpp -- named lists: the name kept in a hidden first child.

#include "envNamedList.h"

#include <boost/make_shared.hpp>

namespace {

constexpr uint32_t kNamedListBits = ListFormat | NamedListFormat;

}  // namespace

// The name node gets no parent link: renaming is not a change of the list's
// content, so it must not reach synchronisers.
ZnEnvNamedList::ZnEnvNamedList(const ZnString& name, const ZnString& value) : ZnEnvList(value) {
    addFormat(NamedListFormat);
    appendHidden(boost::make_shared<ZnEnvValue>(name));
}

ZnEnvValueSP ZnEnvNamedList::first() const { return childAt(1); }

ZnString ZnEnvNamedList::name() const {
    ZnEnvValueSP node = childAt(0);
    return node ? node->value() : ZnString();
}

void ZnEnvNamedList::setName(const ZnString& name) {
    if (ZnEnvValueSP node = childAt(0)) node->setValue(name);
}

bool ZnEnvNamedList::isNamedList(ZnEnvValueSP value) {
    return value && (value->format() & kNamedListBits) == kNamedListBits;
}

ZnEnvNamedList* ZnEnvNamedList::castToNamedList(ZnEnvValueSP value) {
    return isNamedList(value) ? dynamic_cast<ZnEnvNamedList*>(value.get()) : nullptr;
}

ZnEnvValue* ZnEnvNamedList::cloneNode() const { return new ZnEnvNamedList(name(), value()); }
