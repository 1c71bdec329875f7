#pragma once
// The one place that decides how large the panel is drawn on a Linux desktop.
// Sources, first that gives a positive number wins: VELMORA_UI_SCALE (for
// users and tests), GDK_SCALE, QT_SCALE_FACTOR, then GNOME's window scale in
// the X server's XSETTINGS (Gdk/WindowScalingFactor, what GTK follows when
// GDK_SCALE is not set), then Xft.dpi from its resources (96 dpi is 1). Whatever is asked is rounded to a scale the
// panel's art is drawn at (kArtScales); without any source the panel is drawn
// at 1. UI thread.

#include <X11/Xlib.h>

#include <array>
#include <optional>

namespace gui
{
inline constexpr std::array<double, 3> kArtScales{1.0, 1.5, 2.0};

// The art scale nearest to `requested`, halfway cases going up; from 2 up it
// is 2, below 1 (or not a number) it is 1.
double roundToArtScale(double requested);

// The scale the environment variables ask for, unrounded; none when none of
// them holds a positive number.
std::optional<double> scaleFromEnvironment();

// The variable's value when it is a positive number and nothing else.
std::optional<double> positiveVariable(const char* name);

// Gdk/WindowScalingFactor from the XSETTINGS of the display, when positive.
std::optional<int> windowScalingFactor(Display* display);

// Xft.dpi / 96 from an X resource string (as XResourceManagerString gives it);
// none when the string is null or sets no positive Xft.dpi.
std::optional<double> scaleFromXResources(const char* resources);

// All sources in order, rounded. The X server named by DISPLAY is asked only
// when no variable decides, over a connection of its own.
double desktopScale();
}  // namespace gui
