// velmora-panelshot: writes a PNG of the effect's panel at given values.

#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/png_file.h"
#include "panelshot/panel_render.h"

namespace
{
void printUsage()
{
    std::fprintf(stderr, "usage: velmora-panelshot [--bundle DIR] [--size V] [--drywet V] [--onoff 0|1]\n"
                         "                         [--splash] [--scale N] --output FILE.png\n"
                         "  V in 0..1; --bundle defaults to $VELMORA_BUNDLE; --scale 1..4 enlarges the image\n");
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

cairo_surface_t* enlarged(cairo_surface_t* image, int scale)
{
    const int width = cairo_image_surface_get_width(image);
    const int height = cairo_image_surface_get_height(image);
    cairo_surface_t* result = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * scale, height * scale);
    cairo_t* cairo = cairo_create(result);
    cairo_scale(cairo, scale, scale);
    cairo_set_source_surface(cairo, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cairo), CAIRO_FILTER_GOOD);
    cairo_paint(cairo);
    cairo_destroy(cairo);
    return result;
}
}  // namespace

int main(int argc, char** argv)
{
    panelshot::PanelValues values;
    const char* environmentBundle = std::getenv("VELMORA_BUNDLE");
    std::string bundle = environmentBundle ? environmentBundle : "";
    std::string output;
    int scale = 1;
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
        {
            scale = std::atoi(argument);
            valid = scale >= 1 && scale <= 4;
        }
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
    if (scale > 1)
    {
        cairo_surface_t* large = enlarged(image, scale);
        cairo_surface_destroy(image);
        image = large;
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
