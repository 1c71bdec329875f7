// The property face: sizes and access, buses and channel configurations,
// connections and callbacks, listeners and their notifications.

#include "auhost/event_loop.h"
#include "auhost/unit_listeners.h"
#include "component_test_support.h"
#include "tandem/tandem_component.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
using namespace componenttest;
using Pairs = std::vector<std::pair<int, int>>;

struct Notification
{
    AudioUnitPropertyID id;
    AudioUnitScope scope;
};

void recordNotification(void* refCon, AudioUnit, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement)
{
    static_cast<std::vector<Notification>*>(refCon)->push_back({id, scope});
}

void listen(AudioUnit unit, std::initializer_list<AudioUnitPropertyID> ids, std::vector<Notification>& heard)
{
    for (AudioUnitPropertyID id : ids)
        ASSERT_EQ(AudioUnitAddPropertyListener(unit, id, recordNotification, &heard), noErr);
}

Pairs channelConfigurations(AudioUnit unit)
{
    AUChannelInfo configurations[8] = {};
    UInt32 size = sizeof configurations;
    Pairs result;
    if (AudioUnitGetProperty(unit, kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global, 0, configurations,
                             &size) == noErr)
        for (UInt32 index = 0; index < size / sizeof(AUChannelInfo); ++index)
            result.emplace_back(configurations[index].inChannels, configurations[index].outChannels);
    return result;
}

UInt32 elementCount(AudioUnit unit, AudioUnitScope scope)
{
    UInt32 count = 99;
    EXPECT_EQ(getProperty(unit, kAudioUnitProperty_ElementCount, count, scope), noErr);
    return count;
}

std::string elementName(AudioUnit unit, AudioUnitScope scope)
{
    CFStringRef name = nullptr;
    if (getProperty(unit, kAudioUnitProperty_ElementName, name, scope) != noErr)
        return "<none>";
    return text(Owned<CFStringRef>(name).get());
}

// The unit's storage is its component: pins of a bus against the channels of its stream.
const TandemComponent& componentOf(AudioUnit unit)
{
    return *reinterpret_cast<const TandemComponent*>(GetComponentInstanceStorage(unit));
}

TEST(ComponentBuses, StereoPinsMakeOneBusPerScopeAndMonoConfigurationsOnlyWithCanDoMonoIO)
{
    resetComponentTestEffect();
    ComponentBundle monoCapable(hostingTestEffect());
    OpenUnit unit(monoCapable);
    EXPECT_EQ(elementCount(unit, kAudioUnitScope_Input), 1u);
    EXPECT_EQ(elementCount(unit, kAudioUnitScope_Output), 1u);
    EXPECT_EQ(elementCount(unit, kAudioUnitScope_Global), 0u);
    EXPECT_EQ(elementName(unit, kAudioUnitScope_Input), "In 0");
    EXPECT_EQ(elementName(unit, kAudioUnitScope_Output), "Out 0");
    EXPECT_EQ(channelConfigurations(unit), (Pairs{{1, 1}, {1, 2}, {2, 1}, {2, 2}}));
    EXPECT_EQ(setStreamFormat(unit, kAudioUnitScope_Input, 0, 1), noErr) << "a mono stream on the stereo bus";
    EXPECT_EQ(componentOf(unit).getMaxInputChannels(0), 2);
    EXPECT_EQ(componentOf(unit).getActiveInputChannels(0), 1);
    EXPECT_EQ(componentOf(unit).getActiveOutputChannels(0), 2);

    BundleOptions stereoOnly = hostingTestEffect();
    stereoOnly.infoEdits = {{"<key>CanDoMonoIO</key>\n\t\t<true/>", "<key>CanDoMonoIO</key><false/>"}};
    ComponentBundle stereoBundle(stereoOnly);
    OpenUnit stereo(stereoBundle);
    EXPECT_EQ(channelConfigurations(stereo), (Pairs{{2, 2}}));
    EXPECT_EQ(setStreamFormat(stereo, kAudioUnitScope_Input, 0, 1), kAudioUnitErr_FormatNotSupported);
}

