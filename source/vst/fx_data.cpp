#include "vst/fx_data.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace fx
{
namespace
{
// Sizes and counts come from the data: sums are formed in 64 bits so that no
// value can wrap past a check.
bool reaches(Bytes bytes, std::size_t offset, std::int64_t length)
{
    return static_cast<std::int64_t>(offset) + length <= static_cast<std::int64_t>(bytes.size());
}

std::int32_t fieldAt(Bytes bytes, std::size_t offset) { return bigEndianInt32(bytes.data() + offset); }

Header readHeader(Bytes bytes)
{
    return {fieldAt(bytes, 0),  fieldAt(bytes, 4),  fieldAt(bytes, 8),
            fieldAt(bytes, 12), fieldAt(bytes, 16), fieldAt(bytes, 20)};
}

void readName(Bytes bytes, char (&name)[kMaxNameLength + 1])
{
    std::memcpy(name, bytes.data() + kNameOffset, kMaxNameLength);
    name[kMaxNameLength] = '\0';
}

bool isChunkKind(std::int32_t formatMagic)
{
    return formatMagic == kChunkProgramMagic || formatMagic == kChunkBankMagic;
}

float rawValue(Bytes values, std::size_t index)
{
    return std::bit_cast<float>(bigEndianInt32(values.data() + index * kValueSize));
}

// A chunk's size field at `sizeOffset`, the chunk right after it.
Fault readChunk(Bytes bytes, std::size_t sizeOffset, Bytes& chunk)
{
    if (!reaches(bytes, sizeOffset, kValueSize))
    {
        return Fault::endOfFile;
    }
    const std::int32_t chunkSize = fieldAt(bytes, sizeOffset);
    if (chunkSize < 0)
    {
        return Fault::notFxData;
    }
    const std::size_t chunkOffset = sizeOffset + kValueSize;
    if (!reaches(bytes, chunkOffset, chunkSize))
    {
        return Fault::chunkCut;
    }
    chunk = bytes.subspan(chunkOffset, static_cast<std::size_t>(chunkSize));
    return Fault::none;
}

Fault readChunkProgram(Bytes bytes, Program& program)
{
    // The chunk is checked first: a record cut short gives no name.
    if (const Fault fault = readChunk(bytes, kProgramChunkSizeOffset, program.chunk); fault != Fault::none)
    {
        return fault;
    }
    program.header = readHeader(bytes);
    program.parameterCount = fieldAt(bytes, kParameterCountOffset);
    readName(bytes, program.name);
    program.size = kProgramChunkOffset + program.chunk.size();
    return Fault::none;
}

Fault readParameterBank(Bytes bytes, Bank& bank)
{
    if (!reaches(bytes, kBankProgramCountOffset, kValueSize))
    {
        return Fault::endOfFile;
    }
    bank.programCount = fieldAt(bytes, kBankProgramCountOffset);
    if (bank.programCount < 0)
    {
        return Fault::notFxData;
    }
    if (!reaches(bytes, kBankProgramsOffset, 0))
    {
        return Fault::endOfFile;
    }
    bank.programs = bytes.subspan(kBankProgramsOffset);
    return Fault::none;
}

Fault readChunkBank(Bytes bytes, Bank& bank)
{
    if (const Fault fault = readChunk(bytes, kBankChunkSizeOffset, bank.chunk); fault != Fault::none)
    {
        return fault;
    }
    bank.programCount = fieldAt(bytes, kBankProgramCountOffset);
    return Fault::none;
}
}  // namespace

std::int32_t bigEndianInt32(const unsigned char* field)
{
    const std::uint32_t bits = (std::uint32_t{field[0]} << 24) | (std::uint32_t{field[1]} << 16) |
                               (std::uint32_t{field[2]} << 8) | std::uint32_t{field[3]};
    return static_cast<std::int32_t>(bits);
}

float Program::value(std::size_t index) const
{
    const float raw = rawValue(values, index);
    if (std::isnan(raw) || raw < 0.0f)
    {
        return 0.0f;
    }
    return std::min(raw, 1.0f);
}

Fault readParameterProgram(Bytes bytes, const Receiver& receiver, Program& program)
{
    if (!reaches(bytes, kParameterCountOffset, kValueSize))
    {
        return Fault::endOfFile;
    }
    program.header = readHeader(bytes);
    program.parameterCount = fieldAt(bytes, kParameterCountOffset);
    if (program.header.chunkMagic != kChunkMagic || program.header.formatVersion != kFormatVersion ||
        program.parameterCount < 0)
    {
        return Fault::notFxData;
    }
    if (program.header.effectId != receiver.effectId)
    {
        return Fault::otherEffect;
    }
    // Everything the receiver takes must be present before it takes any of
    // it, so that a cut record changes nothing.
    const auto valuesTaken = static_cast<std::size_t>(
        std::max(0, std::min(program.parameterCount, receiver.parameterCount)));
    if (!reaches(bytes, kProgramValuesOffset, static_cast<std::int64_t>(valuesTaken * kValueSize)))
    {
        return Fault::endOfFile;
    }
    readName(bytes, program.name);
    program.values = bytes.subspan(kProgramValuesOffset, valuesTaken * kValueSize);
    program.exact = program.parameterCount == receiver.parameterCount;
    for (std::size_t index = 0; index < valuesTaken; ++index)
    {
        const float raw = rawValue(program.values, index);
        program.exact = program.exact && raw >= 0.0f && raw <= 1.0f;
    }
    const std::int64_t recordSize = std::int64_t{kProgramValuesOffset} +
                                    std::int64_t{program.parameterCount} * std::int64_t{kValueSize};
    program.size = static_cast<std::size_t>(std::min<std::int64_t>(recordSize, std::ssize(bytes)));
    return Fault::none;
}

Fault read(Bytes bytes, const Receiver& receiver, Data& data)
{
    // The effect version is not examined, but a header without it is cut short.
    if (!reaches(bytes, 0, kHeaderSize))
    {
        return Fault::endOfFile;
    }
    data.header = readHeader(bytes);
    const Header& header = data.header;
    if (header.chunkMagic != kChunkMagic || header.byteSize < 0)
    {
        return Fault::notFxData;
    }
    if (!reaches(bytes, kByteSizeExcluded, header.byteSize))
    {
        return Fault::shorterThanDeclared;
    }
    if (header.formatVersion != 1 && header.formatVersion != 2)
    {
        return Fault::notFxData;
    }
    if (header.effectId != receiver.effectId)
    {
        return Fault::otherEffect;
    }
    if (isChunkKind(header.formatMagic) && !receiver.takesChunks)
    {
        return Fault::chunkNotTaken;
    }
    switch (header.formatMagic)
    {
    case kParameterProgramMagic: return readParameterProgram(bytes, receiver, data.program);
    case kChunkProgramMagic: return readChunkProgram(bytes, data.program);
    case kParameterBankMagic: return readParameterBank(bytes, data.bank);
    case kChunkBankMagic: return readChunkBank(bytes, data.bank);
    default: return Fault::unknownKind;
    }
}
}  // namespace fx
