#pragma once
// The render path of a component: how the effect's pins form buses, the
// stream formats and the channel configurations the unit announces, the
// shared channel buffers, what each input bus pulls from, the render
// notifications, the transport record the effect reads, and the MIDI queue.
//
// Threads: the host's audio thread owns it. render and midiInput run there;
// they answer a status instead of throwing and neither allocate nor take a
// lock of their own (the fault traces they may write are described in
// tandem_render.cpp). The set-up calls, from layOutForEffect to
// setHostCallbacks below, and the notification list come from the host's
// main thread, as the Audio Unit selectors that reach them do; they throw on
// failure and tell the property listeners of what they change. The getters
// serve the property table on the main thread, and getTimeInfo the effect
// on whichever thread it asks.

#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnit.h>

#include "tandem/tandem_property_listeners.h"
#include "tandem/tandem_setup.h"
#include "tandem/tandem_thread.h"

#include <memory>
#include <span>

inline constexpr int kMaxBuses = 32;
inline constexpr int kMaxChannels = 32;
inline constexpr int kMaxRenderNotifications = 128;
inline constexpr int kMaxVSTMIDIEvents = 1024;
inline constexpr int kMaxChannelInfos = 4;
inline constexpr int kDefaultMaxFramesPerSlice = 4096;
// The largest slice a host may set: far more than hosts render at once, in
// buffers of 256 KiB a channel. A larger one is a host's fault, refused
// before anything is allocated.
inline constexpr int kLargestMaxFramesPerSlice = 65536;
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

class TandemRenderPath : OwnedByAudioThread
{
public:
    // 44100 Hz stereo, slices of kDefaultMaxFramesPerSlice, the MIDI queue
    // ready; no buses until layOutForEffect.
    TandemRenderPath(const HostedEffect& vst, const TandemSetup& setup, PropertyListeners& listeners);
    ~TandemRenderPath();

    TandemRenderPath(const TandemRenderPath&) = delete;
    TandemRenderPath& operator=(const TandemRenderPath&) = delete;

    // Main thread: set-up. Buses, channel configurations and buffers from
    // the opened effect's pins; with requireNumChannels every bus takes the
    // first bus's width.
    void layOutForEffect(bool requireNumChannels);
    bool updateFormat(AudioUnitScope scope, AudioUnitElement element, const AudioStreamBasicDescription& format);
    bool updateSampleRate(double rate);
    // 1 .. kLargestMaxFramesPerSlice, else kAudioUnitErr_InvalidPropertyValue
    // and the slices stay as they were.
    void updateMaxFramesPerSlice(int frames);
    // Latency and tail from the effect, true when changed; the first two
    // tell nobody, the third tells the listeners.
    bool updateInitialDelayTime();
    bool updateTailTime();
    void updateInitialDelayAndTailTimes();
    void setConnection(AudioUnitElement element, const AudioUnitConnection& connection);
    void setRenderCallback(AudioUnitElement element, const AURenderCallbackStruct& callback);
    void setHostCallbacks(UInt32 size, const void* data);
    // The next render runs the effect, whatever its time stamp.
    void forgetLastRenderTime() { lastRenderSampleTime = kNoRenderSampleTime; }
    void addRenderNotification(AURenderCallback proc, void* refCon);
    void removeRenderNotification(AURenderCallback proc, void* refCon);

    // Main thread: what the properties read.
    double getSampleRate() const { return streamFormat.mSampleRate; }
    int getMaxFramesPerSlice() const { return maxFramesPerSlice; }
    const BusLayout& getInputs() const { return inputs; }
    const BusLayout& getOutputs() const { return outputs; }
    // The one stream format of every bus, with the channels of this bus's
    // stream (output buses for any scope but input, as updateFormat).
    AudioStreamBasicDescription getStreamFormat(AudioUnitScope scope, AudioUnitElement element) const;
    bool isInputConnected(AudioUnitElement bus) const { return inputConnections[bus].sourceAudioUnit != nullptr; }
    std::span<const AUChannelInfo> getChannelInfos() const
    {
        return {auChannelInfos, static_cast<std::size_t>(auChannelInfoCount)};
    }
    // Seconds, as last brought up to date.
    double getLastLatency() const { return lastLatency; }
    double getLastTailTime() const { return lastTailTime; }
    const HostCallbackInfo& getHostCallbacks() const { return hostCallbacks; }
    int getMaxInputChannels(int busNumber) const;
    int getMaxOutputChannels(int busNumber) const;
    int getActiveInputChannels(int busNumber) const;
    int getActiveOutputChannels(int busNumber) const;

    // Audio thread.
    OSStatus render(AudioUnitRenderActionFlags* ioActionFlags, const AudioTimeStamp* inTimeStamp,
                    UInt32 inOutputBusNumber, UInt32 inNumberFrames, AudioBufferList* ioData) noexcept;
    void midiInput(int offset, int status, int data1, int data2) noexcept;
    // The transport record as the last run filled it.
    VstTimeInfo* getTimeInfo() { return &vstTimeInfo; }

private:
    // Bus layout and buffers.
    void layOutBuses(BusLayout& layout, int pinCount, bool isInput, bool requireNumChannels);
    void layOutChannelConfigurations();
    void allocateBuffers(int frames);

    // Checking the call, pulling the input buses, running the effect once per
    // time stamp and handing the output out.
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

    const HostedEffect& vst;
    const TandemSetup& setup;
    PropertyListeners& listeners;
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
    HostCallbackInfo hostCallbacks{};
    // The MIDI queue: its pointer array, the same seen as the VstEvents
    // record the effect reads, and the events the pointers lead to.
    TandemVstEvents midiQueue{};
    const VstEvents* midiQueueAsVstEvents = reinterpret_cast<const VstEvents*>(&midiQueue);
    std::unique_ptr<VstMidiEvent[]> midiEventStorage;
    VstTimeInfo vstTimeInfo{};
    bool vstTimeInfoFromHost = false;  // the last run filled fields from the host's callbacks
    double lastLatency = 0.0;
    double lastTailTime = 0.0;
    BusLayout inputs;
    BusLayout outputs;
    int auChannelInfoCount = 0;
    AUChannelInfo auChannelInfos[kMaxChannelInfos] = {};
};
