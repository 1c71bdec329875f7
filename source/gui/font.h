#pragma once

#include <string>

namespace gui
{
struct Font
{
    std::string name;
    double size = 12.0;  // points, drawn as pixels
    bool bold = false;
};

// Default font of text views. Rendered through Cairo's toy font API, so a
// machine without "Arial" falls back to its default sans face.
extern const Font gNormalFont;
}  // namespace gui
