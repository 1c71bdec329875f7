// The Audio Unit driven by a hostile host: the bytes are property, parameter,
// lifecycle and render calls in any stream layout, slice size (the whole
// range of the value), scope and element, valid or not, with any transport
// and faulty input sources. One unit stays open for the run and is put back
// into a known state (stereo in and out, parameters at their defaults,
// initialized) before every input.
//
// Every render the unit accepts must give finite samples whose channel mean is
// that of the input it pulled: the width cancels in the mono sum, whatever the
// layout, the parameters or the bypass.

#include "fuzzed_component.h"

#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace
{
constexpr UInt32 kMostFrames = 8192;
constexpr UInt32 kMostChannels = 4;
constexpr Float64 kSampleRate = 44100.0;

// The bytes as the calls' arguments; zeros once they run out.
class Bytes
{
public:
    Bytes(const std::uint8_t* data, std::size_t size) : position(data), end(data + size) {}
    bool empty() const { return position == end; }
    template <typename T>
    T take()
    {
        T value{};
        const std::size_t count = std::min(sizeof value, static_cast<std::size_t>(end - position));
        std::memcpy(&value, position, count);
        position += count;
        return value;
    }
    std::uint8_t byte() { return take<std::uint8_t>(); }

private:
    const std::uint8_t* position;
    const std::uint8_t* end;
};

// How the input callback answers: with a signal, and now and then as a
// faulty source does.
enum SourceFault : std::uint8_t
{
    claimsSilence = 0x10,
    fails = 0x20,
    dropsBuffer = 0x40,
    handsNoData = 0x80
};

// What the input callback handed the unit for the slice being rendered.
struct PulledInput
{
    UInt32 channels = 0;
    UInt32 frames = 0;
    float samples[kMostChannels][kMostFrames];
    std::uint8_t seed = 0;  // low bits: the signal; high bits: faults
};

PulledInput pulled;

OSStatus provideInput(void*, AudioUnitRenderActionFlags* flags, const AudioTimeStamp*, UInt32, UInt32 frames,
                      AudioBufferList* ioData)
{
    if ((pulled.seed & fails) != 0)
    {
        return kAudioUnitErr_InvalidProperty;
    }
    pulled.channels = std::min(ioData->mNumberBuffers, kMostChannels);
    pulled.frames = std::min(frames, kMostFrames);
    for (UInt32 channel = 0; channel < pulled.channels; ++channel)
    {
        auto* samples = static_cast<float*>(ioData->mBuffers[channel].mData);
        for (UInt32 frame = 0; frame < pulled.frames; ++frame)
        {
            const float phase = 0.01f * static_cast<float>((pulled.seed & 0x0F) + 1) *
                                static_cast<float>(frame + channel * 7);
            samples[frame] = pulled.samples[channel][frame] = std::sin(phase) * (channel == 1 ? -0.5f : 0.9f);
        }
    }
    if ((pulled.seed & claimsSilence) != 0)
    {
        *flags |= kAudioUnitRenderAction_OutputIsSilence;
    }
    // A bus handed back short, or without its samples, must be refused.
    if ((pulled.seed & dropsBuffer) != 0 && ioData->mNumberBuffers > 0)
    {
        --ioData->mNumberBuffers;
    }
    if ((pulled.seed & handsNoData) != 0 && ioData->mNumberBuffers > 0)
    {
        ioData->mBuffers[0].mData = nullptr;
    }
    return noErr;
}

// The host's transport, musical time and tempo, any values at all.
struct HostTime
{
    Float64 beat, tempo, downBeat, sampleInTimeLine, cycleStart, cycleEnd;
    Float32 numerator;
    UInt32 denominator, offsetToNextBeat;
    std::uint8_t states;  // playing, changed, cycling, and a failing answer
};

HostTime hostTime;

OSStatus answer() { return (hostTime.states & 8) != 0 ? OSStatus{kAudioUnitErr_InvalidProperty} : OSStatus{noErr}; }

OSStatus beatAndTempo(void*, Float64* beat, Float64* tempo)
{
    *beat = hostTime.beat;
    *tempo = hostTime.tempo;
    return answer();
}

OSStatus musicalTime(void*, UInt32* offsetToNextBeat, Float32* numerator, UInt32* denominator, Float64* downBeat)
{
    *offsetToNextBeat = hostTime.offsetToNextBeat;
    *numerator = hostTime.numerator;
    *denominator = hostTime.denominator;
    *downBeat = hostTime.downBeat;
    return answer();
}

OSStatus transportState(void*, Boolean* playing, Boolean* changed, Float64* sampleInTimeLine, Boolean* cycling,
                        Float64* cycleStart, Float64* cycleEnd)
{
    *playing = (hostTime.states & 1) != 0;
    *changed = (hostTime.states & 2) != 0;
    *cycling = (hostTime.states & 4) != 0;
    *sampleInTimeLine = hostTime.sampleInTimeLine;
    *cycleStart = hostTime.cycleStart;
    *cycleEnd = hostTime.cycleEnd;
    return answer();
}

OSStatus countNotification(void* count, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32,
                           AudioBufferList*)
{
    ++*static_cast<int*>(count);
    return noErr;
}

AudioStreamBasicDescription floatFormat(UInt32 channels, Float64 sampleRate)
{
    constexpr UInt32 kFlags = kAudioFormatFlagIsFloat | kAudioFormatFlagIsNonInterleaved;
    return {sampleRate, kAudioFormatLinearPCM, kFlags, 4, 1, 4, channels, 32, 0};
}

class HostileHost
{
public:
    explicit HostileHost(AudioUnit unit) : unit(unit) {}

    void reset()
    {
        AudioUnitUninitialize(unit);
        for (const AudioUnitScope scope : {kAudioUnitScope_Input, kAudioUnitScope_Output})
        {
            set(kAudioUnitProperty_StreamFormat, floatFormat(2, kSampleRate), scope);
        }
        set(kAudioUnitProperty_MaximumFramesPerSlice, UInt32{1024});
        set(kAudioUnitProperty_BypassEffect, UInt32{0});
        setInputCallback(true);
        set(kAudioUnitProperty_MakeConnection, AudioUnitConnection{nullptr, 0, 0}, kAudioUnitScope_Input);
        set(kAudioUnitProperty_HostCallbacks, HostCallbackInfo{});
        UInt32 size = sizeof parameters;
        const bool listed = AudioUnitGetProperty(unit, kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0,
                                                 parameters, &size) == noErr;
        parameterCount = listed ? size / sizeof parameters[0] : 0;
        for (UInt32 index = 0; index < parameterCount; ++index)
        {
            AudioUnitParameterInfo info{};
            size = sizeof info;
            AudioUnitGetProperty(unit, kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, parameters[index],
                                 &info, &size);
            AudioUnitSetParameter(unit, parameters[index], kAudioUnitScope_Global, 0, info.defaultValue, 0);
        }
        // Reset once initialized: the delay lines hold nothing of the last input.
        if (AudioUnitInitialize(unit) != noErr || AudioUnitReset(unit, kAudioUnitScope_Global, 0) != noErr)
        {
            fuzzing::stop("host", "the unit does not initialize in its known state");
        }
        while (notifications > 0)
        {
            AudioUnitRemoveRenderNotify(unit, countNotification, &notificationCount);
            --notifications;
        }
    }

    void run(Bytes& bytes)
    {
        while (!bytes.empty())
        {
            switch (bytes.byte() % 10)
            {
            case 0: setLayout(bytes); break;
            case 1: setProperty(bytes); break;
            case 2: getProperty(bytes); break;
            case 3: setParameter(bytes); break;
            case 4: scheduleParameters(bytes); break;
            case 5: lifecycle(bytes); break;
            case 6: setInputCallback((bytes.byte() & 1) == 0); break;
            case 7: notify(bytes); break;
            case 8: setHostCallbacks(bytes); break;
            default: render(bytes); break;
            }
        }
    }

private:
    template <typename Value>
    void set(AudioUnitPropertyID id, const Value& value, AudioUnitScope where = kAudioUnitScope_Global,
             AudioUnitElement element = 0)
    {
        AudioUnitSetProperty(unit, id, where, element, &value, sizeof value);
    }

    AudioUnitScope scope(Bytes& bytes) { return bytes.byte() % 4; }

    AudioUnitParameterID parameterID(Bytes& bytes)
    {
        const std::uint8_t choice = bytes.byte();
        return choice < 0xF0 && parameterCount > 0 ? parameters[choice % parameterCount] : bytes.take<UInt32>();
    }

    void setInputCallback(bool on)
    {
        set(kAudioUnitProperty_SetRenderCallback, AURenderCallbackStruct{on ? provideInput : nullptr, nullptr},
            kAudioUnitScope_Input);
    }

    // Mono, stereo or a width the unit must refuse, on the input or the
    // output, at the usual or an odd sample rate.
    void setLayout(Bytes& bytes)
    {
        const std::uint8_t choice = bytes.byte();
        const UInt32 channels = choice & 3;
        const Float64 sampleRate = (choice & 4) != 0 ? bytes.take<Float64>() : kSampleRate;
        set(kAudioUnitProperty_StreamFormat, floatFormat(channels, sampleRate),
            (choice & 8) != 0 ? kAudioUnitScope_Output : kAudioUnitScope_Input, (choice >> 4) % 2);
    }

    // Properties whose values hold no pointers, set from the bytes at any
    // size; the preset ones with a number from the bytes.
    void setProperty(Bytes& bytes)
    {
        static constexpr AudioUnitPropertyID kValueProperties[] = {
            kAudioUnitProperty_SampleRate,   kAudioUnitProperty_StreamFormat, kAudioUnitProperty_MaximumFramesPerSlice,
            kAudioUnitProperty_BypassEffect, kAudioUnitProperty_ElementCount, kAudioUnitProperty_Latency,
            kAudioUnitProperty_RenderQuality};
        const std::uint8_t choice = bytes.byte();
        const AudioUnitScope where = scope(bytes);
        const AudioUnitElement element = bytes.byte() % 3;
        if (choice >= 0xD0 && choice < 0xE0)
        {
            // Its input pulled from nothing, or from its own output.
            set(kAudioUnitProperty_MakeConnection,
                AudioUnitConnection{(choice & 1) != 0 ? unit : nullptr, bytes.byte() % 2u, element}, where, element);
            return;
        }
        if (choice >= 0xE0)
        {
            set((choice & 1) != 0 ? kAudioUnitProperty_PresentPreset : kAudioUnitProperty_CurrentPreset,
                AUPreset{bytes.take<SInt32>() % 16, CFSTR("Fuzzed")}, where, element);
            return;
        }
        const AudioUnitPropertyID id = kValueProperties[choice % std::size(kValueProperties)];
        std::vector<std::uint8_t> value(bytes.byte() % 48);
        for (std::uint8_t& byte : value)
        {
            byte = bytes.byte();
        }
        // Slice sizes come from the whole range of the value: whatever the unit
        // refuses leaves its slices as they were.
        const UInt32 slicesBefore = maximumFramesPerSlice();
        if (AudioUnitSetProperty(unit, id, where, element, value.empty() ? nullptr : value.data(),
                                 static_cast<UInt32>(value.size())) != noErr &&
            maximumFramesPerSlice() != slicesBefore)
        {
            fuzzing::stop("slices", "a refused call changed the slice size");
        }
    }

    UInt32 maximumFramesPerSlice() const
    {
        UInt32 frames = 0;
        UInt32 size = sizeof frames;
        AudioUnitGetProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, &frames, &size);
        return frames;
    }

    // Any property, at the size the unit gives or at another; what the unit
    // hands over as its own object is released.
    void getProperty(Bytes& bytes)
    {
        const AudioUnitPropertyID id = bytes.byte() % 48;
        const AudioUnitScope where = scope(bytes);
        const AudioUnitElement element = (bytes.byte() & 0x80) != 0 ? parameterID(bytes) : bytes.byte() % 3;
        UInt32 size = 0;
        Boolean writable = false;
        const bool known = AudioUnitGetPropertyInfo(unit, id, where, element, &size, &writable) == noErr &&
                           size <= 4096;
        const std::uint8_t sizeChoice = bytes.byte();
        const UInt32 asked = known && sizeChoice < 0xC0 ? size : sizeChoice % 64;
        // The conversions read a value or a string the host fills in first.
        if (id == kAudioUnitProperty_ParameterStringFromValue || id == kAudioUnitProperty_ParameterValueFromString)
        {
            return;
        }
        std::vector<std::uint8_t> value(std::max<UInt32>(asked, 1));
        UInt32 answered = asked;
        if (AudioUnitGetProperty(unit, id, where, element, value.data(), &answered) != noErr || !known || asked < size)
        {
            return;
        }
        releaseOwned(id, value.data());
    }

    static void releaseOwned(AudioUnitPropertyID id, const std::uint8_t* value)
    {
        CFTypeRef owned[2] = {};
        switch (id)
        {
        case kAudioUnitProperty_ClassInfo:
        case kAudioUnitProperty_FactoryPresets:
        case kAudioUnitProperty_ParameterValueStrings:
        case kAudioUnitProperty_ElementName: std::memcpy(&owned[0], value, sizeof owned[0]); break;
        case kAudioUnitProperty_PresentPreset: std::memcpy(&owned[0], value + offsetof(AUPreset, presetName), 8); break;
        case kAudioUnitProperty_CocoaUI: std::memcpy(owned, value, sizeof owned); break;
        default: break;
        }
        for (const CFTypeRef object : owned)
        {
            if (object != nullptr)
            {
                CFRelease(object);
            }
        }
    }

    void setParameter(Bytes& bytes)
    {
        const AudioUnitParameterID id = parameterID(bytes);
        const AudioUnitScope where = scope(bytes);
        const AudioUnitParameterValue value = bytes.take<float>();
        AudioUnitSetParameter(unit, id, where, bytes.byte() % 2, value, bytes.take<std::uint16_t>());
        AudioUnitParameterValue read = 0.0f;
        if (AudioUnitGetParameter(unit, id, where, 0, &read) == noErr && !std::isfinite(read))
        {
            fuzzing::stop("parameters", "a value read is not finite");
        }
    }

    void scheduleParameters(Bytes& bytes)
    {
        AudioUnitParameterEvent events[3]{};
        const UInt32 count = bytes.byte() % 4;
        for (UInt32 index = 0; index < count; ++index)
        {
            AudioUnitParameterEvent& event = events[index];
            event.parameter = parameterID(bytes);
            event.scope = scope(bytes);
            event.element = bytes.byte() % 2;
            event.eventType = (bytes.byte() & 1) != 0 ? kParameterEvent_Ramped : kParameterEvent_Immediate;
            if (event.eventType == kParameterEvent_Ramped)
            {
                event.eventValues.ramp = {bytes.take<SInt32>(), bytes.take<UInt32>(), bytes.take<float>(),
                                          bytes.take<float>()};
            }
            else
            {
                event.eventValues.immediate = {bytes.take<UInt32>(), bytes.take<float>()};
            }
        }
        AudioUnitScheduleParameters(unit, events, count);
    }

    void lifecycle(Bytes& bytes)
    {
        switch (bytes.byte() % 3)
        {
        case 0: AudioUnitInitialize(unit); break;
        case 1: AudioUnitUninitialize(unit); break;
        default: AudioUnitReset(unit, scope(bytes), bytes.byte() % 2); break;
        }
    }

    void setHostCallbacks(Bytes& bytes)
    {
        const std::uint8_t choice = bytes.byte();
        hostTime = {bytes.take<Float64>(), bytes.take<Float64>(), bytes.take<Float64>(), bytes.take<Float64>(),
                    bytes.take<Float64>(), bytes.take<Float64>(), bytes.take<Float32>(), bytes.take<UInt32>(),
                    bytes.take<UInt32>(),  bytes.byte()};
        set(kAudioUnitProperty_HostCallbacks,
            HostCallbackInfo{nullptr, (choice & 1) != 0 ? beatAndTempo : nullptr,
                             (choice & 2) != 0 ? musicalTime : nullptr, (choice & 4) != 0 ? transportState : nullptr});
    }

    void notify(Bytes& bytes)
    {
        if ((bytes.byte() & 1) != 0)
        {
            notifications += AudioUnitAddRenderNotify(unit, countNotification, &notificationCount) == noErr ? 1 : 0;
        }
        else if (notifications > 0 && AudioUnitRemoveRenderNotify(unit, countNotification, &notificationCount) == noErr)
        {
            --notifications;
        }
    }

    // A slice of any size on output bus 0 (or another), into the host's
    // buffers or the unit's, with as many buffers as the output stream has
    // channels or another number, of the right byte size or not, with or
    // without valid action flags.
    void render(Bytes& bytes)
    {
        const std::uint8_t choice = bytes.byte();
        const UInt32 frames = bytes.take<std::uint16_t>() % (kMostFrames + 1);
        pulled.seed = bytes.byte();
        AudioStreamBasicDescription format{};
        UInt32 size = sizeof format;
        AudioUnitGetProperty(unit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, &format, &size);
        UInt32 channels = std::min(format.mChannelsPerFrame, kMostChannels);
        if ((choice & 0x10) != 0)
        {
            channels = choice % (kMostChannels + 1);
        }
        struct
        {
            UInt32 mNumberBuffers;
            AudioBuffer mBuffers[kMostChannels];
        } buffers{channels, {}};
        std::vector<float> own(static_cast<std::size_t>(channels) * frames);
        const bool unitMemory = (choice & 0x20) != 0;
        for (UInt32 channel = 0; channel < channels; ++channel)
        {
            const UInt32 byteSize = static_cast<UInt32>(frames * sizeof(float)) - ((choice & 0x04) != 0 ? 4 : 0);
            buffers.mBuffers[channel] = {1, byteSize, unitMemory ? nullptr : own.data() + channel * frames};
        }
        pulled.channels = 0;
        AudioTimeStamp stamp{};
        stamp.mSampleTime = sampleTime;
        stamp.mFlags = kAudioTimeStampSampleTimeValid;
        sampleTime += frames;
        AudioUnitRenderActionFlags flags = (choice & 0x02) != 0 ? kAudioUnitRenderAction_PreRender : 0;
        const UInt32 bus = (choice & 0x08) != 0 ? 1 : 0;
        if (AudioUnitRender(unit, (choice & 0x01) != 0 ? nullptr : &flags, &stamp, bus, frames,
                            reinterpret_cast<AudioBufferList*>(&buffers)) == noErr)
        {
            check(buffers.mBuffers, channels, frames);
        }
    }

    static void check(const AudioBuffer* outputs, UInt32 channels, UInt32 frames)
    {
        const bool pulledSlice = pulled.channels > 0 && pulled.frames == frames;
        for (UInt32 frame = 0; frame < frames; ++frame)
        {
            float outputMean = 0.0f;
            for (UInt32 channel = 0; channel < channels; ++channel)
            {
                const float sample = static_cast<const float*>(outputs[channel].mData)[frame];
                if (!std::isfinite(sample))
                {
                    fuzzing::stop("render", "the output is not finite");
                }
                outputMean += sample / static_cast<float>(channels);
            }
            if (!pulledSlice || channels == 0 || channels > 2 || pulled.channels > 2)
            {
                continue;
            }
            float inputMean = 0.0f;
            for (UInt32 channel = 0; channel < pulled.channels; ++channel)
            {
                inputMean += pulled.samples[channel][frame] / static_cast<float>(pulled.channels);
            }
            if (std::fabs(outputMean - inputMean) > 1e-5f)
            {
                fuzzing::stop("render", "the mono sum of the output is not the input's");
            }
        }
    }

    AudioUnit unit;
    AudioUnitParameterID parameters[64] = {};
    UInt32 parameterCount = 0;
    int notifications = 0;
    int notificationCount = 0;
    Float64 sampleTime = 0.0;
};

HostileHost& host()
{
    static fuzzing::FuzzedBundle bundle;
    static auhost::AudioUnitInstance instance(bundle.component());
    static HostileHost opened(instance.unit());
    return opened;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    host();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    HostileHost& unit = host();
    unit.reset();
    Bytes bytes(data, size);
    unit.run(bytes);
    return 0;
}
