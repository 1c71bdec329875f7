// The controller's parameters as a host's generic editor and automation see
// them, the program list, and the two parameters the VST 2 face has no
// counterpart for: the host's bypass switch and the program choice.
#include "support/velmora_bundle.h"
#include "vst3/vst3_test_support.h"
#include "vst3host/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace vst3test;
using testsupport::ControlChange;
using testsupport::ControlValues;
using vst3host::utf8;
using Flags = vst3::ParameterInfo::ParameterFlags;

namespace
{
vst3::ParamValue programValue(int program) { return program / 7.0; }

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

float floatAt(const vst3host::Bytes& state, std::size_t offset)
{
    float value = 0.0f;
    std::memcpy(&value, state.data() + offset, sizeof value);
    return value;
}

ControlValues valuesOf(const StateRecord::Program& program)
{
    return {program.onOff != 0.0f, program.size, program.dryWet};
}
}  // namespace

TEST(Vst3Parameters, InfosFollowTheParameterTableWithBypassAndProgramAfterIt)
{
    LoadedVst3 loaded;
    ASSERT_TRUE(loaded.loaded());
    struct Expected
    {
        const char* title;
        const char* units;
        vst3::int32 stepCount;
        double defaultValue;
        vst3::int32 flags;
    };
    const Expected expected[] = {
        {"on/off", "", 1, 1.0, Flags::kCanAutomate},
        {"Size", "%", 0, 0.5, Flags::kCanAutomate},
        {"Dry/Wet", "", 0, 0.5, Flags::kCanAutomate},
        {"Bypass", "", 1, 0.0, Flags::kCanAutomate | Flags::kIsBypass},
        {"Program", "", kPrograms - 1, 0.0, Flags::kIsProgramChange | Flags::kIsList},
    };
    const std::vector<vst3::ParameterInfo> infos = loaded.instance().parameters();
    ASSERT_EQ(infos.size(), std::size(expected));
    for (vst3::ParamID id = 0; id < infos.size(); ++id)
    {
        const vst3::ParameterInfo& info = infos[id];
        SCOPED_TRACE(expected[id].title);
        EXPECT_EQ(info.id, id);
        EXPECT_EQ(utf8(info.title), expected[id].title);
        EXPECT_EQ(utf8(info.units), expected[id].units);
        EXPECT_EQ(info.stepCount, expected[id].stepCount);
        EXPECT_EQ(info.defaultNormalizedValue, expected[id].defaultValue);
        EXPECT_EQ(info.flags, expected[id].flags);
        EXPECT_EQ(info.unitId, vst3::kRootUnitId);
        EXPECT_EQ(loaded.instance().controller().getParamNormalized(id), expected[id].defaultValue);
    }
}

// The texts are the VST 2 face's, and a text typed into a host reads back to
// the value it shows; plain values are what a generic editor shows.
TEST(Vst3Parameters, TextsAreTheVst2FacesAndReadBackToTheirValues)
{
    LoadedVst3 loaded;
    ASSERT_TRUE(loaded.loaded());
    auto vst2 = testsupport::openVelmora();
    ASSERT_NE(vst2, nullptr);
    vst3host::EffectInstance& effect = loaded.instance();
    for (const vst3::ParamID id : {kOnOffId, kSizeId, kDryWetId})
        for (const double value : {0.0, 0.001, 0.123, 0.5, 0.87654, 1.0})
        {
            if (id == kOnOffId && value != 0.0 && value != 1.0)
                continue;  // a stepped parameter: between the steps the faces need not agree
            vst2->setParameter(static_cast<VstInt32>(id), static_cast<float>(value));
            const std::string text = effect.parameterText(id, value).value_or("(refused)");
            EXPECT_EQ(text, trimmed(vst2->dispatchForText(effGetParamDisplay, static_cast<VstInt32>(id))))
                << "parameter " << id << " at " << value;
            EXPECT_NEAR(effect.parameterValue(id, text).value_or(-1.0), value, 0.5e-4) << text;
        }
    EXPECT_EQ(effect.parameterText(kOnOffId, 1.0), "on");
    EXPECT_EQ(effect.parameterText(kSizeId, 0.5), "50.00");
    EXPECT_EQ(effect.parameterValue(kOnOffId, "off"), 0.0);
    EXPECT_EQ(effect.parameterValue(kBypassId, effect.parameterText(kBypassId, 1.0).value_or("")), 1.0);
    EXPECT_EQ(effect.parameterValue(kProgramId, "Init 3"), programValue(2));
    for (const char* nonsense : {"", "loud", "50 %%", "nan"})
        EXPECT_EQ(effect.parameterValue(kSizeId, nonsense), std::nullopt) << '"' << nonsense << '"';

    vst3::IEditController& controller = effect.controller();
    EXPECT_EQ(controller.normalizedParamToPlain(kSizeId, 0.5), 50.0);
    EXPECT_EQ(controller.normalizedParamToPlain(kDryWetId, 0.25), 25.0);
    EXPECT_EQ(controller.plainParamToNormalized(kSizeId, 80.0), 0.8);
    EXPECT_EQ(controller.normalizedParamToPlain(kOnOffId, 1.0), 1.0);
    EXPECT_EQ(controller.normalizedParamToPlain(kProgramId, programValue(3)), 3.0);
    EXPECT_EQ(controller.plainParamToNormalized(kProgramId, 6.0), programValue(6));
}

