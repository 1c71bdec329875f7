#include "vst3/panel_view.h"

#include "vst3/controller_panel.h"
#include "vst3/velmora_controller.h"

#include <cstdint>
#include <cstring>

namespace velmora::vst3face
{
namespace
{
// The panel's turns: its redraw timer runs at 50 ms, X events are read on
// every turn and whenever the connection is readable.
constexpr vst3::Linux::TimerInterval kTurnMilliseconds = 16;

void releasePanel(ControllerPanel* panel)
{
    if (panel)
        panel->release();
}

bool isX11(vst3::FIDString type) { return type && std::strcmp(type, vst3::kPlatformTypeX11EmbedWindowID) == 0; }
}  // namespace

PanelView::PanelView(VelmoraController& owner) : controller(owner), panel(nullptr, releasePanel)
{
    static_cast<vst3::IEditController&>(controller).addRef();
}

PanelView::~PanelView()
{
    removed();
    setFrame(nullptr);
    controller.forgetView(this);
    static_cast<vst3::IEditController&>(controller).release();
}

vst3::tresult PanelView::queryInterface(const vst3::TUID interfaceId, void** object)
{
    if (!object)
        return vst3::kInvalidArgument;
    if (answerAs<vst3::FUnknown, vst3::IPlugView>(this, interfaceId, object) ||
        answerAs<vst3::IPlugView>(this, interfaceId, object) ||
        answerAs<vst3::IPlugViewContentScaleSupport>(this, interfaceId, object) ||
        answerAs<vst3::Linux::IEventHandler>(this, interfaceId, object) ||
        answerAs<vst3::Linux::ITimerHandler>(this, interfaceId, object))
        return vst3::kResultOk;
    return noInterface(object);
}

vst3::tresult PanelView::isPlatformTypeSupported(vst3::FIDString type)
{
    return isX11(type) ? vst3::kResultTrue : vst3::kResultFalse;
}

vst3::tresult PanelView::attached(void* parent, vst3::FIDString type)
{
    if (!parent || !isX11(type) || panel)
        return vst3::kResultFalse;
    parentWindow = static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(parent));
    return openPanel() ? vst3::kResultOk : vst3::kResultFalse;
}

vst3::tresult PanelView::removed()
{
    closePanel();
    parentWindow = 0;
    return vst3::kResultOk;
}

bool PanelView::openPanel()
{
    try
    {
        panel.reset(new ControllerPanel(controller));
        if (contentScale)
            panel->setUiScale(*contentScale);
        const ControllerPanel::Opened opened = panel->openIn(parentWindow);
        if (opened.window == 0)
        {
            panel.reset();
            return false;
        }
        startRunLoop(opened.connection);
        return true;
    }
    catch (...)
    {
        panel.reset();
        return false;
    }
}

void PanelView::closePanel()
{
    stopRunLoop();
    if (panel)
        panel->close();
    panel.reset();
}

void PanelView::startRunLoop(int connection)
{
    if (!plugFrame || plugFrame->queryInterface(vst3::Linux::IRunLoop::iid.data(),
                                                reinterpret_cast<void**>(&runLoop)) != vst3::kResultOk)
        runLoop = nullptr;
    if (!runLoop)
        return;
    runLoop->registerEventHandler(this, connection);
    runLoop->registerTimer(this, kTurnMilliseconds);
}

void PanelView::stopRunLoop()
{
    if (!runLoop)
        return;
    runLoop->unregisterTimer(this);
    runLoop->unregisterEventHandler(this);
    runLoop->release();
    runLoop = nullptr;
}

// Keys and wheel turns reach the panel through its own window; these the host
// sends for its own window go back unused.
vst3::tresult PanelView::onWheel(float) { return vst3::kResultFalse; }
vst3::tresult PanelView::onKeyDown(vst3::char16, vst3::int16, vst3::int16) { return vst3::kResultFalse; }
vst3::tresult PanelView::onKeyUp(vst3::char16, vst3::int16, vst3::int16) { return vst3::kResultFalse; }
vst3::tresult PanelView::onFocus(vst3::TBool) { return vst3::kResultOk; }

vst3::ViewRect PanelView::panelRect()
{
    if (panel)
        return {0, 0, panel->width(), panel->height()};
    if (closedSize)
        return *closedSize;
    // Not open: the size it would open at, from a panel made to be measured.
    try
    {
        const std::unique_ptr<ControllerPanel, void (*)(ControllerPanel*)> sizing(new ControllerPanel(controller),
                                                                                  releasePanel);
        if (contentScale)
            sizing->setUiScale(*contentScale);
        ERect* size = nullptr;
        if (!sizing->getRect(&size) || !size)
            return {};
        closedSize = vst3::ViewRect{0, 0, size->right - size->left, size->bottom - size->top};
        return *closedSize;
    }
    catch (...)
    {
        return {};
    }
}

vst3::tresult PanelView::getSize(vst3::ViewRect* size)
{
    if (!size)
        return vst3::kInvalidArgument;
    *size = panelRect();
    return size->width() > 0 ? vst3::kResultOk : vst3::kResultFalse;
}

// The panel has one size at each scale.
vst3::tresult PanelView::onSize(vst3::ViewRect* newSize) { return newSize ? vst3::kResultOk : vst3::kInvalidArgument; }

vst3::tresult PanelView::canResize() { return vst3::kResultFalse; }

vst3::tresult PanelView::checkSizeConstraint(vst3::ViewRect* rect)
{
    if (!rect)
        return vst3::kInvalidArgument;
    const vst3::ViewRect size = panelRect();
    rect->right = rect->left + size.width();
    rect->bottom = rect->top + size.height();
    return vst3::kResultTrue;
}

vst3::tresult PanelView::setFrame(vst3::IPlugFrame* frame)
{
    holdReference(plugFrame, frame);
    return vst3::kResultOk;
}

// Open, the panel opens again at the new scale and asks the host for its size.
vst3::tresult PanelView::setContentScaleFactor(float factor)
{
    if (!(factor > 0.0f))
        return vst3::kInvalidArgument;
    contentScale = factor;
    closedSize.reset();
    if (!panel)
        return vst3::kResultOk;
    closePanel();
    if (!openPanel())
        return vst3::kResultFalse;
    vst3::ViewRect size = panelRect();
    if (plugFrame)
        plugFrame->resizeView(this, &size);
    return vst3::kResultOk;
}

void PanelView::onFDIsSet(vst3::Linux::FileDescriptor) { onTimer(); }

void PanelView::onTimer()
{
    try
    {
        if (panel)
            panel->idle();
    }
    catch (...)
    {
        // A turn missed; the next one tries again.
    }
}

void PanelView::showValue(vst3::ParamID id, float effectValue)
{
    if (panel)
        panel->setParameter(static_cast<VstInt32>(id), effectValue);
}
}  // namespace velmora::vst3face
