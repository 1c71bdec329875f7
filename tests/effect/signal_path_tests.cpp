// The widening path through the built bundle, driven as a host drives it.
// What it sounds like is the golden render's to keep.
#include "effect/velmora_identity.h"
#include "support/signals.h"
#include "support/velmora_bundle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using testsupport::StereoBuffer;

namespace
{
StereoBuffer render(vsthost::LoadedEffect& effect, const StereoBuffer& input, const std::vector<int>& blocks,
                    bool inPlace = false)
{
    return testsupport::renderInBlocks(
        input, blocks, [&](float** in, float** out, int frames) { effect.processReplacing(in, out, frames); }, inPlace);
}

StereoBuffer noiseInput(std::size_t frames)
{
    return StereoBuffer(testsupport::noise(frames, 7), testsupport::noise(frames, 11));
}
}  // namespace

// Hosts that give block size and rate in one call get the delays of that
// rate: at 48000 Hz and Size 1 line 0 delays by 0.115 s, 5520 samples.
TEST(SignalPath, BlockSizeAndRateTogetherSetTheDelays)
{
    auto effect = testsupport::openVelmora();
    ASSERT_NE(effect, nullptr);
    effect->dispatch(effSetBlockSizeAndSampleRate, 0, 512, nullptr, 48000.0f);
    effect->setParameter(velmora::kSize, 1.0f);
    const std::size_t frames = 6000;
    const StereoBuffer input(testsupport::impulse(frames), testsupport::impulse(frames));
    const StereoBuffer output = render(*effect, input, {512});
    std::size_t firstEcho = 0;
    while (firstEcho < frames && output.left[firstEcho] == input.left[firstEcho])
        ++firstEcho;
    EXPECT_EQ(firstEcho, 5520u) << "the first echo of the impulse (5070 would be the delay at 44100 Hz)";
}

TEST(SignalPath, EmptyNegativeOrMissingBlocksTouchNothing)
{
    auto probed = testsupport::openVelmora();
    auto fresh = testsupport::openVelmora();
    ASSERT_TRUE(probed && fresh);
    StereoBuffer input = noiseInput(64);
    StereoBuffer sentinel(std::vector<float>(64, 9.0f), std::vector<float>(64, 9.0f));
    probed->processReplacing(input.channels(), sentinel.channels(), 0);
    probed->processReplacing(input.channels(), sentinel.channels(), -5);
    EXPECT_EQ(sentinel.left, std::vector<float>(64, 9.0f)) << "no output is written";
    float* missingRight[] = {sentinel.left.data(), nullptr};
    probed->processReplacing(input.channels(), missingRight, 64);
    probed->processReplacing(nullptr, sentinel.channels(), 64);
    EXPECT_EQ(sentinel.left, std::vector<float>(64, 9.0f)) << "missing buffers: nothing is processed";

    // The LFO did not advance: both instances now render the same.
    const StereoBuffer longer = noiseInput(8000);
    EXPECT_EQ(render(*probed, longer, {8000}).left, render(*fresh, longer, {8000}).left);
}

// Every program, rates from 8000 to 384000 Hz, blocks of 1 to 8192 frames,
// in place and out of place: finite output, mono sum kept, both ways alike.
TEST(SignalPath, OddRatesBlocksAndInPlaceBuffersKeepTheOutputFiniteAndTheMonoSum)
{
    const double rates[] = {8000, 22050, 44100, 48000, 96000, 192000, 384000};
    const std::vector<int> blockSizes[] = {{1}, {7, 1, 3}, {64}, {1000}, {8192}};
    const StereoBuffer input = noiseInput(8192 * 2);
    for (double rate : rates)
    {
        vsthost::HostSettings settings;
        settings.sampleRate = rate;
        auto outOfPlace = testsupport::openVelmora(settings);
        auto inPlace = testsupport::openVelmora(settings);
        ASSERT_TRUE(outOfPlace && inPlace);
        for (VstInt32 program = 0; program < velmora::kNumPrograms; ++program)
        {
            outOfPlace->dispatch(effSetProgram, 0, program);
            inPlace->dispatch(effSetProgram, 0, program);
            // Programs differ only in what a host sets, so give each its own.
            const float size = static_cast<float>(program) / 7.0f;
            for (auto* effect : {outOfPlace.get(), inPlace.get()})
            {
                effect->setParameter(velmora::kSize, size);
                effect->setParameter(velmora::kDryWet, 1.0f - size);
            }
            for (const auto& blocks : blockSizes)
            {
                const StereoBuffer a = render(*outOfPlace, input, blocks);
                const StereoBuffer b = render(*inPlace, input, blocks, true);
                ASSERT_TRUE(a.left == b.left && a.right == b.right)
                    << "in place differs at " << rate << " Hz, program " << program << ", blocks of " << blocks[0];
                for (std::size_t n = 0; n < a.frames(); ++n)
                {
                    const float in = input.left[n] + input.right[n];
                    ASSERT_TRUE(std::isfinite(a.left[n]) && std::isfinite(a.right[n])) << rate << " Hz, frame " << n;
                    ASSERT_NEAR(a.left[n] + a.right[n], in, 1e-6f * (1.0f + std::fabs(in)))
                        << "mono sum changed at " << rate << " Hz, program " << program << ", frame " << n;
                }
            }
        }
    }
}
