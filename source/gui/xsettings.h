#pragma once
// The XSETTINGS a desktop's settings daemon publishes (GNOME's among them):
// the _XSETTINGS_SETTINGS property of the window that owns the selection
// _XSETTINGS_S<screen>. GTK takes its window scale from there
// (Gdk/WindowScalingFactor) when GDK_SCALE is not set. UI thread.

#include <X11/Xlib.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace gui
{
// The integer setting `name` in the bytes of a settings property; none when
// it is missing, of another type, or the bytes end before it is read whole.
std::optional<std::int32_t> xsettingsInteger(std::span<const unsigned char> property, std::string_view name);

// The same from the settings published for the display's default screen;
// none when no settings daemon runs.
std::optional<std::int32_t> xsettingsInteger(Display* display, std::string_view name);
}  // namespace gui
