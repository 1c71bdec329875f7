#include "render/vst_preset.h"

#include "vst/fx_data.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace render
{
namespace
{
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

// Why the data does not suit the effect, as one clause.
std::string faultText(fx::Fault fault, std::int32_t dataEffectId, const AEffect& effect)
{
    switch (fault)
    {
    case fx::Fault::notFxData: return "it is no FXP/FXB data";
    case fx::Fault::unknownKind: return "it is neither a program nor a bank";
    case fx::Fault::otherEffect:
        return "it belongs to the effect '" + codeText(dataEffectId) + "', not to '" + codeText(effect.uniqueID) + "'";
    case fx::Fault::chunkNotTaken: return "it holds a chunk, and the effect takes none";
    default: return "it ends early";
    }
}

fx::Receiver receiverOf(const AEffect& effect)
{
    return {effect.uniqueID, effect.numParams, (effect.flags & effFlagsProgramChunks) != 0};
}

void setProgramName(vsthost::LoadedEffect& effect, const fx::Program& program)
{
    char name[sizeof program.name];
    std::copy(std::begin(program.name), std::end(program.name), name);
    effect.dispatch(effSetProgramName, 0, 0, name);
}

// One parameter program into the current program: values the effect lacks
// are dropped, values the record lacks are 0.
void loadParameterProgram(vsthost::LoadedEffect& effect, const fx::Program& program)
{
    setProgramName(effect, program);
    effect.dispatch(effBeginSetProgram);
    for (VstInt32 index = 0; index < effect.effect()->numParams; ++index)
    {
        const auto valueIndex = static_cast<std::size_t>(index);
        effect.setParameter(index, valueIndex < program.valueCount() ? program.value(valueIndex) : 0.0f);
    }
    effect.dispatch(effEndSetProgram);
}

// Program by program, each read before it is loaded; the current program is
// selected again once all are in.
bool loadParameterBank(vsthost::LoadedEffect& effect, const fx::Bank& bank, std::string& error)
{
    const AEffect& record = *effect.effect();
    const VstIntPtr current = effect.dispatch(effGetProgram);
    fx::Bytes programs = bank.programs;
    for (VstInt32 index = 0; index < std::min(bank.programCount, record.numPrograms); ++index)
    {
        fx::Program program;
        if (const fx::Fault fault = fx::readParameterProgram(programs, receiverOf(record), program);
            fault != fx::Fault::none)
        {
            error = faultText(fault, program.header.effectId, record);
            return false;
        }
        effect.dispatch(effSetProgram, 0, index);
        loadParameterProgram(effect, program);
        programs = programs.subspan(program.size);
    }
    effect.dispatch(effSetProgram, 0, current);
    return true;
}

bool setChunk(vsthost::LoadedEffect& effect, bool isProgram, fx::Bytes chunk, std::string& error)
{
    // The effect only reads the chunk.
    void* chunkPointer = const_cast<unsigned char*>(chunk.data());
    if (effect.dispatch(effSetChunk, isProgram ? 1 : 0, static_cast<VstIntPtr>(chunk.size()), chunkPointer) != 0)
        return true;
    error = "the effect refused its chunk";
    return false;
}
}  // namespace

bool loadVstPreset(vsthost::LoadedEffect& effect, const std::vector<unsigned char>& data, std::string& error)
{
    const AEffect& record = *effect.effect();
    fx::Data parsed;
    if (const fx::Fault fault = fx::read(data, receiverOf(record), parsed); fault != fx::Fault::none)
    {
        error = faultText(fault, parsed.header.effectId, record);
        return false;
    }
    switch (parsed.header.formatMagic)
    {
    case fx::kParameterProgramMagic: loadParameterProgram(effect, parsed.program); return true;
    case fx::kParameterBankMagic: return loadParameterBank(effect, parsed.bank, error);
    case fx::kChunkProgramMagic:
        setProgramName(effect, parsed.program);
        return setChunk(effect, true, parsed.program.chunk, error);
    default: return setChunk(effect, false, parsed.bank.chunk, error);
    }
}
}  // namespace render
