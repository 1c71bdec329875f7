#pragma once
// A suite with a private X server for all its tests and a client connection
// to it for each. A derived SetUp calls this one first and stops when it
// skipped or failed; a derived TearDown frees what it made, then calls this one.

// gtest before Xlib, whose macros (None, Bool) would break gtest.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <memory>
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

    void SetUp() override
    {
        if (!XvfbDisplay::installed())
            GTEST_SKIP() << "Xvfb is not installed (apt-get install xvfb); this test needs an X server";
        ASSERT_TRUE(server->running()) << "Xvfb did not start on any free display";
        display = XOpenDisplay(server->name().c_str());
        ASSERT_NE(display, nullptr);
    }
    void TearDown() override
    {
        if (display)
            XCloseDisplay(display);
    }
    bool setUpStopped() const { return IsSkipped() || HasFatalFailure(); }

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

    static inline std::unique_ptr<XvfbDisplay> server;
    Display* display = nullptr;
    // Panels open at 1, whatever the desktop that runs the tests asks for; a
    // test that wants another scale sets its own after this one.
    testsupport::ScopedVariable panelScale{"VELMORA_UI_SCALE", "1"};
};
}  // namespace editortest
