#include "panel_art.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace imagegen
{
namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr double kKnobStartAngle = 0.75 * kPi;  // 7:30 on a clock face
constexpr double kKnobSweep = 1.5 * kPi;        // to 4:30
constexpr const char* kFontFace = "DejaVu Sans";

struct Rgb
{
    double red;
    double green;
    double blue;
};

constexpr Rgb kAmber{0.94, 0.64, 0.23};
constexpr Rgb kGraphiteTop{0.17, 0.18, 0.21};
constexpr Rgb kGraphiteBottom{0.085, 0.093, 0.11};
constexpr Rgb kInk{0.045, 0.05, 0.06};
constexpr Rgb kEngraving{0.62, 0.64, 0.68};

void setColor(cairo_t* cairo, Rgb color, double alpha = 1.0)
{
    cairo_set_source_rgba(cairo, color.red, color.green, color.blue, alpha);
}

void roundedRect(cairo_t* cairo, double x, double y, double width, double height, double radius)
{
    cairo_new_sub_path(cairo);
    cairo_arc(cairo, x + width - radius, y + radius, radius, -kPi / 2, 0);
    cairo_arc(cairo, x + width - radius, y + height - radius, radius, 0, kPi / 2);
    cairo_arc(cairo, x + radius, y + height - radius, radius, kPi / 2, kPi);
    cairo_arc(cairo, x + radius, y + radius, radius, kPi, 1.5 * kPi);
    cairo_close_path(cairo);
}

// Text with extra space between letters, its centre at x, baseline at y.
void spacedText(cairo_t* cairo, const std::string& text, double centreX, double baseline, double size, double spacing,
                bool bold)
{
    cairo_select_font_face(cairo, kFontFace, CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cairo, size);
    double width = 0.0;
    for (char letter : text)
    {
        const char glyph[2] = {letter, 0};
        cairo_text_extents_t extents;
        cairo_text_extents(cairo, glyph, &extents);
        width += extents.x_advance + spacing;
    }
    width -= spacing;
    double x = centreX - width / 2.0;
    for (char letter : text)
    {
        const char glyph[2] = {letter, 0};
        cairo_text_extents_t extents;
        cairo_text_extents(cairo, glyph, &extents);
        cairo_move_to(cairo, x, baseline);
        cairo_show_text(cairo, glyph);
        x += extents.x_advance + spacing;
    }
}

// Fine horizontal grain, the same on every run.
void brushedGrain(cairo_t* cairo, int width, int height)
{
    std::uint32_t seed = 0x5eed1234u;
    cairo_set_line_width(cairo, 1.0);
    for (int y = 0; y < height; ++y)
    {
        seed = seed * 1664525u + 1013904223u;
        const double strength = static_cast<double>(seed >> 8) / static_cast<double>(1u << 24);
        cairo_set_source_rgba(cairo, 1.0, 1.0, 1.0, 0.012 + 0.022 * strength);
        cairo_move_to(cairo, 0, y + 0.5);
        cairo_line_to(cairo, width, y + 0.5);
        cairo_stroke(cairo);
    }
}

void screw(cairo_t* cairo, double x, double y)
{
    cairo_pattern_t* head = cairo_pattern_create_radial(x - 1, y - 1, 0.5, x, y, 3.2);
    cairo_pattern_add_color_stop_rgb(head, 0, 0.55, 0.57, 0.6);
    cairo_pattern_add_color_stop_rgb(head, 1, 0.16, 0.17, 0.19);
    cairo_set_source(cairo, head);
    cairo_arc(cairo, x, y, 3.0, 0, 2 * kPi);
    cairo_fill(cairo);
    cairo_pattern_destroy(head);
    setColor(cairo, kInk, 0.9);
    cairo_set_line_width(cairo, 1.0);
    cairo_move_to(cairo, x - 2.0, y + 1.2);
    cairo_line_to(cairo, x + 2.0, y - 1.2);
    cairo_stroke(cairo);
}

// A recessed plate: dark fill, shadow along the top, light along the bottom.
void recess(cairo_t* cairo, double x, double y, double width, double height, double radius)
{
    roundedRect(cairo, x, y, width, height, radius);
    setColor(cairo, kInk);
    cairo_fill(cairo);
    cairo_set_line_width(cairo, 1.0);
    roundedRect(cairo, x + 0.5, y + 0.5, width - 1, height - 1, radius);
    cairo_set_source_rgba(cairo, 0, 0, 0, 0.6);
    cairo_stroke(cairo);
    cairo_move_to(cairo, x + radius, y + height + 0.5);
    cairo_line_to(cairo, x + width - radius, y + height + 0.5);
    cairo_set_source_rgba(cairo, 1, 1, 1, 0.09);
    cairo_stroke(cairo);
}

void knobScale(cairo_t* cairo, double centreX, double centreY)
{
    constexpr int kTicks = 11;
    cairo_set_line_cap(cairo, CAIRO_LINE_CAP_ROUND);
    for (int tick = 0; tick < kTicks; ++tick)
    {
        const double angle = kKnobStartAngle + kKnobSweep * tick / (kTicks - 1);
        const bool major = tick == 0 || tick == kTicks / 2 || tick == kTicks - 1;
        const double inner = major ? 17.5 : 18.3;
        cairo_set_line_width(cairo, major ? 1.4 : 1.0);
        setColor(cairo, kEngraving, major ? 0.85 : 0.45);
        cairo_move_to(cairo, centreX + inner * std::cos(angle), centreY + inner * std::sin(angle));
        cairo_line_to(cairo, centreX + 20.0 * std::cos(angle), centreY + 20.0 * std::sin(angle));
        cairo_stroke(cairo);
    }
}

// The width motif: arcs opening to both sides of a centre point.
void stereoFan(cairo_t* cairo, double centreX, double centreY, double scale, double alpha)
{
    cairo_set_line_cap(cairo, CAIRO_LINE_CAP_ROUND);
    for (int ring = 1; ring <= 4; ++ring)
    {
        const double radius = scale * (3.0 + 4.0 * ring);
        cairo_set_line_width(cairo, scale * 1.4);
        setColor(cairo, kAmber, alpha * (1.0 - 0.18 * ring));
        cairo_arc(cairo, centreX, centreY, radius, -0.32 * kPi + kPi, 0.32 * kPi + kPi);
        cairo_stroke(cairo);
        cairo_arc(cairo, centreX, centreY, radius, -0.32 * kPi, 0.32 * kPi);
        cairo_stroke(cairo);
    }
    setColor(cairo, kAmber, alpha);
    cairo_arc(cairo, centreX, centreY, scale * 2.2, 0, 2 * kPi);
    cairo_fill(cairo);
}

// An image of width x height panel units at `scale` pixels per unit, and a
// context that draws on it in panel units.
cairo_t* scaledCanvas(int width, int height, double scale)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32,
                                                          static_cast<int>(std::lround(width * scale)),
                                                          static_cast<int>(std::lround(height * scale)));
    cairo_t* cairo = cairo_create(surface);
    cairo_surface_destroy(surface);  // the context holds it
    cairo_scale(cairo, scale, scale);
    return cairo;
}

