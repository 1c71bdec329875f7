#include "gui/draw_context.h"

#include <cmath>
#include <string>

namespace gui
{
const Font gNormalFont{"Arial", 12.0, false};

DrawContext::DrawContext(cairo_surface_t* surface) : cairo(cairo_create(surface)) {}

DrawContext::~DrawContext() { cairo_destroy(cairo); }

void DrawContext::pushState(const Rect& clip, Point origin)
{
    cairo_save(cairo);
    cairo_rectangle(cairo, clip.left, clip.top, clip.width(), clip.height());
    cairo_clip(cairo);
    cairo_translate(cairo, origin.x, origin.y);
}

void DrawContext::popState() { cairo_restore(cairo); }

Rect DrawContext::getClipRect() const
{
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;
    cairo_clip_extents(cairo, &left, &top, &right, &bottom);
    return {left, top, right, bottom};
}

void DrawContext::setColor(cairo_t* cairo, Color color)
{
    cairo_set_source_rgba(cairo, color.red / 255.0, color.green / 255.0, color.blue / 255.0, color.alpha / 255.0);
}

void DrawContext::fillRect(const Rect& rect, Color color)
{
    setColor(cairo, color);
    cairo_rectangle(cairo, rect.left, rect.top, rect.width(), rect.height());
    cairo_fill(cairo);
}

void DrawContext::frameRect(const Rect& rect, Color color, double width)
{
    setColor(cairo, color);
    cairo_set_line_width(cairo, width);
    const double inset = width / 2.0;
    cairo_rectangle(cairo, rect.left + inset, rect.top + inset, rect.width() - width, rect.height() - width);
    cairo_stroke(cairo);
}

void DrawContext::drawString(std::string_view text, const Rect& rect, const Font& font, Color color,
                             HorizontalAlign align, bool antialias)
{
    const std::string terminated(text);
    cairo_save(cairo);
    cairo_rectangle(cairo, rect.left, rect.top, rect.width(), rect.height());
    cairo_clip(cairo);
    cairo_select_font_face(cairo, font.name.c_str(), CAIRO_FONT_SLANT_NORMAL,
                           font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cairo, font.size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_set_font_options(cairo, options);
    cairo_font_options_destroy(options);

    cairo_text_extents_t textExtents;
    cairo_text_extents(cairo, terminated.c_str(), &textExtents);
    cairo_font_extents_t fontExtents;
    cairo_font_extents(cairo, &fontExtents);

    double x = rect.left;
    if (align == HorizontalAlign::center)
        x = rect.left + (rect.width() - textExtents.x_advance) / 2.0;
    else if (align == HorizontalAlign::right)
        x = rect.right - textExtents.x_advance;
    // Centre the font's ascent-to-descent box vertically, so labels of
    // different texts share one baseline.
    const double y = rect.top + (rect.height() - (fontExtents.ascent + fontExtents.descent)) / 2.0 + fontExtents.ascent;

    setColor(cairo, color);
    cairo_move_to(cairo, x, y);
    cairo_show_text(cairo, terminated.c_str());
    cairo_restore(cairo);
}

Rect DrawContext::snappedToDevicePixels(const Rect& rect) const
{
    // The surface's device scale is applied after the transformation matrix.
    double scaleX = 1.0;
    double scaleY = 1.0;
    cairo_surface_get_device_scale(cairo_get_target(cairo), &scaleX, &scaleY);
    const auto snapped = [this, scaleX, scaleY](double x, double y) {
        cairo_user_to_device(cairo, &x, &y);
        x = std::round(x * scaleX) / scaleX;
        y = std::round(y * scaleY) / scaleY;
        cairo_device_to_user(cairo, &x, &y);
        return Point{x, y};
    };
    const Point topLeft = snapped(rect.left, rect.top);
    const Point bottomRight = snapped(rect.right, rect.bottom);
    return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void DrawContext::drawImage(cairo_surface_t* image, const Rect& destination, Point offset, float alpha)
{
    const Rect dest = snappedToDevicePixels(destination);
    cairo_save(cairo);
    cairo_rectangle(cairo, dest.left, dest.top, dest.width(), dest.height());
    cairo_clip(cairo);
    cairo_set_source_surface(cairo, image, dest.left - offset.x, dest.top - offset.y);
    cairo_paint_with_alpha(cairo, alpha);
    cairo_restore(cairo);
}
}  // namespace gui
