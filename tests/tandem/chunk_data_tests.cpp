// Chunk variants of FXP/FXB data, against the tests' own chunk effect.

#include "tandem/tandem_exceptions.h"
#include "tandem_test_support.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace
{
class ChunkFxData : public testing::Test
{
protected:
    void SetUp() override
    {
        plugIn = openForTest(TANDEM_TEST_EFFECT, host);
        ASSERT_TRUE(plugIn);
    }

    TestEffectControl& control = resetTestEffect(TANDEM_TEST_EFFECT);
    PlugHost host{kTestSampleRate};
    std::unique_ptr<VSTPlugIn> plugIn;
};
}  // namespace

TEST_F(ChunkFxData, chunkRecordsHaveTheDocumentedSizesAndReachTheEffectWhole)
{
    const auto program = createFXP(*plugIn);
    ASSERT_EQ(program.size(), 1060u) << "60 + 1000-byte chunk";
    EXPECT_EQ(fieldAt(program, 4), 1052);
    EXPECT_EQ(fieldAt(program, 8), fourCharCode("FPCh"));
    EXPECT_EQ(fieldAt(program, 56), 1000);
    const auto bank = createFXB(*plugIn);
    ASSERT_EQ(bank.size(), 1160u) << "160 + 1000-byte chunk";
    EXPECT_EQ(fieldAt(bank, 4), 1152);
    EXPECT_EQ(fieldAt(bank, 8), fourCharCode("FBCh"));
    EXPECT_EQ(fieldAt(bank, 156), 1000);

    EXPECT_TRUE(load(*plugIn, program));
    EXPECT_EQ(control.lastSetChunkIsPreset, 1);
    EXPECT_EQ(control.lastSetChunkSize, 1000);
    EXPECT_TRUE(std::equal(program.begin() + 60, program.end(), control.lastSetChunk));
    EXPECT_TRUE(load(*plugIn, bank));
    EXPECT_EQ(control.lastSetChunkIsPreset, 0);
    EXPECT_TRUE(std::equal(bank.begin() + 160, bank.end(), control.lastSetChunk));
}

TEST_F(ChunkFxData, chunkSizesBeyondTheDataFailWithoutReachingTheEffect)
{
    auto program = createFXP(*plugIn);
    auto bank = createFXB(*plugIn);
    plugIn->setCurrentProgramName("Kept");
    for (int chunkSize : {1001, std::numeric_limits<int>::max()})
    {
        auto longProgram = program;
        setFieldAt(longProgram, 56, chunkSize);
        EXPECT_THROW(
            try { load(*plugIn, longProgram); } catch (const EOFException& failure) {
                EXPECT_STREQ(failure.what(), "Unexpected end of file in FXP / FXB data");
                throw;
            },
            EOFException);
        auto longBank = bank;
        setFieldAt(longBank, 156, chunkSize);
        EXPECT_THROW(
            try { load(*plugIn, longBank); } catch (const EOFException& failure) {
                EXPECT_STREQ(failure.what(), "Unexpected end of file in FXB data");
                throw;
            },
            EOFException);
    }
    setFieldAt(program, 56, -4);
    EXPECT_THROW(load(*plugIn, program), FormatException) << "a negative chunk size is malformed";
    EXPECT_EQ(control.setChunkCalls, 0);
    char name[25];
    plugIn->getCurrentProgramName(name);
    EXPECT_STREQ(name, "Kept") << "a refused chunk record does not rename the program";
}

TEST_F(ChunkFxData, effectWithoutAChunkRefusesToCreateData)
{
    control.chunkSize = 0;
    unsigned long size = 99;
    try
    {
        delete[] plugIn->createFXP(size);
        FAIL() << "an effect answering 0 has no chunk";
    }
    catch (const TandemException& failure)
    {
        EXPECT_STREQ(failure.what(), "VST could not create chunk for FXP");
    }
    EXPECT_EQ(size, 0u);
    control.chunkSize = -1;
    EXPECT_THROW(delete[] plugIn->createFXB(size), TandemException) << "negative answers refuse too";
}

TEST(ParameterFxData, longProgramNameIsStoredAsItsFirst24Characters)
{
    TestEffectControl& control = resetTestEffect(TANDEM_TEST_EFFECT);
    control.flags = effFlagsCanReplacing;
    control.nameLength = 30;
    PlugHost host(kTestSampleRate);
    auto plugIn = openForTest(TANDEM_TEST_EFFECT, host);
    ASSERT_TRUE(plugIn);
    const auto program = createFXP(*plugIn);
    ASSERT_EQ(program.size(), 68u);
    EXPECT_EQ(std::string(program.begin() + 28, program.begin() + 52), std::string(24, 'P'));
    EXPECT_EQ(std::string(program.begin() + 52, program.begin() + 56), std::string(4, '\0'));
}
