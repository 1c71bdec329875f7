#pragma once
// The widening path one sample at a time, as plainly as it can be written:
// four cwaveguide lines, the ProcessFreeLFO step and two library sines per
// sample, with the glides and crossfades of WidthMotion. The engine is checked
// against it and measured beside it.

#include "effect/cwaveguide.h"
#include "effect/line_lengths.h"
#include "effect/width_motion.h"

#include <array>
#include <memory>

namespace velmora
{
class ScalarWidener
{
public:
    ScalarWidener();

    void prepare(float sampleRate);
    // Taken at the start of the next block.
    void setValues(bool on, float size, float dryWet);
    void process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames);

private:
    // Frames at one W with the sounding lines alone, or frame by frame while
    // W glides or the lines crossfade; both return the frames done.
    int processSteady(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames);
    int processMoving(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames);
    void followSizes();

    std::array<std::unique_ptr<cwaveguide>, kNumLines> lines;
    std::array<double, kNumLines> incomingLengths{};
    float rate = 44100.0f;
    float increment = 0.0f;
    float phase = 0.0f;
    WidthMotion motion;
};
}  // namespace velmora
