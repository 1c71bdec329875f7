#pragma once
// A suite with a private X server for all its tests and a client connection
// to it for each. A derived SetUp calls this one first and stops when it
// skipped or failed; a derived TearDown frees what it made, then calls this one.

// gtest before Xlib, whose macros (None, Bool) would break gtest.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <memory>

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

    static inline std::unique_ptr<XvfbDisplay> server;
    Display* display = nullptr;
};
}  // namespace editortest
