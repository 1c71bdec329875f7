// VSTPlugIn with the tests' own effect: opening, audioMaster answers, names, preconditions.

#include "plughost/plugin_loading.h"
#include "support/temporary_folder.h"
#include "tandem/tandem_exceptions.h"
#include "tandem_test_support.h"

#include <gtest/gtest.h>

#include <fstream>

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
