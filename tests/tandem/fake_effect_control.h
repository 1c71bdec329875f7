#pragma once
// Settings and observations of the fake effect the tandem and component tests
// host, exported as fakeEffectControl(). The library stays loaded for the run,
// so the block outlives every host object.

#include "vst/aeffect.h"

inline constexpr int kFakeEffectMaxPrograms = 8;
inline constexpr int kFakeEffectMaxParams = 3;
inline constexpr int kFakeEffectMaxChunk = 4096;
inline constexpr VstInt32 kFakeEffectId = fourCharCode("FAke");

struct FakeEffectControl
{
    // The record.
    bool badMagic = false;  // shows a record without the magic to the host first
    VstInt32 numInputs = 2;
    VstInt32 numOutputs = 2;
    VstInt32 numParams = 1;
    VstInt32 numPrograms = 0;
    VstInt32 flags = effFlagsCanReplacing;
    // Answers.
    bool answerPinProperties = true;  // labels "In n" / "Out n"
    bool askForMidi = false;          // audioMasterWantMidi on resume
    // Parameter names of nameLength 'N's; displays: 0 falls from 10 to 0,
    // 1 grows with the square of the value, 2 is a number and a percent sign;
    // labels "dB". Left unanswered when false.
    bool describeParameters = false;
    int nameLength = 8;
    VstIntPtr chunkSize = 1000;        // effGetChunk's answer; below 1 refuses
    VstInt32 programAnswerOffset = 0;  // added to effGetProgram's answer
    ERect editorRect{0, 0, 300, 400};  // top, left, bottom, right
    // State, settable before the host opens the effect.
    VstInt32 currentProgram = 0;
    char programNames[kFakeEffectMaxPrograms][64] = {};
    float programValues[kFakeEffectMaxPrograms][kFakeEffectMaxParams] = {};
    // What the effect saw.
    VstIntPtr versionAnswer = 0;
    VstIntPtr currentIdBeforeRecord = -1;
    int liveEffects = 0;
    // Calls of processReplacing, resume, effIdle and the editor opcodes.
    int processCalls = 0, resumeCalls = 0, idleCalls = 0;
    int editOpenCalls = 0, editCloseCalls = 0, editIdleCalls = 0;
    void* editorParent = nullptr;  // of the last effEditOpen
    int processEventsCalls = 0;
    int eventCount = 0;  // of the last effProcessEvents
    VstMidiEvent firstEvent{};
    int setChunkCalls = 0;
    VstInt32 lastSetChunkIsPreset = -1;
    VstIntPtr lastSetChunkSize = 0;
    unsigned char lastSetChunk[kFakeEffectMaxChunk] = {};
    VstTimeInfo timeInfo{};  // asked for in each process call
    AEffect* effect = nullptr;
    audioMasterCallback audioMaster = nullptr;
};

// Output pin n carries input pin n times this (silence without input pin n).
inline constexpr float kFakeEffectGain = 0.5f;

// The control block of the fake effect at `path`, reset to the defaults above.
FakeEffectControl& resetFakeEffect(const char* path);
