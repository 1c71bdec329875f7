// The 2.x answers an effect gives unless it replaces them: "not handled".
#include "vst/plugin_effect_x.h"

#include "vst/vst_caps.h"

#include <cstring>

namespace
{
constexpr VstInt32 kVstVersion = 2400;
constexpr VstInt32 kCategoryUnknown = 0;
constexpr VstInt32 kCategorySynth = 2;
}  // namespace

PluginEffectX::PluginEffectX(audioMasterCallback host, VstInt32 programCount, VstInt32 paramCount)
    : PluginEffect(host, programCount, paramCount)
{}

void PluginEffectX::resume()
{
    char receiveMidi[sizeof(EffectCaps::canDoReceiveVstMidiEvent)];
    std::memcpy(receiveMidi, EffectCaps::canDoReceiveVstMidiEvent, sizeof(receiveMidi));
    if ((cEffect.flags & effFlagsIsSynth) != 0 || canDo(receiveMidi) == 1)
        wantEvents(1);
}

bool PluginEffectX::canParameterBeAutomated(VstInt32) { return true; }
bool PluginEffectX::string2parameter(VstInt32, char*) { return false; }
bool PluginEffectX::getParameterProperties(VstInt32, VstParameterProperties*) { return false; }
bool PluginEffectX::getProgramNameIndexed(VstInt32, VstInt32, char*) { return false; }
bool PluginEffectX::beginSetProgram() { return false; }
bool PluginEffectX::endSetProgram() { return false; }
VstInt32 PluginEffectX::beginLoadBank(VstPatchChunkInfo*) { return 0; }
VstInt32 PluginEffectX::beginLoadProgram(VstPatchChunkInfo*) { return 0; }
bool PluginEffectX::getInputProperties(VstInt32, VstPinProperties*) { return false; }
bool PluginEffectX::getOutputProperties(VstInt32, VstPinProperties*) { return false; }
bool PluginEffectX::setSpeakerArrangement(VstSpeakerArrangement*, VstSpeakerArrangement*) { return false; }

bool PluginEffectX::getSpeakerArrangement(VstSpeakerArrangement** pluginInput, VstSpeakerArrangement** pluginOutput)
{
    if (pluginInput)
        *pluginInput = nullptr;
    if (pluginOutput)
        *pluginOutput = nullptr;
    return false;
}

bool PluginEffectX::setBypass(bool) { return false; }
bool PluginEffectX::setPanLaw(VstInt32, float) { return false; }
bool PluginEffectX::setProcessPrecision(VstInt32) { return false; }
VstInt32 PluginEffectX::getNumMidiInputChannels() { return 0; }
VstInt32 PluginEffectX::getNumMidiOutputChannels() { return 0; }
VstInt32 PluginEffectX::processEvents(VstEvents*) { return 0; }
VstInt32 PluginEffectX::startProcess() { return 0; }
VstInt32 PluginEffectX::stopProcess() { return 0; }
bool PluginEffectX::processVariableIo(VstVariableIo*) { return false; }
VstInt32 PluginEffectX::setTotalSampleToProcess(VstInt32 value) { return value; }
void PluginEffectX::isSynth(bool state) { setFlag(effFlagsIsSynth, state); }
void PluginEffectX::noTail(bool state) { setFlag(effFlagsNoSoundInStop, state); }
// 1 means "no tail" in the 2.4 convention (0 would mean "unknown").
VstInt32 PluginEffectX::getGetTailSize() { return 1; }
bool PluginEffectX::getEffectName(char*) { return false; }
bool PluginEffectX::getVendorString(char*) { return false; }
bool PluginEffectX::getProductString(char*) { return false; }
VstInt32 PluginEffectX::getVendorVersion() { return 0; }
VstIntPtr PluginEffectX::vendorSpecific(VstInt32, VstIntPtr, void*, float) { return 0; }
VstInt32 PluginEffectX::canDo(char*) { return 0; }
VstInt32 PluginEffectX::getVstVersion() { return kVstVersion; }

VstInt32 PluginEffectX::getPlugCategory()
{
    return (cEffect.flags & effFlagsIsSynth) != 0 ? kCategorySynth : kCategoryUnknown;
}

VstInt32 PluginEffectX::getMidiProgramName(VstInt32, MidiProgramName*) { return 0; }
VstInt32 PluginEffectX::getCurrentMidiProgram(VstInt32, MidiProgramName*) { return -1; }
VstInt32 PluginEffectX::getMidiProgramCategory(VstInt32, MidiProgramCategory*) { return 0; }
bool PluginEffectX::hasMidiProgramsChanged(VstInt32) { return false; }
bool PluginEffectX::getMidiKeyName(VstInt32, MidiKeyName*) { return false; }
VstInt32 PluginEffectX::getNextShellPlugin(char*) { return 0; }
bool PluginEffectX::offlineNotify(VstAudioFile*, VstInt32, bool) { return false; }
bool PluginEffectX::offlinePrepare(VstOfflineTask*, VstInt32) { return false; }
bool PluginEffectX::offlineRun(VstOfflineTask*, VstInt32) { return false; }
VstInt32 PluginEffectX::offlineGetNumPasses() { return 0; }
VstInt32 PluginEffectX::offlineGetNumMetaPasses() { return 0; }
VstInt32 PluginEffectX::getNumCategories() { return 1; }
bool PluginEffectX::copyProgram(VstInt32) { return false; }
void PluginEffectX::inputConnected(VstInt32, bool) {}
void PluginEffectX::outputConnected(VstInt32, bool) {}
void PluginEffectX::wantAsyncOperation(bool state) { setFlag(effFlagsExtIsAsync, state); }
void PluginEffectX::hasExternalBuffer(bool state) { setFlag(effFlagsExtHasBuffer, state); }
VstInt32 PluginEffectX::reportCurrentPosition() { return 0; }
float* PluginEffectX::reportDestinationBuffer() { return nullptr; }

void PluginEffectX::setBlockSizeAndSampleRate(VstInt32 newBlockSize, float newSampleRate)
{
    blockSize = newBlockSize;
    sampleRate = newSampleRate;
}

bool PluginEffectX::getErrorText(char*) { return false; }
void* PluginEffectX::getIcon() { return nullptr; }
bool PluginEffectX::setViewPosition(VstInt32, VstInt32) { return false; }
VstInt32 PluginEffectX::fxIdle() { return 0; }
bool PluginEffectX::keysRequired() { return false; }
