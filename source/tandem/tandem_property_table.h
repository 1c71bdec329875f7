#pragma once
// The property table of a component: which Audio Unit properties exist, in
// which scope and element, how large they are and whether they can be read
// or written (getPropertyInfo, the one place that decides), their get and
// set, and the parameter mapping from "TDParameters.txt" that the parameter
// properties describe and the parameter selectors scale through. Values live
// where they belong: in the render path, the preset store, the hosted effect
// or here; the listeners in PropertyListeners, which every part notifies.
//
// Threads: the host's main thread owns it, on which hosts call the property
// selectors. The scaling is also called from the audio thread by
// ScheduleParameters; it only reads the mapping, which stays as it was read
// while the component opened.

#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnit.h>

#include "tandem/parameter_mapping.h"
#include "tandem/tandem_preset_store.h"
#include "tandem/tandem_render_path.h"
#include "tandem/tandem_setup.h"
#include "tandem/tandem_thread.h"

class TandemPropertyTable : OwnedByMainThread
{
public:
    TandemPropertyTable(const HostedEffect& vst, const TandemSetup& setup, TandemRenderPath& renderPath,
                        TandemPresetStore& presets);

    TandemPropertyTable(const TandemPropertyTable&) = delete;
    TandemPropertyTable& operator=(const TandemPropertyTable&) = delete;

    // Once, while the component opens: reads "TDParameters.txt", writing the
    // default file first when it is missing.
    void loadParameterMapping();

    void getPropertyInfo(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, bool& readable,
                         bool& writable, int& minDataSize, int& dataSize);
    void getProperty(UInt32* ioDataSize, void* outData, AudioUnitElement element, AudioUnitScope scope,
                     AudioUnitPropertyID id);
    void setProperty(UInt32 inDataSize, const void* inData, AudioUnitElement element, AudioUnitScope scope,
                     AudioUnitPropertyID id);

    // Parameters, scaled through the mapping.
    float scaleFromAUParameter(int index, float value) const;
    float scaleToAUParameter(int index, float value) const;

private:
    struct PropertyInfo;
    struct PropertyAddress;
    struct PropertyRead;

    // What getPropertyInfo answers, by group.
    void traceKnownProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element) const;
    bool busPropertyInfo(AudioUnitPropertyID id, const PropertyAddress& at, PropertyInfo& info) const;
    bool parameterPropertyInfo(AudioUnitPropertyID id, const PropertyAddress& at, PropertyInfo& info) const;
    bool presetPropertyInfo(AudioUnitPropertyID id, const PropertyAddress& at, PropertyInfo& info) const;
    bool unitPropertyInfo(AudioUnitPropertyID id, const PropertyAddress& at, PropertyInfo& info) const;
    // ... and what getProperty writes, by the same groups.
    bool readBusProperty(AudioUnitPropertyID id, const PropertyRead& read);
    bool readParameterProperty(AudioUnitPropertyID id, const PropertyRead& read);
    bool readPresetProperty(AudioUnitPropertyID id, const PropertyRead& read);
    bool readUnitProperty(AudioUnitPropertyID id, const PropertyRead& read);
    void getParameterStringFromValue(AudioUnitParameterStringFromValue& request);
    void getParameterValueFromString(AudioUnitParameterValueFromString& request);
    void setBypass(bool on);

    const HostedEffect& vst;
    const TandemSetup& setup;
    TandemRenderPath& renderPath;
    TandemPresetStore& presets;
    ParameterMapping parameterMapping;
    bool bypassing = false;
};
