#include "gui/x11_frame_view.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/x11_errors.h"
#include "gui/x11_event_propagation.h"
#include "gui/x11_events.h"

namespace gui
{
namespace
{
bool windowExists(Display* display, Window window, XWindowAttributes& attributes)
{
    return withErrorsRecorded(display, [&] { return XGetWindowAttributes(display, window, &attributes) != 0; });
}

// Cairo's ARGB32 pixels can go to the window as they are.
bool canShowArgbPixels(const XWindowAttributes& attributes)
{
    const Visual* visual = attributes.visual;
    return visual && (attributes.depth == 24 || attributes.depth == 32) && visual->red_mask == 0xff0000 &&
           visual->green_mask == 0x00ff00 && visual->blue_mask == 0x0000ff;
}

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                            KeyReleaseMask | EnterWindowMask | LeaveWindowMask;
}  // namespace

std::unique_ptr<X11FrameView> X11FrameView::create(Frame* frame, void* parentWindow)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return nullptr;
    const auto parent = static_cast<Window>(reinterpret_cast<std::uintptr_t>(parentWindow));
    XWindowAttributes parentAttributes;
    const int width = frame->getPixelWidth();
    const int height = frame->getPixelHeight();
    if (!windowExists(display, parent, parentAttributes))
    {
        XCloseDisplay(display);
        return nullptr;
    }
    XSetWindowAttributes attributes{};
    attributes.event_mask = kEventMask;
    attributes.background_pixmap = None;  // no flash of the default background before the first draw
    const Window window = XCreateWindow(display, parent, 0, 0, static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                        CWEventMask | CWBackPixmap, &attributes);
    XWindowAttributes windowAttributes;
    if (!window || !windowExists(display, window, windowAttributes) || !canShowArgbPixels(windowAttributes))
    {
        if (window)
            withErrorsRecorded(display, [&] { return XDestroyWindow(display, window) != 0; });
        XCloseDisplay(display);
        return nullptr;
    }
    std::unique_ptr<X11FrameView> view(new X11FrameView(frame, display, window, parent, windowAttributes));
    if (!view->backingImage)
        return nullptr;
    view->drawArea(frame->getViewSize());
    XMapWindow(display, window);
    XFlush(display);
    return view;
}

X11FrameView::X11FrameView(Frame* frame_, Display* display_, Window window_, Window parent_,
                           const XWindowAttributes& attributes)
    : frame(frame_), display(display_), window(window_), parent(parent_), visual(attributes.visual),
      depth(attributes.depth), gc(XCreateGC(display_, window_, 0, nullptr))
{
    makeBacking(attributes.width, attributes.height);
    CFFileDescriptorContext context{0, this, nullptr, nullptr, nullptr};
    connectionDescriptor = CFFileDescriptorCreate(nullptr, ConnectionNumber(display), false,
                                                  &X11FrameView::connectionReadable, &context);
    if (connectionDescriptor)
    {
        CFFileDescriptorEnableCallBacks(connectionDescriptor, kCFFileDescriptorReadCallBack);
        connectionSource = CFFileDescriptorCreateRunLoopSource(nullptr, connectionDescriptor, 0);
        if (connectionSource)
            CFRunLoopAddSource(CFRunLoopGetCurrent(), connectionSource, kCFRunLoopCommonModes);
    }
}

void X11FrameView::releaseBacking()
{
    if (backingImage)
    {
        backingImage->data = nullptr;  // the pixels belong to the Cairo surface
        XDestroyImage(backingImage);
        backingImage = nullptr;
    }
    cairo_surface_destroy(backing);
    backing = nullptr;
}

bool X11FrameView::makeBacking(int width, int height)
{
    releaseBacking();
    // A new surface is transparent black: black where the frame does not reach.
    backing = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(backing) != CAIRO_STATUS_SUCCESS)
        return false;
    cairo_surface_set_device_scale(backing, frame->getScale(), frame->getScale());
    backingImage = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                                reinterpret_cast<char*>(cairo_image_surface_get_data(backing)),
                                static_cast<unsigned>(width), static_cast<unsigned>(height), 32,
                                cairo_image_surface_get_stride(backing));
    // Cairo's pixels are native-endian words; Xlib converts if the server differs.
    if (backingImage)
        backingImage->byte_order = LSBFirst;
    return backingImage != nullptr;
}

