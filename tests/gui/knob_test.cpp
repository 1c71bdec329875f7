// Knob drag, wheel and key arithmetic, and the filmstrip's choice of image.

#include <gtest/gtest.h>

#include "gui/filmstrip_knob.h"
#include "gui/frame.h"
#include "recorders.h"

namespace
{
using gui::kLButton;
using gui::kShift;

class KnobTest : public ::testing::Test
{
protected:
    KnobTest()
    {
        knob = new gui::FilmstripKnob({0, 0, 50, 50}, &listener, 1, 120, 50.0, nullptr);
        frame->addView(knob);
        knob->setDefaultValue(0.0f);
        knob->setValue(0.5f);
    }
    ~KnobTest() override { frame->release(); }

    void drag(gui::Point from, gui::Point to)
    {
        knob->onMouseDown(from, kLButton);
        knob->onMouseMoved({(from.x + to.x) / 2, (from.y + to.y) / 2}, kLButton);
        knob->onMouseMoved(to, kLButton);
        knob->onMouseUp(to, kLButton);
    }

    guitest::RecordingListener listener;
    guitest::RecordingEditor editor;
    gui::Frame* frame = new gui::Frame({0, 0, 100, 100}, nullptr, &editor);
    gui::FilmstripKnob* knob;
};

TEST_F(KnobTest, DiagonalDragCancels)
{
    drag({25, 25}, {45, 45});
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-6) << "20 right plus 20 down adds up to nothing";
}

TEST_F(KnobTest, ShiftPressedMidDragDoesNotJumpAndSlowsTheRest)
{
    knob->onMouseDown({0, 0}, kLButton);
    knob->onMouseMoved({40, 0}, kLButton);
    const float beforeShift = knob->getValue();
    EXPECT_NEAR(beforeShift, 0.7f, 1e-6) << "40 pixels at 1/200";
    knob->onMouseMoved({41, 0}, kLButton | kShift);
    EXPECT_NEAR(knob->getValue(), beforeShift + 1.0f / 200.0f, 1e-5) << "no jump where shift came in";
    knob->onMouseMoved({71, 0}, kLButton | kShift);
    EXPECT_NEAR(knob->getValue(), beforeShift + 1.0f / 200.0f + 30.0f / 300.0f, 1e-5) << "then 1/300 per pixel";
    knob->onMouseUp({71, 0}, kLButton | kShift);
}

TEST_F(KnobTest, ValueDrivenPastTopIsHeldUntilPointerComesBack)
{
    knob->onMouseDown({0, 0}, kLButton);
    knob->onMouseMoved({160, 0}, kLButton);
    EXPECT_FLOAT_EQ(knob->getValue(), 1.0f) << "held at the maximum";
    knob->onMouseMoved({120, 0}, kLButton);
    EXPECT_FLOAT_EQ(knob->getValue(), 1.0f) << "still beyond the point where 1.0 was reached (x = 100)";
    knob->onMouseMoved({90, 0}, kLButton);
    EXPECT_NEAR(knob->getValue(), 0.95f, 1e-6) << "10 pixels back past x = 100";
    knob->onMouseUp({90, 0}, kLButton);
}

TEST_F(KnobTest, WheelKeysAndValuesStayInRange)
{
    knob->setValue(0.95f);
    EXPECT_TRUE(knob->onWheel({10, 10}, 1.0f, 0));
    EXPECT_FLOAT_EQ(knob->getValue(), 1.0f) << "0.95 + 0.1 is limited to 1.0";
    knob->setValue(0.95f);
    knob->onWheel({10, 10}, 1.0f, kShift);
    EXPECT_NEAR(knob->getValue(), 0.96f, 1e-6) << "shift makes a notch 0.01";

    const gui::KeyEvent down{0, gui::VirtualKey::kDown, 0};
    const gui::KeyEvent letter{U'a', gui::VirtualKey::kNone, 0};
    EXPECT_EQ(knob->onKeyDown(down), gui::kKeyHandled);
    EXPECT_NEAR(knob->getValue(), 0.86f, 1e-6);
    EXPECT_EQ(knob->onKeyDown(letter), gui::kKeyNotHandled);
    knob->setValue(-0.2f);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.0f) << "a value below the range is limited";
    EXPECT_EQ(knob->onMouseDown({10, 10}, gui::kRButton), gui::kMouseEventNotHandled);
}

TEST_F(KnobTest, DefaultValueClickSetsDefaultOnceAndAlwaysBracketsTheClick)
{
    EXPECT_EQ(knob->onMouseDown({10, 10}, kLButton | gui::kDefaultValueModifier), gui::kMouseEventHandledFinal);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.0f);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"changed 1 0"}));
    EXPECT_EQ(editor.events, (std::vector<std::string>{"begin 1", "begin 1", "end 1", "end 1"}))
        << "the mouse-down and the default change each bracket the click";

    listener.events.clear();
    editor.events.clear();
    knob->onMouseDown({10, 10}, kLButton | gui::kDefaultValueModifier);
    EXPECT_TRUE(listener.events.empty()) << "already at the default: no value change";
    EXPECT_EQ(editor.events, (std::vector<std::string>{"begin 1", "end 1"})) << "the click is still bracketed";
}

TEST_F(KnobTest, FilmstripShowsFirstMiddleAndLastImage)
{
    for (auto [value, image] : {std::pair{0.0f, 0}, {0.5f, 59}, {1.0f, 119}})
    {
        knob->setValue(value);
        EXPECT_DOUBLE_EQ(knob->getSubImageTop(), image * knob->getSubImageHeight())
            << "floor(value x 119) at " << value;
    }
}
}  // namespace
