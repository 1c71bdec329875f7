// The effect's parameters and programs, driven in process without a host.
#include "effect/velmora.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

namespace
{
std::string programName(Velmora& effect)
{
    char text[64] = {};
    effect.getProgramName(text);
    return text;
}

std::string indexedName(Velmora& effect, VstInt32 index, bool* found = nullptr)
{
    char text[64] = "untouched";
    const bool answer = effect.getProgramNameIndexed(0, index, text);
    if (found)
        *found = answer;
    return text;
}

std::string display(Velmora& effect, VstInt32 index)
{
    char text[64] = "untouched";
    effect.getParameterDisplay(index, text);
    return text;
}

std::string label(Velmora& effect, VstInt32 index)
{
    char text[64] = "untouched";
    effect.getParameterLabel(index, text);
    return text;
}

// Line k's length from the single-precision formula: (s * 0.1 + 0.015) * R * 1.18^k.
double expectedLength(float size, float rate, int line)
{
    float length = (size * 0.1f + 0.015f) * rate;
    for (int k = 0; k < line; ++k)
        length = length * 1.18f;
    return length;
}

class VelmoraTest : public ::testing::Test
{
protected:
    std::unique_ptr<Velmora> effect = std::make_unique<Velmora>(nullptr);
};
}  // namespace

TEST_F(VelmoraTest, OnlyTheCurrentNameOfAnUntouchedProgramShowsItsNumber)
{
    EXPECT_EQ(programName(*effect), "Init 1");
    effect->setProgram(2);
    EXPECT_EQ(programName(*effect), "Init 3");
    bool found = false;
    EXPECT_EQ(indexedName(*effect, 5, &found), "Init");
    EXPECT_TRUE(found);
    EXPECT_EQ(indexedName(*effect, 8, &found), "untouched") << "program 8 does not exist";
    EXPECT_FALSE(found);

    char pad[] = "Pad";
    effect->setProgramName(pad);
    EXPECT_EQ(programName(*effect), "Pad");
    char init[] = "Init";
    effect->setProgramName(init);
    EXPECT_EQ(programName(*effect), "Init 3") << "renamed back to Init, the number shows again";
}

TEST_F(VelmoraTest, ParameterChangeStaysWithItsProgram)
{
    effect->setProgram(1);
    effect->setParameter(velmora::kSize, 0.8f);
    effect->setParameter(velmora::kOnOff, 0.0f);
    effect->setProgram(4);
    EXPECT_EQ(effect->getParameter(velmora::kSize), 0.5f) << "program 4 keeps its own Size";
    EXPECT_EQ(effect->getParameter(velmora::kOnOff), 1.0f);
    effect->setProgram(1);
    EXPECT_EQ(effect->getParameter(velmora::kSize), 0.8f) << "program 1 brings back the changed Size";
    EXPECT_EQ(effect->getParameter(velmora::kOnOff), 0.0f);

    effect->setProgram(8);
    effect->setProgram(-1);
    EXPECT_EQ(effect->getProgram(), 1) << "program numbers outside 0..7 change nothing";
}

TEST_F(VelmoraTest, OnOffReadsBackAsAnExactFlag)
{
    const struct
    {
        float value;
        float readBack;
        const char* text;
    } cases[] = {{0.3f, 1.0f, "on"},
                 {0.0f, 0.0f, "off"},
                 {-0.0f, 0.0f, "off"},
                 {std::numeric_limits<float>::quiet_NaN(), 1.0f, "on"},
                 {-2.0f, 1.0f, "on"}};
    for (const auto& c : cases)
    {
        effect->setParameter(velmora::kOnOff, c.value);
        EXPECT_EQ(effect->getParameter(velmora::kOnOff), c.readBack) << "on/off set to " << c.value;
        EXPECT_EQ(display(*effect, velmora::kOnOff), c.text) << "on/off set to " << c.value;
    }
}

TEST_F(VelmoraTest, DisplaysNamesAndLabelsFollowTheParameterTable)
{
    effect->setParameter(velmora::kSize, 0.5f);
    effect->setParameter(velmora::kDryWet, 0.25f);
    EXPECT_EQ(display(*effect, velmora::kSize), "50.00");
    EXPECT_EQ(label(*effect, velmora::kSize), "%");
    EXPECT_EQ(display(*effect, velmora::kDryWet), "25.00");
    EXPECT_EQ(label(*effect, velmora::kDryWet), "  ");
    EXPECT_EQ(label(*effect, velmora::kOnOff), "  ");
    EXPECT_EQ(label(*effect, 7), "  ") << "indexes outside the table carry the blank label";

    char text[64] = "untouched";
    effect->getParameterName(3, text);
    EXPECT_STREQ(text, "untouched");
    effect->getParameterName(velmora::kDryWet, text);
    EXPECT_STREQ(text, "Dry/Wet");
    EXPECT_EQ(display(*effect, -1), "untouched");

    effect->setParameter(velmora::kDryWet, 1e30f);
    EXPECT_LT(display(*effect, velmora::kDryWet).size(), 24u) << "huge values stay within the text room";
}

TEST_F(VelmoraTest, DelayLengthsFollowSizeAndTheRateInUse)
{
    const double at44100[] = {2866.5, 3382.47, 3991.3145, 4709.751};
    for (int line = 0; line < Velmora::kNumLines; ++line)
        EXPECT_NEAR(effect->getLineLength(line), at44100[line], 1e-3) << "Size 0.5 at 44100 Hz, line " << line;

    effect->setSampleRate(48000.0f);
    effect->setParameter(velmora::kSize, 1.0f);
    const double at48000[] = {5520.0, 6513.5996, 7686.0474, 9069.535};
    for (int line = 0; line < Velmora::kNumLines; ++line)
    {
        EXPECT_NEAR(effect->getLineLength(line), at48000[line], 1e-3) << "Size 1 at 48000 Hz, line " << line;
        EXPECT_EQ(effect->getLineLength(line), expectedLength(1.0f, 48000.0f, line))
            << "single-precision products, widened once; line " << line;
    }
}

TEST_F(VelmoraTest, LfoStepFloorsLowRatesWhileDelaysUseTheRateItself)
{
    effect->setSampleRate(22050.0f);
    effect->suspend();
    EXPECT_EQ(effect->getLfoIncrement(), (1.0f / 44100.0f) * 0.45454547f) << "0.227 Hz at a 22050 Hz host";
    effect->setParameter(velmora::kSize, 0.5f);
    EXPECT_EQ(effect->getLineLength(0), 1433.25) << "0.065 s at 22050 Hz";

    // Hosts often set the rate and resume without a suspend between.
    effect->setSampleRate(96000.0f);
    effect->resume();
    EXPECT_EQ(effect->getLineLength(0), expectedLength(0.5f, 96000.0f, 0));
    EXPECT_EQ(effect->getLfoIncrement(), (1.0f / 96000.0f) * 0.45454547f);
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
        if (!std::isnan(size))
        {
            EXPECT_EQ(effect->getParameter(velmora::kSize), size) << "values are not clamped";
        }
        for (int line = 0; line < Velmora::kNumLines; ++line)
        {
            EXPECT_GE(effect->getLineLength(line), 0.0) << "Size " << size;
            EXPECT_LE(effect->getLineLength(line), cwaveguide::kRingSize) << "Size " << size;
        }
        effect->processReplacing(channels, channels, 64);
    }
}
