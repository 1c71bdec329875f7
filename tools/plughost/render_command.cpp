#include "plughost/plughost_commands.h"

#include <sndfile.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{
constexpr int kBlockFrames = 512;

struct SoundFileCloser
{
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SoundFile = std::unique_ptr<SNDFILE, SoundFileCloser>;

SoundFile openSoundFile(const char* path, int mode, SF_INFO& info)
{
    SoundFile file(sf_open(path, mode, &info));
    if (!file)
    {
        throw std::runtime_error(std::string("Cannot open ") + path + ": " + sf_strerror(nullptr));
    }
    return file;
}

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
    SF_INFO inputInfo{};
    SoundFile input = openSoundFile(inputPath, SFM_READ, inputInfo);
    const int effectInputs = plugIn.getInputCount();
    const int effectOutputs = plugIn.getOutputCount();
    if (effectOutputs < 1)
    {
        throw std::runtime_error("The effect has no outputs");
    }
    SF_INFO outputInfo{};
    outputInfo.samplerate = inputInfo.samplerate;
    outputInfo.channels = effectOutputs;
    outputInfo.format = inputInfo.format;
    if (!sf_format_check(&outputInfo))
    {
        outputInfo.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    }
    SoundFile output = openSoundFile(outputPath, SFM_WRITE, outputInfo);

    const int fileChannels = inputInfo.channels;
    std::vector<float> interleavedIn(static_cast<std::size_t>(kBlockFrames * fileChannels));
    std::vector<float> interleavedOut(static_cast<std::size_t>(kBlockFrames * effectOutputs));
    PlanarBlock inputs(effectInputs);
    PlanarBlock outputs(effectOutputs);

    plugIn.resume();
    sf_count_t framesDone = 0;
    for (;;)
    {
        const auto frames = static_cast<int>(sf_readf_float(input.get(), interleavedIn.data(), kBlockFrames));
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
        if (sf_writef_float(output.get(), interleavedOut.data(), frames) != frames)
        {
            throw std::runtime_error(std::string("Cannot write ") + outputPath + ": " + sf_strerror(output.get()));
        }
        framesDone += frames;
    }
    plugIn.suspend();
    std::printf("rendered %lld frames at %d Hz into %s\n", static_cast<long long>(framesDone), inputInfo.samplerate,
                outputPath);
}
