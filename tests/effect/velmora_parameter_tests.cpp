// The effect's parameters and programs, driven in process without a host.
#include "effect/velmora.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <utility>

namespace
{
class VelmoraTest : public ::testing::Test
{
protected:
    std::string programName()
    {
        char text[64] = {};
        effect->getProgramName(text);
        return text;
    }
    std::string display(VstInt32 index)
    {
        char text[64] = "untouched";
        effect->getParameterDisplay(index, text);
        return text;
    }

    std::unique_ptr<Velmora> effect = std::make_unique<Velmora>(nullptr);
};

// Line k's length from the single-precision formula: (s * 0.1 + 0.015) * R * 1.18^k.
double expectedLength(float size, float rate, int line)
{
    float length = (size * 0.1f + 0.015f) * rate;
    for (int k = 0; k < line; ++k)
        length = length * 1.18f;
    return length;
}
}  // namespace

TEST_F(VelmoraTest, OnlyTheCurrentNameOfAnUntouchedProgramShowsItsNumber)
{
    effect->setProgram(2);
    EXPECT_EQ(programName(), "Init 3");
    char text[64] = "untouched";
    EXPECT_TRUE(effect->getProgramNameIndexed(0, 5, text));
    EXPECT_STREQ(text, "Init");
    std::strcpy(text, "untouched");
    EXPECT_FALSE(effect->getProgramNameIndexed(0, 8, text));
    EXPECT_STREQ(text, "untouched") << "program 8 does not exist";

    char pad[] = "Pad";
    effect->setProgramName(pad);
    EXPECT_EQ(programName(), "Pad");
    char init[] = "Init";
    effect->setProgramName(init);
    EXPECT_EQ(programName(), "Init 3") << "renamed back to Init, the number shows again";
}

TEST_F(VelmoraTest, ParameterChangeStaysWithItsProgram)
{
    effect->setProgram(1);
    effect->setParameter(velmora::kSize, 0.8f);
    effect->setProgram(4);
    EXPECT_EQ(effect->getParameter(velmora::kSize), 0.5f) << "program 4 keeps its own Size";
    effect->setProgram(1);
    EXPECT_EQ(effect->getParameter(velmora::kSize), 0.8f) << "program 1 brings back the changed Size";

    effect->setProgram(8);
    effect->setProgram(-1);
    EXPECT_EQ(effect->getProgram(), 1) << "program numbers outside 0..7 change nothing";
}

TEST_F(VelmoraTest, OnOffReadsBackAsAnExactFlagAndTextsStayInTheirRoom)
{
    const std::pair<float, float> cases[] = {
        {0.3f, 1.0f}, {0.0f, 0.0f}, {-0.0f, 0.0f}, {std::numeric_limits<float>::quiet_NaN(), 1.0f}, {-2.0f, 1.0f}};
    for (const auto& [value, readBack] : cases)
    {
        effect->setParameter(velmora::kOnOff, value);
        EXPECT_EQ(effect->getParameter(velmora::kOnOff), readBack) << "on/off set to " << value;
        EXPECT_EQ(display(velmora::kOnOff), readBack == 1.0f ? "on" : "off") << "on/off set to " << value;
    }

    EXPECT_EQ(display(-1), "untouched") << "indexes outside the table write nothing";
    effect->setParameter(velmora::kDryWet, 1e30f);
    EXPECT_LT(display(velmora::kDryWet).size(), 24u) << "huge values stay within the text room";
}

TEST_F(VelmoraTest, DelaysFollowTheRateInUseWhileTheLfoStepFloorsLowRates)
{
    effect->setSampleRate(22050.0f);
    effect->suspend();
    EXPECT_EQ(effect->getLfoIncrement(), (1.0f / 44100.0f) * 0.45454547f) << "0.227 Hz at a 22050 Hz host";
    effect->setParameter(velmora::kSize, 0.5f);
    EXPECT_EQ(effect->getLineLength(0), 1433.25) << "0.065 s at 22050 Hz";

    // Hosts often set the rate and resume without a suspend between.
    effect->setSampleRate(96000.0f);
    effect->resume();
    EXPECT_EQ(effect->getLfoIncrement(), (1.0f / 96000.0f) * 0.45454547f);
    for (int line = 0; line < Velmora::kNumLines; ++line)
        EXPECT_EQ(effect->getLineLength(line), expectedLength(0.5f, 96000.0f, line))
            << "single-precision products, widened once; line " << line;
}

TEST_F(VelmoraTest, SizeOutsideItsRangeIsStoredButKeepsLinesInTheRing)
{
    const float sizes[] = {1e6f, -3.0f, std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::infinity()};
    float left[64] = {0.5f}, right[64] = {-0.25f};
    float* channels[] = {left, right};
    for (float size : sizes)
    {
        effect->setParameter(velmora::kSize, size);
        EXPECT_TRUE(std::isnan(size) || effect->getParameter(velmora::kSize) == size) << "values are not clamped";
        for (int line = 0; line < Velmora::kNumLines; ++line)
        {
            EXPECT_GE(effect->getLineLength(line), 0.0) << "Size " << size;
            EXPECT_LE(effect->getLineLength(line), velmora::WideningEngine::kPositionRing) << "Size " << size;
        }
        effect->processReplacing(channels, channels, 64);
    }
}
