#include "editor/ad_editor.h"

#include "effect/velmora_identity.h"
#include "gui/desktop_scale.h"
#include "gui/frame.h"
#include "vst/plugin_effect_x.h"

#include <array>
#include <cmath>
#include <initializer_list>

namespace
{
// Images 128 to 131 (background, on/off button, knob strip, splash) drawn for
// `scale`; all or, with what was made released, an exception.
std::array<gui::Bitmap*, 4> loadPanelImages(double scale)
{
    std::array<gui::Bitmap*, 4> images{};
    try
    {
        for (std::size_t image = 0; image < images.size(); ++image)
            images[image] = new gui::Bitmap(128 + static_cast<std::int32_t>(image), scale);
    }
    catch (...)
    {
        for (gui::Bitmap* image : images)
            if (image)
                image->release();
        throw;
    }
    return images;
}
}  // namespace

ADEditor::ADEditor(void* effect_) : ToolkitEditor(effect_)
{
    // A constructor that throws runs no destructor: what was made goes here.
    try
    {
        adoptImages(loadPanelImages(1.0));
        idleTimer = new gui::Timer(this, 240);
        idleTimer->setFireTime(kClosedPeriodMs);
        idleTimer->start();
    }
    catch (...)
    {
        releaseImagesAndTimer();
        throw;
    }
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
    std::array<gui::Bitmap*, 4> images{};
    try
    {
        images = loadPanelImages(newScale);
    }
    catch (...)
    {
        return;  // the panel stays at the scale it has
    }
    for (gui::Bitmap* old : {backgroundBitmap, onOffBitmap, knobBitmap, splashBitmap})
        old->release();
    adoptImages(images);
    scale = newScale;
    rect.bottom = static_cast<VstInt16>(std::lround(backgroundBitmap->getHeight() * scale));
    rect.right = static_cast<VstInt16>(std::lround(backgroundBitmap->getWidth() * scale));
}

void ADEditor::adoptImages(const std::array<gui::Bitmap*, 4>& images)
{
    backgroundBitmap = images[0];
    onOffBitmap = images[1];
    knobBitmap = images[2];
    splashBitmap = images[3];
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
    releaseImagesAndTimer();
}

void ADEditor::releaseImagesAndTimer()
{
    const std::initializer_list<gui::RefObject*> owned{backgroundBitmap, onOffBitmap, knobBitmap, splashBitmap,
                                                       idleTimer};
    for (gui::RefObject* object : owned)
        if (object)
            object->release();
}

gui::Rect ADEditor::knobRect(double left, double top) const
{
    return gui::Rect::fromSize(knobBitmap->getWidth(), knobBitmap->getHeight() / kKnobImages).moved(left, top);
}

bool ADEditor::open(void* ptr)
{
    close();  // a second open without close must not leave the first window behind
    ToolkitEditor::open(ptr);
    const double frameScale = getUiScale();
    const double width = backgroundBitmap->getWidth();
    const double height = backgroundBitmap->getHeight();
    auto* newFrame = new gui::Frame(gui::Rect::fromSize(width, height), ptr, this, frameScale);
    newFrame->setBackground(backgroundBitmap);
    setKnobMode(2);

    splashScreen = new gui::SplashArea({71, 71, 166, 150}, this, kSplashTag, splashBitmap,
                                       gui::Rect::fromSize(width, height));
    newFrame->addView(splashScreen);

    const double knobImageHeight = knobBitmap->getHeight() / kKnobImages;
    sizeKnob = new gui::FilmstripKnob(knobRect(110, 30), this, velmora::kSize, kKnobImages, knobImageHeight,
                                      knobBitmap);
    sizeKnob->setValue(parameterValue(velmora::kSize));
    sizeKnob->setDefaultValue(0.0f);
    newFrame->addView(sizeKnob);

    dryWetKnob = new gui::FilmstripKnob(knobRect(40, 30), this, velmora::kDryWet, kKnobImages, knobImageHeight,
                                        knobBitmap);
    dryWetKnob->setValue(parameterValue(velmora::kDryWet));
    dryWetKnob->setDefaultValue(0.0f);
    newFrame->addView(dryWetKnob);

    sizeLabel = new gui::TextLabel({100, 10, 150, 24}, "Size", nullptr, 0);
    newFrame->addView(sizeLabel);
    dryWetLabel = new gui::TextLabel({28, 10, 78, 24}, "Dry/Wet", nullptr, 0);
    newFrame->addView(dryWetLabel);

    const gui::Rect buttonRect = gui::Rect::fromSize(onOffBitmap->getWidth(), onOffBitmap->getHeight() / 2.0)
                                     .moved(8, 81);
    onOffButton = new gui::ToggleButton(buttonRect, this, velmora::kOnOff, onOffBitmap, 0);
    onOffButton->setValue(parameterValue(velmora::kOnOff));
    newFrame->addView(onOffButton);

    frame = newFrame;
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
    if (frame)
    {
        // A drag still under way ends its gesture now, while this editor can
        // still pass it on: an event handler may hold the frame a little longer.
        frame->onMouseCancel();
        frame->release();
        frame = nullptr;
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
