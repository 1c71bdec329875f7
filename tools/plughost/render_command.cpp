#include "plughost/plughost_commands.h"

#include "render/audio_file.h"

#include <sndfile.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{
constexpr int kBlockFrames = 512;

// Planar buffers of one block for `channels` channels, and the pointer
// table an effect takes.
struct PlanarBlock
{
    explicit PlanarBlock(int channels)
        : samples(static_cast<std::size_t>(channels), std::vector<float>(kBlockFrames)), pointers(samples.size())
    {
        for (std::size_t channel = 0; channel < samples.size(); ++channel)
        {
            pointers[channel] = samples[channel].data();
        }
    }
    std::vector<std::vector<float>> samples;
    std::vector<float*> pointers;
};
}  // namespace

void renderFile(VSTPlugIn& plugIn, PlugHost& host, const char* inputPath, const char* outputPath)
{
    render::AudioReader input;
    std::string error;
    if (!input.open(inputPath, error))
    {
        throw std::runtime_error(error);
    }
    const int effectInputs = plugIn.getInputCount();
    const int effectOutputs = plugIn.getOutputCount();
    if (effectOutputs < 1)
    {
        throw std::runtime_error("The effect has no outputs");
    }
    SF_INFO outputInfo{};
    outputInfo.samplerate = input.sampleRate();
    outputInfo.channels = effectOutputs;
    outputInfo.format = input.format();
    if (!sf_format_check(&outputInfo))
    {
        outputInfo.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    }
    render::AudioWriter output;
    if (!output.create(outputPath, outputInfo.format, effectOutputs, input.sampleRate(), error))
    {
        throw std::runtime_error(error);
    }

    const int fileChannels = input.channels();
    std::vector<float> interleavedIn(static_cast<std::size_t>(kBlockFrames * fileChannels));
    std::vector<float> interleavedOut(static_cast<std::size_t>(kBlockFrames * effectOutputs));
    PlanarBlock inputs(effectInputs);
    PlanarBlock outputs(effectOutputs);

    plugIn.resume();
    sf_count_t framesDone = 0;
    for (;;)
    {
        const auto frames = static_cast<int>(input.read(interleavedIn.data(), kBlockFrames));
        if (frames <= 0)
        {
            break;
        }
        // Extra effect inputs repeat the file's last channel (a mono file
        // feeds both sides of a stereo effect); extra file channels are
        // dropped.
        for (int channel = 0; channel < effectInputs; ++channel)
        {
            const int source = std::min(channel, fileChannels - 1);
            for (int frame = 0; frame < frames; ++frame)
            {
                inputs.samples[channel][frame] = interleavedIn[frame * fileChannels + source];
            }
        }
        if (plugIn.canProcessReplacing())
        {
            plugIn.processReplacing(inputs.pointers.data(), outputs.pointers.data(), frames);
        }
        else
        {
            for (auto& channel : outputs.samples)
            {
                std::fill(channel.begin(), channel.end(), 0.0f);
            }
            plugIn.processAccumulating(inputs.pointers.data(), outputs.pointers.data(), frames);
        }
        host.advanceTime(frames);
        for (int frame = 0; frame < frames; ++frame)
        {
            for (int channel = 0; channel < effectOutputs; ++channel)
            {
                interleavedOut[frame * effectOutputs + channel] = outputs.samples[channel][frame];
            }
        }
        if (!output.write(interleavedOut.data(), frames, error))
        {
            throw std::runtime_error(error);
        }
        framesDone += frames;
    }
    plugIn.suspend();
    if (!output.commit(error))
    {
        throw std::runtime_error(error);
    }
    std::printf("rendered %lld frames at %d Hz into %s\n", static_cast<long long>(framesDone), input.sampleRate(),
                outputPath);
}
