#pragma once
// Layout of FXP program and FXB bank data: big-endian 32-bit fields, offsets
// from the start of a record; floats are stored as their bit patterns.

#include "vst/aeffect.h"

#include <cstddef>

namespace fx
{
inline constexpr VstInt32 kChunkMagic = fourCharCode("CcnK");
inline constexpr VstInt32 kParameterProgramMagic = fourCharCode("FxCk");
inline constexpr VstInt32 kChunkProgramMagic = fourCharCode("FPCh");
inline constexpr VstInt32 kParameterBankMagic = fourCharCode("FxBk");
inline constexpr VstInt32 kChunkBankMagic = fourCharCode("FBCh");
inline constexpr VstInt32 kFormatVersion = 1;

// Fields before the byte size field: it counts everything after them.
inline constexpr std::size_t kByteSizeExcluded = 8;
inline constexpr std::size_t kHeaderSize = 24;
// Programs: parameter count, then the name field.
inline constexpr std::size_t kParameterCountOffset = 24;
inline constexpr std::size_t kNameOffset = 28;
inline constexpr std::size_t kNameFieldSize = 28;
inline constexpr std::size_t kMaxNameLength = 24;
// Parameter program record: values follow the name field.
inline constexpr std::size_t kProgramValuesOffset = 56;
// Chunk program record: chunk size, then the chunk.
inline constexpr std::size_t kProgramChunkSizeOffset = 56;
inline constexpr std::size_t kProgramChunkOffset = 60;
// Banks: program count, 128 reserved bytes, then programs or chunk.
inline constexpr std::size_t kBankProgramCountOffset = 24;
inline constexpr std::size_t kBankReservedSize = 128;
inline constexpr std::size_t kBankProgramsOffset = 156;
inline constexpr std::size_t kBankChunkSizeOffset = 156;
inline constexpr std::size_t kBankChunkOffset = 160;
inline constexpr std::size_t kValueSize = 4;
}  // namespace fx
