#pragma once
// The VST3 component: the widening engine behind IComponent and
// IAudioProcessor, with the program bank, the host's bypass switch, one audio
// bus each way (mono or stereo) and 32- or 64-bit samples.
//
// Parameter changes come with the block, at sample offsets: the block is cut
// at each point and the change applied where it falls, so the engine's
// glides start on the frame the host meant.
//
// Threads: process runs on the host's audio thread and allocates, locks and
// logs nothing. setState, getState and the rest come from the interface
// thread, possibly while process runs: the bank and the bypass switch are
// relaxed atomics that process reads at each cut, as the VST 2 face reads its
// parameters. setupProcessing and the bus calls come while inactive.

#include "effect/program_bank.h"
#include "effect/widening_engine.h"
#include "vst3/abi/editing.h"
#include "vst3/com_object.h"
#include "vst3/host_links.h"

#include <atomic>
#include <memory>

namespace velmora::vst3face
{
class VelmoraProcessor final : public ComObject<vst3::IComponent, vst3::IAudioProcessor,
                                                vst3::IProcessContextRequirements, vst3::IConnectionPoint>
{
public:
    VelmoraProcessor();

    vst3::tresult queryInterface(const vst3::TUID interfaceId, void** object) override;

    vst3::tresult initialize(vst3::FUnknown* context) override;
    vst3::tresult terminate() override;

    vst3::tresult getControllerClassId(vst3::TUID classId) override;
    vst3::tresult setIoMode(vst3::int32 mode) override;
    vst3::int32 getBusCount(vst3::int32 mediaType, vst3::int32 direction) override;
    vst3::tresult getBusInfo(vst3::int32 mediaType, vst3::int32 direction, vst3::int32 index,
                             vst3::BusInfo& bus) override;
    vst3::tresult getRoutingInfo(vst3::RoutingInfo& inInfo, vst3::RoutingInfo& outInfo) override;
    vst3::tresult activateBus(vst3::int32 mediaType, vst3::int32 direction, vst3::int32 index,
                              vst3::TBool state) override;
    vst3::tresult setActive(vst3::TBool state) override;
    vst3::tresult setState(vst3::IBStream* state) override;
    vst3::tresult getState(vst3::IBStream* state) override;

    vst3::tresult setBusArrangements(vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                                     vst3::SpeakerArrangement* outputs, vst3::int32 numOuts) override;
    vst3::tresult getBusArrangement(vst3::int32 direction, vst3::int32 index,
                                    vst3::SpeakerArrangement& arrangement) override;
    vst3::tresult canProcessSampleSize(vst3::int32 symbolicSampleSize) override;
    vst3::uint32 getLatencySamples() override;
    vst3::tresult setupProcessing(vst3::ProcessSetup& setup) override;
    vst3::tresult setProcessing(vst3::TBool state) override;
    vst3::tresult process(vst3::ProcessData& data) override;
    vst3::uint32 getTailSamples() override;

    vst3::uint32 getProcessContextRequirements() override;

    vst3::tresult connect(vst3::IConnectionPoint* other) override;
    vst3::tresult disconnect(vst3::IConnectionPoint* other) override;
    vst3::tresult notify(vst3::IMessage* message) override;

private:
    ~VelmoraProcessor() override;

    // One process call's parameter changes, read in the order of their offsets.
    class ChangeReader;

    void applyChange(vst3::ParamID id, vst3::ParamValue value) noexcept;
    // A block whose parameter changes cut it into stretches.
    vst3::tresult processWithChanges(vst3::ProcessData& data) noexcept;
    // Whether the block's buses, pointers and size are what was arranged and prepared.
    bool canRender(const vst3::ProcessData& data) const noexcept;
    void renderStretch(const vst3::ProcessData& data, vst3::int32 from, vst3::int32 frames) noexcept;
    // Mono buses and 64-bit samples, through the scratch buffers.
    void renderConverted(const vst3::ProcessData& data, vst3::int32 from, vst3::int32 frames) noexcept;
    void sendStateToController() noexcept;

    WideningEngine engine;
    ProgramBank bank;
    std::atomic<bool> bypassed{false};
    // Channels of each bus: 1 mono, 2 stereo.
    std::atomic<int> inputChannels{2};
    std::atomic<int> outputChannels{2};

    // Set up while inactive, read by process.
    double sampleRate = 44100.0;
    vst3::int32 maxFrames = 0;
    vst3::int32 sampleSize = vst3::kSample32;
    bool active = false;
    // Mono and 64-bit blocks go through these: two inputs, two outputs of maxFrames each.
    std::unique_ptr<float[]> scratch;

    HostLinks links;  // the host's context, and the controller when connected
};
}  // namespace velmora::vst3face
