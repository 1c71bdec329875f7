// Conversions between Audio Unit parameter values and the effect's 0..1.

#include "tandem/parameter_mapping.h"

#include <cmath>

namespace
{
// fmax and fmin drop a NaN, so a NaN value lands on `low`.
float clampInto(float value, float low, float high) { return std::fmin(std::fmax(value, low), high); }
}  // namespace

float scaleFromAUParameter(const AudioUnitParameterInfo& info, float auValue)
{
    // Clamping the result covers host values outside the range, NaN, and the
    // degenerate range of an unmapped, all-zero info.
    return clampInto((auValue - info.minValue) / (info.maxValue - info.minValue), 0.0f, 1.0f);
}

float scaleToAUParameter(const AudioUnitParameterInfo& info, float vstValue)
{
    const float scaled = clampInto(vstValue, 0.0f, 1.0f) * (info.maxValue - info.minValue) + info.minValue;
    if (info.unit == kAudioUnitParameterUnit_Indexed || info.unit == kAudioUnitParameterUnit_Boolean)
    {
        return std::floor(scaled + 0.5f);
    }
    return scaled;
}
