// The 2.x calls from the effect to its host. Without a host callHost answers
// 0, and every fallback below follows from reading that 0.
#include "vst/plugin_effect_x.h"

namespace
{
VstInt32 asInt(VstIntPtr answer) { return static_cast<VstInt32>(answer); }
}  // namespace

bool PluginEffectX::beginEdit(VstInt32 index) { return callHost(audioMasterBeginEdit, index) != 0; }
bool PluginEffectX::endEdit(VstInt32 index) { return callHost(audioMasterEndEdit, index) != 0; }
bool PluginEffectX::ioChanged() { return callHost(audioMasterIOChanged) != 0; }

double PluginEffectX::updateSampleRate()
{
    const VstIntPtr answer = callHost(audioMasterGetSampleRate);
    if (answer > 0)
        sampleRate = static_cast<float>(answer);
    return sampleRate;
}

VstInt32 PluginEffectX::updateBlockSize()
{
    const VstInt32 answer = asInt(callHost(audioMasterGetBlockSize));
    if (answer > 0)
        blockSize = answer;
    return blockSize;
}

VstInt32 PluginEffectX::getInputLatency() { return asInt(callHost(audioMasterGetInputLatency)); }
VstInt32 PluginEffectX::getOutputLatency() { return asInt(callHost(audioMasterGetOutputLatency)); }

VstTimeInfo* PluginEffectX::getTimeInfo(VstInt32 filter)
{
    return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}

VstInt32 PluginEffectX::getCurrentProcessLevel() { return asInt(callHost(audioMasterGetCurrentProcessLevel)); }
VstInt32 PluginEffectX::getAutomationState() { return asInt(callHost(audioMasterGetAutomationState)); }
bool PluginEffectX::getHostVendorString(char* text) { return callHost(audioMasterGetVendorString, 0, 0, text) != 0; }
bool PluginEffectX::getHostProductString(char* text) { return callHost(audioMasterGetProductString, 0, 0, text) != 0; }
VstInt32 PluginEffectX::getHostVendorVersion() { return asInt(callHost(audioMasterGetVendorVersion)); }

VstIntPtr PluginEffectX::hostVendorSpecific(VstInt32 lArg1, VstIntPtr lArg2, void* ptrArg, float floatArg)
{
    return callHost(audioMasterVendorSpecific, lArg1, lArg2, ptrArg, floatArg);
}

// Any non-zero answer counts as "can do", -1 included.
VstInt32 PluginEffectX::canHostDo(char* text) { return callHost(audioMasterCanDo, 0, 0, text) != 0 ? 1 : 0; }
VstInt32 PluginEffectX::getHostLanguage() { return asInt(callHost(audioMasterGetLanguage)); }
void* PluginEffectX::getDirectory() { return reinterpret_cast<void*>(callHost(audioMasterGetDirectory)); }
bool PluginEffectX::updateDisplay() { return callHost(audioMasterUpdateDisplay) != 0; }

bool PluginEffectX::sizeWindow(VstInt32 width, VstInt32 height)
{
    return callHost(audioMasterSizeWindow, width, height) != 0;
}

bool PluginEffectX::openFileSelector(VstFileSelect* select)
{
    return select && callHost(audioMasterOpenFileSelector, 0, 0, select) != 0;
}

bool PluginEffectX::closeFileSelector(VstFileSelect* select)
{
    return select && callHost(audioMasterCloseFileSelector, 0, 0, select) != 0;
}

bool PluginEffectX::getChunkFile(void* nativePath)
{
    return nativePath && callHost(audioMasterGetChunkFile, 0, 0, nativePath) != 0;
}

bool PluginEffectX::offlineRead(VstOfflineTask* offline, VstOfflineOption option, bool readSource)
{
    return callHost(audioMasterOfflineRead, readSource ? 1 : 0, option, offline) != 0;
}

bool PluginEffectX::offlineWrite(VstOfflineTask* offline, VstOfflineOption option)
{
    return callHost(audioMasterOfflineWrite, 0, option, offline) != 0;
}

bool PluginEffectX::offlineStart(VstAudioFile* ptr, VstInt32 numAudioFiles, VstInt32 numNewAudioFiles)
{
    return callHost(audioMasterOfflineStart, numNewAudioFiles, numAudioFiles, ptr) != 0;
}

VstInt32 PluginEffectX::offlineGetCurrentPass() { return callHost(audioMasterOfflineGetCurrentPass) != 0 ? 1 : 0; }

VstInt32 PluginEffectX::offlineGetCurrentMetaPass()
{
    return callHost(audioMasterOfflineGetCurrentMetaPass) != 0 ? 1 : 0;
}

void PluginEffectX::wantEvents(VstInt32 filter) { callHost(audioMasterWantMidi, 0, filter); }
VstInt32 PluginEffectX::tempoAt(VstInt32 position) { return asInt(callHost(audioMasterTempoAt, 0, position)); }

VstInt32 PluginEffectX::getNumAutomatableParameters()
{
    return asInt(callHost(audioMasterGetNumAutomatableParameters));
}

VstInt32 PluginEffectX::getParameterQuantization() { return asInt(callHost(audioMasterGetParameterQuantization)); }

bool PluginEffectX::needIdle() { return callHost(audioMasterNeedIdle) != 0; }

// The pin number is not passed on: hosts answer for the whole chain.
AEffect* PluginEffectX::getPreviousPlug(VstInt32)
{
    return reinterpret_cast<AEffect*>(callHost(audioMasterGetPreviousPlug));
}

AEffect* PluginEffectX::getNextPlug(VstInt32) { return reinterpret_cast<AEffect*>(callHost(audioMasterGetNextPlug)); }

VstInt32 PluginEffectX::willProcessReplacing() { return asInt(callHost(audioMasterWillReplaceOrAccumulate)); }
void PluginEffectX::setOutputSamplerate(float rate) { callHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, rate); }

VstSpeakerArrangement* PluginEffectX::getInputSpeakerArrangement()
{
    return reinterpret_cast<VstSpeakerArrangement*>(callHost(audioMasterGetInputSpeakerArrangement));
}

VstSpeakerArrangement* PluginEffectX::getOutputSpeakerArrangement()
{
    return reinterpret_cast<VstSpeakerArrangement*>(callHost(audioMasterGetOutputSpeakerArrangement));
}

void* PluginEffectX::openWindow(VstWindow* window)
{
    return reinterpret_cast<void*>(callHost(audioMasterOpenWindow, 0, 0, window));
}

bool PluginEffectX::closeWindow(VstWindow* window) { return callHost(audioMasterCloseWindow, 0, 0, window) != 0; }

bool PluginEffectX::sendVstEventsToHost(VstEvents* events)
{
    return callHost(audioMasterProcessEvents, 0, 0, events) == 1;
}
