#pragma once
// The host's frame around a plug-in's view: it answers for the run loop the
// editor registers with (queryInterface for Linux::IRunLoop gives it) and
// takes the view's requests to resize, which it records and grants as a
// host does, by telling the view its new size (onSize). Interface thread only.

#include "vst3host/run_loop.h"

#include "vst3/abi/view.h"

#include <vector>

namespace vst3host
{
class PlugFrame : public HostObject<vst3::IPlugFrame>
{
public:
    explicit PlugFrame(Ref<RunLoop> loop) : loop(std::move(loop)) {}

    vst3::tresult queryInterface(const vst3::TUID interfaceId, void** object) override;
    vst3::tresult resizeView(vst3::IPlugView* view, vst3::ViewRect* newSize) override;

    const std::vector<vst3::ViewRect>& resizes() const { return requested; }
    RunLoop& runLoop() const { return *loop; }

private:
    Ref<RunLoop> loop;
    std::vector<vst3::ViewRect> requested;
    bool resizing = false;
};
}  // namespace vst3host
