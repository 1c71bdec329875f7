// Writes bmp00128.png ... bmp00131.png into the folder given as argument.

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
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: velmora-imagegen <output folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    bool written = writeImage(imagegen::drawBackground(), folder + "/bmp00128.png");
    written = writeImage(imagegen::drawOnOffButton(), folder + "/bmp00129.png") && written;
    written = writeImage(imagegen::drawKnobStrip(), folder + "/bmp00130.png") && written;
    written = writeImage(imagegen::drawSplash(), folder + "/bmp00131.png") && written;
    return written ? 0 : 1;
}
