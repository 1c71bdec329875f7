#include "auhost/audio_unit_instance.h"
#include "auhost/auhost_commands.h"
#include "auhost/event_loop.h"

#include <cstdio>

void idleBundle(const std::string& bundlePath, double seconds)
{
    auhost::AudioUnitInstance unit(mainComponent(bundlePath));
    unit.initialize();
    auhost::runEventLoop(seconds);
    unit.uninitialize();
    std::printf("ran the main event loop for %g s\n", seconds);
}
