// What the hosted effect hears from the component when it calls its host,
// and the parameter events its own changes become.

#include "auhost/event_loop.h"
#include "auhost/unit_listeners.h"
#include "component_test_support.h"

#include <Carbon/Carbon.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace
{
using namespace componenttest;

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
