// velmora-render: renders an audio file, or a built-in demo, through the
// Velmora bundle and reports how much wider the result is.
#include "common/audio_file.h"
#include "common/bundle_search.h"
#include "common/command_line.h"
#include "render/demo_signal.h"
#include "render/effect_render.h"
#include "render/preset_file.h"
#include "render/render_options.h"
#include "render/render_summary.h"
#include "render/stereo_picture.h"
#include "render/tool_paths.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace
{
using namespace render;

void writeDemo(const std::string& path)
{
    const std::vector<float> frames = synthesizeDemo();
    tools::AudioWriter writer;
    std::string error;
    tools::checked(writer.create(path, tools::formatForFileName(path), 2, kDemoSampleRate, error) &&
                       writer.write(frames.data(), static_cast<std::int64_t>(frames.size() / 2), error) &&
                       writer.commit(error),
                   error);
}

bool isSameFile(const std::string& first, const std::string& second)
{
    std::error_code status;
    return std::filesystem::equivalent(first, second, status) && !status;
}

std::unique_ptr<RenderFace> openedFace(const FaceSettings& face, const RenderOptions& options)
{
    std::string error;
    std::unique_ptr<RenderFace> effect = openFace(face, options, error);
    tools::checked(effect != nullptr, error);
    return effect;
}

// The input's container and sample type, or its container with float samples.
int outputFormat(int inputFormat, bool floatOutput)
{
    if (!floatOutput)
        return inputFormat;
    const int container = inputFormat & SF_FORMAT_TYPEMASK;
    if (container == SF_FORMAT_FLAC)
        throw tools::UsageError("--float cannot be written as FLAC, which holds integer samples only; choose a .wav "
                                "or .aiff output with -o");
    return container | SF_FORMAT_FLOAT;
}

std::string chosenBundle(const RenderOptions& options)
{
    const tools::BundleFormat format = options.face == Face::vst3 ? tools::BundleFormat::vst3
                                                                  : tools::BundleFormat::vst;
    const std::string bundle = tools::givenOrFoundBundle(options.bundlePath, "use --bundle PATH", format);
    if (options.verbose)
        std::printf("Bundle:   %s\n", bundle.c_str());
    return bundle;
}

// Where the render reads and writes: the options' paths, or the demo's.
struct RenderPaths
{
    bool demo = false;
    std::string input, output, picture;
};

RenderPaths renderPaths(const RenderOptions& options)
{
    RenderPaths paths;
    paths.demo = options.inputPath.empty();
    paths.output = !options.outputPath.empty() ? options.outputPath
                   : paths.demo                ? std::string(kDemoOutputName)
                                               : defaultOutputPath(options.inputPath);
    paths.input = paths.demo ? dryDemoPath(paths.output) : options.inputPath;
    paths.picture = !options.picturePath.empty() ? options.picturePath
                    : paths.demo                 ? demoPicturePath(paths.output)
                                                 : "";
    return paths;
}

// A user's file that can be rendered into a file other than itself.
void openUserInput(const RenderPaths& paths, tools::AudioReader& reader)
{
    std::string error;
    tools::checked(reader.open(paths.input, error), error);
    tools::checked(reader.channels() <= 2, "'" + paths.input + "' has " + std::to_string(reader.channels()) +
                                               " channels; only mono and stereo files can be rendered");
    tools::checked(!isSameFile(paths.input, paths.output),
                   "the output '" + paths.output + "' is the input file; choose another with -o");
}

// The picture goes first: when it cannot be written, neither is the sound.
// Its caption names the files as given, even the demo's, whose summary
// spells out where they went.
void commitOutputs(RenderFace& effect, const RenderSummary& summary, const std::string& picturePath,
                   const std::optional<StereoImageRecorder>& image, tools::AudioWriter& writer)
{
    const std::string title = "What " + effect.effectName() + " does to " +
                              std::filesystem::path(summary.inputPath).filename().string();
    RenderSummary caption = summary;
    caption.demo = false;
    std::string error;
    tools::checked(!image || drawStereoPicture(picturePath, *image, title, summaryText(caption), error), error);
    tools::checked(writer.commit(error), error);
}

void renderInto(RenderFace& effect, tools::AudioReader& reader, const RenderOptions& options, const RenderPaths& paths,
                RenderSummary& summary)
{
    std::string error;
    tools::AudioWriter writer;
    tools::checked(writer.create(summary.outputPath, summary.format, 2, reader.sampleRate(), error), error);
    std::optional<StereoImageRecorder> image;
    if (!paths.picture.empty())
        image.emplace(reader.frames(), reader.sampleRate());
    ProgressBar progress(!options.quiet, reader.frames());
    // A failure unwinds through the bar, which wipes itself before the reason is printed.
    summary.frames = renderFile(effect, reader, writer, options.blockSize, progress, summary.meter,
                                image ? &*image : nullptr);
    progress.finish();
    summary.effectName = effect.effectName();
    summary.settings = effect.describeSettings();
    summary.sampleRate = reader.sampleRate();
    commitOutputs(effect, summary, paths.picture, image, writer);
    if (!options.quiet)
    {
        printSummary(summary, stdout);
        if (image)
            std::printf("  Picture:  %s\n", paths.picture.c_str());
    }
}

int run(const RenderOptions& options)
{
    FaceSettings face;
    face.bundlePath = chosenBundle(options);
    face.blockSize = options.blockSize;
    PresetFile preset;
    std::string error;
    if (!options.presetPath.empty())
    {
        tools::checked(readPresetFile(options.presetPath, preset, error), error);
        face.preset = &preset;
    }
    if (options.listPresets)
    {
        face.sampleRate = kDemoSampleRate;
        face.inputChannels = 2;
        std::fputs(openedFace(face, options)->listPresets().c_str(), stdout);
        return 0;
    }

    const RenderPaths paths = renderPaths(options);
    tools::AudioReader reader;
    if (!paths.demo)
        openUserInput(paths, reader);
    RenderSummary summary;
    summary.demo = paths.demo;
    summary.inputPath = paths.input;
    summary.outputPath = paths.output;
    summary.format = outputFormat(paths.demo ? tools::formatForFileName(paths.output) : reader.format(),
                                  options.floatOutput);
    face.sampleRate = paths.demo ? kDemoSampleRate : reader.sampleRate();
    face.inputChannels = paths.demo ? 2 : reader.channels();
    const std::unique_ptr<RenderFace> effect = openedFace(face, options);
    if (paths.demo)
    {
        writeDemo(paths.input);
        tools::checked(reader.open(paths.input, error), error);
    }
    if (reader.channels() == 1 && !options.quiet)
        std::printf("Mono input: its one channel feeds both of the effect's inputs; the result is stereo.\n");
    renderInto(*effect, reader, options, paths, summary);
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
