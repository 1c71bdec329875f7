#include "gui/x11_event_propagation.h"

#include "gui/x11_errors.h"

namespace gui
{
namespace
{
// The window X reports `mask` to in place of `source`, and its child that
// holds `source`.
bool findReceiver(Display* display, Window source, long mask, Window& receiver, Window& child)
{
    for (Window current = source;;)
    {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, current, &root, &parent, &children, &count))
            return false;
        if (children)
            XFree(children);
        XWindowAttributes attributes;
        if (!parent || !XGetWindowAttributes(display, parent, &attributes))
            return false;
        if (attributes.all_event_masks & mask)
        {
            receiver = parent;
            child = current;
            return true;
        }
        if (attributes.do_not_propagate_mask & mask)
            return false;
        current = parent;
    }
}
}  // namespace

bool passOnToAncestor(Display* display, Window source, XEvent& event, long mask)
{
    return withErrorsRecorded(display, [&] {
        Window receiver = 0;
        Window child = 0;
        if (!findReceiver(display, source, mask, receiver, child))
            return false;
        const auto readdress = [&](auto& input) {
            Window unused = 0;
            input.window = receiver;
            input.subwindow = child;
            return XTranslateCoordinates(display, source, receiver, input.x, input.y, &input.x, &input.y, &unused) != 0;
        };
        const bool key = event.type == KeyPress || event.type == KeyRelease;
        if (!(key ? readdress(event.xkey) : readdress(event.xbutton)))
            return false;
        return XSendEvent(display, receiver, False, mask, &event) != 0;
    });
}
}  // namespace gui
