#include "effect/scalar_widener.h"

#include "effect/free_lfo.h"
#include "effect/widening_gains.h"

#include <cmath>

namespace velmora
{
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
}

void ScalarWidener::setValues(bool on, float size, float dryWet)
{
    wetGain = on ? dryWet * kWetScale : 0.0f;
    const std::array<double, kNumLines> lengths = lineLengths(size, rate);
    for (std::size_t line = 0; line < lines.size(); ++line)
        lines[line]->setDelay(lengths[line]);
}

void ScalarWidener::process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames)
{
    const float negatedWetGain = -wetGain;
    cwaveguide& line0 = *lines[0];
    cwaveguide& line1 = *lines[1];
    cwaveguide& line2 = *lines[2];
    cwaveguide& line3 = *lines[3];
    for (int n = 0; n < frames; ++n)
    {
        // Read both inputs first: the outputs may be the same buffers.
        const float left = inLeft[n];
        const float right = inRight[n];
        const float mono = left + right;

        phase = ProcessFreeLFO(phase, increment);
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
}
}  // namespace velmora
