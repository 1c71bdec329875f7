// FXP/FXB parameter data with the Velmora bundle: layouts, round trips, and
// malformed data that must fail with the documented exception while the
// effect loses nothing.

#include "effect/velmora_identity.h"
#include "tandem/tandem_exceptions.h"
#include "tandem_test_support.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
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
            {
                programs[program].push_back(plugIn->getParameter(index));
            }
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
    std::unique_ptr<VSTPlugIn> plugIn = openForTest(velmoraBundlePath(), host);
};
}  // namespace

TEST_F(VelmoraFxData, programAndBankRecordsHaveTheDocumentedLayout)
{
    const auto program = createFXP(*plugIn);
    ASSERT_EQ(program.size(), kRecordSize);
    EXPECT_EQ(fieldAt(program, 0), fourCharCode("CcnK"));
    EXPECT_EQ(fieldAt(program, 4), 60) << "byte size = 68 - 8";
    EXPECT_EQ(fieldAt(program, 8), fourCharCode("FxCk"));
    EXPECT_EQ(fieldAt(program, 16), velmora::kUniqueId);
    EXPECT_EQ(fieldAt(program, 24), velmora::kNumParams);

    const auto bank = createFXB(*plugIn);
    ASSERT_EQ(bank.size(), 700u) << "156 + 8 x 68";
    EXPECT_EQ(fieldAt(bank, 4), 692);
    EXPECT_EQ(fieldAt(bank, 8), fourCharCode("FxBk"));
    EXPECT_EQ(fieldAt(bank, 24), velmora::kNumPrograms);
    EXPECT_EQ(fieldAt(bank, kBankHeaderSize + 7 * kRecordSize + 8), fourCharCode("FxCk")) << "the last record";
}

TEST_F(VelmoraFxData, roundTripsRestoreProgramsAndKeepTheCurrentOne)
{
    plugIn->setCurrentProgram(3);
    const auto saved = scramble(0.3f);
    const auto bank = createFXB(*plugIn);
    EXPECT_EQ(plugIn->getCurrentProgram(), 3) << "writing a bank walks the programs and returns";
    scramble(0.7f);
    EXPECT_TRUE(load(*plugIn, bank));
    EXPECT_EQ(plugIn->getCurrentProgram(), 3) << "loading a bank walks the programs and returns";
    EXPECT_EQ(allPrograms(), saved);

    plugIn->setCurrentProgramName("Wide Hall");
    const auto program = createFXP(*plugIn);
    plugIn->setCurrentProgramName("Other");
    scramble(0.1f);
    EXPECT_TRUE(load(*plugIn, program));
    char name[25];
    plugIn->getCurrentProgramName(name);
    EXPECT_STREQ(name, "Wide Hall");
    EXPECT_EQ(allPrograms()[3], saved[3]);
}

TEST_F(VelmoraFxData, malformedDataIsRefusedBeforeAnythingChanges)
{
    const auto program = createFXP(*plugIn);
    const auto bank = createFXB(*plugIn);
    const auto scrambled = scramble(0.9f);
    auto refusedAs = [&](const std::vector<unsigned char>& base, std::size_t offset, int value) {
        auto bytes = base;
        setFieldAt(bytes, offset, value);
        return loadFailure<FormatException>(*plugIn, bytes);
    };
    EXPECT_EQ(refusedAs(bank, 16, fourCharCode("Othr")), kInvalidFormat) << "foreign effect ID";
    EXPECT_EQ(refusedAs(program, 12, 2), kInvalidFormat) << "program record of version 2";
    for (int byteSize : {61, std::numeric_limits<int>::max(), -8})
    {
        EXPECT_EQ(refusedAs(program, 4, byteSize), kInvalidFormat) << "byte size " << byteSize;
    }
    EXPECT_EQ(refusedAs(bank, 24, -1), kInvalidFormat) << "negative program count";
    EXPECT_EQ(refusedAs(program, 24, -3), kInvalidFormat) << "negative parameter count";
    // Velmora keeps no chunks: chunk variants are refused, not half loaded.
    EXPECT_EQ(refusedAs(bank, 8, fourCharCode("FBCh")), kInvalidFormat);
    EXPECT_EQ(refusedAs(program, 8, fourCharCode("FPCh")), kInvalidFormat);
    EXPECT_EQ(loadFailure<EOFException>(*plugIn, {'C', 'c', 'n', 'K'}), "End of file error");
    EXPECT_EQ(allPrograms(), scrambled) << "nothing changes when the data is refused";
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
    {
        EXPECT_EQ(after[program], program < 3 ? saved[program] : scrambled[program]) << "program " << program;
    }
}

TEST_F(VelmoraFxData, mismatchedDataLoadsAsFarAsItFitsAndAnswersFalse)
{
    const auto program = createFXP(*plugIn);
    auto twoValues = program;
    resizeData(twoValues, kRecordSize - 4);
    setFieldAt(twoValues, 24, 2);
    plugIn->setParameter(velmora::kDryWet, 0.8f);
    EXPECT_FALSE(load(*plugIn, twoValues));
    EXPECT_EQ(plugIn->getParameter(velmora::kDryWet), 0.0f) << "a value the record lacks becomes 0.0";

    auto outOfRange = program;
    setFieldAt(outOfRange, 56 + 4 * velmora::kSize, std::bit_cast<int>(1.5f));
    setFieldAt(outOfRange, 56 + 4 * velmora::kDryWet, std::bit_cast<int>(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_FALSE(load(*plugIn, outOfRange));
    EXPECT_EQ(plugIn->getParameter(velmora::kSize), 1.0f) << "1.5 is clamped to 1.0";
    EXPECT_EQ(plugIn->getParameter(velmora::kDryWet), 0.0f) << "NaN is loaded as 0.0";
}

TEST_F(VelmoraFxData, banksOfOtherSizesLoadWhatFitsAndFindEachRecordByItsOwnCount)
{
    const auto saved = scramble(0.1f);
    const auto bank = createFXB(*plugIn);
    auto tenPrograms = bank;
    tenPrograms.insert(tenPrograms.end(), bank.end() - 2 * kRecordSize, bank.end());
    setFieldAt(tenPrograms, 4, static_cast<int>(tenPrograms.size()) - 8);
    setFieldAt(tenPrograms, 24, 10);
    scramble(0.5f);
    EXPECT_FALSE(load(*plugIn, tenPrograms));
    EXPECT_EQ(allPrograms(), saved) << "the first eight of ten programs are loaded";

    // Every record gains a fourth value that Velmora has no parameter for.
    std::vector<unsigned char> widened(bank.begin(), bank.begin() + kBankHeaderSize);
    for (std::size_t record = 0; record < 8; ++record)
    {
        const auto start = bank.begin() + static_cast<long>(kBankHeaderSize + record * kRecordSize);
        widened.insert(widened.end(), start, start + kRecordSize);
        widened.insert(widened.end(), {0x3f, 0x00, 0x00, 0x00});
        setFieldAt(widened, widened.size() - kRecordSize - 4 + 24, 4);
    }
    setFieldAt(widened, 4, static_cast<int>(widened.size()) - 8);
    scramble(0.85f);
    EXPECT_FALSE(load(*plugIn, widened)) << "parameter counts differ";
    EXPECT_EQ(allPrograms(), saved) << "each record starts after the previous one's own values";
}