TEST(ComponentBuses, UnansweredPinsFallBackToMonoForOddCountsAndAStereoLastPinEndsTheLayout)
{
    FakeEffectControl& effect = resetComponentTestEffect();
    effect.numInputs = 3;
    effect.answerPinProperties = false;
    ComponentBundle unnamed(hostingTestEffect());
    {
        OpenUnit unit(unnamed);
        EXPECT_EQ(elementCount(unit, kAudioUnitScope_Input), 3u) << "odd pin count: one mono bus per pin";
        EXPECT_EQ(elementCount(unit, kAudioUnitScope_Output), 1u);
        EXPECT_EQ(elementName(unit, kAudioUnitScope_Input), "<none>");
        EXPECT_EQ(channelConfigurations(unit), (Pairs{{1, 1}, {1, 2}}));
    }

    effect = FakeEffectControl{};
    effect.numInputs = effect.numOutputs = 3;
    ComponentBundle odd(hostingTestEffect());
    OpenUnit unit(odd);
    ASSERT_NE(unit.get(), nullptr) << "a stereo flag on the last of three pins must not stop the process";
    EXPECT_EQ(elementCount(unit, kAudioUnitScope_Input), 2u);
    AudioStreamBasicDescription format{};
    EXPECT_EQ(getProperty(unit, kAudioUnitProperty_StreamFormat, format, kAudioUnitScope_Input, 1), noErr);
    EXPECT_EQ(format.mChannelsPerFrame, 1u);
    EXPECT_EQ(componentOf(unit).getMaxInputChannels(1), 1) << "the third pin's bus";
    EXPECT_EQ(componentOf(unit).getActiveOutputChannels(1), 1);
}

TEST(ComponentProperties, FormatsAndRatesTheEffectCannotWorkWithAreRefused)
{
    ComponentBundle bundle;
    OpenUnit unit(bundle);
    EXPECT_EQ(setStreamFormat(unit, kAudioUnitScope_Output, 0, 2, 0.0), kAudioUnitErr_FormatNotSupported);
    for (Float64 rate : {0.0, -48000.0, std::nan("")})
        EXPECT_EQ(setProperty(unit, kAudioUnitProperty_SampleRate, rate), kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(setProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice, UInt32{0}),
              kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(AudioUnitInitialize(unit), noErr) << "the effect still has a usable rate";
    Float64 rate = 0.0;
    EXPECT_EQ(getProperty(unit, kAudioUnitProperty_SampleRate, rate), noErr);
    EXPECT_EQ(rate, 44100.0);
}

// A host asking for slices of about 2^31 frames had the unit allocate
// gigabytes of buffers; 65536 frames is the documented most.
TEST(ComponentProperties, SliceSizeBeyondTheLimitIsRefusedAndTheOldSizeKept)
{
    ComponentBundle bundle;
    OpenUnit unit(bundle);
    ASSERT_EQ(setProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice, UInt32{512}), noErr);
    // The smallest size beyond the limit first: before the limit existed, the
    // larger ones would have been allocated.
    for (const UInt32 frames : {UInt32{65537}, UInt32{0x7FFFFFFF}, UInt32{0x80000000}, UInt32{0xFFFFFFFF}})
    {
        ASSERT_EQ(setProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice, frames),
                  kAudioUnitErr_InvalidPropertyValue)
            << frames;
        UInt32 kept = 0;
        EXPECT_EQ(getProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice, kept), noErr);
        EXPECT_EQ(kept, 512u) << frames;
    }
    EXPECT_EQ(setProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice, UInt32{65536}), noErr) << "the limit itself";
    ASSERT_EQ(AudioUnitInitialize(unit), noErr);
    BusBuffers output(2, 65536);
    EXPECT_EQ(render(unit, 0.0, output, 65536), noErr) << "a slice of the largest size renders";
}

