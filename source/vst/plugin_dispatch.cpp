// Opcode decoding in two levels: PluginEffectX takes 25..79, PluginEffect
// 0..24, anything else answers 0. Each opcode becomes one virtual call.
//
// Texts and records come from the host through ptr; a null ptr on an opcode
// that writes or reads through it does nothing and answers 0.
#include "vst/plugin_effect_x.h"

#include "vst/effect_editor.h"

#include <cmath>
#include <cstdint>

namespace
{
constexpr VstInt32 kFirstBaseOpcode = effOpen;
constexpr VstInt32 kLastBaseOpcode = effSetChunk;
constexpr VstInt32 kFirstExtendedOpcode = effProcessEvents;
constexpr VstInt32 kLastExtendedOpcode = effGetNumMidiOutputChannels;
constexpr VstIntPtr kIdentifyAnswer = fourCharCode("NvEf");
constexpr double kVuScale = 32767.0;

bool inRange(VstInt32 opcode, VstInt32 first, VstInt32 last)
{
    return static_cast<std::uint32_t>(opcode) - static_cast<std::uint32_t>(first) <=
           static_cast<std::uint32_t>(last - first);
}

VstIntPtr answer(bool state) { return state ? 1 : 0; }

VstInt32 narrow(VstIntPtr value) { return static_cast<VstInt32>(value); }

// The modifier keys ride in opt; a value no int can hold gives no modifiers.
unsigned char modifierBits(float opt)
{
    if (!(std::fabs(opt) < 2147483648.0f))
        return 0;
    return static_cast<unsigned char>(static_cast<VstInt32>(opt) & 0xFF);
}
}  // namespace

VstIntPtr PluginEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    if (!inRange(opcode, kFirstBaseOpcode, kLastBaseOpcode))
        return 0;
    auto* text = static_cast<char*>(ptr);

    switch (opcode)
    {
    case effOpen: open(); return 0;
    case effClose: close(); return 0;
    case effSetProgram:
        if (value < numPrograms)
            setProgram(narrow(value));
        return 0;
    case effGetProgram: return getProgram();
    case effSetProgramName:
        if (text)
            setProgramName(text);
        return 0;
    case effGetProgramName:
        if (text)
            getProgramName(text);
        return 0;
    case effGetParamLabel:
        if (text)
            getParameterLabel(index, text);
        return 0;
    case effGetParamDisplay:
        if (text)
            getParameterDisplay(index, text);
        return 0;
    case effGetParamName:
        if (text)
            getParameterName(index, text);
        return 0;
    case effGetVu: return static_cast<VstIntPtr>(static_cast<double>(getVu()) * kVuScale);
    case effSetSampleRate: setSampleRate(opt); return 0;
    case effSetBlockSize: setBlockSize(narrow(value)); return 0;
    case effMainsChanged:
        if (value == 0)
            suspend();
        else
            resume();
        return 0;
    case effIdentify: return kIdentifyAnswer;
    case effGetChunk: return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk: return ptr ? setChunk(ptr, narrow(value), index != 0) : 0;
    default: break;
    }

    if (!editor)
        return 0;
    switch (opcode)
    {
    case effEditGetRect: return ptr ? answer(editor->getRect(static_cast<ERect**>(ptr))) : 0;
    case effEditOpen: return answer(editor->open(ptr));
    case effEditClose: editor->close(); return 0;
    case effEditDraw: editor->draw(static_cast<ERect*>(ptr)); return 0;
    case effEditMouse: return editor->mouse(index, narrow(value));
    case effEditKey: return editor->key(narrow(value));
    case effEditIdle: editor->idle(); return 0;
    case effEditTop: editor->top(); return 0;
    case effEditSleep: editor->sleep(); return 0;
    default: return 0;
    }
}

