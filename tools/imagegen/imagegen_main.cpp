// Writes bmp00128.png ... bmp00131.png into the folder given as argument, and
// the same images drawn at 1.5 and 2 as bmp00128@1.5x.png, bmp00128@2x.png
// and so on, the names the panel's bitmaps look for at those scales.

#include <cstdio>
#include <string>

#include "common/png_file.h"
#include "panel_art.h"

namespace
{
bool writeImage(cairo_surface_t* surface, const std::string& path)
{
    std::string error;
    const bool written = tools::writePngFile(surface, path, error);
    cairo_surface_destroy(surface);
    if (!written)
        std::fprintf(stderr, "velmora-imagegen: %s\n", error.c_str());
    return written;
}

std::string scaleSuffix(double scale)
{
    if (scale == 1.0)
        return "";
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "@%gx", scale);
    return suffix;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: velmora-imagegen <output folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    bool written = true;
    for (const double scale : {1.0, 1.5, 2.0})
    {
        const std::string suffix = scaleSuffix(scale) + ".png";
        written = writeImage(imagegen::drawBackground(scale), folder + "/bmp00128" + suffix) && written;
        written = writeImage(imagegen::drawOnOffButton(scale), folder + "/bmp00129" + suffix) && written;
        written = writeImage(imagegen::drawKnobStrip(scale), folder + "/bmp00130" + suffix) && written;
        written = writeImage(imagegen::drawSplash(scale), folder + "/bmp00131" + suffix) && written;
    }
    return written ? 0 : 1;
}
