#pragma once
// One program: the three parameter values and a name of at most 23 characters.
//
// Threads: a parameter change writes the values of the current program, and
// hosts play automation on the audio thread while the user picks programs on
// the interface thread, so the values are relaxed atomics. The name is renamed
// on the interface thread and read on any.

#include "effect/program_name.h"
#include "effect/velmora_parameters.h"

#include <atomic>

struct VelmoraPrg
{
    static constexpr char kInitialName[] = "Init";

    std::atomic<float> onOff{velmora::kParameters[velmora::kOnOff].defaultValue};
    std::atomic<float> size{velmora::kParameters[velmora::kSize].defaultValue};
    std::atomic<float> dryWet{velmora::kParameters[velmora::kDryWet].defaultValue};
    ProgramName name{kInitialName};
};
