// Buses and channel configurations, stream formats, sample rate, slice size,
// latency and tail.

#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_render_path.h"
#include "tandem/tandem_trace.h"
#include "tandem/value_change.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr UInt32 kRequiredFormatFlags = kAudioFormatFlagIsFloat | kAudioFormatFlagIsNonInterleaved;

bool isSupportedSampleFormat(const AudioStreamBasicDescription& format)
{
    return format.mFormatID == kAudioFormatLinearPCM && format.mFramesPerPacket == 1 && format.mBytesPerPacket == 4 &&
           format.mBytesPerFrame == 4 && (format.mFormatFlags & kRequiredFormatFlags) == kRequiredFormatFlags &&
           format.mBitsPerChannel == 32;
}

bool isUsableSampleRate(double rate) { return std::isfinite(rate) && rate > 0.0; }
}  // namespace

void TandemRenderPath::layOutForEffect(bool requireNumChannels)
{
    layOutBuses(inputs, vst->getInputCount(), true, requireNumChannels);
    layOutBuses(outputs, vst->getOutputCount(), false, requireNumChannels);
    layOutChannelConfigurations();
    allocateBuffers(maxFramesPerSlice);
}

// Pins are grouped into buses of the width the effect reports for a bus's
// first pin; with requireNumChannels every bus takes the first bus's width.
void TandemRenderPath::layOutBuses(BusLayout& layout, int pinCount, bool isInput, bool requireNumChannels)
{
    const int fallbackWidth = pinCount % 2 == 0 ? 2 : 1;
    int width = fallbackWidth;
    bool readWidth = true;
    int pin = 0;
    while (pin < pinCount)
    {
        VstPinProperties properties{};
        const bool answered = isInput ? vst->getInputProperties(pin, properties)
                                      : vst->getOutputProperties(pin, properties);
        if (readWidth)
        {
            width = answered ? ((properties.flags & kVstPinIsStereo) != 0 ? 2 : 1) : fallbackWidth;
        }
        // A stereo group announced on the last pin of an odd count ends with
        // that pin.
        width = std::min(width, pinCount - pin);
        TANDEM_REQUIRE(layout.count < kMaxBuses);
        layout.firstPin[layout.count] = pin;
        layout.activeChannels[layout.count] = width;
        if (answered)
        {
            char label[sizeof properties.label + 1] = {};
            std::copy(std::begin(properties.label), std::end(properties.label), label);
            layout.names[layout.count] = CFStringCreateWithCString(kCFAllocatorDefault, label,
                                                                   kCFStringEncodingMacRoman);
        }
        ++layout.count;
        readWidth = !requireNumChannels;
        pin += width;
    }
    layout.firstPin[layout.count] = pin;
}

// Buses of mixed widths announce no configuration. requireNumChannels makes
// them uniform, except where a stereo group was cut short at the last pin.
void TandemRenderPath::layOutChannelConfigurations()
{
    const int in = inputs.count > 0 ? inputs.activeChannels[0] : 0;
    const int out = outputs.count > 0 ? outputs.activeChannels[0] : 0;
    auChannelInfoCount = 0;
    const bool uniform = std::all_of(inputs.activeChannels, inputs.activeChannels + inputs.count,
                                     [in](int n) { return n == in; }) &&
                         std::all_of(outputs.activeChannels, outputs.activeChannels + outputs.count,
                                     [out](int n) { return n == out; });
    const auto add = [this](int inChannels, int outChannels) {
        TANDEM_REQUIRE(auChannelInfoCount < kMaxChannelInfos);
        auChannelInfos[auChannelInfoCount++] = {static_cast<SInt16>(inChannels), static_cast<SInt16>(outChannels)};
    };
    if (uniform)
    {
        if (setup.canDoMonoIO && in == 2 && out == 2)
        {
            add(1, 1);
        }
        if (setup.canDoMonoIO && in == 2)
        {
            add(1, out);
        }
        if (setup.canDoMonoIO && out == 2)
        {
            add(in, 1);
        }
        add(in, out);
    }
}

// One buffer per effect channel; input n and output n share buffer n, so the
// effect runs in place, and output pin n always writes buffer n. The old
// buffers stay until all new ones exist.
void TandemRenderPath::allocateBuffers(int frames)
{
    const int count = std::max(vst->getInputCount(), vst->getOutputCount());
    std::unique_ptr<float[]> buffers[kMaxChannels];
    for (int channel = 0; channel < count; ++channel)
    {
        buffers[channel] = std::make_unique<float[]>(static_cast<size_t>(frames));
    }
    // Only a one-pin input bus can be given a stream wider than itself.
    bool onePinInput = false;
    for (int bus = 0; bus < inputs.count; ++bus)
    {
        onePinInput = onePinInput || inputs.maxChannels(bus) == 1;
    }
    std::unique_ptr<float[]> fold = onePinInput ? std::make_unique<float[]>(static_cast<size_t>(frames)) : nullptr;
    std::swap(buffers, ioBuffers);
    foldBuffer = std::move(fold);
    maxFramesPerSlice = frames;
    for (int pin = 0; pin < vst->getOutputCount(); ++pin)
    {
        effectOutputs[pin] = ioBuffers[pin].get();
    }
}

