#pragma once
// The built bundle, loaded as a host loads it.

#include "support/automation.h"
#include "vsthost/loaded_effect.h"

#include <memory>
#include <string>

namespace testsupport
{
// The bundle folder from VELMORA_BUNDLE; empty when the variable is unset.
std::string velmoraBundlePath();

// Loads Velmora.so from the bundle and opens it (effOpen, rate, block size,
// resume). Fails the calling test with the loader's reason when it cannot.
std::unique_ptr<vsthost::LoadedEffect> openVelmora(vsthost::HostSettings settings = {});

// The VST face of a freshly opened bundle under a host's automation: input in
// blocks of blockFrames, split at each change, whose three values go in
// through setParameter before its frame. Empty when the bundle did not open.
StereoBuffer renderVelmoraWithChanges(const StereoBuffer& input, int blockFrames,
                                      const std::vector<ControlChange>& changes, vsthost::HostSettings settings);
}  // namespace testsupport
