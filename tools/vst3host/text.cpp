#include "vst3host/text.h"

namespace vst3host
{
namespace
{
constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80)
        out += static_cast<char>(code);
    else if (code < 0x800)
    {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    else if (code < 0x10000)
    {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    else
    {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

// The code point of the UTF-8 sequence at text[index], advancing index past
// it; a malformed sequence gives U+FFFD and advances one byte.
char32_t decodeUtf8(std::string_view text, std::size_t& index)
{
    const auto byte = [&text](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(index);
    const int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || index + static_cast<std::size_t>(length) > text.size())
    {
        ++index;
        return kReplacement;
    }
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (int continuation = 1; continuation < length; ++continuation)
    {
        if ((byte(index + static_cast<std::size_t>(continuation)) & 0xC0) != 0x80)
        {
            ++index;
            return kReplacement;
        }
        code = (code << 6) | (byte(index + static_cast<std::size_t>(continuation)) & 0x3F);
    }
    index += static_cast<std::size_t>(length);
    return code;
}
}  // namespace

std::string utf8(const vst3::char16* text, std::size_t capacity)
{
    std::string out;
    for (std::size_t index = 0; index < capacity && text[index] != 0; ++index)
    {
        const char32_t unit = text[index];
        if (isHighSurrogate(unit) && index + 1 < capacity && isLowSurrogate(text[index + 1]))
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[++index] - 0xDC00));
        else
            appendUtf8(out, isHighSurrogate(unit) || isLowSurrogate(unit) ? kReplacement : unit);
    }
    return out;
}

std::u16string utf16(std::string_view text)
{
    std::u16string out;
    for (std::size_t index = 0; index < text.size();)
    {
        const char32_t code = decodeUtf8(text, index);
        if (code >= 0x10000)
        {
            out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
        else
            out += static_cast<char16_t>(code);
    }
    return out;
}
}  // namespace vst3host
