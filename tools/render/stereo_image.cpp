#include "render/stereo_image.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace render
{
namespace
{
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

template <typename Measure>
std::vector<double> series(const StereoTrace& trace, Measure measure)
{
    std::vector<double> values;
    values.reserve(trace.windows.size());
    for (const WindowSums& sums : trace.windows)
        values.push_back(measure(sums));
    return values;
}
}  // namespace

ScopePoint scopePoint(float left, float right)
{
    const double scale = 1.0 / std::sqrt(2.0);
    return {static_cast<float>((static_cast<double>(right) - left) * scale),
            static_cast<float>((static_cast<double>(left) + right) * scale)};
}

void WindowSums::add(float left, float right)
{
    leftEnergy += static_cast<double>(left) * left;
    rightEnergy += static_cast<double>(right) * right;
    product += static_cast<double>(left) * right;
}

double correlation(const WindowSums& sums)
{
    if (sums.leftEnergy <= 0.0 || sums.rightEnergy <= 0.0)
        return kNaN;
    return std::clamp(sums.product / std::sqrt(sums.leftEnergy * sums.rightEnergy), -1.0, 1.0);
}

double sideToMidDb(const WindowSums& sums)
{
    // (L-R)^2 and (L+R)^2 summed, from the same three sums; rounding may
    // leave a tiny negative where there is none.
    const double side = std::max(0.0, sums.leftEnergy + sums.rightEnergy - 2.0 * sums.product);
    const double mid = std::max(0.0, sums.leftEnergy + sums.rightEnergy + 2.0 * sums.product);
    const double floor = 1e-12 * (sums.leftEnergy + sums.rightEnergy);
    if (mid <= floor)
        return side <= floor ? kNaN : kInfinity;
    return side <= floor ? -kInfinity : 10.0 * std::log10(side / mid);
}

StereoImageRecorder::StereoImageRecorder(std::int64_t expectedFrames, int sampleRate)
    : rate(sampleRate), windowFrames(std::max<std::int64_t>(
                            {1, sampleRate / 100, (expectedFrames + kWindowsAcross - 1) / kWindowsAcross})),
      scopeStep(std::max<std::int64_t>(1, expectedFrames / kMaxScopePoints))
{}

void StereoImageRecorder::add(const float* inputLeft, const float* inputRight, const float* outputLeft,
                              const float* outputRight, std::int64_t frameCount)
{
    for (std::int64_t frame = 0; frame < frameCount; ++frame, ++framesSeen)
    {
        if (framesSeen % windowFrames == 0)
        {
            inputTrace.windows.emplace_back();
            outputTrace.windows.emplace_back();
        }
        inputTrace.windows.back().add(inputLeft[frame], inputRight[frame]);
        outputTrace.windows.back().add(outputLeft[frame], outputRight[frame]);
        if (framesSeen % scopeStep == 0)
        {
            inputTrace.scope.push_back(scopePoint(inputLeft[frame], inputRight[frame]));
            outputTrace.scope.push_back(scopePoint(outputLeft[frame], outputRight[frame]));
        }
    }
}

std::vector<double> correlationSeries(const StereoTrace& trace) { return series(trace, correlation); }

std::vector<double> sideToMidSeries(const StereoTrace& trace) { return series(trace, sideToMidDb); }
}  // namespace render
