#pragma once
// A frame's platform side without a window: an image the frame is drawn
// into, kept up to date as views are invalidated. Used to render the panel
// without a display and to watch what the frame redraws.

#include <cairo.h>

#include "gui/platform_frame.h"

namespace gui
{
class Frame;

class OffscreenFrameView : public PlatformFrame
{
public:
    // Draws the whole frame once, at the frame's scale.
    explicit OffscreenFrameView(Frame* frame);
    ~OffscreenFrameView() override;

    cairo_surface_t* getSurface() const { return surface; }
    // Rectangles drawn since construction, in frame coordinates.
    int getRedrawCount() const { return redrawCount; }
    const Rect& getLastRedrawArea() const { return lastRedrawArea; }

    void invalidRect(const Rect& rect) override;
    DrawContext* createDrawContext() override;
    bool getCurrentMouseLocation(Point& where) const override;
    ButtonState getCurrentMouseButtons() const override { return 0; }

private:
    Frame* frame;
    cairo_surface_t* surface;
    int redrawCount = 0;
    Rect lastRedrawArea;
};
}  // namespace gui
