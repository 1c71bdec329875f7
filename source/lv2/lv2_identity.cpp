#include "lv2/lv2_identity.h"

namespace velmora::lv2
{
namespace
{
// Program numbers in keys count from 1, as hosts and users count programs.
std::string programPrefix(int program) { return std::string(kPluginUri) + "#program" + std::to_string(program + 1); }
}  // namespace

std::string currentProgramKey() { return std::string(kPluginUri) + "#currentProgram"; }

std::string programNameKey(int program) { return programPrefix(program) + "-name"; }

std::string programValueKey(int program, const ParameterInfo& parameter)
{
    return programPrefix(program) + "-" + parameter.symbol;
}
}  // namespace velmora::lv2
