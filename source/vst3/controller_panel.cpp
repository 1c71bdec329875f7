#include "vst3/controller_panel.h"

#include "gui/frame.h"
#include "gui/x11_frame_view.h"
#include "vst3/velmora_controller.h"

#include <cstdint>

namespace velmora::vst3face
{
ControllerPanel::ControllerPanel(VelmoraController& owner) : ADEditor(nullptr), controller(owner) {}

ControllerPanel::Opened ControllerPanel::openIn(unsigned long parent)
{
    open(reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent)));
    const auto* view = frame ? dynamic_cast<gui::X11FrameView*>(frame->getPlatformFrame()) : nullptr;
    if (!view)
        return {0, -1};
    return {view->getWindow(), view->getConnectionDescriptor()};
}

float ControllerPanel::parameterValue(VstInt32 index) const
{
    return controller.effectValue(static_cast<vst3::ParamID>(index));
}

void ControllerPanel::editParameter(VstInt32 index, float value)
{
    controller.editFromPanel(static_cast<vst3::ParamID>(index), value);
}

void ControllerPanel::beginEdit(std::int32_t index)
{
    controller.gestureFromPanel(static_cast<vst3::ParamID>(index), true);
}

void ControllerPanel::endEdit(std::int32_t index)
{
    controller.gestureFromPanel(static_cast<vst3::ParamID>(index), false);
}
}  // namespace velmora::vst3face
