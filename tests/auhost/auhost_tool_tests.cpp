// velmora-auhost as a user runs it, on the test component's bundle.
#include "tools/tool_test_support.h"

#include <filesystem>

namespace
{
using namespace tooltest;

const std::string kBundle = fs::path(TEST_COMPONENT_EXECUTABLE_DIR).parent_path().parent_path().string();

class AUHostTool : public ToolTest
{
protected:
    ToolRun auhost(const std::vector<std::string>& arguments) { return runTool(VELMORA_AUHOST_TOOL, arguments); }

    // A stereo float file whose samples are all different.
    std::vector<float> writeInput(int frames)
    {
        std::vector<float> samples(static_cast<size_t>(frames) * 2);
        for (size_t index = 0; index < samples.size(); ++index)
            samples[index] = static_cast<float>(index % 997) / 1000.0f - 0.5f;
        writeAudio(folder / "in.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 48000, samples);
        return samples;
    }
};

TEST_F(AUHostTool, ListShowsEveryComponentAndFailsOnTheOneThatDoesNotOpen)
{
    const ToolRun run = auhost({"list", kBundle});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "velmora-auhost: OpenAComponent failed with status -32767\n");
    EXPECT_NE(run.out.find("aufx TsFx Exmp \"Example: Test Effect\" version 1.2.3\n"
                           "aumu TsRf Exmp \"Example: Refusing\" version ?\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("  elements: 1 input, 1 output\n  supported channels: 1 in 1 out, 2 in 2 out\n"),
              std::string::npos);
    EXPECT_NE(run.out.find("  tail: 0.5 s\n  parameters: 4\n"), std::string::npos);
    EXPECT_NE(run.out.find("    2 \"Gain\" 0..4 default 1 value 1 unit 0 flags 0xC0000000\n"), std::string::npos);
    EXPECT_NE(run.out.find("Example: Refusing:\n  does not open\n"), std::string::npos);
}

TEST_F(AUHostTool, RenderRunsTheFileThroughChainedInstancesInSlices)
{
    const std::vector<float> input = writeInput(3000);
    const ToolRun run = auhost({"render", kBundle, "in.wav", "out.wav", "--slice", "300", "--set", "2=0.5", "--chain"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "rendered 3000 frames at 48000 Hz through 2 instances in slices of 300 into out.wav\n");
    const AudioData output = readAudio(folder / "out.wav");
    EXPECT_EQ(output.info.samplerate, 48000);
    EXPECT_EQ(output.info.channels, 2);
    ASSERT_EQ(output.samples.size(), input.size());
    for (size_t index = 0; index < input.size(); ++index)
        ASSERT_EQ(output.samples[index], input[index] * 0.25f) << "sample " << index << ": the gain of both instances";
}

TEST_F(AUHostTool, FailuresNameTheirStatusAndLeaveTheOutputAlone)
{
    writeInput(1000);
    writeAudio(folder / "out.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 48000, {0.5f, 0.5f});
    const std::string before = testsupport::fileContents(folder / "out.wav");

    ToolRun run = auhost({"render", kBundle, "in.wav", "out.wav", "--slice=5000"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              "velmora-auhost: AudioUnitSetProperty (property 14, scope 0, element 0) failed with status -10851\n");
    run = auhost({"render", kBundle, "in.wav", "out.wav", "--set", "9=1"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "velmora-auhost: AudioUnitSetParameter failed with status -10878\n");
    run = auhost({"render", "Missing.bundle", "in.wav", "out.wav"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "velmora-auhost: FSPathMakeRef failed with status -43\n");
    EXPECT_EQ(testsupport::fileContents(folder / "out.wav"), before);
    EXPECT_EQ(filesIn(folder), (std::set<std::string>{"in.wav", "out.wav"})) << "no partial file is left";

    EXPECT_EQ(auhost({"render", kBundle, "in.wav", "new.wav", "--slice", "0"}).exitCode, 2);
    EXPECT_EQ(auhost({"idle", kBundle, "0.1", "--chain"}).exitCode, 2);
    EXPECT_FALSE(fs::exists(folder / "new.wav"));
}

TEST_F(AUHostTool, IdleRunsTheEventLoopWithTheEffectOpen)
{
    const ToolRun run = auhost({"idle", kBundle, "0.05"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "ran the main event loop for 0.05 s\n");
}
}  // namespace
