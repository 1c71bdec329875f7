#include "auhost/unit_renderer.h"

#include "auhost/au_error.h"

#include <algorithm>
#include <cstddef>
#include <new>

namespace auhost
{
namespace
{
// The list is declared with one buffer; room for the others follows it.
size_t bufferListBytes(UInt32 buffers)
{
    return sizeof(AudioBufferList) + (buffers > 1 ? buffers - 1 : 0) * sizeof(AudioBuffer);
}
}  // namespace

UnitRenderer::UnitRenderer(const std::vector<AudioUnitInstance*>& chain, const RenderFormat& renderFormat,
                           HostTransport* hostTransport)
    : units(chain), format(renderFormat), transport(hostTransport),
      outputListBytes(new std::byte[bufferListBytes(format.channelsOut())]),
      outputList(new (outputListBytes.get()) AudioBufferList),
      inputCopies(format.channels, std::vector<float>(format.sliceFrames))
{
    if (units.empty() || format.channels == 0 || format.sliceFrames == 0)
        throw AUHostError("UnitRenderer", paramErr);
    outputList->mNumberBuffers = format.channelsOut();
    timeStamp.mFlags = kAudioTimeStampSampleTimeValid;
    for (AudioUnitInstance* unit : units)
    {
        const UInt32 inputChannels = unit == units.front() ? format.channels : format.channelsOut();
        unit->setStreamFormat(kAudioUnitScope_Input, 0, inputChannels, format.sampleRate);
        unit->setStreamFormat(kAudioUnitScope_Output, 0, format.channelsOut(), format.sampleRate);
        unit->setMaximumFramesPerSlice(format.sliceFrames);
        if (transport)
            unit->setHostCallbacks(transport->callbacks());
    }
    units.front()->setRenderCallback(0, {feedInput, this});
    try
    {
        for (size_t index = 1; index < units.size(); ++index)
            units[index]->connectInput(0, *units[index - 1], 0);
        for (AudioUnitInstance* unit : units)
            unit->initialize();
    }
    catch (...)
    {
        takeBackCallback();
        throw;
    }
}

UnitRenderer::~UnitRenderer() { takeBackCallback(); }

void UnitRenderer::takeBackCallback() noexcept
{
    const AURenderCallbackStruct none = {nullptr, nullptr};
    AudioUnitSetProperty(units.front()->unit(), kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0, &none,
                         sizeof none);
}

void UnitRenderer::render(const float* const* input, float* const* output, UInt32 frames)
{
    sliceInput = input;
    for (sliceOffset = 0; sliceOffset < frames; sliceOffset += sliceFrames)
    {
        sliceFrames = std::min(format.sliceFrames, frames - sliceOffset);
        for (UInt32 channel = 0; channel < format.channelsOut(); ++channel)
            outputList->mBuffers[channel] = {1, sliceFrames * UInt32{sizeof(float)}, output[channel] + sliceOffset};
        AudioUnitRenderActionFlags flags = 0;
        check(AudioUnitRender(units.back()->unit(), &flags, &timeStamp, 0, sliceFrames, outputList), "AudioUnitRender");
        timeStamp.mSampleTime += sliceFrames;
        if (transport)
            transport->advance(sliceFrames);
    }
}

OSStatus UnitRenderer::feedInput(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32 bus,
                                 UInt32 frames, AudioBufferList* data)
{
    return data ? static_cast<UnitRenderer*>(refCon)->feed(bus, frames, *data) : paramErr;
}

OSStatus UnitRenderer::feed(UInt32 bus, UInt32 frames, AudioBufferList& data)
{
    if (bus != 0 || frames != sliceFrames || data.mNumberBuffers != format.channels)
        return paramErr;
    for (UInt32 channel = 0; channel < format.channels; ++channel)
    {
        AudioBuffer& buffer = data.mBuffers[channel];
        const float* source = sliceInput[channel] + sliceOffset;
        if (!buffer.mData)
        {
            buffer.mData = inputCopies[channel].data();
            buffer.mDataByteSize = frames * sizeof(float);
        }
        else if (buffer.mDataByteSize != frames * sizeof(float))
            return paramErr;
        std::copy_n(source, frames, static_cast<float*>(buffer.mData));
    }
    return noErr;
}
}  // namespace auhost
