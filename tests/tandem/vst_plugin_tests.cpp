// VSTPlugIn with the tests' own effect (opening, audioMaster answers, names,
// preconditions) and with real VST 2 plug-ins from Debian (with chunks and
// without programs, with a sidechain).

#include "plughost/plugin_loading.h"
#include "support/lsp_plugins.h"
#include "support/signals.h"
#include "support/temporary_folder.h"
#include "tandem/tandem_exceptions.h"
#include "tandem_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <vector>

namespace
{
std::string openFailure(const char* path)
{
    PlugHost host(kTestSampleRate);
    return failureOf<TandemException>([&] { openPlugIn(path, host, kTestSampleRate, kTestBlockSize); });
}

VstIntPtr callHost(FakeEffectControl& control, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                   const char* text = nullptr)
{
    return control.audioMaster(control.effect, opcode, index, value, const_cast<char*>(text), 0.5f);
}

class ThrowingHost : public PlugHost
{
public:
    ThrowingHost() : PlugHost(kTestSampleRate) {}
    void automate(VSTPlugIn&, int, float) override { throw MacOSException(-50); }
};

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

TEST(VSTPlugInOpening, failedOpenLeavesNothingBehindAndTheObjectDestructible)
{
    resetTestEffect().badMagic = true;
    EXPECT_EQ(openFailure(FAKE_EFFECT), "VST main() doesn't return object AEffect*");
    const testsupport::TemporaryFolder folder;
    std::ofstream(folder.path() / "not_an_effect.so") << "not an executable";
    EXPECT_EQ(openFailure((folder.path() / "not_an_effect.so").c_str()), "Could not load VST bundle executable");
    // The slot for the object being opened was cleared.
    FakeEffectControl& control = resetTestEffect();
    PlugHost host(kTestSampleRate);
    ASSERT_TRUE(openForTest(FAKE_EFFECT, host));
    EXPECT_EQ(control.versionAnswer, 2300) << "audioMasterVersion before any record exists";
    EXPECT_EQ(control.currentIdBeforeRecord, 0) << "the ID is unknown before the record exists";
}

TEST(VSTPlugInAudioMaster, answersAreRightNamesAndProgramNumbersStayInRangeAndAHostExceptionAnswersZero)
{
    FakeEffectControl& control = resetTestEffect();
    control.nameLength = 100;
    control.programAnswerOffset = 50;
    ThrowingHost host;
    auto plugIn = openForTest(FAKE_EFFECT, host);
    ASSERT_TRUE(plugIn);
    char name[25];
    plugIn->getParameterName(0, name);
    EXPECT_EQ(std::string(name), std::string(24, 'N')) << "24 characters and a terminator at 24";
    plugIn->setCurrentProgramName(std::string(24, 'a').c_str());
    plugIn->getCurrentProgramName(name);
    EXPECT_EQ(std::string(name), std::string(24, 'a'));
    EXPECT_EQ(plugIn->getCurrentProgram(), 8) << "an answer beyond the programs is capped";
    EXPECT_EQ(createFXB(*plugIn).size(), 1160u) << "a bank walk does not stop on that answer";

    EXPECT_EQ(callHost(control, audioMasterCurrentId, 0, 0), kFakeEffectId);
    EXPECT_EQ(callHost(control, audioMasterPinConnected, 5, 1), 1) << "a missing output pin answers 1";
    EXPECT_EQ(callHost(control, audioMasterCanDo, 0, 0, "sendVstTimeInfo"), 1);
    plugIn->setSampleRate(44100.4f);
    EXPECT_EQ(callHost(control, audioMasterGetSampleRate, 0, 0), 44100) << "44100.4 Hz rounds down";
    plugIn->setSampleRate(44100.5f);
    EXPECT_EQ(callHost(control, audioMasterGetSampleRate, 0, 0), 44101) << "44100.5 Hz rounds up";
    plugIn->resume();
    EXPECT_FALSE(plugIn->wantsMidi());
    EXPECT_EQ(callHost(control, audioMasterWantMidi, 0, 0), 1);
    EXPECT_TRUE(plugIn->wantsMidi());
    testing::internal::CaptureStderr();
    EXPECT_EQ(callHost(control, audioMasterAutomate, 1, 0), 0) << "a host exception answers 0";
    const std::string output = testing::internal::GetCapturedStderr();
    EXPECT_EQ(output.rfind("\n exception in VST audiomaster callback (0, 1)", 0), 0u) << output;
    EXPECT_EQ(output.find('@'), std::string::npos) << "no e-mail address in the hint: " << output;
}

TEST(TandemPreconditionDeathTest, callerErrorsStopTheProcessNamingTheCheck)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto openAndCall = [](auto call) {
        resetTestEffect();
        PlugHost host(kTestSampleRate);
        call(*openForTest(FAKE_EFFECT, host));
    };
    EXPECT_DEATH(openAndCall([](VSTPlugIn& plugIn) { plugIn.setCurrentProgram(8); }),
                 "source/tandem, line [0-9]+\\): program >= 0 && program < getProgramCount\\(\\)");
    EXPECT_DEATH(openAndCall([](VSTPlugIn& plugIn) { plugIn.setParameter(0, 1.5f); }), "value <= 1.0");
}

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
