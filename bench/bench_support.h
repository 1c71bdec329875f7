#pragma once
// What the benchmarks of velmora_bench share: the bundle they load and the
// signal they process.

#include <cstddef>
#include <string>
#include <vector>

namespace bench
{
inline constexpr double kSampleRate = 48000.0;

// VELMORA_BUNDLE from the environment, else the bundle of this build tree.
std::string bundlePath();

// Quiet stereo noise, so the work is that of real material rather than
// silence: two channels of `frames` samples.
std::vector<std::vector<float>> quietNoise(std::size_t frames);
}  // namespace bench
