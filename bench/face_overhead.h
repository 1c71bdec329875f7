#pragma once
// The Audio Unit face's own cost: the built bundle rendered through its Audio
// Unit face as a host does (render callback in, AudioUnitRender out) against
// its processReplacing with the copies such a host makes, in the same
// process, in alternating rounds.

#include <ostream>

namespace bench
{
// For slices of 64 and 512 frames: `rounds` rounds, each timing a batch of
// slices through one path and then the same through the other, the order
// alternating from round to round; prints per slice size the median of the
// rounds' ratios (Audio Unit face / direct) with its quartiles and the median
// processor time per slice of each path. Both paths run in place of each
// other's idle time, so a change of clock rate or neighbour load weighs on
// both alike.
void reportFaceOverhead(std::ostream& out, int rounds);
}  // namespace bench
