// The Mac OS Roman character set: bytes 0x00-0x7F are ASCII, 0x80-0xFF map
// to the characters below (0xDB is the euro sign, 0xF0 the Apple logo in the
// private use area).
#pragma once

#include <optional>

namespace velmora::cf
{

char16_t macRomanToUnicode(unsigned char byte);
std::optional<unsigned char> unicodeToMacRoman(char16_t character);

}  // namespace velmora::cf
