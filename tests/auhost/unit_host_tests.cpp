// Finding, opening and talking to a unit: components, properties, parameters
// and what the host hears back.
#include "auhost/au_error.h"
#include "auhost/component_bundle.h"
#include "auhost/event_loop.h"
#include "auhost/unit_listeners.h"
#include "auhost_test_support.h"

#include <gtest/gtest.h>

namespace
{
using namespace auhost;
using namespace auhosttest;

TEST(AUHostComponents, BundleComponentsAreFoundByCodeAndInstancesCloseWithTheirOwner)
{
    ASSERT_NE(testEffect(), nullptr);
    EXPECT_NO_THROW(registerComponentBundle(testComponentBundle())) << "registering again is harmless";
    const std::vector<ComponentEntry> byMaker = findComponents({0, 0, code("Exmp"), 0, 0});
    ASSERT_EQ(byMaker.size(), 2u);
    EXPECT_EQ(byMaker[0].component, testEffect());
    EXPECT_EQ(byMaker[0].name, "Example: Test Effect");
    EXPECT_EQ(fourCharacterCode(byMaker[0].description.componentType), "aufx");
    EXPECT_EQ(fourCharacterCode(byMaker[1].description.componentSubType), "TsRf");
    EXPECT_TRUE(findComponents({kAudioUnitType_Effect, code("TsRf"), 0, 0, 0}).empty());

    AudioUnit closed = nullptr;
    {
        const AudioUnitInstance unit(testEffect());
        closed = unit.unit();
        EXPECT_EQ(unit.version(), 0x00010203);
    }
    EXPECT_EQ(AudioUnitInitialize(closed), badComponentInstance) << "the instance closed with its owner";

    EXPECT_EQ(statusOf([] { AudioUnitInstance refused(refusingComponent()); }), -32767);
    EXPECT_EQ(statusOf([] { registerComponentBundle("/nonexistent/Missing.bundle"); }), fnfErr);
}

TEST(AUHostProperties, FormatsParametersAndInfosRoundTripThroughTheUnit)
{
    AudioUnitInstance unit(testEffect());
    unit.setStreamFormat(kAudioUnitScope_Input, 0, 1, 48000.0);
    const AudioStreamBasicDescription format = unit.streamFormat(kAudioUnitScope_Output, 0);
    EXPECT_EQ(format.mChannelsPerFrame, 1u);
    EXPECT_EQ(format.mSampleRate, 48000.0);
    EXPECT_TRUE(format.mFormatFlags & kAudioFormatFlagIsNonInterleaved);
    EXPECT_EQ(statusOf([&] { unit.setStreamFormat(kAudioUnitScope_Input, 0, 3, 48000.0); }),
              kAudioUnitErr_FormatNotSupported);
    EXPECT_EQ(unit.elementCount(kAudioUnitScope_Input), 1u);
    EXPECT_EQ(unit.elementCount(kAudioUnitScope_Global), 0u);
    const std::vector<AUChannelInfo> channels = unit.supportedChannels();
    ASSERT_EQ(channels.size(), 2u) << "the list is as long as the unit's size says";
    EXPECT_EQ(channels[1].inChannels, 2);

    EXPECT_EQ(unit.parameterList(), (std::vector<AudioUnitParameterID>{0, 1, 2, 3}));
    const ParameterDescription gain = unit.parameterInfo(2);
    EXPECT_EQ(gain.name, "Gain");
    EXPECT_EQ(gain.maxValue, 4.0f);
    EXPECT_EQ(gain.defaultValue, 1.0f);
    AudioUnitParameterEvent event{};
    event.parameter = 1;
    event.eventType = kParameterEvent_Immediate;
    event.eventValues.immediate.value = 2.5f;
    unit.scheduleParameters({event});
    EXPECT_EQ(unit.parameter(1), 2.5f);
    EXPECT_EQ(statusOf([&] { unit.setParameter(9, 1.0f); }), kAudioUnitErr_InvalidParameter);
    EXPECT_EQ(statusOf([&] { unit.parameterInfo(9); }), kAudioUnitErr_InvalidParameter);
}

TEST(AUHostListeners, PropertyListenersHearTheirPropertyUntilTheyAreGone)
{
    AudioUnitInstance unit(testEffect());
    {
        const PropertyListener slices(unit.unit(), kAudioUnitProperty_MaximumFramesPerSlice);
        const PropertyListener formats(unit.unit(), kAudioUnitProperty_StreamFormat);
        unit.setMaximumFramesPerSlice(2048);
        unit.setMaximumFramesPerSlice(2048);
        ASSERT_EQ(slices.changes().size(), 1u);
        EXPECT_EQ(slices.changes()[0].id, static_cast<AudioUnitPropertyID>(kAudioUnitProperty_MaximumFramesPerSlice));
        EXPECT_EQ(slices.changes()[0].scope, static_cast<AudioUnitScope>(kAudioUnitScope_Global));
        EXPECT_TRUE(formats.changes().empty());
        EXPECT_EQ(seenBy(unit).listenerCount, 2);
    }
    EXPECT_EQ(seenBy(unit).listenerCount, 0) << "each listener removed itself with its own user data";
}

TEST(AUHostListeners, CollectedEventsArriveWhileTheEventLoopRuns)
{
    AudioUnitInstance unit(testEffect());
    EventCollector collector;
    collector.addProperty(unit.unit(), kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0);
    collector.addParameter(unit.unit(), kAUParameterListener_AnyParameter);
    unit.setMaximumFramesPerSlice(100);  // posted by the unit, which has no property listener
    unit.setParameter(2, 3.0f);
    const AudioUnitParameter gain = {unit.unit(), 2, kAudioUnitScope_Global, 0};
    ASSERT_EQ(AUParameterListenerNotify(nullptr, nullptr, &gain), noErr);  // as the unit's editor would
    EXPECT_TRUE(collector.events().empty()) << "nothing is delivered before the loop runs";

    runEventLoop(0.05);
    ASSERT_EQ(collector.events().size(), 2u);
    EXPECT_EQ(collector.events()[0].event.mEventType, static_cast<AudioUnitEventType>(kAudioUnitEvent_PropertyChange));
    EXPECT_EQ(collector.events()[0].event.mArgument.mProperty.mPropertyID,
              static_cast<AudioUnitPropertyID>(kAudioUnitProperty_MaximumFramesPerSlice));
    EXPECT_EQ(collector.events()[1].event.mArgument.mParameter.mParameterID, 2u);
    EXPECT_EQ(collector.events()[1].value, 3.0f) << "read from the unit at delivery";
}
}  // namespace
