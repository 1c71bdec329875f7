// The component's exported entry: creates, drives and destroys one
// TandemComponent per instance and turns every failure into a status code.

#include "tandem/tandem_component.h"
#include "tandem/tandem_component_arguments.h"
#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_trace.h"

#include <new>

namespace
{
constexpr ComponentResult kGeneralFailure = -32767;

bool canDoSelector(int selector)
{
    switch (selector)
    {
    case kComponentOpenSelect:
    case kComponentCloseSelect:
    case kComponentCanDoSelect:
    case kComponentVersionSelect:
    case kAudioUnitInitializeSelect:
    case kAudioUnitUninitializeSelect:
    case kAudioUnitGetPropertyInfoSelect:
    case kAudioUnitGetPropertySelect:
    case kAudioUnitSetPropertySelect:
    case kAudioUnitGetParameterSelect:
    case kAudioUnitSetParameterSelect:
    case kAudioUnitResetSelect:
    case kAudioUnitAddPropertyListenerSelect:
    case kAudioUnitRenderSelect:
    case kAudioUnitAddRenderNotifySelect:
    case kAudioUnitRemoveRenderNotifySelect:
    case kAudioUnitScheduleParametersSelect:
    case kAudioUnitRemovePropertyListenerWithUserDataSelect:
    case kMusicDeviceMIDIEventSelect: return true;
    default: return false;
    }
}

ComponentResult componentVersion(ComponentInstance instance)
{
    Handle resource = nullptr;
    const OSErr error = GetComponentResource(reinterpret_cast<Component>(instance), kComponentResourceType,
                                             kComponentResourceID, &resource);
    if (error != noErr)
    {
        throw MacOSException(error);
    }
    const ComponentResult version = reinterpret_cast<const ExtComponentResource*>(*resource)->componentVersion;
    DisposeHandle(resource);
    return version;
}

ComponentResult handleSelector(ComponentParameters* params, TandemComponent* storage)
{
    const auto instance = componentArgument<ComponentInstance>(params, -1);
    switch (params->what)
    {
    case kComponentOpenSelect:
    {
        tandemTrace("AU kComponentOpenSelect\n");
        auto* component = new TandemComponent(instance);
        SetComponentInstanceStorage(instance, reinterpret_cast<Handle>(component));
        return noErr;
    }
    case kComponentCloseSelect:
        tandemTrace("AU kComponentCloseSelect\n");
        if (storage != nullptr)
        {
            SetComponentInstanceStorage(instance, nullptr);
            delete storage;
        }
        return noErr;
    case kComponentCanDoSelect:
    {
        const int asked = componentArgument<SInt16>(params, 0);
        tandemTrace("AU kComponentCanDoSelect: %ld\n", static_cast<long>(asked));
        if (canDoSelector(asked))
        {
            return 1;
        }
        tandemTrace("AU cannot do selector: %d\n", asked);
        return 0;
    }
    case kComponentVersionSelect: tandemTrace("AU kComponentVersionSelect\n"); return componentVersion(instance);
    default:
        if (storage == nullptr)
        {
            tandemTrace("Tandem component pointer is null (cannot handle selector: %d)\n", params->what);
            return badComponentSelector;
        }
        return storage->dispatch(params);
    }
}

// Every selector but render, its failures turned into status codes. Kept out
// of TandemEntry so that render, which throws nothing, pays for no exception
// frame.
__attribute__((noinline)) ComponentResult guardedSelector(ComponentParameters* params, TandemComponent* storage)
{
    try
    {
        return handleSelector(params, storage);
    }
    catch (const MacOSException& failure)
    {
        tandemTrace("Caught Mac OS exception in TandemEntry: %s\n", failure.what());
        return failure.getStatus();
    }
    catch (const EOFException&)
    {
        tandemTrace("Caught end of file exception in TandemEntry\n");
        return eofErr;
    }
    catch (const std::bad_alloc&)
    {
        tandemTrace("Caught std::bad_alloc in TandemEntry\n");
        return memFullErr;
    }
    catch (const std::exception& failure)
    {
        tandemTrace("Caught exception in TandemEntry: %s\n", failure.what());
        return kGeneralFailure;
    }
    catch (...)
    {
        tandemTrace("Caught general exception in TandemEntry\n");
        return kGeneralFailure;
    }
}
}  // namespace

extern "C" __attribute__((visibility("default"))) ComponentResult TandemEntry(ComponentParameters* params,
                                                                              TandemComponent* storage)
{
    // Render comes every audio cycle and answers its own status without
    // throwing: it goes to the unit before the selector switches.
    if (params->what == kAudioUnitRenderSelect && storage != nullptr) [[likely]]
    {
        return storage->renderSelector(params);
    }
    return guardedSelector(params, storage);
}
