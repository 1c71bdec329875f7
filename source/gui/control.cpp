#include "gui/control.h"

#include <algorithm>

#include "gui/frame.h"

namespace gui
{
const Message kMessageValueChanged = "kMessageValueChanged";
const Message kMessageBeginEdit = "kMessageBeginEdit";
const Message kMessageEndEdit = "kMessageEndEdit";

Control::Control(const Rect& size_, ControlListener* listener_, std::int32_t tag_, Bitmap* background_)
    : View(size_), listener(listener_), tag(tag_), background(background_)
{
    if (background)
        background->retain();
}

Control::~Control()
{
    if (background)
        background->release();
}

void Control::setTag(std::int32_t newTag)
{
    if (listener)
        listener->controlTagWillChange(this);
    tag = newTag;
    if (listener)
        listener->controlTagDidChange(this);
}

void Control::setValue(float newValue)
{
    newValue = std::clamp(newValue, minimum, maximum);
    if (newValue == value)
        return;
    value = newValue;
    changed(kMessageValueChanged);
}

float Control::getValueNormalized() const
{
    const float range = maximum - minimum;
    return range == 0.0f ? 0.0f : (value - minimum) / range;
}

void Control::setValueNormalized(float normalized)
{
    setValue(minimum + std::clamp(normalized, 0.0f, 1.0f) * (maximum - minimum));
}

void Control::bounceValue() { value = std::clamp(value, minimum, maximum); }

void Control::valueChanged()
{
    if (listener)
        listener->valueChanged(this);
    changed(kMessageValueChanged);
}

void Control::beginEdit()
{
    if (listener)
        listener->controlBeginEdit(this);
    changed(kMessageBeginEdit);
    if (frame)
        frame->beginEdit(tag);
}

void Control::endEdit()
{
    if (frame)
        frame->endEdit(tag);
    if (listener)
        listener->controlEndEdit(this);
    changed(kMessageEndEdit);
}

bool Control::checkDefaultValue(ButtonState buttons)
{
    if (!isLeftClick(buttons) || ((buttons & kDefaultValueModifier) & 0xF0) == 0)
        return false;
    if (defaultValue == value)
        return true;
    beginEdit();
    setValue(defaultValue);
    valueChanged();
    endEdit();
    return true;
}

bool Control::isDirty() const { return value != oldValue || View::isDirty(); }

void Control::setDirty(bool dirty)
{
    View::setDirty(dirty);
    // A value no control can hold forces the next comparison to differ.
    if (dirty)
        oldValue = value != -1.0f ? -1.0f : 0.0f;
    else
        oldValue = value;
}

void Control::onMouseEntered(Point, ButtonState)
{
    if (listener)
        listener->MouseOver(this);
}

void Control::onMouseExited(Point, ButtonState)
{
    if (listener)
        listener->MouseExit(this);
}

void Control::addDependent(RefObject* dependent) { dependents.push_back(dependent); }

void Control::removeDependent(RefObject* dependent)
{
    dependents.erase(std::remove(dependents.begin(), dependents.end(), dependent), dependents.end());
}

void Control::changed(Message message)
{
    for (RefObject* dependent : dependents)
        dependent->notify(this, message);
}
}  // namespace gui
