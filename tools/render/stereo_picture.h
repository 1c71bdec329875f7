#pragma once
// The picture of a render, drawn with Cairo at a fixed size: the vectorscopes
// of input and output side by side, their correlation and side-to-mid energy
// over time, and a caption with the settings and figures of the summary.

#include "render/stereo_image.h"

#include <string>

namespace render
{
inline constexpr int kPictureWidth = 1200;
inline constexpr int kPictureHeight = 1420;

// Writes a PNG; false with a one-line reason in error.
bool drawStereoPicture(const std::string& path, const StereoImageRecorder& image, const std::string& title,
                       const std::string& caption, std::string& error);
}  // namespace render
