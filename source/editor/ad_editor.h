#pragma once
// The effect's panel: background, Size and Dry/Wet knobs, on/off button, two
// labels and a splash area, redrawn by its own timer (50 ms while open, 150 ms
// while closed) on the run loop of the thread that created it.
//
// setParameter may come from the host's audio thread. On the thread that
// opened the panel it sets the control at once; from any other thread it only
// leaves the value in a lock-free mailbox that the next timer expiry hands to
// the control, so a panel closing meanwhile never has its controls written
// after they are gone. Everything else runs on the user-interface thread.
//
// The panel is laid out in panel units (180 x 160) and drawn at a scale of 1,
// 1.5 or 2 from images drawn for that scale: the desktop's (gui::desktopScale),
// chosen at the first getRect or open, unless setUiScale chose first. The
// host sees the scaled size; the controls work in panel units at every scale.

#include <array>
#include <atomic>
#include <thread>

#include "editor/toolkit_editor.h"
#include "gui/bitmap.h"
#include "gui/control_listener.h"
#include "gui/filmstrip_knob.h"
#include "gui/timer.h"
#include "gui/toggle_button.h"

class ADEditor : public ToolkitEditor, public gui::ControlListener, public gui::RefObject
{
public:
    explicit ADEditor(void* effect);
    ~ADEditor() override;

    bool getRect(ERect** rect) override;
    bool open(void* ptr) override;
    void close() override;
    // Gives the thread's run loop one non-blocking turn (window events, due
    // timers); the panel itself redraws only from its timer.
    void idle() override;
    void setParameter(VstInt32 index, float value) override;

    void valueChanged(gui::Control* control) override;
    int notify(gui::RefObject* sender, gui::Message message) override;
    virtual void MyIdle();

    // Draws at `requested` rounded to the art's scales (gui::roundToArtScale)
    // instead of the desktop's; takes effect at the next open.
    void setUiScale(double requested);

private:
    static constexpr std::int32_t kOpenPeriodMs = 50;
    static constexpr std::int32_t kClosedPeriodMs = 150;
    static constexpr std::int32_t kSplashTag = 5;
    static constexpr std::int32_t kKnobImages = 120;

    // The scale chosen so far, else the desktop's, which is asked only once.
    double getUiScale();
    // Loads the images drawn for `newScale` and sizes `rect` for it; when they
    // cannot be made the panel keeps the scale it has.
    void useScale(double newScale);
    void adoptImages(std::array<gui::Ref<gui::Bitmap>, 4> images);
    // A knob of the strip's images at (left, 30), showing the parameter.
    gui::Ref<gui::FilmstripKnob> makeKnob(double left, VstInt32 index);
    void showOnControl(VstInt32 index, float value);
    void showPendingValues();

    gui::Ref<gui::Bitmap> backgroundBitmap;
    gui::Ref<gui::Bitmap> onOffBitmap;
    gui::Ref<gui::Bitmap> knobBitmap;
    gui::Ref<gui::Bitmap> splashBitmap;
    gui::Ref<gui::Timer> idleTimer;
    double scale = 1.0;  // pixels per panel unit
    bool scaleChosen = false;
    std::atomic<bool> panelOpen = false;
    std::atomic<std::thread::id> panelThread;  // the thread that opened the panel
    std::array<std::atomic<float>, 3> pendingValues{};
    std::atomic<unsigned> pendingMask = 0;  // bit n: pendingValues[n] waits for the control
    // The controls the panel sets while it is open, held beside the frame's
    // references; empty while it is closed.
    gui::Ref<gui::FilmstripKnob> sizeKnob;
    gui::Ref<gui::FilmstripKnob> dryWetKnob;
    gui::Ref<gui::ToggleButton> onOffButton;
};
