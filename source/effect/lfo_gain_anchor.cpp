#include "effect/lfo_gain_anchor.h"

namespace velmora
{
namespace
{
// As the plain path rounds them.
constexpr float kTwoPi = 6.2831855f;
constexpr float kQuarterCycle = 0.25f;
constexpr float kLfoGain = 0.5f;

constexpr double kTwoOverPi = 0.63661977236758134;
// pi / 2 in two parts: the high part times a small multiple is exact.
constexpr double kHalfPiHigh = 1.5707963267341256;
constexpr double kHalfPiLow = 6.0771005065061922e-11;
}  // namespace

// Reduced by the nearest multiple of pi / 2 to |r| <= pi / 4, where the Taylor
// series below leave out terms under 4e-13.
SineCosine sineAndCosine(double angle) noexcept
{
    const double quarterTurns = angle * kTwoOverPi;
    const int quadrant = static_cast<int>(quarterTurns + (quarterTurns < 0.0 ? -0.5 : 0.5));
    const double r = (angle - quadrant * kHalfPiHigh) - quadrant * kHalfPiLow;
    const double r2 = r * r;
    const double sine =
        r * (1.0 + r2 * (-1.0 / 6 + r2 * (1.0 / 120 + r2 * (-1.0 / 5040 + r2 * (1.0 / 362880 + r2 * (-1.0 / 39916800 + r2 / 6227020800.0))))));
    const double cosine =
        1.0 + r2 * (-0.5 + r2 * (1.0 / 24 + r2 * (-1.0 / 720 + r2 * (1.0 / 40320 + r2 * (-1.0 / 3628800 + r2 / 479001600.0)))));
    switch (quadrant & 3)
    {
    case 0:
        return {sine, cosine};
    case 1:
        return {cosine, -sine};
    case 2:
        return {-sine, -cosine};
    default:
        return {-cosine, sine};
    }
}

void LfoGainAnchor::moveTo(float phase) noexcept
{
    if (phase == anchorPhase)
        return;
    anchorPhase = phase;
    angles[0] = phase * kTwoPi;
    angles[1] = (phase + kQuarterCycle) * kTwoPi;
    for (int gain = 0; gain < 2; ++gain)
        values[gain] = sineAndCosine(angles[gain]);
}

void LfoGainAnchor::expand(float wetGain, GainExpansion (&gains)[2]) const noexcept
{
    const double scale = static_cast<double>(wetGain) * kLfoGain;
    for (int gain = 0; gain < 2; ++gain)
    {
        const double sine = scale * values[gain].sine;
        const double cosine = scale * values[gain].cosine;
        gains[gain] = {angles[gain], static_cast<float>(sine), static_cast<float>(cosine),
                       static_cast<float>(-0.5 * sine), static_cast<float>(cosine / -6.0)};
    }
}
}  // namespace velmora
