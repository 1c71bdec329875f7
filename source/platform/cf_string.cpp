#include "platform/cf_string.h"

#include "platform/text_encoding.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

using velmora::cf::cast;
using velmora::cf::String;

namespace
{

bool isAscii(std::u16string_view units)
{
    return std::all_of(units.begin(), units.end(), [](char16_t unit) { return unit < 0x80; });
}

char16_t foldCase(char16_t unit)
{
    if (unit >= u'A' && unit <= u'Z')
        return unit + (u'a' - u'A');
    // Latin-1 capitals except the multiplication sign.
    if (unit >= 0xC0 && unit <= 0xDE && unit != 0xD7)
        return unit + 0x20;
    return unit;
}

bool isDigit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }

CFComparisonResult sign(int difference)
{
    return difference < 0 ? kCFCompareLessThan : (difference > 0 ? kCFCompareGreaterThan : kCFCompareEqualTo);
}

// Digit runs compare by value: leading zeros ignored, longer means larger.
CFComparisonResult compareDigitRuns(std::u16string_view first, std::u16string_view second)
{
    const auto trim = [](std::u16string_view run) {
        const auto start = run.find_first_not_of(u'0');
        return start == std::u16string_view::npos ? std::u16string_view() : run.substr(start);
    };
    first = trim(first);
    second = trim(second);
    if (first.size() != second.size())
        return sign(first.size() < second.size() ? -1 : 1);
    return sign(first.compare(second));
}

CFComparisonResult compareUnits(std::u16string_view first, std::u16string_view second, CFStringCompareFlags options)
{
    const bool caseless = options & kCFCompareCaseInsensitive;
    const bool numeric = options & kCFCompareNumerically;
    size_t i = 0;
    size_t j = 0;
    while (i < first.size() && j < second.size())
    {
        if (numeric && isDigit(first[i]) && isDigit(second[j]))
        {
            size_t endI = i;
            size_t endJ = j;
            while (endI < first.size() && isDigit(first[endI]))
                ++endI;
            while (endJ < second.size() && isDigit(second[endJ]))
                ++endJ;
            const auto result = compareDigitRuns(first.substr(i, endI - i), second.substr(j, endJ - j));
            if (result != kCFCompareEqualTo)
                return result;
            i = endI;
            j = endJ;
            continue;
        }
        const char16_t a = caseless ? foldCase(first[i]) : first[i];
        const char16_t b = caseless ? foldCase(second[j]) : second[j];
        if (a != b)
            return sign(a < b ? -1 : 1);
        ++i;
        ++j;
    }
    const bool firstLeft = i < first.size();
    const bool secondLeft = j < second.size();
    return sign(firstLeft == secondLeft ? 0 : (firstLeft ? 1 : -1));
}

}  // namespace

__CFString::__CFString(std::u16string text)
    : Object(kTypeID), units(std::move(text)), utf8(velmora::cf::utf16ToUtf8(units)), asciiOnly(isAscii(units))
{}

CFStringRef __CFString::createFromUTF8(std::string_view bytes)
{
    auto units = velmora::cf::utf8ToUtf16(bytes);
    return units ? create(std::move(*units)) : nullptr;
}

CFStringRef __CFString::create(std::u16string text) { return new __CFString(std::move(text)); }

bool __CFString::equals(const Object& other) const { return units == static_cast<const __CFString&>(other).units; }

CFHashCode __CFString::hash() const
{
    CFHashCode value = 14695981039346656037UL;  // FNV-1a
    for (const char16_t unit : units)
        value = (value ^ unit) * 1099511628211UL;
    return value;
}

namespace velmora::cf
{
std::string stringToUtf8(CFStringRef string)
{
    const auto* text = cast<String>(string);
    return text ? text->utf8 : std::string();
}
}  // namespace velmora::cf

