// velmora-render: renders an audio file, or a built-in demo, through the
// Velmora bundle and reports how much wider the result is.
#include "common/audio_file.h"
#include "common/bundle_search.h"
#include "common/component_trace.h"
#include "render/demo_signal.h"
#include "render/effect_render.h"
#include "render/preset_file.h"
#include "render/render_options.h"
#include "render/render_summary.h"
#include "render/stereo_picture.h"
#include "render/tool_paths.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

namespace
{
using namespace render;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int fail(const std::string& message, int code = kExitFailure)
{
    std::fprintf(tools::userErrors(), "velmora-render: %s\n", message.c_str());
    return code;
}

bool writeDemo(const std::string& path, std::string& error)
{
    const std::vector<float> frames = synthesizeDemo();
    tools::AudioWriter writer;
    return writer.create(path, tools::formatForFileName(path), 2, kDemoSampleRate, error) &&
           writer.write(frames.data(), static_cast<std::int64_t>(frames.size() / 2), error) && writer.commit(error);
}

bool isSameFile(const std::string& first, const std::string& second)
{
    std::error_code status;
    return std::filesystem::equivalent(first, second, status) && !status;
}

int listPresets(const FaceSettings& face, const RenderOptions& options)
{
    std::string error;
    const std::unique_ptr<RenderFace> effect = openFace(face, options, error);
    if (!effect)
        return fail(error);
    std::fputs(effect->listPresets().c_str(), stdout);
    return 0;
}

// The input's container and sample type, or its container with float samples.
// Empty error unless float samples are asked of a container without them.
int outputFormat(int inputFormat, bool floatOutput, std::string& error)
{
    if (!floatOutput)
        return inputFormat;
    const int container = inputFormat & SF_FORMAT_TYPEMASK;
    if (container == SF_FORMAT_FLAC)
        error = "--float cannot be written as FLAC, which holds integer samples only; choose a .wav or .aiff "
                "output with -o";
    return container | SF_FORMAT_FLOAT;
}

int run(const RenderOptions& options)
{
    std::string error;
    const std::string bundle = options.bundlePath.empty() ? tools::findBundle(tools::processBundleSearch(), error)
                                                          : options.bundlePath;
    if (bundle.empty())
        return fail(error);
    if (options.verbose)
        std::printf("Bundle:   %s\n", bundle.c_str());
    PresetFile preset;
    if (!options.presetPath.empty() && !readPresetFile(options.presetPath, preset, error))
        return fail(error);

    FaceSettings face;
    face.bundlePath = bundle;
    face.blockSize = options.blockSize;
    face.preset = options.presetPath.empty() ? nullptr : &preset;
    if (options.listPresets)
    {
        face.sampleRate = kDemoSampleRate;
        face.inputChannels = 2;
        return listPresets(face, options);
    }

    RenderSummary summary;
    summary.demo = options.inputPath.empty();
    summary.outputPath = !options.outputPath.empty() ? options.outputPath
                         : summary.demo              ? std::string(kDemoOutputName)
                                                     : defaultOutputPath(options.inputPath);
    summary.inputPath = summary.demo ? dryDemoPath(summary.outputPath) : options.inputPath;
    const std::string picturePath = !options.picturePath.empty() ? options.picturePath
                                    : summary.demo               ? demoPicturePath(summary.outputPath)
                                                                 : "";

    tools::AudioReader reader;
    if (!summary.demo)
    {
        if (!reader.open(summary.inputPath, error))
            return fail(error);
        if (reader.channels() > 2)
            return fail("'" + summary.inputPath + "' has " + std::to_string(reader.channels()) +
                        " channels; only mono and stereo files can be rendered");
        if (isSameFile(summary.inputPath, summary.outputPath))
            return fail("the output '" + summary.outputPath + "' is the input file; choose another with -o");
    }
    summary.format = outputFormat(summary.demo ? tools::formatForFileName(summary.outputPath) : reader.format(),
                                  options.floatOutput, error);
    if (!error.empty())
        return fail(error, kExitUsage);

    face.sampleRate = summary.demo ? kDemoSampleRate : reader.sampleRate();
    face.inputChannels = summary.demo ? 2 : reader.channels();
    const std::unique_ptr<RenderFace> effect = openFace(face, options, error);
    if (!effect)
        return fail(error);

    if (summary.demo && !(writeDemo(summary.inputPath, error) && reader.open(summary.inputPath, error)))
        return fail(error);
    if (reader.channels() == 1 && !options.quiet)
        std::printf("Mono input: its one channel feeds both of the effect's inputs; the result is stereo.\n");

    tools::AudioWriter writer;
    if (!writer.create(summary.outputPath, summary.format, 2, reader.sampleRate(), error))
        return fail(error);
    std::optional<StereoImageRecorder> image;
    if (!picturePath.empty())
        image.emplace(reader.frames(), reader.sampleRate());
    ProgressBar progress(!options.quiet, reader.frames());
    summary.frames = renderFile(*effect, reader, writer, options.blockSize, progress, summary.meter,
                                image ? &*image : nullptr, error);
    progress.finish();
    if (summary.frames < 0)
        return fail(error);

    summary.effectName = effect->effectName();
    summary.settings = effect->describeSettings();
    summary.sampleRate = reader.sampleRate();
    // The picture goes first: when it cannot be written, neither is the sound.
    const std::string title = "What " + effect->effectName() + " does to " +
                              std::filesystem::path(summary.inputPath).filename().string();
    // The caption names the files as given, even the demo's, whose summary
    // spells out where they went.
    RenderSummary caption = summary;
    caption.demo = false;
    if ((image && !drawStereoPicture(picturePath, *image, title, summaryText(caption), error)) || !writer.commit(error))
        return fail(error);
    if (!options.quiet)
    {
        printSummary(summary, stdout);
        if (image)
            std::printf("  Picture:  %s\n", picturePath.c_str());
    }
    return 0;
}
}  // namespace

int main(int argc, char** argv)
{
    RenderOptions options;
    tools::CommandLine line;
    describeOptions(line, options);
    return tools::runTool("velmora-render", usageText(), line, argc, argv,
                          [&options](const std::vector<std::string>& operands) {
                              takeInput(operands, options);
                              return run(options);
                          });
}
