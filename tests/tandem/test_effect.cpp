// The tests' own effect: eight programs of three parameters and a chunk.
// Parameter displays: 0 falls from 10 to 0, 1 grows with the square of the
// value, 2 is a number with a percent sign after it.

#include "test_effect_control.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#define TEST_EFFECT_EXPORT extern "C" __attribute__((visibility("default")))

namespace
{
TestEffectControl gControl;

struct TestEffect
{
    AEffect record{};
    char programName[64] = {};
    float values[3] = {};
    VstIntPtr currentProgram = 0;
    unsigned char chunk[kTestEffectMaxChunk] = {};
};

VstIntPtr dispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float)
{
    auto* self = static_cast<TestEffect*>(effect->object);
    auto* text = static_cast<char*>(ptr);
    switch (opcode)
    {
    case effClose: delete self; return 0;
    case effSetProgram: self->currentProgram = value; return 0;
    case effGetProgram: return self->currentProgram + gControl.programAnswerOffset;
    case effSetProgramName: std::strncpy(self->programName, text, sizeof(self->programName) - 1); return 0;
    case effGetProgramName:
    case effGetParamName:
        if (opcode == effGetProgramName && self->programName[0] != '\0')
            return std::strcpy(text, self->programName), 0;
        std::memset(text, opcode == effGetProgramName ? 'P' : 'N', static_cast<std::size_t>(gControl.nameLength));
        text[gControl.nameLength] = '\0';
        return 0;
    case effGetParamDisplay:
    {
        const float value = self->values[index];
        const float shown[] = {10.0f - 10.0f * value, 100.0f * value * value, 100.0f * value};
        std::snprintf(text, 24, index == 2 ? "%g%%" : "%g", shown[index]);
        return 0;
    }
    case effGetParamLabel: std::strcpy(text, "dB"); return 0;
    case effGetChunk: *static_cast<void**>(ptr) = self->chunk; return gControl.chunkSize;
    case effSetChunk:
        ++gControl.setChunkCalls;
        gControl.lastSetChunkIsPreset = index;
        gControl.lastSetChunkSize = value;
        std::memcpy(gControl.lastSetChunk, ptr,
                    static_cast<std::size_t>(std::min<VstIntPtr>(value, kTestEffectMaxChunk)));
        return 1;
    default: return 0;
    }
}

float& valueOf(AEffect* effect, VstInt32 index) { return static_cast<TestEffect*>(effect->object)->values[index]; }
void setParameter(AEffect* effect, VstInt32 index, float value) { valueOf(effect, index) = value; }
float getParameter(AEffect* effect, VstInt32 index) { return valueOf(effect, index); }

[[maybe_unused]] AEffect* createEffect(audioMasterCallback audioMaster)
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
    record.numPrograms = gControl.numPrograms;
    record.numParams = 3;
    record.numInputs = record.numOutputs = 1;
    record.flags = gControl.flags;
    record.object = self;
    record.uniqueID = kTestEffectId;
    for (int byte = 0; byte < kTestEffectMaxChunk; ++byte)
        self->chunk[byte] = static_cast<unsigned char>(byte * 7 + 1);
    // Effects ask with their new record before returning it.
    audioMaster(&record, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f);
    return gControl.effect = &record;
}
}  // namespace

TEST_EFFECT_EXPORT TestEffectControl* tandemTestEffectControl() { return &gControl; }

TEST_EFFECT_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster)
{
#if defined(TEST_EFFECT_BAD_MAGIC)
    // Shown to the host first, so the host has to forget a stored record.
    static AEffect notAnEffect{};
    notAnEffect.magic = fourCharCode("Nope");
    audioMaster(&notAnEffect, audioMasterCurrentId, 0, 0, nullptr, 0.0f);
    return &notAnEffect;
#else
    return createEffect(audioMaster);
#endif
}
