#pragma once
// An image loaded from the plug-in bundle's resources. A failed load leaves a
// bitmap of 0 x 0 that draws nothing. Bitmaps of the same file share one
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
    // Resource "bmp%05d", tried as png, bmp, jpg and pict in that order.
    explicit Bitmap(std::int32_t resourceNumber);
    ~Bitmap() override;

    double getWidth() const { return width; }
    double getHeight() const { return height; }
    bool isLoaded() const { return image != nullptr; }
    cairo_surface_t* getSurface() const { return image; }

    void draw(DrawContext& context, const Rect& dest, Point offset = {}, float alpha = 1.0f) const;

private:
    static cairo_surface_t* decodeFile(const char* path);
    void loadFile(const char* path);

    cairo_surface_t* image = nullptr;
    double width = 0.0;
    double height = 0.0;
};
}  // namespace gui
