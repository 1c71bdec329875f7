#pragma once
// A window's pixels, grabbed from the X server, held against the panel as
// it should look: rendered offscreen at the same values and scale.

#include "panelshot/panel_render.h"
#include "support/velmora_bundle.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace editortest
{
struct ImageDeleter
{
    void operator()(XImage* image) const { XDestroyImage(image); }
};
using WindowGrab = std::unique_ptr<XImage, ImageDeleter>;

struct PictureDifference
{
    double mean = 0.0;  // of each pixel's worst channel, 0..255
    int visible = 0;    // pixels whose worst channel differs by more than 24
};

// `wanted`(x, y) gives the expected pixel as 0xRRGGBB in its low bytes.
template <typename Wanted>
PictureDifference differenceFrom(XImage* shown, Wanted wanted)
{
    PictureDifference difference;
    for (int y = 0; y < shown->height; ++y)
        for (int x = 0; x < shown->width; ++x)
        {
            const unsigned long pixel = XGetPixel(shown, x, y);
            const unsigned long expected = wanted(x, y);
            int worst = 0;
            for (int shift : {16, 8, 0})
                worst = std::max(worst, std::abs(int((pixel >> shift) & 0xFF) - int((expected >> shift) & 0xFF)));
            difference.mean += worst;
            difference.visible += worst > 24;
        }
    difference.mean /= shown->width * shown->height;
    return difference;
}

// Pixels for which `leftOut`(x, y) is true count as equal.
template <typename Region>
PictureDifference differenceFromSurface(XImage* shown, cairo_surface_t* expected, Region leftOut)
{
    cairo_surface_flush(expected);
    return differenceFrom(shown, [&](int x, int y) {
        if (leftOut(x, y))
            return XGetPixel(shown, x, y);
        return static_cast<unsigned long>(reinterpret_cast<const std::uint32_t*>(
            cairo_image_surface_get_data(expected) + y * cairo_image_surface_get_stride(expected))[x]);
    });
}

// The window's picture against the panel rendered offscreen at the same values and scale.
inline PictureDifference differenceFromRender(XImage* shown, const panelshot::PanelValues& values)
{
    std::string error;
    cairo_surface_t* expected = panelshot::renderPanel(testsupport::velmoraBundlePath(), values, error);
    if (!expected)
    {
        ADD_FAILURE() << error;
        return {255.0, shown->width * shown->height};
    }
    const PictureDifference difference = differenceFromSurface(shown, expected, [](int, int) { return false; });
    cairo_surface_destroy(expected);
    return difference;
}

}  // namespace editortest
