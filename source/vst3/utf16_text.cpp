#include "vst3/utf16_text.h"

#include <cstring>

namespace velmora::vst3face
{
namespace
{
constexpr char32_t kReplacement = 0xFFFD;

// The code point at text, advancing past it.
char32_t decodeUtf8(const unsigned char*& text)
{
    const unsigned char lead = *text++;
    if (lead < 0x80)
        return lead;
    const int following = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (following < 0 || lead > 0xF4)
        return kReplacement;
    char32_t code = lead & (0x3F >> following);
    for (int byte = 0; byte < following; ++byte)
    {
        if ((*text & 0xC0) != 0x80)
            return kReplacement;
        code = (code << 6) | (*text++ & 0x3F);
    }
    const bool overlong = (following == 1 && code < 0x80) || (following == 2 && code < 0x800) ||
                          (following == 3 && code < 0x10000);
    return overlong || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000) ? kReplacement : code;
}
}  // namespace

void copyUtf16(const char* text, vst3::char16* field, std::size_t capacity)
{
    if (capacity == 0)
        return;
    std::size_t used = 0;
    for (auto* at = reinterpret_cast<const unsigned char*>(text); text && *at;)
    {
        const char32_t code = decodeUtf8(at);
        const std::size_t units = code >= 0x10000 ? 2 : 1;
        if (used + units >= capacity)
            break;
        if (units == 2)
        {
            field[used++] = static_cast<vst3::char16>(0xD800 + ((code - 0x10000) >> 10));
            field[used++] = static_cast<vst3::char16>(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
        else
            field[used++] = static_cast<vst3::char16>(code);
    }
    field[used] = 0;
}

std::string asciiOf(const vst3::char16* text, std::size_t capacity)
{
    std::string ascii;
    for (std::size_t unit = 0; text && unit < capacity && text[unit] != 0; ++unit)
        ascii += text[unit] < 0x80 ? static_cast<char>(text[unit]) : '?';
    return ascii;
}

void copyField(const char* text, char* field, std::size_t capacity)
{
    std::memset(field, 0, capacity);
    if (text && capacity > 0)
        std::memcpy(field, text, strnlen(text, capacity - 1));
}
}  // namespace velmora::vst3face
