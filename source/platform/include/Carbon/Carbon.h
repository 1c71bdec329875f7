// Carbon Event Manager calls over the CoreFoundation run loop: ticks, running
// the current event loop, and event-loop timers.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/CoreServices.h>

CF_EXTERN_C_BEGIN

typedef double EventTime;
typedef EventTime EventTimeout;
typedef EventTime EventTimerInterval;

#define kEventDurationSecond ((EventTime)1.0)
#define kEventDurationMillisecond ((EventTime)(kEventDurationSecond / 1000))
#define kEventDurationMicrosecond ((EventTime)(kEventDurationSecond / 1000000))
#define kEventDurationNoWait ((EventTime)0.0)
#define kEventDurationForever ((EventTime)(-1.0))

enum
{
    eventLoopTimedOutErr = -9875,
    eventLoopQuitErr = -9876,
};

// Sixtieths of a second since the system started; wraps after about 2.3 years.
CF_EXPORT UInt32 TickCount(void);

typedef struct OpaqueEventLoopRef* EventLoopRef;
typedef struct __EventLoopTimer* EventLoopTimerRef;
typedef void (*EventLoopTimerProcPtr)(EventLoopTimerRef inTimer, void* inUserData);
typedef EventLoopTimerProcPtr EventLoopTimerUPP;

CF_EXPORT EventLoopRef GetCurrentEventLoop(void);
CF_EXPORT EventLoopRef GetMainEventLoop(void);
CF_EXPORT CFTypeRef GetCFRunLoopFromEventLoop(EventLoopRef inEventLoop);

// Runs the calling thread's loop in the default mode for inTimeout seconds
// (kEventDurationForever: until CFRunLoopStop), waiting the whole time even
// when nothing is scheduled. Answers eventLoopTimedOutErr, or
// eventLoopQuitErr when stopped.
CF_EXPORT OSStatus RunCurrentEventLoop(EventTimeout inTimeout);

CF_EXPORT EventLoopTimerUPP NewEventLoopTimerUPP(EventLoopTimerProcPtr userRoutine);
CF_EXPORT void DisposeEventLoopTimerUPP(EventLoopTimerUPP userUPP);
// A timer on inEventLoop's run loop in the common modes; inInterval 0 fires
// once. paramErr for a NULL loop, procedure or outTimer.
CF_EXPORT OSStatus InstallEventLoopTimer(EventLoopRef inEventLoop, EventTimerInterval inFireDelay,
                                         EventTimerInterval inInterval, EventLoopTimerUPP inTimerProc,
                                         void* inTimerData, EventLoopTimerRef* outTimer);
CF_EXPORT OSStatus RemoveEventLoopTimer(EventLoopTimerRef inTimer);
CF_EXPORT OSStatus SetEventLoopTimerNextFireTime(EventLoopTimerRef inTimer, EventTimerInterval inNextFire);

CF_EXTERN_C_END
