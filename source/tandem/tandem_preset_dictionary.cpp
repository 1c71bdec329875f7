// Preset dictionaries: the effect's current program or bank wrapped with the
// component's identity (the ".aupreset" content and the ClassInfo value),
// and restoring one that a host hands in.

#include "tandem/preset_files.h"
#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_preset_store.h"
#include "tandem/tandem_trace.h"

#include <memory>

namespace
{
ComponentDescription ownDescription(ComponentInstance instance)
{
    ComponentDescription description{};
    const OSErr error = GetComponentInfo(reinterpret_cast<Component>(instance), &description, nullptr, nullptr,
                                         nullptr);
    if (error != noErr)
    {
        throw MacOSException(error);
    }
    return description;
}

void setNumber(CFMutableDictionaryRef dictionary, CFStringRef key, SInt32 value)
{
    CFHandle<CFNumberRef> number(createNumber(value));
    CFDictionarySetValue(dictionary, key, number.get());
}

void requireValue(CFDictionaryRef dictionary, CFStringRef key, SInt32 expected)
{
    if (presetNumber(dictionary, key) != expected)
    {
        throw FormatException("Data in dictionary is not of expected value");
    }
}

// FXP or FXB data, freed on every path.
struct FXData
{
    std::unique_ptr<unsigned char[]> bytes;
    unsigned long size = 0;
};

FXData takeFXData(VSTPlugIn& vst, unsigned char* (VSTPlugIn::*create)(unsigned long&))
{
    FXData data;
    data.bytes.reset((vst.*create)(data.size));
    return data;
}
}  // namespace

CFMutableDictionaryRef TandemPresetStore::createAUPresetWithVSTData(unsigned long size, const unsigned char* vstData,
                                                                    CFStringRef presetName) const
{
    TANDEM_REQUIRE(vstData != 0);
    TANDEM_REQUIRE(presetName != 0);
    const ComponentDescription description = ownDescription(auComponentInstance);
    CFHandle<CFMutableDictionaryRef> dictionary(CFDictionaryCreateMutable(
        kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    TANDEM_REQUIRE(dictionary.get() != 0);
    setNumber(dictionary.get(), CFSTR("version"), 1);
    setNumber(dictionary.get(), CFSTR("type"), static_cast<SInt32>(description.componentType));
    setNumber(dictionary.get(), CFSTR("subtype"), static_cast<SInt32>(description.componentSubType));
    setNumber(dictionary.get(), CFSTR("manufacturer"), static_cast<SInt32>(description.componentManufacturer));
    CFDictionarySetValue(dictionary.get(), CFSTR("name"), presetName);
    CFHandle<CFDataRef> data(CFDataCreate(kCFAllocatorDefault, vstData, static_cast<CFIndex>(size)));
    TANDEM_REQUIRE(data.get() != 0);
    CFDictionarySetValue(dictionary.get(), CFSTR("vstdata"), data.get());
    return dictionary.release();
}

CFMutableDictionaryRef TandemPresetStore::createAUPresetOfCurrentBank(CFStringRef nameRef)
{
    TANDEM_REQUIRE(nameRef != 0);
    const FXData bank = takeFXData(*vst, &VSTPlugIn::createFXB);
    return createAUPresetWithVSTData(bank.size, bank.bytes.get(), nameRef);
}

CFMutableDictionaryRef TandemPresetStore::createAUPresetOfCurrentProgram(CFStringRef nameRef)
{
    TANDEM_REQUIRE(nameRef != 0);
    const FXData program = takeFXData(*vst, &VSTPlugIn::createFXP);
    return createAUPresetWithVSTData(program.size, program.bytes.get(), nameRef);
}

CFPropertyListRef TandemPresetStore::createClassInfo()
{
    CFHandle<CFMutableDictionaryRef> preset(setup.presetIsFXB
                                                ? createAUPresetOfCurrentBank(currentAUPreset.presetName)
                                                : createAUPresetOfCurrentProgram(currentAUPreset.presetName));
    setNumber(preset.get(), CFSTR("ProgramNumber"), vst->getCurrentProgram());
    return preset.release();
}

void TandemPresetStore::restoreAUPreset(CFPropertyListRef preset)
{
    try
    {
        restoreAUPresetDictionary(preset);
    }
    catch (const EOFException& failure)
    {
        tandemTrace("Failed reading AUPreset, caught end of file exception: %s\n", failure.what());
        throw MacOSException(kAudioUnitErr_InvalidPropertyValue);
    }
    catch (const FormatException& failure)
    {
        tandemTrace("Failed reading AUPreset, caught format exception: %s\n", failure.what());
        throw MacOSException(kAudioUnitErr_InvalidPropertyValue);
    }
}

void TandemPresetStore::restoreAUPresetDictionary(CFPropertyListRef preset)
{
    const CFDictionaryRef dictionary = presetDictionary(preset);
    const ComponentDescription description = ownDescription(auComponentInstance);
    requireValue(dictionary, CFSTR("version"), 1);
    requireValue(dictionary, CFSTR("type"), static_cast<SInt32>(description.componentType));
    requireValue(dictionary, CFSTR("subtype"), static_cast<SInt32>(description.componentSubType));
    requireValue(dictionary, CFSTR("manufacturer"), static_cast<SInt32>(description.componentManufacturer));

    const int programCount = vst->getProgramCount();
    SInt32 program = 0;
    if (CFDictionaryContainsKey(dictionary, CFSTR("ProgramNumber")))
    {
        program = presetNumber(dictionary, CFSTR("ProgramNumber"));
        if (program < 0 || program >= programCount)
        {
            program = 0;
        }
    }
    // An effect without programs has none to select; the data then goes to
    // the effect as it is.
    if (programCount > 0)
    {
        vst->setCurrentProgram(program);
    }

    const auto name = static_cast<CFStringRef>(presetValue(dictionary, CFSTR("name"), CFStringGetTypeID()));
    const auto data = static_cast<CFDataRef>(presetValue(dictionary, CFSTR("vstdata"), CFDataGetTypeID()));
    vst->loadFXPOrFXB(static_cast<unsigned long>(CFDataGetLength(data)), bytesOf(data));
    if (setup.updateNameOnLoad)
    {
        updateCurrentVSTProgramName(name);
    }
    updateCurrentAUPreset();
    currentAUPreset.presetNumber = -1;
    notifyCurrentPresetChanged();
}
