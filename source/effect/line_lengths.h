#pragma once
// The four delay lengths from Size and the sample rate: line 0 from 15 ms
// (Size 0) to 115 ms (Size 1), each further line 18 % longer. Every product is
// formed in single precision from the one before and only then widened, so
// the lengths match to the last bit wherever they are computed.

#include <array>

namespace velmora
{
inline constexpr int kNumLines = 4;

inline std::array<double, kNumLines> lineLengths(float size, float sampleRate)
{
    constexpr float kSizeToSeconds = 0.1f;      // Size 1 adds 100 ms to line 0
    constexpr float kShortestSeconds = 0.015f;  // line 0 at Size 0
    constexpr float kLineRatio = 1.18f;

    std::array<double, kNumLines> lengths{};
    float length = (size * kSizeToSeconds + kShortestSeconds) * sampleRate;
    for (double& line : lengths)
    {
        line = static_cast<double>(length);
        length = length * kLineRatio;
    }
    return lengths;
}
}  // namespace velmora
