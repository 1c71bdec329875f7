#include "common/png_file.h"

#include "common/replacing_file.h"

namespace tools
{
namespace
{
struct PngTarget
{
    ReplacingFile file;
    std::string error;
};

cairo_status_t writeBytes(void* closure, const unsigned char* bytes, unsigned int size)
{
    auto* target = static_cast<PngTarget*>(closure);
    return target->file.write(bytes, size, target->error) ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}
}  // namespace

bool writePngFile(cairo_surface_t* image, const std::string& path, std::string& error)
{
    PngTarget target;
    if (!target.file.create(path, error))
        return false;
    const cairo_status_t status = cairo_surface_write_to_png_stream(image, writeBytes, &target);
    if (status != CAIRO_STATUS_SUCCESS)
    {
        error = !target.error.empty() ? target.error : "cannot write '" + path + "': " + cairo_status_to_string(status);
        return false;
    }
    return target.file.commit(error);
}
}  // namespace tools
