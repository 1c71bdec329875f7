// Rendering at every common sample rate in slices from 1 frame to 4096, a
// slice above the maximum that must be refused, and one long render against
// the same render in 64-frame slices.

#include "auval/auval_checks.h"
#include "auval/sliced_render.h"
#include "auval/unit_status.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace auval
{
namespace
{
constexpr Float64 kRates[] = {11025.0, 22050.0, 44100.0, 48000.0, 96000.0, 192000.0};
constexpr UInt32 kSlices[] = {1, 64, 137, 512, 4096};
constexpr UInt32 kFramesPerRender = 8192;
constexpr UInt32 kLongRender = 16384;

UInt32 defaultChannels(const auhost::AudioUnitInstance& unit)
{
    return unit.streamFormat(kAudioUnitScope_Output, 0).mChannelsPerFrame;
}

std::string checkRate(Component component, Float64 rate)
{
    auhost::AudioUnitInstance unit(component);
    const PlanarAudio input = testSignal(defaultChannels(unit), kFramesPerRender, rate);
    std::string firstProblem, slices;
    for (const UInt32 slice : kSlices)
    {
        const std::string problem = soundProblem(renderSliced(unit, input, {rate, 4096, slice}));
        if (problem.empty())
            continue;
        firstProblem = firstProblem.empty() ? problem : firstProblem;
        slices += (slices.empty() ? "" : ", ") + std::to_string(slice);
    }
    if (!firstProblem.empty())
        throw CheckWarning("slices of " + slices + ": " + firstProblem + " (the first)");
    return std::to_string(sizeof kSlices / sizeof *kSlices) + " slice sizes, " + std::to_string(kFramesPerRender) +
           " frames each";
}

// Input from nowhere: silence in whatever the unit asks for.
struct Silence
{
    std::vector<float> samples = std::vector<float>(kLongRender);

    static OSStatus provide(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32 frames,
                            AudioBufferList* data)
    {
        auto& silence = *static_cast<Silence*>(refCon);
        if (!data || frames > silence.samples.size())
            return paramErr;
        for (UInt32 index = 0; index < data->mNumberBuffers; ++index)
        {
            AudioBuffer& buffer = data->mBuffers[index];
            if (!buffer.mData)
                buffer.mData = silence.samples.data();
            else
                std::memset(buffer.mData, 0, buffer.mDataByteSize);
        }
        return noErr;
    }
};

// A unit must refuse a slice above its maximum rather than write past the
// buffers it sized for that maximum.
std::string checkOversizeSlice(Component component)
{
    constexpr UInt32 kMaximum = 512;
    auhost::AudioUnitInstance unit(component);
    const UInt32 channels = defaultChannels(unit);
    unit.setStreamFormat(kAudioUnitScope_Input, 0, channels, 44100.0);
    unit.setStreamFormat(kAudioUnitScope_Output, 0, channels, 44100.0);
    unit.setMaximumFramesPerSlice(kMaximum);
    Silence silence;
    unit.setRenderCallback(0, {Silence::provide, &silence});
    unit.initialize();

    std::vector<std::vector<float>> memory(channels, std::vector<float>(kMaximum + 1));
    std::vector<std::byte> listBytes(offsetof(AudioBufferList, mBuffers) + channels * sizeof(AudioBuffer));
    auto* list = reinterpret_cast<AudioBufferList*>(listBytes.data());
    auto renderFrames = [&](UInt32 frames, Float64 sampleTime) {
        list->mNumberBuffers = channels;
        for (UInt32 channel = 0; channel < channels; ++channel)
            list->mBuffers[channel] = {1, frames * UInt32{sizeof(float)}, memory[channel].data()};
        AudioTimeStamp stamp{};
        stamp.mSampleTime = sampleTime;
        stamp.mFlags = kAudioTimeStampSampleTimeValid;
        AudioUnitRenderActionFlags flags = 0;
        return AudioUnitRender(unit.unit(), &flags, &stamp, 0, frames, list);
    };
    expectStatus(renderFrames(kMaximum, 0.0), noErr, "a render of the maximum, 512 frames,");
    const OSStatus status = renderFrames(kMaximum + 1, kMaximum);
    expect(status != noErr, "a render of 513 frames with a maximum of 512 succeeded");
    unit.setRenderCallback(0, {nullptr, nullptr});
    return "513 of at most 512 refused with " + statusText(status);
}

// Some effects ramp a changed setting over the block they are given, so
// both instances first render the same settling slices; after that the
// slicing may only cost rounding, far below anything audible (-100 dB).
std::string checkSlicingInvariance(Component component)
{
    constexpr UInt32 kSettle = 4096;
    constexpr float kTolerance = 1e-5f;
    auhost::AudioUnitInstance whole(component), sliced(component);
    const PlanarAudio input = testSignal(defaultChannels(whole), kSettle + kLongRender, 44100.0);
    const PlanarAudio expected = renderSliced(whole, input, {44100.0, kLongRender, kLongRender, kSettle});
    const PlanarAudio output = renderSliced(sliced, input, {44100.0, kLongRender, 64, kSettle});
    float largest = 0.0f;
    for (size_t channel = 0; channel < expected.size(); ++channel)
    {
        for (UInt32 frame = kSettle; frame < kSettle + kLongRender; ++frame)
        {
            const float want = expected[channel][frame], got = output[channel][frame];
            const float difference = std::fabs(want - got);
            expect(difference <= kTolerance || (std::isnan(want) && std::isnan(got)),
                   "channel " + std::to_string(channel) + " frame " + std::to_string(frame - kSettle) + ": " +
                       std::to_string(got) + " in slices, " + std::to_string(want) + " in one render");
            largest = std::max(largest, difference);
        }
    }
    char detail[96];
    if (largest == 0.0f)
        std::snprintf(detail, sizeof detail, "%u frames, equal sample for sample", kLongRender);
    else
        std::snprintf(detail, sizeof detail, "%u frames, differing by %.1e at most", kLongRender, largest);
    return detail;
}

std::string rateName(Float64 rate)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.0f Hz", rate);
    return text;
}
}  // namespace

void checkRendering(CheckTable& table, Component component)
{
    for (const Float64 rate : kRates)
        table.check("render", rateName(rate), [&] { return checkRate(component, rate); });
    table.check("render", "slice above the maximum", [&] { return checkOversizeSlice(component); });
    table.check("render", "64-frame slices vs one render", [&] { return checkSlicingInvariance(component); });
}
}  // namespace auval
