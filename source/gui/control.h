#pragma once
// A view with a value in [minimum, maximum] that reports edits to a listener
// and, through the frame, to the editor. A control is dirty while its value
// differs from the value it last drew.

#include <vector>

#include "gui/bitmap.h"
#include "gui/control_listener.h"
#include "gui/view.h"

namespace gui
{
extern const Message kMessageValueChanged;
extern const Message kMessageBeginEdit;
extern const Message kMessageEndEdit;

class Control : public View
{
public:
    // Holds a reference to `background` when one is given.
    Control(const Rect& size, ControlListener* listener, std::int32_t tag, Bitmap* background);
    ~Control() override;

    ControlListener* getListener() const { return listener; }
    void setListener(ControlListener* newListener) { listener = newListener; }
    std::int32_t getTag() const { return tag; }
    void setTag(std::int32_t newTag);

    // Stores the value limited to [minimum, maximum]; only marks the control
    // dirty. Safe to call from a thread other than the UI thread.
    virtual void setValue(float newValue);
    float getValue() const { return value; }
    float getOldValue() const { return oldValue; }
    void setOldValue(float newValue) { oldValue = newValue; }
    float getDefaultValue() const { return defaultValue; }
    void setDefaultValue(float newValue) { defaultValue = newValue; }
    float getMin() const { return minimum; }
    void setMin(float newValue) { minimum = newValue; }
    float getMax() const { return maximum; }
    void setMax(float newValue) { maximum = newValue; }
    float getWheelInc() const { return wheelIncrement; }
    void setWheelInc(float newValue) { wheelIncrement = newValue; }
    float getValueNormalized() const;
    void setValueNormalized(float normalized);
    void bounceValue();

    // Reports a user change to the listener, then to dependents.
    virtual void valueChanged();
    void beginEdit();
    void endEdit();
    // Handles a default-value click (left button with kDefaultValueModifier).
    bool checkDefaultValue(ButtonState buttons);

    bool isDirty() const override;
    void setDirty(bool dirty) override;

    void onMouseEntered(Point where, ButtonState buttons) override;
    void onMouseExited(Point where, ButtonState buttons) override;

    // Dependents receive kMessage... notifications; they are not owned.
    void addDependent(RefObject* dependent);
    void removeDependent(RefObject* dependent);

protected:
    void changed(Message message);

    ControlListener* listener;
    std::int32_t tag;
    float oldValue = 1.0f;
    float defaultValue = 0.5f;
    float value = 0.0f;
    float minimum = 0.0f;
    float maximum = 1.0f;
    float wheelIncrement = 0.1f;
    Bitmap* background;

private:
    std::vector<RefObject*> dependents;
};
}  // namespace gui
