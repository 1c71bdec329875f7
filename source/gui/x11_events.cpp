#include "gui/x11_events.h"

#include <X11/keysym.h>

#include <cctype>

namespace gui
{
ButtonState buttonStateFromX(unsigned int state)
{
    ButtonState buttons = 0;
    if (state & Button1Mask)
        buttons |= kLButton;
    if (state & Button2Mask)
        buttons |= kMButton;
    if (state & Button3Mask)
        buttons |= kRButton;
    if (state & ShiftMask)
        buttons |= kShift;
    if (state & ControlMask)
        buttons |= kControl;
    if (state & Mod1Mask)
        buttons |= kAlt;
    if (state & Mod4Mask)
        buttons |= kApple;
    return buttons;
}

ButtonState buttonBitFromX(unsigned int button)
{
    switch (button)
    {
    case Button1:
        return kLButton;
    case Button2:
        return kMButton;
    case Button3:
        return kRButton;
    case 8:  // back
        return kButton4;
    case 9:  // forward
        return kButton5;
    default:
        return 0;
    }
}

float wheelDistanceFromX(unsigned int button)
{
    if (button == Button4)
        return 1.0f;
    if (button == Button5)
        return -1.0f;
    return 0.0f;
}

namespace
{
unsigned char virtualKeyFromKeySym(KeySym keysym)
{
    switch (keysym)
    {
    case XK_BackSpace:
        return VKEY_BACK;
    case XK_Tab:
        return VKEY_TAB;
    case XK_Clear:
        return VKEY_CLEAR;
    case XK_Return:
    case XK_KP_Enter:
        return VKEY_RETURN;
    case XK_Pause:
        return VKEY_PAUSE;
    case XK_Escape:
        return VKEY_ESCAPE;
    case XK_space:
        return VKEY_SPACE;
    case XK_End:
        return VKEY_END;
    case XK_Home:
        return VKEY_HOME;
    case XK_Left:
        return VKEY_LEFT;
    case XK_Up:
        return VKEY_UP;
    case XK_Right:
        return VKEY_RIGHT;
    case XK_Down:
        return VKEY_DOWN;
    case XK_Page_Up:
        return VKEY_PAGEUP;
    case XK_Page_Down:
        return VKEY_PAGEDOWN;
    default:
        return 0;
    }
}
}  // namespace

bool keyCodeFromX(KeySym keysym, unsigned int state, VstKeyCode& keyCode)
{
    keyCode = {};
    keyCode.virt = virtualKeyFromKeySym(keysym);
    if (keyCode.virt == 0)
    {
        // Printable Latin-1 keys travel as their lower-case character.
        if (keysym < 0x20 || keysym > 0x7e)
            return false;
        keyCode.character = std::tolower(static_cast<int>(keysym));
    }
    if (state & ShiftMask)
        keyCode.modifier |= MODIFIER_SHIFT;
    if (state & Mod1Mask)
        keyCode.modifier |= MODIFIER_ALTERNATE;
    if (state & Mod4Mask)
        keyCode.modifier |= MODIFIER_COMMAND;
    if (state & ControlMask)
        keyCode.modifier |= MODIFIER_CONTROL;
    return true;
}
}  // namespace gui