cairo_surface_t* finished(cairo_t* cairo)
{
    cairo_surface_t* surface = cairo_surface_reference(cairo_get_target(cairo));
    cairo_destroy(cairo);
    cairo_surface_flush(surface);
    return surface;
}

void panelFace(cairo_t* cairo, int width, int height)
{
    cairo_pattern_t* face = cairo_pattern_create_linear(0, 0, 0, height);
    cairo_pattern_add_color_stop_rgb(face, 0, kGraphiteTop.red, kGraphiteTop.green, kGraphiteTop.blue);
    cairo_pattern_add_color_stop_rgb(face, 1, kGraphiteBottom.red, kGraphiteBottom.green, kGraphiteBottom.blue);
    cairo_set_source(cairo, face);
    cairo_paint(cairo);
    cairo_pattern_destroy(face);
    brushedGrain(cairo, width, height);

    cairo_set_line_width(cairo, 1.0);
    cairo_set_source_rgba(cairo, 1, 1, 1, 0.10);
    cairo_move_to(cairo, 0.5, height);
    cairo_line_to(cairo, 0.5, 0.5);
    cairo_line_to(cairo, width, 0.5);
    cairo_stroke(cairo);
    cairo_set_source_rgba(cairo, 0, 0, 0, 0.7);
    cairo_move_to(cairo, width - 0.5, 0);
    cairo_line_to(cairo, width - 0.5, height - 0.5);
    cairo_line_to(cairo, 0, height - 0.5);
    cairo_stroke(cairo);
}
}  // namespace

