// The frame: which view a click reaches, the modal splash image, redrawing
// on idle. Who releases which view is for the sanitizer builds of every
// editor test.

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "gui/filmstrip_knob.h"
#include "gui/frame.h"
#include "gui/offscreen_frame_view.h"
#include "gui/splash_area.h"
#include "gui/toggle_button.h"
#include "gui/value_display.h"
#include "recorders.h"

namespace
{
using gui::kLButton;

// The panel's arrangement: splash area underneath, a knob, a button above it.
class FrameTest : public ::testing::Test
{
protected:
    FrameTest()
    {
        splash = new gui::SplashArea({71, 71, 166, 150}, &listener, 5, nullptr, {0, 0, 180, 160});
        frame->addView(splash);
        knob = new gui::FilmstripKnob({110, 30, 160, 80}, &listener, 1, 120, 50.0, nullptr);
        knob->setValue(0.25f);
        frame->addView(knob);
        button = new gui::ToggleButton({70, 100, 100, 120}, &listener, 0, nullptr);
        frame->addView(button);
    }
    ~FrameTest() override { frame->release(); }

    void click(gui::Point where, gui::ButtonState buttons = kLButton)
    {
        frame->onMouseDown(where, buttons);
        frame->onMouseUp(where, buttons);
    }

    guitest::RecordingListener listener;
    guitest::RecordingEditor editor;
    gui::Frame* frame = new gui::Frame({0, 0, 180, 160}, nullptr, &editor);
    gui::SplashArea* splash;
    gui::FilmstripKnob* knob;
    gui::ToggleButton* button;
};

TEST_F(FrameTest, ClickWhereButtonLiesOverSplashAreaReachesTheButton)
{
    click({80, 110});
    EXPECT_FLOAT_EQ(button->getValue(), 1.0f);
    EXPECT_FLOAT_EQ(splash->getValue(), 0.0f) << "the splash area underneath saw nothing";
    EXPECT_EQ(listener.events, (std::vector<std::string>{"changed 0 1"}));
    EXPECT_EQ(editor.events, (std::vector<std::string>{"begin 0", "end 0"}));

    const gui::KeyEvent enter{0, gui::VirtualKey::kReturn, 0};
    EXPECT_EQ(button->onKeyDown(enter), gui::kKeyHandled);
    EXPECT_FLOAT_EQ(button->getValue(), 0.0f) << "return toggles back";
}

TEST_F(FrameTest, ShownSplashTakesEveryClickAndHidesOnTheNext)
{
    click({150, 140});
    EXPECT_EQ(frame->getModalView(), splash->getModalView());
    EXPECT_FLOAT_EQ(splash->getValue(), 1.0f);

    // On the knob: only the splash image may see it.
    frame->onMouseDown({130, 50}, kLButton);
    frame->onMouseMoved({180, 0}, kLButton);
    frame->onMouseUp({180, 0}, kLButton);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.25f) << "the knob underneath must not move";
    EXPECT_EQ(frame->getModalView(), nullptr) << "the click hid the splash";
    EXPECT_FALSE(frame->isChild(splash->getModalView()));
    EXPECT_EQ(listener.events, (std::vector<std::string>{"changed 5 1", "changed 5 0"}));

    click({130, 50}, gui::kRButton);
    EXPECT_EQ(frame->getModalView(), nullptr) << "a right click does not show the splash";
}

// The panel's other cut, its editor closing, is the X11 editor tests'.
TEST_F(FrameTest, KnobDragCutShortByAnotherButtonEndsItsGestureOnce)
{
    frame->onMouseDown({130, 50}, kLButton);
    frame->onMouseMoved({140, 50}, kLButton);
    frame->onMouseDown({10, 10}, kLButton | gui::kRButton);
    frame->onMouseUp({140, 50}, kLButton);
    EXPECT_EQ(editor.events, (std::vector<std::string>{"begin 1", "end 1"}));
}

TEST_F(FrameTest, IdleRedrawsOnlyControlsWhoseValueChanged)
{
    auto offscreen = std::make_unique<gui::OffscreenFrameView>(frame);
    gui::OffscreenFrameView* view = offscreen.get();
    frame->setPlatformFrame(std::move(offscreen));

    frame->idle();
    EXPECT_EQ(view->getRedrawCount(), 0) << "nothing changed since the full draw";

    knob->setValue(0.75f);
    EXPECT_EQ(view->getRedrawCount(), 0) << "setting a value draws nothing by itself";
    frame->idle();
    frame->idle();
    EXPECT_EQ(view->getRedrawCount(), 1) << "drawn once, clean afterwards";
    EXPECT_EQ(view->getLastRedrawArea(), knob->getViewSize());
}

TEST_F(FrameTest, LabelDrawsItsBlackBoxOverWhatLiesBeneath)
{
    frame->setBackgroundColor(gui::kWhiteColor);
    auto* label = new gui::TextLabel({20, 10, 70, 24}, "Size");
    frame->addView(label);
    auto view = std::make_unique<gui::OffscreenFrameView>(frame);
    cairo_surface_t* surface = view->getSurface();
    frame->setPlatformFrame(std::move(view));
    auto pixel = [surface](int x, int y) {
        cairo_surface_flush(surface);
        return *reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(surface) +
                                                       y * cairo_image_surface_get_stride(surface) + x * 4);
    };
    EXPECT_EQ(pixel(22, 17), 0xFF000000u) << "inside the label, left of its centred text: the black box";
    EXPECT_EQ(pixel(18, 17), 0xFFFFFFFFu) << "outside the label the frame's background stays";
}

}  // namespace
