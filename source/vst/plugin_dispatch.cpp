// Opcode decoding in two levels: PluginEffectX takes 25..79, PluginEffect
// 0..24, anything else answers 0. Each opcode becomes one virtual call.
//
// Texts and records come from the host through ptr; a null ptr on an opcode
// that writes or reads through it does nothing and answers 0.
#include "vst/plugin_effect_x.h"

#include "vst/effect_editor.h"

#include <cmath>
#include <cstdint>
#include <optional>

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
    return dispatchBase({opcode, index, value, ptr, opt});
}

VstIntPtr PluginEffect::dispatchBase(const OpcodeCall& call)
{
    char* const text = call.text();
    switch (call.opcode)
    {
    case effOpen: open(); return 0;
    case effClose: close(); return 0;
    case effSetProgram:
        if (call.value < numPrograms)
            setProgram(narrow(call.value));
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
            getParameterLabel(call.index, text);
        return 0;
    case effGetParamDisplay:
        if (text)
            getParameterDisplay(call.index, text);
        return 0;
    case effGetParamName:
        if (text)
            getParameterName(call.index, text);
        return 0;
    case effGetVu: return static_cast<VstIntPtr>(static_cast<double>(getVu()) * kVuScale);
    case effSetSampleRate: setSampleRate(call.opt); return 0;
    case effSetBlockSize: setBlockSize(narrow(call.value)); return 0;
    case effMainsChanged:
        if (call.value == 0)
            suspend();
        else
            resume();
        return 0;
    case effIdentify: return kIdentifyAnswer;
    case effGetChunk: return call.ptr ? getChunk(static_cast<void**>(call.ptr), call.index != 0) : 0;
    case effSetChunk: return call.ptr ? setChunk(call.ptr, narrow(call.value), call.index != 0) : 0;
    default: return dispatchEditor(call);
    }
}

// Without an editor every editor opcode answers 0.
VstIntPtr PluginEffect::dispatchEditor(const OpcodeCall& call)
{
    if (!editor)
        return 0;
    switch (call.opcode)
    {
    case effEditGetRect: return call.ptr ? answer(editor->getRect(static_cast<ERect**>(call.ptr))) : 0;
    case effEditOpen: return answer(editor->open(call.ptr));
    case effEditClose: editor->close(); return 0;
    case effEditDraw: editor->draw(static_cast<ERect*>(call.ptr)); return 0;
    case effEditMouse: return editor->mouse(call.index, narrow(call.value));
    case effEditKey: return editor->key(narrow(call.value));
    case effEditIdle: editor->idle(); return 0;
    case effEditTop: editor->top(); return 0;
    case effEditSleep: editor->sleep(); return 0;
    default: return 0;
    }
}

// Each group answers the opcodes it knows and passes on the rest.
VstIntPtr PluginEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    if (!inRange(opcode, kFirstExtendedOpcode, kLastExtendedOpcode))
        return PluginEffect::dispatcher(opcode, index, value, ptr, opt);
    const OpcodeCall call{opcode, index, value, ptr, opt};
    if (const auto answered = dispatchProcessing(call))
        return *answered;
    if (const auto answered = dispatchPrograms(call))
        return *answered;
    if (const auto answered = dispatchDescription(call))
        return *answered;
    return dispatchView(call);
}

// Audio, pins, speaker arrangements and offline processing.
std::optional<VstIntPtr> PluginEffectX::dispatchProcessing(const OpcodeCall& call)
{
    switch (call.opcode)
    {
    case effProcessEvents: return processEvents(static_cast<VstEvents*>(call.ptr));
    case effConnectInput: inputConnected(call.index, call.flag()); return 1;
    case effConnectOutput: outputConnected(call.index, call.flag()); return 1;
    case effGetInputProperties:
        return call.ptr ? answer(getInputProperties(call.index, static_cast<VstPinProperties*>(call.ptr))) : 0;
    case effGetOutputProperties:
        return call.ptr ? answer(getOutputProperties(call.index, static_cast<VstPinProperties*>(call.ptr))) : 0;
    case effGetCurrentPosition: return reportCurrentPosition();
    case effGetDestinationBuffer: return reinterpret_cast<VstIntPtr>(reportDestinationBuffer());
    case effOfflineNotify:
        return answer(offlineNotify(static_cast<VstAudioFile*>(call.ptr), narrow(call.value), call.index != 0));
    case effOfflinePrepare: return answer(offlinePrepare(static_cast<VstOfflineTask*>(call.ptr), narrow(call.value)));
    case effOfflineRun: return answer(offlineRun(static_cast<VstOfflineTask*>(call.ptr), narrow(call.value)));
    case effProcessVarIo: return answer(processVariableIo(static_cast<VstVariableIo*>(call.ptr)));
    case effSetSpeakerArrangement:
        return answer(setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(call.value),
                                            static_cast<VstSpeakerArrangement*>(call.ptr)));
    case effGetSpeakerArrangement:
        return answer(getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(call.value),
                                            static_cast<VstSpeakerArrangement**>(call.ptr)));
    case effSetBlockSizeAndSampleRate: setBlockSizeAndSampleRate(narrow(call.value), call.opt); return 1;
    case effSetBypass: return answer(setBypass(call.flag()));
    case effStartProcess: return startProcess();
    case effStopProcess: return stopProcess();
    case effSetTotalSampleToProcess: return setTotalSampleToProcess(narrow(call.value));
    case effSetPanLaw: return answer(setPanLaw(narrow(call.value), call.opt));
    case effSetProcessPrecision: return answer(setProcessPrecision(narrow(call.value)));
    default: return std::nullopt;
    }
}

