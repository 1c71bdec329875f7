// Answers to the hosted effect's calls back to its host (audioMaster).

#include "tandem/vst_plugin.h"

#include "tandem/tandem_trace.h"

#include <cstdio>

namespace
{
constexpr int kHostVstVersion = 2300;

// Trace names of the callbacks this host declines, indexed by opcode.
const char* unsupportedOpcodeName(int opcode)
{
    switch (opcode)
    {
    case audioMasterProcessEvents: return "ProcessEvents";
    case audioMasterSetTime: return "SetTime";
    case audioMasterTempoAt: return "TempoAt";
    case audioMasterGetNumAutomatableParameters: return "GetNumAutomatableParameters";
    case audioMasterIOChanged: return "IOChanged";
    case audioMasterGetInputLatency: return "GetInputLatency";
    case audioMasterGetOutputLatency: return "GetOutputLatency";
    case audioMasterGetPreviousPlug: return "GetPreviousPlug";
    case audioMasterGetNextPlug: return "GetNextPlug";
    case audioMasterWillReplaceOrAccumulate: return "WillReplaceOrAccumulate";
    case audioMasterGetAutomationState: return "GetAutomationState";
    case audioMasterOfflineStart: return "OfflineStart";
    case audioMasterOfflineRead: return "OfflineRead";
    case audioMasterOfflineWrite: return "OfflineWrite";
    case audioMasterOfflineGetCurrentPass: return "OfflineGetCurrentPass";
    case audioMasterOfflineGetCurrentMetaPass: return "OfflineGetCurrentMetaPass";
    case audioMasterSetOutputSampleRate: return "SetOutputSampleRate";
    case audioMasterGetOutputSpeakerArrangement: return "GetSpeakerArrangement";
    case audioMasterVendorSpecific: return "VendorSpecific";
    case audioMasterSetIcon: return "SetIcon";
    case audioMasterOpenWindow: return "OpenWindow";
    case audioMasterCloseWindow: return "CloseWindow";
    case audioMasterGetDirectory: return "GetDirectory";
    case audioMasterOpenFileSelector: return "OpenFileSelector";
    case audioMasterCloseFileSelector: return "CloseFileSelector";
    case audioMasterEditFile: return "EditFile";
    case audioMasterGetChunkFile: return "GetChunkFile";
    case audioMasterGetInputSpeakerArrangement: return "GetInputSpeakerArrangement";
    default: return nullptr;
    }
}
}  // namespace

VstIntPtr VSTPlugIn::staticAudioMasterCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                               void* ptr, float opt)
{
    try
    {
        VSTPlugIn* plugIn = nullptr;
        if (effect == nullptr)
        {
            plugIn = tempPlugInPointer;
        }
        else if (effect->resvd1 != 0)
        {
            plugIn = reinterpret_cast<VSTPlugIn*>(effect->resvd1);
            TANDEM_REQUIRE(plugIn->aeffect == effect);
        }
        else
        {
            plugIn = tempPlugInPointer;
            if (plugIn != nullptr)
            {
                plugIn->aeffect = effect;
            }
        }
        if (plugIn == nullptr)
        {
            // A call outside any open() from a record no object owns: only
            // the version question has an answer that needs no host.
            tandemTrace("VST audioMaster call without a host object: %d\n", static_cast<int>(opcode));
            return opcode == audioMasterVersion ? kHostVstVersion : 0;
        }
        return plugIn->myAudioMasterCallback(opcode, index, value, ptr, opt);
    }
    catch (...)
    {
        std::fprintf(stderr,
                     "\n exception in VST audiomaster callback (%i, %i)"
                     "\n Please report this to the plug-in's maker, together with the name and version of"
                     " your host application and what you were doing when it happened.\n",
                     static_cast<int>(opcode), static_cast<int>(index));
        return 0;
    }
}

VstIntPtr VSTPlugIn::myAudioMasterCallback(int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
    VstIntPtr answer = 0;
    if (answerEffectEvent(opcode, index, value, opt, answer) || answerHostQuestion(opcode, ptr, answer))
    {
        return answer;
    }
    if (const char* name = unsupportedOpcodeName(opcode))
    {
        tandemTrace("VST audioMaster%s (not supported)\n", name);
    }
    else
    {
        tandemTrace("VST unknown callback opcode: %d\n", opcode);
    }
    return 0;
}