cairo_surface_t* drawBackground(double scale)
{
    cairo_t* cairo = scaledCanvas(kPanelWidth, kPanelHeight, scale);
    panelFace(cairo, kPanelWidth, kPanelHeight);
    for (auto [x, y] : {std::pair{6.0, 6.0}, {174.0, 6.0}, {6.0, 154.0}, {174.0, 154.0}})
        screw(cairo, x, y);

    // Plates behind the two labels (28..78 and 100..150, y 10..24), which the
    // toolkit writes in white 12-point text; a little wider, so "Dry/Wet" has room.
    recess(cairo, 23, 9, 60, 16, 4);
    recess(cairo, 95, 9, 60, 16, 4);

    knobScale(cairo, 40 + kKnobSize / 2.0, 30 + kKnobSize / 2.0);
    knobScale(cairo, 110 + kKnobSize / 2.0, 30 + kKnobSize / 2.0);

    // Divider between the controls and the lower section.
    cairo_set_line_width(cairo, 1.0);
    cairo_set_source_rgba(cairo, 0, 0, 0, 0.55);
    cairo_move_to(cairo, 10, 72.5);
    cairo_line_to(cairo, 170, 72.5);
    cairo_stroke(cairo);
    cairo_set_source_rgba(cairo, 1, 1, 1, 0.07);
    cairo_move_to(cairo, 10, 73.5);
    cairo_line_to(cairo, 170, 73.5);
    cairo_stroke(cairo);

    // The power key's seat and caption.
    recess(cairo, 6, 79, kButtonWidth + 4, kButtonHeight + 4, 5);
    setColor(cairo, kEngraving, 0.8);
    spacedText(cairo, "POWER", 8 + kButtonWidth / 2.0, 113, 6.5, 1.2, false);

    // Maker's mark, lower left.
    setColor(cairo, kEngraving, 0.55);
    spacedText(cairo, "QUARN", 30, 136, 6.5, 1.6, true);
    spacedText(cairo, "RECORDS", 30, 145, 5.5, 1.2, false);

    // Name plate inside the clickable splash area (71, 71)-(166, 150).
    recess(cairo, 76, 80, 88, 64, 6);
    stereoFan(cairo, 120, 101, 1.0, 0.9);
    setColor(cairo, kAmber);
    spacedText(cairo, "VELMORA", 120, 129, 11, 1.6, true);
    setColor(cairo, kEngraving, 0.75);
    spacedText(cairo, "STEREO WIDENER", 120, 139, 5.5, 1.0, false);

    return finished(cairo);
}

cairo_surface_t* drawOnOffButton(double scale)
{
    cairo_t* cairo = scaledCanvas(kButtonWidth, 2 * kButtonHeight, scale);
    for (int state = 0; state < 2; ++state)
    {
        const bool on = state == 1;
        const double top = state * kButtonHeight;
        cairo_pattern_t* body = cairo_pattern_create_linear(0, top, 0, top + kButtonHeight);
        cairo_pattern_add_color_stop_rgb(body, 0, on ? 0.27 : 0.30, on ? 0.28 : 0.31, on ? 0.31 : 0.34);
        cairo_pattern_add_color_stop_rgb(body, 1, 0.14, 0.15, 0.17);
        roundedRect(cairo, 0.5, top + 0.5, kButtonWidth - 1, kButtonHeight - 1, 4);
        cairo_set_source(cairo, body);
        cairo_fill_preserve(cairo);
        cairo_pattern_destroy(body);
        cairo_set_line_width(cairo, 1.0);
        setColor(cairo, kInk);
        cairo_stroke(cairo);
        cairo_set_source_rgba(cairo, 1, 1, 1, on ? 0.08 : 0.14);
        cairo_move_to(cairo, 4, top + 1.5);
        cairo_line_to(cairo, kButtonWidth - 4, top + 1.5);
        cairo_stroke(cairo);

        const double ledX = 10.5;
        const double ledY = top + kButtonHeight / 2.0;
        if (on)
        {
            cairo_pattern_t* glow = cairo_pattern_create_radial(ledX, ledY, 0, ledX, ledY, 8);
            cairo_pattern_add_color_stop_rgba(glow, 0, kAmber.red, kAmber.green, kAmber.blue, 0.55);
            cairo_pattern_add_color_stop_rgba(glow, 1, kAmber.red, kAmber.green, kAmber.blue, 0.0);
            cairo_set_source(cairo, glow);
            cairo_arc(cairo, ledX, ledY, 8, 0, 2 * kPi);
            cairo_fill(cairo);
            cairo_pattern_destroy(glow);
        }
        cairo_arc(cairo, ledX, ledY, 3.2, 0, 2 * kPi);
        if (on)
            cairo_set_source_rgb(cairo, 1.0, 0.82, 0.45);
        else
            cairo_set_source_rgb(cairo, 0.24, 0.17, 0.1);
        cairo_fill_preserve(cairo);
        setColor(cairo, kInk, 0.8);
        cairo_stroke(cairo);

        if (on)
            cairo_set_source_rgb(cairo, 0.97, 0.95, 0.9);
        else
            setColor(cairo, kEngraving, 0.7);
        spacedText(cairo, on ? "ON" : "OFF", 28.5, top + 13.5, 8, 0.8, true);
    }
    return finished(cairo);
}

