#include "platform/cf_dictionary.h"

#include "platform/cf_string.h"

#include <cstdio>

using velmora::cf::cast;
using velmora::cf::Dictionary;

namespace
{

const void* retainType(CFAllocatorRef, const void* value) { return CFRetain(value); }
void releaseType(CFAllocatorRef, const void* value) { CFRelease(value); }
Boolean equalType(const void* first, const void* second) { return CFEqual(first, second); }

std::string describeWith(CFDictionaryCopyDescriptionCallBack copyDescription, const void* value)
{
    if (!copyDescription)
    {
        char address[32];
        std::snprintf(address, sizeof address, "%p", value);
        return address;
    }
    const CFStringRef description = copyDescription(value);
    std::string text = velmora::cf::stringToUtf8(description);
    if (description)
        CFRelease(description);
    return text;
}

}  // namespace

__CFDictionary::__CFDictionary(const CFDictionaryKeyCallBacks* keys, const CFDictionaryValueCallBacks* values,
                               bool isMutable)
    : Object(kTypeID), keyCallBacks(keys ? *keys : CFDictionaryKeyCallBacks{}),
      valueCallBacks(values ? *values : CFDictionaryValueCallBacks{}), mutableFlag(isMutable)
{}

__CFDictionary::~__CFDictionary()
{
    for (const Entry& entry : entries)
    {
        if (keyCallBacks.release)
            keyCallBacks.release(nullptr, entry.key);
        if (valueCallBacks.release)
            valueCallBacks.release(nullptr, entry.value);
    }
}

const __CFDictionary::Entry* __CFDictionary::find(const void* key) const
{
    const CFHashCode keyHash = keyCallBacks.hash ? keyCallBacks.hash(key) : reinterpret_cast<CFHashCode>(key);
    for (const Entry& entry : entries)
    {
        if (entry.hash != keyHash)
            continue;
        if (entry.key == key || (keyCallBacks.equal && keyCallBacks.equal(entry.key, key)))
            return &entry;
    }
    return nullptr;
}

void __CFDictionary::set(const void* key, const void* value)
{
    const void* kept = valueCallBacks.retain ? valueCallBacks.retain(nullptr, value) : value;
    if (const Entry* existing = find(key))
    {
        auto& entry = const_cast<Entry&>(*existing);
        const void* old = entry.value;
        entry.value = kept;
        if (valueCallBacks.release)
            valueCallBacks.release(nullptr, old);
        return;
    }
    const CFHashCode keyHash = keyCallBacks.hash ? keyCallBacks.hash(key) : reinterpret_cast<CFHashCode>(key);
    entries.push_back({keyHash, keyCallBacks.retain ? keyCallBacks.retain(nullptr, key) : key, kept});
}

bool __CFDictionary::equals(const Object& other) const
{
    const auto& dictionary = static_cast<const __CFDictionary&>(other);
    if (entries.size() != dictionary.entries.size())
        return false;
    for (const Entry& entry : entries)
    {
        const Entry* match = dictionary.find(entry.key);
        if (!match)
            return false;
        const bool same = match->value == entry.value ||
                          (valueCallBacks.equal && valueCallBacks.equal(entry.value, match->value));
        if (!same)
            return false;
    }
    return true;
}

std::string __CFDictionary::describe() const
{
    std::string text = "{";
    for (const Entry& entry : entries)
    {
        text += describeWith(keyCallBacks.copyDescription, entry.key) + " = " +
                describeWith(valueCallBacks.copyDescription, entry.value) + "; ";
    }
    return text + "}";
}

extern "C" {

const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks = {0,         retainType, releaseType, CFCopyDescription,
                                                                equalType, CFHash};
const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks = {0, retainType, releaseType, CFCopyDescription,
                                                                    equalType};

CFTypeID CFDictionaryGetTypeID(void) { return static_cast<CFTypeID>(Dictionary::kTypeID); }

CFDictionaryRef CFDictionaryCreate(CFAllocatorRef, const void** keys, const void** values, CFIndex numValues,
                                   const CFDictionaryKeyCallBacks* keyCallBacks,
                                   const CFDictionaryValueCallBacks* valueCallBacks)
{
    if (numValues < 0 || (numValues > 0 && (!keys || !values)))
        return nullptr;
    auto* dictionary = new Dictionary(keyCallBacks, valueCallBacks, false);
    for (CFIndex index = 0; index < numValues; ++index)
        dictionary->set(keys[index], values[index]);
    return dictionary;
}

CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef, CFIndex capacity,
                                                 const CFDictionaryKeyCallBacks* keyCallBacks,
                                                 const CFDictionaryValueCallBacks* valueCallBacks)
{
    if (capacity < 0)
        return nullptr;
    return new Dictionary(keyCallBacks, valueCallBacks, true);
}

CFIndex CFDictionaryGetCount(CFDictionaryRef theDict)
{
    const auto* dictionary = cast<Dictionary>(theDict);
    return dictionary ? static_cast<CFIndex>(dictionary->entries.size()) : 0;
}

const void* CFDictionaryGetValue(CFDictionaryRef theDict, const void* key)
{
    const auto* dictionary = cast<Dictionary>(theDict);
    const auto* entry = dictionary ? dictionary->find(key) : nullptr;
    return entry ? entry->value : nullptr;
}

Boolean CFDictionaryGetValueIfPresent(CFDictionaryRef theDict, const void* key, const void** value)
{
    const auto* dictionary = cast<Dictionary>(theDict);
    const auto* entry = dictionary ? dictionary->find(key) : nullptr;
    if (entry && value)
        *value = entry->value;
    return entry != nullptr;
}

Boolean CFDictionaryContainsKey(CFDictionaryRef theDict, const void* key)
{
    return CFDictionaryGetValueIfPresent(theDict, key, nullptr);
}

void CFDictionaryGetKeysAndValues(CFDictionaryRef theDict, const void** keys, const void** values)
{
    const auto* dictionary = cast<Dictionary>(theDict);
    if (!dictionary)
        return;
    for (size_t index = 0; index < dictionary->entries.size(); ++index)
    {
        if (keys)
            keys[index] = dictionary->entries[index].key;
        if (values)
            values[index] = dictionary->entries[index].value;
    }
}

void CFDictionarySetValue(CFMutableDictionaryRef theDict, const void* key, const void* value)
{
    auto* dictionary = cast<Dictionary>(theDict);
    if (dictionary && dictionary->mutableFlag)
        dictionary->set(key, value);
}

}  // extern "C"
