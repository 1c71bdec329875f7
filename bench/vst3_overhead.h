#pragma once
// The VST3 face's own cost: Velmora.vst3 driven as a VST3 host drives it
// (a process call with its buses, an empty list of parameter changes and a
// context) against the VST 2 face's processReplacing, each from the host's
// source buffers straight into its destination, in the same process, in
// alternating rounds.

#include <ostream>

namespace bench
{
// For blocks of 64 and 512 frames, as reportRatios reports.
void reportVst3Overhead(std::ostream& out, int rounds);
}  // namespace bench
