#include "lv2/lv2_identity.h"

#include <cctype>

namespace velmora::lv2
{
namespace
{
// Program numbers in keys count from 1, as hosts and users count programs.
std::string programPrefix(int program) { return std::string(kPluginUri) + "#program" + std::to_string(program + 1); }
}  // namespace

std::string portSymbol(const ParameterInfo& parameter)
{
    std::string symbol = parameter.name;
    for (char& character : symbol)
    {
        const auto byte = static_cast<unsigned char>(character);
        character = std::isalnum(byte) ? static_cast<char>(std::tolower(byte)) : '_';
    }
    return symbol;
}

std::string currentProgramKey() { return std::string(kPluginUri) + "#currentProgram"; }

std::string programNameKey(int program) { return programPrefix(program) + "-name"; }

std::string programValueKey(int program, const ParameterInfo& parameter)
{
    return programPrefix(program) + "-" + portSymbol(parameter);
}
}  // namespace velmora::lv2
