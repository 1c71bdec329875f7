// CFStringCreateWithFormat: printf conversions, each handed to vsnprintf on
// its own, plus %@ for CF objects.
#include "platform/cf_string.h"

#include "platform/text_encoding.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace
{

enum class Length
{
    kNone,
    kChar,
    kShort,
    kLong,
    kLongLong,
    kSize,
    kIntMax,
    kPtrDiff,
    kLongDouble
};

struct Conversion
{
    std::string directive;  // "%" flags width precision length conversion, '*' replaced
    Length length = Length::kNone;
    char conversion = 0;
};

template <typename T>
void appendFormatted(std::string& out, const std::string& directive, T value)
{
    char stackBuffer[128];
    const int needed = std::snprintf(stackBuffer, sizeof stackBuffer, directive.c_str(), value);
    if (needed < 0)
        return;
    if (static_cast<size_t>(needed) < sizeof stackBuffer)
    {
        out.append(stackBuffer, static_cast<size_t>(needed));
        return;
    }
    std::string large(static_cast<size_t>(needed) + 1, '\0');
    std::snprintf(large.data(), large.size(), directive.c_str(), value);
    out.append(large.data(), static_cast<size_t>(needed));
}

// C text read as UTF-8, or as Mac Roman when it is not valid UTF-8.
std::string textArgument(const char* text)
{
    if (!text)
        return "(null)";
    if (velmora::cf::utf8ToUtf16(text))
        return text;
    return velmora::cf::utf16ToUtf8(*velmora::cf::decodeText(text, kCFStringEncodingMacRoman));
}

void appendInteger(std::string& out, const Conversion& c, va_list& arguments)
{
    const bool isSigned = c.conversion == 'd' || c.conversion == 'i';
    switch (c.length)
    {
    case Length::kLong:
        isSigned ? appendFormatted(out, c.directive, va_arg(arguments, long))
                 : appendFormatted(out, c.directive, va_arg(arguments, unsigned long));
        break;
    case Length::kLongLong:
        isSigned ? appendFormatted(out, c.directive, va_arg(arguments, long long))
                 : appendFormatted(out, c.directive, va_arg(arguments, unsigned long long));
        break;
    case Length::kSize: appendFormatted(out, c.directive, va_arg(arguments, size_t)); break;
    case Length::kIntMax: appendFormatted(out, c.directive, va_arg(arguments, intmax_t)); break;
    case Length::kPtrDiff: appendFormatted(out, c.directive, va_arg(arguments, ptrdiff_t)); break;
    default:  // char and short arrive promoted to int
        isSigned ? appendFormatted(out, c.directive, va_arg(arguments, int))
                 : appendFormatted(out, c.directive, va_arg(arguments, unsigned int));
        break;
    }
}

// Reads one conversion starting after '%'; false for a malformed one.
bool parseConversion(const std::string& format, size_t& position, va_list& arguments, Conversion& c)
{
    c.directive.push_back('%');  // c is fresh
    const auto takeNumberOrStar = [&] {
        if (position < format.size() && format[position] == '*')
        {
            c.directive += std::to_string(va_arg(arguments, int));
            ++position;
            return;
        }
        while (position < format.size() && std::isdigit(static_cast<unsigned char>(format[position])))
            c.directive += format[position++];
    };
    while (position < format.size() && std::strchr("-+ #0'", format[position]))
        c.directive += format[position++];
    takeNumberOrStar();
    if (position < format.size() && format[position] == '.')
    {
        c.directive += format[position++];
        takeNumberOrStar();
    }
    const size_t lengthStart = position;
    while (position < format.size() && std::strchr("hlqLjzt", format[position]))
        ++position;
    const std::string length = format.substr(lengthStart, position - lengthStart);
    if (length == "hh")
        c.length = Length::kChar;
    else if (length == "h")
        c.length = Length::kShort;
    else if (length == "l")
        c.length = Length::kLong;
    else if (length == "ll" || length == "q")
        c.length = Length::kLongLong;
    else if (length == "z")
        c.length = Length::kSize;
    else if (length == "j")
        c.length = Length::kIntMax;
    else if (length == "t")
        c.length = Length::kPtrDiff;
    else if (length == "L")
        c.length = Length::kLongDouble;
    else if (!length.empty())
        return false;
    if (position >= format.size())
        return false;
    c.conversion = format[position++];
    if (c.length == Length::kLongLong)
        c.directive += "ll";
    else if (c.length == Length::kLong)
        c.directive += "l";
    else if (c.length == Length::kSize)
        c.directive += "z";
    else if (c.length == Length::kIntMax)
        c.directive += "j";
    else if (c.length == Length::kPtrDiff)
        c.directive += "t";
    else if (c.length == Length::kLongDouble)
        c.directive += "L";
    c.directive += c.conversion;
    return true;
}

void appendFloating(std::string& out, const Conversion& c, va_list& arguments)
{
    if (c.length == Length::kLongDouble)
        appendFormatted(out, c.directive, va_arg(arguments, long double));
    else
        appendFormatted(out, c.directive, va_arg(arguments, double));
}

// One parsed conversion's argument, formatted onto `out`; false for %n and
// unknown conversions, which are refused rather than guessed.
bool appendArgument(std::string& out, Conversion& c, va_list& arguments)
{
    switch (c.conversion)
    {
    case '@':
    {
        const CFTypeRef object = va_arg(arguments, CFTypeRef);
        out += object ? velmora::cf::asObject(object)->describe() : "(null)";
        return true;
    }
    case 'd':
    case 'i':
    case 'u':
    case 'o':
    case 'x':
    case 'X': appendInteger(out, c, arguments); return true;
    case 'c': appendFormatted(out, c.directive, va_arg(arguments, int)); return true;
    case 'e':
    case 'E':
    case 'f':
    case 'F':
    case 'g':
    case 'G':
    case 'a':
    case 'A': appendFloating(out, c, arguments); return true;
    case 's':
    {
        const std::string argument = textArgument(va_arg(arguments, const char*));
        c.directive.back() = 's';
        appendFormatted(out, c.directive, argument.c_str());
        return true;
    }
    case 'p': appendFormatted(out, c.directive, va_arg(arguments, void*)); return true;
    default: return false;
    }
}

}  // namespace

extern "C" {

CFStringRef CFStringCreateWithFormatAndArguments(CFAllocatorRef, CFDictionaryRef, CFStringRef format, va_list arguments)
{
    const auto* formatString = velmora::cf::cast<velmora::cf::String>(format);
    if (!formatString)
        return nullptr;
    const std::string& text = formatString->utf8;
    std::string out;
    va_list remaining;
    va_copy(remaining, arguments);
    size_t position = 0;
    bool wellFormed = true;
    while (position < text.size() && wellFormed)
    {
        const size_t percent = text.find('%', position);
        out.append(text, position, percent == std::string::npos ? std::string::npos : percent - position);
        if (percent == std::string::npos)
            break;
        position = percent + 1;
        if (position < text.size() && text[position] == '%')
        {
            out += '%';
            ++position;
            continue;
        }
        Conversion c;
        wellFormed = parseConversion(text, position, remaining, c) && appendArgument(out, c, remaining);
    }
    va_end(remaining);
    return wellFormed ? __CFString::createFromUTF8(out) : nullptr;
}

CFStringRef CFStringCreateWithFormat(CFAllocatorRef alloc, CFDictionaryRef formatOptions, CFStringRef format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    CFStringRef result = CFStringCreateWithFormatAndArguments(alloc, formatOptions, format, arguments);
    va_end(arguments);
    return result;
}

}  // extern "C"
