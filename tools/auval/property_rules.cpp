#include "auval/property_rules.h"

namespace auval
{
namespace
{
constexpr UInt32 kPointer = sizeof(void*);
constexpr OSStatus kMissing = kAudioUnitErr_InvalidProperty;

constexpr PropertyRule always(AudioUnitPropertyID id, const char* name, Scopes scopes, Elements elements, Access access,
                              UInt32 size)
{
    return {id, name, scopes, elements, access, size, size, false, kMissing};
}

constexpr PropertyRule optional(AudioUnitPropertyID id, const char* name, Scopes scopes, Elements elements, UInt32 size,
                                OSStatus missingStatus = kMissing)
{
    return {id, name, scopes, elements, Access::ReadOnly, size, size, true, missingStatus};
}
}  // namespace

const std::vector<PropertyRule>& propertyRules()
{
    using enum Scopes;
    using enum Access;
    static const std::vector<PropertyRule> rules = {
        always(kAudioUnitProperty_ClassInfo, "ClassInfo", Global, Elements::Any, ReadWrite, kPointer),
        always(kAudioUnitProperty_MakeConnection, "MakeConnection", Input, Elements::Buses, WriteOnly,
               sizeof(AudioUnitConnection)),
        always(kAudioUnitProperty_SampleRate, "SampleRate", Buses, Elements::Buses, ReadWrite, sizeof(Float64)),
        always(kAudioUnitProperty_ParameterList, "ParameterList", Any, Elements::Any, ReadOnly, kSizePerParameter),
        always(kAudioUnitProperty_ParameterInfo, "ParameterInfo", Global, Elements::Parameters, ReadOnly,
               sizeof(AudioUnitParameterInfo)),
        always(kAudioUnitProperty_StreamFormat, "StreamFormat", Buses, Elements::Buses, ReadWrite,
               sizeof(AudioStreamBasicDescription)),
        always(kAudioUnitProperty_ElementCount, "ElementCount", Any, Elements::Any, ReadOnly, sizeof(UInt32)),
        always(kAudioUnitProperty_Latency, "Latency", Global, Elements::Any, ReadOnly, sizeof(Float64)),
        optional(kAudioUnitProperty_SupportedNumChannels, "SupportedNumChannels", Global, Elements::Any,
                 kSizePerConfiguration),
        always(kAudioUnitProperty_MaximumFramesPerSlice, "MaximumFramesPerSlice", Global, Elements::Any, ReadWrite,
               sizeof(UInt32)),
        optional(kAudioUnitProperty_ParameterValueStrings, "ParameterValueStrings", Global, Elements::Parameters,
                 kPointer, kAudioUnitErr_InvalidParameter),
        optional(kAudioUnitProperty_TailTime, "TailTime", Global, Elements::Any, sizeof(Float64)),
        {kAudioUnitProperty_BypassEffect, "BypassEffect", Global, Elements::Any, ReadWrite, sizeof(UInt32),
         sizeof(UInt32), true, kMissing},
        always(kAudioUnitProperty_LastRenderError, "LastRenderError", Global, Elements::Any, ReadOnly,
               sizeof(OSStatus)),
        always(kAudioUnitProperty_SetRenderCallback, "SetRenderCallback", Input, Elements::Buses, WriteOnly,
               sizeof(AURenderCallbackStruct)),
        optional(kAudioUnitProperty_FactoryPresets, "FactoryPresets", Global, Elements::Any, kPointer),
        {kAudioUnitProperty_HostCallbacks, "HostCallbacks", Global, Elements::Any, ReadWrite, sizeof(HostCallbackInfo),
         0, false, kMissing},
        {kAudioUnitProperty_CurrentPreset, "CurrentPreset", Global, Elements::Any, ReadWrite, sizeof(AUPreset),
         sizeof(SInt32), false, kMissing},
        // A bus without a name is an element the property does not have.
        optional(kAudioUnitProperty_ElementName, "ElementName", InputOutput, Elements::Buses, kPointer,
                 kAudioUnitErr_InvalidElement),
        optional(kAudioUnitProperty_CocoaUI, "CocoaUI", Global, Elements::Any, sizeof(AudioUnitCocoaViewInfo)),
        optional(kAudioUnitProperty_ParameterStringFromValue, "ParameterStringFromValue", Global, Elements::Parameters,
                 sizeof(AudioUnitParameterStringFromValue)),
        {kAudioUnitProperty_PresentPreset, "PresentPreset", Global, Elements::Any, ReadWrite, sizeof(AUPreset),
         sizeof(SInt32), false, kMissing},
        optional(kAudioUnitProperty_ParameterValueFromString, "ParameterValueFromString", Global, Elements::Parameters,
                 sizeof(AudioUnitParameterValueFromString)),
        always(kMusicDeviceProperty_InstrumentCount, "InstrumentCount", Global, Elements::Any, ReadOnly,
               sizeof(UInt32)),
    };
    return rules;
}

const std::vector<AudioUnitPropertyID>& unsupportedProperties()
{
    static const std::vector<AudioUnitPropertyID> properties = {
        kAudioUnitProperty_FastDispatch,
        kAudioUnitProperty_CPULoad,
        kAudioUnitProperty_SRCAlgorithm,
        kAudioUnitProperty_ReverbRoomType,
        kAudioUnitProperty_SetExternalBuffer,
        kAudioUnitProperty_MIDIControlMapping,
        kAudioUnitProperty_AudioChannelLayout,
        kAudioUnitProperty_ContextName,
        kAudioUnitProperty_RenderQuality,
        kAudioUnitProperty_SupportedChannelLayoutTags,
        kAudioUnitProperty_ParameterIDName,
        kAudioUnitProperty_ParameterClumpName,
        kAudioUnitProperty_OfflineRender,
        kAudioUnitProperty_IconLocation,
        kAudioUnitProperty_PresentationLatency,
        kAudioUnitProperty_AllParameterMIDIMappings,
        kAudioUnitProperty_AddParameterMIDIMapping,
        kAudioUnitProperty_RemoveParameterMIDIMapping,
        kAudioUnitProperty_HotMapParameterMIDIMapping,
        kAudioUnitProperty_DependentParameters,
        kAudioUnitProperty_UsesInternalReverb,
        kMusicDeviceProperty_InstrumentName,
        kMusicDeviceProperty_GroupOutputBus,
        kMusicDeviceProperty_SoundBankFSSpec,
        kMusicDeviceProperty_InstrumentNumber,
        kMusicDeviceProperty_MIDIXMLNames,
        kMusicDeviceProperty_BankName,
        kMusicDeviceProperty_SoundBankData,
        kMusicDeviceProperty_PartGroup,
        kMusicDeviceProperty_StreamFromDisk,
        kAudioUnitMigrateProperty_FromPlugin,
        kAudioUnitMigrateProperty_OldAutomation,
    };
    return properties;
}

const std::vector<AudioUnitPropertyID>& unknownPropertyIDs()
{
    static const std::vector<AudioUnitPropertyID> ids = {7, 18, 29, 1009, 5000, 0x7FFFFFFF};
    return ids;
}
}  // namespace auval
