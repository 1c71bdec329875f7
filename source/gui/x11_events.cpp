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
    case Button1: return kLButton;
    case Button2: return kMButton;
    case Button3: return kRButton;
    case 8:  // back
        return kButton4;
    case 9:  // forward
        return kButton5;
    default: return 0;
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
VirtualKey virtualKeyFromKeySym(KeySym keysym)
{
    switch (keysym)
    {
    case XK_BackSpace: return VirtualKey::kBack;
    case XK_Tab: return VirtualKey::kTab;
    case XK_Clear: return VirtualKey::kClear;
    case XK_Return:
    case XK_KP_Enter: return VirtualKey::kReturn;
    case XK_Pause: return VirtualKey::kPause;
    case XK_Escape: return VirtualKey::kEscape;
    case XK_space: return VirtualKey::kSpace;
    case XK_End: return VirtualKey::kEnd;
    case XK_Home: return VirtualKey::kHome;
    case XK_Left: return VirtualKey::kLeft;
    case XK_Up: return VirtualKey::kUp;
    case XK_Right: return VirtualKey::kRight;
    case XK_Down: return VirtualKey::kDown;
    case XK_Page_Up: return VirtualKey::kPageUp;
    case XK_Page_Down: return VirtualKey::kPageDown;
    default: return VirtualKey::kNone;
    }
}
}  // namespace

bool keyEventFromX(KeySym keysym, unsigned int state, KeyEvent& key)
{
    key = {};
    key.virt = virtualKeyFromKeySym(keysym);
    if (key.virt == VirtualKey::kNone)
    {
        // Printable Latin-1 keys travel as their lower-case character.
        if (keysym < 0x20 || keysym > 0x7e)
            return false;
        key.character = static_cast<char32_t>(std::tolower(static_cast<int>(keysym)));
    }
    key.modifiers = buttonStateFromX(state) & kModifierMask;
    return true;
}
}  // namespace gui
