// Real VST 2 plug-ins from Debian: with chunks and without programs, with a sidechain.

#include "support/lsp_plugins.h"
#include "support/signals.h"
#include "tandem_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

namespace
{
using testsupport::keepLspCoreMapped;
using testsupport::kLspCompressor;
constexpr char kZamComp[] = "/usr/lib/vst/ZamComp-vst.so";

// The same 440 Hz sine block into every input; the output blocks, channel after channel.
std::vector<float> process(VSTPlugIn& plugIn, PlugHost& host, int blocks)
{
    const auto input = testsupport::sine(kTestBlockSize, 440.0, kTestSampleRate);
    const std::vector<const float*> inputs(static_cast<std::size_t>(plugIn.getInputCount()), input.data());
    std::vector<std::vector<float>> buffers(static_cast<std::size_t>(plugIn.getOutputCount()),
                                            std::vector<float>(kTestBlockSize));
    std::vector<float*> outputs;
    for (auto& buffer : buffers)
        outputs.push_back(buffer.data());
    std::vector<float> rendered;
    plugIn.resume();
    for (int block = 0; block < blocks; ++block)
    {
        plugIn.processReplacing(inputs.data(), outputs.data(), kTestBlockSize);
        host.advanceTime(kTestBlockSize);
        for (const auto& buffer : buffers)
            rendered.insert(rendered.end(), buffer.begin(), buffer.end());
    }
    plugIn.suspend();
    EXPECT_TRUE(std::all_of(rendered.begin(), rendered.end(), [](float sample) { return std::isfinite(sample); }));
    return rendered;
}

}  // namespace

TEST(ThirdPartyPlugIns, chunkEffectWithoutProgramsSavesAndRestoresItsState)
{
    ASSERT_TRUE(std::filesystem::exists(kLspCompressor)) << "Debian's lsp-plugins-vst is not installed";
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
    EXPECT_EQ(fieldAt(program, 8), fourCharCode("FPCh"));
    for (const auto* data : {&bank, &program})
    {
        plugIn->setParameter(probe, saved < 0.5f ? 0.9f : 0.1f);
        load(*plugIn, *data);
        EXPECT_NEAR(plugIn->getParameter(probe), saved, 1e-4) << "parameter restored from the chunk";
    }
    EXPECT_EQ(createFXB(*plugIn), bank) << "the restored state saves byte for byte as before";
    const int requestsBefore = host.getTimeInfoRequests();
    process(*plugIn, host, 8);
    EXPECT_GE(host.getTimeInfoRequests() - requestsBefore, 8) << "asks for the transport every block";
}

TEST(ThirdPartyPlugIns, sidechainEffectWithTwoInputsAndOneOutputProcesses)
{
    ASSERT_TRUE(std::filesystem::exists(kZamComp)) << "Debian's zam-plugins is not installed";
    PlugHost host(kTestSampleRate);
    auto plugIn = openForTest(kZamComp, host);
    ASSERT_TRUE(plugIn);
    EXPECT_EQ(plugIn->getInputCount(), 2);
    EXPECT_EQ(plugIn->getOutputCount(), 1);
    const auto rendered = process(*plugIn, host, 8);
    EXPECT_TRUE(std::any_of(rendered.begin(), rendered.end(), [](float sample) { return sample != 0.0f; }))
        << "the compressor passes signal";
}
