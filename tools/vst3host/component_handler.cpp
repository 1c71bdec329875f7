#include "vst3host/component_handler.h"

namespace vst3host
{
vst3::tresult ComponentHandler::restartComponent(vst3::int32 flags)
{
    return withoutThrowing([&] {
        const std::lock_guard lock(mutex);
        recordedRestarts.push_back(flags);
        return vst3::kResultOk;
    });
}

vst3::tresult ComponentHandler::record(const Edit& edit)
{
    return withoutThrowing([&] {
        const std::lock_guard lock(mutex);
        recordedEdits.push_back(edit);
        return vst3::kResultOk;
    });
}

std::vector<Edit> ComponentHandler::edits() const
{
    const std::lock_guard lock(mutex);
    return recordedEdits;
}

std::vector<vst3::int32> ComponentHandler::restarts() const
{
    const std::lock_guard lock(mutex);
    return recordedRestarts;
}

void ComponentHandler::clear()
{
    const std::lock_guard lock(mutex);
    recordedEdits.clear();
    recordedRestarts.clear();
}
}  // namespace vst3host
