// velmora-render: renders an audio file, or a built-in demo, through the
// Velmora bundle and reports how much wider the result is.
#include "render/audio_file.h"
#include "render/demo_signal.h"
#include "render/effect_render.h"
#include "render/render_options.h"
#include "render/render_summary.h"
#include "render/tool_paths.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

namespace
{
using namespace render;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int fail(const std::string& message, int code = kExitFailure)
{
    std::fprintf(stderr, "velmora-render: %s\n", message.c_str());
    return code;
}

bool writeDemo(const std::string& path, std::string& error)
{
    const std::vector<float> frames = synthesizeDemo();
    AudioWriter writer;
    return writer.create(path, formatForFileName(path), 2, kDemoSampleRate, error) &&
           writer.write(frames.data(), static_cast<std::int64_t>(frames.size() / 2), error) && writer.commit(error);
}

bool isSameFile(const std::string& first, const std::string& second)
{
    std::error_code status;
    return std::filesystem::equivalent(first, second, status) && !status;
}

int run(const RenderOptions& options)
{
    std::string error;
    const std::string bundle = options.bundlePath.empty() ? defaultBundlePath(error) : options.bundlePath;
    if (bundle.empty())
        return fail(error);

    RenderSummary summary;
    summary.demo = options.inputPath.empty();
    summary.outputPath = !options.outputPath.empty() ? options.outputPath
                         : summary.demo              ? std::string(kDemoOutputName)
                                                     : defaultOutputPath(options.inputPath);
    summary.inputPath = summary.demo ? dryDemoPath(summary.outputPath) : options.inputPath;

    AudioReader reader;
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

    FaceSettings face;
    face.bundlePath = bundle;
    face.sampleRate = summary.demo ? kDemoSampleRate : reader.sampleRate();
    face.inputChannels = summary.demo ? 2 : reader.channels();
    face.blockSize = options.blockSize;
    const std::unique_ptr<RenderFace> effect = openFace(face, options, error);
    if (!effect)
        return fail(error);

    if (summary.demo && !(writeDemo(summary.inputPath, error) && reader.open(summary.inputPath, error)))
        return fail(error);
    if (reader.channels() == 1 && !options.quiet)
        std::printf("Mono input: its one channel feeds both of the effect's inputs; the result is stereo.\n");

    AudioWriter writer;
    if (!writer.create(summary.outputPath, reader.format(), 2, reader.sampleRate(), error))
        return fail(error);
    ProgressBar progress(!options.quiet, reader.frames());
    summary.frames = renderFile(*effect, reader, writer, options.blockSize, progress, summary.meter, error);
    progress.finish();
    if (summary.frames < 0 || !writer.commit(error))
        return fail(error);

    summary.effectName = effect->effectName();
    summary.settings = effect->describeSettings();
    summary.sampleRate = reader.sampleRate();
    summary.format = reader.format();
    if (!options.quiet)
        printSummary(summary, stdout);
    return 0;
}
}  // namespace

int main(int argc, char** argv)
{
    RenderOptions options;
    std::string error;
    if (!parseOptions(argc, argv, options, error))
        return fail(error, kExitUsage);
    if (options.help)
    {
        std::fputs(usageText(), stdout);
        return 0;
    }
    return run(options);
}
