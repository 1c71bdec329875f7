// Numbers and the string encodings names and preset texts go through.
// Reference counting and keys that match by value are in every component
// test, which the sanitizer builds run.
#include "platform_test_support.h"
#include "support/python_output.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace
{

using platformtest::text;

TEST(CFNumberConversion, LossyConversionsAnswerFalseAndClamp)
{
    const auto toSInt32 = [](double value, SInt32 expected) {
        CFNumberRef number = CFNumberCreate(nullptr, kCFNumberDoubleType, &value);
        SInt32 result = -1;
        EXPECT_FALSE(CFNumberGetValue(number, kCFNumberSInt32Type, &result)) << value;
        EXPECT_EQ(result, expected) << value;
        CFRelease(number);
    };
    toSInt32(2.5, 2);
    toSInt32(1e300, INT32_MAX);  // no undefined float-to-int conversion
    toSInt32(std::nan(""), 0);
}

TEST(CFStringEncoding, MacRomanUpperHalfMatchesPythonsCodecBothWays)
{
    const std::string expected = testsupport::pythonOutput(
        "import sys\nsys.stdout.buffer.write(bytes(range(128, 256)).decode('mac_roman').encode('utf-8'))\n");
    std::string upperHalf;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        upperHalf += static_cast<char>(byte);
    CFStringRef string = CFStringCreateWithCString(nullptr, upperHalf.c_str(), kCFStringEncodingMacRoman);
    EXPECT_EQ(text(string), expected);
    char back[129];
    ASSERT_TRUE(CFStringGetCString(string, back, sizeof back, kCFStringEncodingMacRoman));
    EXPECT_EQ(std::string(back), upperHalf) << "every Mac Roman byte survives the round trip";
    CFRelease(string);
}

TEST(CFStringEncoding, ConversionsThatDoNotFitFailWithAnEmptyBufferAndMalformedInputIsRejected)
{
    CFStringRef arrow = CFStringCreateWithCString(nullptr, "Size \xE2\x86\x92 wide", kCFStringEncodingUTF8);
    char buffer[64] = "stale";
    EXPECT_FALSE(CFStringGetCString(arrow, buffer, sizeof buffer, kCFStringEncodingMacRoman)) << "U+2192";
    EXPECT_STREQ(buffer, "") << "no stale or partial text is left behind";
    CFRelease(arrow);
    char shortBy1[7] = "stale";
    EXPECT_FALSE(CFStringGetCString(CFSTR("Velmora"), shortBy1, sizeof shortBy1, kCFStringEncodingMacRoman));
    EXPECT_STREQ(shortBy1, "");

    CFStringRef emoji = CFStringCreateWithCString(nullptr, "a\xC3\xB6\xF0\x9F\x98\x80", kCFStringEncodingUTF8);
    EXPECT_EQ(CFStringGetLength(emoji), 4) << "a character above U+FFFF takes a surrogate pair";
    EXPECT_EQ(text(emoji), "a\xC3\xB6\xF0\x9F\x98\x80") << "a buffer sized by the maximum holds the text";
    char sixBytes[6];
    EXPECT_FALSE(CFStringGetCString(emoji, sixBytes, sizeof sixBytes, kCFStringEncodingUTF8)) << "7 bytes in 4 units";
    CFRelease(emoji);

    for (const char* malformed : {"cut \xC3", "overlong \xC0\xAF", "surrogate \xED\xA0\x80"})
        EXPECT_EQ(CFStringCreateWithCString(nullptr, malformed, kCFStringEncodingUTF8), nullptr) << malformed;
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "high \x80", kCFStringEncodingASCII), nullptr);
    EXPECT_EQ(CFStringCreateWithCString(nullptr, nullptr, kCFStringEncodingUTF8), nullptr);
}

}  // namespace
