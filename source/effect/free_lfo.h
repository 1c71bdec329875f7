#pragma once
// The free-running LFO: a phase in cycles, kept in [0, 1).

namespace velmora
{
// LFO rate in Hz: one cycle every 2.2 seconds.
inline constexpr float kLfoFrequency = 0.45454547f;
// Below this host rate the LFO step is derived from kLfoFloorRate instead.
inline constexpr float kLfoMinimumRate = 44000.0f;
inline constexpr float kLfoFloorRate = 44100.0f;

// Phase after one sample. The increment is always far below one cycle, so a
// single subtraction wraps it.
inline float ProcessFreeLFO(float phase, float increment) noexcept
{
    float next = increment + phase;
    if (next >= 1.0f)
        next = next + -1.0f;
    return next;
}

// Phase step per sample at a host rate. Rates below 44000 Hz, and a NaN rate,
// use 44100 Hz, so the LFO then runs slower than 0.4545 Hz in real time.
inline float freeLfoIncrement(float sampleRate) noexcept
{
    const float effectiveRate = sampleRate >= kLfoMinimumRate ? sampleRate : kLfoFloorRate;
    return (1.0f / effectiveRate) * kLfoFrequency;
}
}  // namespace velmora
