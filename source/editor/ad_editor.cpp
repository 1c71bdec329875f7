#include "editor/ad_editor.h"

#include "effect/velmora_identity.h"
#include "effect/velmora_parameters.h"
#include "gui/desktop_scale.h"
#include "gui/frame.h"
#include "gui/splash_area.h"
#include "gui/value_display.h"
#include "vst/plugin_effect_x.h"

#include <array>
#include <cmath>

namespace
{
// Images 128 to 131 (background, on/off button, knob strip, splash) drawn for
// `scale`; all, or an exception.
std::array<gui::Ref<gui::Bitmap>, 4> loadPanelImages(double scale)
{
    std::array<gui::Ref<gui::Bitmap>, 4> images;
    for (std::size_t image = 0; image < images.size(); ++image)
        images[image] = gui::makeRef<gui::Bitmap>(128 + static_cast<std::int32_t>(image), scale);
    return images;
}
}  // namespace

ADEditor::ADEditor(void* effect_) : ToolkitEditor(effect_)
{
    adoptImages(loadPanelImages(1.0));
    idleTimer = gui::makeRef<gui::Timer>(this, 240);
    idleTimer->setFireTime(kClosedPeriodMs);
    idleTimer->start();
    rect.top = 0;
    rect.left = 0;
    rect.bottom = static_cast<VstInt16>(backgroundBitmap->getHeight());
    rect.right = static_cast<VstInt16>(backgroundBitmap->getWidth());
}

void ADEditor::setUiScale(double requested) { useScale(gui::roundToArtScale(requested)); }

double ADEditor::getUiScale()
{
    if (!scaleChosen)
        useScale(gui::desktopScale());
    return scale;
}

void ADEditor::useScale(double newScale)
{
    scaleChosen = true;
    if (newScale == scale)
        return;
    std::array<gui::Ref<gui::Bitmap>, 4> images;
    try
    {
        images = loadPanelImages(newScale);
    }
    catch (...)
    {
        return;  // the panel stays at the scale it has
    }
    adoptImages(std::move(images));
    scale = newScale;
    rect.bottom = static_cast<VstInt16>(std::lround(backgroundBitmap->getHeight() * scale));
    rect.right = static_cast<VstInt16>(std::lround(backgroundBitmap->getWidth() * scale));
}

void ADEditor::adoptImages(std::array<gui::Ref<gui::Bitmap>, 4> images)
{
    backgroundBitmap = std::move(images[0]);
    onOffBitmap = std::move(images[1]);
    knobBitmap = std::move(images[2]);
    splashBitmap = std::move(images[3]);
}

bool ADEditor::getRect(ERect** rectPointer)
{
    getUiScale();
    return ToolkitEditor::getRect(rectPointer);
}

ADEditor::~ADEditor()
{
    // A host that destroys the effect with the editor still open would
    // otherwise leave a window whose events reach a deleted editor.
    close();
}

gui::Ref<gui::FilmstripKnob> ADEditor::makeKnob(double left, VstInt32 index)
{
    const double imageHeight = knobBitmap->getHeight() / kKnobImages;
    auto knob = gui::makeRef<gui::FilmstripKnob>(
        gui::Rect::fromSize(knobBitmap->getWidth(), imageHeight).moved(left, 30), this, index, kKnobImages, imageHeight,
        knobBitmap.get());
    knob->setValue(parameterValue(index));
    knob->setDefaultValue(velmora::kParameters[static_cast<std::size_t>(index)].defaultValue);
    return knob;
}

