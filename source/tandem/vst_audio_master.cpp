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
    switch (opcode)
    {
    case audioMasterAutomate: host.automate(*this, index, opt); return 0;
    case audioMasterVersion: tandemTrace("VST audioMasterVersion\n"); return kHostVstVersion;
    case audioMasterCurrentId:
        tandemTrace("VST audioMasterCurrentId\n");
        return aeffect != nullptr ? aeffect->uniqueID : 0;
    case audioMasterIdle:
        tandemTrace("VST audioMasterIdle\n");
        host.idle(*this);
        return 0;
    case audioMasterPinConnected:
        tandemTrace("VST audioMasterPinConnected: i/o=%s, pin=%d\n", value == 0 ? "in" : "out", index);
        return host.isIOPinConnected(*this, value != 0, index) ? 0 : 1;
    case audioMasterWantMidi:
        tandemTrace("VST audioMasterWantMidi\n");
        wantsMidiFlag = true;
        return 1;
    case audioMasterGetTime: return reinterpret_cast<VstIntPtr>(host.getTimeInfo(*this, static_cast<int>(value)));
    case audioMasterGetParameterQuantization: tandemTrace("VST audioMasterGetParameterQuantization\n"); return 1;
    case audioMasterNeedIdle: tandemTrace("VST audioMasterNeedIdle\n"); return 1;
    case audioMasterSizeWindow:
        tandemTrace("VST audioMasterSizeWindow: width=%d, height=%d\n", index, static_cast<int>(value));
        TANDEM_REQUIRE(editorOpenFlag);
        host.resizeWindow(*this, index, static_cast<int>(value));
        return 1;
    case audioMasterGetSampleRate:
        tandemTrace("VST audioMasterGetSampleRate\n");
        TANDEM_REQUIRE(currentSampleRate != 0);
        return static_cast<VstIntPtr>(static_cast<double>(currentSampleRate) + 0.5);
    case audioMasterGetBlockSize: tandemTrace("VST audioMasterGetBlockSize\n"); return currentBlockSize;
    case audioMasterGetCurrentProcessLevel: return 0;
    case audioMasterGetVendorString:
        tandemTrace("VST audioMasterGetVendorString\n");
        host.getVendor(*this, static_cast<char*>(ptr));
        return 1;
    case audioMasterGetProductString:
        tandemTrace("VST audioMasterGetProductString\n");
        host.getProduct(*this, static_cast<char*>(ptr));
        return 1;
    case audioMasterGetVendorVersion: tandemTrace("VST audioMasterGetVendorVersion\n"); return host.getVersion(*this);
    case audioMasterCanDo:
        tandemTrace("VST audioMasterCanDo: %s\n", ptr != nullptr ? static_cast<const char*>(ptr) : "<null>");
        return host.canDo(*this, static_cast<const char*>(ptr)) ? 1 : 0;
    case audioMasterGetLanguage: tandemTrace("VST audioMasterGetLanguage (not supported)\n"); return 1;
    case audioMasterUpdateDisplay:
        tandemTrace("VST audioMasterUpdateDisplay\n");
        host.updateDisplay(*this);
        return 1;
    case audioMasterBeginEdit:
        tandemTrace("VST audioMasterBeginEdit: %d\n", index);
        host.beginEdit(*this, index);
        return 1;
    case audioMasterEndEdit:
        tandemTrace("VST audioMasterEndEdit: %d\n", index);
        host.endEdit(*this, index);
        return 1;
    default: break;
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
