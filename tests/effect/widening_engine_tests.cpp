// The widening engine on every instruction-set path this processor runs,
// against the one-sample-at-a-time path it replaces.
#include "effect/free_lfo.h"
#include "effect/lfo_gain_anchor.h"
#include "effect/scalar_widener.h"
#include "effect/widening_engine.h"
#include "support/automation.h"
#include "support/signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

using testsupport::StereoBuffer;

namespace
{
constexpr int kLongRun = 1 << 21;  // twice round the 2^20 positions, and the small ring many times

class EnginePath : public ::testing::TestWithParam<int>
{
protected:
    const velmora::WideningKernel& kernel() const { return velmora::wideningKernels()[GetParam()]; }
};

template <class Path>
void prepare(Path& path, float rate, float size, float dryWet, bool on = true)
{
    path.prepare(rate);
    path.setValues(on, size, dryWet);
}

template <class Path>
StereoBuffer render(Path& path, const StereoBuffer& input, const std::vector<int>& blocks, bool inPlace = false)
{
    return testsupport::renderInBlocks(
        input, blocks, [&](float** in, float** out, int frames) { path.process(in[0], in[1], out[0], out[1], frames); },
        inPlace);
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

// Within 1e-6 of the reference at every frame, and the mono sum kept to the
// rounding of the two outputs.
void expectFollows(const StereoBuffer& input, const StereoBuffer& output, const StereoBuffer& expected,
                   const std::string& context)
{
    for (std::size_t n = 0; n < input.frames(); ++n)
    {
        ASSERT_NEAR(output.left[n], expected.left[n], 1e-6) << context << ", frame " << n;
        ASSERT_NEAR(output.right[n], expected.right[n], 1e-6) << context << ", frame " << n;
        const double sumIn = static_cast<double>(input.left[n]) + input.right[n];
        const double sumOut = static_cast<double>(output.left[n]) + output.right[n];
        ASSERT_LE(std::fabs(sumOut - sumIn), 0x1p-24 * (std::fabs(output.left[n]) + std::fabs(output.right[n])))
            << "mono sum, " << context << ", frame " << n;
    }
}
}  // namespace

// Full-scale noise at Dry/Wet 1, so that every rounding difference shows at
// its largest, over 2^21 frames at every rate and Size.
TEST_P(EnginePath, FollowsTheScalarReferenceWhileTheRingWraps)
{
    const StereoBuffer input(testsupport::noise(kLongRun, 21, 1.0f), testsupport::noise(kLongRun, 22, 1.0f));
    for (float rate : {22050.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f})
        for (float size : {0.0f, 0.37f, 1.0f})
        {
            velmora::ScalarWidener reference;
            velmora::WideningEngine engine(kernel());
            prepare(reference, rate, size, 1.0f);
            prepare(engine, rate, size, 1.0f);
            expectFollows(input, render(engine, input, {512}), render(reference, input, {4096}),
                          std::to_string(rate) + " Hz, Size " + std::to_string(size));
        }
}

// Every control moving at random moments, often while a glide or a
// crossfade is still under way: the engine's chunks follow the plain path's
// frame-by-frame glides.
TEST_P(EnginePath, FollowsTheScalarReferenceWhileEveryControlMoves)
{
    constexpr std::size_t kFrames = 400000;
    const StereoBuffer input(testsupport::noise(kFrames, 41, 1.0f), testsupport::noise(kFrames, 42, 1.0f));
    std::mt19937 random(23);
    std::vector<testsupport::ControlChange> changes;
    for (std::size_t frame = 5000; frame < kFrames;
         frame += std::uniform_int_distribution<std::size_t>(1, 4000)(random))
    {
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        changes.push_back({frame, {unit(random) > 0.2f, unit(random), unit(random)}});
    }
    for (float rate : {44100.0f, 96000.0f})
    {
        const auto renderMoving = [&](auto& path) {
            path.prepare(rate);
            path.setValues(true, 0.5f, 1.0f);
            return testsupport::renderWithChanges(
                input, 700, changes,
                [&](float** in, float** out, int frames) { path.process(in[0], in[1], out[0], out[1], frames); },
                [&](const testsupport::ControlValues& values) {
                    path.setValues(values.on, values.size, values.dryWet);
                });
        };
        velmora::ScalarWidener reference;
        velmora::WideningEngine engine(kernel());
        expectFollows(input, renderMoving(engine), renderMoving(reference), std::to_string(rate) + " Hz");
    }
}

// A prepare (a host's resume, a reset) starts afresh: the values the next
// block brings sound at once, as if they had always been set, with no glide
// from the ones before.
TEST_P(EnginePath, ValuesSetAfterAPrepareSoundAtOnce)
{
    const StereoBuffer input(testsupport::noise(40000, 51), testsupport::noise(40000, 52));
    velmora::WideningEngine moved(kernel());
    velmora::WideningEngine always(kernel());
    prepare(moved, 48000.0f, 0.2f, 0.3f, false);
    prepare(always, 48000.0f, 0.9f, 0.8f);
    render(moved, input, {20000});
    render(always, input, {20000});
    moved.prepare(48000.0f);
    moved.setValues(true, 0.9f, 0.8f);
    const StereoBuffer output = render(moved, input, {512});
    const StereoBuffer expected = render(always, input, {512});
    EXPECT_TRUE(sameBits(output.left, expected.left) && sameBits(output.right, expected.right));
}

// A host that sends a Dry/Wet of NaN or infinity gets what it asked for, but
// the next finite value sounds at once rather than gliding out of it.
TEST(WideningEngine, ANonFiniteDryWetLeavesNoTraceOnceAFiniteOneFollows)
{
    const StereoBuffer input(testsupport::noise(2048, 71), testsupport::noise(2048, 72));
    for (float garbage : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()})
    {
        velmora::WideningEngine engine;
        prepare(engine, 44100.0f, 0.0f, 0.5f);
        render(engine, input, {1024});
        engine.setValues(true, 0.0f, garbage);
        render(engine, input, {1024});
        engine.setValues(true, 0.0f, 0.5f);
        const StereoBuffer output = render(engine, input, {2048});
        for (std::size_t n = 0; n < output.frames(); ++n)
            ASSERT_TRUE(std::isfinite(output.left[n]) && std::isfinite(output.right[n])) << garbage << ", frame " << n;
    }
}

