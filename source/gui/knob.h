#pragma once
// A control turned by a linear drag: right or up raises the value, 200 pixels
// sweep the whole range (300 with kZoomModifier); also wheel and arrow keys.

#include "gui/control.h"

namespace gui
{
class Knob : public Control
{
public:
    Knob(const Rect& size, ControlListener* listener, std::int32_t tag, Bitmap* background);

    bool wantsFocus() const override { return true; }

    MouseResult onMouseDown(Point where, ButtonState buttons) override;
    MouseResult onMouseMoved(Point where, ButtonState buttons) override;
    MouseResult onMouseUp(Point where, ButtonState buttons) override;
    void onMouseCancel() override;
    bool onWheel(Point where, float distance, ButtonState buttons) override;
    std::int32_t onKeyDown(const KeyEvent& key) override;

private:
    static constexpr float kDragRange = 200.0f;  // pixels for the full range

    float rangeFor(ButtonState buttons) const;
    // Ends the drag's edit gesture, once, if one is open.
    void endDrag();
    // Adds `step` in normalised units and reports the change as one edit.
    void stepValue(float step);

    Point firstPoint;
    Point lastPoint{-1.0, -1.0};
    float entryValue = 0.0f;
    float range = kDragRange;
    float coefficient = 0.0f;  // value units per pixel
    ButtonState previousButtons = 0;
    float zoomFactor = 1.5f;  // range multiplier with kZoomModifier
    bool dragging = false;    // a mouse-down began an edit gesture not yet ended
};
}  // namespace gui
