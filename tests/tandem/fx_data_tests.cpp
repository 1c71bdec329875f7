// FXP/FXB data: layouts and sizes, round trips, and malformed data that must
// fail with the documented exception without changing the effect.

#include "effect/velmora_identity.h"
#include "tandem/tandem_exceptions.h"
#include "tandem_test_support.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>

namespace
{
constexpr std::size_t kProgramRecordSize = 68;  // 56 + 4 x 3 parameters
constexpr std::size_t kBankHeaderSize = 156;
constexpr char kInvalidFormat[] = "Invalid format of FXP / FXB data";

using ProgramValues = std::vector<float>;

template <typename ExceptionType>
std::string failureOf(VSTPlugIn& plugIn, const std::vector<unsigned char>& bytes)
{
    try
    {
        load(plugIn, bytes);
    }
    catch (const ExceptionType& failure)
    {
        return failure.what();
    }
    return "(no exception of the expected class)";
}

std::string fourChars(const std::vector<unsigned char>& bytes, std::size_t offset)
{
    return std::string(bytes.begin() + static_cast<long>(offset), bytes.begin() + static_cast<long>(offset) + 4);
}

class VelmoraFxData : public testing::Test
{
protected:
    void SetUp() override
    {
        plugIn = openForTest(velmoraBundlePath(), host);
        ASSERT_TRUE(plugIn) << "the Velmora bundle (VELMORA_BUNDLE) must open";
    }

    std::vector<ProgramValues> allPrograms()
    {
        const int current = plugIn->getCurrentProgram();
        std::vector<ProgramValues> programs;
        for (int program = 0; program < velmora::kNumPrograms; ++program)
        {
            plugIn->setCurrentProgram(program);
            ProgramValues values;
            for (int index = 0; index < velmora::kNumParams; ++index)
            {
                values.push_back(plugIn->getParameter(index));
            }
            programs.push_back(values);
        }
        plugIn->setCurrentProgram(current);
        return programs;
    }

    // Distinct values in every program, so a load that misses one shows.
    void scramble(float seed)
    {
        const int current = plugIn->getCurrentProgram();
        for (int program = 0; program < velmora::kNumPrograms; ++program)
        {
            plugIn->setCurrentProgram(program);
            plugIn->setParameter(velmora::kSize, std::fmod(seed + 0.1f * static_cast<float>(program), 1.0f));
            plugIn->setParameter(velmora::kDryWet, std::fmod(seed + 0.05f * static_cast<float>(program), 1.0f));
        }
        plugIn->setCurrentProgram(current);
    }

    PlugHost host{kTestSampleRate};
    std::unique_ptr<VSTPlugIn> plugIn;
};
}  // namespace

TEST_F(VelmoraFxData, programAndBankRecordsHaveTheDocumentedLayout)
{
    const auto program = createFXP(*plugIn);
    ASSERT_EQ(program.size(), kProgramRecordSize);
    EXPECT_EQ(fourChars(program, 0), "CcnK");
    EXPECT_EQ(fieldAt(program, 4), 60) << "byte size = 68 - 8";
    EXPECT_EQ(fourChars(program, 8), "FxCk");
    EXPECT_EQ(fieldAt(program, 12), 1);
    EXPECT_EQ(fieldAt(program, 16), velmora::kUniqueId);
    EXPECT_EQ(fieldAt(program, 24), velmora::kNumParams);

    const auto bank = createFXB(*plugIn);
    ASSERT_EQ(bank.size(), 700u) << "156 + 8 x 68";
    EXPECT_EQ(fieldAt(bank, 4), 692);
    EXPECT_EQ(fourChars(bank, 8), "FxBk");
    EXPECT_EQ(fieldAt(bank, 24), velmora::kNumPrograms);
    for (std::size_t record = 0; record < 8; ++record)
    {
        EXPECT_EQ(fourChars(bank, kBankHeaderSize + record * kProgramRecordSize + 8), "FxCk") << "record " << record;
    }
}

