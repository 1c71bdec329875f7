// The property face: sizes and access, buses and channel configurations,
// connections and callbacks, listeners and their notifications.

#include "component_test_support.h"
#include "tandem/tandem_component.h"

#include <CoreFoundation/CoreFoundation.h>

#include <gtest/gtest.h>

#include <cmath>

namespace
{
using namespace componenttest;

struct Notification
{
    AudioUnitPropertyID id;
    AudioUnitScope scope;
    AudioUnitElement element;
};

void recordNotification(void* refCon, AudioUnit, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element)
{
    static_cast<std::vector<Notification>*>(refCon)->push_back({id, scope, element});
}

std::vector<AUChannelInfo> channelConfigurations(AudioUnit unit)
{
    UInt32 size = 0;
    Boolean writable = true;
    if (AudioUnitGetPropertyInfo(unit, kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global, 0, &size,
                                 &writable) != noErr)
        return {};
    std::vector<AUChannelInfo> configurations(size / sizeof(AUChannelInfo));
    EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global, 0,
                                   configurations.data(), &size),
              noErr);
    return configurations;
}

std::vector<std::pair<int, int>> pairs(const std::vector<AUChannelInfo>& configurations)
{
    std::vector<std::pair<int, int>> result;
    for (const AUChannelInfo& info : configurations)
        result.emplace_back(info.inChannels, info.outChannels);
    return result;
}

UInt32 elementCount(AudioUnit unit, AudioUnitScope scope)
{
    UInt32 count = 99;
    UInt32 size = sizeof count;
    EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_ElementCount, scope, 0, &count, &size), noErr);
    return count;
}

std::string elementName(AudioUnit unit, AudioUnitScope scope, AudioUnitElement element)
{
    CFStringRef name = nullptr;
    UInt32 size = sizeof name;
    if (AudioUnitGetProperty(unit, kAudioUnitProperty_ElementName, scope, element, &name, &size) != noErr)
        return "<none>";
    char text[256] = {};
    CFStringGetCString(name, text, sizeof text, kCFStringEncodingUTF8);
    CFRelease(name);
    return text;
}

TEST(ComponentBuses, StereoPinsMakeOneBusPerScopeAndMonoConfigurationsOnlyWithCanDoMonoIO)
{
    resetComponentTestEffect();
    ComponentBundle monoCapable(hostingTestEffect());
    OpenUnit unit(monoCapable);
    EXPECT_EQ(elementCount(unit, kAudioUnitScope_Input), 1u);
    EXPECT_EQ(elementCount(unit, kAudioUnitScope_Output), 1u);
    EXPECT_EQ(elementCount(unit, kAudioUnitScope_Global), 0u);
    EXPECT_EQ(elementName(unit, kAudioUnitScope_Input, 0), "In 0");
    EXPECT_EQ(elementName(unit, kAudioUnitScope_Output, 0), "Out 0");
    EXPECT_EQ(pairs(channelConfigurations(unit)), (std::vector<std::pair<int, int>>{{1, 1}, {1, 2}, {2, 1}, {2, 2}}));
    EXPECT_EQ(setStreamFormat(unit, kAudioUnitScope_Input, 0, 1), noErr) << "a mono stream on the stereo bus";
    // Pins of a bus against the channels of its stream, which nothing in the
    // component reads; the unit's storage is its component.
    const auto& component = *reinterpret_cast<const TandemComponent*>(GetComponentInstanceStorage(unit));
    EXPECT_EQ(component.getMaxInputChannels(0), 2);
    EXPECT_EQ(component.getActiveInputChannels(0), 1);
    EXPECT_EQ(component.getMaxOutputChannels(0), 2);
    EXPECT_EQ(component.getActiveOutputChannels(0), 2);

    BundleOptions stereoOnly = hostingTestEffect();
    stereoOnly.infoEdits = {{"<key>CanDoMonoIO</key>\n\t\t<true/>", "<key>CanDoMonoIO</key><false/>"}};
    ComponentBundle stereoBundle(stereoOnly);
    OpenUnit stereo(stereoBundle);
    EXPECT_EQ(pairs(channelConfigurations(stereo)), (std::vector<std::pair<int, int>>{{2, 2}}));
    EXPECT_EQ(setStreamFormat(stereo, kAudioUnitScope_Input, 0, 1), kAudioUnitErr_FormatNotSupported);
}

