#pragma once
// Who the plug-in is to an LV2 host: its URIs, its ports and the keys of its
// saved state. The control ports come first and take the parameter indexes, so
// a control port's index is the parameter it carries; the audio ports follow.

#include "effect/velmora_parameters.h"

#include <cstdint>
#include <string>

namespace velmora::lv2
{
inline constexpr char kPluginUri[] = "urn:quarn-records:velmora";
inline constexpr char kUiUri[] = "urn:quarn-records:velmora#panel";

enum Port : std::uint32_t
{
    kInLeft = kNumParams,
    kInRight,
    kOutLeft,
    kOutRight,
    kPortCount,
};

// Saved-state keys: the current program, and per program (0-based) its name
// and each parameter's value under the parameter's symbol.
std::string currentProgramKey();
std::string programNameKey(int program);
std::string programValueKey(int program, const ParameterInfo& parameter);
}  // namespace velmora::lv2
