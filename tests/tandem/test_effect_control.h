#pragma once
// A tiny effect of the tests' own, loaded through VSTPlugIn like any effect.
// The tests reach its settings and observations through the exported
// tandemTestEffectControl() after dlopen-ing the same file.

#include "vst/aeffect.h"

inline constexpr int kTestEffectMaxPrograms = 16;
inline constexpr int kTestEffectMaxParams = 16;
inline constexpr int kTestEffectMaxChunk = 4096;
inline constexpr VstInt32 kTestEffectId = fourCharCode("TEst");
inline constexpr VstInt32 kTestEffectMachoId = fourCharCode("TMmc");

struct TestEffectControl
{
    // Read when the entry builds a record.
    VstInt32 flags;
    VstInt32 numPrograms;
    VstInt32 numParams;
    // Bytes effGetChunk answers; below 1 refuses.
    VstIntPtr chunkSize;
    // Added to the current program in effGetProgram's answer.
    VstInt32 programAnswerOffset;
    // Characters the name getters write.
    int nameLength;

    // What the effect saw.
    VstIntPtr versionAnswer;
    VstIntPtr currentIdBeforeRecord;
    int setChunkCalls;
    VstIntPtr lastSetChunkSize;
    VstInt32 lastSetChunkIsPreset;
    unsigned char lastSetChunk[kTestEffectMaxChunk];
    int opcodes[1024];
    int opcodeCount;

    // The record and callback of the latest entry call.
    AEffect* effect;
    audioMasterCallback audioMaster;
};

// Chunks and eight three-parameter programs, names of eight characters.
inline TestEffectControl defaultTestEffectControl()
{
    TestEffectControl control{};
    control.flags = effFlagsCanReplacing | effFlagsProgramChunks;
    control.numPrograms = 8;
    control.numParams = 3;
    control.chunkSize = 1000;
    control.nameLength = 8;
    return control;
}

using TestEffectControlProc = TestEffectControl* (*)();
