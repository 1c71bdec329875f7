// velmora-plughost as a user runs it: the built binary on the built bundle.
#include "support/signals.h"
#include "support/velmora_bundle.h"
#include "tools/tool_test_support.h"

namespace
{
using namespace tooltest;

class PlugHostTool : public ToolTest
{
protected:
    ToolRun run(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), testsupport::velmoraBundlePath());
        return runTool(VELMORA_PLUGHOST_TOOL, arguments);
    }
};

TEST_F(PlugHostTool, ProgramThenParametersReachSavedPresetLoadedListAndRender)
{
    // --set given before --program still lands after it, in the order given.
    ToolRun result = run(
        {"save-fxp", "chosen.fxp", "--set", "2=0.75", "--program", "3", "--set=1=0.25", "--set", "2=0.125"});
    ASSERT_EQ(result.exitCode, 0) << result.err;

    // A loaded program would overwrite values set before it. The hosting
    // layer's trace of the program read stays off the terminal.
    result = run({"load", "chosen.fxp", "--set", "0=0"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    for (const char* line : {"0 on/off = off", "1 Size = 25.00 % (0.25)", "2 Dry/Wet = 12.50    (0.125)", "0 Init 4"})
        EXPECT_NE(result.out.find(line), std::string::npos) << line << " in " << result.out;

    // Switched off, the effect passes its input through untouched.
    const std::vector<float> input = testsupport::noise(2 * 3000, 7, 0.3f);
    writeAudio(folder / "in.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 44100, input);
    result = run({"render", "in.wav", "out.wav", "--set", "0=0"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(readAudio(folder / "out.wav").samples, input);
}

TEST_F(PlugHostTool, InputThatCannotBeReadToTheEndFailsTheRenderAndWritesNothing)
{
    writeCutShortFlac(folder / "cut.flac");
    const ToolRun result = run({"render", "cut.flac", "out.flac"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("velmora-plughost: reading the input stopped after"), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(folder / "out.flac"));
}

TEST_F(PlugHostTool, BadProgramOrParameterFailsInOneLineAndWritesNothing)
{
    writeAudio(folder / "in.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 44100, testsupport::noise(2 * 500));
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--set", "1"}, "malformed --set '1': expected INDEX=VALUE"},
        {{"--set", "size=0.5"}, "invalid parameter index 'size'"},
        {{"--set", "3=0.5"}, "parameter 3 in --set is out of range: the plug-in has parameters 0..2"},
        {{"--set", "1=1.01"}, "invalid value '1.01' in --set '1=1.01': expected a number from 0 to 1"},
        {{"--set", "1=nan"}, "invalid value 'nan'"},
        {{"--program", "8"}, "program 8 in --program is out of range: the plug-in has programs 0..7"},
        {{"--set"}, "missing value for --set"},
    };
    for (const auto& [options, message] : cases)
    {
        for (std::vector<std::string> arguments :
             {std::vector<std::string>{"save-fxb", "out.fxb"}, std::vector<std::string>{"render", "in.wav", "out.wav"}})
        {
            arguments.insert(arguments.end(), options.begin(), options.end());
            const ToolRun result = run(arguments);
            const std::vector<std::string> lines = toolLines(result.err);
            const std::string context = arguments.front() + " " + options.back() + ", stderr: " + result.err;
            EXPECT_EQ(result.exitCode, 2) << context;
            ASSERT_EQ(lines.size(), 1u) << context;
            EXPECT_EQ(lines.front().rfind("velmora-plughost: " + message, 0), 0u) << context;
        }
    }
    EXPECT_FALSE(fs::exists(folder / "out.fxb"));
    EXPECT_FALSE(fs::exists(folder / "out.wav"));
}
}  // namespace