int TandemRenderPath::getMaxInputChannels(int busNumber) const
{
    TANDEM_REQUIRE(0 <= busNumber && busNumber < kMaxBuses);
    return inputs.maxChannels(busNumber);
}

int TandemRenderPath::getMaxOutputChannels(int busNumber) const
{
    TANDEM_REQUIRE(0 <= busNumber && busNumber < kMaxBuses);
    return outputs.maxChannels(busNumber);
}

int TandemRenderPath::getActiveInputChannels(int busNumber) const
{
    TANDEM_REQUIRE(0 <= busNumber && busNumber < kMaxBuses);
    return inputs.activeChannels[busNumber];
}

int TandemRenderPath::getActiveOutputChannels(int busNumber) const
{
    TANDEM_REQUIRE(0 <= busNumber && busNumber < kMaxBuses);
    return outputs.activeChannels[busNumber];
}

AudioStreamBasicDescription TandemRenderPath::getStreamFormat(AudioUnitScope scope, AudioUnitElement element) const
{
    const BusLayout& layout = scope == kAudioUnitScope_Input ? inputs : outputs;
    AudioStreamBasicDescription format = streamFormat;
    format.mChannelsPerFrame = static_cast<UInt32>(layout.activeChannels[element]);
    return format;
}

bool TandemRenderPath::updateFormat(AudioUnitScope scope, AudioUnitElement element,
                                    const AudioStreamBasicDescription& format)
{
    BusLayout& layout = scope == kAudioUnitScope_Input ? inputs : outputs;
    const int bus = static_cast<int>(element);
    TANDEM_REQUIRE(0 <= bus && bus < layout.count);
    const int maxChannels = layout.maxChannels(bus);
    const int channels = static_cast<int>(format.mChannelsPerFrame);
    const bool monoOnStereo = channels == 1 && maxChannels == 2 && setup.canDoMonoIO;
    const bool stereoOnMono = channels == 2 && maxChannels == 1 &&
                              (setup.hostApplication == 2 || setup.hostApplication == 3);
    if (!isSupportedSampleFormat(format) || !isUsableSampleRate(format.mSampleRate) || channels == 0 ||
        (channels != maxChannels && !monoOnStereo && !stereoOnMono))
    {
        throw MacOSException(kAudioUnitErr_FormatNotSupported);
    }
    layout.activeChannels[bus] = channels;
    outputNarrowerThanPins = false;
    for (int index = 0; index < outputs.count; ++index)
    {
        outputNarrowerThanPins = outputNarrowerThanPins || outputs.activeChannels[index] < outputs.maxChannels(index);
    }
    return updateSampleRate(format.mSampleRate);
}

bool TandemRenderPath::updateSampleRate(double rate)
{
    if (rate == streamFormat.mSampleRate)
    {
        return false;
    }
    // The effect cannot work without a rate; a host handing none gets refused.
    if (!isUsableSampleRate(rate))
    {
        throw MacOSException(kAudioUnitErr_InvalidPropertyValue);
    }
    streamFormat.mSampleRate = rate;
    vst->setSampleRate(static_cast<float>(rate));
    for (int bus = 0; bus < inputs.count; ++bus)
    {
        listeners.propertyChanged(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input,
                                  static_cast<AudioUnitElement>(bus));
        listeners.propertyChanged(kAudioUnitProperty_SampleRate, kAudioUnitScope_Input,
                                  static_cast<AudioUnitElement>(bus));
    }
    for (int bus = 0; bus < outputs.count; ++bus)
    {
        listeners.propertyChanged(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output,
                                  static_cast<AudioUnitElement>(bus));
        listeners.propertyChanged(kAudioUnitProperty_SampleRate, kAudioUnitScope_Output,
                                  static_cast<AudioUnitElement>(bus));
    }
    updateInitialDelayAndTailTimes();
    return true;
}

void TandemRenderPath::updateMaxFramesPerSlice(int frames)
{
    if (frames == maxFramesPerSlice)
    {
        return;
    }
    if (frames <= 0 || frames > kLargestMaxFramesPerSlice)
    {
        throw MacOSException(kAudioUnitErr_InvalidPropertyValue);
    }
    allocateBuffers(frames);
    listeners.propertyChanged(kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0);
    vst->setBlockSize(frames);
}

bool TandemRenderPath::updateInitialDelayTime()
{
    const double latency = vst->getInitialDelay() / streamFormat.mSampleRate;
    const bool changed = differs(latency, lastLatency);
    lastLatency = latency;
    return changed;
}

bool TandemRenderPath::updateTailTime()
{
    const double tail = static_cast<double>(vst->getTailSize()) / streamFormat.mSampleRate;
    const bool changed = differs(tail, lastTailTime);
    lastTailTime = tail;
    return changed;
}

void TandemRenderPath::updateInitialDelayAndTailTimes()
{
    if (updateInitialDelayTime())
    {
        listeners.propertyChanged(kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0);
    }
    if (setup.vstSupportsTail && updateTailTime())
    {
        listeners.propertyChanged(kAudioUnitProperty_TailTime, kAudioUnitScope_Global, 0);
    }
}
