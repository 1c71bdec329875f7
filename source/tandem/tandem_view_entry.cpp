// The Carbon view component entry. Views come only as Cocoa views: the
// component announces no Carbon view, and a host that opens this entry anyway
// is refused, so it never holds an instance that cannot show anything.

#include "tandem/tandem_trace.h"

#include <CoreServices/CoreServices.h>

extern "C" __attribute__((visibility("default"))) ComponentResult TandemViewEntry(ComponentParameters* params, Handle)
{
    if (params == nullptr)
    {
        return paramErr;
    }
    if (params->what == kComponentCloseSelect)
    {
        // Follows the refused open; there is nothing to free.
        return noErr;
    }
    tandemTrace("AU Carbon view selector %d: there is no Carbon view\n", params->what);
    return badComponentSelector;
}
