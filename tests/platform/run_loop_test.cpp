// Run-loop timers and file-descriptor sources, and the Carbon calls over them.
#include "platform_test_support.h"

#include <Carbon/Carbon.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace
{

// Counts the firings of a timer and remembers the thread of the last one.
struct TimerProbe
{
    int fired = 0;
    int stopAfter = 0;  // > 0: invalidate the timer (or stop the loop) at this count
    bool stopLoop = false;
    bool nestOnce = false;  // the first firing runs the loop itself
    std::thread::id thread;
};

void countFiring(CFRunLoopTimerRef timer, void* info)
{
    auto& probe = *static_cast<TimerProbe*>(info);
    ++probe.fired;
    probe.thread = std::this_thread::get_id();
    if (probe.nestOnce && probe.fired == 1)
        CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.05, false);
    if (probe.stopAfter > 0 && probe.fired >= probe.stopAfter)
        probe.stopLoop ? CFRunLoopStop(CFRunLoopGetCurrent()) : CFRunLoopTimerInvalidate(timer);
}

CFRunLoopTimerRef makeTimer(TimerProbe& probe, CFTimeInterval delay, CFTimeInterval interval,
                            CFRunLoopTimerContext* context = nullptr)
{
    CFRunLoopTimerContext plain = {0, &probe, nullptr, nullptr, nullptr};
    return CFRunLoopTimerCreate(nullptr, CFAbsoluteTimeGetCurrent() + delay, interval, 0, 0, countFiring,
                                context ? context : &plain);
}

TEST(RunLoopTimers, DueTimersFireOnceInTheirOwnModeAndAreLetGo)
{
    TimerProbe due;
    TimerProbe later;
    CFRunLoopTimerRef dueTimer = makeTimer(due, -1.0, 0.0);
    CFRunLoopTimerRef laterTimer = makeTimer(later, 3600.0, 0.0);
    CFStringRef privateMode = CFSTR("com.example.velmora.private");
    CFRunLoopAddTimer(CFRunLoopGetCurrent(), dueTimer, privateMode);
    CFRunLoopAddTimer(CFRunLoopGetCurrent(), laterTimer, kCFRunLoopCommonModes);
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.0, true), kCFRunLoopRunTimedOut)
        << "a timer is not a handled source";
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopCommonModes, 1.0, false), kCFRunLoopRunFinished)
        << "the common-modes marker cannot be run";
    EXPECT_EQ(due.fired + later.fired, 0) << "other modes stay quiet and the later timer waits";
    EXPECT_EQ(CFRunLoopRunInMode(privateMode, 5.0, false), kCFRunLoopRunFinished)
        << "once the one-shot timer is gone its mode is empty";
    EXPECT_EQ(due.fired, 1);
    EXPECT_FALSE(CFRunLoopTimerIsValid(dueTimer));
    EXPECT_EQ(CFGetRetainCount(dueTimer), 1) << "the loop let go of the timer";
    CFRunLoopTimerSetNextFireDate(laterTimer, CFAbsoluteTimeGetCurrent() - 1.0);
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.0, false);
    EXPECT_EQ(later.fired, 1) << "a fire date moved into the past is due at the next turn";
    CFRelease(dueTimer);
    CFRelease(laterTimer);
}

TEST(RunLoopTimers, TimersFireOnlyOnTheThreadWhoseLoopTheyWereAddedTo)
{
    TimerProbe workerProbe;
    TimerProbe mainProbe;
    CFRunLoopTimerRef workerTimer = makeTimer(workerProbe, 0.0, 0.0);
    CFRunLoopTimerRef mainTimer = makeTimer(mainProbe, 0.0, 0.0);
    std::thread worker([&] {
        CFRunLoopAddTimer(CFRunLoopGetCurrent(), workerTimer, kCFRunLoopCommonModes);
        CFRunLoopAddTimer(CFRunLoopGetMain(), mainTimer, kCFRunLoopCommonModes);  // for the main thread
        CFRunLoopRunInMode(kCFRunLoopDefaultMode, 5.0, false);
    });
    worker.join();
    EXPECT_EQ(workerProbe.fired, 1);
    EXPECT_NE(workerProbe.thread, std::this_thread::get_id());
    EXPECT_EQ(mainProbe.fired, 0) << "the worker's run must not fire the main loop's timer";
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.0, false);
    EXPECT_EQ(mainProbe.fired, 1);
    EXPECT_EQ(mainProbe.thread, std::this_thread::get_id());
    CFRelease(workerTimer);
    CFRelease(mainTimer);
}

