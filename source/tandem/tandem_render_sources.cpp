// What an input bus pulls its samples from: a connection to an upstream
// unit or a render callback, each clearing the other.

#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_render_path.h"

void TandemRenderPath::setConnection(AudioUnitElement element, const AudioUnitConnection& connection)
{
    if (connection.destInputNumber != element)
    {
        throw MacOSException(kAudioUnitErr_InvalidPropertyValue);
    }
    if (connection.sourceAudioUnit != nullptr)
    {
        AudioStreamBasicDescription format{};
        UInt32 size = sizeof format;
        const OSStatus status = AudioUnitGetProperty(connection.sourceAudioUnit, kAudioUnitProperty_StreamFormat,
                                                     kAudioUnitScope_Output, connection.sourceOutputNumber, &format,
                                                     &size);
        if (status != noErr)
        {
            throw MacOSException(status);
        }
        updateFormat(kAudioUnitScope_Input, element, format);
    }
    AudioUnitConnection& stored = inputConnections[element];
    const bool changed = stored.sourceAudioUnit != connection.sourceAudioUnit ||
                         stored.sourceOutputNumber != connection.sourceOutputNumber;
    stored = connection;
    AURenderCallbackStruct& callback = inputRenderCallbacks[element];
    const bool callbackCleared = callback.inputProc != nullptr;
    callback = {};
    if (changed)
    {
        listeners.propertyChanged(kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, element);
    }
    if (callbackCleared)
    {
        listeners.propertyChanged(kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, element);
    }
}

void TandemRenderPath::setRenderCallback(AudioUnitElement element, const AURenderCallbackStruct& callback)
{
    AURenderCallbackStruct& stored = inputRenderCallbacks[element];
    const bool changed = stored.inputProc != callback.inputProc || stored.inputProcRefCon != callback.inputProcRefCon;
    stored = callback;
    AudioUnitConnection& connection = inputConnections[element];
    if (connection.sourceAudioUnit != nullptr)
    {
        connection.sourceAudioUnit = nullptr;
        connection.sourceOutputNumber = 0;
        listeners.propertyChanged(kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, element);
    }
    if (changed)
    {
        listeners.propertyChanged(kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, element);
    }
}
