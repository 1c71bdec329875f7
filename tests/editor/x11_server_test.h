#pragma once
// A suite with a private X server for all its tests and a client connection
// to it for each. A suite opens what it tests in setUpWithServer, which runs once the
// connection is up, and closes it in tearDownWithServer, before the connection and
// the windows made through it go. Pointer input goes through XTest, which every
// suite links.

// gtest before Xlib, whose macros (None, Bool) would break gtest.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "support/scoped_variable.h"
#include "xvfb_display.h"

namespace editortest
{
class X11ServerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { server = std::make_unique<XvfbDisplay>(); }
    static void TearDownTestSuite() { server.reset(); }

    void SetUp() final
    {
        if (!XvfbDisplay::installed())
            GTEST_SKIP() << "Xvfb is not installed (apt-get install xvfb); this test needs an X server";
        ASSERT_TRUE(server->running()) << "Xvfb did not start on any free display";
        display = XOpenDisplay(server->name().c_str());
        ASSERT_NE(display, nullptr);
        int eventBase = 0, errorBase = 0, major = 0, minor = 0;
        ASSERT_TRUE(XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) << "no XTest";
        setUpWithServer();
    }
    void TearDown() final
    {
        tearDownWithServer();
        if (display)
            XCloseDisplay(display);
    }
    virtual void setUpWithServer() {}
    virtual void tearDownWithServer() {}

    // A shown top-level window at the screen's top left corner, as a host
    // gives a plug-in to open in; it goes with the connection.
    Window hostWindow(int width, int height)
    {
        const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0,
                                                  static_cast<unsigned>(width), static_cast<unsigned>(height), 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
        return window;
    }

    std::vector<Window> childWindows(Window parent) const
    {
        Window root = 0, parentOfParent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        XSync(display, False);
        std::vector<Window> windows;
        if (XQueryTree(display, parent, &root, &parentOfParent, &children, &count) && children)
        {
            windows.assign(children, children + count);
            XFree(children);
        }
        return windows;
    }

    // The size in pixels of the one window a plug-in opened in `parent`; 0 x 0
    // unless there is exactly one.
    std::pair<int, int> pluginWindowSize(Window parent) const
    {
        const std::vector<Window> windows = childWindows(parent);
        XWindowAttributes attributes{};
        if (windows.size() != 1 || !XGetWindowAttributes(display, windows.front(), &attributes))
            return {0, 0};
        return {attributes.width, attributes.height};
    }

    // One turn of the host's UI loop for the plug-in under test.
    virtual void idle() {}
    // As a host's UI loop runs, with pauses for the X server and the panels' 50 ms timer.
    void pump(int rounds = 8)
    {
        for (int round = 0; round < rounds; ++round)
        {
            XSync(display, False);
            idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
        }
        XSync(display, False);
        idle();
    }

    // Pointer input at positions in panel units, `scale` screen pixels each,
    // from `panelOrigin` on the screen; each event is handled before this returns.
    int onScreen(double panelUnits) const { return static_cast<int>(std::lround(panelUnits * scale)); }
    void pointerTo(double x, double y)
    {
        XTestFakeMotionEvent(display, DefaultScreen(display), panelOrigin.first + onScreen(x),
                             panelOrigin.second + onScreen(y), CurrentTime);
        pump(2);
    }
    void button(bool down, unsigned int number = Button1)
    {
        XTestFakeButtonEvent(display, number, down ? True : False, CurrentTime);
        pump(2);
    }
    void click(double x, double y)
    {
        pointerTo(x, y);
        button(true);
        button(false);
    }
    // Across to toX in steps of 10 units, the button held.
    void drag(double x, double y, double toX, bool release = true)
    {
        pointerTo(x, y);
        button(true);
        for (double step = x + 10; step <= toX; step += 10)
            pointerTo(step, y);
        if (release)
            button(false);
    }

    static inline std::unique_ptr<XvfbDisplay> server;
    Display* display = nullptr;
    Window parent = 0;   // the host's window of the plug-in under test
    double scale = 1.0;  // screen pixels per panel unit
    std::pair<int, int> panelOrigin{0, 0};
    // Panels open at 1, whatever the desktop that runs the tests asks for; a
    // test that wants another scale sets its own after this one.
    testsupport::ScopedVariable panelScale{"VELMORA_UI_SCALE", "1"};
};
}  // namespace editortest
