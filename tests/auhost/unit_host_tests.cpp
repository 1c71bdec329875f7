// The host library against the platform tests' component, in what the
// velmora-auhost runs (auhost_tool_tests) and the faces rendered through
// Velmora's component do not show: instances closing with their owner, the
// host's transport as the unit hears it, and the renderer taking its
// callback back.
#include "auhost/au_error.h"
#include "auhost/component_bundle.h"
#include "auhost/unit_renderer.h"
#include "test_component.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace
{
using namespace auhost;

const std::string kBundle = std::filesystem::path(TEST_COMPONENT_EXECUTABLE_DIR).parent_path().parent_path();

// The bundle's effect, registered on first use; its music device is left out by type.
Component testEffect()
{
    static const bool registered = (registerComponentBundle(kBundle), true);
    const std::vector<ComponentEntry> effects = findComponents({kAudioUnitType_Effect, 0, 0, 0, 0});
    return registered && effects.size() == 1 ? effects.front().component : nullptr;
}

TestComponentStorage& seenBy(const AudioUnitInstance& unit)
{
    return *reinterpret_cast<TestComponentStorage*>(GetComponentInstanceStorage(unit.unit()));
}

TEST(AUHostComponents, RegisteringAgainAddsNothingAndAnInstanceClosesWithItsOwner)
{
    ASSERT_NE(testEffect(), nullptr);
    EXPECT_NO_THROW(registerComponentBundle(kBundle));
    EXPECT_EQ(findComponents({kAudioUnitType_Effect, 0, 0, 0, 0}).size(), 1u);
    AudioUnit closed = nullptr;
    {
        const AudioUnitInstance unit(testEffect());
        closed = unit.unit();
    }
    EXPECT_EQ(AudioUnitInitialize(closed), badComponentInstance);
}

TEST(AUHostRendering, TransportGivesTheUnitTempoBeatAndSampleTimeAndTheRendererTakesItsCallbackBack)
{
    AudioUnitInstance unit(testEffect());
    HostTransport transport(48000.0, 90.0);
    {
        UnitRenderer renderer({&unit}, {2, 48000.0, 480}, &transport);
        std::vector<float> silence(1440);
        const float* input[] = {silence.data(), silence.data()};
        std::vector<float> left(1440), right(1440);
        float* output[] = {left.data(), right.data()};
        renderer.render(input, output, 1440);
    }
    EXPECT_EQ(seenBy(unit).inputCallback.inputProc, nullptr) << "no callback into a renderer that is gone";
    const TestComponentTransport& seen = seenBy(unit).transport;
    EXPECT_EQ(seen.sampleInTimeLine, 960.0) << "the start of the last slice";
    EXPECT_EQ(seen.tempo, 90.0);
    EXPECT_DOUBLE_EQ(seen.beat, 960.0 / 48000.0 * 90.0 / 60.0);
    EXPECT_TRUE(seen.playing);

    HostTransport bars(48000.0, 120.0);  // 24000 frames a beat
    bars.advance(180000);                // seven and a half beats
    const HostCallbackInfo callbacks = bars.callbacks();
    UInt32 toNextBeat = 0, denominator = 0;
    Float32 numerator = 0;
    Float64 downBeat = -1;
    ASSERT_EQ(
        callbacks.musicalTimeLocationProc(callbacks.hostUserData, &toNextBeat, &numerator, &denominator, &downBeat),
        noErr);
    EXPECT_EQ(toNextBeat, 12000u);
    EXPECT_EQ(downBeat, 4.0) << "the bar that started on beat four";
    EXPECT_EQ(numerator, 4.0f);
    EXPECT_EQ(denominator, 4u);

    try
    {
        UnitRenderer noSlices({&unit}, {2, 44100.0, 0});
        ADD_FAILURE() << "a slice of no frames was taken";
    }
    catch (const AUHostError& failure)
    {
        EXPECT_EQ(failure.status(), paramErr);
    }
}
}  // namespace
