#pragma once
// Translation of X11 input into the toolkit's button states and key records.
// Modifier keys: Shift sets kShift (16), Control sets the default-value
// modifier (32), Mod1 (Alt) sets 64 and Mod4 (Super) sets 128, in button
// states and key events alike.

#include <X11/Xlib.h>

#include "gui/button_state.h"
#include "gui/key_event.h"

namespace gui
{
// The held buttons and modifiers of an X event's state field.
ButtonState buttonStateFromX(unsigned int state);
// The bit of the X button that was pressed; 0 for the wheel and unknown buttons.
ButtonState buttonBitFromX(unsigned int button);
// +1 for wheel up, -1 for wheel down, 0 for any other button.
float wheelDistanceFromX(unsigned int button);
// Fills `key` for a key the toolkit knows; false for others.
bool keyEventFromX(KeySym keysym, unsigned int state, KeyEvent& key);
}  // namespace gui
