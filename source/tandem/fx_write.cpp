// Producing FXP program and FXB bank data from the effect's state.

#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_trace.h"
#include "tandem/vst_plugin.h"
#include "vst/fx_layout.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>

namespace
{
unsigned char* writeHeader(unsigned char* p, std::int64_t byteSize, VstInt32 formatMagic, const AEffect& effect)
{
    p = VSTPlugIn::writeBigInt32(p, fx::kChunkMagic);
    p = VSTPlugIn::writeBigInt32(p, static_cast<int>(byteSize));
    p = VSTPlugIn::writeBigInt32(p, formatMagic);
    p = VSTPlugIn::writeBigInt32(p, fx::kFormatVersion);
    p = VSTPlugIn::writeBigInt32(p, effect.uniqueID);
    return VSTPlugIn::writeBigInt32(p, effect.version);
}

// A zero-filled record of `size` bytes filled by `write`, which answers the
// position after the last byte it wrote. The caller owns the array; dataSize
// is set only once the record is complete.
template <typename Writer>
unsigned char* produceRecord(std::size_t size, unsigned long& dataSize, Writer write)
{
    TANDEM_REQUIRE(static_cast<unsigned int>(size) == size);
    std::unique_ptr<unsigned char[]> data(new unsigned char[size]());
    unsigned char* const bytes = data.get();
    const unsigned char* const bp = write(bytes);
    TANDEM_REQUIRE(static_cast<size_t>(bp - bytes) == size);
    dataSize = size;
    return data.release();
}

std::int64_t parameterProgramSize(const AEffect& effect)
{
    // A negative count would give a record smaller than its fixed fields.
    TANDEM_REQUIRE(effect.numParams >= 0);
    return std::int64_t{effect.numParams} * std::int64_t{fx::kValueSize} + std::int64_t{fx::kProgramValuesOffset};
}
}  // namespace

unsigned char* VSTPlugIn::writeBigInt32(unsigned char* p, int x)
{
    TANDEM_REQUIRE(p != 0);
    const auto bits = static_cast<std::uint32_t>(x);
    p[0] = static_cast<unsigned char>(bits >> 24);
    p[1] = static_cast<unsigned char>(bits >> 16);
    p[2] = static_cast<unsigned char>(bits >> 8);
    p[3] = static_cast<unsigned char>(bits);
    return p + 4;
}

unsigned char* VSTPlugIn::writeProgramNameField(unsigned char* p)
{
    char name[fx::kMaxNameLength + 1] = {};
    getCurrentProgramName(name);
    std::memset(p, 0, fx::kNameFieldSize);
    std::memcpy(p, name, fx::kMaxNameLength);
    p[fx::kMaxNameLength] = 0;
    return p + fx::kNameFieldSize;
}

unsigned char* VSTPlugIn::writeFxCk(unsigned char* p)
{
    const AEffect& effect = getAEffect();
    p = writeHeader(p, parameterProgramSize(effect) - std::int64_t{fx::kByteSizeExcluded}, fx::kParameterProgramMagic,
                    effect);
    p = writeBigInt32(p, effect.numParams);
    p = writeProgramNameField(p);
    for (int index = 0; index < effect.numParams; ++index)
    {
        p = writeBigInt32(p, std::bit_cast<int>(getParameter(index)));
    }
    return p;
}

unsigned char* VSTPlugIn::createChunkRecord(bool isProgram, unsigned long& dataSize)
{
    void* chunkPointer = nullptr;
    const VstIntPtr chunkSize = dispatch(effGetChunk, isProgram ? 1 : 0, 0, &chunkPointer, 0.0f);
    // Checked before the 32-bit rule so that a negative answer is a refusal,
    // not a stop.
    if (chunkSize < 1)
    {
        throw TandemException(isProgram ? "VST could not create chunk for FXP" : "VST could not create chunk for FXB");
    }
    TANDEM_REQUIRE(static_cast<unsigned int>(chunkSize) == chunkSize);
    TANDEM_REQUIRE(chunkPointer != 0);
    const std::size_t headerSize = isProgram ? fx::kProgramChunkOffset : fx::kBankChunkOffset;
    const std::size_t size = static_cast<std::size_t>(chunkSize) + headerSize;

    const AEffect& effect = getAEffect();
    return produceRecord(size, dataSize, [&](unsigned char* bytes) {
        unsigned char* bp = writeHeader(bytes, static_cast<std::int64_t>(size - fx::kByteSizeExcluded),
                                        isProgram ? fx::kChunkProgramMagic : fx::kChunkBankMagic, effect);
        if (isProgram)
        {
            bp = writeBigInt32(bp, effect.numParams);
            bp = writeProgramNameField(bp);
        }
        else
        {
            bp = writeBigInt32(bp, effect.numPrograms);
            bp += fx::kBankReservedSize;
        }
        bp = writeBigInt32(bp, static_cast<int>(chunkSize));
        std::memcpy(bp, chunkPointer, static_cast<std::size_t>(chunkSize));
        return bp + chunkSize;
    });
}

unsigned char* VSTPlugIn::createFXP(unsigned long& dataSize)
{
    tandemTrace("VST createFXP\n");
    TANDEM_REQUIRE(aeffect != 0);
    TANDEM_REQUIRE(openFlag);
    dataSize = 0;
    if (hasProgramChunks())
    {
        return createChunkRecord(true, dataSize);
    }
    const auto size = static_cast<std::size_t>(parameterProgramSize(*aeffect));
    return produceRecord(size, dataSize, [this](unsigned char* bytes) { return writeFxCk(bytes); });
}

unsigned char* VSTPlugIn::createFXB(unsigned long& dataSize)
{
    tandemTrace("VST createFXB\n");
    TANDEM_REQUIRE(aeffect != 0);
    TANDEM_REQUIRE(openFlag);
    dataSize = 0;
    return hasProgramChunks() ? createChunkRecord(false, dataSize) : createParameterBank(dataSize);
}

unsigned char* VSTPlugIn::createParameterBank(unsigned long& dataSize)
{
    const AEffect& effect = getAEffect();
    TANDEM_REQUIRE(effect.numPrograms >= 0);
    // Formed in 64 bits, so that the 32-bit rule below sees an effect's
    // absurd counts instead of a wrapped product.
    const auto size = static_cast<std::size_t>(parameterProgramSize(effect) * std::int64_t{effect.numPrograms} +
                                               std::int64_t{fx::kBankProgramsOffset});
    return produceRecord(size, dataSize, [&](unsigned char* bytes) {
        unsigned char* bp = writeHeader(bytes, static_cast<std::int64_t>(size - fx::kByteSizeExcluded),
                                        fx::kParameterBankMagic, effect);
        bp = writeBigInt32(bp, effect.numPrograms);
        bp += fx::kBankReservedSize;

        const int oldProgramIndex = rememberCurrentProgram();
        for (int program = 0; program < effect.numPrograms; ++program)
        {
            setCurrentProgram(program);
            bp = writeFxCk(bp);
        }
        selectProgramAgain(oldProgramIndex);
        return bp;
    });
}

int VSTPlugIn::rememberCurrentProgram()
{
    // An effect without programs has nothing to select again.
    if (getProgramCount() <= 0)
    {
        return -1;
    }
    const int oldProgramIndex = getCurrentProgram();
    TANDEM_REQUIRE(oldProgramIndex >= 0);
    return oldProgramIndex;
}

void VSTPlugIn::selectProgramAgain(int oldProgramIndex)
{
    if (oldProgramIndex >= 0 && oldProgramIndex < getProgramCount())
    {
        setCurrentProgram(oldProgramIndex);
    }
}
