#pragma once
// Rendering through a chain of units as a host does: the first unit pulls
// the caller's samples from a render callback on its input bus 0, each next
// unit pulls from the one before through a connection, and the host pulls
// output bus 0 of the last with AudioUnitRender, slice by slice, with a
// running sample time.

#include "auhost/audio_unit_instance.h"
#include "auhost/host_transport.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace auhost
{
struct RenderFormat
{
    UInt32 channels;  // of the input, and of the output unless outputChannels says otherwise
    Float64 sampleRate;
    UInt32 sliceFrames;  // the largest slice, and the units' maximum frames per slice
    // Channels of every unit's output bus 0, and so of the input of every
    // unit after the first; 0 for as many as the input has.
    UInt32 outputChannels = 0;

    UInt32 channelsOut() const { return outputChannels != 0 ? outputChannels : channels; }
};

class UnitRenderer
{
public:
    // Sets the formats on input and output bus 0 of every unit and the slice
    // size, connects the chain, gives every unit the transport's callbacks
    // (when one is given) and initializes the units, first to last. The
    // units and the transport must outlive the renderer.
    UnitRenderer(const std::vector<AudioUnitInstance*>& chain, const RenderFormat& format,
                 HostTransport* transport = nullptr);
    // Takes the render callback back from the first unit.
    ~UnitRenderer();
    UnitRenderer(const UnitRenderer&) = delete;
    UnitRenderer& operator=(const UnitRenderer&) = delete;

    // Renders `frames` frames of planar input (format.channels pointers) into
    // planar output (format.channelsOut() pointers), in slices of at most
    // sliceFrames; the sample time runs on across calls. Allocates nothing.
    void render(const float* const* input, float* const* output, UInt32 frames);
    Float64 sampleTime() const { return timeStamp.mSampleTime; }

private:
    static OSStatus feedInput(void* refCon, AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp,
                              UInt32 bus, UInt32 frames, AudioBufferList* data);
    OSStatus feed(UInt32 bus, UInt32 frames, AudioBufferList& data);
    void takeBackCallback() noexcept;

    std::vector<AudioUnitInstance*> units;
    RenderFormat format;
    HostTransport* transport;
    AudioTimeStamp timeStamp{};
    std::unique_ptr<std::byte[]> outputListBytes;
    AudioBufferList* outputList;
    // The slice being rendered: where the render callback reads from.
    const float* const* sliceInput = nullptr;
    UInt32 sliceOffset = 0;
    UInt32 sliceFrames = 0;
    // Room for input when the unit leaves the callback's buffers to the host.
    std::vector<std::vector<float>> inputCopies;
};
}  // namespace auhost
