// Feeds arbitrary bytes to the property-list reader as a preset, without a
// unit: read as hosts read ClassInfo and as the component reads a factory
// preset file, then looked up as the component looks up a preset dictionary.
// Whatever is read must write out as XML and read back equal.

#include "fuzz_stop.h"

#include "tandem/cf_handle.h"
#include "tandem/preset_files.h"
#include "tandem/tandem_exceptions.h"

#include <CoreFoundation/CoreFoundation.h>

#include <cstdint>

namespace
{
void lookUpAsPreset(CFPropertyListRef preset)
{
    try
    {
        const CFDictionaryRef dictionary = presetDictionary(preset);
        for (const CFStringRef key :
             {CFSTR("version"), CFSTR("type"), CFSTR("subtype"), CFSTR("manufacturer"), CFSTR("ProgramNumber")})
        {
            presetNumber(dictionary, key);
        }
        presetValue(dictionary, CFSTR("name"), CFStringGetTypeID());
        bytesOf(static_cast<CFDataRef>(presetValue(dictionary, CFSTR("vstdata"), CFDataGetTypeID())));
    }
    catch (const TandemException&)
    {}
}

void requireRoundTrip(CFPropertyListRef read)
{
    CFHandle<CFDataRef> written(CFPropertyListCreateXMLData(kCFAllocatorDefault, read));
    if (written.get() == nullptr)
    {
        fuzzing::stop("preset property list", "a list read cannot be written");
    }
    CFHandle<CFPropertyListRef> again(
        CFPropertyListCreateFromXMLData(kCFAllocatorDefault, written.get(), kCFPropertyListImmutable, nullptr));
    if (again.get() == nullptr || !CFEqual(read, again.get()))
    {
        fuzzing::stop("preset property list", "a list written reads back different");
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CFHandle<CFDataRef> bytes(CFDataCreate(kCFAllocatorDefault, data, static_cast<CFIndex>(size)));
    CFErrorRef error = nullptr;
    CFHandle<CFPropertyListRef> classInfo(
        CFPropertyListCreateWithData(kCFAllocatorDefault, bytes.get(), kCFPropertyListImmutable, nullptr, &error));
    CFHandle<CFErrorRef> classInfoError(error);
    CFStringRef errorString = nullptr;
    CFHandle<CFPropertyListRef> factoryPreset(
        CFPropertyListCreateFromXMLData(kCFAllocatorDefault, bytes.get(), kCFPropertyListImmutable, &errorString));
    CFHandle<CFStringRef> factoryPresetError(errorString);
    for (const CFPropertyListRef read : {classInfo.get(), factoryPreset.get()})
    {
        if (read != nullptr)
        {
            lookUpAsPreset(read);
            requireRoundTrip(read);
        }
    }
    return 0;
}
