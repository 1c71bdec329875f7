// What the hosted effect learns about its host, and how its own parameter
// changes and gestures reach Audio Unit listeners. These run on whichever
// thread the effect calls from, the render thread included.

#include "tandem/tandem_component.h"
#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_trace.h"

#include <cstdio>
#include <cstring>

namespace
{
constexpr const char* kHostCapabilities[] = {"sendVstEvents",           "sendVstMidiEvent", "sendVstTimeInfo",
                                             "reportConnectionChanges", "sizeWindow",       "supplyIdle"};
constexpr int kHostVersion = 0x10000;
}  // namespace

void TandemComponent::getVendor(VSTPlugIn& plugIn, char* vendor)
{
    TANDEM_REQUIRE(&plugIn == vst.get());
    TANDEM_REQUIRE(vendor != 0);
    std::strcpy(vendor, "Orvel Development");
}

void TandemComponent::getProduct(VSTPlugIn& plugIn, char* product)
{
    TANDEM_REQUIRE(&plugIn == vst.get());
    TANDEM_REQUIRE(product != 0);
    tryToIdentifyHostApplication();
    std::fprintf(stderr, "\n hostApplication says %i", setup.hostApplication);
    std::strcpy(product, setup.hostApplication < 1 ? "Tandem" : "logic");
}

int TandemComponent::getVersion(VSTPlugIn& plugIn)
{
    TANDEM_REQUIRE(&plugIn == vst.get());
    return kHostVersion;
}

bool TandemComponent::canDo(VSTPlugIn& plugIn, const char* what)
{
    TANDEM_REQUIRE(&plugIn == vst.get());
    TANDEM_REQUIRE(what != 0);
    for (const char* capability : kHostCapabilities)
    {
        if (std::strcmp(what, capability) == 0)
        {
            return true;
        }
    }
    return false;
}

VstTimeInfo* TandemComponent::getTimeInfo(VSTPlugIn& plugIn, int)
{
    TANDEM_REQUIRE(&plugIn == vst.get());
    return renderPath.getTimeInfo();
}

namespace
{
AudioUnitEvent parameterEvent(AudioUnitEventType type, ComponentInstance instance, int parameterIndex)
{
    AudioUnitEvent event{};
    event.mEventType = type;
    event.mArgument.mParameter = {instance, static_cast<AudioUnitParameterID>(parameterIndex), kAudioUnitScope_Global,
                                  0};
    return event;
}
}  // namespace

void TandemComponent::beginEdit(VSTPlugIn& plugIn, int parameterIndex)
{
    TANDEM_REQUIRE(&plugIn == vst.get());
    const AudioUnitEvent event = parameterEvent(kAudioUnitEvent_BeginParameterChangeGesture, auComponentInstance,
                                                parameterIndex);
    AUEventListenerNotify(nullptr, nullptr, &event);
}

// Listeners read the new value back through GetParameter.
void TandemComponent::automate(VSTPlugIn& plugIn, int parameterIndex, float)
{
    TANDEM_REQUIRE(&plugIn == vst.get());
    const AudioUnitEvent event = parameterEvent(kAudioUnitEvent_ParameterValueChange, auComponentInstance,
                                                parameterIndex);
    if (const OSStatus status = AUParameterListenerNotify(nullptr, nullptr, &event.mArgument.mParameter);
        status != noErr)
    {
        throw MacOSException(status);
    }
    AUEventListenerNotify(nullptr, nullptr, &event);
}

void TandemComponent::endEdit(VSTPlugIn& plugIn, int parameterIndex)
{
    TANDEM_REQUIRE(&plugIn == vst.get());
    const AudioUnitEvent event = parameterEvent(kAudioUnitEvent_EndParameterChangeGesture, auComponentInstance,
                                                parameterIndex);
    AUEventListenerNotify(nullptr, nullptr, &event);
}

bool TandemComponent::isIOPinConnected(VSTPlugIn& plugIn, bool checkOutputPin, int pinIndex)
{
    TANDEM_REQUIRE(&plugIn == vst.get());
    TANDEM_REQUIRE(pinIndex < (checkOutputPin ? vst->getOutputCount() : vst->getInputCount()));
    return true;
}

// Idle time comes from the component's own timer.
void TandemComponent::idle(VSTPlugIn& plugIn) { TANDEM_REQUIRE(&plugIn == vst.get()); }

// The effect may call from its render thread (a program change it received
// as MIDI), where reading its program name and notifying listeners have no
// place: the idle timer does both on the main thread.
void TandemComponent::updateDisplay(VSTPlugIn& plugIn)
{
    TANDEM_REQUIRE(&plugIn == vst.get());
    displayChanged.store(true, std::memory_order_relaxed);
}
