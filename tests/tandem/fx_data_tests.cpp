// FXP/FXB data: what the parser finds wrong with data, then loading through
// VSTPlugIn, parameter records with the Velmora bundle, chunk records with the
// tests' own effect; malformed data fails while the effect loses nothing.

#include "effect/velmora_identity.h"
#include "tandem/tandem_exceptions.h"
#include "tandem_test_support.h"
#include "vst/fx_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace
{
constexpr std::size_t kRecordSize = 68;  // 56 + 4 x 3 parameters
constexpr std::size_t kBankHeaderSize = 156;
constexpr char kInvalidFormat[] = "Invalid format of FXP / FXB data";

using Programs = std::vector<std::vector<float>>;

class VelmoraFxData : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(plugIn) << "the Velmora bundle (VELMORA_BUNDLE) must open"; }

    Programs allPrograms()
    {
        const int current = plugIn->getCurrentProgram();
        Programs programs(velmora::kNumPrograms);
        for (int program = 0; program < velmora::kNumPrograms; ++program)
        {
            plugIn->setCurrentProgram(program);
            for (int index = 0; index < velmora::kNumParams; ++index)
                programs[program].push_back(plugIn->getParameter(index));
        }
        plugIn->setCurrentProgram(current);
        return programs;
    }

    // Distinct values in every program, so a load that misses one shows.
    Programs scramble(float seed)
    {
        const int current = plugIn->getCurrentProgram();
        for (int program = 0; program < velmora::kNumPrograms; ++program)
        {
            plugIn->setCurrentProgram(program);
            plugIn->setParameter(velmora::kSize, std::fmod(seed + 0.1f * static_cast<float>(program), 1.0f));
            plugIn->setParameter(velmora::kDryWet, std::fmod(seed + 0.05f * static_cast<float>(program), 1.0f));
        }
        plugIn->setCurrentProgram(current);
        return allPrograms();
    }

    PlugHost host{kTestSampleRate};
    std::unique_ptr<VSTPlugIn> plugIn = openForTest(std::getenv("VELMORA_BUNDLE"), host);
};

class ChunkFxData : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(plugIn); }

    FakeEffectControl& control = resetTestEffect();
    PlugHost host{kTestSampleRate};
    std::unique_ptr<VSTPlugIn> plugIn = openForTest(FAKE_EFFECT, host);
};

std::unique_ptr<VSTPlugIn> openParameterEffect(PlugHost& host, VstInt32 numPrograms)
{
    FakeEffectControl& control = resetTestEffect();
    control.flags = effFlagsCanReplacing;
    control.numPrograms = numPrograms;
    return openForTest(FAKE_EFFECT, host);
}
}  // namespace

TEST_F(VelmoraFxData, roundTripsRestoreProgramsAndKeepTheCurrentOne)
{
    plugIn->setCurrentProgram(3);
    const auto saved = scramble(0.3f);
    const auto bank = createFXB(*plugIn);
    EXPECT_EQ(fieldAt(bank, 4), 692) << "byte size = 156 + 8 x 68 - 8";
    EXPECT_EQ(plugIn->getCurrentProgram(), 3) << "writing a bank walks the programs and returns";
    scramble(0.7f);
    EXPECT_TRUE(load(*plugIn, bank));
    EXPECT_EQ(plugIn->getCurrentProgram(), 3) << "loading a bank walks the programs and returns";
    EXPECT_EQ(allPrograms(), saved);
    plugIn->setCurrentProgramName("Wide Hall");
    const auto program = createFXP(*plugIn);
    EXPECT_EQ(fieldAt(program, 4), 60) << "byte size = 56 + 4 x 3 - 8";
    plugIn->setCurrentProgramName("Other");
    scramble(0.1f);
    EXPECT_TRUE(load(*plugIn, program));
    char name[25];
    plugIn->getCurrentProgramName(name);
    EXPECT_STREQ(name, "Wide Hall");
    EXPECT_EQ(allPrograms()[3], saved[3]);
}

