// Pulling the input buses for one effect run: each bus from its render
// callback, its upstream unit or zeros, checked, and its pins pointed at what
// came back.

#include "tandem/tandem_render_path.h"
#include "tandem/tandem_render_support.h"
#include "tandem/tandem_trace.h"

#include <algorithm>
#include <cstddef>

namespace
{
// A buffer list with room for a whole bus, built on the stack.
struct BusBufferList
{
    UInt32 mNumberBuffers;
    AudioBuffer mBuffers[kMaxChannels];

    AudioBufferList* list() { return reinterpret_cast<AudioBufferList*>(this); }
};
static_assert(offsetof(BusBufferList, mBuffers) == offsetof(AudioBufferList, mBuffers));

// What the source handed back must still be a whole bus of samples.
bool holdsWholeBus(const AudioBufferList& buffers, int channels, UInt32 byteSize)
{
    return buffers.mNumberBuffers == static_cast<UInt32>(channels) &&
           std::none_of(buffers.mBuffers, buffers.mBuffers + channels, [byteSize](const AudioBuffer& buffer) {
               return buffer.mData == nullptr || buffer.mDataByteSize < byteSize;
           });
}
}  // namespace

OSStatus TandemRenderPath::collectInputAudio(int frames, const float** pins, const AudioTimeStamp* timeStamp,
                                             bool& silent) noexcept
{
    const UInt32 byteSize = static_cast<UInt32>(frames) * sizeof(float);
    silent = true;
    // Silence we wrote ourselves needs no checking; a source's claim does.
    bool sourceClaimedSilence = false;
    for (int bus = 0; bus < inputs.count; ++bus)
    {
        BusBufferList buffers;
        AudioUnitRenderActionFlags flags = 0;
        if (const OSStatus status = pullInputBus(bus, frames, timeStamp, *buffers.list(), flags); status != noErr)
        {
            return status;
        }
        if (!holdsWholeBus(*buffers.list(), inputs.activeChannels[bus], byteSize))
        {
            return paramErr;
        }
        const bool flaggedSilent = (flags & kAudioUnitRenderAction_OutputIsSilence) != 0;
        const bool zeroFilled = inputRenderCallbacks[bus].inputProc == nullptr &&
                                inputConnections[bus].sourceAudioUnit == nullptr;
        sourceClaimedSilence = sourceClaimedSilence || (flaggedSilent && !zeroFilled);
        silent = silent && flaggedSilent;
        pointPinsAtBus(bus, *buffers.list(), frames, pins);
    }
    // The buses cover every input pin of the effect.
    const int pinCount = inputs.firstPin[inputs.count];
    if (silent && sourceClaimedSilence && std::any_of(pins, pins + pinCount, [frames](const float* samples) {
            return tandem::carriesSignal(samples, frames);
        }))
    {
        tandemTrace("Input was flagged silent when signal was not (may be bug in signal source)\n");
        silent = false;
    }
    return noErr;
}

// The bus's buffers are laid on the unit's own; a render callback may fill
// them or hand out its own, an upstream unit always hands out its own, and a
// bus without a source reads zeros flagged silent.
inline OSStatus TandemRenderPath::pullInputBus(int bus, int frames, const AudioTimeStamp* timeStamp,
                                               AudioBufferList& buffers, AudioUnitRenderActionFlags& flags) noexcept
{
    const int active = inputs.activeChannels[bus];
    const int pinCount = inputs.maxChannels(bus);
    const int firstPin = inputs.firstPin[bus];
    const UInt32 byteSize = static_cast<UInt32>(frames) * sizeof(float);
    buffers.mNumberBuffers = static_cast<UInt32>(active);
    for (int channel = 0; channel < active; ++channel)
    {
        // Only a stereo stream on a one-pin bus has a channel beyond the pins.
        float* own = channel < pinCount ? ioBuffers[firstPin + channel].get() : foldBuffer.get();
        buffers.mBuffers[channel] = {1, byteSize, own};
    }
    const AURenderCallbackStruct& callback = inputRenderCallbacks[bus];
    if (callback.inputProc != nullptr)
    {
        return callback.inputProc(callback.inputProcRefCon, &flags, timeStamp, static_cast<UInt32>(bus),
                                  static_cast<UInt32>(frames), &buffers);
    }
    const AudioUnitConnection& connection = inputConnections[bus];
    if (connection.sourceAudioUnit != nullptr)
    {
        for (int channel = 0; channel < active; ++channel)
        {
            buffers.mBuffers[channel].mData = nullptr;
        }
        return AudioUnitRender(connection.sourceAudioUnit, &flags, timeStamp, connection.sourceOutputNumber,
                               static_cast<UInt32>(frames), &buffers);
    }
    for (int channel = 0; channel < active; ++channel)
    {
        std::fill_n(static_cast<float*>(buffers.mBuffers[channel].mData), frames, 0.0f);
    }
    flags = kAudioUnitRenderAction_OutputIsSilence;
    return noErr;
}

inline void TandemRenderPath::pointPinsAtBus(int bus, const AudioBufferList& received, int frames,
                                             const float** pins) noexcept
{
    const int firstPin = inputs.firstPin[bus];
    const int pinCount = inputs.maxChannels(bus);
    const bool oneChannelPerPin = inputs.activeChannels[bus] == pinCount;
    for (int pin = 0; pin < pinCount; ++pin)
    {
        pins[firstPin + pin] = oneChannelPerPin ? static_cast<const float*>(received.mBuffers[pin].mData)
                                                : takePinInput(bus, pin, received, frames);
    }
}

// What pin j of an input bus reads when the stream's channels and the pins
// differ in number. A pin without a channel of its own gets a buffer of its
// own: an effect may write output pin 0 before it reads input pin 1, and
// every pin must read the input as it came.
const float* TandemRenderPath::takePinInput(int bus, int pin, const AudioBufferList& received, int frames) noexcept
{
    const int active = inputs.activeChannels[bus];
    const int pinCount = inputs.maxChannels(bus);
    const auto channel = [&received](int index) { return static_cast<const float*>(received.mBuffers[index].mData); };
    if (pin < active && active < pinCount)
    {
        return channel(pin);
    }
    float* own = ioBuffers[inputs.firstPin[bus] + pin].get();
    if (active < pinCount)
    {
        // A mono stream on a stereo bus feeds every pin.
        std::copy_n(channel(inputs.channelOfPin(bus, pin)), frames, own);
        return own;
    }
    // A stream wider than the bus: the pin hears the mono fold-down of the
    // channels that fall to it.
    const float* sources[kMaxChannels];
    int count = 0;
    for (int index = pin; index < active; index += pinCount)
    {
        sources[count++] = channel(index);
    }
    tandem::averageInto(own, sources, count, frames);
    return own;
}
