#pragma once
// The effect's panel: background, Size and Dry/Wet knobs, on/off button, two
// labels and a splash area, redrawn by its own timer (50 ms while open, 150 ms
// while closed) on the run loop of the thread that created it.
//
// setParameter may come from the host's audio thread: it only stores a value
// in a control. Everything else runs on the user-interface thread.

#include "editor/toolkit_editor.h"
#include "gui/bitmap.h"
#include "gui/control_listener.h"
#include "gui/filmstrip_knob.h"
#include "gui/splash_area.h"
#include "gui/timer.h"
#include "gui/toggle_button.h"
#include "gui/value_display.h"

class ADEditor : public ToolkitEditor, public gui::ControlListener, public gui::RefObject
{
public:
    explicit ADEditor(void* effect);
    ~ADEditor() override;

    bool open(void* ptr) override;
    void close() override;
    // Gives the thread's run loop one non-blocking turn (window events, due
    // timers); the panel itself redraws only from its timer.
    void idle() override;
    void setParameter(VstInt32 index, float value) override;

    void valueChanged(gui::Control* control) override;
    int notify(gui::RefObject* sender, gui::Message message) override;
    virtual void MyIdle();

private:
    static constexpr std::int32_t kOpenPeriodMs = 50;
    static constexpr std::int32_t kClosedPeriodMs = 150;
    static constexpr std::int32_t kSplashTag = 5;
    static constexpr std::int32_t kKnobImages = 120;

    gui::Rect knobRect(double left, double top) const;

    gui::Bitmap* backgroundBitmap;
    gui::Bitmap* onOffBitmap;
    gui::Bitmap* knobBitmap;
    gui::Bitmap* splashBitmap;
    gui::Timer* idleTimer;
    bool panelOpen = false;
    gui::FilmstripKnob* sizeKnob = nullptr;
    gui::FilmstripKnob* dryWetKnob = nullptr;
    gui::ToggleButton* onOffButton = nullptr;
    gui::TextLabel* dryWetLabel = nullptr;
    gui::TextLabel* sizeLabel = nullptr;
    gui::SplashArea* splashScreen = nullptr;
};