bool ADEditor::open(void* ptr)
{
    close();  // a second open without close must not leave the first window behind
    ToolkitEditor::open(ptr);
    const double frameScale = getUiScale();
    const gui::Rect panel = gui::Rect::fromSize(backgroundBitmap->getWidth(), backgroundBitmap->getHeight());
    // Nothing is kept until the whole panel stands: an open that fails
    // part-way releases what it made with the handles.
    auto newFrame = gui::makeRef<gui::Frame>(panel, ptr, this, frameScale);
    newFrame->setBackground(backgroundBitmap.get());
    setKnobMode(2);

    newFrame->addView(
        gui::makeRef<gui::SplashArea>(gui::Rect{71, 71, 166, 150}, this, kSplashTag, splashBitmap.get(), panel));
    auto newSizeKnob = makeKnob(110, velmora::kSize);
    newFrame->addView(newSizeKnob);
    auto newDryWetKnob = makeKnob(40, velmora::kDryWet);
    newFrame->addView(newDryWetKnob);
    newFrame->addView(
        gui::makeRef<gui::TextLabel>(gui::Rect{100, 10, 150, 24}, velmora::kParameters[velmora::kSize].name));
    newFrame->addView(
        gui::makeRef<gui::TextLabel>(gui::Rect{28, 10, 78, 24}, velmora::kParameters[velmora::kDryWet].name));

    const gui::Rect buttonRect = gui::Rect::fromSize(onOffBitmap->getWidth(), onOffBitmap->getHeight() / 2.0)
                                     .moved(8, 81);
    auto newOnOffButton = gui::makeRef<gui::ToggleButton>(buttonRect, this, velmora::kOnOff, onOffBitmap.get(), 0);
    newOnOffButton->setValue(parameterValue(velmora::kOnOff));
    newFrame->addView(newOnOffButton);

    frame = std::move(newFrame);
    sizeKnob = std::move(newSizeKnob);
    dryWetKnob = std::move(newDryWetKnob);
    onOffButton = std::move(newOnOffButton);
    panelThread.store(std::this_thread::get_id(), std::memory_order_relaxed);
    pendingMask.store(0, std::memory_order_relaxed);  // the controls start from the effect's values
    panelOpen.store(true, std::memory_order_release);
    idleTimer->setFireTime(kOpenPeriodMs);
    return true;
}

void ADEditor::close()
{
    idleTimer->setFireTime(kClosedPeriodMs);
    panelOpen.store(false, std::memory_order_release);
    sizeKnob.reset();
    dryWetKnob.reset();
    onOffButton.reset();
    if (frame)
    {
        // A drag still under way ends its gesture now, while this editor can
        // still pass it on: an event handler may hold the frame a little longer.
        frame->onMouseCancel();
        frame.reset();
    }
}

void ADEditor::idle()
{
    if (inIdleStuff)
        return;
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.0, true);
    if (frame && frame->getPlatformFrame())
        frame->getPlatformFrame()->processPendingEvents();
}

void ADEditor::setParameter(VstInt32 index, float value)
{
    if (!panelOpen.load(std::memory_order_acquire) || index < velmora::kOnOff || index > velmora::kDryWet)
        return;
    if (std::this_thread::get_id() == panelThread.load(std::memory_order_relaxed))
    {
        // A value still waiting from another thread is older than this one.
        pendingMask.fetch_and(~(1u << index), std::memory_order_acquire);
        showOnControl(index, value);
        return;
    }
    pendingValues[static_cast<std::size_t>(index)].store(value, std::memory_order_relaxed);
    pendingMask.fetch_or(1u << index, std::memory_order_release);
}

void ADEditor::showOnControl(VstInt32 index, float value)
{
    switch (index)
    {
    case velmora::kOnOff: onOffButton->setValue(value != 0.0f ? 1.0f : 0.0f); break;
    case velmora::kSize: sizeKnob->setValue(value); break;
    case velmora::kDryWet: dryWetKnob->setValue(value); break;
    default: break;
    }
}

void ADEditor::showPendingValues()
{
    const unsigned mask = pendingMask.exchange(0, std::memory_order_acquire);
    for (VstInt32 index = velmora::kOnOff; index <= velmora::kDryWet; ++index)
        if (mask & (1u << index))
            showOnControl(index, pendingValues[static_cast<std::size_t>(index)].load(std::memory_order_relaxed));
}

void ADEditor::valueChanged(gui::Control* control)
{
    if (!panelOpen.load(std::memory_order_relaxed))
        return;
    const auto tag = static_cast<std::uint32_t>(control->getTag());
    if (tag <= static_cast<std::uint32_t>(velmora::kDryWet))
        editParameter(static_cast<VstInt32>(tag), control->getValue());
}

int ADEditor::notify(gui::RefObject*, gui::Message message)
{
    if (message != gui::kMsgTimer)
        return 0;
    MyIdle();
    return 1;
}

void ADEditor::MyIdle()
{
    if (panelOpen.load(std::memory_order_relaxed))
        showPendingValues();
    ToolkitEditor::idle();
}
