#include "lv2/lv2_panel.h"

#include "gui/frame.h"
#include "gui/x11_frame_view.h"

#include <cmath>
#include <cstdint>

namespace velmora::lv2
{
namespace
{
constexpr std::uint32_t kFloatProtocol = 0;  // a control port's plain float

bool isControl(std::int64_t index) { return index >= 0 && index < kNumParams; }

// The pixels in host units, with room for a rounding error of the division.
int inUnits(int pixels, double pixelsPerUnit) { return static_cast<int>(std::ceil(pixels / pixelsPerUnit - 1e-6)); }
}  // namespace

Lv2Panel::Lv2Panel(LV2UI_Write_Function writeFunction, LV2UI_Controller hostController, const LV2UI_Touch* hostTouch)
    : ADEditor(nullptr), write(writeFunction), controller(hostController), touch(hostTouch)
{
    for (const ParameterInfo& parameter : kParameters)
        portValues[static_cast<std::size_t>(parameter.index)] = parameter.defaultValue;
}

unsigned long Lv2Panel::openIn(unsigned long parent)
{
    open(reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent)));
    auto* view = frame ? dynamic_cast<gui::X11FrameView*>(frame->getPlatformFrame()) : nullptr;
    if (!view)
        return 0;
    if (hostUnit)
        view->fillParent(width(), height());
    return view->getWindow();
}

int Lv2Panel::width() const { return inUnits(rect.right - rect.left, hostUnit.value_or(1.0)); }

int Lv2Panel::height() const { return inUnits(rect.bottom - rect.top, hostUnit.value_or(1.0)); }

void Lv2Panel::portChanged(std::uint32_t port, float value)
{
    if (!isControl(port))
        return;
    portValues[port] = value;
    setParameter(static_cast<VstInt32>(port), value);
}

float Lv2Panel::parameterValue(VstInt32 index) const
{
    return isControl(index) ? portValues[static_cast<std::size_t>(index)] : 0.0f;
}

void Lv2Panel::editParameter(VstInt32 index, float value)
{
    if (!isControl(index))
        return;
    portValues[static_cast<std::size_t>(index)] = value;
    write(controller, static_cast<std::uint32_t>(index), sizeof value, kFloatProtocol, &value);
}

void Lv2Panel::beginEdit(std::int32_t index)
{
    if (touch && isControl(index))
        touch->touch(touch->handle, static_cast<std::uint32_t>(index), true);
}

void Lv2Panel::endEdit(std::int32_t index)
{
    if (touch && isControl(index))
        touch->touch(touch->handle, static_cast<std::uint32_t>(index), false);
}
}  // namespace velmora::lv2
