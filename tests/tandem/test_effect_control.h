#pragma once
// A tiny effect of the tests' own, loaded through VSTPlugIn like any effect.
// Tests reach its settings and observations through the exported
// tandemTestEffectControl() after dlopen-ing the same file.

#include "vst/aeffect.h"

inline constexpr int kTestEffectMaxChunk = 4096;
inline constexpr VstInt32 kTestEffectId = fourCharCode("TEst");
inline constexpr VstInt32 kTestEffectMachoId = fourCharCode("TMmc");

struct TestEffectControl
{
    // Read when the entry builds a record.
    VstInt32 flags = effFlagsCanReplacing | effFlagsProgramChunks;
    VstInt32 numPrograms = 8;
    // effGetChunk's answer; below 1 refuses.
    VstIntPtr chunkSize = 1000;
    // Added to the current program in effGetProgram's answer.
    VstInt32 programAnswerOffset = 0;
    // Characters the name getters write when no name was set.
    int nameLength = 8;

    // What the effect saw.
    VstIntPtr versionAnswer = 0;
    VstIntPtr currentIdBeforeRecord = -1;
    int setChunkCalls = 0;
    VstInt32 lastSetChunkIsPreset = -1;
    VstIntPtr lastSetChunkSize = 0;
    unsigned char lastSetChunk[kTestEffectMaxChunk] = {};
    AEffect* effect = nullptr;
    audioMasterCallback audioMaster = nullptr;
};

using TestEffectControlProc = TestEffectControl* (*)();
