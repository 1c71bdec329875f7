#include "effect/scalar_widener.h"

#include "effect/free_lfo.h"
#include "effect/widening_gains.h"

#include <cmath>

namespace velmora
{
namespace
{
struct LfoGains
{
    float sine;
    float cosine;
};

LfoGains lfoGains(float phase)
{
    return {kLfoGain * std::sin(phase * kTwoPi), kLfoGain * std::sin((phase + kQuarterCycle) * kTwoPi)};
}

// A·(y0 − y2) + B·(y3 − y1), in this order of operations.
float widthSignal(const float (&y)[kNumLines], LfoGains gains)
{
    float width = y[0] * gains.sine + 0.0f;
    width = width - y[1] * gains.cosine;
    width = width - gains.sine * y[2];
    return width + gains.cosine * y[3];
}
}  // namespace

ScalarWidener::ScalarWidener()
{
    for (auto& line : lines)
        line = std::make_unique<cwaveguide>();
    prepare(rate);
}

void ScalarWidener::prepare(float sampleRate)
{
    rate = sampleRate;
    increment = freeLfoIncrement(sampleRate);
    motion.prepare(sampleRate);
}

void ScalarWidener::setValues(bool on, float size, float dryWet) { motion.setTargets(on, size, dryWet); }

void ScalarWidener::followSizes()
{
    const std::array<double, kNumLines> sounding = lineLengths(motion.soundingSize(), rate);
    const std::array<double, kNumLines> incoming = lineLengths(motion.incomingSize(), rate);
    for (std::size_t line = 0; line < lines.size(); ++line)
    {
        lines[line]->setDelay(sounding[line]);
        incomingLengths[line] = cwaveguide::heldDelay(incoming[line]);
    }
}

void ScalarWidener::process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames)
{
    motion.startBlock();
    followSizes();
    for (int done = 0; done < frames;)
    {
        const int steady = motion.framesBeforeChange(frames - done);
        const bool moving = motion.wet().moving() || motion.crossfading();
        done += moving ? processMoving(inLeft + done, inRight + done, outLeft + done, outRight + done, steady)
                       : processSteady(inLeft + done, inRight + done, outLeft + done, outRight + done, steady);
    }
}

int ScalarWidener::processSteady(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames)
{
    const float wetGain = motion.wet().to;
    const float negatedWetGain = -wetGain;
    for (int n = 0; n < frames; ++n)
    {
        // Read both inputs first: the outputs may be the same buffers.
        const float left = inLeft[n];
        const float right = inRight[n];
        const float mono = left + right;

        phase = ProcessFreeLFO(phase, increment);
        float y[kNumLines];
        for (std::size_t line = 0; line < lines.size(); ++line)
        {
            y[line] = lines[line]->readHermite();
            lines[line]->write(mono);
        }
        const float width = widthSignal(y, lfoGains(phase));
        outLeft[n] = wetGain * width + left;
        outRight[n] = negatedWetGain * width + right;
    }
    motion.advance(frames);
    return frames;
}

// One frame: what it hears depends on where the glide and the crossfade are.
int ScalarWidener::processMoving(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int)
{
    const float left = inLeft[0];
    const float right = inRight[0];
    const float mono = left + right;

    phase = ProcessFreeLFO(phase, increment);
    const LfoGains gains = lfoGains(phase);
    const bool crossfading = motion.crossfading();
    float sounding[kNumLines];
    float incoming[kNumLines];
    for (std::size_t line = 0; line < lines.size(); ++line)
    {
        sounding[line] = lines[line]->readHermite();
        incoming[line] = crossfading ? lines[line]->readHermiteAt(incomingLengths[line]) : 0.0f;
        lines[line]->write(mono);
    }
    float width = widthSignal(sounding, gains);
    if (crossfading)
        width = width + motion.fade().next() * (widthSignal(incoming, gains) - width);
    const float wetWidth = motion.wet().next() * width;
    outLeft[0] = left + wetWidth;
    outRight[0] = right - wetWidth;

    motion.advance(1);
    followSizes();
    return 1;
}
}  // namespace velmora
