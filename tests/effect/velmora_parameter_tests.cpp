// The effect's parameters and programs, driven in process without a host.
#include "effect/velmora.h"
#include "support/signals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

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

    // After `silentFrames` of silence, the first frame at which an impulse on
    // the left comes back changed, and its value there.
    std::pair<int, float> firstEcho(int silentFrames)
    {
        testsupport::StereoBuffer silence(static_cast<std::size_t>(silentFrames) + 1);
        effect->processReplacing(silence.channels(), silence.channels(), silentFrames);
        testsupport::StereoBuffer buffer(testsupport::impulse(8192), testsupport::silence(8192));
        effect->processReplacing(buffer.channels(), buffer.channels(), 8192);
        const auto echo = std::find_if(buffer.left.begin() + 1, buffer.left.end(), [](float x) { return x != 0.0f; });
        return {static_cast<int>(echo - buffer.left.begin()), echo == buffer.left.end() ? 0.0f : *echo};
    }

    std::unique_ptr<Velmora> effect = std::make_unique<Velmora>(nullptr);
};
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

TEST_F(VelmoraTest, ProgramNumbersOutsideTheBankChangeNothing)
{
    effect->setProgram(1);
    effect->setProgram(8);
    effect->setProgram(-1);
    EXPECT_EQ(effect->getProgram(), 1);
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

// A host that sets the rate and suspends, or sets it and resumes at once, gets
// the delays of that rate; below 44000 Hz the LFO keeps its 44100 Hz step. At
// an integer delay the echo is the impulse through line 0 alone under the sine
// gain, W/2 sin(2 pi phase), with W = 0.25 at Dry/Wet 0.5.
TEST_F(VelmoraTest, TheFirstEchoFollowsTheRateInUseWhileTheLfoStepFloorsLowRates)
{
    effect->setSampleRate(22050.0f);
    effect->suspend();
    effect->setParameter(velmora::kSize, 0.85f);
    auto [frame, echo] = firstEcho(0);
    EXPECT_EQ(frame, 2205) << "0.1 s at 22050 Hz";
    EXPECT_NEAR(echo, 0.0177976, 1e-6) << "phase 0.0227 (the 22050 Hz step would give 0.0455, an echo of 0.0352)";

    // 8192 frames at 22050 Hz, then 8192 + 6240 at 96000 Hz: phase 0.1528.
    effect->setSampleRate(96000.0f);
    effect->resume();
    effect->setParameter(velmora::kSize, 0.5f);
    std::tie(frame, echo) = firstEcho(8192);
    EXPECT_EQ(frame, 6240) << "0.065 s at 96000 Hz";
    EXPECT_NEAR(echo, 0.102415, 1e-6) << "phase 0.1528";
}

// Lengths from such values clamp to what the ring holds: no read leaves it
// (the sanitizer build sees one that does), the output stays finite and the
// mono sum is kept.
TEST_F(VelmoraTest, SizeOutsideItsRangeIsStoredButKeepsReadsInTheRing)
{
    const float sizes[] = {1e6f, -3.0f, std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::infinity()};
    for (float size : sizes)
    {
        effect->setParameter(velmora::kSize, size);
        const float stored = effect->getParameter(velmora::kSize);
        EXPECT_TRUE(std::isnan(size) ? std::isnan(stored) : stored == size) << "values are not clamped: " << size;
        testsupport::StereoBuffer buffer(std::vector<float>(8192, 0.5f), std::vector<float>(8192, -0.25f));
        effect->processReplacing(buffer.channels(), buffer.channels(), 8192);
        for (std::size_t n = 0; n < buffer.frames(); ++n)
        {
            const float left = buffer.left[n], right = buffer.right[n];
            ASSERT_TRUE(std::isfinite(left) && std::isfinite(right)) << "Size " << size << ", frame " << n;
            ASSERT_NEAR(left + right, 0.25f, 1e-6f) << "Size " << size << ", frame " << n;
        }
    }
}
