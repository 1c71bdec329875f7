// CFNumber (a 64-bit integer or a double, with the type it was made as) and
// the two CFBoolean constants.
#pragma once

#include "platform/cf_object.h"

#include <CoreFoundation/CFNumber.h>

struct __CFNumber final : velmora::cf::Object
{
    static constexpr velmora::cf::TypeID kTypeID = velmora::cf::TypeID::kNumber;

    __CFNumber(CFNumberType storageType, SInt64 integer, double real)
        : Object(kTypeID), type(storageType), integerValue(integer), realValue(real)
    {}

    bool isFloat() const { return type == kCFNumberFloat32Type || type == kCFNumberFloat64Type; }
    bool equals(const Object& other) const override;
    CFHashCode hash() const override;
    std::string describe() const override;

    const CFNumberType type;  // one of the fixed-size types
    const SInt64 integerValue;
    const double realValue;
};

struct __CFBoolean final : velmora::cf::Object
{
    static constexpr velmora::cf::TypeID kTypeID = velmora::cf::TypeID::kBoolean;

    explicit __CFBoolean(bool state) : Object(kTypeID), value(state) { makeImmortal(); }
    std::string describe() const override { return value ? "true" : "false"; }

    const bool value;
};

namespace velmora::cf
{
using Number = ::__CFNumber;
using BooleanObject = ::__CFBoolean;

CFNumberRef makeInteger(SInt64 value);
CFNumberRef makeReal(double value);
}  // namespace velmora::cf
