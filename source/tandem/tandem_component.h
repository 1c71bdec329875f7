#pragma once
// The Audio Unit face of the bundle: one TandemComponent per component
// instance hosts the bundle's VST effect through a VSTPlugIn and translates
// the Audio Unit selectors, properties and rendering into VST calls.
//
// Failures are thrown as the Tandem exception classes and become status codes
// only in TandemEntry. The render path is the exception: it answers a status
// itself, so that a host fault there neither throws (which allocates) nor
// stops the process.
//
// Threads: the host's main thread drives construction, properties and
// selectors; render and MIDI run on its audio thread. The component takes no
// lock of its own; the render path's fault traces are described in
// tandem_render.cpp.

#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnit.h>
#include <Carbon/Carbon.h>

#include "tandem/parameter_mapping.h"
#include "tandem/tandem_property_listeners.h"
#include "tandem/tandem_setup.h"
#include "tandem/vst_host.h"
#include "tandem/vst_plugin.h"

#include <atomic>
#include <memory>

class DataFork;
class NSView;
class comQuarnTandem_CocoaView;

inline constexpr int kMaxBuses = 32;
inline constexpr int kMaxChannels = 32;
inline constexpr int kMaxRenderNotifications = 128;
inline constexpr int kMaxVSTMIDIEvents = 1024;
inline constexpr int kMaxChannelInfos = 4;
inline constexpr int kMaxFactoryPresets = 128;
inline constexpr int kDefaultMaxFramesPerSlice = 4096;
// Forces the next render to run the effect.
inline constexpr double kNoRenderSampleTime = -12345678.0;

// A VstEvents record with room for the whole MIDI queue.
struct TandemVstEvents
{
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[kMaxVSTMIDIEvents];
};

// One scope's buses: bus b covers the effect pins firstPin[b] ..
// firstPin[b+1]-1 and carries a stream of activeChannels[b] channels.
struct BusLayout
{
    int count = 0;
    int firstPin[kMaxBuses + 1] = {};
    int activeChannels[kMaxBuses + 1] = {};
    CFStringRef names[kMaxBuses] = {};

    int maxChannels(int bus) const { return firstPin[bus + 1] - firstPin[bus]; }
    // The stream channel that pin j of the bus carries: j mod the active
    // channels, so that a mono stream on a stereo bus serves both pins. The
    // division only where the stream is narrower than the pins.
    int channelOfPin(int bus, int pin) const { return pin < activeChannels[bus] ? pin : pin % activeChannels[bus]; }
    // The pin whose buffer stream channel k of the bus is handed out from:
    // both channels of a stereo stream on a one-pin bus come from that pin.
    int pinOfChannel(int bus, int channel) const
    {
        return channel < maxChannels(bus) ? channel : channel % maxChannels(bus);
    }
};

class TandemComponent : public VSTHost
{
public:
    explicit TandemComponent(ComponentInstance auComponentInstance);
    virtual ~TandemComponent();

    TandemComponent(const TandemComponent&) = delete;
    TandemComponent& operator=(const TandemComponent&) = delete;

    // VSTHost: what the hosted effect learns from its host.
    void getVendor(VSTPlugIn& plugIn, char* vendor) override;
    void getProduct(VSTPlugIn& plugIn, char* product) override;
    int getVersion(VSTPlugIn& plugIn) override;
    bool canDo(VSTPlugIn& plugIn, const char* what) override;
    VstTimeInfo* getTimeInfo(VSTPlugIn& plugIn, int flags) override;
    void beginEdit(VSTPlugIn& plugIn, int parameterIndex) override;
    void automate(VSTPlugIn& plugIn, int parameterIndex, float value) override;
    void endEdit(VSTPlugIn& plugIn, int parameterIndex) override;
    bool isIOPinConnected(VSTPlugIn& plugIn, bool checkOutputPin, int pinIndex) override;
    void idle(VSTPlugIn& plugIn) override;
    void updateDisplay(VSTPlugIn& plugIn) override;
    void resizeWindow(VSTPlugIn& plugIn, int width, int height) override;

    // Views: the factory and the view reach the component only through these.
    // createView answers the autoreleased view holding the open editor;
    // dropView closes the editor when the view goes.
    virtual NSView* createView();
    virtual void dropView();

    // The Audio Unit selectors; answers the status of Render and
    // ScheduleParameters, which run on the audio thread, else 0 (other
    // failures are thrown).
    ComponentResult dispatch(ComponentParameters* params);
    // Render's own selector: its arguments read and the call made.
    ComponentResult renderSelector(const ComponentParameters* params) noexcept;

