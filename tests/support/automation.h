#pragma once
// A host's automation of the three controls: values that change at given
// frames, rendered in host blocks that split where a change falls.

#include "support/signals.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace testsupport
{
struct ControlValues
{
    bool on = true;
    float size = 0.5f;
    float dryWet = 0.5f;
};

// From `frame` on, the controls hold `values`.
struct ControlChange
{
    std::size_t frame;
    ControlValues values;
};

// `count` changes `every` frames from `start` on, moving one control in even
// steps from `first` to `last` while the others keep `base`'s values.
enum class Control
{
    size,
    dryWet
};
std::vector<ControlChange> sweep(Control control, ControlValues base, float first, float last, std::size_t start,
                                 std::size_t every, int count);

// Runs input through process in blocks of blockFrames, split at each change,
// which apply hands to the path before the frame it names.
using ApplyValues = std::function<void(const ControlValues& values)>;
StereoBuffer renderWithChanges(const StereoBuffer& input, int blockFrames, const std::vector<ControlChange>& changes,
                               const BlockProcess& process, const ApplyValues& apply);
}  // namespace testsupport
