// The LV2 bundle through the Debian tools a Linux user has: lv2ls and lv2info
// read what it declares, lv2_validate checks it, lv2apply (a host that offers
// no features at all) renders through it, sample for sample as the VST face
// renders.
#include "lv2/lv2_identity.h"
#include "support/scoped_variable.h"
#include "support/signals.h"
#include "support/velmora_bundle.h"
#include "tools/tool_test_support.h"

#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace
{
using namespace tooltest;
using velmora::lv2::kPluginUri;

class LilvTools : public ToolTest
{
protected:
    void SetUp() override
    {
        if (access("/usr/bin/lv2apply", X_OK) != 0)
            GTEST_SKIP() << "lilv-utils is not installed (apt-get install lilv-utils)";
        // Our bundle alone, beside the vocabulary bundles the tools read classes from.
        fs::create_directory(folder / "plugins");
        fs::create_directory_symlink(VELMORA_LV2_BUNDLE, folder / "plugins" / "velmora.lv2");
        lv2Path.emplace("LV2_PATH", folder.string() + "/plugins:/usr/lib/lv2");
    }

    std::optional<testsupport::ScopedVariable> lv2Path;
};

// The lines lv2info prints for one port, up to the next port.
std::string portSection(const std::string& info, int port)
{
    const std::size_t start = info.find("Port " + std::to_string(port) + ":");
    if (start == std::string::npos)
        return "";
    return info.substr(start, info.find("Port " + std::to_string(port + 1) + ":") - start);
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(LilvTools, SeeTheSpatialPluginWithTheVstFacesControlsAndEightPresets)
{
    const ToolRun listed = runTool("/usr/bin/lv2ls", {});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_TRUE(contains(listed.out, std::string(kPluginUri) + "\n")) << listed.out;

    const ToolRun shown = runTool("/usr/bin/lv2info", {kPluginUri});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    const std::string& info = shown.out;
    EXPECT_TRUE(contains(info, "Class:             Spatial Plugin")) << info;
    EXPECT_TRUE(contains(info, "velmora.lv2/Contents/x86_64-linux/velmora_ui.so")) << "no UI listed:\n" << info;
    for (const velmora::ParameterInfo& parameter : velmora::kParameters)
    {
        const std::string port = portSection(info, parameter.index);
        char expectedDefault[64];
        std::snprintf(expectedDefault, sizeof expectedDefault, "Default:     %f",
                      static_cast<double>(parameter.defaultValue));
        for (const std::string& line :
             {std::string("ControlPort"), "Name:        " + std::string(parameter.name),
              std::string("Minimum:     0.000000"), std::string("Maximum:     1.000000"), std::string(expectedDefault)})
            EXPECT_TRUE(contains(port, line)) << "port " << parameter.index << " lacks '" << line << "':\n" << port;
    }
    EXPECT_TRUE(contains(portSection(info, velmora::kOnOff), "toggled")) << "on/off is no toggle";
    EXPECT_TRUE(contains(portSection(info, velmora::kOnOff), "Designation: http://lv2plug.in/ns/lv2core#enabled"))
        << "hosts do not see on/off as their bypass switch";
    for (int port = velmora::kNumParams; port < velmora::kNumParams + 4; ++port)
        EXPECT_TRUE(contains(portSection(info, port), "AudioPort")) << "port " << port << "\n" << info;
    EXPECT_EQ(portSection(info, velmora::kNumParams + 4), "") << "more ports than two in, two out";

    const std::string presets = info.substr(info.find("Presets:"), info.find("Port 0:") - info.find("Presets:"));
    for (int program = 1; program <= velmora::kNumPrograms; ++program)
        EXPECT_TRUE(contains(presets, "Init " + std::to_string(program) + "\n")) << presets;
    EXPECT_FALSE(contains(presets, "Init 9")) << presets;
}

// lv2_validate checks the data against the LV2 vocabulary hosts read it by.
TEST_F(LilvTools, Lv2ValidateFindsNoErrorInTheData)
{
    std::vector<std::string> files;
    for (const char* name : {"manifest.ttl", "velmora.ttl", "presets.ttl"})
        files.push_back(std::string(VELMORA_LV2_BUNDLE) + "/" + name);
    const ToolRun validated = runTool("/usr/bin/lv2_validate", files);
    EXPECT_EQ(validated.exitCode, 0) << validated.out << validated.err;
    EXPECT_TRUE(contains(validated.out + validated.err, "Found 0 errors")) << validated.out << validated.err;
}

// lv2apply cannot load a module built for a sanitizer runtime it lacks, so
// sanitizer builds leave this case out.
#ifndef VELMORA_SANITIZED
TEST_F(LilvTools, Lv2applyRendersTheSamplesOfTheVstFace)
{
    constexpr int kRate = 48000;
    constexpr std::size_t kFrames = 30011;  // not a multiple of anyone's block size
    writeAudio(folder / "in.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, kRate, testsupport::noise(2 * kFrames, 9, 0.4f));
    const AudioData input = readAudio(folder / "in.wav");

    testsupport::StereoBuffer in(kFrames);
    for (std::size_t frame = 0; frame < kFrames; ++frame)
    {
        in.left[frame] = input.samples[2 * frame];
        in.right[frame] = input.samples[2 * frame + 1];
    }
    for (const std::vector<float>& values :  // on/off, Size, Dry/Wet
         {std::vector{1.0f, 0.5f, 0.5f}, {1.0f, 0.83f, 1.0f}, {0.0f, 0.2f, 1.0f}})
    {
        std::vector<std::string> arguments{"-i", "in.wav", "-o", "out.wav"};
        for (const velmora::ParameterInfo& parameter : velmora::kParameters)
            arguments.insert(arguments.end(), {"-c", parameter.symbol, std::to_string(values[parameter.index])});
        arguments.push_back(kPluginUri);
        const ToolRun result = runTool("/usr/bin/lv2apply", arguments);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const AudioData lv2 = readAudio(folder / "out.wav");
        ASSERT_EQ(lv2.samples.size(), input.samples.size());

        auto vst = testsupport::openVelmora({kRate, 512});
        ASSERT_NE(vst, nullptr);
        for (const velmora::ParameterInfo& parameter : velmora::kParameters)
            vst->setParameter(parameter.index, values[parameter.index]);
        const testsupport::StereoBuffer out = testsupport::renderInBlocks(
            in, {512}, [&](float** from, float** to, int frames) { vst->processReplacing(from, to, frames); });

        std::size_t differing = 0, first = kFrames;
        for (std::size_t frame = 0; frame < kFrames; ++frame)
            if (lv2.samples[2 * frame] != out.left[frame] || lv2.samples[2 * frame + 1] != out.right[frame])
            {
                ++differing;
                first = std::min(first, frame);
            }
        EXPECT_EQ(differing, 0u) << "on/off " << values[0] << ", Size " << values[1] << ", Dry/Wet " << values[2]
                                 << ": first differing frame " << first;
    }
}
#endif
}  // namespace
