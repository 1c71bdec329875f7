#pragma once
// What velmora-plughost sets on an effect before its command runs: a program
// first, then parameter values in the order given.

#include "common/parameter_setting.h"
#include "tandem/vst_plugin.h"

#include <optional>
#include <vector>

struct PlugSettings
{
    std::optional<int> program;
    std::vector<tools::ParameterSetting> parameters;  // normalised values
};

// Throws tools::UsageError when a program or parameter index is out of the
// effect's range; checked before any command touches a file.
void checkSettings(VSTPlugIn& plugIn, const PlugSettings& settings);
void applySettings(VSTPlugIn& plugIn, const PlugSettings& settings);
