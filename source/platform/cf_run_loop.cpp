#include "platform/cf_run_loop.h"

#include "platform/cf_string.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <poll.h>
#include <string_view>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <utility>

using namespace velmora::cf;

namespace
{

// Views of literals: still valid while other threads run during exit.
constexpr std::string_view kDefaultMode = "kCFRunLoopDefaultMode";
constexpr std::string_view kCommonModes = "kCFRunLoopCommonModes";

template <typename Entries, typename Item>
auto findEntry(Entries& entries, const Item* item)
{
    return std::find_if(entries.begin(), entries.end(), [item](const auto& entry) { return entry.item.get() == item; });
}

timespec toTimespec(CFTimeInterval seconds)
{
    seconds = std::clamp(seconds, 0.0, 1.0e9);
    timespec time;
    time.tv_sec = static_cast<time_t>(seconds);
    time.tv_nsec = static_cast<long>((seconds - static_cast<double>(time.tv_sec)) * 1e9);
    return time;
}

// Called from the thread-local holder when a thread ends.
struct ThreadLoop
{
    RunLoop* loop = nullptr;
    ~ThreadLoop()
    {
        if (loop)
            loop->release();
    }
};

bool isMainThread() { return syscall(SYS_gettid) == getpid(); }

RunLoop& mainLoop()
{
    static RunLoop* loop = [] {
        auto* made = new RunLoop;
        made->makeImmortal();
        return made;
    }();
    return *loop;
}

RunLoop& currentLoop()
{
    if (isMainThread())
        return mainLoop();
    thread_local ThreadLoop holder;
    if (!holder.loop)
        holder.loop = new RunLoop;
    return *holder.loop;
}

RunLoop* loopOf(CFRunLoopRef rl) { return cast<RunLoop>(rl); }

void removeTimerLocked(RunLoopTimer& timer, Doomed& doomed)
{
    if (!timer.loop)
        return;
    auto& entries = timer.loop->timers;
    const auto found = findEntry(entries, &timer);
    if (found != entries.end())
    {
        doomed.push_back(Ref<Object>::adopt(found->item.detach()));
        entries.erase(found);
    }
    timer.loop->wakeUp();
    timer.loop = nullptr;
}

}  // namespace

namespace velmora::cf
{

std::mutex& runLoopMutex()
{
    static auto* mutex = new std::mutex;
    return *mutex;
}

bool runsInMode(const std::vector<std::string>& modes, const std::string& mode)
{
    return std::any_of(modes.begin(), modes.end(), [&mode](const std::string& added) {
        return added == mode || (added == kCommonModes && mode == kDefaultMode);
    });
}

void invalidateSourceLocked(RunLoopSource& source, Doomed& doomed)
{
    source.valid = false;
    for (RunLoop* loop : source.loops)
    {
        const auto found = findEntry(loop->sources, &source);
        if (found != loop->sources.end())
        {
            doomed.push_back(Ref<Object>::adopt(found->item.detach()));
            loop->sources.erase(found);
        }
        loop->wakeUp();
    }
    source.loops.clear();
}

}  // namespace velmora::cf

__CFRunLoopTimer::__CFRunLoopTimer(CFAbsoluteTime firstFireDate, CFTimeInterval repeatInterval,
                                   CFRunLoopTimerCallBack callback, const CFRunLoopTimerContext* timerContext)
    : Object(kTypeID), interval(repeatInterval > 0 ? repeatInterval : 0), callout(callback),
      context(timerContext ? *timerContext : CFRunLoopTimerContext{}), fireDate(firstFireDate)
{
    if (context.retain && context.info)
        context.retain(context.info);
}

__CFRunLoopTimer::~__CFRunLoopTimer()
{
    if (context.release && context.info)
        context.release(context.info);
}

__CFRunLoop::__CFRunLoop() : Object(kTypeID), wakeFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

__CFRunLoop::~__CFRunLoop()
{
    Doomed doomed;
    {
        std::lock_guard lock(runLoopMutex());
        for (auto& entry : timers)
        {
            entry.item->loop = nullptr;
            doomed.push_back(Ref<Object>::adopt(entry.item.detach()));
        }
        for (auto& entry : sources)
        {
            auto& loops = entry.item->loops;
            loops.erase(std::remove(loops.begin(), loops.end(), this), loops.end());
            doomed.push_back(Ref<Object>::adopt(entry.item.detach()));
        }
        timers.clear();
        sources.clear();
    }
    doomed.clear();
    if (wakeFd >= 0)
        close(wakeFd);
}

