// The render path: the call checked, notifications, one effect run per time
// stamp on the shared buffers, the output handed out; the MIDI queue and the
// table of render notifications.
//
// Nothing on the render path allocates or throws, and a call the host makes
// correctly takes no lock. A call that fails answers a status, and some host
// or source faults also write one fixed trace line, which takes standard
// error's stream lock: a render call for a bus, slice size, channel count or
// flags the unit never announced, input flagged silent that carries signal,
// and a MIDI event beyond a full queue. Each is a host fault that already
// costs the host its slice or event, the line is what lets the host's
// developer find it, and it is written once per faulty call. An effect that
// calls output silent that is not stops the process, after its line.

#include "tandem/cf_handle.h"
#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_render_path.h"
#include "tandem/tandem_render_support.h"
#include "tandem/tandem_trace.h"
#include "tandem/value_change.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr VstInt32 kTandemInputSilence = 0x73493030;   // 'sI00'
constexpr VstInt32 kTandemOutputSilence = 0x734F3030;  // 'sO00'
constexpr AudioUnitRenderActionFlags kNotificationFlags = kAudioUnitRenderAction_PreRender |
                                                          kAudioUnitRenderAction_PostRender;

AudioUnitRenderActionFlags withSilence(AudioUnitRenderActionFlags flags, bool silent)
{
    return silent ? flags | kAudioUnitRenderAction_OutputIsSilence : flags & ~kAudioUnitRenderAction_OutputIsSilence;
}
}  // namespace

TandemRenderPath::TandemRenderPath(const HostedEffect& vst, const TandemSetup& setup, PropertyListeners& listeners)
    : vst(vst), setup(setup), listeners(listeners)
{
    streamFormat = {44100.0,
                    kAudioFormatLinearPCM,
                    kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved,
                    4,
                    1,
                    4,
                    2,
                    32,
                    0};
    midiEventStorage = std::make_unique<VstMidiEvent[]>(kMaxVSTMIDIEvents);
    for (int index = 0; index < kMaxVSTMIDIEvents; ++index)
    {
        VstMidiEvent& record = midiEventStorage[index];
        record = VstMidiEvent{};
        record.type = kVstMidiType;
        record.byteSize = 24;
        midiQueue.events[index] = reinterpret_cast<VstEvent*>(&record);
    }
}

TandemRenderPath::~TandemRenderPath()
{
    for (int bus = 0; bus < kMaxBuses; ++bus)
    {
        releaseCF(inputs.names[bus]);
        releaseCF(outputs.names[bus]);
    }
}

OSStatus TandemRenderPath::render(AudioUnitRenderActionFlags* ioActionFlags, const AudioTimeStamp* inTimeStamp,
                                  UInt32 inOutputBusNumber, UInt32 inNumberFrames, AudioBufferList* ioData) noexcept
{
    if (ioData == nullptr || inTimeStamp == nullptr) [[unlikely]]
    {
        return paramErr;
    }
    const AudioUnitRenderActionFlags incoming = ioActionFlags != nullptr ? *ioActionFlags : 0;
    if (const OSStatus status = checkRenderArguments(incoming, inOutputBusNumber, inNumberFrames, *ioData);
        status != noErr) [[unlikely]]
    {
        return status;
    }
    AudioUnitRenderActionFlags flags = incoming | kAudioUnitRenderAction_PreRender;
    callRenderNotifications(&flags, inTimeStamp, inOutputBusNumber, inNumberFrames, ioData);
    flags &= ~kAudioUnitRenderAction_PreRender;

    if (const OSStatus status = runEffectOnce(static_cast<int>(inNumberFrames), inTimeStamp); status != noErr)
        [[unlikely]]
    {
        return status;
    }
    flags = withSilence(flags, outputSilent);
    handOutOutput(static_cast<int>(inOutputBusNumber), static_cast<int>(inNumberFrames), *ioData);

    flags |= kAudioUnitRenderAction_PostRender;
    callRenderNotifications(&flags, inTimeStamp, inOutputBusNumber, inNumberFrames, ioData);
    flags &= ~kAudioUnitRenderAction_PostRender;
    if (ioActionFlags != nullptr)
    {
        *ioActionFlags = flags;
    }
    return noErr;
}

inline OSStatus TandemRenderPath::checkRenderArguments(AudioUnitRenderActionFlags flags, UInt32 bus, UInt32 frames,
                                                       const AudioBufferList& ioData) const noexcept
{
    // Rendering belongs between Initialize and Uninitialize.
    if (!vst->isResumed()) [[unlikely]]
    {
        return kAudioUnitErr_Uninitialized;
    }
    if (bus >= static_cast<UInt32>(outputs.count)) [[unlikely]]
    {
        tandemTrace("AURender called for an invalid bus (%u)\n", bus);
        return paramErr;
    }
    if (frames > static_cast<UInt32>(maxFramesPerSlice)) [[unlikely]]
    {
        tandemTrace("AURender called for an unexpected large number of frames (expected max %d, got %u)\n",
                    maxFramesPerSlice, frames);
        return paramErr;
    }
    const int expected = outputs.activeChannels[bus];
    if (ioData.mNumberBuffers != static_cast<UInt32>(expected)) [[unlikely]]
    {
        tandemTrace("AURender called for an unexpected number of output channels (expected %d, got %u)\n", expected,
                    ioData.mNumberBuffers);
        return paramErr;
    }
    if ((flags & kNotificationFlags) != 0) [[unlikely]]
    {
        tandemTrace("Invalid 'ioActionFlags' on call to AURender\n");
        return paramErr;
    }
    const UInt32 byteSize = frames * sizeof(float);
    const bool wrongSize = std::any_of(
        ioData.mBuffers, ioData.mBuffers + ioData.mNumberBuffers,
        [byteSize](const AudioBuffer& buffer) { return buffer.mData != nullptr && buffer.mDataByteSize != byteSize; });
    return wrongSize ? OSStatus{paramErr} : OSStatus{noErr};
}

