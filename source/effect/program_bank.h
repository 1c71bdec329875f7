#pragma once
// The eight programs as the LV2 and VST3 faces keep them: a parameter change
// goes into the current program, as in the VST 2 face. Names change only
// through a restored state, since neither kind of host has a call to rename
// a program.
//
// Threads: the audio thread writes the current program's values while the
// host may save state on another, so values and the program number are
// relaxed atomics; names belong to the host's main thread.

#include "effect/velmora_prg.h"

#include <array>
#include <atomic>

namespace velmora
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
}  // namespace velmora
