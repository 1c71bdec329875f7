#pragma once
// A sound file run through a processor block by block, as the host tools
// render files: de-interleaved into planar blocks, processed, interleaved
// again and written.

#include "common/audio_file.h"

#include <cstdint>
#include <functional>

namespace tools
{
// Planar inputs and outputs of one block, and the block's frame count.
using BlockProcess = std::function<void(float** inputs, float** outputs, int frames)>;

// Runs all of reader through `process` in blocks of at most blockFrames and
// writes its outputChannels outputs to writer. Input channel c takes the
// file's channel c, the file's last channel where the processor has more
// inputs (a mono file feeds both inputs of a stereo effect). Returns the
// frames processed; throws std::runtime_error with a one-line reason when
// reading or writing fails, and passes on what process throws.
std::int64_t processFile(AudioReader& reader, AudioWriter& writer, int inputChannels, int outputChannels,
                         int blockFrames, const BlockProcess& process);
}  // namespace tools