TEST_P(EnginePath, BlockSplitsInPlaceOrNotGiveTheSameBits)
{
    // Past 2^20 frames, where the read positions wrap and the fraction
    // changes every few frames.
    const std::size_t frames = (1 << 20) + 12000;
    const StereoBuffer input(testsupport::noise(frames, 5), testsupport::noise(frames, 6));
    velmora::WideningEngine whole(kernel());
    prepare(whole, 48000.0f, 0.8f, 0.6f);
    const StereoBuffer expected = render(whole, input, {static_cast<int>(frames)});

    std::mt19937 random(17);
    std::vector<int> randomBlocks(977);
    for (int& block : randomBlocks)
        block = std::uniform_int_distribution<int>(1, 3000)(random);
    const std::vector<std::vector<int>> splits = {{1}, {7}, {64}, {4096}, randomBlocks};
    for (const std::vector<int>& blocks : splits)
        for (bool inPlace : {false, true})
        {
            velmora::WideningEngine split(kernel());
            prepare(split, 48000.0f, 0.8f, 0.6f);
            const StereoBuffer output = render(split, input, blocks, inPlace);
            EXPECT_TRUE(sameBits(output.left, expected.left) && sameBits(output.right, expected.right))
                << "blocks of " << blocks[0] << (blocks.size() > 1 ? " and random sizes" : "")
                << (inPlace ? ", in place" : ", out of place");
        }
}

