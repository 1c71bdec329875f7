// Conversion between UTF-16 (the strings' storage) and the byte encodings the
// layer supports: Mac Roman, ISO Latin 1, ASCII and UTF-8.
#pragma once

#include <CoreFoundation/CFString.h>

#include <optional>
#include <string>
#include <string_view>

namespace velmora::cf
{

bool isSupportedEncoding(CFStringEncoding encoding);

// Empty when the bytes are not valid in the encoding (or it is unsupported).
std::optional<std::u16string> decodeText(std::string_view bytes, CFStringEncoding encoding);

// Empty when a character cannot be represented.
std::optional<std::string> encodeText(std::u16string_view units, CFStringEncoding encoding);

// Strict UTF-8: no overlong forms, surrogates or values above U+10FFFF.
std::optional<std::u16string> utf8ToUtf16(std::string_view bytes);
std::string utf16ToUtf8(std::u16string_view units);

}  // namespace velmora::cf
