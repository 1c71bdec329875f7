// Calls from the effect base to its host: arguments, how answers are read,
// and the fallbacks without a host.
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
}  // namespace

TEST(HostCalls, WithoutAHostEveryCallGivesItsFallback)
{
    SpyEffect effect(nullptr);
    EXPECT_EQ(effect.getMasterVersion(), 1);
    EXPECT_TRUE(effect.isInputConnected(0));
    EXPECT_EQ(effect.getTimeInfo(0), nullptr);
    EXPECT_EQ(effect.updateSampleRate(), 44100.0);
    char capability[] = "sizeWindow";
    EXPECT_EQ(effect.canHostDo(capability), 0);

    effect.setParameterAutomated(1, 0.25f);
    EXPECT_EQ(effect.log, (std::vector<std::string>{"setParameter 1 0.250000"})) << "the parameter is still set";
}

TEST(HostCalls, ArgumentsGoInTheirSlotsAndAnswersAreReadByTheirConventions)
{
    gCalls.clear();
    gAnswers.clear();
    SpyEffect effect(recordingHost);
    EXPECT_EQ(effect.getMasterVersion(), 1) << "a version answer of 0 reads as 1";
    gAnswers[audioMasterPinConnected] = 1;
    EXPECT_FALSE(effect.isInputConnected(0)) << "the host answers 0 for a connected pin";
    gAnswers[audioMasterGetSampleRate] = -1;
    EXPECT_EQ(effect.updateSampleRate(), 44100.0) << "a negative rate keeps the old one";
    gAnswers[audioMasterProcessEvents] = 2;
    EXPECT_FALSE(effect.sendVstEventsToHost(nullptr)) << "only an answer of exactly 1 is success";

    gCalls.clear();
    effect.setParameterAutomated(2, 0.7f);
    effect.sizeWindow(300, 200);
    effect.offlineStart(nullptr, 3, 1);
    ASSERT_EQ(gCalls.size(), 3u);
    EXPECT_EQ(effect.log, (std::vector<std::string>{"setParameter 2 0.700000"})) << "set before the host is told";
    EXPECT_EQ(gCalls[0].effect, effect.getAeffect()) << "every call passes the effect's own record";
    EXPECT_TRUE(gCalls[0].opcode == audioMasterAutomate && gCalls[0].index == 2 && gCalls[0].opt == 0.7f);
    EXPECT_TRUE(gCalls[1].index == 300 && gCalls[1].value == 200) << "width in index, height in value";
    EXPECT_TRUE(gCalls[2].index == 1 && gCalls[2].value == 3) << "new files in index, all files in value";

    gCalls.clear();
    EXPECT_FALSE(effect.openFileSelector(nullptr));
    EXPECT_FALSE(effect.getChunkFile(nullptr));
    EXPECT_TRUE(gCalls.empty()) << "null arguments are refused without asking the host";
}
