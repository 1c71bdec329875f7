#include "gui/splash_area.h"

#include "gui/frame.h"
#include "gui/toggle_button.h"

namespace gui
{
SplashView::SplashView(const Rect& size_, ControlListener* listener_, Bitmap* image, Point offset_)
    : Control(size_, listener_, 0, image), offset(offset_)
{}

void SplashView::draw(DrawContext& context)
{
    if (background)
        background->draw(context, size, offset, 1.0f);
    setDirty(false);
}

MouseResult SplashView::onMouseDown(Point, ButtonState buttons)
{
    if (!(buttons & kLButton))
        return kMouseEventNotHandled;
    if (listener)
        listener->valueChanged(this);
    return kMouseEventHandledFinal;
}

SplashArea::SplashArea(const Rect& size_, ControlListener* listener_, std::int32_t tag_, Bitmap* image,
                       const Rect& displayArea_, Point offset_)
    : Control(size_, listener_, tag_, image), displayArea(displayArea_), offset(offset_),
      modalView(new SplashView(displayArea_, this, image, offset_))
{}

SplashArea::~SplashArea()
{
    if (frame && frame->getModalView() == modalView)
        frame->setModalView(nullptr);
    modalView->release();
}

bool SplashArea::hitTest(Point where, ButtonState buttons) const
{
    return (buttons & kLButton) && where.x >= size.left && where.x <= size.right && where.y >= size.top &&
           where.y <= size.bottom;
}

void SplashArea::draw(DrawContext&) { setDirty(false); }

MouseResult SplashArea::onMouseDown(Point, ButtonState buttons)
{
    if (!(buttons & kLButton))
        return kMouseEventNotHandled;
    value = toggledValue(value, minimum, maximum);
    if (value == maximum && frame && frame->setModalView(modalView))
        Control::valueChanged();
    return kMouseEventHandledFinal;
}

void SplashArea::valueChanged(Control*)
{
    hideSplash();
    Control::valueChanged();
}

void SplashArea::hideSplash()
{
    value = minimum;
    if (frame && frame->getModalView() == modalView)
        frame->setModalView(nullptr);  // which redraws the area it leaves
}
}  // namespace gui