TEST(ComponentBuses, UnansweredPinsFallBackToMonoForOddCountsAndAStereoLastPinEndsTheLayout)
{
    FakeEffectControl& effect = resetComponentTestEffect();
    effect.numInputs = 3;
    effect.numOutputs = 2;
    effect.answerPinProperties = false;
    ComponentBundle unnamed(hostingTestEffect());
    {
        OpenUnit unit(unnamed);
        EXPECT_EQ(elementCount(unit, kAudioUnitScope_Input), 3u) << "odd pin count: one mono bus per pin";
        EXPECT_EQ(elementCount(unit, kAudioUnitScope_Output), 1u);
        EXPECT_EQ(elementName(unit, kAudioUnitScope_Input, 0), "<none>");
        EXPECT_EQ(pairs(channelConfigurations(unit)), (std::vector<std::pair<int, int>>{{1, 1}, {1, 2}}));
    }

    effect = FakeEffectControl{};
    effect.numInputs = 3;
    effect.numOutputs = 3;
    ComponentBundle odd(hostingTestEffect());
    OpenUnit unit(odd);
    ASSERT_NE(unit.get(), nullptr) << "a stereo flag on the last of three pins must not stop the process";
    EXPECT_EQ(elementCount(unit, kAudioUnitScope_Input), 2u);
    UInt32 size = 0;
    AudioStreamBasicDescription format{};
    size = sizeof format;
    EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 1, &format, &size),
              noErr);
    EXPECT_EQ(format.mChannelsPerFrame, 1u);
    const auto& component = *reinterpret_cast<const TandemComponent*>(GetComponentInstanceStorage(unit));
    EXPECT_EQ(component.getMaxInputChannels(1), 1) << "the third pin's bus";
    EXPECT_EQ(component.getActiveOutputChannels(1), 1);
}

TEST(ComponentProperties, SizesAccessAndAvailabilityOfTheEffectsOwnProperties)
{
    ComponentBundle bundle;
    OpenUnit unit(bundle);
    UInt32 size = 0;
    Boolean writable = false;
    ASSERT_EQ(
        AudioUnitGetPropertyInfo(unit, kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global, 0, &size, &writable),
        noErr);
    EXPECT_EQ(size, 32u);
    EXPECT_TRUE(writable);
    unsigned char callbacks[16];
    size = sizeof callbacks;
    EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global, 0, callbacks, &size),
              noErr);
    EXPECT_EQ(size, 16u);
    size = 32;
    EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global, 0, nullptr, &size),
              noErr);
    EXPECT_EQ(size, 0u) << "a size query answers the minimum";

    size = 99;
    EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_ParameterList, kAudioUnitScope_Input, 0, nullptr, &size),
              noErr);
    EXPECT_EQ(size, 0u);

    for (AudioUnitPropertyID unavailable :
         std::initializer_list<AudioUnitPropertyID>{kAudioUnitProperty_BypassEffect, 7})
        EXPECT_EQ(AudioUnitGetPropertyInfo(unit, unavailable, kAudioUnitScope_Global, 0, &size, &writable),
                  kAudioUnitErr_InvalidProperty)
            << unavailable;
    EXPECT_EQ(
        AudioUnitGetPropertyInfo(unit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 1, &size, &writable),
        kAudioUnitErr_InvalidElement);
    for (AudioUnitPropertyID globalOnly :
         std::initializer_list<AudioUnitPropertyID>{kAudioUnitProperty_Latency, kMusicDeviceProperty_InstrumentCount})
        EXPECT_EQ(AudioUnitGetPropertyInfo(unit, globalOnly, kAudioUnitScope_Input, 0, &size, &writable),
                  kAudioUnitErr_InvalidScope)
            << globalOnly;
    // Host faults refused instead of stopping the process.
    Float64 seconds = -1.0;
    EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, &seconds, nullptr),
              paramErr);
}

TEST(ComponentProperties, FormatsAndRatesTheEffectCannotWorkWithAreRefused)
{
    ComponentBundle bundle;
    OpenUnit unit(bundle);
    AudioStreamBasicDescription integer = {
        44100.0, kAudioFormatLinearPCM, kAudioFormatFlagIsSignedInteger, 2, 1, 2, 2, 16, 0};
    EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, &integer,
                                   sizeof integer),
              kAudioUnitErr_FormatNotSupported);
    EXPECT_EQ(setStreamFormat(unit, kAudioUnitScope_Output, 0, 2, 0.0), kAudioUnitErr_FormatNotSupported);
    for (Float64 rate : {0.0, -48000.0, std::nan("")})
        EXPECT_EQ(
            AudioUnitSetProperty(unit, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, &rate, sizeof rate),
            kAudioUnitErr_InvalidPropertyValue);
    const UInt32 noFrames = 0;
    EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, &noFrames,
                                   sizeof noFrames),
              kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(AudioUnitInitialize(unit), noErr) << "the effect still has a usable rate";
    Float64 rate = 0.0;
    UInt32 size = sizeof rate;
    EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, &rate, &size),
              noErr);
    EXPECT_EQ(rate, 44100.0);
}

