#include "effect/cwaveguide.h"
#include "effect/free_lfo.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <vector>

namespace
{
constexpr int kRing = cwaveguide::kRingSize;

// Reads then writes once per sample, as the signal path does.
std::vector<float> run(cwaveguide& line, const std::vector<float>& input)
{
    std::vector<float> output;
    for (float sample : input)
    {
        output.push_back(line.readHermite());
        line.write(sample);
    }
    return output;
}

// Fills the ring so that the given slots hold the given values and the write
// position is back at 0.
void fillSlots(cwaveguide& line, const std::vector<std::pair<int, float>>& slots)
{
    for (int slot = 0; slot < kRing; ++slot)
    {
        float value = 0.0f;
        for (const auto& [index, sample] : slots)
            if (index == slot)
                value = sample;
        line.write(value);
    }
}

// Catmull-Rom through x0 (f = 0) and x1 (f = 1), written out independently.
double catmullRom(double xm1, double x0, double x1, double x2, double f)
{
    return x0 + 0.5 * f * (x1 - xm1) + f * f * (xm1 - 2.5 * x0 + 2.0 * x1 - 0.5 * x2) +
           f * f * f * (1.5 * (x0 - x1) + 0.5 * (x2 - xm1));
}
}  // namespace

TEST(DelayLine, IntegerLengthReturnsImpulseExactlyThatManySamplesLater)
{
    auto line = std::make_unique<cwaveguide>();
    line->setDelay(100.0);
    std::vector<float> input(200, 0.0f);
    input[0] = 1.0f;
    const auto output = run(*line, input);
    for (std::size_t n = 0; n < output.size(); ++n)
        EXPECT_EQ(output[n], n == 100 ? 1.0f : 0.0f) << "sample " << n;
}

TEST(DelayLine, HalfSampleLengthSpreadsImpulseInHermiteProportionsAcrossTheWrap)
{
    // The impulse sits in slot 0, so the first reads take neighbours from the
    // end of the ring.
    auto line = std::make_unique<cwaveguide>();
    line->setDelay(10.5);
    std::vector<float> input(20, 0.0f);
    input[0] = 1.0f;
    const auto output = run(*line, input);
    const float expected[] = {-0.0625f, 0.5625f, 0.5625f, -0.0625f};  // weights at f = 0.5
    for (std::size_t n = 0; n < output.size(); ++n)
    {
        const float weight = (n >= 9 && n <= 12) ? expected[n - 9] : 0.0f;
        EXPECT_NEAR(output[n], weight, 1e-7) << "Hermite weights at f = 0.5 are -1/16, 9/16, 9/16, -1/16; sample "
                                             << n;
    }
}

TEST(DelayLine, ReadNearTheRingEndTakesNeighboursFromTheStart)
{
    auto line = std::make_unique<cwaveguide>();
    fillSlots(*line, {{kRing - 2, 0.3f}, {kRing - 1, -0.7f}, {0, 0.9f}, {1, 0.2f}});
    ASSERT_EQ(line->getWriteIndex(), 0) << "the write position wraps after 1048576 samples";

    line->setDelay(0.75);  // read position 1048575.25
    EXPECT_NEAR(line->readHermite(), catmullRom(0.3, -0.7, 0.9, 0.2, 0.25), 1e-6)
        << "neighbours are slots 1048574, 1048575, 0 and 1 at f = 0.25";
}

TEST(DelayLine, ReadPositionRoundingUpToRingSizeStaysInside)
{
    auto line = std::make_unique<cwaveguide>();
    fillSlots(*line, {{kRing - 1, 1.0f}, {0, 3.0f}});

    line->setDelay(1e-9);  // position 1048575.999999999 rounds to 1048576.0f: f = 1
    EXPECT_NEAR(line->readHermite(), 3.0f, 1e-5) << "f = 1.0 returns the next sample";

    line->setDelay(1e-300);  // position is 1048576.0 itself in double precision
    EXPECT_NEAR(line->readHermite(), 3.0f, 1e-5) << "slot 1048576 is slot 0 of the ring";
}

TEST(FreeLfo, WrapsIntoTheFirstCycle)
{
    EXPECT_NEAR(velmora::ProcessFreeLFO(0.99999f, 0.00002f), 0.00001f, 1e-6) << "0.99999 + 0.00002 wraps to 0.00001";
    EXPECT_EQ(velmora::freeLfoIncrement(std::numeric_limits<float>::quiet_NaN()), (1.0f / 44100.0f) * 0.45454547f)
        << "a NaN host rate leaves the LFO at its 44100 Hz step";
}
