#include "face_overhead.h"

#include "auhost/au_error.h"
#include "auhost/audio_unit_instance.h"
#include "auhost/component_bundle.h"
#include "auhost/unit_renderer.h"
#include "bench_support.h"
#include "vsthost/loaded_effect.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <stdexcept>
#include <vector>

namespace
{
constexpr UInt32 kChannels = 2;
// Frames per batch: long enough that reading the clock is noise, short enough
// that most batches run without being preempted.
constexpr UInt32 kBatchFrames = 32768;
constexpr int kWarmUpRounds = 20;
constexpr int kPairs = 4;

Component velmoraEffect()
{
    auhost::registerComponentBundle(bench::bundlePath());
    const auto effects = auhost::findComponents({kAudioUnitType_Effect, 0, 0, 0, 0});
    if (effects.empty())
        throw auhost::AUHostError("FindNextComponent", invalidComponentID);
    return effects.front().component;
}

// The host's side of both paths: its source and destination buffers.
struct HostBuffers
{
    explicit HostBuffers(UInt32 frames)
        : source(bench::quietNoise(frames)), destination(kChannels, std::vector<float>(frames))
    {}

    std::vector<std::vector<float>> source;
    std::vector<std::vector<float>> destination;
};

// An Audio Unit host: input from a render callback, output pulled with
// AudioUnitRender into the host's buffers, the sample time running on so that
// every slice runs the effect.
class AudioUnitPath
{
public:
    explicit AudioUnitPath(UInt32 frames)
        : unit(velmoraEffect()), renderer({&unit}, {kChannels, bench::kSampleRate, frames, kChannels}), buffers(frames)
    {}

    void slice(UInt32 frames)
    {
        const float* inputs[] = {buffers.source[0].data(), buffers.source[1].data()};
        float* outputs[] = {buffers.destination[0].data(), buffers.destination[1].data()};
        renderer.render(inputs, outputs, frames);
    }

private:
    auhost::AudioUnitInstance unit;
    auhost::UnitRenderer renderer;
    HostBuffers buffers;
};

// The same work called directly, with the copies an Audio Unit host cannot
// avoid: the source copied into the unit's buffers, the effect run in place
// there, the result copied to the destination.
class DirectPath
{
public:
    explicit DirectPath(UInt32 frames) : buffers(frames), unitBuffers(kChannels, std::vector<float>(frames))
    {
        vsthost::HostSettings settings;
        settings.sampleRate = bench::kSampleRate;
        settings.blockSize = static_cast<VstInt32>(frames);
        std::string error;
        loaded = vsthost::LoadedEffect::load(bench::bundlePath(), error, settings);
        if (!loaded)
            throw std::runtime_error(error);
        loaded->openAndResume();
    }

    void slice(UInt32 frames)
    {
        for (UInt32 channel = 0; channel < kChannels; ++channel)
            std::copy_n(buffers.source[channel].data(), frames, unitBuffers[channel].data());
        float* inPlace[] = {unitBuffers[0].data(), unitBuffers[1].data()};
        AEffect* record = loaded->effect();
        record->processReplacing(record, inPlace, inPlace, static_cast<VstInt32>(frames));
        for (UInt32 channel = 0; channel < kChannels; ++channel)
            std::copy_n(unitBuffers[channel].data(), frames, buffers.destination[channel].data());
    }

private:
    std::unique_ptr<vsthost::LoadedEffect> loaded;
    HostBuffers buffers;
    std::vector<std::vector<float>> unitBuffers;
};

// Processor time of this thread, so that time spent preempted is not counted.
double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

template <typename Path>
double timeBatch(Path& path, UInt32 frames, int slices)
{
    const double start = threadSeconds();
    for (int index = 0; index < slices; ++index)
    {
        path.slice(frames);
        benchmark::ClobberMemory();
    }
    return threadSeconds() - start;
}

// The value below which `share` of the sorted values lie.
double quantile(const std::vector<double>& sorted, double share)
{
    return sorted[static_cast<size_t>(share * static_cast<double>(sorted.size() - 1) + 0.5)];
}

struct RoundTimes
{
    std::vector<double> ratios, audioUnit, direct;  // per round; times per slice
};

// One pair's share of the rounds, after rounds that warm its caches.
void alternate(AudioUnitPath& audioUnit, DirectPath& direct, UInt32 frames, int rounds, RoundTimes& times)
{
    const int slices = static_cast<int>(kBatchFrames / frames);
    for (int round = -kWarmUpRounds; round < rounds; ++round)
    {
        double audioUnitTime, directTime;
        if (round % 2 == 0)
        {
            audioUnitTime = timeBatch(audioUnit, frames, slices);
            directTime = timeBatch(direct, frames, slices);
        }
        else
        {
            directTime = timeBatch(direct, frames, slices);
            audioUnitTime = timeBatch(audioUnit, frames, slices);
        }
        if (round < 0 || directTime <= 0.0)
            continue;
        times.ratios.push_back(audioUnitTime / directTime);
        times.audioUnit.push_back(audioUnitTime / slices);
        times.direct.push_back(directTime / slices);
    }
}

// The rounds are shared by several pairs of paths, all open at once: how the
// buffers of one pair fall on cache lines would otherwise weigh on a whole run.
RoundTimes alternate(UInt32 frames, int rounds)
{
    std::vector<std::unique_ptr<AudioUnitPath>> audioUnits;
    std::vector<std::unique_ptr<DirectPath>> directs;
    for (int pair = 0; pair < kPairs; ++pair)
    {
        audioUnits.push_back(std::make_unique<AudioUnitPath>(frames));
        directs.push_back(std::make_unique<DirectPath>(frames));
    }
    RoundTimes times;
    for (int pair = 0; pair < kPairs; ++pair)
        alternate(*audioUnits[pair], *directs[pair], frames, (rounds + pair) / kPairs, times);
    for (std::vector<double>* values : {&times.ratios, &times.audioUnit, &times.direct})
        std::sort(values->begin(), values->end());
    return times;
}
}  // namespace

namespace bench
{
void reportFaceOverhead(std::ostream& out, int rounds)
{
    for (const UInt32 frames : {64u, 512u})
    {
        char line[240];
        try
        {
            const RoundTimes times = alternate(frames, rounds);
            if (times.ratios.empty())
                continue;
            const double median = quantile(times.ratios, 0.5);
            std::snprintf(line, sizeof line,
                          "Audio Unit / direct with the host's copies at %u frames: %.3f (%+.1f %%), quartiles "
                          "%.3f .. %.3f over %zu rounds; per slice %.0f ns / %.0f ns\n",
                          frames, median, (median - 1.0) * 100.0, quantile(times.ratios, 0.25),
                          quantile(times.ratios, 0.75), times.ratios.size(), quantile(times.audioUnit, 0.5) * 1e9,
                          quantile(times.direct, 0.5) * 1e9);
        }
        catch (const std::exception& failure)
        {
            std::snprintf(line, sizeof line, "Audio Unit / direct at %u frames: not measured: %s\n", frames,
                          failure.what());
        }
        out << line;
    }
}
}  // namespace bench
