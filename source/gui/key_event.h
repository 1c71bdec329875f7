#pragma once
// The toolkit's own key record, so that views know no plug-in standard: the
// platform view and the editor's host boundary translate into it.

#include <cstdint>

#include "gui/button_state.h"

namespace gui
{
// The non-character keys views react to; kNone for a character key.
enum class VirtualKey : std::uint8_t
{
    kNone,
    kBack,
    kTab,
    kClear,
    kReturn,
    kPause,
    kEscape,
    kSpace,
    kEnd,
    kHome,
    kLeft,
    kUp,
    kRight,
    kDown,
    kPageUp,
    kPageDown,
};

struct KeyEvent
{
    char32_t character = 0;  // 0 when the key has no character
    VirtualKey virt = VirtualKey::kNone;
    ButtonState modifiers = 0;  // kModifierMask bits only
};
}  // namespace gui
