#pragma once
// The host's run loop for a Linux editor: the plug-in registers the
// descriptors it wants to hear about (its X connection) and its timers, and
// the host's interface thread turns the loop, which polls the descriptors and
// fires the timers that are due. Registration holds a reference to the
// handler until it is unregistered. Used by the interface thread only: the
// plug-in registers from it and the host turns the loop on it.

#include "vst3host/host_object.h"

#include "vst3/abi/view.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace vst3host
{
class RunLoop : public HostObject<vst3::Linux::IRunLoop>
{
public:
    using Clock = std::chrono::steady_clock;

    vst3::tresult registerEventHandler(vst3::Linux::IEventHandler* handler, vst3::Linux::FileDescriptor fd) override;
    // Every descriptor the handler was registered for.
    vst3::tresult unregisterEventHandler(vst3::Linux::IEventHandler* handler) override;
    vst3::tresult registerTimer(vst3::Linux::ITimerHandler* handler, vst3::Linux::TimerInterval milliseconds) override;
    vst3::tresult unregisterTimer(vst3::Linux::ITimerHandler* handler) override;

    // One turn: waits until a registered descriptor is readable or the next
    // timer is due, at most `wait`, then calls the handlers of the readable
    // descriptors and of the due timers (each timer then runs its interval
    // again). A handler unregistered by an earlier call in the same turn is
    // not called. Returns how many handlers were called.
    int runOnce(std::chrono::milliseconds wait);
    // Turns until done() holds, checked before each turn, or until `timeout`
    // has passed; true when done.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

    std::vector<vst3::Linux::FileDescriptor> descriptors() const;
    std::size_t timerCount() const { return timers.size(); }
    // Releases what the plug-in left registered; returns how many there were.
    std::size_t dropRegistrations();

private:
    struct EventRegistration
    {
        Ref<vst3::Linux::IEventHandler> handler;
        vst3::Linux::FileDescriptor fd;
        std::uint64_t serial;
    };
    struct TimerRegistration
    {
        Ref<vst3::Linux::ITimerHandler> handler;
        std::chrono::milliseconds interval;
        Clock::time_point due;
        std::uint64_t serial;
    };

    int callReadable(const std::vector<EventRegistration>& polled, std::chrono::milliseconds wait);
    int fireDueTimers();

    std::vector<EventRegistration> events;
    std::vector<TimerRegistration> timers;
    std::uint64_t nextSerial = 0;
};
}  // namespace vst3host
