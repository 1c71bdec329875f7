#pragma once
// Runs the calling thread's event loop, so that the timers and event
// listeners installed on it fire, as a host's main loop does.

namespace auhost
{
// Returns after `seconds`, or earlier when the loop is stopped.
void runEventLoop(double seconds);
}  // namespace auhost
