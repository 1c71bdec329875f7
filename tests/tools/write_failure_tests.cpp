// Every file a tool writes over one that may exist, written when the disk
// fills up halfway (a file size limit stands in for it): the tool says so and
// fails, the earlier file stays byte for byte, and nothing else is left.
#include "support/file_size_limit.h"
#include "support/signals.h"
#include "support/velmora_bundle.h"
#include "tools/tool_test_support.h"

#include <fstream>

namespace
{
using namespace tooltest;

using FullDisk = ToolTest;

TEST_F(FullDisk, AWriteThatFailsHalfwayKeepsTheEarlierFileAndLeavesNothingElse)
{
    const std::string bundle = testsupport::velmoraBundlePath();
    writeAudio(folder / "in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, testsupport::noise(2 * 4000));
    writeAudio(folder / "short.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, testsupport::noise(2 * 64));
    struct Case
    {
        std::string tool;
        std::vector<std::string> arguments;
        std::string target;
        rlim_t limit;  // bytes: past the first write, short of the whole file
    };
    const Case cases[] = {
        {VELMORA_PLUGHOST_TOOL, {bundle, "save-fxp", "kept.fxp"}, "kept.fxp", 16},
        {VELMORA_PLUGHOST_TOOL, {bundle, "save-fxb", "kept.fxb"}, "kept.fxb", 512},
        {VELMORA_PLUGHOST_TOOL, {bundle, "render", "in.wav", "kept.wav"}, "kept.wav", 4096},
        {VELMORA_RENDER_TOOL, {"in.wav", "-q", "-o", "kept.wav"}, "kept.wav", 4096},
        {VELMORA_RENDER_TOOL, {"short.wav", "-q", "-o", "short-wide.wav", "--picture", "kept.png"}, "kept.png", 4096},
        {VELMORA_PANELSHOT_TOOL, {"--bundle", bundle, "--output", "kept.png"}, "kept.png", 4096},
        {VELMORA_LV2_TURTLE_TOOL, {".", "velmora.so", "velmora_ui.so"}, "manifest.ttl", 64},
    };
    for (const Case& testCase : cases)
    {
        const std::string earlier = "the file as the user left it, " + testCase.target;
        std::ofstream(folder / testCase.target, std::ios::binary) << earlier;
        const std::set<std::string> before = filesIn(folder);
        ToolRun result;
        {
            const testsupport::FileSizeLimit fullDisk(testCase.limit);
            result = runTool(testCase.tool, testCase.arguments);
        }
        const std::string context = fs::path(testCase.tool).filename().string() + " writing " + testCase.target +
                                    ", stderr: " + result.err;
        EXPECT_EQ(result.exitCode, 1) << context;
        const std::vector<std::string> lines = toolLines(result.err);
        ASSERT_EQ(lines.size(), 1u) << context;
        EXPECT_NE(lines[0].find("cannot write '"), std::string::npos) << context;
        EXPECT_NE(lines[0].find(testCase.target + "': "), std::string::npos) << context;
        EXPECT_EQ(testsupport::fileContents(folder / testCase.target), earlier) << context;
        EXPECT_EQ(filesIn(folder), before) << "a temporary file or a new file was left: " << context;
    }
}
}  // namespace
