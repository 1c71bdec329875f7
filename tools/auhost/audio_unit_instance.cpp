#include "auhost/audio_unit_instance.h"

#include "auhost/au_error.h"

#include <cstring>

namespace auhost
{
namespace
{
std::string propertyCall(const char* call, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element)
{
    return std::string(call) + " (property " + std::to_string(id) + ", scope " + std::to_string(scope) + ", element " +
           std::to_string(element) + ")";
}

std::string utf8(CFStringRef string)
{
    const CFIndex size = CFStringGetMaximumSizeForEncoding(CFStringGetLength(string), kCFStringEncodingUTF8) + 1;
    std::string text(static_cast<size_t>(size), '\0');
    if (!CFStringGetCString(string, text.data(), size, kCFStringEncodingUTF8))
        return {};
    text.resize(text.find('\0'));
    return text;
}
}  // namespace

AudioUnitInstance::AudioUnitInstance(Component component)
{
    check(OpenAComponent(component, &instance), "OpenAComponent");
}

AudioUnitInstance::~AudioUnitInstance() { CloseComponent(instance); }

ComponentResult AudioUnitInstance::version() const { return GetComponentVersion(instance); }

void AudioUnitInstance::initialize() { check(AudioUnitInitialize(instance), "AudioUnitInitialize"); }

void AudioUnitInstance::uninitialize() { check(AudioUnitUninitialize(instance), "AudioUnitUninitialize"); }

void AudioUnitInstance::reset() { check(AudioUnitReset(instance, kAudioUnitScope_Global, 0), "AudioUnitReset"); }

void AudioUnitInstance::setStreamFormat(AudioUnitScope scope, AudioUnitElement element, UInt32 channels,
                                        Float64 sampleRate)
{
    const AudioStreamBasicDescription format = {sampleRate,
                                                kAudioFormatLinearPCM,
                                                kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked |
                                                    kAudioFormatFlagIsNonInterleaved,
                                                sizeof(Float32),
                                                1,
                                                sizeof(Float32),
                                                channels,
                                                32,
                                                0};
    setProperty(kAudioUnitProperty_StreamFormat, scope, element, format);
}

AudioStreamBasicDescription AudioUnitInstance::streamFormat(AudioUnitScope scope, AudioUnitElement element) const
{
    return property<AudioStreamBasicDescription>(kAudioUnitProperty_StreamFormat, scope, element);
}

void AudioUnitInstance::setMaximumFramesPerSlice(UInt32 frames)
{
    setProperty(kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, frames);
}

UInt32 AudioUnitInstance::elementCount(AudioUnitScope scope) const
{
    return property<UInt32>(kAudioUnitProperty_ElementCount, scope, 0);
}

Float64 AudioUnitInstance::latency() const
{
    return property<Float64>(kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0);
}

Float64 AudioUnitInstance::tailTime() const
{
    return property<Float64>(kAudioUnitProperty_TailTime, kAudioUnitScope_Global, 0);
}

std::vector<AUChannelInfo> AudioUnitInstance::supportedChannels() const
{
    return arrayProperty<AUChannelInfo>(kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global);
}

void AudioUnitInstance::setHostCallbacks(const HostCallbackInfo& callbacks)
{
    setProperty(kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global, 0, callbacks);
}

void AudioUnitInstance::setRenderCallback(AudioUnitElement inputBus, const AURenderCallbackStruct& callback)
{
    setProperty(kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, inputBus, callback);
}

void AudioUnitInstance::connectInput(AudioUnitElement inputBus, const AudioUnitInstance& source, UInt32 sourceOutput)
{
    const AudioUnitConnection connection = {source.unit(), sourceOutput, inputBus};
    setProperty(kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, inputBus, connection);
}

std::vector<AudioUnitParameterID> AudioUnitInstance::parameterList() const
{
    return arrayProperty<AudioUnitParameterID>(kAudioUnitProperty_ParameterList, kAudioUnitScope_Global);
}

ParameterDescription AudioUnitInstance::parameterInfo(AudioUnitParameterID id) const
{
    const auto info = property<AudioUnitParameterInfo>(kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, id);
    // The unit keeps the strings it hands out in the record: read, not released.
    const bool hasCFName = (info.flags & kAudioUnitParameterFlag_HasCFNameString) && info.cfNameString;
    std::string name = hasCFName ? utf8(info.cfNameString)
                                 : std::string(info.name, strnlen(info.name, sizeof info.name));
    std::string unitName = info.unit == kAudioUnitParameterUnit_CustomUnit && info.unitName ? utf8(info.unitName)
                                                                                            : std::string();
    return {id, name, info.unit, unitName, info.minValue, info.maxValue, info.defaultValue, info.flags};
}

AudioUnitParameterValue AudioUnitInstance::parameter(AudioUnitParameterID id) const
{
    AudioUnitParameterValue value = 0;
    check(AudioUnitGetParameter(instance, id, kAudioUnitScope_Global, 0, &value), "AudioUnitGetParameter");
    return value;
}

void AudioUnitInstance::setParameter(AudioUnitParameterID id, AudioUnitParameterValue value)
{
    check(AudioUnitSetParameter(instance, id, kAudioUnitScope_Global, 0, value, 0), "AudioUnitSetParameter");
}

UInt32 AudioUnitInstance::propertySize(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element) const
{
    UInt32 size = 0;
    if (const OSStatus status = AudioUnitGetPropertyInfo(instance, id, scope, element, &size, nullptr))
        throw AUHostError(propertyCall("AudioUnitGetPropertyInfo", id, scope, element), status);
    return size;
}

void AudioUnitInstance::readProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, void* data,
                                     UInt32 size) const
{
    UInt32 ioSize = size;
    OSStatus status = AudioUnitGetProperty(instance, id, scope, element, data, &ioSize);
    if (status == noErr && ioSize != size)
        status = kAudioUnitErr_InvalidPropertyValue;
    if (status != noErr)
        throw AUHostError(propertyCall("AudioUnitGetProperty", id, scope, element), status);
}

void AudioUnitInstance::writeProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                                      const void* data, UInt32 size)
{
    if (const OSStatus status = AudioUnitSetProperty(instance, id, scope, element, data, size))
        throw AUHostError(propertyCall("AudioUnitSetProperty", id, scope, element), status);
}

template <typename T>
std::vector<T> AudioUnitInstance::arrayProperty(AudioUnitPropertyID id, AudioUnitScope scope) const
{
    const UInt32 size = propertySize(id, scope, 0);
    std::vector<T> values(size / sizeof(T));
    if (!values.empty())
        readProperty(id, scope, 0, values.data(), static_cast<UInt32>(values.size() * sizeof(T)));
    return values;
}
}  // namespace auhost
