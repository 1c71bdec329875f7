#pragma once
// The one description of the effect's parameters: names, labels, display
// texts, defaults and the editor's control tags all follow from this table.

#include "effect/velmora_identity.h"

#include <array>
#include <cstdint>

namespace velmora
{
enum class DisplayRule
{
    onOff,    // "on" for a set flag, "off" for a clear one
    percent,  // value x 100 with two decimals
};

struct ParameterInfo
{
    ParameterIndex index;
    const char* name;
    const char* label;
    DisplayRule display;
    float defaultValue;
};

// Label of every parameter without a unit, and of indexes outside the table.
inline constexpr char kBlankLabel[] = "  ";

inline constexpr std::array<ParameterInfo, kNumParams> kParameters{{
    {kOnOff, "on/off", kBlankLabel, DisplayRule::onOff, 1.0f},
    {kSize, "Size", "%", DisplayRule::percent, 0.5f},
    {kDryWet, "Dry/Wet", kBlankLabel, DisplayRule::percent, 0.5f},
}};

// Room hosts give parameter and program texts, terminator included; no text
// written here is cut short by it at sensible values.
inline constexpr int kParameterTextBytes = 24;

// Null for an index outside the table.
const ParameterInfo* findParameter(std::int32_t index);

// Writes the display text of value into text (kParameterTextBytes at most).
void formatParameterDisplay(const ParameterInfo& parameter, float value, char* text);
}  // namespace velmora
