// Loading FXP program and FXB bank data into the effect.

#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_trace.h"
#include "tandem/vst_plugin.h"
#include "vst/fx_data.h"

#include <algorithm>
#include <bit>

namespace
{
constexpr char kEndOfFile[] = "End of file error";

// The parser's fault as this layer's exception; `formatMagic` tells which
// chunk was cut.
void throwOnFault(fx::Fault fault, std::int32_t formatMagic)
{
    switch (fault)
    {
    case fx::Fault::none: return;
    case fx::Fault::endOfFile: throw EOFException(kEndOfFile);
    case fx::Fault::chunkCut:
        throw EOFException(formatMagic == fx::kChunkBankMagic ? "Unexpected end of file in FXB data"
                                                              : "Unexpected end of file in FXP / FXB data");
    default: throw FormatException("Invalid format of FXP / FXB data");
    }
}

fx::Bytes bytesBetween(const unsigned char* p, const unsigned char* end) { return {p, end < p ? p : end}; }
}  // namespace

const unsigned char* VSTPlugIn::readBigInt32(const unsigned char* p, const unsigned char* e, int* x)
{
    TANDEM_REQUIRE(p != 0);
    TANDEM_REQUIRE(e != 0);
    TANDEM_REQUIRE(x != 0);
    if (e < p || e - p < 4)
    {
        throw EOFException(kEndOfFile);
    }
    *x = fx::bigEndianInt32(p);
    return p + 4;
}

const unsigned char* VSTPlugIn::readBigFloat32(const unsigned char* p, const unsigned char* e, float* x)
{
    TANDEM_REQUIRE(p != 0);
    TANDEM_REQUIRE(e != 0);
    TANDEM_REQUIRE(x != 0);
    int bits = 0;
    p = readBigInt32(p, e, &bits);
    *x = std::bit_cast<float>(bits);
    return p;
}

fx::Receiver VSTPlugIn::fxReceiver() const { return {getAEffect().uniqueID, getParameterCount(), hasProgramChunks()}; }

const unsigned char* VSTPlugIn::readFxCk(const unsigned char* p, const unsigned char* end, bool* ok)
{
    fx::Program program;
    throwOnFault(fx::readParameterProgram(bytesBetween(p, end), fxReceiver(), program), fx::kParameterProgramMagic);
    loadParameterProgram(program, ok);
    return p + program.size;
}

void VSTPlugIn::loadParameterProgram(const fx::Program& program, bool* ok)
{
    if (!program.exact)
    {
        *ok = false;
    }
    setCurrentProgramName(program.name);
    dispatch(effBeginSetProgram, 0, 0, nullptr, 0.0f);
    for (int index = 0; index < getParameterCount(); ++index)
    {
        const auto valueIndex = static_cast<std::size_t>(index);
        setParameter(index, valueIndex < program.valueCount() ? program.value(valueIndex) : 0.0f);
    }
    dispatch(effEndSetProgram, 0, 0, nullptr, 0.0f);
}

bool VSTPlugIn::loadFXPOrFXB(unsigned long size, const unsigned char* bytes)
{
    tandemTrace("VST loadFXPOrFXB (size=%ld)\n", static_cast<long>(size));
    TANDEM_REQUIRE(bytes != 0);
    TANDEM_REQUIRE(aeffect != 0);
    TANDEM_REQUIRE(openFlag);
    fx::Data data;
    const fx::Fault fault = fx::read({bytes, size}, fxReceiver(), data);
    throwOnFault(fault, data.header.formatMagic);
    switch (data.header.formatMagic)
    {
    case fx::kParameterProgramMagic:
    {
        tandemTrace("VST loading FxCk\n");
        bool ok = true;
        loadParameterProgram(data.program, &ok);
        return ok;
    }
    case fx::kChunkProgramMagic:
    {
        tandemTrace("VST loading FPCh\n");
        setCurrentProgramName(data.program.name);
        return setChunk(true, data.program.chunk);
    }
    case fx::kParameterBankMagic: tandemTrace("VST loading FxBk\n"); return loadParameterBank(data.bank);
    // "FBCh", the one kind left once the data has been read.
    default: tandemTrace("VST loading FBCh\n"); return setChunk(false, data.bank.chunk);
    }
}

bool VSTPlugIn::setChunk(bool isProgram, std::span<const unsigned char> chunk)
{
    // The effect only reads the chunk; the record's pointer is not const.
    void* chunkPointer = const_cast<unsigned char*>(chunk.data());
    return dispatch(effSetChunk, isProgram ? 1 : 0, static_cast<VstIntPtr>(chunk.size()), chunkPointer, 0.0f) != 0;
}

bool VSTPlugIn::loadParameterBank(const fx::Bank& bank)
{
    bool ok = bank.programCount == getProgramCount();
    const int programsUsed = std::min(bank.programCount, getProgramCount());
    const unsigned char* record = bank.programs.data();
    const unsigned char* const end = record + bank.programs.size();
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
