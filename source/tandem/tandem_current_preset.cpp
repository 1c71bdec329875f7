// The current preset: a factory preset until the effect's program name moves
// away from it, else a user preset (number -1) named after the program.

#include "tandem/cf_handle.h"
#include "tandem/preset_files.h"
#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_preset_store.h"
#include "tandem/tandem_trace.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr UInt32 kPresetNumberSize = sizeof(SInt32);
constexpr std::size_t kProgramNameLength = 24;

// Exactly the number, or a whole AUPreset; sizes between carry half a name
// pointer and are refused.
void requirePresetSize(UInt32 size)
{
    if (size != kPresetNumberSize && size < sizeof(AUPreset))
    {
        throw MacOSException(kAudioUnitErr_InvalidPropertyValue);
    }
}
}  // namespace

TandemPresetStore::TandemPresetStore(ComponentInstance auComponentInstance, const HostedEffect& vst,
                                     const TandemSetup& setup, PropertyListeners& listeners)
    : auComponentInstance(auComponentInstance), vst(vst), setup(setup), listeners(listeners)
{
    currentAUPreset.presetNumber = -1;
    currentAUPreset.presetName = CFStringCreateWithCString(kCFAllocatorDefault, "Untitled", kCFStringEncodingASCII);
    TANDEM_REQUIRE(currentAUPreset.presetName != 0);
}

TandemPresetStore::~TandemPresetStore()
{
    releaseFactoryPresets();
    releaseCF(currentAUPreset.presetName);
}

bool TandemPresetStore::updateCurrentAUPreset()
{
    char programName[kProgramNameLength + 1] = {};
    vst->getCurrentProgramName(programName);
    CFHandle<CFStringRef> name(CFStringCreateWithCString(kCFAllocatorDefault, programName, kCFStringEncodingMacRoman));
    TANDEM_REQUIRE(name);
    if (CFStringCompare(name.get(), currentAUPreset.presetName, 0) == kCFCompareEqualTo)
    {
        return false;
    }
    releaseCF(currentAUPreset.presetName);
    currentAUPreset.presetName = name.release();
    currentAUPreset.presetNumber = -1;
    return true;
}

void TandemPresetStore::updateCurrentVSTProgramName(CFStringRef presetName)
{
    TANDEM_REQUIRE(presetName != 0);
    // Mac Roman takes one byte per character, so the first 24 characters are
    // the whole program name however long the host's name is. A name with a
    // character Mac Roman lacks converts to nothing, and the program is then
    // left unnamed.
    UniChar characters[kProgramNameLength];
    const CFIndex length = std::min<CFIndex>(CFStringGetLength(presetName), kProgramNameLength);
    CFStringGetCharacters(presetName, CFRangeMake(0, length), characters);
    const CFHandle<CFStringRef> head(CFStringCreateWithCharacters(kCFAllocatorDefault, characters, length));
    char text[kProgramNameLength + 1] = {};
    if (!head || !CFStringGetCString(head.get(), text, sizeof text, kCFStringEncodingMacRoman))
    {
        text[0] = '\0';
    }
    vst->setCurrentProgramName(text);
}

void TandemPresetStore::notifyCurrentPresetChanged()
{
    listeners.propertyChanged(kAudioUnitProperty_CurrentPreset, kAudioUnitScope_Global, 0);
    listeners.propertyChanged(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0);
}

void TandemPresetStore::getCurrentPreset(UInt32 callerSize, void* outData, UInt32* ioDataSize, bool retainName)
{
    requirePresetSize(callerSize);
    updateCurrentAUPreset();
    if (callerSize == kPresetNumberSize)
    {
        std::memcpy(outData, &currentAUPreset.presetNumber, kPresetNumberSize);
        *ioDataSize = kPresetNumberSize;
        return;
    }
    if (retainName)
    {
        CFRetain(currentAUPreset.presetName);
    }
    std::memcpy(outData, &currentAUPreset, sizeof currentAUPreset);
    *ioDataSize = sizeof currentAUPreset;
}

void TandemPresetStore::setCurrentPreset(UInt32 inDataSize, const void* inData)
{
    requirePresetSize(inDataSize);
    AUPreset preset{};
    std::memcpy(&preset, inData, inDataSize == kPresetNumberSize ? kPresetNumberSize : sizeof preset);
    if (preset.presetNumber >= 0)
    {
        selectFactoryPreset(preset.presetNumber);
        return;
    }
    // A host may send a whole record without a name: it then carries only
    // the number.
    if (preset.presetName != nullptr)
    {
        if (CFGetTypeID(preset.presetName) != CFStringGetTypeID())
        {
            throw MacOSException(kAudioUnitErr_InvalidPropertyValue);
        }
        updateCurrentVSTProgramName(preset.presetName);
    }
    if (!updateCurrentAUPreset() && currentAUPreset.presetNumber == -1)
    {
        return;
    }
    currentAUPreset.presetNumber = -1;
    notifyCurrentPresetChanged();
}

void TandemPresetStore::selectFactoryPreset(SInt32 number)
{
    if (factoryPresetsArray == nullptr || number >= CFArrayGetCount(factoryPresetsArray))
    {
        throw MacOSException(kAudioUnitErr_InvalidPropertyValue);
    }
    const CFDataRef data = factoryPresetData[number];
    vst->loadFXPOrFXB(static_cast<unsigned long>(CFDataGetLength(data)), bytesOf(data));
    CFRetain(factoryPresets[number].presetName);
    releaseCF(currentAUPreset.presetName);
    currentAUPreset = factoryPresets[number];
    notifyCurrentPresetChanged();
}
