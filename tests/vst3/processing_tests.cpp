// Blocks as hosts hand them over: any size up to the prepared maximum, 32 or
// 64 bits, parameter changes at sample offsets, the flush without samples,
// and blocks the processor cannot use. The VST 2 face of the same build is
// the reference: the same engine must give the same samples.
#include "vst3/vst3_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vst3test;
using testsupport::ControlChange;

namespace
{
const std::vector<int> kMixedBlocks = {1, 7, 64, 1024, 333, 512, 2, 1000};
constexpr float kUntouched = 12345.0f;

// Output buffers whose every sample a render would overwrite.
struct SentinelBuffers
{
    std::vector<float> samples = std::vector<float>(4 * kMaxBlock, kUntouched);
    float* channels[3] = {samples.data(), samples.data() + 2 * kMaxBlock, samples.data() + 3 * kMaxBlock};
    bool untouched() const
    {
        return std::all_of(samples.begin(), samples.end(), [](float sample) { return sample == kUntouched; });
    }
};
}  // namespace

TEST(Vst3Processing, MixedBlockSizesGiveTheVst2FacesSamplesInAndOutOfPlace)
{
    const StereoBuffer input = noiseInput(20000);
    const StereoBuffer expected = renderVst2(input, kMixedBlocks);
    for (const bool inPlace : {false, true})
    {
        LoadedVst3 loaded;
        ASSERT_TRUE(loaded.loaded() && loaded.start());
        const StereoBuffer output = testsupport::renderInBlocks(
            input, kMixedBlocks,
            [&](float** in, float** out, int frames) {
                EXPECT_EQ(loaded.caller().process(in, 2, out, 2, frames), vst3::kResultOk);
            },
            inPlace);
        EXPECT_EQ(largestDifference(output, expected), 0.0) << (inPlace ? "in place" : "out of place");
    }
}

TEST(Vst3Processing, SixtyFourBitSamplesGiveTheVst2FacesSamples)
{
    const StereoBuffer input = noiseInput(20000);
    const StereoBuffer expected = renderVst2(input, kMixedBlocks);
    LoadedVst3 loaded;
    ASSERT_TRUE(loaded.loaded());
    ASSERT_EQ(loaded.instance().processor().canProcessSampleSize(vst3::kSample64), vst3::kResultTrue);
    ASSERT_TRUE(loaded.start(processSetup(vst3::kSample64)));
    std::vector<double> in[2] = {{input.left.begin(), input.left.end()}, {input.right.begin(), input.right.end()}};
    std::vector<double> out[2] = {std::vector<double>(input.frames()), std::vector<double>(input.frames())};
    StereoBuffer output(input.frames());
    for (std::size_t done = 0, block = 0; done < input.frames(); ++block)
    {
        const auto frames = static_cast<vst3::int32>(std::min<std::size_t>(
            static_cast<std::size_t>(kMixedBlocks[block % kMixedBlocks.size()]), input.frames() - done));
        double* inputs[] = {in[0].data() + done, in[1].data() + done};
        double* outputs[] = {out[0].data() + done, out[1].data() + done};
        ASSERT_EQ(loaded.caller().process(inputs, 2, outputs, 2, frames), vst3::kResultOk);
        done += static_cast<std::size_t>(frames);
    }
    for (std::size_t frame = 0; frame < input.frames(); ++frame)
    {
        output.left[frame] = static_cast<float>(out[0][frame]);
        output.right[frame] = static_cast<float>(out[1][frame]);
    }
    EXPECT_LE(largestDifference(output, expected), 1e-6);
}

// Changes fall inside blocks of 512, on their first and last frames, several
// in one block and in the middle of each other's glides; the VST 2 face gets
// them at the same frames by splitting its blocks there.
TEST(Vst3Processing, ChangesLandOnTheFrameTheirOffsetNames)
{
    const StereoBuffer input = noiseInput(12000);
    const std::vector<ControlChange> changes = {{0, {true, 0.25f, 0.75f}},     {700, {true, 0.75f, 0.75f}},
                                                {1023, {true, 0.75f, 0.125f}}, {1024, {false, 0.75f, 0.125f}},
                                                {1300, {true, 0.375f, 1.0f}},  {1301, {true, 0.375f, 0.0f}},
                                                {1302, {true, 0.875f, 0.5f}},  {5000, {true, 0.5f, 0.625f}},
                                                {9001, {false, 0.5f, 0.625f}}, {9002, {true, 1.0f, 0.625f}}};
    const StereoBuffer expected = renderVst2WithChanges(input, 512, changes);
    LoadedVst3 loaded;
    ASSERT_TRUE(loaded.loaded() && loaded.start());
    EXPECT_EQ(largestDifference(loaded.renderWithChanges(input, 512, changes), expected), 0.0);

    // The same changes taken at the start of their blocks sound otherwise: the
    // comparison above can tell.
    std::vector<ControlChange> atBlockStarts = changes;
    for (ControlChange& change : atBlockStarts)
        change.frame -= change.frame % 512;
    EXPECT_GT(largestDifference(renderVst2WithChanges(input, 512, atBlockStarts), expected), 1e-3);
}

