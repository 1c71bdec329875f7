// End to end in a real X server: a host window, the editor opened in it
// through effEditOpen, real pointer input through XTest, and the window's
// pixels compared with the offscreen render of the same panel and with the
// bundle's images drawn for the window's scale. Positions are in panel units.

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "effect/velmora_identity.h"
#include "panel_picture.h"
#include "panelshot/panel_render.h"
#include "support/velmora_bundle.h"
#include "x11_server_test.h"

namespace
{
using namespace editortest;

// One of the bundle's panel images as drawn for `scale`, in its own pixels.
cairo_surface_t* artImage(int number, double scale)
{
    char name[48];
    if (scale == 1.0)
        std::snprintf(name, sizeof name, "bmp%05d.png", number);
    else
        std::snprintf(name, sizeof name, "bmp%05d@%gx.png", number, scale);
    return cairo_image_surface_create_from_png(
        (testsupport::velmoraBundlePath() + "/Contents/Resources/" + name).c_str());
}

// The window's picture against the panel put together from the images drawn
// for its scale, each pixel for pixel at the scaled place of its control:
// the background, each knob's frame for its value and the button's half for
// its state. The labels are text, not images, and are left out.
PictureDifference differenceFromArt(XImage* shown, const panelshot::PanelValues& values)
{
    const double scale = values.scale;
    const auto pixels = [scale](double panelUnits) { return static_cast<double>(std::lround(panelUnits * scale)); };
    cairo_surface_t* background = artImage(128, scale);
    cairo_surface_t* button = artImage(129, scale);
    cairo_surface_t* knobs = artImage(130, scale);
    cairo_surface_t* expected = cairo_surface_create_similar_image(background, CAIRO_FORMAT_ARGB32, shown->width,
                                                                   shown->height);
    cairo_t* cairo = cairo_create(expected);
    const auto place = [cairo](cairo_surface_t* image, double x, double y, double width, double height, double top) {
        cairo_save(cairo);
        cairo_rectangle(cairo, x, y, width, height);
        cairo_clip(cairo);
        cairo_set_source_surface(cairo, image, x, y - top);
        cairo_paint(cairo);
        cairo_restore(cairo);
    };
    place(background, 0, 0, shown->width, shown->height, 0);
    const double knobWidth = cairo_image_surface_get_width(knobs);
    const double frameHeight = cairo_image_surface_get_height(knobs) / 120.0;
    for (const auto& [left, value] : {std::pair{110.0, values.size}, std::pair{40.0, values.dryWet}})
        place(knobs, pixels(left), pixels(30), knobWidth, frameHeight, frameHeight * std::floor(value * 119));
    const double buttonHeight = cairo_image_surface_get_height(button) / 2.0;
    place(button, pixels(8), pixels(81), cairo_image_surface_get_width(button), buttonHeight,
          values.onOff == 1.0f ? buttonHeight : 0.0);
    cairo_destroy(cairo);
    for (cairo_surface_t* image : {background, button, knobs})
        cairo_surface_destroy(image);

    const auto inLabel = [&pixels](int x, int y) {
        const bool labelRows = y >= pixels(10) && y < pixels(24);
        return labelRows && ((x >= pixels(28) && x < pixels(78)) || (x >= pixels(100) && x < pixels(150)));
    };
    const PictureDifference difference = differenceFromSurface(shown, expected, inLabel);
    cairo_surface_destroy(expected);
    return difference;
}

class EditorInX11 : public editortest::X11ServerTest
{
protected:
    void setUpWithServer() override
    {
        host = testsupport::openVelmora();
        ASSERT_NE(host, nullptr);
    }
    void tearDownWithServer() override
    {
        if (host)
        {
            host->dispatch(effEditClose);
            host->close();
        }
    }

    void openEditorWindow(int width, int height)
    {
        parent = hostWindow(width, height);
        ASSERT_EQ(host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
        pump();
    }

    void idle() override { host->dispatch(effEditIdle); }

    void pressAndRelease(unsigned int number)
    {
        button(true, number);
        button(false, number);
    }
    void type(KeySym keysym)
    {
        for (const Bool down : {True, False})
        {
            XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), down, CurrentTime);
            pump(2);
        }
    }
    // The window as shown, with the pointer out of the way; size in pixels.
    WindowGrab grabWindow(int width, int height)
    {
        pointerTo(width / scale + 50, height / scale + 50);
        pump(10);
        return WindowGrab(XGetImage(display, parent, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                    AllPlanes, ZPixmap));
    }