void TandemRenderPath::callRenderNotifications(AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp,
                                               UInt32 bus, UInt32 frames, AudioBufferList* ioData) noexcept
{
    for (int index = renderNotificationCount - 1; index >= 0; --index)
    {
        const AURenderCallbackStruct& notification = renderNotifications[index];
        notification.inputProc(notification.inputProcRefCon, flags, timeStamp, bus, frames, ioData);
    }
}

// Further buses, or a repeated pull, of the same time stamp share the run.
OSStatus TandemRenderPath::runEffectOnce(int frames, const AudioTimeStamp* timeStamp) noexcept
{
    if (!differs(timeStamp->mSampleTime, lastRenderSampleTime))
    {
        return noErr;
    }
    lastRenderSampleTime = timeStamp->mSampleTime;
    const OSStatus status = runEffect(frames, timeStamp);
    if (status != noErr) [[unlikely]]
    {
        // Nothing ran for this time stamp: a retry must run the effect.
        lastRenderSampleTime = kNoRenderSampleTime;
    }
    return status;
}

OSStatus TandemRenderPath::runEffect(int frames, const AudioTimeStamp* timeStamp) noexcept
{
    updateVSTTimeInfo(timeStamp);
    bool inputIsSilent = true;
    if (const OSStatus status = collectInputAudio(frames, effectInputs, timeStamp, inputIsSilent); status != noErr)
    {
        return status;
    }
    renderOutput(frames, effectInputs, effectOutputs, inputIsSilent);
    if (outputNarrowerThanPins)
    {
        foldDownNarrowOutputs(frames);
    }
    return noErr;
}

// A host buffer gets a copy; where the host gave none, the unit's own buffer
// is handed out.
void TandemRenderPath::handOutOutput(int bus, int frames, AudioBufferList& ioData) noexcept
{
    const int firstPin = outputs.firstPin[bus];
    for (UInt32 index = 0; index < ioData.mNumberBuffers; ++index)
    {
        AudioBuffer& buffer = ioData.mBuffers[index];
        float* source = ioBuffers[firstPin + outputs.pinOfChannel(bus, static_cast<int>(index))].get();
        TANDEM_REQUIRE(source != 0);
        if (buffer.mData != nullptr)
        {
            std::memcpy(buffer.mData, source, static_cast<size_t>(frames) * sizeof(float));
        }
        else
        {
            buffer.mData = source;
            buffer.mDataByteSize = static_cast<UInt32>(frames) * sizeof(float);
        }
    }
}

inline void TandemRenderPath::renderOutput(int frames, const float* const* effectInputs, float** effectOutputs,
                                           bool inputIsSilent) noexcept
{
    if (midiQueue.numEvents > 0)
    {
        vst->processEvents(*midiQueueAsVstEvents);
        midiQueue.numEvents = 0;
    }
    if (setup.vstGotTandemExtensions)
    {
        vst->vendorSpecific(kTandemInputSilence, inputIsSilent ? 1 : 0, nullptr, 0.0f);
    }
    vst->processReplacing(effectInputs, effectOutputs, frames);
    outputSilent = false;
    if (setup.vstGotTandemExtensions && vst->vendorSpecific(kTandemOutputSilence, 0, nullptr, 0.0f) != 0) [[unlikely]]
    {
        outputSilent = true;
        const bool reallyGotSignal = std::any_of(
            effectOutputs, effectOutputs + vst->getOutputCount(),
            [frames](const float* samples) { return tandem::carriesSignal(samples, frames); });
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
void TandemRenderPath::foldDownNarrowOutputs(int frames) noexcept
{
    for (int bus = 0; bus < outputs.count; ++bus)
    {
        const int active = outputs.activeChannels[bus];
        const int pinCount = outputs.maxChannels(bus);
        for (int channel = 0; channel < active && active < pinCount; ++channel)
        {
            const float* sources[kMaxChannels];
            int count = 0;
            for (int pin = channel; pin < pinCount; pin += active)
            {
                sources[count++] = effectOutputs[outputs.firstPin[bus] + pin];
            }
            tandem::averageInto(ioBuffers[outputs.firstPin[bus] + channel].get(), sources, count, frames);
        }
    }
}

void TandemRenderPath::midiInput(int offset, int status, int data1, int data2) noexcept
{
    // Events the effect cannot take are dropped: while suspended, for an
    // effect that never asked for MIDI, and beyond a full queue.
    if (!vst->isResumed() || !vst->wantsMidi())
    {
        return;
    }
    if (midiQueue.numEvents >= kMaxVSTMIDIEvents)
    {
        tandemTrace("Too many MIDI events received\n");
        return;
    }
    VstMidiEvent& event = midiEventStorage[midiQueue.numEvents++];
    event.deltaFrames = offset;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
}

void TandemRenderPath::addRenderNotification(AURenderCallback proc, void* refCon)
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

void TandemRenderPath::removeRenderNotification(AURenderCallback proc, void* refCon)
{
    tandemTrace("AU kAudioUnitRemoveRenderNotifySelect\n");
    const auto end = std::remove_if(renderNotifications, renderNotifications + renderNotificationCount,
                                    [proc, refCon](const AURenderCallbackStruct& notification) {
                                        return notification.inputProc == proc && notification.inputProcRefCon == refCon;
                                    });
    renderNotificationCount = static_cast<int>(end - renderNotifications);
}
