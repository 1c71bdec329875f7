#pragma once
// The built-in demo: a short, deterministic piece whose instruments all sit in
// the centre (the hi-hat only slightly off it), so that any width in the
// rendered result is the effect's.

#include <vector>

namespace render
{
inline constexpr int kDemoSampleRate = 44100;

// Interleaved stereo frames at kDemoSampleRate, peaking at -6 dBFS so that the
// widened result keeps headroom.
std::vector<float> synthesizeDemo();
}  // namespace render
