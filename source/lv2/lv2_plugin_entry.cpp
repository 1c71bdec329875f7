// The bundle's LV2 plug-in entry: the descriptor hosts find through
// lv2_descriptor, each call handed to the instance. Hosts are C and cannot
// unwind, so nothing thrown leaves these functions.
#include "lv2/lv2_widener.h"

#include <lv2/state/state.h>

#include <cstring>

namespace
{
using velmora::lv2::Lv2Widener;

Lv2Widener* widener(LV2_Handle instance) { return static_cast<Lv2Widener*>(instance); }

LV2_Handle instantiate(const LV2_Descriptor*, double sampleRate, const char*, const LV2_Feature* const* features)
{
    try
    {
        return new Lv2Widener(sampleRate, features);
    }
    catch (...)
    {
        return nullptr;
    }
}

void connectPort(LV2_Handle instance, uint32_t port, void* data) { widener(instance)->connect(port, data); }

void activate(LV2_Handle instance) { widener(instance)->activate(); }

void run(LV2_Handle instance, uint32_t frames) { widener(instance)->run(frames); }

void deactivate(LV2_Handle) {}

void cleanup(LV2_Handle instance) { delete widener(instance); }

LV2_State_Status save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t,
                      const LV2_Feature* const*)
{
    return widener(instance)->save(store, handle);
}

LV2_State_Status restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle, uint32_t,
                         const LV2_Feature* const*)
{
    return widener(instance)->restore(retrieve, handle);
}

const LV2_State_Interface kStateInterface{save, restore};

const void* extensionData(const char* uri)
{
    return std::strcmp(uri, LV2_STATE__interface) == 0 ? &kStateInterface : nullptr;
}

const LV2_Descriptor kDescriptor{
    velmora::lv2::kPluginUri, instantiate, connectPort, activate, run, deactivate, cleanup, extensionData};
}  // namespace

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
    return index == 0 ? &kDescriptor : nullptr;
}
