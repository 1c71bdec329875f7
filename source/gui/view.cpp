#include "gui/view.h"

#include "gui/frame.h"

namespace gui
{
View::View(const Rect& size_) : size(size_) {}

Rect View::toFrameCoordinates(const Rect& rect) const
{
    Rect result = rect;
    for (const ViewContainer* container = parent; container && container != frame;
         container = container->getParentView())
    {
        const Rect& origin = container->getViewSize();
        result = result.moved(origin.left, origin.top);
    }
    return result;
}

void View::draw(DrawContext&) { setDirty(false); }

MouseResult View::onMouseDown(Point, ButtonState) { return kMouseEventNotHandled; }

MouseResult View::onMouseUp(Point, ButtonState) { return kMouseEventNotHandled; }

MouseResult View::onMouseMoved(Point, ButtonState) { return kMouseEventNotHandled; }

void View::onMouseCancel() {}

void View::onMouseEntered(Point, ButtonState) {}

void View::onMouseExited(Point, ButtonState) {}

bool View::onWheel(Point, float, ButtonState) { return false; }

std::int32_t View::onKeyDown(const KeyEvent&) { return kKeyNotHandled; }

std::int32_t View::onKeyUp(const KeyEvent&) { return kKeyNotHandled; }

bool View::hitTest(Point where, ButtonState) const { return size.pointInside(where); }

void View::invalid()
{
    setDirty(false);
    // The root frame is never attached to anything, yet it is shown.
    if (frame && (attachedFlag || frame == this))
        frame->invalidRect(toFrameCoordinates(size));
}

void View::setVisible(bool visible)
{
    if (visibleFlag == visible)
        return;
    if (!visible)
        invalid();
    visibleFlag = visible;
    if (visible)
        invalid();
}

void View::attached(ViewContainer* newParent)
{
    parent = newParent;
    frame = newParent ? newParent->getFrame() : nullptr;
    attachedFlag = true;
}

void View::removed()
{
    parent = nullptr;
    frame = nullptr;
    attachedFlag = false;
}
}  // namespace gui