    // Properties.
    void getPropertyInfo(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, bool& readable,
                         bool& writable, int& minDataSize, int& dataSize);
    void getProperty(UInt32* ioDataSize, void* outData, AudioUnitElement element, AudioUnitScope scope,
                     AudioUnitPropertyID id);
    void setProperty(UInt32 inDataSize, const void* inData, AudioUnitElement element, AudioUnitScope scope,
                     AudioUnitPropertyID id);

    // Parameters, scaled through the mapping.
    float scaleFromAUParameter(int index, float value) const;
    float scaleToAUParameter(int index, float value) const;

    // Buses and formats.
    int getMaxInputChannels(int busNumber) const;
    int getMaxOutputChannels(int busNumber) const;
    int getActiveInputChannels(int busNumber) const;
    int getActiveOutputChannels(int busNumber) const;
    bool updateFormat(AudioUnitScope scope, AudioUnitElement element, const AudioStreamBasicDescription& format);
    bool updateSampleRate(double rate);
    void updateMaxFramesPerSlice(int frames);
    bool updateInitialDelayTime();
    bool updateTailTime();
    void updateInitialDelayAndTailTimes();

    // Rendering.
    OSStatus render(AudioUnitRenderActionFlags* ioActionFlags, const AudioTimeStamp* inTimeStamp,
                    UInt32 inOutputBusNumber, UInt32 inNumberFrames, AudioBufferList* ioData) noexcept;
    void midiInput(int offset, int status, int data1, int data2) noexcept;
    void addRenderNotification(AURenderCallback proc, void* refCon);
    void removeRenderNotification(AURenderCallback proc, void* refCon);

    void getComponentName(char* name) const;
    OSType getComponentType() const;

private:
    struct SelectorHandlers;
    struct PropertyInfo;
    struct PropertyAddress;
    struct PropertyRead;

    // Construction and teardown.
    void construct();
    void setInitialState();
    void openEffect();
    void layOutForEffect();
    void uninit();
    void locateOwnBundle();
    void loadConfiguration();
    void locateResourcesFolder();
    CFBundleRef createVSTBundle() const;
    void checkAndProbeEffect();
    void tryToIdentifyHostApplication();
    void installIdleTimer();
    static void idleTimerAction(EventLoopTimerRef timer, void* userData);

    // Selector helpers.
    void initialize();
    void uninitialize();
    void reset(AudioUnitScope scope);
    AudioUnitParameterValue getParameterValue(AudioUnitParameterID id, AudioUnitScope scope) const;
    void setParameterValue(AudioUnitParameterID id, AudioUnitScope scope, AudioUnitParameterValue value);
    OSStatus scheduleParameters(const AudioUnitParameterEvent* events, UInt32 count) noexcept;
    OSStatus parameterStatus(AudioUnitParameterID id, AudioUnitScope scope) const noexcept;
    OSStatus applyParameterValue(AudioUnitParameterID id, AudioUnitScope scope, AudioUnitParameterValue value) noexcept;

    // Property helpers: what getPropertyInfo answers, by group.
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
    void setConnection(AudioUnitElement element, const AudioUnitConnection& connection);
    void setRenderCallback(AudioUnitElement element, const AURenderCallbackStruct& callback);
    void setHostCallbacks(UInt32 size, const void* data);
    void setBypass(bool on);

    // Presets: dictionaries of the effect's program or bank, factory presets,
    // the current preset and the conversion of VST preset files.
    CFMutableDictionaryRef createAUPresetWithVSTData(unsigned long size, const unsigned char* vstData,
                                                     CFStringRef presetName) const;
    CFMutableDictionaryRef createAUPresetOfCurrentBank(CFStringRef nameRef);
    CFMutableDictionaryRef createAUPresetOfCurrentProgram(CFStringRef nameRef);
    CFPropertyListRef createClassInfo();
    void restoreAUPreset(CFPropertyListRef preset);
    void restoreAUPresetDictionary(CFPropertyListRef preset);
    void loadOrCreateFactoryPresets();
    void createFactoryPresets(const FSRef& listFile);
    void loadFactoryPresets(const FSRef& listFile);
    void loadFactoryPreset(const char* fileName, int number);
    void releaseFactoryPresets();
    void convertLoadedPrograms(const FSRef& folder, bool writeList, DataFork* listFork);
    bool updateCurrentAUPreset();
    void updateCurrentVSTProgramName(CFStringRef presetName);
    void getCurrentPreset(UInt32 callerSize, void* outData, UInt32* ioDataSize, bool retainName);
    void setCurrentPreset(UInt32 inDataSize, const void* inData);
    void selectFactoryPreset(SInt32 number);
    void notifyCurrentPresetChanged();
    void convertVSTPresets();
    void convertVSTPresetsInDomain(FSVolumeRefNum domain, const char* componentName);
    void convertVSTPreset(const FSRef& file, bool isFXB);
    void convertVSTPresetFile(const FSRef& file, bool isFXB);

