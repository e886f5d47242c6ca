// envList.h -- a tree value with an ordered list of children, which it owns.
//
//   for (ZnEnvValueSP c = list->first(); c; c = list->next(c)) ...
//
// That loop is linear in the number of children: next() finds its argument
// through an index once a list grows long, not by scanning from the front.

#ifndef PXS_ENVLIST_H
#define PXS_ENVLIST_H

#include <cstddef>
#include <list>
#include <memory>
#include <unordered_map>

#include <pxs/envValue.h>

class ZnEnvList : public ZnEnvValue {
public:
    explicit ZnEnvList(const ZnString& value);
    ~ZnEnvList() override;

    // A parentless deep copy: a list of the same class with copies of the
    // children that first()/next() yield.
    ZnEnvValue* clone() const override;
    // The first child; null when there is none.
    virtual ZnEnvValueSP first() const;
    // The last child, hidden name/type nodes included; null when there is none.
    virtual ZnEnvValueSP last() const;
    // The child after the first occurrence of `child`; null when `child` is
    // null, not a child, or the last one.
    virtual ZnEnvValueSP next(ZnEnvValueSP child) const;
    // Appends to `target` a copy of every child from first() on, whole subtrees.
    virtual void cloneChildren(ZnEnvList* target) const;
    // Adds at the end; sets no parent link and sends no notification. A null
    // child or the list itself is not added.
    virtual void append(ZnEnvValueSP child);
    // Removes the first occurrence; an absent child, or a hidden name or
    // type node, is ignored. The removed node keeps its parent link.
    virtual void remove(ZnEnvValueSP child);

    // False for null.
    static bool isList(const ZnEnvValueSP& value);
    // Null when `value` is null or not a list.
    static ZnEnvList* castToList(const ZnEnvValueSP& value);

protected:
    ZnEnvValue* cloneNode() const override;
    // The child at position `n`, hidden nodes counted; null past the end.
    // Named lists and objects start their first() here.
    ZnEnvValueSP childAt(std::size_t n) const;
    // Removes the first occurrence; false when `child` is not a child or is
    // one of the hidden leading nodes.
    bool removeChild(const ZnEnvValueSP& child);
    // Marks the first child appended as hidden (a name or type node), so
    // that no remove() can take it and break the named-list layout.
    void appendHidden(const ZnEnvValueSP& node);

private:
    using Children = std::list<ZnEnvValueSP>;
    // Where a node first occurs among the children, and how often it does.
    struct Slot {
        Children::iterator first;
        std::size_t count;
    };
    using Index = std::unordered_map<const ZnEnvValue*, Slot>;

    Children::const_iterator find(const ZnEnvValue* child) const;
    void buildIndex();

    Children children_;
    std::size_t hidden_ = 0;        // leading children first() skips
    std::unique_ptr<Index> index_;  // built once the list is long; kept up to date after
};

#endif