// Parameters, programs, banks and MIDI programs and channels.
std::optional<VstIntPtr> PluginEffectX::dispatchPrograms(const OpcodeCall& call)
{
    char* const text = call.text();
    switch (call.opcode)
    {
    case effCanBeAutomated: return answer(canParameterBeAutomated(call.index));
    case effString2Parameter: return text ? answer(string2parameter(call.index, text)) : 0;
    case effGetParameterProperties:
        return call.ptr ? answer(getParameterProperties(call.index, static_cast<VstParameterProperties*>(call.ptr)))
                        : 0;
    case effGetNumProgramCategories: return getNumCategories();
    case effGetProgramNameIndexed:
        return text ? answer(getProgramNameIndexed(narrow(call.value), call.index, text)) : 0;
    case effCopyProgram: return answer(copyProgram(call.index));
    case effBeginSetProgram: return answer(beginSetProgram());
    case effEndSetProgram: return answer(endSetProgram());
    case effBeginLoadBank: return beginLoadBank(static_cast<VstPatchChunkInfo*>(call.ptr));
    case effBeginLoadProgram: return beginLoadProgram(static_cast<VstPatchChunkInfo*>(call.ptr));
    case effGetMidiProgramName: return getMidiProgramName(call.index, static_cast<MidiProgramName*>(call.ptr));
    case effGetCurrentMidiProgram: return getCurrentMidiProgram(call.index, static_cast<MidiProgramName*>(call.ptr));
    case effGetMidiProgramCategory:
        return getMidiProgramCategory(call.index, static_cast<MidiProgramCategory*>(call.ptr));
    case effHasMidiProgramsChanged: return answer(hasMidiProgramsChanged(call.index));
    case effGetMidiKeyName: return answer(getMidiKeyName(call.index, static_cast<MidiKeyName*>(call.ptr)));
    case effGetNumMidiInputChannels: return getNumMidiInputChannels();
    case effGetNumMidiOutputChannels: return getNumMidiOutputChannels();
    default: return std::nullopt;
    }
}

// Who the effect is and what it can do.
std::optional<VstIntPtr> PluginEffectX::dispatchDescription(const OpcodeCall& call)
{
    char* const text = call.text();
    switch (call.opcode)
    {
    case effGetPlugCategory: return static_cast<std::uint32_t>(getPlugCategory());
    case effGetEffectName: return text ? answer(getEffectName(text)) : 0;
    case effGetErrorText: return text ? answer(getErrorText(text)) : 0;
    case effGetVendorString: return text ? answer(getVendorString(text)) : 0;
    case effGetProductString: return text ? answer(getProductString(text)) : 0;
    case effGetVendorVersion: return getVendorVersion();
    case effVendorSpecific: return vendorSpecific(call.index, call.value, call.ptr, call.opt);
    case effCanDo: return text ? canDo(text) : 0;
    case effGetTailSize: return getGetTailSize();
    case effGetIcon: return reinterpret_cast<VstIntPtr>(getIcon());
    case effGetVstVersion: return getVstVersion();
    case effShellGetNextPlugin: return text ? getNextShellPlugin(text) : 0;
    default: return std::nullopt;
    }
}

// Idle time, the view and the editor's keys; opcodes no group knows answer 0.
VstIntPtr PluginEffectX::dispatchView(const OpcodeCall& call)
{
    switch (call.opcode)
    {
    case effIdle: return fxIdle();
    case effSetViewPosition: return answer(setViewPosition(call.index, narrow(call.value)));
    case effKeysRequired: return keysRequired() ? 0 : 1;
    case effEditKeyDown:
    case effEditKeyUp:
    {
        if (!editor)
            return 0;
        VstKeyCode key{call.index, static_cast<unsigned char>(call.value & 0xFF), modifierBits(call.opt)};
        return answer(call.opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key));
    }
    case effSetEditKnobMode: return editor ? answer(editor->setKnobMode(narrow(call.value))) : 0;
    default: return 0;
    }
}
