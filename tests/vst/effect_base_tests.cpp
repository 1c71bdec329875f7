// The effect base in process: opcode decoding, calls to the host (arguments,
// how answers are read, the fallbacks without a host), value-to-text
// operations and speaker-arrangement records.
#include "spy_effect.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <limits>
#include <map>
#include <string>

namespace
{
using Log = std::vector<std::string>;

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

constexpr char kGuard = '#';

// Formats into a buffer of maxLen + 1 bytes followed by guard bytes.
template <typename Format>
std::string formatted(Format format, VstInt32 maxLen = 16)
{
    char text[64];
    std::memset(text, kGuard, sizeof(text));
    format(text, maxLen);
    EXPECT_EQ(text[maxLen + 1], kGuard) << "wrote past text[maxLen]";
    return text;
}
}  // namespace

TEST(Dispatcher, UnknownOpcodesAndProgramsBeyondTheBankCallNothing)
{
    SpyEffect effect;
    for (VstInt32 opcode : {-1, 80, 1000, INT_MIN, INT_MAX})
        EXPECT_EQ(effect.dispatcher(opcode, 1, 1, nullptr, 1.0f), 0) << "opcode " << opcode;
    effect.dispatcher(effSetProgram, 0, SpyEffect::kPrograms, nullptr, 0.0f);
    effect.dispatcher(effSetProgram, 0, -2, nullptr, 0.0f);
    EXPECT_EQ(effect.log, (Log{"setProgram -2"})) << "negative numbers are the effect's to refuse";
}

TEST(Dispatcher, SuspendVuKeysAndCategoryAnswersKeepTheirSenseSignAndScale)
{
    SpyEffect effect;
    effect.dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
    effect.dispatcher(effMainsChanged, 0, 5, nullptr, 0.0f);
    EXPECT_EQ(effect.log, (Log{"suspend", "resume"})) << "only 0 suspends";

    effect.vu = -0.5f;
    EXPECT_EQ(effect.dispatcher(effGetVu, 0, 0, nullptr, 0.0f), -16383) << "-0.5 x 32767, truncated toward zero";
    effect.wantsKeys = true;
    EXPECT_EQ(effect.dispatcher(effKeysRequired, 0, 0, nullptr, 0.0f), 0) << "keys required answers 0";
    effect.category = -1;
    EXPECT_EQ(effect.dispatcher(effGetPlugCategory, 0, 0, nullptr, 0.0f), 0xFFFFFFFF) << "category is unsigned";
}

TEST(Dispatcher, EditorOpcodesNeedAnEditorAndAPlaceForTheirAnswer)
{
    SpyEffect effect;
    ERect* rect = nullptr;
    EXPECT_EQ(effect.dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), 0);
    EXPECT_EQ(effect.dispatcher(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(effect.getAeffect()->flags & effFlagsHasEditor, 0);

    auto* editor = new SpyEditor(&effect);
    effect.setEditor(editor);
    EXPECT_EQ(effect.getAeffect()->flags & effFlagsHasEditor, effFlagsHasEditor);
    EXPECT_EQ(effect.dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), 1);
    EXPECT_EQ(rect, &editor->size);
    EXPECT_EQ(effect.dispatcher(effEditGetRect, 0, 0, nullptr, 0.0f), 0) << "no place to store the rectangle";

    // Character from index, virtual key from value's low byte, modifiers from opt.
    EXPECT_EQ(effect.dispatcher(effEditKeyDown, 'a', 0x10B, nullptr, 5.7f), 1);
    EXPECT_TRUE(editor->lastKey.character == 'a' && editor->lastKey.virt == 0x0B && editor->lastKey.modifier == 5);
    EXPECT_EQ(effect.dispatcher(effEditKeyDown, 'b', 0, nullptr, 1e20f), 1);
    EXPECT_EQ(editor->lastKey.modifier, 0) << "an absurd modifier value is dropped";
}

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

TEST(ValueFormat, FloatTextsKeepEightCharactersWithTheirIntegerDigits)
{
    SpyEffect effect;
    const std::pair<float, const char*> cases[] = {
        {1.5f, "1.500000"},         {-0.25f, "-0.25000"},   {12345678.0f, "12345678."},
        {-9999999.0f, "-9999999."}, {99999999.5f, "Huge!"}, {std::numeric_limits<float>::quiet_NaN(), "Huge!"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(formatted([&, value = value](char* t, VstInt32 n) { effect.float2string(value, t, n); }), text)
            << "value " << value;
    EXPECT_EQ(formatted([&](char* t, VstInt32 n) { effect.float2string(1.5f, t, n); }, 3), "1.5")
        << "maxLen cuts the text";
}

TEST(ValueFormat, IntTextsCoverZeroAndTheMostNegativeValue)
{
    SpyEffect effect;
    const std::pair<VstInt32, const char*> cases[] = {
        {-42, "-42"}, {0, "0"}, {INT_MIN, "-2147483648"}, {99999999, "99999999"}, {123456789, "Huge!"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(formatted([&, value = value](char* t, VstInt32 n) { effect.int2string(value, t, n); }), text)
            << "value " << value;
    EXPECT_EQ(formatted([&](char* t, VstInt32 n) { effect.int2string(12345, t, n); }, 2), "12");
}

TEST(ValueFormat, UnitTextsConvertBeforeFormatting)
{
    SpyEffect effect;
    EXPECT_EQ(formatted([&](char* t, VstInt32 n) { effect.dB2string(0.0f, t, n); }), "-oo") << "no log of zero";
    EXPECT_EQ(formatted([&](char* t, VstInt32 n) { effect.Hz2string(0.0f, t, n); }), "0.000000")
        << "no division by zero";
    EXPECT_EQ(formatted([&](char* t, VstInt32 n) { effect.Hz2string(100.0f, t, n); }), "441.0000")
        << "a 100-sample period at 44100 Hz";
}

TEST(SpeakerArrangement, AllocationGivesAZeroedRecordAndMatchingCopiesIt)
{
    SpyEffect effect;
    VstSpeakerArrangement* source = nullptr;
    ASSERT_TRUE(effect.allocateArrangement(&source, 2));
    EXPECT_EQ(source->numChannels, 2);
    const auto* bytes = reinterpret_cast<const unsigned char*>(source);
    for (std::size_t offset = 8; offset < 232; ++offset)
        ASSERT_EQ(bytes[offset], 0) << "byte " << offset << " of the 232-byte record";

    source->type = 7;
    source->speakers[1].azimuth = 0.5f;
    std::memset(source->speakers[1].name, 'x', sizeof(source->speakers[1].name));  // unterminated

    VstSpeakerArrangement* copy = nullptr;
    ASSERT_TRUE(effect.allocateArrangement(&copy, 5));  // replaced by the match below
    ASSERT_TRUE(effect.matchArrangement(&copy, source));
    EXPECT_TRUE(copy->numChannels == 2 && copy->type == 7 && copy->speakers[1].azimuth == 0.5f);
    EXPECT_EQ(std::string(copy->speakers[1].name), std::string(63, 'x')) << "names keep 63 characters";

    ASSERT_TRUE(effect.matchArrangement(&copy, copy)) << "matching a record onto itself must not free it first";
    EXPECT_EQ(copy->speakers[1].azimuth, 0.5f);
    EXPECT_FALSE(effect.matchArrangement(&copy, nullptr));
    EXPECT_FALSE(effect.copySpeaker(nullptr, &source->speakers[0]));
    EXPECT_TRUE(effect.deallocateArrangement(&copy));
    EXPECT_EQ(copy, nullptr);
    EXPECT_TRUE(effect.deallocateArrangement(&source));
}
