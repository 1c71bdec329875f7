#include "platform/cf_array.h"

#include "platform/cf_string.h"

#include <algorithm>
#include <cstdio>

using velmora::cf::Array;
using velmora::cf::cast;

namespace
{

const void* retainType(CFAllocatorRef, const void* value) { return CFRetain(value); }
void releaseType(CFAllocatorRef, const void* value) { CFRelease(value); }
Boolean equalType(const void* first, const void* second) { return CFEqual(first, second); }

}  // namespace

__CFArray::__CFArray(const CFArrayCallBacks* given, bool isMutable)
    : Object(kTypeID), callBacks(given ? *given : CFArrayCallBacks{}), mutableFlag(isMutable)
{}

__CFArray::~__CFArray()
{
    if (callBacks.release)
        for (const void* value : values)
            callBacks.release(nullptr, value);
}

void __CFArray::append(const void* value)
{
    values.push_back(callBacks.retain ? callBacks.retain(nullptr, value) : value);
}

bool __CFArray::equals(const Object& other) const
{
    const auto& array = static_cast<const __CFArray&>(other);
    const auto equal = callBacks.equal;
    return std::equal(values.begin(), values.end(), array.values.begin(), array.values.end(),
                      [equal](const void* a, const void* b) { return equal ? equal(a, b) != 0 : a == b; });
}

std::string __CFArray::describe() const
{
    std::string text = "(";
    for (size_t index = 0; index < values.size(); ++index)
    {
        if (index > 0)
            text += ", ";
        if (callBacks.copyDescription)
        {
            const CFStringRef description = callBacks.copyDescription(values[index]);
            text += velmora::cf::stringToUtf8(description);
            if (description)
                CFRelease(description);
        }
        else
        {
            char address[32];
            std::snprintf(address, sizeof address, "%p", values[index]);
            text += address;
        }
    }
    return text + ")";
}

extern "C" {

const CFArrayCallBacks kCFTypeArrayCallBacks = {0, retainType, releaseType, CFCopyDescription, equalType};

CFTypeID CFArrayGetTypeID(void) { return static_cast<CFTypeID>(Array::kTypeID); }

CFArrayRef CFArrayCreate(CFAllocatorRef, const void** values, CFIndex numValues, const CFArrayCallBacks* callBacks)
{
    if (numValues < 0 || (!values && numValues > 0))
        return nullptr;
    auto* array = new Array(callBacks, false);
    array->values.reserve(static_cast<size_t>(numValues));
    for (CFIndex index = 0; index < numValues; ++index)
        array->append(values[index]);
    return array;
}

CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef, CFIndex capacity, const CFArrayCallBacks* callBacks)
{
    if (capacity < 0)
        return nullptr;
    return new Array(callBacks, true);
}

CFIndex CFArrayGetCount(CFArrayRef theArray)
{
    const auto* array = cast<Array>(theArray);
    return array ? static_cast<CFIndex>(array->values.size()) : 0;
}

const void* CFArrayGetValueAtIndex(CFArrayRef theArray, CFIndex idx)
{
    const auto* array = cast<Array>(theArray);
    if (!array || idx < 0 || idx >= static_cast<CFIndex>(array->values.size()))
        return nullptr;
    return array->values[static_cast<size_t>(idx)];
}

void CFArrayAppendValue(CFMutableArrayRef theArray, const void* value)
{
    auto* array = cast<Array>(theArray);
    if (array && array->mutableFlag)
        array->append(value);
}

}  // extern "C"
