// The property listeners: who hears of a property's change, and the event
// posted when nobody registered.

#include "tandem/tandem_property_listeners.h"

#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_trace.h"

#include <algorithm>

void PropertyListeners::propertyChanged(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element)
{
    // A listener may add or remove listeners while it is called.
    for (int index = 0; index < propertyListenerCount; ++index)
    {
        const AUPropertyListener listener = propertyListeners[index];
        if (listener.propertyID == id)
        {
            listener.listenerProc(listener.listenerRefCon, auComponentInstance, id, scope, element);
        }
    }
    if (propertyListenerCount == 0)
    {
        AudioUnitEvent event{};
        event.mEventType = kAudioUnitEvent_PropertyChange;
        event.mArgument.mProperty = {auComponentInstance, id, scope, element};
        AUEventListenerNotify(nullptr, nullptr, &event);
    }
}

void PropertyListeners::addPropertyListener(AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc, void* refCon)
{
    if (proc == nullptr)
    {
        throw MacOSException(paramErr);
    }
    if (propertyListenerCount >= kMaxPropertyListeners)
    {
        throw MacOSException(memFullErr);
    }
    propertyListeners[propertyListenerCount++] = {id, proc, refCon};
    tandemTrace("AU Added listener %p (refcon: %p) on property: %d\n", reinterpret_cast<void*>(proc), refCon,
                static_cast<int>(id));
}

void PropertyListeners::removePropertyListener(AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc, void* refCon)
{
    const auto end = std::remove_if(
        propertyListeners, propertyListeners + propertyListenerCount, [&](const AUPropertyListener& listener) {
            const bool matches = listener.propertyID == id && listener.listenerProc == proc &&
                                 listener.listenerRefCon == refCon;
            if (matches)
            {
                tandemTrace("AU Removed listener on %d\n", static_cast<int>(id));
            }
            return matches;
        });
    propertyListenerCount = static_cast<int>(end - propertyListeners);
}
