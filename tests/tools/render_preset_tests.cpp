// velmora-render with presets: files saved through either face load through
// both, and files that are not the effect's own are refused before anything
// is written.
#include "auhost/audio_unit_instance.h"
#include "auhost/component_bundle.h"
#include "support/signals.h"
#include "tools/tool_test_support.h"

#include <CoreFoundation/CoreFoundation.h>

#include <cstdlib>
#include <fstream>

namespace
{
using namespace tooltest;

constexpr int kRate = 48000;
constexpr std::size_t kFrames = 12345;

class RenderPresets : public ToolTest
{
protected:
    void SetUp() override
    {
        ToolTest::SetUp();
        const char* path = std::getenv("VELMORA_BUNDLE");
        ASSERT_NE(path, nullptr) << "VELMORA_BUNDLE names the built bundle";
        bundle = path;
        writeAudio(folder / "in.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, kRate, testsupport::noise(2 * kFrames, 11));
    }

    // Renders in.wav quietly into `output` and returns its samples.
    std::vector<float> render(std::vector<std::string> arguments, const std::string& output)
    {
        arguments.insert(arguments.end(), {"in.wav", "-q", "-o", output});
        const ToolRun result = runTool(VELMORA_RENDER_TOOL, arguments);
        EXPECT_EQ(result.exitCode, 0) << output << ": " << result.err;
        return readAudio(folder / output).samples;
    }

    ToolRun plugHost(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), bundle);
        return runTool(VELMORA_PLUGHOST_TOOL, arguments);
    }

    // What a host keeps of the Audio Unit after setting Size and Dry/Wet in
    // their own ranges: its ClassInfo, written as an .aupreset.
    void saveThroughAudioUnit(float size, float dryWet, const fs::path& path)
    {
        auhost::registerComponentBundle(bundle);
        const auto effects = auhost::findComponents({kAudioUnitType_Effect, 0, 0, 0, 0});
        ASSERT_FALSE(effects.empty());
        auhost::AudioUnitInstance unit(effects.front().component);
        unit.setParameter(1, size);
        unit.setParameter(2, dryWet);
        const auto classInfo = unit.property<CFPropertyListRef>(kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global,
                                                                0);
        const CFDataRef xml = CFPropertyListCreateData(kCFAllocatorDefault, classInfo, kCFPropertyListXMLFormat_v1_0, 0,
                                                       nullptr);
        ASSERT_NE(xml, nullptr);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(CFDataGetBytePtr(xml)), CFDataGetLength(xml));
        CFRelease(xml);
        CFRelease(classInfo);
    }

    std::string bundle;
};

TEST_F(RenderPresets, PresetSavedThroughEitherFaceRendersTheSameSamplesThroughBoth)
{
    ASSERT_EQ(plugHost({"save-fxp", "wide.fxp", "--set", "1=0.8", "--set", "2=0.3"}).exitCode, 0);
    saveThroughAudioUnit(80.0f, 30.0f, folder / "wide.aupreset");

    const std::vector<float> expected = render({"--size", "0.8", "--dry-wet", "0.3"}, "expected.wav");
    ASSERT_NE(render({}, "default.wav"), expected) << "the settings must change the render for this test to see them";
    for (const char* preset : {"wide.fxp", "wide.aupreset"})
        for (const char* face : {"vst", "au"})
            EXPECT_EQ(render({"--preset", preset, "--face", face}, "preset.wav"), expected)
                << preset << " through the " << face << " face";

    // Factory preset 0 replaces what the file loaded, as --program does on the VST face.
    EXPECT_EQ(render({"--preset", "wide.fxp", "--face", "au", "--program", "0"}, "factory.wav"),
              render({}, "default.wav"));
}

TEST_F(RenderPresets, BankLoadsEveryProgramAndListsThem)
{
    ASSERT_EQ(plugHost({"save-fxb", "bank.fxb", "--program", "3", "--set", "1=0.9"}).exitCode, 0);
    EXPECT_EQ(render({"--preset", "bank.fxb", "--program", "3"}, "bank.wav"),
              render({"--program", "3", "--size", "0.9"}, "expected.wav"));

    const ToolRun programs = runTool(VELMORA_RENDER_TOOL, {"--preset", "bank.fxb", "--list-presets"});
    ASSERT_EQ(programs.exitCode, 0) << programs.err;
    EXPECT_EQ(programs.out, "Programs of Velmora:\n  0  Init 1\n  1  Init 2\n  2  Init 3\n  3  Init 4\n  4  Init 5\n"
                            "  5  Init 6\n  6  Init 7\n  7  Init 8\n");
    const ToolRun factory = runTool(VELMORA_RENDER_TOOL, {"--face", "au", "--list-presets"});
    ASSERT_EQ(factory.exitCode, 0) << factory.err;
    EXPECT_NE(factory.out.find("Factory presets of Quarn Records: Velmora (Audio Unit):\n  0  Init 1\n"),
              std::string::npos)
        << factory.out;
    EXPECT_NE(factory.out.find("\n  7  Init 8\n"), std::string::npos) << factory.out;
    EXPECT_FALSE(fs::exists(folder / "velmora-demo.wav")) << "listing rendered the demo";
}

TEST_F(RenderPresets, PresetNotOfThisEffectFailsInOneLineAndWritesNothing)
{
    ASSERT_EQ(plugHost({"save-fxp", "good.fxp"}).exitCode, 0);
    std::string good = testsupport::fileContents(folder / "good.fxp");
    std::ofstream(folder / "cut.fxp", std::ios::binary) << good.substr(0, 60);
    std::ofstream(folder / "other.fxp", std::ios::binary) << good.replace(16, 4, "ABCD");
    std::ofstream(folder / "notes.aupreset") << "<plist><dict><key>name</key><string>no data</string></dict></plist>";

    struct Case
    {
        std::string preset, face, message;
    };
    for (const Case& testCase : {Case{"missing.fxp", "vst", "cannot read preset 'missing.fxp': no such file"},
                                 Case{"in.wav", "vst", "'in.wav' is neither an .aupreset"},
                                 Case{"notes.aupreset", "au", "'notes.aupreset' holds no \"vstdata\""},
                                 Case{"cut.fxp", "vst", "cannot load the preset 'cut.fxp': it ends early"},
                                 Case{"other.fxp", "vst", "'other.fxp': it belongs to the effect 'ABCD'"},
                                 Case{"cut.fxp", "au", "'cut.fxp': the Audio Unit refuses it"}})
    {
        const ToolRun result = runTool(VELMORA_RENDER_TOOL,
                                       {"in.wav", "--preset", testCase.preset, "--face", testCase.face});
        const std::string context = testCase.preset + " through " + testCase.face + ": " + result.err;
        EXPECT_EQ(result.exitCode, 1) << context;
        const std::vector<std::string> lines = toolLines(result.err);
        ASSERT_EQ(lines.size(), 1u) << context;
        EXPECT_NE(lines[0].find(testCase.message), std::string::npos) << context;
        EXPECT_FALSE(fs::exists(folder / "in-velmora.wav")) << context;
    }
}
}  // namespace
