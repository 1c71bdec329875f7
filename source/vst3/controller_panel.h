#pragma once
// The effect's panel shown by the VST3 controller: the VST 2 face's panel
// unchanged, reading the controller's values and sending the user's edits to
// the host as gestures and edits. What the host sets reaches it through
// setParameter, as in the other faces.
//
// Threads: the host's interface thread.

#include "editor/ad_editor.h"

namespace velmora::vst3face
{
class VelmoraController;

class ControllerPanel final : public ADEditor
{
public:
    explicit ControllerPanel(VelmoraController& controller);

    struct Opened
    {
        unsigned long window;  // 0: the panel could not open
        int connection;        // the X connection's descriptor
    };
    Opened openIn(unsigned long parent);
    int width() const { return rect.right - rect.left; }
    int height() const { return rect.bottom - rect.top; }

    float parameterValue(VstInt32 index) const override;
    void editParameter(VstInt32 index, float value) override;
    void beginEdit(std::int32_t index) override;
    void endEdit(std::int32_t index) override;

private:
    VelmoraController& controller;
};
}  // namespace velmora::vst3face
