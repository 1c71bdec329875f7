#pragma once
// Rendering a whole signal through one unit as a host does: the unit pulls
// its input from a render callback, the host pulls the output in slices with
// a running sample time.

#include "auhost/audio_unit_instance.h"

#include <vector>

namespace auval
{
using PlanarAudio = std::vector<std::vector<float>>;  // one vector per channel

// Tones and noise, different on every channel, the same on every call.
PlanarAudio testSignal(UInt32 channels, UInt32 frames, Float64 sampleRate);

struct SliceSetup
{
    Float64 sampleRate;
    UInt32 maximumFrames;     // the unit's maximum frames per slice
    UInt32 sliceFrames;       // what each render call asks for, at most maximumFrames
    UInt32 settleFrames = 0;  // rendered first in slices of kSettleSlice, whatever sliceFrames is
};

inline constexpr UInt32 kSettleSlice = 512;

// Sets the format (the input's channel count on both buses) and slice size,
// initializes, renders the input from sample time 0 and uninitializes.
// A failing call throws AUHostError.
PlanarAudio renderSliced(auhost::AudioUnitInstance& unit, const PlanarAudio& input, const SliceSetup& setup);

// What is wrong with the sound a unit made for a signal: "" when it is all
// finite numbers and not all silence, else where the first non-number is or
// that it is silent.
std::string soundProblem(const PlanarAudio& audio);
}  // namespace auval
