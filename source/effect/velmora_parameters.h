#pragma once
// The one description of the effect's parameters, which every face reads:
// names, labels and units, steps, defaults, display texts and their parsing,
// the symbols stored sessions use, and the editor's control tags all follow
// from this table.

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
    // What stored sessions and presets know the parameter by (LV2 port
    // symbols and state keys): written here, never derived from the name.
    const char* symbol;
    const char* name;
    const char* label;  // the VST 2 label
    const char* unit;   // beside a value in hosts that show units
    DisplayRule display;
    int stepCount;  // 0: continuous; 1: two states
    float defaultValue;
    // Hosts that show plain values show the 0..1 value times this.
    float plainScale;
};

// Label of every parameter without a unit, and of indexes outside the table.
inline constexpr char kBlankLabel[] = "  ";

inline constexpr std::array<ParameterInfo, kNumParams> kParameters{{
    {kOnOff, "on_off", "on/off", kBlankLabel, "", DisplayRule::onOff, 1, 1.0f, 1.0f},
    {kSize, "size", "Size", "%", "%", DisplayRule::percent, 0, 0.5f, 100.0f},
    {kDryWet, "dry_wet", "Dry/Wet", kBlankLabel, "", DisplayRule::percent, 0, 0.5f, 100.0f},
}};

// Room hosts give parameter and program texts, terminator included; no text
// written here is cut short by it at sensible values.
inline constexpr int kParameterTextBytes = 24;

// Null for an index outside the table.
const ParameterInfo* findParameter(std::int32_t index);

// Writes the display text of value into text (kParameterTextBytes at most).
void formatParameterDisplay(const ParameterInfo& parameter, float value, char* text);
// The value a display text stands for: "on" or "off", or a number as
// formatParameterDisplay writes it (a unit after it is allowed). False for
// anything else.
bool parseParameterDisplay(const ParameterInfo& parameter, const char* text, float& value);
}  // namespace velmora
