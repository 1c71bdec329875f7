#pragma once
// Texts at the VST3 interface: 8-bit fields NUL-terminated within their
// room, and UTF-16 strings (String128 and the like).

#include "vst3/abi/base.h"

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace vst3host
{
// An 8-bit field up to its NUL, or all of it when it has none.
template <std::size_t Size>
std::string fieldText(const char (&field)[Size])
{
    return std::string(field, strnlen(field, Size));
}

// UTF-16 up to its NUL or `capacity` code units, as UTF-8; a lone surrogate
// becomes U+FFFD.
std::string utf8(const vst3::char16* text, std::size_t capacity);
template <std::size_t Size>
std::string utf8(const vst3::char16 (&text)[Size])
{
    return utf8(text, Size);
}

std::u16string utf16(std::string_view text);
}  // namespace vst3host
