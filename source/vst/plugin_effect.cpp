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

PluginEffect::~PluginEffect()
{
    delete editor;
}

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
PluginEffect* objectOf(AEffect* e)
{
    return e ? static_cast<PluginEffect*>(e->object) : nullptr;
}
}  // namespace

VstIntPtr PluginEffect::dispatchEffectClass(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                            float opt)
{
    PluginEffect* object = objectOf(e);
    if (!object)
        return 0;
    const VstIntPtr answer = object->dispatcher(opcode, index, value, ptr, opt);
    if (opcode == effClose)
    {
        delete object;
        return 1;
    }
    return answer;
}

void PluginEffect::processClass(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames)
{
    if (PluginEffect* object = objectOf(e))
        object->process(inputs, outputs, sampleFrames);
}

void PluginEffect::setParameterClass(AEffect* e, VstInt32 index, float value)
{
    if (PluginEffect* object = objectOf(e))
        object->setParameter(index, value);
}

float PluginEffect::getParameterClass(AEffect* e, VstInt32 index)
{
    PluginEffect* object = objectOf(e);
    return object ? object->getParameter(index) : 0.0f;
}

void PluginEffect::processClassReplacing(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames)
{
    if (PluginEffect* object = objectOf(e))
        object->processReplacing(inputs, outputs, sampleFrames);
}

void PluginEffect::processClassDoubleReplacing(AEffect* e, double** inputs, double** outputs, VstInt32 sampleFrames)
{
    if (PluginEffect* object = objectOf(e))
        object->processDoubleReplacing(inputs, outputs, sampleFrames);
}
