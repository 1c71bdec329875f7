// The Audio Unit selectors, and the parameter calls they make.

#include "tandem/tandem_component.h"

#include <cmath>

#include "tandem/tandem_component_arguments.h"
#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_trace.h"

// Each selector's arguments as a named record, and the handler that takes it.
struct TandemComponent::SelectorHandlers
{
    struct PropertyInfoArguments
    {
        AudioUnitPropertyID id;
        AudioUnitScope scope;
        AudioUnitElement element;
        UInt32* outDataSize;
        Boolean* outWritable;
    };
    static ComponentResult getPropertyInfo(TandemComponent& unit, const ComponentParameters* params)
    {
        const auto arguments = componentArguments<PropertyInfoArguments, AudioUnitPropertyID, AudioUnitScope,
                                                  AudioUnitElement, UInt32*, Boolean*>(params);
        // A failed call leaves nothing behind in what the host reads.
        writeIfGiven(arguments.outDataSize, UInt32{0});
        writeIfGiven(arguments.outWritable, Boolean{false});
        bool readable = false;
        bool writable = false;
        int minDataSize = 0;
        int dataSize = 0;
        unit.properties.getPropertyInfo(arguments.id, arguments.scope, arguments.element, readable, writable,
                                        minDataSize, dataSize);
        writeIfGiven(arguments.outDataSize, static_cast<UInt32>(dataSize));
        writeIfGiven(arguments.outWritable, Boolean{writable});
        return noErr;
    }

    // Getting and setting a property: its address, then the value's data and
    // size, each in the direction the selector moves it.
    template <typename Data, typename DataSize>
    struct PropertyDataArguments
    {
        AudioUnitPropertyID id;
        AudioUnitScope scope;
        AudioUnitElement element;
        Data data;
        DataSize dataSize;
    };
    template <typename Data, typename DataSize>
    static PropertyDataArguments<Data, DataSize> propertyData(const ComponentParameters* params)
    {
        return componentArguments<PropertyDataArguments<Data, DataSize>, AudioUnitPropertyID, AudioUnitScope,
                                  AudioUnitElement, Data, DataSize>(params);
    }
    static ComponentResult getProperty(TandemComponent& unit, const ComponentParameters* params)
    {
        const auto arguments = propertyData<void*, UInt32*>(params);
        unit.properties.getProperty(arguments.dataSize, arguments.data, arguments.element, arguments.scope,
                                    arguments.id);
        return noErr;
    }
    static ComponentResult setProperty(TandemComponent& unit, const ComponentParameters* params)
    {
        const auto arguments = propertyData<const void*, UInt32>(params);
        unit.properties.setProperty(arguments.dataSize, arguments.data, arguments.element, arguments.scope,
                                    arguments.id);
        return noErr;
    }

    struct GetParameterArguments
    {
        AudioUnitParameterID id;
        AudioUnitScope scope;
        AudioUnitElement element;
        AudioUnitParameterValue* outValue;
    };
    static ComponentResult getParameter(TandemComponent& unit, const ComponentParameters* params)
    {
        const auto arguments = componentArguments<GetParameterArguments, AudioUnitParameterID, AudioUnitScope,
                                                  AudioUnitElement, AudioUnitParameterValue*>(params);
        // A host fault, not ours: refuse it rather than stop.
        if (arguments.outValue == nullptr)
        {
            throw MacOSException(paramErr);
        }
        *arguments.outValue = unit.getParameterValue(arguments.id, arguments.scope);
        return noErr;
    }

    struct SetParameterArguments
    {
        AudioUnitParameterID id;
        AudioUnitScope scope;
        AudioUnitElement element;
        AudioUnitParameterValue value;
        UInt32 bufferOffsetInFrames;
    };
    static ComponentResult setParameter(TandemComponent& unit, const ComponentParameters* params)
    {
        const auto arguments = componentArguments<SetParameterArguments, AudioUnitParameterID, AudioUnitScope,
                                                  AudioUnitElement, AudioUnitParameterValue, UInt32>(params);
        unit.setParameterValue(arguments.id, arguments.scope, arguments.value);
        return noErr;
    }

    struct ResetArguments
    {
        AudioUnitScope scope;
        AudioUnitElement element;
    };
    static ComponentResult reset(TandemComponent& unit, const ComponentParameters* params)
    {
        unit.reset(componentArguments<ResetArguments, AudioUnitScope, AudioUnitElement>(params).scope);
        return noErr;
    }

