#pragma once
// Who the plug-in is to a VST3 host: its two classes and how the factory
// describes them. The class identifiers are the plug-in's own, fixed for
// good: hosts store them in every session.

#include "effect/velmora_version.h"
#include "vst3/abi/base.h"

namespace velmora::vst3face
{
// "Velmora" and "Quarn" in the first words, random bytes after.
inline constexpr vst3::Uid kProcessorClassId = vst3::makeUid(0x56656C6D, 0x6F726150, 0x9C41E2B7, 0x5A03D8F1);
inline constexpr vst3::Uid kControllerClassId = vst3::makeUid(0x56656C6D, 0x6F726143, 0x7D2A91C4, 0xE68B05A3);

inline constexpr char kProcessorCategory[] = "Audio Module Class";
inline constexpr char kControllerCategory[] = "Component Controller Class";
inline constexpr char kSubCategories[] = "Fx|Spatial";
// The interface release these declarations follow.
inline constexpr char kInterfaceVersion[] = "VST 3.7.14";
}  // namespace velmora::vst3face
