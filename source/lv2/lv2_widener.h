#pragma once
// The widener as an LV2 plug-in instance: the same engine as the VST face,
// fed from the host's ports, with the program bank saved in the host's state.
//
// Threads: construction, activate, save and restore belong to the host's
// main thread; connect and run to its audio thread. Nothing in run allocates,
// locks or logs: the ring is sized on construction and on activate.

#include "effect/program_bank.h"
#include "effect/widening_engine.h"
#include "lv2/lv2_identity.h"
#include "lv2/program_state.h"

#include <lv2/core/lv2.h>

#include <array>
#include <memory>

namespace velmora::lv2
{
class Lv2Widener
{
public:
    // Every feature is optional; without a URID map there is no saved state.
    Lv2Widener(double sampleRate, const LV2_Feature* const* features);

    void connect(std::uint32_t port, void* data) noexcept;
    // A fresh engine, as a newly opened effect has: empty lines, LFO at its
    // start. Keeps the previous engine when there is no memory for one.
    void activate() noexcept;
    void run(std::uint32_t frames) noexcept;

    LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle) const noexcept;
    LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) noexcept;

private:
    static std::unique_ptr<WideningEngine> preparedEngine(float sampleRate);
    // The port's value, or the parameter's default while the host left it unconnected.
    float controlValue(ParameterIndex index) const noexcept;

    const float rate;
    std::unique_ptr<WideningEngine> engine;
    std::array<const float*, kNumParams> controls{};
    std::array<const float*, 2> inputs{};
    std::array<float*, 2> outputs{};
    ProgramBank bank;
    const ProgramState state;
};
}  // namespace velmora::lv2
