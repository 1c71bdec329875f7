// Rendering as a host does: the caller's samples through the render callback,
// slice by slice with a running time stamp, through chained units, with the
// host's transport.
#include "auhost/unit_renderer.h"
#include "auhost_test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using namespace auhost;
using namespace auhosttest;

// Planar channels whose every sample tells where it came from.
struct Planar
{
    Planar(UInt32 channels, UInt32 frames, float start)
        : samples(channels, std::vector<float>(frames)), pointers(channels)
    {
        for (UInt32 channel = 0; channel < channels; ++channel)
        {
            for (UInt32 frame = 0; frame < frames; ++frame)
                samples[channel][frame] = (start + static_cast<float>(frame)) * (channel == 0 ? 1.0f : -1.0f);
            pointers[channel] = samples[channel].data();
        }
    }
    std::vector<std::vector<float>> samples;
    std::vector<float*> pointers;
};

std::vector<float> scaled(const std::vector<float>& samples, float gain)
{
    std::vector<float> result(samples);
    for (float& sample : result)
        sample *= gain;
    return result;
}

TEST(AUHostRendering, SlicesFeedTheCallbackInOrderAndTheSampleTimeRunsOn)
{
    AudioUnitInstance unit(testEffect());
    UnitRenderer renderer({&unit}, {2, 48000.0, 256});
    EXPECT_TRUE(seenBy(unit).initialized);

    const Planar input(2, 1000, 1.0f);
    Planar output(2, 1000, 0.0f);
    renderer.render(input.pointers.data(), output.pointers.data(), 1000);
    EXPECT_EQ(output.samples, input.samples) << "each slice's samples came back in their place";
    EXPECT_EQ(seenBy(unit).runs, 4) << "256 + 256 + 256 + 232";
    EXPECT_EQ(seenBy(unit).largestSlice, 256u);
    EXPECT_EQ(seenBy(unit).lastSampleTime, 768.0);

    const Planar more(2, 300, 5000.0f);
    Planar moreOutput(2, 300, 0.0f);
    renderer.render(more.pointers.data(), moreOutput.pointers.data(), 300);
    EXPECT_EQ(moreOutput.samples, more.samples) << "a new call is new time, so the unit runs again";
    EXPECT_EQ(seenBy(unit).lastSampleTime, 1256.0);
    EXPECT_EQ(renderer.sampleTime(), 1300.0);
}

TEST(AUHostRendering, ChainedUnitsPullThroughTheirConnectionAndTheCallbackIsTakenBack)
{
    AudioUnitInstance first(testEffect());
    AudioUnitInstance second(testEffect());
    first.setParameter(2, 2.0f);
    second.setParameter(2, 3.0f);
    const Planar input(1, 100, 1.0f);
    Planar output(1, 100, 0.0f);
    {
        UnitRenderer renderer({&first, &second}, {1, 44100.0, 64});
        EXPECT_EQ(seenBy(second).connection.sourceAudioUnit, first.unit());
        EXPECT_EQ(seenBy(second).inputCallback.inputProc, nullptr);
        renderer.render(input.pointers.data(), output.pointers.data(), 100);
    }
    EXPECT_EQ(output.samples[0], scaled(input.samples[0], 6.0f)) << "through both gains";
    EXPECT_EQ(seenBy(first).runs, 2);
    EXPECT_EQ(seenBy(first).inputCallback.inputProc, nullptr) << "no callback into a renderer that is gone";
}

TEST(AUHostRendering, TransportGivesTheUnitTempoBeatAndTheRunningSampleTime)
{
    AudioUnitInstance unit(testEffect());
    HostTransport transport(48000.0, 90.0);
    UnitRenderer renderer({&unit}, {2, 48000.0, 480}, &transport);
    const Planar input(2, 1440, 0.0f);
    Planar output(2, 1440, 0.0f);
    renderer.render(input.pointers.data(), output.pointers.data(), 1440);

    const TestComponentTransport& seen = seenBy(unit).transport;
    EXPECT_EQ(seen.sampleInTimeLine, 960.0) << "the start of the last slice";
    EXPECT_EQ(seen.tempo, 90.0);
    EXPECT_DOUBLE_EQ(seen.beat, 960.0 / 48000.0 * 90.0 / 60.0);
    EXPECT_TRUE(seen.playing);

    HostTransport bars(48000.0, 120.0);  // 24000 frames a beat
    bars.advance(180000);                // seven and a half beats
    const HostCallbackInfo callbacks = bars.callbacks();
    UInt32 toNextBeat = 0;
    Float32 numerator = 0;
    UInt32 denominator = 0;
    Float64 downBeat = -1;
    ASSERT_EQ(
        callbacks.musicalTimeLocationProc(callbacks.hostUserData, &toNextBeat, &numerator, &denominator, &downBeat),
        noErr);
    EXPECT_EQ(toNextBeat, 12000u);
    EXPECT_EQ(downBeat, 4.0) << "the bar that started on beat four";
    EXPECT_EQ(numerator, 4.0f);
    EXPECT_EQ(denominator, 4u);
}

TEST(AUHostRendering, UnitRefusalsArriveWithTheirStatus)
{
    AudioUnitInstance unit(testEffect());
    const auto statusOfRenderer = [&](const RenderFormat& format) {
        return statusOf([&] { UnitRenderer renderer({&unit}, format); });
    };
    EXPECT_EQ(statusOfRenderer({2, 44100.0, kTestComponentCapacity + 1}), kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(statusOfRenderer({3, 44100.0, 512}), kAudioUnitErr_FormatNotSupported);
    EXPECT_EQ(statusOfRenderer({2, 44100.0, 0}), paramErr);
}
}  // namespace
