#pragma once
// Components as a host finds them: a bundle registered through a file
// reference, then looked up by description.

#include <CoreServices/CoreServices.h>

#include <string>
#include <vector>

namespace auhost
{
struct ComponentEntry
{
    Component component;
    ComponentDescription description;
    std::string name;  // UTF-8
};

// Registers the components a bundle declares; registering it again adds none.
void registerComponentBundle(const std::string& bundlePath);
// Every registered component matching `looking` (zero fields match any), in
// registration order.
std::vector<ComponentEntry> findComponents(const ComponentDescription& looking);
// 'aufx' for 0x61756678; characters outside printable ASCII as '?'.
std::string fourCharacterCode(OSType code);
}  // namespace auhost
