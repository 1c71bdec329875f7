#pragma once
// Fixed-point texts for parameter displays. Each writes at most maxLen
// characters and a terminator at text[maxLen] (text holds maxLen + 1 bytes);
// a negative maxLen writes nothing.

#include "vst/aeffect.h"

namespace vstformat
{
inline constexpr char kHugeText[] = "Huge!";
inline constexpr char kMinusInfinityText[] = "-oo";

// Eight characters of sign, digits and point: integer digits first, then as
// many decimals as fit (1.5 -> "1.500000", -1.5 -> "-1.50000"). Values below
// -9999999 or above 99999999, and NaN, give "Huge!". An integer part longer
// than the eight-character budget keeps all its digits and ends with the
// point, so 12345678 reads "12345678." (nine characters) rather than losing
// its leading digit.
void formatFloat(float value, char* text, VstInt32 maxLen);

// Decimal digits; 0 gives "0", values of 100000000 and more give "Huge!",
// negative values keep every digit down to -2147483648.
void formatInt(VstInt32 value, char* text, VstInt32 maxLen);

// Copies at most maxLen characters of source and terminates at text[maxLen].
void copyLimited(const char* source, char* text, VstInt32 maxLen);
}  // namespace vstformat
