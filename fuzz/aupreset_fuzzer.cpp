// Feeds arbitrary bytes to the Audio Unit as an XML property list, as hosts
// and shared preset files hand presets in: parsed and restored as ClassInfo
// on one unit that stays open, and written as the factory preset file that
// "TDFactoryPresets.txt" names, which a unit opened on it loads and selects.
// Both units must stay usable after every input.

#include "fuzzed_component.h"

#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>

#include <cstdint>
#include <string>

namespace
{
constexpr char kPresetFile[] = "Fuzzed.aupreset";

fuzzing::FuzzedBundle& fuzzedBundle()
{
    static fuzzing::FuzzedBundle bundle;
    return bundle;
}

void restoreAsClassInfo(const std::uint8_t* data, std::size_t size)
{
    fuzzing::RenderingUnit& unit = fuzzedBundle().residentUnit();
    CFDataRef bytes = CFDataCreate(kCFAllocatorDefault, data, static_cast<CFIndex>(size));
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

void loadAsFactoryPreset(const std::uint8_t* data, std::size_t size)
{
    fuzzedBundle().writeResource(kPresetFile, {reinterpret_cast<const char*>(data), size});
    // A broken factory preset is left out; it never keeps the unit from opening.
    std::unique_ptr<fuzzing::RenderingUnit> unit = fuzzing::openUnit(fuzzedBundle().component());
    if (!unit)
    {
        fuzzing::stop("factory preset file", "the component does not open with the input as its factory preset");
    }
    fuzzing::selectFactoryPresets(*unit);
    fuzzing::requireUsable(*unit);
}
}  // namespace

// The copy, and with it the component's module, before the first input, so
// that the fuzzer counts the module's coverage from the start.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzedBundle().writeResource("TDFactoryPresets.txt", std::string(kPresetFile) + "\r");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    restoreAsClassInfo(data, size);
    loadAsFactoryPreset(data, size);
    return 0;
}
