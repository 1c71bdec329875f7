// The buses as a host arranges them: stereo or mono on either side, anything
// else refused with the arrangement kept; and what a mono bus carries.
#include "vst3/vst3_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

using namespace vst3test;
using vst3::SpeakerArrangement;
namespace speaker = vst3::speaker;

namespace
{
constexpr SpeakerArrangement kLeftOnly = 0x1;
constexpr SpeakerArrangement kLeftCentreRight = 0x7;
constexpr SpeakerArrangement kFiveOne = 0x3F;

std::pair<SpeakerArrangement, SpeakerArrangement> arrangement(vst3::IAudioProcessor& processor)
{
    SpeakerArrangement in = ~0ull, out = ~0ull;
    EXPECT_EQ(processor.getBusArrangement(vst3::kInput, 0, in), vst3::kResultOk);
    EXPECT_EQ(processor.getBusArrangement(vst3::kOutput, 0, out), vst3::kResultOk);
    return {in, out};
}

vst3::int32 busChannels(vst3::IComponent& component, vst3::int32 direction)
{
    vst3::BusInfo info{};
    EXPECT_EQ(component.getBusInfo(vst3::kAudio, direction, 0, info), vst3::kResultOk);
    return info.channelCount;
}

// Renders input through the arrangement, 32-bit, in mixed blocks: a mono
// input hears the left channel, a mono output comes back in both halves.
StereoBuffer renderArranged(LoadedVst3& loaded, SpeakerArrangement in, SpeakerArrangement out,
                            const StereoBuffer& input)
{
    SpeakerArrangement inputs[] = {in}, outputs[] = {out};
    EXPECT_EQ(loaded.instance().processor().setBusArrangements(inputs, 1, outputs, 1), vst3::kResultTrue);
    if (!loaded.start())
        return StereoBuffer(0);
    const int inChannels = in == speaker::kMono ? 1 : 2;
    const int outChannels = out == speaker::kMono ? 1 : 2;
    StereoBuffer output = testsupport::renderInBlocks(
        input, {100, 1, 1024, 37}, [&](float** from, float** to, int frames) {
            EXPECT_EQ(loaded.caller().process(from, inChannels, to, outChannels, frames), vst3::kResultOk);
        });
    if (outChannels == 1)
        output.right = output.left;
    return output;
}

StereoBuffer monoOf(const StereoBuffer& stereo)
{
    StereoBuffer mono(stereo.frames());
    for (std::size_t frame = 0; frame < stereo.frames(); ++frame)
        mono.left[frame] = mono.right[frame] = 0.5f * (stereo.left[frame] + stereo.right[frame]);
    return mono;
}
}  // namespace

TEST(Vst3Buses, StereoOrMonoOnEitherSideIsTakenAndAnythingElseRefusedWithTheArrangementKept)
{
    LoadedVst3 loaded;
    ASSERT_TRUE(loaded.loaded());
    vst3::IAudioProcessor& processor = loaded.instance().processor();
    vst3::IComponent& component = loaded.instance().component();
    EXPECT_EQ(component.getBusCount(vst3::kAudio, vst3::kInput), 1);
    EXPECT_EQ(component.getBusCount(vst3::kAudio, vst3::kOutput), 1);
    vst3::BusInfo main{};
    ASSERT_EQ(component.getBusInfo(vst3::kAudio, vst3::kInput, 0, main), vst3::kResultOk);
    EXPECT_EQ(main.busType, vst3::kMain);
    EXPECT_EQ(main.flags & vst3::kDefaultActive, vst3::kDefaultActive);
    EXPECT_EQ(arrangement(processor), std::pair(speaker::kStereo, speaker::kStereo)) << "stereo by default";

    for (const auto& [in, out] :
         {std::pair{speaker::kMono, speaker::kStereo}, std::pair{speaker::kStereo, speaker::kMono},
          std::pair{speaker::kMono, speaker::kMono}, std::pair{speaker::kStereo, speaker::kStereo}})
    {
        SpeakerArrangement inputs[] = {in}, outputs[] = {out};
        EXPECT_EQ(processor.setBusArrangements(inputs, 1, outputs, 1), vst3::kResultTrue) << in << " to " << out;
        EXPECT_EQ(arrangement(processor), std::pair(in, out));
        EXPECT_EQ(busChannels(component, vst3::kInput), in == speaker::kMono ? 1 : 2) << "the bus info must follow";
        EXPECT_EQ(busChannels(component, vst3::kOutput), out == speaker::kMono ? 1 : 2);
    }

    SpeakerArrangement mono[] = {speaker::kMono}, stereo[] = {speaker::kStereo};
    ASSERT_EQ(processor.setBusArrangements(mono, 1, stereo, 1), vst3::kResultTrue);
    SpeakerArrangement two[] = {speaker::kStereo, speaker::kStereo}, leftOnly[] = {kLeftOnly},
                       threeChannels[] = {kLeftCentreRight}, fiveOne[] = {kFiveOne}, empty[] = {speaker::kEmpty};
    const std::tuple<const char*, SpeakerArrangement*, vst3::int32, SpeakerArrangement*, vst3::int32> refused[] = {
        {"left alone", leftOnly, 1, stereo, 1}, {"three channels out", stereo, 1, threeChannels, 1},
        {"5.1", fiveOne, 1, fiveOne, 1},        {"empty", empty, 1, stereo, 1},
        {"two input buses", two, 2, stereo, 1}, {"no output bus", stereo, 1, nullptr, 0},
        {"no buses", nullptr, 0, nullptr, 0},
    };
    for (const auto& [what, inputs, inCount, outputs, outCount] : refused)
    {
        EXPECT_EQ(processor.setBusArrangements(inputs, inCount, outputs, outCount), vst3::kResultFalse) << what;
        EXPECT_EQ(arrangement(processor), std::pair(speaker::kMono, speaker::kStereo)) << what << " changed it";
    }
}

TEST(Vst3Buses, MonoOutputHoldsTheMonoOfTheWidenedSignalWhichIsTheInputs)
{
    const StereoBuffer input = noiseInput(6000);
    const StereoBuffer widened = renderVst2(input, {100, 1, 1024, 37});
    LoadedVst3 loaded;
    ASSERT_TRUE(loaded.loaded());
    const StereoBuffer mono = renderArranged(loaded, speaker::kStereo, speaker::kMono, input);
    EXPECT_LE(largestDifference(mono, monoOf(widened)), 1e-6);
    EXPECT_LE(largestDifference(mono, monoOf(input)), 1e-5) << "widening changed the mono sum";
    EXPECT_GT(largestDifference(widened, input), 0.01) << "nothing was widened";
}

TEST(Vst3Buses, MonoInputFeedsBothSidesOfTheWidener)
{
    const std::vector<float> signal = testsupport::sine(6000, 440.0, kRate);
    const StereoBuffer input(signal, signal);
    const StereoBuffer widened = renderVst2(input, {100, 1, 1024, 37});
    for (const SpeakerArrangement out : {speaker::kStereo, speaker::kMono})
    {
        LoadedVst3 loaded;
        ASSERT_TRUE(loaded.loaded());
        const StereoBuffer output = renderArranged(loaded, speaker::kMono, out, input);
        EXPECT_LE(largestDifference(output, out == speaker::kMono ? monoOf(widened) : widened), 1e-6)
            << (out == speaker::kMono ? "mono out" : "stereo out");
    }
}
