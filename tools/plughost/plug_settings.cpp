#include "plughost/plug_settings.h"

#include "common/command_line.h"

#include <string>

namespace
{
void checkRange(int index, int count, const char* what, const std::string& option)
{
    if (index >= 0 && index < count)
    {
        return;
    }
    const std::string range = count > 0 ? std::string(what) + "s 0.." + std::to_string(count - 1)
                                        : "no " + std::string(what) + "s";
    throw tools::UsageError(what + (" " + std::to_string(index)) + " in " + option +
                            " is out of range: the plug-in has " + range);
}
}  // namespace

void checkSettings(VSTPlugIn& plugIn, const PlugSettings& settings)
{
    if (settings.program)
    {
        checkRange(*settings.program, plugIn.getProgramCount(), "program", "--program");
    }
    for (const tools::ParameterSetting& setting : settings.parameters)
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
    for (const tools::ParameterSetting& setting : settings.parameters)
    {
        plugIn.setParameter(setting.index, setting.value);
    }
}
