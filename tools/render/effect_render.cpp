#include "render/effect_render.h"

#include <vector>

namespace render
{
std::unique_ptr<RenderFace> openFace(const FaceSettings& settings, const RenderOptions& options, std::string& error)
{
    return options.face == Face::audioUnit ? openAudioUnitFace(settings, options, error)
                                           : openVstFace(settings, options, error);
}

std::int64_t renderFile(RenderFace& face, tools::AudioReader& reader, tools::AudioWriter& writer, int blockSize,
                        ProgressBar& progress, WidthMeter& meter, StereoImageRecorder* image, std::string& error)
{
    const int channels = reader.channels();
    const auto block = static_cast<std::size_t>(blockSize);
    std::vector<float> interleavedIn(block * channels), interleavedOut(block * 2);
    std::vector<float> inLeft(block), inRight(block), outLeft(block), outRight(block);
    float* inputs[] = {inLeft.data(), channels == 1 ? inLeft.data() : inRight.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};

    std::int64_t framesDone = 0;
    for (;;)
    {
        const std::int64_t frameCount = reader.read(interleavedIn.data(), blockSize);
        if (frameCount <= 0)
            break;
        for (std::int64_t frame = 0; frame < frameCount; ++frame)
        {
            inLeft[frame] = interleavedIn[frame * channels];
            inRight[frame] = interleavedIn[frame * channels + channels - 1];
        }
        if (!face.process(inputs, outputs, static_cast<int>(frameCount), error))
            return -1;
        meter.add(inputs[0], inputs[1], outLeft.data(), outRight.data(), frameCount);
        if (image)
            image->add(inputs[0], inputs[1], outLeft.data(), outRight.data(), frameCount);
        for (std::int64_t frame = 0; frame < frameCount; ++frame)
        {
            interleavedOut[2 * frame] = outLeft[frame];
            interleavedOut[2 * frame + 1] = outRight[frame];
        }
        if (!writer.write(interleavedOut.data(), frameCount, error))
            return -1;
        framesDone += frameCount;
        progress.update(framesDone);
    }
    if (const std::string damage = reader.readError(); !damage.empty())
    {
        error = "reading the input stopped after " + std::to_string(framesDone) + " frames: " + damage;
        return -1;
    }
    return framesDone;
}
}  // namespace render
