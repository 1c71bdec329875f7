// The record's processReplacing of the built bundle at 48 kHz, as a host
// calls it: from the host's source buffers straight into its destination, for
// several block sizes. Counters: frames per second and seconds of audio per
// second of processor time (the multiple of real time).
#include "bench_support.h"
#include "vsthost/loaded_effect.h"

#include <benchmark/benchmark.h>

namespace
{
void processReplacing(benchmark::State& state)
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
    float* inputs[] = {source[0].data(), source[1].data()};
    float* outputs[] = {destination[0].data(), destination[1].data()};
    for (auto _ : state)
    {
        record->processReplacing(record, inputs, outputs, frames);
        benchmark::DoNotOptimize(destination[0].data());
        benchmark::ClobberMemory();
    }
    const double processed = static_cast<double>(state.iterations()) * frames;
    state.counters["frames_per_second"] = benchmark::Counter(processed, benchmark::Counter::kIsRate);
    state.counters["x_realtime"] = benchmark::Counter(processed / bench::kSampleRate, benchmark::Counter::kIsRate);
}
}  // namespace

BENCHMARK(processReplacing)->Arg(32)->Arg(64)->Arg(256)->Arg(512)->Arg(1024)->Arg(4096);
