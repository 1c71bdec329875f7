#pragma once
// The gains of the width signal, shared by the plain path, the LFO anchor and
// the kernels so that every path rounds them alike.

namespace velmora
{
// Dry/Wet 1 adds the width signal at half its level.
inline constexpr float kWetScale = 0.5f;
// Each LFO gain is kLfoGain sin(2 pi phase), the cosine gain a quarter cycle on.
inline constexpr float kLfoGain = 0.5f;
inline constexpr float kQuarterCycle = 0.25f;
// 2 pi rounded to single precision, as the plain path multiplies by it.
inline constexpr float kTwoPi = 6.2831855f;
}  // namespace velmora
