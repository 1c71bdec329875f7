#include "auval/sliced_render.h"

#include "auhost/unit_renderer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace auval
{
PlanarAudio testSignal(UInt32 channels, UInt32 frames, Float64 sampleRate)
{
    PlanarAudio signal(channels, std::vector<float>(frames));
    UInt32 noise = 22222;
    for (UInt32 channel = 0; channel < channels; ++channel)
    {
        const double frequency = 220.0 * (channel + 1);
        for (UInt32 frame = 0; frame < frames; ++frame)
        {
            noise = noise * 1664525u + 1013904223u;
            const double tone = std::sin(2.0 * std::numbers::pi * frequency * frame / sampleRate);
            signal[channel][frame] = static_cast<float>(0.4 * tone + 0.1 * (noise / 4294967296.0 - 0.5));
        }
    }
    return signal;
}

PlanarAudio renderSliced(auhost::AudioUnitInstance& unit, const PlanarAudio& input, const SliceSetup& setup)
{
    const auto channels = static_cast<UInt32>(input.size());
    const auto frames = static_cast<UInt32>(input.front().size());
    PlanarAudio output(channels, std::vector<float>(frames));
    {
        auhost::UnitRenderer renderer({&unit}, {channels, setup.sampleRate, setup.maximumFrames});
        std::vector<const float*> in(channels);
        std::vector<float*> out(channels);
        for (UInt32 offset = 0, slice = 0; offset < frames; offset += slice)
        {
            slice = std::min(offset < setup.settleFrames ? kSettleSlice : setup.sliceFrames, frames - offset);
            for (UInt32 channel = 0; channel < channels; ++channel)
            {
                in[channel] = input[channel].data() + offset;
                out[channel] = output[channel].data() + offset;
            }
            renderer.render(in.data(), out.data(), slice);
        }
    }
    unit.uninitialize();
    return output;
}

std::string soundProblem(const PlanarAudio& audio)
{
    bool sound = false;
    for (size_t channel = 0; channel < audio.size(); ++channel)
    {
        for (size_t frame = 0; frame < audio[channel].size(); ++frame)
        {
            const float sample = audio[channel][frame];
            if (!std::isfinite(sample))
                return "no number at channel " + std::to_string(channel) + " frame " + std::to_string(frame);
            sound = sound || sample != 0.0f;
        }
    }
    return sound ? "" : "silence out for a signal in";
}
}  // namespace auval
