// Loading FXP program and FXB bank data into the effect.

#include "tandem/fx_fields.h"
#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_trace.h"
#include "tandem/vst_plugin.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace
{
// The field at `offset`, or EOFException when the data is shorter.
const unsigned char* fieldAt(const unsigned char* bytes, const unsigned char* end, std::size_t offset)
{
    if (static_cast<std::size_t>(end - bytes) < offset)
    {
        throw EOFException(fx::kEndOfFile);
    }
    return bytes + offset;
}

// The six fields every record starts with.
struct RecordHeader
{
    int chunkMagic = 0;
    int byteSize = 0;
    int formatMagic = 0;
    int formatVersion = 0;
    int effectId = 0;
    int effectVersion = 0;
};

const unsigned char* readHeader(const unsigned char* p, const unsigned char* end, RecordHeader& header)
{
    for (int* field : {&header.chunkMagic, &header.byteSize, &header.formatMagic, &header.formatVersion,
                       &header.effectId, &header.effectVersion})
    {
        p = VSTPlugIn::readBigInt32(p, end, field);
    }
    return p;
}

void readProgramName(const unsigned char* nameField, char (&name)[fx::kMaxNameLength + 1])
{
    std::memcpy(name, nameField, fx::kMaxNameLength);
    name[fx::kMaxNameLength] = '\0';
}

// Sizes and counts come from the data: negative ones are malformed, and sums
// are formed in 64 bits so that no value can wrap past a check.
int readNonNegative(const unsigned char* field, const unsigned char* end)
{
    int value = 0;
    VSTPlugIn::readBigInt32(field, end, &value);
    if (value < 0)
    {
        throw FormatException(fx::kInvalidFormat);
    }
    return value;
}

bool extendsBeyond(std::size_t offset, std::int64_t length, const unsigned char* bytes, const unsigned char* end)
{
    return static_cast<std::int64_t>(offset) + length > static_cast<std::int64_t>(end - bytes);
}
}  // namespace

const unsigned char* VSTPlugIn::readFxCk(const unsigned char* p, const unsigned char* end, bool* ok)
{
    const unsigned char* const recordStart = p;
    RecordHeader header;
    int parameterCount = 0;
    p = readHeader(p, end, header);
    p = readBigInt32(p, end, &parameterCount);
    if (header.chunkMagic != fx::kChunkMagic || header.formatVersion != fx::kFormatVersion ||
        header.effectId != getAEffect().uniqueID || parameterCount < 0)
    {
        throw FormatException(fx::kInvalidFormat);
    }
    const int effectParameterCount = getParameterCount();
    if (parameterCount != effectParameterCount)
    {
        *ok = false;
    }
    // Everything this record gives the effect must be present before the
    // program is touched, so a cut record changes nothing.
    const int valuesUsed = std::min(parameterCount, effectParameterCount);
    if (extendsBeyond(fx::kProgramValuesOffset, std::int64_t{valuesUsed} * std::int64_t{fx::kValueSize}, recordStart,
                      end))
    {
        throw EOFException(fx::kEndOfFile);
    }
    char name[fx::kMaxNameLength + 1];
    readProgramName(recordStart + fx::kNameOffset, name);
    setCurrentProgramName(name);

    dispatch(effBeginSetProgram, 0, 0, nullptr, 0.0f);
    const unsigned char* value = recordStart + fx::kProgramValuesOffset;
    for (int index = 0; index < effectParameterCount; ++index)
    {
        float parameterValue = 0.0f;
        if (index < parameterCount)
        {
            value = readBigFloat32(value, end, &parameterValue);
        }
        // NaN fails both comparisons and would reach the effect unclamped.
        if (std::isnan(parameterValue) || parameterValue < 0.0f)
        {
            parameterValue = 0.0f;
            *ok = false;
        }
        else if (parameterValue > 1.0f)
        {
            parameterValue = 1.0f;
            *ok = false;
        }
        setParameter(index, parameterValue);
    }
    dispatch(effEndSetProgram, 0, 0, nullptr, 0.0f);

    // The next record follows this one's own values, however many the
    // effect used.
    const std::int64_t recordSize = std::int64_t{fx::kProgramValuesOffset} +
                                    std::int64_t{parameterCount} * std::int64_t{fx::kValueSize};
    return recordStart + std::min<std::int64_t>(recordSize, end - recordStart);
}