VstIntPtr PluginEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    if (!inRange(opcode, kFirstExtendedOpcode, kLastExtendedOpcode))
        return PluginEffect::dispatcher(opcode, index, value, ptr, opt);
    auto* text = static_cast<char*>(ptr);
    const bool flag = value != 0;

    switch (opcode)
    {
    case effProcessEvents: return processEvents(static_cast<VstEvents*>(ptr));
    case effCanBeAutomated: return answer(canParameterBeAutomated(index));
    case effString2Parameter: return text ? answer(string2parameter(index, text)) : 0;
    case effGetNumProgramCategories: return getNumCategories();
    case effGetProgramNameIndexed: return text ? answer(getProgramNameIndexed(narrow(value), index, text)) : 0;
    case effCopyProgram: return answer(copyProgram(index));
    case effConnectInput: inputConnected(index, flag); return 1;
    case effConnectOutput: outputConnected(index, flag); return 1;
    case effGetInputProperties: return ptr ? answer(getInputProperties(index, static_cast<VstPinProperties*>(ptr))) : 0;
    case effGetOutputProperties:
        return ptr ? answer(getOutputProperties(index, static_cast<VstPinProperties*>(ptr))) : 0;
    case effGetPlugCategory: return static_cast<std::uint32_t>(getPlugCategory());
    case effGetCurrentPosition: return reportCurrentPosition();
    case effGetDestinationBuffer: return reinterpret_cast<VstIntPtr>(reportDestinationBuffer());
    case effOfflineNotify: return answer(offlineNotify(static_cast<VstAudioFile*>(ptr), narrow(value), index != 0));
    case effOfflinePrepare: return answer(offlinePrepare(static_cast<VstOfflineTask*>(ptr), narrow(value)));
    case effOfflineRun: return answer(offlineRun(static_cast<VstOfflineTask*>(ptr), narrow(value)));
    case effProcessVarIo: return answer(processVariableIo(static_cast<VstVariableIo*>(ptr)));
    case effSetSpeakerArrangement:
        return answer(setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                            static_cast<VstSpeakerArrangement*>(ptr)));
    case effSetBlockSizeAndSampleRate: setBlockSizeAndSampleRate(narrow(value), opt); return 1;
    case effSetBypass: return answer(setBypass(flag));
    case effGetEffectName: return text ? answer(getEffectName(text)) : 0;
    case effGetErrorText: return text ? answer(getErrorText(text)) : 0;
    case effGetVendorString: return text ? answer(getVendorString(text)) : 0;
    case effGetProductString: return text ? answer(getProductString(text)) : 0;
    case effGetVendorVersion: return getVendorVersion();
    case effVendorSpecific: return vendorSpecific(index, value, ptr, opt);
    case effCanDo: return text ? canDo(text) : 0;
    case effGetTailSize: return getGetTailSize();
    case effIdle: return fxIdle();
    case effGetIcon: return reinterpret_cast<VstIntPtr>(getIcon());
    case effSetViewPosition: return answer(setViewPosition(index, narrow(value)));
    case effGetParameterProperties:
        return ptr ? answer(getParameterProperties(index, static_cast<VstParameterProperties*>(ptr))) : 0;
    case effKeysRequired: return keysRequired() ? 0 : 1;
    case effGetVstVersion: return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp:
    {
        if (!editor)
            return 0;
        VstKeyCode key{index, static_cast<unsigned char>(value & 0xFF), modifierBits(opt)};
        return answer(opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key));
    }
    case effSetEditKnobMode: return editor ? answer(editor->setKnobMode(narrow(value))) : 0;
    case effGetMidiProgramName: return getMidiProgramName(index, static_cast<MidiProgramName*>(ptr));
    case effGetCurrentMidiProgram: return getCurrentMidiProgram(index, static_cast<MidiProgramName*>(ptr));
    case effGetMidiProgramCategory: return getMidiProgramCategory(index, static_cast<MidiProgramCategory*>(ptr));
    case effHasMidiProgramsChanged: return answer(hasMidiProgramsChanged(index));
    case effGetMidiKeyName: return answer(getMidiKeyName(index, static_cast<MidiKeyName*>(ptr)));
    case effBeginSetProgram: return answer(beginSetProgram());
    case effEndSetProgram: return answer(endSetProgram());
    case effGetSpeakerArrangement:
        return answer(getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                                            static_cast<VstSpeakerArrangement**>(ptr)));
    case effShellGetNextPlugin: return text ? getNextShellPlugin(text) : 0;
    case effStartProcess: return startProcess();
    case effStopProcess: return stopProcess();
    case effSetTotalSampleToProcess: return setTotalSampleToProcess(narrow(value));
    case effSetPanLaw: return answer(setPanLaw(narrow(value), opt));
    case effBeginLoadBank: return beginLoadBank(static_cast<VstPatchChunkInfo*>(ptr));
    case effBeginLoadProgram: return beginLoadProgram(static_cast<VstPatchChunkInfo*>(ptr));
    case effSetProcessPrecision: return answer(setProcessPrecision(narrow(value)));
    case effGetNumMidiInputChannels: return getNumMidiInputChannels();
    case effGetNumMidiOutputChannels: return getNumMidiOutputChannels();
    default: return 0;
    }
}
