#pragma once
// Saving and restoring the program bank through the host's state interface:
// the current program, and per program its name (atom:String) and values
// (atom:Float), each under a key of its own, portable and plain.
//
// Threads: the host's main thread. Save may overlap the audio thread's run.

#include "effect/program_bank.h"

#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

namespace velmora::lv2
{
class ProgramState
{
public:
    // Maps every key once (may allocate). Without a map, which hosts need not
    // offer, save and restore answer LV2_STATE_ERR_NO_FEATURE.
    explicit ProgramState(const LV2_URID_Map* map);

    LV2_State_Status save(const ProgramBank& bank, LV2_State_Store_Function store,
                          LV2_State_Handle handle) const noexcept;
    // Takes what the state holds; a key missing or of another type leaves
    // that part of the bank as it is.
    LV2_State_Status restore(ProgramBank& bank, LV2_State_Retrieve_Function retrieve,
                             LV2_State_Handle handle) const noexcept;

private:
    bool mapped = false;
    LV2_URID atomString = 0;
    LV2_URID atomFloat = 0;
    LV2_URID atomInt = 0;
    LV2_URID currentKey = 0;
    std::array<LV2_URID, kNumPrograms> nameKeys{};
    std::array<std::array<LV2_URID, kNumParams>, kNumPrograms> valueKeys{};
};
}  // namespace velmora::lv2
