#include "gui/timer.h"

namespace gui
{
const Message kMsgTimer = "timer fired";

Timer::Timer(RefObject* listener_, std::int32_t periodMs_) : listener(listener_), periodMs(periodMs_) {}

Timer::~Timer() { stop(); }

bool Timer::start()
{
    if (platformTimer)
        return true;
    const CFTimeInterval interval = periodMs * 0.001;
    CFRunLoopTimerContext context{0, this, nullptr, nullptr, nullptr};
    platformTimer = CFRunLoopTimerCreate(nullptr, CFAbsoluteTimeGetCurrent() + interval, interval, 0, 0, &Timer::fired,
                                         &context);
    if (!platformTimer)
        return false;
    CFRunLoopAddTimer(CFRunLoopGetCurrent(), platformTimer, kCFRunLoopCommonModes);
    return true;
}

void Timer::stop()
{
    if (!platformTimer)
        return;
    CFRunLoopTimerInvalidate(platformTimer);
    CFRelease(platformTimer);
    platformTimer = nullptr;
}

void Timer::setFireTime(std::int32_t newPeriodMs)
{
    if (newPeriodMs == periodMs)
        return;
    const bool wasRunning = isRunning();
    stop();
    periodMs = newPeriodMs;
    if (wasRunning)
        start();
}

void Timer::fired(CFRunLoopTimerRef, void* info)
{
    auto* timer = static_cast<Timer*>(info);
    // The listener may release the timer from inside notify.
    timer->retain();
    if (timer->listener)
        timer->listener->notify(timer, kMsgTimer);
    timer->release();
}
}  // namespace gui
