#pragma once
// The host's side of the transport callbacks: playing throughout, at a steady
// tempo in 4/4, and a sample position that the renderer moves on after each slice. The unit calls
// back on the render thread, which is the thread that advances it.

#include <AudioUnit/AudioUnit.h>

namespace auhost
{
class HostTransport
{
public:
    HostTransport(Float64 sampleRate, Float64 tempo);
    HostTransport(const HostTransport&) = delete;
    HostTransport& operator=(const HostTransport&) = delete;

    // For kAudioUnitProperty_HostCallbacks; valid while this object lives.
    HostCallbackInfo callbacks();

    void advance(UInt32 frames) { sampleTime += frames; }
    Float64 currentSample() const { return sampleTime; }
    Float64 currentBeat() const;

private:
    static OSStatus beatAndTempo(void* host, Float64* beat, Float64* tempo);
    static OSStatus musicalTimeLocation(void* host, UInt32* framesToNextBeat, Float32* numerator, UInt32* denominator,
                                        Float64* measureDownBeat);
    static OSStatus transportState(void* host, Boolean* playing, Boolean* changed, Float64* sampleInTimeLine,
                                   Boolean* cycling, Float64* cycleStartBeat, Float64* cycleEndBeat);

    const Float64 sampleRate;
    const Float64 tempo;
    Float64 sampleTime = 0.0;
};
}  // namespace auhost
