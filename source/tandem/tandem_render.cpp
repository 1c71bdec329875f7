// The render path: notifications, input pulling, one effect run per time
// stamp on the shared buffers, the transport record and the MIDI queue; and
// the table of render notifications. Nothing on the render path allocates,
// locks or throws; host faults answer paramErr, with a fixed trace line where
// there is one.

#include "tandem/tandem_component.h"
#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_trace.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <initializer_list>

namespace
{
constexpr VstInt32 kTandemInputSilence = 0x73493030;   // 'sI00'
constexpr VstInt32 kTandemOutputSilence = 0x734F3030;  // 'sO00'
// From here on (and for NaN) a time signature's numerator has no int form.
constexpr float kLargestNumerator = 2147483648.0f;
constexpr AudioUnitRenderActionFlags kNotificationFlags = kAudioUnitRenderAction_PreRender |
                                                          kAudioUnitRenderAction_PostRender;

// A buffer list with room for a whole bus, built on the stack.
struct BusBufferList
{
    UInt32 mNumberBuffers;
    AudioBuffer mBuffers[kMaxChannels];

    AudioBufferList* list() { return reinterpret_cast<AudioBufferList*>(this); }
};
static_assert(offsetof(BusBufferList, mBuffers) == offsetof(AudioBufferList, mBuffers));

bool carriesSignal(const float* samples, int frames)
{
    return std::any_of(samples, samples + frames, [](float sample) { return sample != 0.0f; });
}

bool differs(double a, double b) { return !(a == b); }

// out = the mean of the sources, frame by frame; out may be one of them.
void averageInto(float* out, const float* const* sources, int count, int frames)
{
    const float scale = 1.0f / static_cast<float>(count);
    for (int frame = 0; frame < frames; ++frame)
    {
        float sum = 0.0f;
        for (int source = 0; source < count; ++source)
        {
            sum += sources[source][frame];
        }
        out[frame] = sum * scale;
    }
}

// A host's transport answer holding a value that is not finite is not used,
// as if the call had failed: the effect could not work with it.
bool allFinite(std::initializer_list<double> values)
{
    return std::all_of(values.begin(), values.end(), [](double value) { return std::isfinite(value); });
}
}  // namespace

OSStatus TandemComponent::render(AudioUnitRenderActionFlags* ioActionFlags, const AudioTimeStamp* inTimeStamp,
                                 UInt32 inOutputBusNumber, UInt32 inNumberFrames, AudioBufferList* ioData) noexcept
{
    if (ioData == nullptr || inTimeStamp == nullptr)
    {
        return paramErr;
    }
    const AudioUnitRenderActionFlags incoming = ioActionFlags != nullptr ? *ioActionFlags : 0;
    if (const OSStatus status = checkRenderArguments(incoming, inOutputBusNumber, inNumberFrames, *ioData);
        status != noErr)
    {
        return status;
    }
    const int bus = static_cast<int>(inOutputBusNumber);
    const int frames = static_cast<int>(inNumberFrames);

    AudioUnitRenderActionFlags flags = incoming | kAudioUnitRenderAction_PreRender;
    callRenderNotifications(&flags, inTimeStamp, inOutputBusNumber, inNumberFrames, ioData);
    flags &= ~kAudioUnitRenderAction_PreRender;

    // Further buses, or a repeated pull, of the same time stamp share the run.
    if (differs(inTimeStamp->mSampleTime, lastRenderSampleTime))
    {
        lastRenderSampleTime = inTimeStamp->mSampleTime;
        if (const OSStatus status = runEffect(frames, inTimeStamp); status != noErr)
        {
            // Nothing ran for this time stamp: a retry must run the effect.
            lastRenderSampleTime = kNoRenderSampleTime;
            return status;
        }
    }
    if (outputSilent)
    {
        flags |= kAudioUnitRenderAction_OutputIsSilence;
    }
    else
    {
        flags &= ~kAudioUnitRenderAction_OutputIsSilence;
    }

    for (UInt32 index = 0; index < ioData->mNumberBuffers; ++index)
    {
        AudioBuffer& buffer = ioData->mBuffers[index];
        float* source = ioBuffers[outputs.first[bus] + outputs.pinOfChannel(bus, static_cast<int>(index))].get();
        TANDEM_REQUIRE(source != 0);
        if (buffer.mData != nullptr)
        {
            std::memcpy(buffer.mData, source, static_cast<size_t>(frames) * sizeof(float));
        }
        else
        {
            buffer.mData = source;
            buffer.mDataByteSize = inNumberFrames * sizeof(float);
        }
    }

    flags |= kAudioUnitRenderAction_PostRender;
    callRenderNotifications(&flags, inTimeStamp, inOutputBusNumber, inNumberFrames, ioData);
    flags &= ~kAudioUnitRenderAction_PostRender;
    if (ioActionFlags != nullptr)
    {
        *ioActionFlags = flags;
    }
    return noErr;
}

