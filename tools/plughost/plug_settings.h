#pragma once
// What velmora-plughost sets on an effect before its command runs: a program
// first, then parameter values in the order given.

#include "tandem/vst_plugin.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// A command line the tool cannot act on; reported in one line, exit code 2.
class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct ParameterSetting
{
    int index;
    float value;  // normalised, 0..1
};

struct PlugSettings
{
    std::optional<int> program;
    std::vector<ParameterSetting> parameters;
};

// Parse option values; throw UsageError naming the option and the text.
int parseProgramOption(const std::string& text);
ParameterSetting parseSetOption(const std::string& text);  // INDEX=VALUE

// Throws UsageError when a program or parameter index is out of the
// effect's range; checked before any command touches a file.
void checkSettings(VSTPlugIn& plugIn, const PlugSettings& settings);
void applySettings(VSTPlugIn& plugIn, const PlugSettings& settings);
