// Presets as a host saves and restores them: the ClassInfo dictionary brings
// back parameters and program name after the effect was changed, and every
// factory preset can be selected and is then the present one.

#include "auval/auval_checks.h"
#include "auval/unit_status.h"

#include "auhost/au_error.h"
#include "auhost/audio_unit_instance.h"

#include <cmath>
#include <memory>

namespace auval
{
namespace
{
struct Releaser
{
    void operator()(CFTypeRef object) const
    {
        if (object)
            CFRelease(object);
    }
};
using Owned = std::unique_ptr<const void, Releaser>;

std::string text(CFStringRef string)
{
    if (!string)
        return "(no name)";
    char buffer[1024];
    return CFStringGetCString(string, buffer, sizeof buffer, kCFStringEncodingUTF8) ? buffer : "(unreadable name)";
}

// The program name, as the present preset names it.
std::string presentName(AudioUnit unit)
{
    AUPreset preset{};
    UInt32 size = sizeof preset;
    auhost::check(
        AudioUnitGetProperty(unit, kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0, &preset, &size),
        "AudioUnitGetProperty (PresentPreset)");
    const Owned name(preset.presetName);
    return text(preset.presetName);
}

void setCurrentPreset(AudioUnit unit, const AUPreset& preset)
{
    auhost::check(
        AudioUnitSetProperty(unit, kAudioUnitProperty_CurrentPreset, kAudioUnitScope_Global, 0, &preset, sizeof preset),
        "AudioUnitSetProperty (CurrentPreset)");
}

// A value a quarter or three quarters into the range, whichever is further
// from `current`.
AudioUnitParameterValue otherValue(const auhost::ParameterDescription& info, AudioUnitParameterValue current)
{
    const AudioUnitParameterValue range = info.maxValue - info.minValue;
    const AudioUnitParameterValue low = info.minValue + 0.25f * range, high = info.minValue + 0.75f * range;
    const AudioUnitParameterValue value = std::fabs(current - low) > std::fabs(current - high) ? low : high;
    const bool stepped = info.unit == kAudioUnitParameterUnit_Indexed || info.unit == kAudioUnitParameterUnit_Boolean;
    return stepped ? std::round(value) : value;
}

std::string checkClassInfoRoundTrip(Component component)
{
    auhost::AudioUnitInstance unit(component);
    const std::vector<AudioUnitParameterID> ids = unit.parameterList();
    std::vector<AudioUnitParameterValue> saved;
    for (const AudioUnitParameterID id : ids)
        saved.push_back(unit.parameter(id));
    const std::string savedName = presentName(unit.unit());

    const Owned classInfo(unit.property<CFPropertyListRef>(kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0));
    expect(classInfo && CFGetTypeID(classInfo.get()) == CFDictionaryGetTypeID(), "ClassInfo is no dictionary");

    int changed = 0;
    for (size_t index = 0; index < ids.size(); ++index)
    {
        unit.setParameter(ids[index], otherValue(unit.parameterInfo(ids[index]), saved[index]));
        changed += unit.parameter(ids[index]) != saved[index];
    }
    setCurrentPreset(unit.unit(), {-1, CFSTR("auval: changed")});
    expect(presentName(unit.unit()) != savedName, "renaming the program changed nothing");

    const CFPropertyListRef restore = classInfo.get();
    unit.setProperty(kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, restore);
    for (size_t index = 0; index < ids.size(); ++index)
    {
        const auhost::ParameterDescription info = unit.parameterInfo(ids[index]);
        const AudioUnitParameterValue got = unit.parameter(ids[index]);
        expect(std::fabs(got - saved[index]) <= 1e-6 * (info.maxValue - info.minValue),
               "parameter " + std::to_string(ids[index]) + " is " + std::to_string(got) + " after the restore, " +
                   std::to_string(saved[index]) + " before the change");
    }
    const std::string restoredName = presentName(unit.unit());
    expect(restoredName == savedName,
           "program name \"" + restoredName + "\" after the restore, \"" + savedName + "\" before the change");
    return std::to_string(changed) + " of " + std::to_string(ids.size()) + " parameters and the name \"" + savedName +
           "\" restored";
}

std::string checkFactoryPresets(Component component)
{
    auhost::AudioUnitInstance unit(component);
    CFArrayRef presets = nullptr;
    try
    {
        presets = unit.property<CFArrayRef>(kAudioUnitProperty_FactoryPresets, kAudioUnitScope_Global, 0);
    }
    catch (const auhost::AUHostError& failure)
    {
        expectStatus(failure.status(), kAudioUnitErr_InvalidProperty, "FactoryPresets");
        return "none offered";
    }
    const Owned owner(presets);
    expect(presets && CFGetTypeID(presets) == CFArrayGetTypeID(), "FactoryPresets is no array");
    const CFIndex count = CFArrayGetCount(presets);
    for (CFIndex index = 0; index < count; ++index)
    {
        const auto* preset = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(presets, index));
        expect(preset->presetNumber == index,
               "preset " + std::to_string(index) + " is numbered " + std::to_string(preset->presetNumber));
        setCurrentPreset(unit.unit(), *preset);
        AUPreset present{};
        UInt32 size = sizeof present;
        expectStatus(AudioUnitGetProperty(unit.unit(), kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0,
                                          &present, &size),
                     noErr, "PresentPreset after selecting preset " + std::to_string(index));
        const Owned presentName(present.presetName);
        expect(present.presetNumber == index && text(present.presetName) == text(preset->presetName),
               "preset " + std::to_string(index) + " \"" + text(preset->presetName) + "\" selected, " +
                   std::to_string(present.presetNumber) + " \"" + text(present.presetName) + "\" present");
    }
    const AUPreset beyond = {static_cast<SInt32>(count), CFSTR("beyond")};
    expectStatus(AudioUnitSetProperty(unit.unit(), kAudioUnitProperty_CurrentPreset, kAudioUnitScope_Global, 0, &beyond,
                                      sizeof beyond),
                 kAudioUnitErr_InvalidPropertyValue, "selecting preset " + std::to_string(count));
    return std::to_string(count) + " selected, the next number refused";
}
}  // namespace

void checkPresets(CheckTable& table, Component component)
{
    table.check("presets", "ClassInfo round trip", [&] { return checkClassInfoRoundTrip(component); });
    table.check("presets", "factory presets", [&] { return checkFactoryPresets(component); });
}
}  // namespace auval
