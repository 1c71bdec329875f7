// velmora-plughost as a user runs it: the built binary on the built bundle.
#include "support/signals.h"
#include "support/velmora_bundle.h"
#include "tools/tool_test_support.h"

#include <bit>
#include <cstdint>

namespace
{
using namespace tooltest;

// A parameter program file: a fixed 28-byte header, the program name in 28
// bytes, then each parameter as a big-endian float.
constexpr std::size_t kProgramNameOffset = 28;
constexpr std::size_t kFirstParameterOffset = 56;

float bigEndianFloat(const std::string& bytes, std::size_t offset)
{
    std::uint32_t word = 0;
    for (std::size_t index = 0; index < 4; ++index)
        word = (word << 8) | static_cast<unsigned char>(bytes.at(offset + index));
    return std::bit_cast<float>(word);
}

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
    const std::string preset = testsupport::fileContents(folder / "chosen.fxp");
    ASSERT_EQ(preset.size(), kFirstParameterOffset + 3 * 4);
    EXPECT_EQ(preset.substr(kProgramNameOffset, 7), std::string("Init 4\0", 7));
    EXPECT_EQ(bigEndianFloat(preset, kFirstParameterOffset), 1.0f);
    EXPECT_EQ(bigEndianFloat(preset, kFirstParameterOffset + 4), 0.25f);
    EXPECT_EQ(bigEndianFloat(preset, kFirstParameterOffset + 8), 0.125f);

    // A loaded program would overwrite values set before it. The hosting
    // layer's trace of the program read stays off the terminal.
    result = run({"load", "chosen.fxp", "--set", "0=0"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_NE(result.out.find("0 on/off = off"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("1 Size = 25.00 %"), std::string::npos) << result.out;

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