X11FrameView::~X11FrameView()
{
    if (connectionSource)
    {
        CFRunLoopSourceInvalidate(connectionSource);
        CFRelease(connectionSource);
    }
    if (connectionDescriptor)
    {
        CFFileDescriptorInvalidate(connectionDescriptor);
        CFRelease(connectionDescriptor);
    }
    releaseBacking();
    XFreeGC(display, gc);
    // The host may already have destroyed its window, and ours with it.
    withErrorsRecorded(display, [this] { return XDestroyWindow(display, window) != 0; });
    XCloseDisplay(display);
}

void X11FrameView::connectionReadable(CFFileDescriptorRef descriptor, CFOptionFlags, void* info)
{
    // The view, and its descriptor with it, may be gone when the events are handled.
    CFRetain(descriptor);
    static_cast<X11FrameView*>(info)->processPendingEvents();
    // Read callbacks are one-shot; an invalidated descriptor ignores this.
    CFFileDescriptorEnableCallBacks(descriptor, kCFFileDescriptorReadCallBack);
    CFRelease(descriptor);
}

void X11FrameView::processPendingEvents()
{
    // A handler that idles the host may come back here; the outer loop
    // drains whatever arrives meanwhile.
    if (handlingEvents)
        return;
    handlingEvents = true;
    // The host, idled from a handler, may close the editor and release the
    // frame, which owns this view: both live until the handler returns, and
    // events left over for a closed editor are dropped.
    Frame* heldFrame = frame;
    heldFrame->retain();
    while (heldFrame->getNbReference() > 1 && XPending(display) > 0)
    {
        XEvent event;
        XNextEvent(display, &event);
        handleEvent(event);
    }
    handlingEvents = false;
    if (heldFrame->getNbReference() > 1)
        redrawInvalidArea();
    heldFrame->release();  // may delete this view
}

void X11FrameView::handleEvent(XEvent& event)
{
    switch (event.type)
    {
    case ConfigureNotify: fitParent(); break;
    case Expose:
        showPixels({static_cast<double>(event.xexpose.x), static_cast<double>(event.xexpose.y),
                    static_cast<double>(event.xexpose.x + event.xexpose.width),
                    static_cast<double>(event.xexpose.y + event.xexpose.height)});
        break;
    case ButtonPress: handleButtonPress(event); break;
    case ButtonRelease: handleButtonRelease(event); break;
    case MotionNotify:
        frame->onMouseMoved(panelPoint(event.xmotion.x, event.xmotion.y), buttonStateFromX(event.xmotion.state));
        break;
    case EnterNotify:
        frame->onMouseEntered(panelPoint(event.xcrossing.x, event.xcrossing.y),
                              buttonStateFromX(event.xcrossing.state));
        break;
    case LeaveNotify:
        frame->onMouseExited(panelPoint(event.xcrossing.x, event.xcrossing.y), buttonStateFromX(event.xcrossing.state));
        break;
    case KeyPress: handleKey(event, true); break;
    case KeyRelease: handleKey(event, false); break;
    default: break;
    }
}

void X11FrameView::handleButtonPress(XEvent& event)
{
    const XButtonEvent& press = event.xbutton;
    const Point where = panelPoint(press.x, press.y);
    const ButtonState held = buttonStateFromX(press.state);
    bool used = false;
    if (const float distance = wheelDistanceFromX(press.button); distance != 0.0f)
        used = frame->onWheel(where, distance, held);
    else if (const ButtonState pressed = buttonBitFromX(press.button); pressed != 0)
        used = frame->onMouseDown(where, held | pressed) != kMouseEventNotHandled;
    if (!used && press.button < buttonsPassedOn.size())
    {
        buttonsPassedOn.set(press.button);
        passOnToAncestor(display, window, event, ButtonPressMask);
    }
}

void X11FrameView::handleButtonRelease(XEvent& event)
{
    const XButtonEvent& release = event.xbutton;
    if (release.button < buttonsPassedOn.size() && buttonsPassedOn.test(release.button))
    {
        buttonsPassedOn.reset(release.button);
        passOnToAncestor(display, window, event, ButtonReleaseMask);
    }
    else if (buttonBitFromX(release.button) != 0)
        frame->onMouseUp(panelPoint(release.x, release.y), buttonStateFromX(release.state));
}

void X11FrameView::handleKey(XEvent& event, bool down)
{
    KeySym keysym = NoSymbol;
    char text[8];
    XLookupString(&event.xkey, text, sizeof text, &keysym, nullptr);
    KeyEvent key;
    const bool known = keyEventFromX(keysym, event.xkey.state, key);
    const unsigned int keycode = event.xkey.keycode;
    bool used = false;
    if (down)
    {
        used = known && frame->onKeyDown(key) > 0;
        keysUsed.set(keycode, used);
    }
    else
    {
        used = (known && frame->onKeyUp(key) > 0) || keysUsed.test(keycode);
        keysUsed.reset(keycode);
    }
    if (!used)
        passOnToAncestor(display, window, event, down ? KeyPressMask : KeyReleaseMask);
}

