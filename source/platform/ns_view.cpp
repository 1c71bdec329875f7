// NSView over X11 windows. One connection serves every view of the process;
// it is opened on first use and kept, as a framework keeps its own. Changes
// to the window tree wait for the server: the X server orders requests only
// per connection, and a host destroying its window right after taking a view
// out of it must not take the view's window along.
#include <AppKit/AppKit.h>

#include <X11/Xlib.h>

#include <algorithm>
#include <cmath>

namespace
{
Display* viewDisplay()
{
    // Tried again while there is none: a display may come up later.
    static Display* display = nullptr;
    if (display == nullptr)
        display = XOpenDisplay(nullptr);
    return display;
}

unsigned pixels(CGFloat length) { return static_cast<unsigned>(std::max(1L, std::lround(length))); }

int lastXError = 0;
int recordXError(Display*, XErrorEvent* error)
{
    lastXError = error->error_code;
    return 0;
}

// Whether the window exists, without the default error handler ending the
// process when it does not: a window id from elsewhere is input.
bool windowAttributes(Display* display, Window window, XWindowAttributes& attributes)
{
    XSync(display, False);
    lastXError = 0;
    XErrorHandler previous = XSetErrorHandler(recordXError);
    const bool answered = XGetWindowAttributes(display, window, &attributes) != 0;
    XSync(display, False);
    XSetErrorHandler(previous);
    return answered && lastXError == 0;
}
}  // namespace

NSView::NSView(NSRect frame) : frameRect(frame)
{
    Display* display = viewDisplay();
    if (display == nullptr)
        return;
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;  // the content draws everything
    window = XCreateWindow(display, DefaultRootWindow(display), static_cast<int>(std::lround(frame.origin.x)),
                           static_cast<int>(std::lround(frame.origin.y)), pixels(frame.size.width),
                           pixels(frame.size.height), 0, CopyFromParent, InputOutput, CopyFromParent, CWBackPixmap,
                           &attributes);
    XSync(display, False);
}

NSView::NSView(NSRect frame, unsigned long existingWindow, bool owns)
    : frameRect(frame), window(existingWindow), ownsWindow(owns)
{}

NSView* NSView::viewWithX11Window(unsigned long existingWindow)
{
    Display* display = viewDisplay();
    XWindowAttributes attributes;
    if (display == nullptr || existingWindow == 0 || !windowAttributes(display, existingWindow, attributes))
        return nullptr;
    return new NSView(NSMakeRect(attributes.x, attributes.y, attributes.width, attributes.height), existingWindow,
                      false);
}

void NSView::setFrameSize(NSSize newSize)
{
    frameRect.size = newSize;
    if (window == 0)
        return;
    XResizeWindow(viewDisplay(), window, pixels(newSize.width), pixels(newSize.height));
    XFlush(viewDisplay());
}

void NSView::addSubview(NSView* view)
{
    if (view == nullptr || view == this)
        return;
    view->retain();
    view->removeFromSuperview();
    children.push_back(view);
    view->parent = this;
    if (window != 0 && view->window != 0)
    {
        Display* display = viewDisplay();
        XReparentWindow(display, view->window, window, static_cast<int>(std::lround(view->frameRect.origin.x)),
                        static_cast<int>(std::lround(view->frameRect.origin.y)));
        XMapWindow(display, view->window);
        XSync(display, False);
    }
}

void NSView::removeFromSuperview()
{
    if (parent == nullptr)
        return;
    std::erase(parent->children, this);
    parent = nullptr;
    if (window != 0)
    {
        Display* display = viewDisplay();
        XUnmapWindow(display, window);
        XReparentWindow(display, window, DefaultRootWindow(display), 0, 0);
        XSync(display, False);
    }
    release();
}

void NSView::dealloc()
{
    while (!children.empty())
        children.back()->removeFromSuperview();
    if (window != 0 && ownsWindow)
    {
        XDestroyWindow(viewDisplay(), window);
        XSync(viewDisplay(), False);
    }
    NSObject::dealloc();
}
