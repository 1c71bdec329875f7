#include "vsthost/loaded_effect.h"

#include "vsthost/module_path.h"

#include <dlfcn.h>

#include <cstdio>
#include <utility>

namespace vsthost
{
namespace
{
std::string hex(VstInt32 number)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(number));
    return text;
}

// Sets beingLoaded for the duration of the entry call, so that callbacks made
// before the record is linked still find their host.
class LoadingScope
{
public:
    LoadingScope(LoadedEffect*& slot, LoadedEffect* effect) : slot(slot), previous(slot) { slot = effect; }
    ~LoadingScope() { slot = previous; }
    LoadingScope(const LoadingScope&) = delete;
    LoadingScope& operator=(const LoadingScope&) = delete;

private:
    LoadedEffect*& slot;
    LoadedEffect* previous;
};
}  // namespace

thread_local LoadedEffect* LoadedEffect::beingLoaded = nullptr;

LoadedEffect::LoadedEffect(std::string modulePath, void* library, HostSettings settings)
    : module(std::move(modulePath)), library(library), hostSettings(std::move(settings))
{}

LoadedEffect::~LoadedEffect() { close(); }

std::unique_ptr<LoadedEffect> LoadedEffect::load(const std::string& path, std::string& error, HostSettings settings)
{
    const std::string modulePath = resolveModulePath(path, error);
    if (modulePath.empty())
        return nullptr;

    void* library = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
    {
        const char* reason = dlerror();
        error = "cannot load " + modulePath + ": " + (reason ? reason : "unknown loader error");
        return nullptr;
    }

    auto entry = reinterpret_cast<VstPluginMainProc>(dlsym(library, "VSTPluginMain"));
    if (!entry)
        entry = reinterpret_cast<VstPluginMainProc>(dlsym(library, "main"));
    if (!entry)
    {
        dlclose(library);
        error = modulePath + " is not a VST 2 plug-in: it exports neither VSTPluginMain nor main";
        return nullptr;
    }

    std::unique_ptr<LoadedEffect> host(new LoadedEffect(modulePath, library, std::move(settings)));
    AEffect* record = nullptr;
    try
    {
        LoadingScope scope(beingLoaded, host.get());
        record = entry(&LoadedEffect::callback);
    }
    catch (...)
    {
        error = "the plug-in " + modulePath + " threw an exception while it was being created";
        return nullptr;
    }
    if (!record)
    {
        error = "the plug-in " + modulePath + " created no effect (its entry returned null; host version answer " +
                std::to_string(host->hostSettings.versionAnswer) + ")";
        return nullptr;
    }
    if (record->magic != kEffectMagic)
    {
        // Not a record we may dispatch to, so it cannot be closed; unloading the
        // module is all that is left.
        error = "the plug-in " + modulePath + " returned a record with the wrong magic " + hex(record->magic) +
                " (expected " + hex(kEffectMagic) + ")";
        return nullptr;
    }
    record->resvd1 = reinterpret_cast<VstIntPtr>(host.get());
    host->record = record;
    return host;
}

void LoadedEffect::openAndResume()
{
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(hostSettings.sampleRate));
    dispatch(effSetBlockSize, 0, hostSettings.blockSize);
    dispatch(effMainsChanged, 0, 1);
}

VstIntPtr LoadedEffect::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    if (!record)
        return 0;
    return record->dispatcher(record, opcode, index, value, ptr, opt);
}

std::string LoadedEffect::dispatchForText(VstInt32 opcode, VstInt32 index, VstIntPtr value)
{
    // The protocol's longest texts are 256 bytes; the margin catches effects
    // that write past what they should without corrupting the stack.
    char text[1024] = {};
    dispatch(opcode, index, value, text);
    text[sizeof text - 1] = '\0';
    return text;
}

float LoadedEffect::getParameter(VstInt32 index) { return record ? record->getParameter(record, index) : 0.0f; }

void LoadedEffect::setParameter(VstInt32 index, float value)
{
    if (record)
        record->setParameter(record, index, value);
}

void LoadedEffect::processReplacing(float** inputs, float** outputs, VstInt32 frames)
{
    if (!record || !record->processReplacing)
        return;
    record->processReplacing(record, inputs, outputs, frames);
    samplePosition.fetch_add(frames, std::memory_order_relaxed);
}

std::vector<HostCall> LoadedEffect::calls() const
{
    std::lock_guard lock(callsMutex);
    return recordedCalls;
}

void LoadedEffect::clearCalls()
{
    std::lock_guard lock(callsMutex);
    recordedCalls.clear();
}

void LoadedEffect::setAnswer(VstInt32 opcode, HostAnswer answer) { answers[opcode] = std::move(answer); }

void LoadedEffect::close()
{
    if (record)
    {
        // effClose frees the effect and its record; nothing may touch them after.
        AEffect* closing = record;
        record = nullptr;
        closing->dispatcher(closing, effClose, 0, 0, nullptr, 0.0f);
    }
    if (library)
    {
        dlclose(library);
        library = nullptr;
    }
}
}  // namespace vsthost