OSStatus TandemComponent::checkRenderArguments(AudioUnitRenderActionFlags flags, UInt32 bus, UInt32 frames,
                                               const AudioBufferList& ioData) const noexcept
{
    // Rendering belongs between Initialize and Uninitialize.
    if (!vst->isResumed())
    {
        return kAudioUnitErr_Uninitialized;
    }
    if (bus >= static_cast<UInt32>(outputs.count))
    {
        tandemTrace("AURender called for an invalid bus (%u)\n", bus);
        return paramErr;
    }
    if (frames > static_cast<UInt32>(maxFramesPerSlice))
    {
        tandemTrace("AURender called for an unexpected large number of frames (expected max %d, got %u)\n",
                    maxFramesPerSlice, frames);
        return paramErr;
    }
    const int expected = outputs.active[bus];
    if (ioData.mNumberBuffers != static_cast<UInt32>(expected))
    {
        tandemTrace("AURender called for an unexpected number of output channels (expected %d, got %u)\n", expected,
                    ioData.mNumberBuffers);
        return paramErr;
    }
    if ((flags & kNotificationFlags) != 0)
    {
        tandemTrace("Invalid 'ioActionFlags' on call to AURender\n");
        return paramErr;
    }
    for (UInt32 index = 0; index < ioData.mNumberBuffers; ++index)
    {
        const AudioBuffer& buffer = ioData.mBuffers[index];
        if (buffer.mData != nullptr && buffer.mDataByteSize != frames * sizeof(float))
        {
            return paramErr;
        }
    }
    return noErr;
}

void TandemComponent::callRenderNotifications(AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp,
                                              UInt32 bus, UInt32 frames, AudioBufferList* ioData) noexcept
{
    for (int index = renderNotificationCount - 1; index >= 0; --index)
    {
        const AURenderCallbackStruct& notification = renderNotifications[index];
        notification.inputProc(notification.inputProcRefCon, flags, timeStamp, bus, frames, ioData);
    }
}

OSStatus TandemComponent::runEffect(int frames, const AudioTimeStamp* timeStamp) noexcept
{
    updateVSTTimeInfo(timeStamp);
    bool inputIsSilent = true;
    if (const OSStatus status = collectInputAudio(frames, effectInputs, timeStamp, inputIsSilent); status != noErr)
    {
        return status;
    }
    renderOutput(frames, effectInputs, effectOutputs, inputIsSilent);
    foldDownNarrowOutputs(frames);
    return noErr;
}

OSStatus TandemComponent::collectInputAudio(int frames, const float** pins, const AudioTimeStamp* timeStamp,
                                            bool& silent) noexcept
{
    const UInt32 byteSize = static_cast<UInt32>(frames) * sizeof(float);
    int ioChannelIndex = 0;
    silent = true;
    // Silence we wrote ourselves needs no checking; a source's claim does.
    bool sourceClaimedSilence = false;
    for (int bus = 0; bus < inputs.count; ++bus)
    {
        const int active = inputs.active[bus];
        const int pinCount = inputs.maxChannels(bus);
        BusBufferList buffers;
        buffers.mNumberBuffers = static_cast<UInt32>(active);
        for (int channel = 0; channel < active; ++channel)
        {
            // Only a stereo stream on a one-pin bus has a channel beyond the pins.
            float* own = channel < pinCount ? ioBuffers[ioChannelIndex + channel].get() : foldBuffer.get();
            buffers.mBuffers[channel] = {1, byteSize, own};
        }
        AudioUnitRenderActionFlags flags = 0;
        const AURenderCallbackStruct& callback = inputRenderCallbacks[bus];
        const AudioUnitConnection& connection = inputConnections[bus];
        const bool zeroFilled = callback.inputProc == nullptr && connection.sourceAudioUnit == nullptr;
        if (callback.inputProc != nullptr)
        {
            if (const OSStatus status = callback.inputProc(callback.inputProcRefCon, &flags, timeStamp,
                                                           static_cast<UInt32>(bus), static_cast<UInt32>(frames),
                                                           buffers.list());
                status != noErr)
            {
                return status;
            }
        }
        else if (connection.sourceAudioUnit != nullptr)
        {
            // The upstream unit hands out its own memory.
            for (int channel = 0; channel < active; ++channel)
            {
                buffers.mBuffers[channel].mData = nullptr;
            }
            if (const OSStatus status = AudioUnitRender(connection.sourceAudioUnit, &flags, timeStamp,
                                                        connection.sourceOutputNumber, static_cast<UInt32>(frames),
                                                        buffers.list());
                status != noErr)
            {
                return status;
            }
        }
        else
        {
            for (int channel = 0; channel < active; ++channel)
            {
                std::fill_n(static_cast<float*>(buffers.mBuffers[channel].mData), frames, 0.0f);
            }
            flags = kAudioUnitRenderAction_OutputIsSilence;
        }
        // What the source handed back must still be a whole bus of samples.
        if (buffers.mNumberBuffers != static_cast<UInt32>(active))
        {
            return paramErr;
        }
        for (int channel = 0; channel < active; ++channel)
        {
            if (buffers.mBuffers[channel].mData == nullptr || buffers.mBuffers[channel].mDataByteSize < byteSize)
            {
                return paramErr;
            }
        }
        const bool flaggedSilent = (flags & kAudioUnitRenderAction_OutputIsSilence) != 0;
        sourceClaimedSilence = sourceClaimedSilence || (flaggedSilent && !zeroFilled);
        silent = silent && flaggedSilent;
        for (int pin = 0; pin < pinCount; ++pin)
        {
            pins[ioChannelIndex + pin] = active == pinCount ? static_cast<const float*>(buffers.mBuffers[pin].mData)
                                                            : takePinInput(bus, pin, *buffers.list(), frames);
        }
        ioChannelIndex += pinCount;
    }
    TANDEM_REQUIRE(ioChannelIndex == vst->getInputCount());
    if (silent && sourceClaimedSilence && std::any_of(pins, pins + ioChannelIndex, [frames](const float* samples) {
            return carriesSignal(samples, frames);
        }))
    {
        tandemTrace("Input was flagged silent when signal was not (may be bug in signal source)\n");
        silent = false;
    }
    return noErr;
}