    // Key and button events that reached the host's window since the last
    // call: "space down", "button 4 up".
    std::vector<std::string> hostInput()
    {
        XSync(display, False);
        std::vector<std::string> input;
        while (XPending(display) > 0)
        {
            XEvent event;
            XNextEvent(display, &event);
            const bool down = event.type == KeyPress || event.type == ButtonPress;
            if (event.type == KeyPress || event.type == KeyRelease)
                input.push_back(XKeysymToString(XLookupKeysym(&event.xkey, 0)));
            else if (event.type == ButtonPress || event.type == ButtonRelease)
                input.push_back("button " + std::to_string(event.xbutton.button));
            else
                continue;
            input.back() += down ? " down" : " up";
        }
        return input;
    }

    // The calls of these opcodes the host saw for one parameter, in order.
    std::vector<VstInt32> callsFor(VstInt32 index, std::initializer_list<VstInt32> opcodes) const
    {
        std::vector<VstInt32> seen;
        for (const vsthost::HostCall& call : host->calls())
            if (call.index == index && std::find(opcodes.begin(), opcodes.end(), call.opcode) != opcodes.end())
                seen.push_back(call.opcode);
        return seen;
    }
    std::vector<VstInt32> gestureCalls(VstInt32 index) const
    {
        return callsFor(index, {audioMasterBeginEdit, audioMasterEndEdit});
    }
    static inline const std::vector<VstInt32> kOneGesture{audioMasterBeginEdit, audioMasterEndEdit};

    std::unique_ptr<vsthost::LoadedEffect> host;
};

// The editor at each scale its art is drawn for, chosen as a user would.
class EditorInX11AtScale : public EditorInX11, public ::testing::WithParamInterface<double>
{
protected:
    EditorInX11AtScale() { scale = GetParam(); }

    testsupport::ScopedVariable scaleAsked{"VELMORA_UI_SCALE", std::to_string(GetParam())};
};

INSTANTIATE_TEST_SUITE_P(Scales, EditorInX11AtScale, ::testing::Values(1.0, 1.5, 2.0),
                         [](const ::testing::TestParamInfo<double>& info) {
                             return "x" + std::to_string(static_cast<int>(info.param * 10));
                         });

TEST_P(EditorInX11AtScale, ScaledWindowShowsTheArtOfItsScaleAndDragsCountInPanelUnits)
{
    ERect* rect = nullptr;
    host->dispatch(effEditGetRect, 0, 0, &rect);
    ASSERT_NE(rect, nullptr);
    const int width = rect->right;
    const int height = rect->bottom;
    ASSERT_GT(width, 0) << "the bundle's images are missing";
    EXPECT_EQ(width, onScreen(180));
    EXPECT_EQ(height, onScreen(160));

    host->setParameter(velmora::kSize, 0.3f);
    host->setParameter(velmora::kOnOff, 1.0f);
    openEditorWindow(width, height);
    EXPECT_EQ(pluginWindowSize(parent), std::pair(width, height));
    host->clearCalls();

    drag(126, 46, 166);  // 40 panel units right from the middle of the size knob at (110, 30)
    EXPECT_NEAR(host->getParameter(velmora::kSize), 0.5f, 1e-4) << "40 panel units at 1/200 per unit from 0.3";
    EXPECT_EQ(gestureCalls(velmora::kSize), kOneGesture);
    EXPECT_FALSE(callsFor(velmora::kSize, {audioMasterAutomate}).empty());
    ASSERT_FALSE(host->calls().empty());
    EXPECT_EQ(host->calls().front().opcode, audioMasterBeginEdit) << "automation comes inside the edit gesture";

    const WindowGrab panel = grabWindow(width, height);
    ASSERT_NE(panel, nullptr);
    panelshot::PanelValues values{.onOff = 1.0f,
                                  .size = host->getParameter(velmora::kSize),
                                  .dryWet = host->getParameter(velmora::kDryWet),
                                  .scale = scale};
    const PictureDifference fromOffscreen = differenceFromRender(panel.get(), values);
    EXPECT_EQ(fromOffscreen.mean, 0.0) << "the window shows the panel as rendered offscreen, pixel for pixel; "
                                       << fromOffscreen.visible << " pixels differ visibly";
    const PictureDifference fromArt = differenceFromArt(panel.get(), values);
    EXPECT_EQ(fromArt.mean, 0.0) << "the images drawn for the scale, not stretched; " << fromArt.visible
                                 << " pixels differ visibly";

    // The splash area at (71, 71): one click shows the splash image over the
    // whole panel, the next hides it.
    const auto panelPixel = [&panel](int x, int y) { return XGetPixel(panel.get(), x, y); };
    click(120, 120);
    const WindowGrab splash = grabWindow(width, height);
    ASSERT_NE(splash, nullptr);
    EXPECT_GT(differenceFrom(splash.get(), panelPixel).visible, width * height / 100) << "the splash is shown";
    values.splashShown = true;
    EXPECT_EQ(differenceFromRender(splash.get(), values).mean, 0.0) << "the offscreen render shows the splash too";
    click(120, 120);
    const WindowGrab afterSplash = grabWindow(width, height);
    ASSERT_NE(afterSplash, nullptr);
    const PictureDifference fromPanel = differenceFrom(afterSplash.get(), panelPixel);
    EXPECT_LT(fromPanel.mean, 2.0) << "the hidden splash leaves the panel as it was";
    EXPECT_LT(fromPanel.visible, width * height / 100) << fromPanel.visible << " pixels still differ";
}