    // Adding a listener and removing one with its user data.
    struct PropertyListenerArguments
    {
        AudioUnitPropertyID id;
        AudioUnitPropertyListenerProc proc;
        void* userData;
    };
    static PropertyListenerArguments propertyListener(const ComponentParameters* params)
    {
        return componentArguments<PropertyListenerArguments, AudioUnitPropertyID, AudioUnitPropertyListenerProc, void*>(
            params);
    }

    // Adding a render notification and removing one.
    struct RenderNotificationArguments
    {
        AURenderCallback proc;
        void* userData;
    };
    static RenderNotificationArguments renderNotification(const ComponentParameters* params)
    {
        return componentArguments<RenderNotificationArguments, AURenderCallback, void*>(params);
    }

    struct ScheduleParametersArguments
    {
        const AudioUnitParameterEvent* events;
        UInt32 count;
    };
    static ComponentResult scheduleParameters(TandemComponent& unit, const ComponentParameters* params) noexcept
    {
        const auto arguments = componentArguments<ScheduleParametersArguments, const AudioUnitParameterEvent*, UInt32>(
            params);
        return unit.scheduleParameters(arguments.events, arguments.count);
    }

    struct MIDIEventArguments
    {
        UInt32 status;
        UInt32 data1;
        UInt32 data2;
        UInt32 offsetSampleFrame;
    };
    static ComponentResult midiEvent(TandemComponent& unit, const ComponentParameters* params) noexcept
    {
        const auto arguments = componentArguments<MIDIEventArguments, UInt32, UInt32, UInt32, UInt32>(params);
        unit.renderPath.midiInput(static_cast<int>(arguments.offsetSampleFrame), static_cast<int>(arguments.status),
                                  static_cast<int>(arguments.data1), static_cast<int>(arguments.data2));
        return noErr;
    }

    template <typename T>
    static void writeIfGiven(T* destination, T value)
    {
        if (destination != nullptr)
        {
            *destination = value;
        }
    }
};

namespace
{
struct RenderArguments
{
    AudioUnitRenderActionFlags* ioActionFlags;
    const AudioTimeStamp* timeStamp;
    UInt32 outputBusNumber;
    UInt32 numberFrames;
    AudioBufferList* ioData;
};
}  // namespace

ComponentResult TandemComponent::renderSelector(const ComponentParameters* params) noexcept
{
    const auto arguments = componentArguments<RenderArguments, AudioUnitRenderActionFlags*, const AudioTimeStamp*,
                                              UInt32, UInt32, AudioBufferList*>(params);
    return renderPath.render(arguments.ioActionFlags, arguments.timeStamp, arguments.outputBusNumber,
                             arguments.numberFrames, arguments.ioData);
}

ComponentResult TandemComponent::dispatch(ComponentParameters* params)
{
    using Handlers = SelectorHandlers;
    switch (params->what)
    {
    case kAudioUnitRenderSelect: return renderSelector(params);
    case kAudioUnitScheduleParametersSelect: return Handlers::scheduleParameters(*this, params);
    case kMusicDeviceMIDIEventSelect: return Handlers::midiEvent(*this, params);
    case kAudioUnitInitializeSelect: initialize(); return noErr;
    case kAudioUnitUninitializeSelect: uninitialize(); return noErr;
    case kAudioUnitGetPropertyInfoSelect: return Handlers::getPropertyInfo(*this, params);
    case kAudioUnitGetPropertySelect: return Handlers::getProperty(*this, params);
    case kAudioUnitSetPropertySelect: return Handlers::setProperty(*this, params);
    case kAudioUnitGetParameterSelect: return Handlers::getParameter(*this, params);
    case kAudioUnitSetParameterSelect: return Handlers::setParameter(*this, params);
    case kAudioUnitResetSelect: return Handlers::reset(*this, params);
    case kAudioUnitAddPropertyListenerSelect:
    {
        const auto listener = Handlers::propertyListener(params);
        listeners.addPropertyListener(listener.id, listener.proc, listener.userData);
        return noErr;
    }
    case kAudioUnitRemovePropertyListenerWithUserDataSelect:
    {
        const auto listener = Handlers::propertyListener(params);
        listeners.removePropertyListener(listener.id, listener.proc, listener.userData);
        return noErr;
    }
    case kAudioUnitAddRenderNotifySelect:
    {
        const auto notification = Handlers::renderNotification(params);
        renderPath.addRenderNotification(notification.proc, notification.userData);
        return noErr;
    }
    case kAudioUnitRemoveRenderNotifySelect:
    {
        const auto notification = Handlers::renderNotification(params);
        renderPath.removeRenderNotification(notification.proc, notification.userData);
        return noErr;
    }
    default: tandemTrace("AU unknown selector: %d\n", params->what); throw MacOSException(badComponentSelector);
    }
}

