// The component's state as hosts keep it in sessions: written in the
// documented layout, restored into fresh instances, refused when damaged.
#include "vst3/vst3_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

using namespace vst3test;

// The instance a state comes from gets its values as changes at the start of
// its first block; the one restored gets the state alone, and must sound the
// same from its first sample.
TEST(Vst3State, RestoredIntoAFreshInstanceSoundsTheSameWithNoChangeSentAfter)
{
    const StereoBuffer input = noiseInput(9000, 21);
    LoadedVst3 original;
    ASSERT_TRUE(original.loaded() && original.start());
    original.caller().addChange(kProgramId, 0, 3 / 7.0);
    original.caller().addChange(kSizeId, 0, 0.8);
    original.caller().addChange(kDryWetId, 0, 0.3);
    const StereoBuffer expected = original.render(input, {256, 100});
    const vst3host::Bytes state = original.state();

    StateRecord written;
    written.currentProgram = 3;
    written.programs[3].size = 0.8f;
    written.programs[3].dryWet = 0.3f;
    EXPECT_EQ(state, stateBytes(written)) << "the state is not in its documented layout";

    LoadedVst3 restored;
    ASSERT_TRUE(restored.loaded());
    ASSERT_EQ(restored.instance().setComponentState(state), vst3::kResultOk);
    ASSERT_EQ(restored.instance().syncController(state), vst3::kResultOk);
    ASSERT_TRUE(restored.start());
    EXPECT_EQ(largestDifference(restored.render(input, {256, 100}), expected), 0.0);
    EXPECT_EQ(restored.state(), state);
    vst3::IEditController& controller = restored.instance().controller();
    EXPECT_EQ(controller.getParamNormalized(kSizeId), 0.8f);
    EXPECT_EQ(controller.getParamNormalized(kDryWetId), 0.3f);
    EXPECT_EQ(controller.getParamNormalized(kProgramId), 3 / 7.0);

    // The controller keeps nothing of its own.
    vst3host::Bytes controllerState = {1, 2, 3};
    EXPECT_EQ(restored.instance().controllerState(controllerState), vst3::kResultOk);
    EXPECT_EQ(restored.instance().setControllerState(controllerState), vst3::kResultOk);
}

TEST(Vst3State, DamagedStatesAreRefusedAndTheInstanceKeepsWhatItHad)
{
    LoadedVst3 loaded;
    ASSERT_TRUE(loaded.loaded());
    vst3host::EffectInstance& effect = loaded.instance();
    StateRecord kept = distinctPrograms();
    kept.currentProgram = 4;
    const vst3host::Bytes good = stateBytes(kept);
    ASSERT_EQ(effect.setComponentState(good), vst3::kResultOk);
    ASSERT_EQ(effect.syncController(good), vst3::kResultOk);
    const std::vector<std::string> names = effect.programNames(kProgramListId);

    const auto changed = [&kept](auto change) {
        StateRecord record = kept;
        change(record);
        return stateBytes(record);
    };
    vst3host::Bytes garbage(good.size());
    const std::vector<float> noise = testsupport::noise(garbage.size(), 5);
    for (std::size_t index = 0; index < garbage.size(); ++index)
        garbage[index] = static_cast<std::uint8_t>((noise[index] + 0.5f) * 255.0f);
    std::copy_n(good.begin(), 8, garbage.begin());  // behind the mark and version
    vst3host::Bytes wrongMark = good;
    wrongMark[3] = 'X';
    vst3host::Bytes unterminatedName = good;
    std::fill_n(unterminatedName.begin() + 16 + 12, 24, 'a');

    const std::pair<const char*, vst3host::Bytes> damaged[] = {
        {"empty", {}},
        {"the mark alone", {'V', 'l', 'm', 'S'}},
        {"cut short by a byte", vst3host::Bytes(good.begin(), good.end() - 1)},
        {"version 2", changed([](StateRecord& record) { record.version = 2; })},
        {"version 0", changed([](StateRecord& record) { record.version = 0; })},
        {"another mark", wrongMark},
        {"noise behind a good header", garbage},
        {"program 8", changed([](StateRecord& record) { record.currentProgram = 8; })},
        {"program -1", changed([](StateRecord& record) { record.currentProgram = -1; })},
        {"a Size that is no number",
         changed([](StateRecord& record) { record.programs[2].size = std::numeric_limits<float>::quiet_NaN(); })},
        {"an on/off between on and off", changed([](StateRecord& record) { record.programs[6].onOff = 0.5f; })},
        {"a name without its end", unterminatedName},
    };
    for (const auto& [what, bytes] : damaged)
    {
        EXPECT_EQ(effect.setComponentState(bytes), vst3::kResultFalse) << what;
        EXPECT_EQ(effect.syncController(bytes), vst3::kResultFalse) << what;
        EXPECT_EQ(loaded.state(), good) << "the processor took part of " << what;
        EXPECT_EQ(effect.controller().getParamNormalized(kSizeId), kept.programs[4].size) << what;
        EXPECT_EQ(effect.controller().getParamNormalized(kProgramId), 4 / 7.0) << what;
        EXPECT_EQ(effect.programNames(kProgramListId), names) << what;
    }
}

// The validator's "bypass persistence": bypass set through a flush and on the
// controller, both states saved, bypass cleared, the states loaded: the
// controller reads bypass again.
TEST(Vst3State, BypassSetByAFlushIsSavedAndReadBackByTheController)
{
    LoadedVst3 loaded;
    ASSERT_TRUE(loaded.loaded() && loaded.start());
    vst3host::EffectInstance& effect = loaded.instance();
    const auto setBypass = [&](double value) {
        loaded.caller().addChange(kBypassId, 0, value);
        EXPECT_EQ(loaded.caller().flush(false), vst3::kResultOk);
        EXPECT_EQ(effect.controller().setParamNormalized(kBypassId, value), vst3::kResultOk);
    };
    setBypass(1.0);
    vst3host::Bytes component, controller;
    ASSERT_EQ(effect.componentState(component), vst3::kResultOk);
    ASSERT_EQ(effect.controllerState(controller), vst3::kResultOk);
    setBypass(0.0);
    ASSERT_EQ(effect.setComponentState(component), vst3::kResultOk);
    ASSERT_EQ(effect.syncController(component), vst3::kResultOk);
    ASSERT_EQ(effect.setControllerState(controller), vst3::kResultOk);
    EXPECT_EQ(effect.controller().getParamNormalized(kBypassId), 1.0);
}
