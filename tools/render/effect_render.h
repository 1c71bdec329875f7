#pragma once
// Drives the effect over an audio file, block by block.

#include "common/audio_file.h"
#include "render/progress_bar.h"
#include "render/render_face.h"
#include "render/stereo_analysis.h"
#include "render/stereo_image.h"

#include <cstdint>
#include <string>

namespace render
{
// Renders all of reader (mono feeds both inputs) into writer, each block
// measured by meter and, when given, recorded for the picture. Returns the
// number of frames rendered, or -1 with a reason in error.
std::int64_t renderFile(RenderFace& face, tools::AudioReader& reader, tools::AudioWriter& writer, int blockSize,
                        ProgressBar& progress, WidthMeter& meter, StereoImageRecorder* image, std::string& error);
}  // namespace render
