#include "gui/frame.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "gui/draw_context.h"
#include "gui/x11_frame_view.h"

namespace gui
{
Frame::Frame(const Rect& size_, void* parentWindow, EditorInterface* editor_, double scale_)
    : ViewContainer(Rect::fromSize(size_.width(), size_.height())), editor(editor_), scale(scale_)
{
    frame = this;
    if (parentWindow)
        platformFrame = X11FrameView::create(this, parentWindow);
}

Frame::~Frame()
{
    setModalView(nullptr);
    focusView = nullptr;
    mouseOverView = nullptr;
    removeAll();
    platformFrame.reset();
}

int Frame::getPixelWidth() const { return std::max(1, static_cast<int>(std::lround(size.width() * scale))); }

int Frame::getPixelHeight() const { return std::max(1, static_cast<int>(std::lround(size.height() * scale))); }

void Frame::setPlatformFrame(std::unique_ptr<PlatformFrame> platform) { platformFrame = std::move(platform); }

bool Frame::setModalView(View* view)
{
    if (!view)
    {
        if (modalView)
        {
            onMouseCancel();
            // The modal view's owner keeps it.
            removeView(modalView, false);
            if (focusView == modalView)
                focusView = nullptr;
            modalView = nullptr;
        }
        return true;
    }
    if (modalView || view->isAttached())
        return false;
    onMouseCancel();
    // Held as a child without a reference of the frame's: its owner keeps it.
    modalView = view;
    addView(view);
    if (view->wantsFocus())
        focusView = view;
    return true;
}

void Frame::setFocusView(View* view) { focusView = view; }

void Frame::idle()
{
    invalidateDirtyViews();
    if (platformFrame)
        platformFrame->redrawInvalidArea();
}

void Frame::invalidRect(const Rect& rect)
{
    const Rect area = rect.intersection(size);
    if (platformFrame && !area.isEmpty())
        platformFrame->invalidRect(area);
}

void Frame::drawRect(DrawContext& context, const Rect& updateRect)
{
    if (updateRect.isEmpty())
        return;
    ViewContainer::drawRect(context, updateRect);
}

DrawContext* Frame::createDrawContext() { return platformFrame ? platformFrame->createDrawContext() : nullptr; }

void Frame::beginEdit(std::int32_t tag)
{
    if (editor)
        editor->beginEdit(tag);
}

void Frame::endEdit(std::int32_t tag)
{
    if (editor)
        editor->endEdit(tag);
}

std::int32_t Frame::getKnobMode() const { return editor ? editor->getKnobMode() : 0; }

void Frame::doIdleStuff()
{
    if (editor)
        editor->doIdleStuff();
}

MouseResult Frame::onMouseDown(Point where, ButtonState buttons)
{
    lastMouseLocation = where;
    lastButtons = buttons;
    onMouseCancel();
    if (!modalView)
        return ViewContainer::onMouseDown(where, buttons);

    if (!modalView->isShown() || !modalView->getMouseEnabled() || !modalView->hitTest(where, buttons))
        return kMouseEventNotHandled;
    View* view = modalView;
    const MouseResult result = view->onMouseDown(where, buttons);
    if (result != kMouseEventHandled)
        return result;
    modalTracking = modalView == view;
    return kMouseEventHandled;
}

MouseResult Frame::onMouseUp(Point where, ButtonState buttons)
{
    lastMouseLocation = where;
    lastButtons = buttons;
    if (modalTracking)
    {
        modalTracking = false;
        return modalView ? modalView->onMouseUp(where, buttons) : kMouseEventNotHandled;
    }
    return ViewContainer::onMouseUp(where, buttons);
}

void Frame::onMouseCancel()
{
    if (std::exchange(modalTracking, false) && modalView)
        modalView->onMouseCancel();
    ViewContainer::onMouseCancel();
}

MouseResult Frame::onMouseMoved(Point where, ButtonState buttons)
{
    lastMouseLocation = where;
    lastButtons = buttons;
    if (modalTracking)
        return modalView ? modalView->onMouseMoved(where, buttons) : kMouseEventNotHandled;
    const MouseResult result = ViewContainer::onMouseMoved(where, buttons);
    if (result == kMouseEventNotHandled)
        trackMouseOver(where, buttons);
    else
        doIdleStuff();  // a control is tracking the mouse: keep the host idling
    return result;
}

void Frame::trackMouseOver(Point where, ButtonState buttons)
{
    View* over = modalView ? (modalView->hitTest(where, buttons) ? modalView : nullptr) : getViewAt(where, buttons);
    if (over == mouseOverView)
        return;
    if (mouseOverView && isChild(mouseOverView))
        mouseOverView->onMouseExited(where, buttons);
    mouseOverView = over;
    if (over)
        over->onMouseEntered(where, buttons);
}

void Frame::onMouseEntered(Point where, ButtonState buttons) { trackMouseOver(where, buttons); }

void Frame::onMouseExited(Point where, ButtonState buttons)
{
    if (View* over = std::exchange(mouseOverView, nullptr); over && isChild(over))
        over->onMouseExited(where, buttons);
}

bool Frame::onWheel(Point where, float distance, ButtonState buttons)
{
    if (modalView)
        return modalView->isShown() && modalView->getViewSize().pointInside(where) &&
               modalView->onWheel(where, distance, buttons);
    return ViewContainer::onWheel(where, distance, buttons);
}

std::int32_t Frame::onKeyDown(const KeyEvent& key)
{
    View* target = modalView ? modalView : focusView;
    return target ? target->onKeyDown(key) : kKeyNotHandled;
}

std::int32_t Frame::onKeyUp(const KeyEvent& key)
{
    View* target = modalView ? modalView : focusView;
    return target ? target->onKeyUp(key) : kKeyNotHandled;
}

Point Frame::getCurrentMouseLocation() const
{
    Point where = lastMouseLocation;
    if (platformFrame)
        platformFrame->getCurrentMouseLocation(where);
    return where;
}

ButtonState Frame::getCurrentMouseButtons() const
{
    return platformFrame ? platformFrame->getCurrentMouseButtons() : lastButtons;
}
}  // namespace gui
