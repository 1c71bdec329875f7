// NSView in the Cocoa stand-in: each view is backed by an X11 window on the
// process's own connection to the display ($DISPLAY). Coordinates are X11's,
// origin at the top left, as in a flipped Cocoa view. C++ only; main thread.
#pragma once

#include <Foundation/Foundation.h>

typedef double CGFloat;

struct NSPoint
{
    CGFloat x;
    CGFloat y;
};
struct NSSize
{
    CGFloat width;
    CGFloat height;
};
struct NSRect
{
    NSPoint origin;
    NSSize size;
};

inline NSRect NSMakeRect(CGFloat x, CGFloat y, CGFloat width, CGFloat height)
{
    return NSRect{{x, y}, {width, height}};
}
inline NSSize NSMakeSize(CGFloat width, CGFloat height) { return NSSize{width, height}; }

class NS_EXPORT NSView : public NSObject
{
public:
    // initWithFrame: an unmapped window of the frame's size (at least 1 x 1);
    // without a display the view has no window (x11Window() is 0).
    explicit NSView(NSRect frame);
    // Linux: a view over a window someone else made, such as a host's own
    // window, to add subviews to; the window is left alone on dealloc. NULL
    // when there is no display or no such window.
    static NSView* viewWithX11Window(unsigned long window);

    NSRect frame() const { return frameRect; }
    void setFrameSize(NSSize newSize);
    NSView* superview() const { return parent; }
    const std::vector<NSView*>& subviews() const { return children; }
    // Retains the view, moves its window into this one at its frame origin and
    // shows it.
    void addSubview(NSView* view);
    // Hides the window, takes it out of the superview's and releases the
    // superview's reference.
    void removeFromSuperview();
    // The backing window's id, as X11 hosts hand windows to plug-ins.
    unsigned long x11Window() const { return window; }

protected:
    void dealloc() override;

private:
    NSView(NSRect frame, unsigned long window, bool ownsWindow);

    NSRect frameRect;
    unsigned long window = 0;
    bool ownsWindow = true;
    NSView* parent = nullptr;
    std::vector<NSView*> children;
};
