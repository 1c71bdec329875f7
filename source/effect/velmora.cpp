#include "effect/velmora.h"

#include <cstdio>
#include <cstring>

namespace
{
constexpr VstInt32 kPlugCategoryEffect = 1;
constexpr char kChannelInsertCapability[] = "plugAsChannelInsert ";  // trailing blank included

// Names and labels keep at most 23 characters, the room of a program name.
void copyName(const char* source, char* text)
{
    const std::size_t length = strnlen(source, ProgramName::kBytes - 1);
    std::memcpy(text, source, length);
    text[length] = '\0';
}
}  // namespace

Velmora::Velmora(audioMasterCallback audioMaster)
    : PluginEffectX(audioMaster, velmora::kNumPrograms, velmora::kNumParams)
{
    setNumInputs(velmora::kNumInputs);
    setNumOutputs(velmora::kNumOutputs);
    canProcessReplacing(true);
    setUniqueID(velmora::kUniqueId);
    size.store(velmora::kParameters[velmora::kSize].defaultValue, std::memory_order_relaxed);
    prepareForRate();
    programs = std::make_unique<VelmoraPrg[]>(velmora::kNumPrograms);
    setProgram(0);
    resume();
}

Velmora::~Velmora() = default;

void Velmora::prepareForRate() { engine.prepare(getSampleRate()); }

void Velmora::suspend() { prepareForRate(); }

// Whatever rate the frame holds, however it got there, reaches the engine here
// too; the first block after it sounds the values as they are, with no glide
// from those before the host stopped.
void Velmora::resume() { prepareForRate(); }

void Velmora::setSampleRate(float newSampleRate)
{
    PluginEffectX::setSampleRate(newSampleRate);
    prepareForRate();
}

void Velmora::setBlockSizeAndSampleRate(VstInt32 newBlockSize, float newSampleRate)
{
    PluginEffectX::setBlockSizeAndSampleRate(newBlockSize, newSampleRate);
    prepareForRate();
}

VelmoraPrg& Velmora::currentProgram()
{
    return programs[static_cast<std::size_t>(curProgram.load(std::memory_order_relaxed))];
}

void Velmora::setParameter(VstInt32 index, float value)
{
    VelmoraPrg& program = currentProgram();
    switch (index)
    {
    case velmora::kOnOff:
    {
        const bool on = value != 0.0f;  // NaN counts as on
        program.onOff.store(on ? 1.0f : 0.0f, std::memory_order_relaxed);
        onOff.store(on, std::memory_order_relaxed);
        break;
    }
    case velmora::kSize:
        program.size.store(value, std::memory_order_relaxed);
        size.store(value, std::memory_order_relaxed);
        break;
    case velmora::kDryWet:
        program.dryWet.store(value, std::memory_order_relaxed);
        dryWet.store(value, std::memory_order_relaxed);
        break;
    default: break;
    }
}

float Velmora::getParameter(VstInt32 index)
{
    switch (index)
    {
    case velmora::kOnOff: return onOff.load(std::memory_order_relaxed) ? 1.0f : 0.0f;
    case velmora::kSize: return size.load(std::memory_order_relaxed);
    case velmora::kDryWet: return dryWet.load(std::memory_order_relaxed);
    default: return 0.0f;
    }
}

void Velmora::setProgram(VstInt32 program)
{
    if (program < 0 || program >= velmora::kNumPrograms)
        return;
    curProgram.store(program, std::memory_order_relaxed);
    const VelmoraPrg& record = programs[static_cast<std::size_t>(program)];
    setParameter(velmora::kOnOff, record.onOff.load(std::memory_order_relaxed));
    setParameter(velmora::kSize, record.size.load(std::memory_order_relaxed));
    setParameter(velmora::kDryWet, record.dryWet.load(std::memory_order_relaxed));
}

// Longer names are cut to the 23 characters the record holds.
void Velmora::setProgramName(char* name) { currentProgram().name.set(name); }

// An untouched program shows its number: "Init 1" .. "Init 8".
void Velmora::getProgramName(char* name)
{
    const VstInt32 program = curProgram.load(std::memory_order_relaxed);
    char stored[ProgramName::kBytes];
    programs[static_cast<std::size_t>(program)].name.get(stored);
    if (std::strcmp(stored, VelmoraPrg::kInitialName) != 0)
    {
        copyName(stored, name);
        return;
    }
    char numbered[48];
    std::snprintf(numbered, sizeof(numbered), "%s %d", stored, program + 1);
    copyName(numbered, name);
}

void Velmora::getParameterLabel(VstInt32 index, char* label)
{
    const velmora::ParameterInfo* parameter = velmora::findParameter(index);
    copyName(parameter ? parameter->label : velmora::kBlankLabel, label);
}

void Velmora::getParameterDisplay(VstInt32 index, char* text)
{
    if (const velmora::ParameterInfo* parameter = velmora::findParameter(index))
        velmora::formatParameterDisplay(*parameter, getParameter(index), text);
}

void Velmora::getParameterName(VstInt32 index, char* text)
{
    if (const velmora::ParameterInfo* parameter = velmora::findParameter(index))
        copyName(parameter->name, text);
}

bool Velmora::getProgramNameIndexed(VstInt32, VstInt32 index, char* text)
{
    if (index < 0 || index >= velmora::kNumPrograms)
        return false;
    char stored[ProgramName::kBytes];
    programs[static_cast<std::size_t>(index)].name.get(stored);
    copyName(stored, text);
    return true;
}

VstInt32 Velmora::getNumMidiInputChannels() { return 0; }
VstInt32 Velmora::getNumMidiOutputChannels() { return 0; }
VstInt32 Velmora::processEvents(VstEvents*) { return -1; }

bool Velmora::getEffectName(char* name)
{
    copyName(velmora::kEffectName, name);
    return true;
}

bool Velmora::getVendorString(char* text)
{
    copyName(velmora::kVendorString, text);
    return true;
}

bool Velmora::getProductString(char* text)
{
    copyName(velmora::kProductString, text);
    return true;
}

VstInt32 Velmora::getVendorVersion() { return velmora::kVendorVersion; }

VstInt32 Velmora::canDo(char* text) { return std::strcmp(text, kChannelInsertCapability) == 0 ? 1 : -1; }

VstInt32 Velmora::getPlugCategory() { return kPlugCategoryEffect; }
bool Velmora::getMidiKeyName(VstInt32, MidiKeyName*) { return false; }
