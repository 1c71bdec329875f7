#pragma once
// A control listener and an editor interface that write down what reaches
// them, in order, as short lines ("changed 1 0.5", "begin 1").

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
        return modifierAnswer;
    }

    std::vector<std::string> events;
    std::int32_t modifierAnswer = 0;
};

class RecordingEditor : public gui::EditorInterface
{
public:
    void beginEdit(std::int32_t index) override { events.push_back("begin " + std::to_string(index)); }
    void endEdit(std::int32_t index) override { events.push_back("end " + std::to_string(index)); }

    std::vector<std::string> events;
};
}  // namespace guitest
