// nativeValue.h -- a tree node that carries a host pointer, untyped and not
// owned, with a text naming its type as the node's value.
//
//   ZnEnvValueSP n = ZnNativeValue::create("Federate", &federate);
//   ZnNativeValue::castToNativeValue(n)->nativeValue();   // &federate
//
// Copies of the tree do not copy the pointer: a clone is a plain value
// holding the type text.

#ifndef PXS_NATIVEVALUE_H
#define PXS_NATIVEVALUE_H

#include <pxs/envValue.h>

class ZnNativeValue : public ZnEnvValue {
public:
    ZnNativeValue(const ZnString& type, void* pointer);
    ~ZnNativeValue() override;

    // A new node in a shared pointer.
    static ZnEnvValueSP create(const ZnString& type, void* pointer);
    // The type text (the node's value).
    ZnString nativeType() const;
    // The host pointer.
    void* nativeValue() const;

    // False for null.
    static bool isNativeValue(const ZnEnvValueSP& value);
    // Null when `value` is null or not a native value.
    static ZnNativeValue* castToNativeValue(const ZnEnvValueSP& value);

private:
    void* nativeValue_;
};

#endif
