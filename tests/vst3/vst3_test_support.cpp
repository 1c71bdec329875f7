#include "vst3/vst3_test_support.h"

#include "support/velmora_bundle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace vst3test
{
vst3::ProcessSetup processSetup(vst3::int32 sampleSize, vst3::int32 maxBlock)
{
    return {vst3::kRealtime, sampleSize, maxBlock, kRate};
}

int LoadedVst3::liveLoads = 0;

LoadedVst3::LoadedVst3(vst3host::ModuleOptions moduleOptions, vst3host::InstanceOptions instanceOptions)
{
    std::string error;
    module = vst3host::Module::load(VELMORA_VST3_BUNDLE, error, moduleOptions);
    liveLoads += module ? 1 : 0;
    if (module)
        effect = vst3host::EffectInstance::create(*module, error, instanceOptions);
    EXPECT_NE(effect, nullptr) << "Velmora.vst3 did not load: " << error;
}

LoadedVst3::~LoadedVst3()
{
    if (audio)
    {
        effect->processor().setProcessing(0);
        effect->component().setActive(0);
        EXPECT_FALSE(audio->changesStillHeld()) << "the processor kept the host's parameter changes";
        audio.reset();
    }
    if (effect)
    {
        EXPECT_EQ(effect->close(), std::vector<std::string>{}) << "left behind by the effect";
    }
    effect.reset();
    if (!module)
        return;
    const vst3host::Unloaded unloaded = module->unload();
    if (--liveLoads == 0)
    {
        EXPECT_EQ(unloaded.factoryReferences, 0u) << "the factory outlived the host's last release";
    }
    EXPECT_TRUE(unloaded.exitAccepted) << "ModuleExit answered false";
    EXPECT_FALSE(unloaded.hostContextHeld) << "the factory kept the host context";
}

bool LoadedVst3::start(const vst3::ProcessSetup& setup)
{
    vst3::ProcessSetup offered = setup;
    prepare(setup);
    const bool started = effect->processor().setupProcessing(offered) == vst3::kResultOk &&
                         effect->component().setActive(1) == vst3::kResultOk &&
                         effect->processor().setProcessing(1) == vst3::kResultOk;
    EXPECT_TRUE(started) << "setupProcessing, setActive or setProcessing refused";
    return started;
}

void LoadedVst3::prepare(const vst3::ProcessSetup& setup)
{
    audio = std::make_unique<vst3host::ProcessCaller>(effect->processor(), setup);
}

StereoBuffer LoadedVst3::render(const StereoBuffer& input, const std::vector<int>& blocks)
{
    return testsupport::renderInBlocks(input, blocks, [this](float** in, float** out, int frames) {
        EXPECT_EQ(audio->process(in, 2, out, 2, frames), vst3::kResultOk);
    });
}

StereoBuffer LoadedVst3::renderWithChanges(const StereoBuffer& input, int blockFrames,
                                           const std::vector<testsupport::ControlChange>& changes)
{
    auto next = changes.begin();
    std::size_t done = 0;
    return testsupport::renderInBlocks(input, {blockFrames}, [&](float** in, float** out, int frames) {
        for (; next != changes.end() && next->frame < done + static_cast<std::size_t>(frames); ++next)
        {
            const auto offset = static_cast<vst3::int32>(next->frame - done);
            audio->addChange(kOnOffId, offset, next->values.on ? 1.0 : 0.0);
            audio->addChange(kSizeId, offset, next->values.size);
            audio->addChange(kDryWetId, offset, next->values.dryWet);
        }
        EXPECT_EQ(audio->process(in, 2, out, 2, frames), vst3::kResultOk);
        done += static_cast<std::size_t>(frames);
    });
}

vst3host::Bytes LoadedVst3::state()
{
    vst3host::Bytes bytes;
    EXPECT_EQ(effect->componentState(bytes), vst3::kResultOk);
    return bytes;
}

StereoBuffer renderVst2(const StereoBuffer& input, const std::vector<int>& blocks)
{
    auto effect = testsupport::openVelmora({kRate, kMaxBlock});
    if (!effect)
        return StereoBuffer(0);
    return testsupport::renderInBlocks(
        input, blocks, [&](float** in, float** out, int frames) { effect->processReplacing(in, out, frames); });
}

StereoBuffer renderVst2WithChanges(const StereoBuffer& input, int blockFrames,
                                   const std::vector<testsupport::ControlChange>& changes)
{
    return testsupport::renderVelmoraWithChanges(input, blockFrames, changes, {kRate, kMaxBlock});
}

double largestDifference(const StereoBuffer& a, const StereoBuffer& b)
{
    if (a.frames() != b.frames())
        return std::numeric_limits<double>::infinity();
    double largest = 0.0;
    for (std::size_t frame = 0; frame < a.frames(); ++frame)
        largest = std::max({largest, std::fabs(static_cast<double>(a.left[frame]) - b.left[frame]),
                            std::fabs(static_cast<double>(a.right[frame]) - b.right[frame])});
    return largest;
}

StereoBuffer noiseInput(std::size_t frames, std::uint32_t seed)
{
    return StereoBuffer(testsupport::noise(frames, seed), testsupport::noise(frames, seed + 1));
}

namespace
{
template <typename Value>
void appendLittleEndian(vst3host::Bytes& bytes, Value value)
{
    std::uint32_t word = 0;
    static_assert(sizeof(Value) == sizeof word);
    std::memcpy(&word, &value, sizeof word);
    for (int byte = 0; byte < 4; ++byte)
        bytes.push_back(static_cast<std::uint8_t>(word >> (8 * byte)));
}
}  // namespace

vst3host::Bytes stateBytes(const StateRecord& record)
{
    constexpr std::size_t kNameBytes = 24;
    vst3host::Bytes bytes = {'V', 'l', 'm', 'S'};
    appendLittleEndian(bytes, record.version);
    appendLittleEndian(bytes, record.currentProgram);
    appendLittleEndian(bytes, record.bypass);
    for (const StateRecord::Program& program : record.programs)
    {
        appendLittleEndian(bytes, program.onOff);
        appendLittleEndian(bytes, program.size);
        appendLittleEndian(bytes, program.dryWet);
        std::uint8_t name[kNameBytes] = {};
        std::memcpy(name, program.name.data(), std::min(program.name.size(), kNameBytes - 1));
        bytes.insert(bytes.end(), name, name + kNameBytes);
    }
    return bytes;
}

StateRecord distinctPrograms()
{
    StateRecord record;
    for (int index = 0; index < kPrograms; ++index)
    {
        StateRecord::Program& program = record.programs[static_cast<std::size_t>(index)];
        program.onOff = index % 3 == 2 ? 0.0f : 1.0f;
        program.size = 0.125f * static_cast<float>(index + 1);
        program.dryWet = 1.0f - 0.125f * static_cast<float>(index);
        program.name = std::string("Program ") + static_cast<char>('A' + index);
    }
    return record;
}
}  // namespace vst3test
