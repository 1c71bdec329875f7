// The record's processReplacing of the built bundle at 48 kHz, as a host
// calls it: from the host's source buffers straight into its destination.
// Beside it the same with the copies an Audio Unit host cannot avoid: the
// source copied into the unit's buffers, the effect run in place there, the
// result copied to the destination. Counters: frames per second and seconds
// of audio per second of processor time (the multiple of real time).
#include "bench_support.h"
#include "vsthost/loaded_effect.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace
{
template <typename Slice>
void processSlices(benchmark::State& state, Slice slice)
{
    const auto frames = static_cast<VstInt32>(state.range(0));
    vsthost::HostSettings settings;
    settings.sampleRate = bench::kSampleRate;
    settings.blockSize = frames;
    std::string error;
    auto loaded = vsthost::LoadedEffect::load(bench::bundlePath(), error, settings);
    if (!loaded)
    {
        state.SkipWithError(error.c_str());
        return;
    }
    loaded->openAndResume();
    AEffect* record = loaded->effect();

    std::vector<std::vector<float>> source = bench::quietNoise(static_cast<std::size_t>(frames));
    std::vector<std::vector<float>> destination(source.size(), std::vector<float>(source[0].size()));
    for (auto _ : state)
    {
        slice(record, source, destination, frames);
        benchmark::DoNotOptimize(destination[0].data());
        benchmark::ClobberMemory();
    }
    const double processed = static_cast<double>(state.iterations()) * frames;
    state.counters["frames_per_second"] = benchmark::Counter(processed, benchmark::Counter::kIsRate);
    state.counters["x_realtime"] = benchmark::Counter(processed / bench::kSampleRate, benchmark::Counter::kIsRate);
}

void processReplacing(benchmark::State& state)
{
    processSlices(state, [](AEffect* record, std::vector<std::vector<float>>& source,
                            std::vector<std::vector<float>>& destination, VstInt32 frames) {
        float* inputs[] = {source[0].data(), source[1].data()};
        float* outputs[] = {destination[0].data(), destination[1].data()};
        record->processReplacing(record, inputs, outputs, frames);
    });
}

void processReplacingThroughCopies(benchmark::State& state)
{
    std::vector<std::vector<float>> unitBuffers(2, std::vector<float>(static_cast<std::size_t>(state.range(0))));
    processSlices(state, [&unitBuffers](AEffect* record, std::vector<std::vector<float>>& source,
                                        std::vector<std::vector<float>>& destination, VstInt32 frames) {
        for (std::size_t channel = 0; channel < unitBuffers.size(); ++channel)
            std::copy_n(source[channel].data(), frames, unitBuffers[channel].data());
        float* buffers[] = {unitBuffers[0].data(), unitBuffers[1].data()};
        record->processReplacing(record, buffers, buffers, frames);
        for (std::size_t channel = 0; channel < unitBuffers.size(); ++channel)
            std::copy_n(unitBuffers[channel].data(), frames, destination[channel].data());
    });
}
}  // namespace

BENCHMARK(processReplacing)->Arg(32)->Arg(64)->Arg(256)->Arg(512)->Arg(1024)->Arg(4096);
BENCHMARK(processReplacingThroughCopies)->Arg(64)->Arg(512);
