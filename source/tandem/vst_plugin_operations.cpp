// One typed operation per dispatcher opcode the Audio Unit layer sends.

#include "tandem/vst_plugin.h"

#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_trace.h"

#include <algorithm>
#include <cstring>

namespace
{
// Program names are at most 24 characters; callers' buffers hold 25.
constexpr std::size_t kMaxNameLength = 24;
// Effects write names into this much zero-filled room, whatever they claim.
constexpr std::size_t kScratchSize = 1024;

// At most 24 characters, the rest of the caller's 25 zero-filled.
void copyCutName(char* name, const char* scratch)
{
    std::memset(name, 0, kMaxNameLength + 1);
    std::memcpy(name, scratch, strnlen(scratch, kMaxNameLength));
}

const char* onOff(bool on) { return on ? "on" : "off"; }
}  // namespace

void VSTPlugIn::copyName(int opcode, int index, VstIntPtr value, char* name)
{
    char scratch[kScratchSize] = {};
    dispatch(opcode, index, value, scratch, 0.0f);
    copyCutName(name, scratch);
}

void VSTPlugIn::setSampleRate(float rate)
{
    tandemTrace("VST setSampleRate: %f\n", rate);
    currentSampleRate = rate;
    if (openFlag)
    {
        dispatch(effSetSampleRate, 0, 0, nullptr, rate);
    }
}

void VSTPlugIn::setBlockSize(int size)
{
    tandemTrace("VST setBlockSize: %d\n", size);
    currentBlockSize = size;
    if (openFlag)
    {
        dispatch(effSetBlockSize, 0, size, nullptr, 0.0f);
    }
}

void VSTPlugIn::setCurrentProgram(int program)
{
    tandemTrace("VST setCurrentProgram: %d\n", program);
    TANDEM_REQUIRE(program >= 0 && program < getProgramCount());
    dispatch(effSetProgram, 0, program, nullptr, 0.0f);
}

int VSTPlugIn::getCurrentProgram()
{
    tandemTrace("VST getCurrentProgram\n");
    const VstIntPtr answer = dispatch(effGetProgram, 0, 0, nullptr, 0.0f);
    return static_cast<int>(std::min<VstIntPtr>(answer, getProgramCount()));
}

void VSTPlugIn::getCurrentProgramName(char* name)
{
    tandemTrace("VST getCurrentProgramName\n");
    copyName(effGetProgramName, 0, 0, name);
}

void VSTPlugIn::setCurrentProgramName(const char* programName)
{
    tandemTrace("VST setCurrentProgramName: %s\n", programName);
    TANDEM_REQUIRE(strlen(programName) <= 24);
    dispatch(effSetProgramName, 0, 0, const_cast<char*>(programName), 0.0f);
}

bool VSTPlugIn::getProgramName(int programIndex, char* name)
{
    tandemTrace("VST getProgramName: %d\n", programIndex);
    TANDEM_REQUIRE(aeffect != 0);
    TANDEM_REQUIRE(programIndex < aeffect->numPrograms);
    char scratch[kScratchSize] = {};
    if (dispatch(effGetProgramNameIndexed, programIndex, -1, scratch, 0.0f) == 0)
    {
        return false;
    }
    copyCutName(name, scratch);
    return true;
}

void VSTPlugIn::getParameterName(int index, char* name)
{
    tandemTrace("VST getParameterName: %d\n", index);
    copyName(effGetParamName, index, -1, name);
}

void VSTPlugIn::getParameterDisplay(int index, char* text)
{
    tandemTrace("VST getParameterDisplay: %d\n", index);
    copyName(effGetParamDisplay, index, -1, text);
}

void VSTPlugIn::getParameterLabel(int index, char* label)
{
    tandemTrace("VST getParameterLabel: %d\n", index);
    copyName(effGetParamLabel, index, -1, label);
}

bool VSTPlugIn::setParameterFromString(int index, const char* text)
{
    tandemTrace("VST setParameterFromString: %d=%s\n", index, text != nullptr ? text : "<null>");
    return dispatch(effString2Parameter, index, 0, const_cast<char*>(text), 0.0f) != 0;
}

void VSTPlugIn::resume()
{
    tandemTrace("VST resume\n");
    TANDEM_REQUIRE(aeffect != 0);
    TANDEM_REQUIRE(openFlag);
    TANDEM_REQUIRE(!resumedFlag);
    dispatch(effMainsChanged, 0, 1, nullptr, 0.0f);
    resumedFlag = true;
}