cairo_surface_t* drawKnobStrip(double scale)
{
    cairo_t* cairo = scaledCanvas(kKnobSize, kKnobSize * kKnobFrames, scale);
    const double centre = kKnobSize / 2.0;
    for (int frame = 0; frame < kKnobFrames; ++frame)
    {
        const double value = static_cast<double>(frame) / (kKnobFrames - 1);
        const double angle = kKnobStartAngle + kKnobSweep * value;
        const double y = frame * kKnobSize + centre;

        cairo_set_line_cap(cairo, CAIRO_LINE_CAP_BUTT);
        cairo_set_line_width(cairo, 2.6);
        setColor(cairo, kInk);
        cairo_arc(cairo, centre, y, 14.0, kKnobStartAngle, kKnobStartAngle + kKnobSweep);
        cairo_stroke(cairo);
        if (frame > 0)
        {
            setColor(cairo, kAmber);
            cairo_arc(cairo, centre, y, 14.0, kKnobStartAngle, angle);
            cairo_stroke(cairo);
        }

        cairo_set_source_rgba(cairo, 0, 0, 0, 0.55);
        cairo_arc(cairo, centre, y + 1.2, 11.0, 0, 2 * kPi);
        cairo_fill(cairo);
        cairo_pattern_t* cap = cairo_pattern_create_radial(centre - 3, y - 4, 1, centre, y, 11);
        cairo_pattern_add_color_stop_rgb(cap, 0, 0.42, 0.44, 0.48);
        cairo_pattern_add_color_stop_rgb(cap, 0.7, 0.2, 0.21, 0.24);
        cairo_pattern_add_color_stop_rgb(cap, 1, 0.12, 0.13, 0.15);
        cairo_set_source(cairo, cap);
        cairo_arc(cairo, centre, y, 10.5, 0, 2 * kPi);
        cairo_fill_preserve(cairo);
        cairo_pattern_destroy(cap);
        cairo_set_line_width(cairo, 1.0);
        setColor(cairo, kInk);
        cairo_stroke(cairo);

        cairo_set_line_cap(cairo, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_width(cairo, 2.0);
        cairo_set_source_rgb(cairo, 0.96, 0.95, 0.92);
        cairo_move_to(cairo, centre + 3.5 * std::cos(angle), y + 3.5 * std::sin(angle));
        cairo_line_to(cairo, centre + 9.0 * std::cos(angle), y + 9.0 * std::sin(angle));
        cairo_stroke(cairo);
    }
    return finished(cairo);
}

cairo_surface_t* drawSplash(double scale)
{
    cairo_t* cairo = scaledCanvas(kPanelWidth, kPanelHeight, scale);
    panelFace(cairo, kPanelWidth, kPanelHeight);
    cairo_set_source_rgba(cairo, 0, 0, 0, 0.35);
    cairo_paint(cairo);

    cairo_set_line_width(cairo, 1.0);
    setColor(cairo, kAmber, 0.7);
    roundedRect(cairo, 6.5, 6.5, kPanelWidth - 13, kPanelHeight - 13, 8);
    cairo_stroke(cairo);

    stereoFan(cairo, kPanelWidth / 2.0, 44, 1.9, 1.0);
    setColor(cairo, kAmber);
    spacedText(cairo, "VELMORA", kPanelWidth / 2.0, 94, 20, 2.5, true);
    setColor(cairo, kEngraving, 0.9);
    spacedText(cairo, "STEREO WIDENER", kPanelWidth / 2.0, 108, 7.5, 1.6, false);
    cairo_set_source_rgb(cairo, 0.9, 0.9, 0.88);
    spacedText(cairo, "Quarn Records", kPanelWidth / 2.0, 127, 8.5, 0.4, true);
    setColor(cairo, kEngraving, 0.7);
    spacedText(cairo, "version 1.0", kPanelWidth / 2.0, 138, 6.5, 0.6, false);
    setColor(cairo, kEngraving, 0.45);
    spacedText(cairo, "click to close", kPanelWidth / 2.0, 149, 6, 0.6, false);

    return finished(cairo);
}
}  // namespace imagegen
