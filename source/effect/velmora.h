#pragma once
// The stereo widener: the mono sum runs through four delay lines whose
// outputs, blended by two LFO gains in quadrature, form a width signal that
// is added to the left channel and taken from the right.
//
// Threads: processReplacing runs on the host's audio thread, and so may
// setParameter (automation) while the interface thread changes parameters,
// programs, the sample rate and the processing state. What both touch (the
// live values, the program values, the current program number) are relaxed
// atomics, taken once per block by the engine, so a change starts to glide at
// the next block; a new rate reaches the engine the same way (see WideningEngine).
// Program names may be read on any thread while the interface thread renames
// them; everything else belongs to the interface thread.

#include "effect/velmora_prg.h"
#include "effect/widening_engine.h"
#include "vst/plugin_effect_x.h"

#include <atomic>
#include <memory>

class Velmora : public PluginEffectX
{
public:
    explicit Velmora(audioMasterCallback audioMaster);
    ~Velmora() override;

    void suspend() override;
    void resume() override;
    void setSampleRate(float newSampleRate) override;
    void setBlockSizeAndSampleRate(VstInt32 newBlockSize, float newSampleRate) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    VstInt32 getNumMidiInputChannels() override;
    VstInt32 getNumMidiOutputChannels() override;
    VstInt32 processEvents(VstEvents* events) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override;
    VstInt32 canDo(char* text) override;
    VstInt32 getPlugCategory() override;
    bool getMidiKeyName(VstInt32 channel, MidiKeyName* keyName) override;

private:
    // Rings, delay lengths and LFO step follow the rate the host gives.
    void prepareForRate();
    VelmoraPrg& currentProgram();

    velmora::WideningEngine engine;  // prepared on the interface thread, run on the audio thread
    std::unique_ptr<VelmoraPrg[]> programs;
    std::atomic<bool> onOff{true};
    std::atomic<float> size{0.5f};
    std::atomic<float> dryWet{0.5f};
};
