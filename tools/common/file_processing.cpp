#include "common/file_processing.h"

#include "common/command_line.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tools
{
namespace
{
// Planar channels of one block and the pointer table a process call takes.
struct PlanarBlock
{
    PlanarBlock(int channels, int frames)
        : samples(static_cast<std::size_t>(channels), std::vector<float>(static_cast<std::size_t>(frames))),
          pointers(samples.size())
    {
        for (std::size_t channel = 0; channel < samples.size(); ++channel)
            pointers[channel] = samples[channel].data();
    }
    std::vector<std::vector<float>> samples;
    std::vector<float*> pointers;
};

void deinterleave(const std::vector<float>& interleaved, int fileChannels, std::int64_t frames, PlanarBlock& block)
{
    for (std::size_t channel = 0; channel < block.samples.size(); ++channel)
    {
        const std::size_t source = std::min<std::size_t>(channel, static_cast<std::size_t>(fileChannels - 1));
        for (std::int64_t frame = 0; frame < frames; ++frame)
            block.samples[channel][frame] = interleaved[frame * fileChannels + source];
    }
}

void interleave(const PlanarBlock& block, std::int64_t frames, std::vector<float>& interleaved)
{
    const std::size_t channels = block.samples.size();
    for (std::int64_t frame = 0; frame < frames; ++frame)
        for (std::size_t channel = 0; channel < channels; ++channel)
            interleaved[frame * channels + channel] = block.samples[channel][frame];
}
}  // namespace

std::int64_t processFile(AudioReader& reader, AudioWriter& writer, int inputChannels, int outputChannels,
                         int blockFrames, const BlockProcess& process)
{
    const int fileChannels = reader.channels();
    const auto block = static_cast<std::size_t>(blockFrames);
    std::vector<float> fileBlock(block * static_cast<std::size_t>(fileChannels));
    std::vector<float> outputBlock(block * static_cast<std::size_t>(outputChannels));
    PlanarBlock inputs(inputChannels, blockFrames);
    PlanarBlock outputs(outputChannels, blockFrames);
    std::string error;
    std::int64_t framesDone = 0;
    for (std::int64_t frames; (frames = reader.read(fileBlock.data(), blockFrames)) > 0; framesDone += frames)
    {
        deinterleave(fileBlock, fileChannels, frames, inputs);
        process(inputs.pointers.data(), outputs.pointers.data(), static_cast<int>(frames));
        interleave(outputs, frames, outputBlock);
        checked(writer.write(outputBlock.data(), frames, error), error);
    }
    const std::string damage = reader.readError();
    checked(damage.empty(), "reading the input stopped after " + std::to_string(framesDone) + " frames: " + damage);
    return framesDone;
}
}  // namespace tools
