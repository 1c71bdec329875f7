#pragma once
// The test component as the host tests reach it: its bundle, its effect, and
// what an instance of it was told.

#include "auhost/audio_unit_instance.h"
#include "test_component.h"

#include <filesystem>
#include <functional>

namespace auhosttest
{
constexpr OSType code(const char (&text)[5])
{
    return static_cast<OSType>(static_cast<UInt8>(text[0])) << 24 |
           static_cast<OSType>(static_cast<UInt8>(text[1])) << 16 |
           static_cast<OSType>(static_cast<UInt8>(text[2])) << 8 | static_cast<UInt8>(text[3]);
}

std::filesystem::path testComponentBundle();
// The bundle's effect, registered on first use.
Component testEffect();
Component refusingComponent();
// The storage the effect keeps for this instance.
TestComponentStorage& seenBy(const auhost::AudioUnitInstance& unit);
// The status a host library call failed with, noErr when it did not.
OSStatus statusOf(const std::function<void()>& call);
}  // namespace auhosttest
