// The Audio Unit selectors, and the parameter calls they make.

#include "tandem/tandem_component.h"

#include <cmath>

#include "tandem/tandem_component_arguments.h"
#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_trace.h"

ComponentResult TandemComponent::dispatch(ComponentParameters* params)
{
    switch (params->what)
    {
    case kAudioUnitInitializeSelect: initialize(); return noErr;
    case kAudioUnitUninitializeSelect: uninitialize(); return noErr;
    case kAudioUnitGetPropertyInfoSelect:
    {
        auto* outDataSize = componentArgument<UInt32*>(params, 3);
        auto* outWritable = componentArgument<Boolean*>(params, 4);
        if (outDataSize != nullptr)
        {
            *outDataSize = 0;
        }
        if (outWritable != nullptr)
        {
            *outWritable = false;
        }
        bool readable = false;
        bool writable = false;
        int minDataSize = 0;
        int dataSize = 0;
        getPropertyInfo(componentArgument<AudioUnitPropertyID>(params, 0), componentArgument<AudioUnitScope>(params, 1),
                        componentArgument<AudioUnitElement>(params, 2), readable, writable, minDataSize, dataSize);
        if (outDataSize != nullptr)
        {
            *outDataSize = static_cast<UInt32>(dataSize);
        }
        if (outWritable != nullptr)
        {
            *outWritable = writable;
        }
        return noErr;
    }
    case kAudioUnitGetPropertySelect:
        getProperty(componentArgument<UInt32*>(params, 4), componentArgument<void*>(params, 3),
                    componentArgument<AudioUnitElement>(params, 2), componentArgument<AudioUnitScope>(params, 1),
                    componentArgument<AudioUnitPropertyID>(params, 0));
        return noErr;
    case kAudioUnitSetPropertySelect:
        setProperty(componentArgument<UInt32>(params, 4), componentArgument<const void*>(params, 3),
                    componentArgument<AudioUnitElement>(params, 2), componentArgument<AudioUnitScope>(params, 1),
                    componentArgument<AudioUnitPropertyID>(params, 0));
        return noErr;
    case kAudioUnitGetParameterSelect:
    {
        auto* outValue = componentArgument<AudioUnitParameterValue*>(params, 3);
        // A host fault, not ours: refuse it rather than stop.
        if (outValue == nullptr)
        {
            throw MacOSException(paramErr);
        }
        *outValue = getParameterValue(componentArgument<AudioUnitParameterID>(params, 0),
                                      componentArgument<AudioUnitScope>(params, 1));
        return noErr;
    }
    case kAudioUnitSetParameterSelect:
        setParameterValue(componentArgument<AudioUnitParameterID>(params, 0),
                          componentArgument<AudioUnitScope>(params, 1),
                          componentArgument<AudioUnitParameterValue>(params, 3));
        return noErr;
    case kAudioUnitResetSelect: reset(componentArgument<AudioUnitScope>(params, 0)); return noErr;
    case kAudioUnitAddPropertyListenerSelect:
        addPropertyListener(componentArgument<AudioUnitPropertyID>(params, 0),
                            componentArgument<AudioUnitPropertyListenerProc>(params, 1),
                            componentArgument<void*>(params, 2));
        return noErr;
    case kAudioUnitRenderSelect:
        return render(componentArgument<AudioUnitRenderActionFlags*>(params, 0),
                      componentArgument<const AudioTimeStamp*>(params, 1), componentArgument<UInt32>(params, 2),
                      componentArgument<UInt32>(params, 3), componentArgument<AudioBufferList*>(params, 4));
    case kAudioUnitAddRenderNotifySelect:
        addRenderNotification(componentArgument<AURenderCallback>(params, 0), componentArgument<void*>(params, 1));
        return noErr;
    case kAudioUnitRemoveRenderNotifySelect:
        removeRenderNotification(componentArgument<AURenderCallback>(params, 0), componentArgument<void*>(params, 1));
        return noErr;
    case kAudioUnitScheduleParametersSelect:
        return scheduleParameters(componentArgument<const AudioUnitParameterEvent*>(params, 0),
                                  componentArgument<UInt32>(params, 1));
    case kAudioUnitRemovePropertyListenerWithUserDataSelect:
        removePropertyListener(componentArgument<AudioUnitPropertyID>(params, 0),
                               componentArgument<AudioUnitPropertyListenerProc>(params, 1),
                               componentArgument<void*>(params, 2));
        return noErr;
    case kMusicDeviceMIDIEventSelect:
        midiInput(static_cast<int>(componentArgument<UInt32>(params, 3)),
                  static_cast<int>(componentArgument<UInt32>(params, 0)),
                  static_cast<int>(componentArgument<UInt32>(params, 1)),
                  static_cast<int>(componentArgument<UInt32>(params, 2)));
        return noErr;
    default: tandemTrace("AU unknown selector: %d\n", params->what); throw MacOSException(badComponentSelector);
    }
}

void TandemComponent::initialize()
{
    tandemTrace("AU kAudioUnitInitializeSelect\n");
    if (!vst->isResumed())
    {
        vst->resume();
        updateInitialDelayAndTailTimes();
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
        updateInitialDelayAndTailTimes();
    }
    lastRenderSampleTime = kNoRenderSampleTime;
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
    return scaleToAUParameter(index, vst->getParameter(index));
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
    vst->setParameter(index, scaleFromAUParameter(index, value));
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
        if (event.eventValues.immediate.bufferOffset >= static_cast<UInt32>(maxFramesPerSlice))
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

float TandemComponent::scaleFromAUParameter(int index, float value) const
{
    return ::scaleFromAUParameter(parameterMapping.parameterInfos[static_cast<size_t>(index)], value);
}

float TandemComponent::scaleToAUParameter(int index, float value) const
{
    return ::scaleToAUParameter(parameterMapping.parameterInfos[static_cast<size_t>(index)], value);
}
