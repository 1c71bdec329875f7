// The component tests' effect: pins, MIDI, tail and pin properties as the
// control block says, and a record of what the component did to it.

#include "component_test_effect_control.h"

#include <cstdio>
#include <cstring>

namespace
{
ComponentTestEffectControl gControl;

VstIntPtr dispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float)
{
    switch (opcode)
    {
    case effClose:
        --gControl.liveEffects;
        delete effect;
        return 0;
    case effMainsChanged:
        if (value != 0)
        {
            ++gControl.resumeCalls;
            if (gControl.askForMidi)
                gControl.audioMaster(effect, audioMasterWantMidi, 0, 1, nullptr, 0.0f);
        }
        return 0;
    case effGetInputProperties:
    case effGetOutputProperties:
    {
        if (!gControl.answerPinProperties)
            return 0;
        auto& properties = *static_cast<VstPinProperties*>(ptr);
        std::snprintf(properties.label, sizeof properties.label, "%s %d",
                      opcode == effGetInputProperties ? "In" : "Out", index);
        properties.flags = gControl.pinFlags;
        return 1;
    }
    case effProcessEvents:
    {
        const auto& events = *static_cast<const VstEvents*>(ptr);
        ++gControl.processEventsCalls;
        gControl.eventCount = events.numEvents;
        if (events.numEvents > 0)
            std::memcpy(&gControl.firstEvent, events.events[0], sizeof gControl.firstEvent);
        return 1;
    }
    case effSetProgram:
        if (value >= 0 && value < gControl.numPrograms)
            gControl.currentProgram = static_cast<VstInt32>(value);
        return 0;
    case effGetProgram: return gControl.currentProgram;
    case effSetProgramName:
        std::snprintf(gControl.programNames[gControl.currentProgram], 25, "%s", static_cast<const char*>(ptr));
        return 0;
    case effGetProgramName:
        std::snprintf(static_cast<char*>(ptr), 25, "%s", gControl.programNames[gControl.currentProgram]);
        return 0;
    case effGetTailSize: return gControl.tailSize;
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
    for (int pin = 0; pin < effect->numInputs && pin < kComponentTestEffectMaxPins; ++pin)
        gControl.inputs[pin] = inputs[pin];
    for (int pin = 0; pin < effect->numOutputs && pin < kComponentTestEffectMaxPins; ++pin)
        gControl.outputs[pin] = outputs[pin];
    // One channel at a time, as many effects work: output pin n may share
    // input pin n's buffer, and no other.
    for (int pin = 0; pin < effect->numOutputs; ++pin)
    {
        for (VstInt32 frame = 0; frame < frames; ++frame)
            outputs[pin][frame] = pin < effect->numInputs ? inputs[pin][frame] * kComponentTestEffectGain : 0.0f;
    }
}

float getParameter(AEffect*, VstInt32) { return gControl.programValues[gControl.currentProgram]; }
void setParameter(AEffect*, VstInt32, float value) { gControl.programValues[gControl.currentProgram] = value; }
}  // namespace

extern "C" __attribute__((visibility("default"))) ComponentTestEffectControl* componentTestEffectControl()
{
    return &gControl;
}

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback audioMaster)
{
    gControl.audioMaster = audioMaster;
    auto* effect = new AEffect{};
    effect->magic = kEffectMagic;
    effect->dispatcher = dispatcher;
    effect->processReplacing = processReplacing;
    effect->getParameter = getParameter;
    effect->setParameter = setParameter;
    effect->numParams = 1;
    effect->numPrograms = gControl.numPrograms;
    effect->numInputs = gControl.numInputs;
    effect->numOutputs = gControl.numOutputs;
    effect->flags = gControl.flags;
    effect->uniqueID = fourCharCode("CTst");
    ++gControl.liveEffects;
    return gControl.effect = effect;
}
