// Reading and writing properties, and the parameters scaled through the
// mapping that their properties describe.

#include "tandem/tandem_cocoa_view.h"
#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_property_table.h"
#include "tandem/tandem_trace.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr VstInt32 kTandemValueToString = 0x73563253;  // 'sV2S'
constexpr VstInt32 kTandemStringToValue = 0x73533256;  // 'sS2V'

template <typename T>
void store(void* data, const T& value)
{
    std::memcpy(data, &value, sizeof value);
}

template <typename T>
T load(const void* data)
{
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

const char* onOff(bool on) { return on ? "on" : "off"; }
}  // namespace

// A property read: where the value goes, the room the caller gave for it,
// and the size that the read reports back.
struct TandemPropertyTable::PropertyRead
{
    AudioUnitScope scope;
    AudioUnitElement element;
    void* data;
    UInt32 callerSize;
    UInt32* ioDataSize;
};

void TandemPropertyTable::getProperty(UInt32* ioDataSize, void* outData, AudioUnitElement element, AudioUnitScope scope,
                                      AudioUnitPropertyID id)
{
    // The host's obligation; refusing it keeps the host running.
    if (ioDataSize == nullptr)
    {
        throw MacOSException(paramErr);
    }
    bool readable = false;
    bool writable = false;
    int minDataSize = 0;
    int dataSize = 0;
    getPropertyInfo(id, scope, element, readable, writable, minDataSize, dataSize);
    if (!readable)
    {
        throw MacOSException(kAudioUnitErr_InvalidProperty);
    }
    const UInt32 callerSize = *ioDataSize;
    *ioDataSize = static_cast<UInt32>(minDataSize);
    if (outData == nullptr)
    {
        return;
    }
    if (callerSize < static_cast<UInt32>(minDataSize))
    {
        throw MacOSException(kAudioUnitErr_InvalidPropertyValue);
    }
    const PropertyRead read{scope, element, outData, callerSize, ioDataSize};
    const bool written = readBusProperty(id, read) || readParameterProperty(id, read) || readPresetProperty(id, read) ||
                         readUnitProperty(id, read);
    TANDEM_REQUIRE(written);
}

bool TandemPropertyTable::readBusProperty(AudioUnitPropertyID id, const PropertyRead& read)
{
    const BusLayout& layout = read.scope == kAudioUnitScope_Input ? renderPath.getInputs() : renderPath.getOutputs();
    switch (id)
    {
    case kAudioUnitProperty_SampleRate: store(read.data, renderPath.getSampleRate()); return true;
    case kAudioUnitProperty_StreamFormat:
        store(read.data, renderPath.getStreamFormat(read.scope, read.element));
        return true;
    case kAudioUnitProperty_ElementCount:
        store(read.data, static_cast<UInt32>(read.scope == kAudioUnitScope_Input    ? renderPath.getInputs().count
                                             : read.scope == kAudioUnitScope_Output ? renderPath.getOutputs().count
                                                                                    : 0));
        return true;
    case kAudioUnitProperty_ElementName:
        store(read.data, static_cast<CFStringRef>(CFRetain(layout.names[read.element])));
        return true;
    default: return false;
    }
}

bool TandemPropertyTable::readParameterProperty(AudioUnitPropertyID id, const PropertyRead& read)
{
    const auto& mapping = parameterMapping;
    switch (id)
    {
    case kAudioUnitProperty_ParameterList:
        if (read.scope == kAudioUnitScope_Global)
        {
            std::copy(mapping.parameterList.begin(), mapping.parameterList.end(),
                      static_cast<AudioUnitParameterID*>(read.data));
        }
        return true;
    case kAudioUnitProperty_ParameterInfo:
        store(read.data, read.element < mapping.parameterInfos.size() ? mapping.parameterInfos[read.element]
                                                                      : AudioUnitParameterInfo{});
        return true;
    case kAudioUnitProperty_ParameterValueStrings:
        store(read.data, static_cast<CFArrayRef>(CFRetain(mapping.parameterValueStrings[read.element])));
        return true;
    case kAudioUnitProperty_ParameterStringFromValue:
        getParameterStringFromValue(*static_cast<AudioUnitParameterStringFromValue*>(read.data));
        return true;
    case kAudioUnitProperty_ParameterValueFromString:
        getParameterValueFromString(*static_cast<AudioUnitParameterValueFromString*>(read.data));
        return true;
    default: return false;
    }
}

