#include "gui/knob.h"

namespace gui
{
Knob::Knob(const Rect& size_, ControlListener* listener_, std::int32_t tag_, Bitmap* background_)
    : Control(size_, listener_, tag_, background_)
{}

float Knob::rangeFor(ButtonState buttons) const
{
    return (buttons & kZoomModifier) ? kDragRange * zoomFactor : kDragRange;
}

MouseResult Knob::onMouseDown(Point where, ButtonState buttons)
{
    if (!isLeftClick(buttons))
        return kMouseEventNotHandled;
    beginEdit();
    if (checkDefaultValue(buttons))
    {
        endEdit();
        return kMouseEventHandledFinal;
    }
    dragging = true;
    firstPoint = where;
    entryValue = value;
    previousButtons = buttons;
    range = rangeFor(buttons);
    lastPoint = where;
    coefficient = (maximum - minimum) / range;
    return onMouseMoved(where, buttons);
}

MouseResult Knob::onMouseMoved(Point where, ButtonState buttons)
{
    if (!isLeftClick(buttons))
        return kMouseEventHandled;
    if (where == lastPoint)
        return kMouseEventHandled;
    lastPoint = where;

    const double diff = (where.x - firstPoint.x) + (firstPoint.y - where.y);
    if (buttons != previousButtons)
    {
        // Keep the value where it is: only the rate of the remaining movement changes.
        range = rangeFor(buttons);
        const float newCoefficient = (maximum - minimum) / range;
        entryValue = static_cast<float>(entryValue + diff * (coefficient - newCoefficient));
        coefficient = newCoefficient;
        previousButtons = buttons;
    }
    value = static_cast<float>(static_cast<double>(entryValue) + diff * coefficient);
    bounceValue();

    if (value != oldValue)
        valueChanged();
    if (isDirty())
        invalid();
    return kMouseEventHandled;
}

MouseResult Knob::onMouseUp(Point, ButtonState)
{
    endDrag();
    return kMouseEventHandled;
}

void Knob::onMouseCancel() { endDrag(); }

void Knob::endDrag()
{
    if (!dragging)
        return;
    dragging = false;
    endEdit();
}

void Knob::stepValue(float step)
{
    setValueNormalized(getValueNormalized() + step);
    if (!isDirty())
        return;
    invalid();
    beginEdit();
    valueChanged();
    endEdit();
}

bool Knob::onWheel(Point, float distance, ButtonState buttons)
{
    if (!getMouseEnabled())
        return false;
    float step = distance * wheelIncrement;
    if (buttons & kZoomModifier)
        step *= 0.1f;
    stepValue(step);
    return true;
}

std::int32_t Knob::onKeyDown(const KeyEvent& key)
{
    float direction = 0.0f;
    switch (key.virt)
    {
    case VirtualKey::kLeft:
    case VirtualKey::kDown: direction = -1.0f; break;
    case VirtualKey::kUp:
    case VirtualKey::kRight: direction = 1.0f; break;
    default: return kKeyNotHandled;
    }
    float step = direction * wheelIncrement;
    if (key.modifiers & kZoomModifier)
        step *= 0.1f;
    stepValue(step);
    return kKeyHandled;
}
}  // namespace gui
