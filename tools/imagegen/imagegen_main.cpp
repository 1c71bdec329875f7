// Writes bmp00128.png ... bmp00131.png into the folder given as argument, and
// the same images drawn at 1.5 and 2 as bmp00128@1.5x.png, bmp00128@2x.png
// and so on, the names the panel's bitmaps look for at those scales.

#include <cstdio>
#include <string>

#include "panel_art.h"

namespace
{
// Through a temporary file in the same folder, so an image that fails to
// write leaves the one before it whole.
bool writeImage(cairo_surface_t* surface, const std::string& path)
{
    const std::string temporary = path + ".part";
    bool written = cairo_surface_write_to_png(surface, temporary.c_str()) == CAIRO_STATUS_SUCCESS &&
                   std::rename(temporary.c_str(), path.c_str()) == 0;
    cairo_surface_destroy(surface);
    if (!written)
    {
        std::remove(temporary.c_str());
        std::fprintf(stderr, "velmora-imagegen: cannot write %s\n", path.c_str());
    }
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