void VSTPlugIn::suspend()
{
    tandemTrace("VST suspend\n");
    TANDEM_REQUIRE(aeffect != 0);
    TANDEM_REQUIRE(openFlag);
    TANDEM_REQUIRE(resumedFlag);
    dispatch(effMainsChanged, 0, 0, nullptr, 0.0f);
    resumedFlag = false;
}

void VSTPlugIn::processEvents(const VstEvents& events)
{
    TANDEM_REQUIRE(openFlag && resumedFlag);
    dispatch(effProcessEvents, 0, 0, const_cast<VstEvents*>(&events), 0.0f);
}

VstIntPtr VSTPlugIn::getTailSize() { return dispatch(effGetTailSize, 0, 0, nullptr, 0.0f); }

VstIntPtr VSTPlugIn::vendorSpecific(int index, VstIntPtr value, void* ptr, float opt)
{
    return dispatch(effVendorSpecific, index, value, ptr, opt);
}

bool VSTPlugIn::setBypass(bool bypass)
{
    tandemTrace("VST setBypass: %s\n", onOff(bypass));
    return dispatch(effSetBypass, 0, bypass ? 1 : 0, nullptr, 0.0f) != 0;
}

bool VSTPlugIn::getInputProperties(int inputPinIndex, VstPinProperties& properties)
{
    tandemTrace("VST getInputProperties: %d\n", inputPinIndex);
    TANDEM_REQUIRE(0 <= inputPinIndex && inputPinIndex < getInputCount());
    return dispatch(effGetInputProperties, inputPinIndex, 0, &properties, 0.0f) != 0;
}

bool VSTPlugIn::getOutputProperties(int outputPinIndex, VstPinProperties& properties)
{
    tandemTrace("VST getOutputProperties: %d\n", outputPinIndex);
    TANDEM_REQUIRE(0 <= outputPinIndex && outputPinIndex < getOutputCount());
    return dispatch(effGetOutputProperties, outputPinIndex, 0, &properties, 0.0f) != 0;
}

VstIntPtr VSTPlugIn::connectInputPin(int index, bool connected)
{
    tandemTrace("VST connectInputPin: %d=%s\n", index, onOff(connected));
    return dispatch(effConnectInput, index, connected ? 1 : 0, nullptr, 0.0f);
}

VstIntPtr VSTPlugIn::connectOutputPin(int index, bool connected)
{
    tandemTrace("VST connectOutputPin: %d=%s\n", index, onOff(connected));
    return dispatch(effConnectOutput, index, connected ? 1 : 0, nullptr, 0.0f);
}

VstIntPtr VSTPlugIn::getVersion()
{
    tandemTrace("VST getVersion\n");
    return dispatch(effGetVstVersion, 0, 0, nullptr, 0.0f);
}

VstIntPtr VSTPlugIn::idle()
{
    VstIntPtr answer = dispatch(effIdle, 0, 0, nullptr, 0.0f);
    if (editorOpenFlag)
    {
        answer = dispatch(effEditIdle, 0, 0, nullptr, 0.0f);
    }
    return answer;
}

void VSTPlugIn::getEditorDimensions(int& width, int& height)
{
    TANDEM_REQUIRE(hasEditor());
    ERect* rectPointer = nullptr;
    const VstIntPtr vstDispatchReturn = dispatch(effEditGetRect, 0, 0, &rectPointer, 0.0f);
    TANDEM_REQUIRE(vstDispatchReturn != 0);
    TANDEM_REQUIRE(rectPointer != 0);
    TANDEM_REQUIRE(rectPointer->left <= rectPointer->right);
    TANDEM_REQUIRE(rectPointer->top <= rectPointer->bottom);
    width = rectPointer->right - rectPointer->left;
    height = rectPointer->bottom - rectPointer->top;
}

void VSTPlugIn::openEditor(void* inWindow)
{
    TANDEM_REQUIRE(hasEditor());
    TANDEM_REQUIRE(!editorOpenFlag);
    TANDEM_REQUIRE(inWindow != 0);
    // Set first: the effect may ask for a new size while it opens.
    editorOpenFlag = true;
    if (dispatch(effEditOpen, 0, 0, inWindow, 0.0f) == 0)
    {
        throw TandemException("VST could not open editor");
    }
}

void VSTPlugIn::closeEditor()
{
    TANDEM_REQUIRE(editorOpenFlag);
    dispatch(effEditClose, 0, 0, nullptr, 0.0f);
    editorOpenFlag = false;
}
