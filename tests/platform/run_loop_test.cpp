// Run-loop timers and file-descriptor sources.
#include "platform_test_support.h"

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
    bool nestOnce = false;  // the first firing runs the loop itself, the second invalidates the timer
    std::thread::id thread;
};

void countFiring(CFRunLoopTimerRef timer, void* info)
{
    auto& probe = *static_cast<TimerProbe*>(info);
    probe.thread = std::this_thread::get_id();
    if (++probe.fired == 1 && probe.nestOnce)
        CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.05, false);
    else if (probe.nestOnce)
        CFRunLoopTimerInvalidate(timer);
}

// Due at once, in the common modes of the current loop.
CFRunLoopTimerRef addTimer(TimerProbe& probe, CFTimeInterval interval)
{
    CFRunLoopTimerContext context = {0, &probe, nullptr, nullptr, nullptr};
    CFRunLoopTimerRef timer = CFRunLoopTimerCreate(nullptr, CFAbsoluteTimeGetCurrent(), interval, 0, 0, countFiring,
                                                   &context);
    CFRunLoopAddTimer(CFRunLoopGetCurrent(), timer, kCFRunLoopCommonModes);
    return timer;
}

// A host may run its interface, and so the editor's timers, on a thread of its own.
TEST(RunLoopTimers, ATimerFiresOnTheThreadWhoseLoopItWasAddedToAndNoOther)
{
    TimerProbe workerProbe, mainProbe;
    CFRunLoopTimerRef mainTimer = addTimer(mainProbe, 0.0), workerTimer = nullptr;
    std::thread worker([&] {
        workerTimer = addTimer(workerProbe, 0.0);
        CFRunLoopRunInMode(kCFRunLoopDefaultMode, 5.0, false);
    });
    worker.join();
    EXPECT_EQ(workerProbe.fired, 1);
    EXPECT_NE(workerProbe.thread, std::this_thread::get_id());
    EXPECT_EQ(mainProbe.fired, 0) << "the worker's run must not fire this thread's timer";
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.0, false);
    EXPECT_EQ(mainProbe.fired, 1);
    CFRelease(workerTimer);
    CFRelease(mainTimer);
}

TEST(RunLoopTimers, NestedRunDoesNotReenterAFiringTimer)
{
    TimerProbe probe;
    probe.nestOnce = true;
    CFRunLoopTimerRef timer = addTimer(probe, 0.001);
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 30.0, false), kCFRunLoopRunFinished)
        << "the repeating timer invalidated by its callback leaves the mode empty";
    EXPECT_EQ(probe.fired, 2) << "the nested run skipped the timer whose callback was running";
    CFRelease(timer);
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
    CFRunLoopAddSource(CFRunLoopGetCurrent(), source, kCFRunLoopCommonModes);
    CFFileDescriptorEnableCallBacks(descriptor, kCFFileDescriptorReadCallBack);

    ASSERT_EQ(write(ends[1], "ab", 2), 2);
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 30.0, true), kCFRunLoopRunHandledSource);
    EXPECT_EQ(CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.0, true), kCFRunLoopRunTimedOut)
        << "the second byte waits until the callback is enabled again";
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