void X11FrameView::fillParent(int width, int height)
{
    fillsParent = true;
    withErrorsRecorded(display, [&] { return XSelectInput(display, parent, StructureNotifyMask) != 0; });
    XSelectInput(display, window, kEventMask | StructureNotifyMask);
    XResizeWindow(display, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    // The host's toolkit reads the size over its own connection.
    XSync(display, False);
}

void X11FrameView::fitParent()
{
    XWindowAttributes area;
    XWindowAttributes own;
    if (!fillsParent || !windowExists(display, parent, area) || !windowExists(display, window, own))
        return;
    if (own.width != area.width || own.height != area.height)
    {
        // Its ConfigureNotify comes back here.
        XResizeWindow(display, window, static_cast<unsigned>(area.width), static_cast<unsigned>(area.height));
        XFlush(display);
    }
    else if ((own.width != cairo_image_surface_get_width(backing) ||
              own.height != cairo_image_surface_get_height(backing)) &&
             makeBacking(own.width, own.height))
        drawArea(frame->getViewSize());
}

Point X11FrameView::panelPoint(int x, int y) const { return {x / frame->getScale(), y / frame->getScale()}; }

void X11FrameView::drawArea(const Rect& area)
{
    // Redrawn in whole pixels: a clip edge inside a pixel (at 1.5, panel
    // coordinate 81 is pixel 121.5) would blend the new drawing into the old.
    const double scale = frame->getScale();
    const Rect pixels{std::floor(area.left * scale), std::floor(area.top * scale), std::ceil(area.right * scale),
                      std::ceil(area.bottom * scale)};
    {
        DrawContext context(backing);
        frame->drawRect(context,
                        {pixels.left / scale, pixels.top / scale, pixels.right / scale, pixels.bottom / scale});
    }
    showPixels(pixels);
}

void X11FrameView::showPixels(const Rect& area)
{
    const int width = cairo_image_surface_get_width(backing);
    const int height = cairo_image_surface_get_height(backing);
    const int left = std::clamp(static_cast<int>(std::floor(area.left)), 0, width);
    const int top = std::clamp(static_cast<int>(std::floor(area.top)), 0, height);
    const int right = std::clamp(static_cast<int>(std::ceil(area.right)), 0, width);
    const int bottom = std::clamp(static_cast<int>(std::ceil(area.bottom)), 0, height);
    if (right <= left || bottom <= top || !backingImage)
        return;
    cairo_surface_flush(backing);
    XPutImage(display, window, gc, backingImage, left, top, left, top, static_cast<unsigned>(right - left),
              static_cast<unsigned>(bottom - top));
    XFlush(display);
}

void X11FrameView::invalidRect(const Rect& rect) { invalidArea = invalidArea.united(rect); }

void X11FrameView::redrawInvalidArea()
{
    // Mid-handler the views may be half changed; the handling ends with a redraw.
    if (handlingEvents || invalidArea.isEmpty())
        return;
    const Rect area = invalidArea;
    invalidArea = {};
    drawArea(area);
}

// What is drawn through it reaches the window when it is released.
class WindowDrawContext : public DrawContext
{
public:
    explicit WindowDrawContext(X11FrameView& view_) : DrawContext(view_.backing), view(view_) {}
    ~WindowDrawContext() override
    {
        view.showPixels(Rect::fromSize(view.frame->getPixelWidth(), view.frame->getPixelHeight()));
    }

private:
    X11FrameView& view;
};

DrawContext* X11FrameView::createDrawContext() { return new WindowDrawContext(*this); }

bool X11FrameView::queryPointer(Point& where, unsigned int& mask) const
{
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int windowX = 0;
    int windowY = 0;
    mask = 0;
    if (!XQueryPointer(display, window, &root, &child, &rootX, &rootY, &windowX, &windowY, &mask))
        return false;
    where = panelPoint(windowX, windowY);
    return true;
}

bool X11FrameView::getCurrentMouseLocation(Point& where) const
{
    unsigned int mask = 0;
    return queryPointer(where, mask);
}

ButtonState X11FrameView::getCurrentMouseButtons() const
{
    Point where;
    unsigned int mask = 0;
    queryPointer(where, mask);
    return buttonStateFromX(mask);
}
}  // namespace gui
