#include "effect/cwaveguide.h"
#include "effect/free_lfo.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace
{
constexpr int kRing = cwaveguide::kRingSize;

// Fills the whole ring, the given slots with their values, so that the write
// position is back at 0.
std::unique_ptr<cwaveguide> ringWith(const std::vector<std::pair<int, float>>& slots)
{
    std::vector<float> ring(kRing, 0.0f);
    for (const auto& [slot, value] : slots)
        ring[static_cast<std::size_t>(slot)] = value;
    auto line = std::make_unique<cwaveguide>();
    for (const float value : ring)
        line->write(value);
    return line;
}
}  // namespace

// A ramp, which the cubic follows exactly, shows the neighbours' order.
TEST(DelayLine, ReadsAcrossTheRingEndStayInsideTheRing)
{
    auto line = ringWith({{kRing - 2, 0.1f}, {kRing - 1, 0.2f}, {0, 0.3f}, {1, 0.4f}});
    ASSERT_EQ(line->getWriteIndex(), 0) << "the write position wraps after 1048576 samples";
    line->setDelay(0.75);  // read position 1048575.25
    EXPECT_NEAR(line->readHermite(), 0.225, 1e-6) << "neighbours are slots 1048574, 1048575, 0 and 1 at f = 0.25";

    line = ringWith({{kRing - 1, 1.0f}, {0, 3.0f}});
    line->setDelay(1e-9);  // position 1048575.999999999 rounds to 1048576.0f: f = 1
    EXPECT_NEAR(line->readHermite(), 3.0f, 1e-5) << "f = 1.0 returns the next sample";
    line->setDelay(1e-300);  // position is 1048576.0 itself in double precision
    EXPECT_NEAR(line->readHermite(), 3.0f, 1e-5) << "slot 1048576 is slot 0 of the ring";
}

TEST(FreeLfo, WrapsIntoTheFirstCycleAndSurvivesANanRate)
{
    EXPECT_NEAR(velmora::ProcessFreeLFO(0.99999f, 0.00002f), 0.00001f, 1e-6) << "0.99999 + 0.00002 wraps to 0.00001";
    EXPECT_EQ(velmora::freeLfoIncrement(std::numeric_limits<float>::quiet_NaN()), (1.0f / 44100.0f) * 0.45454547f)
        << "a NaN host rate leaves the LFO at its 44100 Hz step";
}
