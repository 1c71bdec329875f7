// Calls from the effect base to its host: opcodes, arguments, how answers are
// read, and the fallbacks without a host.
#include "spy_effect.h"

#include <gtest/gtest.h>

#include <map>

namespace
{
struct RecordedCall
{
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
};

std::vector<RecordedCall> gCalls;
std::map<VstInt32, VstIntPtr> gAnswers;

VstIntPtr recordingHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*, float opt)
{
    gCalls.push_back({effect, opcode, index, value, opt});
    const auto answer = gAnswers.find(opcode);
    return answer != gAnswers.end() ? answer->second : 0;
}

class HostCallTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gCalls.clear();
        gAnswers.clear();
    }
    SpyEffect effect{recordingHost};
};
}  // namespace

TEST(HostCalls, WithoutAHostEveryCallGivesItsFallback)
{
    SpyEffect effect(nullptr);
    EXPECT_EQ(effect.getMasterVersion(), 1);
    EXPECT_TRUE(effect.isInputConnected(0));
    EXPECT_EQ(effect.getTimeInfo(0), nullptr);
    EXPECT_EQ(effect.updateSampleRate(), 44100.0);
    EXPECT_EQ(effect.updateBlockSize(), 1024);
    char capability[] = "sizeWindow";
    EXPECT_EQ(effect.canHostDo(capability), 0);
    EXPECT_FALSE(effect.sizeWindow(300, 200));

    effect.setParameterAutomated(1, 0.25f);
    EXPECT_EQ(effect.log, (std::vector<std::string>{"setParameter 1 0.250000"})) << "the parameter is still set";
}

TEST_F(HostCallTest, AnswersAreReadByTheirConventions)
{
    EXPECT_EQ(effect.getMasterVersion(), 1) << "a version answer of 0 reads as 1";
    gAnswers[audioMasterPinConnected] = 1;
    EXPECT_FALSE(effect.isInputConnected(0)) << "the host answers 0 for a connected pin";
    gAnswers[audioMasterGetSampleRate] = -1;
    EXPECT_EQ(effect.updateSampleRate(), 44100.0) << "a negative rate keeps the old one";
    gAnswers[audioMasterGetSampleRate] = 48000;
    EXPECT_EQ(effect.updateSampleRate(), 48000.0);
    char capability[] = "sizeWindow";
    gAnswers[audioMasterCanDo] = -1;
    EXPECT_EQ(effect.canHostDo(capability), 1) << "any non-zero answer counts as able";
    gAnswers[audioMasterProcessEvents] = 2;
    EXPECT_FALSE(effect.sendVstEventsToHost(nullptr)) << "only an answer of exactly 1 is success";
}

TEST_F(HostCallTest, CallsCarryTheirArgumentsInTheRightSlots)
{
    effect.setParameterAutomated(2, 0.7f);
    effect.isOutputConnected(3);
    effect.sizeWindow(300, 200);
    effect.offlineStart(nullptr, 3, 1);
    ASSERT_EQ(gCalls.size(), 4u);
    EXPECT_EQ(effect.log, (std::vector<std::string>{"setParameter 2 0.700000"})) << "set before the host is told";
    EXPECT_EQ(gCalls[0].effect, effect.getAeffect()) << "every call passes the effect's own record";
    EXPECT_EQ(gCalls[0].opcode, audioMasterAutomate);
    EXPECT_EQ(gCalls[0].index, 2);
    EXPECT_EQ(gCalls[0].opt, 0.7f);
    EXPECT_EQ(gCalls[1].index, 3);
    EXPECT_EQ(gCalls[1].value, 1) << "value 1 asks about an output";
    EXPECT_EQ(gCalls[2].index, 300);
    EXPECT_EQ(gCalls[2].value, 200);
    EXPECT_EQ(gCalls[3].index, 1) << "new files in index, all files in value";
    EXPECT_EQ(gCalls[3].value, 3);

    gCalls.clear();
    EXPECT_FALSE(effect.openFileSelector(nullptr));
    EXPECT_FALSE(effect.getChunkFile(nullptr));
    EXPECT_TRUE(gCalls.empty()) << "null arguments are refused without asking the host";
}
