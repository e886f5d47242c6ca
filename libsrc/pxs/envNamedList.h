// envNamedList.h -- a list that carries a name: an attribute (its value is
// the attribute's value) or a named section.
//
//   ZnEnvNamedList port("port", "5");   // port.name() == "port", value "5"
//
// The name lives in a hidden first child, which first()/next() never yield.

#ifndef PXS_ENVNAMEDLIST_H
#define PXS_ENVNAMEDLIST_H

#include <pxs/envList.h>

class ZnEnvNamedList : public ZnEnvList {
public:
    ZnEnvNamedList(const ZnString& name, const ZnString& value);

    // The first child after the hidden name node; null when there is none.
    ZnEnvValueSP first() const override;
    // The name node's expanded value.
    virtual ZnString name() const;
    // Sets (and expands) the name; sends no notification beyond the name node.
    virtual void setName(const ZnString& name);

    // False for null.
    static bool isNamedList(ZnEnvValueSP value);
    // Null when `value` is null or not a named list.
    static ZnEnvNamedList* castToNamedList(ZnEnvValueSP value);

protected:
    ZnEnvValue* cloneNode() const override;
};

#endif
