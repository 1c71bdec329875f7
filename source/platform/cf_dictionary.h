// CFDictionary: entries in insertion order, looked up by hash then equality.
#pragma once

#include "platform/cf_object.h"

#include <CoreFoundation/CFDictionary.h>

#include <vector>

struct __CFDictionary final : velmora::cf::Object
{
    static constexpr velmora::cf::TypeID kTypeID = velmora::cf::TypeID::kDictionary;

    struct Entry
    {
        CFHashCode hash;
        const void* key;
        const void* value;
    };

    __CFDictionary(const CFDictionaryKeyCallBacks* keyCallBacks, const CFDictionaryValueCallBacks* valueCallBacks,
                   bool isMutable);
    ~__CFDictionary() override;

    const Entry* find(const void* key) const;
    void set(const void* key, const void* value);

    bool equals(const Object& other) const override;
    CFHashCode hash() const override { return entries.size(); }
    std::string describe() const override;

    const CFDictionaryKeyCallBacks keyCallBacks;  // all null when created without
    const CFDictionaryValueCallBacks valueCallBacks;
    const bool mutableFlag;
    std::vector<Entry> entries;
};

namespace velmora::cf
{
using Dictionary = ::__CFDictionary;
}
