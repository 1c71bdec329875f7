// CFData: a byte buffer, mutable when made by CFDataCreateMutable.
#pragma once

#include "platform/cf_object.h"

#include <CoreFoundation/CFData.h>

#include <vector>

struct __CFData final : velmora::cf::Object
{
    static constexpr velmora::cf::TypeID kTypeID = velmora::cf::TypeID::kData;

    __CFData(std::vector<UInt8> content, bool isMutable)
        : Object(kTypeID), bytes(std::move(content)), mutableFlag(isMutable)
    {}

    bool equals(const Object& other) const override { return bytes == static_cast<const __CFData&>(other).bytes; }
    CFHashCode hash() const override;
    std::string describe() const override;

    std::vector<UInt8> bytes;
    const bool mutableFlag;
};

namespace velmora::cf
{
using Data = ::__CFData;
}
