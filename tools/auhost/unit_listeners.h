#pragma once
// What a host hears from a unit: an event listener on the current thread's
// run loop for parameter and property events, which collects what arrives
// and unregisters on destruction.

#include <AudioToolbox/AudioToolbox.h>

#include <vector>

namespace auhost
{
struct CollectedEvent
{
    AudioUnitEvent event;
    AudioUnitParameterValue value;  // for parameter value changes
};

// Events are delivered while the run loop of the thread that made the
// collector runs (see runEventLoop).
class EventCollector
{
public:
    EventCollector();
    ~EventCollector();
    EventCollector(const EventCollector&) = delete;
    EventCollector& operator=(const EventCollector&) = delete;

    // Value changes and gestures of one parameter, or of all with
    // kAUParameterListener_AnyParameter.
    void addParameter(AudioUnit unit, AudioUnitParameterID id);
    void addProperty(AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element);

    const std::vector<CollectedEvent>& events() const { return collected; }
    void clear() { collected.clear(); }

private:
    static void deliver(void* refCon, void* object, const AudioUnitEvent* event, UInt64 hostTime,
                        AudioUnitParameterValue value);
    void add(const AudioUnitEvent& event);

    AUEventListenerRef listener = nullptr;
    std::vector<CollectedEvent> collected;
};
}  // namespace auhost