TEST_F(VelmoraFxData, bankRoundTripRestoresEveryProgramAndKeepsTheCurrentOne)
{
    scramble(0.3f);
    plugIn->setCurrentProgram(3);
    const auto saved = allPrograms();
    const auto bank = createFXB(*plugIn);
    EXPECT_EQ(plugIn->getCurrentProgram(), 3) << "writing a bank walks the programs and returns";
    scramble(0.7f);
    EXPECT_TRUE(load(*plugIn, bank));
    EXPECT_EQ(plugIn->getCurrentProgram(), 3) << "loading a bank walks the programs and returns";
    EXPECT_EQ(allPrograms(), saved);
}

TEST_F(VelmoraFxData, programRoundTripRestoresValuesAndName)
{
    plugIn->setCurrentProgramName("Wide Hall");
    plugIn->setParameter(velmora::kSize, 0.25f);
    const auto program = createFXP(*plugIn);
    plugIn->setCurrentProgramName("Other");
    plugIn->setParameter(velmora::kSize, 0.75f);
    EXPECT_TRUE(load(*plugIn, program));
    char name[25];
    plugIn->getCurrentProgramName(name);
    EXPECT_STREQ(name, "Wide Hall");
    EXPECT_EQ(plugIn->getParameter(velmora::kSize), 0.25f);
}

TEST_F(VelmoraFxData, malformedHeadersAreRefusedBeforeAnythingChanges)
{
    scramble(0.4f);
    const auto before = allPrograms();
    const auto program = createFXP(*plugIn);
    const auto bank = createFXB(*plugIn);
    scramble(0.9f);
    const auto scrambled = allPrograms();

    auto foreignId = bank;
    setFieldAt(foreignId, 16, fourCharCode("Othr"));
    EXPECT_EQ(failureOf<FormatException>(*plugIn, foreignId), kInvalidFormat);
    auto programVersion2 = program;
    setFieldAt(programVersion2, 12, 2);
    EXPECT_EQ(failureOf<FormatException>(*plugIn, programVersion2), kInvalidFormat);
    auto shorterThanByteSize = program;
    shorterThanByteSize.pop_back();
    EXPECT_EQ(failureOf<FormatException>(*plugIn, shorterThanByteSize), kInvalidFormat);
    for (int byteSize : {std::numeric_limits<int>::max(), -8, -1})
    {
        auto badSize = program;
        setFieldAt(badSize, 4, byteSize);
        EXPECT_EQ(failureOf<FormatException>(*plugIn, badSize), kInvalidFormat) << "byte size " << byteSize;
    }
    auto negativeProgramCount = bank;
    setFieldAt(negativeProgramCount, 24, -1);
    EXPECT_EQ(failureOf<FormatException>(*plugIn, negativeProgramCount), kInvalidFormat);
    auto negativeParameterCount = program;
    setFieldAt(negativeParameterCount, 24, -3);
    EXPECT_EQ(failureOf<FormatException>(*plugIn, negativeParameterCount), kInvalidFormat);
    // Velmora keeps no chunks: chunk variants are refused, not half loaded.
    for (VstInt32 chunkMagic : {fourCharCode("FPCh"), fourCharCode("FBCh")})
    {
        auto chunkVariant = bank;
        setFieldAt(chunkVariant, 8, chunkMagic);
        EXPECT_EQ(failureOf<FormatException>(*plugIn, chunkVariant), kInvalidFormat) << std::hex << chunkMagic;
    }
    EXPECT_EQ(failureOf<EOFException>(*plugIn, {'C', 'c', 'n', 'K'}), "End of file error");
    EXPECT_EQ(allPrograms(), scrambled) << "nothing changes when the data is refused";

    auto bankVersion2 = bank;
    setFieldAt(bankVersion2, 12, 2);
    EXPECT_TRUE(load(*plugIn, bankVersion2)) << "a bank may carry version 2 over version 1 records";
    EXPECT_EQ(allPrograms(), before);
}

