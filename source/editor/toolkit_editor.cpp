#include "editor/toolkit_editor.h"

#include <Carbon/Carbon.h>

#include <algorithm>

#include "editor/key_translation.h"
#include "editor/plugin_bundle.h"
#include "gui/draw_context.h"
#include "gui/frame.h"
#include "vst/plugin_effect_x.h"

std::int32_t ToolkitEditor::knobMode = 0;

bool idleDeadlinePending(std::uint32_t now, std::uint32_t deadline)
{
    return now < deadline && deadline - now <= kIdleInterval + kIdlePause;
}

ToolkitEditor::ToolkitEditor(void* effect_) : EffectEditor(static_cast<PluginEffect*>(effect_))
{
    if (effect)
        effect->setEditor(this);
    lLastTicks = getTicks();
    acquireSharedPluginBundle();
}

ToolkitEditor::~ToolkitEditor() { releaseSharedPluginBundle(); }

PluginEffectX* ToolkitEditor::effectX() const { return dynamic_cast<PluginEffectX*>(effect); }

bool ToolkitEditor::getRect(ERect** rectPointer)
{
    *rectPointer = &rect;
    return true;
}

void ToolkitEditor::idle()
{
    if (!inIdleStuff && frame)
        frame->idle();
}

void ToolkitEditor::draw(ERect* area)
{
    if (!frame)
        return;
    gui::Rect updateRect = frame->getViewSize();
    if (area)
    {
        // The host gives window pixels.
        const double scale = frame->getScale();
        updateRect = gui::Rect{area->left / scale, area->top / scale, area->right / scale, area->bottom / scale}
                         .normalized();
    }
    if (gui::DrawContext* context = frame->createDrawContext())
    {
        frame->drawRect(*context, updateRect);
        context->release();
    }
}

bool ToolkitEditor::onKeyDown(VstKeyCode& keyCode) { return frame && frame->onKeyDown(keyEventFromVst(keyCode)) > 0; }

bool ToolkitEditor::onKeyUp(VstKeyCode& keyCode) { return frame && frame->onKeyUp(keyEventFromVst(keyCode)) > 0; }

bool ToolkitEditor::onWheel(float distance)
{
    if (!frame)
        return false;
    return frame->onWheel(frame->getCurrentMouseLocation(), distance, frame->getCurrentMouseButtons());
}

bool ToolkitEditor::setKnobMode(VstInt32 mode)
{
    knobMode = mode;
    return true;
}

void ToolkitEditor::setParameter(VstInt32, float) {}

float ToolkitEditor::parameterValue(VstInt32 index) const { return effect ? effect->getParameter(index) : 0.0f; }

void ToolkitEditor::editParameter(VstInt32 index, float value)
{
    if (effect)
        effect->setParameterAutomated(index, value);
}

void ToolkitEditor::doIdleStuff()
{
    std::uint32_t now = getTicks();
    if (idleDeadlinePending(now, lLastTicks))
    {
        wait(kIdlePause);
        now += kIdlePause;
        if (now + 50 < lLastTicks)
            return;
    }
    idle();
    lLastTicks = now + kIdleInterval;
    inIdleStuff = true;
    if (effect)
        effect->masterIdle();
    inIdleStuff = false;
}

std::int32_t ToolkitEditor::getKnobMode() const { return knobMode; }

bool ToolkitEditor::beforeSizeChange(const gui::Rect& newSize, const gui::Rect&)
{
    PluginEffectX* host = effectX();
    char sizeWindow[] = "sizeWindow";
    if (host && host->canHostDo(sizeWindow) != 0)
        host->sizeWindow(static_cast<VstInt32>(newSize.right - newSize.left),
                         static_cast<VstInt32>(newSize.bottom - newSize.top));
    return true;
}

void ToolkitEditor::beginEdit(std::int32_t index)
{
    if (PluginEffectX* host = effectX())
        host->beginEdit(index);
}

void ToolkitEditor::endEdit(std::int32_t index)
{
    if (PluginEffectX* host = effectX())
        host->endEdit(index);
}

std::uint32_t ToolkitEditor::getTicks() { return static_cast<std::uint32_t>(TickCount() * 1000u) / 60u; }

void ToolkitEditor::wait(std::uint32_t milliseconds) { RunCurrentEventLoop(milliseconds * 0.001); }
