#pragma once
// Translation of X11 input into the toolkit's button states and key records.
// Modifier keys: Shift sets kShift (16), Control sets the default-value
// modifier (32), Mod1 (Alt) sets 64 and Mod4 (Super) sets 128; in key records
// they become shift, control, alternate and command.

#include <X11/Xlib.h>

#include "gui/button_state.h"

namespace gui
{
// The held buttons and modifiers of an X event's state field.
ButtonState buttonStateFromX(unsigned int state);
// The bit of the X button that was pressed; 0 for the wheel and unknown buttons.
ButtonState buttonBitFromX(unsigned int button);
// +1 for wheel up, -1 for wheel down, 0 for any other button.
float wheelDistanceFromX(unsigned int button);
// Fills `keyCode` for a key the toolkit knows; false for others.
bool keyCodeFromX(KeySym keysym, unsigned int state, VstKeyCode& keyCode);
}  // namespace gui
