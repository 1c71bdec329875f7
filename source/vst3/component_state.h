#pragma once
// The VST3 component's saved state: every program's three values and name,
// the current program and the host's bypass, in one little-endian record of
// this tree's own.
//
//   offset  size    field
//   0       4       the characters "VlmS"
//   4       4       uint32 version, 1
//   8       4       int32 current program, 0..7
//   12      4       float bypass, 0 or 1
//   16      8 x 36  per program: float on/off (0 or 1), float Size, float
//                   Dry/Wet, 24 bytes of name (terminated, zeros after it)
//
// 304 bytes in all. A later layout gets a new version; a reader refuses a
// version it does not know rather than guess at it.

#include "effect/program_bank.h"
#include "vst3/abi/base.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace velmora::vst3face
{
struct ComponentState
{
    struct Program
    {
        float onOff = 1.0f;
        float size = 0.5f;
        float dryWet = 0.5f;
        char name[ProgramName::kBytes] = {};
    };
    std::int32_t currentProgram = 0;
    float bypass = 0.0f;
    std::array<Program, kNumPrograms> programs{};
};

inline constexpr std::size_t kComponentStateBytes = 16 + kNumPrograms * (3 * 4 + ProgramName::kBytes);
using ComponentStateBytes = std::array<unsigned char, kComponentStateBytes>;

ComponentStateBytes encodeComponentState(const ComponentState& state) noexcept;
// False, with state untouched, for bytes cut short, of another version, or
// holding what no writer writes (a program out of range, an on/off or bypass
// other than 0 or 1, a value that is not finite, a name without terminator or
// with bytes after it).
bool decodeComponentState(const unsigned char* bytes, std::size_t size, ComponentState& state) noexcept;

// The bank as a state, and a state into the bank (values, names, current program).
ComponentState stateOfBank(const ProgramBank& bank, float bypass) noexcept;
void loadBank(const ComponentState& state, ProgramBank& bank) noexcept;

// The component tells its controller its state in a message of this id, the
// record in the binary attribute of this name.
inline constexpr char kStateMessageId[] = "velmora.component-state";
inline constexpr char kStateAttribute[] = "state";

// The record from a host's stream: exactly its size is read; false when the
// stream ends before, fails, or holds no valid record.
bool readComponentState(vst3::IBStream* stream, ComponentState& state) noexcept;
bool writeComponentState(vst3::IBStream* stream, const ComponentState& state) noexcept;
}  // namespace velmora::vst3face
