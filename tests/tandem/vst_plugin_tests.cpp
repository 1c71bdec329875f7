// VSTPlugIn against the tests' own effect: loading, the audioMaster answers,
// name copying, trace lines and the stops on broken preconditions.

#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_trace.h"
#include "tandem_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <pthread.h>
#include <string>

namespace
{
VstIntPtr callHost(TestEffectControl& control, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                   void* ptr = nullptr)
{
    return control.audioMaster(control.effect, opcode, index, value, ptr, 0.0f);
}

bool sawOpcode(const TestEffectControl& control, int opcode)
{
    return std::find(control.opcodes, control.opcodes + control.opcodeCount, opcode) !=
           control.opcodes + control.opcodeCount;
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
    EXPECT_EQ(plugIn->getAEffect().uniqueID, kTestEffectMachoId) << "main_macho must be used when present";
}

TEST(VSTPlugInOpening, recordWithoutMagicIsRefusedAndLeavesNothingBehind)
{
    resetTestEffect(TANDEM_TEST_EFFECT_BAD_MAGIC);
    PlugHost host(kTestSampleRate);
    CFURLRef url = CFURLCreateFromFileSystemRepresentation(
        kCFAllocatorDefault, reinterpret_cast<const UInt8*>(TANDEM_TEST_EFFECT_BAD_MAGIC),
        static_cast<CFIndex>(std::strlen(TANDEM_TEST_EFFECT_BAD_MAGIC)), false);
    CFBundleRef bundle = CFBundleCreate(kCFAllocatorDefault, url);
    CFRelease(url);
    {
        VSTPlugIn plugIn(host, bundle, kTestSampleRate, kTestBlockSize);
        CFRelease(bundle);
        try
        {
            plugIn.open();
            FAIL() << "a record without 'VstP' must not open";
        }
        catch (const TandemException& failure)
        {
            EXPECT_STREQ(failure.what(), "VST main() doesn't return object AEffect*");
        }
        EXPECT_FALSE(plugIn.isOpen());
    }
    // The global slot for the object being opened was cleared: another opens.
    TestEffectControl& control = resetTestEffect(TANDEM_TEST_EFFECT);
    auto other = openForTest(TANDEM_TEST_EFFECT, host);
    ASSERT_TRUE(other);
    EXPECT_EQ(control.versionAnswer, 2300) << "audioMasterVersion before any record exists";
    EXPECT_EQ(control.currentIdBeforeRecord, 0) << "the ID is unknown before the record exists";
}

TEST(VSTPlugInOpening, objectWhoseExecutableNeverLoadedCanBeDestroyed)
{
    const auto path = std::filesystem::temp_directory_path() / "tandem_not_an_effect.so";
    std::ofstream(path) << "not an executable";
    PlugHost host(kTestSampleRate);
    CFURLRef url = CFURLCreateFromFileSystemRepresentation(kCFAllocatorDefault,
                                                           reinterpret_cast<const UInt8*>(path.c_str()),
                                                           static_cast<CFIndex>(path.native().size()), false);
    CFBundleRef bundle = CFBundleCreate(kCFAllocatorDefault, url);
    CFRelease(url);
    ASSERT_NE(bundle, nullptr);
    {
        VSTPlugIn plugIn(host, bundle, kTestSampleRate, kTestBlockSize);
        CFRelease(bundle);
        try
        {
            plugIn.open();
            FAIL() << "a file that is no executable must not open";
        }
        catch (const TandemException& failure)
        {
            EXPECT_STREQ(failure.what(), "Could not load VST bundle executable");
        }
    }
    std::filesystem::remove(path);
}

TEST(VSTPlugInAudioMaster, answersFollowTheHostTable)
{
    TestEffectControl& control = resetTestEffect(TANDEM_TEST_EFFECT);
    PlugHost host(kTestSampleRate);
    auto plugIn = openForTest(TANDEM_TEST_EFFECT, host);
    ASSERT_TRUE(plugIn);

    EXPECT_EQ(callHost(control, audioMasterCurrentId), kTestEffectId);
    EXPECT_EQ(callHost(control, audioMasterPinConnected, 0, 0), 0) << "existing input pin counts as connected";
    EXPECT_EQ(callHost(control, audioMasterPinConnected, 5, 1), 1) << "absent output pin is not connected";
    EXPECT_EQ(callHost(control, audioMasterGetBlockSize), kTestBlockSize);
    EXPECT_EQ(callHost(control, audioMasterGetTime), reinterpret_cast<VstIntPtr>(&host.timeInfo()));
    EXPECT_EQ(callHost(control, audioMasterCanDo, 0, 0, const_cast<char*>("sendVstTimeInfo")), 1);
    EXPECT_EQ(callHost(control, audioMasterCanDo, 0, 0, const_cast<char*>("SendVstTimeInfo")), 0);
    EXPECT_EQ(callHost(control, audioMasterGetVendorVersion), kPlugHostVersion);
    char vendor[64] = {};
    EXPECT_EQ(callHost(control, audioMasterGetVendorString, 0, 0, vendor), 1);
    EXPECT_STREQ(vendor, kPlugHostVendor);
    EXPECT_EQ(callHost(control, audioMasterTempoAt), 0) << "declined callbacks answer 0";
    EXPECT_EQ(callHost(control, 77), 0) << "unknown callbacks answer 0";

    callHost(control, audioMasterBeginEdit, 2);
    control.audioMaster(control.effect, audioMasterAutomate, 2, 0, nullptr, 0.25f);
    callHost(control, audioMasterEndEdit, 2);
    ASSERT_EQ(host.edits().size(), 3u);
    EXPECT_EQ(host.edits()[1].kind, HostEdit::Kind::automate);
    EXPECT_FLOAT_EQ(host.edits()[1].value, 0.25f);

    plugIn->resume();
    EXPECT_FALSE(plugIn->wantsMidi());
    EXPECT_EQ(callHost(control, audioMasterWantMidi), 1);
    EXPECT_TRUE(plugIn->wantsMidi());
}

TEST(VSTPlugInAudioMaster, sampleRateIsRoundedToTheNearestHertz)
{
    TestEffectControl& control = resetTestEffect(TANDEM_TEST_EFFECT);
    PlugHost host(kTestSampleRate);
    auto plugIn = openForTest(TANDEM_TEST_EFFECT, host);
    ASSERT_TRUE(plugIn);
    plugIn->setSampleRate(44100.4f);
    EXPECT_EQ(callHost(control, audioMasterGetSampleRate), 44100) << "44100.4 Hz rounds down";
    plugIn->setSampleRate(44100.5f);
    EXPECT_EQ(callHost(control, audioMasterGetSampleRate), 44101) << "44100.5 Hz rounds up";
}

TEST(VSTPlugInAudioMaster, exceptionFromTheHostIsReportedWithoutAnAddress)
{
    TestEffectControl& control = resetTestEffect(TANDEM_TEST_EFFECT);
    ThrowingHost host;
    auto plugIn = openForTest(TANDEM_TEST_EFFECT, host);
    ASSERT_TRUE(plugIn);
    testing::internal::CaptureStderr();
    const VstIntPtr answer = control.audioMaster(control.effect, audioMasterAutomate, 1, 0, nullptr, 0.5f);
    const std::string output = testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(output.rfind("\n exception in VST audiomaster callback (0, 1)", 0), 0u) << output;
    EXPECT_EQ(output.find('@'), std::string::npos) << "no e-mail address in the hint: " << output;
}

TEST(VSTPlugInOperations, namesAreCutAtTwentyFourCharacters)
{
    TestEffectControl& control = resetTestEffect(TANDEM_TEST_EFFECT);
    control.nameLength = 100;
    PlugHost host(kTestSampleRate);
    auto plugIn = openForTest(TANDEM_TEST_EFFECT, host);
    ASSERT_TRUE(plugIn);
    char name[25];
    std::memset(name, 'x', sizeof(name));
    plugIn->getParameterName(0, name);
    EXPECT_EQ(std::string(name), std::string(24, 'N')) << "24 characters and a terminator at 24";

    const std::string exactly24(24, 'a');
    plugIn->setCurrentProgramName(exactly24.c_str());
    plugIn->getCurrentProgramName(name);
    EXPECT_EQ(std::string(name), exactly24);
    EXPECT_FALSE(plugIn->getProgramName(0, name)) << "an effect without indexed names answers 0";
}

TEST(VSTPlugInOperations, currentProgramAnswerIsCappedAtTheProgramCount)
{
    TestEffectControl& control = resetTestEffect(TANDEM_TEST_EFFECT);
    control.programAnswerOffset = 50;
    PlugHost host(kTestSampleRate);
    auto plugIn = openForTest(TANDEM_TEST_EFFECT, host);
    ASSERT_TRUE(plugIn);
    EXPECT_EQ(plugIn->getCurrentProgram(), 8);
    // A bank walk must not stop on the out-of-range answer.
    EXPECT_EQ(createFXB(*plugIn).size(), 1160u);
}

TEST(VSTPlugInOperations, idleSendsEditIdleOnlyWithTheEditorOpen)
{
    TestEffectControl& control = resetTestEffect(TANDEM_TEST_EFFECT);
    control.flags |= effFlagsHasEditor;
    PlugHost host(kTestSampleRate);
    {
        auto plugIn = openForTest(TANDEM_TEST_EFFECT, host);
        ASSERT_TRUE(plugIn);
        plugIn->idle();
        EXPECT_FALSE(sawOpcode(control, effEditIdle));
        int parentWindow = 0;
        // This effect refuses its editor; the flag stays set so it is closed.
        EXPECT_THROW(plugIn->openEditor(&parentWindow), TandemException);
        EXPECT_TRUE(plugIn->isEditorOpen());
        plugIn->idle();
        EXPECT_TRUE(sawOpcode(control, effEditIdle));
    }
    EXPECT_TRUE(sawOpcode(control, effEditClose)) << "destruction closes an editor that failed to open";
    EXPECT_EQ(control.opcodes[control.opcodeCount - 1], effClose);
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

using TandemPreconditionDeathTest = testing::Test;

TEST_F(TandemPreconditionDeathTest, callerErrorsStopTheProcessNamingTheCheck)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto openAndCall = [](auto call) {
        resetTestEffect(TANDEM_TEST_EFFECT);
        PlugHost host(kTestSampleRate);
        auto plugIn = openForTest(TANDEM_TEST_EFFECT, host);
        call(*plugIn);
    };
    EXPECT_DEATH(openAndCall([](VSTPlugIn& plugIn) { plugIn.setCurrentProgram(8); }),
                 "source/tandem, line [0-9]+\\): program >= 0 && program < getProgramCount\\(\\)");
    EXPECT_DEATH(openAndCall([](VSTPlugIn& plugIn) { plugIn.setParameter(0, 1.5f); }), "value <= 1.0");
    EXPECT_DEATH(openAndCall([](VSTPlugIn& plugIn) { plugIn.suspend(); }), "resumedFlag");
}
