#pragma once
// Settings and observations of the effect the component tests host through a
// bundle's "vst" resource, exported as componentTestEffectControl().

#include "vst/aeffect.h"

inline constexpr int kComponentTestEffectMaxPins = 8;
inline constexpr int kComponentTestEffectMaxPrograms = 8;

struct ComponentTestEffectControl
{
    VstInt32 numInputs = 2;
    VstInt32 numOutputs = 2;
    VstInt32 flags = effFlagsCanReplacing;
    bool answerPinProperties = true;  // labels "In n" / "Out n"
    VstInt32 pinFlags = kVstPinIsActive | kVstPinIsStereo;
    bool askForMidi = false;  // audioMasterWantMidi on resume
    VstIntPtr tailSize = 0;
    // Programs, each with a name and its value of the one parameter.
    VstInt32 numPrograms = 0;
    char programNames[kComponentTestEffectMaxPrograms][25] = {};
    float programValues[kComponentTestEffectMaxPrograms] = {};
    VstInt32 currentProgram = 0;
    // The editor, when flags include effFlagsHasEditor.
    ERect editorRect{0, 0, 300, 400};  // top, left, bottom, right
    // What the effect saw.
    int liveEffects = 0;
    int processCalls = 0;
    int resumeCalls = 0;
    int idleCalls = 0;
    int editOpenCalls = 0;
    int editCloseCalls = 0;
    int editIdleCalls = 0;
    void* editorParent = nullptr;  // of the last effEditOpen
    int processEventsCalls = 0;
    int eventCount = 0;  // of the last effProcessEvents
    VstMidiEvent firstEvent{};
    const float* inputs[kComponentTestEffectMaxPins] = {};
    float* outputs[kComponentTestEffectMaxPins] = {};
    VstTimeInfo timeInfo{};  // asked for in each process call
    AEffect* effect = nullptr;
    audioMasterCallback audioMaster = nullptr;
};

using ComponentTestEffectControlProc = ComponentTestEffectControl* (*)();

// Output pin n carries input pin n times this (silence without input pin n).
inline constexpr float kComponentTestEffectGain = 0.5f;
