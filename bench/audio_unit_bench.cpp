// Rendering the built bundle through its Audio Unit face at 48 kHz, stereo,
// as a host does: the component opened through the Audio Unit host library,
// input from a render callback, output pulled with AudioUnitRender one slice
// per call, the sample time running on so that every call runs the effect.
#include "auhost/au_error.h"
#include "auhost/audio_unit_instance.h"
#include "auhost/component_bundle.h"
#include "auhost/unit_renderer.h"
#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace
{
constexpr UInt32 kChannels = 2;

Component velmoraEffect()
{
    auhost::registerComponentBundle(bench::bundlePath());
    const auto effects = auhost::findComponents({kAudioUnitType_Effect, 0, 0, 0, 0});
    if (effects.empty())
        throw auhost::AUHostError("FindNextComponent", invalidComponentID);
    return effects.front().component;
}

struct OpenedUnit
{
    explicit OpenedUnit(UInt32 frames)
        : unit(velmoraEffect()), input(bench::quietNoise(frames)), output(kChannels, std::vector<float>(frames)),
          renderer({&unit}, {kChannels, bench::kSampleRate, frames, kChannels})
    {}

    auhost::AudioUnitInstance unit;
    std::vector<std::vector<float>> input;
    std::vector<std::vector<float>> output;
    auhost::UnitRenderer renderer;
};

// One unit per slice size for the whole run: the benchmark function is called
// several times per size, and opening writes the component's trace lines.
OpenedUnit& openedUnit(UInt32 frames)
{
    static std::map<UInt32, std::unique_ptr<OpenedUnit>> opened;
    std::unique_ptr<OpenedUnit>& unit = opened[frames];
    if (!unit)
        unit = std::make_unique<OpenedUnit>(frames);
    return *unit;
}

void audioUnitRender(benchmark::State& state)
{
    const auto frames = static_cast<UInt32>(state.range(0));
    try
    {
        OpenedUnit& opened = openedUnit(frames);
        const float* inputs[] = {opened.input[0].data(), opened.input[1].data()};
        float* outputs[] = {opened.output[0].data(), opened.output[1].data()};
        for (auto _ : state)
        {
            opened.renderer.render(inputs, outputs, frames);
            benchmark::DoNotOptimize(outputs[0]);
            benchmark::ClobberMemory();
        }
    }
    catch (const auhost::AUHostError& failure)
    {
        state.SkipWithError(failure.what());
        return;
    }
    const double processed = static_cast<double>(state.iterations()) * frames;
    state.counters["frames_per_second"] = benchmark::Counter(processed, benchmark::Counter::kIsRate);
    state.counters["x_realtime"] = benchmark::Counter(processed / bench::kSampleRate, benchmark::Counter::kIsRate);
}
}  // namespace

BENCHMARK(audioUnitRender)->Arg(64)->Arg(512);
