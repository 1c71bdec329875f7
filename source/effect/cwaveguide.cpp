#include "effect/cwaveguide.h"

#include <algorithm>
#include <cmath>

cwaveguide::cwaveguide() : buffer(new float[kRingSize]()) {}

float cwaveguide::readHermiteAt(double samples) const noexcept
{
    double position = static_cast<double>(writeIndex) - samples;
    if (position < 0.0)
        position += static_cast<double>(kRingSize);
    const auto index = static_cast<std::int32_t>(std::floor(position));

    // The mask keeps every neighbour inside the ring, even when a position a
    // hair below zero rounds up to kRingSize after the wrap above.
    const float previous = buffer[(index - 1) & kRingMask];
    const float current = buffer[index & kRingMask];
    const float next = buffer[(index + 1) & kRingMask];
    const float afterNext = buffer[(index + 2) & kRingMask];

    const auto fraction = static_cast<float>(position - static_cast<double>(index));

    const float c1 = (next - previous) * 0.5f;
    const float c2 = (next + next) + (current * -2.5f + previous) - afterNext * 0.5f;
    const float c3 = (current - next) * 1.5f + (afterNext - previous) * 0.5f;
    return ((c3 * fraction + c2) * fraction + c1) * fraction + current;
}

void cwaveguide::write(float sample) noexcept
{
    buffer[writeIndex] = sample;
    writeIndex = (writeIndex + 1) & kRingMask;
}

double cwaveguide::heldDelay(double samples) noexcept
{
    if (!(samples >= 0.0))
        return 0.0;
    return std::min(samples, static_cast<double>(kRingSize));
}
