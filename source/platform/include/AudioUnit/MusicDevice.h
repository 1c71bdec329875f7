// The instrument side of the Audio Unit interface, as far as an effect that
// also takes MIDI answers it.
#pragma once

#include <AudioUnit/AUComponent.h>

CF_EXTERN_C_BEGIN

typedef ComponentInstance MusicDeviceComponent;

enum
{
    kMusicDeviceMIDIEventSelect = 0x0101,
};

enum
{
    kMusicDeviceProperty_InstrumentCount = 1000,
    kMusicDeviceProperty_InstrumentName = 1001,
    kMusicDeviceProperty_GroupOutputBus = 1002,
    kMusicDeviceProperty_SoundBankFSSpec = 1003,
    kMusicDeviceProperty_InstrumentNumber = 1004,
    kMusicDeviceProperty_MIDIXMLNames = 1006,
    kMusicDeviceProperty_BankName = 1007,
    kMusicDeviceProperty_SoundBankData = 1008,
    kMusicDeviceProperty_PartGroup = 1010,
    kMusicDeviceProperty_StreamFromDisk = 1011,
};

CF_EXPORT OSStatus MusicDeviceMIDIEvent(MusicDeviceComponent inUnit, UInt32 inStatus, UInt32 inData1, UInt32 inData2,
                                        UInt32 inOffsetSampleFrame);

CF_EXTERN_C_END
