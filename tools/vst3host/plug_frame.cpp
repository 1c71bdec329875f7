#include "vst3host/plug_frame.h"

namespace vst3host
{
vst3::tresult PlugFrame::queryInterface(const vst3::TUID interfaceId, void** object)
{
    if (object && vst3::Linux::IRunLoop::iid.is(interfaceId))
        return loop->queryInterface(interfaceId, object);
    return HostObject::queryInterface(interfaceId, object);
}

vst3::tresult PlugFrame::resizeView(vst3::IPlugView* view, vst3::ViewRect* newSize)
{
    if (!view || !newSize)
        return vst3::kInvalidArgument;
    // A view that asks again while being told its size gets its answer from
    // the call in progress.
    if (resizing)
        return vst3::kResultFalse;
    const vst3::tresult recorded = withoutThrowing([&] {
        requested.push_back(*newSize);
        return vst3::kResultOk;
    });
    if (recorded != vst3::kResultOk)
        return recorded;
    resizing = true;
    view->onSize(newSize);
    resizing = false;
    return vst3::kResultOk;
}
}  // namespace vst3host
