// Which properties exist, in which scope and element, how large they are and
// whether they can be read or written: the one place that decides, so that
// get and set rely on it for every check.

#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_property_table.h"
#include "tandem/tandem_trace.h"

namespace
{
struct PropertyName
{
    AudioUnitPropertyID id;
    const char* name;
};

constexpr PropertyName kSupportedNames[] = {
    {kAudioUnitProperty_MakeConnection, "kAudioUnitProperty_MakeConnection"},
    {kAudioUnitProperty_SampleRate, "kAudioUnitProperty_SampleRate"},
    {kAudioUnitProperty_ParameterList, "kAudioUnitProperty_ParameterList"},
    {kAudioUnitProperty_ParameterInfo, "kAudioUnitProperty_ParameterInfo"},
    {kAudioUnitProperty_StreamFormat, "kAudioUnitProperty_StreamFormat"},
    {kAudioUnitProperty_ElementCount, "kAudioUnitProperty_ElementCount"},
    {kAudioUnitProperty_Latency, "kAudioUnitProperty_Latency"},
    {kAudioUnitProperty_MaximumFramesPerSlice, "kAudioUnitProperty_MaximumFramesPerSlice"},
    {kAudioUnitProperty_ParameterValueStrings, "kAudioUnitProperty_ParameterValueStrings"},
    {kAudioUnitProperty_TailTime, "kAudioUnitProperty_TailTime"},
    {kAudioUnitProperty_BypassEffect, "kAudioUnitProperty_BypassEffect"},
    {kAudioUnitProperty_LastRenderError, "kAudioUnitProperty_LastRenderError"},
    {kAudioUnitProperty_SetRenderCallback, "kAudioUnitProperty_SetRenderCallback"},
    {kAudioUnitProperty_FactoryPresets, "kAudioUnitProperty_FactoryPresets"},
    {kAudioUnitProperty_HostCallbacks, "kAudioUnitProperty_HostCallbacks"},
    {kAudioUnitProperty_CurrentPreset, "kAudioUnitProperty_CurrentPreset"},
    {kAudioUnitProperty_ElementName, "kAudioUnitProperty_ElementName"},
    {kAudioUnitProperty_CocoaUI, "kAudioUnitProperty_CocoaUI"},
    {kAudioUnitProperty_PresentPreset, "kAudioUnitProperty_PresentPreset"},
    {kAudioUnitProperty_ParameterValueFromString, "kAudioUnitProperty_ParameterValueFromString"},
    {kMusicDeviceProperty_InstrumentCount, "kMusicDeviceProperty_InstrumentCount"},
};

constexpr PropertyName kUnsupportedNames[] = {
    {kAudioUnitProperty_FastDispatch, "kAudioUnitProperty_FastDispatch"},
    {kAudioUnitProperty_CPULoad, "kAudioUnitProperty_CPULoad"},
    {kAudioUnitProperty_SRCAlgorithm, "kAudioUnitProperty_SRCAlgorithm"},
    {kAudioUnitProperty_ReverbRoomType, "kAudioUnitProperty_ReverbRoomType"},
    {kAudioUnitProperty_SetExternalBuffer, "kAudioUnitProperty_SetExternalBuffer"},
    {kAudioUnitProperty_MIDIControlMapping, "kAudioUnitProperty_MIDIControlMapping"},
    {kAudioUnitProperty_AudioChannelLayout, "kAudioUnitProperty_AudioChannelLayout"},
    {kAudioUnitProperty_ContextName, "kAudioUnitProperty_ContextName"},
    {kAudioUnitProperty_RenderQuality, "kAudioUnitProperty_RenderQuality"},
    {kAudioUnitProperty_SupportedChannelLayoutTags, "kAudioUnitProperty_SupportedChannelLayoutTags"},
    {kAudioUnitProperty_ParameterIDName, "kAudioUnitProperty_ParameterIDName"},
    {kAudioUnitProperty_ParameterClumpName, "kAudioUnitProperty_ParameterClumpName"},
    {kAudioUnitProperty_OfflineRender, "kAudioUnitProperty_OfflineRender"},
    {kAudioUnitProperty_IconLocation, "kAudioUnitProperty_IconLocation"},
    {kAudioUnitProperty_PresentationLatency, "kAudioUnitProperty_PresentationLatency"},
    {kAudioUnitProperty_AllParameterMIDIMappings, "kAudioUnitProperty_AllParameterMIDIMappings"},
    {kAudioUnitProperty_AddParameterMIDIMapping, "kAudioUnitProperty_AddParameterMIDIMapping"},
    {kAudioUnitProperty_RemoveParameterMIDIMapping, "kAudioUnitProperty_RemoveParameterMIDIMapping"},
    {kAudioUnitProperty_HotMapParameterMIDIMapping, "kAudioUnitProperty_HotMapParameterMIDIMapping"},
    {kAudioUnitProperty_DependentParameters, "kAudioUnitProperty_DependentParameters"},
    {kAudioUnitProperty_UsesInternalReverb, "kAudioUnitProperty_UsesInternalReverb"},
    {kMusicDeviceProperty_InstrumentName, "kMusicDeviceProperty_InstrumentName"},
    {kMusicDeviceProperty_GroupOutputBus, "kMusicDeviceProperty_GroupOutputBus"},
    {kMusicDeviceProperty_SoundBankFSSpec, "kMusicDeviceProperty_SoundBankFSSpec"},
    {kMusicDeviceProperty_InstrumentNumber, "kMusicDeviceProperty_InstrumentNumber"},
    {kMusicDeviceProperty_MIDIXMLNames, "kMusicDeviceProperty_MIDIXMLNames"},
    {kMusicDeviceProperty_BankName, "kMusicDeviceProperty_BankName"},
    {kMusicDeviceProperty_SoundBankData, "kMusicDeviceProperty_SoundBankData"},
    {kMusicDeviceProperty_PartGroup, "kMusicDeviceProperty_PartGroup"},
    {kMusicDeviceProperty_StreamFromDisk, "kMusicDeviceProperty_StreamFromDisk"},
    {kAudioUnitMigrateProperty_FromPlugin, "kAudioUnitMigrateProperty_FromPlugin"},
    {kAudioUnitMigrateProperty_OldAutomation, "kAudioUnitMigrateProperty_OldAutomation"},
};

template <size_t count>
const char* nameIn(const PropertyName (&names)[count], AudioUnitPropertyID id)
{
    for (const PropertyName& entry : names)
    {
        if (entry.id == id)
        {
            return entry.name;
        }
    }
    return nullptr;
}

void require(bool condition, OSStatus failure)
{
    if (!condition)
    {
        throw MacOSException(failure);
    }
}

void requireScope(bool condition) { require(condition, kAudioUnitErr_InvalidScope); }

void requireElement(AudioUnitElement element, int count)
{
    require(element < static_cast<AudioUnitElement>(count), kAudioUnitErr_InvalidElement);
}

void requireAvailable(bool condition) { require(condition, kAudioUnitErr_InvalidProperty); }
}  // namespace

