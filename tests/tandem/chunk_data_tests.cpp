// Chunk variants of FXP/FXB data, against the tests' own chunk effect.

#include "tandem/tandem_exceptions.h"
#include "tandem_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace
{
class ChunkFxData : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(plugIn); }

    TestEffectControl& control = resetTestEffect(TANDEM_TEST_EFFECT);
    PlugHost host{kTestSampleRate};
    std::unique_ptr<VSTPlugIn> plugIn = openForTest(TANDEM_TEST_EFFECT, host);
};
}  // namespace

TEST_F(ChunkFxData, chunkRecordsHaveTheDocumentedSizesAndReachTheEffectWhole)
{
    const auto program = createFXP(*plugIn);
    ASSERT_EQ(program.size(), 1060u) << "60 + 1000-byte chunk";
    EXPECT_EQ(fieldAt(program, 4), 1052);
    EXPECT_EQ(fieldAt(program, 8), fourCharCode("FPCh"));
    const auto bank = createFXB(*plugIn);
    ASSERT_EQ(bank.size(), 1160u) << "160 + 1000-byte chunk";
    EXPECT_EQ(fieldAt(bank, 4), 1152);
    EXPECT_EQ(fieldAt(bank, 8), fourCharCode("FBCh"));

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
        setFieldAt(program, 56, chunkSize);
        EXPECT_EQ(loadFailure<EOFException>(*plugIn, program), "Unexpected end of file in FXP / FXB data");
        setFieldAt(bank, 156, chunkSize);
        EXPECT_EQ(loadFailure<EOFException>(*plugIn, bank), "Unexpected end of file in FXB data");
    }
    setFieldAt(program, 56, -4);
    EXPECT_EQ(loadFailure<FormatException>(*plugIn, program), "Invalid format of FXP / FXB data");
    EXPECT_EQ(control.setChunkCalls, 0);
    char name[25];
    plugIn->getCurrentProgramName(name);
    EXPECT_STREQ(name, "Kept") << "a refused chunk record does not rename the program";
}

TEST_F(ChunkFxData, effectWithoutAChunkRefusesToCreateData)
{
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
    TestEffectControl& control = resetTestEffect(TANDEM_TEST_EFFECT);
    control.flags = effFlagsCanReplacing;
    control.numPrograms = 0;
    PlugHost host(kTestSampleRate);
    auto plugIn = openForTest(TANDEM_TEST_EFFECT, host);
    ASSERT_TRUE(plugIn);
    const auto bank = createFXB(*plugIn);
    EXPECT_EQ(bank.size(), 156u) << "header and reserved bytes only";
    EXPECT_TRUE(load(*plugIn, bank)) << "no program to remember or select again";
}

TEST(ParameterFxDataDeathTest, negativeProgramCountStopsInsteadOfOverrunningTheBank)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto writeBank = [] {
        TestEffectControl& control = resetTestEffect(TANDEM_TEST_EFFECT);
        control.flags = effFlagsCanReplacing;
        control.numPrograms = -1;
        PlugHost host(kTestSampleRate);
        auto plugIn = openForTest(TANDEM_TEST_EFFECT, host);
        createFXB(*plugIn);
    };
    EXPECT_DEATH(writeBank(), "effect.numPrograms >= 0");
}
