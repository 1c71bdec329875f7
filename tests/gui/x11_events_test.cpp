// Which X11 buttons, modifiers and keys become which toolkit bits.

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include "gui/x11_events.h"

namespace
{
TEST(X11Events, ButtonsModifiersAndKeysMapToTheirBits)
{
    EXPECT_EQ(gui::buttonStateFromX(Button1Mask | ShiftMask), gui::kLButton | gui::kShift);
    EXPECT_EQ(gui::buttonStateFromX(ControlMask), gui::kDefaultValueModifier);
    EXPECT_EQ(gui::buttonStateFromX(Mod1Mask | Mod4Mask | Button3Mask), gui::kAlt | gui::kApple | gui::kRButton);
    EXPECT_EQ(gui::buttonStateFromX(LockMask | Mod2Mask), 0) << "caps and num lock carry no meaning";
    EXPECT_EQ(gui::buttonBitFromX(Button4), 0) << "the wheel is not a button";
    EXPECT_EQ(gui::wheelDistanceFromX(Button5), -1.0f) << "button 5 turns the wheel down";

    gui::KeyEvent key;
    ASSERT_TRUE(gui::keyEventFromX(XK_Left, ShiftMask | ControlMask | Button1Mask, key));
    EXPECT_EQ(key.virt, gui::VirtualKey::kLeft);
    EXPECT_EQ(key.modifiers, gui::kShift | gui::kControl)
        << "key and mouse paths agree on the modifiers, buttons left out";

    ASSERT_TRUE(gui::keyEventFromX(XK_A, ShiftMask, key));
    EXPECT_EQ(key.character, U'a') << "letters arrive lower case, without a virtual key";
    EXPECT_EQ(key.virt, gui::VirtualKey::kNone);
    EXPECT_FALSE(gui::keyEventFromX(XK_F5, 0, key));
}
}  // namespace
