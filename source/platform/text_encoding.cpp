#include "platform/text_encoding.h"

#include "platform/mac_roman.h"

namespace velmora::cf
{

bool isSupportedEncoding(CFStringEncoding encoding)
{
    switch (encoding)
    {
    case kCFStringEncodingMacRoman:
    case kCFStringEncodingISOLatin1:
    case kCFStringEncodingASCII:
    case kCFStringEncodingUTF8: return true;
    default: return false;
    }
}

std::optional<std::u16string> utf8ToUtf16(std::string_view bytes)
{
    std::u16string units;
    units.reserve(bytes.size());
    size_t position = 0;
    while (position < bytes.size())
    {
        const auto lead = static_cast<unsigned char>(bytes[position]);
        char32_t codePoint;
        size_t trailCount;
        if (lead < 0x80)
        {
            codePoint = lead;
            trailCount = 0;
        }
        else if (lead >= 0xC2 && lead <= 0xDF)
        {
            codePoint = lead & 0x1F;
            trailCount = 1;
        }
        else if (lead >= 0xE0 && lead <= 0xEF)
        {
            codePoint = lead & 0x0F;
            trailCount = 2;
        }
        else if (lead >= 0xF0 && lead <= 0xF4)
        {
            codePoint = lead & 0x07;
            trailCount = 3;
        }
        else
        {
            return std::nullopt;
        }
        if (position + trailCount >= bytes.size())
            return std::nullopt;
        for (size_t trail = 1; trail <= trailCount; ++trail)
        {
            const auto byte = static_cast<unsigned char>(bytes[position + trail]);
            if ((byte & 0xC0) != 0x80)
                return std::nullopt;
            codePoint = (codePoint << 6) | (byte & 0x3F);
        }
        const bool overlong = (trailCount == 2 && codePoint < 0x800) || (trailCount == 3 && codePoint < 0x10000);
        const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
        if (overlong || surrogate || codePoint > 0x10FFFF)
            return std::nullopt;
        if (codePoint >= 0x10000)
        {
            codePoint -= 0x10000;
            units.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
        }
        else
        {
            units.push_back(static_cast<char16_t>(codePoint));
        }
        position += trailCount + 1;
    }
    return units;
}

std::string utf16ToUtf8(std::u16string_view units)
{
    std::string bytes;
    bytes.reserve(units.size());
    for (size_t index = 0; index < units.size(); ++index)
    {
        char32_t codePoint = units[index];
        const bool pairs = codePoint >= 0xD800 && codePoint <= 0xDBFF && index + 1 < units.size() &&
                           units[index + 1] >= 0xDC00 && units[index + 1] <= 0xDFFF;
        if (pairs)
        {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (units[index + 1] - 0xDC00);
            ++index;
        }
        else if (codePoint >= 0xD800 && codePoint <= 0xDFFF)
        {
            codePoint = 0xFFFD;  // an unpaired surrogate has no UTF-8 form
        }
        if (codePoint < 0x80)
        {
            bytes += static_cast<char>(codePoint);
        }
        else if (codePoint < 0x800)
        {
            bytes += static_cast<char>(0xC0 | (codePoint >> 6));
            bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
        }
        else if (codePoint < 0x10000)
        {
            bytes += static_cast<char>(0xE0 | (codePoint >> 12));
            bytes += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
        }
        else
        {
            bytes += static_cast<char>(0xF0 | (codePoint >> 18));
            bytes += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (codePoint & 0x3F));
        }
    }
    return bytes;
}

std::optional<std::u16string> decodeText(std::string_view bytes, CFStringEncoding encoding)
{
    if (encoding == kCFStringEncodingUTF8)
        return utf8ToUtf16(bytes);
    if (!isSupportedEncoding(encoding))
        return std::nullopt;
    std::u16string units;
    units.reserve(bytes.size());
    for (const char byte : bytes)
    {
        const auto value = static_cast<unsigned char>(byte);
        if (encoding == kCFStringEncodingASCII && value >= 0x80)
            return std::nullopt;
        units.push_back(encoding == kCFStringEncodingMacRoman ? macRomanToUnicode(value) : char16_t(value));
    }
    return units;
}

std::optional<std::string> encodeText(std::u16string_view units, CFStringEncoding encoding)
{
    if (encoding == kCFStringEncodingUTF8)
        return utf16ToUtf8(units);
    if (!isSupportedEncoding(encoding))
        return std::nullopt;
    std::string bytes;
    bytes.reserve(units.size());
    for (const char16_t unit : units)
    {
        if (encoding == kCFStringEncodingMacRoman)
        {
            const auto byte = unicodeToMacRoman(unit);
            if (!byte)
                return std::nullopt;
            bytes += static_cast<char>(*byte);
        }
        else
        {
            const char16_t limit = encoding == kCFStringEncodingASCII ? 0x80 : 0x100;
            if (unit >= limit)
                return std::nullopt;
            bytes += static_cast<char>(unit);
        }
    }
    return bytes;
}

}  // namespace velmora::cf
