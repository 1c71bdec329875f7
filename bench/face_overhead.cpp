#include "face_overhead.h"

#include "alternating_rounds.h"
#include "auhost/au_error.h"
#include "auhost/audio_unit_instance.h"
#include "auhost/component_bundle.h"
#include "auhost/unit_renderer.h"
#include "bench_support.h"
#include "vsthost/loaded_effect.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

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

// An Audio Unit host: input from a render callback, output pulled with
// AudioUnitRender into the host's buffers, the sample time running on so that
// every slice runs the effect.
class AudioUnitPath : public bench::TimedPath
{
public:
    explicit AudioUnitPath(UInt32 frames)
        : unit(velmoraEffect()), renderer({&unit}, {kChannels, bench::kSampleRate, frames, kChannels}), buffers(frames)
    {}

    void slice(unsigned frames) override
    {
        const float* inputs[] = {buffers.source[0].data(), buffers.source[1].data()};
        float* outputs[] = {buffers.destination[0].data(), buffers.destination[1].data()};
        renderer.render(inputs, outputs, frames);
    }

private:
    auhost::AudioUnitInstance unit;
    auhost::UnitRenderer renderer;
    bench::HostBuffers buffers;
};

// The same work called directly, with the copies an Audio Unit host cannot
// avoid: the source copied into the unit's buffers, the effect run in place
// there, the result copied to the destination.
class DirectPath : public bench::TimedPath
{
public:
    explicit DirectPath(UInt32 frames)
        : loaded(bench::openVstEffect(frames)), buffers(frames), unitBuffers(kChannels, std::vector<float>(frames))
    {}

    void slice(unsigned frames) override
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
    bench::HostBuffers buffers;
    std::vector<std::vector<float>> unitBuffers;
};
}  // namespace

namespace bench
{
void reportFaceOverhead(std::ostream& out, int rounds)
{
    reportRatios(
        out, "Audio Unit / direct with the host's copies",
        [](unsigned frames) {
            return PathPair{std::make_unique<AudioUnitPath>(frames), std::make_unique<DirectPath>(frames)};
        },
        rounds);
}
}  // namespace bench
