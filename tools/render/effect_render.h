#pragma once
// Drives the loaded effect over an audio file, block by block.

#include "render/audio_file.h"
#include "render/progress_bar.h"
#include "render/render_options.h"
#include "render/stereo_analysis.h"
#include "vsthost/loaded_effect.h"

#include <cstdint>
#include <string>

namespace render
{
// Opens the effect at the host's sample rate and block size and applies the
// program and then the explicit settings of options. False with a reason when
// the effect is not a stereo effect with the parameters asked for.
bool prepareEffect(vsthost::LoadedEffect& effect, const RenderOptions& options, std::string& error);

// The current program and every parameter as the effect shows them, e.g.
// program 0 "Init 1": on/off on, Size 50.00 %, Dry/Wet 50.00
std::string describeSettings(vsthost::LoadedEffect& effect);

// Renders all of reader (mono feeds both inputs) into writer. Returns the
// number of frames rendered, or -1 with a reason in error.
std::int64_t renderFile(vsthost::LoadedEffect& effect, AudioReader& reader, AudioWriter& writer, int blockSize,
                        ProgressBar& progress, WidthMeter& meter, std::string& error);
}  // namespace render
