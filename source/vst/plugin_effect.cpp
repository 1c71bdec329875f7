#include "vst/plugin_effect.h"

#include "vst/effect_editor.h"

#include <cstring>

PluginEffect::PluginEffect(audioMasterCallback host, VstInt32 programCount, VstInt32 paramCount)
    : audioMaster(host), numPrograms(programCount), numParams(paramCount)
{
    std::memset(&cEffect, 0, sizeof(cEffect));
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEffectClass;
    cEffect.process = processClass;
    cEffect.setParameter = setParameterClass;
    cEffect.getParameter = getParameterClass;
    cEffect.numPrograms = programCount;
    cEffect.numParams = paramCount;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.flags = effFlagsCanReplacing;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = fourCharCode("NoEf");
    cEffect.version = 1;
    cEffect.processReplacing = processClassReplacing;
    cEffect.processDoubleReplacing = processClassDoubleReplacing;
}

PluginEffect::~PluginEffect() { delete editor; }

void PluginEffect::processDoubleReplacing(double**, double**, VstInt32) {}
void PluginEffect::setParameter(VstInt32, float) {}
float PluginEffect::getParameter(VstInt32) { return 0.0f; }
void PluginEffect::setProgramName(char*) {}
void PluginEffect::getProgramName(char* name) { name[0] = '\0'; }
void PluginEffect::getParameterLabel(VstInt32, char* label) { label[0] = '\0'; }
void PluginEffect::getParameterDisplay(VstInt32, char* text) { text[0] = '\0'; }
void PluginEffect::getParameterName(VstInt32, char* text) { text[0] = '\0'; }
VstInt32 PluginEffect::getChunk(void**, bool) { return 0; }
VstInt32 PluginEffect::setChunk(void*, VstInt32, bool) { return 0; }
void PluginEffect::process(float**, float**, VstInt32) {}

void PluginEffect::setEditor(EffectEditor* newEditor)
{
    editor = newEditor;
    setFlag(effFlagsHasEditor, newEditor != nullptr);
}

void PluginEffect::setFlag(VstInt32 flag, bool state)
{
    if (state)
        cEffect.flags |= flag;
    else
        cEffect.flags &= ~flag;
}

namespace
{
PluginEffect* objectOf(AEffect* e) { return e ? static_cast<PluginEffect*>(e->object) : nullptr; }

// The record's callers are C hosts that cannot unwind, so an exception from
// the effect stops here. These run on the audio path: the try costs nothing
// unless something throws, and the catch neither logs nor allocates.
template <typename Operation>
void runOnEffect(AEffect* e, Operation operation) noexcept
{
    if (PluginEffect* object = objectOf(e))
    {
        try
        {
            operation(*object);
        }
        catch (...)
        {
            // Nothing processed, nothing set.
        }
    }
}

template <typename Result, typename Operation>
Result askEffect(AEffect* e, Result fallback, Operation operation) noexcept
{
    PluginEffect* object = objectOf(e);
    if (!object)
        return fallback;
    try
    {
        return operation(*object);
    }
    catch (...)
    {
        return fallback;
    }
}
}  // namespace

VstIntPtr PluginEffect::dispatchEffectClass(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                            float opt)
{
    PluginEffect* object = objectOf(e);
    const VstIntPtr answer = askEffect(
        e, VstIntPtr{0}, [&](PluginEffect& effect) { return effect.dispatcher(opcode, index, value, ptr, opt); });
    // After effClose the host never touches the record again, so the effect
    // goes even when its own close failed.
    if (opcode == effClose && object)
    {
        delete object;
        return 1;
    }
    return answer;
}

void PluginEffect::processClass(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames)
{
    runOnEffect(e, [&](PluginEffect& object) { object.process(inputs, outputs, sampleFrames); });
}

void PluginEffect::setParameterClass(AEffect* e, VstInt32 index, float value)
{
    runOnEffect(e, [&](PluginEffect& object) { object.setParameter(index, value); });
}

float PluginEffect::getParameterClass(AEffect* e, VstInt32 index)
{
    return askEffect(e, 0.0f, [&](PluginEffect& object) { return object.getParameter(index); });
}

void PluginEffect::processClassReplacing(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames)
{
    runOnEffect(e, [&](PluginEffect& object) { object.processReplacing(inputs, outputs, sampleFrames); });
}

void PluginEffect::processClassDoubleReplacing(AEffect* e, double** inputs, double** outputs, VstInt32 sampleFrames)
{
    runOnEffect(e, [&](PluginEffect& object) { object.processDoubleReplacing(inputs, outputs, sampleFrames); });
}
