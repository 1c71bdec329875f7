#pragma once
// An on/off button: its image holds the off state on top and the on state
// below. A left click (or Return) toggles between minimum and maximum.

#include "gui/control.h"

namespace gui
{
class ToggleButton : public Control
{
public:
    ToggleButton(const Rect& size, ControlListener* listener, std::int32_t tag, Bitmap* background,
                 std::int32_t style = 0);

    std::int32_t getStyle() const { return style; }
    bool wantsFocus() const override { return true; }

    void draw(DrawContext& context) override;
    MouseResult onMouseDown(Point where, ButtonState buttons) override;
    std::int32_t onKeyDown(const KeyEvent& key) override;

private:
    void toggle();

    std::int32_t style;
};

// The value a toggle moves to: the minimum from the maximum, else the maximum
// (a value in between, or NaN, counts as off).
inline float toggledValue(float value, float minimum, float maximum) { return value == maximum ? minimum : maximum; }
}  // namespace gui
