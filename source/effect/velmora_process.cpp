// The widening path, one block at a time.
#include "effect/free_lfo.h"
#include "effect/velmora.h"

#include <cmath>

namespace
{
constexpr float kWetScale = 0.5f;
constexpr float kLfoGain = 0.5f;
constexpr float kTwoPi = 6.2831855f;
constexpr float kQuarterCycle = 0.25f;

// A host that hands over missing buffers gets nothing processed rather than a crash.
bool hasStereoBuffers(float** channels)
{
    return channels && channels[0] && channels[1];
}
}  // namespace

void Velmora::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    // On/off and Dry/Wet hold for the whole block.
    float wetGain = 0.0f;
    if (onOff.load(std::memory_order_relaxed))
        wetGain = dryWet.load(std::memory_order_relaxed) * kWetScale;
    const float negatedWetGain = -wetGain;
    if (sampleFrames <= 0 || !hasStereoBuffers(inputs) || !hasStereoBuffers(outputs))
        return;

    cwaveguide& line0 = *lines[0];
    cwaveguide& line1 = *lines[1];
    cwaveguide& line2 = *lines[2];
    cwaveguide& line3 = *lines[3];
    const float* inLeft = inputs[0];
    const float* inRight = inputs[1];
    float* outLeft = outputs[0];
    float* outRight = outputs[1];
    const float increment = lfoIncrement.load(std::memory_order_relaxed);
    float phase = lfoPhase;

    for (VstInt32 n = 0; n < sampleFrames; ++n)
    {
        // Read both inputs first: the outputs may be the same buffers.
        const float left = inLeft[n];
        const float right = inRight[n];
        const float mono = left + right;

        phase = velmora::ProcessFreeLFO(phase, increment);
        const float sineGain = kLfoGain * std::sin(phase * kTwoPi);
        const float cosineGain = kLfoGain * std::sin((phase + kQuarterCycle) * kTwoPi);

        const float y0 = line0.readHermite();
        line0.write(mono);
        const float y1 = line1.readHermite();
        line1.write(mono);
        const float y2 = line2.readHermite();
        line2.write(mono);
        const float y3 = line3.readHermite();
        line3.write(mono);

        // A·(y0 − y2) + B·(y3 − y1), in this order of operations.
        float widthSignal = y0 * sineGain + 0.0f;
        widthSignal = widthSignal - y1 * cosineGain;
        widthSignal = widthSignal - sineGain * y2;
        widthSignal = widthSignal + cosineGain * y3;

        outLeft[n] = wetGain * widthSignal + left;
        outRight[n] = negatedWetGain * widthSignal + right;
    }
    lfoPhase = phase;
}
