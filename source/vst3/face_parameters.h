#pragma once
// The VST3 face's parameters: the effect's three under their own indexes as
// ids, then the host's bypass switch and the program choice. Everything a
// host learns of the first three follows from the effect's parameter table.
// Values at the interface are normalized; stepped ones (on/off, bypass,
// program) take the step a normalized value falls in.

#include "vst3/abi/editing.h"
#include "vst3/component_state.h"

#include <string>

namespace velmora::vst3face
{
enum ParameterId : vst3::ParamID
{
    kOnOffId = kOnOff,
    kSizeId = kSize,
    kDryWetId = kDryWet,
    kBypassId,   // 1 = bypassed: the width fades out, on/off keeps its value
    kProgramId,  // the program list's choice
};
inline constexpr vst3::int32 kParameterCount = kProgramId + 1;

inline constexpr vst3::ProgramListID kProgramListId = 1;

// False for an index outside the table.
bool describeParameter(vst3::int32 index, vst3::ParameterInfo& info);
bool isParameter(vst3::ParamID id);

// The step a normalized value falls in (0 for continuous parameters).
int stepOf(vst3::ParamID id, vst3::ParamValue normalized);
vst3::ParamValue normalizedOfStep(vst3::ParamID id, int step);
// An effect parameter's value (0..1 as the other faces hold it) and back.
float effectValueOf(vst3::ParamID id, vst3::ParamValue normalized);
vst3::ParamValue normalizedOfEffectValue(vst3::ParamID id, float value);

vst3::ParamValue plainOf(vst3::ParamID id, vst3::ParamValue normalized);
vst3::ParamValue normalizedOfPlain(vst3::ParamID id, vst3::ParamValue plain);

// Display texts as the VST 2 face shows them; a program's is its name.
std::string textOf(vst3::ParamID id, vst3::ParamValue normalized, const ComponentState& programs);
// False for a text that shows no value of the parameter.
bool valueOfText(vst3::ParamID id, const std::string& text, const ComponentState& programs,
                 vst3::ParamValue& normalized);

// A program's name as hosts list it: "Init 1" .. "Init 8" until renamed.
std::string programTitle(const ComponentState& programs, int program);
}  // namespace velmora::vst3face
