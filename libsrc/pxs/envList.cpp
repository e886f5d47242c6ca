// envList.cpp -- ordered children: linear iteration by pointer identity,
// deep copies and teardown that take constant stack however deep the tree.

#include "envList.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include <pxs/envWalk.h>

namespace {

// Below this many children a scan is as quick as a hash lookup; from it on
// the list keeps an index, so next() and remove() do not scan.
constexpr std::size_t kIndexThreshold = 16;

// Children of lists being destroyed while an outer destructor drains them.
// Dropping the last reference to a deep tree would otherwise recurse once
// per level; this way the outermost destructor frees it in a loop. A splice
// allocates nothing, so the destructors cannot throw.
thread_local std::list<ZnEnvValueSP>* tDoomed = nullptr;

}  // namespace

ZnEnvList::ZnEnvList(const ZnString& value) : ZnEnvValue(value) {
    addFormat(ListFormat);
}

ZnEnvList::~ZnEnvList() {
    index_.reset();
    if (tDoomed) {
        tDoomed->splice(tDoomed->end(), children_);
        return;
    }
    std::list<ZnEnvValueSP> doomed;
    doomed.splice(doomed.end(), children_);
    tDoomed = &doomed;
    while (!doomed.empty()) {
        ZnEnvValueSP node = std::move(doomed.front());
        doomed.pop_front();
        node.reset();  // a list among them splices its children onto `doomed`
    }
    tDoomed = nullptr;
}

ZnEnvValue* ZnEnvList::clone() const {
    std::unique_ptr<ZnEnvValue> copy(cloneNode());
    if (ZnEnvList* list = dynamic_cast<ZnEnvList*>(copy.get())) cloneChildren(list);
    return copy.release();
}

ZnEnvValue* ZnEnvList::cloneNode() const {
    return new ZnEnvList(value());
}

ZnEnvValueSP ZnEnvList::first() const {
    return childAt(0);
}

ZnEnvValueSP ZnEnvList::last() const {
    return children_.empty() ? ZnEnvValueSP() : children_.back();
}

ZnEnvValueSP ZnEnvList::next(ZnEnvValueSP child) const {
    if (!child) return ZnEnvValueSP();
    Children::const_iterator pos = find(child.get());
    if (pos == children_.end() || ++pos == children_.end()) return ZnEnvValueSP();
    return *pos;
}

// Each child's subtree is copied by the shared walk: a list met on the way
// down is copied and becomes the target of its own children until the walk
// leaves it. Copies are held by shared pointers, because appending to a
// synchronised copy runs application callbacks that may change either tree.
void ZnEnvList::cloneChildren(ZnEnvList* target) const {
    struct Target {
        ZnEnvValueSP hold;
        ZnEnvList* list;
    };
    std::vector<Target> targets;
    auto enter = [&](const ZnEnvValueSP& node, std::size_t) {
        ZnEnvValueSP copy(node->cloneNode());
        ZnEnvList* into = targets.empty() ? target : targets.back().list;
        into->append(copy);
        ZnEnvList* copyList = castToList(copy);
        if (!copyList || !isList(node)) return pxsdetail::WalkStep::Skip;
        targets.push_back({copy, copyList});
        return pxsdetail::WalkStep::Descend;
    };
    auto leave = [&](const ZnEnvValueSP&, std::size_t) { targets.pop_back(); };
    for (ZnEnvValueSP child = first(); child; child = next(child))
        pxsdetail::walkTree(child, enter, leave);
}

void ZnEnvList::append(ZnEnvValueSP child) {
    // A null child would break every walk over the list; a list holding
    // itself would never be freed.
    if (!child || child.get() == this) return;
    children_.push_back(child);
    if (index_) {
        Slot& slot =
            index_->emplace(child.get(), Slot{std::prev(children_.end()), 0}).first->second;
        ++slot.count;
    } else if (children_.size() >= kIndexThreshold) {
        buildIndex();
    }
}

void ZnEnvList::remove(ZnEnvValueSP child) {
    removeChild(child);
}

bool ZnEnvList::isList(const ZnEnvValueSP& value) {
    return value && (value->format() & ListFormat);
}

ZnEnvList* ZnEnvList::castToList(const ZnEnvValueSP& value) {
    // The bits are public (addFormat), so they alone cannot make a cast safe.
    return isList(value) ? dynamic_cast<ZnEnvList*>(value.get()) : nullptr;
}

ZnEnvValueSP ZnEnvList::childAt(std::size_t n) const {
    Children::const_iterator pos = children_.begin();
    for (; n > 0 && pos != children_.end(); --n) ++pos;
    return pos == children_.end() ? ZnEnvValueSP() : *pos;
}

// A node listed twice keeps an index entry for its first occurrence; only
// removing that one scans forward for the next.
bool ZnEnvList::removeChild(const ZnEnvValueSP& child) {
    if (!child) return false;
    Children::const_iterator hidden = children_.begin();
    for (std::size_t i = 0; i < hidden_; ++i, ++hidden)
        if (hidden->get() == child.get()) return false;
    auto same = [&child](const ZnEnvValueSP& c) { return c.get() == child.get(); };
    Children::iterator pos;
    if (index_) {
        Index::iterator entry = index_->find(child.get());
        if (entry == index_->end()) return false;
        pos = entry->second.first;
        if (--entry->second.count == 0)
            index_->erase(entry);
        else
            entry->second.first = std::find_if(std::next(pos), children_.end(), same);
    } else {
        pos = std::find_if(children_.begin(), children_.end(), same);
        if (pos == children_.end()) return false;
    }
    children_.erase(pos);
    return true;
}

void ZnEnvList::appendHidden(const ZnEnvValueSP& node) {
    ZnEnvList::append(node);
    ++hidden_;
}

ZnEnvList::Children::const_iterator ZnEnvList::find(const ZnEnvValue* child) const {
    if (index_) {
        Index::const_iterator entry = index_->find(child);
        return entry == index_->end() ? children_.end()
                                      : Children::const_iterator(entry->second.first);
    }
    return std::find_if(children_.begin(), children_.end(),
                        [child](const ZnEnvValueSP& c) { return c.get() == child; });
}

void ZnEnvList::buildIndex() {
    index_.reset(new Index);
    index_->reserve(children_.size() * 2);
    for (Children::iterator pos = children_.begin(); pos != children_.end(); ++pos)
        ++index_->emplace(pos->get(), Slot{pos, 0}).first->second.count;
}
