#pragma once
// How a control reports to its owner. Every operation but valueChanged has an
// empty default.

#include <cstdint>

#include "gui/button_state.h"

namespace gui
{
class Control;
class DragContainer;

class ControlListener
{
public:
    virtual void HandleDragDrop(Control* control, DragContainer* drag, bool inside)
    {
        (void)control;
        (void)drag;
        (void)inside;
    }
    virtual void HandleDragEnterLeave(Control* control, DragContainer* drag, bool entering)
    {
        (void)control;
        (void)drag;
        (void)entering;
    }
    virtual void MouseOver(Control* control) { (void)control; }
    virtual void MouseExit(Control* control) { (void)control; }
    virtual ~ControlListener() = default;

    virtual void valueChanged(Control* control) = 0;
    // A non-zero answer takes the click away from the control.
    virtual std::int32_t controlModifierClicked(Control* control, ButtonState buttons)
    {
        (void)control;
        (void)buttons;
        return 0;
    }
    virtual void controlBeginEdit(Control* control) { (void)control; }
    virtual void controlEndEdit(Control* control) { (void)control; }
    virtual void controlTagWillChange(Control* control) { (void)control; }
    virtual void controlTagDidChange(Control* control) { (void)control; }
};
}  // namespace gui
