#include "vst3host/parameter_changes.h"

#include <algorithm>

namespace vst3host
{
vst3::tresult ParamValueQueue::getPoint(vst3::int32 index, vst3::int32& sampleOffset, vst3::ParamValue& value)
{
    if (index < 0 || index >= getPointCount())
        return vst3::kInvalidArgument;
    std::tie(sampleOffset, value) = points[static_cast<std::size_t>(index)];
    return vst3::kResultOk;
}

vst3::tresult ParamValueQueue::addPoint(vst3::int32 sampleOffset, vst3::ParamValue value, vst3::int32& index)
{
    const auto at = std::lower_bound(points.begin(), points.end(), sampleOffset,
                                     [](const auto& point, vst3::int32 offset) { return point.first < offset; });
    index = static_cast<vst3::int32>(at - points.begin());
    if (at != points.end() && at->first == sampleOffset)
    {
        at->second = value;
        return vst3::kResultOk;
    }
    return withoutThrowing([&] {
        points.insert(at, {sampleOffset, value});
        return vst3::kResultOk;
    });
}

void ParamValueQueue::restart(vst3::ParamID newId)
{
    id = newId;
    points.clear();
}

vst3::IParamValueQueue* ParameterChanges::getParameterData(vst3::int32 index)
{
    return index >= 0 && index < used ? queues[static_cast<std::size_t>(index)].get() : nullptr;
}

vst3::IParamValueQueue* ParameterChanges::addParameterData(const vst3::ParamID& id, vst3::int32& index)
{
    for (index = 0; index < used; ++index)
        if (queues[static_cast<std::size_t>(index)]->getParameterId() == id)
            return queues[static_cast<std::size_t>(index)].get();
    const auto grow = [this, id] {
        queues.push_back(makeHostObject<ParamValueQueue>(id));
        return vst3::kResultOk;
    };
    if (static_cast<std::size_t>(used) == queues.size() && withoutThrowing(grow) != vst3::kResultOk)
        return nullptr;
    queues[static_cast<std::size_t>(used)]->restart(id);
    index = used++;
    return queues[static_cast<std::size_t>(index)].get();
}

void ParameterChanges::add(vst3::ParamID id, vst3::int32 sampleOffset, vst3::ParamValue value)
{
    vst3::int32 index = 0;
    addParameterData(id, index)->addPoint(sampleOffset, value, index);
}

int ParameterChanges::queuesStillHeld() const
{
    return static_cast<int>(std::count_if(
        queues.begin(), queues.end(), [](const Ref<ParamValueQueue>& queue) { return queue->referenceCount() > 1; }));
}
}  // namespace vst3host
