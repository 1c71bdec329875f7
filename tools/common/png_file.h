#pragma once
// Images the tools draw, saved as PNG files written whole or not at all.

#include <cairo.h>

#include <string>

namespace tools
{
// False with "cannot write 'PATH': reason" when the file cannot be written;
// an existing file at path is then left as it was.
bool writePngFile(cairo_surface_t* image, const std::string& path, std::string& error);
}  // namespace tools