// A user typing 150 into Size in a host's generic editor: the host sends on
// what it gets, and a normalized value lies within 0..1.
TEST(Vst3Parameters, ValuesBeyondTheRangeGiveNoNormalizedValueOutsideIt)
{
    LoadedVst3 loaded;
    ASSERT_TRUE(loaded.loaded());
    const auto normalized = [](double value) { return value >= 0.0 && value <= 1.0; };
    for (const vst3::ParamID id : {kSizeId, kDryWetId})
        for (const double beyond : {150.0, -20.0})
        {
            const std::string text = std::to_string(static_cast<int>(beyond));
            const double typed = loaded.instance().parameterValue(id, text).value_or(0.5);
            EXPECT_TRUE(normalized(typed)) << "parameter " << id << ": \"" << text << "\" reads as " << typed;
            const double plain = loaded.instance().controller().plainParamToNormalized(id, beyond);
            EXPECT_TRUE(normalized(plain)) << "parameter " << id << ": plain " << beyond << " gives " << plain;
        }
}

TEST(Vst3Parameters, ProgramListNamesTheEightProgramsAndTheProgramParameterSelectsThem)
{
    LoadedVst3 loaded;
    ASSERT_TRUE(loaded.loaded());
    vst3host::EffectInstance& effect = loaded.instance();
    vst3::IUnitInfo* units = effect.unitInfo();
    ASSERT_NE(units, nullptr);
    ASSERT_EQ(units->getUnitCount(), 1);
    vst3::UnitInfo root{};
    ASSERT_EQ(units->getUnitInfo(0, root), vst3::kResultOk);
    EXPECT_EQ(root.id, vst3::kRootUnitId);
    EXPECT_EQ(root.parentUnitId, vst3::kNoParentUnitId);
    EXPECT_EQ(root.programListId, kProgramListId);
    ASSERT_EQ(units->getProgramListCount(), 1);
    vst3::ProgramListInfo list{};
    ASSERT_EQ(units->getProgramListInfo(0, list), vst3::kResultOk);
    EXPECT_EQ(list.id, kProgramListId);
    EXPECT_EQ(utf8(list.name), "Programs");
    EXPECT_EQ(effect.programNames(kProgramListId), (std::vector<std::string>{"Init 1", "Init 2", "Init 3", "Init 4",
                                                                             "Init 5", "Init 6", "Init 7", "Init 8"}));

    // Programs renamed and set apart through a restored state.
    const StateRecord programs = distinctPrograms();
    ASSERT_EQ(effect.setComponentState(stateBytes(programs)), vst3::kResultOk);
    ASSERT_EQ(effect.syncController(stateBytes(programs)), vst3::kResultOk);
    const std::vector<std::string> names = effect.programNames(kProgramListId);
    ASSERT_EQ(names.size(), 8u);
    EXPECT_EQ(names[5], "Program F");
    EXPECT_EQ(effect.parameterText(kProgramId, programValue(5)), "Program F");

    // Selected through the program-change parameter, a program sounds its
    // three values from the frame it is chosen, as the VST 2 face does.
    const std::vector<std::pair<std::size_t, int>> choices = {{0, 0}, {3000, 5}, {7100, 2}, {7101, 7}};
    std::vector<ControlChange> changes;
    for (const auto& [frame, program] : choices)
        changes.push_back({frame, valuesOf(programs.programs[static_cast<std::size_t>(program)])});
    const StereoBuffer input = noiseInput(12000);
    ASSERT_TRUE(loaded.start());
    auto choice = choices.begin() + 1;
    std::size_t done = 0;
    const StereoBuffer output = testsupport::renderInBlocks(input, {512}, [&](float** in, float** out, int frames) {
        for (; choice != choices.end() && choice->first < done + static_cast<std::size_t>(frames); ++choice)
            loaded.caller().addChange(kProgramId, static_cast<vst3::int32>(choice->first - done),
                                      programValue(choice->second));
        loaded.caller().process(in, 2, out, 2, frames);
        done += static_cast<std::size_t>(frames);
    });
    EXPECT_EQ(largestDifference(output, renderVst2WithChanges(input, 512, changes)), 0.0);

    // The controller shows the chosen program's values and asks the host to
    // read them again.
    effect.handler().clear();
    ASSERT_EQ(effect.controller().setParamNormalized(kProgramId, programValue(6)), vst3::kResultOk);
    EXPECT_EQ(effect.controller().getParamNormalized(kSizeId), programs.programs[6].size);
    EXPECT_EQ(effect.controller().getParamNormalized(kDryWetId), programs.programs[6].dryWet);
    EXPECT_EQ(effect.controller().getParamNormalized(kOnOffId), programs.programs[6].onOff);
    const std::vector<vst3::int32> restarts = effect.handler().restarts();
    EXPECT_TRUE(std::any_of(restarts.begin(), restarts.end(),
                            [](vst3::int32 flags) { return (flags & vst3::kParamValuesChanged) != 0; }));
}

