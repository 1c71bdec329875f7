#include "gui/toolkit_unit.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>

#include "gui/desktop_scale.h"

namespace gui
{
namespace
{
bool isLoaded(const char* library)
{
    void* handle = dlopen(library, RTLD_LAZY | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}
}  // namespace

EmbeddingToolkit loadedToolkit()
{
    if (isLoaded("libQt5Gui.so.5"))
        return EmbeddingToolkit::qt5;
    if (isLoaded("libgtk-3.so.0"))
        return EmbeddingToolkit::gtk3;
    return EmbeddingToolkit::other;
}

double toolkitUnit(EmbeddingToolkit toolkit)
{
    switch (toolkit)
    {
    case EmbeddingToolkit::gtk3:
        // GTK reads GDK_SCALE with atol and takes 0 for 1; "1.5" is 1.
        if (const char* gdkScale = std::getenv("GDK_SCALE"))
            return std::max(1L, std::atol(gdkScale));
        if (Display* display = XOpenDisplay(nullptr))
        {
            const int factor = windowScalingFactor(display).value_or(1);
            XCloseDisplay(display);
            return factor;
        }
        return 1.0;
    case EmbeddingToolkit::qt5: return positiveVariable("QT_SCALE_FACTOR").value_or(1.0);
    case EmbeddingToolkit::other: break;
    }
    return 1.0;
}
}  // namespace gui
