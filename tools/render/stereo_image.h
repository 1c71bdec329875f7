#pragma once
// What the picture of a render shows, gathered block by block: for the input
// and the output, a thinned-out vectorscope and window sums over time from
// which the correlation and the side-to-mid energy follow.

#include <cstdint>
#include <vector>

namespace render
{
// Left against right turned by 45 degrees: x is the side (R-L)/sqrt 2, y the
// mid (L+R)/sqrt 2, so a mono signal stands on the vertical axis and a
// left-only one leans to the upper left.
struct ScopePoint
{
    float x = 0.0f;
    float y = 0.0f;
};
ScopePoint scopePoint(float left, float right);

// Energies and cross product of one stretch of a stereo signal.
struct WindowSums
{
    double leftEnergy = 0.0;
    double rightEnergy = 0.0;
    double product = 0.0;
    void add(float left, float right);
};
// +1 when both channels move together, 0 when unrelated, -1 when opposed;
// NaN when either channel is silent.
double correlation(const WindowSums& sums);
// Side (L-R) to mid (L+R) energy in dB; minus infinity without side, plus
// infinity without mid, NaN for silence.
double sideToMidDb(const WindowSums& sums);

struct StereoTrace
{
    std::vector<ScopePoint> scope;
    std::vector<WindowSums> windows;  // the last may be shorter
};

class StereoImageRecorder
{
public:
    static constexpr std::int64_t kWindowsAcross = 300;
    static constexpr std::int64_t kMaxScopePoints = 15000;

    // Windows of at least 10 ms, about kWindowsAcross of them for the
    // expected length; scope points from every n-th frame.
    StereoImageRecorder(std::int64_t expectedFrames, int sampleRate);

    void add(const float* inputLeft, const float* inputRight, const float* outputLeft, const float* outputRight,
             std::int64_t frameCount);

    const StereoTrace& input() const { return inputTrace; }
    const StereoTrace& output() const { return outputTrace; }
    double windowSeconds() const { return static_cast<double>(windowFrames) / rate; }

private:
    int rate;
    std::int64_t windowFrames;
    std::int64_t scopeStep;
    std::int64_t framesSeen = 0;
    StereoTrace inputTrace;
    StereoTrace outputTrace;
};

std::vector<double> correlationSeries(const StereoTrace& trace);
std::vector<double> sideToMidSeries(const StereoTrace& trace);
}  // namespace render
