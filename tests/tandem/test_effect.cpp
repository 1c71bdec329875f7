// The tests' own effect: programs of plain parameter values, optional
// chunks, and every audioMaster answer observable from the test.

#include "test_effect_control.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#define TEST_EFFECT_EXPORT extern "C" __attribute__((visibility("default")))

namespace
{
TestEffectControl gControl = defaultTestEffectControl();

struct Program
{
    char name[64];
    float values[kTestEffectMaxParams];
};

struct TestEffect
{
    AEffect record{};
    Program programs[kTestEffectMaxPrograms]{};
    int currentProgram = 0;
    unsigned char chunk[kTestEffectMaxChunk]{};
};

TestEffect* owner(AEffect* effect)
{
    return static_cast<TestEffect*>(effect->object);
}

void writeName(char* destination, char letter)
{
    const int length = std::clamp(gControl.nameLength, 0, 200);
    std::memset(destination, letter, static_cast<std::size_t>(length));
    destination[length] = '\0';
}

VstIntPtr dispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float)
{
    TestEffect* self = owner(effect);
    if (gControl.opcodeCount < static_cast<int>(std::size(gControl.opcodes)))
    {
        gControl.opcodes[gControl.opcodeCount++] = opcode;
    }
    Program& current = self->programs[self->currentProgram];
    switch (opcode)
    {
    case effClose:
        delete self;
        return 0;
    case effSetProgram:
        if (value >= 0 && value < effect->numPrograms)
        {
            self->currentProgram = static_cast<int>(value);
        }
        return 0;
    case effGetProgram:
        return self->currentProgram + gControl.programAnswerOffset;
    case effSetProgramName:
        std::strncpy(current.name, static_cast<const char*>(ptr), sizeof(current.name) - 1);
        return 0;
    case effGetProgramName:
        if (current.name[0] == '\0')
        {
            writeName(static_cast<char*>(ptr), 'P');
        }
        else
        {
            std::strcpy(static_cast<char*>(ptr), current.name);
        }
        return 0;
    case effGetParamName:
        writeName(static_cast<char*>(ptr), 'N');
        return 0;
    case effGetProgramNameIndexed:
        return 0;
    case effGetChunk:
        if (gControl.chunkSize > 0)
        {
            *static_cast<void**>(ptr) = self->chunk;
        }
        return gControl.chunkSize;
    case effSetChunk:
        ++gControl.setChunkCalls;
        gControl.lastSetChunkSize = value;
        gControl.lastSetChunkIsPreset = index;
        std::memcpy(gControl.lastSetChunk, ptr,
                    static_cast<std::size_t>(std::clamp<VstIntPtr>(value, 0, kTestEffectMaxChunk)));
        return 1;
    case effEditOpen:
        return 0;
    default:
        return 0;
    }
}

void setParameter(AEffect* effect, VstInt32 index, float value)
{
    TestEffect* self = owner(effect);
    self->programs[self->currentProgram].values[index] = value;
}

float getParameter(AEffect* effect, VstInt32 index)
{
    TestEffect* self = owner(effect);
    return self->programs[self->currentProgram].values[index];
}

void processReplacing(AEffect*, float** inputs, float** outputs, VstInt32 frames)
{
    std::copy(inputs[0], inputs[0] + frames, outputs[0]);
}

// Unused by the variant whose entry returns no effect.
[[maybe_unused]] AEffect* createEffect(audioMasterCallback audioMaster, VstInt32 uniqueID)
{
    gControl.audioMaster = audioMaster;
    gControl.versionAnswer = audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f);
    gControl.currentIdBeforeRecord = audioMaster(nullptr, audioMasterCurrentId, 0, 0, nullptr, 0.0f);
    auto* self = new TestEffect;
    AEffect& record = self->record;
    record.magic = kEffectMagic;
    record.dispatcher = dispatcher;
    record.setParameter = setParameter;
    record.getParameter = getParameter;
    record.processReplacing = processReplacing;
    record.numPrograms = std::min(gControl.numPrograms, kTestEffectMaxPrograms);
    record.numParams = std::min(gControl.numParams, kTestEffectMaxParams);
    record.numInputs = 1;
    record.numOutputs = 1;
    record.flags = gControl.flags;
    record.object = self;
    record.uniqueID = uniqueID;
    record.version = 3;
    for (int byte = 0; byte < kTestEffectMaxChunk; ++byte)
    {
        self->chunk[byte] = static_cast<unsigned char>(byte * 7 + 1);
    }
    // Asked with the new record before it is returned, as effects do from
    // their constructors.
    audioMaster(&record, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f);
    gControl.effect = &record;
    return &record;
}
}  // namespace

TEST_EFFECT_EXPORT TestEffectControl* tandemTestEffectControl()
{
    return &gControl;
}

#if defined(TEST_EFFECT_BAD_MAGIC)
TEST_EFFECT_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster)
{
    // Shown to the host through the callback first, so the host has to
    // forget a record it already stored.
    static AEffect notAnEffect{};
    notAnEffect.magic = fourCharCode("Nope");
    audioMaster(&notAnEffect, audioMasterCurrentId, 0, 0, nullptr, 0.0f);
    return &notAnEffect;
}
#else
TEST_EFFECT_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster)
{
    return createEffect(audioMaster, kTestEffectId);
}
#endif

#if defined(TEST_EFFECT_MAIN_MACHO)
TEST_EFFECT_EXPORT AEffect* main_macho(audioMasterCallback audioMaster)
{
    return createEffect(audioMaster, kTestEffectMachoId);
}
#endif
