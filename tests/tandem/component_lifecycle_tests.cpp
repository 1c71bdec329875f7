// Opening and closing the component, its configuration, the component
// selectors and the parameter calls; what the hosted effect hears from the
// component when it calls its host, and the parameter events its own changes
// become.

#include "auhost/event_loop.h"
#include "auhost/unit_listeners.h"
#include "component_test_support.h"

#include <Carbon/Carbon.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace
{
using namespace componenttest;

TEST(ComponentLifecycle, SelectorsInitializeOnceAndClosingRemovesTheIdleTimerAndTheEffect)
{
    FakeEffectControl& effect = resetComponentTestEffect();
    ComponentBundle bundle(hostingTestEffect());
    {
        OpenUnit unit(bundle);
        ASSERT_EQ(effect.liveEffects, 1);
        EXPECT_EQ(ComponentFunctionImplemented(unit, kMusicDeviceMIDIEventSelect), 1);
        EXPECT_EQ(ComponentFunctionImplemented(unit, kAudioUnitRenderSelect), 1);
        EXPECT_EQ(ComponentFunctionImplemented(unit, kAudioUnitRemovePropertyListenerSelect), 0);
        EXPECT_EQ(ComponentFunctionImplemented(unit, 12), 0);
        EXPECT_EQ(GetComponentVersion(unit), 65536) << "the version of the bundle's AudioComponents entry";

        EXPECT_EQ(AudioUnitUninitialize(unit), noErr) << "nothing to suspend";
        EXPECT_EQ(AudioUnitInitialize(unit), noErr);
        EXPECT_EQ(AudioUnitInitialize(unit), noErr);
        EXPECT_EQ(effect.resumeCalls, 1);
        EXPECT_EQ(AudioUnitReset(unit, kAudioUnitScope_Global, 0), noErr);
        EXPECT_EQ(effect.resumeCalls, 2) << "Reset suspends and resumes a resumed effect";
        RunCurrentEventLoop(0.2);
        EXPECT_GT(effect.idleCalls, 2) << "the idle timer gives the effect effIdle";
    }
    EXPECT_EQ(effect.liveEffects, 0) << "closing an initialized unit closes the effect";
    const int idleCalls = effect.idleCalls;
    RunCurrentEventLoop(0.1);
    EXPECT_EQ(effect.idleCalls, idleCalls) << "no timer outlives its component";
}

TEST(ComponentConfiguration, FailedOpensLogTheirCauseLeaveNoInstanceAndCloseTheEffect)
{
    // The test effect, where hosted, cannot process in place.
    const std::pair<BundleOptions, const char*> failures[] = {
        {{{{"<key>CanDoMonoIO</key>", "<key>CanDoMonoOut</key>"}}, {}}, "Missing key in dictionary"},
        {{{{kProgramMode, "<key>PresetIsFXB</key><string>no</string>"}}, {}},
         "Value in dictionary is not of expected type"},
        {hostingTestEffect(), "VST does not support processReplacing()"},
        {{{}, {FAKE_EFFECT, FAKE_EFFECT_COPY}}, "Found more than one VST bundle or alias in resources"},
    };
    for (const auto& [options, cause] : failures)
    {
        FakeEffectControl& effect = resetComponentTestEffect();
        effect.flags = 0;
        ComponentBundle bundle(options);
        AudioUnit unit = reinterpret_cast<AudioUnit>(&bundle);
        testing::internal::CaptureStderr();
        EXPECT_EQ(bundle.open(unit), -32767) << cause;
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(unit, nullptr) << cause;
        EXPECT_PRED2(contains, log, "[Quarn Records: Velmora](");
        EXPECT_PRED2(contains, log, std::string(") Caught exception in TandemEntry: ") + cause + "\n");
        EXPECT_EQ(effect.liveEffects, 0) << cause;
        const int idleCalls = effect.idleCalls;
        RunCurrentEventLoop(0.1);
        EXPECT_EQ(effect.idleCalls, idleCalls) << cause;
    }
    ComponentBundle good;
    OpenUnit unit(good);
    EXPECT_NE(unit.get(), nullptr) << "a failed open leaves the process able to open again";
}

// Host faults that must not stop the process; scheduled events from the render
// thread, which writes no trace.
TEST(ComponentParameters, HostFaultsAreRefusedAndScheduledEventsApplyInOrderUntilTheFirstBadOne)
{
    ComponentBundle bundle;
    OpenUnit unit(bundle);
    EXPECT_EQ(AudioUnitGetParameter(unit, 0, kAudioUnitScope_Global, 0, nullptr), paramErr);
    EXPECT_EQ(AudioUnitSetParameter(unit, 1, kAudioUnitScope_Global, 0, std::nanf(""), 0), paramErr);
    Float64 seconds = -1.0;
    EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, &seconds, nullptr),
              paramErr);

    AudioUnitParameterInfo info{};
    ASSERT_EQ(getProperty(unit, kAudioUnitProperty_ParameterInfo, info, kAudioUnitScope_Global, 2), noErr);
    const auto immediate = [](AudioUnitParameterID id, UInt32 offset, float value) {
        AudioUnitParameterEvent event{};
        event.scope = kAudioUnitScope_Global;
        event.parameter = id;
        event.eventType = kParameterEvent_Immediate;
        event.eventValues.immediate = {offset, value};
        return event;
    };
    AudioUnitParameterEvent ramp = immediate(2, 0, info.minValue);
    ramp.eventType = kParameterEvent_Ramped;
    const AudioUnitParameterEvent events[] = {immediate(2, 0, info.maxValue), ramp, immediate(2, 4096, info.minValue)};
    testing::internal::CaptureStderr();
    EXPECT_EQ(AudioUnitScheduleParameters(unit, events, 2), noErr);
    EXPECT_EQ(AudioUnitScheduleParameters(unit, events, 3), paramErr)
        << "an offset outside the slice is the host's fault";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "")
        << "called from the render thread: no trace line, not even for a failure";
    AudioUnitParameterValue value = 0.0f;
    EXPECT_EQ(AudioUnitGetParameter(unit, 2, kAudioUnitScope_Global, 0, &value), noErr);
    EXPECT_FLOAT_EQ(value, info.maxValue) << "the first event stays applied, the ramp is skipped";
}

