// Feeds arbitrary bytes to the Audio Unit where it takes them in as a whole
// unit; the first byte chooses where, the rest is the content:
//   0: a property list restored as ClassInfo on one unit that stays open;
//   1: the factory preset file that "TDFactoryPresets.txt" names,
//   2: "TDParameters.txt",
//   3: "TDFactoryPresets.txt",
// each written into the bundle copy and read by a unit opened on it (the
// component reads them only when it opens). A unit must open, or be refused
// with a status where the mapping is broken, and stay usable.

#include "fuzzed_component.h"

#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace
{
constexpr char kPresetFile[] = "Fuzzed.aupreset";
constexpr char kMappingFile[] = "TDParameters.txt";
constexpr char kListFile[] = "TDFactoryPresets.txt";

enum Destination : std::uint8_t
{
    classInfo,
    factoryPreset,
    mapping,
    factoryList,
    destinationCount
};

fuzzing::FuzzedBundle& fuzzedBundle()
{
    static fuzzing::FuzzedBundle bundle;
    return bundle;
}

void restoreAsClassInfo(std::string_view content)
{
    fuzzing::RenderingUnit& unit = fuzzedBundle().residentUnit();
    CFDataRef bytes = CFDataCreate(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(content.data()),
                                   static_cast<CFIndex>(content.size()));
    CFErrorRef error = nullptr;
    CFPropertyListRef preset = CFPropertyListCreateWithData(kCFAllocatorDefault, bytes, kCFPropertyListImmutable,
                                                            nullptr, &error);
    // A host may hand in whatever it parsed, nothing included.
    AudioUnitSetProperty(unit.instance->unit(), kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &preset,
                         sizeof preset);
    for (CFTypeRef owned :
         {static_cast<CFTypeRef>(preset), static_cast<CFTypeRef>(error), static_cast<CFTypeRef>(bytes)})
    {
        if (owned != nullptr)
        {
            CFRelease(owned);
        }
    }
    fuzzing::requireUsable(unit);
    CFPropertyListRef saved = nullptr;
    UInt32 savedSize = sizeof saved;
    if (AudioUnitGetProperty(unit.instance->unit(), kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &saved,
                             &savedSize) != noErr)
    {
        fuzzing::stop("ClassInfo", "the unit's state cannot be saved after the input");
    }
    CFRelease(saved);
}

// Each resource as the component wrote it but the one fuzzed; the fuzzed
// factory preset file is listed alone. A broken factory preset or list ends
// the loading of factory presets, never the unit; an empty mapping or one of
// too many parameters refuses it.
void openWith(const char* resource, std::string_view content)
{
    fuzzing::FuzzedBundle& bundle = fuzzedBundle();
    bundle.restoreResource(kMappingFile);
    bundle.restoreResource(kListFile);
    if (resource == kPresetFile)
    {
        bundle.writeResource(kListFile, std::string(kPresetFile) + "\r");
    }
    bundle.writeResource(resource, content);
    std::unique_ptr<fuzzing::RenderingUnit> unit = fuzzing::openUnit(bundle.component());
    if (unit)
    {
        fuzzing::selectFactoryPresets(*unit);
        fuzzing::requireUsable(*unit);
    }
    else if (resource != kMappingFile)
    {
        fuzzing::stop(resource, "the component does not open with the input in it");
    }
}
}  // namespace

// The copy, and with it the component's module, before the first input, so
// that the fuzzer counts the module's coverage from the start.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzedBundle();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
    {
        return 0;
    }
    const std::string_view content(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % destinationCount)
    {
    case classInfo: restoreAsClassInfo(content); break;
    case factoryPreset: openWith(kPresetFile, content); break;
    case mapping: openWith(kMappingFile, content); break;
    default: openWith(kListFile, content); break;
    }
    return 0;
}
