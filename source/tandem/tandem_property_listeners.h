#pragma once
// The property listeners of one component: the table the host fills through
// kAudioUnitAddPropertyListenerSelect, and the notification that every part
// of the component sends when one of its properties changes.
//
// Threads: the host's main thread, which sets the properties whose changes
// are told; listeners are called on it, synchronously.

#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnit.h>

#include "tandem/tandem_thread.h"

inline constexpr int kMaxPropertyListeners = 128;

struct AUPropertyListener
{
    AudioUnitPropertyID propertyID;
    AudioUnitPropertyListenerProc listenerProc;
    void* listenerRefCon;
};

class PropertyListeners : OwnedByMainThread
{
public:
    // Listeners are told of changes to this instance.
    explicit PropertyListeners(ComponentInstance auComponentInstance) : auComponentInstance(auComponentInstance) {}

    // Calls the listeners of the property in registration order; with none
    // registered at all, posts the change as an Audio Unit event instead.
    void propertyChanged(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element);
    // paramErr without a procedure, memFullErr with the table full.
    void addPropertyListener(AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc, void* refCon);
    // Every entry of the three values.
    void removePropertyListener(AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc, void* refCon);

private:
    ComponentInstance auComponentInstance;
    int propertyListenerCount = 0;
    AUPropertyListener propertyListeners[kMaxPropertyListeners] = {};
};
