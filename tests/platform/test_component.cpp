// A component as a Mac entry would write it: it unpacks ComponentParameters by
// slot and keeps what it was sent, for the Component Manager tests to read.
#include <AudioUnit/AudioUnit.h>

#include "test_component.h"

#include <cstring>

#define EXPORTED extern "C" __attribute__((visibility("default")))
// Argument i of the call, as a Mac entry reads it: from the start of its slot.
#define ARGUMENT(type, index) argument<type>(params, index)

namespace
{

template <typename T>
T argument(const ComponentParameters* params, int index)
{
    T value;
    std::memcpy(&value, &params->params[index + 1], sizeof value);
    return value;
}

TestComponentLog gLog;

void record(const ComponentParameters* params, Handle storage)
{
    TestComponentCall& call = gLog.last;
    call.what = params->what;
    call.paramSize = params->paramSize;
    call.storage = storage;
    std::memset(call.slots, 0, sizeof call.slots);
    std::memcpy(call.slots, params->params, sizeof(long) * (1 + params->paramSize / sizeof(long)));
    ++gLog.calls;
}

ComponentResult openOrClose(ComponentParameters* params, Handle storage)
{
    if (params->what == kComponentOpenSelect)
    {
        ComponentInstance self = ARGUMENT(ComponentInstance, 0);
        SetComponentInstanceStorage(self, reinterpret_cast<Handle>(new TestComponentStorage{self}));
        ++gLog.liveInstances;
    }
    else if (storage)
    {
        delete reinterpret_cast<TestComponentStorage*>(storage);
        --gLog.liveInstances;
    }
    return noErr;
}

}  // namespace

EXPORTED TestComponentLog* TestComponentLogOf() { return &gLog; }

EXPORTED ComponentResult TestComponentEntry(ComponentParameters* params, Handle storage)
{
    record(params, storage);
    switch (params->what)
    {
    case kComponentOpenSelect:
    case kComponentCloseSelect: return openOrClose(params, storage);
    case kComponentCanDoSelect: return ARGUMENT(SInt16, 0) == kAudioUnitRenderSelect ? 1 : 0;
    case kComponentVersionSelect: return 0x00010203;
    case kAudioUnitGetParameterSelect:
        *ARGUMENT(AudioUnitParameterValue*, 3) = static_cast<Float32>(ARGUMENT(AudioUnitParameterID, 0)) * 0.5f;
        return noErr;
    case kAudioUnitInitializeSelect:
    case kAudioUnitUninitializeSelect:
    case kAudioUnitGetPropertyInfoSelect:
    case kAudioUnitGetPropertySelect:
    case kAudioUnitSetPropertySelect:
    case kAudioUnitSetParameterSelect:
    case kAudioUnitResetSelect:
    case kAudioUnitAddPropertyListenerSelect:
    case kAudioUnitRenderSelect:
    case kAudioUnitAddRenderNotifySelect:
    case kAudioUnitRemoveRenderNotifySelect:
    case kAudioUnitScheduleParametersSelect:
    case kAudioUnitRemovePropertyListenerWithUserDataSelect:
    case kMusicDeviceMIDIEventSelect: return noErr;
    default: return badComponentSelector;
    }
}

// Refuses to open, as a component whose set-up fails does.
EXPORTED ComponentResult TestRefusingEntry(ComponentParameters* params, Handle storage)
{
    record(params, storage);
    return params->what == kComponentOpenSelect ? -32767 : noErr;
}
