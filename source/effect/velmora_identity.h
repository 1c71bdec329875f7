#pragma once
// Who the plug-in is: shared by the effect, the editor, the bundle's
// information dictionary and the tests, so the figures live in one place.

#include "vst/aeffect.h"

namespace velmora
{
inline constexpr char kEffectName[] = "Velmora";
inline constexpr char kProductString[] = "Velmora";
inline constexpr char kVendorString[] = "Quarn Records";
inline constexpr VstInt32 kUniqueId = fourCharCode("QnVm");
inline constexpr VstInt32 kRecordVersion = 1;
inline constexpr VstInt32 kVendorVersion = 1007;      // the bare effect's answer
inline constexpr VstInt32 kEditVendorVersion = 1005;  // the editor-bearing effect's answer

inline constexpr VstInt32 kNumPrograms = 8;
inline constexpr VstInt32 kNumParams = 3;
inline constexpr VstInt32 kNumInputs = 2;
inline constexpr VstInt32 kNumOutputs = 2;

// Parameter indexes; also the editor's control tags.
enum ParameterIndex : VstInt32
{
    kOnOff = 0,
    kSize = 1,
    kDryWet = 2,
};
}  // namespace velmora
