#include "render/effect_render.h"

#include "common/file_processing.h"

#include <stdexcept>

namespace render
{
std::unique_ptr<RenderFace> openFace(const FaceSettings& settings, const RenderOptions& options, std::string& error)
{
    switch (options.face)
    {
    case Face::audioUnit: return openAudioUnitFace(settings, options, error);
    case Face::vst3: return openVst3Face(settings, options, error);
    case Face::vst: break;
    }
    return openVstFace(settings, options, error);
}

std::int64_t renderFile(RenderFace& face, tools::AudioReader& reader, tools::AudioWriter& writer, int blockSize,
                        ProgressBar& progress, WidthMeter& meter, StereoImageRecorder* image)
{
    std::int64_t framesDone = 0;
    std::string error;
    return tools::processFile(reader, writer, 2, 2, blockSize, [&](float** inputs, float** outputs, int frames) {
        if (!face.process(inputs, outputs, frames, error))
            throw std::runtime_error(error);
        meter.add(inputs[0], inputs[1], outputs[0], outputs[1], frames);
        if (image)
            image->add(inputs[0], inputs[1], outputs[0], outputs[1], frames);
        framesDone += frames;
        progress.update(framesDone);
    });
}
}  // namespace render
