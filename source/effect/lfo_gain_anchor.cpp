#include "effect/lfo_gain_anchor.h"

#include "effect/widening_gains.h"

namespace velmora
{
namespace
{
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kTwoOverPi = 0.63661977236758134;
// pi / 2 in two parts: the high part times a small multiple is exact.
constexpr double kHalfPiHigh = 1.5707963267341256;
constexpr double kHalfPiLow = 6.0771005065061922e-11;

// Taylor series of sin(r) / r and of cos(r), in powers of r^2.
constexpr int kSeriesTerms = 7;
constexpr double kSineSeries[kSeriesTerms] = {1.0,          -1.0 / 6,        1.0 / 120,         -1.0 / 5040,
                                              1.0 / 362880, -1.0 / 39916800, 1.0 / 6227020800.0};
constexpr double kCosineSeries[kSeriesTerms] = {1.0,         -1.0 / 2,       1.0 / 24,         -1.0 / 720,
                                                1.0 / 40320, -1.0 / 3628800, 1.0 / 479001600.0};

double series(const double (&coefficients)[kSeriesTerms], double r2)
{
    double sum = coefficients[kSeriesTerms - 1];
    for (int term = kSeriesTerms - 2; term >= 0; --term)
        sum = sum * r2 + coefficients[term];
    return sum;
}

// Both at once, for angles of a few turns at most: reduced by the nearest
// multiple of pi / 2 to |r| <= pi / 4, where the series leave out terms under
// 4e-13.
SineCosine sineAndCosine(double angle)
{
    const double quarterTurns = angle * kTwoOverPi;
    const int quadrant = static_cast<int>(quarterTurns + (quarterTurns < 0.0 ? -0.5 : 0.5));
    const double r = (angle - quadrant * kHalfPiHigh) - quadrant * kHalfPiLow;
    const double r2 = r * r;
    const double sine = r * series(kSineSeries, r2);
    const double cosine = series(kCosineSeries, r2);
    switch (quadrant & 3)
    {
    case 0: return {sine, cosine};
    case 1: return {cosine, -sine};
    case 2: return {-sine, -cosine};
    default: return {-cosine, sine};
    }
}
}  // namespace

// The cosine gain's angle is a quarter turn on from the sine gain's, give or
// take its own roundings e (under 1e-6), so its sine and cosine follow from
// the sine gain's: sin(a + pi/2 + e) = cos a - e sin a, cos(a + pi/2 + e) =
// -sin a - e cos a, leaving out terms in e^2.
void LfoGainAnchor::moveTo(float phase) noexcept
{
    anchorPhase = phase;
    angles[0] = phase * kTwoPi;
    angles[1] = (phase + kQuarterCycle) * kTwoPi;
    values[0] = sineAndCosine(angles[0]);
    const double e = (static_cast<double>(angles[1]) - angles[0]) - kHalfPi;
    values[1] = {values[0].cosine - e * values[0].sine, -values[0].sine - e * values[0].cosine};
}

void LfoGainAnchor::expand(float phase, float wetGain, GainExpansion (&gains)[2]) noexcept
{
    if (phase != anchorPhase)
    {
        moveTo(phase);
        scaledBy = std::numeric_limits<float>::quiet_NaN();
    }
    if (wetGain != scaledBy)
    {
        scaledBy = wetGain;
        const double scale = static_cast<double>(wetGain) * kLfoGain;
        for (int gain = 0; gain < 2; ++gain)
        {
            const double sine = scale * values[gain].sine;
            const double cosine = scale * values[gain].cosine;
            expansions[gain] = {angles[gain], static_cast<float>(sine), static_cast<float>(cosine),
                                static_cast<float>(-0.5 * sine), static_cast<float>(cosine * (-1.0 / 6.0))};
        }
    }
    gains[0] = expansions[0];
    gains[1] = expansions[1];
}
}  // namespace velmora