// Off and Dry/Wet 0 hand back the input bit for bit, negative zeros
// included, while the ring keeps filling; after sound, silence comes out as
// exact zeros once the longest line has passed it.
TEST_P(EnginePath, PassesTheInputBackExactlyWhenNoWidthIsAdded)
{
    std::vector<float> left = testsupport::noise(30000, 8);
    std::vector<float> right = testsupport::noise(30000, 9);
    left[100] = -0.0f;
    right[101] = -0.0f;
    const StereoBuffer input(left, right);
    for (const auto& [on, dryWet] : {std::pair{false, 1.0f}, std::pair{true, 0.0f}})
    {
        velmora::WideningEngine engine(kernel());
        prepare(engine, 44100.0f, 0.5f, dryWet, on);
        const StereoBuffer output = render(engine, input, {333});
        EXPECT_TRUE(sameBits(output.left, input.left) && sameBits(output.right, input.right))
            << (on ? "Dry/Wet 0" : "off");
        engine.setValues(true, 0.5f, 1.0f);
        const StereoBuffer widened = render(engine, input, {64});
        EXPECT_NE(widened.left[0], input.left[0]) << "the ring kept filling: the width is there at once";
    }

    std::fill(left.begin() + 10000, left.end(), 0.0f);
    std::fill(right.begin() + 10000, right.end(), 0.0f);
    velmora::WideningEngine engine(kernel());
    prepare(engine, 44100.0f, 1.0f, 1.0f);
    const StereoBuffer output = render(engine, StereoBuffer(left, right), {256});
    // The longest line at Size 1 and 44100 Hz: 8332.64 samples.
    for (std::size_t n = 10000 + 8332 + 3; n < output.frames(); ++n)
        ASSERT_TRUE(output.left[n] == 0.0f && output.right[n] == 0.0f) << "frame " << n;
}

// The Audio Unit feeds a mono stream to both inputs from one buffer and lets
// the left output overwrite it: each side must be read before either is written.
TEST_P(EnginePath, OneBufferAsBothInputsAndAnOutputGivesWhatSeparateBuffersGive)
{
    const std::vector<float> mono = testsupport::noise(5000, 12);
    for (const auto& [on, dryWet] : {std::pair{true, 0.7f}, std::pair{false, 0.7f}})
    {
        velmora::WideningEngine separate(kernel());
        velmora::WideningEngine shared(kernel());
        prepare(separate, 48000.0f, 0.3f, dryWet, on);
        prepare(shared, 48000.0f, 0.3f, dryWet, on);
        const StereoBuffer expected = render(separate, StereoBuffer(mono, mono), {500});

        std::vector<float> buffer = mono;
        std::vector<float> right(mono.size());
        for (std::size_t done = 0; done < mono.size(); done += 500)
            shared.process(buffer.data() + done, buffer.data() + done, buffer.data() + done, right.data() + done, 500);
        EXPECT_TRUE(sameBits(buffer, expected.left) && sameBits(right, expected.right)) << (on ? "widening" : "off");
    }
}

