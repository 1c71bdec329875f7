#include "render/vst_preset.h"

#include "tandem/fx_fields.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace render
{
namespace
{
class Malformed : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

using Bytes = std::vector<unsigned char>;

std::int32_t bigInt(const Bytes& data, std::size_t offset)
{
    if (offset + 4 > data.size())
        throw Malformed("it ends early");
    return static_cast<std::int32_t>(std::uint32_t{data[offset]} << 24 | std::uint32_t{data[offset + 1]} << 16 |
                                     std::uint32_t{data[offset + 2]} << 8 | std::uint32_t{data[offset + 3]});
}

std::int32_t nonNegative(const Bytes& data, std::size_t offset)
{
    const std::int32_t value = bigInt(data, offset);
    if (value < 0)
        throw Malformed("it gives a negative size");
    return value;
}

std::string codeText(std::int32_t code)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        const char character = static_cast<char>(static_cast<std::uint32_t>(code) >> shift & 0xff);
        text += character >= ' ' && character <= '~' ? character : '?';
    }
    return text;
}

void checkRecordHeader(const AEffect& effect, const Bytes& data, std::size_t offset)
{
    const std::int32_t version = bigInt(data, offset + 12);
    if (bigInt(data, offset) != fx::kChunkMagic || (version != 1 && version != 2))
        throw Malformed("it is no FXP/FXB data");
    if (const std::int32_t id = bigInt(data, offset + 16); id != effect.uniqueID)
        throw Malformed("it belongs to the effect '" + codeText(id) + "', not to '" + codeText(effect.uniqueID) + "'");
}

void setProgramName(vsthost::LoadedEffect& effect, const Bytes& data, std::size_t recordStart)
{
    char name[fx::kMaxNameLength + 1] = {};
    std::memcpy(name, data.data() + recordStart + fx::kNameOffset, fx::kMaxNameLength);
    effect.dispatch(effSetProgramName, 0, 0, name);
}

// One parameter record into the current program: values the effect lacks are
// dropped, values the record lacks are 0, values outside 0..1 are clamped.
// Returns the offset past the record.
std::size_t loadParameterProgram(vsthost::LoadedEffect& effect, const Bytes& data, std::size_t start)
{
    const AEffect& record = *effect.effect();
    checkRecordHeader(record, data, start);
    if (bigInt(data, start + 8) != fx::kParameterProgramMagic)
        throw Malformed("a program in it is no parameter program");
    const std::int32_t count = nonNegative(data, start + fx::kHeaderSize);
    const std::size_t valuesStart = start + fx::kProgramValuesOffset;
    const std::size_t used = static_cast<std::size_t>(std::min(count, record.numParams));
    if (valuesStart + used * fx::kValueSize > data.size())
        throw Malformed("it ends early");
    setProgramName(effect, data, start);
    effect.dispatch(effBeginSetProgram);
    for (VstInt32 index = 0; index < record.numParams; ++index)
    {
        float value = 0.0f;
        if (index < count)
            value = std::bit_cast<float>(bigInt(data, valuesStart + static_cast<std::size_t>(index) * fx::kValueSize));
        effect.setParameter(index, std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f));
    }
    effect.dispatch(effEndSetProgram);
    return valuesStart + static_cast<std::size_t>(count) * fx::kValueSize;
}

void loadChunk(vsthost::LoadedEffect& effect, const Bytes& data, bool isProgram)
{
    if (!(effect.effect()->flags & effFlagsProgramChunks))
        throw Malformed("it holds a chunk, and the effect takes none");
    const std::size_t sizeOffset = isProgram ? fx::kProgramChunkSizeOffset : fx::kBankChunkSizeOffset;
    const std::size_t chunkOffset = isProgram ? fx::kProgramChunkOffset : fx::kBankChunkOffset;
    const std::int32_t size = nonNegative(data, sizeOffset);
    if (chunkOffset + static_cast<std::size_t>(size) > data.size())
        throw Malformed("it ends early");
    if (isProgram)
        setProgramName(effect, data, 0);
    // The effect only reads the chunk.
    void* chunk = const_cast<unsigned char*>(data.data() + chunkOffset);
    if (effect.dispatch(effSetChunk, isProgram ? 1 : 0, size, chunk) == 0)
        throw Malformed("the effect refused its chunk");
}

void loadParameterBank(vsthost::LoadedEffect& effect, const Bytes& data)
{
    const std::int32_t count = nonNegative(data, fx::kBankProgramCountOffset);
    const VstIntPtr current = effect.dispatch(effGetProgram);
    std::size_t record = fx::kBankProgramsOffset;
    for (VstInt32 program = 0; program < std::min(count, effect.effect()->numPrograms); ++program)
    {
        effect.dispatch(effSetProgram, 0, program);
        record = loadParameterProgram(effect, data, record);
    }
    effect.dispatch(effSetProgram, 0, current);
}
}  // namespace

bool loadVstPreset(vsthost::LoadedEffect& effect, const std::vector<unsigned char>& data, std::string& error)
{
    try
    {
        checkRecordHeader(*effect.effect(), data, 0);
        if (static_cast<std::size_t>(nonNegative(data, 4)) + fx::kByteSizeExcluded > data.size())
            throw Malformed("it ends early");
        switch (bigInt(data, 8))
        {
        case fx::kParameterProgramMagic: loadParameterProgram(effect, data, 0); break;
        case fx::kChunkProgramMagic: loadChunk(effect, data, true); break;
        case fx::kParameterBankMagic: loadParameterBank(effect, data); break;
        case fx::kChunkBankMagic: loadChunk(effect, data, false); break;
        default: throw Malformed("it is neither a program nor a bank");
        }
        return true;
    }
    catch (const Malformed& failure)
    {
        error = failure.what();
        return false;
    }
}
}  // namespace render
