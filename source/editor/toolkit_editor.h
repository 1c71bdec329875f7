#pragma once
// An editor built on the view toolkit: answers the host's editor opcodes with
// the frame, and passes the toolkit's edit gestures and idle requests back to
// the effect. All calls on the host's user-interface thread.

#include <cstdint>

#include "gui/editor_interface.h"
#include "vst/effect_editor.h"

class PluginEffectX;

class ToolkitEditor : public EffectEditor, public gui::EditorInterface
{
public:
    // `effect` is the owning PluginEffectX; the constructor attaches the editor to it.
    explicit ToolkitEditor(void* effect);
    ~ToolkitEditor() override;

    bool getRect(ERect** rect) override;
    void idle() override;
    void draw(ERect* rect) override;
    bool onKeyDown(VstKeyCode& keyCode) override;
    bool onKeyUp(VstKeyCode& keyCode) override;
    bool onWheel(float distance) override;
    bool setKnobMode(VstInt32 mode) override;

    // A parameter changed in the effect; the panel shows it.
    virtual void setParameter(VstInt32 index, float value);
    // Where the panel reads a parameter and sends the user's edits: the
    // effect by default. An editor shown by a host of another plug-in
    // standard, which has no effect object, answers both itself.
    virtual float parameterValue(VstInt32 index) const;
    virtual void editParameter(VstInt32 index, float value);

    void doIdleStuff() override;
    std::int32_t getKnobMode() const override;
    bool beforeSizeChange(const gui::Rect& newSize, const gui::Rect& oldSize) override;
    void beginEdit(std::int32_t index) override;
    void endEdit(std::int32_t index) override;

    // Milliseconds from TickCount: ticks x 1000 / 60 in 32-bit arithmetic, so
    // it wraps back to 0 after about 19.9 hours of up-time.
    static std::uint32_t getTicks();
    static void wait(std::uint32_t milliseconds);

protected:
    PluginEffectX* effectX() const;

    ERect rect{};
    std::uint32_t lLastTicks;  // next time doIdleStuff idles the host, from getTicks
    bool inIdleStuff = false;

    static std::int32_t knobMode;  // shared by all editors of the process
};

// Whether doIdleStuff must still wait for `deadline`. A deadline is set
// kIdleInterval past a clock reading, plus kIdlePause when the host was idled
// after the pause; the clock moves in sixtieths of a second, so the next
// reading may not have caught up with the pause. A deadline further ahead than
// both is left over from before getTicks wrapped and counts as reached.
inline constexpr std::uint32_t kIdleInterval = 100;
inline constexpr std::uint32_t kIdlePause = 4;
bool idleDeadlinePending(std::uint32_t now, std::uint32_t deadline);
