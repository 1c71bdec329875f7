#pragma once
// The eight programs as the LV2 face keeps them. The control ports' values go
// into the current program, as parameter changes do in the VST face; names
// change only through a restored state, since LV2 hosts have no call to
// rename a program.
//
// Threads: the audio thread writes the current program's values while the
// host may save state on another, so values and the program number are
// relaxed atomics; names belong to the host's main thread.

#include "effect/velmora_prg.h"

#include <array>
#include <atomic>

namespace velmora::lv2
{
struct ProgramBank
{
    std::array<VelmoraPrg, kNumPrograms> programs;
    std::atomic<int> current{0};

    VelmoraPrg& currentProgram() { return programs[static_cast<std::size_t>(current.load(std::memory_order_relaxed))]; }
};

// One parameter's value in a program.
std::atomic<float>& programValue(VelmoraPrg& program, ParameterIndex index);
const std::atomic<float>& programValue(const VelmoraPrg& program, ParameterIndex index);
}  // namespace velmora::lv2
