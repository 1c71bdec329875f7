#pragma once
// Drives the effect over an audio file, block by block.

#include "common/audio_file.h"
#include "render/progress_bar.h"
#include "render/render_face.h"
#include "render/stereo_analysis.h"
#include "render/stereo_image.h"

#include <cstdint>

namespace render
{
// Renders all of reader (mono feeds both inputs) into writer, each block
// measured by meter and, when given, recorded for the picture. Returns the
// number of frames rendered; throws std::runtime_error with a one-line
// reason when the face, the reading or the writing fails.
std::int64_t renderFile(RenderFace& face, tools::AudioReader& reader, tools::AudioWriter& writer, int blockSize,
                        ProgressBar& progress, WidthMeter& meter, StereoImageRecorder* image);
}  // namespace render
