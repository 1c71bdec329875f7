#pragma once
// The button-state bit set that every mouse, wheel and key event carries.

#include <cstdint>

namespace gui
{
using ButtonState = std::int32_t;

inline constexpr ButtonState kLButton = 2;
inline constexpr ButtonState kMButton = 4;
inline constexpr ButtonState kRButton = 8;
inline constexpr ButtonState kShift = 16;
inline constexpr ButtonState kControl = 32;
inline constexpr ButtonState kAlt = 64;
inline constexpr ButtonState kApple = 128;
inline constexpr ButtonState kButton4 = 256;
inline constexpr ButtonState kButton5 = 512;

inline constexpr ButtonState kZoomModifier = kShift;
inline constexpr ButtonState kDefaultValueModifier = kControl;

inline constexpr ButtonState kModifierMask = kShift | kControl | kAlt | kApple;
inline constexpr ButtonState kAllButtonsMask = kLButton | kMButton | kRButton | kButton4 | kButton5;

// Of the five buttons exactly the left one is down.
inline bool isLeftClick(ButtonState state) { return (state & kAllButtonsMask) == kLButton; }

enum MouseResult
{
    kMouseEventNotHandled = 0,
    kMouseEventHandled,
    kMouseEventHandledFinal,  // handled, and no move or up events follow
};

// Key handlers answer 1 when they used the key, -1 when not.
inline constexpr std::int32_t kKeyHandled = 1;
inline constexpr std::int32_t kKeyNotHandled = -1;
}  // namespace gui