// What pin j of an input bus reads when the stream's channels and the pins
// differ in number. A pin without a channel of its own gets a buffer of its
// own: an effect may write output pin 0 before it reads input pin 1, and
// every pin must read the input as it came.
const float* TandemComponent::takePinInput(int bus, int pin, const AudioBufferList& received, int frames) noexcept
{
    const int active = inputs.active[bus];
    const int pinCount = inputs.maxChannels(bus);
    const auto channel = [&received](int index) { return static_cast<const float*>(received.mBuffers[index].mData); };
    if (pin < active && active < pinCount)
    {
        return channel(pin);
    }
    float* own = ioBuffers[inputs.first[bus] + pin].get();
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
    averageInto(own, sources, count, frames);
    return own;
}

void TandemComponent::renderOutput(int frames, const float* const* effectInputs, float** effectOutputs,
                                   bool inputIsSilent) noexcept
{
    if (vstMidiEvents.numEvents > 0)
    {
        vst->processEvents(*vstMidiEventsRecord);
        vstMidiEvents.numEvents = 0;
    }
    if (vstGotTandemExtensions)
    {
        vst->vendorSpecific(kTandemInputSilence, inputIsSilent ? 1 : 0, nullptr, 0.0f);
    }
    vst->processReplacing(effectInputs, effectOutputs, frames);
    outputSilent = false;
    if (vstGotTandemExtensions && vst->vendorSpecific(kTandemOutputSilence, 0, nullptr, 0.0f) != 0)
    {
        outputSilent = true;
        const bool reallyGotSignal = std::any_of(
            effectOutputs, effectOutputs + vst->getOutputCount(),
            [frames](const float* samples) { return carriesSignal(samples, frames); });
        if (reallyGotSignal)
        {
            tandemTrace("TD vendor-specific callback 'sO00' returned true (output silent) when output was not "
                        "silent\n");
            TANDEM_REQUIRE(!reallyGotSignal);
        }
    }
}

// A stream narrower than its output bus holds, in each channel, the mean of
// the pins that fall to it: a mono stream on a stereo bus carries the mono
// fold-down, which for a widening effect is the input's own mono.
void TandemComponent::foldDownNarrowOutputs(int frames) noexcept
{
    for (int bus = 0; bus < outputs.count; ++bus)
    {
        const int active = outputs.active[bus];
        const int pinCount = outputs.maxChannels(bus);
        for (int channel = 0; channel < active && active < pinCount; ++channel)
        {
            const float* sources[kMaxChannels];
            int count = 0;
            for (int pin = channel; pin < pinCount; pin += active)
            {
                sources[count++] = effectOutputs[outputs.first[bus] + pin];
            }
            averageInto(ioBuffers[outputs.first[bus] + channel].get(), sources, count, frames);
        }
    }
}

