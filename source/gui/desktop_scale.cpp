#include "gui/desktop_scale.h"

#include <X11/Xresource.h>

#include <cmath>
#include <cstdlib>

#include "gui/xsettings.h"

namespace gui
{
namespace
{
constexpr double kBaseDpi = 96.0;

// A positive, finite number making up the whole text.
std::optional<double> positiveNumber(const char* text)
{
    if (!text)
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    while (end != text && *end == ' ')
        ++end;
    if (end == text || *end != '\0' || !std::isfinite(value) || value <= 0.0)
        return std::nullopt;
    return value;
}
}  // namespace

double roundToArtScale(double requested)
{
    double nearest = kArtScales.front();
    for (const double scale : kArtScales)
        if (requested >= scale - 0.25)
            nearest = scale;
    return nearest;
}

std::optional<double> scaleFromEnvironment()
{
    for (const char* variable : {"VELMORA_UI_SCALE", "GDK_SCALE", "QT_SCALE_FACTOR"})
        if (const std::optional<double> scale = positiveVariable(variable))
            return scale;
    return std::nullopt;
}

std::optional<double> positiveVariable(const char* name) { return positiveNumber(std::getenv(name)); }

std::optional<int> windowScalingFactor(Display* display)
{
    const std::optional<std::int32_t> factor = xsettingsInteger(display, "Gdk/WindowScalingFactor");
    if (!factor || *factor <= 0)
        return std::nullopt;
    return *factor;
}

std::optional<double> scaleFromXResources(const char* resources)
{
    if (!resources)
        return std::nullopt;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    if (!database)
        return std::nullopt;
    char* type = nullptr;
    XrmValue value{};
    std::optional<double> dpi;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
        dpi = positiveNumber(value.addr);
    XrmDestroyDatabase(database);
    if (!dpi)
        return std::nullopt;
    return *dpi / kBaseDpi;
}

double desktopScale()
{
    std::optional<double> scale = scaleFromEnvironment();
    if (!scale)
        if (Display* display = XOpenDisplay(nullptr))
        {
            scale = windowScalingFactor(display);
            if (!scale)
                scale = scaleFromXResources(XResourceManagerString(display));
            XCloseDisplay(display);
        }
    return roundToArtScale(scale.value_or(1.0));
}
}  // namespace gui