void TandemComponent::initialize()
{
    tandemTrace("AU kAudioUnitInitializeSelect\n");
    if (!vst->isResumed())
    {
        vst->resume();
        renderPath.updateInitialDelayAndTailTimes();
    }
}

void TandemComponent::uninitialize()
{
    tandemTrace("AU kAudioUnitUninitializeSelect\n");
    if (vst->isResumed())
    {
        vst->suspend();
    }
}

void TandemComponent::reset(AudioUnitScope scope)
{
    tandemTrace("AU kAudioUnitResetSelect\n");
    if (scope != kAudioUnitScope_Global)
    {
        throw MacOSException(kAudioUnitErr_InvalidScope);
    }
    if (vst->isResumed())
    {
        vst->suspend();
        vst->resume();
        renderPath.updateInitialDelayAndTailTimes();
    }
    renderPath.forgetLastRenderTime();
}

OSStatus TandemComponent::parameterStatus(AudioUnitParameterID id, AudioUnitScope scope) const noexcept
{
    if (scope != kAudioUnitScope_Global)
    {
        return kAudioUnitErr_InvalidScope;
    }
    if (id >= static_cast<AudioUnitParameterID>(vst->getParameterCount()))
    {
        return kAudioUnitErr_InvalidParameter;
    }
    return noErr;
}

AudioUnitParameterValue TandemComponent::getParameterValue(AudioUnitParameterID id, AudioUnitScope scope) const
{
    if (const OSStatus status = parameterStatus(id, scope); status != noErr)
    {
        throw MacOSException(status);
    }
    const int index = static_cast<int>(id);
    return properties.scaleToAUParameter(index, vst->getParameter(index));
}

OSStatus TandemComponent::applyParameterValue(AudioUnitParameterID id, AudioUnitScope scope,
                                              AudioUnitParameterValue value) noexcept
{
    if (const OSStatus status = parameterStatus(id, scope); status != noErr)
    {
        return status;
    }
    // Scaling clamps a value out of range; one that is not a number has no place in it.
    if (std::isnan(value))
    {
        return paramErr;
    }
    const int index = static_cast<int>(id);
    vst->setParameter(index, properties.scaleFromAUParameter(index, value));
    return noErr;
}

void TandemComponent::setParameterValue(AudioUnitParameterID id, AudioUnitScope scope, AudioUnitParameterValue value)
{
    if (const OSStatus status = applyParameterValue(id, scope, value); status != noErr)
    {
        throw MacOSException(status);
    }
}

// Hosts schedule from the render thread in every cycle while automation
// plays: like render, this answers a status itself and writes no trace line.
OSStatus TandemComponent::scheduleParameters(const AudioUnitParameterEvent* events, UInt32 count) noexcept
{
    if (events == nullptr && count > 0)
    {
        return paramErr;
    }
    for (UInt32 index = 0; index < count; ++index)
    {
        const AudioUnitParameterEvent& event = events[index];
        if (const OSStatus status = parameterStatus(event.parameter, event.scope); status != noErr)
        {
            return status;
        }
        if (event.eventType != kParameterEvent_Immediate)
        {
            continue;
        }
        // An offset beyond the slice is the host's fault: the event fails
        // like any other bad event instead of stopping the process.
        if (event.eventValues.immediate.bufferOffset >= static_cast<UInt32>(renderPath.getMaxFramesPerSlice()))
        {
            return paramErr;
        }
        if (const OSStatus status = applyParameterValue(event.parameter, event.scope,
                                                        event.eventValues.immediate.value);
            status != noErr)
        {
            return status;
        }
    }
    return noErr;
}
