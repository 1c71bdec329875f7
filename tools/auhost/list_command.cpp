#include "auhost/au_error.h"
#include "auhost/audio_unit_instance.h"
#include "auhost/auhost_commands.h"
#include "auhost/component_bundle.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

using namespace auhost;

namespace
{
// "1.2.3" for 0x00010203: major in the top half, minor and bug fix below.
std::string versionText(ComponentResult version)
{
    const auto bits = static_cast<UInt32>(version);
    return std::to_string(bits >> 16) + "." + std::to_string((bits >> 8) & 0xFF) + "." + std::to_string(bits & 0xFF);
}

// One line of a property a unit may lack: its value, or why it has none.
void printOptional(const char* label, const std::function<std::string()>& read)
{
    try
    {
        std::printf("  %s: %s\n", label, read().c_str());
    }
    catch (const AUHostError& failure)
    {
        std::printf("  %s: not available (status %d)\n", label, static_cast<int>(failure.status()));
    }
}

std::string secondsText(Float64 seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g s", seconds);
    return text;
}

std::string channelsText(const std::vector<AUChannelInfo>& configurations)
{
    std::string text;
    for (const AUChannelInfo& configuration : configurations)
        text += (text.empty() ? "" : ", ") + std::to_string(configuration.inChannels) + " in " +
                std::to_string(configuration.outChannels) + " out";
    return text.empty() ? "none" : text;
}

void listParameters(const AudioUnitInstance& unit)
{
    const std::vector<AudioUnitParameterID> ids = unit.parameterList();
    std::printf("  parameters: %zu\n", ids.size());
    for (AudioUnitParameterID id : ids)
    {
        const ParameterDescription info = unit.parameterInfo(id);
        std::printf("    %u \"%s\" %g..%g default %g value %g unit %u flags 0x%08X\n", static_cast<unsigned>(id),
                    info.name.c_str(), info.minValue, info.maxValue, info.defaultValue, unit.parameter(id),
                    static_cast<unsigned>(info.unit), static_cast<unsigned>(info.flags));
    }
}

void listUnit(const AudioUnitInstance& unit)
{
    std::printf("  elements: %u input, %u output\n", static_cast<unsigned>(unit.elementCount(kAudioUnitScope_Input)),
                static_cast<unsigned>(unit.elementCount(kAudioUnitScope_Output)));
    printOptional("supported channels", [&] { return channelsText(unit.supportedChannels()); });
    printOptional("latency", [&] { return secondsText(unit.latency()); });
    printOptional("tail", [&] { return secondsText(unit.tailTime()); });
    listParameters(unit);
}

// The version needs an open instance: "?" for a component that does not open.
void listComponent(const ComponentEntry& entry, const AudioUnitInstance* unit)
{
    const ComponentDescription& description = entry.description;
    std::printf("%s %s %s \"%s\" version %s\n", fourCharacterCode(description.componentType).c_str(),
                fourCharacterCode(description.componentSubType).c_str(),
                fourCharacterCode(description.componentManufacturer).c_str(), entry.name.c_str(),
                unit ? versionText(unit->version()).c_str() : "?");
}
}  // namespace

// Lists what it can; a component that does not open is shown as such and
// fails the command once everything else is listed.
void listBundle(const std::string& bundlePath)
{
    registerComponentBundle(bundlePath);
    const std::vector<ComponentEntry> entries = findComponents({});
    std::vector<std::unique_ptr<AudioUnitInstance>> units;
    std::optional<AUHostError> firstFailure;
    for (const ComponentEntry& entry : entries)
    {
        try
        {
            units.push_back(std::make_unique<AudioUnitInstance>(entry.component));
        }
        catch (const AUHostError& failure)
        {
            units.push_back(nullptr);
            firstFailure = firstFailure.value_or(failure);
        }
        listComponent(entry, units.back().get());
    }
    for (size_t index = 0; index < entries.size(); ++index)
    {
        std::printf("%s:\n", entries[index].name.c_str());
        if (units[index])
            listUnit(*units[index]);
        else
            std::printf("  does not open\n");
    }
    if (firstFailure)
        throw *firstFailure;
}

Component mainComponent(const std::string& bundlePath)
{
    registerComponentBundle(bundlePath);
    const std::vector<ComponentEntry> effects = findComponents({kAudioUnitType_Effect, 0, 0, 0, 0});
    const std::vector<ComponentEntry> all = effects.empty() ? findComponents({}) : effects;
    if (all.empty())
        throw AUHostError("FindNextComponent", invalidComponentID);
    return all.front().component;
}