    // Bus layout and buffers.
    void layOutBuses(BusLayout& layout, int pinCount, bool isInput, bool requireNumChannels);
    void layOutChannelConfigurations();
    void allocateBuffers(int frames);

    // The render path: checking the call, pulling the input buses, running
    // the effect once per time stamp and handing the output out.
    OSStatus checkRenderArguments(AudioUnitRenderActionFlags flags, UInt32 bus, UInt32 frames,
                                  const AudioBufferList& ioData) const noexcept;
    void callRenderNotifications(AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp, UInt32 bus,
                                 UInt32 frames, AudioBufferList* ioData) noexcept;
    OSStatus runEffectOnce(int frames, const AudioTimeStamp* timeStamp) noexcept;
    OSStatus runEffect(int frames, const AudioTimeStamp* timeStamp) noexcept;
    void handOutOutput(int bus, int frames, AudioBufferList& ioData) noexcept;
    OSStatus collectInputAudio(int frames, const float** pins, const AudioTimeStamp* timeStamp, bool& silent) noexcept;
    OSStatus pullInputBus(int bus, int frames, const AudioTimeStamp* timeStamp, AudioBufferList& buffers,
                          AudioUnitRenderActionFlags& flags) noexcept;
    void pointPinsAtBus(int bus, const AudioBufferList& received, int frames, const float** pins) noexcept;
    const float* takePinInput(int bus, int pin, const AudioBufferList& received, int frames) noexcept;
    void renderOutput(int frames, const float* const* inputs, float** outputs, bool inputIsSilent) noexcept;
    void foldDownNarrowOutputs(int frames) noexcept;
    void updateVSTTimeInfo(const AudioTimeStamp* timeStamp) noexcept;
    void readBeatAndTempo() noexcept;
    void readMusicalTimeLocation() noexcept;
    void readTransportState() noexcept;

    ComponentInstance auComponentInstance;
    CFBundleRef auBundleRef = nullptr;
    TandemSetup setup;
    AudioStreamBasicDescription streamFormat{};
    int maxFramesPerSlice = kDefaultMaxFramesPerSlice;
    int renderNotificationCount = 0;
    AURenderCallbackStruct renderNotifications[kMaxRenderNotifications] = {};
    double lastRenderSampleTime = kNoRenderSampleTime;
    AudioUnitConnection inputConnections[kMaxBuses] = {};
    AURenderCallbackStruct inputRenderCallbacks[kMaxBuses] = {};
    std::unique_ptr<float[]> ioBuffers[kMaxChannels];
    // The second channel of a stereo stream on a one-pin input bus, until it
    // is folded into the pin's buffer.
    std::unique_ptr<float[]> foldBuffer;
    // The effect's pins on the buffers. Output pin n always writes buffer n,
    // so they are mapped when the buffers change; input pins are filled by
    // every run from what the sources hand back.
    float* effectOutputs[kMaxChannels] = {};
    const float* effectInputs[kMaxChannels] = {};
    bool outputSilent = false;
    // Some output bus carries a stream narrower than its pins.
    bool outputNarrowerThanPins = false;
    PropertyListeners listeners;
    HostCallbackInfo hostCallbacks{};
    AUPreset currentAUPreset{};
    AUPreset factoryPresets[kMaxFactoryPresets] = {};
    CFDataRef factoryPresetData[kMaxFactoryPresets] = {};
    CFMutableArrayRef factoryPresetsArray = nullptr;  // of pointers into factoryPresets, not retained
    ParameterMapping parameterMapping;
    std::unique_ptr<VSTPlugIn> vst;
    // The MIDI queue: its pointer array, the same seen as the VstEvents
    // record the effect reads, and the events the pointers lead to.
    TandemVstEvents midiQueue{};
    const VstEvents* midiQueueAsVstEvents = reinterpret_cast<const VstEvents*>(&midiQueue);
    std::unique_ptr<VstMidiEvent[]> midiEventStorage;
    VstTimeInfo vstTimeInfo{};
    bool vstTimeInfoFromHost = false;  // the last run filled fields from the host's callbacks
    double lastLatency = 0.0;
    double lastTailTime = 0.0;
    bool bypassing = false;
    BusLayout inputs;
    BusLayout outputs;
    int auChannelInfoCount = 0;
    AUChannelInfo auChannelInfos[kMaxChannelInfos] = {};
    EventLoopTimerRef idleTimerRef = nullptr;
    // Set by the effect's audioMasterUpdateDisplay, from whichever thread it
    // calls; the idle timer brings the current preset up to date.
    std::atomic<bool> displayChanged{false};
    comQuarnTandem_CocoaView* cocoaView = nullptr;  // not retained
};
