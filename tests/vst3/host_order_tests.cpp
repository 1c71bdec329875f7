// The orders in which real hosts call: each must work, and give the samples
// the usual order gives.
#include "support/velmora_bundle.h"
#include "vst3/vst3_test_support.h"

#include <gtest/gtest.h>

using namespace vst3test;
namespace speaker = vst3::speaker;

namespace
{
StereoBuffer renderMono(LoadedVst3& loaded, const StereoBuffer& input)
{
    StereoBuffer output = testsupport::renderInBlocks(input, {300, 64}, [&](float** in, float** out, int frames) {
        EXPECT_EQ(loaded.caller().process(in, 1, out, 1, frames), vst3::kResultOk);
    });
    output.right = output.left;
    return output;
}
}  // namespace

// The validator arranges the buses before setupProcessing, Ardour after it
// (and after activating the buses).
TEST(Vst3HostOrder, BusArrangementBeforeOrAfterSetupProcessingGivesTheSameSamples)
{
    const std::vector<float> signal = testsupport::noise(5000, 13);
    const StereoBuffer input(signal, signal);
    vst3::SpeakerArrangement mono[] = {speaker::kMono};
    StereoBuffer outputs[2] = {StereoBuffer(0), StereoBuffer(0)};
    for (const bool arrangeFirst : {true, false})
    {
        LoadedVst3 loaded;
        ASSERT_TRUE(loaded.loaded());
        vst3host::EffectInstance& effect = loaded.instance();
        vst3::ProcessSetup setup = processSetup();
        loaded.prepare(setup);
        const auto arrange = [&] { return effect.processor().setBusArrangements(mono, 1, mono, 1); };
        if (arrangeFirst)
        {
            ASSERT_EQ(arrange(), vst3::kResultTrue);
        }
        ASSERT_EQ(effect.processor().setupProcessing(setup), vst3::kResultOk);
        EXPECT_EQ(effect.component().activateBus(vst3::kAudio, vst3::kInput, 0, 1), vst3::kResultOk);
        EXPECT_EQ(effect.component().activateBus(vst3::kAudio, vst3::kOutput, 0, 1), vst3::kResultOk);
        if (!arrangeFirst)
        {
            ASSERT_EQ(arrange(), vst3::kResultTrue);
        }
        ASSERT_EQ(effect.component().setActive(1), vst3::kResultOk);
        ASSERT_EQ(effect.processor().setProcessing(1), vst3::kResultOk);
        outputs[arrangeFirst ? 0 : 1] = renderMono(loaded, input);
    }
    EXPECT_EQ(largestDifference(outputs[0], outputs[1]), 0.0);
    EXPECT_GT(largestDifference(outputs[0], StereoBuffer(5000)), 0.01) << "nothing came out";
}

// A scanner takes the effect apart without ever starting it; what it did must
// leave no trace on a start that follows.
TEST(Vst3HostOrder, StoppingWhatWasNeverStartedIsHarmless)
{
    LoadedVst3 loaded({}, {.connect = false, .setComponentHandler = false});
    ASSERT_TRUE(loaded.loaded());
    vst3host::EffectInstance& effect = loaded.instance();
    EXPECT_EQ(effect.processor().canProcessSampleSize(vst3::kSample32), vst3::kResultTrue);
    EXPECT_EQ(effect.processor().setProcessing(0), vst3::kResultOk);
    EXPECT_EQ(effect.component().setActive(0), vst3::kResultOk);

    const StereoBuffer input = noiseInput(5000);
    ASSERT_TRUE(loaded.start());
    EXPECT_EQ(largestDifference(loaded.render(input, {512}), renderVst2(input, {512})), 0.0);
}

// A host that never hands the factory a context nor connects the halves:
// edits still reach the processor through the host, states still restore,
// and the controller learns them through setComponentState alone.
TEST(Vst3HostOrder, WithoutHostContextOrConnectionTheEffectRendersSavesAndRestores)
{
    const vst3host::ModuleOptions noContext{.setHostContext = false};
    const vst3host::InstanceOptions unconnected{.connect = false};
    const StereoBuffer input = noiseInput(6000);
    vst3host::Bytes state;
    {
        LoadedVst3 loaded(noContext, unconnected);
        ASSERT_TRUE(loaded.loaded());
        EXPECT_FALSE(loaded.instance().connected());
        ASSERT_TRUE(loaded.start());
        loaded.caller().addChange(kSizeId, 0, 0.3);
        loaded.caller().addChange(kDryWetId, 0, 0.9);
        EXPECT_EQ(largestDifference(loaded.render(input, {512}),
                                    renderVst2WithChanges(input, 512, {{0, {true, 0.3f, 0.9f}}})),
                  0.0);
        state = loaded.state();
    }
    LoadedVst3 restored(noContext, unconnected);
    ASSERT_TRUE(restored.loaded());
    ASSERT_EQ(restored.instance().setComponentState(state), vst3::kResultOk);
    ASSERT_EQ(restored.instance().syncController(state), vst3::kResultOk);
    EXPECT_EQ(restored.instance().controller().getParamNormalized(kSizeId), 0.3f);
    EXPECT_EQ(restored.state(), state);
}

// Exporting, Ardour stops processing, deactivates and starts again: the VST 2
// face suspended and resumed at the same frame gives the same samples.
TEST(Vst3HostOrder, StopAndRestartSoundsAsTheVst2FaceSuspendedAndResumed)
{
    const StereoBuffer input = noiseInput(16 * 512);
    auto vst2 = testsupport::openVelmora({kRate, kMaxBlock});
    ASSERT_NE(vst2, nullptr);
    LoadedVst3 loaded;
    ASSERT_TRUE(loaded.loaded() && loaded.start());
    vst3host::EffectInstance& effect = loaded.instance();
    std::size_t done = 0;
    const auto process = [&](float** in, float** out, int frames) {
        vst2->processReplacing(in, out, frames);
        EXPECT_EQ(loaded.caller().process(in, 2, in, 2, frames), vst3::kResultOk);
        if ((done += static_cast<std::size_t>(frames)) != 4096)
            return;
        vst2->dispatch(effMainsChanged, 0, 0);
        vst2->dispatch(effMainsChanged, 0, 1);
        effect.processor().setProcessing(0);
        effect.component().setActive(0);
        effect.component().setActive(1);
        effect.processor().setProcessing(1);
    };
    // The VST 3 face renders in place into the source, the VST 2 face beside it.
    StereoBuffer source = input;
    StereoBuffer vst2Output(input.frames());
    for (std::size_t at = 0; at < input.frames(); at += 512)
        process(source.channels(at), vst2Output.channels(at), 512);
    EXPECT_EQ(largestDifference(source, vst2Output), 0.0);
}
