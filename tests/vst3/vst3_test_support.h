#pragma once
// The built Velmora.vst3 as the VST3 tests hold it, the VST 2 face's samples
// to hold it against, and the component state written from its documented
// layout.

#include "support/automation.h"
#include "support/signals.h"
#include "vst3host/effect_instance.h"
#include "vst3host/module.h"
#include "vst3host/process_caller.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace vst3test
{
using testsupport::StereoBuffer;

inline constexpr double kRate = 48000.0;
inline constexpr vst3::int32 kMaxBlock = 1024;

// The face's parameter ids and program list.
enum ParameterId : vst3::ParamID
{
    kOnOffId = 0,
    kSizeId = 1,
    kDryWetId = 2,
    kBypassId = 3,
    kProgramId = 4,
};
inline constexpr vst3::ProgramListID kProgramListId = 1;
inline constexpr int kPrograms = 8;

vst3::ProcessSetup processSetup(vst3::int32 sampleSize = vst3::kSample32, vst3::int32 maxBlock = kMaxBlock);

// The module loaded and the effect created; a failure fails the test and
// leaves loaded() false. On destruction the effect is closed and the module
// unloaded, and whatever the plug-in left behind (references, host objects,
// the factory when no other load holds it) fails the test.
class LoadedVst3
{
public:
    explicit LoadedVst3(vst3host::ModuleOptions moduleOptions = {}, vst3host::InstanceOptions instanceOptions = {});
    ~LoadedVst3();
    LoadedVst3(const LoadedVst3&) = delete;
    LoadedVst3& operator=(const LoadedVst3&) = delete;

    bool loaded() const { return effect != nullptr; }
    vst3host::Module& loadedModule() const { return *module; }
    vst3host::EffectInstance& instance() const { return *effect; }

    // setupProcessing, setActive(1), setProcessing(1), as most hosts order
    // them; false (and a failure) when one is refused.
    bool start(const vst3::ProcessSetup& setup = processSetup());
    // The audio thread's caller, made by start() or by prepare().
    vst3host::ProcessCaller& caller() const { return *audio; }
    // A caller for the setup, the processing calls left to the test.
    void prepare(const vst3::ProcessSetup& setup);

    // Stereo in, stereo out, 32-bit, in blocks whose sizes cycle through blocks.
    StereoBuffer render(const StereoBuffer& input, const std::vector<int>& blocks);
    // As the VST 2 face's renderWithChanges: each change's values go in as
    // points at its frame's offset in blocks of blockFrames.
    StereoBuffer renderWithChanges(const StereoBuffer& input, int blockFrames,
                                   const std::vector<testsupport::ControlChange>& changes);

    // The component's state, as getState writes it.
    vst3host::Bytes state();

private:
    std::unique_ptr<vst3host::Module> module;
    std::unique_ptr<vst3host::EffectInstance> effect;
    std::unique_ptr<vst3host::ProcessCaller> audio;
    static int liveLoads;  // the factory is the process's one: it lives while any load holds it
};

// The VST 2 face of the same build at kRate.
StereoBuffer renderVst2(const StereoBuffer& input, const std::vector<int>& blocks);
StereoBuffer renderVst2WithChanges(const StereoBuffer& input, int blockFrames,
                                   const std::vector<testsupport::ControlChange>& changes);

// The largest difference between two renders of the same length; infinity
// when the lengths differ.
double largestDifference(const StereoBuffer& a, const StereoBuffer& b);

StereoBuffer noiseInput(std::size_t frames, std::uint32_t seed = 7);

// The component state in the layout its source documents: "VlmS", version,
// current program, bypass, then each program's on/off, Size, Dry/Wet and
// 24-byte name, little-endian.
struct StateRecord
{
    struct Program
    {
        float onOff = 1.0f;
        float size = 0.5f;
        float dryWet = 0.5f;
        std::string name = "Init";
    };
    std::uint32_t version = 1;
    std::int32_t currentProgram = 0;
    float bypass = 0.0f;
    std::array<Program, kPrograms> programs{};
};
vst3host::Bytes stateBytes(const StateRecord& record);
// Every program different: on/off alternating, Size and Dry/Wet spread, names "Program A" ...
StateRecord distinctPrograms();
}  // namespace vst3test
