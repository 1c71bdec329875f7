#include "bench_support.h"

#include <cstdlib>
#include <stdexcept>

namespace bench
{
std::string bundlePath()
{
    const char* path = std::getenv("VELMORA_BUNDLE");
    return path ? path : VELMORA_DEFAULT_BUNDLE;
}

std::string vst3BundlePath()
{
    const char* path = std::getenv("VELMORA_VST3_BUNDLE");
    return path ? path : VELMORA_DEFAULT_VST3_BUNDLE;
}

std::unique_ptr<vsthost::LoadedEffect> openVstEffect(unsigned blockSize)
{
    vsthost::HostSettings settings;
    settings.sampleRate = kSampleRate;
    settings.blockSize = static_cast<VstInt32>(blockSize);
    std::string error;
    auto loaded = vsthost::LoadedEffect::load(bundlePath(), error, settings);
    if (!loaded)
        throw std::runtime_error(error);
    loaded->openAndResume();
    return loaded;
}

std::vector<std::vector<float>> quietNoise(std::size_t frames)
{
    std::vector<std::vector<float>> channels(2, std::vector<float>(frames));
    unsigned seed = 1;
    for (std::size_t n = 0; n < frames; ++n)
    {
        seed = seed * 1664525u + 1013904223u;
        channels[0][n] = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
        channels[1][n] = -0.5f * channels[0][n];
    }
    return channels;
}
}  // namespace bench
