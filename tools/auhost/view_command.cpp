#include "auhost/audio_unit_instance.h"
#include "auhost/auhost_commands.h"
#include "auhost/event_loop.h"
#include "auhost/unit_view.h"

#include <cstdio>

void viewBundle(const std::string& bundlePath, double seconds)
{
    auhost::AudioUnitInstance unit(mainComponent(bundlePath));
    unit.initialize();
    {
        auhost::UnitView shown(unit);
        const NSSize size = shown.view()->frame().size;
        std::printf("showing the view, %g x %g, in window 0x%lx\n", size.width, size.height, shown.window());
        std::fflush(stdout);
        auhost::runEventLoop(seconds);
    }
    unit.uninitialize();
}
