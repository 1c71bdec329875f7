#pragma once
// The unit of the toolkit that embeds the panel's window in a host (an LV2
// host through suil, which sizes the window from the host's toolkit). GTK 3
// and Qt 5 lay out their windows in units of their own scale: suil hands the
// size a UI asks for to the toolkit as it is, reads a foreign window's size
// hints and geometry as toolkit units, and resizes the window to its
// allocation in toolkit units, each taken as that many pixels. Other hosts
// count pixels. UI thread.

namespace gui
{
enum class EmbeddingToolkit
{
    other,
    gtk3,
    qt5,
};

// Qt 5 when it is loaded in this process (a Qt program may load GTK 3 as its
// theme), else GTK 3 when that is, else other.
EmbeddingToolkit loadedToolkit();

// Pixels per unit of `toolkit`, derived as that toolkit derives it: GTK 3
// from GDK_SCALE, an integer as GTK reads it, or else the desktop's
// Gdk/WindowScalingFactor (asked of the X server named by DISPLAY, over a
// connection of its own, only then); Qt 5 from QT_SCALE_FACTOR, which may be
// fractional; 1 for other.
double toolkitUnit(EmbeddingToolkit toolkit);
}  // namespace gui