TEST(ComponentListeners, ChangesArePostedWithoutListenersAndReachListenersInOrderOnceEachAndTheTableIsBounded)
{
    ComponentBundle bundle;
    OpenUnit unit(bundle);
    auhost::EventCollector collector;
    collector.addProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0);
    EXPECT_EQ(setProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice, UInt32{1024}), noErr);
    auhost::runEventLoop(0.05);
    ASSERT_EQ(collector.events().size(), 1u) << "without a listener of the unit, a change goes out as an event";
    EXPECT_EQ(collector.events()[0].event.mArgument.mProperty.mAudioUnit, unit.get());

    std::vector<Notification> heard;
    listen(unit,
           {kAudioUnitProperty_HostCallbacks, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitProperty_StreamFormat,
            kAudioUnitProperty_SampleRate},
           heard);
    HostCallbackInfo callbacks{};
    callbacks.hostUserData = &heard;
    for (int time = 0; time < 2; ++time)
        EXPECT_EQ(setProperty(unit, kAudioUnitProperty_HostCallbacks, callbacks), noErr);
    ASSERT_EQ(heard.size(), 1u) << "the same record twice notifies once";

    heard.clear();
    EXPECT_EQ(setProperty(unit, kAudioUnitProperty_SampleRate, Float64{48000.0}), noErr);
    ASSERT_EQ(heard.size(), 4u);
    EXPECT_EQ(heard[0].id, kAudioUnitProperty_StreamFormat);
    EXPECT_EQ(heard[0].scope, kAudioUnitScope_Input);
    EXPECT_EQ(heard[1].id, kAudioUnitProperty_SampleRate);
    EXPECT_EQ(heard[3].scope, kAudioUnitScope_Output);

    // The table's other entries: the frame count's listener again and again.
    for (int extra = 4; extra < 128; ++extra)
        listen(unit, {kAudioUnitProperty_MaximumFramesPerSlice}, heard);
    testing::internal::CaptureStderr();
    EXPECT_EQ(AudioUnitAddPropertyListener(unit, kAudioUnitProperty_Latency, recordNotification, &heard), memFullErr);
    EXPECT_EQ(AudioUnitRemovePropertyListenerWithUserData(unit, kAudioUnitProperty_MaximumFramesPerSlice,
                                                          recordNotification, &heard),
              noErr);
    EXPECT_EQ(AudioUnitAddPropertyListener(unit, kAudioUnitProperty_Latency, nullptr, &heard), paramErr)
        << "a listener without a procedure would crash the first notification";
    testing::internal::GetCapturedStderr();
    heard.clear();
    EXPECT_EQ(setProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice, UInt32{512}), noErr);
    EXPECT_EQ(heard.size(), 0u) << "removing a listener removes every entry of it";
    EXPECT_EQ(setProperty(unit, kAudioUnitProperty_SampleRate, Float64{44100.0}), noErr);
    EXPECT_EQ(heard.size(), 4u) << "the listeners of other properties stay";
}

TEST(ComponentConnections, ACallbackReplacesTheConnectionAndBothAreNotified)
{
    resetComponentTestEffect();
    ComponentBundle bundle(hostingTestEffect());
    OpenUnit source(bundle);
    OpenUnit unit(bundle);
    std::vector<Notification> heard;
    listen(unit, {kAudioUnitProperty_MakeConnection, kAudioUnitProperty_SetRenderCallback}, heard);
    ASSERT_EQ(
        setProperty(unit, kAudioUnitProperty_MakeConnection, AudioUnitConnection{source, 0, 0}, kAudioUnitScope_Input),
        noErr);

    heard.clear();
    InputSignal signal{{{1.0f}}};
    ASSERT_EQ(setInputSignal(unit, 0, signal), noErr);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].id, kAudioUnitProperty_MakeConnection);
    EXPECT_EQ(heard[1].id, kAudioUnitProperty_SetRenderCallback);
}

}  // namespace
