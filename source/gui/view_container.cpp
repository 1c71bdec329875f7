#include "gui/view_container.h"

#include <algorithm>
#include <utility>

#include "gui/control.h"
#include "gui/draw_context.h"
#include "gui/frame.h"

namespace gui
{
ViewContainer::ViewContainer(const Rect& size_) : View(size_) {}

ViewContainer::~ViewContainer()
{
    removeAll();
    if (background)
        background->release();
}

bool ViewContainer::addView(View* view)
{
    if (!view || view->isAttached())
        return false;
    children.push_back(view);
    view->attached(this);
    view->invalid();
    return true;
}

bool ViewContainer::addView(const Ref<View>& view)
{
    // Only once added: a view refused, or an addition that throws, takes none.
    if (!addView(view.get()))
        return false;
    view->retain();
    return true;
}

bool ViewContainer::removeView(View* view, bool withRelease)
{
    const auto found = std::find(children.begin(), children.end(), view);
    if (found == children.end())
        return false;
    const Rect area = view->toFrameCoordinates(view->getViewSize());
    if (mouseDownView == view)
        onMouseCancel();
    children.erase(found);
    view->removed();
    if (withRelease)
        view->release();
    // Only now: a platform that draws at once must not show the view again.
    if (frame)
        frame->invalidRect(area);
    return true;
}

void ViewContainer::removeAll(bool withRelease)
{
    onMouseCancel();
    while (!children.empty())
    {
        View* view = children.back();
        children.pop_back();
        view->removed();
        if (withRelease)
            view->release();
    }
}

bool ViewContainer::isChild(const View* view) const
{
    return std::find(children.begin(), children.end(), view) != children.end();
}

void ViewContainer::setBackground(Bitmap* bitmap)
{
    if (bitmap)
        bitmap->retain();
    if (background)
        background->release();
    background = bitmap;
    invalid();
}

void ViewContainer::draw(DrawContext& context)
{
    context.pushState(size, {size.left, size.top});
    drawRect(context, Rect::fromSize(size.width(), size.height()));
    context.popState();
}

void ViewContainer::drawRect(DrawContext& context, const Rect& updateRect)
{
    const Rect area = updateRect.intersection(Rect::fromSize(size.width(), size.height()));
    if (area.isEmpty())
        return;
    context.pushState(area);
    context.fillRect(area, backgroundColor);
    if (background)
        background->draw(context, Rect::fromSize(size.width(), size.height()));
    for (View* child : children)
    {
        if (child->isShown() && child->getViewSize().overlaps(area))
            child->draw(context);
    }
    context.popState();
    setDirty(false);
}

View* ViewContainer::getViewAt(Point where, ButtonState buttons) const
{
    const Point local = toLocal(where);
    for (auto child = children.rbegin(); child != children.rend(); ++child)
    {
        View* view = *child;
        if (view->isShown() && view->getMouseEnabled() && view->hitTest(local, buttons))
            return view;
    }
    return nullptr;
}

MouseResult ViewContainer::onMouseDown(Point where, ButtonState buttons)
{
    onMouseCancel();
    const Point local = toLocal(where);
    for (auto child = children.rbegin(); child != children.rend(); ++child)
    {
        View* view = *child;
        if (!view->isShown() || !view->getMouseEnabled() || !view->hitTest(local, buttons))
            continue;
        auto* control = dynamic_cast<Control*>(view);
        if (control && control->getListener() && (buttons & 0xFF) > 7 &&
            control->getListener()->controlModifierClicked(control, buttons) != 0)
            return kMouseEventHandled;
        if (frame && view->wantsFocus())
            frame->setFocusView(view);
        const MouseResult result = view->onMouseDown(local, buttons);
        if (result == kMouseEventNotHandled)
        {
            if (view->getTransparentForMouse())
                continue;
            return result;
        }
        if (result == kMouseEventHandled)
            mouseDownView = view;
        return result;
    }
    return kMouseEventNotHandled;
}

MouseResult ViewContainer::onMouseUp(Point where, ButtonState buttons)
{
    View* view = mouseDownView;
    if (!view)
        return kMouseEventNotHandled;
    view->retain();  // the handler may remove the view from us
    const MouseResult result = view->onMouseUp(toLocal(where), buttons);
    mouseDownView = nullptr;
    view->release();
    return result;
}

MouseResult ViewContainer::onMouseMoved(Point where, ButtonState buttons)
{
    if (!mouseDownView)
        return kMouseEventNotHandled;
    return mouseDownView->onMouseMoved(toLocal(where), buttons);
}

void ViewContainer::onMouseCancel()
{
    if (View* view = std::exchange(mouseDownView, nullptr))
        view->onMouseCancel();
}

bool ViewContainer::onWheel(Point where, float distance, ButtonState buttons)
{
    const Point local = toLocal(where);
    for (auto child = children.rbegin(); child != children.rend(); ++child)
    {
        View* view = *child;
        if (view->isShown() && view->getMouseEnabled() && view->getViewSize().pointInside(local) &&
            view->onWheel(local, distance, buttons))
            return true;
    }
    return false;
}

void ViewContainer::invalidateDirtyViews()
{
    for (View* view : children)
    {
        if (!view->isShown())
            continue;
        if (auto* container = dynamic_cast<ViewContainer*>(view))
            container->invalidateDirtyViews();
        else if (view->isDirty())
            view->invalid();
    }
}

bool ViewContainer::isDirty() const
{
    if (View::isDirty())
        return true;
    return std::any_of(children.begin(), children.end(),
                       [](const View* view) { return view->isShown() && view->isDirty(); });
}

void ViewContainer::attached(ViewContainer* newParent)
{
    View::attached(newParent);
    for (View* view : children)
        view->attached(this);
}

void ViewContainer::removed()
{
    for (View* view : children)
        view->removed();
    View::removed();
}
}  // namespace gui
