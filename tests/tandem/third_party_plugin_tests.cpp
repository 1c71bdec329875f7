// Real VST 2 plug-ins from Debian, hosted through VSTPlugIn: effects built
// by other frameworks, with chunks, without programs, with a sidechain.

#include "support/signals.h"
#include "tandem_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <dlfcn.h>
#include <filesystem>
#include <vector>

namespace
{
constexpr char kLspCompressor[] = "/usr/lib/vst/lsp-plugins/compressor-stereo.so";
constexpr char kMVerb[] = "/usr/lib/vst/MVerb-vst.so";
constexpr char kZamComp[] = "/usr/lib/vst/ZamComp-vst.so";

#define SKIP_WITHOUT(path)                                                                               \
    if (!std::filesystem::exists(path))                                                                  \
    {                                                                                                    \
        GTEST_SKIP() << path << " is not installed (Debian lsp-plugins-vst, dpf-plugins-vst, zam-plugins)"; \
    }

// Runs `blocks` blocks of a 440 Hz sine through every input; returns the
// output blocks one after the other, channel after channel.
std::vector<float> process(VSTPlugIn& plugIn, PlugHost& host, int blocks)
{
    const auto frames = static_cast<std::size_t>(kTestBlockSize);
    const auto outputCount = static_cast<std::size_t>(plugIn.getOutputCount());
    const auto input = testsupport::sine(frames * static_cast<std::size_t>(blocks), 440.0, kTestSampleRate);
    std::vector<float> rendered(input.size() * outputCount);
    plugIn.resume();
    for (std::size_t block = 0; block < static_cast<std::size_t>(blocks); ++block)
    {
        const std::vector<const float*> inputs(static_cast<std::size_t>(plugIn.getInputCount()),
                                               input.data() + block * frames);
        std::vector<float*> outputs;
        for (std::size_t channel = 0; channel < outputCount; ++channel)
        {
            outputs.push_back(rendered.data() + (block * outputCount + channel) * frames);
        }
        plugIn.processReplacing(inputs.data(), outputs.data(), kTestBlockSize);
        host.advanceTime(kTestBlockSize);
    }
    plugIn.suspend();
    return rendered;
}

// The plug-in loads a shared core that keeps blocks for the life of the
// library and is unloaded with it; held mapped, the blocks stay reachable and
// the leak checker of sanitizer builds stays quiet.
void keepLspCoreMapped()
{
    const std::filesystem::path folder = std::filesystem::path(kLspCompressor).parent_path();
    for (const auto& entry : std::filesystem::directory_iterator(folder))
    {
        if (entry.path().filename().string().starts_with("lsp-plugins-vst2-"))
        {
            dlopen(entry.path().c_str(), RTLD_NOW | RTLD_NODELETE);
        }
    }
}

bool allFinite(const std::vector<float>& samples)
{
    return std::all_of(samples.begin(), samples.end(), [](float sample) { return std::isfinite(sample); });
}
}  // namespace

TEST(ThirdPartyPlugIns, chunkEffectWithoutProgramsSavesAndRestoresItsState)
{
    SKIP_WITHOUT(kLspCompressor);
    keepLspCoreMapped();
    PlugHost host(kTestSampleRate);
    auto plugIn = openForTest(kLspCompressor, host);
    ASSERT_TRUE(plugIn);
    EXPECT_TRUE(plugIn->hasProgramChunks());
    EXPECT_EQ(plugIn->getProgramCount(), 0);
    ASSERT_GT(plugIn->getParameterCount(), 4);

    const int probe = 4;
    const float saved = plugIn->getParameter(probe);
    const auto bank = createFXB(*plugIn);
    const auto program = createFXP(*plugIn);
    EXPECT_EQ(fieldAt(bank, 8), fourCharCode("FBCh"));
    EXPECT_EQ(fieldAt(program, 8), fourCharCode("FPCh"));
    for (const auto* data : {&bank, &program})
    {
        plugIn->setParameter(probe, saved < 0.5f ? 0.9f : 0.1f);
        load(*plugIn, *data);
        EXPECT_NEAR(plugIn->getParameter(probe), saved, 1e-4) << "parameter restored from the chunk";
    }
    EXPECT_EQ(createFXB(*plugIn), bank) << "the restored state saves byte for byte as before";

    const int requestsBefore = host.getTimeInfoRequests();
    const auto rendered = process(*plugIn, host, 8);
    EXPECT_GE(host.getTimeInfoRequests() - requestsBefore, 8) << "asks for the transport every block";
    EXPECT_TRUE(allFinite(rendered));
}

TEST(ThirdPartyPlugIns, parameterEffectRoundTripsItsBankAndProcessesDeterministically)
{
    SKIP_WITHOUT(kMVerb);
    PlugHost host(kTestSampleRate);
    auto plugIn = openForTest(kMVerb, host);
    ASSERT_TRUE(plugIn);
    EXPECT_FALSE(plugIn->hasProgramChunks());
    ASSERT_GT(plugIn->getParameterCount(), 0);

    const auto bank = createFXB(*plugIn);
    const std::size_t programSize = 56 + 4 * static_cast<std::size_t>(plugIn->getParameterCount());
    EXPECT_EQ(bank.size(), 156 + programSize * static_cast<std::size_t>(plugIn->getProgramCount()));
    const float saved = plugIn->getParameter(0);
    plugIn->setParameter(0, saved < 0.5f ? 0.8f : 0.2f);
    EXPECT_TRUE(load(*plugIn, bank));
    EXPECT_NEAR(plugIn->getParameter(0), saved, 1e-6);
    EXPECT_EQ(createFXB(*plugIn), bank) << "the restored bank saves byte for byte as before";

    // A second instance given the first one's bank renders the same.
    const auto first = process(*plugIn, host, 4);
    PlugHost otherHost(kTestSampleRate);
    auto other = openForTest(kMVerb, otherHost);
    ASSERT_TRUE(other);
    EXPECT_TRUE(load(*other, bank));
    const auto second = process(*other, otherHost, 4);
    EXPECT_TRUE(allFinite(first));
    EXPECT_EQ(first, second) << "the same state and input give the same output";
}

TEST(ThirdPartyPlugIns, sidechainEffectWithTwoInputsAndOneOutputProcesses)
{
    SKIP_WITHOUT(kZamComp);
    PlugHost host(kTestSampleRate);
    auto plugIn = openForTest(kZamComp, host);
    ASSERT_TRUE(plugIn);
    EXPECT_EQ(plugIn->getInputCount(), 2);
    EXPECT_EQ(plugIn->getOutputCount(), 1);
    const auto rendered = process(*plugIn, host, 8);
    EXPECT_TRUE(allFinite(rendered));
    EXPECT_TRUE(std::any_of(rendered.begin(), rendered.end(), [](float sample) { return sample != 0.0f; }))
        << "the compressor passes signal";
}
