// velmora-panelshot: writes a PNG of the effect's panel at given values.

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/png_file.h"
#include "gui/desktop_scale.h"
#include "panelshot/panel_render.h"

namespace
{
void printUsage()
{
    std::fprintf(stderr, "usage: velmora-panelshot [--bundle DIR] [--size V] [--drywet V] [--onoff 0|1]\n"
                         "                         [--splash] [--scale 1|1.5|2] --output FILE.png\n"
                         "  V in 0..1; --bundle defaults to $VELMORA_BUNDLE; --scale draws the panel as the\n"
                         "  editor does on a desktop scaled by that much (default 1)\n");
}

bool parseUnit(const char* text, float& value)
{
    char* end = nullptr;
    const float parsed = std::strtof(text, &end);
    if (end == text || *end != '\0' || !(parsed >= 0.0f && parsed <= 1.0f))
        return false;
    value = parsed;
    return true;
}

// One of the scales the panel's art is drawn at.
bool parseScale(const char* text, double& scale)
{
    char* end = nullptr;
    const double parsed = std::strtod(text, &end);
    if (end == text || *end != '\0' ||
        std::find(gui::kArtScales.begin(), gui::kArtScales.end(), parsed) == gui::kArtScales.end())
        return false;
    scale = parsed;
    return true;
}
}  // namespace

int main(int argc, char** argv)
{
    panelshot::PanelValues values;
    const char* environmentBundle = std::getenv("VELMORA_BUNDLE");
    std::string bundle = environmentBundle ? environmentBundle : "";
    std::string output;
    for (int index = 1; index < argc; ++index)
    {
        const std::string option = argv[index];
        const char* argument = index + 1 < argc ? argv[index + 1] : nullptr;
        bool valid = true;
        if (option == "--splash")
        {
            values.splashShown = true;
            continue;
        }
        if (!argument)
            valid = false;
        else if (option == "--bundle")
            bundle = argument;
        else if (option == "--output")
            output = argument;
        else if (option == "--size")
            valid = parseUnit(argument, values.size);
        else if (option == "--drywet")
            valid = parseUnit(argument, values.dryWet);
        else if (option == "--onoff")
            valid = parseUnit(argument, values.onOff);
        else if (option == "--scale")
            valid = parseScale(argument, values.scale);
        else
            valid = false;
        if (!valid)
        {
            std::fprintf(stderr, "velmora-panelshot: bad option %s %s\n", option.c_str(), argument ? argument : "");
            printUsage();
            return 2;
        }
        ++index;
    }
    if (output.empty() || bundle.empty())
    {
        printUsage();
        return 2;
    }

    std::string error;
    cairo_surface_t* image = panelshot::renderPanel(bundle, values, error);
    if (!image)
    {
        std::fprintf(stderr, "velmora-panelshot: %s\n", error.c_str());
        return 1;
    }
    const bool written = tools::writePngFile(image, output, error);
    cairo_surface_destroy(image);
    if (!written)
    {
        std::fprintf(stderr, "velmora-panelshot: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