bool TandemPropertyTable::readPresetProperty(AudioUnitPropertyID id, const PropertyRead& read)
{
    switch (id)
    {
    case kAudioUnitProperty_ClassInfo: store(read.data, presets.createClassInfo()); return true;
    case kAudioUnitProperty_FactoryPresets:
        store(read.data, static_cast<CFArrayRef>(CFRetain(presets.getFactoryPresets())));
        return true;
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset:
        // Only the present preset hands the host a name of its own.
        presets.getCurrentPreset(read.callerSize, read.data, read.ioDataSize, id == kAudioUnitProperty_PresentPreset);
        return true;
    default: return false;
    }
}

bool TandemPropertyTable::readUnitProperty(AudioUnitPropertyID id, const PropertyRead& read)
{
    switch (id)
    {
    case kAudioUnitProperty_Latency:
        renderPath.updateInitialDelayTime();
        store(read.data, renderPath.getLastLatency());
        return true;
    case kAudioUnitProperty_TailTime:
        renderPath.updateTailTime();
        store(read.data, renderPath.getLastTailTime());
        return true;
    case kAudioUnitProperty_SupportedNumChannels:
        std::ranges::copy(renderPath.getChannelInfos(), static_cast<AUChannelInfo*>(read.data));
        return true;
    case kAudioUnitProperty_MaximumFramesPerSlice:
        store(read.data, static_cast<UInt32>(renderPath.getMaxFramesPerSlice()));
        return true;
    case kAudioUnitProperty_BypassEffect: store(read.data, static_cast<UInt32>(bypassing ? 1 : 0)); return true;
    case kAudioUnitProperty_LastRenderError:
    case kMusicDeviceProperty_InstrumentCount: store(read.data, UInt32{0}); return true;
    case kAudioUnitProperty_HostCallbacks:
    {
        const HostCallbackInfo& hostCallbacks = renderPath.getHostCallbacks();
        const UInt32 count = std::min<UInt32>(read.callerSize, sizeof hostCallbacks);
        std::memcpy(read.data, &hostCallbacks, count);
        *read.ioDataSize = count;
        return true;
    }
    case kAudioUnitProperty_CocoaUI: store(read.data, copyCocoaViewInfo()); return true;
    default: return false;
    }
}

void TandemPropertyTable::getParameterStringFromValue(AudioUnitParameterStringFromValue& request)
{
    if (request.inParamID >= static_cast<AudioUnitParameterID>(vst->getParameterCount()))
    {
        throw MacOSException(kAudioUnitErr_InvalidParameter);
    }
    request.outString = nullptr;
    const int index = static_cast<int>(request.inParamID);
    char text[25] = {};
    if (request.inValue != nullptr)
    {
        store(text, scaleFromAUParameter(index, *request.inValue));
        if (vst->vendorSpecific(kTandemValueToString, index, text, 0.0f) == 0)
        {
            tandemTrace("Warning! Tandem extension 'sV2S' (value to string conversion) returned 0\n");
            throw MacOSException(kAudioUnitErr_InvalidProperty);
        }
        text[sizeof text - 1] = '\0';
    }
    else
    {
        vst->getParameterDisplay(index, text);
    }
    const char* start = text;
    while (*start == ' ')
    {
        ++start;
    }
    request.outString = CFStringCreateWithCString(kCFAllocatorDefault, start, kCFStringEncodingMacRoman);
}

