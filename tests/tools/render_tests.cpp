// velmora-render as a user runs it: the built binary, the built bundle, real
// audio files.
#include "render/stereo_image.h"
#include "support/signals.h"
#include "tools/tool_test_support.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numeric>
#include <tuple>
#include <vector>

namespace
{
using namespace tooltest;

class RenderTool : public ToolTest
{
protected:
    ToolRun run(const std::vector<std::string>& arguments) { return runTool(VELMORA_RENDER_TOOL, arguments); }
};

TEST_F(RenderTool, BadInputGivesOneClearErrorLineAndNonZeroExit)
{
    writeAudio(folder / "in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, testsupport::noise(2000, 3, 0.3f));
    writeAudio(folder / "surround.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 3, 44100, testsupport::noise(600));
    std::ofstream(folder / "notes.wav") << "this is no audio file";
    std::ofstream(folder / "kept.wav") << "an earlier render";
    writeAudio(folder / "in.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2, 44100, testsupport::noise(2000, 3, 0.3f));
    writeCutShortFlac(folder / "cut.flac");

    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{"missing.wav"}, 1, "cannot read 'missing.wav': no such file"},
        {{"notes.wav"}, 1, "cannot read 'notes.wav'"},
        {{"surround.wav"}, 1, "has 3 channels"},
        {{"cut.flac"}, 1, "reading the input stopped after"},
        {{"in.wav", "-o", "no/such/folder/out.wav"}, 1, "cannot write 'no/such/folder/out.wav'"},
        {{"in.wav", "-o", "./in.wav"}, 1, "is the input file"},
        {{"in.wav", "-o", "kept.wav", "--bundle", "missing.vst"}, 1, "cannot open plug-in missing.vst"},
        {{"in.wav", "--bundle", "notes.wav"}, 1, "cannot load"},
        {{"--dry-wet=nan"}, 2, "invalid value 'nan' for --dry-wet"},
        {{"--program", "8"}, 2, "invalid value '8' for --program"},
        {{"--face", "lv2"}, 2, "invalid value 'lv2' for --face: expected vst, au or vst3"},
        {{"in.wav", "--face", "vst3", "--bundle", "missing.vst3"}, 1, "cannot open the VST3 bundle 'missing.vst3'"},
        {{"in.wav", "--face", "vst3", "--preset", "in.wav"}, 1, "is neither an .aupreset"},
        {{"in.flac", "--float"}, 2, "--float cannot be written as FLAC"},
        {{"in.wav", "--face", "au", "--bundle", "missing.vst"}, 1, "cannot open the Audio Unit in 'missing.vst'"},
        // After the component opened and wrote its trace lines.
        {{"in.wav", "--face", "au", "-o", "no/such/folder/out.wav"}, 1, "cannot write 'no/such/folder/out.wav'"},
        {{"--block-size", "0"}, 2, "invalid value '0' for --block-size"},
        {{"--size"}, 2, "missing value for --size"},
        {{"--louder"}, 2, "unknown option '--louder'"},
        {{"in.wav", "other.wav"}, 2, "more than one input file"},
    };
    for (const auto& [arguments, exitCode, message] : cases)
    {
        const ToolRun result = run(arguments);
        const std::string context = "arguments: " + arguments.front() + " ... stderr: " + result.err;
        EXPECT_EQ(result.exitCode, exitCode) << context;
        EXPECT_EQ(result.err.rfind("velmora-render: ", 0), 0u) << context;
        EXPECT_NE(result.err.find(message), std::string::npos) << context;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << context;
    }
    EXPECT_EQ(testsupport::fileContents(folder / "kept.wav"), "an earlier render")
        << "a failed render replaced an existing file";
    EXPECT_FALSE(fs::exists(folder / "in-velmora.flac"));
    EXPECT_EQ(testsupport::fileContents(folder / "notes.wav"), "this is no audio file");
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_EQ(entry.path().filename().string().find(".partial"), std::string::npos)
            << "left behind: " << entry.path();
}

TEST_F(RenderTool, WavAiffAndFlacKeepFormatRateAndLength)
{
    // 12345 frames: not a multiple of any block size, so the last block is short.
    constexpr std::size_t kFrames = 12345;
    const std::vector<float> frames = testsupport::noise(2 * kFrames, 5, 0.3f);
    for (const auto& [name, format, sampleRate] : {std::tuple{"a.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100},
                                                   {"b.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 48000},
                                                   {"c.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 96000}})
    {
        writeAudio(folder / name, format, 2, sampleRate, frames);
        const ToolRun result = run({name, "-q", "--block-size", "1000", "-o", "out.any"});
        ASSERT_EQ(result.exitCode, 0) << name << ": " << result.err;
        EXPECT_EQ(result.out, "") << "--quiet printed output";

        const AudioData output = readAudio(folder / "out.any");
        EXPECT_EQ(output.info.format, format) << name;
        EXPECT_EQ(output.info.samplerate, sampleRate) << name;
        EXPECT_EQ(output.info.channels, 2) << name;
        EXPECT_EQ(output.info.frames, static_cast<sf_count_t>(kFrames)) << name;
    }
}

TEST_F(RenderTool, AudioUnitAndVst3FacesGiveTheVstFacesSamplesForMonoAndStereoAtAnyBlockSize)
{
    // 12345 frames: the last block is short at either block size.
    constexpr std::size_t kFrames = 12345;
    constexpr int kRate = 48000;
    writeAudio(folder / "stereo.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, kRate, testsupport::noise(2 * kFrames, 7));
    writeAudio(folder / "mono.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, kRate,
               testsupport::sine(kFrames, 330.0, kRate));
    const std::vector<std::string> settings = {"--program", "2", "--size", "0.8", "--dry-wet", "0.3", "--on", "-q"};
    for (const char* input : {"stereo.wav", "mono.wav"})
        for (const char* blockSize : {"64", "1000"})
        {
            const std::string context = std::string(input) + " in blocks of " + blockSize;
            std::vector<std::string> arguments = settings;
            arguments.insert(arguments.end(), {input, "--block-size", blockSize, "-o", "vst.wav"});
            const ToolRun vst = run(arguments);
            ASSERT_EQ(vst.exitCode, 0) << context << ": " << vst.err;
            const AudioData fromVst = readAudio(folder / "vst.wav");
            for (const char* face : {"au", "vst3"})
            {
                std::vector<std::string> faceArguments = arguments;
                faceArguments.back() = "face.wav";
                faceArguments.insert(faceArguments.end(), {"--face", face});
                const ToolRun other = run(faceArguments);
                ASSERT_EQ(other.exitCode, 0) << context << " through " << face << ": " << other.err;

                const AudioData fromFace = readAudio(folder / "face.wav");
                ASSERT_EQ(fromFace.info.channels, 2) << context << " through " << face;
                ASSERT_EQ(fromFace.info.frames, static_cast<sf_count_t>(kFrames)) << context << " through " << face;
                ASSERT_EQ(fromFace.samples.size(), fromVst.samples.size()) << context << " through " << face;
                std::size_t differing = 0;
                for (std::size_t index = 0; index < fromFace.samples.size(); ++index)
                    differing += fromFace.samples[index] != fromVst.samples[index];
                EXPECT_EQ(differing, 0u) << context << " through " << face;
            }
        }

    // 0.007 x 100 has no single-precision value that scales back to 0.007.
    const ToolRun inexact = run({"stereo.wav", "--face", "au", "--size", "0.007", "-o", "au.wav"});
    ASSERT_EQ(inexact.exitCode, 0) << inexact.err;
    EXPECT_NE(inexact.err.find(
                  "velmora-render: note: --size 0.00700000022 has no exact value in the Audio Unit range 0..100"),
              std::string::npos)
        << inexact.err;
    EXPECT_NE(inexact.out.find("Settings: Audio Unit parameters: on/off 1, Size 0.7 %, Dry/Wet 50\n"),
              std::string::npos)
        << inexact.out;
}

// The VST3 face names its programs as the VST face does, and its summary
// tells what the processor holds once the settings went in.
TEST_F(RenderTool, Vst3FaceListsItsProgramsAndDescribesWhatItsProcessorHolds)
{
    const ToolRun programs = run({"--face", "vst3", "--list-presets"});
    ASSERT_EQ(programs.exitCode, 0) << programs.err;
    EXPECT_EQ(programs.out, "Programs of Velmora (VST3):\n  0  Init 1\n  1  Init 2\n  2  Init 3\n  3  Init 4\n"
                            "  4  Init 5\n  5  Init 6\n  6  Init 7\n  7  Init 8\n");

    writeAudio(folder / "in.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 44100, testsupport::noise(2 * 1000));
    const ToolRun render = run({"in.wav", "--face", "vst3", "--program", "5", "--dry-wet", "0.25", "--off", "-v"});
    ASSERT_EQ(render.exitCode, 0) << render.err;
    EXPECT_EQ(render.err, "");
    EXPECT_NE(render.out.find("Bundle:   " + fs::path(std::getenv("VELMORA_BUNDLE")).string() + "3\n"),
              std::string::npos)
        << "the search found another Velmora.vst3 than this build tree's: " << render.out;
    EXPECT_NE(render.out.find("through Velmora (VST3)"), std::string::npos) << render.out;
    EXPECT_NE(render.out.find("Settings: program 5 \"Init 6\": on/off off, Size 50.00 %, Dry/Wet 25.00, Bypass off\n"),
              std::string::npos)
        << render.out;
}

// The component's trace lines are for developers, shown when asked. That they
// stay hidden otherwise, and what -v names, the package check sees by every face.
TEST_F(RenderTool, AudioUnitFaceTracesWhenAsked)
{
    writeAudio(folder / "in.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 44100, testsupport::noise(2 * 1000));
    const ToolRun traced = run({"in.wav", "--face", "au", "--trace"});
    ASSERT_EQ(traced.exitCode, 0) << traced.err;
    EXPECT_GT(std::count(traced.err.begin(), traced.err.end(), '\n'), 10) << traced.err;
    EXPECT_EQ(toolLines(traced.err), std::vector<std::string>{}) << "trace lines only";
}

TEST_F(RenderTool, DemoGetsWiderWhileItsMonoSumStaysTheSame)
{
    const ToolRun result = run({});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "") << "nothing but errors (and a bar on terminals) belongs on stderr";

    EXPECT_NE(result.out.find("Mono sum: unchanged"), std::string::npos) << result.out;
    EXPECT_TRUE(fs::exists(folder / "velmora-demo.png")) << "the demo draws its picture beside its sound files";
    const AudioData dry = readAudio(folder / "velmora-demo-dry.wav");
    const AudioData wet = readAudio(folder / "velmora-demo.wav");
    ASSERT_EQ(dry.samples.size(), wet.samples.size());
    ASSERT_GT(dry.info.frames, 44100 * 3) << "the demo lasts a few seconds";
    double drySide = 0.0, wetSide = 0.0, maxSumChange = 0.0;
    for (std::size_t index = 0; index < dry.samples.size(); index += 2)
    {
        const double dryL = dry.samples[index], dryR = dry.samples[index + 1];
        const double wetL = wet.samples[index], wetR = wet.samples[index + 1];
        drySide += (dryL - dryR) * (dryL - dryR);
        wetSide += (wetL - wetR) * (wetL - wetR);
        maxSumChange = std::max(maxSumChange, std::fabs((wetL + wetR) - (dryL + dryR)));
    }
    EXPECT_GT(wetSide, 10.0 * drySide) << "side energy of the rendered demo";
    // Each 24-bit channel rounds by at most half a step (2^-24).
    EXPECT_LT(maxSumChange, 2.0 * std::ldexp(1.0, -24) + 1e-7) << "(L+R) of the files moved";
}
TEST_F(RenderTool, FullScaleInputWidenedReportsItsClippingAndFloatKeepsTheSamplesAboveFullScale)
{
    constexpr int kRate = 48000;
    writeAudio(folder / "loud.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1, kRate,
               testsupport::sine(kRate, 440.0, kRate, 0.999f));

    const ToolRun clipped = run({"loud.wav", "--dry-wet", "1", "-o", "clipped.wav"});
    ASSERT_EQ(clipped.exitCode, 0) << clipped.err;
    const auto peakAt = clipped.out.find("Peak:     +");
    ASSERT_NE(peakAt, std::string::npos) << "no peak above 0 dBFS in: " << clipped.out;
    const double peakDb = std::stod(clipped.out.substr(peakAt + 10));
    EXPECT_GT(peakDb, 0.5) << clipped.out;
    EXPECT_NE(clipped.out.find("dBFS before clipping"), std::string::npos) << clipped.out;
    const auto clippedAt = clipped.out.find("Clipped:  ");
    ASSERT_NE(clippedAt, std::string::npos) << clipped.out;
    EXPECT_GT(std::stol(clipped.out.substr(clippedAt + 10)), 1000) << clipped.out;
    EXPECT_NE(clipped.out.find("or render with --float"), std::string::npos) << clipped.out;

    const ToolRun kept = run({"loud.wav", "--dry-wet", "1", "--float", "-o", "kept.wav"});
    ASSERT_EQ(kept.exitCode, 0) << kept.err;
    EXPECT_EQ(kept.out.find("Clipped"), std::string::npos) << kept.out;
    const AudioData output = readAudio(folder / "kept.wav");
    EXPECT_EQ(output.info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    double peak = 0.0;
    for (const float sample : output.samples)
        peak = std::max(peak, std::fabs(static_cast<double>(sample)));
    EXPECT_NEAR(20.0 * std::log10(peak), peakDb, 0.05) << "the float file holds the peak the summary names";
}

// A mono input feeds both of the effect's inputs: the output's mid is the
// input itself. The picture's data, computed from the files of the render:
// the input stands on the vertical axis with correlation +1, and widening
// lowers the correlation and raises the side energy.
TEST_F(RenderTool, MonoInputKeepsItsMidAndItsPictureShowsTheWidenedOutputLessCorrelated)
{
    constexpr int kRate = 44100;
    const std::vector<float> mono = testsupport::noise(2 * kRate, 13, 0.4f);
    writeAudio(folder / "voice.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, kRate, mono);
    const ToolRun result = run({"voice.wav", "--dry-wet", "0.7", "--picture", "voice.png"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("Mono input"), std::string::npos) << result.out;

    // A PNG of the fixed size: 1200 by 1420 in its header.
    const std::string png = testsupport::fileContents(folder / "voice.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(png.substr(16, 8), std::string("\0\0\x04\xb0\0\0\x05\x8c", 8));

    const AudioData output = readAudio(folder / "voice-velmora.wav");
    ASSERT_EQ(output.info.channels, 2);
    ASSERT_EQ(output.samples.size(), 2 * mono.size());
    std::vector<float> outLeft, outRight;
    for (std::size_t index = 0; index < output.samples.size(); index += 2)
    {
        outLeft.push_back(output.samples[index]);
        outRight.push_back(output.samples[index + 1]);
        ASSERT_NEAR(0.5 * (outLeft.back() + outRight.back()), mono[index / 2], 1e-6)
            << "the mid of a widened mono source is the source itself";
    }
    render::StereoImageRecorder image(static_cast<std::int64_t>(mono.size()), kRate);
    image.add(mono.data(), mono.data(), outLeft.data(), outRight.data(), static_cast<std::int64_t>(mono.size()));

    ASSERT_GT(image.input().scope.size(), 1000u);
    float tallest = 0.0f;
    for (const render::ScopePoint& point : image.input().scope)
    {
        EXPECT_EQ(point.x, 0.0f) << "a mono point off the vertical axis";
        tallest = std::max(tallest, std::fabs(point.y));
    }
    EXPECT_NEAR(tallest, 0.4f * std::sqrt(2.0f), 0.05f) << "mono at full height stands at sqrt 2 times its level";

    const std::vector<double> before = render::correlationSeries(image.input());
    const std::vector<double> after = render::correlationSeries(image.output());
    ASSERT_GT(before.size(), 50u);
    for (const double value : before)
        EXPECT_DOUBLE_EQ(value, 1.0);
    EXPECT_LT(std::accumulate(after.begin(), after.end(), 0.0) / after.size(), 0.9);
    for (const double value : render::sideToMidSeries(image.input()))
        EXPECT_TRUE(std::isinf(value) && value < 0) << "a mono input has no side energy";
    // The width signal starts once the effect's delay (at most 115 ms) has filled.
    const std::vector<double> widened = render::sideToMidSeries(image.output());
    for (std::size_t window = 15; window < widened.size(); ++window)
        EXPECT_GT(widened[window], -20.0) << "the widened output has no side energy in window " << window;
}
}  // namespace
