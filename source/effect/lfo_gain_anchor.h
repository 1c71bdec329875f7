#pragma once
// The two LFO gains near an anchor phase. The plain path takes each gain as
// sin(x) / 2 of an angle rounded to single precision (x = 2 pi phase, and
// 2 pi (phase + 1/4) for the cosine gain); the kernels get it from the sine
// and cosine of the anchor's own angle a by expanding sin(a + d) for the small
// d = x - a, so each frame still follows the rounding of its own angle. The
// anchor's sine and cosine are made in double precision, once per anchor.

#include "effect/widening_kernels.h"

#include <limits>

namespace velmora
{
struct SineCosine
{
    double sine;
    double cosine;
};

class LfoGainAnchor
{
public:
    // Both gains' expansions about the anchor at this phase, scaled by the wet
    // gain. Made again only when the phase or the wet gain changes.
    void expand(float phase, float wetGain, GainExpansion (&gains)[2]) noexcept;

private:
    void moveTo(float phase) noexcept;

    float anchorPhase = std::numeric_limits<float>::quiet_NaN();
    float scaledBy = std::numeric_limits<float>::quiet_NaN();
    float angles[2] = {};
    SineCosine values[2] = {};
    GainExpansion expansions[2] = {};
};
}  // namespace velmora
