#pragma once
// A clickable area that shows an image over a display rectangle as the
// frame's modal view; a click on the shown image hides it again. Both the
// showing and the hiding are reported to the listener.

#include "gui/control.h"

namespace gui
{
// The shown splash image. Its listener is the splash area that owns it.
class SplashView : public Control
{
public:
    SplashView(const Rect& size, ControlListener* listener, Bitmap* image, Point offset);

    void draw(DrawContext& context) override;
    MouseResult onMouseDown(Point where, ButtonState buttons) override;

private:
    Point offset;
};

class SplashArea : public Control, public ControlListener
{
public:
    SplashArea(const Rect& size, ControlListener* listener, std::int32_t tag, Bitmap* image, const Rect& displayArea,
               Point offset = {});
    ~SplashArea() override;

    SplashView* getModalView() const { return modalView; }

    bool hitTest(Point where, ButtonState buttons) const override;
    void draw(DrawContext& context) override;
    MouseResult onMouseDown(Point where, ButtonState buttons) override;

    // From the shown image: a click on it hides the splash.
    void valueChanged(Control* control) override;
    using Control::valueChanged;

    void hideSplash();

private:
    Rect displayArea;
    Point offset;
    SplashView* modalView;
};
}  // namespace gui
