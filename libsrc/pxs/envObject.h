// envObject.h -- the usual container of a configuration tree: a named list
// with a type, an index of its named children (attributes and child
// objects) and, optionally, a synchroniser told about its changes.
//
//   ZnEnvObject link("main", "link", "");
//   link.type();                 // "link"
//   link.attributeValue("port"); // "" until a named list "port" is appended
//
// The type lives in a second hidden child, right after the name node.

#ifndef PXS_ENVOBJECT_H
#define PXS_ENVOBJECT_H

#include <map>

#include <pxs/envNamedList.h>

class ZnEnvObjectSync;

class ZnEnvObject : public ZnEnvNamedList {
public:
    ZnEnvObject(const ZnString& name, const ZnString& type, const ZnString& value);

    // With a synchroniser: its objectChangedCB(this), and no further.
    void valueChanged() override;
    // With a synchroniser: its unboundAttributeSyncInCB(child), and no further.
    void childChanged(ZnEnvValue* child) override;
    // The first child after the hidden name and type nodes; null when none.
    ZnEnvValueSP first() const override;
    // Indexes a named child by its name, appends it, then tells the synchroniser.
    void append(ZnEnvValueSP child) override;
    // Drops the name from the index, removes the child, tells the
    // synchroniser; a node that is not a child changes nothing.
    void remove(ZnEnvValueSP child) override;

    // The type node's expanded value.
    virtual ZnString type() const;
    virtual void setType(const ZnString& type);
    // The attached synchroniser; null when there is none.
    virtual ZnEnvObjectSync* sync() const;
    // Attaches `sync` (not owned; null detaches) and, when it is not null,
    // calls its objectChangedCB(this).
    virtual void setSync(ZnEnvObjectSync* sync);

    // The named child last indexed under `name`; null when there is none or it is gone.
    ZnEnvValueSP attribute(const ZnString& name) const;
    // That child's expanded value; empty when there is no such child.
    ZnString attributeValue(const ZnString& name) const;

    // Each false for null.
    static bool isObject(ZnEnvValueSP value);
    static bool isObject(ZnEnvValueSP value, const ZnString& type);
    static bool isObject(ZnEnvValueSP value, const ZnString& name, const ZnString& type);
    // Null when `value` is null or not an object.
    static ZnEnvObject* castToObject(ZnEnvValueSP value);

protected:
    // Name, type and value; the synchroniser stays with the original.
    ZnEnvValue* cloneNode() const override;

private:
    std::map<ZnString, boost::weak_ptr<ZnEnvValue>> attributes_;
    ZnEnvObjectSync* sync_ = nullptr;
};

#endif
