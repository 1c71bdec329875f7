#pragma once
// Texts between the effect's UTF-8 and the UTF-16 of VST3 strings.

#include "vst3/abi/base.h"

#include <cstddef>
#include <string>

namespace velmora::vst3face
{
// Writes text into a field of `capacity` UTF-16 units, cut to fit and
// terminated; bytes that are not UTF-8 become U+FFFD.
void copyUtf16(const char* text, vst3::char16* field, std::size_t capacity);
// The ASCII of a terminated UTF-16 text, at most `capacity` units read;
// anything beyond ASCII becomes '?'.
std::string asciiOf(const vst3::char16* text, std::size_t capacity);
// Writes text into an 8-bit field, cut to fit, terminated and zero-filled.
void copyField(const char* text, char* field, std::size_t capacity);
}  // namespace velmora::vst3face