void TandemPropertyTable::getParameterValueFromString(AudioUnitParameterValueFromString& request)
{
    if (request.inParamID >= static_cast<AudioUnitParameterID>(vst->getParameterCount()))
    {
        throw MacOSException(kAudioUnitErr_InvalidParameter);
    }
    request.outValue = 0.0f;
    const int index = static_cast<int>(request.inParamID);
    char text[2048] = {};
    if (request.inString == nullptr ||
        !CFStringGetCString(request.inString, text, sizeof text, kCFStringEncodingMacRoman))
    {
        throw MacOSException(kAudioUnitErr_InvalidPropertyValue);
    }
    if (vst->vendorSpecific(kTandemStringToValue, index, text, 0.0f) == 0)
    {
        tandemTrace("Warning! Tandem extension 'sS2V' (string to value conversion) returned 0\n");
        throw MacOSException(kAudioUnitErr_InvalidProperty);
    }
    request.outValue = scaleToAUParameter(index, load<float>(text));
}

void TandemPropertyTable::setProperty(UInt32 inDataSize, const void* inData, AudioUnitElement element,
                                      AudioUnitScope scope, AudioUnitPropertyID id)
{
    bool readable = false;
    bool writable = false;
    int minDataSize = 0;
    int dataSize = 0;
    getPropertyInfo(id, scope, element, readable, writable, minDataSize, dataSize);
    if (!writable)
    {
        throw MacOSException(kAudioUnitErr_InvalidProperty);
    }
    if (inDataSize < static_cast<UInt32>(minDataSize))
    {
        throw MacOSException(kAudioUnitErr_InvalidPropertyValue);
    }
    if (inData == nullptr && inDataSize > 0)
    {
        throw MacOSException(paramErr);
    }
    switch (id)
    {
    case kAudioUnitProperty_MakeConnection: renderPath.setConnection(element, load<AudioUnitConnection>(inData)); break;
    case kAudioUnitProperty_SetRenderCallback:
        renderPath.setRenderCallback(element, load<AURenderCallbackStruct>(inData));
        break;
    case kAudioUnitProperty_SampleRate: renderPath.updateSampleRate(load<Float64>(inData)); break;
    case kAudioUnitProperty_StreamFormat:
        renderPath.updateFormat(scope, element, load<AudioStreamBasicDescription>(inData));
        break;
    case kAudioUnitProperty_MaximumFramesPerSlice:
        renderPath.updateMaxFramesPerSlice(static_cast<int>(load<UInt32>(inData)));
        break;
    case kAudioUnitProperty_BypassEffect: setBypass(load<UInt32>(inData) != 0); break;
    case kAudioUnitProperty_HostCallbacks: renderPath.setHostCallbacks(inDataSize, inData); break;
    case kAudioUnitProperty_ClassInfo: presets.restoreAUPreset(load<CFPropertyListRef>(inData)); break;
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset: presets.setCurrentPreset(inDataSize, inData); break;
    default: TANDEM_REQUIRE(!"writable property without a writer");
    }
}

void TandemPropertyTable::setBypass(bool on)
{
    bypassing = on;
    tandemTrace("AU Bypassing %s\n", onOff(on));
    // The host asked for this state and reads it back; the effect's refusal
    // is only reported.
    if (!vst->setBypass(on))
    {
        tandemTrace("Could not set or reset VST bypass state\n");
    }
}

TandemPropertyTable::TandemPropertyTable(const HostedEffect& vst, const TandemSetup& setup,
                                         TandemRenderPath& renderPath, TandemPresetStore& presets)
    : vst(vst), setup(setup), renderPath(renderPath), presets(presets)
{}

void TandemPropertyTable::loadParameterMapping()
{
    parameterMapping = readOrCreateParameterMapping(setup.resourcesFolder, *vst, setup.vstGotTandemExtensions);
}

float TandemPropertyTable::scaleFromAUParameter(int index, float value) const
{
    return ::scaleFromAUParameter(parameterMapping.parameterInfos[static_cast<size_t>(index)], value);
}

float TandemPropertyTable::scaleToAUParameter(int index, float value) const
{
    return ::scaleToAUParameter(parameterMapping.parameterInfos[static_cast<size_t>(index)], value);
}