void TandemComponent::updateVSTTimeInfo(const AudioTimeStamp* timeStamp) noexcept
{
    // Only the host's callbacks fill the other fields: without them, and with
    // nothing left over from an earlier run that had them, they are zero.
    const bool hostGivesTime = hostCallbacks.beatAndTempoProc != nullptr ||
                               hostCallbacks.musicalTimeLocationProc != nullptr ||
                               hostCallbacks.transportStateProc != nullptr;
    if (hostGivesTime || vstTimeInfoFromHost)
    {
        vstTimeInfo = VstTimeInfo{};
    }
    vstTimeInfoFromHost = hostGivesTime;
    vstTimeInfo.samplePos = timeStamp->mSampleTime;
    vstTimeInfo.sampleRate = streamFormat.mSampleRate;
    vstTimeInfo.flags = 0;
    void* const host = hostCallbacks.hostUserData;
    if (hostCallbacks.beatAndTempoProc != nullptr)
    {
        Float64 beat = 0.0;
        Float64 tempo = 120.0;
        if (hostCallbacks.beatAndTempoProc(host, &beat, &tempo) == noErr && allFinite({beat, tempo}))
        {
            vstTimeInfo.ppqPos = beat;
            vstTimeInfo.tempo = tempo;
            vstTimeInfo.flags |= kVstPpqPosValid | kVstTempoValid;
        }
    }
    if (hostCallbacks.musicalTimeLocationProc != nullptr)
    {
        UInt32 offsetToNextBeat = 0;
        Float32 numerator = 4.0f;
        UInt32 denominator = 4;
        Float64 downBeat = 0.0;
        if (hostCallbacks.musicalTimeLocationProc(host, &offsetToNextBeat, &numerator, &denominator, &downBeat) ==
                noErr &&
            allFinite({downBeat}) && std::fabs(numerator) < kLargestNumerator)
        {
            vstTimeInfo.timeSigNumerator = static_cast<VstInt32>(numerator);
            vstTimeInfo.timeSigDenominator = static_cast<VstInt32>(denominator);
            vstTimeInfo.barStartPos = downBeat;
            vstTimeInfo.flags |= kVstBarsValid | kVstTimeSigValid;
        }
    }
    if (hostCallbacks.transportStateProc != nullptr)
    {
        Boolean playing = false;
        Boolean changed = false;
        Float64 sampleInTimeLine = 0.0;
        Boolean cycling = false;
        Float64 cycleStart = 0.0;
        Float64 cycleEnd = 0.0;
        if (hostCallbacks.transportStateProc(host, &playing, &changed, &sampleInTimeLine, &cycling, &cycleStart,
                                             &cycleEnd) != noErr ||
            !allFinite({sampleInTimeLine, cycleStart, cycleEnd}))
        {
            return;
        }
        vstTimeInfo.flags |= (playing ? kVstTransportPlaying : 0) | (changed ? kVstTransportChanged : 0) |
                             (cycling ? kVstTransportCycleActive : 0) | kVstCyclePosValid;
        vstTimeInfo.samplePos = sampleInTimeLine;
        vstTimeInfo.cycleStartPos = cycleStart;
        vstTimeInfo.cycleEndPos = cycleEnd;
    }
}

void TandemComponent::midiInput(int offset, int status, int data1, int data2) noexcept
{
    // Events the effect cannot take are dropped: while suspended, for an
    // effect that never asked for MIDI, and beyond a full queue.
    if (!vst->isResumed() || !vst->wantsMidi())
    {
        return;
    }
    if (vstMidiEvents.numEvents >= kMaxVSTMIDIEvents)
    {
        tandemTrace("Too many MIDI events received\n");
        return;
    }
    VstMidiEvent& event = vstMidiEventRecords[vstMidiEvents.numEvents++];
    event.deltaFrames = offset;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
}

void TandemComponent::addRenderNotification(AURenderCallback proc, void* refCon)
{
    tandemTrace("AU kAudioUnitAddRenderNotifySelect\n");
    if (proc == nullptr)
    {
        throw MacOSException(paramErr);
    }
    if (renderNotificationCount >= kMaxRenderNotifications)
    {
        throw MacOSException(memFullErr);
    }
    renderNotifications[renderNotificationCount++] = {proc, refCon};
}

void TandemComponent::removeRenderNotification(AURenderCallback proc, void* refCon)
{
    tandemTrace("AU kAudioUnitRemoveRenderNotifySelect\n");
    const auto end = std::remove_if(renderNotifications, renderNotifications + renderNotificationCount,
                                    [proc, refCon](const AURenderCallbackStruct& notification) {
                                        return notification.inputProc == proc && notification.inputProcRefCon == refCon;
                                    });
    renderNotificationCount = static_cast<int>(end - renderNotifications);
}