TEST(ComponentListeners, ChangesReachListenersInOrderOnceEachAndTheTableIsBounded)
{
    ComponentBundle bundle;
    OpenUnit unit(bundle);
    std::vector<Notification> heard;
    for (AudioUnitPropertyID id : std::initializer_list<AudioUnitPropertyID>{
             kAudioUnitProperty_HostCallbacks, kAudioUnitProperty_MaximumFramesPerSlice,
             kAudioUnitProperty_StreamFormat, kAudioUnitProperty_SampleRate})
        ASSERT_EQ(AudioUnitAddPropertyListener(unit, id, recordNotification, &heard), noErr);

    HostCallbackInfo callbacks{};
    callbacks.hostUserData = &heard;
    for (int time = 0; time < 2; ++time)
        EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global, 0, &callbacks,
                                       sizeof callbacks),
                  noErr);
    ASSERT_EQ(heard.size(), 1u) << "the same record twice notifies once";

    heard.clear();
    const Float64 rate = 48000.0;
    EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, &rate, sizeof rate),
              noErr);
    ASSERT_EQ(heard.size(), 4u);
    EXPECT_EQ(heard[0].id, kAudioUnitProperty_StreamFormat);
    EXPECT_EQ(heard[0].scope, kAudioUnitScope_Input);
    EXPECT_EQ(heard[1].id, kAudioUnitProperty_SampleRate);
    EXPECT_EQ(heard[3].scope, kAudioUnitScope_Output);

    // The table's other entries: the frame count's listener again and again.
    for (int extra = 4; extra < 128; ++extra)
        ASSERT_EQ(
            AudioUnitAddPropertyListener(unit, kAudioUnitProperty_MaximumFramesPerSlice, recordNotification, &heard),
            noErr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(AudioUnitAddPropertyListener(unit, kAudioUnitProperty_Latency, recordNotification, &heard), memFullErr);
    EXPECT_EQ(AudioUnitRemovePropertyListenerWithUserData(unit, kAudioUnitProperty_MaximumFramesPerSlice,
                                                          recordNotification, &heard),
              noErr);
    EXPECT_EQ(AudioUnitAddPropertyListener(unit, kAudioUnitProperty_Latency, nullptr, &heard), paramErr)
        << "a listener without a procedure would crash the first notification";
    testing::internal::GetCapturedStderr();
    heard.clear();
    const UInt32 frames = 512;
    EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, &frames,
                                   sizeof frames),
              noErr);
    EXPECT_EQ(heard.size(), 0u) << "removing a listener removes every entry of it";
    const Float64 otherRate = 44100.0;
    EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, &otherRate,
                                   sizeof otherRate),
              noErr);
    EXPECT_EQ(heard.size(), 4u) << "the listeners of other properties stay";
}

TEST(ComponentConnections, ACallbackReplacesAConnectionAndConnectedInputsAreReadOnly)
{
    resetComponentTestEffect();
    ComponentBundle bundle(hostingTestEffect());
    OpenUnit source(bundle);
    OpenUnit unit(bundle);
    std::vector<Notification> heard;
    for (AudioUnitPropertyID id : std::initializer_list<AudioUnitPropertyID>{kAudioUnitProperty_MakeConnection,
                                                                             kAudioUnitProperty_SetRenderCallback})
        ASSERT_EQ(AudioUnitAddPropertyListener(unit, id, recordNotification, &heard), noErr);

    AudioUnitConnection connection = {source, 0, 1};
    EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0, &connection,
                                   sizeof connection),
              kAudioUnitErr_InvalidPropertyValue)
        << "the destination must be the element";
    connection.destInputNumber = 0;
    ASSERT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0, &connection,
                                   sizeof connection),
              noErr);
    UInt32 size = 0;
    Boolean writable = true;
    EXPECT_EQ(AudioUnitGetPropertyInfo(unit, kAudioUnitProperty_SampleRate, kAudioUnitScope_Input, 0, &size, &writable),
              noErr);
    EXPECT_FALSE(writable);

    heard.clear();
    InputSignal signal{{{1.0f}}};
    ASSERT_EQ(setInputSignal(unit, 0, signal), noErr);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].id, kAudioUnitProperty_MakeConnection);
    EXPECT_EQ(heard[1].id, kAudioUnitProperty_SetRenderCallback);
    EXPECT_EQ(AudioUnitGetPropertyInfo(unit, kAudioUnitProperty_SampleRate, kAudioUnitScope_Input, 0, &size, &writable),
              noErr);
    EXPECT_TRUE(writable);
}

// Without any listener of the unit, a change goes out as an event.
TEST(ComponentListeners, WithoutListenersAChangeIsPostedAsAPropertyEvent)
{
    ComponentBundle bundle;
    OpenUnit unit(bundle);
    std::vector<AudioUnitEvent> events;
    AUEventListenerRef listener = nullptr;
    const auto record = [](void* refCon, void*, const AudioUnitEvent* event, UInt64, AudioUnitParameterValue) {
        static_cast<std::vector<AudioUnitEvent>*>(refCon)->push_back(*event);
    };
    ASSERT_EQ(AUEventListenerCreate(record, &events, CFRunLoopGetCurrent(), nullptr, 0.0f, 0.0f, &listener), noErr);
    AudioUnitEvent wanted{};
    wanted.mEventType = kAudioUnitEvent_PropertyChange;
    wanted.mArgument.mProperty = {unit, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0};
    ASSERT_EQ(AUEventListenerAddEventType(listener, nullptr, &wanted), noErr);
    const UInt32 frames = 1024;
    EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, &frames,
                                   sizeof frames),
              noErr);
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.05, false);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].mArgument.mProperty.mAudioUnit, unit.get());
    AUListenerDispose(listener);
}
}  // namespace
