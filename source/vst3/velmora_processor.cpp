#include "vst3/velmora_processor.h"

#include "vst3/component_state.h"
#include "vst3/face_parameters.h"
#include "vst3/utf16_text.h"
#include "vst3/vst3_identity.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

namespace velmora::vst3face
{
namespace
{
// The longest line at Size 1 is 0.189 s; what it still holds sounds after
// the input stops.
constexpr double kTailSeconds = 0.19;
// Blocks beyond a second at 1 MHz are no host's.
constexpr vst3::int32 kLargestBlock = 1 << 20;

bool isMonoOrStereo(vst3::SpeakerArrangement arrangement)
{
    return arrangement == vst3::speaker::kMono || arrangement == vst3::speaker::kStereo;
}

int channelsOf(vst3::SpeakerArrangement arrangement) { return arrangement == vst3::speaker::kStereo ? 2 : 1; }

vst3::SpeakerArrangement arrangementOf(int channels)
{
    return channels == 2 ? vst3::speaker::kStereo : vst3::speaker::kMono;
}

bool isAudioBus(vst3::int32 mediaType, vst3::int32 direction, vst3::int32 index)
{
    return mediaType == vst3::kAudio && (direction == vst3::kInput || direction == vst3::kOutput) && index == 0;
}
}  // namespace

VelmoraProcessor::VelmoraProcessor() { engine.prepare(static_cast<float>(sampleRate)); }

VelmoraProcessor::~VelmoraProcessor() { terminate(); }

vst3::tresult VelmoraProcessor::queryInterface(const vst3::TUID interfaceId, void** object)
{
    if (!object)
        return vst3::kInvalidArgument;
    if (answerAs<vst3::FUnknown, vst3::IComponent>(this, interfaceId, object) ||
        answerAs<vst3::IPluginBase, vst3::IComponent>(this, interfaceId, object) ||
        answerAs<vst3::IComponent>(this, interfaceId, object) ||
        answerAs<vst3::IAudioProcessor>(this, interfaceId, object) ||
        answerAs<vst3::IProcessContextRequirements>(this, interfaceId, object) ||
        answerAs<vst3::IConnectionPoint>(this, interfaceId, object))
        return vst3::kResultOk;
    return noInterface(object);
}

vst3::tresult VelmoraProcessor::initialize(vst3::FUnknown* context) { return links.takeContext(context); }

vst3::tresult VelmoraProcessor::terminate()
{
    links.dropAll();
    return vst3::kResultOk;
}

vst3::tresult VelmoraProcessor::getControllerClassId(vst3::TUID classId)
{
    if (!classId)
        return vst3::kInvalidArgument;
    std::memcpy(classId, kControllerClassId.bytes, sizeof kControllerClassId.bytes);
    return vst3::kResultOk;
}

vst3::tresult VelmoraProcessor::setIoMode(vst3::int32) { return vst3::kNotImplemented; }

vst3::int32 VelmoraProcessor::getBusCount(vst3::int32 mediaType, vst3::int32 direction)
{
    return isAudioBus(mediaType, direction, 0) ? 1 : 0;
}

vst3::tresult VelmoraProcessor::getBusInfo(vst3::int32 mediaType, vst3::int32 direction, vst3::int32 index,
                                           vst3::BusInfo& bus)
{
    if (!isAudioBus(mediaType, direction, index))
        return vst3::kInvalidArgument;
    bus = {};
    bus.mediaType = mediaType;
    bus.direction = direction;
    bus.channelCount = direction == vst3::kInput ? inputChannels.load() : outputChannels.load();
    copyUtf16(direction == vst3::kInput ? "Input" : "Output", bus.name, std::size(bus.name));
    bus.busType = vst3::kMain;
    bus.flags = vst3::kDefaultActive;
    return vst3::kResultOk;
}

vst3::tresult VelmoraProcessor::getRoutingInfo(vst3::RoutingInfo&, vst3::RoutingInfo&) { return vst3::kNotImplemented; }

vst3::tresult VelmoraProcessor::activateBus(vst3::int32 mediaType, vst3::int32 direction, vst3::int32 index,
                                            vst3::TBool)
{
    return isAudioBus(mediaType, direction, index) ? vst3::kResultOk : vst3::kInvalidArgument;
}

// Activation starts afresh: the first block sounds the values as they are.
vst3::tresult VelmoraProcessor::setActive(vst3::TBool state)
{
    try
    {
        if (state)
            engine.prepare(static_cast<float>(sampleRate));
    }
    catch (const std::bad_alloc&)
    {
        return vst3::kOutOfMemory;
    }
    active = state != 0;
    return vst3::kResultOk;
}

vst3::tresult VelmoraProcessor::setState(vst3::IBStream* state)
{
    ComponentState read;
    if (!readComponentState(state, read))
        return vst3::kResultFalse;
    loadBank(read, bank);
    bypassed.store(read.bypass != 0.0f, std::memory_order_relaxed);
    sendStateToController();
    return vst3::kResultOk;
}

vst3::tresult VelmoraProcessor::getState(vst3::IBStream* state)
{
    const float bypass = bypassed.load(std::memory_order_relaxed) ? 1.0f : 0.0f;
    return writeComponentState(state, stateOfBank(bank, bypass)) ? vst3::kResultOk : vst3::kResultFalse;
}

vst3::tresult VelmoraProcessor::setBusArrangements(vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                                                   vst3::SpeakerArrangement* outputs, vst3::int32 numOuts)
{
    if (numIns != 1 || numOuts != 1 || !inputs || !outputs || !isMonoOrStereo(inputs[0]) || !isMonoOrStereo(outputs[0]))
        return vst3::kResultFalse;
    inputChannels.store(channelsOf(inputs[0]));
    outputChannels.store(channelsOf(outputs[0]));
    return vst3::kResultTrue;
}

vst3::tresult VelmoraProcessor::getBusArrangement(vst3::int32 direction, vst3::int32 index,
                                                  vst3::SpeakerArrangement& arrangement)
{
    if (!isAudioBus(vst3::kAudio, direction, index))
        return vst3::kInvalidArgument;
    arrangement = arrangementOf(direction == vst3::kInput ? inputChannels.load() : outputChannels.load());
    return vst3::kResultOk;
}

vst3::tresult VelmoraProcessor::canProcessSampleSize(vst3::int32 symbolicSampleSize)
{
    return symbolicSampleSize == vst3::kSample32 || symbolicSampleSize == vst3::kSample64 ? vst3::kResultTrue
                                                                                          : vst3::kResultFalse;
}

vst3::uint32 VelmoraProcessor::getLatencySamples() { return 0; }

vst3::tresult VelmoraProcessor::setupProcessing(vst3::ProcessSetup& setup)
{
    if (canProcessSampleSize(setup.symbolicSampleSize) != vst3::kResultTrue || setup.maxSamplesPerBlock <= 0 ||
        setup.maxSamplesPerBlock > kLargestBlock || !(setup.sampleRate > 0.0))
        return vst3::kResultFalse;
    // Buffers process uses are not swapped under it.
    if (active && setup.maxSamplesPerBlock > maxFrames)
        return vst3::kResultFalse;
    try
    {
        if (setup.maxSamplesPerBlock > maxFrames)
            scratch.reset(new float[4 * static_cast<std::size_t>(setup.maxSamplesPerBlock)]);
        engine.prepare(static_cast<float>(setup.sampleRate));
    }
    catch (const std::bad_alloc&)
    {
        return vst3::kOutOfMemory;
    }
    maxFrames = std::max(maxFrames, setup.maxSamplesPerBlock);
    sampleRate = setup.sampleRate;
    sampleSize = setup.symbolicSampleSize;
    return vst3::kResultOk;
}

vst3::tresult VelmoraProcessor::setProcessing(vst3::TBool) { return vst3::kResultOk; }

vst3::uint32 VelmoraProcessor::getTailSamples() { return static_cast<vst3::uint32>(kTailSeconds * sampleRate) + 1; }

vst3::uint32 VelmoraProcessor::getProcessContextRequirements() { return 0; }

vst3::tresult VelmoraProcessor::connect(vst3::IConnectionPoint* other)
{
    const vst3::tresult result = links.connect(other);
    if (result == vst3::kResultOk)
        sendStateToController();
    return result;
}

vst3::tresult VelmoraProcessor::disconnect(vst3::IConnectionPoint* other) { return links.disconnect(other); }

// The controller tells the component nothing.
vst3::tresult VelmoraProcessor::notify(vst3::IMessage*) { return vst3::kResultFalse; }

// Through the host's message objects, which the host may carry to a
// controller elsewhere. Without a host that makes them the controller learns
// the state from setComponentState alone.
void VelmoraProcessor::sendStateToController() noexcept
{
    vst3::IHostApplication* host = nullptr;
    vst3::IConnectionPoint* const controller = links.partner();
    if (!controller || !links.context() ||
        links.context()->queryInterface(vst3::IHostApplication::iid.data(), reinterpret_cast<void**>(&host)) !=
            vst3::kResultOk ||
        !host)
        return;
    vst3::TUID messageId;
    std::memcpy(messageId, vst3::IMessage::iid.bytes, sizeof messageId);
    vst3::IMessage* message = nullptr;
    if (host->createInstance(messageId, messageId, reinterpret_cast<void**>(&message)) == vst3::kResultOk && message)
    {
        const float bypass = bypassed.load(std::memory_order_relaxed) ? 1.0f : 0.0f;
        const ComponentStateBytes bytes = encodeComponentState(stateOfBank(bank, bypass));
        message->setMessageID(kStateMessageId);
        if (vst3::IAttributeList* attributes = message->getAttributes())
            attributes->setBinary(kStateAttribute, bytes.data(), static_cast<vst3::uint32>(bytes.size()));
        controller->notify(message);
        message->release();
    }
    host->release();
}
}  // namespace velmora::vst3face
