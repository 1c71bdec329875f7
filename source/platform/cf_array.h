// CFArray: pointers with the callbacks given at creation.
#pragma once

#include "platform/cf_object.h"

#include <CoreFoundation/CFArray.h>

#include <vector>

struct __CFArray final : velmora::cf::Object
{
    static constexpr velmora::cf::TypeID kTypeID = velmora::cf::TypeID::kArray;

    __CFArray(const CFArrayCallBacks* callBacks, bool isMutable);
    ~__CFArray() override;

    void append(const void* value);
    bool equals(const Object& other) const override;
    CFHashCode hash() const override { return values.size(); }
    std::string describe() const override;

    const CFArrayCallBacks callBacks;  // all null when created without callbacks
    const bool mutableFlag;
    std::vector<const void*> values;
};

namespace velmora::cf
{
using Array = ::__CFArray;
}
