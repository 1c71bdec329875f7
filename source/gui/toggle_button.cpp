#include "gui/toggle_button.h"

namespace gui
{
ToggleButton::ToggleButton(const Rect& size_, ControlListener* listener_, std::int32_t tag_, Bitmap* background_,
                           std::int32_t style_)
    : Control(size_, listener_, tag_, background_), style(style_)
{}

void ToggleButton::draw(DrawContext& context)
{
    if (background)
    {
        const Point offset{0.0, value == maximum ? background->getHeight() / 2.0 : 0.0};
        background->draw(context, size, offset, 1.0f);
    }
    setDirty(false);
}

void ToggleButton::toggle()
{
    value = toggledValue(value, minimum, maximum);
    invalid();
    beginEdit();
    valueChanged();
    endEdit();
}

MouseResult ToggleButton::onMouseDown(Point, ButtonState buttons)
{
    if (!(buttons & kLButton))
        return kMouseEventNotHandled;
    toggle();
    return kMouseEventHandledFinal;
}

std::int32_t ToggleButton::onKeyDown(const KeyEvent& key)
{
    if (key.virt != VirtualKey::kReturn || key.modifiers != 0)
        return kKeyNotHandled;
    toggle();
    return kKeyHandled;
}
}  // namespace gui
