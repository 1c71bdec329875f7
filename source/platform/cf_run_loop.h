// Run loops, their timers and sources. One process-wide mutex guards all
// run-loop bookkeeping; callbacks always run with it released, and objects
// are released only after it is released (their release callbacks may call
// back in).
#pragma once

#include "platform/cf_object.h"

#include <CoreFoundation/CFFileDescriptor.h>
#include <CoreFoundation/CFRunLoop.h>

#include <mutex>
#include <string>
#include <vector>

namespace velmora::cf
{
std::mutex& runLoopMutex();
// References released after the mutex (declare before the lock).
using Doomed = std::vector<Ref<Object>>;
}  // namespace velmora::cf

struct __CFRunLoopTimer final : velmora::cf::Object
{
    static constexpr velmora::cf::TypeID kTypeID = velmora::cf::TypeID::kRunLoopTimer;

    __CFRunLoopTimer(CFAbsoluteTime firstFireDate, CFTimeInterval repeatInterval, CFRunLoopTimerCallBack callback,
                     const CFRunLoopTimerContext* timerContext);
    ~__CFRunLoopTimer() override;

    const CFTimeInterval interval;  // <= 0: one-shot
    const CFRunLoopTimerCallBack callout;
    const CFRunLoopTimerContext context;
    // Guarded by runLoopMutex():
    CFAbsoluteTime fireDate;
    unsigned fireDateChanges = 0;  // tells a callback's own rescheduling apart
    bool valid = true;
    bool firing = false;
    __CFRunLoop* loop = nullptr;  // the loop it was added to; that loop holds it
};

struct __CFFileDescriptor final : velmora::cf::Object
{
    static constexpr velmora::cf::TypeID kTypeID = velmora::cf::TypeID::kFileDescriptor;

    __CFFileDescriptor(int descriptor, bool closeWhenInvalidated, CFFileDescriptorCallBack callback,
                       const CFFileDescriptorContext* descriptorContext);
    ~__CFFileDescriptor() override;

    const int fd;
    const bool closeOnInvalidate;
    const CFFileDescriptorCallBack callout;
    const CFFileDescriptorContext context;
    // Guarded by runLoopMutex():
    CFOptionFlags enabledCallBacks = 0;
    bool valid = true;
    bool firing = false;
    __CFRunLoopSource* source = nullptr;  // not owned; cleared when the source goes
};

struct __CFRunLoopSource final : velmora::cf::Object
{
    static constexpr velmora::cf::TypeID kTypeID = velmora::cf::TypeID::kRunLoopSource;

    __CFRunLoopSource(CFIndex sourceOrder, __CFFileDescriptor* watched);
    ~__CFRunLoopSource() override;

    const CFIndex order;
    const velmora::cf::Ref<__CFFileDescriptor> descriptor;
    // Guarded by runLoopMutex():
    bool valid = true;
    std::vector<__CFRunLoop*> loops;  // loops holding it
};

struct __CFRunLoop final : velmora::cf::Object
{
    static constexpr velmora::cf::TypeID kTypeID = velmora::cf::TypeID::kRunLoop;

    __CFRunLoop();
    ~__CFRunLoop() override;

    // Runs on the calling thread, which must be the loop's own. Unless
    // waitWhenEmpty, a mode without timers and sources answers Finished.
    CFRunLoopRunResult run(const std::string& mode, CFTimeInterval seconds, bool returnAfterSourceHandled,
                           bool waitWhenEmpty);
    void wakeUp();

    template <typename T>
    struct Entry
    {
        velmora::cf::Ref<T> item;
        std::vector<std::string> modes;
    };

    // Guarded by runLoopMutex():
    std::vector<Entry<__CFRunLoopTimer>> timers;
    std::vector<Entry<__CFRunLoopSource>> sources;
    bool stopRequested = false;

private:
    bool isEmpty(const std::string& mode);
    bool consumeStop();
    CFAbsoluteTime nextFireDate(const std::string& mode);
    void fireDueTimers(const std::string& mode);
    bool handleSources(const std::string& mode, CFTimeInterval wait, bool justOne);

    const int wakeFd;
};

namespace velmora::cf
{
using RunLoop = ::__CFRunLoop;
using RunLoopTimer = ::__CFRunLoopTimer;
using RunLoopSource = ::__CFRunLoopSource;
using FileDescriptor = ::__CFFileDescriptor;

bool runsInMode(const std::vector<std::string>& modes, const std::string& mode);
// Takes the source out of every loop; the caller holds runLoopMutex().
void invalidateSourceLocked(RunLoopSource& source, Doomed& doomed);
}  // namespace velmora::cf
