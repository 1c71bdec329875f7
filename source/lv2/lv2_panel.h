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
#include <optional>

namespace velmora::lv2
{
class Lv2Panel final : public ADEditor
{
public:
    // touch may be null: the host then hears no gestures.
    Lv2Panel(LV2UI_Write_Function write, LV2UI_Controller controller, const LV2UI_Touch* touch);

    // The panel's X11 window, or 0 when it could not open in `parent`. With
    // a host unit set, the window is sized in that unit and then fills its
    // parent (gui::X11FrameView::fillParent).
    unsigned long openIn(unsigned long parent);
    // Before openIn: the host sizes its UIs in units of `pixelsPerUnit`
    // pixels (its toolkit's scale, gui::toolkitUnit) rather than in pixels.
    void setHostUnit(double pixelsPerUnit) { hostUnit = pixelsPerUnit; }
    // The size for ui:resize, in the host's units; the panel's pixels
    // rounded up, so nothing of it is cut off.
    int width() const;
    int height() const;
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
    std::optional<double> hostUnit;              // pixels per host unit, none for pixels
};
}  // namespace velmora::lv2
