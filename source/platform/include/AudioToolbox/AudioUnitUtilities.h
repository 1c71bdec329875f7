// Event listeners: a listener receives the parameter, gesture and property
// events it registered for, on the run loop it was created for, however and
// from whichever thread they were posted. Posting copies the event into each
// interested listener's preallocated queue under one short lock and wakes its
// loop; it never calls a listener itself and allocates nothing. A parameter value change waiting in a queue absorbs
// later changes of the same parameter, and the value handed to the listener is read with AudioUnitGetParameter at
// delivery.
#pragma once

#include <AudioUnit/AudioUnit.h>

CF_EXTERN_C_BEGIN

// A parameter ID that matches every parameter of the unit in a registration.
enum
{
    kAUParameterListener_AnyParameter = 0xFFFFFFFF
};

typedef struct AudioUnitParameter
{
    AudioUnit mAudioUnit;
    AudioUnitParameterID mParameterID;
    AudioUnitScope mScope;
    AudioUnitElement mElement;
} AudioUnitParameter;

typedef struct AudioUnitProperty
{
    AudioUnit mAudioUnit;
    AudioUnitPropertyID mPropertyID;
    AudioUnitScope mScope;
    AudioUnitElement mElement;
} AudioUnitProperty;

typedef UInt32 AudioUnitEventType;
enum
{
    kAudioUnitEvent_ParameterValueChange = 0,
    kAudioUnitEvent_BeginParameterChangeGesture = 1,
    kAudioUnitEvent_EndParameterChangeGesture = 2,
    kAudioUnitEvent_PropertyChange = 3,
};

typedef struct AudioUnitEvent
{
    AudioUnitEventType mEventType;
    union
    {
        AudioUnitParameter mParameter;  // the three parameter events
        AudioUnitProperty mProperty;    // kAudioUnitEvent_PropertyChange
    } mArgument;
} AudioUnitEvent;

typedef struct AUListenerBase* AUParameterListenerRef;
typedef AUParameterListenerRef AUEventListenerRef;

// inObject is the object given with the registration; inEventHostTime the
// monotonic time of posting in nanoseconds; inParameterValue is set for value
// changes only.
typedef void (*AUEventListenerProc)(void* inCallbackRefCon, void* inObject, const AudioUnitEvent* inEvent,
                                    UInt64 inEventHostTime, AudioUnitParameterValue inParameterValue);

// Delivers on inRunLoop in inRunLoopMode (NULL: the default mode). The
// interval and granularity are accepted; events are delivered on the loop's
// next turn. paramErr for a NULL procedure, loop or outListener.
CF_EXPORT OSStatus AUEventListenerCreate(AUEventListenerProc inProc, void* inCallbackRefCon, CFRunLoopRef inRunLoop,
                                         CFStringRef inRunLoopMode, Float32 inNotificationInterval,
                                         Float32 inValueChangeGranularity, AUEventListenerRef* outListener);
// Registers for events equal to inEvent (its parameter ID may be
// kAUParameterListener_AnyParameter). paramErr for an unknown event type.
CF_EXPORT OSStatus AUEventListenerAddEventType(AUEventListenerRef inListener, void* inObject,
                                               const AudioUnitEvent* inEvent);
// No event reaches the listener once this returns on its loop's thread.
CF_EXPORT OSStatus AUListenerDispose(AUParameterListenerRef inListener);

// Posts to every registration except those of inSendingListener and those
// made with inSendingObject (when not NULL).
CF_EXPORT OSStatus AUEventListenerNotify(AUEventListenerRef inSendingListener, void* inSendingObject,
                                         const AudioUnitEvent* inEvent);
// Posts a kAudioUnitEvent_ParameterValueChange for the parameter.
CF_EXPORT OSStatus AUParameterListenerNotify(AUParameterListenerRef inSendingListener, void* inSendingObject,
                                             const AudioUnitParameter* inParameter);

CF_EXTERN_C_END
