// What the test component's entries were sent; shared by the component module
// and the tests that drive it.
#pragma once

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

// The storage each open instance of TestComponentEntry sets for itself.
struct TestComponentStorage
{
    ComponentInstance self;
};
