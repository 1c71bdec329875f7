#include "auhost/event_loop.h"

#include "auhost/au_error.h"

#include <Carbon/Carbon.h>

namespace auhost
{
void runEventLoop(double seconds)
{
    const OSStatus status = RunCurrentEventLoop(seconds * kEventDurationSecond);
    if (status != eventLoopTimedOutErr && status != eventLoopQuitErr)
        check(status, "RunCurrentEventLoop");
}
}  // namespace auhost
