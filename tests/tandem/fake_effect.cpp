// The tests' fake effect: record, answers and state as the control block
// says, and a record of what the host did to it.

#include "fake_effect_control.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace
{
FakeEffectControl gControl;
unsigned char gChunk[kFakeEffectMaxChunk];

void describeParameter(VstInt32 opcode, VstInt32 index, char* text)
{
    if (!gControl.describeParameters || index < 0 || index >= kFakeEffectMaxParams)
        return;
    if (opcode == effGetParamName)
    {
        std::memset(text, 'N', static_cast<std::size_t>(gControl.nameLength));
        text[gControl.nameLength] = '\0';
    }
    else if (opcode == effGetParamLabel)
        std::strcpy(text, "dB");
    else
    {
        const float value = gControl.programValues[gControl.currentProgram][index];
        const float shown[] = {10.0f - 10.0f * value, 100.0f * value * value, 100.0f * value};
        std::snprintf(text, 24, index == 2 ? "%g%%" : "%g", shown[index]);
    }
}

VstIntPtr pinProperties(VstInt32 opcode, VstInt32 index, void* ptr)
{
    if (!gControl.answerPinProperties)
        return 0;
    auto& properties = *static_cast<VstPinProperties*>(ptr);
    std::snprintf(properties.label, sizeof properties.label, "%s %d", opcode == effGetInputProperties ? "In" : "Out",
                  index);
    properties.flags = kVstPinIsActive | kVstPinIsStereo;
    return 1;
}

VstIntPtr setChunk(VstInt32 isPreset, VstIntPtr size, const void* chunk)
{
    ++gControl.setChunkCalls;
    gControl.lastSetChunkIsPreset = isPreset;
    gControl.lastSetChunkSize = size;
    std::memcpy(gControl.lastSetChunk, chunk, static_cast<std::size_t>(std::min<VstIntPtr>(size, kFakeEffectMaxChunk)));
    return 1;
}

VstIntPtr processEvents(const VstEvents& events)
{
    ++gControl.processEventsCalls;
    gControl.eventCount = events.numEvents;
    if (events.numEvents > 0)
        std::memcpy(&gControl.firstEvent, events.events[0], sizeof gControl.firstEvent);
    return 1;
}

VstIntPtr dispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float)
{
    char* programName = gControl.programNames[gControl.currentProgram];
    switch (opcode)
    {
    case effClose:
        --gControl.liveEffects;
        delete effect;
        return 0;
    case effMainsChanged:
        gControl.resumeCalls += value != 0;
        if (value != 0 && gControl.askForMidi)
            gControl.audioMaster(effect, audioMasterWantMidi, 0, 1, nullptr, 0.0f);
        return 0;
    case effSetProgram:
        if (value >= 0 && value < std::min(gControl.numPrograms, kFakeEffectMaxPrograms))
            gControl.currentProgram = static_cast<VstInt32>(value);
        return 0;
    case effGetProgram: return gControl.currentProgram + gControl.programAnswerOffset;
    case effSetProgramName: std::snprintf(programName, 64, "%s", static_cast<char*>(ptr)); return 0;
    case effGetProgramName: std::snprintf(static_cast<char*>(ptr), 25, "%s", programName); return 0;
    case effGetParamName:
    case effGetParamLabel:
    case effGetParamDisplay: describeParameter(opcode, index, static_cast<char*>(ptr)); return 0;
    case effGetChunk: *static_cast<void**>(ptr) = gChunk; return gControl.chunkSize;
    case effSetChunk: return setChunk(index, value, ptr);
    case effGetInputProperties:
    case effGetOutputProperties: return pinProperties(opcode, index, ptr);
    case effProcessEvents: return processEvents(*static_cast<const VstEvents*>(ptr));
    case effIdle: ++gControl.idleCalls; return 0;
    case effEditGetRect: *static_cast<ERect**>(ptr) = &gControl.editorRect; return 1;
    case effEditOpen:
        ++gControl.editOpenCalls;
        gControl.editorParent = ptr;
        return 1;
    case effEditClose: ++gControl.editCloseCalls; return 0;
    case effEditIdle: ++gControl.editIdleCalls; return 0;
    default: return 0;
    }
}

void processReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames)
{
    ++gControl.processCalls;
    const auto* time = reinterpret_cast<const VstTimeInfo*>(
        gControl.audioMaster(effect, audioMasterGetTime, 0, 0, nullptr, 0.0f));
    gControl.timeInfo = time ? *time : VstTimeInfo{};
    // One channel at a time, as many effects work: output pin n may share
    // input pin n's buffer, and no other.
    for (int pin = 0; pin < effect->numOutputs; ++pin)
    {
        for (VstInt32 frame = 0; frame < frames; ++frame)
            outputs[pin][frame] = pin < effect->numInputs ? inputs[pin][frame] * kFakeEffectGain : 0.0f;
    }
}

float& valueOf(VstInt32 index) { return gControl.programValues[gControl.currentProgram][index]; }
float getParameter(AEffect*, VstInt32 index) { return valueOf(index); }
void setParameter(AEffect*, VstInt32 index, float value) { valueOf(index) = value; }

AEffect* notAnEffect(audioMasterCallback audioMaster)
{
    // Shown to the host first, so the host has to forget a stored record.
    static AEffect record{};
    record.magic = fourCharCode("Nope");
    audioMaster(&record, audioMasterCurrentId, 0, 0, nullptr, 0.0f);
    return &record;
}
}  // namespace

extern "C" __attribute__((visibility("default"))) FakeEffectControl* fakeEffectControl() { return &gControl; }

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback audioMaster)
{
    if (gControl.badMagic)
        return notAnEffect(audioMaster);
    gControl.audioMaster = audioMaster;
    gControl.versionAnswer = audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f);
    gControl.currentIdBeforeRecord = audioMaster(nullptr, audioMasterCurrentId, 0, 0, nullptr, 0.0f);
    for (int byte = 0; byte < kFakeEffectMaxChunk; ++byte)
        gChunk[byte] = static_cast<unsigned char>(byte * 7 + 1);
    auto* effect = new AEffect{};
    effect->magic = kEffectMagic;
    effect->dispatcher = dispatcher;
    effect->processReplacing = processReplacing;
    effect->getParameter = getParameter;
    effect->setParameter = setParameter;
    effect->numParams = std::min(gControl.numParams, kFakeEffectMaxParams);
    effect->numPrograms = gControl.numPrograms;
    effect->numInputs = gControl.numInputs;
    effect->numOutputs = gControl.numOutputs;
    effect->flags = gControl.flags;
    effect->uniqueID = kFakeEffectId;
    ++gControl.liveEffects;
    // Effects ask with their new record before returning it.
    audioMaster(effect, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f);
    return gControl.effect = effect;
}