TEST_F(EditorInX11, ServersXftDpiScalesTheEditorWhenNoVariableAsks)
{
    const testsupport::ScopedVariable own("VELMORA_UI_SCALE", std::nullopt);
    const testsupport::ScopedVariable gdk("GDK_SCALE", std::nullopt);
    const testsupport::ScopedVariable qt("QT_SCALE_FACTOR", std::nullopt);
    // Where xrdb leaves the desktop's resources; connections opened after it read them.
    const std::string resources = "Xft.antialias:\t1\nXft.dpi:\t144\n";
    const Atom property = XInternAtom(display, "RESOURCE_MANAGER", False);
    XChangeProperty(display, DefaultRootWindow(display), property, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(resources.data()), static_cast<int>(resources.size()));
    XSync(display, False);
    ERect* rect = nullptr;
    host->dispatch(effEditGetRect, 0, 0, &rect);
    XDeleteProperty(display, DefaultRootWindow(display), property);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 270) << "144 dpi is 1.5";
    EXPECT_EQ(rect->bottom, 240);

    scale = 1.5;
    openEditorWindow(rect->right, rect->bottom);
    EXPECT_EQ(pluginWindowSize(parent), std::pair(270, 240));
}

TEST_F(EditorInX11, EditorClosedMidDragEndsTheGestureOnceAndDoesNotCrash)
{
    openEditorWindow(180, 160);
    drag(126, 46, 146, false);
    host->dispatch(effEditClose);
    button(false);
    EXPECT_EQ(gestureCalls(velmora::kSize), kOneGesture) << "a host in touch mode must see the knob let go";

    // The drag idles the host from inside the editor's own event handling; the
    // frame and its window must outlive that handling.
    host->clearCalls();
    host->setAnswer(audioMasterIdle, [this](const vsthost::HostCall&, void*) {
        host->dispatch(effEditClose);
        return VstIntPtr{0};
    });
    ASSERT_EQ(host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    pump();
    drag(126, 46, 146);
    EXPECT_EQ(childWindows(parent).size(), 0u) << "the host's close took the editor's window away";
    EXPECT_EQ(gestureCalls(velmora::kSize), kOneGesture);
}

TEST_P(EditorInX11AtScale, KeysAndButtonsThePanelDoesNotUseGoOnToTheHostWindowOnce)
{
    host->setParameter(velmora::kSize, 0.5f);
    openEditorWindow(onScreen(180), onScreen(160));
    XSelectInput(display, parent, KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask);
    hostInput();

    pointerTo(5, 150);  // nothing of the panel lies in its lower left corner
    type(XK_space);
    pressAndRelease(Button4);
    pressAndRelease(Button5);
    click(5, 150);
    EXPECT_EQ(hostInput(), (std::vector<std::string>{"space down", "space up", "button 4 down", "button 4 up",
                                                     "button 5 down", "button 5 up", "button 1 down", "button 1 up"}));

    // The Size knob at (110, 30), once clicked, takes the arrows and the wheel.
    click(126, 46);
    type(XK_Up);
    pressAndRelease(Button4);
    type(XK_space);
    pressAndRelease(Button3);
    EXPECT_NEAR(host->getParameter(velmora::kSize), 0.7f, 1e-5) << "an arrow and a wheel notch, a tenth each";
    EXPECT_EQ(hostInput(), (std::vector<std::string>{"space down", "space up", "button 3 down", "button 3 up"}))
        << "what the knob used stays with the panel";
}

TEST_F(EditorInX11, ReopenedAbandonedOrMisaddressedEditorLeavesNoStrayWindow)
{
    openEditorWindow(180, 160);
    EXPECT_EQ(childWindows(parent).size(), 1u);
    ASSERT_EQ(host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    EXPECT_EQ(childWindows(parent).size(), 1u) << "a second open replaces the first window";

    host->dispatch(effEditClose);
    EXPECT_EQ(childWindows(parent).size(), 0u);
    // No such window: X's default error handler would end the host.
    EXPECT_EQ(host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent + 0x100000)), 1);
    host->dispatch(effEditIdle);
    host->dispatch(effEditClose);

    // Some hosts destroy the effect without closing its editor first.
    ASSERT_EQ(host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    host->close();
    EXPECT_EQ(childWindows(parent).size(), 0u) << "the editor's window went with the effect";
}
}  // namespace