// The parser alone, on Velmora's own data with one field changed or the data
// cut: each fault is named, and values a receiver does not take may be absent.
TEST_F(VelmoraFxData, parserNamesWhatIsWrongWithTheData)
{
    const auto program = createFXP(*plugIn);
    const auto bank = createFXB(*plugIn);
    // As an effect of Velmora's ID without chunks and with `parameterCount` parameters takes it.
    auto faultOf = [](const std::vector<unsigned char>& bytes, int parameterCount = velmora::kNumParams) {
        fx::Data data;
        return fx::read(bytes, {velmora::kUniqueId, parameterCount, false}, data);
    };
    auto changed = [](std::vector<unsigned char> bytes, std::size_t offset, int value) {
        setFieldAt(bytes, offset, value);
        return bytes;
    };
    auto cut = [](std::vector<unsigned char> bytes, std::size_t size) {
        resizeData(bytes, size);
        return bytes;
    };
    using enum fx::Fault;
    EXPECT_EQ(faultOf({'C', 'c', 'n', 'K'}), endOfFile) << "header cut";
    EXPECT_EQ(faultOf(changed(program, 4, std::numeric_limits<int>::max())), shorterThanDeclared);
    EXPECT_EQ(faultOf(changed(program, 4, -8)), notFxData);
    EXPECT_EQ(faultOf(changed(program, 8, fourCharCode("Othr"))), unknownKind);
    EXPECT_EQ(faultOf(changed(program, 12, 2)), notFxData) << "a parameter program is of version 1";
    EXPECT_EQ(faultOf(changed(bank, 12, 2)), none) << "a bank of version 2 holding programs of version 1";
    EXPECT_EQ(faultOf(changed(program, 24, -3)), notFxData) << "negative parameter count";
    EXPECT_EQ(faultOf(changed(bank, 24, -1)), notFxData) << "negative program count";
    EXPECT_EQ(faultOf(cut(program, 60), 1), none) << "cut after the values taken";
    EXPECT_EQ(faultOf(cut(program, 48), -8), endOfFile) << "cut in the name, for a negative parameter count";
    EXPECT_EQ(faultOf(changed(bank, 8, fourCharCode("FBCh"))), chunkNotTaken);
}

TEST_F(VelmoraFxData, bankCutInsideValuesKeepsTheCompleteProgramsBeforeTheCut)
{
    const auto saved = scramble(0.2f);
    auto bank = createFXB(*plugIn);
    const auto scrambled = scramble(0.6f);
    plugIn->setCurrentProgram(5);
    resizeData(bank, kBankHeaderSize + 3 * kRecordSize + 60);  // inside program 3's values
    EXPECT_EQ(loadFailure<EOFException>(*plugIn, bank), "End of file error");
    EXPECT_EQ(plugIn->getCurrentProgram(), 5) << "the program current before is current again";
    const auto after = allPrograms();
    for (int program = 0; program < velmora::kNumPrograms; ++program)
        EXPECT_EQ(after[program], program < 3 ? saved[program] : scrambled[program]) << "program " << program;
}

