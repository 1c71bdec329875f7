#include "platform/cf_data.h"

#include <cstdio>

using velmora::cf::cast;
using velmora::cf::Data;

CFHashCode __CFData::hash() const
{
    // Length plus the first bytes, as a cheap but spreading hash.
    CFHashCode value = bytes.size();
    for (size_t index = 0; index < bytes.size() && index < 64; ++index)
        value = value * 31 + bytes[index];
    return value;
}

std::string __CFData::describe() const
{
    std::string text = "<";
    char hex[3];
    for (const UInt8 byte : bytes)
    {
        std::snprintf(hex, sizeof hex, "%02x", byte);
        text += hex;
    }
    return text + ">";
}

extern "C" {

CFTypeID CFDataGetTypeID(void) { return static_cast<CFTypeID>(Data::kTypeID); }

CFDataRef CFDataCreate(CFAllocatorRef, const UInt8* bytes, CFIndex length)
{
    if (length < 0 || (!bytes && length > 0))
        return nullptr;
    return new Data(std::vector<UInt8>(bytes, bytes + length), false);
}

CFMutableDataRef CFDataCreateMutable(CFAllocatorRef, CFIndex capacity)
{
    if (capacity < 0)
        return nullptr;
    auto* data = new Data({}, true);
    data->bytes.reserve(static_cast<size_t>(capacity));
    return data;
}

CFIndex CFDataGetLength(CFDataRef theData)
{
    const auto* data = cast<Data>(theData);
    return data ? static_cast<CFIndex>(data->bytes.size()) : 0;
}

const UInt8* CFDataGetBytePtr(CFDataRef theData)
{
    const auto* data = cast<Data>(theData);
    return data ? data->bytes.data() : nullptr;
}

UInt8* CFDataGetMutableBytePtr(CFMutableDataRef theData)
{
    auto* data = cast<Data>(theData);
    return data && data->mutableFlag ? data->bytes.data() : nullptr;
}

void CFDataAppendBytes(CFMutableDataRef theData, const UInt8* bytes, CFIndex length)
{
    auto* data = cast<Data>(theData);
    if (!data || !data->mutableFlag || !bytes || length <= 0)
        return;
    data->bytes.insert(data->bytes.end(), bytes, bytes + length);
}

}  // extern "C"
