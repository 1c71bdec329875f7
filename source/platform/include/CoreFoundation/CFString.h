// Immutable Unicode strings (stored as UTF-16) with Mac Roman, ASCII,
// ISO Latin 1 and UTF-8 conversion.
#pragma once

#include <CoreFoundation/CFBase.h>

CF_EXTERN_C_BEGIN

typedef UInt32 CFStringEncoding;
enum
{
    kCFStringEncodingMacRoman = 0,
    kCFStringEncodingISOLatin1 = 0x0201,
    kCFStringEncodingASCII = 0x0600,
    kCFStringEncodingUTF8 = 0x08000100,
};

typedef CFOptionFlags CFStringCompareFlags;
enum
{
    kCFCompareCaseInsensitive = 1,
    kCFCompareBackwards = 4,
    kCFCompareAnchored = 8,
    kCFCompareNonliteral = 16,
    kCFCompareLocalized = 32,
    kCFCompareNumerically = 64,
};

CF_EXPORT CFTypeID CFStringGetTypeID(void);

// Constant strings live for the whole process; CFRetain/CFRelease leave them.
CF_EXPORT CFStringRef __CFStringMakeConstantString(const char* cStr);
#define CFSTR(cStr) __CFStringMakeConstantString("" cStr "")

// NULL when cStr is NULL, the encoding is unsupported or the bytes are not
// valid in it (bytes above 0x7F in ASCII, malformed UTF-8).
CF_EXPORT CFStringRef CFStringCreateWithCString(CFAllocatorRef alloc, const char* cStr, CFStringEncoding encoding);
CF_EXPORT CFStringRef CFStringCreateCopy(CFAllocatorRef alloc, CFStringRef theString);
// From numChars UTF-16 units, taken as they are.
CF_EXPORT CFStringRef CFStringCreateWithCharacters(CFAllocatorRef alloc, const UniChar* chars, CFIndex numChars);

// Length in UTF-16 code units.
CF_EXPORT CFIndex CFStringGetLength(CFStringRef theString);
// Copies the UTF-16 units of range, which must lie inside the string.
CF_EXPORT void CFStringGetCharacters(CFStringRef theString, CFRange range, UniChar* buffer);

// False when the buffer cannot hold the text and its terminator or a
// character cannot be represented in the encoding; the buffer then holds an
// empty string (when bufferSize > 0).
CF_EXPORT Boolean CFStringGetCString(CFStringRef theString, char* buffer, CFIndex bufferSize,
                                     CFStringEncoding encoding);
// The string's own terminated bytes when they already are in that encoding,
// else NULL. Valid as long as the string lives.
CF_EXPORT const char* CFStringGetCStringPtr(CFStringRef theString, CFStringEncoding encoding);
// Bytes needed for length UTF-16 units (without terminator); kCFNotFound for
// an unsupported encoding.
CF_EXPORT CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding);

// Honours kCFCompareCaseInsensitive and kCFCompareNumerically (digit runs
// compare by value); other flags are ignored.
CF_EXPORT CFComparisonResult CFStringCompare(CFStringRef theString1, CFStringRef theString2,
                                             CFStringCompareFlags compareOptions);
CF_EXPORT Boolean CFStringHasSuffix(CFStringRef theString, CFStringRef suffix);
CF_EXPORT Boolean CFStringHasPrefix(CFStringRef theString, CFStringRef prefix);

CF_EXTERN_C_END
