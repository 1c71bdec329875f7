#pragma once
// The effect's panel as an LV2 UI: the VST face's panel unchanged, reading
// and writing the control ports through the host instead of an effect object.
// Its frame is a child window of the host's parent window; the host idles it.
//
// Threads: everything on the host's UI thread.

#include "editor/ad_editor.h"
#include "lv2/lv2_identity.h"

#include <lv2/ui/ui.h>

#include <array>

namespace velmora::lv2
{
class Lv2Panel final : public ADEditor
{
public:
    // touch may be null: the host then hears no gestures.
    Lv2Panel(LV2UI_Write_Function write, LV2UI_Controller controller, const LV2UI_Touch* touch);

    // The panel's X11 window, or 0 when it could not open in `parent`.
    unsigned long openIn(unsigned long parent);
    int width() const { return rect.right - rect.left; }
    int height() const { return rect.bottom - rect.top; }
    // The host moved a control port.
    void portChanged(std::uint32_t port, float value);

    float parameterValue(VstInt32 index) const override;
    void editParameter(VstInt32 index, float value) override;
    void beginEdit(std::int32_t index) override;
    void endEdit(std::int32_t index) override;

private:
    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    const LV2UI_Touch* touch;
    std::array<float, kNumParams> portValues{};  // as last written or heard
};
}  // namespace velmora::lv2
