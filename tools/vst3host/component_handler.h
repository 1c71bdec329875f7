#pragma once
// The host's handler for the controller's edits (a knob drag on the panel
// arrives as beginEdit, performEdit ..., endEdit) and its restart requests,
// recorded in order. The plug-in may call from its interface thread while a
// test reads the record from another.

#include "vst3host/host_object.h"

#include "vst3/abi/editing.h"

#include <mutex>
#include <vector>

namespace vst3host
{
struct Edit
{
    enum class Kind
    {
        begin,
        perform,
        end,
    };
    Kind kind;
    vst3::ParamID id;
    vst3::ParamValue value;  // performEdit's; 0 for the others

    bool operator==(const Edit&) const = default;
};

class ComponentHandler : public HostObject<vst3::IComponentHandler>
{
public:
    vst3::tresult beginEdit(vst3::ParamID id) override { return record({Edit::Kind::begin, id, 0.0}); }
    vst3::tresult performEdit(vst3::ParamID id, vst3::ParamValue value) override
    {
        return record({Edit::Kind::perform, id, value});
    }
    vst3::tresult endEdit(vst3::ParamID id) override { return record({Edit::Kind::end, id, 0.0}); }
    vst3::tresult restartComponent(vst3::int32 flags) override;

    std::vector<Edit> edits() const;
    std::vector<vst3::int32> restarts() const;  // the flags of each request
    void clear();

private:
    vst3::tresult record(const Edit& edit);

    mutable std::mutex mutex;
    std::vector<Edit> recordedEdits;
    std::vector<vst3::int32> recordedRestarts;
};
}  // namespace vst3host
