#include "auhost/host_transport.h"

#include <cmath>

namespace auhost
{
namespace
{
constexpr Float64 kBeatsPerBar = 4.0;
}

HostTransport::HostTransport(Float64 rate, Float64 beatsPerMinute) : sampleRate(rate), tempo(beatsPerMinute) {}

HostCallbackInfo HostTransport::callbacks() { return {this, beatAndTempo, musicalTimeLocation, transportState}; }

Float64 HostTransport::currentBeat() const { return sampleTime / sampleRate * tempo / 60.0; }

OSStatus HostTransport::beatAndTempo(void* host, Float64* beat, Float64* tempo)
{
    const auto& transport = *static_cast<HostTransport*>(host);
    if (beat)
        *beat = transport.currentBeat();
    if (tempo)
        *tempo = transport.tempo;
    return noErr;
}

OSStatus HostTransport::musicalTimeLocation(void* host, UInt32* framesToNextBeat, Float32* numerator,
                                            UInt32* denominator, Float64* measureDownBeat)
{
    const auto& transport = *static_cast<HostTransport*>(host);
    const Float64 beat = transport.currentBeat();
    if (framesToNextBeat)
    {
        const Float64 framesPerBeat = transport.sampleRate * 60.0 / transport.tempo;
        *framesToNextBeat = static_cast<UInt32>(std::ceil((std::floor(beat) + 1.0 - beat) * framesPerBeat));
    }
    if (numerator)
        *numerator = static_cast<Float32>(kBeatsPerBar);
    if (denominator)
        *denominator = 4;
    if (measureDownBeat)
        *measureDownBeat = std::floor(beat / kBeatsPerBar) * kBeatsPerBar;
    return noErr;
}

OSStatus HostTransport::transportState(void* host, Boolean* playing, Boolean* changed, Float64* sampleInTimeLine,
                                       Boolean* cycling, Float64* cycleStartBeat, Float64* cycleEndBeat)
{
    const auto& transport = *static_cast<HostTransport*>(host);
    if (playing)
        *playing = true;
    if (changed)
        *changed = false;
    if (sampleInTimeLine)
        *sampleInTimeLine = transport.sampleTime;
    if (cycling)
        *cycling = false;
    if (cycleStartBeat)
        *cycleStartBeat = 0.0;
    if (cycleEndBeat)
        *cycleEndBeat = 0.0;
    return noErr;
}
}  // namespace auhost
