#pragma once
// What the benchmarks of velmora_bench share: the bundle they load and the
// signal they process.

#include "vsthost/loaded_effect.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace bench
{
inline constexpr double kSampleRate = 48000.0;

// VELMORA_BUNDLE from the environment, else the bundle of this build tree.
std::string bundlePath();
// VELMORA_VST3_BUNDLE from the environment, else Velmora.vst3 of this build tree.
std::string vst3BundlePath();

// Quiet stereo noise, so the work is that of real material rather than
// silence: two channels of `frames` samples.
std::vector<std::vector<float>> quietNoise(std::size_t frames);

// A host's source (quiet noise) and destination buffers for slices of frames.
struct HostBuffers
{
    explicit HostBuffers(std::size_t frames)
        : source(quietNoise(frames)), destination(source.size(), std::vector<float>(frames))
    {}

    std::vector<std::vector<float>> source;
    std::vector<std::vector<float>> destination;
};

// The bundle's VST effect at kSampleRate, opened and resumed for blocks of at
// most blockSize; throws std::runtime_error when it does not load.
std::unique_ptr<vsthost::LoadedEffect> openVstEffect(unsigned blockSize);
}  // namespace bench
