#include "plughost/plug_settings.h"

#include <charconv>
#include <cmath>

namespace
{
// The whole text must be the number: no blanks, no sign, no trailing text.
template <typename Number>
bool parseWhole(const std::string& text, Number& number)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    return !text.empty() && error == std::errc() && stop == end;
}

void checkRange(int index, int count, const char* what, const std::string& option)
{
    if (index >= 0 && index < count)
    {
        return;
    }
    const std::string range = count > 0 ? std::string(what) + "s 0.." + std::to_string(count - 1)
                                        : "no " + std::string(what) + "s";
    throw UsageError(what + (" " + std::to_string(index)) + " in " + option + " is out of range: the plug-in has " +
                     range);
}
}  // namespace

int parseProgramOption(const std::string& text)
{
    int program = 0;
    if (!parseWhole(text, program))
    {
        throw UsageError("invalid value '" + text + "' for --program: expected a whole number");
    }
    return program;
}

ParameterSetting parseSetOption(const std::string& text)
{
    const auto equals = text.find('=');
    if (equals == std::string::npos)
    {
        throw UsageError("malformed --set '" + text + "': expected INDEX=VALUE");
    }
    const std::string indexText = text.substr(0, equals);
    const std::string valueText = text.substr(equals + 1);
    ParameterSetting setting{};
    if (!parseWhole(indexText, setting.index))
    {
        throw UsageError("invalid parameter index '" + indexText + "' in --set '" + text + "'");
    }
    double value = 0.0;
    if (!parseWhole(valueText, value) || !std::isfinite(value) || value < 0.0 || value > 1.0)
    {
        throw UsageError("invalid value '" + valueText + "' in --set '" + text + "': expected a number from 0 to 1");
    }
    setting.value = static_cast<float>(value);
    return setting;
}

void checkSettings(VSTPlugIn& plugIn, const PlugSettings& settings)
{
    if (settings.program)
    {
        checkRange(*settings.program, plugIn.getProgramCount(), "program", "--program");
    }
    for (const ParameterSetting& setting : settings.parameters)
    {
        checkRange(setting.index, plugIn.getParameterCount(), "parameter", "--set");
    }
}

void applySettings(VSTPlugIn& plugIn, const PlugSettings& settings)
{
    if (settings.program)
    {
        plugIn.setCurrentProgram(*settings.program);
    }
    for (const ParameterSetting& setting : settings.parameters)
    {
        plugIn.setParameter(setting.index, setting.value);
    }
}
