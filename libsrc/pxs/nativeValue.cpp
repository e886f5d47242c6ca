// nativeValue.cpp -- host pointers hung into a configuration tree.

#include "nativeValue.h"

#include <boost/make_shared.hpp>

ZnNativeValue::ZnNativeValue(const ZnString& type, void* pointer)
    : ZnEnvValue(type), nativeValue_(pointer) {
    addFormat(NativeFormat);
}

ZnNativeValue::~ZnNativeValue() { nativeValue_ = nullptr; }

ZnEnvValueSP ZnNativeValue::create(const ZnString& type, void* pointer) {
    return boost::make_shared<ZnNativeValue>(type, pointer);
}

ZnString ZnNativeValue::nativeType() const { return value(); }

void* ZnNativeValue::nativeValue() const { return nativeValue_; }

bool ZnNativeValue::isNativeValue(const ZnEnvValueSP& value) {
    return value && (value->format() & NativeFormat);
}

ZnNativeValue* ZnNativeValue::castToNativeValue(const ZnEnvValueSP& value) {
    return isNativeValue(value) ? dynamic_cast<ZnNativeValue*>(value.get()) : nullptr;
}
