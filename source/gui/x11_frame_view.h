#pragma once
// The frame's X11 side: a child window of the host's window. The frame is
// drawn with Cairo into an image that backs the window. Invalidated areas are
// only marked, then redrawn and copied to the window once the events at hand
// are handled, or on the frame's idle, so nothing is drawn while a handler is
// half way through changing the views. Exposed areas come from the image
// without redrawing. Events are read whenever the connection becomes readable
// on the current thread's run loop, and on processPendingEvents (the editor's
// idle). Keys, wheel turns and clicks that the frame does not use go on to
// the host's window, as X would have propagated them. The window shows the
// frame at its scale: events are turned into panel units on arrival, and
// invalidated panel areas into the pixels that show them.
// The window is made at the frame's size in pixels; what the host makes of
// it afterwards is up to the host, unless it embeds the window in a toolkit
// of its own (fillParent).
// Uses its own Display connection, so the host's connection is never touched.
// Needs a true-colour window of 24 or 32 bits (8 bits per component).

#include <CoreFoundation/CoreFoundation.h>
#include <X11/Xlib.h>
#include <cairo.h>

#include <bitset>
#include <memory>

#include "gui/platform_frame.h"

namespace gui
{
class Frame;

class X11FrameView : public PlatformFrame
{
public:
    // Null when there is no display or `parentWindow` is no window there.
    static std::unique_ptr<X11FrameView> create(Frame* frame, void* parentWindow);
    ~X11FrameView() override;

    Window getWindow() const { return window; }
    // The descriptor of this view's own X connection, readable when events wait.
    int getConnectionDescriptor() const { return ConnectionNumber(display); }
    // For hosts whose toolkit reads the window's geometry in its own units
    // (suil's GTK and Qt wrappers): the window takes `width` x `height`, the
    // frame's size in those units, for the toolkit to lay out its area by.
    // From the first time the window or its parent is configured (the host
    // laying out its area, sizing the window in its units) on, the window is
    // as large as its parent, that area in pixels, and is drawn whole: the
    // frame at its top left, black beyond it.
    void fillParent(int width, int height);

    void invalidRect(const Rect& rect) override;
    DrawContext* createDrawContext() override;
    bool getCurrentMouseLocation(Point& where) const override;
    ButtonState getCurrentMouseButtons() const override;
    void processPendingEvents() override;
    void redrawInvalidArea() override;

private:
    X11FrameView(Frame* frame, Display* display, Window window, Window parent, const XWindowAttributes& attributes);

    // A backing image of `width` x `height` pixels in place of the one there
    // is; false, and none, when it cannot be made.
    bool makeBacking(int width, int height);
    void releaseBacking();

    static void connectionReadable(CFFileDescriptorRef descriptor, CFOptionFlags callBackTypes, void* info);
    // Pointer position in panel units and the X button and modifier mask.
    bool queryPointer(Point& where, unsigned int& mask) const;
    void handleEvent(XEvent& event);
    // What the frame does not use goes on to the host's window.
    void handleButtonPress(XEvent& event);
    void handleButtonRelease(XEvent& event);
    void handleKey(XEvent& event, bool down);
    void fitParent();
    Point panelPoint(int x, int y) const;
    // `area` in panel units, drawn into the backing image and shown.
    void drawArea(const Rect& area);
    // `area` in window pixels, copied from the backing image to the window.
    void showPixels(const Rect& area);

    friend class WindowDrawContext;

    Frame* frame;
    Display* display;
    Window window;
    Window parent;
    Visual* visual;
    int depth;
    cairo_surface_t* backing = nullptr;  // what the window shows, at the frame's scale, as large as the window
    XImage* backingImage = nullptr;      // the same pixels as Xlib sees them
    GC gc;
    CFFileDescriptorRef connectionDescriptor = nullptr;
    CFRunLoopSourceRef connectionSource = nullptr;
    bool handlingEvents = false;
    Rect invalidArea;  // marked since the last redraw, empty when none
    bool fillsParent = false;
    // Releases follow their presses: to the frame or on to the host.
    std::bitset<256> keysUsed;         // by X key code: the press was used here
    std::bitset<256> buttonsPassedOn;  // by X button: the press went on
};
}  // namespace gui
