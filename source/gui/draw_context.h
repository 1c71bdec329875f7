#pragma once
// Drawing surface handed to views: a Cairo context over a window or an image.
// Views draw in panel units; a surface with a device scale (a frame drawn at
// 1.5 or 2) maps them onto its pixels, so lines and text are drawn at the
// pixel density, not enlarged afterwards.

#include <cairo.h>

#include <string_view>

#include "gui/color.h"
#include "gui/font.h"
#include "gui/geometry.h"
#include "gui/ref_object.h"

namespace gui
{
enum class HorizontalAlign
{
    left,
    center,
    right,
};

class DrawContext : public RefObject
{
public:
    // Takes a reference of its own to the surface.
    explicit DrawContext(cairo_surface_t* surface);
    ~DrawContext() override;

    // Saves the state, then narrows the clip to `rect` and moves the origin.
    void pushState(const Rect& clip, Point origin = {});
    void popState();
    Rect getClipRect() const;

    void fillRect(const Rect& rect, Color color);
    // A line of `width` pixels drawn inside the rectangle.
    void frameRect(const Rect& rect, Color color, double width = 1.0);
    void drawString(std::string_view text, const Rect& rect, const Font& font, Color color, HorizontalAlign align,
                    bool antialias);
    // Draws `image` into `dest`, taking pixels from `offset` in the image.
    // `dest` is moved onto whole device pixels first: at 1.5 a panel
    // coordinate can fall between two, and an image placed there would be
    // smeared by filtering.
    void drawImage(cairo_surface_t* image, const Rect& dest, Point offset, float alpha);

private:
    static void setColor(cairo_t* cairo, Color color);
    Rect snappedToDevicePixels(const Rect& rect) const;

    cairo_t* cairo;
};
}  // namespace gui
