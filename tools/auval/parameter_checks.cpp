// Each listed parameter: a sane range and default, and its minimum, maximum
// and default each read back as set; then the parameter calls refusing a
// scope other than global and an ID that is no parameter.

#include "auval/auval_checks.h"
#include "auval/unit_status.h"

#include "auhost/audio_unit_instance.h"

#include <cmath>
#include <cstdio>

namespace auval
{
namespace
{
std::string valueText(AudioUnitParameterValue value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// Stepped units come back exactly; continuous ones within a millionth of the
// range, what the round trip through the effect's 0..1 value costs.
void expectRetained(auhost::AudioUnitInstance& unit, const auhost::ParameterDescription& info,
                    AudioUnitParameterValue value, const char* which)
{
    unit.setParameter(info.id, value);
    const AudioUnitParameterValue got = unit.parameter(info.id);
    const bool stepped = info.unit == kAudioUnitParameterUnit_Indexed || info.unit == kAudioUnitParameterUnit_Boolean;
    const double tolerance = stepped ? 0.0 : 1e-6 * (info.maxValue - info.minValue);
    expect(std::fabs(got - value) <= tolerance,
           std::string(which) + " " + valueText(value) + " set, " + valueText(got) + " read back");
}

std::string checkParameter(auhost::AudioUnitInstance& unit, AudioUnitParameterID id)
{
    const auhost::ParameterDescription info = unit.parameterInfo(id);
    constexpr AudioUnitParameterOptions kReadWrite = kAudioUnitParameterFlag_IsReadable |
                                                     kAudioUnitParameterFlag_IsWritable;
    expect((info.flags & kReadWrite) == kReadWrite, "not flagged readable and writable");
    expect(std::isfinite(info.minValue) && std::isfinite(info.maxValue) && info.minValue < info.maxValue,
           "range " + valueText(info.minValue) + ".." + valueText(info.maxValue) + " is empty");
    expect(info.minValue <= info.defaultValue && info.defaultValue <= info.maxValue,
           "default " + valueText(info.defaultValue) + " outside " + valueText(info.minValue) + ".." +
               valueText(info.maxValue));
    const AudioUnitParameterValue original = unit.parameter(id);
    expectRetained(unit, info, info.minValue, "minimum");
    expectRetained(unit, info, info.maxValue, "maximum");
    expectRetained(unit, info, info.defaultValue, "default");
    unit.setParameter(id, original);
    return valueText(info.minValue) + ".." + valueText(info.maxValue) + " default " + valueText(info.defaultValue) +
           " retained";
}

std::string checkParameterCalls(AudioUnit unit, const std::vector<AudioUnitParameterID>& ids)
{
    constexpr AudioUnitParameterID kNoParameter = 0x7FFFFFFF;
    AudioUnitParameterValue value = 0.0f;
    expectStatus(AudioUnitGetParameter(unit, kNoParameter, kAudioUnitScope_Global, 0, &value),
                 kAudioUnitErr_InvalidParameter, "get of an unknown parameter");
    expectStatus(AudioUnitSetParameter(unit, kNoParameter, kAudioUnitScope_Global, 0, 0.0f, 0),
                 kAudioUnitErr_InvalidParameter, "set of an unknown parameter");
    if (ids.empty())
        return "unknown ID refused";
    expectStatus(AudioUnitGetParameter(unit, ids.front(), kAudioUnitScope_Input, 0, &value), kAudioUnitErr_InvalidScope,
                 "get in input scope");
    expectStatus(AudioUnitSetParameter(unit, ids.front(), kAudioUnitScope_Input, 0, 0.0f, 0),
                 kAudioUnitErr_InvalidScope, "set in input scope");
    return "unknown ID and input scope refused";
}
}  // namespace

void checkParameters(CheckTable& table, Component component)
{
    auhost::AudioUnitInstance unit(component);
    std::vector<AudioUnitParameterID> ids;
    table.check("parameters", "parameter list", [&] {
        ids = unit.parameterList();
        return std::to_string(ids.size()) + " parameters";
    });
    for (const AudioUnitParameterID id : ids)
    {
        std::string name = std::to_string(id);
        try
        {
            name += " \"" + unit.parameterInfo(id).name + "\"";
        }
        catch (const std::exception&)
        {
            // The check itself reports the failing info.
        }
        table.check("parameters", name, [&] { return checkParameter(unit, id); });
    }
    table.check("parameters", "parameter calls", [&] { return checkParameterCalls(unit.unit(), ids); });
}
}  // namespace auval