VstIntPtr ask(FakeEffectControl& effect, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
              float opt = 0.0f)
{
    return effect.audioMaster(effect.effect, opcode, index, value, ptr, opt);
}

TEST(ComponentHostCallbacks, TheEffectHearsTheHostsIdentityCapabilitiesAndPinsAndItsEditsReachTheHost)
{
    FakeEffectControl& effect = resetComponentTestEffect();
    ComponentBundle bundle(hostingTestEffect());
    OpenUnit unit(bundle);
    testing::internal::CaptureStderr();
    char text[256] = {};
    ask(effect, audioMasterGetVendorString, 0, 0, text);
    EXPECT_STREQ(text, "Orvel Development");
    ask(effect, audioMasterGetProductString, 0, 0, text);
    EXPECT_STREQ(text, "Tandem") << "an unidentified host";
    EXPECT_EQ(ask(effect, audioMasterGetVendorVersion), 65536);
    for (const char* capability : {"sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo", "reportConnectionChanges",
                                   "sizeWindow", "supplyIdle"})
        EXPECT_EQ(ask(effect, audioMasterCanDo, 0, 0, const_cast<char*>(capability)), 1) << capability;
    for (const char* capability : {"SizeWindow", "receiveVstEvents", "sizeWindow "})
        EXPECT_EQ(ask(effect, audioMasterCanDo, 0, 0, const_cast<char*>(capability)), 0) << capability;
    for (int pin = 0; pin < 4; ++pin)
        EXPECT_EQ(ask(effect, audioMasterPinConnected, pin / 2, pin % 2), 0) << "pin " << pin / 2 << " connected";

    auhost::EventCollector collector;
    collector.addParameter(unit, kAUParameterListener_AnyParameter);
    ask(effect, audioMasterBeginEdit, 0);
    ask(effect, audioMasterAutomate, 0, 0, nullptr, 0.75f);
    ask(effect, audioMasterEndEdit, 0);
    testing::internal::GetCapturedStderr();
    auhost::runEventLoop(0.05);
    std::vector<AudioUnitEventType> heard;
    for (const auhost::CollectedEvent& collected : collector.events())
    {
        heard.push_back(collected.event.mEventType);
        EXPECT_EQ(collected.event.mArgument.mParameter.mAudioUnit, unit.get());
        EXPECT_EQ(collected.event.mArgument.mParameter.mParameterID, 0u) << "the parameter ID is the VST index";
        EXPECT_EQ(collected.event.mArgument.mParameter.mScope, kAudioUnitScope_Global);
    }
    EXPECT_EQ(heard, (std::vector<AudioUnitEventType>{kAudioUnitEvent_BeginParameterChangeGesture,
                                                      kAudioUnitEvent_ParameterValueChange,
                                                      kAudioUnitEvent_EndParameterChangeGesture}))
        << "the effect's gestures and changes reach the host as parameter events";
}

void recordProperty(void* refCon, AudioUnit, AudioUnitPropertyID id, AudioUnitScope, AudioUnitElement)
{
    static_cast<std::vector<AudioUnitPropertyID>*>(refCon)->push_back(id);
}

TEST(ComponentHostCallbacks, AProgramTheEffectChoseItselfBecomesTheCurrentPreset)
{
    FakeEffectControl& effect = resetComponentTestEffect();
    effect.numPrograms = 2;
    std::snprintf(effect.programNames[0], 25, "First");
    std::snprintf(effect.programNames[1], 25, "Second");
    ComponentBundle bundle(hostingTestEffect());
    OpenUnit unit(bundle);
    std::vector<AudioUnitPropertyID> heard;
    for (AudioUnitPropertyID id : {kAudioUnitProperty_CurrentPreset, kAudioUnitProperty_PresentPreset})
        ASSERT_EQ(AudioUnitAddPropertyListener(unit, id, recordProperty, &heard), noErr);
    testing::internal::CaptureStderr();
    effect.currentProgram = 1;
    ask(effect, audioMasterUpdateDisplay);
    RunCurrentEventLoop(0.1);
    const std::vector<AudioUnitPropertyID> presetChanged = {kAudioUnitProperty_CurrentPreset,
                                                            kAudioUnitProperty_PresentPreset};
    EXPECT_EQ(heard, presetChanged);
    ask(effect, audioMasterUpdateDisplay);
    RunCurrentEventLoop(0.1);
    EXPECT_EQ(heard, presetChanged) << "the same program again is no change";
    testing::internal::GetCapturedStderr();
}
}  // namespace