extern "C" {

CFTypeID CFStringGetTypeID(void) { return static_cast<CFTypeID>(String::kTypeID); }

CFStringRef __CFStringMakeConstantString(const char* cStr)
{
    static std::mutex mutex;
    // Never destroyed: constants stay valid through static teardown.
    static auto* constants = new std::map<std::string, CFStringRef, std::less<>>;
    if (!cStr)
        return nullptr;
    std::lock_guard lock(mutex);
    const auto found = constants->find(std::string_view(cStr));
    if (found != constants->end())
        return found->second;
    auto units = velmora::cf::utf8ToUtf16(cStr);
    if (!units)
        units = velmora::cf::decodeText(cStr, kCFStringEncodingMacRoman);
    auto* string = new String(std::move(*units));
    string->makeImmortal();
    constants->emplace(cStr, string);
    return string;
}

CFStringRef CFStringCreateWithCString(CFAllocatorRef, const char* cStr, CFStringEncoding encoding)
{
    if (!cStr)
        return nullptr;
    auto units = velmora::cf::decodeText(cStr, encoding);
    return units ? String::create(std::move(*units)) : nullptr;
}

CFStringRef CFStringCreateCopy(CFAllocatorRef, CFStringRef theString)
{
    // Strings are immutable, so the copy is the string itself.
    return cast<String>(theString) ? static_cast<CFStringRef>(CFRetain(theString)) : nullptr;
}

CFStringRef CFStringCreateWithCharacters(CFAllocatorRef, const UniChar* chars, CFIndex numChars)
{
    if (numChars < 0 || (numChars > 0 && !chars))
        return nullptr;
    return String::create(std::u16string(reinterpret_cast<const char16_t*>(chars), static_cast<size_t>(numChars)));
}

CFIndex CFStringGetLength(CFStringRef theString)
{
    const auto* string = cast<String>(theString);
    return string ? static_cast<CFIndex>(string->units.size()) : 0;
}

void CFStringGetCharacters(CFStringRef theString, CFRange range, UniChar* buffer)
{
    const auto* string = cast<String>(theString);
    if (!string || !buffer || range.location < 0 || range.length < 0 ||
        range.location + range.length > static_cast<CFIndex>(string->units.size()))
        return;
    std::copy_n(string->units.begin() + range.location, range.length, buffer);
}

Boolean CFStringGetCString(CFStringRef theString, char* buffer, CFIndex bufferSize, CFStringEncoding encoding)
{
    const auto* string = cast<String>(theString);
    if (!buffer || bufferSize <= 0)
        return false;
    buffer[0] = '\0';
    if (!string)
        return false;
    const auto bytes = velmora::cf::encodeText(string->units, encoding);
    if (!bytes || static_cast<CFIndex>(bytes->size()) >= bufferSize)
        return false;
    std::memcpy(buffer, bytes->c_str(), bytes->size() + 1);
    return true;
}

const char* CFStringGetCStringPtr(CFStringRef theString, CFStringEncoding encoding)
{
    const auto* string = cast<String>(theString);
    if (!string || string->utf8.find('\0') != std::string::npos)
        return nullptr;
    const bool sameBytes = encoding == kCFStringEncodingUTF8 ||
                           (string->asciiOnly && velmora::cf::isSupportedEncoding(encoding));
    return sameBytes ? string->utf8.c_str() : nullptr;
}

CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding)
{
    if (!velmora::cf::isSupportedEncoding(encoding) || length < 0)
        return kCFNotFound;
    // A UTF-16 unit needs at most three UTF-8 bytes (a pair needs four for two).
    return encoding == kCFStringEncodingUTF8 ? length * 3 : length;
}

CFComparisonResult CFStringCompare(CFStringRef theString1, CFStringRef theString2, CFStringCompareFlags compareOptions)
{
    const auto* first = cast<String>(theString1);
    const auto* second = cast<String>(theString2);
    if (!first || !second)
        return sign(first ? 1 : (second ? -1 : 0));
    return compareUnits(first->units, second->units, compareOptions);
}

Boolean CFStringHasSuffix(CFStringRef theString, CFStringRef suffix)
{
    const auto* string = cast<String>(theString);
    const auto* end = cast<String>(suffix);
    return string && end && std::u16string_view(string->units).ends_with(end->units);
}

Boolean CFStringHasPrefix(CFStringRef theString, CFStringRef prefix)
{
    const auto* string = cast<String>(theString);
    const auto* start = cast<String>(prefix);
    return string && start && std::u16string_view(string->units).starts_with(start->units);
}

}  // extern "C"
