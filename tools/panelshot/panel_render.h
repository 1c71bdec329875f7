#pragma once
// The effect's panel drawn offscreen, as the editor shows it, without a
// window or a display.

#include <cairo.h>

#include <string>

namespace panelshot
{
struct PanelValues
{
    float onOff = 1.0f;
    float size = 0.5f;
    float dryWet = 0.5f;
    bool splashShown = false;
    double scale = 1.0;  // drawn as the editor draws at that scale: 1, 1.5 or 2
};

// Builds a fresh effect with its panel, images from the bundle folder at
// bundlePath, sets the values and draws the open panel at values.scale. Returns a new image
// surface, or null with a readable reason in error.
cairo_surface_t* renderPanel(const std::string& bundlePath, const PanelValues& values, std::string& error);
}  // namespace panelshot
