#include "plughost/plughost_commands.h"

#include "common/command_line.h"
#include "common/file_processing.h"

#include <sndfile.h>

#include <algorithm>
#include <cstdio>

namespace
{
constexpr int kBlockFrames = 512;

// The input's format when it holds the effect's output channels, else WAV
// with float samples.
int outputFormat(const tools::AudioReader& input, int channels)
{
    SF_INFO info{};
    info.samplerate = input.sampleRate();
    info.channels = channels;
    info.format = input.format();
    return sf_format_check(&info) ? info.format : SF_FORMAT_WAV | SF_FORMAT_FLOAT;
}

// One block through the effect: replacing where it can, else accumulating
// onto silence.
void processBlock(VSTPlugIn& plugIn, float** inputs, float** outputs, int frames)
{
    if (plugIn.canProcessReplacing())
    {
        plugIn.processReplacing(inputs, outputs, frames);
        return;
    }
    for (int channel = 0; channel < plugIn.getOutputCount(); ++channel)
        std::fill_n(outputs[channel], frames, 0.0f);
    plugIn.processAccumulating(inputs, outputs, frames);
}
}  // namespace

void renderFile(VSTPlugIn& plugIn, PlugHost& host, const std::string& inputPath, const std::string& outputPath)
{
    std::string error;
    tools::AudioReader input;
    tools::checked(input.open(inputPath, error), error);
    const int effectOutputs = plugIn.getOutputCount();
    tools::checked(effectOutputs >= 1, "The effect has no outputs");
    tools::AudioWriter output;
    tools::checked(
        output.create(outputPath, outputFormat(input, effectOutputs), effectOutputs, input.sampleRate(), error), error);

    plugIn.resume();
    const std::int64_t frames = tools::processFile(input, output, plugIn.getInputCount(), effectOutputs, kBlockFrames,
                                                   [&](float** inputs, float** outputs, int blockFrames) {
                                                       processBlock(plugIn, inputs, outputs, blockFrames);
                                                       host.advanceTime(blockFrames);
                                                   });
    plugIn.suspend();
    tools::checked(output.commit(error), error);
    std::printf("rendered %lld frames at %d Hz into %s\n", static_cast<long long>(frames), input.sampleRate(),
                outputPath.c_str());
}