TEST_F(VelmoraFxData, mismatchedDataLoadsWhatFitsAndAnswersFalse)
{
    auto outOfRange = createFXP(*plugIn);
    setFieldAt(outOfRange, 56 + 4 * velmora::kSize, std::bit_cast<int>(1.5f));
    setFieldAt(outOfRange, 56 + 4 * velmora::kDryWet, std::bit_cast<int>(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_FALSE(load(*plugIn, outOfRange));
    EXPECT_EQ(plugIn->getParameter(velmora::kSize), 1.0f) << "1.5 is clamped to 1.0";
    EXPECT_EQ(plugIn->getParameter(velmora::kDryWet), 0.0f) << "NaN is loaded as 0.0";
    const auto saved = scramble(0.1f);
    const auto bank = createFXB(*plugIn);
    // Every record gains a fourth value that Velmora has no parameter for;
    // from the last, so that the earlier ones keep their offsets.
    auto widened = bank;
    for (std::size_t start = kBankHeaderSize + 7 * kRecordSize; start >= kBankHeaderSize; start -= kRecordSize)
    {
        setFieldAt(widened, start + 24, 4);
        widened.insert(widened.begin() + static_cast<long>(start + kRecordSize), {0x3f, 0x00, 0x00, 0x00});
    }
    resizeData(widened, widened.size());
    scramble(0.85f);
    EXPECT_FALSE(load(*plugIn, widened)) << "parameter counts differ";
    EXPECT_EQ(allPrograms(), saved) << "a record with extra values: the next starts after its own count";
}

TEST_F(ChunkFxData, chunkRecordSizesCountHeaderAndChunkAndTheChunkReachesTheEffectWhole)
{
    const auto program = createFXP(*plugIn);
    ASSERT_EQ(program.size(), 1060u) << "60 + 1000-byte chunk";
    EXPECT_EQ(fieldAt(program, 4), 1052);
    const auto bank = createFXB(*plugIn);
    ASSERT_EQ(bank.size(), 1160u) << "160 + 1000-byte chunk";
    EXPECT_EQ(fieldAt(bank, 4), 1152);
    EXPECT_TRUE(load(*plugIn, program));
    EXPECT_EQ(control.lastSetChunkIsPreset, 1);
    EXPECT_EQ(control.lastSetChunkSize, 1000);
    EXPECT_TRUE(std::equal(program.begin() + 60, program.end(), control.lastSetChunk));
    EXPECT_TRUE(load(*plugIn, bank));
    EXPECT_EQ(control.lastSetChunkIsPreset, 0);
    EXPECT_TRUE(std::equal(bank.begin() + 160, bank.end(), control.lastSetChunk));
}

TEST_F(ChunkFxData, chunkSizesBeyondTheDataOrRefusedByTheEffectFailCleanly)
{
    auto program = createFXP(*plugIn);
    auto bank = createFXB(*plugIn);
    plugIn->setCurrentProgramName("Kept");
    setFieldAt(program, 56, std::numeric_limits<int>::max());
    EXPECT_EQ(loadFailure<EOFException>(*plugIn, program), "Unexpected end of file in FXP / FXB data");
    setFieldAt(bank, 156, 1001);
    EXPECT_EQ(loadFailure<EOFException>(*plugIn, bank), "Unexpected end of file in FXB data");
    setFieldAt(program, 56, -4);
    EXPECT_EQ(loadFailure<FormatException>(*plugIn, program), kInvalidFormat);
    EXPECT_EQ(control.setChunkCalls, 0);
    char name[25];
    plugIn->getCurrentProgramName(name);
    EXPECT_STREQ(name, "Kept") << "a refused chunk record does not rename the program";
    for (VstIntPtr refusal : {0, -1})
    {
        control.chunkSize = refusal;
        unsigned long size = 99;
        EXPECT_THROW(delete[] plugIn->createFXP(size), TandemException) << "chunk size answer " << refusal;
        EXPECT_EQ(size, 0u) << "no data, no size";
        EXPECT_THROW(delete[] plugIn->createFXB(size), TandemException) << "chunk size answer " << refusal;
    }
}

TEST(ParameterFxData, effectWithoutProgramsWritesAndLoadsAnEmptyBank)
{
    PlugHost host(kTestSampleRate);
    auto plugIn = openParameterEffect(host, 0);
    ASSERT_TRUE(plugIn);
    const auto bank = createFXB(*plugIn);
    EXPECT_EQ(bank.size(), 156u) << "header and reserved bytes only";
    EXPECT_TRUE(load(*plugIn, bank)) << "no program to remember or select again";
}

TEST(ParameterFxDataDeathTest, negativeProgramCountStopsInsteadOfOverrunningTheBank)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    PlugHost host(kTestSampleRate);
    EXPECT_DEATH(createFXB(*openParameterEffect(host, -1)), "effect.numPrograms >= 0");
}
