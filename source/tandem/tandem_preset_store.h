#pragma once
// The preset store of a component: the Audio Unit preset dictionaries that
// wrap the hosted effect's FXP program or FXB bank (the ".aupreset" content
// and the ClassInfo value), the factory presets ("TDFactoryPresets.txt" and
// the ".aupreset" files it lists in the resources folder), the current and
// present preset, and the one-way conversion of the user's VST preset files.
//
// Threads: the host's main thread owns it, which sets and reads the preset
// properties and runs the idle timer that brings the current preset up to
// date after the effect changed its program.

#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnit.h>

#include "tandem/tandem_property_listeners.h"
#include "tandem/tandem_setup.h"
#include "tandem/tandem_thread.h"

class DataFork;

inline constexpr int kMaxFactoryPresets = 128;

class TandemPresetStore : OwnedByMainThread
{
public:
    // No factory presets yet; the current preset is the user preset "Untitled".
    TandemPresetStore(ComponentInstance auComponentInstance, const HostedEffect& vst, const TandemSetup& setup,
                      PropertyListeners& listeners);
    ~TandemPresetStore();

    TandemPresetStore(const TandemPresetStore&) = delete;
    TandemPresetStore& operator=(const TandemPresetStore&) = delete;

    // Once, while the component opens: the factory presets, written first
    // from the effect's programs when the list is missing; then the user's
    // VST presets in the preset folders of the component's name.
    void loadOrCreateFactoryPresets();
    void convertVSTPresets(const char* componentName);

    // The current preset from the effect's program name: true when it moved
    // away from the preset it was.
    bool updateCurrentAUPreset();
    // Tells the listeners of CurrentPreset, then PresentPreset.
    void notifyCurrentPresetChanged();

    // The preset properties. createClassInfo hands the caller its dictionary.
    CFPropertyListRef createClassInfo();
    void restoreAUPreset(CFPropertyListRef preset);
    // Not retained; null until the factory presets are loaded.
    CFArrayRef getFactoryPresets() const { return factoryPresetsArray; }
    void getCurrentPreset(UInt32 callerSize, void* outData, UInt32* ioDataSize, bool retainName);
    void setCurrentPreset(UInt32 inDataSize, const void* inData);

private:
    CFMutableDictionaryRef createAUPresetWithVSTData(unsigned long size, const unsigned char* vstData,
                                                     CFStringRef presetName) const;
    CFMutableDictionaryRef createAUPresetOfCurrentBank(CFStringRef nameRef);
    CFMutableDictionaryRef createAUPresetOfCurrentProgram(CFStringRef nameRef);
    void restoreAUPresetDictionary(CFPropertyListRef preset);
    void createFactoryPresets(const FSRef& listFile);
    void loadFactoryPresets(const FSRef& listFile);
    void loadFactoryPreset(const char* fileName, int number);
    void releaseFactoryPresets();
    void convertLoadedPrograms(const FSRef& folder, bool writeList, DataFork* listFork);
    void updateCurrentVSTProgramName(CFStringRef presetName);
    void selectFactoryPreset(SInt32 number);
    void convertVSTPresetsInDomain(FSVolumeRefNum domain, const char* componentName);
    void convertVSTPreset(const FSRef& file, bool isFXB);
    void convertVSTPresetFile(const FSRef& file, bool isFXB);

    ComponentInstance auComponentInstance;
    const HostedEffect& vst;
    const TandemSetup& setup;
    PropertyListeners& listeners;
    AUPreset currentAUPreset{};
    AUPreset factoryPresets[kMaxFactoryPresets] = {};
    CFDataRef factoryPresetData[kMaxFactoryPresets] = {};
    CFMutableArrayRef factoryPresetsArray = nullptr;  // of pointers into factoryPresets, not retained
};
