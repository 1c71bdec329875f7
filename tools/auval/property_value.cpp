#include "auval/property_value.h"

namespace auval
{
namespace
{
void releaseIfSet(CFTypeRef object)
{
    if (object)
        CFRelease(object);
}
}  // namespace

PropertyInfo propertyInfo(AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element)
{
    PropertyInfo info{noErr, 0, false};
    Boolean writable = false;
    info.status = AudioUnitGetPropertyInfo(unit, id, scope, element, &info.size, &writable);
    info.writable = writable;
    return info;
}

PropertyValue::PropertyValue(AudioUnitPropertyID propertyID, AudioUnitElement element, UInt32 capacity)
    : id(propertyID), words(capacity / sizeof(std::uint64_t) + 2)
{
    if (id == kAudioUnitProperty_ParameterStringFromValue)
        static_cast<AudioUnitParameterStringFromValue*>(data())->inParamID = element;
    else if (id == kAudioUnitProperty_ParameterValueFromString)
        *static_cast<AudioUnitParameterValueFromString*>(data()) = {element, CFSTR("0"), 0.0f};
}

PropertyValue::~PropertyValue() { release(); }

OSStatus PropertyValue::get(AudioUnit unit, AudioUnitScope scope, AudioUnitElement element, UInt32& ioSize,
                            bool sizeOnly)
{
    const OSStatus status = AudioUnitGetProperty(unit, id, scope, element, sizeOnly ? nullptr : data(), &ioSize);
    if (status == noErr && !sizeOnly)
    {
        release();
        handedSize = ioSize;
    }
    return status;
}

OSStatus PropertyValue::set(AudioUnit unit, AudioUnitScope scope, AudioUnitElement element, UInt32 size) const
{
    return AudioUnitSetProperty(unit, id, scope, element, words.data(), size);
}

// What the unit hands over with a get belongs to the host.
void PropertyValue::release()
{
    const UInt32 size = handedSize;
    handedSize = 0;
    if (size < sizeof(void*))
        return;
    switch (id)
    {
    case kAudioUnitProperty_ClassInfo:
    case kAudioUnitProperty_ParameterValueStrings:
    case kAudioUnitProperty_FactoryPresets:
    case kAudioUnitProperty_ElementName: releaseIfSet(*static_cast<CFTypeRef*>(data())); break;
    case kAudioUnitProperty_PresentPreset:
        if (size >= sizeof(AUPreset))
            releaseIfSet(static_cast<AUPreset*>(data())->presetName);
        break;
    case kAudioUnitProperty_CocoaUI:
    {
        const auto* view = static_cast<AudioUnitCocoaViewInfo*>(data());
        releaseIfSet(view->mCocoaAUViewBundleLocation);
        releaseIfSet(view->mCocoaAUViewClass[0]);
        break;
    }
    case kAudioUnitProperty_ParameterStringFromValue:
        releaseIfSet(static_cast<AudioUnitParameterStringFromValue*>(data())->outString);
        break;
    default: break;
    }
}
}  // namespace auval