bool VSTPlugIn::loadFXPOrFXB(unsigned long size, const unsigned char* bytes)
{
    tandemTrace("VST loadFXPOrFXB (size=%ld)\n", static_cast<long>(size));
    TANDEM_REQUIRE(bytes != 0);
    TANDEM_REQUIRE(aeffect != 0);
    TANDEM_REQUIRE(openFlag);
    const unsigned char* const end = bytes + size;
    // The effect version is not examined, but a header without it is cut short.
    RecordHeader header;
    readHeader(bytes, end, header);
    if (header.chunkMagic != fx::kChunkMagic || header.byteSize < 0 ||
        std::int64_t{header.byteSize} + std::int64_t{fx::kByteSizeExcluded} > static_cast<std::int64_t>(size) ||
        (header.formatVersion != 1 && header.formatVersion != 2) || header.effectId != aeffect->uniqueID)
    {
        throw FormatException(fx::kInvalidFormat);
    }
    const int formatMagic = header.formatMagic;
    const bool isChunkVariant = formatMagic == fx::kChunkProgramMagic || formatMagic == fx::kChunkBankMagic;
    if (isChunkVariant && !hasProgramChunks())
    {
        throw FormatException(fx::kInvalidFormat);
    }
    switch (formatMagic)
    {
    case fx::kParameterProgramMagic:
    {
        tandemTrace("VST loading FxCk\n");
        bool ok = true;
        readFxCk(bytes, end, &ok);
        return ok;
    }
    case fx::kChunkProgramMagic: tandemTrace("VST loading FPCh\n"); return loadProgramChunk(bytes, end);
    case fx::kParameterBankMagic: tandemTrace("VST loading FxBk\n"); return loadParameterBank(bytes, end);
    case fx::kChunkBankMagic: tandemTrace("VST loading FBCh\n"); return loadBankChunk(bytes, end);
    default: throw FormatException(fx::kInvalidFormat);
    }
}

bool VSTPlugIn::loadProgramChunk(const unsigned char* bytes, const unsigned char* end)
{
    // The chunk is checked before the name is set, so a cut record changes
    // nothing.
    const int chunkSize = readNonNegative(fieldAt(bytes, end, fx::kProgramChunkSizeOffset), end);
    if (extendsBeyond(fx::kProgramChunkOffset, chunkSize, bytes, end))
    {
        throw EOFException("Unexpected end of file in FXP / FXB data");
    }
    char name[fx::kMaxNameLength + 1];
    readProgramName(bytes + fx::kNameOffset, name);
    setCurrentProgramName(name);
    // The effect only reads the chunk; the record's pointer is not const.
    void* chunk = const_cast<unsigned char*>(bytes + fx::kProgramChunkOffset);
    return dispatch(effSetChunk, 1, chunkSize, chunk, 0.0f) != 0;
}

bool VSTPlugIn::loadBankChunk(const unsigned char* bytes, const unsigned char* end)
{
    const int chunkSize = readNonNegative(fieldAt(bytes, end, fx::kBankChunkSizeOffset), end);
    if (extendsBeyond(fx::kBankChunkOffset, chunkSize, bytes, end))
    {
        throw EOFException("Unexpected end of file in FXB data");
    }
    void* chunk = const_cast<unsigned char*>(bytes + fx::kBankChunkOffset);
    return dispatch(effSetChunk, 0, chunkSize, chunk, 0.0f) != 0;
}

bool VSTPlugIn::loadParameterBank(const unsigned char* bytes, const unsigned char* end)
{
    bool ok = true;
    const int programCount = readNonNegative(fieldAt(bytes, end, fx::kBankProgramCountOffset), end);
    if (programCount != getProgramCount())
    {
        ok = false;
    }
    const int programsUsed = std::min(programCount, getProgramCount());
    const unsigned char* record = fieldAt(bytes, end, fx::kBankProgramsOffset);
    const int oldProgramIndex = rememberCurrentProgram();
    try
    {
        for (int program = 0; program < programsUsed; ++program)
        {
            setCurrentProgram(program);
            record = readFxCk(record, end, &ok);
        }
    }
    catch (...)
    {
        selectProgramAgain(oldProgramIndex);
        throw;
    }
    selectProgramAgain(oldProgramIndex);
    return ok;
}
