#pragma once
// Two paths that do the same work, timed in the same process in alternating
// rounds: each round times a batch of slices through one path and then the
// same through the other, the order alternating from round to round, so that
// a change of clock rate or neighbour load weighs on both alike.

#include <functional>
#include <memory>
#include <ostream>

namespace bench
{
class TimedPath
{
public:
    virtual ~TimedPath() = default;
    // One slice of `frames` from the host's source to its destination.
    virtual void slice(unsigned frames) = 0;
};

struct PathPair
{
    std::unique_ptr<TimedPath> measured;
    std::unique_ptr<TimedPath> reference;
};

// Makes a fresh pair for slices of at most `frames`; throws
// std::runtime_error when a path cannot be set up.
using PairMaker = std::function<PathPair(unsigned frames)>;

// For slices of 64 and 512 frames, `rounds` rounds over pairs made by
// makePair; prints per slice size one line: `label`, the median of the
// rounds' ratios (measured / reference) with its quartiles, and the median
// processor time per slice of each path.
void reportRatios(std::ostream& out, const char* label, const PairMaker& makePair, int rounds);
}  // namespace bench
