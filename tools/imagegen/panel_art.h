#pragma once
// The panel's four images, drawn with Cairo. Sizes follow the panel's fixed
// layout: knobs at (40, 30) and (110, 30), labels at y 10..24, the on/off
// button at (8, 81) and the splash area (71, 71)-(166, 150). Sizes are in
// panel units; each image is drawn at `scale` pixels per unit from the same
// drawing code, so the panel is as sharp at 1.5 and 2 as at 1.

#include <cairo.h>

namespace imagegen
{
inline constexpr int kPanelWidth = 180;
inline constexpr int kPanelHeight = 160;
inline constexpr int kKnobSize = 32;  // centres the knobs within a pixel of the label centres
inline constexpr int kKnobFrames = 120;
inline constexpr int kButtonWidth = 44;
inline constexpr int kButtonHeight = 20;  // one state; the image holds two

// Each returns a new image surface owned by the caller.
cairo_surface_t* drawBackground(double scale);   // bmp00128
cairo_surface_t* drawOnOffButton(double scale);  // bmp00129
cairo_surface_t* drawKnobStrip(double scale);    // bmp00130
cairo_surface_t* drawSplash(double scale);       // bmp00131
}  // namespace imagegen
