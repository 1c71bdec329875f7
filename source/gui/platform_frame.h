#pragma once
// The window-system side of a frame: where it is drawn and where its events
// come from.

#include "gui/button_state.h"
#include "gui/geometry.h"

namespace gui
{
class DrawContext;

class PlatformFrame
{
public:
    virtual ~PlatformFrame() = default;

    // Redraws `rect` (frame coordinates) now, or marks it for redrawInvalidArea.
    virtual void invalidRect(const Rect& rect) = 0;
    // Redraws what invalidRect marked; the frame's idle calls it.
    virtual void redrawInvalidArea() {}
    // A new context over the frame's surface, or null; the caller releases it.
    virtual DrawContext* createDrawContext() = 0;
    virtual bool getCurrentMouseLocation(Point& where) const = 0;
    virtual ButtonState getCurrentMouseButtons() const = 0;
    // Handles window-system events that have already arrived.
    virtual void processPendingEvents() {}
};
}  // namespace gui
