#include "render/stereo_analysis.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace render
{
void WidthMeter::add(const float* inputLeft, const float* inputRight, const float* outputLeft, const float* outputRight,
                     std::int64_t frameCount)
{
    double inMid = inputMidEnergy, inSide = inputSideEnergy;
    double outMid = outputMidEnergy, outSide = outputSideEnergy;
    double blockPeak = peak, sumChange = monoSumChange;
    std::int64_t overs = aboveFullScale;
    for (std::int64_t frame = 0; frame < frameCount; ++frame)
    {
        // Sums in double so that the comparison sees the effect's rounding,
        // not this meter's.
        const double inSum = static_cast<double>(inputLeft[frame]) + inputRight[frame];
        const double inDifference = static_cast<double>(inputLeft[frame]) - inputRight[frame];
        const double outSum = static_cast<double>(outputLeft[frame]) + outputRight[frame];
        const double outDifference = static_cast<double>(outputLeft[frame]) - outputRight[frame];
        inMid += inSum * inSum;
        inSide += inDifference * inDifference;
        outMid += outSum * outSum;
        outSide += outDifference * outDifference;
        blockPeak = std::max({blockPeak, std::fabs(static_cast<double>(outputLeft[frame])),
                              std::fabs(static_cast<double>(outputRight[frame]))});
        sumChange = std::max(sumChange, std::fabs(outSum - inSum));
        overs += (std::fabs(outputLeft[frame]) > 1.0f) + (std::fabs(outputRight[frame]) > 1.0f);
    }
    inputMidEnergy = inMid;
    inputSideEnergy = inSide;
    outputMidEnergy = outMid;
    outputSideEnergy = outSide;
    peak = blockPeak;
    monoSumChange = sumChange;
    aboveFullScale = overs;
}

double WidthMeter::ratioDb(double side, double mid)
{
    if (mid <= 0.0)
        return side <= 0.0 ? std::numeric_limits<double>::quiet_NaN() : std::numeric_limits<double>::infinity();
    return side <= 0.0 ? -std::numeric_limits<double>::infinity() : 10.0 * std::log10(side / mid);
}

double amplitudeToDb(double amplitude)
{
    return amplitude <= 0.0 ? -std::numeric_limits<double>::infinity() : 20.0 * std::log10(amplitude);
}
}  // namespace render
