// The VST, Audio Unit and LV2 faces under one host's automation: the same
// changes at the same frames give the same samples through every face, the
// glides and crossfades included.
#include "auhost/audio_unit_instance.h"
#include "auhost/component_bundle.h"
#include "auhost/unit_renderer.h"
#include "effect/velmora_identity.h"
#include "lv2/lv2_identity.h"
#include "support/automation.h"
#include "support/scoped_variable.h"
#include "support/temporary_folder.h"
#include "support/velmora_bundle.h"

#include <gtest/gtest.h>
#include <lv2/core/lv2.h>

#include <dlfcn.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

using testsupport::ControlChange;
using testsupport::ControlValues;
using testsupport::StereoBuffer;

namespace
{
constexpr double kRate = 48000.0;
constexpr int kBlock = 512;

std::array<float, velmora::kNumParams> normalised(const ControlValues& values)
{
    std::array<float, velmora::kNumParams> parameters{};
    parameters[velmora::kOnOff] = values.on ? 1.0f : 0.0f;
    parameters[velmora::kSize] = values.size;
    parameters[velmora::kDryWet] = values.dryWet;
    return parameters;
}

// Values go in the unit's own ranges, which the Audio Unit maps back to the
// effect's 0..1.
StereoBuffer throughAudioUnit(const StereoBuffer& input, const std::vector<ControlChange>& changes)
{
    auhost::registerComponentBundle(testsupport::velmoraBundlePath());
    const auto effects = auhost::findComponents({kAudioUnitType_Effect, 0, 0, 0, 0});
    if (effects.empty())
        return StereoBuffer(0);
    auhost::AudioUnitInstance unit(effects.front().component);
    auhost::UnitRenderer renderer({&unit}, {2, kRate, kBlock});
    return testsupport::renderWithChanges(
        input, kBlock, changes,
        [&](float** in, float** out, int frames) { renderer.render(in, out, static_cast<UInt32>(frames)); },
        [&](const ControlValues& values) {
            const auto parameters = normalised(values);
            for (int index = 0; index < velmora::kNumParams; ++index)
            {
                const auhost::ParameterDescription range = unit.parameterInfo(static_cast<AudioUnitParameterID>(index));
                unit.setParameter(static_cast<AudioUnitParameterID>(index),
                                  range.minValue +
                                      parameters[static_cast<std::size_t>(index)] * (range.maxValue - range.minValue));
            }
        });
}

StereoBuffer throughLv2(const StereoBuffer& input, const std::vector<ControlChange>& changes)
{
    const std::string module = std::string(VELMORA_LV2_BUNDLE) + "/Contents/x86_64-linux/velmora.so";
    void* library = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return StereoBuffer(0);
    const auto entry = reinterpret_cast<LV2_Descriptor_Function>(dlsym(library, "lv2_descriptor"));
    const LV2_Descriptor* descriptor = entry ? entry(0) : nullptr;
    LV2_Handle instance = descriptor ? descriptor->instantiate(descriptor, kRate, VELMORA_LV2_BUNDLE, nullptr)
                                     : nullptr;
    StereoBuffer output(0);
    if (instance)
    {
        std::array<float, velmora::kNumParams> controls{};
        for (std::uint32_t port = 0; port < velmora::kNumParams; ++port)
            descriptor->connect_port(instance, port, &controls[port]);
        descriptor->activate(instance);
        output = testsupport::renderWithChanges(
            input, kBlock, changes,
            [&](float** in, float** out, int frames) {
                descriptor->connect_port(instance, velmora::lv2::kInLeft, in[0]);
                descriptor->connect_port(instance, velmora::lv2::kInRight, in[1]);
                descriptor->connect_port(instance, velmora::lv2::kOutLeft, out[0]);
                descriptor->connect_port(instance, velmora::lv2::kOutRight, out[1]);
                descriptor->run(instance, static_cast<std::uint32_t>(frames));
            },
            [&](const ControlValues& values) { controls = normalised(values); });
        descriptor->cleanup(instance);
    }
    dlclose(library);
    return output;
}

std::size_t differingSamples(const StereoBuffer& a, const StereoBuffer& b)
{
    std::size_t differing = 0;
    for (std::size_t n = 0; n < a.frames(); ++n)
        differing += (a.left[n] != b.left[n]) + (a.right[n] != b.right[n]);
    return differing;
}
}  // namespace

// Every control moves, inside blocks and during each other's glides; values
// are ones every face's range holds exactly.
TEST(FacesInMotion, EveryFaceGivesTheSameSamplesForTheSameChanges)
{
    testsupport::TemporaryFolder home;
    const testsupport::ScopedVariable userData("XDG_DATA_HOME", home.path().string());
    constexpr std::size_t kFrames = 48000;
    const StereoBuffer input(testsupport::noise(kFrames, 61), testsupport::noise(kFrames, 62));
    const std::vector<ControlChange> changes = {{0, {true, 0.25f, 0.75f}},      {4100, {true, 0.75f, 0.75f}},
                                                {4700, {true, 0.75f, 0.125f}},  {9000, {false, 0.75f, 0.125f}},
                                                {9333, {true, 0.375f, 1.0f}},   {15000, {true, 0.375f, 0.0f}},
                                                {15100, {true, 0.875f, 0.5f}},  {15200, {true, 0.5f, 0.625f}},
                                                {30001, {false, 0.5f, 0.625f}}, {30002, {true, 1.0f, 0.625f}}};

    const StereoBuffer vst = testsupport::renderVelmoraWithChanges(input, kBlock, changes, {kRate, kBlock});
    const StereoBuffer audioUnit = throughAudioUnit(input, changes);
    const StereoBuffer lv2 = throughLv2(input, changes);
    ASSERT_EQ(vst.frames(), kFrames) << "the VST face did not open";
    ASSERT_EQ(audioUnit.frames(), kFrames) << "the Audio Unit face did not open";
    ASSERT_EQ(lv2.frames(), kFrames) << "the LV2 face did not open";
    EXPECT_EQ(differingSamples(vst, audioUnit), 0u) << "Audio Unit against VST";
    EXPECT_EQ(differingSamples(vst, lv2), 0u) << "LV2 against VST";
    EXPECT_NE(differingSamples(vst, input), 0u) << "nothing was widened";
}
