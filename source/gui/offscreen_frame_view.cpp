#include "gui/offscreen_frame_view.h"

#include "gui/draw_context.h"
#include "gui/frame.h"

namespace gui
{
OffscreenFrameView::OffscreenFrameView(Frame* frame_)
    : frame(frame_),
      surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, frame_->getPixelWidth(), frame_->getPixelHeight()))
{
    cairo_surface_set_device_scale(surface, frame->getScale(), frame->getScale());
    DrawContext context(surface);
    frame->drawRect(context, frame->getViewSize());
}

OffscreenFrameView::~OffscreenFrameView() { cairo_surface_destroy(surface); }

void OffscreenFrameView::invalidRect(const Rect& rect)
{
    DrawContext context(surface);
    frame->drawRect(context, rect);
    ++redrawCount;
    lastRedrawArea = rect;
}

DrawContext* OffscreenFrameView::createDrawContext() { return new DrawContext(surface); }

bool OffscreenFrameView::getCurrentMouseLocation(Point&) const { return false; }
}  // namespace gui
