#include "support/automation.h"

#include <algorithm>

namespace testsupport
{
std::vector<ControlChange> sweep(Control control, ControlValues base, float first, float last, std::size_t start,
                                 std::size_t every, int count)
{
    std::vector<ControlChange> changes;
    for (int step = 0; step < count; ++step)
    {
        ControlValues values = base;
        const float value = first + (last - first) * static_cast<float>(step) / static_cast<float>(count - 1);
        (control == Control::size ? values.size : values.dryWet) = value;
        changes.push_back({start + static_cast<std::size_t>(step) * every, values});
    }
    return changes;
}

StereoBuffer renderWithChanges(const StereoBuffer& input, int blockFrames, const std::vector<ControlChange>& changes,
                               const BlockProcess& process, const ApplyValues& apply)
{
    StereoBuffer source(input);
    StereoBuffer output(input.frames());
    auto next = changes.begin();
    for (std::size_t done = 0; done < input.frames();)
    {
        for (; next != changes.end() && next->frame <= done; ++next)
            apply(next->values);
        std::size_t end = std::min(input.frames(), done + static_cast<std::size_t>(blockFrames));
        if (next != changes.end())
            end = std::min(end, next->frame);
        process(source.channels(done), output.channels(done), static_cast<int>(end - done));
        done = end;
    }
    return output;
}
}  // namespace testsupport
