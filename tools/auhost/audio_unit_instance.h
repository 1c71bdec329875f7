#pragma once
// One open instance of a component, driven through the Audio Unit calls a
// host makes. Opened on construction, closed on destruction; every failing
// call throws AUHostError with the unit's status.

#include <AudioUnit/AudioUnit.h>

#include <string>
#include <vector>

namespace auhost
{
struct ParameterDescription
{
    AudioUnitParameterID id;
    std::string name;  // UTF-8
    AudioUnitParameterUnit unit;
    std::string unitName;  // UTF-8, for kAudioUnitParameterUnit_CustomUnit
    AudioUnitParameterValue minValue, maxValue, defaultValue;
    AudioUnitParameterOptions flags;
};

class AudioUnitInstance
{
public:
    explicit AudioUnitInstance(Component component);
    ~AudioUnitInstance();
    AudioUnitInstance(const AudioUnitInstance&) = delete;
    AudioUnitInstance& operator=(const AudioUnitInstance&) = delete;

    AudioUnit unit() const { return instance; }
    ComponentResult version() const;

    void initialize();
    void uninitialize();
    void reset();

    // Non-interleaved 32-bit float, `channels` per frame.
    void setStreamFormat(AudioUnitScope scope, AudioUnitElement element, UInt32 channels, Float64 sampleRate);
    AudioStreamBasicDescription streamFormat(AudioUnitScope scope, AudioUnitElement element) const;
    void setMaximumFramesPerSlice(UInt32 frames);
    UInt32 elementCount(AudioUnitScope scope) const;
    Float64 latency() const;
    Float64 tailTime() const;
    std::vector<AUChannelInfo> supportedChannels() const;
    void setHostCallbacks(const HostCallbackInfo& callbacks);
    void setRenderCallback(AudioUnitElement inputBus, const AURenderCallbackStruct& callback);
    // This unit's input bus pulls from the source's output bus.
    void connectInput(AudioUnitElement inputBus, const AudioUnitInstance& source, UInt32 sourceOutput);

    std::vector<AudioUnitParameterID> parameterList() const;
    ParameterDescription parameterInfo(AudioUnitParameterID id) const;
    AudioUnitParameterValue parameter(AudioUnitParameterID id) const;
    void setParameter(AudioUnitParameterID id, AudioUnitParameterValue value);

    // The size a property has now, from AudioUnitGetPropertyInfo.
    UInt32 propertySize(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element) const;
    // Reads exactly sizeof(T) bytes; a unit answering another size fails with
    // kAudioUnitErr_InvalidPropertyValue.
    template <typename T>
    T property(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element) const
    {
        T value{};
        readProperty(id, scope, element, &value, sizeof value);
        return value;
    }
    template <typename T>
    void setProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, const T& value)
    {
        writeProperty(id, scope, element, &value, sizeof value);
    }

private:
    void readProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, void* data,
                      UInt32 size) const;
    void writeProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, const void* data,
                       UInt32 size);
    template <typename T>
    std::vector<T> arrayProperty(AudioUnitPropertyID id, AudioUnitScope scope) const;

    AudioUnit instance = nullptr;
};
}  // namespace auhost
