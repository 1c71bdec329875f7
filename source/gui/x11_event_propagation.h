#pragma once
// Input that a window selected but did not use goes on to the window that X
// would have reported it to, had the window not selected it: the host's.

#include <X11/Xlib.h>

namespace gui
{
// Sends `event`, a key or button event reported on `source`, to the nearest
// ancestor of `source` on which some client selects `mask`, unless a window
// on the way keeps `mask` from propagating. The event's window, subwindow
// and position are made the ancestor's. Answers whether it was sent.
bool passOnToAncestor(Display* display, Window source, XEvent& event, long mask);
}  // namespace gui
