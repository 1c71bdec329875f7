// Which properties exist, in which scope and element, how large they are and
// whether they can be read or written: the one place that decides, so that
// get and set rely on it for every check.

#include "tandem/tandem_component.h"
#include "tandem/tandem_exceptions.h"
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

void TandemComponent::getPropertyInfo(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                                      bool& readable, bool& writable, int& minDataSize, int& dataSize)
{
    const bool global = scope == kAudioUnitScope_Global;
    const bool inputScope = scope == kAudioUnitScope_Input;
    const bool anyBusScope = global || inputScope || scope == kAudioUnitScope_Output;
    const bool hasNamedBus = inputs.names[0] != nullptr || outputs.names[0] != nullptr;
    const int parameterCount = vst->getParameterCount();

    if (const char* name = nameIn(kUnsupportedNames, id))
    {
        tandemTrace("AU GetPropertyInfo: %s (not supported)\n", name);
        throw MacOSException(kAudioUnitErr_InvalidProperty);
    }
    if (id == kAudioUnitProperty_SupportedNumChannels)
    {
        tandemTrace(auChannelInfoCount > 0 ? "AU GetPropertyInfo: kAudioUnitProperty_SupportedNumChannels\n"
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

    readable = true;
    writable = false;
    int size = 0;
    switch (id)
    {
    case kAudioUnitProperty_MakeConnection:
    case kAudioUnitProperty_SetRenderCallback:
        requireScope(inputScope);
        requireElement(element, inputs.count);
        readable = false;
        writable = true;
        size = 16;
        break;
    case kAudioUnitProperty_SampleRate:
    case kAudioUnitProperty_StreamFormat:
        requireScope(anyBusScope);
        requireElement(element, inputScope ? inputs.count : outputs.count);
        // A connected input takes its format from the unit it is connected to.
        writable = !inputScope || inputConnections[element].sourceAudioUnit == nullptr;
        size = id == kAudioUnitProperty_SampleRate ? 8 : static_cast<int>(sizeof(AudioStreamBasicDescription));
        break;
    case kAudioUnitProperty_ParameterList:
        size = global ? static_cast<int>(parameterMapping.parameterList.size() * sizeof(AudioUnitParameterID)) : 0;
        break;
    case kAudioUnitProperty_ParameterInfo:
        requireScope(global);
        requireElement(element, parameterCount);
        size = static_cast<int>(sizeof(AudioUnitParameterInfo));
        break;
    case kAudioUnitProperty_ElementCount: size = 4; break;
    case kMusicDeviceProperty_InstrumentCount:
        requireScope(global);
        size = 4;
        break;
    case kAudioUnitProperty_Latency:
        requireScope(global);
        size = 8;
        break;
    case kAudioUnitProperty_SupportedNumChannels:
        requireScope(global);
        requireAvailable(auChannelInfoCount > 0);
        size = auChannelInfoCount * static_cast<int>(sizeof(AUChannelInfo));
        break;
    case kAudioUnitProperty_MaximumFramesPerSlice:
        requireScope(global);
        writable = true;
        size = 4;
        break;
    case kAudioUnitProperty_ParameterValueStrings:
        requireScope(global);
        requireElement(element, parameterCount);
        require(element < parameterMapping.parameterValueStrings.size() &&
                    parameterMapping.parameterValueStrings[element] != nullptr,
                kAudioUnitErr_InvalidParameter);
        size = 8;
        break;
    case kAudioUnitProperty_TailTime:
        requireScope(global);
        requireAvailable(vstSupportsTail);
        size = 8;
        break;
    case kAudioUnitProperty_BypassEffect:
        requireScope(global);
        requireAvailable(bypassSupported);
        writable = true;
        size = 4;
        break;
    case kAudioUnitProperty_LastRenderError:
        requireScope(global);
        size = 4;
        break;
    case kAudioUnitProperty_HostCallbacks:
        requireScope(global);
        writable = true;
        size = static_cast<int>(sizeof(HostCallbackInfo));
        minDataSize = 0;
        dataSize = size;
        return;
    case kAudioUnitProperty_ElementName:
        requireScope(inputScope || scope == kAudioUnitScope_Output);
        requireElement(element, inputScope ? inputs.count : outputs.count);
        require((inputScope ? inputs : outputs).names[element] != nullptr, kAudioUnitErr_InvalidElement);
        requireAvailable(hasNamedBus);
        size = 8;
        break;
    case kAudioUnitProperty_ParameterStringFromValue:
    case kAudioUnitProperty_ParameterValueFromString:
        requireScope(global);
        requireElement(element, parameterCount);
        requireAvailable(vstGotTandemExtensions);
        size = 24;
        break;
    case kAudioUnitProperty_ClassInfo:
        requireScope(global);
        writable = true;
        size = static_cast<int>(sizeof(CFPropertyListRef));
        break;
    case kAudioUnitProperty_FactoryPresets:
        requireScope(global);
        requireAvailable(factoryPresetsArray != nullptr && CFArrayGetCount(factoryPresetsArray) > 0);
        size = static_cast<int>(sizeof(CFArrayRef));
        break;
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset:
        requireScope(global);
        writable = true;
        minDataSize = static_cast<int>(sizeof(SInt32));
        dataSize = static_cast<int>(sizeof(AUPreset));
        return;
    case kAudioUnitProperty_CocoaUI:
        requireScope(global);
        if (!vst->hasEditor())
        {
            tandemTrace("VST has no editor\n");
            throw MacOSException(kAudioUnitErr_InvalidProperty);
        }
        size = static_cast<int>(sizeof(AudioUnitCocoaViewInfo));
        break;
    default: throw MacOSException(kAudioUnitErr_InvalidProperty);
    }
    minDataSize = size;
    dataSize = size;
}
