// What the test component's entries were sent, and the little effect the
// first one models; shared by the component module and the tests that drive it.
#pragma once

#include <AudioUnit/AudioUnit.h>
#include <CoreServices/CoreServices.h>

struct TestComponentCall
{
    SInt16 what;
    UInt8 paramSize;
    Handle storage;
    long slots[8];  // params[0] (the instance) and the argument slots
};

struct TestComponentLog
{
    TestComponentCall last;
    int calls;
    int liveInstances;
};

constexpr UInt32 kTestComponentCapacity = 4096;  // frames each channel buffer holds
constexpr UInt32 kTestComponentParameters = 4;   // IDs 0..3; ID 2 is the gain

// What the host at the other end of the transport callbacks told the unit
// during its latest run.
struct TestComponentTransport
{
    Float64 beat, tempo, sampleInTimeLine;
    Boolean playing;
};

// The storage each open instance of TestComponentEntry sets for itself: an
// effect with one input and one output bus that copies its input, times the
// gain, to its output. Input comes from the render callback or connection of
// input bus 0, or is silence.
struct TestComponentStorage
{
    ComponentInstance self;
    UInt32 channels = 2;  // of both buses
    Float64 sampleRate = 44100.0;
    UInt32 maxFramesPerSlice = 1024;
    AURenderCallbackStruct inputCallback;
    AudioUnitConnection connection;
    HostCallbackInfo hostCallbacks;
    AudioUnitParameterValue parameters[kTestComponentParameters] = {0.0f, 0.5f, 1.0f, 1.5f};
    TestComponentTransport transport;  // as the latest render read it
    float buffers[2][kTestComponentCapacity];
};