// What getPropertyInfo answers; minDataSize below zero means dataSize.
struct TandemPropertyTable::PropertyInfo
{
    bool readable = true;
    bool writable = false;
    int dataSize = 0;
    int minDataSize = -1;
};

// Where a property is asked for: its scope, and the element within it.
struct TandemPropertyTable::PropertyAddress
{
    AudioUnitScope scope;
    AudioUnitElement element;

    bool global() const { return scope == kAudioUnitScope_Global; }
    bool input() const { return scope == kAudioUnitScope_Input; }
    bool output() const { return scope == kAudioUnitScope_Output; }
};

void TandemPropertyTable::getPropertyInfo(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                                          bool& readable, bool& writable, int& minDataSize, int& dataSize)
{
    traceKnownProperty(id, scope, element);
    const PropertyAddress address{scope, element};
    PropertyInfo info;
    if (!busPropertyInfo(id, address, info) && !parameterPropertyInfo(id, address, info) &&
        !presetPropertyInfo(id, address, info) && !unitPropertyInfo(id, address, info))
    {
        throw MacOSException(kAudioUnitErr_InvalidProperty);
    }
    readable = info.readable;
    writable = info.writable;
    dataSize = info.dataSize;
    minDataSize = info.minDataSize < 0 ? info.dataSize : info.minDataSize;
}

