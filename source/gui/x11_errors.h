#pragma once
// Requests on windows of other clients (the host's) with X errors recorded
// instead of ending the process, which is Xlib's default answer: those window
// ids are input we do not control.

#include <X11/Xlib.h>

namespace gui
{
inline int gLastXError = 0;

inline int recordXError(Display*, XErrorEvent* error)
{
    gLastXError = error->error_code;
    return 0;
}

// Runs `request`; answers whether it succeeded and no error arrived.
template <typename Request>
bool withErrorsRecorded(Display* display, Request&& request)
{
    XSync(display, False);
    gLastXError = 0;
    XErrorHandler previous = XSetErrorHandler(recordXError);
    const bool succeeded = request();
    XSync(display, False);
    XSetErrorHandler(previous);
    return succeeded && gLastXError == 0;
}
}  // namespace gui
