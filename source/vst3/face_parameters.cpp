#include "vst3/face_parameters.h"

#include "vst3/utf16_text.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace velmora::vst3face
{
namespace
{
constexpr char kBypassTitle[] = "Bypass";
constexpr char kProgramTitle[] = "Program";

int stepCountOf(vst3::ParamID id)
{
    if (id < kNumParams)
        return kParameters[id].stepCount;
    return id == kProgramId ? kNumPrograms - 1 : 1;
}

bool isSwitchText(const std::string& text, bool& on)
{
    float value = 0.0f;
    if (!parseParameterDisplay(kParameters[kOnOff], text.c_str(), value))
        return false;
    on = value != 0.0f;
    return true;
}
}  // namespace

bool isParameter(vst3::ParamID id) { return id <= kProgramId; }

bool describeParameter(vst3::int32 index, vst3::ParameterInfo& info)
{
    if (index < 0 || index >= kParameterCount)
        return false;
    info = {};
    const auto id = static_cast<vst3::ParamID>(index);
    info.id = id;
    info.stepCount = stepCountOf(id);
    info.unitId = vst3::kRootUnitId;
    if (id < kNumParams)
    {
        const ParameterInfo& parameter = kParameters[id];
        copyUtf16(parameter.name, info.title, std::size(info.title));
        copyUtf16(parameter.name, info.shortTitle, std::size(info.shortTitle));
        copyUtf16(parameter.unit, info.units, std::size(info.units));
        info.defaultNormalizedValue = normalizedOfEffectValue(id, parameter.defaultValue);
        info.flags = vst3::ParameterInfo::kCanAutomate;
    }
    else if (id == kBypassId)
    {
        copyUtf16(kBypassTitle, info.title, std::size(info.title));
        copyUtf16(kBypassTitle, info.shortTitle, std::size(info.shortTitle));
        info.flags = vst3::ParameterInfo::kCanAutomate | vst3::ParameterInfo::kIsBypass;
    }
    else
    {
        copyUtf16(kProgramTitle, info.title, std::size(info.title));
        copyUtf16(kProgramTitle, info.shortTitle, std::size(info.shortTitle));
        info.flags = vst3::ParameterInfo::kIsProgramChange | vst3::ParameterInfo::kIsList;
    }
    return true;
}

int stepOf(vst3::ParamID id, vst3::ParamValue normalized)
{
    const int steps = stepCountOf(id);
    if (steps == 0 || !(normalized > 0.0))
        return 0;
    return static_cast<int>(std::min<double>(steps, std::floor(normalized * (steps + 1))));
}

vst3::ParamValue normalizedOfStep(vst3::ParamID id, int step)
{
    const int steps = stepCountOf(id);
    return steps == 0 ? 0.0 : static_cast<double>(std::clamp(step, 0, steps)) / steps;
}

float effectValueOf(vst3::ParamID id, vst3::ParamValue normalized)
{
    return stepCountOf(id) == 0 ? static_cast<float>(normalized) : static_cast<float>(stepOf(id, normalized));
}

vst3::ParamValue normalizedOfEffectValue(vst3::ParamID id, float value)
{
    return stepCountOf(id) == 0 ? static_cast<double>(value) : normalizedOfStep(id, value != 0.0f ? 1 : 0);
}

vst3::ParamValue plainOf(vst3::ParamID id, vst3::ParamValue normalized)
{
    if (stepCountOf(id) != 0)
        return stepOf(id, normalized);
    return normalized * kParameters[id].plainScale;
}

vst3::ParamValue normalizedOfPlain(vst3::ParamID id, vst3::ParamValue plain)
{
    if (stepCountOf(id) != 0)
        return normalizedOfStep(id, static_cast<int>(std::lround(std::clamp(plain, -1.0, 1e6))));
    return std::clamp(plain / kParameters[id].plainScale, 0.0, 1.0);
}

std::string programTitle(const ComponentState& programs, int program)
{
    const char* name = programs.programs[static_cast<std::size_t>(program)].name;
    if (std::strcmp(name, VelmoraPrg::kInitialName) != 0)
        return name;
    return std::string(name) + " " + std::to_string(program + 1);
}

std::string textOf(vst3::ParamID id, vst3::ParamValue normalized, const ComponentState& programs)
{
    if (id < kNumParams)
    {
        char text[kParameterTextBytes];
        formatParameterDisplay(kParameters[id], effectValueOf(id, normalized), text);
        return text;
    }
    if (id == kBypassId)
        return stepOf(id, normalized) != 0 ? "on" : "off";
    return programTitle(programs, stepOf(id, normalized));
}

bool valueOfText(vst3::ParamID id, const std::string& text, const ComponentState& programs,
                 vst3::ParamValue& normalized)
{
    if (id < kNumParams)
    {
        float value = 0.0f;
        if (!parseParameterDisplay(kParameters[id], text.c_str(), value))
            return false;
        // A value typed beyond the range means its end: hosts pass it on as it is.
        normalized = std::clamp(normalizedOfEffectValue(id, value), 0.0, 1.0);
        return true;
    }
    if (id == kBypassId)
    {
        bool on = false;
        if (!isSwitchText(text, on))
            return false;
        normalized = on ? 1.0 : 0.0;
        return true;
    }
    for (int program = 0; program < kNumPrograms; ++program)
        if (programTitle(programs, program) == text)
        {
            normalized = normalizedOfStep(id, program);
            return true;
        }
    return false;
}
}  // namespace velmora::vst3face
