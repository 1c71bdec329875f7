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

// The port symbol of a parameter: its name in lower case, with "_" for
// anything but letters and digits ("on/off" gives "on_off").
std::string portSymbol(const ParameterInfo& parameter);

// Saved-state keys: the current program, and per program (0-based) its name
// and each parameter's value.
std::string currentProgramKey();
std::string programNameKey(int program);
std::string programValueKey(int program, const ParameterInfo& parameter);
}  // namespace velmora::lv2