// Writes the property's trace line; a property the unit never has fails here.
void TandemPropertyTable::traceKnownProperty(AudioUnitPropertyID id, AudioUnitScope scope,
                                             AudioUnitElement element) const
{
    const BusLayout& inputs = renderPath.getInputs();
    const BusLayout& outputs = renderPath.getOutputs();
    const bool hasNamedBus = inputs.names[0] != nullptr || outputs.names[0] != nullptr;
    if (const char* name = nameIn(kUnsupportedNames, id))
    {
        tandemTrace("AU GetPropertyInfo: %s (not supported)\n", name);
        throw MacOSException(kAudioUnitErr_InvalidProperty);
    }
    if (id == kAudioUnitProperty_SupportedNumChannels)
    {
        tandemTrace(!renderPath.getChannelInfos().empty()
                        ? "AU GetPropertyInfo: kAudioUnitProperty_SupportedNumChannels\n"
                        : "AU GetPropertyInfo: kAudioUnitProperty_SupportedNumChannels (not "
                          "supported)\n");
    }
    else if (id == kAudioUnitProperty_ElementName && !hasNamedBus)
    {
        tandemTrace("AU GetPropertyInfo: kAudioUnitProperty_ElementName (unsupported)\n");
    }
    else if (const char* name = nameIn(kSupportedNames, id))
    {
        tandemTrace("AU GetPropertyInfo: %s (scope: %d, element: %d)\n", name, static_cast<int>(scope),
                    static_cast<int>(element));
    }
    else if (id != kAudioUnitProperty_ClassInfo && id != kAudioUnitProperty_ParameterStringFromValue)
    {
        tandemTrace("AU GetPropertyInfo: unknown property id: %d\n", static_cast<int>(id));
        throw MacOSException(kAudioUnitErr_InvalidProperty);
    }
}

// Connections, callbacks, formats and names of the buses.
bool TandemPropertyTable::busPropertyInfo(AudioUnitPropertyID id, const PropertyAddress& at, PropertyInfo& info) const
{
    const BusLayout& inputs = renderPath.getInputs();
    const BusLayout& outputs = renderPath.getOutputs();
    const BusLayout& layout = at.input() ? inputs : outputs;
    switch (id)
    {
    case kAudioUnitProperty_MakeConnection:
    case kAudioUnitProperty_SetRenderCallback:
        requireScope(at.input());
        requireElement(at.element, inputs.count);
        info.readable = false;
        info.writable = true;
        info.dataSize = 16;
        return true;
    case kAudioUnitProperty_SampleRate:
    case kAudioUnitProperty_StreamFormat:
        requireScope(at.global() || at.input() || at.output());
        requireElement(at.element, layout.count);
        // A connected input takes its format from the unit it is connected to.
        info.writable = !at.input() || !renderPath.isInputConnected(at.element);
        info.dataSize = id == kAudioUnitProperty_SampleRate ? 8 : static_cast<int>(sizeof(AudioStreamBasicDescription));
        return true;
    case kAudioUnitProperty_ElementCount: info.dataSize = 4; return true;
    case kAudioUnitProperty_ElementName:
        requireScope(at.input() || at.output());
        requireElement(at.element, layout.count);
        require(layout.names[at.element] != nullptr, kAudioUnitErr_InvalidElement);
        requireAvailable(inputs.names[0] != nullptr || outputs.names[0] != nullptr);
        info.dataSize = 8;
        return true;
    default: return false;
    }
}