TEST_F(VelmoraFxData, bankCutInsideValuesKeepsTheCompleteProgramsBeforeTheCut)
{
    scramble(0.2f);
    const auto saved = allPrograms();
    auto bank = createFXB(*plugIn);
    scramble(0.6f);
    const auto scrambled = allPrograms();
    plugIn->setCurrentProgram(5);
    // Cut inside the values of program 3; the byte size agrees with the cut.
    bank.resize(kBankHeaderSize + 3 * kProgramRecordSize + 60);
    setFieldAt(bank, 4, static_cast<int>(bank.size()) - 8);
    EXPECT_EQ(failureOf<EOFException>(*plugIn, bank), "End of file error");
    EXPECT_EQ(plugIn->getCurrentProgram(), 5) << "the program current before is current again";
    const auto after = allPrograms();
    for (int program = 0; program < velmora::kNumPrograms; ++program)
    {
        EXPECT_EQ(after[program], program < 3 ? saved[program] : scrambled[program]) << "program " << program;
    }
}

TEST_F(VelmoraFxData, mismatchedDataLoadsAsFarAsItFitsAndAnswersFalse)
{
    auto program = createFXP(*plugIn);
    auto twoValues = program;
    twoValues.resize(kProgramRecordSize - 4);
    setFieldAt(twoValues, 4, static_cast<int>(twoValues.size()) - 8);
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

TEST_F(VelmoraFxData, bankProgramCountsOtherThanTheEffectsLoadWhatFits)
{
    scramble(0.1f);
    const auto saved = allPrograms();
    const auto bank = createFXB(*plugIn);
    const std::vector<unsigned char> firstRecord(bank.begin() + kBankHeaderSize,
                                                 bank.begin() + kBankHeaderSize + kProgramRecordSize);

    auto tenPrograms = bank;
    tenPrograms.insert(tenPrograms.end(), firstRecord.begin(), firstRecord.end());
    tenPrograms.insert(tenPrograms.end(), firstRecord.begin(), firstRecord.end());
    setFieldAt(tenPrograms, 4, static_cast<int>(tenPrograms.size()) - 8);
    setFieldAt(tenPrograms, 24, 10);
    scramble(0.5f);
    EXPECT_FALSE(load(*plugIn, tenPrograms));
    EXPECT_EQ(allPrograms(), saved) << "the first eight of ten programs are loaded";

    auto sixPrograms = bank;
    setFieldAt(sixPrograms, 24, 6);
    scramble(0.5f);
    const auto scrambled = allPrograms();
    EXPECT_FALSE(load(*plugIn, sixPrograms));
    const auto after = allPrograms();
    EXPECT_EQ(after[5], saved[5]);
    EXPECT_EQ(after[6], scrambled[6]) << "programs beyond the bank stay untouched";
    EXPECT_EQ(after[7], scrambled[7]);
}

TEST_F(VelmoraFxData, recordsWithExtraValuesDoNotShiftTheNextRecord)
{
    scramble(0.15f);
    const auto saved = allPrograms();
    const auto bank = createFXB(*plugIn);
    // Every record gains a fourth value that Velmora has no parameter for.
    std::vector<unsigned char> widened(bank.begin(), bank.begin() + kBankHeaderSize);
    for (std::size_t record = 0; record < 8; ++record)
    {
        const auto start = bank.begin() + static_cast<long>(kBankHeaderSize + record * kProgramRecordSize);
        widened.insert(widened.end(), start, start + kProgramRecordSize);
        widened.insert(widened.end(), {0x3f, 0x00, 0x00, 0x00});
        setFieldAt(widened, widened.size() - kProgramRecordSize - 4 + 24, 4);
    }
    setFieldAt(widened, 4, static_cast<int>(widened.size()) - 8);
    scramble(0.85f);
    EXPECT_FALSE(load(*plugIn, widened)) << "parameter counts differ";
    EXPECT_EQ(allPrograms(), saved) << "each record is found after the previous one's own values";
}