// Each frame's LFO gain, read straight from the kernel, against the plain
// path's sin(x) / 2 of the angle x rounded to single precision, across a whole
// stretch from its anchor at the largest LFO step. A kernel that fuses the
// angle's product into the next operation, or an expansion cut short, misses
// by more than the rounding of the gains.
TEST_P(EnginePath, GainsFollowTheRoundingOfEachFramesAngle)
{
    constexpr int kFrames = velmora::WideningEngine::kChunkFrames;
    constexpr float kWetGain = 0.5f;  // Dry/Wet 1
    const float increment = velmora::freeLfoIncrement(22050.0f);
    const std::vector<float> ones(kFrames + 64, 1.0f);
    const std::vector<float> silent(kFrames, 0.0f);
    std::vector<float> mono(kFrames);
    std::vector<float> gains(kFrames);
    std::vector<float> ignored(kFrames);
    double worst = 0.0;
    for (int hundredth = 1; hundredth < 100; ++hundredth)
    {
        // A run within one binade of the phase, where the step is exact.
        const float first = static_cast<float>(hundredth) / 100.0f;
        const float step = (increment + first) - first;
        if (std::ilogb(first) != std::ilogb(first + (kFrames - 1) * step))
            continue;
        velmora::LfoGainAnchor anchor;
        for (int gain = 0; gain < 2; ++gain)
        {
            // Line 0 carries the sine gain, line 3 the cosine gain: one of
            // them reads the ones at weight 1, so the width is that gain.
            velmora::WideningChunk chunk{};
            for (const float*& taps : chunk.taps)
                taps = ones.data();
            chunk.weights[gain == 0 ? 0 : 3][0] = 1.0f;
            chunk.firstPhase = first;
            chunk.phaseStep = step;
            anchor.expand(first, kWetGain, chunk.gains);
            chunk.mono = mono.data();
            chunk.monoFrames = kFrames;
            chunk.monoWrapped = mono.data();
            chunk.wetGain = kWetGain;
            chunk.inLeft = silent.data();
            chunk.inRight = silent.data();
            chunk.outLeft = gains.data();
            chunk.outRight = ignored.data();
            chunk.frames = kFrames;
            kernel().process(chunk);

            for (int t = 0; t < kFrames; ++t)
            {
                const float phase = first + static_cast<float>(t) * step;
                const float angle = (gain == 0 ? phase : phase + 0.25f) * 6.2831855f;
                const double expected = kWetGain * 0.5f * std::sin(angle);
                worst = std::max(worst, std::fabs(gains[static_cast<std::size_t>(t)] - expected));
            }
        }
    }
    EXPECT_LE(worst, 3e-8);
}

// Only the paths this processor runs are registered: the test command fails on
// any skipped case, and a machine without AVX-512 is no fault.
std::vector<int> kernelsThisProcessorRuns()
{
    __builtin_cpu_init();  // registration runs before main
    std::vector<int> indices;
    for (int index = 0; index < velmora::kNumWideningKernels; ++index)
        if (velmora::wideningKernels()[index].isSupported())
            indices.push_back(index);
    return indices;
}

INSTANTIATE_TEST_SUITE_P(EveryInstructionSet, EnginePath, ::testing::ValuesIn(kernelsThisProcessorRuns()),
                         [](const ::testing::TestParamInfo<int>& info) {
                             std::string name = velmora::wideningKernels()[info.param].name;
                             std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
                             return name;
                         });

// A host that changes the rate between blocks: the ring grows when a rate
// needs more, and what it held stays where the lines read it (at Size 0.5
// every line reaches less far back than the smallest ring holds).
TEST(WideningEngine, ARateChangeKeepsWhatTheRingHolds)
{
    const int stretch = 20000;
    const StereoBuffer input(testsupport::noise(3 * stretch, 31), testsupport::noise(3 * stretch, 32));
    velmora::ScalarWidener reference;
    velmora::WideningEngine engine;
    StereoBuffer expected(input.frames());
    StereoBuffer output(input.frames());
    const float rates[] = {192000.0f, 48000.0f, 96000.0f};
    for (int part = 0; part < 3; ++part)
    {
        prepare(reference, rates[part], 0.5f, 1.0f);
        prepare(engine, rates[part], 0.5f, 1.0f);
        StereoBuffer source(input);
        const std::size_t offset = static_cast<std::size_t>(part * stretch);
        float** in = source.channels(offset);
        float** wanted = expected.channels(offset);
        reference.process(in[0], in[1], wanted[0], wanted[1], stretch);
        float** out = output.channels(offset);
        engine.process(in[0], in[1], out[0], out[1], stretch);
    }
    for (std::size_t n = 0; n < input.frames(); ++n)
        ASSERT_NEAR(output.left[n], expected.left[n], 1e-6) << "frame " << n;
}