// The parameter list, each parameter's info and value strings, and the
// conversions between values and text.
bool TandemPropertyTable::parameterPropertyInfo(AudioUnitPropertyID id, const PropertyAddress& at,
                                                PropertyInfo& info) const
{
    const int parameterCount = vst->getParameterCount();
    switch (id)
    {
    case kAudioUnitProperty_ParameterList:
        info.dataSize = at.global()
                            ? static_cast<int>(parameterMapping.parameterList.size() * sizeof(AudioUnitParameterID))
                            : 0;
        return true;
    case kAudioUnitProperty_ParameterInfo:
        requireScope(at.global());
        requireElement(at.element, parameterCount);
        info.dataSize = static_cast<int>(sizeof(AudioUnitParameterInfo));
        return true;
    case kAudioUnitProperty_ParameterValueStrings:
        requireScope(at.global());
        requireElement(at.element, parameterCount);
        require(at.element < parameterMapping.parameterValueStrings.size() &&
                    parameterMapping.parameterValueStrings[at.element] != nullptr,
                kAudioUnitErr_InvalidParameter);
        info.dataSize = 8;
        return true;
    case kAudioUnitProperty_ParameterStringFromValue:
    case kAudioUnitProperty_ParameterValueFromString:
        requireScope(at.global());
        requireElement(at.element, parameterCount);
        requireAvailable(setup.vstGotTandemExtensions);
        info.dataSize = 24;
        return true;
    default: return false;
    }
}

// The class info, the factory presets and the current preset.
bool TandemPropertyTable::presetPropertyInfo(AudioUnitPropertyID id, const PropertyAddress& at,
                                             PropertyInfo& info) const
{
    switch (id)
    {
    case kAudioUnitProperty_ClassInfo:
        requireScope(at.global());
        info.writable = true;
        info.dataSize = static_cast<int>(sizeof(CFPropertyListRef));
        return true;
    case kAudioUnitProperty_FactoryPresets:
        requireScope(at.global());
        requireAvailable(presets.getFactoryPresets() != nullptr && CFArrayGetCount(presets.getFactoryPresets()) > 0);
        info.dataSize = static_cast<int>(sizeof(CFArrayRef));
        return true;
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset:
        requireScope(at.global());
        info.writable = true;
        info.minDataSize = static_cast<int>(sizeof(SInt32));
        info.dataSize = static_cast<int>(sizeof(AUPreset));
        return true;
    default: return false;
    }
}

// The unit's own global properties: timing, channel configurations,
// bypass, the host's callbacks and the view.
bool TandemPropertyTable::unitPropertyInfo(AudioUnitPropertyID id, const PropertyAddress& at, PropertyInfo& info) const
{
    // Every one of them lives in the global scope.
    const auto global = [&at](int size, bool writable = false) {
        requireScope(at.global());
        return PropertyInfo{true, writable, size, -1};
    };
    switch (id)
    {
    case kMusicDeviceProperty_InstrumentCount:
    case kAudioUnitProperty_LastRenderError: info = global(4); return true;
    case kAudioUnitProperty_Latency: info = global(8); return true;
    case kAudioUnitProperty_MaximumFramesPerSlice: info = global(4, true); return true;
    case kAudioUnitProperty_SupportedNumChannels:
        info = global(static_cast<int>(renderPath.getChannelInfos().size_bytes()));
        requireAvailable(!renderPath.getChannelInfos().empty());
        return true;
    case kAudioUnitProperty_TailTime:
        info = global(8);
        requireAvailable(setup.vstSupportsTail);
        return true;
    case kAudioUnitProperty_BypassEffect:
        info = global(4, true);
        requireAvailable(setup.bypassSupported);
        return true;
    case kAudioUnitProperty_HostCallbacks:
        info = global(static_cast<int>(sizeof(HostCallbackInfo)), true);
        info.minDataSize = 0;
        return true;
    case kAudioUnitProperty_CocoaUI:
        info = global(static_cast<int>(sizeof(AudioUnitCocoaViewInfo)));
        if (!vst->hasEditor())
        {
            tandemTrace("VST has no editor\n");
            throw MacOSException(kAudioUnitErr_InvalidProperty);
        }
        return true;
    default: return false;
    }
}
