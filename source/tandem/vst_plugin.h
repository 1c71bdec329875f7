#pragma once
// A minimal VST 2 host for exactly one effect living in a bundle (a bundle
// folder, or a plain .so treated as a bundle without resources).
//
// Every operation checks its preconditions, writes a trace line (except the
// render-path calls and parameter get/set) and stops the process when the
// effect throws. Failures of loading, editor opening and FXP/FXB data are
// thrown as TandemException and its subclasses.
//
// Threads: processReplacing, processAccumulating, processEvents and the
// parameter calls may run on the audio thread; callers serialise everything
// else. Only one open() may run at a time in the process.

#include <CoreFoundation/CoreFoundation.h>

#include "tandem/vst_host.h"
#include "vst/aeffect.h"

#include <span>

namespace fx
{
struct Bank;
struct Program;
struct Receiver;
}  // namespace fx

class VSTPlugIn
{
public:
    VSTPlugIn(VSTHost& host, CFBundleRef bundle, float sampleRate, int blockSize);
    // Closes the editor and the effect (no suspend first), unloads the
    // executable when no one else holds the bundle, releases the bundle.
    virtual ~VSTPlugIn();

    VSTPlugIn(const VSTPlugIn&) = delete;
    VSTPlugIn& operator=(const VSTPlugIn&) = delete;

    // Loads the executable, calls its entry and sends effOpen; done once.
    VstIntPtr open();

    bool isOpen() const { return openFlag; }
    bool isResumed() const { return resumedFlag; }
    bool isEditorOpen() const { return editorOpenFlag; }
    bool hasEditor() const;
    bool canProcessReplacing() const;
    bool hasProgramChunks() const;
    bool dontProcessSilence() const;
    int getProgramCount() const;
    int getParameterCount() const;
    int getInputCount() const;
    int getOutputCount() const;
    int getInitialDelay() const;  // frames
    bool wantsMidi() const;
    // The record as the effect filled it; requires an open effect.
    const AEffect& getAEffect() const;

    void setSampleRate(float rate);
    void setBlockSize(int size);
    void setCurrentProgram(int program);
    int getCurrentProgram();
    // Name buffers hold at least 25 characters: at most 24 are copied and
    // position 24 is always a terminator.
    void getCurrentProgramName(char* name);
    void setCurrentProgramName(const char* programName);
    bool getProgramName(int programIndex, char* name);
    void getParameterName(int index, char* name);
    void getParameterDisplay(int index, char* text);
    void getParameterLabel(int index, char* label);
    bool setParameterFromString(int index, const char* text);
    void resume();
    void suspend();
    void processEvents(const VstEvents& events);
    VstIntPtr getTailSize();  // frames
    VstIntPtr vendorSpecific(int index, VstIntPtr value, void* ptr, float opt);
    bool setBypass(bool bypass);
    bool getInputProperties(int inputPinIndex, VstPinProperties& properties);
    bool getOutputProperties(int outputPinIndex, VstPinProperties& properties);
    VstIntPtr connectInputPin(int index, bool connected);
    VstIntPtr connectOutputPin(int index, bool connected);
    VstIntPtr getVersion();
    VstIntPtr idle();

    // The single path to the effect's dispatcher, also for opcodes without a
    // typed operation.
    VstIntPtr dispatch(int opcode, int index, VstIntPtr value, void* ptr, float opt);
    float getParameter(int index);
    void setParameter(int index, float value);
    void processReplacing(const float* const* inputs, float* const* outputs, int frames);
    void processAccumulating(const float* const* inputs, float* const* outputs, int frames);

    void getEditorDimensions(int& width, int& height);
    // On the Mac an editor opens in a WindowRef or an NSView*; on Linux both
    // become this one call taking the parent's X11 window id as a
    // pointer-sized handle.
    void openEditor(void* inWindow);
    void closeEditor();

    // Program ("FXP") and bank ("FXB") data. Produced arrays are allocated
    // with new[] and belong to the caller; `dataSize` receives their length
    // (0 on failure).
    unsigned char* createFXP(unsigned long& dataSize);
    unsigned char* createFXB(unsigned long& dataSize);
    // True when the data matched the effect exactly; false when it was
    // loaded with adjustments or the effect refused a chunk.
    bool loadFXPOrFXB(unsigned long size, const unsigned char* bytes);
    // One parameter program record of the current program; returns the
    // position past it.
    unsigned char* writeFxCk(unsigned char* p);
    // Loads one parameter program record into the current program, clearing
    // *ok on any adjustment. Returns where the next record begins, found from
    // the record's own parameter count (at most `end`).
    const unsigned char* readFxCk(const unsigned char* p, const unsigned char* end, bool* ok);

    // Big-endian fields; reading past `e` throws EOFException.
    static const unsigned char* readBigInt32(const unsigned char* p, const unsigned char* e, int* x);
    static const unsigned char* readBigFloat32(const unsigned char* p, const unsigned char* e, float* x);
    static unsigned char* writeBigInt32(unsigned char* p, int x);

    // The function handed to the effect's entry.
    static VstIntPtr staticAudioMasterCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                               void* ptr, float opt);

private:
    VstIntPtr myAudioMasterCallback(int opcode, int index, VstIntPtr value, void* ptr, float opt);
    bool answerEffectEvent(int opcode, int index, VstIntPtr value, float opt, VstIntPtr& answer);
    bool answerHostQuestion(int opcode, void* ptr, VstIntPtr& answer);
    void loadEntryAndCreateEffect();
    void copyName(int opcode, int index, VstIntPtr value, char* name);
    unsigned char* writeProgramNameField(unsigned char* p);
    unsigned char* createChunkRecord(bool isProgram, unsigned long& dataSize);
    unsigned char* createParameterBank(unsigned long& dataSize);
    // What FXP/FXB data must suit to be loaded into this effect.
    fx::Receiver fxReceiver() const;
    bool setChunk(bool isProgram, std::span<const unsigned char> chunk);
    // A program the parser read, into the current program; clears *ok on any
    // adjustment.
    void loadParameterProgram(const fx::Program& program, bool* ok);
    bool loadParameterBank(const fx::Bank& bank);
    // The current program to select again after a bank walk; -1 for an
    // effect without programs.
    int rememberCurrentProgram();
    void selectProgramAgain(int oldProgramIndex);

    VSTHost& host;
    CFBundleRef bundleRef;
    AEffect* aeffect;
    bool openFlag;
    bool resumedFlag;
    bool wantsMidiFlag;
    bool editorOpenFlag;
    float currentSampleRate;  // Hz
    int currentBlockSize;     // frames

    // Set only while open() runs the effect's entry, so that the callback
    // finds the object before the record is linked to it.
    static VSTPlugIn* tempPlugInPointer;
};