void __CFRunLoop::wakeUp()
{
    const uint64_t one = 1;
    if (wakeFd >= 0 && write(wakeFd, &one, sizeof one) < 0)
    {
        // Already signalled (the counter is full) or closing: nothing to add.
    }
}

bool __CFRunLoop::isEmpty(const std::string& mode)
{
    std::lock_guard lock(runLoopMutex());
    const auto inMode = [&mode](const auto& entry) { return runsInMode(entry.modes, mode); };
    return std::none_of(timers.begin(), timers.end(), inMode) && std::none_of(sources.begin(), sources.end(), inMode);
}

bool __CFRunLoop::consumeStop()
{
    std::lock_guard lock(runLoopMutex());
    return std::exchange(stopRequested, false);
}

CFAbsoluteTime __CFRunLoop::nextFireDate(const std::string& mode)
{
    std::lock_guard lock(runLoopMutex());
    CFAbsoluteTime next = HUGE_VAL;
    for (const auto& entry : timers)
    {
        if (runsInMode(entry.modes, mode) && !entry.item->firing)
            next = std::min(next, entry.item->fireDate);
    }
    return next;
}

void __CFRunLoop::fireDueTimers(const std::string& mode)
{
    const CFAbsoluteTime now = CFAbsoluteTimeGetCurrent();
    std::vector<Ref<RunLoopTimer>> due;
    {
        std::lock_guard lock(runLoopMutex());
        for (const auto& entry : timers)
        {
            const RunLoopTimer& timer = *entry.item;
            if (runsInMode(entry.modes, mode) && timer.valid && !timer.firing && timer.fireDate <= now)
                due.push_back(entry.item);
        }
    }
    std::stable_sort(due.begin(), due.end(), [](const auto& a, const auto& b) { return a->fireDate < b->fireDate; });
    for (const auto& timer : due)
    {
        unsigned changesBefore;
        {
            std::lock_guard lock(runLoopMutex());
            if (!timer->valid || timer->firing || timer->loop != this || timer->fireDate > now)
                continue;
            timer->firing = true;
            changesBefore = timer->fireDateChanges;
        }
        if (timer->callout)
            timer->callout(timer.get(), timer->context.info);
        Doomed doomed;
        std::lock_guard lock(runLoopMutex());
        timer->firing = false;
        // A callback that set a new fire date itself keeps that date.
        if (!timer->valid || timer->fireDateChanges != changesBefore)
            continue;
        if (timer->interval > 0)
        {
            const double missed = std::floor((CFAbsoluteTimeGetCurrent() - timer->fireDate) / timer->interval);
            timer->fireDate += timer->interval * (std::max(missed, 0.0) + 1.0);
        }
        else
        {
            timer->valid = false;
            removeTimerLocked(*timer, doomed);
        }
    }
}

CFRunLoopRunResult __CFRunLoop::run(const std::string& mode, CFTimeInterval seconds, bool returnAfterSourceHandled,
                                    bool waitWhenEmpty)
{
    const bool oneTurn = !(seconds > 0);
    const CFAbsoluteTime deadline = CFAbsoluteTimeGetCurrent() + (oneTurn ? 0.0 : seconds);
    if (!waitWhenEmpty && isEmpty(mode))
        return kCFRunLoopRunFinished;
    fireDueTimers(mode);
    if (consumeStop())
        return kCFRunLoopRunStopped;
    for (;;)
    {
        if (!waitWhenEmpty && isEmpty(mode))
            return kCFRunLoopRunFinished;
        CFTimeInterval wait = 0;
        if (!oneTurn)
        {
            const CFAbsoluteTime now = CFAbsoluteTimeGetCurrent();
            wait = std::min(deadline, nextFireDate(mode)) - now;
        }
        const bool handled = handleSources(mode, wait, returnAfterSourceHandled);
        fireDueTimers(mode);
        if (consumeStop())
            return kCFRunLoopRunStopped;
        if (handled && returnAfterSourceHandled)
            return kCFRunLoopRunHandledSource;
        if (oneTurn || CFAbsoluteTimeGetCurrent() >= deadline)
            return kCFRunLoopRunTimedOut;
    }
}

