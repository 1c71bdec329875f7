// VSTPlugIn against the tests' own effect: loading, the audioMaster answers,
// name copying, trace lines and the stops on broken preconditions.

#include "plughost/plugin_loading.h"
#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_trace.h"
#include "tandem_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <pthread.h>

namespace
{
std::string openFailure(const char* path)
{
    PlugHost host(kTestSampleRate);
    try
    {
        openPlugIn(path, host, kTestSampleRate, kTestBlockSize);
    }
    catch (const TandemException& failure)
    {
        return failure.what();
    }
    return "(opened)";
}

VstIntPtr callHost(TestEffectControl& control, VstInt32 opcode, VstInt32 index, VstIntPtr value, const char* text = nullptr)
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

TEST(VSTPlugInOpening, entryNamedMainMachoWinsOverVSTPluginMain)
{
    resetTestEffect(TANDEM_TEST_EFFECT_MACHO);
    PlugHost host(kTestSampleRate);
    auto plugIn = openForTest(TANDEM_TEST_EFFECT_MACHO, host);
    ASSERT_TRUE(plugIn);
    EXPECT_EQ(plugIn->getAEffect().uniqueID, kTestEffectMachoId);
}

TEST(VSTPlugInOpening, failedOpenLeavesNothingBehindAndTheObjectDestructible)
{
    resetTestEffect(TANDEM_TEST_EFFECT_BAD_MAGIC);
    EXPECT_EQ(openFailure(TANDEM_TEST_EFFECT_BAD_MAGIC), "VST main() doesn't return object AEffect*");
    const auto notExecutable = std::filesystem::temp_directory_path() / "tandem_not_an_effect.so";
    std::ofstream(notExecutable) << "not an executable";
    EXPECT_EQ(openFailure(notExecutable.c_str()), "Could not load VST bundle executable");
    std::filesystem::remove(notExecutable);

    // The slot for the object being opened was cleared: another one opens.
    TestEffectControl& control = resetTestEffect(TANDEM_TEST_EFFECT);
    PlugHost host(kTestSampleRate);
    ASSERT_TRUE(openForTest(TANDEM_TEST_EFFECT, host));
    EXPECT_EQ(control.versionAnswer, 2300) << "audioMasterVersion before any record exists";
    EXPECT_EQ(control.currentIdBeforeRecord, 0) << "the ID is unknown before the record exists";
}

TEST(VSTPlugInAudioMaster, answersFollowTheHostTable)
{
    TestEffectControl& control = resetTestEffect(TANDEM_TEST_EFFECT);
    PlugHost host(kTestSampleRate);
    auto plugIn = openForTest(TANDEM_TEST_EFFECT, host);
    ASSERT_TRUE(plugIn);
    EXPECT_EQ(callHost(control, audioMasterCurrentId, 0, 0), kTestEffectId);
    EXPECT_EQ(callHost(control, audioMasterPinConnected, 0, 0), 0) << "an existing pin answers 0 (connected)";
    EXPECT_EQ(callHost(control, audioMasterPinConnected, 5, 1), 1) << "a missing output pin answers 1";
    EXPECT_EQ(callHost(control, audioMasterCanDo, 0, 0, "sendVstTimeInfo"), 1);
    EXPECT_EQ(callHost(control, audioMasterCanDo, 0, 0, "SendVstTimeInfo"), 0) << "capabilities are case-sensitive";
    EXPECT_EQ(callHost(control, audioMasterTempoAt, 0, 0), 0) << "declined callbacks answer 0";
    EXPECT_EQ(callHost(control, 77, 0, 0), 0) << "unknown callbacks answer 0";
    plugIn->setSampleRate(44100.4f);
    EXPECT_EQ(callHost(control, audioMasterGetSampleRate, 0, 0), 44100) << "44100.4 Hz rounds down";
    plugIn->setSampleRate(44100.5f);
    EXPECT_EQ(callHost(control, audioMasterGetSampleRate, 0, 0), 44101) << "44100.5 Hz rounds up";

    callHost(control, audioMasterBeginEdit, 2, 0);
    callHost(control, audioMasterAutomate, 2, 0);
    callHost(control, audioMasterEndEdit, 2, 0);
    ASSERT_EQ(host.edits().size(), 3u);
    EXPECT_EQ(host.edits()[1].kind, HostEdit::Kind::automate);
    EXPECT_EQ(host.edits()[1].value, 0.5f);

    plugIn->resume();
    EXPECT_FALSE(plugIn->wantsMidi());
    EXPECT_EQ(callHost(control, audioMasterWantMidi, 0, 0), 1);
    EXPECT_TRUE(plugIn->wantsMidi());
}

TEST(VSTPlugInAudioMaster, exceptionFromTheHostIsReportedWithoutAnAddress)
{
    TestEffectControl& control = resetTestEffect(TANDEM_TEST_EFFECT);
    ThrowingHost host;
    auto plugIn = openForTest(TANDEM_TEST_EFFECT, host);
    ASSERT_TRUE(plugIn);
    testing::internal::CaptureStderr();
    const VstIntPtr answer = callHost(control, audioMasterAutomate, 1, 0);
    const std::string output = testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(output.rfind("\n exception in VST audiomaster callback (0, 1)", 0), 0u) << output;
    EXPECT_EQ(output.find('@'), std::string::npos) << "no e-mail address in the hint: " << output;
}

TEST(VSTPlugInOperations, namesAndProgramNumbersStayInRange)
{
    TestEffectControl& control = resetTestEffect(TANDEM_TEST_EFFECT);
    control.nameLength = 100;
    control.programAnswerOffset = 50;
    PlugHost host(kTestSampleRate);
    auto plugIn = openForTest(TANDEM_TEST_EFFECT, host);
    ASSERT_TRUE(plugIn);
    char name[25];
    plugIn->getParameterName(0, name);
    EXPECT_EQ(std::string(name), std::string(24, 'N')) << "24 characters and a terminator at 24";
    const std::string exactly24(24, 'a');
    plugIn->setCurrentProgramName(exactly24.c_str());
    plugIn->getCurrentProgramName(name);
    EXPECT_EQ(std::string(name), exactly24);

    EXPECT_EQ(plugIn->getCurrentProgram(), 8) << "an answer beyond the programs is capped";
    EXPECT_EQ(createFXB(*plugIn).size(), 1160u) << "a bank walk does not stop on that answer";
}

TEST(TandemTrace, linesCarryTagAndThreadId)
{
    char expectedPrefix[64];
    std::snprintf(expectedPrefix, sizeof(expectedPrefix), "[Velmora Test](%p) ",
                  reinterpret_cast<void*>(pthread_self()));
    std::strcpy(gTraceIdentifierString, "Velmora Test");
    testing::internal::CaptureStderr();
    tandemTrace("VST setBypass: %s\n", "on");
    const std::string output = testing::internal::GetCapturedStderr();
    std::strcpy(gTraceIdentifierString, "Tandem");
    EXPECT_EQ(output, std::string(expectedPrefix) + "VST setBypass: on\n");
}

TEST(TandemExceptions, longMessageIsCutAt255Characters)
{
    const std::string longMessage(400, 'm');
    EXPECT_EQ(std::string(FormatException(longMessage.c_str()).what()), std::string(255, 'm'));
    EXPECT_STREQ(MacOSException(-43).what(), "Mac OS error code -43");
}

TEST(TandemPreconditionDeathTest, callerErrorsStopTheProcessNamingTheCheck)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto openAndCall = [](auto call) {
        resetTestEffect(TANDEM_TEST_EFFECT);
        PlugHost host(kTestSampleRate);
        call(*openForTest(TANDEM_TEST_EFFECT, host));
    };
    EXPECT_DEATH(openAndCall([](VSTPlugIn& plugIn) { plugIn.setCurrentProgram(8); }),
                 "source/tandem, line [0-9]+\\): program >= 0 && program < getProgramCount\\(\\)");
    EXPECT_DEATH(openAndCall([](VSTPlugIn& plugIn) { plugIn.setParameter(0, 1.5f); }), "value <= 1.0");
    EXPECT_DEATH(openAndCall([](VSTPlugIn& plugIn) { plugIn.suspend(); }), "resumedFlag");
}
