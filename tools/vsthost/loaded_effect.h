#pragma once
// One VST 2 effect loaded the way a Linux host loads it: dlopen the module,
// call "VSTPluginMain" (or the older "main") with a host callback, talk to the
// returned record. Every call the effect makes back to the host is recorded
// and answered, by default as a plain offline host does.
//
// Threads: load, open, dispatch, setAnswer and close belong to one "main"
// thread; processReplacing, getParameter and setParameter may run on another
// ("audio") thread at the same time, as in a real host. calls() and
// clearCalls() may be used from any thread. Set answers before processing
// starts: they are read, not guarded, on the thread the effect calls from.
//
// This is a test and tool host: recording a call takes a lock and may
// allocate, which a host running live audio would avoid.
//
// It stands beside VSTPlugIn, the component's host layer, on purpose. That
// one is the Audio Unit's own: its operations, trace lines, preconditions and
// exceptions are fixed by the component, and velmora-plughost exercises it.
// This one is an outside host that shares no code with the component, so
// the golden render, velmora-render's VST face (checked against its Audio
// Unit face) and the effect's tests see the effect as another host does, and
// a fault in VSTPlugIn cannot hide in both.

#include "vst/aeffect.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vsthost
{
struct HostSettings
{
    double sampleRate = 44100.0;
    VstInt32 blockSize = 1024;
    // Answer to audioMasterVersion; 0 makes a conforming effect refuse to load.
    VstIntPtr versionAnswer = 2400;
    std::string vendor = "Velmora Test Host";
    std::string product = "Velmora Test Host";
};

// One audioMaster call as the effect made it; text holds the capability asked
// for by audioMasterCanDo and is empty otherwise.
struct HostCall
{
    VstInt32 opcode = 0;
    VstInt32 index = 0;
    VstIntPtr value = 0;
    float opt = 0.0f;
    std::string text;
};

using HostAnswer = std::function<VstIntPtr(const HostCall& call, void* ptr)>;

class LoadedEffect
{
public:
    // path: a bundle folder (X.vst, module in Contents/x86_64-linux/) or a
    // module file. Returns null and sets error to one readable line on failure.
    static std::unique_ptr<LoadedEffect> load(const std::string& path, std::string& error, HostSettings settings = {});

    ~LoadedEffect();
    LoadedEffect(const LoadedEffect&) = delete;
    LoadedEffect& operator=(const LoadedEffect&) = delete;

    // Null once closed.
    AEffect* effect() const { return record; }
    const std::string& modulePath() const { return module; }
    const HostSettings& settings() const { return hostSettings; }

    // The usual start: effOpen, effSetSampleRate and effSetBlockSize from the
    // settings, then effMainsChanged 1 (resume).
    void openAndResume();

    // Raw dispatcher call; 0 once closed.
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);
    // Dispatches an opcode that writes a text through ptr (names, labels,
    // displays) into a zeroed buffer larger than any the protocol allows.
    std::string dispatchForText(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0);

    float getParameter(VstInt32 index);
    void setParameter(VstInt32 index, float value);
    // Advances the host's transport by frames after the effect has run.
    void processReplacing(float** inputs, float** outputs, VstInt32 frames);

    std::vector<HostCall> calls() const;
    void clearCalls();
    // Replaces the default answer to one audioMaster opcode.
    void setAnswer(VstInt32 opcode, HostAnswer answer);

    // effClose, then the module is unloaded. Safe to call twice.
    void close();

private:
    LoadedEffect(std::string modulePath, void* library, HostSettings settings);

    // The audioMaster callback handed to the effect. It finds its host through
    // the record's resvd1, or through beingLoaded while the entry function runs
    // and the record is not yet linked.
    static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    static thread_local LoadedEffect* beingLoaded;

    VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    VstIntPtr defaultAnswer(const HostCall& call, void* ptr);

    std::string module;
    void* library = nullptr;
    AEffect* record = nullptr;
    HostSettings hostSettings;

    mutable std::mutex callsMutex;
    std::vector<HostCall> recordedCalls;
    std::map<VstInt32, HostAnswer> answers;

    std::atomic<std::int64_t> samplePosition{0};
    VstTimeInfo timeInfo{};
};
}  // namespace vsthost
