#pragma once
// An image loaded from the plug-in bundle's resources. A failed load leaves a
// bitmap of 0 x 0 that draws nothing. Width and height are in panel units: an
// image drawn for scale s holds s pixels per unit, and draws at that density. Bitmaps of the same file share one
// decoded image, decoded by the first and released with the last, on any thread.

#include <CoreFoundation/CoreFoundation.h>
#include <cairo.h>

#include <cstdint>

#include "gui/draw_context.h"
#include "gui/geometry.h"
#include "gui/ref_object.h"

namespace gui
{
// The bundle that numbered images are loaded from; set by the editor.
extern CFBundleRef gBundleRef;

class Bitmap : public RefObject
{
public:
    // Resource "bmp%05d", tried as png, bmp, jpg and pict in that order. At a
    // scale other than 1, "bmp%05d@<scale>x" (bmp00128@1.5x) is tried first,
    // then the plain resource, which a scaled frame then stretches.
    explicit Bitmap(std::int32_t resourceNumber, double scale = 1.0);
    ~Bitmap() override;

    double getWidth() const { return width; }
    double getHeight() const { return height; }
    bool isLoaded() const { return image != nullptr; }
    cairo_surface_t* getSurface() const { return image; }

    void draw(DrawContext& context, const Rect& dest, Point offset = {}, float alpha = 1.0f) const;

private:
    static cairo_surface_t* decodeFile(const char* path, double scale);
    bool loadResource(const char* name, double scale);
    void loadFile(const char* path, double scale);

    cairo_surface_t* image = nullptr;
    double width = 0.0;
    double height = 0.0;
};
}  // namespace gui
