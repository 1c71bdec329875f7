#include "gui/bitmap.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace gui
{
CFBundleRef gBundleRef = nullptr;

namespace
{
// The file of a resource in gBundleRef, or false when it does not exist.
bool findResource(const char* name, const char* type, char (&path)[PATH_MAX])
{
    if (!gBundleRef)
        return false;
    CFStringRef nameString = CFStringCreateWithCString(nullptr, name, kCFStringEncodingUTF8);
    CFStringRef typeString = CFStringCreateWithCString(nullptr, type, kCFStringEncodingUTF8);
    CFURLRef url = nameString && typeString ? CFBundleCopyResourceURL(gBundleRef, nameString, typeString, nullptr)
                                            : nullptr;
    bool found = false;
    if (url)
    {
        found = CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8*>(path), sizeof path);
        CFRelease(url);
    }
    if (typeString)
        CFRelease(typeString);
    if (nameString)
        CFRelease(nameString);
    return found;
}

// Decoded images shared by every bitmap of the same file in the process: each
// instance of the effect has its own panel, but the pixels are the same. An
// image goes when its last bitmap does.
struct SharedImage
{
    std::string path;
    cairo_surface_t* surface;
    int users;
};

std::mutex gSharedImagesMutex;

// Never destroyed: a host may close an effect, and so release its bitmaps,
// from its own static teardown.
std::vector<SharedImage>& sharedImages()
{
    static auto* images = new std::vector<SharedImage>;
    return *images;
}

// Cairo wants premultiplied native-endian ARGB; pixbufs hold straight RGB(A) bytes.
cairo_surface_t* surfaceFromPixbuf(const GdkPixbuf* pixbuf)
{
    const int width = gdk_pixbuf_get_width(pixbuf);
    const int height = gdk_pixbuf_get_height(pixbuf);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    const bool hasAlpha = gdk_pixbuf_get_has_alpha(pixbuf);
    if (gdk_pixbuf_get_bits_per_sample(pixbuf) != 8 || channels < (hasAlpha ? 4 : 3))
        return nullptr;

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS)
    {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    cairo_surface_flush(surface);
    const guint8* sourceRows = gdk_pixbuf_read_pixels(pixbuf);
    const int sourceStride = gdk_pixbuf_get_rowstride(pixbuf);
    unsigned char* destRows = cairo_image_surface_get_data(surface);
    const int destStride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y)
    {
        const guint8* source = sourceRows + y * sourceStride;
        auto* dest = reinterpret_cast<std::uint32_t*>(destRows + y * destStride);
        for (int x = 0; x < width; ++x, source += channels)
        {
            const std::uint32_t alpha = hasAlpha ? source[3] : 255;
            auto premultiply = [alpha](std::uint32_t component) { return (component * alpha + 127) / 255; };
            dest[x] = (alpha << 24) | (premultiply(source[0]) << 16) | (premultiply(source[1]) << 8) |
                      premultiply(source[2]);
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}
}  // namespace

Bitmap::Bitmap(std::int32_t resourceNumber, double scale)
{
    char name[48];
    std::snprintf(name, sizeof name, "bmp%05d@%gx", resourceNumber, scale);
    if (scale != 1.0 && loadResource(name, scale))
        return;
    std::snprintf(name, sizeof name, "bmp%05d", resourceNumber);
    loadResource(name, 1.0);
}

// Whether a file of that name exists; it may still fail to decode.
bool Bitmap::loadResource(const char* name, double scale)
{
    for (const char* type : {"png", "bmp", "jpg", "pict"})
    {
        char path[PATH_MAX];
        if (!findResource(name, type, path))
            continue;
        // Found stops the search; "pict" has no decoder here and fails like a missing file.
        if (std::strcmp(type, "pict") != 0)
            loadFile(path, scale);
        return true;
    }
    return false;
}

Bitmap::~Bitmap()
{
    if (!image)
        return;
    const std::lock_guard<std::mutex> lock(gSharedImagesMutex);
    std::vector<SharedImage>& images = sharedImages();
    const auto shared = std::find_if(images.begin(), images.end(),
                                     [this](const SharedImage& entry) { return entry.surface == image; });
    if (shared != images.end() && --shared->users == 0)
    {
        cairo_surface_destroy(shared->surface);
        images.erase(shared);
    }
}

cairo_surface_t* Bitmap::decodeFile(const char* path, double scale)
{
    GError* error = nullptr;
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(path, &error);
    if (!pixbuf)
    {
        g_clear_error(&error);
        return nullptr;
    }
    cairo_surface_t* surface = surfaceFromPixbuf(pixbuf);
    g_object_unref(pixbuf);
    // Drawn into a frame of the same scale, its pixels land one to one.
    if (surface)
        cairo_surface_set_device_scale(surface, scale, scale);
    return surface;
}

// A file that fails to decode is tried again by the next bitmap that wants it.
void Bitmap::loadFile(const char* path, double scale)
{
    const std::lock_guard<std::mutex> lock(gSharedImagesMutex);
    std::vector<SharedImage>& images = sharedImages();
    auto shared = std::find_if(images.begin(), images.end(),
                               [path](const SharedImage& entry) { return entry.path == path; });
    if (shared == images.end())
    {
        std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(decodeFile(path, scale),
                                                                                   cairo_surface_destroy);
        if (!surface)
            return;
        images.push_back({path, surface.get(), 0});
        surface.release();  // the table owns it now
        shared = images.end() - 1;
    }
    ++shared->users;
    image = shared->surface;
    if (image)
    {
        double pixelsPerUnitX = 1.0;
        double pixelsPerUnitY = 1.0;
        cairo_surface_get_device_scale(image, &pixelsPerUnitX, &pixelsPerUnitY);
        width = cairo_image_surface_get_width(image) / pixelsPerUnitX;
        height = cairo_image_surface_get_height(image) / pixelsPerUnitY;
    }
}

void Bitmap::draw(DrawContext& context, const Rect& dest, Point offset, float alpha) const
{
    if (image)
        context.drawImage(image, dest, offset, alpha);
}
}  // namespace gui
