// Carbon Event Manager calls over the CoreFoundation run loop.
#include "platform/cf_run_loop.h"

#include <Carbon/Carbon.h>

#include <ctime>

using namespace velmora::cf;

namespace
{

// Longer than any process runs; stands for "forever".
constexpr CFTimeInterval kForever = 1.0e10;

struct TimerTarget
{
    EventLoopTimerProcPtr procedure;
    void* userData;
};

void fireCarbonTimer(CFRunLoopTimerRef timer, void* info)
{
    const auto* target = static_cast<const TimerTarget*>(info);
    target->procedure(reinterpret_cast<EventLoopTimerRef>(timer), target->userData);
}

void releaseTarget(const void* info) { delete static_cast<const TimerTarget*>(info); }

CFRunLoopTimerRef timerOf(EventLoopTimerRef timer) { return reinterpret_cast<CFRunLoopTimerRef>(timer); }

}  // namespace

extern "C" {

UInt32 TickCount(void)
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const auto ticks = static_cast<uint64_t>(now.tv_sec) * 60 + static_cast<uint64_t>(now.tv_nsec) * 60 / 1000000000;
    return static_cast<UInt32>(ticks);
}

EventLoopRef GetCurrentEventLoop(void) { return reinterpret_cast<EventLoopRef>(CFRunLoopGetCurrent()); }
EventLoopRef GetMainEventLoop(void) { return reinterpret_cast<EventLoopRef>(CFRunLoopGetMain()); }
CFTypeRef GetCFRunLoopFromEventLoop(EventLoopRef inEventLoop) { return inEventLoop; }

OSStatus RunCurrentEventLoop(EventTimeout inTimeout)
{
    auto* loop = static_cast<RunLoop*>(CFRunLoopGetCurrent());
    const CFTimeInterval seconds = inTimeout < 0 ? kForever : inTimeout;
    const CFRunLoopRunResult result = loop->run("kCFRunLoopDefaultMode", seconds, false, true);
    return result == kCFRunLoopRunStopped ? eventLoopQuitErr : eventLoopTimedOutErr;
}

EventLoopTimerUPP NewEventLoopTimerUPP(EventLoopTimerProcPtr userRoutine) { return userRoutine; }
void DisposeEventLoopTimerUPP(EventLoopTimerUPP) {}

OSStatus InstallEventLoopTimer(EventLoopRef inEventLoop, EventTimerInterval inFireDelay, EventTimerInterval inInterval,
                               EventLoopTimerUPP inTimerProc, void* inTimerData, EventLoopTimerRef* outTimer)
{
    if (outTimer)
        *outTimer = nullptr;
    auto* loop = reinterpret_cast<CFRunLoopRef>(inEventLoop);
    if (!cast<RunLoop>(loop) || !inTimerProc || !outTimer)
        return paramErr;
    CFRunLoopTimerContext context = {0, new TimerTarget{inTimerProc, inTimerData}, nullptr, releaseTarget, nullptr};
    CFRunLoopTimerRef timer = CFRunLoopTimerCreate(nullptr, CFAbsoluteTimeGetCurrent() + inFireDelay, inInterval, 0, 0,
                                                   fireCarbonTimer, &context);
    if (!timer)
    {
        releaseTarget(context.info);
        return paramErr;
    }
    CFRunLoopAddTimer(loop, timer, kCFRunLoopCommonModes);
    // The caller's reference lives until RemoveEventLoopTimer, even for a
    // one-shot timer that has fired.
    *outTimer = reinterpret_cast<EventLoopTimerRef>(timer);
    return noErr;
}

OSStatus RemoveEventLoopTimer(EventLoopTimerRef inTimer)
{
    CFRunLoopTimerRef timer = timerOf(inTimer);
    if (!cast<RunLoopTimer>(timer))
        return paramErr;
    CFRunLoopTimerInvalidate(timer);
    CFRelease(timer);
    return noErr;
}

OSStatus SetEventLoopTimerNextFireTime(EventLoopTimerRef inTimer, EventTimerInterval inNextFire)
{
    CFRunLoopTimerRef timer = timerOf(inTimer);
    if (!cast<RunLoopTimer>(timer))
        return paramErr;
    CFRunLoopTimerSetNextFireDate(timer, CFAbsoluteTimeGetCurrent() + inNextFire);
    return noErr;
}

}  // extern "C"