namespace
{
short pollEvents(const FileDescriptor& descriptor)
{
    short events = 0;
    if (descriptor.enabledCallBacks & kCFFileDescriptorReadCallBack)
        events |= POLLIN;
    if (descriptor.enabledCallBacks & kCFFileDescriptorWriteCallBack)
        events |= POLLOUT;
    return events;
}

// The callbacks that `revents` made ready, taken from the enabled ones (they
// are one-shot, as the Mac's are) with the descriptor marked firing; 0 when
// none is ready or the descriptor was invalidated or fires already.
CFOptionFlags claimReadyCallBacks(FileDescriptor& descriptor, short revents)
{
    std::lock_guard lock(runLoopMutex());
    if (!descriptor.valid || descriptor.firing)
        return 0;
    CFOptionFlags ready = 0;
    if ((revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) &&
        (descriptor.enabledCallBacks & kCFFileDescriptorReadCallBack))
        ready |= kCFFileDescriptorReadCallBack;
    if ((revents & (POLLOUT | POLLHUP | POLLERR | POLLNVAL)) &&
        (descriptor.enabledCallBacks & kCFFileDescriptorWriteCallBack))
        ready |= kCFFileDescriptorWriteCallBack;
    descriptor.enabledCallBacks &= ~ready;
    descriptor.firing = ready != 0;
    return ready;
}

void fire(FileDescriptor& descriptor, CFOptionFlags ready)
{
    if (descriptor.callout)
        descriptor.callout(&descriptor, ready, descriptor.context.info);
    std::lock_guard lock(runLoopMutex());
    descriptor.firing = false;
}
}  // namespace

bool __CFRunLoop::handleSources(const std::string& mode, CFTimeInterval wait, bool justOne)
{
    std::vector<pollfd> polled{{wakeFd, POLLIN, 0}};
    std::vector<Ref<FileDescriptor>> watched;
    {
        std::lock_guard lock(runLoopMutex());
        for (const auto& entry : sources)
        {
            FileDescriptor& descriptor = *entry.item->descriptor;
            const short events = pollEvents(descriptor);
            if (!runsInMode(entry.modes, mode) || !descriptor.valid || descriptor.firing || events == 0)
                continue;
            polled.push_back({descriptor.fd, events, 0});
            watched.push_back(entry.item->descriptor);
        }
    }
    const timespec timeout = toTimespec(wait);
    if (ppoll(polled.data(), polled.size(), &timeout, nullptr) <= 0)
        return false;
    if (polled[0].revents & POLLIN)
    {
        uint64_t count;
        while (read(wakeFd, &count, sizeof count) > 0)
        {}
    }
    bool handled = false;
    for (size_t index = 1; index < polled.size() && !(handled && justOne); ++index)
    {
        FileDescriptor& descriptor = *watched[index - 1];
        const CFOptionFlags ready = polled[index].revents ? claimReadyCallBacks(descriptor, polled[index].revents) : 0;
        if (ready == 0)
            continue;
        fire(descriptor, ready);
        handled = true;
    }
    return handled;
}

extern "C" {

const CFRunLoopMode kCFRunLoopDefaultMode = CFSTR("kCFRunLoopDefaultMode");
const CFRunLoopMode kCFRunLoopCommonModes = CFSTR("kCFRunLoopCommonModes");

CFTypeID CFRunLoopGetTypeID(void) { return static_cast<CFTypeID>(RunLoop::kTypeID); }
CFTypeID CFRunLoopTimerGetTypeID(void) { return static_cast<CFTypeID>(RunLoopTimer::kTypeID); }

CFRunLoopRef CFRunLoopGetCurrent(void) { return &currentLoop(); }
CFRunLoopRef CFRunLoopGetMain(void) { return &mainLoop(); }

CFRunLoopRunResult CFRunLoopRunInMode(CFRunLoopMode mode, CFTimeInterval seconds, Boolean returnAfterSourceHandled)
{
    const std::string name = stringToUtf8(mode);
    if (name.empty() || name == kCommonModes)
        return kCFRunLoopRunFinished;
    return currentLoop().run(name, seconds, returnAfterSourceHandled, false);
}

void CFRunLoopStop(CFRunLoopRef rl)
{
    RunLoop* loop = loopOf(rl);
    if (!loop)
        return;
    std::lock_guard lock(runLoopMutex());
    loop->stopRequested = true;
    loop->wakeUp();
}

void CFRunLoopWakeUp(CFRunLoopRef rl)
{
    if (RunLoop* loop = loopOf(rl))
        loop->wakeUp();
}

void CFRunLoopAddTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFRunLoopMode mode)
{
    RunLoop* loop = loopOf(rl);
    RunLoopTimer* added = cast<RunLoopTimer>(timer);
    const std::string name = stringToUtf8(mode);
    if (!loop || !added || name.empty())
        return;
    std::lock_guard lock(runLoopMutex());
    if (!added->valid || (added->loop && added->loop != loop))
        return;
    auto found = findEntry(loop->timers, added);
    if (found == loop->timers.end())
    {
        loop->timers.push_back({Ref<RunLoopTimer>::retain(added), {}});
        found = std::prev(loop->timers.end());
    }
    if (std::find(found->modes.begin(), found->modes.end(), name) == found->modes.end())
        found->modes.push_back(name);
    added->loop = loop;
    loop->wakeUp();
}

void CFRunLoopRemoveTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFRunLoopMode mode)
{
    RunLoop* loop = loopOf(rl);
    RunLoopTimer* removed = cast<RunLoopTimer>(timer);
    const std::string name = stringToUtf8(mode);
    if (!loop || !removed)
        return;
    Doomed doomed;
    std::lock_guard lock(runLoopMutex());
    const auto found = findEntry(loop->timers, removed);
    if (found == loop->timers.end())
        return;
    auto& modes = found->modes;
    modes.erase(std::remove(modes.begin(), modes.end(), name), modes.end());
    if (modes.empty())
        removeTimerLocked(*removed, doomed);
}

Boolean CFRunLoopContainsTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFRunLoopMode mode)
{
    RunLoop* loop = loopOf(rl);
    if (!loop)
        return false;
    std::lock_guard lock(runLoopMutex());
    const auto found = findEntry(loop->timers, cast<RunLoopTimer>(timer));
    return found != loop->timers.end() && runsInMode(found->modes, stringToUtf8(mode));
}

CFRunLoopTimerRef CFRunLoopTimerCreate(CFAllocatorRef, CFAbsoluteTime fireDate, CFTimeInterval interval, CFOptionFlags,
                                       CFIndex, CFRunLoopTimerCallBack callout, CFRunLoopTimerContext* context)
{
    if (!callout || std::isnan(fireDate) || std::isnan(interval))
        return nullptr;
    return new RunLoopTimer(fireDate, interval, callout, context);
}

void CFRunLoopTimerInvalidate(CFRunLoopTimerRef timer)
{
    RunLoopTimer* invalidated = cast<RunLoopTimer>(timer);
    if (!invalidated)
        return;
    Doomed doomed;
    std::lock_guard lock(runLoopMutex());
    invalidated->valid = false;
    removeTimerLocked(*invalidated, doomed);
}

Boolean CFRunLoopTimerIsValid(CFRunLoopTimerRef timer)
{
    RunLoopTimer* checked = cast<RunLoopTimer>(timer);
    if (!checked)
        return false;
    std::lock_guard lock(runLoopMutex());
    return checked->valid;
}

CFAbsoluteTime CFRunLoopTimerGetNextFireDate(CFRunLoopTimerRef timer)
{
    RunLoopTimer* checked = cast<RunLoopTimer>(timer);
    if (!checked)
        return 0;
    std::lock_guard lock(runLoopMutex());
    return checked->fireDate;
}

void CFRunLoopTimerSetNextFireDate(CFRunLoopTimerRef timer, CFAbsoluteTime fireDate)
{
    RunLoopTimer* changed = cast<RunLoopTimer>(timer);
    if (!changed || std::isnan(fireDate))
        return;
    std::lock_guard lock(runLoopMutex());
    changed->fireDate = fireDate;
    ++changed->fireDateChanges;
    if (changed->loop)
        changed->loop->wakeUp();
}

CFTimeInterval CFRunLoopTimerGetInterval(CFRunLoopTimerRef timer)
{
    const RunLoopTimer* checked = cast<RunLoopTimer>(timer);
    return checked ? checked->interval : 0;
}

Boolean CFRunLoopTimerDoesRepeat(CFRunLoopTimerRef timer) { return CFRunLoopTimerGetInterval(timer) > 0; }

}  // extern "C"
