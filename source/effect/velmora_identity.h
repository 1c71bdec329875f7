#pragma once
// Who the plug-in is: shared by the effect, the LV2 face, the editor, the
// bundle's information dictionary and the tests, so the figures live in one
// place. Plain integers, so that no plug-in format comes with them.

#include <cstdint>

namespace velmora
{
// A four-character code as the 32-bit integer whose most significant byte is
// the first character: fourCharacterCode("QnVm") == 0x516E566D.
constexpr std::int32_t fourCharacterCode(const char (&code)[5])
{
    std::uint32_t value = 0;
    for (int character = 0; character < 4; ++character)
        value = (value << 8) | static_cast<unsigned char>(code[character]);
    return static_cast<std::int32_t>(value);
}

inline constexpr char kEffectName[] = "Velmora";
inline constexpr char kProductString[] = "Velmora";
inline constexpr char kVendorString[] = "Quarn Records";
inline constexpr std::int32_t kUniqueId = fourCharacterCode("QnVm");
inline constexpr std::int32_t kVendorVersion = 1007;      // the bare effect's answer
inline constexpr std::int32_t kEditVendorVersion = 1005;  // the editor-bearing effect's answer

inline constexpr std::int32_t kNumPrograms = 8;
inline constexpr std::int32_t kNumParams = 3;
inline constexpr std::int32_t kNumInputs = 2;
inline constexpr std::int32_t kNumOutputs = 2;

// Parameter indexes; also the editor's control tags.
enum ParameterIndex : std::int32_t
{
    kOnOff = 0,
    kSize = 1,
    kDryWet = 2,
};
}  // namespace velmora