// Bypass fades the width out as switching off does, and back in, while
// on/off keeps its value in the program and in the state.
TEST(Vst3Parameters, BypassSoundsAsSwitchingOffAndLeavesOnOffAlone)
{
    const StereoBuffer input = noiseInput(12000);
    const StereoBuffer expected = renderVst2WithChanges(
        input, 512, {{3000, {false, 0.5f, 0.5f}}, {9000, {true, 0.5f, 0.5f}}, {11000, {false, 0.5f, 0.5f}}});
    LoadedVst3 loaded;
    ASSERT_TRUE(loaded.loaded() && loaded.start());
    std::size_t done = 0;
    const StereoBuffer output = testsupport::renderInBlocks(input, {512}, [&](float** in, float** out, int frames) {
        for (const auto& [frame, bypass] : {std::pair{3000u, 1.0}, std::pair{9000u, 0.0}, std::pair{11000u, 1.0}})
            if (frame >= done && frame < done + static_cast<std::size_t>(frames))
                loaded.caller().addChange(kBypassId, static_cast<vst3::int32>(frame - done), bypass);
        loaded.caller().process(in, 2, out, 2, frames);
        done += static_cast<std::size_t>(frames);
    });
    EXPECT_EQ(largestDifference(output, expected), 0.0);

    const vst3host::Bytes state = loaded.state();
    ASSERT_EQ(state.size(), 304u);
    EXPECT_EQ(floatAt(state, 12), 1.0f) << "bypass";
    EXPECT_EQ(floatAt(state, 16), 1.0f) << "program 1's on/off";
    ASSERT_EQ(loaded.instance().syncController(state), vst3::kResultOk);
    EXPECT_EQ(loaded.instance().controller().getParamNormalized(kBypassId), 1.0);
    EXPECT_EQ(loaded.instance().controller().getParamNormalized(kOnOffId), 1.0);
}
