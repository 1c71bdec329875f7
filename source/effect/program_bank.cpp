#include "effect/program_bank.h"

namespace velmora
{
namespace
{
template <typename Program>
auto& valueOf(Program& program, ParameterIndex index)
{
    switch (index)
    {
    case kOnOff: return program.onOff;
    case kSize: return program.size;
    case kDryWet: break;
    }
    return program.dryWet;
}
}  // namespace

std::atomic<float>& programValue(VelmoraPrg& program, ParameterIndex index) { return valueOf(program, index); }

const std::atomic<float>& programValue(const VelmoraPrg& program, ParameterIndex index)
{
    return valueOf(program, index);
}
}  // namespace velmora
