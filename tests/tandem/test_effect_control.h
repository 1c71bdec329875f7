#pragma once
// Settings and observations of the tests' own effect, exported as tandemTestEffectControl().

#include "vst/aeffect.h"

inline constexpr int kTestEffectMaxChunk = 4096;
inline constexpr VstInt32 kTestEffectId = fourCharCode("TEst");

struct TestEffectControl
{
    VstInt32 flags = effFlagsCanReplacing | effFlagsProgramChunks;
    VstInt32 numPrograms = 8;
    VstIntPtr chunkSize = 1000;        // effGetChunk's answer; below 1 refuses
    VstInt32 programAnswerOffset = 0;  // added to effGetProgram's answer
    int nameLength = 8;                // characters the name getters write
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
