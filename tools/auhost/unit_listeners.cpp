#include "auhost/unit_listeners.h"

#include "auhost/au_error.h"

namespace auhost
{
EventCollector::EventCollector()
{
    check(AUEventListenerCreate(deliver, this, CFRunLoopGetCurrent(), kCFRunLoopDefaultMode, 0.0f, 0.0f, &listener),
          "AUEventListenerCreate");
}

EventCollector::~EventCollector() { AUListenerDispose(listener); }

void EventCollector::addParameter(AudioUnit unit, AudioUnitParameterID id)
{
    for (AudioUnitEventType type : {kAudioUnitEvent_ParameterValueChange, kAudioUnitEvent_BeginParameterChangeGesture,
                                    kAudioUnitEvent_EndParameterChangeGesture})
    {
        AudioUnitEvent event{};
        event.mEventType = type;
        event.mArgument.mParameter = {unit, id, kAudioUnitScope_Global, 0};
        add(event);
    }
}

void EventCollector::addProperty(AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element)
{
    AudioUnitEvent event{};
    event.mEventType = kAudioUnitEvent_PropertyChange;
    event.mArgument.mProperty = {unit, id, scope, element};
    add(event);
}

void EventCollector::add(const AudioUnitEvent& event)
{
    check(AUEventListenerAddEventType(listener, this, &event), "AUEventListenerAddEventType");
}

void EventCollector::deliver(void* refCon, void*, const AudioUnitEvent* event, UInt64, AudioUnitParameterValue value)
{
    static_cast<EventCollector*>(refCon)->collected.push_back({*event, value});
}
}  // namespace auhost