// What the effect tells its host: edits, MIDI wishes, idling, its window and
// display, and its transport question asked while it runs.
bool VSTPlugIn::answerEffectEvent(int opcode, int index, VstIntPtr value, float opt, VstIntPtr& answer)
{
    switch (opcode)
    {
    case audioMasterAutomate:
        host.automate(*this, index, opt);
        answer = 0;
        return true;
    case audioMasterIdle:
        tandemTrace("VST audioMasterIdle\n");
        host.idle(*this);
        answer = 0;
        return true;
    case audioMasterPinConnected:
        tandemTrace("VST audioMasterPinConnected: i/o=%s, pin=%d\n", value == 0 ? "in" : "out", index);
        answer = host.isIOPinConnected(*this, value != 0, index) ? 0 : 1;
        return true;
    case audioMasterWantMidi:
        tandemTrace("VST audioMasterWantMidi\n");
        wantsMidiFlag = true;
        answer = 1;
        return true;
    case audioMasterGetTime:
        answer = reinterpret_cast<VstIntPtr>(host.getTimeInfo(*this, static_cast<int>(value)));
        return true;
    case audioMasterSizeWindow:
        tandemTrace("VST audioMasterSizeWindow: width=%d, height=%d\n", index, static_cast<int>(value));
        TANDEM_REQUIRE(editorOpenFlag);
        host.resizeWindow(*this, index, static_cast<int>(value));
        answer = 1;
        return true;
    case audioMasterUpdateDisplay:
        tandemTrace("VST audioMasterUpdateDisplay\n");
        host.updateDisplay(*this);
        answer = 1;
        return true;
    case audioMasterBeginEdit:
        tandemTrace("VST audioMasterBeginEdit: %d\n", index);
        host.beginEdit(*this, index);
        answer = 1;
        return true;
    case audioMasterEndEdit:
        tandemTrace("VST audioMasterEndEdit: %d\n", index);
        host.endEdit(*this, index);
        answer = 1;
        return true;
    default: return false;
    }
}

// What the effect asks of its host: who it is and what it can do, the rate,
// block size and process level.
bool VSTPlugIn::answerHostQuestion(int opcode, void* ptr, VstIntPtr& answer)
{
    switch (opcode)
    {
    case audioMasterVersion:
        tandemTrace("VST audioMasterVersion\n");
        answer = kHostVstVersion;
        return true;
    case audioMasterCurrentId:
        tandemTrace("VST audioMasterCurrentId\n");
        answer = aeffect != nullptr ? aeffect->uniqueID : 0;
        return true;
    case audioMasterGetParameterQuantization:
        tandemTrace("VST audioMasterGetParameterQuantization\n");
        answer = 1;
        return true;
    case audioMasterNeedIdle:
        tandemTrace("VST audioMasterNeedIdle\n");
        answer = 1;
        return true;
    case audioMasterGetSampleRate:
        tandemTrace("VST audioMasterGetSampleRate\n");
        TANDEM_REQUIRE(currentSampleRate != 0);
        answer = static_cast<VstIntPtr>(static_cast<double>(currentSampleRate) + 0.5);
        return true;
    case audioMasterGetBlockSize:
        tandemTrace("VST audioMasterGetBlockSize\n");
        answer = currentBlockSize;
        return true;
    case audioMasterGetCurrentProcessLevel: answer = 0; return true;
    case audioMasterGetVendorString:
        tandemTrace("VST audioMasterGetVendorString\n");
        host.getVendor(*this, static_cast<char*>(ptr));
        answer = 1;
        return true;
    case audioMasterGetProductString:
        tandemTrace("VST audioMasterGetProductString\n");
        host.getProduct(*this, static_cast<char*>(ptr));
        answer = 1;
        return true;
    case audioMasterGetVendorVersion:
        tandemTrace("VST audioMasterGetVendorVersion\n");
        answer = host.getVersion(*this);
        return true;
    case audioMasterCanDo:
        tandemTrace("VST audioMasterCanDo: %s\n", ptr != nullptr ? static_cast<const char*>(ptr) : "<null>");
        answer = host.canDo(*this, static_cast<const char*>(ptr)) ? 1 : 0;
        return true;
    case audioMasterGetLanguage:
        tandemTrace("VST audioMasterGetLanguage (not supported)\n");
        answer = 1;
        return true;
    default: return false;
    }
}
