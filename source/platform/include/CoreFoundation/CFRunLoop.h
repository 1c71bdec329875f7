// Per-thread run loops with timers and file-descriptor sources. No thread is
// created here: a loop runs only inside CFRunLoopRunInMode on its own thread,
// so timers and sources fire on the thread whose loop they were added to.
// Adding, removing and invalidating may be done from any thread; the loop is
// woken up.
//
// Modes: a timer or source added with kCFRunLoopCommonModes runs in the
// default mode (the only common mode); one added with another mode runs only
// when the loop runs in that mode.
#pragma once

#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFDate.h>

CF_EXTERN_C_BEGIN

typedef struct __CFRunLoop* CFRunLoopRef;
typedef struct __CFRunLoopSource* CFRunLoopSourceRef;
typedef struct __CFRunLoopTimer* CFRunLoopTimerRef;
typedef CFStringRef CFRunLoopMode;

CF_EXPORT const CFRunLoopMode kCFRunLoopDefaultMode;
CF_EXPORT const CFRunLoopMode kCFRunLoopCommonModes;

typedef SInt32 CFRunLoopRunResult;
enum
{
    kCFRunLoopRunFinished = 1,  // the mode has no timers or sources
    kCFRunLoopRunStopped = 2,   // CFRunLoopStop
    kCFRunLoopRunTimedOut = 3,
    kCFRunLoopRunHandledSource = 4
};

CF_EXPORT CFTypeID CFRunLoopGetTypeID(void);
// The calling thread's loop, made on first use. Not retained for the caller.
CF_EXPORT CFRunLoopRef CFRunLoopGetCurrent(void);
// The loop of the process's main thread, from any thread.
CF_EXPORT CFRunLoopRef CFRunLoopGetMain(void);

// Runs the calling thread's loop. seconds <= 0 makes one non-blocking turn:
// due timers fire and ready sources are handled. Timers never count as a
// handled source. Running kCFRunLoopCommonModes itself answers Finished.
// Calls may nest (a callback may run the loop again); a timer or source whose
// callback is in progress does not fire again in the nested run.
CF_EXPORT CFRunLoopRunResult CFRunLoopRunInMode(CFRunLoopMode mode, CFTimeInterval seconds,
                                                Boolean returnAfterSourceHandled);
// Makes the innermost run of rl return kCFRunLoopRunStopped.
CF_EXPORT void CFRunLoopStop(CFRunLoopRef rl);
CF_EXPORT void CFRunLoopWakeUp(CFRunLoopRef rl);

CF_EXPORT void CFRunLoopAddSource(CFRunLoopRef rl, CFRunLoopSourceRef source, CFRunLoopMode mode);
CF_EXPORT void CFRunLoopRemoveSource(CFRunLoopRef rl, CFRunLoopSourceRef source, CFRunLoopMode mode);
CF_EXPORT Boolean CFRunLoopContainsSource(CFRunLoopRef rl, CFRunLoopSourceRef source, CFRunLoopMode mode);
// A timer belongs to at most one loop; adding it to a second one is ignored.
CF_EXPORT void CFRunLoopAddTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFRunLoopMode mode);
CF_EXPORT void CFRunLoopRemoveTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFRunLoopMode mode);
CF_EXPORT Boolean CFRunLoopContainsTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFRunLoopMode mode);

CF_EXPORT CFTypeID CFRunLoopSourceGetTypeID(void);
// Removes the source from every loop.
CF_EXPORT void CFRunLoopSourceInvalidate(CFRunLoopSourceRef source);
CF_EXPORT Boolean CFRunLoopSourceIsValid(CFRunLoopSourceRef source);

typedef void (*CFRunLoopTimerCallBack)(CFRunLoopTimerRef timer, void* info);

typedef struct
{
    CFIndex version;
    void* info;
    const void* (*retain)(const void* info);
    void (*release)(const void* info);
    CFStringRef (*copyDescription)(const void* info);
} CFRunLoopTimerContext;

CF_EXPORT CFTypeID CFRunLoopTimerGetTypeID(void);
// interval <= 0 makes a one-shot timer, invalidated after it fired. A
// repeating timer that falls behind skips the missed firings. The context's
// info is retained (with its retain callback) and released when the timer is
// freed.
CF_EXPORT CFRunLoopTimerRef CFRunLoopTimerCreate(CFAllocatorRef allocator, CFAbsoluteTime fireDate,
                                                 CFTimeInterval interval, CFOptionFlags flags, CFIndex order,
                                                 CFRunLoopTimerCallBack callout, CFRunLoopTimerContext* context);
// Stops the timer for good and removes it from its loop.
CF_EXPORT void CFRunLoopTimerInvalidate(CFRunLoopTimerRef timer);
CF_EXPORT Boolean CFRunLoopTimerIsValid(CFRunLoopTimerRef timer);
CF_EXPORT CFAbsoluteTime CFRunLoopTimerGetNextFireDate(CFRunLoopTimerRef timer);
CF_EXPORT void CFRunLoopTimerSetNextFireDate(CFRunLoopTimerRef timer, CFAbsoluteTime fireDate);
CF_EXPORT CFTimeInterval CFRunLoopTimerGetInterval(CFRunLoopTimerRef timer);
CF_EXPORT Boolean CFRunLoopTimerDoesRepeat(CFRunLoopTimerRef timer);

CF_EXTERN_C_END
