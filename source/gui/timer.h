#pragma once
// A repeating timer on the run loop of the thread that starts it. Each expiry
// calls the listener's notify(timer, kMsgTimer) on that thread.

#include <CoreFoundation/CoreFoundation.h>

#include <cstdint>

#include "gui/ref_object.h"

namespace gui
{
class Timer : public RefObject
{
public:
    // The listener is not owned and must outlive the timer's running time.
    Timer(RefObject* listener, std::int32_t periodMs);
    ~Timer() override;

    bool start();
    void stop();
    bool isRunning() const { return platformTimer != nullptr; }
    // Restarts a running timer with the new period.
    void setFireTime(std::int32_t periodMs);

private:
    static void fired(CFRunLoopTimerRef timer, void* info);

    RefObject* listener;
    std::int32_t periodMs;
    CFRunLoopTimerRef platformTimer = nullptr;
};
}  // namespace gui
