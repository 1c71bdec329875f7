#pragma once
// The widening path one sample at a time, as plainly as it can be written:
// four cwaveguide lines, the ProcessFreeLFO step and two library sines per
// sample. The engine is checked against it and measured beside it.

#include "effect/cwaveguide.h"
#include "effect/line_lengths.h"

#include <array>
#include <memory>

namespace velmora
{
class ScalarWidener
{
public:
    ScalarWidener();

    void prepare(float sampleRate);
    void setValues(bool on, float size, float dryWet);
    void process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames);

private:
    std::array<std::unique_ptr<cwaveguide>, kNumLines> lines;
    float rate = 44100.0f;
    float increment = 0.0f;
    float phase = 0.0f;
    float wetGain = 0.0f;
};
}  // namespace velmora