TEST(RunLoopTimers, NestedRunDoesNotReenterAFiringTimer)
{
    TimerProbe probe;
    probe.nestOnce = true;
    probe.stopAfter = 2;
    CFRunLoopTimerRef timer = makeTimer(probe, 0.0, 0.001);
    CFRunLoopAddTimer(CFRunLoopGetCurrent(), timer, kCFRunLoopCommonModes);
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 30.0, false), kCFRunLoopRunFinished)
        << "the repeating timer invalidated by its callback leaves the mode empty";
    EXPECT_EQ(probe.fired, 2) << "the nested run skipped the timer whose callback was running";
    CFRelease(timer);
}

TEST(RunLoopTimers, StopEndsTheRunAndContextInfoIsReleasedWithTheTimer)
{
    static int releases;
    releases = 0;  // also when the test is repeated
    TimerProbe probe;
    probe.stopAfter = 1;
    probe.stopLoop = true;
    CFRunLoopTimerContext context = {0, &probe, [](const void* info) { return info; }, [](const void*) { ++releases; },
                                     nullptr};
    CFRunLoopTimerRef timer = makeTimer(probe, 0.0, 0.001, &context);
    CFRunLoopAddTimer(CFRunLoopGetCurrent(), timer, kCFRunLoopCommonModes);
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 30.0, false), kCFRunLoopRunStopped);
    CFRunLoopTimerInvalidate(timer);
    EXPECT_EQ(releases, 0);
    CFRelease(timer);
    EXPECT_EQ(releases, 1);
}

TEST(CarbonEventLoop, InstalledTimerFiresWhileTheCurrentLoopRuns)
{
    int fired = 0;
    EventLoopTimerUPP procedure = NewEventLoopTimerUPP([](EventLoopTimerRef, void* data) {
        if (++*static_cast<int*>(data) == 2)
            CFRunLoopStop(CFRunLoopGetCurrent());
    });
    EventLoopTimerRef timer = nullptr;
    ASSERT_EQ(InstallEventLoopTimer(GetCurrentEventLoop(), 0.0, 0.001, procedure, &fired, &timer), noErr);
    EXPECT_EQ(RunCurrentEventLoop(kEventDurationForever), eventLoopQuitErr);
    EXPECT_EQ(fired, 2);
    EXPECT_EQ(RemoveEventLoopTimer(timer), noErr);
    EXPECT_EQ(RunCurrentEventLoop(kEventDurationNoWait), eventLoopTimedOutErr)
        << "an empty loop still runs (a Mac loop always has its window-server source)";
    DisposeEventLoopTimerUPP(procedure);
}

void readOneByte(CFFileDescriptorRef descriptor, CFOptionFlags, void* info)
{
    char byte;
    if (read(CFFileDescriptorGetNativeDescriptor(descriptor), &byte, 1) == 1)
        ++*static_cast<int*>(info);
}

TEST(RunLoopFileDescriptor, ReadCallbackIsOneShotUntilEnabledAgainAndInvalidationCloses)
{
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    int reads = 0;
    CFFileDescriptorContext context = {0, &reads, nullptr, nullptr, nullptr};
    CFFileDescriptorRef descriptor = CFFileDescriptorCreate(nullptr, ends[0], true, readOneByte, &context);
    CFRunLoopSourceRef source = CFFileDescriptorCreateRunLoopSource(nullptr, descriptor, 0);
    CFRunLoopAddSource(CFRunLoopGetCurrent(), source, kCFRunLoopDefaultMode);
    CFFileDescriptorEnableCallBacks(descriptor, kCFFileDescriptorReadCallBack);

    ASSERT_EQ(write(ends[1], "ab", 2), 2);
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 30.0, true), kCFRunLoopRunHandledSource);
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.0, true), kCFRunLoopRunTimedOut)
        << "the second byte waits until the callback is enabled again";
    EXPECT_EQ(reads, 1);
    CFFileDescriptorEnableCallBacks(descriptor, kCFFileDescriptorReadCallBack);
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.0, true), kCFRunLoopRunHandledSource);
    EXPECT_EQ(reads, 2);

    CFFileDescriptorInvalidate(descriptor);
    EXPECT_FALSE(CFRunLoopSourceIsValid(source)) << "invalidating the descriptor invalidates its source";
    EXPECT_EQ(fcntl(ends[0], F_GETFD), -1) << "closed on invalidation as asked";
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.0, false), kCFRunLoopRunFinished);
    CFRelease(source);
    CFRelease(descriptor);
    close(ends[1]);
}

}  // namespace
