// envValue.h -- the node every configuration tree is made of: a text value,
// kept as set and after expanding one $(NAME) reference, and a weak link to
// the enclosing list so that changes can be reported upwards.
//
//   ZnEnvValueSP v(new ZnEnvValue("$(HOME)/cfg"));
//   v->unmodifiedValue();   // "$(HOME)/cfg"
//   v->value();             // "/home/me/cfg" while HOME is /home/me
//
// Ownership runs downwards only: lists own their children through
// ZnEnvValueSP, children see their parent through a weak pointer.

#ifndef PXS_ENVVALUE_H
#define PXS_ENVVALUE_H

#include <cstdint>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include <util/znString.h>

class ZnEnvValue;
typedef boost::shared_ptr<ZnEnvValue> ZnEnvValueSP;

// Kind bits; each class constructor ORs in its own, so they accumulate down
// the class tree (an object is 1|2|4).
enum ZnEnvValueFormat : uint32_t {
    ListFormat = 1,
    NamedListFormat = 2,
    ObjectFormat = 4,
    NativeFormat = 8
};

// Expands the first $(NAME) of `in` from the process environment into `out`
// (an unset NAME counts as empty); `out` is `in` when there is no such
// reference. Only the first '$' of the text is looked at.
void Modifiers(ZnString& out, const ZnString& in);

class ZnEnvValue {
public:
    explicit ZnEnvValue(const ZnString& value);
    ZnEnvValue(const ZnEnvValue&) = delete;
    ZnEnvValue& operator=(const ZnEnvValue&) = delete;
    virtual ~ZnEnvValue();

    // The value after expansion of its $(NAME) reference.
    virtual ZnString value() const;
    // The value exactly as last set.
    virtual ZnString unmodifiedValue() const;
    // Stores and expands `value` and reports the change; setting the text
    // already stored does nothing.
    virtual void setValue(const ZnString& value);
    // The enclosing node; null when there is none or it no longer exists.
    virtual ZnEnvValueSP parent() const;
    // Replaces the parent link only; the parent's children are not touched.
    virtual void setParent(ZnEnvValueSP parent);
    // This node's value changed: tells the parent.
    virtual void valueChanged();
    // A child reported a change: passes it on as a change of this node.
    virtual void childChanged(ZnEnvValue* child);
    // A new parentless node holding this one's expanded value (lists add
    // copies of their children); the caller owns it.
    virtual ZnEnvValue* clone() const;

    uint32_t format() const { return format_; }
    void addFormat(ZnEnvValueFormat bit) { format_ |= bit; }

protected:
    // The node alone, without children: what clone() copies at each level.
    // A subclass that adds state overrides this rather than clone().
    virtual ZnEnvValue* cloneNode() const;
    // Calls parent()->childChanged(this), climbing in constant stack.
    void notifyParent();

private:
    friend class ZnEnvList;  // copies subtrees level by level through cloneNode()

    uint32_t format_ = 0;
    ZnString value_;
    ZnString unmodifiedValue_;
    boost::weak_ptr<ZnEnvValue> parent_;
};

#endif
