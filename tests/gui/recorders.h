#pragma once
// Listener and editor that write down what reaches them ("changed 1 0.5", "begin 1").

#include <cstdio>
#include <string>
#include <vector>

#include "gui/control.h"
#include "gui/editor_interface.h"

namespace guitest
{
class RecordingListener : public gui::ControlListener
{
public:
    void valueChanged(gui::Control* control) override
    {
        char line[64];
        std::snprintf(line, sizeof line, "changed %d %.4g", control->getTag(), control->getValue());
        events.push_back(line);
    }
    std::int32_t controlModifierClicked(gui::Control* control, gui::ButtonState) override
    {
        events.push_back("modifier " + std::to_string(control->getTag()));
        return 0;
    }

    std::vector<std::string> events;
};

class RecordingEditor : public gui::EditorInterface
{
public:
    void beginEdit(std::int32_t index) override { events.push_back("begin " + std::to_string(index)); }
    void endEdit(std::int32_t index) override { events.push_back("end " + std::to_string(index)); }

    std::vector<std::string> events;
};
}  // namespace guitest
