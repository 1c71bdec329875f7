#include "editor/key_translation.h"

namespace
{
gui::VirtualKey virtualKeyFromVst(unsigned char virt)
{
    using gui::VirtualKey;
    switch (virt)
    {
    case VKEY_BACK: return VirtualKey::kBack;
    case VKEY_TAB: return VirtualKey::kTab;
    case VKEY_CLEAR: return VirtualKey::kClear;
    case VKEY_RETURN: return VirtualKey::kReturn;
    case VKEY_PAUSE: return VirtualKey::kPause;
    case VKEY_ESCAPE: return VirtualKey::kEscape;
    case VKEY_SPACE: return VirtualKey::kSpace;
    case VKEY_END: return VirtualKey::kEnd;
    case VKEY_HOME: return VirtualKey::kHome;
    case VKEY_LEFT: return VirtualKey::kLeft;
    case VKEY_UP: return VirtualKey::kUp;
    case VKEY_RIGHT: return VirtualKey::kRight;
    case VKEY_DOWN: return VirtualKey::kDown;
    case VKEY_PAGEUP: return VirtualKey::kPageUp;
    case VKEY_PAGEDOWN: return VirtualKey::kPageDown;
    default: return VirtualKey::kNone;
    }
}

gui::ButtonState modifiersFromVst(unsigned char modifier)
{
    gui::ButtonState state = 0;
    if (modifier & MODIFIER_SHIFT)
        state |= gui::kShift;
    if (modifier & MODIFIER_ALTERNATE)
        state |= gui::kAlt;
    if (modifier & MODIFIER_COMMAND)
        state |= gui::kApple;
    if (modifier & MODIFIER_CONTROL)
        state |= gui::kControl;
    return state;
}
}  // namespace

gui::KeyEvent keyEventFromVst(const VstKeyCode& keyCode)
{
    gui::KeyEvent key;
    key.virt = virtualKeyFromVst(keyCode.virt);
    if (keyCode.character > 0)
        key.character = static_cast<char32_t>(keyCode.character);
    key.modifiers = modifiersFromVst(keyCode.modifier);
    return key;
}