// The validator's three forms of flush, and one with buffers that must stay
// as they are: each applies its changes, none touches audio.
TEST(Vst3Processing, FlushWithoutSamplesAppliesItsChangesAndTouchesNoAudio)
{
    LoadedVst3 loaded;
    ASSERT_TRUE(loaded.loaded() && loaded.start());
    vst3host::ProcessCaller& caller = loaded.caller();
    caller.addChange(kSizeId, 0, 0.875);
    EXPECT_EQ(caller.flush(false), vst3::kResultOk) << "no buses";
    caller.addChange(kDryWetId, 0, 0.25);
    EXPECT_EQ(caller.flush(true), vst3::kResultOk) << "buses of no channels";
    EXPECT_EQ(caller.flush(false), vst3::kResultOk) << "no buses, no changes";
    SentinelBuffers buffers;
    caller.addChange(kOnOffId, 0, 0.0);
    caller.addChange(kOnOffId, 0, 1.0);
    EXPECT_EQ(caller.process(buffers.channels, 2, buffers.channels + 1, 2, 0), vst3::kResultOk);
    EXPECT_TRUE(buffers.untouched());

    const StereoBuffer input = noiseInput(8000);
    const StereoBuffer output = loaded.render(input, {512});
    EXPECT_EQ(largestDifference(output, renderVst2WithChanges(input, 512, {{0, {true, 0.875f, 0.25f}}})), 0.0);
}

TEST(Vst3Processing, UnusableBlocksDoNotCrashAndWriteNothing)
{
    LoadedVst3 loaded;
    ASSERT_TRUE(loaded.loaded() && loaded.start());
    vst3host::ProcessCaller& caller = loaded.caller();
    StereoBuffer input = noiseInput(kMaxBlock + 1);
    float* nullRight[] = {input.left.data(), nullptr};
    float* three[] = {input.left.data(), input.right.data(), input.left.data()};

    struct Case
    {
        const char* what;
        float** inputs;
        vst3::int32 inputChannels;
        vst3::int32 outputChannels;
        vst3::int32 frames;
    };
    const Case cases[] = {
        {"a null input channel", nullRight, 2, 2, 256},
        {"three input channels on a stereo bus", three, 3, 2, 256},
        {"one output channel on a stereo bus", input.channels(), 2, 1, 256},
        {"a block longer than the prepared maximum", input.channels(), 2, 2, kMaxBlock + 1},
    };
    for (const Case& unusable : cases)
    {
        SentinelBuffers buffers;
        caller.process(unusable.inputs, unusable.inputChannels, buffers.channels, unusable.outputChannels,
                       unusable.frames);
        EXPECT_TRUE(buffers.untouched()) << unusable.what;
    }

    SentinelBuffers buffers;
    float* nullLeft[] = {nullptr, buffers.channels[1]};
    caller.process(input.channels(), 2, nullLeft, 2, 256);
    EXPECT_TRUE(buffers.untouched()) << "a null output channel";
    vst3::AudioBusBuffers noPointers[2] = {};
    noPointers[0].numChannels = noPointers[1].numChannels = 2;
    vst3::ProcessData data{};
    data.numSamples = 256;
    data.numInputs = data.numOutputs = 1;
    data.inputs = &noPointers[0];
    data.outputs = &noPointers[1];
    caller.process(data);
    data.outputs = nullptr;
    caller.process(data);

    // None of it reached the engine: it plays on as if they never came.
    const StereoBuffer fresh = noiseInput(4000, 3);
    EXPECT_EQ(largestDifference(loaded.render(fresh, {256}), renderVst2(fresh, {256})), 0.0);
}
