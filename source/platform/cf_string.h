// CFString: immutable UTF-16 text with a UTF-8 copy kept for C access.
#pragma once

#include "platform/cf_object.h"

#include <CoreFoundation/CFString.h>

#include <string>
#include <string_view>

struct __CFString final : velmora::cf::Object
{
    static constexpr velmora::cf::TypeID kTypeID = velmora::cf::TypeID::kString;

    explicit __CFString(std::u16string text);

    // Null when bytes are not valid UTF-8.
    static CFStringRef createFromUTF8(std::string_view bytes);
    static CFStringRef create(std::u16string text);

    bool equals(const Object& other) const override;
    CFHashCode hash() const override;
    std::string describe() const override { return utf8; }

    const std::u16string units;
    const std::string utf8;
    const bool asciiOnly;
};

namespace velmora::cf
{
using String = ::__CFString;

// UTF-8 text of a CF string; empty for null or a non-string.
std::string stringToUtf8(CFStringRef string);
}  // namespace velmora::cf
