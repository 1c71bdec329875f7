#include "gui/offscreen_frame_view.h"

#include <algorithm>

#include "gui/draw_context.h"
#include "gui/frame.h"

namespace gui
{
OffscreenFrameView::OffscreenFrameView(Frame* frame_)
    : frame(frame_), surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32,
                                                        std::max(1, static_cast<int>(frame_->getViewSize().width())),
                                                        std::max(1, static_cast<int>(frame_->getViewSize().height()))))
{
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
