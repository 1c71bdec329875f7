// The conformance run on real bundles: it passes for ours and for one that
// wraps a third-party effect, and units that break a rule get failing rows
// and a failing exit.
#include "component_test_support.h"
#include "support/velmora_bundle.h"
#include "tools/tool_test_support.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace
{
using namespace tooltest;

class AuvalTool : public ToolTest
{
protected:
    // Preset folders of the run's own: the component converts what it finds there.
    componenttest::PresetFolders presets;

    ToolRun auval(const std::string& bundle) { return runTool(VELMORA_AUVAL_TOOL, {bundle}); }
};

// The rows of a run with this result ("FAIL" or "warn"), as their text.
std::vector<std::string> rowsMarked(const std::string& out, const std::string& result)
{
    std::vector<std::string> rows;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        if (line.find("  " + result + "  ") != std::string::npos)
            rows.push_back(line);
    return rows;
}

TEST_F(AuvalTool, OurBundlePassesEveryCheck)
{
    const ToolRun run = auval(testsupport::velmoraBundlePath());
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(run.out.starts_with("velmora-auval: aufx QnVm QnRc \"Quarn Records: Velmora\"\n")) << run.out;
    EXPECT_EQ(rowsMarked(run.out, "FAIL"), std::vector<std::string>{});
    EXPECT_EQ(rowsMarked(run.out, "warn"), std::vector<std::string>{});
    for (const char* row : {"render      192000 Hz ", "render      slice above the maximum ", "formats     mono",
                            "presets     ClassInfo round trip ", "open        100 opens and closes "})
        EXPECT_NE(run.out.find(row), std::string::npos) << "no row " << row;
    EXPECT_NE(run.out.find("\nverdict: PASS (51 checks)\n"), std::string::npos) << run.out;
}

// Without a bundle it takes the one the other tools find: from the build
// tree, the bundle beside the tool, here named in the line that no unit of
// that type is in it.
TEST_F(AuvalTool, WithoutABundleItSearchesWhereTheOtherToolsDo)
{
    const ToolRun run = runTool(VELMORA_AUVAL_TOOL, {"--type", "none"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.err.find("no matching component in " + testsupport::velmoraBundlePath()), std::string::npos)
        << run.err;
    EXPECT_NE(runTool(VELMORA_AUVAL_TOOL, {"--help"}).out.find("Without BUNDLE it checks the first Velmora.vst"),
              std::string::npos);
}

// MVerb is a real effect of another maker, with nine parameters, one program
// and no editor; at 11025 Hz it makes non-numbers of its own, which the run
// shows as a warning.
TEST_F(AuvalTool, ABundleWrappingMVerbPasses)
{
    const fs::path mverb = "/usr/lib/vst/MVerb-vst.so";
    if (!fs::exists(mverb))
        GTEST_SKIP() << "dpf-plugins-vst is not installed";
    componenttest::ComponentBundle bundle({{}, {mverb}});
    const ToolRun run = auval(bundle.path().string());
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("element counts and parameter list  pass    1 in, 1 out, 9 parameters"), std::string::npos)
        << run.out;
    EXPECT_EQ(rowsMarked(run.out, "FAIL"), std::vector<std::string>{});
    EXPECT_NE(run.out.find("\nverdict: PASS (57 checks"), std::string::npos) << run.out;
}

// A mapping that offers the on/off switch as a range of 0 to 100: the effect
// keeps only on or off, so the default of 50 comes back as 100.
TEST_F(AuvalTool, ASwitchMappedAsARangeFailsItsParameterRowAndTheRun)
{
    componenttest::ComponentBundle bundle;
    std::ofstream(bundle.resources() / "TDParameters.txt", std::ios::binary)
        << "vst param #\tname\tmin\tmax\tdisplay\tunit\tdefault\r"
           "0\ton/off\t0\t100\t=\t-\t50\r1\tSize\t0\t100\t=\t%\t50\r2\tDry/Wet\t0\t100\t=\t-\t50\r";
    const ToolRun run = auval(bundle.path().string());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(rowsMarked(run.out, "FAIL"),
              std::vector<std::string>{"parameters  0 \"on/off\"                         FAIL    default 50 set, 100 "
                                       "read back"});
    EXPECT_NE(run.out.find("\nverdict: FAIL (1 of 51 checks failed)\n"), std::string::npos) << run.out;
}
// The platform's test component serves only what a host needs to render
// through it: the properties it answers for every scope and ID must fail
// their rows, while its rendering passes.
TEST_F(AuvalTool, AUnitAnsweringPropertiesItDoesNotHaveFailsThoseRows)
{
    const ToolRun run = auval(fs::path(TEST_COMPONENT_EXECUTABLE_DIR).parent_path().parent_path().string());
    EXPECT_EQ(run.exitCode, 1);
    const std::vector<std::string> failed = rowsMarked(run.out, "FAIL");
    for (const char* row :
         {"properties  Latency (12)                       FAIL    info of Latency in input answered 0 (no error), "
          "expected -10866 (invalid scope)",
          "properties  unknown property IDs               FAIL    info of property 7 answered 0 (no error), expected "
          "-10879 (invalid property)",
          "presets     ClassInfo round trip               FAIL    ClassInfo is no dictionary"})
        EXPECT_NE(std::find(failed.begin(), failed.end(), row), failed.end()) << "no row " << row << "\n" << run.out;
    EXPECT_NE(run.out.find("render      48000 Hz                           pass"), std::string::npos) << run.out;
}
}  // namespace
