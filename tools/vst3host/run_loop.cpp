#include "vst3host/run_loop.h"

#include <poll.h>

#include <algorithm>

namespace vst3host
{
namespace
{
template <typename Registration, typename Handler>
vst3::tresult eraseHandler(std::vector<Registration>& registrations, Handler* handler)
{
    const auto erased = std::erase_if(
        registrations, [handler](const Registration& registration) { return registration.handler.get() == handler; });
    return erased > 0 ? vst3::kResultOk : vst3::kInvalidArgument;
}

template <typename Registration>
bool stillRegistered(const std::vector<Registration>& registrations, std::uint64_t serial)
{
    return std::any_of(registrations.begin(), registrations.end(),
                       [serial](const Registration& registration) { return registration.serial == serial; });
}
}  // namespace

vst3::tresult RunLoop::registerEventHandler(vst3::Linux::IEventHandler* handler, vst3::Linux::FileDescriptor fd)
{
    if (!handler || fd < 0)
        return vst3::kInvalidArgument;
    return withoutThrowing([&] {
        events.push_back({Ref<vst3::Linux::IEventHandler>::share(handler), fd, nextSerial++});
        return vst3::kResultOk;
    });
}

vst3::tresult RunLoop::unregisterEventHandler(vst3::Linux::IEventHandler* handler)
{
    return eraseHandler(events, handler);
}

vst3::tresult RunLoop::registerTimer(vst3::Linux::ITimerHandler* handler, vst3::Linux::TimerInterval milliseconds)
{
    if (!handler)
        return vst3::kInvalidArgument;
    const std::chrono::milliseconds interval(milliseconds);
    return withoutThrowing([&] {
        timers.push_back(
            {Ref<vst3::Linux::ITimerHandler>::share(handler), interval, Clock::now() + interval, nextSerial++});
        return vst3::kResultOk;
    });
}

vst3::tresult RunLoop::unregisterTimer(vst3::Linux::ITimerHandler* handler) { return eraseHandler(timers, handler); }

int RunLoop::runOnce(std::chrono::milliseconds wait)
{
    if (!timers.empty())
    {
        const auto next = std::min_element(timers.begin(), timers.end(), [](const auto& a, const auto& b) {
                              return a.due < b.due;
                          })->due;
        const auto untilDue = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now());
        wait = std::clamp(untilDue, std::chrono::milliseconds(0), wait);
    }
    // The handlers of this turn are held until it ends, so that one
    // unregistered (and released) by another's call stays alive meanwhile.
    const std::vector<EventRegistration> polled = events;
    return callReadable(polled, wait) + fireDueTimers();
}

int RunLoop::callReadable(const std::vector<EventRegistration>& polled, std::chrono::milliseconds wait)
{
    std::vector<pollfd> descriptors;
    for (const EventRegistration& registration : polled)
        descriptors.push_back({registration.fd, POLLIN, 0});
    if (poll(descriptors.data(), descriptors.size(), static_cast<int>(wait.count())) <= 0)
        return 0;
    int called = 0;
    for (std::size_t index = 0; index < polled.size(); ++index)
        if ((descriptors[index].revents & (POLLIN | POLLHUP | POLLERR)) &&
            stillRegistered(events, polled[index].serial))
        {
            polled[index].handler->onFDIsSet(polled[index].fd);
            ++called;
        }
    return called;
}

int RunLoop::fireDueTimers()
{
    const auto now = Clock::now();
    std::vector<TimerRegistration> due;
    for (TimerRegistration& timer : timers)
        if (timer.due <= now)
        {
            timer.due = now + timer.interval;
            due.push_back(timer);
        }
    int called = 0;
    for (const TimerRegistration& timer : due)
        if (stillRegistered(timers, timer.serial))
        {
            timer.handler->onTimer();
            ++called;
        }
    return called;
}

bool RunLoop::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto end = Clock::now() + timeout;
    while (!done())
    {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now());
        if (left.count() <= 0)
            return false;
        runOnce(std::min(left, std::chrono::milliseconds(10)));
    }
    return true;
}

std::vector<vst3::Linux::FileDescriptor> RunLoop::descriptors() const
{
    std::vector<vst3::Linux::FileDescriptor> fds;
    for (const EventRegistration& registration : events)
        fds.push_back(registration.fd);
    return fds;
}

std::size_t RunLoop::dropRegistrations()
{
    const std::size_t left = events.size() + timers.size();
    events.clear();
    timers.clear();
    return left;
}
}  // namespace vst3host
