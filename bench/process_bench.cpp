// The record's processReplacing of the built bundle at 48 kHz, as a host
// calls it. Counters: frames per second and seconds of audio per second of
// processor time (the multiple of real time).
#include "vsthost/loaded_effect.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace
{
constexpr double kSampleRate = 48000.0;

std::string bundlePath()
{
    const char* path = std::getenv("VELMORA_BUNDLE");
    return path ? path : VELMORA_DEFAULT_BUNDLE;
}

void processReplacing(benchmark::State& state)
{
    const auto frames = static_cast<VstInt32>(state.range(0));
    vsthost::HostSettings settings;
    settings.sampleRate = kSampleRate;
    settings.blockSize = frames;
    std::string error;
    auto loaded = vsthost::LoadedEffect::load(bundlePath(), error, settings);
    if (!loaded)
    {
        state.SkipWithError(error.c_str());
        return;
    }
    loaded->openAndResume();
    AEffect* record = loaded->effect();

    // Quiet noise, so the work is that of real material rather than silence.
    std::vector<float> left(static_cast<std::size_t>(frames)), right(left.size());
    unsigned seed = 1;
    for (std::size_t n = 0; n < left.size(); ++n)
    {
        seed = seed * 1664525u + 1013904223u;
        left[n] = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
        right[n] = -0.5f * left[n];
    }
    std::vector<float> outLeft(left.size()), outRight(left.size());
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};

    for (auto _ : state)
    {
        record->processReplacing(record, inputs, outputs, frames);
        benchmark::DoNotOptimize(outLeft.data());
        benchmark::ClobberMemory();
    }
    const double processed = static_cast<double>(state.iterations()) * frames;
    state.counters["frames_per_second"] = benchmark::Counter(processed, benchmark::Counter::kIsRate);
    state.counters["x_realtime"] = benchmark::Counter(processed / kSampleRate, benchmark::Counter::kIsRate);
}
}  // namespace

BENCHMARK(processReplacing)->Arg(32)->Arg(64)->Arg(256)->Arg(1024)->Arg(4096);
BENCHMARK_MAIN();
