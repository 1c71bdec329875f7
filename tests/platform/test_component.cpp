// A component as a Mac entry would write it: it unpacks ComponentParameters by
// slot and keeps what it was sent, for the Component Manager tests to read.
// Its first entry is also a small effect for the host tests, which every
// render call runs into memory the caller gives.
#include <AudioToolbox/AudioToolbox.h>

#include "test_component.h"

#include <algorithm>
#include <cstring>

#define EXPORTED extern "C" __attribute__((visibility("default")))
// Argument i of the call, as a Mac entry reads it: from the start of its slot.
#define ARGUMENT(type, index) argument<type>(params, index)

namespace
{

template <typename T>
T argument(const ComponentParameters* params, int index)
{
    T value;
    std::memcpy(&value, &params->params[index + 1], sizeof value);
    return value;
}

TestComponentLog gLog;

const char* const kParameterNames[kTestComponentParameters] = {"Zero", "Half", "Gain", "Spare"};
constexpr UInt32 kGain = 2;

void record(const ComponentParameters* params, Handle storage)
{
    TestComponentCall& call = gLog.last;
    call.what = params->what;
    call.paramSize = params->paramSize;
    call.storage = storage;
    std::memset(call.slots, 0, sizeof call.slots);
    std::memcpy(call.slots, params->params, sizeof(long) * (1 + params->paramSize / sizeof(long)));
    ++gLog.calls;
}

ComponentResult openOrClose(ComponentParameters* params, Handle storage)
{
    if (params->what == kComponentOpenSelect)
    {
        const auto self = ARGUMENT(ComponentInstance, 0);
        auto* unit = new TestComponentStorage{};
        unit->self = self;
        SetComponentInstanceStorage(self, reinterpret_cast<Handle>(unit));
        ++gLog.liveInstances;
    }
    else if (storage)
    {
        delete reinterpret_cast<TestComponentStorage*>(storage);
        --gLog.liveInstances;
    }
    return noErr;
}

bool isBusScope(AudioUnitScope scope) { return scope == kAudioUnitScope_Input || scope == kAudioUnitScope_Output; }

// Both buses are element 0 of their scope.
OSStatus busAddress(bool scopeAccepted, AudioUnitElement element)
{
    if (!scopeAccepted)
        return kAudioUnitErr_InvalidScope;
    return element == 0 ? noErr : static_cast<OSStatus>(kAudioUnitErr_InvalidElement);
}

// Size and writability of the properties the effect models; kNotModelled for
// the others, which the entry accepts as the plain recorder always did.
constexpr OSStatus kNotModelled = 1;

OSStatus propertyInfo(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, UInt32& size,
                      bool& writable)
{
    writable = id == kAudioUnitProperty_MaximumFramesPerSlice || id == kAudioUnitProperty_HostCallbacks ||
               id == kAudioUnitProperty_StreamFormat || id == kAudioUnitProperty_SetRenderCallback ||
               id == kAudioUnitProperty_MakeConnection;
    switch (id)
    {
    case kAudioUnitProperty_ElementCount: size = 4; return noErr;
    case kAudioUnitProperty_ParameterList:
        size = scope == kAudioUnitScope_Global ? 4 * kTestComponentParameters : 0;
        return noErr;
    case kAudioUnitProperty_ParameterInfo:
        size = sizeof(AudioUnitParameterInfo);
        return element < kTestComponentParameters ? noErr : static_cast<OSStatus>(kAudioUnitErr_InvalidParameter);
    case kAudioUnitProperty_SupportedNumChannels: size = 2 * sizeof(AUChannelInfo); return noErr;
    case kAudioUnitProperty_Latency:
    case kAudioUnitProperty_TailTime: size = sizeof(Float64); return noErr;
    case kAudioUnitProperty_MaximumFramesPerSlice: size = 4; return noErr;
    case kAudioUnitProperty_HostCallbacks: size = sizeof(HostCallbackInfo); return noErr;
    case kAudioUnitProperty_StreamFormat:
        size = sizeof(AudioStreamBasicDescription);
        return busAddress(isBusScope(scope), element);
    case kAudioUnitProperty_SetRenderCallback:
    case kAudioUnitProperty_MakeConnection:
        size = id == kAudioUnitProperty_MakeConnection ? sizeof(AudioUnitConnection) : sizeof(AURenderCallbackStruct);
        return busAddress(scope == kAudioUnitScope_Input, element);
    default: return kNotModelled;
    }
}

void fillProperty(const TestComponentStorage& unit, AudioUnitPropertyID id, AudioUnitScope scope,
                  AudioUnitElement element, void* data)
{
    switch (id)
    {
    case kAudioUnitProperty_ElementCount: *static_cast<UInt32*>(data) = isBusScope(scope) ? 1 : 0; break;
    case kAudioUnitProperty_ParameterList:
        for (UInt32 index = 0; scope == kAudioUnitScope_Global && index < kTestComponentParameters; ++index)
            static_cast<AudioUnitParameterID*>(data)[index] = index;
        break;
    case kAudioUnitProperty_ParameterInfo:
    {
        AudioUnitParameterInfo info{};
        std::strcpy(info.name, kParameterNames[element]);
        info.unit = kAudioUnitParameterUnit_Generic;
        info.maxValue = 4.0f;
        info.defaultValue = static_cast<Float32>(element) * 0.5f;
        info.flags = kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable;
        std::memcpy(data, &info, sizeof info);
        break;
    }
    case kAudioUnitProperty_SupportedNumChannels:
    {
        const AUChannelInfo configurations[2] = {{1, 1}, {2, 2}};
        std::memcpy(data, configurations, sizeof configurations);
        break;
    }
    case kAudioUnitProperty_Latency: *static_cast<Float64*>(data) = 64.0 / unit.sampleRate; break;
    case kAudioUnitProperty_TailTime: *static_cast<Float64*>(data) = 0.5; break;
    case kAudioUnitProperty_MaximumFramesPerSlice: *static_cast<UInt32*>(data) = unit.maxFramesPerSlice; break;
    case kAudioUnitProperty_HostCallbacks: std::memcpy(data, &unit.hostCallbacks, sizeof unit.hostCallbacks); break;
    case kAudioUnitProperty_StreamFormat:
    {
        constexpr UInt32 kFlags = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved;
        const AudioStreamBasicDescription format = {
            unit.sampleRate, kAudioFormatLinearPCM, kFlags, 4, 1, 4, unit.channels, 32, 0};
        std::memcpy(data, &format, sizeof format);
        break;
    }
    default: break;
    }
}

OSStatus setStreamFormat(TestComponentStorage& unit, const AudioStreamBasicDescription& format)
{
    const UInt32 required = kAudioFormatFlagIsFloat | kAudioFormatFlagIsNonInterleaved;
    if (format.mFormatID != kAudioFormatLinearPCM || (format.mFormatFlags & required) != required ||
        format.mBitsPerChannel != 32 || format.mBytesPerFrame != 4 || format.mChannelsPerFrame < 1 ||
        format.mChannelsPerFrame > 2)
        return kAudioUnitErr_FormatNotSupported;
    unit.channels = format.mChannelsPerFrame;
    unit.sampleRate = format.mSampleRate;
    return noErr;
}

// `expected` and `writable` as propertyInfo answered for the address.
OSStatus setProperty(TestComponentStorage& unit, AudioUnitPropertyID id, const void* data, UInt32 size, UInt32 expected,
                     bool writable)
{
    if (!writable)
        return kAudioUnitErr_InvalidProperty;
    if (size < expected && id != kAudioUnitProperty_HostCallbacks)
        return kAudioUnitErr_InvalidPropertyValue;
    switch (id)
    {
    case kAudioUnitProperty_MaximumFramesPerSlice:
    {
        const UInt32 frames = *static_cast<const UInt32*>(data);
        if (frames == 0 || frames > kTestComponentCapacity)
            return kAudioUnitErr_InvalidPropertyValue;
        unit.maxFramesPerSlice = frames;
        return noErr;
    }
    case kAudioUnitProperty_HostCallbacks:
        unit.hostCallbacks = {};
        std::memcpy(&unit.hostCallbacks, data, std::min<UInt32>(size, sizeof unit.hostCallbacks));
        return noErr;
    case kAudioUnitProperty_StreamFormat:
        return setStreamFormat(unit, *static_cast<const AudioStreamBasicDescription*>(data));
    case kAudioUnitProperty_SetRenderCallback:
        unit.inputCallback = *static_cast<const AURenderCallbackStruct*>(data);
        unit.connection = {};
        return noErr;
    default:
        unit.connection = *static_cast<const AudioUnitConnection*>(data);
        unit.inputCallback = {};
        return noErr;
    }
}

ComponentResult propertyCall(TestComponentStorage& unit, const ComponentParameters* params)
{
    const auto id = ARGUMENT(AudioUnitPropertyID, 0);
    const auto scope = ARGUMENT(AudioUnitScope, 1);
    const auto element = ARGUMENT(AudioUnitElement, 2);
    UInt32 size = 0;
    bool writable = false;
    const OSStatus status = propertyInfo(id, scope, element, size, writable);
    if (status != noErr)
        return status == kNotModelled ? noErr : status;
    if (params->what == kAudioUnitSetPropertySelect)
        return setProperty(unit, id, ARGUMENT(const void*, 3), ARGUMENT(UInt32, 4), size, writable);
    if (params->what == kAudioUnitGetPropertyInfoSelect)
    {
        if (auto* outSize = ARGUMENT(UInt32*, 3))
            *outSize = size;
        if (auto* outWritable = ARGUMENT(Boolean*, 4))
            *outWritable = writable;
        return noErr;
    }
    void* data = ARGUMENT(void*, 3);
    auto* ioSize = ARGUMENT(UInt32*, 4);
    if (id == kAudioUnitProperty_SetRenderCallback || id == kAudioUnitProperty_MakeConnection)
        return kAudioUnitErr_InvalidProperty;
    if (data && *ioSize < size)
        return kAudioUnitErr_InvalidPropertyValue;
    *ioSize = size;
    if (data)
        fillProperty(unit, id, scope, element, data);
    return noErr;
}

ComponentResult parameterCall(TestComponentStorage& unit, const ComponentParameters* params)
{
    const auto id = ARGUMENT(AudioUnitParameterID, 0);
    if (ARGUMENT(AudioUnitScope, 1) != kAudioUnitScope_Global)
        return kAudioUnitErr_InvalidScope;
    if (id >= kTestComponentParameters)
        return kAudioUnitErr_InvalidParameter;
    if (params->what == kAudioUnitGetParameterSelect)
        *ARGUMENT(AudioUnitParameterValue*, 3) = unit.parameters[id];
    else
        unit.parameters[id] = ARGUMENT(AudioUnitParameterValue, 3);
    return noErr;
}

// One mono buffer per channel, the unit's own memory, which the source fills
// or points elsewhere; silence without a source.
OSStatus pullInput(TestComponentStorage& unit, const AudioTimeStamp& stamp, UInt32 frames, AudioBufferList& input)
{
    input.mNumberBuffers = unit.channels;
    AudioBuffer* const buffers = input.mBuffers;
    for (UInt32 channel = 0; channel < unit.channels; ++channel)
    {
        std::fill_n(unit.buffers[channel], frames, 0.0f);
        buffers[channel] = {1, frames * 4, unit.buffers[channel]};
    }
    AudioUnitRenderActionFlags flags = 0;
    if (unit.inputCallback.inputProc)
        return unit.inputCallback.inputProc(unit.inputCallback.inputProcRefCon, &flags, &stamp, 0, frames, &input);
    if (unit.connection.sourceAudioUnit)
        return AudioUnitRender(unit.connection.sourceAudioUnit, &flags, &stamp, unit.connection.sourceOutputNumber,
                               frames, &input);
    return noErr;
}

void readTransport(TestComponentStorage& unit)
{
    const HostCallbackInfo& host = unit.hostCallbacks;
    TestComponentTransport seen{0.0, 120.0, -1.0, false};
    if (host.beatAndTempoProc)
        host.beatAndTempoProc(host.hostUserData, &seen.beat, &seen.tempo);
    Boolean changed = false, cycling = false;
    Float64 cycleStart = 0.0, cycleEnd = 0.0;
    if (host.transportStateProc)
        host.transportStateProc(host.hostUserData, &seen.playing, &changed, &seen.sampleInTimeLine, &cycling,
                                &cycleStart, &cycleEnd);
    unit.transport = seen;
}

// Every call runs the effect, into the caller's memory, which it must give.
ComponentResult render(TestComponentStorage& unit, const AudioTimeStamp* stamp, UInt32 bus, UInt32 frames,
                       AudioBufferList* ioData)
{
    if (!stamp || !ioData || bus != 0 || frames > unit.maxFramesPerSlice || ioData->mNumberBuffers != unit.channels)
        return paramErr;
    for (UInt32 channel = 0; channel < unit.channels; ++channel)
    {
        if (!ioData->mBuffers[channel].mData || ioData->mBuffers[channel].mDataByteSize != frames * 4)
            return paramErr;
    }
    struct
    {
        AudioBufferList list;
        AudioBuffer second;
    } input{};
    if (const OSStatus status = pullInput(unit, *stamp, frames, input.list); status != noErr)
        return status;
    readTransport(unit);
    for (UInt32 channel = 0; channel < unit.channels; ++channel)
    {
        const auto* samples = static_cast<const float*>((input.list.mBuffers + channel)->mData);
        std::transform(samples, samples + frames, static_cast<float*>(ioData->mBuffers[channel].mData),
                       [gain = unit.parameters[kGain]](float sample) { return sample * gain; });
    }
    return noErr;
}

ComponentResult effectCall(TestComponentStorage& unit, const ComponentParameters* params)
{
    switch (params->what)
    {
    case kAudioUnitInitializeSelect:
    case kAudioUnitUninitializeSelect:
    case kAudioUnitResetSelect: return noErr;
    case kAudioUnitGetPropertyInfoSelect:
    case kAudioUnitGetPropertySelect:
    case kAudioUnitSetPropertySelect: return propertyCall(unit, params);
    case kAudioUnitGetParameterSelect:
    case kAudioUnitSetParameterSelect: return parameterCall(unit, params);
    case kAudioUnitRenderSelect:
        return render(unit, ARGUMENT(const AudioTimeStamp*, 1), ARGUMENT(UInt32, 2), ARGUMENT(UInt32, 3),
                      ARGUMENT(AudioBufferList*, 4));
    default: return badComponentSelector;
    }
}

}  // namespace

EXPORTED TestComponentLog* TestComponentLogOf() { return &gLog; }

EXPORTED ComponentResult TestComponentEntry(ComponentParameters* params, Handle storage)
{
    record(params, storage);
    switch (params->what)
    {
    case kComponentOpenSelect:
    case kComponentCloseSelect: return openOrClose(params, storage);
    case kComponentVersionSelect: return 0x00010203;
    default:
        return storage ? effectCall(*reinterpret_cast<TestComponentStorage*>(storage), params) : badComponentSelector;
    }
}

// Refuses to open, as a component whose set-up fails does.
EXPORTED ComponentResult TestRefusingEntry(ComponentParameters* params, Handle storage)
{
    record(params, storage);
    return params->what == kComponentOpenSelect ? -32767 : noErr;
}
