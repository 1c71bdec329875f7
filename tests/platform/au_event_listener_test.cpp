// Event listeners: events posted on any thread reach the listener on its own
// run loop, as registered.
#include "platform_test_support.h"

#include <AudioToolbox/AudioToolbox.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace
{

struct Delivered
{
    AudioUnitEventType type;
    UInt32 id;  // parameter or property
    void* object;
    AudioUnitParameterValue value;
    std::thread::id thread;
};

void remember(void* refCon, void* object, const AudioUnitEvent* event, UInt64, AudioUnitParameterValue value)
{
    const UInt32 id = event->mEventType == kAudioUnitEvent_PropertyChange ? event->mArgument.mProperty.mPropertyID
                                                                          : event->mArgument.mParameter.mParameterID;
    static_cast<std::vector<Delivered>*>(refCon)->push_back(
        {event->mEventType, id, object, value, std::this_thread::get_id()});
}

// A property change or a parameter event of the unit's global scope.
AudioUnitEvent event(AudioUnitEventType type, AudioUnit unit, UInt32 id)
{
    AudioUnitEvent event = {};
    event.mEventType = type;
    if (type == kAudioUnitEvent_PropertyChange)
        event.mArgument.mProperty = {unit, id, kAudioUnitScope_Global, 0};
    else
        event.mArgument.mParameter = {unit, id, kAudioUnitScope_Global, 0};
    return event;
}

class EventListenerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(OpenAComponent(platformtest::testComponent(kAudioUnitType_Effect), &unit), noErr);
        ASSERT_EQ(AUEventListenerCreate(remember, &delivered, CFRunLoopGetCurrent(), kCFRunLoopDefaultMode, 0.01f, 0.0f,
                                        &listener),
                  noErr);
    }

    void TearDown() override
    {
        if (listener)
            AUListenerDispose(listener);
        CloseComponent(unit);
    }

    static void runLoopBriefly() { CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.2, true); }

    AudioUnit unit = nullptr;
    AUEventListenerRef listener = nullptr;
    std::vector<Delivered> delivered;
};

TEST_F(EventListenerTest, EventsPostedElsewhereArriveOnTheListenersLoopAsRegistered)
{
    int object = 0;
    const AudioUnitEvent anyParameter = event(kAudioUnitEvent_ParameterValueChange, unit,
                                              kAUParameterListener_AnyParameter);
    const AudioUnitEvent gesture = event(kAudioUnitEvent_BeginParameterChangeGesture, unit, 2);
    const AudioUnitEvent preset = event(kAudioUnitEvent_PropertyChange, unit, kAudioUnitProperty_CurrentPreset);
    ASSERT_EQ(AUEventListenerAddEventType(listener, &object, &anyParameter), noErr);
    ASSERT_EQ(AUEventListenerAddEventType(listener, &object, &gesture), noErr);
    ASSERT_EQ(AUEventListenerAddEventType(listener, nullptr, &preset), noErr);

    std::thread([&] {
        const AudioUnitParameter parameter = {unit, 3, kAudioUnitScope_Global, 0};
        AUEventListenerNotify(nullptr, nullptr, &gesture);
        AUParameterListenerNotify(nullptr, nullptr, &parameter);
        for (const AudioUnitEvent& posted :
             {event(kAudioUnitEvent_ParameterValueChange, unit, 3),
              event(kAudioUnitEvent_EndParameterChangeGesture, unit, 2),
              event(kAudioUnitEvent_PropertyChange, unit, kAudioUnitProperty_PresentPreset), preset})
            AUEventListenerNotify(nullptr, nullptr, &posted);
    }).join();
    EXPECT_TRUE(delivered.empty()) << "nothing is called on the posting thread";
    runLoopBriefly();

    ASSERT_EQ(delivered.size(), 3u) << "unregistered events stay away; the two value changes are one";
    EXPECT_EQ(delivered[0].type, kAudioUnitEvent_BeginParameterChangeGesture);
    EXPECT_EQ(delivered[1].type, kAudioUnitEvent_ParameterValueChange);
    EXPECT_EQ(delivered[1].id, 3u);
    EXPECT_EQ(delivered[1].object, &object);
    EXPECT_EQ(delivered[1].value, 1.5f) << "read back from the unit at delivery";
    EXPECT_EQ(delivered[2].id, static_cast<UInt32>(kAudioUnitProperty_CurrentPreset));
    for (const Delivered& each : delivered)
        EXPECT_EQ(each.thread, std::this_thread::get_id());
}

// Hosts dispose of their listeners while the unit goes on posting.
TEST_F(EventListenerTest, AnEventQueuedBeforeDisposalIsDroppedWithTheListener)
{
    const AudioUnitEvent change = event(kAudioUnitEvent_ParameterValueChange, unit, 1);
    ASSERT_EQ(AUEventListenerAddEventType(listener, nullptr, &change), noErr);
    std::thread([&change] { AUEventListenerNotify(nullptr, nullptr, &change); }).join();
    ASSERT_EQ(AUListenerDispose(listener), noErr);
    EXPECT_EQ(AUListenerDispose(listener), paramErr);
    listener = nullptr;
    runLoopBriefly();
    EXPECT_TRUE(delivered.empty());
}

}  // namespace
