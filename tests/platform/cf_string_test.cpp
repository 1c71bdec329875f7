// String encodings, formatting and comparison.
#include "platform_test_support.h"
#include "support/python_output.h"

#include <gtest/gtest.h>

namespace
{

using platformtest::text;

TEST(CFStringEncoding, MacRomanUpperHalfMatchesPythonsCodecBothWays)
{
    const std::string expected = testsupport::pythonOutput(
        "import sys\nsys.stdout.buffer.write(bytes(range(128, 256)).decode('mac_roman').encode('utf-8'))\n");
    ASSERT_NE(expected, "<failed>");
    std::string upperHalf;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        upperHalf += static_cast<char>(byte);
    CFStringRef string = CFStringCreateWithCString(nullptr, upperHalf.c_str(), kCFStringEncodingMacRoman);
    ASSERT_NE(string, nullptr);
    EXPECT_EQ(text(string), expected) << "Mac Roman 0x80-0xFF decode to the same characters as Python's table";
    char back[129];
    ASSERT_TRUE(CFStringGetCString(string, back, sizeof back, kCFStringEncodingMacRoman));
    EXPECT_EQ(std::string(back), upperHalf) << "every Mac Roman byte survives the round trip";
    CFRelease(string);
}

TEST(CFStringEncoding, FailedConversionLeavesAnEmptyBufferAndNeverOverflows)
{
    CFStringRef arrow = CFStringCreateWithCString(nullptr, "Size \xE2\x86\x92 wide", kCFStringEncodingUTF8);
    char buffer[64] = "stale";
    EXPECT_FALSE(CFStringGetCString(arrow, buffer, sizeof buffer, kCFStringEncodingMacRoman))
        << "U+2192 is not Mac Roman";
    EXPECT_STREQ(buffer, "") << "no stale or partial text is left behind";
    CFRelease(arrow);

    char shortBy1[7] = "stale";
    EXPECT_FALSE(CFStringGetCString(CFSTR("Velmora"), shortBy1, sizeof shortBy1, kCFStringEncodingMacRoman))
        << "no room for the terminator";
    EXPECT_STREQ(shortBy1, "");

    CFStringRef accented = CFStringCreateWithCString(nullptr,
                                                     "Gr\xC3\xB6\xC3\x9F"
                                                     "e",
                                                     kCFStringEncodingUTF8);
    char sixBytes[6];
    EXPECT_TRUE(CFStringGetCString(accented, sixBytes, sizeof sixBytes, kCFStringEncodingMacRoman))
        << "5 Mac Roman bytes plus terminator";
    EXPECT_FALSE(CFStringGetCString(accented, sixBytes, sizeof sixBytes, kCFStringEncodingUTF8))
        << "7 UTF-8 bytes do not fit";
    CFRelease(accented);

    CFStringRef emoji = CFStringCreateWithCString(nullptr, "a\xF0\x9F\x98\x80", kCFStringEncodingUTF8);
    EXPECT_EQ(CFStringGetLength(emoji), 3) << "a character above U+FFFF takes a surrogate pair";
    EXPECT_GE(CFStringGetMaximumSizeForEncoding(CFStringGetLength(emoji), kCFStringEncodingUTF8), 5)
        << "a buffer sized by the maximum holds the text";
    CFRelease(emoji);
}

TEST(CFStringEncoding, MalformedInputIsRejected)
{
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "cut \xC3", kCFStringEncodingUTF8), nullptr);
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "overlong \xC0\xAF", kCFStringEncodingUTF8), nullptr);
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "surrogate \xED\xA0\x80", kCFStringEncodingUTF8), nullptr);
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "high \x80", kCFStringEncodingASCII), nullptr);
    EXPECT_EQ(CFStringCreateWithCString(nullptr, nullptr, kCFStringEncodingUTF8), nullptr);
}

TEST(CFStringFormat, ObjectsPrintTheirTextAndPercentNIsRefused)
{
    SInt32 integer = 42;
    Float64 real = 0.25;
    Float32 single = 0.1f;
    CFNumberRef integerNumber = CFNumberCreate(nullptr, kCFNumberSInt32Type, &integer);
    CFNumberRef realNumber = CFNumberCreate(nullptr, kCFNumberFloat64Type, &real);
    CFNumberRef singleNumber = CFNumberCreate(nullptr, kCFNumberFloat32Type, &single);
    CFStringRef formatted = CFStringCreateWithFormat(
        nullptr, nullptr, CFSTR("%@_%d: %@/%@/%@ %5.1f%% [%-4s] %lld %@ %x"), CFSTR("GUI_NSView"), 1, integerNumber,
        realNumber, singleNumber, 12.345, "ab", 1LL << 40, nullptr, 255u);
    EXPECT_EQ(text(formatted), "GUI_NSView_1: 42/0.25/0.1  12.3% [ab  ] 1099511627776 (null) ff");
    EXPECT_EQ(CFStringCreateWithFormat(nullptr, nullptr, CFSTR("count%n"), &integer), nullptr)
        << "%n would write through an argument";
    for (CFTypeRef object :
         {CFTypeRef(integerNumber), CFTypeRef(realNumber), CFTypeRef(singleNumber), CFTypeRef(formatted)})
        CFRelease(object);
}

}  // namespace
