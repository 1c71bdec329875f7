// The frame in a window of a real X server: what the pointer crossing the
// window tells the control under it.

#include "../editor/x11_server_test.h"

#include "gui/filmstrip_knob.h"
#include "gui/frame.h"
#include "recorders.h"

namespace
{
class FrameInX11 : public editortest::X11ServerTest
{
protected:
    void setUpWithServer() override
    {
        parent = hostWindow(100, 100);
        frame = new gui::Frame({0, 0, 100, 100}, reinterpret_cast<void*>(parent), nullptr);
        ASSERT_NE(frame->getPlatformFrame(), nullptr) << "no window in the host's window";
        frame->addView(new gui::FilmstripKnob({10, 10, 60, 60}, &listener, 1, 120, 50.0, nullptr));
    }
    void tearDownWithServer() override
    {
        if (frame)
            frame->release();
    }
    void idle() override { frame->getPlatformFrame()->processPendingEvents(); }

    guitest::RecordingListener listener;
    gui::Frame* frame = nullptr;
};

TEST_F(FrameInX11, PointerCrossingTheWindowEntersAndLeavesTheControlUnderIt)
{
    pointerTo(30, 30);
    pointerTo(200, 200);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"over 1", "exit 1"}));

    // The window going and coming under a pointer that stays where it is.
    pointerTo(30, 30);
    listener.events.clear();
    XUnmapWindow(display, parent);
    pump(2);
    XMapWindow(display, parent);
    pump(2);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"exit 1", "over 1"}));
}
}  // namespace
