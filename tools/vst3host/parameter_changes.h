#pragma once
// The host's parameter changes for one block: a queue of points per changed
// parameter, each point a normalized value at a sample offset. Reused from
// block to block: clear() keeps the queues and their room, so that a steady
// run allocates nothing. Used by the audio thread only.

#include "vst3host/host_object.h"

#include "vst3/abi/processing.h"

#include <utility>
#include <vector>

namespace vst3host
{
class ParamValueQueue : public HostObject<vst3::IParamValueQueue>
{
public:
    explicit ParamValueQueue(vst3::ParamID id) : id(id) {}

    vst3::ParamID getParameterId() override { return id; }
    vst3::int32 getPointCount() override { return static_cast<vst3::int32>(points.size()); }
    vst3::tresult getPoint(vst3::int32 index, vst3::int32& sampleOffset, vst3::ParamValue& value) override;
    // Keeps the points in offset order; a point at an offset that has one
    // replaces it.
    vst3::tresult addPoint(vst3::int32 sampleOffset, vst3::ParamValue value, vst3::int32& index) override;

    void restart(vst3::ParamID newId);

private:
    vst3::ParamID id;
    std::vector<std::pair<vst3::int32, vst3::ParamValue>> points;
};

class ParameterChanges : public HostObject<vst3::IParameterChanges>
{
public:
    vst3::int32 getParameterCount() override { return used; }
    vst3::IParamValueQueue* getParameterData(vst3::int32 index) override;
    // The queue of id, added when the block has none yet.
    vst3::IParamValueQueue* addParameterData(const vst3::ParamID& id, vst3::int32& index) override;

    void add(vst3::ParamID id, vst3::int32 sampleOffset, vst3::ParamValue value);
    void clear() { used = 0; }

    // Queues the plug-in holds beyond the list's own reference.
    int queuesStillHeld() const;

private:
    std::vector<Ref<ParamValueQueue>> queues;
    vst3::int32 used = 0;
};
}  // namespace vst3host
