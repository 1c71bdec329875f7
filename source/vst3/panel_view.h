#pragma once
// The controller's editor view: the panel as an X11 child of the host's
// window. The host's run loop drives it: the panel's X connection is
// registered there, and a timer gives the panel its turns (window events, its
// redraw timer); no thread of its own. A host's content scale picks the
// panel's scale (1, 1.5 or 2); without one the desktop's applies.
//
// Threads: the host's interface thread.

#include "vst3/abi/processing.h"
#include "vst3/abi/view.h"
#include "vst3/com_object.h"

#include <memory>
#include <optional>

namespace velmora::vst3face
{
class ControllerPanel;
class VelmoraController;

class PanelView final : public ComObject<vst3::IPlugView, vst3::IPlugViewContentScaleSupport,
                                         vst3::Linux::IEventHandler, vst3::Linux::ITimerHandler>
{
public:
    // Holds a reference to the controller while the view lives.
    explicit PanelView(VelmoraController& controller);

    vst3::tresult queryInterface(const vst3::TUID interfaceId, void** object) override;

    vst3::tresult isPlatformTypeSupported(vst3::FIDString type) override;
    vst3::tresult attached(void* parent, vst3::FIDString type) override;
    vst3::tresult removed() override;
    vst3::tresult onWheel(float distance) override;
    vst3::tresult onKeyDown(vst3::char16 key, vst3::int16 keyCode, vst3::int16 modifiers) override;
    vst3::tresult onKeyUp(vst3::char16 key, vst3::int16 keyCode, vst3::int16 modifiers) override;
    vst3::tresult getSize(vst3::ViewRect* size) override;
    vst3::tresult onSize(vst3::ViewRect* newSize) override;
    vst3::tresult onFocus(vst3::TBool state) override;
    vst3::tresult setFrame(vst3::IPlugFrame* frame) override;
    vst3::tresult canResize() override;
    vst3::tresult checkSizeConstraint(vst3::ViewRect* rect) override;

    vst3::tresult setContentScaleFactor(float factor) override;

    void onFDIsSet(vst3::Linux::FileDescriptor fd) override;
    void onTimer() override;

    // The host set a value: the panel shows it.
    void showValue(vst3::ParamID id, float effectValue);

private:
    ~PanelView() override;

    // The panel at the scale asked for, opened in the parent; false when it
    // cannot open there.
    bool openPanel();
    void closePanel();
    void startRunLoop(int connection);
    void stopRunLoop();
    vst3::ViewRect panelRect();

    VelmoraController& controller;
    std::unique_ptr<ControllerPanel, void (*)(ControllerPanel*)> panel;
    unsigned long parentWindow = 0;
    std::optional<float> contentScale;
    std::optional<vst3::ViewRect> closedSize;  // what the panel would open at, once asked
    vst3::IPlugFrame* plugFrame = nullptr;
    vst3::Linux::IRunLoop* runLoop = nullptr;  // while attached, when the frame offers one
};
}  // namespace velmora::vst3face
